#include "qirt/template_library.hpp"

#include <gtest/gtest.h>

#include <map>

#include "wyx/oo/exception.hpp"
#include "wyx/tool/macro_expander.hpp"

namespace qirt {
namespace {

std::string readAll(wyx::io::IStream& stream) {
  std::string text;
  char chunk[100];
  while (std::uint32_t n = stream.read(chunk, sizeof chunk)) text.append(chunk, n);
  return text;
}

TEST(TemplateLibraryTest, NamesMatchInAnyLetterCase) {
  TemplateLibrary library;
  library.add("FORMAT_TYPELIST", "abc");
  for (const char* name : {"FORMAT_TYPELIST", "format_typelist", "Format_TypeList"}) {
    auto stream = library.open(name);
    EXPECT_EQ("abc", readAll(*stream)) << name;
  }
}

TEST(TemplateLibraryTest, MissingTemplateRaisesResourceNotFound) {
  TemplateLibrary library;
  library.add("FORMAT_TYPELIST", "abc");
  try {
    library.open("format_typelist_x");
    ADD_FAILURE() << "no error";
  } catch (const wyx::oo::EResNotFound& e) {
    EXPECT_STREQ("EResNotFound", e.className());
    EXPECT_EQ(u"Ressource format_typelist_x nicht gefunden", e.message());
  }
}

struct builtin_case_t {
  const char* name;
  std::size_t lines;
  std::vector<std::string> blocks;  // in name order
};

// The built-in templates: CRLF throughout, plain ASCII without tabs, and
// the blocks the macros look for. Double quotes stand only in the blocks
// that CompileTimeChecks adds (the pragmas that quiet the wrappers).
TEST(TemplateLibraryTest, BuiltInTemplatesHaveTheirShape) {
  const builtin_case_t cases[] = {
      {kBeginTemplateName, 113, {"COMPILE_CHECK_QUIET", "COMPILE_CHECK_QUIET_BEGIN", "COMPILE_CHECK_QUIET_END", "DEFINE_SAFE_FORMAT_FUNCTION", "FORMAT_DECLARE", "FORMAT_DECLARE_EMPTY", "MAIN"}},
      {kEndTemplateName, 50, {"COMPILE_CHECK_CALL", "MAIN"}},
      {kTypelistTemplateName, 57, {"MAIN", "TYPELISTENTRY", "TYPELIST_T"}},
  };
  for (const auto& c : cases) {
    const std::string* text = builtInTemplates().find(c.name);
    ASSERT_NE(nullptr, text) << c.name;
    std::size_t lines = 0;
    for (std::size_t i = 0; i < text->size(); ++i) {
      unsigned char byte = static_cast<unsigned char>((*text)[i]);
      if (byte == '\n') {
        ++lines;
        EXPECT_TRUE(i > 0 && (*text)[i - 1] == '\r') << c.name << " line " << lines;
      }
      EXPECT_TRUE(byte == '\r' || byte == '\n' || (byte >= 0x20 && byte < 0x7f))
          << c.name << " byte " << i;
    }
    EXPECT_EQ(c.lines, lines) << c.name;
    EXPECT_EQ('\n', text->back()) << c.name;

    wyx::tool::blockmap_t blocks;
    auto stream = builtInTemplates().open(c.name);
    wyx::tool::MacroExpander::parseBlocks(*stream, blocks);
    std::vector<std::string> names;
    for (const auto& entry : blocks) names.push_back(entry.first);
    EXPECT_EQ(c.blocks, names) << c.name;
  }
}

}  // namespace
}  // namespace qirt
