// The strict scan of printf-style specifiers: one whole specifier at a time,
// read as a C library reads it, over a table flagged kTableStrict. Defined
// here in full because a checker's loop calls it for every specifier and
// gains most when it is inlined there.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include "wyx/tool/format_parser.hpp"

namespace wyx::tool {

// One specifier as the strict scan read it.
struct strict_specifier_t {
  std::uint32_t conversion;         // the conversion character ('[' for a scan set);
                                    // 0 when the specifier is malformed
  std::uint32_t entry;              // the conversion's table entry
  std::uint32_t modifier;           // SizeModifier as written
  std::uint32_t position;           // "%<n>$": the conversion's argument, 0 for none
  std::uint32_t widthPosition;      // "*<n>$" of a '*' width, 0 for none
  std::uint32_t precisionPosition;  // the same for a '*' precision
  bool widthStar;
  bool precisionStar;
  bool suppressed;  // the '*' flag of kTableStarSuppresses
  bool allocating;  // kClassAllocation was given
  bool plain;       // none of the above: no position, star, suppression or
                    // allocation
};

// The strict scan over a table flagged kTableStrict: reads one specifier at
// a time in the order C gives it,
//   '%' [position '$'] flags [width] ['.' [precision]] ['m'] [size] conversion
// with width and precision each digits or '*' [position '$']. Flags are the
// table's kClassFlag characters, in any order and number; the table decides
// which characters are sizes and conversions. Text and table must outlive
// the scanner.
template <class CharT>
class StrictFormatScanner {
 public:
  StrictFormatScanner(const CharT* format, const std::uint32_t* table)
      : position_(format), end_(nullptr), table_(table) {}
  // The same for a text whose terminating NUL is at `end`, which spares
  // the scanner a test of every character of literal text.
  StrictFormatScanner(const CharT* format, const CharT* end, const std::uint32_t* table)
      : position_(format), end_(end), table_(table) {}

  // Reads the next specifier into *out; false when the text has no further
  // one. "%%" is text.
  bool next(strict_specifier_t* out);
  // The '%' of the last specifier read, and the position after it (for a
  // malformed one, after the character that made it so).
  const CharT* specifierBegin() const { return specifier_; }
  const CharT* position() const { return position_; }

 private:
  const CharT* position_;
  const CharT* end_;  // null when not known
  const CharT* specifier_ = position_;
  const std::uint32_t* table_;
};

namespace detail {

// The strict scan's steps work on a cursor of their own, which the compiler
// keeps in a register; the scanner stores it once per specifier.
template <class CharT>
struct cursor_t {
  const CharT* at;
  const std::uint32_t* table;

  // The table entry of the current character; 0 (not allowed) for NUL and
  // for characters outside the table.
  std::uint32_t entry() const {
    const auto value = static_cast<std::make_unsigned_t<CharT>>(*at);
    return value < kClassTableSize ? table[value] : 0;  // table[0] is never a class
  }
  std::uint32_t cls() const { return characterClass(entry()); }
  bool digit() const { return *at >= CharT('0') && *at <= CharT('9'); }

  // "<digits>$" with a nonzero number: the number (at most kMaxPosition);
  // otherwise 0, and the cursor stays.
  std::uint32_t position() {
    constexpr std::uint32_t kMaxPosition = 100000;
    const CharT* p = at;
    std::uint32_t value = 0;
    while (*p >= CharT('0') && *p <= CharT('9')) {
      value = std::min<std::uint32_t>(value * 10 + static_cast<std::uint32_t>(*p - CharT('0')),
                                      kMaxPosition);
      ++p;
    }
    if (value == 0 || *p != CharT('$')) return 0;
    at = p + 1;
    return value;
  }

  // A width or precision: digits, or a '*' with an optional position. A
  // width starts with a kClassDigit character (a '0' there is a flag), a
  // precision with any digit. False for a '*' position that is none ("*0$").
  bool field(bool precision, bool* star, std::uint32_t* starPosition) {
    if (cls() != kClassStar) {
      if (precision || cls() == kClassDigit) {
        while (digit()) ++at;
      }
      return true;
    }
    ++at;
    *star = true;
    if ((table[0] & kTablePositional) == 0) return true;
    *starPosition = position();
    return *starPosition != 0 || cls() != kClassDigit;
  }

  // At most one size modifier; a doubled "hh", "ll" or "DD" counts as one.
  // False for an "I" prefix the table does not take.
  bool size(std::uint32_t* modifier) {
    const CharT c = *at;
    const std::uint32_t e = entry();
    if (characterClass(e) == kClassSizePrefix) {
      ++at;
      if (at[0] == CharT('3') && at[1] == CharT('2')) {
        *modifier = kModI32;
      } else if (at[0] == CharT('6') && at[1] == CharT('4')) {
        *modifier = kModI64;
      } else {
        *modifier = kModI;
        return (table[0] & kTableBareI) != 0;
      }
      at += 2;
      return true;
    }
    if (characterClass(e) != kClassSize) return true;
    ++at;
    *modifier = sizeModifierOf(e);
    if ((c == CharT('h') || c == CharT('l') || c == CharT('D')) && *at == c) {
      ++at;
      *modifier += 1;
    }
    return true;
  }

  // The conversion, and a scan set's members up to its ']'.
  void conversion(strict_specifier_t* out) {
    const CharT c = *at;
    const std::uint32_t e = entry();
    const std::uint32_t kind = characterClass(e);
    if (kind != kClassConversion && kind != kClassScanSet) {
      if (c != CharT(0)) ++at;
      return;
    }
    ++at;
    if (kind == kClassScanSet) {
      // "[]...]" and "[^]...]" take the first ']' as a member.
      if (*at == CharT('^')) ++at;
      if (*at == CharT(']')) ++at;
      while (*at != CharT(']')) {
        if (*at == CharT(0)) return;
        ++at;
      }
      ++at;
    }
    out->conversion = static_cast<std::uint32_t>(c);
    out->entry = e;
  }
};

// Reads what follows the '%'; a malformed specifier leaves out->conversion 0.
template <class CharT>
inline void readSpecifier(cursor_t<CharT>& cursor, strict_specifier_t* out) {
  const std::uint32_t tableFlags = cursor.table[0];
  const bool suppressing = (tableFlags & kTableStarSuppresses) != 0;
  if ((tableFlags & kTablePositional) != 0) out->position = cursor.position();
  for (;;) {
    const std::uint32_t cls = cursor.cls();
    if (cls == kClassFlag) {
      ++cursor.at;
    } else if (cls == kClassStar && suppressing) {
      out->suppressed = true;
      ++cursor.at;
    } else {
      break;
    }
  }
  if (suppressing) {
    // A scanf width: digits, not all of them zero.
    const CharT* digits = cursor.at;
    bool nonzero = false;
    while (cursor.digit()) nonzero |= *cursor.at++ != CharT('0');
    if (cursor.at != digits && !nonzero) return;
  } else {
    if (!cursor.field(false, &out->widthStar, &out->widthPosition)) return;
    if (cursor.cls() == kClassDot) {
      ++cursor.at;
      if (!cursor.field(true, &out->precisionStar, &out->precisionPosition)) return;
    }
  }
  if (cursor.cls() == kClassAllocation) {
    out->allocating = true;
    ++cursor.at;
  }
  if (!cursor.size(&out->modifier)) return;
  cursor.conversion(out);
  out->plain = out->position == 0 && !out->widthStar && !out->precisionStar && !out->suppressed &&
               !out->allocating;
}

// The next '%' at or after `at`, or the terminating NUL. Short stretches of
// text are passed over here, long ones by the C library's search.
template <class CharT>
inline const CharT* findPercent(const CharT* at, const CharT* end) {
  constexpr int kByHand = 16;
  if (end != nullptr) {
    for (int i = 0; i < kByHand; ++i, ++at) {
      if (at == end || *at == CharT('%')) return at;
    }
    const CharT* found =
        std::char_traits<CharT>::find(at, static_cast<std::size_t>(end - at), CharT('%'));
    return found != nullptr ? found : end;
  }
  while (*at != CharT('%') && *at != CharT(0)) ++at;
  return at;
}

}  // namespace detail

template <class CharT>
inline bool StrictFormatScanner<CharT>::next(strict_specifier_t* out) {
  const CharT* at = position_;
  for (;;) {
    at = detail::findPercent(at, end_);
    if (*at == CharT(0)) {
      position_ = at;
      return false;
    }
    if (at[1] != CharT('%')) break;
    at += 2;  // "%%" is literal text
  }
  specifier_ = at;
  *out = strict_specifier_t{};
  detail::cursor_t<CharT> cursor{at + 1, table_};
  // Most specifiers are a bare conversion ("%d", "%s").
  const std::uint32_t entry = cursor.entry();
  if (characterClass(entry) == kClassConversion) {
    out->conversion = static_cast<std::uint32_t>(*cursor.at);
    out->entry = entry;
    out->plain = true;
    position_ = cursor.at + 1;
    return true;
  }
  detail::readSpecifier(cursor, out);
  position_ = cursor.at;
  return true;
}

}  // namespace wyx::tool
