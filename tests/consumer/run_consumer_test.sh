#!/bin/sh
# Builds the consumer project the way a user's build does and runs it: its
# correct calls must print expected.txt, and of its wrong calls exactly the
# routed ones must be stopped.
# usage: run_consumer_test.sh PART WORK_DIR PREFIX KORVEN [KORVEN_SOURCE]
#   installed  find_package from PREFIX: korven_check_formats() alone, the
#              program without it, with its own log_printf, and a wrong
#              literal format that stops the build
#   fetched    FetchContent of KORVEN_SOURCE, the checking library alone
#   makefile   the Makefile with pkg-config from PREFIX; the program with the
#              routing header included after the C library's headers; an
#              options file with too few fixed parameters for snprintf
# KORVEN is a korven program that runs here. Environment: CXX and CXXFLAGS
# (compiler and flags), CONSUMER_CMAKE_ARGS (more configure arguments, such
# as a toolchain file), CONSUMER_RUNNER (runs the programs, such as wine).
set -eu
part=$1 work=$2 prefix=$3 korven=$4 korven_source=${5:-}
src=$(cd "$(dirname "$0")" && pwd)
runner=${CONSUMER_RUNNER:-}
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
[ -d "$prefix" ] && prefix=$(cd "$prefix" && pwd)

fail() {
  echo "consumer $part: FAILED: $*" >&2
  exit 1
}

# configure <build dir> <arguments...>
configure() {
  dir=$1
  shift
  # shellcheck disable=SC2086
  cmake -S "$src" -B "$dir" -DKORVEN_EXECUTABLE="$korven" ${CONSUMER_CMAKE_ARGS:-} "$@" \
    > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; fail "configuring $dir"; }
}

# build <build dir> <targets...>
build() {
  dir=$1
  shift
  cmake --build "$dir" -j 2 --target "$@" > "$dir.build.log" 2>&1 ||
    { cat "$dir.build.log"; fail "building $* in $dir"; }
}

# expect_run <program> <the functions whose wrong calls it must stop>
expect_run() {
  program=$1
  [ -f "$program.exe" ] && program=$program.exe
  status=0
  $runner "$program" > "$work/out" 2> "$work/err" || status=$?
  tr -d '\r' < "$work/out" > "$work/out.txt"
  stopped=$(tr -d '\r' < "$work/err" | sed -n 's/^stopped \([a-z_]*\): .*/\1/p' | tr '\n' ' ')
  if [ "$status" != 0 ] || ! cmp -s "$work/out.txt" "$src/expected.txt" || [ "$stopped" != "$2" ]; then
    cat "$work/err"
    diff "$src/expected.txt" "$work/out.txt" || true
    fail "$program exited with $status and stopped '$stopped' instead of '$2'"
  fi
  echo "$program: as the C library prints; stopped: $stopped"
}

case $part in
  installed)
    b=$work/build
    configure "$b" -DCMAKE_PREFIX_PATH="$prefix"
    build "$b" consumer consumer_unchecked consumer_own
    expect_run "$b/consumer" "printf sscanf swprintf "
    expect_run "$b/consumer_unchecked" ""
    expect_run "$b/consumer_own" "printf sscanf swprintf log_printf "
    if cmake --build "$b" --target consumer_mistake > "$b.mistake.log" 2>&1; then
      fail "the build succeeded although a literal format does not fit its argument"
    fi
    # g++ writes [-Werror=format=], clang [-Werror,-Wformat].
    grep -Eq 'Werror(=|,-W)format[]=]' "$b.mistake.log" ||
      { cat "$b.mistake.log"; fail "the build failed without the compiler's format report"; }
    echo "consumer_mistake: stopped by the compiler"
    ;;
  fetched)
    b=$work/build
    configure "$b" -DCONSUMER_KORVEN_SOURCE="$korven_source"
    build "$b" consumer_own
    expect_run "$b/consumer_own" "printf sscanf swprintf log_printf "
    ;;
  makefile)
    PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name korven-format.pc)")
    export PKG_CONFIG_PATH
    make -C "$work" -f "$src/Makefile" KORVEN="$korven" > "$work/make.log" 2>&1 ||
      { cat "$work/make.log"; fail "make"; }
    expect_run "$work/consumer" "printf sscanf swprintf log_printf "
    flags="${CXXFLAGS:-} -DQIRT_FORMAT_CHECK $(pkg-config --cflags korven-format)"
    # shellcheck disable=SC2086
    ${CXX:-c++} $flags -I"$work/gen" "$src/main.cpp" "$work/log.o" \
      $(pkg-config --libs korven-format) -o "$work/included_late"
    expect_run "$work/included_late" "printf sscanf swprintf log_printf "
    mkdir -p "$work/few"
    printf "object Options: TPersistenceWrapper Persistent.MaxFixedParams = 1 %s end\n" \
      "Persistent.FormatNames.Strings = ('printf' 'snprintf')" > "$work/few/options.txt"
    "$korven" "$work/few/options.txt" "$work/few" > /dev/null
    # shellcheck disable=SC2086
    if ${CXX:-c++} $flags -I"$work/few" -include qirt/format_stdio.hpp -fsyntax-only "$src/log.cpp" \
        > "$work/few.log" 2>&1 || ! grep -q "MaxFixedParams = 2 or more" "$work/few.log"; then
      cat "$work/few.log"
      fail "snprintf with one fixed parameter did not stop with the #error"
    fi
    echo "MaxFixedParams = 1 with snprintf: stopped by the #error"
    ;;
  *)
    fail "unknown part (installed, fetched or makefile)"
    ;;
esac
