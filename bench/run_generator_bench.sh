#!/usr/bin/env bash
# Measures the korven program (not a test), side by side in one run: wall
# time of the usage run (the baseline: start-up and banner only), of a run
# with the default settings, and of a large run (MaxFixedParams 8,
# MaxFormatParams 1000, about 210 MB of headers) against two Python scripts
# that write the same files, one joining each header in memory
# (bench/write_headers.py), one streaming every piece through a buffered file
# (bench/stream_headers.py), and against cat copying the files into fresh
# ones; peak memory of the large run and of a run near the 1 GiB limit
# (MaxFormatParams 2200, about 1.05 GB).
#
# usage: [ROUNDS=n] bench/run_generator_bench.sh [KORVEN]
# Without KORVEN, a Release korven is built in build-bench first. The large
# runs are repeated ROUNDS times (9).
# Targets: default run within 1.2x the usage run; large run at most 2x the
# time of cat and at least 3x as fast as the streaming script; peak memory at
# most 32 MB in both large runs.
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
large() {
  printf 'object Options: TPersistenceWrapper\n  Persistent.MaxFixedParams = 8\n  Persistent.MaxFormatParams = %s\nend\n' "$1"
}
large 1000 > "$work/large.txt"
large 2200 > "$work/huge.txt"

# time_ns COMMAND... : wall time of one run into a fresh output directory,
# in nanoseconds. The usage run exits with status 2 by design.
time_ns() {
  rm -rf "$work/out" && mkdir "$work/out"
  # Let the previous run's writeback finish so it does not bill this one.
  sync
  local start end
  start=${EPOCHREALTIME/./}
  "$@" > /dev/null || [ $# -eq 1 ]
  end=${EPOCHREALTIME/./}
  echo $(((end - start) * 1000))
}

# median_ns COUNT COMMAND... : median wall time of COUNT runs.
median_ns() {
  local count=$1
  shift
  for _ in $(seq "$count"); do time_ns "$@"; done | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}

# peak_mb OPTIONS : peak resident memory of one korven run, in MB.
peak_mb() {
  rm -rf "$work/out" && mkdir "$work/out"
  /usr/bin/time -f '%M' -o "$work/rss" "$korven" "$1" "$work/out" > /dev/null
  awk -v kib="$(tail -n 1 "$work/rss")" 'BEGIN { printf "%.1f", kib * 1024 / 1e6 }'
}

ms() { awk -v ns="$1" 'BEGIN { printf "%.1f ms", ns / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'; }

usage_ns=$(median_ns 101 "$korven")
default_ns=$(median_ns 101 "$korven" "$work/default.txt" "$work/out")

# The large runs take turns, so that the machine's moods hit them alike.
korven_runs=() python_runs=() stream_runs=() cat_runs=()
mkdir -p "$work/reference"
"$korven" "$work/large.txt" "$work/reference" > /dev/null
large_bytes=$(cat "$work/reference"/*.hpp | wc -c)
copy() { for f in "$work/reference"/*.hpp; do cat "$f" > "$work/out/${f##*/}"; done; }
rounds=${ROUNDS:-9}
for _ in $(seq "$rounds"); do
  korven_runs+=("$(time_ns "$korven" "$work/large.txt" "$work/out")")
  python_runs+=("$(time_ns python3 "$root/bench/write_headers.py" 8 1000 "$work/out")")
  stream_runs+=("$(time_ns python3 "$root/bench/stream_headers.py" 8 1000 "$work/out")")
  cat_runs+=("$(time_ns copy)")
done

for script in write_headers.py stream_headers.py; do
  rm -rf "$work/out" && mkdir "$work/out"
  python3 "$root/bench/$script" 8 1000 "$work/out"
  for f in "$work/reference"/*.hpp; do
    cmp -s "$f" "$work/out/${f##*/}" || { echo "$script differs from korven in ${f##*/}" >&2; exit 1; }
  done
done
median() { printf '%s\n' "$@" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }
korven_ns=$(median "${korven_runs[@]}")
python_ns=$(median "${python_runs[@]}")
stream_ns=$(median "${stream_runs[@]}")
cat_ns=$(median "${cat_runs[@]}")

echo "korven: $korven"
echo "usage run (baseline):    $(ms "$usage_ns") (median of 101)"
echo "default run:             $(ms "$default_ns") (median of 101), $(ratio "$default_ns" "$usage_ns") the baseline (target <= 1.2x)"
echo "large run (F=8, M=1000, $large_bytes bytes), medians of $rounds:"
echo "  korven:                $(ms "$korven_ns"), $(awk -v b="$large_bytes" -v ns="$korven_ns" 'BEGIN { printf "%.0f MB/s", b / (ns / 1e9) / 1e6 }')"
echo "  cat of the same files: $(ms "$cat_ns"): korven takes $(ratio "$korven_ns" "$cat_ns") its time (target <= 2x)"
echo "  streaming Python:      $(ms "$stream_ns"): korven is $(ratio "$stream_ns" "$korven_ns") as fast (target >= 3x)"
echo "  joining Python:        $(ms "$python_ns"): korven is $(ratio "$python_ns" "$korven_ns") as fast"
echo "  peak memory:           $(peak_mb "$work/large.txt") MB (target <= 32)"
echo "run near the limit (F=8, M=2200, about 1.05 GB):"
echo "  peak memory:           $(peak_mb "$work/huge.txt") MB (target <= 32)"
