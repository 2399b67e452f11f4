// Limits of the template language that parsing and expansion share.
#pragma once

#include <cstdint>

namespace wyx::tool {

// Longest invocation, from its '$' to its ')', in bytes. A longer one fails
// with "No closing ')'" (or "Macro name missing" without a '('), so that a
// stray '$' cannot make the parser look through the rest of a large block.
constexpr std::uint32_t kMaxInvocationSize = 4096;

}  // namespace wyx::tool
