#include "qirt/formatheadergenerator.hpp"

#include <vector>

#include "qirt/declaration_macros.hpp"
#include "qirt/expansion_output.hpp"
#include "qirt/formatheadersettings.hpp"
#include "qirt/header_files.hpp"
#include "qirt/output_size.hpp"
#include "qirt/template_library.hpp"
#include "qirt/text_stream.hpp"
#include "qirt/typelist_macros.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/platform.hpp"
#include "wyx/tool/macro_expander.hpp"

namespace qirt {
namespace {

using wyx::tool::blockmap_t;
using wyx::tool::MacroExpander;

std::vector<std::uint64_t> formatNameSizes(const persist::TTextList& names) {
  std::vector<std::uint64_t> sizes;
  for (std::size_t i = 0; i < names.count(); ++i) sizes.push_back(formatNameText(names[i]).size());
  return sizes;
}

// Expands block MAIN of `source` into a new text. `expectedBytes` is what the
// built-in template gives; reserving it up front spares a large text the
// copies of a growing buffer.
std::string expandMain(MacroExpander& root, blockmap_t& blocks, ExpansionOutput& outputs,
                       wyx::io::IStream& source, std::uint64_t expectedBytes) {
  MacroExpander::parseBlocks(source, blocks);
  const wyx::tool::block_t& main = wyx::tool::getMapEntry(blocks, "MAIN");
  TextStream output;
  output.reserve(expectedBytes);
  ExpansionOutput::Scope scope(outputs, &output);
  root.expand(main, output);
  // The next template may define blocks of the same names.
  blocks.clear();
  return output.takeText();
}

}  // namespace

format_headers_t buildFormatHeaders(const TFormatHeaderSettings& settings,
                                    const TemplateLibrary& templates) {
  const persist::TTextList& names = settings.getFormatNames();
  const std::uint32_t maxFixedParams = settings.getMaxFixedParams();
  const std::uint32_t maxFormatParams = settings.getMaxFormatParams();
  header_sizes_t sizes = checkHeaderSizes(maxFixedParams, maxFormatParams, formatNameSizes(names));

  // Declared before the expander: the macros hold references to them.
  blockmap_t blocks;
  ExpansionOutput outputs;
  MacroExpander root;
  root.addMacro("COL", makeColumnMacro());
  root.addMacro("UNDEF_FORMAT_FUNCTIONS", makeUndefFunctionsMacro(names));
  root.addMacro("DEFINE_FORMAT_FUNCTIONS", makeDefineFunctionsMacro(names));
  root.addMacro("UNDEF_FORMAT_DECLARE", makeUndefDeclareMacro(maxFixedParams));
  root.addMacro("DEFINE_FORMAT_DECLARE",
                makeDefineDeclareMacro(blocks, outputs, maxFixedParams, maxFormatParams));
  root.addMacro("TYPELISTS", makeTypelistsMacro(blocks, outputs, maxFormatParams));

  // All three are opened before the first is parsed, so a missing one is
  // reported before any expansion work.
  auto beginSource = templates.open(kBeginTemplateName);
  auto endSource = templates.open(kEndTemplateName);
  auto typelistSource = templates.open(kTypelistTemplateName);

  format_headers_t headers;
  headers.begin = expandMain(root, blocks, outputs, *beginSource, sizes.begin);
  headers.end = expandMain(root, blocks, outputs, *endSource, sizes.end);
  headers.typelist = expandMain(root, blocks, outputs, *typelistSource, sizes.typelist);
  return headers;
}

void writeFormatHeaderFiles(TFormatHeaderSettings* settings, const wyx::UnicodeString& outputpath,
                            const TemplateLibrary& templates) {
  format_headers_t headers = buildFormatHeaders(*settings, templates);
  // An empty path would otherwise become the bare delimiter: the root of the
  // file system.
  if (outputpath.empty()) wyx::io::raiseStreamOpenError();
  wyx::UnicodeString directory = outputpath;
  if (directory.back() != wyx::platform::kPathDelimiter) directory += wyx::platform::kPathDelimiter;
  installHeaderFiles(directory, {{kBeginHeaderName, headers.begin},
                                 {kEndHeaderName, headers.end},
                                 {kTypelistHeaderName, headers.typelist}});
}

void writeFormatHeaderFiles(TFormatHeaderSettings* settings, const wyx::UnicodeString& outputpath) {
  writeFormatHeaderFiles(settings, outputpath, builtInTemplates());
}

}  // namespace qirt
