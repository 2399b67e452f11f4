// The generated tables behind unicode.hpp, for unicode.cpp and its tests.
// unicode_tables.cpp holds the data and says how to regenerate it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wyx/unicode/unicode.hpp"

namespace wyx::unicode::tables {

// The Unicode version the tables were generated from, such as "15.0.0".
extern const char kUnicodeVersion[];

// The class of every code point as runs sorted by their first code point: a
// run lasts until the next one starts, the first starts at 0, the last ends
// at U+10FFFF. Each entry packs the first code point and the class.
constexpr std::uint32_t kClassBits = 3;
constexpr std::uint32_t run(std::uint32_t first, CharClass c) {
  return first << kClassBits | static_cast<std::uint32_t>(c);
}
extern const std::uint32_t kClassRuns[];
extern const std::size_t kClassRunCount;

// Every code point with a case folding lies in one run; the runs are sorted
// by first code point and do not overlap.
enum class FoldKind : std::uint8_t {
  kEach,       // first..last each fold to themselves plus value
  kAlternate,  // first, first + 2, ... last do; those between have no folding
  kMultiple,   // first (== last) folds to kFullFolds[value]
};
struct fold_run_t {
  std::uint32_t first;
  std::uint32_t last;
  std::int32_t value;
  FoldKind kind;
};
extern const fold_run_t kFoldRuns[];
extern const std::size_t kFoldRunCount;

// The foldings to two or three code points, in the order of their code
// points. All of them lie in the first plane; an unused place in `to` is 0.
struct full_fold_t {
  char16_t from;
  char16_t to[3];
};
extern const full_fold_t kFullFolds[];

}  // namespace wyx::unicode::tables
