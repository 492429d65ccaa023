#!/bin/bash
# Times rpn against dc on generated postfix workloads, beside the cost of the I/O alone.
# Usage: bench/run.sh [RUNS]   (default 3 runs of each; builds rpn in build-bench)
# Prints for each workload the median wall time, MB/s of input and peak resident memory of
# both programs, the ratio dc / rpn, the I/O floor and the ratio rpn / floor, and at the end
# the memory per stacked number and the targets met or missed.
set -euo pipefail
runs=${1:-3}
root=$(cd "$(dirname "$0")/.." && pwd)
need=()
command -v dc >/dev/null || need+=(dc)
[ -x /usr/bin/time ] || need+=(time)
if [ ${#need[@]} -gt 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi

cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$root/build-bench" -j2 >/dev/null
rpn=$root/build-bench/rpn
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# clear would only write escape codes into the output files
mkdir "$work/bin" && ln -s /bin/true "$work/bin/clear"
export PATH="$work/bin:$PATH"

# Each workload in both notations: rpn's and dc's (where _ is the minus sign and p prints).
gen_sum() {
    awk 'BEGIN { print "1"; for (i = 0; i < 2000000; i++) print (i % 1000) " +" }' >"$work/sum.rpn"
    awk 'BEGIN { print "1"; for (i = 0; i < 2000000; i++) print (i % 1000) " + p" }' >"$work/sum.dc"
}
gen_deep() { # $1 numbers, then $1 - 1 additions on one line
    awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) printf "%d ", i % 100; print "";
        for (i = 1; i < n; i++) printf "+ "; print "" }' >"$work/deep$1.rpn"
    awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) printf "%d ", i % 100; print "";
        for (i = 1; i < n; i++) printf "+"; print "p" }' >"$work/deep$1.dc"
}
gen_mixed() { # ordinary lines using every command; each leaves the working stack empty
    awk 'BEGIN { for (i = 0; i < 80000; i++)
        print (i % 90 + 10) " 34 + 5 * 6 - -3 / ^ s & $ - 7 ? # # 8 9 * 2 * #"; print "w" }' >"$work/mixed.rpn"
    awk 'BEGIN { for (i = 0; i < 80000; i++)
        print (i % 90 + 10) " 34+p 5*p 6-p _3/p d*p dSa d r-p 7 f sx sx 8 9*p 2*p sx"; print "Laf" }' >"$work/mixed.dc"
}
gen_sum
gen_deep 100000
gen_deep 200000
gen_mixed
: >"$work/empty.rpn"

now() { date +%s%N; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# measure NAME PROGRAM INPUT: sets secs (median wall time) and peak (largest peak RSS, KB)
measure() {
    local times=() peaks=() t0 t1
    for _ in $(seq "$runs"); do
        t0=$(now)
        /usr/bin/time -f %M -o "$work/rss" "$2" <"$3" >"$work/$1.out"
        t1=$(now)
        times+=("$(((t1 - t0) / 1000))")
        peaks+=("$(cat "$work/rss")")
    done
    secs=$(printf '%s\n' "${times[@]}" | median | awk '{ printf "%.3f", $1 / 1e6 }')
    peak=$(printf '%s\n' "${peaks[@]}" | sort -n | tail -1)
}

# The I/O alone: reading the input and writing rpn's output, each with cat.
floor() {
    local times=() t0 t1
    for _ in $(seq "$runs"); do
        t0=$(now)
        cat "$1" >/dev/null
        cat "$2" >"$work/floor.out"
        t1=$(now)
        times+=("$(((t1 - t0) / 1000))")
    done
    printf '%s\n' "${times[@]}" | median | awk '{ printf "%.3f", $1 / 1e6 }'
}

echo "machine: $(lscpu | awk -F': *' '/Model name/ { print $2; exit }'), $(nproc) cores; $runs runs each"
printf '%-12s %8s | %8s %8s %8s | %8s %8s %8s | %7s | %8s %9s\n' workload "input MB" "rpn s" "MB/s" "peak MB" \
    "dc s" "MB/s" "peak MB" "dc/rpn" "floor s" "rpn/floor"
declare -A ratio rpn_secs over_floor
for w in sum deep100000 deep200000 mixed; do
    bytes=$(stat -c %s "$work/$w.rpn")
    mb=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1048576 }')
    measure "$w.rpn" "$rpn" "$work/$w.rpn"
    r_secs=$secs r_peak=$peak
    measure "$w.dc" dc "$work/$w.dc"
    d_secs=$secs d_peak=$peak
    f_secs=$(floor "$work/$w.rpn" "$work/$w.rpn.out")
    rpn_secs[$w]=$r_secs
    ratio[$w]=$(awk -v d="$d_secs" -v r="$r_secs" 'BEGIN { printf "%.0f", d / r }')
    over_floor[$w]=$(awk -v f="$f_secs" -v r="$r_secs" 'BEGIN { printf "%.1f", r / f }')
    awk -v w="$w" -v mb="$mb" -v rs="$r_secs" -v rp="$r_peak" -v ds="$d_secs" -v dp="$d_peak" \
        -v ra="${ratio[$w]}" -v fs="$f_secs" -v of="${over_floor[$w]}" 'BEGIN {
        printf "%-12s %8s | %8s %8.1f %8.1f | %8s %8.1f %8.1f | %6sx | %8s %8sx\n",
            w, mb, rs, mb / rs, rp / 1024, ds, mb / ds, dp / 1024, ra, fs, of }'
done

measure empty.rpn "$rpn" "$work/empty.rpn"
empty_peak=$peak
measure deep200000.rpn "$rpn" "$work/deep200000.rpn"
per_number=$(awk -v d="$peak" -v e="$empty_peak" 'BEGIN { printf "%.1f", (d - e) * 1024 / 200000 }')
growth=$(awk -v a="${rpn_secs[deep100000]}" -v b="${rpn_secs[deep200000]}" 'BEGIN { printf "%.2f", b / a }')
echo "memory per stacked number: $per_number bytes (peak of deep200000 minus an empty run's, / 200000)"
echo "deep200000 / deep100000 time: $growth"

verdict() { awk -v v="$2" -v lim="$3" -v op="$4" 'BEGIN { ok = op == ">=" ? v >= lim : v <= lim;
    printf "%-6s %s: %s (target %s %s)\n", ok ? "met" : "MISSED", ARGV[1], v, op, lim }' "$1"; }
verdict "sum, dc/rpn" "${ratio[sum]}" 100 ">="
verdict "sum, rpn/floor" "${over_floor[sum]}" 3 "<="
verdict "deep200000, dc/rpn" "${ratio[deep200000]}" 20 ">="
verdict "deep, 200000 over 100000 time" "$growth" 2.5 "<="
verdict "bytes per stacked number" "$per_number" 40 "<="
