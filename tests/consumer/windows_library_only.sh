#!/usr/bin/env bash
# The checking library cross-built alone for Windows, as a project that
# builds for Windows on another machine does: configures, builds, installs
# and packages it with MinGW-w64 and no wine to be found (a wine that fails,
# first on the PATH, proves it is never run), then builds the consumer
# project of the tests against that install and runs it under wine.
#
#   tests/consumer/windows_library_only.sh <Windows build directory> <host build directory>
#
# The host build directory holds a korven for the build machine, which
# generates the consumer's headers as in any cross build.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 <Windows build directory> <host build directory>" >&2
  exit 2
fi
src="$(cd "$(dirname "$0")/../.." && pwd)"
windows="$(cd "$1" && pwd)"
host="$(cd "$2" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
toolchain="$src/cmake/mingw-w64-x86_64.cmake"

fail() {
  echo "windows library alone: FAILED: $*" >&2
  exit 1
}

# A wine that fails the build, first on the PATH: the library alone must
# neither need nor look for one.
echo "== windows library alone: build, install and package without wine"
mkdir -p "$tmp/no-wine"
printf '#!/bin/sh\necho "wine was run: $*" >>"%s/wine-was-run"\nexit 1\n' "$tmp" >"$tmp/no-wine/wine"
chmod +x "$tmp/no-wine/wine"
lo="$tmp/library-only"
PATH="$tmp/no-wine:$PATH" cmake -S "$src" -B "$lo" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKORVEN_LIBRARY_ONLY=ON -DKORVEN_WERROR=ON >/dev/null
PATH="$tmp/no-wine:$PATH" cmake --build "$lo" -j 2
PATH="$tmp/no-wine:$PATH" cmake --install "$lo" --prefix "$tmp/lo-prefix" >/dev/null
PATH="$tmp/no-wine:$PATH" cmake --build "$lo" --target package >/dev/null
[ ! -e "$tmp/wine-was-run" ] || fail "$(cat "$tmp/wine-was-run")"
grep -q "^KORVEN_WINE:" "$lo/CMakeCache.txt" && fail "the library alone looked for wine"
[ ! -e "$tmp/lo-prefix/bin/korven.exe" ] || fail "the library alone installed korven.exe"
for f in include/qirt/format_stdio.hpp lib/libqirt_format.a lib/pkgconfig/korven-format.pc; do
  [ -f "$tmp/lo-prefix/$f" ] || fail "the library alone did not install $f"
done
# The listing is read whole before it is searched: grep -q stops reading at
# the first match, and under pipefail unzip's broken pipe would fail the test.
listing="$(unzip -l "$lo"/korven-format-*-windows-x86_64.zip)"
grep -q "lib/libqirt_format.a" <<<"$listing" || fail "the ZIP of the library alone lacks the library"

echo "== windows library alone: the consumer project against it, under wine"
sh "$src/cmake/with-wine.sh" "$windows" env -u CXX -u CXXFLAGS CMAKE_GENERATOR=Ninja \
  CONSUMER_RUNNER=wine CONSUMER_CMAKE_ARGS="-DCMAKE_TOOLCHAIN_FILE=$toolchain" \
  sh "$src/tests/consumer/run_consumer_test.sh" installed "$tmp/lo-consumer" "$tmp/lo-prefix" \
  "$host/app/korven"
echo "windows library alone: all checks passed"
