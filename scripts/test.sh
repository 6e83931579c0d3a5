#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: native
# ctest, the same under the sanitizers (AddressSanitizer with
# UndefinedBehaviorSanitizer, and ThreadSanitizer), and the Windows ctest
# under Wine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" native asan tsan win
# The 32-bit program is built every time but not run: this machine runs no
# 32-bit programs.
bash "$root/scripts/build.sh" win32

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
# ThreadSanitizer: any report fails the test binary that made it.
export TSAN_OPTIONS=halt_on_error=1:exitcode=66:second_deadlock_stack=1
status=0
# The release for Windows users (dist/), built once from the 32-bit program
# and checked: scripts/check-release.sh.
echo "== release"
bash "$root/scripts/release.sh" || status=1
for b in native asan tsan; do
  echo "== ctest: $b"
  (cd "$root/build/$b" && ctest --output-on-failure) || status=1
done
echo "== ctest: win (under Wine)"
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
trap brennick_wine_stop EXIT
(cd "$root/build/win" && ctest --output-on-failure) || status=1

# --- Fuzzing: each fuzz target for 30 s (build/fuzz, clang). Longer runs:
# bash scripts/fuzz.sh <seconds>.
echo "== fuzz targets"
BRENNICK_FUZZ_SEED=1 bash "$root/scripts/fuzz.sh" 30 || status=1
# --- end of fuzzing
exit $status
