#include "wyx/tool/text_scan.hpp"

#include <cstdint>

namespace wyx::tool {

std::int32_t readInt(std::string_view text, IntOverflow overflow) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
  const bool negative = at < text.size() && text[at] == '-';
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
  // Wrapping keeps the low 32 bits; clamping stops counting once the value
  // is out of range, so the 64-bit sum never overflows either.
  std::uint32_t wrapped = 0;
  std::int64_t clamped = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    const auto digit = static_cast<std::uint32_t>(text[at] - '0');
    wrapped = wrapped * 10u + digit;
    if (clamped <= INT32_MAX) clamped = clamped * 10 + digit;
  }
  if (overflow == IntOverflow::kWrap) {
    return static_cast<std::int32_t>(negative ? 0u - wrapped : wrapped);
  }
  return clampToInt32(negative ? -clamped : clamped);
}

}  // namespace wyx::tool
