#!/usr/bin/env bash
# End to end: `bash scripts/run.sh` on a machine without a display saves a
# picture of Brennick's window alone: 443 x 480 pixels with its frame and
# caption (291 x 303 dialog units at 1.5 pixels each), mostly the grey of
# the dialog and the white of its boxes, not the black of an empty screen.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

env -u DISPLAY bash "$root/scripts/run.sh" --picture "$work/window.png" >"$work/run.log" 2>&1 ||
  fail "run.sh: $(tail -n 5 "$work/run.log")"
[ -s "$work/window.png" ] || fail "no picture"

read -r width height < <(identify -format '%w %h\n' "$work/window.png")
[ $((width - 443)) -le 2 ] && [ $((443 - width)) -le 2 ] &&
  [ $((height - 480)) -le 2 ] && [ $((480 - height)) -le 2 ] || fail "picture of ${width}x${height} pixels"

# The share of pixels that are light (each channel at least 0xC0).
light=$(convert "$work/window.png" -colorspace gray -threshold 75% -format '%[fx:mean]' info:)
awk -v l="$light" 'BEGIN { exit !(l > 0.8) }' || fail "only $light of the picture is light"
echo "run.sh saved a ${width}x${height} picture of the window ($light of it light)"
