// The few Unicode facts the options-file reader needs: decoding UTF-8 and
// UTF-16 one code point at a time, the character classes of identifiers and
// names, and caseless comparison under full case folding. Every answer comes
// from tables compiled into the program, so it is the same on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace wyx::unicode {

// What the decoders return for an ill-formed sequence. It is no code point,
// so every classifier below answers false for it.
constexpr char32_t kIllFormed = 0xFFFFFFFF;

// Decodes the UTF-8 sequence that starts at s[i] and advances i past it.
// An overlong form, a surrogate, a value above U+10FFFF or a sequence cut
// short by `length` gives kIllFormed; i then moves past the maximal
// ill-formed subpart (the lead byte and the trail bytes that could still have
// belonged to it), and always by at least one byte.
// REQUIRES: i < length.
char32_t nextUtf8(const std::uint8_t* s, std::size_t& i, std::size_t length);

// Decodes the code point that starts at s[i] and advances i past it (two
// units for a surrogate pair). A surrogate that is not part of a pair comes
// back as itself, one unit long.
// REQUIRES: i < length.
char32_t nextUtf16(const char16_t* s, std::size_t& i, std::size_t length);

// The distinctions between general categories that identifiers and names
// need. Unassigned code points, surrogates and kIllFormed are kOther.
enum class CharClass : std::uint8_t {
  kOther,
  kLetter,        // Lu, Ll, Lt, Lm, Lo
  kLetterNumber,  // Nl
  kDecimalDigit,  // Nd
  kJoiner,        // Mn, Mc, Pc, Cf: may continue an identifier, never start one
};
CharClass charClass(char32_t c);

inline bool isLetter(char32_t c) { return charClass(c) == CharClass::kLetter; }
inline bool isDecimalDigit(char32_t c) { return charClass(c) == CharClass::kDecimalDigit; }
// A letter or a letter number.
bool isIdentifierStart(char32_t c);
// An identifier start, a decimal digit or a joiner.
bool isIdentifierPart(char32_t c);

// The full case folding of one code point (the common and the full mappings,
// without the Turkic ones): one to three code points. A code point without a
// folding, kIllFormed included, folds to itself.
struct folded_t {
  char32_t codePoints[3];
  int size;
};
folded_t foldCase(char32_t c);

// ASCII letter case alone: 'A' to 'Z' become 'a' to 'z', every other value
// stays as it is.
constexpr char32_t foldAscii(char32_t c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// True if the two byte texts are equal when ASCII letters are compared
// without regard to case; every other byte compares as itself. For keywords
// and names that are ASCII by definition.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// True if the two texts are equal after full case folding of each ("straße"
// equals "STRASSE"). A surrogate that is not part of a pair compares as
// itself.
bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace wyx::unicode
