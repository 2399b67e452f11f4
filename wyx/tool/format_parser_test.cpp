#include "wyx/tool/format_parser.hpp"

#include <gtest/gtest.h>

#include <string>

namespace wyx::tool {
namespace {

// The codes of successive next() calls up to and including the end code,
// e.g. "0x2100 0x2100 end".
std::string codesOf(const char* format, bool copy = false) {
  FormatParser parser(format, charClassTable, copy);
  std::string dump;
  for (int i = 0; i < 8; ++i) {
    const std::uint32_t code = parser.next();
    if (!dump.empty()) dump += ' ';
    if (code == kSpecifierEnd) return dump + "end";
    if (code == kSpecifierInvalid) {
      dump += "invalid";
      continue;
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", code);
    dump += hex;
  }
  return dump + " ...";
}

TEST(FormatParserTest, ClassifiesSpecifiers) {
  struct Case {
    const char* format;
    const char* codes;
  };
  const Case kCases[] = {
      {"%s", "0x1000004 end"},
      {"%c", "0x0 end"},
      {"%5d items", "0x2100 end"},
      {"%-10.3lf", "0x2200 end"},
      {"%e", "0x1200 end"},
      {"%hd", "0x1100 end"},
      {"%lld", "0x3100 end"},
      {"%I64d", "0x3100 end"},
      {"%I32x", "0x2100 end"},
      {"%I16u", "0x1100 end"},
      {"%I8d", "0x100 end"},
      {"%Lf", "0x3200 end"},
      {"%ls", "0x1002004 end"},
      {"%S", "0x1003004 end"},
      {"%hS", "0x1001004 end"},
      {"%p", "0x100030c end"},
      {"%n", "0x1002108 end"},
      {"%*d", "0x2100 0x2100 end"},
      {"%-*.*s", "0x2100 0x1000004 end"},
      {"%hc", "0x1000 end"},
      {"%lc", "0x2000 end"},
      {"%C", "0x3000 end"},
      {"%lI64d", "0x3100 end"},
      {"%#x", "0x2100 end"},
      {"% d", "0x2100 end"},
      {"%+5.2e", "0x1200 end"},
      {"%05u", "0x2100 end"},
      {"%Fp", "0x100030c end"},
      {"%Ns", "0x1000004 end"},
      {"%d and %s", "0x2100 0x1000004 end"},
      {"100%%", "end"},
      {"%%", "end"},
      {"%%%d%%", "0x2100 end"},
      {"", "end"},
      {"plain text", "end"},
      {"\xe4\xf6%d\xfc", "0x2100 end"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.codes, codesOf(c.format)) << "format: " << c.format;
}

TEST(FormatParserTest, RejectsMalformedSpecifiers) {
  const char* const kInvalid[] = {
      "%q",   "%l5d", "%hhd", "%hn", "%I7d",           "%",     "%I64ld", "%Id", "%lp",
      "%lll", "%Lld", "%h-d", "%5%", "%I99999999999d", "%\xe4", "abc%",
  };
  for (const char* format : kInvalid) {
    EXPECT_EQ(kSpecifierInvalid, FormatParser(format, charClassTable).next())
        << "format: " << format;
  }
}

TEST(FormatParserTest, ScanningContinuesAfterAnInvalidSpecifier) {
  EXPECT_EQ("invalid 0x2100 end", codesOf("%q %d"));
  EXPECT_EQ("0x2100 invalid end", codesOf("%d %"));
  EXPECT_EQ("invalid 0x2100 end", codesOf("%I7d%d"));
}

TEST(FormatParserTest, EndIsSticky) {
  FormatParser parser("%d", charClassTable);
  EXPECT_EQ(0x2100u, parser.next());
  EXPECT_EQ(kSpecifierEnd, parser.next());
  EXPECT_EQ(kSpecifierEnd, parser.next());
  EXPECT_EQ(kSpecifierEnd, parser.next());
}

TEST(FormatParserTest, ResetRestartsAtTheBeginning) {
  FormatParser parser("%s%d", charClassTable);
  EXPECT_EQ(0x1000004u, parser.next());
  parser.reset();
  EXPECT_EQ(0x1000004u, parser.next());
  EXPECT_EQ(0x2100u, parser.next());
  EXPECT_EQ(kSpecifierEnd, parser.next());
}

TEST(FormatParserTest, CopiedTextIsIndependentOfTheCaller) {
  std::string format = "%d";
  FormatParser copied(format.c_str(), charClassTable, true);
  FormatParser inPlace(format.c_str(), charClassTable, false);
  EXPECT_NE(format.c_str(), copied.getFormat());
  EXPECT_EQ(format.c_str(), inPlace.getFormat());
  format[1] = 's';
  EXPECT_EQ(0x2100u, copied.next());
  EXPECT_EQ(0x1000004u, inPlace.next());
  EXPECT_EQ(charClassTable, copied.getClassTable());
}

TEST(FormatParserTest, ScanSetOfAnotherDialect) {
  // A scanf-like table: '[' starts a scan set that ends the specifier.
  std::uint32_t table[kClassTableSize];
  std::copy(std::begin(charClassTable), std::end(charClassTable), table);
  table[static_cast<unsigned char>('[')] = 0x1070004;
  EXPECT_EQ(0x1000004u, FormatParser("%[^]a-z]", table).next());
  EXPECT_EQ(0x1000004u, FormatParser("%[]]x", table).next());
  EXPECT_EQ(kSpecifierInvalid, FormatParser("%[abc", table).next());
}

TEST(FormatParserTest, TableMatchesThePrintfFamily) {
  // Every byte outside these lists is not allowed in a specifier.
  const std::string kFlags = " #$+-.0123456789FN";
  const std::string kConversions = "cCsSdioxXuieEfgGnp";
  const std::string kOthers = "%*hlLI";
  for (int c = 0; c < 128; ++c) {
    const std::uint32_t cls = characterClass(charClassTable[c]);
    const char ch = static_cast<char>(c);
    if (kFlags.find(ch) != std::string::npos) {
      EXPECT_EQ(2u, cls) << c;
    } else if (kConversions.find(ch) != std::string::npos) {
      EXPECT_EQ(6u, cls) << c;
    } else if (kOthers.find(ch) == std::string::npos) {
      EXPECT_EQ(0u, charClassTable[c]) << c;
    }
  }
}

}  // namespace
}  // namespace wyx::tool

namespace wyx::tool {
namespace {

// A strict scan with positions over the printf table, with "h" and "l"
// carrying modifier ids: each code with its argument position and, for
// conversions, the modifier, e.g. "star@2 0x2200/l@1 end".
std::string strictCodesOf(const char* format, std::uint32_t flags) {
  std::uint32_t table[kClassTableSize];
  std::copy(std::begin(charClassTable), std::end(charClassTable), table);
  table[0] = kTableStrict | flags;
  table[static_cast<unsigned char>('h')] |= kModH << 20;
  table[static_cast<unsigned char>('l')] |= kModL << 20;
  table[static_cast<unsigned char>('$')] = 0;
  FormatScanner<char> scanner(format, table);
  std::string dump;
  for (int i = 0; i < 8; ++i) {
    const std::uint32_t code = scanner.next();
    if (!dump.empty()) dump += ' ';
    if (code == kSpecifierEnd) return dump + "end";
    char text[32];
    if (code == kSpecifierInvalid) {
      std::snprintf(text, sizeof text, "invalid[%d]",
                    static_cast<int>(scanner.position() - format));
    } else if ((code & kSpecifierStar) != 0) {
      std::snprintf(text, sizeof text, "star@%u", scanner.argumentPosition());
    } else {
      std::snprintf(text, sizeof text, "0x%x/%u@%u", code & ~0xF00000u, specifierModifier(code),
                    scanner.argumentPosition());
    }
    dump += text;
  }
  return dump + " ...";
}

TEST(FormatParserTest, StrictScanReadsSpecifiersInCOrder) {
  struct Case {
    const char* format;
    std::uint32_t flags;
    const char* codes;
  };
  const Case kCases[] = {
      {"%-*.*f", 0, "star@0 star@0 0x1200/0@0 end"},
      {"%hhd %lld %hd", 0, "0x100/2@0 0x3100/4@0 0x1100/1@0 end"},
      {"%1$*2$.*3$f", kTablePositional, "star@2 star@3 0x1200/0@1 end"},
      {"%2$s %%", kTablePositional, "0x1000004/0@2 end"},
      {"%0$d", kTablePositional, "invalid[3] end"},
      {"%5-d %d", 0, "invalid[3] 0x2100/0@0 end"},
      {"%.5.3f", 0, "invalid[4] end"},
      {"%*d", kTableStarSuppresses, "star@0 0x2100/0@0 end"},
      {"%5*d", kTableStarSuppresses, "invalid[3] end"},
      {"%*", 0, "star@0 invalid[2] end"},
      {"%I64d %I16d", 0, "0x3100/10@0 invalid[10] end"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.codes, strictCodesOf(c.format, c.flags)) << "format: " << c.format;
  }
}

TEST(FormatParserTest, WideTextScansLikeNarrow) {
  FormatScanner<wchar_t> scanner(L"%ls \u00e4 %*d", charClassTable);
  EXPECT_EQ(0x1002004u, scanner.next());
  EXPECT_EQ(0x2100u, scanner.next());
  EXPECT_EQ(0x2100u, scanner.next());
  EXPECT_EQ(kSpecifierEnd, scanner.next());
}

}  // namespace
}  // namespace wyx::tool
