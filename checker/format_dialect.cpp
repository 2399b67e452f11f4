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

constexpr want_t kInvalid{WantKind::kInvalid, 0, 0, ""};

// A want; a value's type is kept as the promotions leave it, which is what
// arguments are compared with.
constexpr want_t makeWant(WantKind kind, unsigned type, unsigned identity, const char* name) {
  return {kind, static_cast<std::uint8_t>(kind == WantKind::kValue ? promotedOf(type) : type),
          static_cast<std::uint8_t>(identity), name};
}

// What the integer conversions want for each size modifier, indexed by its
// id: the signed and the unsigned type, as values and as targets.
struct integer_sizes_t {
  unsigned types[2];  // signed, unsigned
  const char* names[2];
  const char* targetNames[2];
};

constexpr integer_sizes_t kIntegerSizes[] = {
    /* none */ {{kTypeInt, kTypeUnsignedInt}, {"int", "unsigned int"}, {"int*", "unsigned int*"}},
    /* h */
    {{kTypeShort, kTypeUnsignedShort}, {"short", "unsigned short"}, {"short*", "unsigned short*"}},
    /* hh */
    {{kTypeSignedChar, kTypeUnsignedChar},
     {"signed char", "unsigned char"},
     {"signed char*", "unsigned char*"}},
    /* l */
    {{kTypeLong, kTypeUnsignedLong}, {"long", "unsigned long"}, {"long*", "unsigned long*"}},
    /* ll */
    {{kTypeLongLong, kTypeUnsignedLongLong},
     {"long long", "unsigned long long"},
     {"long long*", "unsigned long long*"}},
    /* j */
    {{idOf<std::intmax_t>(), idOf<std::uintmax_t>()},
     {"intmax_t", "uintmax_t"},
     {"intmax_t*", "uintmax_t*"}},
    /* z */
    {{variantOf(idOf<std::size_t>(), false), idOf<std::size_t>()},
     {"ssize_t", "size_t"},
     {"ssize_t*", "size_t*"}},
    /* t */
    {{idOf<std::ptrdiff_t>(), variantOf(idOf<std::ptrdiff_t>(), true)},
     {"ptrdiff_t", "unsigned ptrdiff_t"},
     {"ptrdiff_t*", "unsigned ptrdiff_t*"}},
    /* L */
    {{kTypeLongLong, kTypeUnsignedLongLong},
     {"long long", "unsigned long long"},
     {"long long*", "unsigned long long*"}},
    /* I32 */
    {{kTypeInt, kTypeInt},
     {"a 32-bit integer", "a 32-bit integer"},
     {"a pointer to a 32-bit integer", "a pointer to a 32-bit integer"}},
    /* I64 */
    {{kTypeLongLong, kTypeLongLong},
     {"a 64-bit integer", "a 64-bit integer"},
     {"a pointer to a 64-bit integer", "a pointer to a 64-bit integer"}},
    /* q */
    {{kTypeLongLong, kTypeUnsignedLongLong},
     {"long long", "unsigned long long"},
     {"long long*", "unsigned long long*"}},
    /* I */
    {{idOf<std::ptrdiff_t>(), idOf<std::size_t>()},
     {"ptrdiff_t", "size_t"},
     {"ptrdiff_t*", "size_t*"}},
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

constexpr const char* kDecimalNames[2][3] = {{"_Decimal32", "_Decimal64", "_Decimal128"},
                                             {"_Decimal32*", "_Decimal64*", "_Decimal128*"}};

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
    return {WantKind::kValue, kTypeDouble, sizeof(double), "double"};
  }
  if (modifier == kModBigL) {
    return scan ? makeWant(WantKind::kTarget, kTypeLongDouble, 0, "long double*")
                : makeWant(WantKind::kValue, kTypeLongDouble, 0, "long double");
  }
  if (modifier == kModL) {
    return scan ? makeWant(WantKind::kTarget, kTypeDouble, 0, "double*")
                : makeWant(WantKind::kValue, kTypeDouble, 0, "double");
  }
  if (modifier != kModNone) return kInvalid;
  return scan ? makeWant(WantKind::kTarget, kTypeFloat, 0, "float*")
              : makeWant(WantKind::kValue, kTypeDouble, 0, "double");
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
  if (scan) return makeWant(WantKind::kTarget, type, 0, wide ? "wchar_t*" : "char*");
  if (letter == 'c' || letter == 'C') {
    return wide ? makeWant(WantKind::kValue, kWint, 0, "wint_t")
                : makeWant(WantKind::kValue, kTypeInt, 0, "int");
  }
  return makeWant(WantKind::kText, type, 0, wide ? "wchar_t*" : "char*");
}

// What a conversion wants, worked out; wantOf looks it up.
constexpr want_t computeWant(FormatFamily family, FormatDialect dialect, bool wide,
                             const strict_specifier_t& spec) {
  const bool scan = family == kFamilyScanf;
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
      return scan ? makeWant(WantKind::kPointerTarget, 0, 0, "void**")
                  : makeWant(WantKind::kAnyPointer, 0, 0, "void*");
    case 'm':
      return spec.modifier == kModNone ? makeWant(WantKind::kNothing, 0, 0, "") : kInvalid;
    default:
      return kInvalid;
  }
}

using want_table_t = std::array<want_t, kRows * kWantRowSize>;

// Every conversion and size of every family, dialect and character type,
// worked out when the library is compiled, so that a check looks each want
// up: printf before scanf, dialects in their order, narrow before wide.
constexpr std::size_t wantTableIndex(FormatFamily family, FormatDialect dialect, bool wide) {
  return (family == kFamilyScanf ? 6 : 0) + static_cast<std::size_t>(dialect) * 2 + (wide ? 1 : 0);
}

constexpr std::array<want_table_t, 12> makeWantTables() {
  std::array<want_table_t, 12> tables{};
  for (const FormatFamily family : {kFamilyPrintf, kFamilyScanf}) {
    for (const FormatDialect dialect :
         {kFormatDialectPosix, kFormatDialectMinGW, kFormatDialectMicrosoft}) {
      for (const bool wide : {false, true}) {
        want_table_t& table = tables[wantTableIndex(family, dialect, wide)];
        for (std::size_t row = 0; row < kRows; ++row) {
          for (std::uint32_t modifier = 0; modifier < kWantRowSize; ++modifier) {
            strict_specifier_t spec{};
            spec.conversion = static_cast<unsigned char>(kConversions[row]);
            spec.modifier = modifier;
            table[row * kWantRowSize + modifier] = computeWant(family, dialect, wide, spec);
          }
        }
      }
    }
  }
  return tables;
}

constexpr std::array<want_table_t, 12> kWantTables = makeWantTables();

}  // namespace

const std::uint32_t* formatClassTable(FormatFamily family, FormatDialect dialect) {
  return kTables[family == kFamilyScanf][dialect].data();
}

bool hasPositions(FormatFamily family, FormatDialect dialect) {
  // MinGW's printf prints "%1$d" as text; its scanf reads positions.
  return dialect == kFormatDialectPosix ||
         (dialect == kFormatDialectMinGW && family == kFamilyScanf);
}

const want_t* wantTable(FormatFamily family, FormatDialect dialect, bool wide) {
  return kWantTables[wantTableIndex(family, dialect, wide)].data();
}

want_t wantOf(const want_t* wants, const strict_specifier_t& spec) {
  const want_t& want = plainWantOf(wants, spec);
  // scanf's "m" (only scanf tables read it): the library allocates the text
  // and stores a pointer to it; on anything but text it changes nothing.
  if (spec.allocating && want.kind == WantKind::kTarget &&
      (want.type == kTypeChar || want.type == kTypeWchar)) {
    return makeWant(WantKind::kAllocated, want.type, 0,
                    want.type == kTypeChar ? "char**" : "wchar_t**");
  }
  return want;
}

std::string typeName(unsigned type) {
  static const char* const kNames[] = {
      nullptr,         "bool",           "char",        "signed char",
      "unsigned char", "wchar_t",        "char16_t",    "char32_t",
      "short",         "unsigned short", "int",         "unsigned int",
      "long",          "unsigned long",  "long long",   "unsigned long long",
      "float",         "double",         "long double", "void",
      "std::nullptr_t"};
  constexpr unsigned kKnownBits = kTypeBaseMask | kTypePointer | kTypeConstTarget | kTypeIndirect |
                                  kTypeConstInner | kTypeSizeMask;
  const unsigned base = type & kTypeBaseMask;
  const bool pointer = (type & kTypePointer) != 0;
  const bool isConst = (type & kTypeConstTarget) != 0;
  if ((type & ~kKnownBits) != 0 || base == 0 || base > kTypeClass) {
    return "a value of unknown type";
  }
  if (!pointer) {
    if (base == kTypeScopedEnum) return "a scoped enumeration";
    if (base < sizeof kNames / sizeof kNames[0] && base != kTypeVoid) return kNames[base];
    return "a class object";
  }
  std::string target;
  switch (base) {
    case kTypeEnumeration:
    case kTypeScopedEnum:
      target = "an enumeration";
      break;
    case kTypeObject:
    case kTypeNullptr:
    case kTypeClass:
      target = "an object";
      break;
    case kTypeFunction:
      target = "a function";
      break;
    default:
      target = kNames[base];
  }
  if ((type & kTypeIndirect) != 0) {
    const bool innerConst = (type & kTypeConstInner) != 0;
    if (target[0] == 'a') return "a pointer to a pointer to " + target;
    return (innerConst ? "const " : "") + target + (isConst ? "* const*" : "**");
  }
  if (target[0] == 'a') {
    if (base == kTypeFunction) return "a function pointer";
    if (target == "an enumeration") {
      return isConst ? "a pointer to a const enumeration" : "a pointer to an enumeration";
    }
    return isConst ? "a pointer to a const object" : "an object pointer";
  }
  return (isConst ? "const " : "") + target + "*";
}

}  // namespace qirt::detail
