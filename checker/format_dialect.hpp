// What each dialect's conversions want: the tables that the checker scans
// formats with, and the argument every conversion takes. Internal to the
// checking library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "checker/format_compare.hpp"
#include "qirt/format.hpp"
#include "wyx/tool/strict_format_scanner.hpp"

namespace qirt::detail {

// The strict scanner's table for a family and dialect.
const std::uint32_t* formatClassTable(FormatFamily family, FormatDialect dialect);

// Whether the C library of `dialect` takes "%<n>$" positions in `family`.
bool hasPositions(FormatFamily family, FormatDialect dialect);

// What every conversion with every size wants in `family` and `dialect`,
// for a format of wide characters when `wide` is set: a table for wantOf.
const want_t* wantTable(FormatFamily family, FormatDialect dialect, bool wide);

// What the specifier `spec`, read with formatClassTable(family, ...), wants;
// `wants` is the wantTable of its family, dialect and character type.
want_t wantOf(const want_t* wants, const wyx::tool::strict_specifier_t& spec);

// A conversion's entry in a formatClassTable carries its row in the want
// tables; each row has one want per size modifier.
constexpr std::uint32_t kWantRowMask = 0xFF;
constexpr std::size_t kWantRowSize = 16;

// What a specifier without scanf's "m" wants: its entry in `wants`.
inline const want_t& plainWantOf(const want_t* wants, const wyx::tool::strict_specifier_t& spec) {
  return wants[((spec.entry & kWantRowMask) - 1) * kWantRowSize + spec.modifier];
}

// What a '*' width or precision wants: an int.
constexpr want_t kStarWant{WantKind::kValue, kTypeInt, 0, "int"};

// The name of a TypeID value for messages: "const char*", "a class object".
std::string typeName(unsigned type);

}  // namespace qirt::detail
