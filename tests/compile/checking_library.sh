# Sourced by the compile tests that use the real checking library: expects
# korven, cxx, src, root, work and runner to be set.

# The include folders of the library's sources and of its users.
library_includes="-I$root -I$root/checker/include"

# Generates the headers from the options file $1 into $work/gen.
generate_headers() {
  rm -rf "$work"
  mkdir -p "$work/gen" "$work/lib"
  $runner "$korven" "$1" "$work/gen" > "$work/korven.out" || { cat "$work/korven.out"; exit 1; }
}

# Compiles the library sources given as arguments into $work/lib and lists
# the objects in $objects. The library is C++17 whatever the program's
# standard.
build_library() {
  objects=""
  for source in "$@"; do
    object="$work/lib/$(basename "$source").o"
    # shellcheck disable=SC2086
    "$cxx" -std=c++17 -O1 -Wall -Wextra -Werror $library_includes -c "$source" -o "$object"
    objects="$objects $object"
  done
}
