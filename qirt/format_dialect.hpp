// What each dialect's conversions want: the tables that the checker scans
// formats with, the argument every conversion takes, and whether a given
// argument type serves it, judged as g++ judges format arguments. Internal
// to the checking library.
#pragma once

#include <cstdint>
#include <string>

#include "qirt/format.hpp"
#include "wyx/tool/format_parser.hpp"

namespace qirt::detail {

// The strict scanner's table for a family and dialect.
const std::uint32_t* formatClassTable(FormatFamily family, FormatDialect dialect);

// Whether the C library of `dialect` takes "%<n>$" positions in `family`.
bool hasPositions(FormatFamily family, FormatDialect dialect);

// Kinds of arguments a conversion takes.
enum class WantKind {
  kInvalid,        // the conversion and size do not go together
  kNothing,        // takes no argument ("%m")
  kValue,          // a value of `type` (a TypeID base) after the promotions
  kText,           // a pointer to `type` (char or wchar_t); const is fine
  kAnyPointer,     // any pointer or nullptr ("%p")
  kTarget,         // a pointer to a writable `type`
  kAllocated,      // a pointer to a writable pointer to `type` (scanf's "m")
  kPointerTarget,  // a pointer to a writable pointer of any kind (scanf's "%p")
};

struct want_t {
  WantKind kind;
  unsigned type;      // a TypeID base
  unsigned identity;  // nonzero: any integer (or floating) type of that many
                      // bytes serves, as "I32" and "I64" take them
  const char* name;   // for messages: "int", "char*", ...
};

// What the specifier `spec` wants in `family` and `dialect`, for a format of
// wide characters when `wide` is set.
want_t wantOf(FormatFamily family, FormatDialect dialect, bool wide,
              const wyx::tool::strict_specifier_t& spec);

// What a '*' width or precision wants: an int.
constexpr want_t kStarWant{WantKind::kValue, kTypeInt, 0, "int"};

// Whether an argument of type `given` (a TypeID value) serves `want`.
bool accepts(const want_t& want, unsigned given);

// The name of a TypeID value for messages: "const char*", "a class object".
std::string typeName(unsigned type);

}  // namespace qirt::detail
