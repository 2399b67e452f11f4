// The source-level name of a class, for reporting exceptions.
#pragma once

#include <cstddef>
#include <typeinfo>

namespace korven {

constexpr std::size_t kMaxClassName = 256;

// A class name held without heap memory, so that even the report of an
// allocation failure can name its class.
struct class_name_t {
  char text[kMaxClassName];
};

// The fully qualified name as written in source, with "::" between the
// namespace parts ("wyx::io::EStreamOpenError", "std::runtime_error"). The
// library's ABI decorations (inline namespaces such as __cxx11, [abi:...]
// tags) are left out; a name of another form is returned as the platform
// gives it (cut to fit). Allocates nothing.
class_name_t qualifiedClassName(const std::type_info& type) noexcept;

}  // namespace korven
