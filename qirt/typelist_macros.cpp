#include "qirt/typelist_macros.hpp"

#include <string>

#include "qirt/expansion_output.hpp"
#include "qirt/parameter_lists.hpp"

namespace qirt {

using wyx::tool::block_t;
using wyx::tool::blockmap_t;
using wyx::tool::macro_context_t;
using wyx::tool::macro_t;
using wyx::tool::MacroExpander;

namespace {

std::string typelistEntries(const macro_context_t& context, const blockmap_t& blocks,
                            ExpansionOutput& outputs, const std::uint32_t& listLength) {
  MacroExpander child(*context.expander);
  std::uint32_t entry = 0;
  child.addMacro("I", [&entry](const macro_context_t&) { return decimalText(entry); });
  const block_t& block = wyx::tool::getMapEntry(blocks, "TYPELISTENTRY");
  return expandRepeatedly(context, outputs, child, block, listLength,
                          [&](std::uint64_t i) { entry = static_cast<std::uint32_t>(i); });
}

std::string typelists(const macro_context_t& context, const blockmap_t& blocks,
                      ExpansionOutput& outputs, std::uint32_t maxFormatParams) {
  MacroExpander child(*context.expander);
  std::uint32_t listLength = 1;
  child.addMacro("FUNCPARAM_COUNT",
                 [&listLength](const macro_context_t&) { return decimalText(listLength); });
  child.addMacro("TYPELIST_TYPENAME", makeTypenameMacro(listLength, false));
  child.addMacro("FUNCPARAM_TYPES", makeListMacro(listLength, kFormatParamTypes));
  child.addMacro("TYPELIST", [&blocks, &outputs, &listLength](const macro_context_t& inner) {
    return typelistEntries(inner, blocks, outputs, listLength);
  });
  const block_t& block = wyx::tool::getMapEntry(blocks, "TYPELIST_T");
  // Lists for 1 to maxFormatParams - 1; the one for 0 is fixed template text.
  std::uint64_t count = maxFormatParams > 1 ? maxFormatParams - 1 : 0;
  return expandRepeatedly(context, outputs, child, block, count, [&](std::uint64_t i) {
    listLength = static_cast<std::uint32_t>(i + 1);
  });
}

}  // namespace

macro_t makeTypelistsMacro(const blockmap_t& blocks, ExpansionOutput& outputs,
                           std::uint32_t maxFormatParams) {
  return [&blocks, &outputs, maxFormatParams](const macro_context_t& context) {
    return typelists(context, blocks, outputs, maxFormatParams);
  };
}

}  // namespace qirt
