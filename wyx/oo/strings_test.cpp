#include "wyx/oo/strings.hpp"

#include <gtest/gtest.h>

namespace wyx {
namespace {

TEST(FormatStringTest, FormatsLikePrintf) {
  EXPECT_EQ("42", formatString("%d", 42));
  EXPECT_EQ("plain text", formatString("plain text"));
  EXPECT_EQ("", formatString("%s", ""));
  EXPECT_EQ("a-  7-x", formatString("%s-%3d-%c", "a", 7, 'x'));
  std::string big(10000, 'z');
  EXPECT_EQ(big + "!", formatString("%s!", big.c_str()));
}

struct round_trip_t {
  unsigned codePage;
  std::string narrow;
  UnicodeString wide;
};

TEST(CodePageTest, ConvertsBothWays) {
  const round_trip_t cases[] = {
      {kCodePageAnsi, "", u""},
      {kCodePageAnsi, "abc", u"abc"},
      {kCodePageAnsi, std::string("a\0b", 3), UnicodeString(u"a\0b", 3)},
      {kCodePageAnsi, "Ung\xfcltig \x80", u"Ung\u00fcltig \u20ac"},
      {kCodePageAnsi, "\xe4\xf6\xfc\xdf", u"\u00e4\u00f6\u00fc\u00df"},
      {kCodePageOem, "Ung\xc3\xbcltig", u"Ung\u00fcltig"},
      {kCodePageOem, std::string("x\0y", 3), UnicodeString(u"x\0y", 3)},
      {kCodePageUtf8, "\xe2\x82\xac \xf0\x9f\x98\x80", u"\u20ac \U0001F600"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.wide, toWideString(c.narrow, c.codePage)) << "code page " << c.codePage << ": " << c.narrow;
    EXPECT_EQ(c.narrow, toNarrowString(c.wide, c.codePage)) << "code page " << c.codePage << ": " << c.narrow;
  }
}

TEST(CodePageTest, LongTextsGrowTheBufferUntilTheyFit) {
  // Every character needs three bytes in UTF-8: far past the first margin.
  UnicodeString wide(5000, u'\u20ac');
  std::string narrow = toNarrowString(wide, kCodePageUtf8);
  EXPECT_EQ(15000u, narrow.size());
  EXPECT_EQ(wide, toWideString(narrow, kCodePageUtf8));
  // Short texts too, where a tenth of the length is 0.
  EXPECT_EQ("\xe2\x82\xac", toNarrowString(u"\u20ac", kCodePageUtf8));
}

TEST(CodePageTest, InvalidInputNeverThrows) {
  // Broken UTF-8 and lone surrogates come out as replacement characters.
  UnicodeString wide = toWideString("a\xff\xc3", kCodePageUtf8);
  ASSERT_FALSE(wide.empty());
  EXPECT_EQ(u'a', wide[0]);
  EXPECT_NE(std::string::npos, toNarrowString(UnicodeString(1, char16_t(0xD800)), kCodePageUtf8).size());
  // A character Windows-1252 cannot hold becomes "?".
  EXPECT_EQ("a?b", toNarrowString(u"a\u4e00b", kCodePageAnsi));
  // Every byte value converts from the ANSI code page.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(255u, toWideString(all, kCodePageAnsi).size());
  // An unknown code page gives the empty text.
  EXPECT_EQ(u"", toWideString("abc", 4242424));
}

TEST(CodePageTest, EscapedUtf8KeepsEveryByteSequence) {
  const std::string kCases[] = {
      "caf\xe9.txt", "out\xff", "\xc3\xa9 \xed\xa0\x80 \xf0\x9f\x98", "\x80\xc0\xaf\xf5",
      "plain \xe2\x82\xac",
  };
  for (const std::string& bytes : kCases) {
    EXPECT_EQ(bytes, toUtf8Escaped(fromUtf8Escaped(bytes))) << bytes;
  }
  // Well-formed text is plain UTF-16; the escaped bytes show as U+FFFD.
  EXPECT_EQ(u"\u20ac", fromUtf8Escaped("\xe2\x82\xac"));
  EXPECT_EQ(u"caf\xdce9", fromUtf8Escaped("caf\xe9"));
  EXPECT_EQ("caf\xef\xbf\xbd", toUtf8(fromUtf8Escaped("caf\xe9")));
}

TEST(CodePageTest, IllFormedUtf8GivesOneReplacementPerMaximalPart) {
  EXPECT_EQ(u"a\ufffd(\ufffd\ufffd\ufffd\ufffd\ufffdz",
            fromUtf8("a\xc3(\xe2\x82\xf0\x9f\x98\xed\xa0\x80z"));
}

}  // namespace
}  // namespace wyx
