#include "wyx/tool/format_value.hpp"

#include <gtest/gtest.h>

#include <string>

#include "wyx/oo/strings.hpp"
#include "wyx/tool/macro_exception.hpp"

namespace wyx::tool {
namespace {

using namespace std::string_literals;

TEST(FormatValueTest, FormatsEachValueKind) {
  struct Case {
    std::string spec;
    std::string value;
    std::string expected;
  };
  const Case kCases[] = {
      {"%s", "abc", "abc"},
      {"%5d", "42", "   42"},
      {"%d", " -7x", "-7"},
      {"%d", "", "0"},
      {"%d", "abc", "0"},
      {"%x", "255", "ff"},
      {"%lld", "0x10", "16"},
      {"%lld", "010", "8"},
      {"%c", "hello", "h"},
      {"%c", "", "\x7f"},
      {"%.2f", "3.14159", "3.14"},
      {"%d%%", "42", "42%"},
      {"%d items", "3", "3 items"},
      {"%%[%d]%%", "3", "%[3]%"},
      {"%5s", "ab", "   ab"},
      {"%-5s|", "ab", "ab   |"},
      {"%.1s", "ab", "a"},
      {"%s", "a\0b"s, "a"},
      {"%3s", "a\0b"s, "  a"},
      {"%I64d", "9223372036854775808", "9223372036854775807"},
      {"%I64d", "-9223372036854775809", "-9223372036854775808"},
      {"%d", "4294967297", "1"},
      {"%d", "2147483648", "-2147483648"},
      {"%u", "-1", "4294967295"},
      {"%hd", "65537", "1"},
      {"%hx", "-1", "ffff"},
      {"%I8d", "A", "65"},
      {"%I8u", "\xe9", "233"},
      {"%hc", "xy", "x"},
      {"%hs", "xy", "xy"},
      {"%hS", "xy", "xy"},
      {"%e", "1.5", "1.500000e+00"},
      {"%lf", "0.25", "0.250000"},
      {"%Lf", "0.5", "0.500000"},
      {"%Lg", "1e4000", "1e+4000"},
      {"%g", "abc", "0"},
      {"%+d", "5", "+5"},
      {"%05d", "42", "00042"},
      {"%#x", "255", "0xff"},
      {"% d", "7", " 7"},
      {"%Fd", "7", "7"},
      {"%N5d", "7", "    7"},
      {"%-4d|", "7", "7   |"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.expected, formatValue(c.spec, c.value)) << "spec: " << c.spec;
  }
}

// "%d" and "%i" are formatted without the C formatter: every flag, width
// and precision must give what it gives.
TEST(FormatValueTest, DecimalConversionsMatchTheCFormatter) {
  const char* const kFlags[] = {"", "-", "+", " ", "0", "#", "-0", "+ ", "0+", "- +", "0 #"};
  const char* const kFields[] = {"", "1", "6", "12", ".0", ".3", "6.0", "6.3", "2.4", ".12"};
  const int kValues[] = {0, 7, -7, 42, 2147483647, -2147483647 - 1};
  for (const char* flags : kFlags) {
    for (const char* field : kFields) {
      for (const char letter : {'d', 'i'}) {
        const std::string spec = std::string("%") + flags + field + letter;
        for (const int value : kValues) {
          EXPECT_EQ(formatString(spec.c_str(), value), formatValue(spec, std::to_string(value)))
              << "spec: " << spec << ", value: " << value;
        }
      }
    }
  }
}

TEST(FormatValueTest, WideConversionsProduceUtf8) {
  struct Case {
    std::string spec;
    std::string value;
    std::string expected;
  };
  const Case kCases[] = {
      {"%C", "A", "A"},
      {"%lc", "A", "A"},
      {"%C", "", "\x7f"},
      {"%lc", "", "\x7f"},
      {"%lc", "\xe4x", "\xc3\xa4"},             // Windows-1252 a-umlaut
      {"%C", "\x80", "\xe2\x82\xac"},           // the euro sign
      {"%3lc|", "\xe4", "  \xc3\xa4|"},         // width counts characters
      {"%-3C|", "\xe4", "\xc3\xa4  |"},
      {"%S", "abc", "abc"},
      {"%ls", "gr\xfc\xdf", "gr\xc3\xbc\xc3\x9f"},
      {"%Ls", "ab", "ab"},
      {"%lls", "ab", "ab"},
      {"%.2ls", "\xe4\xf6\xfc", "\xc3\xa4\xc3\xb6"},  // precision counts characters
      {"%5S|", "\xe4\xf6", "   \xc3\xa4\xc3\xb6|"},
      {"%-5S|", "\xe4", "\xc3\xa4    |"},
      {"%ls", "a\0b"s, "a"},
      {"%lc", "\0b"s, "\0"s},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.expected, formatValue(c.spec, c.value)) << "spec: " << c.spec;
  }
}

TEST(FormatValueTest, RejectsSpecifiersItCannotServe) {
  const std::string kRejected[] = {
      "%",    "%q",   "abc",    "",       "%d %d", "%*d",    "%n",    "%p",    "%hn",
      "%Fp",  "%d%",  "%s%s",   "%2$s",   "%1$d",  "%5-d",   "%.5.3d", "%5 d",  "%I7d",
      "%99999999999d",  "%.70000f", "%\xe4",
  };
  for (const auto& spec : kRejected) {
    try {
      formatValue(spec, "1");
      ADD_FAILURE() << "accepted: " << spec;
    } catch (const EMacroException& error) {
      EXPECT_EQ("Invalid format specifier \"" + spec + "\"", error.what()) << "spec: " << spec;
      EXPECT_EQ(0, error.line());
      EXPECT_EQ(0, error.column());
    }
  }
}

TEST(FormatValueTest, SpecifierEndsAtItsFirstNul) {
  EXPECT_THROW(formatValue("a\0%d"s, "1"), EMacroException);
  EXPECT_EQ("7", formatValue("%d\0%d"s, "7"));
}

TEST(FormatValueTest, LargestFieldWidthIsAccepted) {
  EXPECT_EQ(kMaxFieldWidth, formatValue("%" + std::to_string(kMaxFieldWidth) + "d", "1").size());
}

}  // namespace
}  // namespace wyx::tool
