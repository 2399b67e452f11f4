#include "qirt/formatheadergenerator.hpp"

#include "qirt/declaration_macros.hpp"
#include "qirt/expansion_output.hpp"
#include "qirt/formatheadersettings.hpp"
#include "qirt/header_files.hpp"
#include "qirt/template_library.hpp"
#include "qirt/text_stream.hpp"
#include "qirt/typelist_macros.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"
#include "wyx/platform/platform.hpp"
#include "wyx/tool/macro_expander.hpp"

namespace qirt {
namespace {

using wyx::tool::blockmap_t;
using wyx::tool::MacroExpander;

// Expands block MAIN of `source` into `output`.
void expandMain(MacroExpander& root, blockmap_t& blocks, ExpansionOutput& outputs,
                wyx::io::IStream& source, wyx::io::IStream& output) {
  MacroExpander::parseBlocks(source, blocks);
  const wyx::tool::block_t& main = wyx::tool::getMapEntry(blocks, "MAIN");
  ExpansionOutput::Scope scope(outputs, &output);
  root.expand(main, output);
  // The next template may define blocks of the same names.
  blocks.clear();
}

}  // namespace

size_limit_t headerSizeLimit(const TFormatHeaderSettings& settings) {
  return {kMaxHeaderBytes, settings.getMaxFixedParams(), settings.getMaxFormatParams()};
}

void generateFormatHeaders(const TFormatHeaderSettings& settings, const TemplateLibrary& templates,
                           const size_limit_t& limit, wyx::io::IStream& begin,
                           wyx::io::IStream& end, wyx::io::IStream& typelist) {
  const persist::TTextList& names = settings.getFormatNames();
  const std::uint32_t maxFixedParams = settings.getMaxFixedParams();
  const std::uint32_t maxFormatParams = settings.getMaxFormatParams();

  // Declared before the expander: the macros hold references to them.
  blockmap_t blocks;
  ExpansionOutput outputs(limit);
  MacroExpander root;
  root.addMacro("COL", makeColumnMacro());
  root.addMacro("UNDEF_FORMAT_FUNCTIONS", makeUndefFunctionsMacro(names));
  root.addMacro("DEFINE_FORMAT_FUNCTIONS",
                makeDefineFunctionsMacro(names, settings.getCompileTimeChecks()));
  root.addMacro("UNDEF_FORMAT_DECLARE", makeUndefDeclareMacro(maxFixedParams));
  root.addMacro("DEFINE_FORMAT_DECLARE",
                makeDefineDeclareMacro(blocks, outputs, maxFixedParams, maxFormatParams));
  root.addMacro("TYPELISTS", makeTypelistsMacro(blocks, outputs, maxFormatParams));
  root.addMacro("IF_COMPILE_TIME_CHECKS",
                makeIfCompileTimeChecksMacro(blocks, outputs, settings.getCompileTimeChecks()));

  // All three are opened before the first is parsed, so a missing one is
  // reported before any expansion work.
  auto beginSource = templates.open(kBeginTemplateName);
  auto endSource = templates.open(kEndTemplateName);
  auto typelistSource = templates.open(kTypelistTemplateName);

  expandMain(root, blocks, outputs, *beginSource, begin);
  expandMain(root, blocks, outputs, *endSource, end);
  expandMain(root, blocks, outputs, *typelistSource, typelist);
}

format_headers_t buildFormatHeaders(const TFormatHeaderSettings& settings,
                                    const TemplateLibrary& templates) {
  TextStream begin, end, typelist;
  generateFormatHeaders(settings, templates, headerSizeLimit(settings), begin, end, typelist);
  return {begin.takeText(), end.takeText(), typelist.takeText()};
}

void writeFormatHeaderFiles(TFormatHeaderSettings* settings, const wyx::UnicodeString& outputpath,
                            const TemplateLibrary& templates) {
  // An empty path would otherwise become the bare delimiter: the root of the
  // file system.
  if (outputpath.empty()) wyx::io::raiseStreamOpenError();
  wyx::UnicodeString directory = outputpath;
  if (directory.back() != wyx::platform::kPathDelimiter) directory += wyx::platform::kPathDelimiter;
  const size_limit_t limit = headerSizeLimit(*settings);
  HeaderFileSet files(directory, {kBeginHeaderName, kEndHeaderName, kTypelistHeaderName},
                      limit.maxBytes);
  try {
    generateFormatHeaders(*settings, templates, limit, files.output(0), files.output(1),
                          files.output(2));
  } catch (const wyx::oo::ESafecallException&) {
    // A refused write reaches us as a bare status; say why when we know.
    if (files.limitExceeded()) limit.refuse();
    files.raiseOpenFailure();
    throw;
  }
  files.commit();
}

void writeFormatHeaderFiles(TFormatHeaderSettings* settings, const wyx::UnicodeString& outputpath) {
  writeFormatHeaderFiles(settings, outputpath, builtInTemplates());
}

}  // namespace qirt
