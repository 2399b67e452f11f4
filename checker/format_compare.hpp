// Whether an argument serves a conversion, judged as g++ judges format
// arguments: the facts of every TypeID base, and the comparison itself.
// Internal to the checking library; inline, because every argument of every
// checked call passes here.
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

#include "qirt/format_types.hpp"

namespace qirt::detail {

// Kinds of arguments a conversion takes.
enum class WantKind : std::uint8_t {
  kInvalid,        // the conversion and size do not go together
  kNothing,        // takes no argument ("%m")
  kValue,          // a value of `type` (a TypeID base, promoted)
  kText,           // a pointer to `type` (char or wchar_t); const is fine
  kAnyPointer,     // any pointer or nullptr ("%p")
  kTarget,         // a pointer to a writable `type`
  kAllocated,      // a pointer to a writable pointer to `type` (scanf's "m")
  kPointerTarget,  // a pointer to a writable pointer of any kind (scanf's "%p")
};

struct want_t {
  WantKind kind;
  std::uint8_t type;      // a TypeID base
  std::uint8_t identity;  // nonzero: any integer (or floating) type of that
                          // many bytes serves, as "I32" and "I64" take them
  std::uint8_t name;      // a WantName, for messages: "int", "char*", ...
  // The bases (bit b for base b) that serve when the argument has the
  // plain shape of the kind: a value as it is (no enumeration), a pointer to
  // the base (const or not for text). A shortcut for the common arguments,
  // made from the other fields by withBases (0, which serves nothing, for
  // the kinds without a plain shape); the verdict stays servesWant's.
  std::uint32_t bases;
};

// What the compiler knows of a base type.
struct type_facts_t {
  std::uint8_t size;
  std::uint8_t promoted;     // as a variadic function receives it
  std::uint8_t variants[2];  // the signed and the unsigned variant (integers)
  bool integer;              // bool and the character types included
  bool character;            // char, signed char, unsigned char
  bool floating;
  bool isUnsigned;
};

constexpr std::size_t kTypeFactsSize = 32;  // above every base type

constexpr unsigned baseSize(unsigned base) {
  switch (base) {
    case kTypeBool:
      return sizeof(bool);
    case kTypeChar:
    case kTypeSignedChar:
    case kTypeUnsignedChar:
      return 1;
    case kTypeWchar:
      return sizeof(wchar_t);
    case kTypeChar16:
      return sizeof(char16_t);
    case kTypeChar32:
      return sizeof(char32_t);
    case kTypeShort:
    case kTypeUnsignedShort:
      return sizeof(short);
    case kTypeInt:
    case kTypeUnsignedInt:
      return sizeof(int);
    case kTypeLong:
    case kTypeUnsignedLong:
      return sizeof(long);
    case kTypeLongLong:
    case kTypeUnsignedLongLong:
      return sizeof(long long);
    case kTypeFloat:
      return sizeof(float);
    case kTypeDouble:
      return sizeof(double);
    case kTypeLongDouble:
      return sizeof(long double);
    default:
      return 0;
  }
}

constexpr bool baseIsUnsigned(unsigned base) {
  switch (base) {
    case kTypeBool:
    case kTypeUnsignedChar:
    case kTypeUnsignedShort:
    case kTypeUnsignedInt:
    case kTypeUnsignedLong:
    case kTypeUnsignedLongLong:
    case kTypeChar16:
    case kTypeChar32:
      return true;
    case kTypeChar:
      return !std::is_signed<char>::value;
    case kTypeWchar:
      return !std::is_signed<wchar_t>::value;
    default:
      return false;
  }
}

// The signed (or unsigned) variant of an integer type, as the compiler forms
// it when it overlooks a difference in signedness: the standard types have
// their partners; wchar_t, char16_t and char32_t keep themselves where they
// already have that signedness and otherwise become the first standard type
// of their size, in the order the compiler tries them; bool has none.
constexpr unsigned variantOf(unsigned base, bool wantUnsigned) {
  if (base < kTypeChar || base > kTypeUnsignedLongLong) return 0;
  if (base <= kTypeUnsignedChar) return wantUnsigned ? kTypeUnsignedChar : kTypeSignedChar;
  if (base >= kTypeShort) {
    const bool isSigned = (base - kTypeShort) % 2 == 0;
    return isSigned == !wantUnsigned ? base : (wantUnsigned ? base + 1 : base - 1);
  }
  if (baseIsUnsigned(base) == wantUnsigned) return base;
  const unsigned order[] = {kTypeSignedChar, kTypeInt, kTypeShort, kTypeLong, kTypeLongLong};
  for (unsigned type : order) {
    if (baseSize(type) == baseSize(base)) return wantUnsigned ? type + 1 : type;
  }
  return 0;
}

constexpr unsigned promotedOf(unsigned base) {
  if (base == kTypeFloat) return kTypeDouble;
  if (base < kTypeBool || base > kTypeUnsignedLongLong) return base;
  if (baseSize(base) < sizeof(int)) return kTypeInt;
  if (base < kTypeShort) return baseIsUnsigned(base) ? kTypeUnsignedInt : kTypeInt;
  return base;
}

constexpr std::array<type_facts_t, kTypeFactsSize> makeTypeFacts() {
  std::array<type_facts_t, kTypeFactsSize> facts{};
  for (unsigned base = 0; base < kTypeFactsSize; ++base) {
    type_facts_t& f = facts[base];
    f.size = static_cast<std::uint8_t>(baseSize(base));
    f.promoted = static_cast<std::uint8_t>(promotedOf(base));
    f.variants[0] = static_cast<std::uint8_t>(variantOf(base, false));
    f.variants[1] = static_cast<std::uint8_t>(variantOf(base, true));
    f.integer = base >= kTypeBool && base <= kTypeUnsignedLongLong;
    f.character = base >= kTypeChar && base <= kTypeUnsignedChar;
    f.floating = base >= kTypeFloat && base <= kTypeLongDouble;
    f.isUnsigned = baseIsUnsigned(base);
  }
  return facts;
}

inline constexpr std::array<type_facts_t, kTypeFactsSize> kTypeFacts = makeTypeFacts();

// Whether the TypeID value `type` is an integer passed as a value (bool and
// the character types included).
constexpr bool isIntegerValue(unsigned type) {
  const unsigned base = type & kTypeBaseMask;
  return (type & kTypePointer) == 0 && base < kTypeFactsSize && kTypeFacts[base].integer;
}

// Whether `given` is `wanted`, or differs from it only in signedness.
constexpr bool sameIgnoringSign(unsigned wanted, unsigned given) {
  const type_facts_t& w = kTypeFacts[wanted];
  return wanted == given || (w.integer && kTypeFacts[given].integer &&
                             wanted == kTypeFacts[given].variants[w.isUnsigned]);
}

// "I32" and "I64" take any integer type of their size, enumerations
// included, as the compiler sees them; not bool.
constexpr bool hasIdentitySize(unsigned identity, unsigned base, unsigned given) {
  if (base == kTypeEnumeration || base == kTypeScopedEnum) {
    return ((given & kTypeSizeMask) >> kTypeSizeShift) == identity;
  }
  return kTypeFacts[base].integer && base != kTypeBool && kTypeFacts[base].size == identity;
}

constexpr bool servesValue(const want_t& want, unsigned base, unsigned given) {
  const unsigned value = kTypeFacts[base].promoted;
  if (want.identity == 0) return sameIgnoringSign(want.type, value);
  if (kTypeFacts[want.type].floating) {
    return kTypeFacts[value].floating && kTypeFacts[value].size == want.identity;
  }
  return hasIdentitySize(want.identity, value, given);
}

constexpr bool servesTarget(const want_t& want, unsigned base, unsigned given) {
  if (want.type == kTypeChar && kTypeFacts[base].character) return true;
  if (want.identity != 0) return hasIdentitySize(want.identity, base, given);
  return sameIgnoringSign(want.type, base);
}

// Whether an argument of type `given` (a TypeID value) serves `want`,
// judged from the facts of its base.
constexpr bool servesWant(const want_t& want, unsigned given) {
  const unsigned base = given & kTypeBaseMask;
  if (base >= kTypeFactsSize) return false;
  const bool pointer = (given & kTypePointer) != 0;
  const bool indirect = (given & kTypeIndirect) != 0;
  const bool writable = pointer && (given & kTypeConstTarget) == 0;
  switch (want.kind) {
    case WantKind::kValue:
      return !pointer && servesValue(want, base, given);
    case WantKind::kText:
      return pointer && !indirect &&
             (want.type == kTypeChar ? kTypeFacts[base].character : base == want.type);
    case WantKind::kAnyPointer:
      return pointer || given == kTypeNullptr;
    case WantKind::kTarget:
      return writable && !indirect && servesTarget(want, base, given);
    case WantKind::kAllocated:
      return writable && indirect &&
             (want.type == kTypeChar ? kTypeFacts[base].character : base == want.type);
    case WantKind::kPointerTarget:
      return writable && indirect;
    default:
      return false;
  }
}

// The shape of an argument of a want's kind that its bases serve as they
// are, and the pointer flag it may carry besides.
constexpr unsigned kBasesMask = 0x1F;
constexpr unsigned plainShape(WantKind kind) {
  return kind == WantKind::kText || kind == WantKind::kTarget ? unsigned{kTypePointer} : 0u;
}
constexpr unsigned freeShape(WantKind kind) {
  return kind == WantKind::kText ? unsigned{kTypeConstTarget} : 0u;
}

// `want` with its bases: those that serve in the plain shape, with and
// without the free flag. Runs only where the tables are built.
constexpr want_t withBases(want_t want) {
  want.bases = 0;
  if (want.kind != WantKind::kValue && plainShape(want.kind) == 0) return want;
  for (unsigned base = 0; base <= kBasesMask; ++base) {
    const unsigned given = base | plainShape(want.kind);
    if (servesWant(want, given) && servesWant(want, given | freeShape(want.kind))) {
      want.bases |= std::uint32_t(1) << base;
    }
  }
  return want;
}

// Whether an argument of type `given` serves `want`: the same verdict as
// servesWant, with the arguments most calls pass settled by one test.
inline bool accepts(const want_t& want, unsigned given) {
  const unsigned shape = given & ~(kBasesMask | freeShape(want.kind));
  if (shape == plainShape(want.kind) && ((want.bases >> (given & kBasesMask)) & 1) != 0) {
    return true;
  }
  return servesWant(want, given);
}

}  // namespace qirt::detail
