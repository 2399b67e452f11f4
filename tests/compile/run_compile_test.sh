#!/bin/sh
# Generates headers with korven and compiles and runs programs that use them.
# usage: run_compile_test.sh KORVEN OPTIONS CXX CC STD SOURCE_DIR WORK_DIR [RUNNER]
# RUNNER runs korven and the programs when they are built for another system
# (wine for Windows programs).
set -eu
korven=$1 options=$2 cxx=$3 cc=$4 std=$5 src=$6 work=$7 runner=${8:-}

rm -rf "$work"
mkdir -p "$work/gen"
$runner "$korven" "$options" "$work/gen" > "$work/korven.out" || { cat "$work/korven.out"; exit 1; }

flags="-std=$std -Wall -Wextra -Werror -I$src/include -I$work/gen"
# A program run by a runner finds none of its compiler's runtime libraries.
link=""
[ -n "$runner" ] && link="-static"
# The wrappers for zero arguments pass their format parameter on as the
# format string; clang warns about that by default.
case "$(basename "$cxx")" in *clang*) flags="$flags -Wno-format-security" ;; esac

for mode in plain debug; do
  define=""
  [ "$mode" = debug ] && define="-DQIRT_FORMAT_CHECK_DEBUG"
  # shellcheck disable=SC2086
  "$cxx" $flags $define "$src/wrapper_calls.cpp" $link -o "$work/wrapper_calls_$mode.exe"
  $runner "$work/wrapper_calls_$mode.exe" > "$work/wrapper_calls_$mode.out"
  echo "$mode: $(tail -n 1 "$work/wrapper_calls_$mode.out")"
done

for define in "" -DQIRT_FORMAT_CHECK; do
  # shellcheck disable=SC2086
  "$cc" -std=c99 -Wall -Wextra -Werror $define -I"$src/include" -I"$work/gen" "$src/c_include.c" $link \
    -o "$work/c_include.exe"
  $runner "$work/c_include.exe"
done
echo "C: compiled and ran"
