// Type identifiers of format arguments: qirt::TypeID<T, CStringT>::value
// says what the C library receives when an argument of type T is passed to
// a format function whose format has the type CStringT. Part of the checking
// library; included by qirt/format.hpp. C++11.
#ifndef QIRT_FORMAT_TYPES_HPP
#define QIRT_FORMAT_TYPES_HPP

#include <cstddef>
#include <type_traits>

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
  kTypeFunction,    // only as a pointer target
  kTypeClass,       // a class, union or member pointer passed by value: no
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
QIRT_FORMAT_BASE_TYPE_ID(std::nullptr_t, kTypeNullptr)
#if defined(__cpp_char8_t)
// char8_t text is UTF-8 bytes, which "%s" prints as they are.
QIRT_FORMAT_BASE_TYPE_ID(char8_t, kTypeUnsignedChar)
#endif
#undef QIRT_FORMAT_BASE_TYPE_ID

// An unscoped enumeration is passed as its underlying type, after the
// promotions; a scoped one as it is.
template <typename T, bool = std::is_enum<T>::value, bool = std::is_convertible<T, int>::value>
struct ScalarTypeID : BaseTypeID<T> {};
template <typename T>
struct ScalarTypeID<T, true, true> : BaseTypeID<typename std::underlying_type<T>::type> {};
template <typename T>
struct ScalarTypeID<T, true, false> {
  static const unsigned value = kTypeScopedEnum | (sizeof(T) << kTypeSizeShift);
};

// The base of a pointer's target: enumerations and classes are objects to
// the checker, whatever they hold.
template <typename T, bool = std::is_function<T>::value, bool = std::is_enum<T>::value>
struct TargetBaseID {
  static const unsigned base = BaseTypeID<typename std::remove_cv<T>::type>::value;
  static const unsigned value = (base == kTypeClass || std::is_pointer<T>::value) ? kTypeObject : base;
};
template <typename T>
struct TargetBaseID<T, false, true> {
  static const unsigned value = kTypeEnumeration | (sizeof(T) << kTypeSizeShift);
};
template <typename T>
struct TargetBaseID<T, true, false> {
  static const unsigned value = kTypeFunction;
};

// What a pointer points to.
template <typename T>
struct TargetTypeID {
  static const unsigned value =
      TargetBaseID<T>::value | (std::is_const<T>::value ? kTypeConstTarget : 0u);
};
template <typename T>
struct TargetTypeID<T*> {
  static const unsigned value = kTypeIndirect | TargetBaseID<T>::value |
                                (std::is_const<T>::value ? kTypeConstInner : 0u);
};
template <typename T>
struct TargetTypeID<T* const> {
  static const unsigned value = TargetTypeID<T*>::value | kTypeConstTarget;
};
template <typename T>
struct TargetTypeID<T* volatile> : TargetTypeID<T*> {};
template <typename T>
struct TargetTypeID<T* const volatile> : TargetTypeID<T* const> {};

template <typename T, bool = std::is_pointer<T>::value>
struct ValueTypeID : ScalarTypeID<T> {};
template <typename T>
struct ValueTypeID<T, true> {
  static const unsigned value =
      TargetTypeID<typename std::remove_pointer<T>::type>::value | kTypePointer;
};

}  // namespace detail

// The identifier of an argument of type T; arrays and functions count as the
// pointers they decay to, and top-level const and volatile are dropped.
// CStringT, the format's type, is accepted for the generated type lists; the
// identifiers do not depend on it.
template <typename T, typename CStringT>
struct TypeID {
  static const unsigned value = detail::ValueTypeID<typename std::decay<T>::type>::value;
};
// The definition, for code that binds `value` to a reference.
template <typename T, typename CStringT>
const unsigned TypeID<T, CStringT>::value;

}  // namespace qirt

#endif  // QIRT_FORMAT_TYPES_HPP
