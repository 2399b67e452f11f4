#!/usr/bin/env bash
# Uses korven the way a user's build does: installs it into a temporary
# prefix, builds examples/cmake-consumer against it with find_package and
# then again with add_subdirectory of this source tree, and checks that the
# headers are regenerated when, and only when, the options file changes.
# Then builds the Debian package and checks what it holds, and finally the
# checking library alone (KORVEN_LIBRARY_ONLY): installed, packaged, and used
# by the consumer project of the tests with the installed korven.
#
#   .ci/consumer.sh <korven build directory>
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 <korven build directory>" >&2
  exit 2
fi
src="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

step() { echo "== consumer: $*"; }
fail() {
  echo "consumer: FAILED: $*" >&2
  exit 1
}

# Work on a copy of the example so that touching and editing its options file
# leaves the source tree alone.
example="$tmp/example"
cp -r "$src/examples/cmake-consumer" "$example"
options="$example/options.txt"

# Builds <dir> and keeps ninja's output in <dir>/last-build.log.
build_consumer() {
  if ! cmake --build "$1" -j 2 >"$1/last-build.log" 2>&1; then
    cat "$1/last-build.log"
    fail "building $1"
  fi
  cat "$1/last-build.log"
}

generated_in() { grep -c "Generating format headers" "$1/last-build.log" || true; }

expect_no_work() {
  local out
  out="$(ninja -C "$1" -n)"
  grep -q "no work to do" <<<"$out" || fail "second build of $1 is not a no-op:
$out"
}

run_consumer() {
  local out
  out="$("$1/consumer")" || fail "$1/consumer exited with $?"
  echo "$out"
  grep -q "format checks passed" <<<"$out" || fail "$1/consumer printed no success line"
  grep -q 'printf format "%d Äpfel\\n": argument 1 is const char\*, but %d wants int' <<<"$out" ||
    fail "$1/consumer did not report the wrong call"
}

step "build and install korven from $build"
cmake --build "$build" --target korven -j 2
cmake --install "$build" --prefix "$tmp/prefix" >"$tmp/install.log"
cat "$tmp/install.log"
[ -x "$tmp/prefix/bin/korven" ] || fail "bin/korven not installed"
[ -f "$tmp/prefix/share/man/man1/korven.1" ] || fail "man page not installed"
config="$(find "$tmp/prefix" -name korvenConfig.cmake)"
[ -n "$config" ] || fail "korvenConfig.cmake not installed"
[ -f "$tmp/prefix/include/qirt/format.hpp" ] || fail "qirt/format.hpp not installed"
for f in format.hpp format_types.hpp format_error.hpp format_stdio.hpp; do
  [ -f "$tmp/prefix/include/qirt/$f" ] || fail "qirt/$f not installed"
done
[ -n "$(find "$tmp/prefix" -name libqirt_format.a)" ] || fail "libqirt_format.a not installed"
pc="$(find "$tmp/prefix" -name korven-format.pc)"
[ -n "$pc" ] || fail "korven-format.pc not installed"
flags="$(PKG_CONFIG_PATH="$(dirname "$pc")" pkg-config --cflags --libs korven-format)"
echo "pkg-config --cflags --libs korven-format: $flags"
[ -f "$(echo "$flags" | sed -n 's/^-I\([^ ]*\) .*/\1/p')/qirt/format_stdio.hpp" ] ||
  fail "pkg-config's include folder lacks qirt/format_stdio.hpp"
for f in korvenConfigVersion.cmake korvenGenerate.cmake korvenTargets.cmake; do
  [ -f "$(dirname "$config")/$f" ] || fail "$f not installed beside korvenConfig.cmake"
done

step "find_package(korven) from the installed prefix"
b="$tmp/installed"
cmake -S "$example" -B "$b" -G Ninja -DCMAKE_PREFIX_PATH="$tmp/prefix"
grep -q "$tmp/prefix/bin/korven" "$b/build.ninja" || fail "the build does not run the installed korven"
build_consumer "$b"
[ "$(generated_in "$b")" = 1 ] || fail "first build did not generate the headers once"
run_consumer "$b"
expect_no_work "$b"

step "a wrong literal format stops the build: the example sets CompileTimeChecks"
m="$tmp/mistake"
cmake -S "$example" -B "$m" -G Ninja -DCMAKE_PREFIX_PATH="$tmp/prefix" -DCONSUMER_COMPILE_TIME_MISTAKE=ON >/dev/null
if cmake --build "$m" >"$m/last-build.log" 2>&1; then
  cat "$m/last-build.log"
  fail "the build succeeded although a literal format does not fit its argument"
fi
# g++ writes [-Werror=format=], clang [-Werror,-Wformat].
grep -Eq 'Werror(=|,-W)format[]=]' "$m/last-build.log" || {
  cat "$m/last-build.log"
  fail "the build failed without the compiler's format report"
}
grep -m 1 'error: format' "$m/last-build.log"
echo "(the compiler reported the call, as it should)"

step "touching the options file regenerates the headers, but recompiles nothing"
header="$b/korven_generated/consumer_format_headers/format_typelist.hpp"
before="$(stat -c %y "$header")"
sleep 1
touch "$options"
build_consumer "$b"
[ "$(generated_in "$b")" = 1 ] || fail "touching the options file did not regenerate the headers"
[ "$(stat -c %y "$header")" = "$before" ] || fail "an unchanged header got a new timestamp"
grep -q "Building CXX" "$b/last-build.log" && fail "unchanged headers made the program recompile"
expect_no_work "$b"

step "editing the options file changes the headers and recompiles the program"
grep -q "typelist4_t" "$header" && fail "format_typelist.hpp already has typelist4_t"
sed -i 's/MaxFormatParams = 4/MaxFormatParams = 5/' "$options"
build_consumer "$b"
grep -q "typelist4_t" "$header" || fail "MaxFormatParams = 5 did not reach format_typelist.hpp"
grep -q "Building CXX object CMakeFiles/consumer.dir/main.cpp" "$b/last-build.log" ||
  fail "changed headers did not make the program recompile"
run_consumer "$b"
expect_no_work "$b"

step "an invalid options file fails the build"
cp "$options" "$tmp/options.good"
echo "object Options: TPersistenceWrapper Persistent.MaxFormatParamz = 1 end" >"$options"
if cmake --build "$b" >"$tmp/bad.log" 2>&1; then
  cat "$tmp/bad.log"
  fail "the build succeeded although korven rejected the options file"
fi
echo "(the build failed as it should; its log follows)"
cat "$tmp/bad.log"
grep -q "MaxFormatParamz" "$tmp/bad.log" || fail "korven's message is not in the build log"
cp "$tmp/options.good" "$options"
build_consumer "$b"
expect_no_work "$b"

step "KORVEN_EXECUTABLE replaces the tool"
cat >"$tmp/korven-wrapper" <<EOF
#!/bin/sh
echo "\$@" >>"$tmp/wrapper.log"
exec "$tmp/prefix/bin/korven" "\$@"
EOF
chmod +x "$tmp/korven-wrapper"
cmake -S "$example" -B "$b" -DKORVEN_EXECUTABLE="$tmp/korven-wrapper" >/dev/null
build_consumer "$b"
[ -s "$tmp/wrapper.log" ] || fail "KORVEN_EXECUTABLE was not run"
expect_no_work "$b"

step "add_subdirectory of the source tree"
b="$tmp/subdir"
cmake -S "$example" -B "$b" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVEN_SOURCE_DIR="$src"
build_consumer "$b"
[ "$(generated_in "$b")" = 1 ] || fail "first build did not generate the headers once"
run_consumer "$b"
expect_no_work "$b"
sleep 1
touch "$options"
build_consumer "$b"
[ "$(generated_in "$b")" = 1 ] || fail "touching the options file did not regenerate the headers"
expect_no_work "$b"

step "Debian package"
cmake --build "$build" --target package -j 2 >"$tmp/package.log" 2>&1 || {
  cat "$tmp/package.log"
  fail "building the Debian package"
}
deb="$(ls -t "$build"/korven_*.deb | head -n 1)"
dpkg-deb -c "$deb" | tee "$tmp/deb.list"
for path in ./usr/bin/korven ./usr/share/man/man1/korven.1 \
            /cmake/korven/korvenConfig.cmake /cmake/korven/korvenConfigVersion.cmake \
            /cmake/korven/korvenGenerate.cmake /cmake/korven/korvenTargets.cmake \
            ./usr/include/qirt/format.hpp ./usr/include/qirt/format_stdio.hpp \
            /pkgconfig/korven-format.pc /libqirt_format.a /libwyx_format.a; do
  grep -q -- "$path\$" "$tmp/deb.list" || fail "$deb lacks $path"
done
dpkg-deb -I "$deb"

step "the unpacked Debian package serves find_package"
dpkg-deb -x "$deb" "$tmp/deb"
b="$tmp/from-deb"
cmake -S "$example" -B "$b" -G Ninja -DCMAKE_PREFIX_PATH="$tmp/deb/usr"
grep -q "$tmp/deb/usr/bin/korven" "$b/build.ninja" || fail "the build does not run the packaged korven"
build_consumer "$b"
run_consumer "$b"
expect_no_work "$b"

step "the checking library alone: build, install, package"
lo="$tmp/library-only"
cmake -S "$src" -B "$lo" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVEN_LIBRARY_ONLY=ON -DKORVEN_WERROR=ON >/dev/null
build_consumer "$lo"
grep -q "Building CXX object app/" "$lo/last-build.log" && fail "the library alone built the korven program"
cmake --install "$lo" --prefix "$tmp/lo-prefix" | tee "$tmp/lo-install.log"
grep -q "/bin/korven" "$tmp/lo-install.log" && fail "the library alone installed bin/korven"
for f in include/qirt/format_stdio.hpp lib/libqirt_format.a lib/libwyx_format.a \
         lib/pkgconfig/korven-format.pc lib/cmake/korven/korvenConfig.cmake; do
  [ -f "$tmp/lo-prefix/$f" ] || fail "the library alone did not install $f"
done
cmake --build "$lo" --target package >"$tmp/lo-package.log" 2>&1 || {
  cat "$tmp/lo-package.log"
  fail "packaging the library alone"
}
lodeb="$(ls "$lo"/korven-format_*.deb)"
dpkg-deb -c "$lodeb" | tee "$tmp/lodeb.list"
grep -q "/libqirt_format.a$" "$tmp/lodeb.list" || fail "$lodeb lacks the library"
grep -q "/bin/korven$" "$tmp/lodeb.list" && fail "$lodeb holds the korven program"

step "the consumer project against the library alone, with the installed korven"
CMAKE_GENERATOR=Ninja sh "$src/tests/consumer/run_consumer_test.sh" installed "$tmp/lo-consumer" \
  "$tmp/lo-prefix" "$tmp/prefix/bin/korven"

echo "consumer: all checks passed"
