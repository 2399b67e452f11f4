#!/usr/bin/env bash
# Measures the korven program (not a test): wall time of the usage run (the
# baseline: start-up and banner only), of a run with the default settings and
# of a large run (MaxFixedParams 8, MaxFormatParams 1000, about 210 MB of
# headers), with output throughput and peak memory of the large run.
#
# usage: bench/run_generator_bench.sh [KORVEN]
# Without KORVEN, a Release korven is built in build-bench first.
# Targets: default run within 1.5x the usage run; large run at least 500 MB/s
# and peak memory below twice the output size.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
korven=${1:-}
if [ -z "$korven" ]; then
  cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DKORVEN_BUILD_TESTS=OFF >/dev/null
  cmake --build "$root/build-bench" --target korven -j 2 >/dev/null
  korven=$root/build-bench/app/korven
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/korven-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

printf 'object Options: TPersistenceWrapper\nend\n' > "$work/default.txt"
printf 'object Options: TPersistenceWrapper\n  Persistent.MaxFixedParams = 8\n  Persistent.MaxFormatParams = 1000\nend\n' \
  > "$work/large.txt"


# run_once OPTIONS... : one run into a fresh output directory; prints the
# wall time in nanoseconds. The usage run exits with status 2 by design.
run_once() {
  rm -rf "$work/out" && mkdir "$work/out"
  # Let the previous run's writeback finish so it does not bill this one.
  sync
  local start end
  start=${EPOCHREALTIME/./}
  "$korven" "$@" > /dev/null || [ $# -eq 0 ]
  end=${EPOCHREALTIME/./}
  echo $(((end - start) * 1000))
}

# median_ns COUNT OPTIONS... : median wall time of COUNT runs.
median_ns() {
  local count=$1
  shift
  for _ in $(seq "$count"); do run_once "$@"; done | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}

ms() { awk -v ns="$1" 'BEGIN { printf "%.2f ms", ns / 1e6 }'; }

usage_ns=$(median_ns 101)
default_ns=$(median_ns 101 "$work/default.txt" "$work/out")
large_ns=$(median_ns 7 "$work/large.txt" "$work/out")
large_bytes=$(cat "$work/out"/*.hpp | wc -c)

rm -rf "$work/out" && mkdir "$work/out"
/usr/bin/time -f '%M' -o "$work/rss" "$korven" "$work/large.txt" "$work/out" > /dev/null
peak_kib=$(tail -n 1 "$work/rss")

echo "korven: $korven"
echo "usage run (baseline):  $(ms "$usage_ns") (median of 101)"
echo "default run:           $(ms "$default_ns") (median of 101), $(awk -v a="$default_ns" -v b="$usage_ns" 'BEGIN { printf "%.2fx", a / b }') the baseline (target <= 1.5x)"
echo "large run (F=8, M=1000): $(ms "$large_ns") (median of 7) for $large_bytes bytes"
awk -v bytes="$large_bytes" -v ns="$large_ns" -v kib="$peak_kib" 'BEGIN {
  printf "  throughput:          %.0f MB/s (target >= 500)\n", bytes / (ns / 1e9) / 1e6
  printf "  peak memory:         %.1f MB, %.2fx the output (target < 2x)\n", kib * 1024 / 1e6, kib * 1024 / bytes
}'
