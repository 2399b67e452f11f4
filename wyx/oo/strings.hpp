// Text helpers shared by every layer: printf-style formatting into a
// std::string and conversions between narrow byte text and UTF-16.
#pragma once

#include <cstdarg>
#include <string>

namespace wyx {

// Wide text of the system: UTF-16 code units.
using UnicodeString = std::u16string;

// Code pages understood by toWideString / toNarrowString.
constexpr unsigned kCodePageAnsi = 0;      // the system's narrow text: Windows-1252
constexpr unsigned kCodePageOem = 1;       // the console's encoding: UTF-8 here
constexpr unsigned kCodePageUtf8 = 65001;  // UTF-8 explicitly

// printf-style formatting into a new string, with the C library's conventions.
std::string formatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string formatStringV(const char* format, va_list args);

// Converts the whole text (embedded NULs included) between a code page and
// UTF-16. Never throws: a conversion the platform refuses gives an empty
// text, and invalid input gives replacement characters.
UnicodeString toWideString(const std::string& text, unsigned codePage);
std::string toNarrowString(const UnicodeString& text, unsigned codePage);

// Shorthands for the UTF-8 conversions used for paths, names and messages.
inline UnicodeString fromUtf8(const std::string& text) {
  return toWideString(text, kCodePageUtf8);
}
inline std::string toUtf8(const UnicodeString& text) { return toNarrowString(text, kCodePageUtf8); }

}  // namespace wyx
