# Sourced after wine-env.sh: drives the real Brennick.exe on the display as
# a person would (xdotool). Gives a scratch folder $work (removed at exit,
# with the program and what this environment started), and:
#   fail TEXT                   ends the script with "FAILED: TEXT"
#   windows PATH                the Wine name of a Unix path
#   window_named RE [TENTHS]    the ids of the shown windows named RE, after
#                               up to TENTHS tenths of a second (default 300)
#   start_brennick EXE          copies EXE into $work, starts it there and
#                               waits for its main window ($main, $pid)
#   click X Y                   clicks at dialog units of its client area
work=$(mktemp -d)
pid=""
finish() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  [ -z "${BRENNICK_XVFB_PID:-}" ] || brennick_wine_stop
  rm -rf "$work"
}
trap finish EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
windows() { echo "Z:$1" | tr / '\\'; }
window_named() {
  for _ in $(seq "${2:-300}"); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null && return
    sleep 0.1
  done
  return 1
}
start_brennick() {
  cp "$1" "$work/Brennick.exe"
  cd "$work"
  wine "$work/Brennick.exe" 2>"$work/wine.log" &
  pid=$!
  main=$(window_named '^Brennick$' | head -n 1) || fail "the main window did not appear"
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$main")"
}
# The client area is 291 x 303 dialog units; the window adds a thin frame
# and a caption.
click() {
  local frame=3 caption=19
  xdotool mousemove $((X + frame + $1 * (WIDTH - 2 * frame) / 291)) \
    $((Y + caption + frame + $2 * (HEIGHT - caption - 2 * frame) / 303)) click 1
  sleep 0.2
}
