// The parameter lists of the generated wrappers: the texts that differ
// between fixed-parameter counts (xPARAM...) and format-argument counts
// (FUNCPARAM_...), and the macros that insert them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "wyx/tool/macro_expander.hpp"

namespace qirt {

// The number of decimal digits of all of 0 to n - 1 together.
std::uint64_t decimalDigitsBelow(std::uint64_t n);
// Appends `value` in decimal.
void appendDecimal(std::string& text, std::uint64_t value);

// A list of n items, item i being the pieces with i in decimal written
// between each two of them: {", T", " t", ""} gives ", T0 t0, T1 t1" for 2.
class IndexedList {
 public:
  constexpr IndexedList(std::string_view first, std::string_view second)
      : pieces_{first, second, {}}, count_(2) {}
  constexpr IndexedList(std::string_view first, std::string_view second, std::string_view third)
      : pieces_{first, second, third}, count_(3) {}

  // Exact length of the first n items, without building them.
  std::uint64_t size(std::uint64_t n) const;
  // Appends item i.
  void appendItem(std::string& text, std::uint32_t i) const;

 private:
  std::array<std::string_view, 3> pieces_;
  std::uint32_t count_;
};

// The text of one list for a counter that changes between calls, kept from
// call to call: text(n) of a list is a prefix of text(n + 1), so moving the
// count by one costs one item, not a rebuild. The wrappers ask for every
// count in turn, which would otherwise make building the lists quadratic.
class GrowingListText {
 public:
  explicit GrowingListText(const IndexedList& list) : list_(list) {}
  // Valid until the next call.
  const std::string& text(std::uint32_t n);

 private:
  const IndexedList& list_;
  std::string text_;
  std::uint32_t count_ = 0;
};

inline constexpr IndexedList kFixedParamTypes{", p", "type"};            // xPARAM_TYPES
inline constexpr IndexedList kFixedParamSignature{"p", "type p", ", "};  // xPARAM_SIG
inline constexpr IndexedList kFixedParamArguments{"p", ", "};            // xPARAM_ARG
inline constexpr IndexedList kFormatParamTypes{", T", ""};               // FUNCPARAM_TYPES
inline constexpr IndexedList kFormatParamSignature{", T", " t", ""};     // FUNCPARAM_SIG
inline constexpr IndexedList kFormatParamArguments{", t", ""};           // FUNCPARAM_ARG
inline constexpr IndexedList kTypenameItems{"typename T", ", "};  // before the last ", " is cut

// xPARAM: empty for 0, else "_<n>PARAM", the suffix of a declaration macro.
std::string fixedParamSuffix(std::uint32_t n);
// FUNCPARAM_COUNT and I: n in decimal.
std::string decimalText(std::uint32_t n);

// A macro that writes the list's text for the value `counter` has when it is
// invoked. `counter` must outlive every expansion that uses the macro.
wyx::tool::macro_writer_t makeListMacro(const std::uint32_t& counter, const IndexedList& list);
// TYPELIST_TYPENAME, or FUNCPARAM_TYPENAME when `templateHead` is set.
wyx::tool::macro_writer_t makeTypenameMacro(const std::uint32_t& counter, bool templateHead);
// A macro that writes the value `counter` has when it is invoked, in decimal
// (FUNCPARAM_COUNT, I).
wyx::tool::macro_writer_t makeDecimalMacro(const std::uint32_t& counter);

// Registers xPARAM, xPARAM_TYPES, xPARAM_SIG and xPARAM_ARG on `expander`,
// each reading `counter` when invoked. `counter` must outlive every
// expansion that uses these macros.
void addFixedParamMacros(wyx::tool::MacroExpander& expander, const std::uint32_t& counter);

// Registers FUNCPARAM_COUNT, FUNCPARAM_TYPENAME, FUNCPARAM_TYPES,
// FUNCPARAM_SIG and FUNCPARAM_ARG, each reading `counter` when invoked.
void addFormatParamMacros(wyx::tool::MacroExpander& expander, const std::uint32_t& counter);

}  // namespace qirt
