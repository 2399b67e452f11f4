#include "qirt/test_support.hpp"

namespace qirt::testing {

std::uint32_t decimalDigits(std::uint64_t value) {
  std::uint32_t digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

std::string listText(const IndexedList& list, std::uint32_t n) {
  std::string text;
  for (std::uint32_t i = 0; i < n; ++i) list.appendItem(text, i);
  return text;
}

std::string typenameList(std::uint32_t n) {
  std::string text = listText(kTypenameItems, n);
  if (text.size() >= 2) text.resize(text.size() - 2);  // the last item's ", "
  return text;
}

std::string templateHead(std::uint32_t n) {
  if (n == 0) return std::string();
  return "template <" + typenameList(n) + ">";
}

}  // namespace qirt::testing
