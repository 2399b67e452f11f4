// The size check that runs before any expansion: the counts in the settings
// can be any 32-bit value, and the texts they ask for are held in memory, so
// a run whose headers would be too large is refused up front.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace qirt {

// Largest total size of the three headers that a run will build.
inline constexpr std::uint64_t kMaxHeaderBytes = std::uint64_t{1} << 30;

// Raised when the settings ask for more than kMaxHeaderBytes of headers.
class EHeaderSizeLimit : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Exact byte sizes of the three headers that the built-in templates give.
struct header_sizes_t {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
  std::uint64_t typelist = 0;
  std::uint64_t total() const { return begin + end + typelist; }
};

// Computes the sizes from the counts and the UTF-8 lengths of the format
// names without building any text. Stops counting once the total exceeds
// `stopAbove`, so the result is exact only up to that bound; the work is
// bounded by it too, whatever the counts.
header_sizes_t computeHeaderSizes(std::uint32_t maxFixedParams, std::uint32_t maxFormatParams,
                                  const std::vector<std::uint64_t>& nameBytes,
                                  std::uint64_t stopAbove);

// The exact sizes for counts within the limit; raises EHeaderSizeLimit,
// naming both counts and the limit, when the total would exceed
// kMaxHeaderBytes.
header_sizes_t checkHeaderSizes(std::uint32_t maxFixedParams, std::uint32_t maxFormatParams,
                                const std::vector<std::uint64_t>& nameBytes);

}  // namespace qirt
