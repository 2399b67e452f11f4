#include "qirt/format_header_generator.hpp"

#include <exception>

#include "qirt/declaration_macros.hpp"
#include "qirt/format_header_settings.hpp"
#include "qirt/header_files.hpp"
#include "qirt/template_library.hpp"
#include "qirt/typelist_macros.hpp"
#include "wyx/io/memory_stream.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"
#include "wyx/platform/platform.hpp"
#include "wyx/tool/macro_expander.hpp"

namespace qirt {
namespace {

using wyx::tool::blockmap_t;
using wyx::tool::MacroExpander;

// Expands block MAIN of `source` into `output`.
void expandMain(MacroExpander& root, blockmap_t& blocks, wyx::io::IStream& source,
                wyx::io::IStream& output) {
  MacroExpander::parseBlocks(source, blocks);
  const wyx::tool::block_t& main = wyx::tool::getMapEntry(blocks, "MAIN");
  root.expand(main, output);
  // The next template may define blocks of the same names.
  blocks.clear();
}

// A refused write reaches the engine as a bare status, which it raises as
// ESafecallException. The write kept its cause: the size limit and a header
// that cannot be created are reported as themselves; any other cause is
// reported as the refused write.
void rethrowNamedCause(const std::exception_ptr& cause) {
  if (!cause) return;
  try {
    std::rethrow_exception(cause);
  } catch (const EHeaderSizeLimit&) {
    throw;
  } catch (const wyx::io::EStreamOpenError&) {
    throw;
  } catch (...) {
    // Reported as ESafecallException.
  }
}

std::string contentOf(wyx::io::MemoryStream& stream) {
  return std::string(stream.data() ? stream.data() : "", stream.getSize());
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

  // Declared before the expander: the macros hold a reference to it.
  blockmap_t blocks;
  MacroExpander root;
  root.addMacro("COL", makeColumnMacro());
  root.addMacro("UNDEF_FORMAT_FUNCTIONS", makeUndefFunctionsMacro(names));
  root.addMacro("DEFINE_FORMAT_FUNCTIONS",
                makeDefineFunctionsMacro(names, settings.getCompileTimeChecks()));
  root.addMacro("UNDEF_FORMAT_DECLARE", makeUndefDeclareMacro(maxFixedParams));
  root.addMacro("DEFINE_FORMAT_DECLARE",
                makeDefineDeclareMacro(blocks, limit, maxFixedParams, maxFormatParams));
  root.addMacro("TYPELISTS", makeTypelistsMacro(blocks, limit, maxFormatParams));
  root.addMacro("IF_COMPILE_TIME_CHECKS",
                makeIfCompileTimeChecksMacro(blocks, limit, settings.getCompileTimeChecks()));

  // All three are opened before the first is parsed, so a missing one is
  // reported before any expansion work.
  auto beginSource = templates.open(kBeginTemplateName);
  auto endSource = templates.open(kEndTemplateName);
  auto typelistSource = templates.open(kTypelistTemplateName);

  expandMain(root, blocks, *beginSource, begin);
  expandMain(root, blocks, *endSource, end);
  expandMain(root, blocks, *typelistSource, typelist);
}

format_headers_t buildFormatHeaders(const TFormatHeaderSettings& settings,
                                    const TemplateLibrary& templates) {
  using wyx::io::MemoryStream;
  wyx::oo::InterfacePtr<MemoryStream> begin(new MemoryStream);
  wyx::oo::InterfacePtr<MemoryStream> end(new MemoryStream);
  wyx::oo::InterfacePtr<MemoryStream> typelist(new MemoryStream);
  generateFormatHeaders(settings, templates, headerSizeLimit(settings), *begin, *end, *typelist);
  return {contentOf(*begin), contentOf(*end), contentOf(*typelist)};
}

void writeFormatHeaderFiles(TFormatHeaderSettings* settings, const wyx::UnicodeString& outputpath,
                            const TemplateLibrary& templates) {
  // An empty path would otherwise become the bare delimiter: the root of the
  // file system.
  if (outputpath.empty()) wyx::io::raiseStreamOpenError();
  wyx::UnicodeString directory = outputpath;
  if (directory.back() != wyx::platform::kPathDelimiter) directory += wyx::platform::kPathDelimiter;
  const size_limit_t limit = headerSizeLimit(*settings);
  HeaderFileSet files(directory, {kBeginHeaderName, kEndHeaderName, kTypelistHeaderName}, limit);
  try {
    generateFormatHeaders(*settings, templates, limit, files.output(0), files.output(1),
                          files.output(2));
    files.commit();
  } catch (const wyx::oo::ESafecallException&) {
    rethrowNamedCause(files.failure());
    throw;
  }
}

void writeFormatHeaderFiles(TFormatHeaderSettings* settings, const wyx::UnicodeString& outputpath) {
  writeFormatHeaderFiles(settings, outputpath, builtInTemplates());
}

}  // namespace qirt
