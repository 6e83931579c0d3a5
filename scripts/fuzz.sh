#!/usr/bin/env bash
# Builds the fuzz targets (build/fuzz: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for the seconds given (default
# 60), one after another:
#
#   bash scripts/fuzz.sh [seconds] [target...]     # targets: control_file field_description
#
# Each target starts from its seeds in tests/fuzz/corpus/<target> and keeps
# what it finds new in build/fuzz/corpus/<target>. An input that breaks a
# property or a sanitizer is saved as build/fuzz/findings/<target>-crash-*
# and the script fails; add it to the seeds once it is fixed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(control_file field_description)

build="$root/build/fuzz"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -DBRENNICK_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

# BRENNICK_FUZZ_SEED fixes libFuzzer's seed, so that a short run (the test
# command's) explores the same inputs on every machine.
seed=()
[ -z "${BRENNICK_FUZZ_SEED:-}" ] || seed=(-seed="$BRENNICK_FUZZ_SEED")

export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t" "$build/findings"
  log="$build/fuzz_$t.log"
  if "$build/fuzz_$t" -max_total_time="$seconds" "${seed[@]}" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$build/findings/$t-" "$build/corpus/$t" "$root/tests/fuzz/corpus/$t" >"$log" 2>&1; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    echo "fuzz_$t: ${runs:-?} runs in ${seconds} s, no finding"
  else
    echo "fuzz_$t: FINDING (see $log)"
    grep -E "property broken|expected|got:|ERROR|SUMMARY|Test unit written" "$log" | head -8 || true
    status=1
  fi
done
exit $status
