// TYPELISTS, the macro behind the type-list header: one class template
// typelist<n>_t per format-argument count 1 to maxFormatParams - 1.
#pragma once

#include <cstdint>

#include "qirt/header_size.hpp"
#include "wyx/tool/macro_expander.hpp"

namespace qirt {

// Expands block TYPELIST_T for n = 1 to maxFormatParams - 1 with
// FUNCPARAM_COUNT, TYPELIST_TYPENAME, FUNCPARAM_TYPES and TYPELIST added;
// TYPELIST expands block TYPELISTENTRY for i = 0 to n - 1 with I added.
// Blocks are looked up in `blocks` when invoked, before any loop ("Map entry
// not found" when absent). The expansions go straight into the invocation's
// output and are measured against `limit` (expandRepeatedly). `blocks` must
// outlive the macro.
wyx::tool::macro_writer_t makeTypelistsMacro(const wyx::tool::blockmap_t& blocks,
                                             const size_limit_t& limit,
                                             std::uint32_t maxFormatParams);

}  // namespace qirt
