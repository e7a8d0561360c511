#!/usr/bin/env bash
# make fuzz: builds the fuzzing harness with AFL++'s GCC plugin, AddressSanitizer and
# UndefinedBehaviorSanitizer in build/fuzz, fuzzes it for FUZZ_SECONDS (default 600) from
# the seed corpus with the token dictionary, then prints executions, executions per second,
# edges, and every crash or hang found (their inputs stay in build/fuzz/findings). The exit
# status is 1 when anything was found.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-600}
build=build/fuzz
findings=$build/findings

bash scripts/install-deps.sh fuzz
mkdir -p "$build"
eval "export $(bash scripts/afl-gcc-plugin-fix.sh "$PWD/$build/afl")"

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=afl-gcc-fast -DCMAKE_CXX_COMPILER=afl-g++-fast \
  -DORVANTIS_SANITIZE=ON -DORVANTIS_FUZZ=ON -DORVANTIS_BENCHMARKS=OFF >/dev/null
# Quiet as a top-level build, not as a make inside make.
env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL cmake --build "$build" --target orvantis_fuzz -j2

rm -rf "$findings"
# The harness writes the files of --out here (memory, not disk); gone after the run.
scratch=$(mktemp -d /dev/shm/orvantis-fuzz-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
echo "fuzzing for $seconds s (log: $build/afl.log)"
# The sanitizers abort on the first fault so that AFL++ sees a crash; large allocations
# fail softly as in a release build.
AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 AFL_NO_UI=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 \
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:symbolize=0:allocator_may_return_null=1 \
  UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:symbolize=0 ORVANTIS_FUZZ_SCRATCH="$scratch" \
  afl-fuzz -i fuzz/corpus -o "$findings" -x fuzz/orvantis.dict -t 2000 -m none -V "$seconds" \
  -- "$build/fuzz/orvantis_fuzz" >"$build/afl.log" 2>&1 || { tail -30 "$build/afl.log"; exit 1; }

stats=$findings/default/fuzzer_stats
stat() { awk -F' *: *' -v k="$1" '$1 == k {print $2}' "$stats"; }
echo "executions:           $(stat execs_done)"
echo "executions per second: $(stat execs_per_sec)"
echo "edges:                $(stat edges_found) of $(stat total_edges)"
echo "stability:            $(stat stability)"
echo "crashes:              $(stat saved_crashes)"
echo "hangs:                $(stat saved_hangs)"
found=0
for kind in crashes hangs; do
  for f in "$findings/default/$kind"/id:*; do
    [ -e "$f" ] || continue
    echo "  $kind: $f"
    found=1
  done
done
exit $found
