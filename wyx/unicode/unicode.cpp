#include "wyx/unicode/unicode.hpp"

#include "wyx/unicode/unicode_tables.hpp"

namespace wyx::unicode {

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool isLeadSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isTrailSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The range of the first trail byte after `lead`, narrowed where the full
// range would allow an overlong form, a surrogate or a value past U+10FFFF.
// Checking the bounds on the first trail byte, not on the decoded value, is
// what makes an ill-formed sequence end at its maximal subpart.
struct trail_range_t {
  std::uint8_t low;
  std::uint8_t high;
};
trail_range_t firstTrailRange(std::uint8_t lead) {
  switch (lead) {
    case 0xE0:
      return {0xA0, 0xBF};
    case 0xED:
      return {0x80, 0x9F};
    case 0xF0:
      return {0x90, 0xBF};
    case 0xF4:
      return {0x80, 0x8F};
    default:
      return {0x80, 0xBF};
  }
}

// Yields the case-folded code points of a text one at a time, so two texts
// compare without building their folded copies.
class FoldedReader {
 public:
  // What next() returns after the last code point; decoding UTF-16 never
  // produces it.
  static constexpr char32_t kEnd = kIllFormed;

  explicit FoldedReader(std::u16string_view text) : text_(text) {}

  char32_t next() {
    if (used_ == folded_.size) {
      if (pos_ == text_.size()) return kEnd;
      folded_ = foldCase(nextUtf16(text_.data(), pos_, text_.size()));
      used_ = 0;
    }
    return folded_.codePoints[used_++];
  }

 private:
  std::u16string_view text_;
  std::size_t pos_ = 0;
  folded_t folded_{{}, 0};
  int used_ = 0;
};

// The last entry whose key is at most `key`, or the first entry if there is
// none. The halving has no branch on the data (compilers turn the choice
// into a conditional move), so a lookup takes the same few steps for every
// code point and never stalls on a mispredicted jump.
template <typename Entry, typename KeyOf>
const Entry* floorEntry(const Entry* table, std::size_t count, std::uint32_t key, KeyOf keyOf) {
  while (count > 1) {
    std::size_t half = count / 2;
    table = keyOf(table[half]) <= key ? table + half : table;
    count -= half;
  }
  return table;
}

}  // namespace

char32_t nextUtf8(const std::uint8_t* s, std::size_t& i, std::size_t length) {
  std::uint8_t lead = s[i++];
  if (lead < 0x80) return lead;
  int trailCount;
  char32_t c;
  if (lead >= 0xC2 && lead <= 0xDF) {
    trailCount = 1;
    c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trailCount = 2;
    c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trailCount = 3;
    c = lead & 0x07;
  } else {
    return kIllFormed;  // a trail byte, or a lead of an overlong or too large form
  }
  trail_range_t range = firstTrailRange(lead);
  for (int k = 0; k < trailCount; ++k) {
    if (i == length || s[i] < range.low || s[i] > range.high) return kIllFormed;
    c = c << 6 | (s[i++] & 0x3F);
    range = {0x80, 0xBF};
  }
  return c;
}

char32_t nextUtf16(const char16_t* s, std::size_t& i, std::size_t length) {
  char32_t c = s[i++];
  if (isLeadSurrogate(c) && i < length && isTrailSurrogate(s[i])) {
    c = 0x10000 + ((c - 0xD800) << 10 | (s[i++] - 0xDC00));
  }
  return c;
}

CharClass charClass(char32_t c) {
  if (c > kMaxCodePoint) return CharClass::kOther;
  // The last run that starts at or before c: the key sorts after an entry for
  // c's own start, whatever its class. The first run starts at 0.
  constexpr std::uint32_t kClassMask = (1u << tables::kClassBits) - 1;
  std::uint32_t key = static_cast<std::uint32_t>(c) << tables::kClassBits | kClassMask;
  const std::uint32_t* run = floorEntry(tables::kClassRuns, tables::kClassRunCount, key,
                                        [](std::uint32_t entry) { return entry; });
  return static_cast<CharClass>(*run & kClassMask);
}

bool isIdentifierStart(char32_t c) {
  CharClass k = charClass(c);
  return k == CharClass::kLetter || k == CharClass::kLetterNumber;
}

bool isIdentifierPart(char32_t c) { return charClass(c) != CharClass::kOther; }

folded_t foldCase(char32_t c) {
  if (c < 0x80) return {{foldAscii(c)}, 1};  // the common case
  const tables::fold_run_t* run = floorEntry(tables::kFoldRuns, tables::kFoldRunCount, c,
                                             [](const tables::fold_run_t& r) { return r.first; });
  if (c < run->first || c > run->last) return {{c}, 1};
  switch (run->kind) {
    case tables::FoldKind::kAlternate:
      if ((c - run->first) % 2 != 0) return {{c}, 1};
      [[fallthrough]];
    case tables::FoldKind::kEach:
      return {{static_cast<char32_t>(static_cast<std::int32_t>(c) + run->value)}, 1};
    case tables::FoldKind::kMultiple:
      break;
  }
  const tables::full_fold_t& entry = tables::kFullFolds[run->value];
  folded_t folded{{entry.to[0], entry.to[1], entry.to[2]}, 3};
  while (folded.codePoints[folded.size - 1] == 0) --folded.size;
  return folded;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto left = static_cast<unsigned char>(a[i]);
    const auto right = static_cast<unsigned char>(b[i]);
    if (foldAscii(left) != foldAscii(right)) return false;
  }
  return true;
}

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  // An ASCII unit folds to one ASCII unit, so while both texts have ASCII at
  // the same place their folded forms line up and compare unit by unit.
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] < 0x80 && b[i] < 0x80) {
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    ++i;
  }
  FoldedReader left(a.substr(i));
  FoldedReader right(b.substr(i));
  for (;;) {
    char32_t c = left.next();
    if (c != right.next()) return false;
    if (c == FoldedReader::kEnd) return true;
  }
}

}  // namespace wyx::unicode
