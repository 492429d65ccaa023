#!/bin/bash
# Fuzzes the calculator's standard input with AFL++, built with AddressSanitizer and
# UndefinedBehaviorSanitizer, starting from the inputs of the end-to-end table and with a
# dictionary of its commands and edge numbers.
# Usage: tests/fuzz.sh SECONDS [WORKDIR]   (default WORKDIR: build-fuzz)
# Fails if any input crashed the calculator or made it hang; such inputs are left in
# WORKDIR/out/default/crashes and WORKDIR/out/default/hangs.
set -euo pipefail
seconds=${1:?usage: tests/fuzz.sh SECONDS [WORKDIR]}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(realpath -m "${2:-$root/build-fuzz}")

if ! command -v afl-fuzz >/dev/null || ! command -v afl-clang-fast++ >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq afl++ >/dev/null
fi

# The end-to-end table, built normally, writes the seeds.
cmake -S "$root" -B "$work/seeder" >/dev/null
cmake --build "$work/seeder" -j2 --target e2e >/dev/null
rm -rf "$work/seeds" "$work/out" && mkdir -p "$work/seeds"
# The seeds are written whether or not the table passes: its verdict is the suite's business.
RPN_SEED_DIR="$work/seeds" "$work/seeder/tests/e2e" --gtest_brief=1 >/dev/null || true
# Inputs are kept to 4 KB: the huge-input tests cover long ones, and past that a run of "&"
# followed by a run of "?" lists a deep stack so often that the output alone outlasts the
# timeout (an hour's run found 27,723 "&" and 969 "?" in 32 KB, writing 145 MB). At 4 KB the
# worst such input takes 0.3 s in this build.
find "$work/seeds" -size +4k -delete

# The calculator in-process, in persistent mode: its main renamed, its reads, clears and exit
# wrapped at link time (see fuzz_harness.cpp). The calculator's source is compiled unchanged.
mkdir -p "$work/target"
afl() { AFL_USE_ASAN=1 AFL_USE_UBSAN=1 AFL_QUIET=1 afl-clang-fast++ -std=c++20 -O2 -g \
    -fno-sanitize-recover=all -I"$root" "$@"; }
afl -Dmain=rpn_main -c "$root/notacja.cpp" -o "$work/target/notacja.o"
# The harness itself is left without coverage: AFL++'s fork server reads through the wrapped
# read too, and its edges would make every run look different (a stability below 100%).
echo 'src: *fuzz_harness.cpp' >"$work/target/denylist"
AFL_LLVM_DENYLIST="$work/target/denylist" afl "$root/tests/fuzz_harness.cpp" "$work/target/notacja.o" \
    "$root/funkcje.cpp" -Wl,--wrap=read,--wrap=system,--wrap=exit -o "$work/target/rpn-fuzz"

echo "fuzzing for $seconds s from $(ls "$work/seeds" | wc -l) seeds"
AFL_NO_UI=1 AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 \
    AFL_NO_AFFINITY=1 ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0 \
    afl-fuzz -i "$work/seeds" -o "$work/out" -x "$root/tests/fuzz.dict" -G 4096 -V "$seconds" -m none -t 2000 \
    -- "$work/target/rpn-fuzz" \
    >"$work/afl.log" 2>&1 || { tail -30 "$work/afl.log"; exit 1; }

stats=$work/out/default/fuzzer_stats
stat() { awk -F' *: *' -v k="$1" '$1 == k { print $2 }' "$stats"; }
echo "executions: $(stat execs_done) ($(stat execs_per_sec) a second), paths: $(stat corpus_count)," \
    "stability: $(stat stability), crashes: $(stat saved_crashes), hangs: $(stat saved_hangs)"
found=$(find "$work/out/default/crashes" "$work/out/default/hangs" -type f ! -name README.txt)
if [ -n "$found" ]; then
    echo "inputs that broke the calculator:"
    echo "$found"
    exit 1
fi
