#!/usr/bin/env bash
# End to end: the real Brennick.exe under Wine, used as a person would. A
# long password is typed into its box, then a click on Import writes load.ctl
# beside the program and runs the loader found through the search path (the
# stand-in), with the command line it builds, whose output ends in the pane
# with the closing line.
#
#   import.sh <Brennick.exe> <folder of the stand-in sqlldr.exe> <pane_text.exe>
set -euo pipefail
exe=$1
standin=$2
pane_text=$3
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
# shellcheck source=../../scripts/drive.sh
source "$root/scripts/drive.sh"

export WINEPATH
WINEPATH="$(windows "$standin")"
export STANDIN_ARGS_FILE
STANDIN_ARGS_FILE="$(windows "$work/args")"
start_brennick "$exe"

# A password several times longer than its box, typed key by key in
# place of the one the box starts with.
password="Abcdefghij0123456789klmnopqrst9876543210"
click 75 51
xdotool key End shift+Home
xdotool type --delay 20 "$password"

# The Import button.
click 262 224

for _ in $(seq 150); do [ -s "$work/args" ] && break; sleep 0.2; done
[ -s "$work/args" ] || fail "the loader was not started"

folder="$(windows "$work")"
expected_args=$(printf '%s\n' "user/$password@dbname" "control='$folder\\load.ctl'" "parfile='$folder\\parfile.cfg'")
[ "$(cat "$work/args")" = "$expected_args" ] || fail "loader arguments: $(cat "$work/args")"

expected_ctl=$(printf "load data\r\ninfile ''\r\nappend into table \r\nfields terminated by '\t' \r\n\r\n(\r\n)")
[ "$(cat "$work/load.ctl")" = "$expected_ctl" ] || fail "load.ctl: $(od -c "$work/load.ctl" | head)"
# The run ends in the pane, within a minute.
for _ in $(seq 300); do
  wine "$pane_text" 2>/dev/null | grep -q "Mission complete!" && break
  sleep 0.2
done
wine "$pane_text" 2>/dev/null | grep -q "Mission complete!" || fail "the run did not end in the pane: $(wine "$pane_text" 2>/dev/null | tail -c 300)"
echo "Import ran the loader with the expected command line and load.ctl, and the run ended in the pane"
