#!/bin/sh
# Generates headers with korven, builds the checking library from its sources
# with CXX, and compiles and runs checked_calls.cpp against it with checking
# off, on and on in the debug variant; then the C translation unit.
# usage: run_checked_test.sh KORVEN CXX CC STD SOURCE_DIR ROOT WORK_DIR RUNNER LIBRARY_SOURCES...
# RUNNER runs korven and the programs when they are built for another system
# (wine for Windows programs); "-" for none.
set -eu
korven=$1 cxx=$2 cc=$3 std=$4 src=$5 root=$6 work=$7 runner=$8
shift 8
[ "$runner" = "-" ] && runner=""
# A program run by a runner finds none of its compiler's runtime libraries.
link=""
[ -n "$runner" ] && link="-static"

. "$src/checking_library.sh"
generate_headers "$src/options_checked.txt"
build_library "$@"

flags="-std=$std -Wall -Wextra -Werror $library_includes -I$work/gen"
case "$(basename "$cxx")" in *clang*) flags="$flags -Wno-format-security" ;; esac

for mode in off on debug; do
  case $mode in
    off) defines="" ;;
    on) defines="-DQIRT_FORMAT_CHECK" ;;
    debug) defines="-DQIRT_FORMAT_CHECK -DQIRT_FORMAT_CHECK_DEBUG" ;;
  esac
  # shellcheck disable=SC2086
  "$cxx" $flags $defines "$src/checked_calls.cpp" $objects $link -o "$work/checked_calls_$mode.exe"
  $runner "$work/checked_calls_$mode.exe" < "$src/checked_calls.in" > "$work/checked_calls_$mode.out"
  echo "$mode: $(tail -n 1 "$work/checked_calls_$mode.out")"
done

# shellcheck disable=SC2086
"$cxx" $flags -DQIRT_FORMAT_CHECK -fsyntax-only "$src/late_headers.cpp"
echo "late standard headers: still routed"

# The dialect follows the C library the unit calls: for MinGW, the default
# way and the way old code is ported.
dialect() {
  # shellcheck disable=SC2086
  "$cxx" $flags -DQIRT_FORMAT_CHECK "$@" "$src/dialect_of_unit.cpp" $objects $link \
    -o "$work/dialect_of_unit.exe"
  $runner "$work/dialect_of_unit.exe" | tr -d '\r'
}
case "$(basename "$cxx")" in
  *mingw*)
    expect_default="MinGW: %Lf passes"
    [ "$(dialect -D__USE_MINGW_ANSI_STDIO=0)" = "Microsoft: %Lf is stopped" ] ||
      { echo "ported MinGW unit: $(dialect -D__USE_MINGW_ANSI_STDIO=0)"; exit 1; }
    ;;
  *) expect_default="POSIX: %Lf passes" ;;
esac
[ "$(dialect)" = "$expect_default" ] || { echo "default unit: $(dialect)"; exit 1; }
echo "dialect of the unit: as its C library"

for define in "" -DQIRT_FORMAT_CHECK -DQIRT_FORMAT_CHECK_DEBUG; do
  # shellcheck disable=SC2086
  "$cc" -std=c99 -Wall -Wextra -Werror $define $library_includes -I"$work/gen" "$src/c_include.c" $link \
    -o "$work/c_include.exe"
  $runner "$work/c_include.exe"
done
echo "C: compiled and ran"
