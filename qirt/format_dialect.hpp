// What each dialect's conversions want: the class tables that the checker
// scans formats with, and the argument type of every conversion. Internal to
// the checking library.
#pragma once

#include <cstdint>
#include <string>

#include "qirt/format.hpp"

namespace qirt::detail {

// Attribute of a scan set's code ("%[...]").
constexpr std::uint32_t kAttrScanSet = 0x10;

// The scanner's table for a family and dialect (strict, with positions).
const std::uint32_t* formatClassTable(FormatFamily family, FormatDialect dialect);

// Kinds of arguments a conversion takes.
enum class WantKind {
  kInvalid,  // the conversion and size do not go together
  kNothing,  // consumes no argument ("%m")
  kInteger,  // an integer whose promoted size is `size`
  kDouble,   // float or double (a float is promoted)
  kLongDouble,
  kNarrowText,         // pointer to char, signed or unsigned char; may be const
  kWideText,           // pointer to wchar_t; may be const
  kPointer,            // any object pointer, or nullptr
  kIntegerTarget,      // pointer to a non-const integer of `size` bytes
  kRealTarget,         // pointer to a non-const `base` (float, double, long double)
  kNarrowTarget,       // pointer to non-const char, signed or unsigned char
  kWideTarget,         // pointer to non-const wchar_t
  kVoidPointerTarget,  // void**
};

struct want_t {
  WantKind kind;
  unsigned size;     // kInteger, kIntegerTarget
  unsigned base;     // kRealTarget
  const char* name;  // for messages: "int", "char*", ...
};

// What the conversion `letter` ('[' for a scan set) with the size modifier
// `modifier` (a wyx::tool::SizeModifier) wants in `family` and `dialect`,
// for a format of wide characters when `wide` is set.
want_t wantOf(FormatFamily family, FormatDialect dialect, bool wide, unsigned letter,
              std::uint32_t modifier);

// What a '*' width or precision wants: an int.
constexpr want_t kStarWant{WantKind::kInteger, sizeof(int), 0, "int"};

// Whether an argument of type `given` (a TypeID value) serves `want`.
bool accepts(const want_t& want, unsigned given);

// The name of a TypeID value for messages: "const char*", "a class object".
std::string typeName(unsigned type);

}  // namespace qirt::detail
