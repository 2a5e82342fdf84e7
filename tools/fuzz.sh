#!/usr/bin/env bash
# Runs the fuzz targets under AFL++ (instrumenting GCC builds), built with AddressSanitizer and
# UndefinedBehaviorSanitizer, each for a bounded time, and fails on any crash or hang.
#   tools/fuzz.sh [--all-at-once] [SECONDS_PER_TARGET] [TARGET ...]   (default: 3600 s, every target)
# CI runs it with a short time; by hand, run it for an hour or more. --all-at-once runs
# every target at the same time, at the lowest CPU priority, so a long run fits beside
# other work; each target then gets its share of the machine for the whole time. Findings stay in
# build-fuzz/findings/<target>/default/{crashes,hangs}; an input that found a fault
# belongs in fuzz/seeds/<target> once the fault is fixed, so every build replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
together=0
if [ "${1:-}" = --all-at-once ]; then together=1; shift; fi
seconds=${1:-3600}
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in fuzz/seeds/*/; do targets+=("$(basename "$dir")"); done
fi
build=build-fuzz

CC=afl-gcc CXX=afl-g++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQR_FUZZ=ON -DQR_SANITIZE=ON -DQR_WITH_GUI=OFF -DQR_BENCH=OFF -DQR_TESTS=OFF -DQR_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/qr_fuzz_}"

# The machine's core pattern and CPU governor are not ours to change.
export AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_UI=1 AFL_NO_AFFINITY=1
# Leaks are looked for once per target, over everything it found (below): a leak check
# at every exit would take most of each execution.
asan=abort_on_error=1:symbolize=0:allocator_may_return_null=1
export ASAN_OPTIONS=$asan:detect_leaks=0
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
failed=0
fuzz_one() {
  local t=$1 out="$build/findings/$1"
  rm -rf "$out"
  mkdir -p "$build/findings"
  # A hang is an input that takes more than 10 s: far beyond any real file.
  afl-fuzz -i "fuzz/seeds/$t" -o "$out" -t 10000 -m none -V "$seconds" -- "$build/fuzz/qr_fuzz_$t" @@ >"$out.log" 2>&1 || {
    echo "$t: afl-fuzz did not run; see $out.log"
    return 1
  }
}
report_one() {
  local t=$1 out="$build/findings/$1"
  [ -f "$out/default/fuzzer_stats" ] || return 1
  local stats="$out/default/fuzzer_stats" execs crashes hangs leaks=0
  execs=$(awk -F' *: *' '$1=="execs_done"{print $2}' "$stats")
  crashes=$(find "$out/default/crashes" -type f ! -name README.txt | wc -l)
  hangs=$(find "$out/default/hangs" -type f | wc -l)
  ASAN_OPTIONS=$asan:detect_leaks=1:symbolize=1 "$build/fuzz/qr_fuzz_$t" "$out/default/queue" >"$out.leaks" 2>&1 || leaks=1
  echo "$t: $execs executions in $seconds s, $crashes crashes, $hangs hangs, leaks: $leaks"
  [ "$crashes" -eq 0 ] && [ "$hangs" -eq 0 ] && [ "$leaks" -eq 0 ]
}
if [ $together -eq 1 ]; then
  for t in "${targets[@]}"; do nice -n 19 bash -c "$(declare -f fuzz_one); build=$build seconds=$seconds fuzz_one $t" & done
  wait || true
  for t in "${targets[@]}"; do report_one "$t" || failed=1; done
else
  for t in "${targets[@]}"; do
    if fuzz_one "$t"; then report_one "$t" || failed=1; else failed=1; fi
  done
fi
exit $failed
