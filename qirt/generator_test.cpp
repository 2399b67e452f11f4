// Golden tests of the generated headers: exact texts for a small example,
// line counts and structural rules for many settings.
#include "qirt/format_header_generator.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "qirt/format_header_settings.hpp"
#include "qirt/template_library.hpp"
#include "wyx/io/memory_stream.hpp"
#include "wyx/oo/exception.hpp"
#include "wyx/tool/macro_exception.hpp"

namespace qirt {
namespace {

std::unique_ptr<TFormatHeaderSettings> makeSettings(std::uint32_t maxFixedParams,
                                                    std::uint32_t maxFormatParams,
                                                    const std::vector<std::u16string>& names) {
  auto settings = std::make_unique<TFormatHeaderSettings>();
  settings->setMaxFixedParams(maxFixedParams);
  settings->setMaxFormatParams(maxFormatParams);
  settings->getFormatNames().clear();
  for (const auto& name : names) settings->getFormatNames().add(name);
  return settings;
}

// The lines of a text whose every line ends in CRLF; a stray CR or LF fails.
std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text does not end in CRLF";
      break;
    }
    std::string line = text.substr(start, end - start);
    EXPECT_EQ(std::string::npos, line.find_first_of("\r\n")) << "bare CR or LF in: " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

// A continuation line: the text padded to column 76, then the backslash.
std::string cont(std::string text) {
  if (text.size() < 76) text.resize(76, ' ');
  return text + "\\";
}

std::vector<std::string> head(const char* fileName) {
  return {"",
          "/*",
          std::string(" * ") + fileName,
          " * Format string checking support",
          " * Copyright (C) The Korven Authors. All rights reserved.",
          " *",
          " * Version: 1.03",
          " * Author: The Korven Authors (generated file, do not edit)",
          " * Licence: BSD-2-Clause",
          " *",
          " */",
          ""};
}

void append(std::vector<std::string>& lines, const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
}

void expectLines(const std::vector<std::string>& expected, const std::string& text) {
  std::vector<std::string> actual = crlfLines(text);
  for (std::size_t i = 0; i < expected.size() && i < actual.size(); ++i) {
    EXPECT_EQ(expected[i], actual[i]) << "line " << i + 1;
  }
  EXPECT_EQ(expected.size(), actual.size());
}

const std::string kBrace = "    {" + std::string(71, ' ') + "\\";
const std::string kClose = "    }" + std::string(71, ' ') + "\\";
const std::string kInline = cont("        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG ");
const std::string kVerify = cont("        qirt::verify##variant##FormatString (format, ");

std::vector<std::string> wrapper(const std::string& templateHead, const std::string& signature,
                                 const std::string& typelist, const std::string& count,
                                 const std::string& call) {
  return {cont("    " + templateHead + " "),
          kInline,
          cont("            " + signature + ") "),
          kBrace,
          kVerify,
          cont("            qirt::" + typelist + "::value, "),
          cont("            " + count + " _QIRT_FILELINEFUNC_PARAM); "),
          cont("        return fname (" + call + "); "),
          kClose};
}

TEST(GeneratorTest, WorkedExampleBeginHeader) {
  auto settings = makeSettings(1, 2, {u"printf"});
  format_headers_t headers = buildFormatHeaders(*settings, builtInTemplates());

  std::vector<std::string> expected = head("qirt/format_definition_begin.hpp");
  append(expected, {"#ifdef __cplusplus", "", "#include <qirt/format.hpp>", "",
                    "#ifdef QIRT_FORMAT_CHECK", "", "#undef printf", "", "",
                    "#define QIRT_FORMAT_USING(ns,x) using ns::_safe_##x;", ""});
  append(expected, {cont("#define QIRT_FORMAT_DECLARE_SAFE(variant, formattype, rettype, "),
                    cont("    fname) ")});
  append(expected, wrapper("", "formattype format", "typelist0_t <formattype>", "0", "format"));
  append(expected, wrapper("template <typename T0>", "formattype format, T0 t0",
                           "typelist1_t <formattype, T0>", "1", "format, t0"));
  append(expected, {"", ""});
  append(expected, {cont("#define QIRT_FORMAT_DECLARE_SAFE_1PARAM(variant, formattype, rettype, "),
                    cont("    fname, p0type) ")});
  append(expected, wrapper("", "p0type p0, formattype format", "typelist0_t <formattype>", "0",
                           "p0, format"));
  append(expected, wrapper("template <typename T0>", "p0type p0, formattype format, T0 t0",
                           "typelist1_t <formattype, T0>", "1", "p0, format, t0"));
  const std::vector<std::string> emptyDeclarations = {
      cont("#define QIRT_FORMAT_DECLARE_SAFE(variant, formattype, rettype, "), "    fname)",
      cont("#define QIRT_FORMAT_DECLARE_SAFE_1PARAM(variant, formattype, rettype, "),
      "    fname, p0type)"};
  append(expected, {"", "", "", "", "#else // #ifdef QIRT_FORMAT_CHECK", "",
                    "#define QIRT_FORMAT_USING(ns,x)", ""});
  append(expected, emptyDeclarations);
  append(expected, {"", "", "#endif // #ifdef QIRT_FORMAT_CHECK", "",
                    "#else /* #ifdef __cplusplus */", "", "#define QIRT_FORMAT_USING(ns,x)", ""});
  append(expected, emptyDeclarations);
  append(expected, {"", "", "#endif /* #ifdef __cplusplus */"});

  ASSERT_EQ(92u, expected.size());
  expectLines(expected, headers.begin);
  // The wrapper for k = 0, n = 0 starts with a line of 76 blanks.
  EXPECT_EQ(std::string(76, ' ') + "\\", crlfLines(headers.begin)[25]);
}

TEST(GeneratorTest, WorkedExampleEndHeader) {
  auto settings = makeSettings(1, 2, {u"printf"});
  format_headers_t headers = buildFormatHeaders(*settings, builtInTemplates());
  std::vector<std::string> expected = head("qirt/format_definition_end.hpp");
  append(expected,
         {"", "#ifdef QIRT_FORMAT_DECLARE_SAFE", " #undef QIRT_FORMAT_DECLARE_SAFE", "#endif",
          "#ifdef QIRT_FORMAT_DECLARE_SAFE_1PARAM", " #undef QIRT_FORMAT_DECLARE_SAFE_1PARAM",
          "#endif", "", "", "", "#ifdef __cplusplus", "", "#ifdef QIRT_FORMAT_CHECK", "",
          "#ifdef QIRT_FORMAT_CHECK_DEBUG", "", "#define printf(...) \\",
          "    _safe_printf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)", "", "",
          "#else // #ifdef QIRT_FORMAT_CHECK_DEBUG", "", "#define printf(...) \\",
          "    _safe_printf (__VA_ARGS__)", "", "", "#endif // #ifdef QIRT_FORMAT_CHECK_DEBUG", "",
          "#endif // #ifdef QIRT_FORMAT_CHECK", "", "#endif /* #ifdef __cplusplus */"});
  ASSERT_EQ(43u, expected.size());
  expectLines(expected, headers.end);
}

TEST(GeneratorTest, WorkedExampleTypelistHeader) {
  auto settings = makeSettings(1, 2, {u"printf"});
  format_headers_t headers = buildFormatHeaders(*settings, builtInTemplates());
  std::vector<std::string> expected = head("qirt/format_typelist.hpp");
  append(expected, {"#ifndef _QIRT_FORMAT_TYPELIST_HPP",
                    "#define _QIRT_FORMAT_TYPELIST_HPP",
                    "",
                    "#include <qirt/format.hpp>",
                    "",
                    "namespace qirt",
                    "{",
                    "",
                    "template <typename CStringT>",
                    "    struct typelist0_t",
                    "{ static const unsigned* value; };",
                    "template <typename CStringT>",
                    "    const unsigned* typelist0_t <CStringT>::value = 0;",
                    "",
                    "template <typename CStringT, typename T0>",
                    "    struct typelist1_t",
                    "{ static const unsigned value[1]; };",
                    "template <typename CStringT, typename T0>",
                    "    const unsigned typelist1_t <CStringT, T0>::value[1] = {",
                    "        TypeID <T0, CStringT>::value,",
                    "    };",
                    "",
                    "",
                    "",
                    "} // namespace qirt",
                    "",
                    "#endif // _QIRT_FORMAT_TYPELIST_HPP"});
  ASSERT_EQ(39u, expected.size());
  expectLines(expected, headers.typelist);
}

const std::vector<std::u16string> kDefaultNames = {
    u"printf", u"wprintf", u"sprintf", u"swprintf", u"fprintf",    u"fwprintf",   u"scanf",
    u"wscanf", u"sscanf",  u"swscanf", u"fscanf",   u"fwscanf",    u"cat_printf", u"cat_sprintf"};

struct shape_case_t {
  std::uint32_t maxFixedParams;
  std::uint32_t maxFormatParams;
  std::vector<std::u16string> names;
};

const shape_case_t kShapeCases[] = {
    {2, 10, kDefaultNames},
    {1, 2, {u"printf"}},
    {0, 10, {u"printf", u"sprintf"}},
    {2, 0, {u"printf"}},
    {2, 1, {u"printf"}},
    {3, 3, {}},
    {1, 3, {u"printf", u"printf"}},
    {12, 12, {u"a", u"dr\u00fcck_printf"}},
    {0, 0, {}},
};

std::size_t typelistLines(std::uint32_t maxFormatParams) {
  std::size_t lines = 31;
  for (std::uint32_t n = 1; n < maxFormatParams; ++n) lines += 7 + n;
  return lines;
}

TEST(GeneratorTest, LineCountsFollowTheSettings) {
  for (const auto& c : kShapeCases) {
    auto settings = makeSettings(c.maxFixedParams, c.maxFormatParams, c.names);
    format_headers_t headers = buildFormatHeaders(*settings, builtInTemplates());
    std::size_t fixed = c.maxFixedParams + 1;
    std::size_t names = c.names.size();
    EXPECT_EQ(39 + names + fixed * (9 * c.maxFormatParams + 8), crlfLines(headers.begin).size())
        << "F = " << c.maxFixedParams << ", M = " << c.maxFormatParams;
    EXPECT_EQ(33 + 3 * fixed + 4 * names, crlfLines(headers.end).size());
    EXPECT_EQ(typelistLines(c.maxFormatParams), crlfLines(headers.typelist).size());
  }
}

TEST(GeneratorTest, DefaultSettingsGiveTheKnownLineCounts) {
  TFormatHeaderSettings settings;
  format_headers_t headers = buildFormatHeaders(settings, builtInTemplates());
  EXPECT_EQ(347u, crlfLines(headers.begin).size());
  EXPECT_EQ(98u, crlfLines(headers.end).size());
  EXPECT_EQ(139u, crlfLines(headers.typelist).size());
  // The last type list is the one for 9 arguments.
  EXPECT_NE(std::string::npos, headers.typelist.find("typelist9_t <CStringT, T0, T1, T2, T3, T4, "
                                                     "T5, T6, T7, T8>::value[9] = {\r\n"));
  EXPECT_EQ(std::string::npos, headers.typelist.find("typelist10_t"));
}

// Every line that ends in a backslash has it at column 76, or right after
// a blank when the text before it is longer; nothing of the template
// language is left over.
TEST(GeneratorTest, ContinuationsAreAlignedAndNoMarkupRemains) {
  for (const auto& c : kShapeCases) {
    auto settings = makeSettings(c.maxFixedParams, c.maxFormatParams, c.names);
    format_headers_t headers = buildFormatHeaders(*settings, builtInTemplates());
    for (const std::string* text : {&headers.begin, &headers.end, &headers.typelist}) {
      EXPECT_EQ(std::string::npos, text->find("$("));
      EXPECT_EQ(std::string::npos, text->find("\\\\"));
    }
    for (const std::string& line : crlfLines(headers.begin)) {
      if (line.empty() || line.back() != '\\') continue;
      std::size_t column = line.size() - 1;
      std::size_t textEnd = line.find_last_not_of(' ', column - 1) + 1;
      if (textEnd < 76) {
        EXPECT_EQ(76u, column) << line;
      } else {
        EXPECT_EQ(' ', line[column - 1]) << line;
        EXPECT_EQ(textEnd + 1, column) << line;
      }
    }
  }
}

// True when `inner` is `outer` with lines left out.
bool isSubsequence(const std::vector<std::string>& inner, const std::vector<std::string>& outer) {
  std::size_t i = 0;
  for (const std::string& line : outer) {
    if (i < inner.size() && inner[i] == line) ++i;
  }
  return i == inner.size();
}

// CompileTimeChecks adds the quieting macros (12 lines) and their use in
// every declaration macro to the begin header, the helper (5 lines) to the
// end header, and wraps each routed call in the unevaluated check; nothing
// else changes.
TEST(GeneratorTest, CompileTimeChecksOnlyAddToTheHeaders) {
  for (const auto& c : kShapeCases) {
    auto settings = makeSettings(c.maxFixedParams, c.maxFormatParams, c.names);
    format_headers_t plain = buildFormatHeaders(*settings, builtInTemplates());
    settings->setCompileTimeChecks(true);
    format_headers_t checked = buildFormatHeaders(*settings, builtInTemplates());
    SCOPED_TRACE(testing::Message() << "F = " << c.maxFixedParams << ", M = " << c.maxFormatParams);

    const std::vector<std::string> plainBegin = crlfLines(plain.begin);
    const std::vector<std::string> checkedBegin = crlfLines(checked.begin);
    EXPECT_TRUE(isSubsequence(plainBegin, checkedBegin));
    EXPECT_EQ(plainBegin.size() + 12 + 2 * (c.maxFixedParams + 1), checkedBegin.size());
    // The added continuation lines are aligned like the others.
    EXPECT_NE(
        std::string::npos,
        checked.begin.find(
            cont("#define _QIRT_FORMAT_QUIET_BEGIN _Pragma(\"GCC diagnostic push\") ") + "\r\n" +
            cont("    _Pragma(\"GCC diagnostic ignored \\\"-Wformat-nonliteral\\\"\") ")));
    EXPECT_NE(std::string::npos,
              checked.begin.find(cont("    fname) ") + "\r\n" +
                                 cont("    _QIRT_FORMAT_QUIET_BEGIN ") + "\r\n"));
    for (const std::string* text : {&checked.begin, &checked.end}) {
      EXPECT_EQ(std::string::npos, text->find("$("));
      EXPECT_EQ(std::string::npos, text->find("\\\\"));
    }

    // Each routed call, less the check and the parenthesis around it, is
    // the plain routing line.
    std::vector<std::string> checkedEnd = crlfLines(checked.end);
    const std::string kCheck = "    (_QIRT_FORMAT_COMPILE_CHECK (";
    std::size_t routed = 0;
    for (std::string& line : checkedEnd) {
      if (line.compare(0, kCheck.size(), kCheck) != 0) continue;
      const std::string name =
          line.substr(kCheck.size(), line.find(' ', kCheck.size()) - kCheck.size());
      const std::string check = kCheck + name + " (__VA_ARGS__)), ";
      ASSERT_EQ(check, line.substr(0, check.size()));
      ASSERT_EQ(')', line.back());
      line = "    " + line.substr(check.size(), line.size() - check.size() - 1);
      ++routed;
    }
    EXPECT_EQ(2 * c.names.size(), routed);
    const std::vector<std::string> plainEnd = crlfLines(plain.end);
    EXPECT_TRUE(isSubsequence(plainEnd, checkedEnd));
    EXPECT_EQ(plainEnd.size() + 5, checkedEnd.size());
    EXPECT_EQ(plain.typelist, checked.typelist);
  }
}

TEST(GeneratorTest, NamesAreReversedAndKeptAsGiven) {
  auto settings = makeSettings(0, 1, {u"printf", u"sprintf", u"printf", u"dr\u00fcck_printf"});
  format_headers_t headers = buildFormatHeaders(*settings, builtInTemplates());
  EXPECT_NE(std::string::npos,
            headers.begin.find("#undef dr\xc3\xbc" "ck_printf\r\n#undef printf\r\n"
                               "#undef sprintf\r\n#undef printf\r\n\r\n"));
  EXPECT_NE(std::string::npos,
            headers.end.find("#define dr\xc3\xbc" "ck_printf(...) \\\r\n"
                             "    _safe_dr\xc3\xbc" "ck_printf (__VA_ARGS__)\r\n"
                             "#define printf(...) \\\r\n    _safe_printf (__VA_ARGS__)\r\n"
                             "#define sprintf(...) \\\r\n"));
}

TEST(GeneratorTest, EmptyNameListKeepsTheSurroundingLines) {
  auto settings = makeSettings(0, 1, {});
  format_headers_t headers = buildFormatHeaders(*settings, builtInTemplates());
  EXPECT_NE(std::string::npos,
            headers.begin.find("#ifdef QIRT_FORMAT_CHECK\r\n\r\n\r\n\r\n#define QIRT_FORMAT_USING"));
  EXPECT_NE(std::string::npos, headers.end.find("#ifdef QIRT_FORMAT_CHECK_DEBUG\r\n\r\n\r\n\r\n"
                                                "#else // #ifdef QIRT_FORMAT_CHECK_DEBUG\r\n\r\n"
                                                "\r\n\r\n#endif"));
}

TEST(GeneratorTest, NoFormatArgumentsLeavesOnlyTheDeclarationHeads) {
  auto settings = makeSettings(0, 0, {u"printf"});
  format_headers_t headers = buildFormatHeaders(*settings, builtInTemplates());
  EXPECT_NE(std::string::npos, headers.begin.find(cont("    fname) ") + "\r\n\r\n\r\n\r\n\r\n#else"));
  EXPECT_EQ(std::string::npos, headers.begin.find("_safe_##fname"));
  EXPECT_EQ(std::string::npos, headers.typelist.find("typelist1_t"));
}

TEST(GeneratorTest, TwoRunsAreByteIdentical) {
  TFormatHeaderSettings settings;
  format_headers_t first = buildFormatHeaders(settings, builtInTemplates());
  format_headers_t second = buildFormatHeaders(settings, builtInTemplates());
  EXPECT_EQ(first.begin, second.begin);
  EXPECT_EQ(first.end, second.end);
  EXPECT_EQ(first.typelist, second.typelist);
}

// The first expansion of a repeated block, scaled by its count, refuses a
// run that would pass the limit before it has written much.
TEST(GeneratorTest, OversizedSettingsAreRefusedEarly) {
  struct limit_case_t {
    std::uint32_t maxFixedParams;
    std::uint32_t maxFormatParams;
    std::uint64_t maxBytes;
  };
  const limit_case_t cases[] = {
      {2, 4294967295u, kMaxHeaderBytes},
      {4294967295u, 10, kMaxHeaderBytes},
      {4294967295u, 4294967295u, kMaxHeaderBytes},
      {2, 100, 20000},  // 100 wrappers of at least 600 bytes
      {0, 1, 400},      // a single wrapper already passes it
  };
  for (const auto& c : cases) {
    auto settings = makeSettings(c.maxFixedParams, c.maxFormatParams, kDefaultNames);
    size_limit_t limit{c.maxBytes, c.maxFixedParams, c.maxFormatParams};
    using wyx::io::MemoryStream;
    wyx::oo::InterfacePtr<MemoryStream> begin(new MemoryStream), end(new MemoryStream),
        typelist(new MemoryStream);
    try {
      generateFormatHeaders(*settings, builtInTemplates(), limit, *begin, *end, *typelist);
      ADD_FAILURE() << "no error for F = " << c.maxFixedParams << ", M = " << c.maxFormatParams;
    } catch (const EHeaderSizeLimit& e) {
      EXPECT_EQ("Settings too large: MaxFormatParams " + std::to_string(c.maxFormatParams) +
                    " and MaxFixedParams " + std::to_string(c.maxFixedParams) +
                    " would give more than " + std::to_string(c.maxBytes) + " bytes of headers",
                e.what());
    }
    EXPECT_LT(begin->getSize(), 20000u);
  }
}

// Templates that break in each way the generator reports.
TemplateLibrary withBegin(const std::string& beginText) {
  TemplateLibrary library;
  library.add("FORMAT_DEFINITION_BEGIN", beginText);
  library.add("FORMAT_DEFINITION_END", *builtInTemplates().find("format_definition_end"));
  library.add("FORMAT_TYPELIST", *builtInTemplates().find("format_typelist"));
  return library;
}

TEST(GeneratorTest, TemplateErrorsReachTheCaller) {
  TFormatHeaderSettings settings;
  try {
    buildFormatHeaders(settings, withBegin(":MAIN\r\nx\r\n$(NO_SUCH_MACRO)\r\n\r\n:END\r\n"));
    ADD_FAILURE() << "no error";
  } catch (const wyx::tool::EMacroException& e) {
    EXPECT_STREQ("Macro error in line 3, column 1: Unknown macro 'NO_SUCH_MACRO'", e.what());
  }
  try {
    buildFormatHeaders(settings, withBegin(":OTHER\r\n\r\n:END\r\n"));
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ("Map entry not found", e.what());
  }
  try {
    buildFormatHeaders(settings, withBegin(":MAIN\r\n$(DEFINE_FORMAT_DECLARE FORMAT_DECLARE )\r\n:END\r\n"));
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ("Map entry not found", e.what());
  }
}

// Expansions written straight into the output and those returned as text
// must give the same bytes and the same output column after them.
TEST(GeneratorTest, RepeatedBlocksGiveTheSameTextWhereverTheyStand) {
  auto settings = makeSettings(1, 0, {});
  const std::string begin =
      ":NOLF\r\n<$(xPARAM)>\r\n:END\r\n"
      ":LF\r\n<$(xPARAM)>\r\n\r\n:END\r\n"
      ":MAIN\r\n"
      "ab$(DEFINE_FORMAT_DECLARE NOLF)$(COL 16)|\r\n"
      "$(DEFINE_FORMAT_DECLARE LF)$(COL 4)|\r\n"
      "x$(DEFINE_FORMAT_DECLARE LF)$(COL 4)|\r\n"
      "\r\n:END\r\n";
  format_headers_t headers = buildFormatHeaders(*settings, withBegin(begin));
  EXPECT_EQ("ab<><_1PARAM>   |\r\n<>\r\n<_1PARAM>\r\n    |\r\nx<>\r\n<_1PARAM>\r\n    |\r\n",
            headers.begin);
}

// A specifier sees the whole text of a block-expanding macro, wherever the
// invocation stands.
TEST(GeneratorTest, SpecifiersApplyToRepeatedBlocks) {
  auto settings = makeSettings(1, 0, {});
  const std::string blocks = ":LF\r\n<$(xPARAM)>\r\n\r\n:END\r\n";
  const struct {
    const char* invocation;
    std::string expected;
  } kCases[] = {
      {"$%.0s(DEFINE_FORMAT_DECLARE LF)|", "|"},
      {"$%.4s(DEFINE_FORMAT_DECLARE LF)|", "<>\r\n|"},
      {"$%18s(DEFINE_FORMAT_DECLARE LF)|", "   <>\r\n<_1PARAM>\r\n|"},
      {"$%d(DEFINE_FORMAT_DECLARE LF)|", "0|"},
  };
  for (const auto& c : kCases) {
    const std::string begin = blocks + ":MAIN\r\n" + c.invocation + "\r\n\r\n:END\r\n";
    EXPECT_EQ(c.expected + "\r\n", buildFormatHeaders(*settings, withBegin(begin)).begin)
        << c.invocation;
  }
}

TEST(GeneratorTest, MissingTemplateIsAResourceError) {
  TemplateLibrary library;
  library.add("FORMAT_DEFINITION_BEGIN", *builtInTemplates().find("format_definition_begin"));
  library.add("FORMAT_DEFINITION_END", *builtInTemplates().find("format_definition_end"));
  TFormatHeaderSettings settings;
  try {
    buildFormatHeaders(settings, library);
    ADD_FAILURE() << "no error";
  } catch (const wyx::oo::EResNotFound& e) {
    EXPECT_EQ(u"Ressource format_typelist nicht gefunden", e.message());
  }
}

}  // namespace
}  // namespace qirt
