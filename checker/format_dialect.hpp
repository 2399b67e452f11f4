// What each dialect's conversions want: the tables that the checker scans
// formats with, and the argument every conversion takes. Internal to the
// checking library.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "checker/format_compare.hpp"
#include "qirt/format.hpp"
#include "wyx/tool/strict_format_scanner.hpp"

namespace qirt::detail {

constexpr bool isScan(FormatFamily family) {
  return family == kFamilyScanf || family == kFamilyScanfSecure;
}
// The Microsoft library's secure functions (printf_s, scanf_s, ...).
constexpr bool isSecure(FormatFamily family) {
  return family == kFamilyPrintfSecure || family == kFamilyScanfSecure;
}
constexpr std::size_t kFamilies = 4;
constexpr std::size_t kDialects = 3;

// Whether the conversion `c` of scanf_s takes a buffer size after its
// target.
constexpr bool takesSize(std::uint32_t c) {
  return c == 'c' || c == 'C' || c == 's' || c == 'S' || c == '[';
}

// The strict scanner's table for a family and dialect.
const std::uint32_t* formatClassTable(FormatFamily family, FormatDialect dialect);

// Whether the C library of `dialect` takes "%<n>$" positions in `family`.
bool hasPositions(FormatFamily family, FormatDialect dialect);

// A conversion's entry in a formatClassTable carries its row in the want
// tables; each row has one want per size modifier.
constexpr std::uint32_t kWantRowMask = 0xFF;
constexpr std::size_t kWantRowSize = 16;
using want_row_t = std::array<want_t, kWantRowSize>;

// What every conversion with every size wants in one family, dialect and
// character type: the row of the conversion in table entry r is
// rows[index[r - 1]]. Families, dialects and character types share most
// rows, so each distinct row is kept once.
struct want_table_t {
  const want_row_t* rows;
  const std::uint8_t* index;
  bool allocates;  // scanf's "m" is known (scanf_s has no size for it)
};

// The wants of `family` and `dialect`, for a format of wide characters when
// `wide` is set: a table for wantOf.
want_table_t wantTable(FormatFamily family, FormatDialect dialect, bool wide);

// What the specifier `spec`, read with formatClassTable(family, ...), wants;
// `wants` is the wantTable of its family, dialect and character type.
want_t wantOf(const want_table_t& wants, const wyx::tool::strict_specifier_t& spec);

// What a specifier without scanf's "m" wants: its entry in `wants`.
inline const want_t& plainWantOf(const want_table_t& wants,
                                 const wyx::tool::strict_specifier_t& spec) {
  return wants.rows[wants.index[(spec.entry & kWantRowMask) - 1]][spec.modifier];
}

// The names of what conversions want, for messages. A want holds the
// number of its name; the names are one text and their offsets numbers, so
// that no table holds a pointer for the loader to relocate.
#define QIRT_FORMAT_WANT_NAMES(X)                             \
  X(kNameNone, "")                                            \
  X(kNameInt, "int")                                          \
  X(kNameUnsignedInt, "unsigned int")                         \
  X(kNameIntPtr, "int*")                                      \
  X(kNameUnsignedIntPtr, "unsigned int*")                     \
  X(kNameShort, "short")                                      \
  X(kNameUnsignedShort, "unsigned short")                     \
  X(kNameShortPtr, "short*")                                  \
  X(kNameUnsignedShortPtr, "unsigned short*")                 \
  X(kNameSignedChar, "signed char")                           \
  X(kNameUnsignedChar, "unsigned char")                       \
  X(kNameSignedCharPtr, "signed char*")                       \
  X(kNameUnsignedCharPtr, "unsigned char*")                   \
  X(kNameLong, "long")                                        \
  X(kNameUnsignedLong, "unsigned long")                       \
  X(kNameLongPtr, "long*")                                    \
  X(kNameUnsignedLongPtr, "unsigned long*")                   \
  X(kNameLongLong, "long long")                               \
  X(kNameUnsignedLongLong, "unsigned long long")              \
  X(kNameLongLongPtr, "long long*")                           \
  X(kNameUnsignedLongLongPtr, "unsigned long long*")          \
  X(kNameIntmaxT, "intmax_t")                                 \
  X(kNameUintmaxT, "uintmax_t")                               \
  X(kNameIntmaxTPtr, "intmax_t*")                             \
  X(kNameUintmaxTPtr, "uintmax_t*")                           \
  X(kNameSsizeT, "ssize_t")                                   \
  X(kNameSizeT, "size_t")                                     \
  X(kNameSsizeTPtr, "ssize_t*")                               \
  X(kNameSizeTPtr, "size_t*")                                 \
  X(kNamePtrdiffT, "ptrdiff_t")                               \
  X(kNameUnsignedPtrdiffT, "unsigned ptrdiff_t")              \
  X(kNamePtrdiffTPtr, "ptrdiff_t*")                           \
  X(kNameUnsignedPtrdiffTPtr, "unsigned ptrdiff_t*")          \
  X(kNameAny32BitInteger, "a 32-bit integer")                 \
  X(kNameAny32BitIntegerPtr, "a pointer to a 32-bit integer") \
  X(kNameAny64BitInteger, "a 64-bit integer")                 \
  X(kNameAny64BitIntegerPtr, "a pointer to a 64-bit integer") \
  X(kNameDecimal32, "_Decimal32")                             \
  X(kNameDecimal64, "_Decimal64")                             \
  X(kNameDecimal128, "_Decimal128")                           \
  X(kNameDecimal32Ptr, "_Decimal32*")                         \
  X(kNameDecimal64Ptr, "_Decimal64*")                         \
  X(kNameDecimal128Ptr, "_Decimal128*")                       \
  X(kNameDouble, "double")                                    \
  X(kNameDoublePtr, "double*")                                \
  X(kNameLongDouble, "long double")                           \
  X(kNameLongDoublePtr, "long double*")                       \
  X(kNameFloatPtr, "float*")                                  \
  X(kNameWintT, "wint_t")                                     \
  X(kNameCharPtr, "char*")                                    \
  X(kNameWcharTPtr, "wchar_t*")                               \
  X(kNameCharPtrPtr, "char**")                                \
  X(kNameWcharTPtrPtr, "wchar_t**")                           \
  X(kNameVoidPtr, "void*")                                    \
  X(kNameVoidPtrPtr, "void**")

enum WantName : std::uint8_t {
#define QIRT_FORMAT_WANT_NAME_ID(id, text) id,
  QIRT_FORMAT_WANT_NAMES(QIRT_FORMAT_WANT_NAME_ID)
#undef QIRT_FORMAT_WANT_NAME_ID
};

const char* wantName(const want_t& want);

// What the buffer size after a text target of scanf_s wants: unsigned int
// in the Microsoft library, rsize_t (size_t) in C's optional scanf_s that a
// POSIX program may have.
want_t sizeWant(FormatDialect dialect);

// What a '*' width or precision wants: an int.
constexpr want_t kStarWant = withBases({WantKind::kValue, kTypeInt, 0, kNameInt, 0});

}  // namespace qirt::detail
