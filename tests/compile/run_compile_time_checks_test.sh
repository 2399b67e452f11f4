#!/bin/sh
# Generates headers with CompileTimeChecks = True, builds the checking library
# from its sources with CXX, then compiles compile_time_checks.cpp in the
# plain and the debug variant: warning-free under strict format warnings
# (and glibc's _FORTIFY_SOURCE=2 where there is glibc), running through the
# checked wrappers; and with each call the compiler must report added,
# failing to compile with that report as the error.
# usage: run_compile_time_checks_test.sh KORVEN CXX STD SOURCE_DIR ROOT WORK_DIR RUNNER LIBRARY_SOURCES...
# RUNNER runs korven and the programs when they are built for another system
# (wine for Windows programs); "-" for none.
set -eu
korven=$1 cxx=$2 std=$3 src=$4 root=$5 work=$6 runner=$7
shift 7
[ "$runner" = "-" ] && runner=""
link="" fortify="-O2 -D_FORTIFY_SOURCE=2"
# A program run by a runner finds none of its compiler's runtime libraries,
# and only glibc has the fortified functions.
[ -n "$runner" ] && link="-static" fortify="-O2"

. "$src/checking_library.sh"
generate_headers "$src/options_compile_time_checks.txt"
build_library "$@"

strict="-std=$std $fortify -Wall -Wextra -Wformat=2 -Werror=format-security -Werror $library_includes -I$work/gen"
program="$src/compile_time_checks.cpp"

for mode in plain debug; do
  defines="-DQIRT_FORMAT_CHECK"
  [ "$mode" = debug ] && defines="$defines -DQIRT_FORMAT_CHECK_DEBUG"
  # shellcheck disable=SC2086
  "$cxx" $strict $defines "$program" $objects $link -o "$work/checks_$mode.exe"
  $runner "$work/checks_$mode.exe" > "$work/checks_$mode.out"
  echo "$mode: $(tail -n 1 "$work/checks_$mode.out")"

  # Only the format warnings are errors here, so each compile fails for the
  # report it is meant to draw and for nothing else.
  for case in MISMATCH_PRINTF:format MISMATCH_SNPRINTF:format MISMATCH_LOG_PRINTF:format \
              UNTRUSTED_FORMAT:format-security; do
    macro=${case%%:*} warning=${case#*:}
    log="$work/$mode.$macro.log"
    # shellcheck disable=SC2086
    if "$cxx" -std="$std" -fsyntax-only -Wformat -Werror="$warning" $library_includes -I"$work/gen" $defines \
        -D"$macro" "$program" > "$log" 2>&1; then
      echo "$mode $macro: compiled, but the compiler should have reported the call"
      exit 1
    fi
    # g++ writes [-Werror=format=], clang [-Werror,-Wformat].
    if ! grep -Eq "Werror(=|,-W)$warning[]=]" "$log"; then
      cat "$log"
      echo "$mode $macro: failed without the -W$warning report"
      exit 1
    fi
    echo "$mode $macro: reported by the compiler"
  done
done
