#!/usr/bin/env bash
# Installs what building and testing Brennick needs on a Debian machine, when
# it is missing: the MinGW-w64 cross compiler, Wine, a virtual display, the
# zh_CN locale that gives Wine code page 936, and a CJK font.
set -euo pipefail

packages=(cmake g++ googletest clang-format g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
          wine64 xvfb x11-utils locales fonts-wqy-zenhei imagemagick xdotool
          # the 32-bit program
          g++-mingw-w64-i686-posix binutils-mingw-w64-i686
          # the database behind ADO in the Windows tests (scripts/wine-odbc.sh)
          unixodbc odbcinst libsqliteodbc sqlite3)
# The font that stands in for SimSun (宋体) in the Wine prefix, with its
# metrics, and the Python fontTools that scripts/wine-font.py patches a copy
# of it with (scripts/wine-env.sh); its Latin letters at the dialogs' size
# come from the X11 terminal font misc-fixed 6x12, read with Python's PIL.
packages+=(fonts-arphic-gbsn00lp python3-fonttools xfonts-base python3-pil)
# The fuzz targets (scripts/fuzz.sh): clang with libFuzzer and the sanitizers.
packages+=(clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
