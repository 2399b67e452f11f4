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
//  - MinGW-w64 with __USE_MINGW_ANSI_STDIO, which libstdc++ always switches
//    on for C++: the narrow and the wide functions both go to MinGW's own C99
//    implementation. As above ("%s" is char* in swprintf too), plus the
//    sizes "I32" and "I64" and "%hs", but without argument positions, which
//    that implementation prints as text.
//  - The Microsoft C library otherwise: "%s" and "%c" follow the function's
//    character type, "%S" and "%C" take the other one, "%hs" is always
//    narrow and "%ls" always wide; sizes include "I32"/"I64"; no positions.
// A MinGW program that defines __USE_MINGW_ANSI_STDIO=0 and includes
// <stdio.h> before any C++ header calls the Microsoft functions, although
// libstdc++ sets the macro to 1 afterwards; such a program defines
// QIRT_FORMAT_MICROSOFT_STDIO before including this header.
#ifndef QIRT_FORMAT_HPP
#define QIRT_FORMAT_HPP

#ifdef __cplusplus

#include <cstdio>  // the C library's configuration macros, for the dialect

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
#ifndef __FUNC__
#define __FUNC__ __func__
#endif

namespace qirt {

enum FormatDialect {
  kFormatDialectPosix,
  kFormatDialectMinGW,
  kFormatDialectMicrosoft,
};

// The dialect of this translation unit (see the head of this file).
#if defined(QIRT_FORMAT_MICROSOFT_STDIO)
static const FormatDialect kFormatDialect = kFormatDialectMicrosoft;
#elif defined(_WIN32) && defined(__USE_MINGW_ANSI_STDIO) && __USE_MINGW_ANSI_STDIO
static const FormatDialect kFormatDialect = kFormatDialectMinGW;
#elif defined(_WIN32)
static const FormatDialect kFormatDialect = kFormatDialectMicrosoft;
#else
static const FormatDialect kFormatDialect = kFormatDialectPosix;
#endif

namespace detail {

// The families of wrappers: the C standard functions, and the secure
// functions of the Microsoft library (sprintf_s, sscanf_s, ...), whose scanf
// family takes a buffer size after every text target.
enum FormatFamily { kFamilyPrintf, kFamilyScanf, kFamilyPrintfSecure, kFamilyScanfSecure };

// What a check needs to know besides the format and the types, in one word
// so that the code each wrapper inlines stays small: the family in the low
// four bits, the dialect in the next four, then what the unit was built
// with: the mode a wrong call gets unless the program or its environment
// chooses one (a qirt::FormatMode value, 0 for none), from the definition
// QIRT_FORMAT_MODE=throw, observe or abort.
const unsigned kCallFamilyMask = 0xF;
const unsigned kCallDialectShift = 4;
const unsigned kCallDialectMask = 0xF0;
const unsigned kCallModeShift = 8;
const unsigned kCallModeMask = 0x300;

#define _QIRT_FORMAT_MODE_throw 1
#define _QIRT_FORMAT_MODE_observe 2
#define _QIRT_FORMAT_MODE_abort 3
#define _QIRT_FORMAT_PASTE(a, b) a##b
#define _QIRT_FORMAT_MODE_OF(mode) _QIRT_FORMAT_PASTE(_QIRT_FORMAT_MODE_, mode)
#ifdef QIRT_FORMAT_MODE
#if _QIRT_FORMAT_MODE_OF(QIRT_FORMAT_MODE) + 0 == 0
#error "QIRT_FORMAT_MODE must be throw, observe or abort"
#endif
#define _QIRT_FORMAT_UNIT_MODE _QIRT_FORMAT_MODE_OF(QIRT_FORMAT_MODE)
#else
#define _QIRT_FORMAT_UNIT_MODE 0
#endif

inline unsigned callOf(FormatFamily family, FormatDialect dialect = kFormatDialect) {
  return static_cast<unsigned>(family) | (static_cast<unsigned>(dialect) << kCallDialectShift) |
         (static_cast<unsigned>(_QIRT_FORMAT_UNIT_MODE) << kCallModeShift);
}

void verifyFormat(unsigned call, const char* format, const unsigned* types, unsigned count,
                  const char* file, int line, const char* function);
void verifyFormat(unsigned call, const wchar_t* format, const unsigned* types, unsigned count,
                  const char* file, int line, const char* function);

}  // namespace detail

// verify<Family>FormatString(format, types, count[, file, line, function])
// checks `format` against the `count` argument types in `types` (type
// identifiers, see TypeID; null when count is 0), for a narrow or a wide
// format. `file`, `line` and `function` name the call in messages; null
// leaves them out. The generated wrappers call the one their declaration
// names: Printf, Scanf, PrintfSecure or ScanfSecure.
#define QIRT_FORMAT_VERIFIER(name, family)                                                    \
  inline void name(const char* format, const unsigned* types, unsigned count,                 \
                   const char* file = 0, int line = 0, const char* function = 0) {            \
    detail::verifyFormat(detail::callOf(family), format, types, count, file, line, function); \
  }                                                                                           \
  inline void name(const wchar_t* format, const unsigned* types, unsigned count,              \
                   const char* file = 0, int line = 0, const char* function = 0) {            \
    detail::verifyFormat(detail::callOf(family), format, types, count, file, line, function); \
  }
QIRT_FORMAT_VERIFIER(verifyPrintfFormatString, detail::kFamilyPrintf)
QIRT_FORMAT_VERIFIER(verifyScanfFormatString, detail::kFamilyScanf)
QIRT_FORMAT_VERIFIER(verifyPrintfSecureFormatString, detail::kFamilyPrintfSecure)
QIRT_FORMAT_VERIFIER(verifyScanfSecureFormatString, detail::kFamilyScanfSecure)
#undef QIRT_FORMAT_VERIFIER

}  // namespace qirt

#endif  // __cplusplus

#endif  // QIRT_FORMAT_HPP
