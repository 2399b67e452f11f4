// A stand-in for the checking library, for compiling the generated headers
// only: it provides what they expect (the checking functions, TypeID and the
// two _QIRT_FILELINEFUNC_ macros) and records what each check is given.
// The real library is qirt/format.hpp; this one stays for tests that need
// to see what the wrappers pass.
#ifndef KORVEN_TEST_QIRT_FORMAT_HPP
#define KORVEN_TEST_QIRT_FORMAT_HPP

#ifdef __cplusplus

#include <cstddef>
#include <cstdio>

#ifdef QIRT_FORMAT_CHECK_DEBUG
#define _QIRT_FILELINEFUNC_SIG const char *file, int line, const char *func,
#define _QIRT_FILELINEFUNC_PARAM , file, line, func
#define __FUNC__ __func__
#else
#define _QIRT_FILELINEFUNC_SIG
#define _QIRT_FILELINEFUNC_PARAM
#endif

namespace qirt {

// Type identifiers as the checker sees them.
enum : unsigned {
  kTypeOther = 1,
  kTypeInt,
  kTypeUnsigned,
  kTypeLong,
  kTypeDouble,
  kTypeChar,
  kTypeString,      // char* or const char*
  kTypeWideString,  // wchar_t* or const wchar_t*
  kTypeSize,
};

template <typename T, typename CStringT>
struct TypeID {
  static const unsigned value = kTypeOther;
};
#define KORVEN_TEST_TYPE_ID(type, id)      \
  template <typename CStringT>             \
  struct TypeID<type, CStringT> {          \
    static const unsigned value = id;      \
  };
KORVEN_TEST_TYPE_ID(int, kTypeInt)
KORVEN_TEST_TYPE_ID(unsigned, kTypeUnsigned)
KORVEN_TEST_TYPE_ID(long, kTypeLong)
KORVEN_TEST_TYPE_ID(double, kTypeDouble)
KORVEN_TEST_TYPE_ID(char, kTypeChar)
KORVEN_TEST_TYPE_ID(char*, kTypeString)
KORVEN_TEST_TYPE_ID(const char*, kTypeString)
KORVEN_TEST_TYPE_ID(wchar_t*, kTypeWideString)
KORVEN_TEST_TYPE_ID(const wchar_t*, kTypeWideString)
KORVEN_TEST_TYPE_ID(unsigned long, kTypeSize)
#undef KORVEN_TEST_TYPE_ID

// The last check made.
struct recorded_check_t {
  const char* variant;
  const void* format;
  unsigned count;
  unsigned types[16];
  bool typesNull;
  const char* file;
  int line;
  const char* func;
  int checks;
};

inline recorded_check_t& lastCheck() {
  static recorded_check_t check;
  return check;
}

inline void recordCheck(const char* variant, const void* format, const unsigned* types,
                        unsigned count, const char* file, int line, const char* func) {
  recorded_check_t& check = lastCheck();
  check.variant = variant;
  check.format = format;
  check.count = count;
  check.typesNull = types == 0;
  for (unsigned i = 0; i < count && i < 16; ++i) check.types[i] = types[i];
  check.file = file;
  check.line = line;
  check.func = func;
  ++check.checks;
}

#define KORVEN_TEST_VERIFY(variant, CharT)                                                       \
  inline void verify##variant##FormatString(const CharT* format, const unsigned* types,         \
                                            unsigned count, const char* file = 0, int line = 0, \
                                            const char* func = 0) {                             \
    recordCheck(#variant, format, types, count, file, line, func);                              \
  }
KORVEN_TEST_VERIFY(Printf, char)
KORVEN_TEST_VERIFY(Sprintf, char)
KORVEN_TEST_VERIFY(Fprintf, char)
KORVEN_TEST_VERIFY(Swprintf, wchar_t)
#undef KORVEN_TEST_VERIFY

}  // namespace qirt

#endif  // __cplusplus

#endif
