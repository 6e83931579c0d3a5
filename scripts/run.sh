#!/usr/bin/env bash
# Builds Brennick.exe and starts it under Wine. Without a display it runs on
# a virtual one and saves a screenshot of the window to build/brennick.png.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" win
had_display="${DISPLAY:-}"
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
if [ -n "$had_display" ]; then
  exec wine "$root/build/win/Brennick.exe"
fi
trap brennick_wine_stop EXIT
wine "$root/build/win/Brennick.exe" &
for _ in $(seq 100); do
  xdotool search --name '^Brennick$' >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 1
import -window root "$root/build/brennick.png"
echo "Brennick ran on a virtual display; screenshot: $root/build/brennick.png"
