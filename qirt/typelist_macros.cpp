#include "qirt/typelist_macros.hpp"

#include "qirt/repeated_expansion.hpp"
#include "qirt/parameter_lists.hpp"

namespace qirt {

using wyx::tool::block_t;
using wyx::tool::blockmap_t;
using wyx::tool::macro_context_t;
using wyx::tool::macro_writer_t;
using wyx::tool::MacroExpander;

namespace {

void typelistEntries(const macro_context_t& context, const blockmap_t& blocks,
                     const size_limit_t& limit, const std::uint32_t& listLength) {
  MacroExpander child(*context.expander);
  std::uint32_t entry = 0;
  child.addMacro("I", makeDecimalMacro(entry));
  const block_t& block = wyx::tool::getMapEntry(blocks, "TYPELISTENTRY");
  expandRepeatedly(child, block, listLength, entry, 0, limit, *context.output);
}

void typelists(const macro_context_t& context, const blockmap_t& blocks, const size_limit_t& limit,
               std::uint32_t maxFormatParams) {
  MacroExpander child(*context.expander);
  std::uint32_t listLength = 1;
  child.addMacro("FUNCPARAM_COUNT", makeDecimalMacro(listLength));
  child.addMacro("TYPELIST_TYPENAME", makeTypenameMacro(listLength, false));
  child.addMacro("FUNCPARAM_TYPES", makeListMacro(listLength, kFormatParamTypes));
  child.addMacro("TYPELIST", wyx::tool::makeMacroWriter(
                                 [&blocks, limit, &listLength](const macro_context_t& inner) {
                                   typelistEntries(inner, blocks, limit, listLength);
                                 }));
  const block_t& block = wyx::tool::getMapEntry(blocks, "TYPELIST_T");
  // Lists for 1 to maxFormatParams - 1; the one for 0 is fixed template text.
  std::uint64_t count = maxFormatParams > 1 ? maxFormatParams - 1 : 0;
  expandRepeatedly(child, block, count, listLength, 1, limit, *context.output);
}

}  // namespace

macro_writer_t makeTypelistsMacro(const blockmap_t& blocks, const size_limit_t& limit,
                                  std::uint32_t maxFormatParams) {
  return wyx::tool::makeMacroWriter(
      [&blocks, limit, maxFormatParams](const macro_context_t& context) {
        typelists(context, blocks, limit, maxFormatParams);
      });
}

}  // namespace qirt
