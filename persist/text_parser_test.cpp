#include "persist/text_parser.hpp"

#include <gtest/gtest.h>

#include <string>

#include "persist/test_support.hpp"
#include "wyx/io/memory_stream.hpp"
#include "wyx/oo/interface.hpp"
#include "wyx/oo/safecall.hpp"

namespace persist {
namespace {

// One letter per token kind, then the token's text: "I:abc F:1.5 C:=".
std::string dumpTokens(const std::string& text) {
  wyx::oo::InterfacePtr<wyx::io::MemoryStream> input(new wyx::io::MemoryStream());
  wyx::oo::checkStatus(input->writeBuffer(text.data(), static_cast<std::uint32_t>(text.size())));
  wyx::oo::checkStatus(input->setPosition(0));
  OptionsTextParser parser(*input);
  std::string out;
  for (TokenKind kind = parser.kind(); kind != TokenKind::kEndOfFile; kind = parser.next()) {
    static const char kLetters[] = "EISWNFC";
    if (!out.empty()) out += ' ';
    out += kLetters[static_cast<int>(kind)];
    out += ':' + parser.text();
  }
  return out;
}

TEST(TextParserTest, TokensAreReadGreedily) {
  const struct {
    const char* text;
    const char* expected;
  } kCases[] = {
      {"12 1.5 1e3 12s", "N:12 F:1.5 F:1e3 F:12s"},
      {"1-2 1.2.3 -x - 5", "F:1-2 F:1.2.3 N:- I:x N:- N:5"},
      {"$1Fg $", "N:$1F I:g N:$"},
      {"3Days", "F:3D I:ays"},
      {"'a'#65'b' #300 'x' #", "S:'a'#65'b' W:#300 S:'x' S:#"},
      {"a.b _x9=(", "I:a C:. I:b I:_x9 C:= C:("},
      {"a\x01\x7F" "b", "I:a C:\x7F I:b"},
      {"\xE4" "b", "C:\xE4 I:b"},  // not a letter in the default code page
  };
  for (const auto& c : kCases) EXPECT_EQ(c.expected, dumpTokens(c.text)) << "text: " << c.text;
}

TEST(TextParserTest, Utf8FilesAllowUnicodeIdentifiers) {
  // Letters start a name; combining marks and digits of any script continue it.
  EXPECT_EQ("I:\xC3\xA4x\xCC\x81\xD9\xA3 C:\xE2 C:\x82 C:\xAC",
            dumpTokens("\xEF\xBB\xBF\xC3\xA4x\xCC\x81\xD9\xA3 \xE2\x82\xAC"));
}

}  // namespace
}  // namespace persist
