// TYPELISTS, the macro behind the type-list header: one class template
// typelist<n>_t per format-argument count 1 to maxFormatParams - 1.
#pragma once

#include <cstdint>

#include "wyx/tool/macro_expander.hpp"

namespace qirt {

class ExpansionOutput;

// Expands block TYPELIST_T for n = 1 to maxFormatParams - 1 with
// FUNCPARAM_COUNT, TYPELIST_TYPENAME, FUNCPARAM_TYPES and TYPELIST added;
// TYPELIST expands block TYPELISTENTRY for i = 0 to n - 1 with I added.
// Blocks are looked up in `blocks` when invoked, before any loop ("Map entry
// not found" when absent). Texts go straight into the current output of
// `outputs` where that gives the same bytes (expandRepeatedly). `blocks` and
// `outputs` must outlive the macro.
wyx::tool::macro_t makeTypelistsMacro(const wyx::tool::blockmap_t& blocks,
                                      ExpansionOutput& outputs, std::uint32_t maxFormatParams);

}  // namespace qirt
