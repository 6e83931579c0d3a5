# Sourced: the environment Brennick's Windows programs run in under Wine.
# A private prefix under build/, code page 936, and a display (a virtual one
# when none is set).
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${BRENNICK_WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      BRENNICK_XVFB_PID=$!
      export DISPLAY=":$n"
      for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
      break
    fi
  done
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  # Without a window manager Wine waits at every show and hide of a managed
  # window; unmanaged windows draw their own frames and come up at once.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
fi

# Fonts (checked on every start, so that an older prefix gets them too).
# The templates ask for "宋体" (SimSun), which Linux lacks: Wine's own
# fallback has thin glyphs, no arrows and taller metrics (2 pixels per dialog
# unit instead of 1.5). "AR PL SungtiL GB" (fonts-arphic-gbsn00lp) has
# SimSun's metrics, but at 12 pixels its Latin letters are hard to read and
# its underscore lies below the text cell, where edit boxes and labels cut it
# off; scripts/wine-font.py writes a copy with the same metrics, "Brennick
# SungtiL", into the prefix: its Latin letters at 12 pixels are the bitmaps
# of the terminal font misc-fixed 6x12 (xfonts-base), its underscore is
# inside the cell.
# The stamp beside the prefix names the script's version of the copy, so a
# changed script writes it again. The caption buttons and the marks of the
# system menu are Marlett characters, which Wine looks for in the prefix's
# Fonts folder.
brennick_font="$WINEPREFIX/drive_c/windows/Fonts/brennick-sungtil.ttf"
brennick_font_stamp="$(sha1sum "$root/scripts/wine-font.py" | cut -c1-40)"
if [ "$(cat "$WINEPREFIX/brennick-font.stamp" 2>/dev/null)" != "$brennick_font_stamp" ]; then
  mkdir -p "$(dirname "$brennick_font")"
  /usr/bin/python3 "$root/scripts/wine-font.py" /usr/share/fonts/truetype/arphic-gbsn00lp/gbsn00lp.ttf \
    /usr/share/fonts/X11/misc/6x12-ISO8859-1.pcf.gz "$brennick_font" &&
    echo "$brennick_font_stamp" >"$WINEPREFIX/brennick-font.stamp"
fi
if ! grep -qF '"NSimSun"="Brennick SungtiL"' "$WINEPREFIX/user.reg" ||
  ! grep -qF '"\x5b8b\x4f53"="Brennick SungtiL"' "$WINEPREFIX/user.reg"; then
  for face in 宋体 SimSun 新宋体 NSimSun; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "Brennick SungtiL" /f >/dev/null 2>&1
  done
fi
if [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

# Ends what this environment started: Wine's server and the virtual display.
brennick_wine_stop() {
  wineserver -k 2>/dev/null || true
  # The display it started goes, and so does its name: sourced again, this
  # file starts a new one.
  if [ -n "${BRENNICK_XVFB_PID:-}" ]; then
    kill "$BRENNICK_XVFB_PID" 2>/dev/null || true
    unset DISPLAY BRENNICK_XVFB_PID
  fi
}

# The test database behind ADO.
# shellcheck source=wine-odbc.sh
source "$root/scripts/wine-odbc.sh"
