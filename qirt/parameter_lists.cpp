#include "qirt/parameter_lists.hpp"

#include <charconv>
#include <cstring>
#include <memory>

#include "wyx/tool/macro_output.hpp"

namespace qirt {

using wyx::tool::macro_context_t;
using wyx::tool::MacroExpander;

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

void IndexedList::appendItem(std::string& text, std::uint32_t i) const {
  char digits[10];
  char* digitsEnd = std::to_chars(digits, digits + sizeof digits, i).ptr;
  for (std::uint32_t piece = 0; piece < count_; ++piece) {
    if (piece != 0) text.append(digits, digitsEnd);
    text.append(pieces_[piece]);
  }
}

const std::string& GrowingListText::text(std::uint32_t n) {
  if (n < count_) {
    text_.resize(list_.size(n));
  } else {
    text_.reserve(list_.size(n));
    for (std::uint32_t i = count_; i < n; ++i) list_.appendItem(text_, i);
  }
  count_ = n;
  return text_;
}

std::string fixedParamSuffix(std::uint32_t n) {
  if (n == 0) return std::string();
  std::string text = "_";
  appendDecimal(text, n);
  text += "PARAM";
  return text;
}

std::string decimalText(std::uint32_t n) {
  std::string text;
  appendDecimal(text, n);
  return text;
}

MacroExpander::macro_writer_t makeListMacro(const std::uint32_t& counter, const IndexedList& list) {
  // Shared by the copies of the macro that expanders make.
  auto text = std::make_shared<GrowingListText>(list);
  return wyx::tool::makeMacroWriter([&counter, text](const macro_context_t& context) {
    context.output->write(text->text(counter));
  });
}

MacroExpander::macro_writer_t makeTypenameMacro(const std::uint32_t& counter, bool templateHead) {
  auto items = std::make_shared<GrowingListText>(kTypenameItems);
  return wyx::tool::makeMacroWriter(
      [&counter, items, templateHead](const macro_context_t& context) {
        if (counter == 0) return;
        const std::string& text = items->text(counter);
        std::string_view names(text.data(), text.size() - 2);  // without the last ", "
        if (templateHead) context.output->write("template <");
        context.output->write(names);
        if (templateHead) context.output->write(">");
      });
}

MacroExpander::macro_writer_t makeDecimalMacro(const std::uint32_t& counter) {
  return wyx::tool::makeMacroWriter([&counter](const macro_context_t& context) {
    char digits[10];
    const char* end = std::to_chars(digits, digits + sizeof digits, counter).ptr;
    context.output->write(digits, static_cast<std::size_t>(end - digits));
  });
}

void addFixedParamMacros(MacroExpander& expander, const std::uint32_t& counter) {
  // Writes "_<n>PARAM", or nothing for 0.
  expander.addMacro("xPARAM",
                    wyx::tool::makeMacroWriter([&counter](const macro_context_t& context) {
                      if (counter == 0) return;
                      char digits[10];
                      const char* end = std::to_chars(digits, digits + sizeof digits, counter).ptr;
                      context.output->write("_");
                      context.output->write(digits, static_cast<std::size_t>(end - digits));
                      context.output->write("PARAM");
                    }));
  expander.addMacro("xPARAM_TYPES", makeListMacro(counter, kFixedParamTypes));
  expander.addMacro("xPARAM_SIG", makeListMacro(counter, kFixedParamSignature));
  expander.addMacro("xPARAM_ARG", makeListMacro(counter, kFixedParamArguments));
}

void addFormatParamMacros(MacroExpander& expander, const std::uint32_t& counter) {
  expander.addMacro("FUNCPARAM_COUNT", makeDecimalMacro(counter));
  expander.addMacro("FUNCPARAM_TYPENAME", makeTypenameMacro(counter, true));
  expander.addMacro("FUNCPARAM_TYPES", makeListMacro(counter, kFormatParamTypes));
  expander.addMacro("FUNCPARAM_SIG", makeListMacro(counter, kFormatParamSignature));
  expander.addMacro("FUNCPARAM_ARG", makeListMacro(counter, kFormatParamArguments));
}

}  // namespace qirt
