#include "wyx/unicode/unicode.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wyx/oo/strings.hpp"

namespace wyx::unicode {
namespace {

std::string hexUnits(std::u16string_view text) {
  std::string out;
  for (char16_t unit : text) out += formatString(" %04X", static_cast<unsigned>(unit));
  return out;
}

TEST(UnicodeDecodeTest, Utf8StopsAfterTheMaximalIllFormedSubpart) {
  struct case_t {
    std::string bytes;
    char32_t expected;
    std::size_t advance;
  };
  const case_t cases[] = {
      {"A", 'A', 1},
      {"\xC3\xA9", 0xE9, 2},
      {"\xED\x9F\xBF", 0xD7FF, 3},
      {"\xF0\x9F\x98\x80", 0x1F600, 4},
      {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
      {"\x80", kIllFormed, 1},              // a trail byte alone
      {"\xC1\xBF", kIllFormed, 1},          // overlong two-byte form
      {"\xE0\x9F\xBF", kIllFormed, 1},      // overlong three-byte form
      {"\xED\xA0\x80", kIllFormed, 1},      // a surrogate
      {"\xF0\x8F\xBF\xBF", kIllFormed, 1},  // overlong four-byte form
      {"\xF4\x90\x80\x80", kIllFormed, 1},  // above U+10FFFF
      {"\xF5\x80\x80\x80", kIllFormed, 1},
      {"\xE2\x82", kIllFormed, 2},  // cut short
      {"\xF0\x9F\x98", kIllFormed, 3},
      {"\xE2\x82Z", kIllFormed, 2},  // a trail byte missing
  };
  for (const auto& c : cases) {
    std::size_t i = 0;
    const auto* s = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
    EXPECT_EQ(c.expected, nextUtf8(s, i, c.bytes.size())) << "bytes: " << c.bytes;
    EXPECT_EQ(c.advance, i) << "bytes: " << c.bytes;
  }
}

TEST(UnicodeDecodeTest, Utf16PairsSurrogatesAndPassesLoneOnes) {
  struct case_t {
    std::u16string units;
    char32_t expected;
    std::size_t advance;
  };
  const case_t cases[] = {
      {u"A", 'A', 1},        {u"\U00010400", 0x10400, 2},   {{0xD801, u'A'}, 0xD801, 1},
      {{0xD801}, 0xD801, 1}, {{0xDC00, 0xD801}, 0xDC00, 1}, {{0xDBFF, 0xDFFF}, 0x10FFFF, 2},
  };
  for (const auto& c : cases) {
    std::size_t i = 0;
    EXPECT_EQ(c.expected, nextUtf16(c.units.data(), i, c.units.size())) << hexUnits(c.units);
    EXPECT_EQ(c.advance, i) << hexUnits(c.units);
  }
}

// One letter per answer of isIdentifierStart, isIdentifierPart, isLetter and
// isDecimalDigit, "-" for false.
std::string classesOf(char32_t c) {
  std::string answers;
  answers += isIdentifierStart(c) ? 'S' : '-';
  answers += isIdentifierPart(c) ? 'P' : '-';
  answers += isLetter(c) ? 'L' : '-';
  answers += isDecimalDigit(c) ? 'D' : '-';
  return answers;
}

TEST(UnicodeClassTest, IdentifiersLettersAndDigits) {
  const std::pair<const char*, std::vector<char32_t>> cases[] = {
      {"SPL-", {'A', 0x01C5, 0x02B0, 0x4E2D, 0x10400}},  // each kind of letter
      {"SP--", {0x216B, 0x3007}},                        // letter numbers
      {"-P-D", {0x0663, 0x1D7CE}},                       // decimal digits
      {"-P--", {'_', 0x0301, 0x0903, 0x200D, 0x203F}},   // marks, format, connectors
      {"----", {0x20AC, 0x0378, 0xD800, 0xE000, 0x10FFFF, 0x110000, kIllFormed}},
  };
  for (const auto& [expected, codePoints] : cases) {
    for (char32_t c : codePoints) {
      EXPECT_EQ(expected, classesOf(c)) << "U+" << std::hex << static_cast<std::uint32_t>(c);
    }
  }
}

TEST(UnicodeFoldTest, FullCaseFoldingDecidesEquality) {
  struct case_t {
    std::u16string a;
    std::u16string b;
    bool equal;
  };
  const case_t cases[] = {
      {u"stra\u00DFe", u"STRASSE", true},
      {u"ss", u"\u1E9E", true},
      {u"\u00DF", u"s", false},
      {u"\u03C3", u"\u03C2", true},  // final sigma
      {u"\u03A3", u"\u03C2", true},
      {u"\uFB01", u"FI", true},
      {u"\uFB01", u"f", false},
      {u"\u0390", u"\u1FD3", true},   // both fold to three code points
      {u"\u0130", u"i\u0307", true},  // dotted capital I, without Turkic rules
      {u"\u0130", u"i", false},
      {u"\u0131", u"I", false},
      {u"\u212A", u"k", true},  // Kelvin sign
      {u"\U00010400", u"\U00010428", true},
      {{0xD801, u'A'}, {0xD801, u'a'}, true},
      {{0xD801}, u"\U00010400", false},
      {{0xDC00}, {0xDC28}, false},
      {u"", u"", true},
      {u"a", u"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.equal, equalsIgnoringCase(c.a, c.b)) << hexUnits(c.a) << " vs " << hexUnits(c.b);
    EXPECT_EQ(c.equal, equalsIgnoringCase(c.b, c.a)) << hexUnits(c.b) << " vs " << hexUnits(c.a);
  }
}

// Only ASCII letters fold: Latin-1 and UTF-8 bytes of other letters, and the
// neighbours of 'A'..'Z', compare as themselves.
TEST(UnicodeFoldTest, AsciiCaseAloneDecidesByteEquality) {
  struct case_t {
    const char* a;
    const char* b;
    bool equal;
  };
  const case_t cases[] = {
      {"True", "TRUE", true},
      {"nil", "NIL", true},
      {"a_Z9", "A_z9", true},
      {"", "", true},
      {"Null", "Nul", false},
      {"\xC4", "\xE4", false},          // Latin-1 A and a with diaeresis
      {"\xC3\x84", "\xC3\xA4", false},  // the same in UTF-8
      {"@[", "`{", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.equal, equalsIgnoringAsciiCase(c.a, c.b)) << c.a << " vs " << c.b;
    EXPECT_EQ(c.equal, equalsIgnoringAsciiCase(c.b, c.a)) << c.b << " vs " << c.a;
  }
}

}  // namespace
}  // namespace wyx::unicode
