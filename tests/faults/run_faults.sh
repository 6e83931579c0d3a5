#!/usr/bin/env bash
# Seeds faults into a copy of the sources, one at a time, and reports which
# ones the tests catch. The working tree is never changed.
#
#   bash tests/faults/run_faults.sh [fault list]   (default: faults.txt here)
#
# FAULTS_WORK names the folder it works in (default build/faults), so that
# two lists can be run side by side.
#
# A fault list line: build|file under src/|sed expression|what the fault is
# (lines starting with # are skipped). build names the tests that run first:
# native (the native tests), tsan (the same under ThreadSanitizer) or win
# (the Windows tests under Wine). A fault in code that the native tests also
# build (anything but the windows) that they miss is given to the Windows
# tests as well, as the test command would.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
list="${1:-$root/tests/faults/faults.txt}"
work="${FAULTS_WORK:-$root/build/faults}"
tree="$work/tree"
mkdir -p "$tree"
# Files that differ from the working tree are copied with a new time stamp,
# so the builds also notice a file that an earlier run left seeded.
(cd "$root" && git -c core.quotepath=off ls-files -co --exclude-standard) | while read -r f; do
  cmp -s "$root/$f" "$tree/$f" || { mkdir -p "$(dirname "$tree/$f")" && cp "$root/$f" "$tree/$f"; }
done

configure() { # build folder, cmake options...
  local dir="$work/$1"
  shift
  [ -f "$dir/CMakeCache.txt" ] || cmake -S "$tree" -B "$dir" "$@" >/dev/null
}
configure native -DCMAKE_BUILD_TYPE=Debug
configure tsan -DCMAKE_BUILD_TYPE=Debug -DBRENNICK_TSAN=ON
configure win -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
# shellcheck source=../../scripts/wine-env.sh
BRENNICK_WINEPREFIX="$work/wineprefix" source "$root/scripts/wine-env.sh"
trap brennick_wine_stop EXIT

# Builds the tests of one build and runs them: 0 when all pass, 2 when
# they do not build.
tests_pass() {
  local dir="$work/$1" target=native_tests
  [ "$1" = win ] && target=wine_tests
  cmake --build "$dir" -j "$(nproc)" --target "$target" >"$work/build.log" 2>&1 || return 2
  (cd "$dir" && TSAN_OPTIONS=halt_on_error=1:exitcode=66 timeout 900 ctest -R "^$target\$" >"$work/ctest.log" 2>&1)
}

for b in native tsan win; do
  tests_pass "$b" || { echo "the unchanged tree fails its $b tests: see $work/ctest.log" >&2; exit 1; }
done

windows_only() { # file under src/: code that only the Windows build has
  case "$1" in
    framework/* | ui/* | app/* | params/advanced_dialog.* | schema/table_chooser.* | schema/win32/* | platform/*win32*) return 0 ;;
  esac
  return 1
}

caught=0
total=0
while IFS='|' read -r build file expr what; do
  [[ -z "$build" || "$build" == \#* ]] && continue
  src="$tree/src/$file"
  cp "$src" "$work/original"
  sed -i -e "$expr" "$src"
  if cmp -s "$src" "$work/original"; then
    result="NOT APPLIED"
  else
    tests_pass "$build"
    status=$?
    if [ $status -eq 0 ] && [ "$build" != win ] && ! windows_only "$file"; then
      tests_pass win
      status=$?
    fi
    case $status in
      0) result="missed" ;;
      2) result="DOES NOT BUILD" ;;
      *) result="caught"; caught=$((caught + 1)) ;;
    esac
    [ "$result" = "DOES NOT BUILD" ] || total=$((total + 1))
  fi
  cp "$work/original" "$src"
  touch "$src"
  printf '%-8s %-6s %-40s %s\n' "$result" "$build" "$file" "$what"
done <"$list"
echo "caught $caught of $total"
