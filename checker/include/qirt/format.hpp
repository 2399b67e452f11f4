// The checking library: checks a printf- or scanf-family format string
// against the types of the arguments passed with it, before the C function
// is called. The headers that korven generates call it; a program includes
// this header, then format_definition_begin.hpp, declares its wrappers, and
// includes format_definition_end.hpp. C++11; in C it declares nothing.
//
// A call with a mismatch does not reach the C function: the checker throws
// qirt::EFormatError, or hands the facts to the handler installed with
// setFormatErrorHandler. The check allocates nothing when the call is right.
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
#include <stdexcept>
#include <string>

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

enum FormatErrorKind {
  kFormatTypeMismatch,     // an argument of the wrong type
  kFormatMissingArgument,  // the format wants more arguments than given
  kFormatSurplusArgument,  // more arguments than the format uses
  kFormatUnusedArgument,   // with positions: an argument below the highest
                           // position that no conversion names
  kFormatMalformed,        // a specifier the C library does not know
  kFormatPositions,        // positions the C library lacks, or positions
                           // mixed with plain specifiers
  kFormatNullFormat,       // the format is a null pointer
};

// The facts of one mismatch. Strings are UTF-8 (a wide format is converted)
// and NUL-terminated, never null; they live only while the handler runs.
struct format_error_t {
  FormatErrorKind kind;
  const char* family;      // "printf", "wprintf", "scanf" or "wscanf"
  const char* format;      // the whole format, "" for a null format
  unsigned argument;       // 1-based position of the argument, 0 for none
  unsigned argumentCount;  // number of arguments passed
  const char* specifier;   // the specifier as written, "" for none
  const char* wanted;      // the type the specifier wants, "" for none
  const char* given;       // the type passed, "" for none
  const char* file;        // file, line and function of the call in the
  int line;                // debug variant; "" and 0 otherwise
  const char* function;
  const char* message;  // the whole message, as EFormatError::what()
};

// Thrown for a mismatch unless a handler is installed. what() is, e.g.,
//   printf format "%d items": argument 1 is const char*, but %d wants int
// followed in the debug variant by " (main.cpp:12, report)".
class EFormatError : public std::runtime_error {
 public:
  explicit EFormatError(const format_error_t& error);

  FormatErrorKind kind() const { return kind_; }
  const std::string& family() const { return family_; }
  const std::string& format() const { return format_; }
  unsigned argument() const { return argument_; }
  const std::string& specifier() const { return specifier_; }
  const std::string& wanted() const { return wanted_; }
  const std::string& given() const { return given_; }
  const std::string& file() const { return file_; }
  int line() const { return line_; }
  const std::string& function() const { return function_; }

 private:
  FormatErrorKind kind_;
  std::string family_;
  std::string format_;
  unsigned argument_;
  std::string specifier_;
  std::string wanted_;
  std::string given_;
  std::string file_;
  int line_;
  std::string function_;
};

// Reaction to a mismatch. A handler that returns lets the call go on to the
// C function as it is; one that throws stops it.
typedef void (*FormatErrorHandler)(const format_error_t& error);

// Installs `handler` for the whole program (all threads) and returns the one
// it replaces; null restores the default, which throws EFormatError.
FormatErrorHandler setFormatErrorHandler(FormatErrorHandler handler);

namespace detail {

enum FormatFamily { kFamilyPrintf, kFamilyScanf };

void verifyFormat(FormatFamily family, FormatDialect dialect, const char* format,
                  const unsigned* types, unsigned count, const char* file, int line,
                  const char* function);
void verifyFormat(FormatFamily family, FormatDialect dialect, const wchar_t* format,
                  const unsigned* types, unsigned count, const char* file, int line,
                  const char* function);

}  // namespace detail

// Checks `format` against the `count` argument types in `types` (type
// identifiers, see TypeID; null when count is 0). `file`, `line` and
// `function` name the call in messages; null leaves them out.
inline void verifyPrintfFormatString(const char* format, const unsigned* types, unsigned count,
                                     const char* file = 0, int line = 0, const char* function = 0) {
  detail::verifyFormat(detail::kFamilyPrintf, kFormatDialect, format, types, count, file, line,
                       function);
}
inline void verifyPrintfFormatString(const wchar_t* format, const unsigned* types, unsigned count,
                                     const char* file = 0, int line = 0, const char* function = 0) {
  detail::verifyFormat(detail::kFamilyPrintf, kFormatDialect, format, types, count, file, line,
                       function);
}
inline void verifyScanfFormatString(const char* format, const unsigned* types, unsigned count,
                                    const char* file = 0, int line = 0, const char* function = 0) {
  detail::verifyFormat(detail::kFamilyScanf, kFormatDialect, format, types, count, file, line,
                       function);
}
inline void verifyScanfFormatString(const wchar_t* format, const unsigned* types, unsigned count,
                                    const char* file = 0, int line = 0, const char* function = 0) {
  detail::verifyFormat(detail::kFamilyScanf, kFormatDialect, format, types, count, file, line,
                       function);
}

}  // namespace qirt

#endif  // __cplusplus

#endif  // QIRT_FORMAT_HPP
