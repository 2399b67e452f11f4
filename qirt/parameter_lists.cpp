#include "qirt/parameter_lists.hpp"

#include <charconv>
#include <cstring>

namespace qirt {

using wyx::tool::macro_context_t;
using wyx::tool::MacroExpander;

std::uint32_t decimalDigits(std::uint64_t value) {
  std::uint32_t digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

std::uint64_t decimalDigitsBelow(std::uint64_t n) {
  // 0..9 have one digit, 10..99 two, and so on: count whole decades of
  // numbers, then the partial one that n falls into.
  std::uint64_t total = 0;
  std::uint64_t low = 0;
  std::uint64_t high = 10;
  for (std::uint32_t digits = 1; low < n; ++digits) {
    std::uint64_t end = n < high ? n : high;
    total += (end - low) * digits;
    low = high;
    high *= 10;
  }
  return total;
}

void appendDecimal(std::string& text, std::uint64_t value) {
  char digits[20];
  auto result = std::to_chars(digits, digits + sizeof digits, value);
  text.append(digits, result.ptr);
}

std::uint64_t IndexedList::size(std::uint64_t n) const {
  std::uint64_t fixed = 0;
  for (std::uint32_t i = 0; i < count_; ++i) fixed += pieces_[i].size();
  return n * fixed + (count_ - 1) * decimalDigitsBelow(n);
}

std::string IndexedList::text(std::uint32_t n) const {
  // Sized once and filled through a pointer: these lists make up most of a
  // large header, so no per-item formatting or reallocation.
  std::string text(size(n), '\0');
  char* out = text.data();
  for (std::uint32_t i = 0; i < n; ++i) {
    char digits[10];
    char* digitsEnd = std::to_chars(digits, digits + sizeof digits, i).ptr;
    std::size_t digitCount = static_cast<std::size_t>(digitsEnd - digits);
    for (std::uint32_t piece = 0; piece < count_; ++piece) {
      if (piece != 0) {
        std::memcpy(out, digits, digitCount);
        out += digitCount;
      }
      std::memcpy(out, pieces_[piece].data(), pieces_[piece].size());
      out += pieces_[piece].size();
    }
  }
  return text;
}

std::string fixedParamSuffix(std::uint32_t n) {
  if (n == 0) return std::string();
  std::string text = "_";
  appendDecimal(text, n);
  text += "PARAM";
  return text;
}

std::string typenameList(std::uint32_t n) {
  std::string text = kTypenameItems.text(n);
  if (text.size() >= 2) text.resize(text.size() - 2);  // the last item's ", "
  return text;
}

std::string templateHead(std::uint32_t n) {
  if (n == 0) return std::string();
  return "template <" + typenameList(n) + ">";
}

std::string decimalText(std::uint32_t n) {
  std::string text;
  appendDecimal(text, n);
  return text;
}

namespace {

// A macro that ignores its invocation and yields `make(counter)`, the
// counter being read at the time of the call.
template <class Make>
MacroExpander::macro_t counterMacro(const std::uint32_t& counter, Make make) {
  return [&counter, make](const macro_context_t&) { return make(counter); };
}

MacroExpander::macro_t listMacro(const std::uint32_t& counter, const IndexedList& list) {
  return [&counter, &list](const macro_context_t&) { return list.text(counter); };
}

}  // namespace

void addFixedParamMacros(MacroExpander& expander, const std::uint32_t& counter) {
  expander.addMacro("xPARAM", counterMacro(counter, fixedParamSuffix));
  expander.addMacro("xPARAM_TYPES", listMacro(counter, kFixedParamTypes));
  expander.addMacro("xPARAM_SIG", listMacro(counter, kFixedParamSignature));
  expander.addMacro("xPARAM_ARG", listMacro(counter, kFixedParamArguments));
}

void addFormatParamMacros(MacroExpander& expander, const std::uint32_t& counter) {
  expander.addMacro("FUNCPARAM_COUNT", counterMacro(counter, decimalText));
  expander.addMacro("FUNCPARAM_TYPENAME", counterMacro(counter, templateHead));
  expander.addMacro("FUNCPARAM_TYPES", listMacro(counter, kFormatParamTypes));
  expander.addMacro("FUNCPARAM_SIG", listMacro(counter, kFormatParamSignature));
  expander.addMacro("FUNCPARAM_ARG", listMacro(counter, kFormatParamArguments));
}

}  // namespace qirt
