#include "wyx/tool/text_scan.hpp"

#include <gtest/gtest.h>

#include <string>

namespace wyx::tool {
namespace {

TEST(TextScanTest, ReadIntOverflowsByItsRule) {
  struct Case {
    std::string text;
    std::int32_t clamped;
    std::int32_t wrapped;
  };
  const Case kCases[] = {
      {"42", 42, 42},
      {" \t-7x", -7, -7},
      {"+3", 3, 3},
      {"", 0, 0},
      {"abc", 0, 0},
      {"2147483647", 2147483647, 2147483647},
      {"2147483648", 2147483647, -2147483647 - 1},
      {"-2147483648", -2147483647 - 1, -2147483647 - 1},
      {"4294967297", 2147483647, 1},
      {"-99999999999999999999", -2147483647 - 1, -1661992959},
      {std::string("12\0"
                   "3",
                   4),
       12, 12},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.clamped, readInt(c.text, IntOverflow::kClamp)) << "text: " << c.text;
    EXPECT_EQ(c.wrapped, readInt(c.text, IntOverflow::kWrap)) << "text: " << c.text;
  }
}

}  // namespace
}  // namespace wyx::tool
