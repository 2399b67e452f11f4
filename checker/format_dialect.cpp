#include "checker/format_dialect.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cwchar>

namespace qirt::detail {

namespace {

using namespace wyx::tool;
using Table = std::array<std::uint32_t, kClassTableSize>;

// The conversions that have a row in the want tables, and their rows.
constexpr char kConversions[] = "diouxXbBaAeEfFgGcCsS[pnm";
constexpr std::size_t kRows = sizeof kConversions - 1;

constexpr std::array<std::uint8_t, kClassTableSize> makeRows() {
  std::array<std::uint8_t, kClassTableSize> rows{};
  for (std::size_t i = 0; i < kRows; ++i) {
    rows[static_cast<std::size_t>(kConversions[i])] = static_cast<std::uint8_t>(i + 1);
  }
  return rows;
}
constexpr std::array<std::uint8_t, kClassTableSize> kRowOf = makeRows();

constexpr std::uint32_t conversionEntry(char c) {
  return classEntry(kClassConversion) | kRowOf[static_cast<std::size_t>(c)];
}
constexpr std::uint32_t sizeEntry(SizeModifier modifier) {
  return classEntry(kClassSize) | (modifier << kModifierShift);
}

// The scanner's table for a family and dialect: which characters are flags,
// sizes and conversions there. The argument each conversion takes is
// wantOf's business.
constexpr Table makeTable(FormatFamily family, FormatDialect dialect) {
  const bool scan = family == kFamilyScanf;
  const bool posix = dialect == kFormatDialectPosix;
  Table table{};
  // Positions are read everywhere, so that a library without them gets a
  // message saying so rather than "not a valid specifier".
  table[0] = kTableStrict | kTablePositional | (scan ? kTableStarSuppresses : 0) |
             (posix ? 0 : kTableBareI);
  for (char c = '0'; c <= '9'; ++c) table[static_cast<std::size_t>(c)] = classEntry(kClassDigit);
  // glibc reads 'I' as a flag (locale digits); the Windows libraries as the
  // size prefix "I", "I32", "I64".
  const char* flags = scan ? "'" : "-+ #0'";
  for (const char* f = flags; *f != 0; ++f) {
    table[static_cast<std::size_t>(*f)] = classEntry(kClassFlag);
  }
  table['I'] = classEntry(posix ? kClassFlag : kClassSizePrefix);
  if (!scan) table['.'] = classEntry(kClassDot);
  table['*'] = classEntry(kClassStar);
  table['h'] = sizeEntry(kModH);
  table['l'] = sizeEntry(kModL);
  table['L'] = sizeEntry(kModBigL);
  table['j'] = sizeEntry(kModJ);
  table['z'] = sizeEntry(kModZ);
  table['t'] = sizeEntry(kModT);
  // "q" is glibc's, and MinGW's scanf's; "Z" (for "z") glibc's printf's.
  if (posix || (scan && dialect == kFormatDialectMinGW)) table['q'] = sizeEntry(kModQ);
  if (posix && !scan) table['Z'] = sizeEntry(kModZ);
  if (dialect != kFormatDialectMicrosoft) {
    table['H'] = sizeEntry(kModDecimal32);
    table['D'] = sizeEntry(kModDecimal64);
  }
  for (const char* c = "diouxXaAeEfFgGcCsSpn"; *c != 0; ++c) {
    table[static_cast<std::size_t>(*c)] = conversionEntry(*c);
  }
  if (scan) table['['] = classEntry(kClassScanSet) | kRowOf['['];
  if (dialect != kFormatDialectMicrosoft) {
    // Binary integers: "%b" in both families, "%B" in printf.
    table['b'] = conversionEntry('b');
    if (!scan) table['B'] = conversionEntry('B');
    // "%m": glibc's and MinGW's printf print strerror(errno); their scanf
    // allocates the text it reads.
    table['m'] = scan ? classEntry(kClassAllocation) : conversionEntry('m');
  }
  return table;
}

constexpr Table kTables[2][3] = {
    {makeTable(kFamilyPrintf, kFormatDialectPosix), makeTable(kFamilyPrintf, kFormatDialectMinGW),
     makeTable(kFamilyPrintf, kFormatDialectMicrosoft)},
    {makeTable(kFamilyScanf, kFormatDialectPosix), makeTable(kFamilyScanf, kFormatDialectMinGW),
     makeTable(kFamilyScanf, kFormatDialectMicrosoft)},
};

template <typename T>
constexpr unsigned idOf() {
  return TypeID<T, const char*>::value;
}

constexpr want_t kInvalid{WantKind::kInvalid, 0, 0, 0, 0};

// A want; a value's type is kept as the promotions leave it, which is what
// arguments are compared with. Runs only where the tables are built.
constexpr want_t makeWant(WantKind kind, unsigned type, unsigned identity, WantName name) {
  return {kind, static_cast<std::uint8_t>(kind == WantKind::kValue ? promotedOf(type) : type),
          static_cast<std::uint8_t>(identity), name, 0};
}

// What the integer conversions want for each size modifier, indexed by its
// id: the signed and the unsigned type, as values and as targets.
struct integer_sizes_t {
  unsigned types[2];  // signed, unsigned
  WantName names[2];
  WantName targetNames[2];
};

constexpr integer_sizes_t kIntegerSizes[] = {
    /* none */ {{kTypeInt, kTypeUnsignedInt},
                {kNameInt, kNameUnsignedInt},
                {kNameIntPtr, kNameUnsignedIntPtr}},
    /* h */
    {{kTypeShort, kTypeUnsignedShort},
     {kNameShort, kNameUnsignedShort},
     {kNameShortPtr, kNameUnsignedShortPtr}},
    /* hh */
    {{kTypeSignedChar, kTypeUnsignedChar},
     {kNameSignedChar, kNameUnsignedChar},
     {kNameSignedCharPtr, kNameUnsignedCharPtr}},
    /* l */
    {{kTypeLong, kTypeUnsignedLong},
     {kNameLong, kNameUnsignedLong},
     {kNameLongPtr, kNameUnsignedLongPtr}},
    /* ll */
    {{kTypeLongLong, kTypeUnsignedLongLong},
     {kNameLongLong, kNameUnsignedLongLong},
     {kNameLongLongPtr, kNameUnsignedLongLongPtr}},
    /* j */
    {{idOf<std::intmax_t>(), idOf<std::uintmax_t>()},
     {kNameIntmaxT, kNameUintmaxT},
     {kNameIntmaxTPtr, kNameUintmaxTPtr}},
    /* z */
    {{variantOf(idOf<std::size_t>(), false), idOf<std::size_t>()},
     {kNameSsizeT, kNameSizeT},
     {kNameSsizeTPtr, kNameSizeTPtr}},
    /* t */
    {{idOf<std::ptrdiff_t>(), variantOf(idOf<std::ptrdiff_t>(), true)},
     {kNamePtrdiffT, kNameUnsignedPtrdiffT},
     {kNamePtrdiffTPtr, kNameUnsignedPtrdiffTPtr}},
    /* L */
    {{kTypeLongLong, kTypeUnsignedLongLong},
     {kNameLongLong, kNameUnsignedLongLong},
     {kNameLongLongPtr, kNameUnsignedLongLongPtr}},
    /* I32 */
    {{kTypeInt, kTypeInt},
     {kNameAny32BitInteger, kNameAny32BitInteger},
     {kNameAny32BitIntegerPtr, kNameAny32BitIntegerPtr}},
    /* I64 */
    {{kTypeLongLong, kTypeLongLong},
     {kNameAny64BitInteger, kNameAny64BitInteger},
     {kNameAny64BitIntegerPtr, kNameAny64BitIntegerPtr}},
    /* q */
    {{kTypeLongLong, kTypeUnsignedLongLong},
     {kNameLongLong, kNameUnsignedLongLong},
     {kNameLongLongPtr, kNameUnsignedLongLongPtr}},
    /* I */
    {{idOf<std::ptrdiff_t>(), idOf<std::size_t>()},
     {kNamePtrdiffT, kNameSizeT},
     {kNamePtrdiffTPtr, kNameSizeTPtr}},
};

constexpr want_t integerWant(FormatDialect dialect, bool target, bool isSigned, bool count,
                             std::uint32_t modifier) {
  // "%n" takes no "L" or "I"; the Microsoft library takes no "L" on
  // integers at all; nobody takes a decimal size on them.
  if (modifier >= sizeof kIntegerSizes / sizeof kIntegerSizes[0] ||
      (count && (modifier == kModBigL || modifier == kModI)) ||
      (dialect == kFormatDialectMicrosoft && modifier == kModBigL)) {
    return kInvalid;
  }
  const integer_sizes_t& sizes = kIntegerSizes[modifier];
  const unsigned identity = modifier == kModI32 ? 4 : modifier == kModI64 ? 8 : 0;
  const int sign = isSigned ? 0 : 1;
  return makeWant(target ? WantKind::kTarget : WantKind::kValue, sizes.types[sign], identity,
                  target ? sizes.targetNames[sign] : sizes.names[sign]);
}

constexpr WantName kDecimalNames[2][3] = {
    {kNameDecimal32, kNameDecimal64, kNameDecimal128},
    {kNameDecimal32Ptr, kNameDecimal64Ptr, kNameDecimal128Ptr}};

constexpr want_t floatWant(FormatDialect dialect, bool scan, unsigned letter,
                           std::uint32_t modifier) {
  if (modifier >= kModDecimal32) {
    // Decimal floating point, which no C++ type is; printf's "%a" has none.
    if (!scan && (letter == 'a' || letter == 'A')) return kInvalid;
    return makeWant(scan ? WantKind::kTarget : WantKind::kValue, 0, 0,
                    kDecimalNames[scan][modifier - kModDecimal32]);
  }
  if (modifier == kModBigL && dialect == kFormatDialectMicrosoft) {
    // The Microsoft library reads a 64-bit double for "L" (its long double);
    // its scanf takes no "L" at all.
    if (scan) return kInvalid;
    return makeWant(WantKind::kValue, kTypeDouble, sizeof(double), kNameDouble);
  }
  if (modifier == kModBigL) {
    return scan ? makeWant(WantKind::kTarget, kTypeLongDouble, 0, kNameLongDoublePtr)
                : makeWant(WantKind::kValue, kTypeLongDouble, 0, kNameLongDouble);
  }
  if (modifier == kModL) {
    return scan ? makeWant(WantKind::kTarget, kTypeDouble, 0, kNameDoublePtr)
                : makeWant(WantKind::kValue, kTypeDouble, 0, kNameDouble);
  }
  if (modifier != kModNone) return kInvalid;
  return scan ? makeWant(WantKind::kTarget, kTypeFloat, 0, kNameFloatPtr)
              : makeWant(WantKind::kValue, kTypeDouble, 0, kNameDouble);
}

// Whether a character or text conversion means wide characters. Returns
// false with *valid cleared for a size that does not apply.
constexpr bool isWideText(FormatDialect dialect, bool wideFunction, bool other,
                          std::uint32_t modifier, bool* valid) {
  *valid = true;
  if (dialect == kFormatDialectMicrosoft) {
    // "%s" follows the function, "%S" is the other one; "h" and "l" fix it,
    // except that "l" does not go with "%S" and "%C".
    if (modifier == kModH) return false;
    if (modifier == kModL && !other) return true;
    if (modifier != kModNone) *valid = false;
    return wideFunction != other;
  }
  if (other) {
    if (modifier != kModNone) *valid = false;
    return true;
  }
  if (modifier != kModNone && modifier != kModL) *valid = false;
  return modifier == kModL;
}

constexpr unsigned kWint = promotedOf(idOf<std::wint_t>());

constexpr want_t textWant(FormatDialect dialect, bool scan, bool wideFunction,
                          const strict_specifier_t& spec) {
  const unsigned letter = spec.conversion;
  bool valid = true;
  const bool other = letter == 'C' || letter == 'S';
  const bool wide = isWideText(dialect, wideFunction, other, spec.modifier, &valid);
  if (!valid || (letter == '[' && spec.modifier == kModH)) return kInvalid;
  const unsigned type = wide ? kTypeWchar : kTypeChar;
  if (scan) return makeWant(WantKind::kTarget, type, 0, wide ? kNameWcharTPtr : kNameCharPtr);
  if (letter == 'c' || letter == 'C') {
    return wide ? makeWant(WantKind::kValue, kWint, 0, kNameWintT)
                : makeWant(WantKind::kValue, kTypeInt, 0, kNameInt);
  }
  return makeWant(WantKind::kText, type, 0, wide ? kNameWcharTPtr : kNameCharPtr);
}

// What a conversion wants, worked out; wantOf looks it up.
constexpr want_t computeWant(FormatFamily family, FormatDialect dialect, bool wide,
                             const strict_specifier_t& spec) {
  const bool scan = isScan(family);
  switch (spec.conversion) {
    case 'd':
    case 'i':
      return integerWant(dialect, scan, true, false, spec.modifier);
    case 'b':
    case 'B':
    case 'o':
    case 'u':
    case 'x':
    case 'X':
      return integerWant(dialect, scan, false, false, spec.modifier);
    case 'n':
      // The secure functions refuse "%n", which has served to write where
      // an attacker's format wanted.
      if (family == kFamilyPrintfSecure) return kInvalid;
      return integerWant(dialect, true, true, true, spec.modifier);
    case 'a':
    case 'A':
    case 'e':
    case 'E':
    case 'f':
    case 'F':
    case 'g':
    case 'G':
      return floatWant(dialect, scan, spec.conversion, spec.modifier);
    case 'c':
    case 'C':
    case 's':
    case 'S':
    case '[':
      return textWant(dialect, scan, wide, spec);
    case 'p':
      if (spec.modifier != kModNone) return kInvalid;
      return scan ? makeWant(WantKind::kPointerTarget, 0, 0, kNameVoidPtrPtr)
                  : makeWant(WantKind::kAnyPointer, 0, 0, kNameVoidPtr);
    case 'm':
      return spec.modifier == kModNone ? makeWant(WantKind::kNothing, 0, 0, kNameNone) : kInvalid;
    default:
      return kInvalid;
  }
}

// Every conversion and size of every family, dialect and character type,
// worked out when the library is compiled, so that a check looks each want
// up: printf before scanf, dialects in their order, narrow before wide.
constexpr std::size_t kWantTables = kFamilies * kDialects * 2;

constexpr std::size_t wantTableIndex(FormatFamily family, FormatDialect dialect, bool wide) {
  return (static_cast<std::size_t>(family) * kDialects + static_cast<std::size_t>(dialect)) * 2 +
         (wide ? 1 : 0);
}

using all_rows_t = std::array<std::array<want_row_t, kRows>, kWantTables>;

constexpr all_rows_t makeAllRows() {
  all_rows_t all{};
  for (const FormatFamily family :
       {kFamilyPrintf, kFamilyScanf, kFamilyPrintfSecure, kFamilyScanfSecure}) {
    for (const FormatDialect dialect :
         {kFormatDialectPosix, kFormatDialectMinGW, kFormatDialectMicrosoft}) {
      for (const bool wide : {false, true}) {
        auto& table = all[wantTableIndex(family, dialect, wide)];
        for (std::size_t row = 0; row < kRows; ++row) {
          for (std::uint32_t modifier = 0; modifier < kWantRowSize; ++modifier) {
            strict_specifier_t spec{};
            spec.conversion = static_cast<unsigned char>(kConversions[row]);
            spec.modifier = modifier;
            table[row][modifier] = computeWant(family, dialect, wide, spec);
          }
        }
      }
    }
  }
  return all;
}

constexpr all_rows_t kAllRows = makeAllRows();

constexpr std::size_t kAllRowCount = kWantTables * kRows;

constexpr const want_row_t& rowAt(std::size_t i) { return kAllRows[i / kRows][i % kRows]; }

constexpr std::uint64_t rowHash(const want_row_t& row) {
  std::uint64_t hash = 14695981039346656037u;
  for (const want_t& want : row) {
    const std::uint64_t fields = static_cast<std::uint64_t>(want.kind) | (want.type << 8) |
                                 (want.identity << 16) |
                                 (static_cast<std::uint64_t>(want.name) << 24);
    hash = (hash ^ fields) * 1099511628211u;
  }
  return hash;
}

constexpr bool sameRow(const want_row_t& a, const want_row_t& b) {
  for (std::size_t i = 0; i < kWantRowSize; ++i) {
    if (a[i].kind != b[i].kind || a[i].type != b[i].type || a[i].identity != b[i].identity ||
        a[i].name != b[i].name) {
      return false;
    }
  }
  return true;
}

// For every row over all tables, the first row equal to it. Each row is
// compared with the distinct rows found before it, by a hash first, which
// keeps the work within what compilers allow a constant expression.
constexpr std::array<std::uint16_t, kAllRowCount> makeFirstEqual() {
  std::array<std::uint16_t, kAllRowCount> first{};
  std::array<std::uint64_t, kAllRowCount> distinctHashes{};
  std::array<std::uint16_t, kAllRowCount> distinct{};
  std::size_t count = 0;
  for (std::size_t i = 0; i < kAllRowCount; ++i) {
    const std::uint64_t hash = rowHash(rowAt(i));
    std::size_t k = 0;
    while (k < count && (distinctHashes[k] != hash || !sameRow(rowAt(distinct[k]), rowAt(i)))) {
      ++k;
    }
    if (k == count) {
      distinctHashes[count] = hash;
      distinct[count++] = static_cast<std::uint16_t>(i);
    }
    first[i] = distinct[k];
  }
  return first;
}

constexpr std::array<std::uint16_t, kAllRowCount> kFirstEqual = makeFirstEqual();

constexpr std::size_t countDistinctRows() {
  std::size_t distinct = 0;
  for (std::size_t i = 0; i < kAllRowCount; ++i) distinct += kFirstEqual[i] == i;
  return distinct;
}

constexpr std::size_t kDistinctRows = countDistinctRows();
static_assert(kDistinctRows <= 256, "a row index is one byte");

struct want_rows_t {
  std::array<want_row_t, kDistinctRows> rows;
  std::array<std::array<std::uint8_t, kRows>, kWantTables> index;
};

constexpr want_rows_t makeWantRows() {
  want_rows_t out{};
  std::size_t distinct = 0;
  // Where each row went, by its number over all tables.
  std::array<std::uint8_t, kAllRowCount> placed{};
  for (std::size_t i = 0; i < kAllRowCount; ++i) {
    if (kFirstEqual[i] == i) {
      // The bases are added to the distinct rows only, which keeps the
      // compile-time work of building the tables within the compilers' limits.
      for (std::size_t m = 0; m < kWantRowSize; ++m) out.rows[distinct][m] = withBases(rowAt(i)[m]);
      placed[i] = static_cast<std::uint8_t>(distinct++);
    } else {
      placed[i] = placed[kFirstEqual[i]];
    }
    out.index[i / kRows][i % kRows] = placed[i];
  }
  return out;
}

constexpr want_rows_t kWantRows = makeWantRows();

constexpr bool keepsEveryRow() {
  for (std::size_t i = 0; i < kAllRowCount; ++i) {
    if (!sameRow(kWantRows.rows[kWantRows.index[i / kRows][i % kRows]], rowAt(i))) return false;
  }
  return true;
}
static_assert(keepsEveryRow(), "every table finds its own rows");

// scanf's "m" on text: the library allocates the text and stores a pointer
// to it.
constexpr want_t kAllocatedChar = makeWant(WantKind::kAllocated, kTypeChar, 0, kNameCharPtrPtr);
constexpr want_t kAllocatedWchar = makeWant(WantKind::kAllocated, kTypeWchar, 0, kNameWcharTPtrPtr);

// All names in one text, and where each begins.
constexpr char kWantNameText[] =
#define QIRT_FORMAT_WANT_NAME_TEXT(id, text) text "\0"
    QIRT_FORMAT_WANT_NAMES(QIRT_FORMAT_WANT_NAME_TEXT)
#undef QIRT_FORMAT_WANT_NAME_TEXT
    ;
constexpr std::size_t kWantNameSizes[] = {
#define QIRT_FORMAT_WANT_NAME_SIZE(id, text) sizeof(text),
    QIRT_FORMAT_WANT_NAMES(QIRT_FORMAT_WANT_NAME_SIZE)
#undef QIRT_FORMAT_WANT_NAME_SIZE
};
constexpr std::size_t kWantNameCount = sizeof kWantNameSizes / sizeof kWantNameSizes[0];

constexpr std::array<std::uint16_t, kWantNameCount> makeWantNameOffsets() {
  std::array<std::uint16_t, kWantNameCount> offsets{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < kWantNameCount; ++i) {
    offsets[i] = static_cast<std::uint16_t>(at);
    at += kWantNameSizes[i];
  }
  return offsets;
}
constexpr std::array<std::uint16_t, kWantNameCount> kWantNameOffsets = makeWantNameOffsets();

}  // namespace

const std::uint32_t* formatClassTable(FormatFamily family, FormatDialect dialect) {
  return kTables[isScan(family)][dialect].data();
}

bool hasPositions(FormatFamily family, FormatDialect dialect) {
  // MinGW's printf prints "%1$d" as text; its scanf reads positions. A
  // scanf_s has no way to name a size's position, so none has positions.
  if (family == kFamilyScanfSecure) return false;
  return dialect == kFormatDialectPosix ||
         (dialect == kFormatDialectMinGW && family == kFamilyScanf);
}

want_t sizeWant(FormatDialect dialect) {
  static constexpr want_t kUnsigned =
      withBases(makeWant(WantKind::kValue, kTypeUnsignedInt, 0, kNameUnsignedInt));
  static constexpr want_t kSize =
      withBases(makeWant(WantKind::kValue, idOf<std::size_t>(), 0, kNameSizeT));
  return dialect == kFormatDialectPosix ? kSize : kUnsigned;
}

const char* wantName(const want_t& want) {
  return kWantNameText + kWantNameOffsets[want.name < kWantNameCount ? want.name : 0];
}

want_table_t wantTable(FormatFamily family, FormatDialect dialect, bool wide) {
  return {kWantRows.rows.data(), kWantRows.index[wantTableIndex(family, dialect, wide)].data(),
          family != kFamilyScanfSecure};
}

want_t wantOf(const want_table_t& wants, const strict_specifier_t& spec) {
  const want_t& want = plainWantOf(wants, spec);
  // scanf's "m" (only scanf tables read it); on anything but text it
  // changes nothing.
  if (spec.allocating && !wants.allocates) return kInvalid;
  if (spec.allocating && want.kind == WantKind::kTarget) {
    if (want.type == kTypeChar) return kAllocatedChar;
    if (want.type == kTypeWchar) return kAllocatedWchar;
  }
  return want;
}

}  // namespace qirt::detail
