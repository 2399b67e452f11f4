// Small readings of template text that the block parser, the block compiler,
// the expander and the value formatter share.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace wyx::tool {

// Whether `c` may stand in a block or macro name: ASCII letters, digits, '_'.
inline bool isNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The first `c` in [from, to), or `to`: memchr rather than a look at every
// byte, as the parser and the compiler search long texts for few bytes.
inline const char* findByte(const char* from, const char* to, char c) {
  const void* found = std::memchr(from, c, static_cast<std::size_t>(to - from));
  return found != nullptr ? static_cast<const char*>(found) : to;
}

// A line or column number for messages and the macro context, which hold
// 32-bit signed numbers: larger values stay at the largest. Inline, as
// every invocation an expansion meets asks for one.
inline std::int32_t clampToInt32(std::int64_t value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

// What happens to a number too large for an int.
enum class IntOverflow {
  kClamp,  // it becomes INT_MAX or INT_MIN
  kWrap,   // it wraps modulo 2^32, as unsigned arithmetic does
};

// Reads a number as atoi does (leading white space, a sign, then digits; 0
// when there are none), with a defined rule for overflow instead of atoi's
// undefined behaviour.
std::int32_t readInt(std::string_view text, IntOverflow overflow);

}  // namespace wyx::tool
