#include "qirt/declaration_macros.hpp"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <string>

#include "persist/text_list.hpp"
#include "qirt/repeated_expansion.hpp"
#include "qirt/parameter_lists.hpp"
#include "wyx/oo/strings.hpp"
#include "wyx/tool/macro_output.hpp"
#include "wyx/tool/text_scan.hpp"

namespace qirt {

using wyx::tool::block_t;
using wyx::tool::blockmap_t;
using wyx::tool::macro_context_t;
using wyx::tool::macro_writer_t;
using wyx::tool::MacroExpander;
using wyx::tool::MacroOutput;

namespace {

constexpr char kDeclareMacroName[] = "QIRT_FORMAT_DECLARE_SAFE";
constexpr char kSafeFunctionBlock[] = "DEFINE_SAFE_FORMAT_FUNCTION";

void safeFormatFunctions(const macro_context_t& context, const blockmap_t& blocks,
                         const size_limit_t& limit, std::uint32_t maxFormatParams) {
  MacroExpander child(*context.expander);
  std::uint32_t formatParams = 0;
  addFormatParamMacros(child, formatParams);
  const block_t& block = wyx::tool::getMapEntry(blocks, kSafeFunctionBlock);
  expandRepeatedly(child, block, maxFormatParams, formatParams, 0, limit, *context.output);
}

void defineDeclare(const macro_context_t& context, const blockmap_t& blocks,
                   const size_limit_t& limit, std::uint32_t maxFixedParams,
                   std::uint32_t maxFormatParams) {
  MacroExpander child(*context.expander);
  std::uint32_t fixedParams = 0;
  addFixedParamMacros(child, fixedParams);
  child.addMacro(
      "SAFE_FORMAT_FUNCTIONS",
      wyx::tool::makeMacroWriter([&blocks, limit, maxFormatParams](const macro_context_t& inner) {
        safeFormatFunctions(inner, blocks, limit, maxFormatParams);
      }));
  const block_t& block = wyx::tool::getMapEntry(blocks, context.args);
  // The count includes maxFixedParams itself; counting in 64 bits keeps the
  // largest 32-bit value from wrapping into an endless loop.
  expandRepeatedly(child, block, std::uint64_t{maxFixedParams} + 1, fixedParams, 0, limit,
                   *context.output);
}

}  // namespace

std::string formatNameText(const std::u16string& name) {
  std::string text = wyx::toUtf8(name);
  std::size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

macro_writer_t makeColumnMacro() {
  return wyx::tool::makeMacroWriter([](const macro_context_t& context) {
    const std::int64_t blanks =
        std::int64_t{wyx::tool::readInt(context.args, wyx::tool::IntOverflow::kClamp)} -
        context.outputColumn;
    if (blanks > 0) context.output->fill(' ', static_cast<std::size_t>(blanks));
  });
}

macro_writer_t makeUndefFunctionsMacro(const persist::TTextList& names) {
  return wyx::tool::makeMacroWriter([&names](const macro_context_t& context) {
    for (std::size_t i = names.count(); i-- > 0;) {
      context.output->write("#undef ");
      context.output->write(formatNameText(names[i]));
      context.output->write("\r\n");
    }
  });
}

macro_writer_t makeDefineFunctionsMacro(const persist::TTextList& names, bool compileTimeChecks) {
  return wyx::tool::makeMacroWriter([&names, compileTimeChecks](const macro_context_t& context) {
    for (std::size_t i = names.count(); i-- > 0;) {
      const std::string name = formatNameText(names[i]);
      MacroOutput& output = *context.output;
      output.write("#define ");
      output.write(name);
      output.write("(...) \\\r\n    ");
      // Inside its own expansion the name is not expanded again, so this
      // reaches the real function.
      if (compileTimeChecks) {
        output.write("(_QIRT_FORMAT_COMPILE_CHECK (");
        output.write(name);
        output.write(" (__VA_ARGS__)), ");
      }
      output.write("_safe_");
      output.write(name);
      output.write(" (");
      output.write(context.args);
      output.write(compileTimeChecks ? "__VA_ARGS__))\r\n" : "__VA_ARGS__)\r\n");
    }
  });
}

macro_writer_t makeIfCompileTimeChecksMacro(const blockmap_t& blocks, const size_limit_t& limit,
                                            bool compileTimeChecks) {
  return wyx::tool::makeMacroWriter(
      [&blocks, limit, compileTimeChecks](const macro_context_t& context) {
        const block_t& block = wyx::tool::getMapEntry(blocks, context.args);
        std::uint32_t counter = 0;
        expandRepeatedly(*context.expander, block, compileTimeChecks ? 1 : 0, counter, 0, limit,
                         *context.output);
      });
}

macro_writer_t makeUndefDeclareMacro(std::uint32_t maxFixedParams) {
  return wyx::tool::makeMacroWriter([maxFixedParams](const macro_context_t& context) {
    for (std::uint64_t count = 0; count <= maxFixedParams; ++count) {
      std::string name = kDeclareMacroName + fixedParamSuffix(static_cast<std::uint32_t>(count));
      context.output->write("#ifdef " + name + "\r\n #undef " + name + "\r\n#endif\r\n");
    }
  });
}

macro_writer_t makeDefineDeclareMacro(const blockmap_t& blocks, const size_limit_t& limit,
                                      std::uint32_t maxFixedParams, std::uint32_t maxFormatParams) {
  return wyx::tool::makeMacroWriter(
      [&blocks, limit, maxFixedParams, maxFormatParams](const macro_context_t& context) {
        defineDeclare(context, blocks, limit, maxFixedParams, maxFormatParams);
      });
}

}  // namespace qirt
