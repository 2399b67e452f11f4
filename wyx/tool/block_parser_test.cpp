#include <gtest/gtest.h>

#include <string>

#include "wyx/tool/macro_expander.hpp"
#include "wyx/tool/piece_reader.hpp"
#include "wyx/tool/test_support.hpp"

namespace wyx::tool {
namespace {

using namespace std::string_literals;
using testing::dumpBlocks;
using testing::parseTemplate;

std::string errorOf(const std::string& text) {
  try {
    parseTemplate(text);
  } catch (const EMacroException& error) {
    return std::string(error.what()) + " @" + std::to_string(error.line()) + ":" +
           std::to_string(error.column());
  }
  return "no error";
}

TEST(BlockParserTest, SplitsTemplatesIntoBlocks) {
  struct Case {
    std::string text;
    std::string blocks;
  };
  const Case kCases[] = {
      {"\r\n    // requires:    I\r\n:TYPELISTENTRY\r\n        TypeID <T$(I), CStringT>::value,\r\n"
       "\r\n:END\r\n",
       "TYPELISTENTRY@3[        TypeID <T$(I), CStringT>::value,\r\n]"},
      {"no directives at all\r\n", ""},
      {"", ""},
      {":A\r\n:END\r\n", "A@1[]"},
      {":A\r\nx\r\n:END\r\n", "A@1[x]"},
      {":A\r\nx\r\n:END", "A@1[x]"},  // the last directive may lack its line end
      // Bare line feeds: the trim takes the last character with the line feed.
      {":A\nxy\n:END\n", "A@1[x]"},
      {":A\nx\n:END\n", "A@1[]"},
      {":A\r\n\\:X\r\n:END\r\n", "A@1[:X]"},
      {":A\r\n :X\r\n:END\r\n", "A@1[ :X]"},
      {":A\r\n\\\\ \\$ \\n\r\n:END\r\n", "A@1[\\\\ \\$ \\n]"},  // escapes stay for expansion
      {":A\r\na\\\n:B\r\n:END\r\n", "A@1[a\\\n:B]"},  // escaped line feed: no column 1
      {":A   comment\r\nx\r\n:END   comment\r\n", "A@1[x]"},
      {":A\r\nx\r\n:END(x)\r\n", "A@1[x]"},
      {":A\r\nx\r\n:END\r\n:end\r\ny\r\n:END\r\n", "A@1[x] end@4[y]"},
      {":ENDX\r\nx\r\n:END\r\n", "ENDX@1[x]"},
      {": X\r\nx\r\n:END\r\n", "@1[x]"},
      {":\r\nx\r\n:END\r\n", "@1[x]"},
      {":N\xe4me\r\nx\r\n:END\r\n", "N@1[x]"},
      {"before\r\n:A\r\nx\r\n:END\r\nafter\r\n", "A@2[x]"},
      {":OUTER\r\na\r\n:INNER\r\nb\r\n:END\r\nc\r\n:END\r\n", "INNER@3[b] OUTER@1[a\r\nc]"},
      {":A\r\nx\r\n:END\r\n\0:B\r\n"s, "A@1[x]"},
      {":A\r\nx\r\n:END\r\ntrailing\\", "A@1[x]"},  // a lone last backslash is text
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.blocks, dumpBlocks(parseTemplate(c.text))) << "template: " << c.text;
  }
}

TEST(BlockParserTest, ReportsMalformedTemplates) {
  struct Case {
    std::string text;
    std::string error;
  };
  const Case kCases[] = {
      {":END\r\n", "Macro error in line 1, column 1: Surplus ':END' statement @1:1"},
      {":A\r\n:END\r\n\r\n:END\r\n",
       "Macro error in line 4, column 1: Surplus ':END' statement @4:1"},
      {":A\r\nx\r\n:END\r\n:A\r\ny\r\n:END\r\n",
       "Macro error in line 6, column 1: Block 'A' defined twice @6:1"},
      {":A\r\nx\r\n", "Missing ':END' statement @0:0"},
      {":A\r\nx\r\n\0:END\r\n"s, "Missing ':END' statement @0:0"},
      {":A\r\n:B\r\n:END\r\n", "Missing ':END' statement @0:0"},
      {":A\r\nx\r\n\\:END\r\n", "Missing ':END' statement @0:0"},
      {":A\r\nx\r\n:END\r\n:", "Missing ':END' statement @0:0"},
      {":A\r\nab\\", "Missing ':END' statement @0:0"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.error, errorOf(c.text)) << "template: " << c.text;
}

TEST(BlockParserTest, BlocksAccumulateAcrossTemplates) {
  blockmap_t blocks;
  auto first = testing::memoryStreamOf(":A\r\nx\r\n:END\r\n");
  auto second = testing::memoryStreamOf("\r\n:A\r\ny\r\n:END\r\n");
  MacroExpander::parseBlocks(*first, blocks);
  try {
    MacroExpander::parseBlocks(*second, blocks);
    FAIL() << "duplicate accepted";
  } catch (const EMacroException& error) {
    EXPECT_STREQ("Macro error in line 4, column 1: Block 'A' defined twice", error.what());
  }
  blocks.clear();
  second = testing::memoryStreamOf("\r\n:A\r\ny\r\n:END\r\n");
  MacroExpander::parseBlocks(*second, blocks);
  EXPECT_EQ("A@2[y]", dumpBlocks(blocks));
}

TEST(BlockParserTest, UndefinedEntryMayBeDefined) {
  blockmap_t blocks;
  blocks["A"];  // a null stream stands for "not defined"
  auto source = testing::memoryStreamOf(":A\r\nx\r\n:END\r\n");
  MacroExpander::parseBlocks(*source, blocks);
  EXPECT_EQ("A@1[x]", dumpBlocks(blocks));
}

TEST(BlockParserTest, ParsingStartsAtTheSourcePosition) {
  auto source = testing::memoryStreamOf("skip:A\r\nx\r\n:END\r\n");
  oo::checkStatus(source->setPosition(4));
  blockmap_t blocks;
  MacroExpander::parseBlocks(*source, blocks);
  EXPECT_EQ("A@1[x]", dumpBlocks(blocks));
}

TEST(BlockParserTest, GetMapEntryNeverInserts) {
  blockmap_t blocks = parseTemplate(":A\r\nx\r\n:END\r\n");
  EXPECT_EQ(1, getMapEntry(blocks, "A").line);
  try {
    getMapEntry(blocks, "B");
    FAIL() << "absent key found";
  } catch (const EMacroException&) {
    FAIL() << "wrong exception type";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ("Map entry not found", error.what());
  }
  EXPECT_EQ(1u, blocks.size());
}

// Whatever sizes the reads deliver, a template parses the same: a directive,
// an escape pair or a line end may straddle any boundary.
TEST(BlockParserTest, ReadBoundariesDoNotChangeTheResult) {
  const std::string kTemplates[] = {
      "intro\r\n:A  comment\r\nline \\:one\\\\\r\n:B\r\nnested\r\n:END\r\ntail\\\r\n:END\r\n"
      ":LONGER_NAME_" + std::string(40, 'x') + "\r\n" + std::string(100, 'y') + "\r\n:END\r\n",
      ":A\r\na\\",
  };
  for (const auto& text : kTemplates) {
    blockmap_t expected;
    std::string expectedError;
    try {
      expected = parseTemplate(text);
    } catch (const EMacroException& error) {
      expectedError = error.what();
    }
    for (std::uint32_t maxRead = 1; maxRead <= 9; ++maxRead) {
      testing::TrickleStream source(text, maxRead);
      blockmap_t blocks;
      std::string error;
      try {
        MacroExpander::parseBlocks(source, blocks);
      } catch (const EMacroException& e) {
        error = e.what();
      }
      EXPECT_EQ(expectedError, error) << "max read " << maxRead;
      EXPECT_EQ(dumpBlocks(expected), dumpBlocks(blocks)) << "max read " << maxRead;
    }
  }
}

// Directives and escapes placed across the reader's own piece size.
TEST(BlockParserTest, PieceSizedTemplatesParseLikeShortOnes) {
  const std::size_t kPiece = detail::PieceReader::kPieceSize;
  for (std::size_t pad = kPiece - 8; pad <= kPiece + 8; ++pad) {
    const std::string filler(pad, 'f');
    const std::string text = ":A\r\n" + filler + "\\:\r\n:B\r\nb\\\\\r\n:END\r\n:END\r\n";
    EXPECT_EQ("A@1[" + filler + ":] B@3[b\\\\]", dumpBlocks(parseTemplate(text))) << pad;
  }
  // A directive line far longer than a piece.
  const std::string longName(3 * kPiece, 'N');
  EXPECT_EQ(longName + "@1[x]",
            dumpBlocks(parseTemplate(":" + longName + " " + std::string(kPiece, '#') +
                                     "\r\nx\r\n:END\r\n")));
}

}  // namespace
}  // namespace wyx::tool
