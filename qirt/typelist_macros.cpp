#include "qirt/typelist_macros.hpp"

#include <string>

#include "qirt/declaration_macros.hpp"
#include "qirt/parameter_lists.hpp"
#include "qirt/text_stream.hpp"

namespace qirt {

using wyx::tool::block_t;
using wyx::tool::blockmap_t;
using wyx::tool::macro_context_t;
using wyx::tool::macro_t;
using wyx::tool::MacroExpander;

namespace {

std::string typelistEntries(const macro_context_t& context, const blockmap_t& blocks,
                            const std::uint32_t& listLength) {
  MacroExpander child(*context.expander);
  std::uint32_t entry = 0;
  child.addMacro("I", [&entry](const macro_context_t&) { return decimalText(entry); });
  const block_t& block = wyx::tool::getMapEntry(blocks, "TYPELISTENTRY");
  TextStream buffer;
  for (; entry < listLength; ++entry) expandFromStart(child, block, buffer);
  return buffer.takeText();
}

std::string typelists(const macro_context_t& context, const blockmap_t& blocks,
                      std::uint32_t maxFormatParams) {
  MacroExpander child(*context.expander);
  std::uint32_t listLength = 1;
  child.addMacro("FUNCPARAM_COUNT",
                 [&listLength](const macro_context_t&) { return decimalText(listLength); });
  child.addMacro("TYPELIST_TYPENAME",
                 [&listLength](const macro_context_t&) { return typenameList(listLength); });
  child.addMacro("FUNCPARAM_TYPES",
                 [&listLength](const macro_context_t&) { return kFormatParamTypes.text(listLength); });
  child.addMacro("TYPELIST", [&blocks, &listLength](const macro_context_t& inner) {
    return typelistEntries(inner, blocks, listLength);
  });
  const block_t& block = wyx::tool::getMapEntry(blocks, "TYPELIST_T");
  TextStream buffer;
  // The list for 0 arguments is fixed text in the template.
  for (; listLength < maxFormatParams; ++listLength) expandFromStart(child, block, buffer);
  return buffer.takeText();
}

}  // namespace

macro_t makeTypelistsMacro(const blockmap_t& blocks, std::uint32_t maxFormatParams) {
  return [&blocks, maxFormatParams](const macro_context_t& context) {
    return typelists(context, blocks, maxFormatParams);
  };
}

}  // namespace qirt
