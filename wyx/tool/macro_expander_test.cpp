#include "wyx/tool/macro_expander.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "wyx/tool/macro_output.hpp"
#include "wyx/tool/template_limits.hpp"
#include "wyx/tool/test_support.hpp"

namespace wyx::tool {
namespace {

using namespace std::string_literals;
using testing::blockOf;
using testing::expandToString;

// Pads with blanks up to the column given as argument, like the generator's COL.
std::string columnMacro(const macro_context_t& context) {
  const int missing = std::atoi(context.args.c_str()) - context.outputColumn;
  return missing > 0 ? std::string(static_cast<std::size_t>(missing), ' ') : std::string();
}

class MacroExpanderTest : public ::testing::Test {
 protected:
  MacroExpanderTest() {
    expander_.addMacro("COL", columnMacro);
    expander_.addMacro("EMPTY", [](const macro_context_t&) { return std::string(); });
    expander_.addMacro("N", [](const macro_context_t&) { return std::string("42"); });
    expander_.addMacro("ARGS", [](const macro_context_t& c) { return "<" + c.args + ">"; });
    expander_.addMacro("LF", [](const macro_context_t&) { return std::string("ab\ncd"); });
    expander_.addMacro("REC", [this](const macro_context_t& c) {
      seen_.push_back(c.name + "|" + c.args + "|" + std::to_string(c.line) + ":" +
                      std::to_string(c.column) + "|" + std::to_string(c.outputColumn));
      return std::string();
    });
  }

  std::string expand(const std::string& text, std::int32_t line = 0) {
    return expandToString(expander_, blockOf(text, line));
  }

  // The message of the EMacroException the expansion raises, with its fields.
  std::string errorOf(const std::string& text, std::int32_t line = 0) {
    try {
      expand(text, line);
    } catch (const EMacroException& error) {
      return std::string(error.what()) + " @" + std::to_string(error.line()) + ":" +
             std::to_string(error.column());
    }
    return "no error";
  }

  MacroExpander expander_;
  std::vector<std::string> seen_;
};

TEST_F(MacroExpanderTest, ExpandsTextEscapesAndInvocations) {
  struct Case {
    std::string text;
    std::string output;
  };
  const Case kCases[] = {
      {"", ""},
      {"plain\r\ntext\r\n", "plain\r\ntext\r\n"},
      {"a\\\\b\\$c\\n", "a\\b$cn"},
      {"\\$(N)", "$(N)"},
      {"[$(N)]", "[42]"},
      {"$%5d(N)|", "   42|"},
      {"$%d(N)", "42"},
      {"$x-3s(N)|", "42 |"},
      {"$(ARGS 76 )", "<76 >"},
      {"$(ARGS x\\)y)", "<x)y>"},
      {"$(ARGS (x))", "<(x>)"},
      {"$(ARGS a\\\\b)", "<a\\b>"},
      {"$(ARGS $(N))", "<$(N>)"},
      {"$(ARGS-bar)", "<-bar>"},
      {"$(ARGS\r\n\t x)", "<x>"},
      {"$(EMPTY)$(EMPTY)", ""},
      {"end\\", "end\\"},  // a lone last backslash is text
      {"a\0$(UNKNOWN)"s, "a"},  // the text ends at a NUL byte
      {"$(N)\\", "42\\"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.output, expand(c.text)) << "text: " << c.text;
}

TEST_F(MacroExpanderTest, FillsTheContext) {
  expand("$(REC 76)\r\n$(REC DEFINE_FORMAT_DECLARE)\r\n"
         "    $(REC __FILE__, __LINE__, __FUNC__, )\r\n$(REC)x$(REC)\r\n$%5d(REC)",
         7);
  const std::vector<std::string> expected = {
      "REC|76|1:1|0",
      "REC|DEFINE_FORMAT_DECLARE|2:1|0",
      "REC|__FILE__, __LINE__, __FUNC__, |3:5|4",
      "REC||4:1|0",
      "REC||4:8|1",
      "REC||5:1|0",
  };
  EXPECT_EQ(expected, seen_);
}

TEST_F(MacroExpanderTest, TracksTheOutputColumn) {
  // The backslash after COL lands in the 77th column.
  const std::string line = expand("    fname$(EMPTY)) $(COL 76)\\\\\r\n");
  EXPECT_EQ("    fname) " + std::string(65, ' ') + "\\\r\n", line);
  EXPECT_EQ(76u, line.find('\\'));

  // A line feed in a macro result starts a new output line.
  EXPECT_EQ("ab\ncd" + std::string(8, ' ') + "|", expand("$(LF)$(COL 10)|"));
  // An escaped line feed is written and starts a new output line too.
  EXPECT_EQ("xyz\n" + std::string(3, ' ') + "|", expand("xyz\\\n$(COL 3)|"));
  // Past the column nothing is added.
  EXPECT_EQ("abcdef|", expand("abcdef$(COL 4)|"));
}

TEST_F(MacroExpanderTest, OutputColumnIgnoresWhatTheOutputHeldBefore) {
  auto output = testing::memoryStreamOf("earlier text without line end");
  oo::checkStatus(output->setPosition(output->getSize()));
  expander_.expand(blockOf("$(COL 3)|"), *output);
  EXPECT_EQ("earlier text without line end   |", testing::contentOf(*output));
}

TEST_F(MacroExpanderTest, ReportsInvocationErrorsWithTheirPosition) {
  struct Case {
    std::string text;
    std::int32_t blockLine;
    std::string error;
  };
  const Case kCases[] = {
      {"$()", 0, "Macro error in line 1, column 1: Unknown macro '' @1:1"},
      {"\r\n\r\n    $(FOO)", 9, "Macro error in line 12, column 5: Unknown macro 'FOO' @12:5"},
      {"text$", 0, "Macro error in line 1, column 5: Macro name missing @1:5"},
      {"$%d", 0, "Macro error in line 1, column 1: Macro name missing @1:1"},
      {"$(N", 0, "Macro error in line 1, column 1: No closing ')' @1:1"},
      {"$(N x\\)", 0, "Macro error in line 1, column 1: No closing ')' @1:1"},
      {"$(N\0)"s, 0, "Macro error in line 1, column 1: No closing ')' @1:1"},
      {"ab$%q(N)", 0, "Macro error in line 1, column 3: Invalid format specifier \"%q\" @1:3"},
      {"$%n(N)", 0, "Macro error in line 1, column 1: Invalid format specifier \"%n\" @1:1"},
      {"$%d %d(N)", 0, "Macro error in line 1, column 1: Invalid format specifier \"%d %d\" @1:1"},
      // An invocation over two lines is reported at its '$'; later errors
      // carry their true lines.
      {"$(ARGS a\r\nb)\r\n  $(BAD)", 2, "Macro error in line 5, column 3: Unknown macro 'BAD' @5:3"},
      {"x\r\n  $(BAD\r\n)", 2, "Macro error in line 4, column 3: Unknown macro 'BAD' @4:3"},
      // An escaped line feed does not end a template line.
      {"x\\\n$(BAD)", 0, "Macro error in line 1, column 4: Unknown macro 'BAD' @1:4"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.error, errorOf(c.text, c.blockLine)) << "text: " << c.text;
  }
}

TEST_F(MacroExpanderTest, MacroRunsBeforeItsSpecifierIsRejected) {
  int calls = 0;
  expander_.addMacro("COUNT", [&calls](const macro_context_t&) {
    ++calls;
    return std::string();
  });
  EXPECT_THROW(expand("$%q(COUNT)"), EMacroException);
  EXPECT_EQ(1, calls);
}

TEST_F(MacroExpanderTest, OutputBeforeAnErrorStaysWritten) {
  auto output = io::makeSharedStream<io::MemoryStream>();
  EXPECT_THROW(expander_.expand(blockOf("kept $(N) $(MISSING) lost"), *output), EMacroException);
  EXPECT_EQ("kept 42 ", testing::contentOf(*output));
}

TEST_F(MacroExpanderTest, FirstRegistrationWins) {
  expander_.addMacro("N", [](const macro_context_t&) { return std::string("other"); });
  EXPECT_EQ("42", expand("$(N)"));
}

TEST_F(MacroExpanderTest, CopiesAreIndependent) {
  MacroExpander child(expander_);
  child.addMacro("ONLY_CHILD", [](const macro_context_t&) { return std::string("c"); });
  EXPECT_EQ("c42", expandToString(child, blockOf("$(ONLY_CHILD)$(N)")));
  EXPECT_FALSE(expander_.hasMacro("ONLY_CHILD"));
}

TEST_F(MacroExpanderTest, NestedErrorsCarryEveryLevelsPosition) {
  const block_t inner = blockOf("ok\r\n  $(NOPE)", 20);
  expander_.addMacro("INNER", [inner](const macro_context_t& c) {
    MacroExpander child(*c.expander);
    return expandToString(child, inner);
  });
  EXPECT_EQ(
      "Macro error in line 6, column 4: Macro error in line 22, column 3: Unknown macro 'NOPE' "
      "@6:4",
      errorOf("\r\n\r\n\r\n   $(INNER)", 2));
}

TEST_F(MacroExpanderTest, OtherExceptionsPassThroughUnwrapped) {
  blockmap_t blocks;
  expander_.addMacro("LOOKUP", [&blocks](const macro_context_t& c) {
    getMapEntry(blocks, c.args);
    return std::string();
  });
  expander_.addMacro("NULLFN", MacroExpander::macro_t());
  try {
    expand("$(LOOKUP X)");
    FAIL();
  } catch (const EMacroException&) {
    FAIL() << "wrapped";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ("Map entry not found", error.what());
  }
  EXPECT_THROW(expand("$(NULLFN)"), std::bad_function_call);
  EXPECT_THROW(expander_.expand(block_t{}, *io::makeSharedStream<io::MemoryStream>()),
               std::invalid_argument);
}

TEST_F(MacroExpanderTest, EveryExpansionStartsAtTheBlockBeginning) {
  const block_t block = blockOf("[$(MOVE)]");
  expander_.addMacro("MOVE", [block](const macro_context_t&) {
    oo::checkStatus(block.stream->setPosition(block.stream->getSize()));
    return std::string("m");
  });
  EXPECT_EQ("[m]", expandToString(expander_, block));
  EXPECT_EQ("[m]", expandToString(expander_, block));
}

TEST_F(MacroExpanderTest, MacroMayExpandTheBlockBeingExpanded) {
  const block_t block = blockOf("<$(SELF)" + std::string(30000, '.') + ">");
  int depth = 0;
  expander_.addMacro("SELF", [&](const macro_context_t& c) {
    if (depth == 2) return std::string("*");
    ++depth;
    std::string text = expandToString(*c.expander, block);
    --depth;
    return text;
  });
  const std::string dots(30000, '.');
  EXPECT_EQ("<<<*" + dots + ">" + dots + ">" + dots + ">", expandToString(expander_, block));
}

TEST_F(MacroExpanderTest, MacroWritingToTheSameOutputFollowsThePrecedingText) {
  auto output = io::makeSharedStream<io::MemoryStream>();
  expander_.addMacro("DIRECT", [&output](const macro_context_t&) {
    oo::checkStatus(output->writeBuffer("D", 1));
    return std::string("r");
  });
  expander_.expand(blockOf("a$(DIRECT)b"), *output);
  EXPECT_EQ("aDrb", testing::contentOf(*output));
}

TEST_F(MacroExpanderTest, InvocationsUpToTheLimitAreAccepted) {
  const std::size_t kLimit = kMaxInvocationSize;
  // "$(ARGS " + args + ")" is exactly the limit.
  const std::string fits(kLimit - 8, 'a');
  EXPECT_EQ("<" + fits + ">", expand("$(ARGS " + fits + ")"));
  EXPECT_EQ("Macro error in line 1, column 1: No closing ')' @1:1",
            errorOf("$(ARGS " + fits + "a)"));
  const std::string spec(kLimit, '5');
  EXPECT_EQ("Macro error in line 1, column 1: Macro name missing @1:1",
            errorOf("$%" + spec + "(N)"));
}

// Every read size, so that escapes and invocations straddle read boundaries.
TEST_F(MacroExpanderTest, ReadBoundariesDoNotChangeTheResult) {
  const std::string kTexts[] = {
      "ab\\$cd$(ARGS x\\)y)\r\n  $%4d(N)|$(LF)$(COL 9)|\\\\\r\nend\\",
      "line1\r\n$(ARGS a\r\nb) $(MISSING)",
      "$(ARGS unclosed",
  };
  for (const auto& text : kTexts) {
    std::string expected;
    try {
      expected = expand(text);
    } catch (const EMacroException& error) {
      expected = error.what();
    }
    for (std::uint32_t maxRead = 1; maxRead <= 9; ++maxRead) {
      std::string actual;
      try {
        actual = expandToString(expander_, testing::trickleBlockOf(text, maxRead));
      } catch (const EMacroException& error) {
        actual = error.what();
      }
      EXPECT_EQ(expected, actual) << "max read " << maxRead << " text " << text;
    }
  }
}

// The same around the size of the pieces in which a block without a parsed
// form is read, with invocations of the largest size.
TEST_F(MacroExpanderTest, PieceSizedBlocksExpandLikeShortOnes) {
  const std::size_t kPiece = 16384;
  const std::string args(kMaxInvocationSize - 8, 'a');
  for (std::size_t pad : {kPiece - 3, kPiece - 2, kPiece - 1, kPiece, kPiece + 1, 2 * kPiece - 1}) {
    const std::string filler(pad, '.');
    EXPECT_EQ(filler + "$", expand(filler + "\\$")) << pad;
    EXPECT_EQ(filler + "42|", expand(filler + "$(N)|")) << pad;
    EXPECT_EQ(filler + "<" + args + ">", expand(filler + "$(ARGS " + args + ")")) << pad;
    EXPECT_EQ(filler + "\\", expand(filler + "\\")) << pad;
    for (std::size_t shift = 1; shift <= 3; ++shift) {
      const std::string shifted(pad - shift, '.');
      EXPECT_EQ(shifted + "<" + args + ">", expand(shifted + "$(ARGS " + args + ")")) << pad;
    }
  }
}

TEST_F(MacroExpanderTest, LargeBlocksKeepLineNumbers) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "line with $(N) and an escaped \\$ sign\r\n";
  text += "  $(BAD)";
  EXPECT_EQ("Macro error in line 5001, column 3: Unknown macro 'BAD' @5001:3", errorOf(text));
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// A macro that writes into its context's output, or expands a block into
// it, must give what a macro that returns the same text gives: the same
// bytes, specifiers applied, and the same columns after it.
TEST_F(MacroExpanderTest, WritingMacrosGiveWhatReturningMacrosGive) {
  const block_t inner = blockOf("in$(COL 6)|\\\nx$(COL 4)|");
  expander_.addMacro("RET", [](const macro_context_t&) { return std::string("ab\ncd"); });
  expander_.addMacro("WRITE",
                     makeMacroWriter([](const macro_context_t& c) { c.output->write("ab\ncd"); }));
  expander_.addMacro(
      "RETNEST", [inner](const macro_context_t& c) { return expandToString(*c.expander, inner); });
  expander_.addMacro("WRITENEST", makeMacroWriter([inner](const macro_context_t& c) {
                       c.expander->expand(inner, *c.output);
                     }));
  const std::string kTexts[] = {
      "x$(M)$(COL 12)|",        "  $%8s(M)$(COL 12)|",
      "$(M)\r\n$(M)$(COL 3)|",  "[$%.3s(M)]$(COL 9)|",
      "$(NEST)$(COL 12)|",      "ab$(NEST)$(NEST)$(COL 20)|",
      "$%-14s(NEST)$(COL 16)|", "$%d(M)|",
  };
  for (const std::string& text : kTexts) {
    const std::string returning =
        replaceAll(replaceAll(text, "(M)", "(RET)"), "(NEST)", "(RETNEST)");
    const std::string writing =
        replaceAll(replaceAll(text, "(M)", "(WRITE)"), "(NEST)", "(WRITENEST)");
    EXPECT_EQ(expand(returning), expand(writing)) << "text: " << text;
  }
}

// A parsed block keeps the macros its names resolved to only while the
// expander's table stays the same: another expander, or a macro added
// during the expansion, is seen at the next invocation.
TEST_F(MacroExpanderTest, ParsedBlocksFollowTheExpandersTable) {
  const blockmap_t blocks = testing::parseTemplate(":B\r\n[$(X)$(ADD)$(LATE)]\r\n:END\r\n");
  const block_t& block = blocks.at("B");
  MacroExpander first;
  first.addMacro("X", [](const macro_context_t&) { return std::string("1"); });
  first.addMacro("ADD", [](const macro_context_t& c) {
    c.expander->addMacro("LATE", [](const macro_context_t&) { return std::string("late"); });
    return std::string();
  });
  MacroExpander second(first);
  second.addMacro("LATE", [](const macro_context_t&) { return std::string("2"); });
  EXPECT_EQ("[1late]", expandToString(first, block));
  EXPECT_EQ("[12]", expandToString(second, block));
  EXPECT_EQ("[1late]", expandToString(first, block));
  MacroExpander without;
  try {
    expandToString(without, block);
    ADD_FAILURE() << "no error";
  } catch (const EMacroException& error) {
    EXPECT_STREQ("Macro error in line 2, column 2: Unknown macro 'X'", error.what());
  }
}

// A parsed block is shared, what a table resolves in it is not: two
// threads, each with its own table and copies that add a macro, expand one
// block at once and each sees its own macros only.
TEST(MacroExpanderSharingTest, ThreadsWithTheirOwnTablesShareParsedBlocks) {
  const blockmap_t blocks = testing::parseTemplate(":B\r\n$(X)$(Y)\r\n:END\r\n");
  const block_t& block = blocks.at("B");
  auto expandMany = [&block](const std::string& x, int* wrong) {
    MacroExpander root;
    root.addMacro("X", [x](const macro_context_t&) { return x; });
    for (int i = 0; i < 20000; ++i) {
      MacroExpander child(root);
      child.addMacro("Y", [i](const macro_context_t&) { return std::to_string(i); });
      if (expandToString(child, block) != x + std::to_string(i)) ++*wrong;
    }
  };
  int wrong[2] = {0, 0};
  std::thread other(expandMany, "b", &wrong[1]);
  expandMany("a", &wrong[0]);
  other.join();
  EXPECT_EQ(0, wrong[0]);
  EXPECT_EQ(0, wrong[1]);
}

}  // namespace
}  // namespace wyx::tool
