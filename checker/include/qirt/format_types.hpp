// Type identifiers of format arguments: qirt::TypeID<T, CStringT>::value
// says what the C library receives when an argument of type T is passed to
// a format function whose format has the type CStringT. Part of the checking
// library; included by qirt/format.hpp. C++11.
#ifndef QIRT_FORMAT_TYPES_HPP
#define QIRT_FORMAT_TYPES_HPP

// Every checked unit includes this header, so it builds on the compilers'
// own type traits, which g++, clang and MSVC share, rather than on
// <type_traits>, which would cost each unit more than the rest of the
// checking library together.
#if defined(__GNUC__) || defined(__clang__) || defined(_MSC_VER)
#define QIRT_FORMAT_IS_ENUM(T) __is_enum(T)
#define QIRT_FORMAT_UNDERLYING(T) __underlying_type(T)
#else
#include <type_traits>
#define QIRT_FORMAT_IS_ENUM(T) std::is_enum<T>::value
#define QIRT_FORMAT_UNDERLYING(T) typename std::underlying_type<T>::type
#endif

namespace qirt {

// An identifier is a base type, optionally with kTypePointer ("pointer to")
// and kTypeConstTarget ("the target is const") added; kTypeIndirect makes a
// pointer a pointer to a pointer to the base type (kTypeConstTarget then
// says that the pointer in the middle is const, kTypeConstInner that the
// base is). The checker applies the default argument promotions itself, so
// the identifiers keep the type as written (a short stays a short) and
// messages can name it.
enum : unsigned {
  kTypeBool = 1,
  kTypeChar,
  kTypeSignedChar,
  kTypeUnsignedChar,
  kTypeWchar,
  kTypeChar16,
  kTypeChar32,
  kTypeShort,
  kTypeUnsignedShort,
  kTypeInt,
  kTypeUnsignedInt,
  kTypeLong,
  kTypeUnsignedLong,
  kTypeLongLong,
  kTypeUnsignedLongLong,
  kTypeFloat,
  kTypeDouble,
  kTypeLongDouble,
  kTypeVoid,         // only as a pointer target
  kTypeNullptr,      // std::nullptr_t
  kTypeScopedEnum,   // a scoped enumeration, which is passed as it is
  kTypeEnumeration,  // only as a pointer target: any enumeration
  kTypeObject,       // only as a pointer target: any other object type
  kTypeFunction,     // only as a pointer target
  kTypeClass,        // a class, union or member pointer passed by value: no
                     // conversion accepts it (std::string, std::string_view)
  kTypeBaseMask = 0xFF,
  kTypePointer = 0x100,
  kTypeConstTarget = 0x200,
  kTypeIndirect = 0x400,
  kTypeConstInner = 0x800,
  // An enumeration's size in bytes, for kTypeScopedEnum and kTypeEnumeration.
  kTypeSizeShift = 12,
  kTypeSizeMask = 0xF000,
};

namespace detail {

// The fundamental types; every other type that reaches BaseTypeID is a
// class, a union, an array or a member pointer, unless it is an
// enumeration, which the templates below look at first.
template <typename T>
struct BaseTypeID {
  static const unsigned value = kTypeClass;
};
#define QIRT_FORMAT_BASE_TYPE_ID(type, id) \
  template <>                              \
  struct BaseTypeID<type> {                \
    static const unsigned value = id;      \
  };
QIRT_FORMAT_BASE_TYPE_ID(bool, kTypeBool)
QIRT_FORMAT_BASE_TYPE_ID(char, kTypeChar)
QIRT_FORMAT_BASE_TYPE_ID(signed char, kTypeSignedChar)
QIRT_FORMAT_BASE_TYPE_ID(unsigned char, kTypeUnsignedChar)
QIRT_FORMAT_BASE_TYPE_ID(wchar_t, kTypeWchar)
QIRT_FORMAT_BASE_TYPE_ID(char16_t, kTypeChar16)
QIRT_FORMAT_BASE_TYPE_ID(char32_t, kTypeChar32)
QIRT_FORMAT_BASE_TYPE_ID(short, kTypeShort)
QIRT_FORMAT_BASE_TYPE_ID(unsigned short, kTypeUnsignedShort)
QIRT_FORMAT_BASE_TYPE_ID(int, kTypeInt)
QIRT_FORMAT_BASE_TYPE_ID(unsigned int, kTypeUnsignedInt)
QIRT_FORMAT_BASE_TYPE_ID(long, kTypeLong)
QIRT_FORMAT_BASE_TYPE_ID(unsigned long, kTypeUnsignedLong)
QIRT_FORMAT_BASE_TYPE_ID(long long, kTypeLongLong)
QIRT_FORMAT_BASE_TYPE_ID(unsigned long long, kTypeUnsignedLongLong)
QIRT_FORMAT_BASE_TYPE_ID(float, kTypeFloat)
QIRT_FORMAT_BASE_TYPE_ID(double, kTypeDouble)
QIRT_FORMAT_BASE_TYPE_ID(long double, kTypeLongDouble)
QIRT_FORMAT_BASE_TYPE_ID(void, kTypeVoid)
QIRT_FORMAT_BASE_TYPE_ID(decltype(nullptr), kTypeNullptr)
#if defined(__cpp_char8_t)
// char8_t text is UTF-8 bytes, which "%s" prints as they are.
QIRT_FORMAT_BASE_TYPE_ID(char8_t, kTypeUnsignedChar)
#endif
#undef QIRT_FORMAT_BASE_TYPE_ID

// An unscoped enumeration converts to int, a scoped one does not; only the
// declarations are needed, in an unevaluated operand.
char convertsToInt(int);
char (&convertsToInt(...))[2];
template <typename T>
T& anyValue();

// An unscoped enumeration is passed as its underlying type, after the
// promotions; a scoped one as it is.
template <typename T, bool = QIRT_FORMAT_IS_ENUM(T)>
struct ScalarTypeID : BaseTypeID<T> {};
template <typename T, bool = sizeof(convertsToInt(anyValue<T>())) == 1>
struct EnumTypeID : BaseTypeID<QIRT_FORMAT_UNDERLYING(T)> {};
template <typename T>
struct EnumTypeID<T, false> {
  static const unsigned value = kTypeScopedEnum | (sizeof(T) << kTypeSizeShift);
};
template <typename T>
struct ScalarTypeID<T, true> : EnumTypeID<T> {};

// A function type is the one type that const does not change.
template <typename T>
struct IsConst {
  static const bool value = false;
};
template <typename T>
struct IsConst<const T> {
  static const bool value = true;
};

// The base of a pointer's target, without its qualifiers: enumerations and
// classes are objects to the checker, whatever they hold, and so are
// pointers.
template <typename T, bool = QIRT_FORMAT_IS_ENUM(T), bool = IsConst<const T>::value>
struct TargetBaseID {
  static const unsigned base = BaseTypeID<T>::value;
  static const unsigned value = base == kTypeClass ? kTypeObject : base;
};
template <typename T>
struct TargetBaseID<T*, false, true> {
  static const unsigned value = kTypeObject;
};
template <typename T>
struct TargetBaseID<T, true, true> {
  static const unsigned value = kTypeEnumeration | (sizeof(T) << kTypeSizeShift);
};
template <typename T>
struct TargetBaseID<T, false, false> {
  static const unsigned value = kTypeFunction;
};

// The base behind a pointer to a pointer, with kTypeConstInner for a const
// one.
template <typename T>
struct InnerTypeID : TargetBaseID<T> {};
template <typename T>
struct InnerTypeID<const T> {
  static const unsigned value = TargetBaseID<T>::value | kTypeConstInner;
};
template <typename T>
struct InnerTypeID<volatile T> : InnerTypeID<T> {};
template <typename T>
struct InnerTypeID<const volatile T> : InnerTypeID<const T> {};

// What a pointer points to.
template <typename T>
struct TargetTypeID : TargetBaseID<T> {};
template <typename T>
struct TargetTypeID<const T> {
  static const unsigned value = TargetTypeID<T>::value | kTypeConstTarget;
};
template <typename T>
struct TargetTypeID<volatile T> : TargetTypeID<T> {};
template <typename T>
struct TargetTypeID<const volatile T> : TargetTypeID<const T> {};
template <typename T>
struct TargetTypeID<T*> {
  static const unsigned value = kTypeIndirect | InnerTypeID<T>::value;
};
template <typename T>
struct TargetTypeID<T* const> {
  static const unsigned value = kTypeIndirect | InnerTypeID<T>::value | kTypeConstTarget;
};
template <typename T>
struct TargetTypeID<T* volatile> : TargetTypeID<T*> {};
template <typename T>
struct TargetTypeID<T* const volatile> : TargetTypeID<T* const> {};

template <typename T>
struct PointerTypeID {
  static const unsigned value = TargetTypeID<T>::value | kTypePointer;
};

// A value as the C library receives it: without top-level qualifiers, a
// function as the pointer it decays to.
template <typename T, bool = IsConst<const T>::value>
struct ValueTypeID : ScalarTypeID<T> {};
template <typename T>
struct ValueTypeID<T, false> : PointerTypeID<T> {};
template <typename T>
struct ValueTypeID<T*, true> : PointerTypeID<T> {};
template <typename T>
struct ValueTypeID<const T, true> : ValueTypeID<T> {};
template <typename T>
struct ValueTypeID<volatile T, true> : ValueTypeID<T> {};
template <typename T>
struct ValueTypeID<const volatile T, true> : ValueTypeID<T> {};

// An argument: references count as what they refer to, arrays as the
// pointers they decay to.
template <typename T>
struct ArgumentTypeID : ValueTypeID<T> {};
template <typename T>
struct ArgumentTypeID<T&> : ArgumentTypeID<T> {};
template <typename T>
struct ArgumentTypeID<T&&> : ArgumentTypeID<T> {};
template <typename T, decltype(sizeof(0)) N>
struct ArgumentTypeID<T[N]> : PointerTypeID<T> {};
template <typename T>
struct ArgumentTypeID<T[]> : PointerTypeID<T> {};

#undef QIRT_FORMAT_IS_ENUM
#undef QIRT_FORMAT_UNDERLYING

}  // namespace detail

// The identifier of an argument of type T; arrays and functions count as the
// pointers they decay to, and top-level const and volatile are dropped.
// CStringT, the format's type, is accepted for the generated type lists; the
// identifiers do not depend on it.
template <typename T, typename CStringT>
struct TypeID {
  static const unsigned value = detail::ArgumentTypeID<T>::value;
};
// The definition, for code that binds `value` to a reference.
template <typename T, typename CStringT>
const unsigned TypeID<T, CStringT>::value;

}  // namespace qirt

#endif  // QIRT_FORMAT_TYPES_HPP
