#include "wyx/tool/format_parser.hpp"
#include "wyx/tool/strict_format_scanner.hpp"

#include <gtest/gtest.h>

#include <array>
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

// A strict table of a small printf-like dialect: flags "-+ #0", sizes h
// and l, "I32"/"I64" prefixes, conversions d, f and s, and "[" when
// scanning; `flags` go into entry 0.
std::array<std::uint32_t, kClassTableSize> strictTable(std::uint32_t flags) {
  std::array<std::uint32_t, kClassTableSize> table{};
  table[0] = kTableStrict | flags;
  for (char c : std::string("-+ #0")) table[static_cast<unsigned char>(c)] = kClassFlag << 16;
  for (char c = '1'; c <= '9'; ++c) table[static_cast<unsigned char>(c)] = kClassDigit << 16;
  if ((flags & kTableStarSuppresses) != 0) table['0'] = kClassDigit << 16;
  table['.'] = kClassDot << 16;
  table['*'] = kClassStar << 16;
  table['h'] = (kClassSize << 16) | (kModH << 20);
  table['l'] = (kClassSize << 16) | (kModL << 20);
  table['I'] = kClassSizePrefix << 16;
  table['m'] = kClassAllocation << 16;
  for (char c : std::string("dfs")) table[static_cast<unsigned char>(c)] = kClassConversion << 16;
  table['['] = kClassScanSet << 16;
  return table;
}

// Each specifier as "<conversion>/<modifier id>", then "@n" for a position,
// " w*"/" p*" (with "@n") for star fields, " supp" and " alloc"; "bad[i]"
// for a malformed one, i the offset after it.
std::string strictDump(const char* format, std::uint32_t flags) {
  const auto table = strictTable(flags);
  StrictFormatScanner<char> scanner(format, table.data());
  strict_specifier_t spec;
  std::string dump;
  while (scanner.next(&spec)) {
    if (!dump.empty()) dump += ", ";
    if (spec.conversion == 0) {
      dump += "bad[" + std::to_string(scanner.position() - format) + "]";
      continue;
    }
    dump += static_cast<char>(spec.conversion) + ("/" + std::to_string(spec.modifier));
    if (spec.position != 0) dump += "@" + std::to_string(spec.position);
    if (spec.widthStar)
      dump += " w*" + (spec.widthPosition ? "@" + std::to_string(spec.widthPosition) : "");
    if (spec.precisionStar)
      dump += " p*" + (spec.precisionPosition ? "@" + std::to_string(spec.precisionPosition) : "");
    if (spec.suppressed) dump += " supp";
    if (spec.allocating) dump += " alloc";
  }
  return dump;
}

TEST(FormatParserTest, StrictScanReadsSpecifiersInCOrder) {
  struct Case {
    const char* format;
    std::uint32_t flags;
    const char* dump;
  };
  constexpr std::uint32_t kScan = kTableStarSuppresses;
  constexpr std::uint32_t kPos = kTablePositional;
  const Case kCases[] = {
      {"%-*.*f %%", 0, "f/0 w* p*"},
      {"%hhd %lld %hd %-0-5s", 0, "d/2, d/4, d/1, s/0"},
      {"%1$*2$.*3$f %2$s", kPos, "f/0@1 w*@2 p*@3, s/0@2"},
      {"%0$d %*0$d", kPos, "bad[3], bad[8]"},
      {"%5-d %d", 0, "bad[3], d/0"},
      {"%.5.3f %.05d", 0, "bad[4], d/0"},
      {"%*d %5*d %**5ls", kScan, "d/0 supp, bad[7], s/3 supp"},
      {"%00d %05d %.5d", kScan, "bad[3], d/0, bad[12]"},
      {"%5ms %m5s %[^]a]b %[x", kScan, "s/0 alloc, bad[8], [/0, bad[21]"},
      {"%I64d %I32d %Id %I16d", 0, "d/10, d/9, bad[14], bad[18]"},
      {"%Id", kTableBareI, "d/12"},
      {"%1$d", 0, "bad[3]"},
      {"%", 0, "bad[1]"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.dump, strictDump(c.format, c.flags)) << "format: " << c.format;
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
