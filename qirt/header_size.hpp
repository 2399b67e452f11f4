// The limit on the size of the headers a run writes. The counts in the
// settings can be any 32-bit value; a run that would write more than
// kMaxHeaderBytes is refused, as early as the templates allow, and at the
// latest when the limit is reached, before any header is replaced.
#pragma once

#include <cstdint>
#include <stdexcept>

namespace qirt {

// Largest total size of the three headers that a run writes.
inline constexpr std::uint64_t kMaxHeaderBytes = std::uint64_t{1} << 30;

// Raised when the settings ask for more than kMaxHeaderBytes of headers.
class EHeaderSizeLimit : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the limit is checked against while the headers are expanded: the
// byte limit, and the settings that the refusal names.
struct size_limit_t {
  std::uint64_t maxBytes = kMaxHeaderBytes;
  std::uint32_t maxFixedParams = 0;
  std::uint32_t maxFormatParams = 0;

  // Raises EHeaderSizeLimit naming both counts and the limit.
  [[noreturn]] void refuse() const;
};

}  // namespace qirt
