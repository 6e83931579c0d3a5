#!/usr/bin/env bash
# Configures and builds Brennick: build/native (host g++: the code that needs
# no window, and its tests), build/asan (the same under AddressSanitizer and
# UndefinedBehaviorSanitizer), build/tsan (the same under ThreadSanitizer)
# and build/win (MinGW-w64: Brennick.exe and the Windows tests).
# build/win32 is the 32-bit Brennick.exe alone (its tests cannot run here).
# With arguments, builds only the named ones.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=(native asan tsan win)

for b in "${builds[@]}"; do
  targets=()
  case "$b" in
    native) args=(-DCMAKE_BUILD_TYPE=Debug) ;;
    asan) args=(-DCMAKE_BUILD_TYPE=Debug -DBRENNICK_SANITIZE=ON) ;;
    # ThreadSanitizer: the native tests, for the threads of the run worker
    # and the window's call queue.
    tsan) args=(-DCMAKE_BUILD_TYPE=Debug -DBRENNICK_TSAN=ON) ;;
    win) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake") ;;
    win32) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake")
           targets=(--target Brennick) ;;
    *) echo "unknown build: $b" >&2; exit 2 ;;
  esac
  cmake -S "$root" -B "$root/build/$b" "${args[@]}" >/dev/null
  cmake --build "$root/build/$b" -j "$jobs" "${targets[@]}"
done
