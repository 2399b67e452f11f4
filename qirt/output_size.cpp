#include "qirt/output_size.hpp"

#include <algorithm>

#include "qirt/parameter_lists.hpp"
#include "wyx/oo/strings.hpp"

namespace qirt {
namespace {

// The model below mirrors the built-in templates line by line; the generator
// tests compare it with real output so the two cannot drift apart.

// Bytes of each template's MAIN block outside its invocations.
constexpr std::uint64_t kBeginFixedBytes = 621;
constexpr std::uint64_t kEndFixedBytes = 513;
constexpr std::uint64_t kTypelistFixedBytes = 614;

// A line that ends in "$(COL 76)\\": padded to column 76, then the
// continuation backslash and the line end.
constexpr std::uint64_t kContinuationColumn = 76;
std::uint64_t continuationLine(std::uint64_t textBytes) {
  return std::max(textBytes, kContinuationColumn) + 3;
}

std::uint64_t suffixBytes(std::uint64_t fixedParams) {
  return fixedParams == 0 ? 0 : 6 + decimalDigits(fixedParams);  // "_<k>PARAM"
}

std::uint64_t typenameListBytes(std::uint64_t n) {
  return n == 0 ? 0 : kTypenameItems.size(n) - 2;
}

// One wrapper function of block DEFINE_SAFE_FORMAT_FUNCTION: nine lines.
std::uint64_t wrapperBytes(std::uint64_t k, std::uint64_t n) {
  std::uint64_t head = n == 0 ? 0 : 11 + typenameListBytes(n);  // "template <...>"
  return continuationLine(4 + head + 1) + continuationLine(61) +
         continuationLine(12 + kFixedParamSignature.size(k) + 17 + kFormatParamSignature.size(n) + 2) +
         79 + continuationLine(53) +
         continuationLine(50 + decimalDigits(n) + kFormatParamTypes.size(n)) +
         continuationLine(40 + decimalDigits(n)) +
         continuationLine(31 + kFixedParamArguments.size(k) + kFormatParamArguments.size(n)) + 79;
}

// First line of blocks FORMAT_DECLARE and FORMAT_DECLARE_EMPTY.
std::uint64_t declareHeadBytes(std::uint64_t k) { return continuationLine(63 + suffixBytes(k)); }

// Adds up while staying below a bound; past it, further additions are
// skipped and `done()` tells the loops to stop.
class Tally {
 public:
  explicit Tally(std::uint64_t stopAbove) : stopAbove_(stopAbove) {}
  void add(std::uint64_t& part, std::uint64_t bytes) {
    part += bytes;
    total_ += bytes;
  }
  bool done() const { return total_ > stopAbove_; }

 private:
  std::uint64_t stopAbove_;
  std::uint64_t total_ = 0;
};

void addNameLines(Tally& tally, header_sizes_t& sizes, const std::vector<std::uint64_t>& nameBytes) {
  for (std::uint64_t name : nameBytes) {
    tally.add(sizes.begin, 7 + name + 2);  // "#undef <name>"
    // Two #define/_safe_ pairs, the first with the 30 bytes of
    // "__FILE__, __LINE__, __FUNC__, ".
    tally.add(sizes.end, (43 + 2 * name) * 2 + 30);
    if (tally.done()) return;
  }
}

void addDeclarations(Tally& tally, header_sizes_t& sizes, std::uint64_t maxFixedParams,
                     std::uint64_t maxFormatParams) {
  for (std::uint64_t k = 0; k <= maxFixedParams && !tally.done(); ++k) {
    std::uint64_t head = declareHeadBytes(k);
    std::uint64_t fnameLine = 4 + 5 + kFixedParamTypes.size(k);  // "    fname<types>)"
    // FORMAT_DECLARE once, FORMAT_DECLARE_EMPTY twice, the removal triple.
    tally.add(sizes.begin, head + continuationLine(fnameLine + 2) + 4);
    tally.add(sizes.begin, 2 * (head + fnameLine + 1 + 2));
    tally.add(sizes.end, 75 + 2 * suffixBytes(k));
    for (std::uint64_t n = 0; n < maxFormatParams && !tally.done(); ++n) {
      tally.add(sizes.begin, wrapperBytes(k, n));
    }
  }
}

void addTypelists(Tally& tally, header_sizes_t& sizes, std::uint64_t maxFormatParams) {
  for (std::uint64_t n = 1; n < maxFormatParams && !tally.done(); ++n) {
    std::uint64_t digits = decimalDigits(n);
    std::uint64_t templateLine = 29 + typenameListBytes(n) + 1 + 2;
    tally.add(sizes.typelist, 2 * templateLine + (23 + digits) + (37 + digits) +
                                  (55 + 2 * digits + kFormatParamTypes.size(n)) +
                                  (38 * n + decimalDigitsBelow(n)) + 8 + 2);
  }
}

}  // namespace

header_sizes_t computeHeaderSizes(std::uint32_t maxFixedParams, std::uint32_t maxFormatParams,
                                  const std::vector<std::uint64_t>& nameBytes,
                                  std::uint64_t stopAbove) {
  header_sizes_t sizes;
  Tally tally(stopAbove);
  tally.add(sizes.begin, kBeginFixedBytes);
  tally.add(sizes.end, kEndFixedBytes);
  tally.add(sizes.typelist, kTypelistFixedBytes);
  addNameLines(tally, sizes, nameBytes);
  if (!tally.done()) addTypelists(tally, sizes, maxFormatParams);
  if (!tally.done()) addDeclarations(tally, sizes, maxFixedParams, maxFormatParams);
  return sizes;
}

header_sizes_t checkHeaderSizes(std::uint32_t maxFixedParams, std::uint32_t maxFormatParams,
                                const std::vector<std::uint64_t>& nameBytes) {
  header_sizes_t sizes =
      computeHeaderSizes(maxFixedParams, maxFormatParams, nameBytes, kMaxHeaderBytes);
  if (sizes.total() <= kMaxHeaderBytes) return sizes;
  throw EHeaderSizeLimit(wyx::formatString(
      "Settings too large: MaxFormatParams %u and MaxFixedParams %u would give more than "
      "%llu bytes of headers",
      static_cast<unsigned>(maxFormatParams), static_cast<unsigned>(maxFixedParams),
      static_cast<unsigned long long>(kMaxHeaderBytes)));
}

}  // namespace qirt
