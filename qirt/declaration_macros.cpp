#include "qirt/declaration_macros.hpp"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <string>

#include "persist/text_list.hpp"
#include "qirt/expansion_output.hpp"
#include "qirt/parameter_lists.hpp"
#include "wyx/oo/strings.hpp"

namespace qirt {

using wyx::tool::block_t;
using wyx::tool::blockmap_t;
using wyx::tool::macro_context_t;
using wyx::tool::macro_t;
using wyx::tool::MacroExpander;

namespace {

constexpr char kDeclareMacroName[] = "QIRT_FORMAT_DECLARE_SAFE";
constexpr char kSafeFunctionBlock[] = "DEFINE_SAFE_FORMAT_FUNCTION";

// atoi's reading of a number, without its undefined overflow: the value is
// clamped to the int range.
long long leadingInteger(const std::string& text) {
  long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return value;
}

std::string safeFormatFunctions(const macro_context_t& context, const blockmap_t& blocks,
                                ExpansionOutput& outputs, std::uint32_t maxFormatParams) {
  MacroExpander child(*context.expander);
  std::uint32_t formatParams = 0;
  addFormatParamMacros(child, formatParams);
  const block_t& block = wyx::tool::getMapEntry(blocks, kSafeFunctionBlock);
  return expandRepeatedly(context, outputs, child, block, maxFormatParams,
                          [&](std::uint64_t n) { formatParams = static_cast<std::uint32_t>(n); });
}

std::string defineDeclare(const macro_context_t& context, const blockmap_t& blocks,
                          ExpansionOutput& outputs, std::uint32_t maxFixedParams,
                          std::uint32_t maxFormatParams) {
  MacroExpander child(*context.expander);
  std::uint32_t fixedParams = 0;
  addFixedParamMacros(child, fixedParams);
  child.addMacro("SAFE_FORMAT_FUNCTIONS",
                 [&blocks, &outputs, maxFormatParams](const macro_context_t& inner) {
                   return safeFormatFunctions(inner, blocks, outputs, maxFormatParams);
                 });
  const block_t& block = wyx::tool::getMapEntry(blocks, context.args);
  // The count includes maxFixedParams itself; counting in 64 bits keeps the
  // largest 32-bit value from wrapping into an endless loop.
  return expandRepeatedly(context, outputs, child, block, std::uint64_t{maxFixedParams} + 1,
                          [&](std::uint64_t k) { fixedParams = static_cast<std::uint32_t>(k); });
}

}  // namespace

std::string formatNameText(const std::u16string& name) {
  std::string text = wyx::toUtf8(name);
  std::size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

macro_t makeColumnMacro() {
  return [](const macro_context_t& context) {
    long long blanks = leadingInteger(context.args) - context.outputColumn;
    return blanks > 0 ? std::string(static_cast<std::size_t>(blanks), ' ') : std::string();
  };
}

macro_t makeUndefFunctionsMacro(const persist::TTextList& names) {
  return [&names](const macro_context_t&) {
    std::string text;
    for (std::size_t i = names.count(); i-- > 0;) {
      text += "#undef ";
      text += formatNameText(names[i]);
      text += "\r\n";
    }
    return text;
  };
}

macro_t makeDefineFunctionsMacro(const persist::TTextList& names, bool compileTimeChecks) {
  return [&names, compileTimeChecks](const macro_context_t& context) {
    std::string text;
    for (std::size_t i = names.count(); i-- > 0;) {
      std::string name = formatNameText(names[i]);
      std::string checked = "_safe_" + name + " (" + context.args + "__VA_ARGS__)";
      // Inside its own expansion the name is not expanded again, so this
      // reaches the real function.
      if (compileTimeChecks) {
        checked = "(_QIRT_FORMAT_COMPILE_CHECK (" + name + " (__VA_ARGS__)), " + checked + ")";
      }
      text += "#define " + name + "(...) \\\r\n";
      text += "    " + checked + "\r\n";
    }
    return text;
  };
}

macro_t makeIfCompileTimeChecksMacro(const blockmap_t& blocks, ExpansionOutput& outputs,
                                     bool compileTimeChecks) {
  return [&blocks, &outputs, compileTimeChecks](const macro_context_t& context) {
    const block_t& block = wyx::tool::getMapEntry(blocks, context.args);
    return expandRepeatedly(context, outputs, *context.expander, block, compileTimeChecks ? 1 : 0,
                            [](std::uint64_t) {});
  };
}

macro_t makeUndefDeclareMacro(std::uint32_t maxFixedParams) {
  return [maxFixedParams](const macro_context_t&) {
    std::string text;
    for (std::uint64_t count = 0; count <= maxFixedParams; ++count) {
      std::string name = kDeclareMacroName + fixedParamSuffix(static_cast<std::uint32_t>(count));
      text += "#ifdef " + name + "\r\n #undef " + name + "\r\n#endif\r\n";
    }
    return text;
  };
}

macro_t makeDefineDeclareMacro(const blockmap_t& blocks, ExpansionOutput& outputs,
                               std::uint32_t maxFixedParams, std::uint32_t maxFormatParams) {
  return [&blocks, &outputs, maxFixedParams, maxFormatParams](const macro_context_t& context) {
    return defineDeclare(context, blocks, outputs, maxFixedParams, maxFormatParams);
  };
}

}  // namespace qirt
