#!/usr/bin/env bash
# Makes the pictures of docs/ from the real Brennick.exe, used on a virtual
# display as a person would (xdotool):
#   docs/brennick-tables.png    the table chooser (.. beside 导入到), listing
#                               the tables of the tests' SQLite database
#                               (scripts/wine-odbc.sh)
#   docs/brennick-advanced.png  the 高级.. dialog
#   docs/brennick-load.png      the main window after a finished load with the
#                               stand-in loader (tests/standin)
# docs/brennick.png, the window as it starts, comes from
# `bash scripts/run.sh --picture docs/brennick.png`.
#
#   bash scripts/pictures.sh [FOLDER]     (default: docs)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(mkdir -p "${1:-$root/docs}" && cd "${1:-$root/docs}" && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" win >/dev/null
# Always a virtual display of its own, also from a desktop.
unset DISPLAY
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
# shellcheck source=drive.sh
source "$root/scripts/drive.sh"

# A picture of window $1 in file $2, once two pictures 0.3 s apart agree.
picture() {
  local previous="$work/previous.png"
  rm -f "$previous"
  for _ in $(seq 30); do
    sleep 0.3
    import -window "$1" "$2"
    [ -f "$previous" ] && [ "$(compare -metric AE "$2" "$previous" null: 2>&1 || true)" = 0 ] && return
    cp "$2" "$previous"
  done
}

# The program in a folder of its own (load.ctl and parfile.cfg go there),
# the stand-in loader first on its search path: 40 lines in bursts of ten.
export WINEPATH STANDIN_BYTES=2560 STANDIN_LINE=64 STANDIN_BURST=640 STANDIN_PAUSE_MS=100 STANDIN_DONE_FILE
WINEPATH="$(windows "$root/build/win/standin")"
STANDIN_DONE_FILE="$(windows "$work/done")"
start_brennick "$root/build/win/Brennick.exe"

# Replaces the text of the box at ($1, $2) with $3.
fill() {
  click "$1" "$2"
  xdotool key End shift+Home
  xdotool type --delay 10 "$3"
}

fill 75 19 BRENNICK_DB
fill 75 35 scott
fill 75 51 tiger
fill 204 18 'C:\data\emp.txt'

# The table chooser; EMP, the first table, chosen.
click 271 35
chooser=$(window_named '^选择表名$') || fail "the table chooser did not appear"
picture "$chooser" "$out/brennick-tables.png"
xdotool key Escape
sleep 0.5
fill 204 35 EMP

# Three fields, each added to the list.
for field in EMPNO ENAME SAL; do
  fill 80 96 "$field"
  click 261 148
done

# The advanced options.
click 71 224
advanced=$(window_named '^高级选项$') || fail "the advanced dialog did not appear"
picture "$advanced" "$out/brennick-advanced.png"
xdotool key Escape
sleep 0.5

# A load with the stand-in, to its end.
click 262 224
for _ in $(seq 300); do [ -e "$work/done" ] && break; sleep 0.1; done
[ -e "$work/done" ] || fail "the stand-in loader did not finish"
picture "$main" "$out/brennick-load.png"
echo "Pictures: $out/brennick-tables.png $out/brennick-advanced.png $out/brennick-load.png"
