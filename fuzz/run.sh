#!/usr/bin/env bash
# Runs every fuzzer for $FUZZ_SECONDS seconds (30 by default) on a copy of its
# seed corpus, so a run never adds files to the repository. Findings go to
# <build-dir>/fuzz/artifacts.
# Usage: fuzz/run.sh <build-dir> [target...]   (default: all targets)
set -euo pipefail
build="${1:?usage: $0 <build-dir> [target...]}"
shift
seconds="${FUZZ_SECONDS:-30}"
here="$(cd "$(dirname "$0")" && pwd)"
artifacts="$build/fuzz/artifacts"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$artifacts"

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(template format_value options_text options_load format_check)

for target in "${targets[@]}"; do
  corpus="$work/$target"
  mkdir -p "$corpus"
  cp "$here/corpus/$target/"* "$corpus/"
  echo "== ${target}_fuzzer for ${seconds}s"
  # The malloc limit makes any single allocation over 256 MB a finding: no
  # input may make the engine or the reader allocate like that.
  if ! "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 \
      -malloc_limit_mb=256 -timeout=10 -artifact_prefix="$artifacts/" -print_final_stats=1 \
      "$corpus" >"$work/$target.log" 2>&1; then
    tail -n 40 "$work/$target.log"
    echo "${target}_fuzzer failed; see $artifacts" >&2
    exit 1
  fi
  tail -n 12 "$work/$target.log"
done
