// Text helpers shared by every layer: printf-style formatting into a
// std::string and conversions between narrow byte text and UTF-16.
#pragma once

#include <cstdarg>
#include <string>

#include "wyx/unicode/utf8.hpp"

// Lets g++ and clang check printf-style calls; other compilers get nothing.
#if defined(__GNUC__)
#define WYX_PRINTF_FORMAT(formatIndex, firstArgument) \
  __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define WYX_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

namespace wyx {

// Code pages understood by toWideString / toNarrowString. The first three
// are converted by the library itself, the same on every system, so an
// options file gives the same headers everywhere; any other number goes to
// the system's conversion.
constexpr unsigned kCodePageAnsi = 0;      // the narrow text of options files: Windows-1252
constexpr unsigned kCodePageOem = 1;       // the text of reports and messages: UTF-8
constexpr unsigned kCodePageUtf8 = 65001;  // UTF-8 explicitly
constexpr unsigned kCodePageWindows1252 = 1252;

// printf-style formatting into a new string, with the C library's
// conventions. Raises std::bad_alloc when memory runs out and
// std::runtime_error when the C library refuses the format.
std::string formatString(const char* format, ...) WYX_PRINTF_FORMAT(1, 2);
std::string formatStringV(const char* format, va_list args);

// Converts the whole text (embedded NULs included) between a code page and
// UTF-16. Ill-formed UTF-8 gives one U+FFFD per maximal ill-formed
// subsequence, a lone surrogate becomes U+FFFD in UTF-8, and a character
// Windows-1252 cannot hold becomes "?". A code page the system does not
// know gives the empty text. Raises std::bad_alloc when memory runs out,
// never anything else: a quietly shortened text could reach a header.
UnicodeString toWideString(const std::string& text, unsigned codePage);
std::string toNarrowString(const UnicodeString& text, unsigned codePage);

// Shorthands for the UTF-8 conversions used for names and messages.
inline UnicodeString fromUtf8(const std::string& text) {
  return toWideString(text, kCodePageUtf8);
}
inline std::string toUtf8(const UnicodeString& text) { return toNarrowString(text, kCodePageUtf8); }

// The UTF-8 codec of wyx/unicode/utf8.hpp: encodeUtf8 writes one code point,
// fromUtf8Escaped / toUtf8Escaped carry any byte sequence through UTF-16.
using unicode::encodeUtf8;
using unicode::fromUtf8Escaped;
using unicode::toUtf8Escaped;

}  // namespace wyx
