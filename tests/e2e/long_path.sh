#!/usr/bin/env bash
# End to end: a path longer than Wine's file dialog can hold, typed into the
# open dialog of 加载控制文件..., does not crash Brennick (Wine's comdlg32
# builds the path in a MAX_PATH buffer on the stack; Brennick's file dialog
# keeps the typed text short enough under Wine). The dialog takes what fits,
# Brennick tries that file, cannot open it and says so in a message box;
# after it the main window is still there and closes normally.
#
#   long_path.sh <Brennick.exe>
set -euo pipefail
exe=$1
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
# shellcheck source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
start_brennick "$exe"


# 加载控制文件...
click 134 224
window_named '^打开$' 100 >/dev/null || fail "the open dialog did not appear"
sleep 0.5

# 272 characters, typed into the file name box (it has the focus), then Enter.
path="Z:\\tmp\\$(printf '0%.0s' $(seq 265))"
[ ${#path} -eq 272 ] || fail "the test path has ${#path} characters"
xdotool type --delay 2 "$path"
xdotool key Return

# Brennick's message box that the file cannot be opened: a second window
# named Brennick.
for _ in $(seq 100); do
  [ "$(window_named '^Brennick$' 1 | wc -l)" -ge 2 ] && break
  kill -0 "$pid" 2>/dev/null || fail "Brennick ended (Wine's messages: $(tail -n 3 "$work/wine.log"))"
  sleep 0.1
done
! window_named 'Wine Debugger|程序错误' 1 >/dev/null || fail "Brennick crashed: $(grep -m 1 'Unhandled' "$work/wine.log")"
[ "$(window_named '^Brennick$' 1 | wc -l)" -ge 2 ] || fail "no message box after the long path"
! window_named '^打开$' 1 >/dev/null || fail "the open dialog is still open"

# The message box goes with Enter; then the main window closes as usual.
xdotool key Return
sleep 0.5
[ "$(window_named '^Brennick$' 10 | wc -l)" -eq 1 ] || fail "the message box did not close"
xdotool key Escape
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  xdotool windowclose "$main" 2>/dev/null || true
fi
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "Brennick ended with status $status"
echo "A 272-character path typed into the open dialog: no crash, Brennick went on and ended normally"
