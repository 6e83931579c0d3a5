#!/usr/bin/env bash
# Builds Brennick.exe and starts it under Wine.
#
#   bash scripts/run.sh [--standin] [--picture FILE]
#
# On a display (DISPLAY set) the window is an ordinary window of the desktop.
# Without one, Brennick runs on a virtual display just long enough to save a
# picture of its window to build/brennick.png (or FILE), then ends.
#
# --standin  puts the stand-in loader (build/win/standin/sqlldr.exe) first on
#            the program's search path, so 导入... runs it instead of Oracle's
#            loader. It prints its arguments, then numbered lines for a few
#            seconds (STANDIN_BYTES, STANDIN_PAUSE_MS and the other settings
#            in tests/standin/standin_loader.cpp change that).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
picture="$root/build/brennick.png"
standin=""
while [ $# -gt 0 ]; do
  case "$1" in
    --standin) standin=1 ;;
    --picture) picture="$2"; shift ;;
    *) echo "usage: bash scripts/run.sh [--standin] [--picture FILE]" >&2; exit 2 ;;
  esac
  shift
done

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" win
had_display="${DISPLAY:-}"
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
exe="$root/build/win/Brennick.exe"
if [ -n "$standin" ]; then
  export WINEPATH STANDIN_BYTES STANDIN_LINE STANDIN_BURST STANDIN_PAUSE_MS
  WINEPATH="$(echo "Z:$root/build/win/standin" | tr / '\\')"
  # 150 lines, ten every 200 ms.
  : "${STANDIN_BYTES:=9600}" "${STANDIN_LINE:=64}" "${STANDIN_BURST:=640}" "${STANDIN_PAUSE_MS:=200}"
fi

# The id of Brennick's main window once it is shown (empty after 30 s).
brennick_window() {
  for _ in $(seq 150); do
    xdotool search --name '^Brennick$' 2>/dev/null | head -n 1 | grep . && return
    sleep 0.2
  done
}

# Wine's messages go to a log, with a display too: the terminal stays quiet
# when nothing is wrong (file dialogs, for one, report every drive they
# cannot read).
log="$root/build/brennick-wine.log"
x11_driver='HKCU\Software\Wine\X11 Driver'
if [ -n "$had_display" ]; then
  status=0
  # The prefix leaves windows unmanaged, for the tests' bare virtual display.
  # Under a window manager this window is made a managed one: the setting is
  # read when a program starts, so it is switched only for that moment.
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    trap 'wine reg add "$x11_driver" /v Managed /d N /f >/dev/null 2>&1' EXIT
    wine reg add "$x11_driver" /v Managed /d Y /f >/dev/null 2>&1
    wine "$exe" 2>"$log" &
    brennick_window >/dev/null || true
    wine reg add "$x11_driver" /v Managed /d N /f >/dev/null 2>&1
    trap - EXIT
    wait $! || status=$?
  else
    wine "$exe" 2>"$log" || status=$?
  fi
  [ "$status" -eq 0 ] || echo "Brennick ended with status $status (Wine's messages: $log)" >&2
  exit "$status"
fi

# Ends this Brennick and the virtual display, and nothing else of the
# prefix. In the log, the messages about the display going away are
# expected.
pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; kill "$BRENNICK_XVFB_PID" 2>/dev/null' EXIT
wine "$exe" 2>"$log" &
pid=$!
window=$(brennick_window) || true
[ -n "$window" ] || { echo "Brennick's window did not appear (Wine's messages: $log)" >&2; exit 1; }
# The window alone, once two pictures half a second apart are the same (the
# first start of a prefix takes a while to draw everything).
mkdir -p "$(dirname "$picture")"
previous="$(mktemp --suffix=.png)"
for _ in $(seq 20); do
  sleep 0.5
  import -window "$window" "$picture"
  [ "$(compare -metric AE "$picture" "$previous" null: 2>&1 || true)" != 0 ] || break
  cp "$picture" "$previous"
done
rm -f "$previous"
echo "Brennick ran on a virtual display; a picture of its window: $picture"
echo "With a display (DISPLAY set) it stays open for use."
