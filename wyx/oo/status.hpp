// 32-bit status codes returned by QueryInterface and by safecall operations.
#pragma once

#include <cstdint>

namespace wyx::oo {

using status_t = std::int32_t;

constexpr status_t kStatusOk = 0;
// QueryInterface: the object does not answer the identifier.
constexpr status_t kStatusNoInterface = static_cast<status_t>(0x80004002u);
// A safecall operation failed and no error information was recorded.
constexpr status_t kStatusFailed = static_cast<status_t>(0x80040001u);
// A safecall operation failed and error information was recorded.
constexpr status_t kStatusFailedWithInfo = static_cast<status_t>(0x80040003u);

}  // namespace wyx::oo
