#!/bin/bash
# Fuzzes the calculator's standard input with AFL++, built with AddressSanitizer and
# UndefinedBehaviorSanitizer, starting from the inputs of the end-to-end table.
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
RPN_SEED_DIR="$work/seeds" "$work/seeder/tests/e2e" --gtest_brief=1 >/dev/null
# Large inputs only slow the fuzzer down; it makes long runs itself.
find "$work/seeds" -size +4k -delete

CC=afl-clang-fast CXX=afl-clang-fast++ AFL_USE_ASAN=1 AFL_USE_UBSAN=1 AFL_QUIET=1 \
    cmake -S "$root" -B "$work/target" -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="-fno-sanitize-recover=all" >/dev/null
AFL_USE_ASAN=1 AFL_USE_UBSAN=1 AFL_QUIET=1 cmake --build "$work/target" -j2 >/dev/null

echo "fuzzing for $seconds s from $(ls "$work/seeds" | wc -l) seeds"
PATH="$root/tests:$PATH" AFL_NO_UI=1 AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 \
    AFL_NO_AFFINITY=1 ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0 \
    afl-fuzz -i "$work/seeds" -o "$work/out" -V "$seconds" -m none -t 2000 -- "$work/target/rpn" \
    >"$work/afl.log" 2>&1 || { tail -30 "$work/afl.log"; exit 1; }

stats=$work/out/default/fuzzer_stats
stat() { awk -F' *: *' -v k="$1" '$1 == k { print $2 }' "$stats"; }
echo "executions: $(stat execs_done), paths: $(stat corpus_count), crashes: $(stat saved_crashes), hangs: $(stat saved_hangs)"
found=$(find "$work/out/default/crashes" "$work/out/default/hangs" -type f ! -name README.txt)
if [ -n "$found" ]; then
    echo "inputs that broke the calculator:"
    echo "$found"
    exit 1
fi
