// The source-level name of a class, for reporting exceptions.
#pragma once

#include <string>
#include <typeinfo>

namespace korven {

// The fully qualified name as written in source, with "::" between the
// namespace parts ("wyx::io::EStreamOpenError", "std::runtime_error"). The
// library's ABI decorations (inline namespaces such as __cxx11, [abi:...]
// tags) are left out; an undecodable name is returned as the platform gives it.
std::string qualifiedClassName(const std::type_info& type);

}  // namespace korven
