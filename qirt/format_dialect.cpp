#include "qirt/format_dialect.hpp"

#include <array>
#include <cstddef>
#include <cstdint>

#include "wyx/tool/format_parser.hpp"

namespace qirt::detail {

namespace {

using wyx::tool::kClassTableSize;
using Table = std::array<std::uint32_t, kClassTableSize>;

constexpr std::uint32_t kFlag = 0x20000;
constexpr std::uint32_t kStar = 0x32100;  // an int argument
constexpr std::uint32_t kPercent = 0x10000;
constexpr std::uint32_t kPrefixI = 0x50000;
constexpr std::uint32_t kByAddress = 0x1000004;

constexpr std::uint32_t sizeEntry(std::uint32_t sizeClass, std::uint32_t modifier) {
  return 0x40000 | (sizeClass << 12) | (modifier << 20);
}

// A conversion's entry: the argument type of the code layout, and the
// category "by address" where the argument is a pointer.
constexpr std::uint32_t conversionEntry(char c, bool scan) {
  switch (c) {
    case 'c':
    case 'C':
      return 0x60000 | (scan ? kByAddress : 0);
    case 's':
    case 'S':
    case '[':
      return (c == '[' ? 0x70000 | kAttrScanSet : 0x60000) | kByAddress;
    case 'p':
      return 0x60300 | kByAddress;
    case 'n':
      return 0x62100 | kByAddress;
    case 'm':
      return 0x60000;
    case 'a':
    case 'A':
    case 'e':
    case 'E':
    case 'f':
    case 'F':
    case 'g':
    case 'G':
      return 0x61200 | (scan ? kByAddress : 0);
    default:  // the integer conversions
      return 0x62100 | (scan ? kByAddress : 0);
  }
}

constexpr Table makeTable(FormatFamily family, FormatDialect dialect) {
  const bool scan = family == kFamilyScanf;
  const bool posix = dialect == kFormatDialectPosix;
  Table table{};
  table[0] = wyx::tool::kTableStrict | wyx::tool::kTablePositional |
             (scan ? wyx::tool::kTableStarSuppresses : 0);
  for (char c = '0'; c <= '9'; ++c) table[static_cast<std::size_t>(c)] = kFlag;
  if (!scan) {
    // glibc reads 'I' as a flag (locale digits); the Windows libraries as
    // the size prefix "I32"/"I64".
    const char* flags = dialect == kFormatDialectMicrosoft ? "-+ #." : "-+ #.'";
    for (const char* f = flags; *f != 0; ++f) table[static_cast<std::size_t>(*f)] = kFlag;
    if (posix) table['I'] = kFlag;
  }
  table['%'] = kPercent;
  table['*'] = kStar;
  table['h'] = sizeEntry(1, wyx::tool::kModH);
  table['l'] = sizeEntry(2, wyx::tool::kModL);
  table['L'] = sizeEntry(3, wyx::tool::kModBigL);
  table['j'] = sizeEntry(3, wyx::tool::kModJ);
  table['z'] = sizeEntry(3, wyx::tool::kModZ);
  table['t'] = sizeEntry(3, wyx::tool::kModT);
  if (posix) table['q'] = sizeEntry(3, wyx::tool::kModQ);
  if (!posix) table['I'] = kPrefixI;
  const char* conversions = scan ? "diouxXaAeEfFgGcCsSpn[" : "diouxXaAeEfFgGcCsSpn";
  for (const char* c = conversions; *c != 0; ++c) {
    table[static_cast<std::size_t>(*c)] = conversionEntry(*c, scan);
  }
  if (posix && !scan) table['m'] = conversionEntry('m', false);
  return table;
}

constexpr Table kTables[2][3] = {
    {makeTable(kFamilyPrintf, kFormatDialectPosix), makeTable(kFamilyPrintf, kFormatDialectMinGW),
     makeTable(kFamilyPrintf, kFormatDialectMicrosoft)},
    {makeTable(kFamilyScanf, kFormatDialectPosix), makeTable(kFamilyScanf, kFormatDialectMinGW),
     makeTable(kFamilyScanf, kFormatDialectMicrosoft)},
};

bool isInteger(unsigned base) { return base >= kTypeBool && base <= kTypeUnsignedLongLong; }
bool isCharacter(unsigned base) {
  return base == kTypeChar || base == kTypeSignedChar || base == kTypeUnsignedChar;
}

unsigned sizeOf(unsigned base) {
  static const unsigned char kSizes[] = {0,
                                         sizeof(bool),
                                         sizeof(char),
                                         sizeof(signed char),
                                         sizeof(unsigned char),
                                         sizeof(wchar_t),
                                         sizeof(char16_t),
                                         sizeof(char32_t),
                                         sizeof(short),
                                         sizeof(unsigned short),
                                         sizeof(int),
                                         sizeof(unsigned),
                                         sizeof(long),
                                         sizeof(unsigned long),
                                         sizeof(long long),
                                         sizeof(unsigned long long)};
  return base < sizeof kSizes ? kSizes[base] : 0;
}

// Integers narrower than int reach a variadic function as int.
unsigned promotedSize(unsigned base) {
  const unsigned size = sizeOf(base);
  return size < sizeof(int) ? sizeof(int) : size;
}

struct integer_want_t {
  unsigned size;
  unsigned targetSize;  // without promotion, for scanf and "%n"
  const char* signedName;
  const char* unsignedName;
  const char* signedTarget;
  const char* unsignedTarget;
};

// Indexed by the size modifier id.
const integer_want_t kIntegerWants[] = {
    {sizeof(int), sizeof(int), "int", "unsigned int", "int*", "unsigned int*"},
    {sizeof(int), sizeof(short), "short", "unsigned short", "short*", "unsigned short*"},
    {sizeof(int), 1, "signed char", "unsigned char", "signed char*", "unsigned char*"},
    {sizeof(long), sizeof(long), "long", "unsigned long", "long*", "unsigned long*"},
    {sizeof(long long), sizeof(long long), "long long", "unsigned long long", "long long*",
     "unsigned long long*"},
    {sizeof(std::intmax_t), sizeof(std::intmax_t), "intmax_t", "uintmax_t", "intmax_t*",
     "uintmax_t*"},
    {sizeof(std::size_t), sizeof(std::size_t), "size_t", "size_t", "size_t*", "size_t*"},
    {sizeof(std::ptrdiff_t), sizeof(std::ptrdiff_t), "ptrdiff_t", "ptrdiff_t", "ptrdiff_t*",
     "ptrdiff_t*"},
    {0, 0, nullptr, nullptr, nullptr, nullptr},  // "L" takes no integer
    {4, 4, "a 32-bit integer", "a 32-bit integer", "a pointer to a 32-bit integer",
     "a pointer to a 32-bit integer"},
    {8, 8, "a 64-bit integer", "a 64-bit integer", "a pointer to a 64-bit integer",
     "a pointer to a 64-bit integer"},
    {sizeof(long long), sizeof(long long), "long long", "unsigned long long", "long long*",
     "unsigned long long*"},
};

constexpr want_t kInvalid{WantKind::kInvalid, 0, 0, ""};

want_t integerWant(bool scan, bool isSigned, std::uint32_t modifier) {
  if (modifier >= sizeof kIntegerWants / sizeof kIntegerWants[0]) return kInvalid;
  const integer_want_t& w = kIntegerWants[modifier];
  if (w.size == 0) return kInvalid;
  if (scan) {
    return {WantKind::kIntegerTarget, w.targetSize, 0,
            isSigned ? w.signedTarget : w.unsignedTarget};
  }
  return {WantKind::kInteger, w.size, 0, isSigned ? w.signedName : w.unsignedName};
}

want_t floatWant(bool scan, std::uint32_t modifier) {
  using namespace wyx::tool;
  if (modifier == kModBigL) {
    return scan ? want_t{WantKind::kRealTarget, 0, kTypeLongDouble, "long double*"}
                : want_t{WantKind::kLongDouble, 0, 0, "long double"};
  }
  if (modifier == kModL) {
    return scan ? want_t{WantKind::kRealTarget, 0, kTypeDouble, "double*"}
                : want_t{WantKind::kDouble, 0, 0, "double"};
  }
  if (modifier != kModNone) return kInvalid;
  return scan ? want_t{WantKind::kRealTarget, 0, kTypeFloat, "float*"}
              : want_t{WantKind::kDouble, 0, 0, "double"};
}

// Whether "%c"/"%s" (or, with `other`, "%C"/"%S") with `modifier` means the
// wide form. Returns false with *valid cleared for a size that does not
// apply.
bool isWideCharacter(FormatDialect dialect, bool wideFunction, bool other, std::uint32_t modifier,
                     bool* valid) {
  using namespace wyx::tool;
  *valid = true;
  if (dialect == kFormatDialectMicrosoft) {
    if (modifier == kModH) return false;
    if (modifier == kModL) return true;
    if (modifier != kModNone) *valid = false;
    return wideFunction != other;
  }
  if (other) {
    if (modifier != kModNone) *valid = false;
    return true;
  }
  if (modifier == kModL) return true;
  if (modifier == kModH && dialect == kFormatDialectMinGW) return false;
  if (modifier != kModNone) *valid = false;
  return false;
}

want_t characterWant(FormatDialect dialect, bool scan, bool wideFunction, unsigned letter,
                     std::uint32_t modifier) {
  bool valid = true;
  const bool other = letter == 'C' || letter == 'S';
  const bool wide = isWideCharacter(dialect, wideFunction, other, modifier, &valid);
  if (!valid || (letter == '[' && other)) return kInvalid;
  if (scan) {
    return wide ? want_t{WantKind::kWideTarget, 0, 0, "wchar_t*"}
                : want_t{WantKind::kNarrowTarget, 0, 0, "char*"};
  }
  if (letter == 'c' || letter == 'C') {
    return {WantKind::kInteger, sizeof(int), 0, wide ? "wint_t" : "int"};
  }
  return wide ? want_t{WantKind::kWideText, 0, 0, "wchar_t*"}
              : want_t{WantKind::kNarrowText, 0, 0, "char*"};
}

}  // namespace

const std::uint32_t* formatClassTable(FormatFamily family, FormatDialect dialect) {
  return kTables[family == kFamilyScanf][dialect].data();
}

want_t wantOf(FormatFamily family, FormatDialect dialect, bool wide, unsigned letter,
              std::uint32_t modifier) {
  const bool scan = family == kFamilyScanf;
  switch (letter) {
    case 'd':
    case 'i':
      return integerWant(scan, true, modifier);
    case 'o':
    case 'u':
    case 'x':
    case 'X':
      return integerWant(scan, false, modifier);
    case 'n':
      return integerWant(true, true, modifier);
    case 'a':
    case 'A':
    case 'e':
    case 'E':
    case 'f':
    case 'F':
    case 'g':
    case 'G':
      return floatWant(scan, modifier);
    case 'c':
    case 'C':
    case 's':
    case 'S':
    case '[':
      return characterWant(dialect, scan, wide, letter, modifier);
    case 'p':
      if (modifier != wyx::tool::kModNone) return kInvalid;
      return scan ? want_t{WantKind::kVoidPointerTarget, 0, 0, "void**"}
                  : want_t{WantKind::kPointer, 0, 0, "void*"};
    case 'm':
      return modifier == wyx::tool::kModNone ? want_t{WantKind::kNothing, 0, 0, ""} : kInvalid;
    default:
      return kInvalid;
  }
}

bool accepts(const want_t& want, unsigned given) {
  const unsigned base = given & kTypeBaseMask;
  const bool pointer = (given & kTypePointer) != 0;
  const bool writable = pointer && (given & kTypeConstTarget) == 0;
  switch (want.kind) {
    case WantKind::kInteger:
      return !pointer && isInteger(base) && promotedSize(base) == want.size;
    case WantKind::kDouble:
      return given == kTypeFloat || given == kTypeDouble;
    case WantKind::kLongDouble:
      return given == kTypeLongDouble ||
             (given == kTypeDouble && sizeof(long double) == sizeof(double));
    case WantKind::kNarrowText:
      return pointer && isCharacter(base);
    case WantKind::kWideText:
      return pointer && base == kTypeWchar;
    case WantKind::kPointer:
      return (pointer && base != kTypeFunction && base <= kTypeClass) || given == kTypeNullptr;
    case WantKind::kIntegerTarget:
      return writable && isInteger(base) && base != kTypeBool && sizeOf(base) == want.size;
    case WantKind::kRealTarget:
      return writable && base == want.base;
    case WantKind::kNarrowTarget:
      return writable && isCharacter(base);
    case WantKind::kWideTarget:
      return writable && base == kTypeWchar;
    case WantKind::kVoidPointerTarget:
      return given == (kTypeVoidPointer | kTypePointer);
    default:
      return false;
  }
}

std::string typeName(unsigned type) {
  static const char* const kNames[] = {
      nullptr,         "bool",           "char",        "signed char",
      "unsigned char", "wchar_t",        "char16_t",    "char32_t",
      "short",         "unsigned short", "int",         "unsigned int",
      "long",          "unsigned long",  "long long",   "unsigned long long",
      "float",         "double",         "long double", "void",
      "std::nullptr_t"};
  const unsigned base = type & kTypeBaseMask;
  const bool pointer = (type & kTypePointer) != 0;
  const bool isConst = (type & kTypeConstTarget) != 0;
  if ((type & ~(kTypeBaseMask | kTypePointer | kTypeConstTarget)) != 0 || base == 0 ||
      base > kTypeClass) {
    return "a value of unknown type";
  }
  if (!pointer) {
    if (base < sizeof kNames / sizeof kNames[0] && base != kTypeVoid) return kNames[base];
    return "a class object";
  }
  switch (base) {
    case kTypeVoidPointer:
      return "void**";
    case kTypeObject:
      return isConst ? "a pointer to a const object" : "an object pointer";
    case kTypeFunction:
      return "a function pointer";
    case kTypeNullptr:
    case kTypeClass:
      return "an object pointer";
    default:
      return std::string(isConst ? "const " : "") + kNames[base] + "*";
  }
}

}  // namespace qirt::detail
