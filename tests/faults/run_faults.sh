#!/usr/bin/env bash
# Seeds faults into a copy of the sources, one at a time, and reports which
# ones the native tests (or, for faults marked tsan, the ThreadSanitizer
# build of them) catch. The working tree is never changed.
#
#   bash tests/faults/run_faults.sh [fault list]   (default: faults.txt here)
#
# A fault list line: build|file under src/|sed expression|what the fault is
# (build is native or tsan; lines starting with # are skipped).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
list="${1:-$root/tests/faults/faults.txt}"
work="$root/build/faults"
tree="$work/tree"
mkdir -p "$tree"
# Files that differ from the working tree are copied with a new time stamp,
# so the builds also notice a file that an earlier run left seeded.
(cd "$root" && git ls-files -co --exclude-standard) | while read -r f; do
  cmp -s "$root/$f" "$tree/$f" || { mkdir -p "$(dirname "$tree/$f")" && cp "$root/$f" "$tree/$f"; }
done

configure() { # build folder, cmake options...
  local dir="$work/$1"
  shift
  [ -f "$dir/CMakeCache.txt" ] || cmake -S "$tree" -B "$dir" -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
}
configure native
configure tsan -DBRENNICK_TSAN=ON

# Builds the test programs of one build; runs them; 0 when all pass.
tests_pass() {
  local dir="$work/$1"
  cmake --build "$dir" -j "$(nproc)" --target native_tests contract_memory >"$work/build.log" 2>&1 || return 2
  (cd "$dir" && TSAN_OPTIONS=halt_on_error=1:exitcode=66 timeout 900 ctest -L native >"$work/ctest.log" 2>&1)
}

for b in native tsan; do
  tests_pass "$b" || { echo "the unchanged tree fails its $b tests: see $work/ctest.log" >&2; exit 1; }
done

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
    case $? in
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
