// UTF-8 and UTF-16 texts converted into each other as a whole, with the wide
// text type of the system. The platform layer and the code-page helpers of
// wyx/oo/strings.hpp build on these; other code calls them through
// strings.hpp.
#pragma once

#include <cstddef>
#include <string>

namespace wyx {

// Wide text of the system: UTF-16 code units.
using UnicodeString = std::u16string;

}  // namespace wyx

namespace wyx::unicode {

// Writes the UTF-8 form of `c` (U+FFFD for a surrogate) to `out`, which has
// room for 4 bytes; returns its length. Allocates nothing.
std::size_t encodeUtf8(char32_t c, char* out);

// The whole text converted, embedded NULs included. Ill-formed UTF-8 gives
// one U+FFFD per maximal ill-formed subsequence; a lone surrogate becomes
// U+FFFD in UTF-8. Raise std::bad_alloc when memory runs out.
UnicodeString utf16FromUtf8(const std::string& text);
std::string utf8FromUtf16(const UnicodeString& text);

// UTF-8 that survives any byte sequence: every byte that is not part of a
// well-formed sequence travels as the lone surrogate U+DC80..U+DCFF and
// comes back as the same byte. File names on POSIX are bytes, and a name
// the user typed must open exactly that file. Ordinary conversions show
// such a unit as U+FFFD.
UnicodeString fromUtf8Escaped(const std::string& bytes);
std::string toUtf8Escaped(const UnicodeString& text);

}  // namespace wyx::unicode
