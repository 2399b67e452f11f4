#include "persist/text_converter.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "persist/test_support.hpp"

namespace persist {
namespace {

using testing::convertText;
using testing::errorOf;
using testing::hex;

// The binary form of a one-property object "X = <value>", without the
// signature, the header, the path and the two closing zero bytes.
std::string convertValue(const std::string& value) {
  std::string bytes = convertText("object C\nX = " + value + "\nend\n");
  const std::string head = std::string("TPF0\x01" "C\x00\x01X", 9);
  EXPECT_EQ(head, bytes.substr(0, head.size())) << value;
  EXPECT_EQ(std::string(2, '\0'), bytes.substr(bytes.size() - 2)) << value;
  return hex(bytes.substr(head.size(), bytes.size() - head.size() - 2));
}

TEST(TextConverterTest, WorkedExampleGivesTheTabulatedBytes) {
  const std::string text = testing::kWorkedExampleText;
  std::string expected = std::string("TPF0") + "\x13TPersistenceWrapper" + "\x07Options" +
                         "\x1APersistent.MaxFormatParams" + "\x02\x0C" +
                         "\x19Persistent.MaxFixedParams" + "\x02\x03" +
                         "\x1EPersistent.FormatNames.Strings" + "\x01" + "\x06\x06printf" +
                         "\x06\x07sprintf" + "\x06\x0Dmy_log_printf" + std::string(3, '\0');
  ASSERT_EQ(156u, expected.size());
  EXPECT_EQ(hex(expected), hex(convertText(text)));
  // Windows line ends change nothing.
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(hex(expected), hex(convertText(crlf)));
}

TEST(TextConverterTest, ValuesAreWrittenWithTheirTags) {
  const std::string kLong(300, 'a');
  const struct {
    std::string text;
    std::string expected;
  } kCases[] = {
      {"5", "02 05"},
      {"-128", "02 80"},
      {"-129", "03 7F FF"},
      {"$FF", "03 FF 00"},
      {"$FFFFFFFFFFFFFFFF", "02 FF"},
      {"2147483647", "04 FF FF FF 7F"},
      {"2147483648", "13 00 00 00 80 00 00 00 00"},
      {"-9223372036854775808", "13 00 00 00 00 00 00 00 80"},
      {"'print' +\n 'f'", "06 06 70 72 69 6E 74 66"},
      {"'it''s'", "06 04 69 74 27 73"},
      {"'a'#13#10'b'", "06 04 61 0D 0A 62"},
      {"#", "06 01 00"},
      {"''", "12 00 00 00 00"},
      {"#200", "12 01 00 00 00 C8 00"},
      {"#65600", "06 01 40"},  // the low 16 bits of the code: "@"
      {"'\xE9'", "12 01 00 00 00 E9 00"},  // one byte of the default code page
      {"'a\xE9'", "14 03 00 00 00 61 C3 A9"},
      {"'\x80'", "12 01 00 00 00 AC 20"},
      {"'a' + #8364", "12 02 00 00 00 61 00 AC 20"},
      {"'ab' + #8364", "14 05 00 00 00 61 62 E2 82 AC"},
      {"True", "09"},
      {"FALSE", "08"},
      {"null", "00"},
      {"Nil", "0D"},
      {"Owner", "07 05 4F 77 6E 65 72"},
      {"Foo.Bar", "07 07 46 6F 6F 2E 42 61 72"},
      {"1.5", "05 00 00 00 00 00 00 00 C0 FF 3F"},
      {"-1.5F", "05 00 00 00 00 00 00 00 C0 FF BF"},
      {"1e3", "05 00 00 00 00 00 00 00 FA 08 40"},
      {"1.5s", "0F 00 00 C0 3F"},
      {"3c", "10 03 00 00 00 00 00 00 00"},
      {"2.5C", "10 02 00 00 00 00 00 00 00"},
      {"3.5c", "10 04 00 00 00 00 00 00 00"},
      {"1.5d", "11 00 00 00 00 00 00 F8 3F"},
      // Too small for the type: the nearest value it holds, sign kept.
      {"1e-4940", "05 62 8E 27 63 06 00 00 00 00 00"},
      {"-1e-5000", "05 00 00 00 00 00 00 00 00 00 80"},
      {"1e-5000c", "10 00 00 00 00 00 00 00 00"},
      {"1e-50s", "0F 00 00 00 00"},
      {"-1e-400d", "11 00 00 00 00 00 00 00 80"},
      {"()", "01 00"},
      {"(1 (2) 'a')", "01 02 01 01 02 02 00 06 01 61 00"},
      {"[]", "0B 00"},
      {"[a, 1, 'b']", "0B 01 61 01 31 03 23 39 38 00"},
      {"<>", "0E 00"},
      {"<item a = 1 end item [3] end>", "0E 01 01 61 02 01 00 02 03 01 00 00"},
      {"{0aFF\n 10}", "0A 03 00 00 00 0A FF 10"},
      {"{}", "0A 00 00 00 00"},
      {"'" + kLong + "'", "0C 2C 01 00 00 " + hex(kLong)},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.expected, convertValue(c.text)) << "value: " << c.text;
}

TEST(TextConverterTest, HeadersGiveFlagsNamesAndPositions) {
  const struct {
    std::string text;
    const char* expected;  // after the signature
  } kCases[] = {
      {"object TPersistenceWrapper end", "13 54 50 65 72 73 69 73 74 65 6E 63 65 57 72 61 70 70 65 72 00 00 00"},
      {"OBJECT A: B END", "01 42 01 41 00 00"},
      {"Object A: B End", "01 42 01 41 00 00"},
      {"inherited A: B end", "F1 01 42 01 41 00 00"},
      {"inline B [5] end", "F6 02 05 01 42 00 00 00"},
      {"object A: B [-200] end", "F2 03 38 FF 01 42 01 41 00 00"},
      {"object A: B\nobject C end\ninline D end\nend",
       "01 42 01 41 00  01 43 00 00 00  F4 01 44 00 00 00  00"},
      {"object A: B\nPersistent . MaxFormatParams = 5\nend",
       "01 42 01 41 1A 50 65 72 73 69 73 74 65 6E 74 2E 4D 61 78 46 6F 72 6D 61 74 50 61 72 61 6D 73 "
       "02 05 00 00"},
      // Whatever follows the final END is one ignored token.
      {"object B end 1.2.3", "01 42 00 00 00"},
      {std::string("object B end\0garbage 'unclosed", 30), "01 42 00 00 00"},
  };
  for (const auto& c : kCases) {
    std::string expected = "54 50 46 30 " + std::string(c.expected);
    expected.erase(std::unique(expected.begin(), expected.end(),
                               [](char a, char b) { return a == ' ' && b == ' '; }),
                   expected.end());
    EXPECT_EQ(expected, hex(convertText(c.text)))
        << "text: " << c.text;
  }
}

TEST(TextConverterTest, Utf8FilesDecodeStringsAndAllowUnicodeIdentifiers) {
  EXPECT_EQ(hex(convertText("object C\nX = '\xE4'\nend")),
            hex(convertText("\xEF\xBB\xBFobject C\nX = '\xC3\xA4'\nend")));
  EXPECT_EQ(hex(std::string("TPF0\x06Klasse\x07Gr\xC3\xB6\xC3\x9F" "e\0\0", 21)),
            hex(convertText("\xEF\xBB\xBFobject Gr\xC3\xB6\xC3\x9F" "e: Klasse end")));
}

TEST(TextConverterTest, SyntaxErrorsNameTheirLine) {
  const std::string kTooLong = "object A\nX = '" + std::string(5000, 'a') + "'\nend";
  const struct {
    std::string text;
    const char* expected;
  } kCases[] = {
      {"\xFE\xFFobject A end", "EParserError: ANSI- oder UTF8-Codierung erwartet in Zeile 1"},
      {"", "EParserError: OBJECT erwartet in Zeile 1"},
      {"\n\nthing A: B end", "EParserError: OBJECT erwartet in Zeile 3"},
      {"object A\nobject B end\nX = 1\nend", "EParserError: OBJECT erwartet in Zeile 3"},
      {"object 1 end", "EParserError: Bezeichner erwartet in Zeile 1"},
      {"object A:\n1 end", "EParserError: Bezeichner erwartet in Zeile 2"},
      {"object A [x] end", "EParserError: Zahl erwartet in Zeile 1"},
      {"object A [1 end", "EParserError: '']'' erwartet in Zeile 1"},
      {"object A\nX 1\nend", "EParserError: ''='' erwartet in Zeile 2"},
      {"object A\nX. = 1\nend", "EParserError: Bezeichner erwartet in Zeile 2"},
      {"object A\nX = 1\n", "EParserError: Bezeichner erwartet in Zeile 3"},
      {"object A\nX = 'a' +\n1\nend", "EParserError: String erwartet in Zeile 3"},
      {"object A\nX = [a b]\nend", "EParserError: '','' erwartet in Zeile 2"},
      {"object A\nX = [a, (]\nend", "EParserError: Bezeichner erwartet in Zeile 2"},
      {"object A\nX = <a>\nend", "EParserError: item erwartet in Zeile 2"},
      {"object A\nX = ('printf',\n'sprintf')\nend",
       "EParserError: Ungültiger Eigenschaftswert in Zeile 2"},
      {"object A\nX = )\nend", "EParserError: Ungültiger Eigenschaftswert in Zeile 2"},
      {"object A\nX = (1\n", "EParserError: Ungültiger Eigenschaftswert in Zeile 3"},
      // Null would end the list early in the binary form.
      {"object A\nX = ('a'\nNull)\nend", "EParserError: Ungültiger Eigenschaftswert in Zeile 3"},
      {"object A\nX = (('a' null\n'b'))\nend",
       "EParserError: Ungültiger Eigenschaftswert in Zeile 2"},
      {"object A\nX = 'abc\nend", "EParserError: Ungültige Stringkonstante in Zeile 2"},
      {"object A\nX = 'abc", "EParserError: Ungültige Stringkonstante in Zeile 2"},
      {"object A\nX = {0g}\nend", "EParserError: Ungültiger Binärwert in Zeile 2"},
      {"object A\nX = {0 1}\nend", "EParserError: Ungültiger Binärwert in Zeile 2"},
      {"object A\nX = {01\n", "EParserError: Ungültiger Binärwert in Zeile 3"},
      {"object A\nX = a.\nend", "EParserError: Bezeichner erwartet in Zeile 2"},
      {"object A\nX = a. b\nend", "EParserError: Bezeichner erwartet in Zeile 2"},
      {kTooLong, "EParserError: Zeile zu lang in Zeile 2"},
      {"object A\nX = -\nend", "EConvertError: ''-'' ist kein gültiger Integer-Wert"},
      {"object A\nX = $\nend", "EConvertError: ''$'' ist kein gültiger Integer-Wert"},
      {"object A\nX = 9223372036854775808\nend",
       "EConvertError: ''9223372036854775808'' ist kein gültiger Integer-Wert"},
      {"object A\nX = $10000000000000000\nend",
       "EConvertError: ''$10000000000000000'' ist kein gültiger Integer-Wert"},
      {"object A [-] end", "EConvertError: ''-'' ist kein gültiger Integer-Wert"},
      {"object A\nX = 1.2.3\nend", "EConvertError: '1.2.3' ist kein gültiger Gleitkommawert"},
      {"object A\nX = 1-2\nend", "EConvertError: '1-2' ist kein gültiger Gleitkommawert"},
      {"object A\nX = -s\nend", "EConvertError: '-s' ist kein gültiger Gleitkommawert"},
      {"object A\nX = 1e5000\nend", "EConvertError: '1e5000' ist kein gültiger Gleitkommawert"},
      {"object A\nX = 1e39s\nend", "EConvertError: '1e39s' ist kein gültiger Gleitkommawert"},
      {"object A\nX = 1e19c\nend", "EConvertError: '1e19c' ist kein gültiger Gleitkommawert"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.expected, errorOf([&] { convertText(c.text); })) << "text: " << c.text;
  }
}

TEST(TextConverterTest, LinesFillTheWindowUpToItsSize) {
  // Line 2 holds 4095 bytes before its line feed: the longest that fits.
  const std::string kValue(4095 - 6, 'a');
  std::string bytes = convertText("object A\nX = '" + kValue + "'\nend");
  EXPECT_EQ("\x0C" + std::string("\xF9\x0F\x00\x00", 4) + kValue, bytes.substr(9, bytes.size() - 11));
  EXPECT_EQ("EParserError: Zeile zu lang in Zeile 2",
            errorOf([&] { convertText("object A\nX = '" + kValue + "a'\nend"); }));

  // A window that begins with an empty line: the long line after it still fits.
  const std::string kHeader = "object A" + std::string(4095 - 8, ' ');
  EXPECT_EQ("", errorOf([&] { convertText("\n" + kHeader + "\nend\n"); }));
  EXPECT_EQ("", errorOf([&] { convertText(kHeader + "\n\nX = '" + kValue + "'\nend\n"); }));
  EXPECT_EQ("EParserError: Zeile zu lang in Zeile 2",
            errorOf([&] { convertText("\n" + kHeader + " \nend\n"); }));
}

TEST(TextConverterTest, ManyLinesCrossWindowsWithCorrectLineNumbers) {
  std::string text = "object A\n";
  for (int i = 0; i < 2000; ++i) text += "X = " + std::to_string(i) + "\n";
  EXPECT_EQ("", errorOf([&] { convertText(text + "end\n"); }));
  EXPECT_EQ("EParserError: ''='' erwartet in Zeile 2002",
            errorOf([&] { convertText(text + "Y 1\nend\n"); }));
}

TEST(TextConverterTest, NestingIsLimited) {
  auto nested = [](int lists) {
    return "object A X = " + std::string(lists, '(') + std::string(lists, ')') + " end";
  };
  // The root object is the first level.
  EXPECT_EQ("", errorOf([&] { convertText(nested(kMaxNesting - 1)); }));
  EXPECT_EQ("EParserError: Verschachtelung zu tief in Zeile 1",
            errorOf([&] { convertText(nested(kMaxNesting)); }));
  std::string objects;
  for (int i = 0; i < 100000; ++i) objects += "object A\n";
  EXPECT_EQ("EParserError: Verschachtelung zu tief in Zeile 257",
            errorOf([&] { convertText(objects); }));
}

}  // namespace
}  // namespace persist
