// Repeated expansion of a block into the output of the invocation that asks
// for it, measured against the size limit.
#pragma once

#include <cstdint>

#include "qirt/header_size.hpp"
#include "wyx/tool/macro_expander.hpp"

namespace wyx::tool {
class MacroOutput;
}

namespace qirt {

// Expands `block` `count` times with `expander` into `output`, setting
// `counter` to first + i before expansion i. Expansions written into the
// invoking expansion's output stand where the macro's text would, so the
// bytes are written once, as they are produced.
//
// The first expansion is measured: when `count` expansions of its size would
// pass `limit`, EHeaderSizeLimit is raised at once instead of after a
// gigabyte of work (the expansions of one block never shrink as the counter
// grows).
void expandRepeatedly(wyx::tool::MacroExpander& expander, const wyx::tool::block_t& block,
                      std::uint64_t count, std::uint32_t& counter, std::uint32_t first,
                      const size_limit_t& limit, wyx::tool::MacroOutput& output);

}  // namespace qirt
