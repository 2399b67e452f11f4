#include "qirt/parameter_lists.hpp"
#include "qirt/test_support.hpp"

#include <gtest/gtest.h>

#include "wyx/io/memory_stream.hpp"
#include "wyx/oo/safecall.hpp"

namespace qirt {
namespace {

using testing::decimalDigits;
using testing::listText;
using testing::templateHead;
using testing::typenameList;

using wyx::tool::blockmap_t;
using wyx::tool::MacroExpander;

struct list_case_t {
  const char* macro;
  std::uint32_t n;
  const char* expected;
};

std::string macroText(const std::string& macro, std::uint32_t n) {
  if (macro == "xPARAM") return fixedParamSuffix(n);
  if (macro == "xPARAM_TYPES") return listText(kFixedParamTypes, n);
  if (macro == "xPARAM_SIG") return listText(kFixedParamSignature, n);
  if (macro == "xPARAM_ARG") return listText(kFixedParamArguments, n);
  if (macro == "FUNCPARAM_COUNT") return decimalText(n);
  if (macro == "FUNCPARAM_TYPENAME") return templateHead(n);
  if (macro == "FUNCPARAM_TYPES") return listText(kFormatParamTypes, n);
  if (macro == "FUNCPARAM_SIG") return listText(kFormatParamSignature, n);
  if (macro == "FUNCPARAM_ARG") return listText(kFormatParamArguments, n);
  if (macro == "TYPELIST_TYPENAME") return typenameList(n);
  return "?";
}

const list_case_t kListCases[] = {
    {"xPARAM", 0, ""},
    {"xPARAM", 1, "_1PARAM"},
    {"xPARAM", 2, "_2PARAM"},
    {"xPARAM", 11, "_11PARAM"},
    {"xPARAM_TYPES", 0, ""},
    {"xPARAM_TYPES", 1, ", p0type"},
    {"xPARAM_TYPES", 2, ", p0type, p1type"},
    {"xPARAM_SIG", 0, ""},
    {"xPARAM_SIG", 1, "p0type p0, "},
    {"xPARAM_SIG", 2, "p0type p0, p1type p1, "},
    {"xPARAM_ARG", 0, ""},
    {"xPARAM_ARG", 1, "p0, "},
    {"xPARAM_ARG", 2, "p0, p1, "},
    {"FUNCPARAM_COUNT", 0, "0"},
    {"FUNCPARAM_COUNT", 2, "2"},
    {"FUNCPARAM_COUNT", 4294967295u, "4294967295"},
    {"FUNCPARAM_TYPENAME", 0, ""},
    {"FUNCPARAM_TYPENAME", 1, "template <typename T0>"},
    {"FUNCPARAM_TYPENAME", 2, "template <typename T0, typename T1>"},
    {"FUNCPARAM_TYPES", 0, ""},
    {"FUNCPARAM_TYPES", 1, ", T0"},
    {"FUNCPARAM_TYPES", 2, ", T0, T1"},
    {"FUNCPARAM_SIG", 0, ""},
    {"FUNCPARAM_SIG", 1, ", T0 t0"},
    {"FUNCPARAM_SIG", 2, ", T0 t0, T1 t1"},
    {"FUNCPARAM_ARG", 0, ""},
    {"FUNCPARAM_ARG", 1, ", t0"},
    {"FUNCPARAM_ARG", 2, ", t0, t1"},
    {"TYPELIST_TYPENAME", 0, ""},
    {"TYPELIST_TYPENAME", 1, "typename T0"},
    {"TYPELIST_TYPENAME", 3, "typename T0, typename T1, typename T2"},
};

TEST(ParameterListsTest, TextsForSmallCounts) {
  for (const auto& c : kListCases) {
    EXPECT_EQ(c.expected, macroText(c.macro, c.n)) << c.macro << " for " << c.n;
  }
}

TEST(ParameterListsTest, IndicesTenAndAboveKeepAllDigits) {
  std::string sig = listText(kFormatParamSignature, 11);
  EXPECT_EQ(", T10 t10", sig.substr(sig.size() - 9));
  std::string types = listText(kFixedParamTypes, 12);
  EXPECT_EQ(", p10type, p11type", types.substr(types.size() - 18));
}

TEST(ParameterListsTest, DigitCountsMatchCounting) {
  std::uint64_t digits = 0;
  for (std::uint64_t n = 0; n <= 12345; ++n) {
    ASSERT_EQ(digits, decimalDigitsBelow(n)) << "n = " << n;
    digits += std::to_string(n).size();
  }
  EXPECT_EQ(1u, decimalDigits(0));
  EXPECT_EQ(10u, decimalDigits(4294967295u));
  // Every number below 10^10 is counted: 10 + 90*2 + 900*3 + ... + 9*10^9*10.
  EXPECT_EQ(98888888890u, decimalDigitsBelow(10000000000u));
}

TEST(ParameterListsTest, PredictedSizeIsTheTextSize) {
  const IndexedList* lists[] = {&kFixedParamTypes,  &kFixedParamSignature,  &kFixedParamArguments,
                                &kFormatParamTypes, &kFormatParamSignature, &kFormatParamArguments,
                                &kTypenameItems};
  for (const IndexedList* list : lists) {
    for (std::uint32_t n : {0u, 1u, 9u, 10u, 11u, 99u, 100u, 1001u}) {
      EXPECT_EQ(list->size(n), listText(*list, n).size()) << "n = " << n;
    }
  }
}

TEST(ParameterListsTest, GrowingTextFollowsTheCountBothWays) {
  GrowingListText growing(kFormatParamSignature);
  for (std::uint32_t n : {0u, 3u, 4u, 12u, 2u, 0u, 11u, 11u, 1u}) {
    EXPECT_EQ(listText(kFormatParamSignature, n), growing.text(n)) << "n = " << n;
  }
}

// Expands `text` (the body of one block) with `expander`.
class CounterMacrosTest : public ::testing::Test {
 protected:
  std::string expand(const std::string& body) {
    std::string source = ":B\r\n" + body + "\r\n:END\r\n";
    auto stream = wyx::io::makeSharedStream<wyx::io::MemoryStream>();
    wyx::oo::checkStatus(
        stream->writeBuffer(source.data(), static_cast<std::uint32_t>(source.size())));
    wyx::oo::checkStatus(stream->setPosition(0));
    blockmap_t blocks;
    MacroExpander::parseBlocks(*stream, blocks);
    wyx::oo::InterfacePtr<wyx::io::MemoryStream> output(new wyx::io::MemoryStream);
    expander.expand(blocks.at("B"), *output);
    return std::string(output->data() ? output->data() : "", output->getSize());
  }

  MacroExpander expander;
  std::uint32_t counter = 0;
};

TEST_F(CounterMacrosTest, MacrosReadTheCounterWhenInvoked) {
  addFixedParamMacros(expander, counter);
  addFormatParamMacros(expander, counter);
  const std::string body =
      "$(xPARAM)|$(xPARAM_TYPES)|$(xPARAM_SIG)|$(xPARAM_ARG)|$(FUNCPARAM_COUNT)|"
      "$(FUNCPARAM_TYPENAME)|$(FUNCPARAM_TYPES)|$(FUNCPARAM_SIG)|$(FUNCPARAM_ARG)";
  EXPECT_EQ("||||0||||", expand(body));
  counter = 1;
  EXPECT_EQ("_1PARAM|, p0type|p0type p0, |p0, |1|template <typename T0>|, T0|, T0 t0|, t0",
            expand(body));
}

TEST_F(CounterMacrosTest, TypenameMacrosWithAndWithoutTemplateHead) {
  expander.addMacro("FUNCPARAM_TYPENAME", makeTypenameMacro(counter, true));
  expander.addMacro("TYPELIST_TYPENAME", makeTypenameMacro(counter, false));
  for (std::uint32_t n : {0u, 1u, 3u, 2u}) {
    counter = n;
    EXPECT_EQ(templateHead(n) + "|" + typenameList(n),
              expand("$(FUNCPARAM_TYPENAME)|$(TYPELIST_TYPENAME)"));
  }
}

TEST_F(CounterMacrosTest, ArgumentTextIsIgnored) {
  addFixedParamMacros(expander, counter);
  addFormatParamMacros(expander, counter);
  counter = 2;
  EXPECT_EQ(expand("$(xPARAM_SIG)$(FUNCPARAM_SIG)"),
            expand("$(xPARAM_SIG 7)$(FUNCPARAM_SIG x, y)"));
}

}  // namespace
}  // namespace qirt
