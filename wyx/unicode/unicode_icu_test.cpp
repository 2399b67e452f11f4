// The compiled-in tables against the host's ICU, on every code point and on
// every decoding corner. Built only where ICU is found; the tables themselves
// serve every platform.
#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <string>
#include <vector>

#include "wyx/oo/strings.hpp"
#include "wyx/unicode/unicode.hpp"
#include "wyx/unicode/unicode_tables.hpp"

namespace wyx::unicode {
namespace {

CharClass icuClass(UChar32 c) {
  switch (u_charType(c)) {
    case U_UPPERCASE_LETTER:
    case U_LOWERCASE_LETTER:
    case U_TITLECASE_LETTER:
    case U_MODIFIER_LETTER:
    case U_OTHER_LETTER:
      return CharClass::kLetter;
    case U_LETTER_NUMBER:
      return CharClass::kLetterNumber;
    case U_DECIMAL_DIGIT_NUMBER:
      return CharClass::kDecimalDigit;
    case U_NON_SPACING_MARK:
    case U_COMBINING_SPACING_MARK:
    case U_CONNECTOR_PUNCTUATION:
    case U_FORMAT_CHAR:
      return CharClass::kJoiner;
    default:
      return CharClass::kOther;
  }
}

// A lone surrogate stays one unit, as in the texts being compared.
std::u16string utf16Of(char32_t c) {
  if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
  return {static_cast<char16_t>(0xD7C0 + (c >> 10)), static_cast<char16_t>(0xDC00 | (c & 0x3FF))};
}

std::u16string icuFold(const std::u16string& s) {
  UChar out[16];
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = u_strFoldCase(out, 16, s.data(), static_cast<int32_t>(s.size()), U_FOLD_CASE_DEFAULT,
                            &status);
  return U_SUCCESS(status) ? std::u16string(out, out + n) : u"(error)";
}

// Collects the first few disagreements, so one failure names code points
// instead of printing a million lines.
void note(std::string& mismatches, const std::string& what) {
  if (mismatches.size() < 200) mismatches += " " + what;
}
std::string codePoint(char32_t c) { return formatString("U+%04X", static_cast<unsigned>(c)); }
std::string hexUnits(std::u16string_view text) {
  std::string out;
  for (char16_t unit : text) out += formatString("%04X.", static_cast<unsigned>(unit));
  return out;
}

TEST(UnicodeIcuTest, TablesComeFromIcusUnicodeVersion) {
  EXPECT_EQ(0u, std::string(tables::kUnicodeVersion).rfind(U_UNICODE_VERSION, 0))
      << "tables " << tables::kUnicodeVersion << ", ICU " << U_UNICODE_VERSION;
}

TEST(UnicodeIcuTest, ClassesAgreeOnEveryCodePoint) {
  std::string mismatches;
  for (UChar32 c = 0; c <= 0x10FFFF; ++c) {
    char32_t u = static_cast<char32_t>(c);
    CharClass k = icuClass(c);
    bool start = k == CharClass::kLetter || k == CharClass::kLetterNumber;
    if (charClass(u) != k || isLetter(u) != static_cast<bool>(u_isalpha(c)) ||
        isDecimalDigit(u) != static_cast<bool>(u_isdigit(c)) || isIdentifierStart(u) != start ||
        isIdentifierPart(u) != (k != CharClass::kOther)) {
      note(mismatches, codePoint(u));
    }
  }
  EXPECT_EQ("", mismatches);
}

TEST(UnicodeIcuTest, FoldingAgreesOnEveryCodePoint) {
  std::string mismatches;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    folded_t folded = foldCase(c);
    std::u16string ours;
    for (int k = 0; k < folded.size; ++k) ours += utf16Of(folded.codePoints[k]);
    if (ours != icuFold(utf16Of(c))) note(mismatches, codePoint(c));
  }
  EXPECT_EQ("", mismatches);
}

// Every pair of texts made of up to two pieces, chosen so that foldings to
// several code points, pairs formed by two lone surrogates and near misses
// meet in all orders.
TEST(UnicodeIcuTest, EqualityAgreesWithCaseCompare) {
  const std::u16string pieces[] = {
      u"",           u"a",      u"A",      u"s",      u"S",      u"ss",
      u"\u00DF",     u"\u1E9E", u"\u017F", u"f",      u"i",      u"I",
      u"\uFB01",     u"\uFB03", u"\u0130", u"\u0131", u"\u0307", u"\u03C3",
      u"\u03C2",     u"\u03A3", u"\u0390", u"\u1FD3", u"\u03B9", u"\u0308\u0301",
      u"\u212A",     u"k",      {0xD801},  {0xDC00},  {0xDC28},  u"\U00010400",
      u"\U00010428",
  };
  std::vector<std::u16string> texts;
  for (const auto& first : pieces) {
    for (const auto& second : pieces) texts.push_back(first + second);
  }
  std::string mismatches;
  for (const auto& a : texts) {
    for (const auto& b : texts) {
      UErrorCode status = U_ZERO_ERROR;
      bool expected =
          u_strCaseCompare(a.data(), static_cast<int32_t>(a.size()), b.data(),
                           static_cast<int32_t>(b.size()), U_FOLD_CASE_DEFAULT, &status) == 0;
      if (equalsIgnoringCase(a, b) != expected) note(mismatches, hexUnits(a) + "|" + hexUnits(b));
    }
  }
  EXPECT_EQ("", mismatches);
}

TEST(UnicodeIcuTest, Utf8DecodingAgreesOnEverySequenceShape) {
  // Trail-byte values at every boundary the lead bytes care about.
  const std::uint8_t tails[] = {0x00, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF};
  std::string mismatches;
  for (int b0 = 0; b0 < 256; ++b0) {
    for (int b1 = 0; b1 < 256; ++b1) {
      for (std::uint8_t b2 : tails) {
        for (std::uint8_t b3 : tails) {
          const std::uint8_t s[] = {static_cast<std::uint8_t>(b0), static_cast<std::uint8_t>(b1),
                                    b2, b3};
          for (std::size_t length = 1; length <= 4; ++length) {
            std::size_t i = 0;
            int32_t j = 0;
            UChar32 expected;
            U8_NEXT(s, j, static_cast<int32_t>(length), expected);
            char32_t c = nextUtf8(s, i, length);
            if (c != (expected < 0 ? kIllFormed : static_cast<char32_t>(expected)) ||
                i != static_cast<std::size_t>(j)) {
              note(mismatches, formatString("%02X%02X%02X%02X/%zu", b0, b1, b2, b3, length));
            }
          }
        }
      }
    }
  }
  EXPECT_EQ("", mismatches);
}

TEST(UnicodeIcuTest, Utf16DecodingAgreesOnEveryUnitPair) {
  const char16_t units[] = {0x0041, 0xD7FF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0xFFFF};
  for (char16_t first : units) {
    for (char16_t second : units) {
      const char16_t s[] = {first, second};
      for (std::size_t length = 1; length <= 2; ++length) {
        std::size_t i = 0;
        int32_t j = 0;
        UChar32 expected;
        U16_NEXT(s, j, static_cast<int32_t>(length), expected);
        EXPECT_EQ(static_cast<char32_t>(expected), nextUtf16(s, i, length))
            << hexUnits({s, length});
        EXPECT_EQ(static_cast<std::size_t>(j), i) << hexUnits({s, length});
      }
    }
  }
}

}  // namespace
}  // namespace wyx::unicode
