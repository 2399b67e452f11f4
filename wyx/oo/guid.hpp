// The 16-byte identifier of an interface or class, in the platform's layout:
// one 32-bit and two 16-bit fields (little-endian), then eight single bytes.
#pragma once

#include <cstdint>
#include <cstring>

namespace wyx::oo {

struct guid_t {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
};
static_assert(sizeof(guid_t) == 16, "identifiers are 16 bytes");

// Identifiers compare byte for byte.
inline bool operator==(const guid_t& a, const guid_t& b) { return std::memcmp(&a, &b, 16) == 0; }
inline bool operator!=(const guid_t& a, const guid_t& b) { return !(a == b); }

// {00000000-0000-0000-C000-000000000046}: the base interface of all.
constexpr guid_t kIidUnknown = {0x00000000, 0x0000, 0x0000,
                                {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace wyx::oo
