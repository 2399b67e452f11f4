// The checking library: checks a printf- or scanf-family format string
// against the types of the arguments passed with it, before the C function
// is called. The headers that korven generates call it; a program includes
// this header, then format_definition_begin.hpp, declares its wrappers, and
// includes format_definition_end.hpp. C++11; in C it declares nothing.
//
// When a call is wrong, the checker throws qirt::EFormatError, so that the
// call does not reach the C function; or it hands the facts to the handler
// installed with setFormatErrorHandler; or, in the observe and abort modes
// that the program, its environment or its build may choose, it reports the
// call and lets it go on, or aborts. All are declared in
// qirt/format_error.hpp, which a program includes where it catches, installs
// or chooses one. This header stays light, since every checked unit
// includes it. The check allocates nothing when the call is right.
//
// Dialect. The checks follow the conversions of the C library that this
// translation unit calls, chosen here and only here:
//  - POSIX C libraries (glibc and the like): C99/C11 with "%n$" argument
//    positions; "%s" wants char* and "%ls" (or "%S") wchar_t*, in the narrow
//    and the wide functions alike; "'" and "I" are flags, "%m" takes nothing.
//  - MinGW-w64's own C99 implementation, which a unit calls where mingw-w64's
//    <stdio.h> routes it there (as it always does for C++, whose headers
//    switch __USE_MINGW_ANSI_STDIO on): as above ("%s" is char* in swprintf
//    too), plus the sizes "I32" and "I64" and "%hs", but without argument
//    positions in printf, which that implementation prints as text.
//  - The Microsoft C library, which MSVC programs and the MinGW units whose
//    <stdio.h> was first read with __USE_MINGW_ANSI_STDIO=0 call: "%s" and
//    "%c" follow the function's character type, "%S" and "%C" take the
//    other one, "%hs" is always narrow and "%ls" always wide; sizes include
//    "I32"/"I64"; no positions.
// mingw-w64's <stdio.h> says which library it routes a unit to in
// __MINGW_PRINTF_FORMAT (ms_printf or gnu_printf); this header follows it.
// QIRT_FORMAT_MICROSOFT_STDIO or QIRT_FORMAT_MINGW_STDIO, defined before
// this header, override the choice. The secure functions (printf_s,
// sscanf_s, ...) are the Microsoft library's in every MinGW unit, and the
// checking library checks them so. kFormatDialect tells the choice.
#ifndef QIRT_FORMAT_HPP
#define QIRT_FORMAT_HPP

#ifdef __cplusplus

// The C library's configuration macros, for the dialect. Also, libstdc++'s
// <cstdio> and <cwchar> undefine the C functions' names when they are first
// read, which would silently remove routing macros defined before; read
// here, ahead of every routing, they cannot.
#include <cstdio>
#include <cwchar>

#include "qirt/format_types.hpp"

// The extra parameters and arguments of the generated wrappers: file, line
// and function of the call when QIRT_FORMAT_CHECK_DEBUG is defined.
#ifdef QIRT_FORMAT_CHECK_DEBUG
#define _QIRT_FILELINEFUNC_SIG const char *file, int line, const char *func,
#define _QIRT_FILELINEFUNC_PARAM , file, line, func
#else
#define _QIRT_FILELINEFUNC_SIG
#define _QIRT_FILELINEFUNC_PARAM
#endif
// The debug variant of the generated routing macros passes __FUNC__, the
// name some compilers give the function being compiled; C++11 calls it
// __func__, which serves wherever the compiler has no __FUNC__ of its own.
#ifndef __FUNC__
#define __FUNC__ __func__
#endif

namespace qirt {

enum FormatDialect {
  kFormatDialectPosix,
  kFormatDialectMinGW,
  kFormatDialectMicrosoft,
};

// The dialect of this translation unit (see the head of this file), also
// as the name QIRT_FORMAT_UNIT_DIALECT, for headers that keep units of
// different dialects apart. The value of __MINGW_PRINTF_FORMAT is a name,
// which the preprocessor can only compare by pasting it onto a prefix.
#define QIRT_FORMAT_PASTE_(a, b) a##b
#define QIRT_FORMAT_PASTE(a, b) QIRT_FORMAT_PASTE_(a, b)
#define QIRT_FORMAT_IS_ms_printf 1
#define QIRT_FORMAT_IS_gnu_printf 2
#if defined(QIRT_FORMAT_MICROSOFT_STDIO) && defined(QIRT_FORMAT_MINGW_STDIO)
#error "define QIRT_FORMAT_MICROSOFT_STDIO or QIRT_FORMAT_MINGW_STDIO, not both"
#elif defined(QIRT_FORMAT_MICROSOFT_STDIO)
#define QIRT_FORMAT_UNIT_DIALECT kFormatDialectMicrosoft
#elif defined(QIRT_FORMAT_MINGW_STDIO)
#define QIRT_FORMAT_UNIT_DIALECT kFormatDialectMinGW
#elif defined(__MINGW32__) && defined(__MINGW_PRINTF_FORMAT) && \
    QIRT_FORMAT_PASTE(QIRT_FORMAT_IS_, __MINGW_PRINTF_FORMAT) == 1
#define QIRT_FORMAT_UNIT_DIALECT kFormatDialectMicrosoft
#elif defined(__MINGW32__) && defined(__MINGW_PRINTF_FORMAT) && \
    QIRT_FORMAT_PASTE(QIRT_FORMAT_IS_, __MINGW_PRINTF_FORMAT) == 2
#define QIRT_FORMAT_UNIT_DIALECT kFormatDialectMinGW
#elif defined(_WIN32) && defined(__USE_MINGW_ANSI_STDIO) && __USE_MINGW_ANSI_STDIO
#define QIRT_FORMAT_UNIT_DIALECT kFormatDialectMinGW
#elif defined(_WIN32)
#define QIRT_FORMAT_UNIT_DIALECT kFormatDialectMicrosoft
#else
#define QIRT_FORMAT_UNIT_DIALECT kFormatDialectPosix
#endif
static const FormatDialect kFormatDialect = QIRT_FORMAT_UNIT_DIALECT;
#undef QIRT_FORMAT_IS_ms_printf
#undef QIRT_FORMAT_IS_gnu_printf

namespace detail {

// The families of wrappers: the C standard functions, and the secure
// functions of the Microsoft library (sprintf_s, sscanf_s, ...), whose scanf
// family takes a buffer size after every text target.
enum FormatFamily { kFamilyPrintf, kFamilyScanf, kFamilyPrintfSecure, kFamilyScanfSecure };

// What a check needs to know besides the format and the types, in one word
// so that the call each wrapper inlines has few arguments: that is most of
// what a checked call costs the compiler. The family in bits 0-3, the
// dialect in bits 4-7; in bits 8-9 what the unit was built with: the mode a
// wrong call gets unless the program or its environment chooses one (a
// qirt::FormatMode value, 0 for none), from the definition
// QIRT_FORMAT_MODE=throw, observe or abort; the number of arguments in bits
// 16-31 when it is below kCallCountLimit.
typedef unsigned call_word_t;
const call_word_t kCallFamilyMask = 0xF;
const unsigned kCallDialectShift = 4;
const call_word_t kCallDialectMask = 0xF0;
const unsigned kCallModeShift = 8;
const call_word_t kCallModeMask = 0x300;
const unsigned kCallCountShift = 16;
const unsigned kCallCountLimit = 0xFFFF;

#define QIRT_FORMAT_MODE_ID_throw 1
#define QIRT_FORMAT_MODE_ID_observe 2
#define QIRT_FORMAT_MODE_ID_abort 3
#ifdef QIRT_FORMAT_MODE
#if QIRT_FORMAT_PASTE(QIRT_FORMAT_MODE_ID_, QIRT_FORMAT_MODE) + 0 == 0
#error "QIRT_FORMAT_MODE must be throw, observe or abort"
#endif
const call_word_t kCallUnitMode = QIRT_FORMAT_PASTE(QIRT_FORMAT_MODE_ID_, QIRT_FORMAT_MODE)
                                  << kCallModeShift;
#else
const call_word_t kCallUnitMode = 0;
#endif
#undef QIRT_FORMAT_MODE_ID_throw
#undef QIRT_FORMAT_MODE_ID_observe
#undef QIRT_FORMAT_MODE_ID_abort
#undef QIRT_FORMAT_PASTE_
#undef QIRT_FORMAT_PASTE

constexpr call_word_t callOf(FormatFamily family, FormatDialect dialect) {
  return static_cast<call_word_t>(family) |
         (static_cast<call_word_t>(dialect) << kCallDialectShift);
}

// What every call of a family in this unit passes, but for the count.
const call_word_t kCallPrintf = callOf(kFamilyPrintf, kFormatDialect) | kCallUnitMode;
const call_word_t kCallScanf = callOf(kFamilyScanf, kFormatDialect) | kCallUnitMode;
const call_word_t kCallPrintfSecure = callOf(kFamilyPrintfSecure, kFormatDialect) | kCallUnitMode;
const call_word_t kCallScanfSecure = callOf(kFamilyScanfSecure, kFormatDialect) | kCallUnitMode;

// Checks a call whose word holds its count.
void verifyFormat(const char* format, const unsigned* types, call_word_t call);
void verifyFormat(const wchar_t* format, const unsigned* types, call_word_t call);
// The same with the count on its own, whatever the word holds, and the
// place of the call for messages (null leaves it out).
void verifyFormat(const char* format, const unsigned* types, call_word_t call, const char* file,
                  int line, const char* function, unsigned count);
void verifyFormat(const wchar_t* format, const unsigned* types, call_word_t call, const char* file,
                  int line, const char* function, unsigned count);

}  // namespace detail

// verify<Family>FormatString(format, types, count[, file, line, function])
// checks `format` against the `count` argument types in `types` (type
// identifiers, see TypeID; null when count is 0), for a narrow or a wide
// format. `file`, `line` and `function` name the call in messages; null
// leaves them out. The generated wrappers call the one their declaration
// names: Printf, Scanf, PrintfSecure or ScanfSecure. The test of the count
// disappears where it is a constant, as in every generated wrapper.
#define QIRT_FORMAT_VERIFIER_OF(family, CharT)                                               \
  inline void verify##family##FormatString(const CharT* format, const unsigned* types,       \
                                           unsigned count) {                                 \
    if (count < detail::kCallCountLimit) {                                                   \
      detail::verifyFormat(format, types,                                                    \
                           detail::kCall##family | count << detail::kCallCountShift);        \
    } else {                                                                                 \
      detail::verifyFormat(format, types, detail::kCall##family, 0, 0, 0, count);            \
    }                                                                                        \
  }                                                                                          \
  inline void verify##family##FormatString(const CharT* format, const unsigned* types,       \
                                           unsigned count, const char* file, int line,       \
                                           const char* function) {                           \
    detail::verifyFormat(format, types, detail::kCall##family, file, line, function, count); \
  }
#define QIRT_FORMAT_VERIFIER(family)    \
  QIRT_FORMAT_VERIFIER_OF(family, char) \
  QIRT_FORMAT_VERIFIER_OF(family, wchar_t)
QIRT_FORMAT_VERIFIER(Printf)
QIRT_FORMAT_VERIFIER(Scanf)
QIRT_FORMAT_VERIFIER(PrintfSecure)
QIRT_FORMAT_VERIFIER(ScanfSecure)
#undef QIRT_FORMAT_VERIFIER
#undef QIRT_FORMAT_VERIFIER_OF

}  // namespace qirt

#endif  // __cplusplus

#endif  // QIRT_FORMAT_HPP
