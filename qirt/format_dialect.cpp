#include "qirt/format_dialect.hpp"

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <type_traits>

namespace qirt::detail {

namespace {

using namespace wyx::tool;
using Table = std::array<std::uint32_t, kClassTableSize>;

constexpr std::uint32_t classEntry(std::uint32_t cls) { return cls << 16; }
constexpr std::uint32_t sizeEntry(SizeModifier modifier) {
  return classEntry(kClassSize) | (modifier << 20);
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
  const char* conversions = scan ? "diouxXaAeEfFgGcCsSpn" : "diouxXaAeEfFgGcCsSpn";
  for (const char* c = conversions; *c != 0; ++c) {
    table[static_cast<std::size_t>(*c)] = classEntry(kClassConversion);
  }
  if (scan) table['['] = classEntry(kClassScanSet);
  if (dialect != kFormatDialectMicrosoft) {
    // Binary integers: "%b" in both families, "%B" in printf.
    table['b'] = classEntry(kClassConversion);
    if (!scan) table['B'] = classEntry(kClassConversion);
  }
  if (dialect != kFormatDialectMicrosoft) {
    // "%m": glibc's and MinGW's printf print strerror(errno); their scanf
    // allocates the text it reads.
    table['m'] = classEntry(scan ? kClassAllocation : kClassConversion);
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

constexpr unsigned kSizes[] = {0,
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
                               sizeof(unsigned long long),
                               sizeof(float),
                               sizeof(double),
                               sizeof(long double)};

constexpr unsigned sizeOf(unsigned base) {
  return base < sizeof kSizes / sizeof kSizes[0] ? kSizes[base] : 0;
}
constexpr bool isInteger(unsigned base) { return base >= kTypeBool && base <= kTypeUnsignedLongLong; }
constexpr bool isCharacter(unsigned base) {
  return base == kTypeChar || base == kTypeSignedChar || base == kTypeUnsignedChar;
}
constexpr bool isFloating(unsigned base) { return base >= kTypeFloat && base <= kTypeLongDouble; }
constexpr bool isUnsigned(unsigned base) {
  switch (base) {
    case kTypeBool:
    case kTypeUnsignedChar:
    case kTypeUnsignedShort:
    case kTypeUnsignedInt:
    case kTypeUnsignedLong:
    case kTypeUnsignedLongLong:
      return true;
    case kTypeChar:
      return !std::is_signed<char>::value;
    case kTypeWchar:
      return !std::is_signed<wchar_t>::value;
    case kTypeChar16:
    case kTypeChar32:
      return true;
    default:
      return false;
  }
}

// The standard integer type of `size` bytes that C's "make signed" (or
// unsigned) picks first, in the order the compiler tries them.
unsigned standardOfSize(unsigned size, bool wantUnsigned) {
  static const unsigned kOrder[] = {kTypeSignedChar, kTypeInt, kTypeShort, kTypeLong,
                                    kTypeLongLong};
  for (unsigned type : kOrder) {
    if (sizeOf(type) == size) return wantUnsigned ? type + 1 : type;
  }
  return 0;
}

// The signed (or unsigned) variant of an integer type, as the compiler forms
// it when it overlooks a difference in signedness: the standard types have
// their partners, the character types of C++ keep themselves where they
// already have that signedness, bool has none.
unsigned variantOf(unsigned base, bool wantUnsigned) {
  if (base == kTypeBool || !isInteger(base)) return 0;
  if (isCharacter(base)) return wantUnsigned ? kTypeUnsignedChar : kTypeSignedChar;
  if (base >= kTypeShort) {
    const bool isSigned = (base - kTypeShort) % 2 == 0;
    return isSigned == !wantUnsigned ? base : (wantUnsigned ? base + 1 : base - 1);
  }
  if (isUnsigned(base) == wantUnsigned) return base;  // wchar_t, char16_t, char32_t
  return standardOfSize(sizeOf(base), wantUnsigned);
}

// An integer argument as a variadic function receives it.
unsigned promoted(unsigned base) {
  if (!isInteger(base)) return base == kTypeFloat ? kTypeDouble : base;
  if (sizeOf(base) < sizeof(int)) return kTypeInt;
  if (base < kTypeShort) return isUnsigned(base) ? kTypeUnsignedInt : kTypeInt;
  return base;
}

bool sameIgnoringSign(unsigned wanted, unsigned given) {
  return wanted == given || (isInteger(wanted) && isInteger(given) &&
                             wanted == variantOf(given, isUnsigned(wanted)));
}

// The size of an enumeration that a TypeID value carries.
unsigned enumerationSize(unsigned given) { return (given & kTypeSizeMask) >> kTypeSizeShift; }

// "I32" and "I64" take any integer type of their size, enumerations
// included, as the compiler sees them; not bool.
bool hasIdentitySize(const want_t& want, unsigned base, unsigned given) {
  if (base == kTypeEnumeration || base == kTypeScopedEnum) {
    return enumerationSize(given) == want.identity;
  }
  return isInteger(base) && base != kTypeBool && sizeOf(base) == want.identity;
}

bool servesTarget(const want_t& want, unsigned base, unsigned given) {
  if (want.type == kTypeChar && isCharacter(base)) return true;
  if (want.identity != 0) return hasIdentitySize(want, base, given);
  return sameIgnoringSign(want.type, base);
}

bool servesValue(const want_t& want, unsigned base, unsigned given) {
  const unsigned value = promoted(base);
  if (want.identity != 0 && isFloating(want.type)) {
    return isFloating(value) && sizeOf(value) == want.identity;
  }
  if (want.identity != 0) return hasIdentitySize(want, value, given);
  return sameIgnoringSign(promoted(want.type), value);
}

constexpr want_t kInvalid{WantKind::kInvalid, 0, 0, ""};

struct integer_sizes_t {
  SizeModifier modifier;
  unsigned signedType;
  unsigned unsignedType;
  const char* signedName;
  const char* unsignedName;
};

const integer_sizes_t kIntegerSizes[] = {
    {kModNone, kTypeInt, kTypeUnsignedInt, "int", "unsigned int"},
    {kModHH, kTypeSignedChar, kTypeUnsignedChar, "signed char", "unsigned char"},
    {kModH, kTypeShort, kTypeUnsignedShort, "short", "unsigned short"},
    {kModL, kTypeLong, kTypeUnsignedLong, "long", "unsigned long"},
    {kModLL, kTypeLongLong, kTypeUnsignedLongLong, "long long", "unsigned long long"},
    {kModQ, kTypeLongLong, kTypeUnsignedLongLong, "long long", "unsigned long long"},
    {kModBigL, kTypeLongLong, kTypeUnsignedLongLong, "long long", "unsigned long long"},
    {kModJ, idOf<std::intmax_t>(), idOf<std::uintmax_t>(), "intmax_t", "uintmax_t"},
    {kModZ, variantOf(idOf<std::size_t>(), false), idOf<std::size_t>(), "ssize_t", "size_t"},
    {kModT, idOf<std::ptrdiff_t>(), variantOf(idOf<std::ptrdiff_t>(), true), "ptrdiff_t",
     "unsigned ptrdiff_t"},
    {kModI, idOf<std::ptrdiff_t>(), idOf<std::size_t>(), "ptrdiff_t", "size_t"},
};

const char* targetName(const char* name) {
  static const struct {
    const char* value;
    const char* target;
  } kTargets[] = {
      {"int", "int*"},
      {"unsigned int", "unsigned int*"},
      {"signed char", "signed char*"},
      {"unsigned char", "unsigned char*"},
      {"short", "short*"},
      {"unsigned short", "unsigned short*"},
      {"long", "long*"},
      {"unsigned long", "unsigned long*"},
      {"long long", "long long*"},
      {"unsigned long long", "unsigned long long*"},
      {"intmax_t", "intmax_t*"},
      {"uintmax_t", "uintmax_t*"},
      {"ssize_t", "ssize_t*"},
      {"size_t", "size_t*"},
      {"ptrdiff_t", "ptrdiff_t*"},
      {"unsigned ptrdiff_t", "unsigned ptrdiff_t*"},
      {"a 32-bit integer", "a pointer to a 32-bit integer"},
      {"a 64-bit integer", "a pointer to a 64-bit integer"},
  };
  for (const auto& t : kTargets) {
    if (std::char_traits<char>::compare(t.value, name, std::char_traits<char>::length(name) + 1) ==
        0) {
      return t.target;
    }
  }
  return name;
}

want_t integerWant(FormatDialect dialect, bool target, bool isSigned, bool count,
                   std::uint32_t modifier) {
  if (modifier == kModI32 || modifier == kModI64) {
    const unsigned bytes = modifier == kModI32 ? 4 : 8;
    const char* name = bytes == 4 ? "a 32-bit integer" : "a 64-bit integer";
    return {target ? WantKind::kTarget : WantKind::kValue, kTypeInt, bytes,
            target ? targetName(name) : name};
  }
  // "%n" takes no "L" or "I" (nor anything glibc lacks on integers there);
  // the Microsoft library takes no "L" on integers at all.
  if ((count && (modifier == kModBigL || modifier == kModI)) ||
      (dialect == kFormatDialectMicrosoft && modifier == kModBigL)) {
    return kInvalid;
  }
  for (const integer_sizes_t& s : kIntegerSizes) {
    if (s.modifier != modifier) continue;
    const char* name = isSigned ? s.signedName : s.unsignedName;
    return {target ? WantKind::kTarget : WantKind::kValue, isSigned ? s.signedType : s.unsignedType,
            0, target ? targetName(name) : name};
  }
  return kInvalid;
}

want_t floatWant(FormatDialect dialect, bool scan, unsigned letter, std::uint32_t modifier) {
  if (modifier >= kModDecimal32) {
    // Decimal floating point, which no C++ type is; printf's "%a" has none.
    static const char* const kNames[2][3] = {{"_Decimal32", "_Decimal64", "_Decimal128"},
                                             {"_Decimal32*", "_Decimal64*", "_Decimal128*"}};
    if (!scan && (letter == 'a' || letter == 'A')) return kInvalid;
    return {scan ? WantKind::kTarget : WantKind::kValue, 0, 0,
            kNames[scan][modifier - kModDecimal32]};
  }
  if (modifier == kModBigL && dialect == kFormatDialectMicrosoft) {
    // The Microsoft library reads a 64-bit double for "L" (its long double);
    // its scanf takes no "L" at all.
    if (scan) return kInvalid;
    return {WantKind::kValue, kTypeDouble, sizeof(double), "double"};
  }
  if (modifier == kModBigL) {
    return scan ? want_t{WantKind::kTarget, kTypeLongDouble, 0, "long double*"}
                : want_t{WantKind::kValue, kTypeLongDouble, 0, "long double"};
  }
  if (modifier == kModL) {
    return scan ? want_t{WantKind::kTarget, kTypeDouble, 0, "double*"}
                : want_t{WantKind::kValue, kTypeDouble, 0, "double"};
  }
  if (modifier != kModNone) return kInvalid;
  return scan ? want_t{WantKind::kTarget, kTypeFloat, 0, "float*"}
              : want_t{WantKind::kValue, kTypeDouble, 0, "double"};
}

// Whether a character or text conversion means wide characters. Returns
// false with *valid cleared for a size that does not apply.
bool isWideText(FormatDialect dialect, bool wideFunction, bool other, std::uint32_t modifier,
                bool* valid) {
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

unsigned wintType() { return promoted(idOf<std::wint_t>()); }

want_t textWant(FormatDialect dialect, bool scan, bool wideFunction,
                const strict_specifier_t& spec) {
  const unsigned letter = spec.conversion;
  bool valid = true;
  const bool other = letter == 'C' || letter == 'S';
  const bool wide = isWideText(dialect, wideFunction, other, spec.modifier, &valid);
  if (!valid || (letter == '[' && spec.modifier == kModH)) return kInvalid;
  const unsigned type = wide ? kTypeWchar : kTypeChar;
  if (scan && spec.allocating && dialect != kFormatDialectMicrosoft) {
    return {WantKind::kAllocated, type, 0, wide ? "wchar_t**" : "char**"};
  }
  if (scan) return {WantKind::kTarget, type, 0, wide ? "wchar_t*" : "char*"};
  if (letter == 'c' || letter == 'C') {
    return wide ? want_t{WantKind::kValue, wintType(), 0, "wint_t"}
                : want_t{WantKind::kValue, kTypeInt, 0, "int"};
  }
  return {WantKind::kText, type, 0, wide ? "wchar_t*" : "char*"};
}

}  // namespace

const std::uint32_t* formatClassTable(FormatFamily family, FormatDialect dialect) {
  return kTables[family == kFamilyScanf][dialect].data();
}

bool hasPositions(FormatFamily family, FormatDialect dialect) {
  // MinGW's printf prints "%1$d" as text; its scanf reads positions.
  return dialect == kFormatDialectPosix ||
         (dialect == kFormatDialectMinGW && family == kFamilyScanf);
}

want_t wantOf(FormatFamily family, FormatDialect dialect, bool wide,
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
      return scan ? want_t{WantKind::kPointerTarget, 0, 0, "void**"}
                  : want_t{WantKind::kAnyPointer, 0, 0, "void*"};
    case 'm':
      return spec.modifier == kModNone ? want_t{WantKind::kNothing, 0, 0, ""} : kInvalid;
    default:
      return kInvalid;
  }
}

bool accepts(const want_t& want, unsigned given) {
  const unsigned base = given & kTypeBaseMask;
  const bool pointer = (given & kTypePointer) != 0;
  const bool indirect = (given & kTypeIndirect) != 0;
  const bool writable = pointer && (given & kTypeConstTarget) == 0;
  switch (want.kind) {
    case WantKind::kValue:
      return !pointer && servesValue(want, base, given);
    case WantKind::kText:
      return pointer && !indirect && (want.type == kTypeChar ? isCharacter(base) : base == want.type);
    case WantKind::kAnyPointer:
      return pointer || given == kTypeNullptr;
    case WantKind::kTarget:
      return writable && !indirect && servesTarget(want, base, given);
    case WantKind::kAllocated:
      return writable && indirect &&
             (want.type == kTypeChar ? isCharacter(base) : base == want.type);
    case WantKind::kPointerTarget:
      return writable && indirect;
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
  constexpr unsigned kKnownBits = kTypeBaseMask | kTypePointer | kTypeConstTarget |
                                  kTypeIndirect | kTypeConstInner | kTypeSizeMask;
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
