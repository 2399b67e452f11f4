#!/bin/sh
# Runs format_check_bench with repetitions and prints, from the medians of
# one run (the repetitions of all benchmarks interleaved at random, so that
# they share the machine's ups and downs), what a check costs next to glibc's parse_printf_format (which
# only reads the format) and next to the snprintf call it guards.
# usage: bench/run_format_check_bench.sh [build-bench]
set -eu
build=${1:-build-bench}
"$build/bench/format_check_bench" --benchmark_repetitions=15 --benchmark_report_aggregates_only=true \
    --benchmark_enable_random_interleaving=true \
    --benchmark_min_time=0.1 2>/dev/null |
  awk '$1 ~ /_median$/ { name = $1; sub(/_median$/, "", name); t[name] = $4; print }
       END {
         split("0 1", args, " ")
         for (i = 1; i <= 2; ++i) {
           a = args[i]
           label = a == 0 ? "\"%d %s %5.2f\"" : "eight conversions"
           printf "%-20s first check / parse_printf_format %.2f, first check / snprintf %.2f, repeated check / snprintf %.2f\n",
             label, t["BM_CheckFirstTime/" a] / t["BM_ParsePrintfFormat/" a],
             t["BM_CheckFirstTime/" a] / t["BM_Snprintf/" a], t["BM_CheckRepeated/" a] / t["BM_Snprintf/" a]
         }
       }'
