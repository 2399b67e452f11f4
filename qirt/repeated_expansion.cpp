#include "qirt/repeated_expansion.hpp"

#include "wyx/tool/macro_output.hpp"

namespace qirt {

void expandRepeatedly(wyx::tool::MacroExpander& expander, const wyx::tool::block_t& block,
                      std::uint64_t count, std::uint32_t& counter, std::uint32_t first,
                      const size_limit_t& limit, wyx::tool::MacroOutput& output) {
  for (std::uint64_t i = 0; i < count; ++i) {
    counter = static_cast<std::uint32_t>(first + i);
    const std::uint64_t before = output.count();
    expander.expand(block, output);
    if (i == 0) {
      const std::uint64_t size = output.count() - before;
      if (size != 0 && count > limit.maxBytes / size) limit.refuse();
    }
  }
}

}  // namespace qirt
