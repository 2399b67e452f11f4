#include "wyx/tool/format_parser.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>

namespace wyx::tool {

namespace {

// Bits a conversion's table entry contributes to the returned code:
// attributes, argument type and category (not size, not class).
constexpr std::uint32_t kConversionMask = 0xFF0007FF;
// The star's code is reduced to its argument type and size.
constexpr std::uint32_t kTypeSizeMask = 0x3700;

constexpr std::uint32_t kRank[16] = {0, 0, 1, 1, 2, 2, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0};

}  // namespace

// Entries: class in bits 16-19, then the conversion's type, size,
// attributes and category as in a returned code. Row by row, 8 characters.
const std::uint32_t charClassTable[kClassTableSize] = {
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0x20000, 0, 0, 0x20000, 0x20000, 0x10000, 0, 0,  //   ! " # $ % & '
    0, 0, 0x32100, 0x20000, 0, 0x20000, 0x20000, 0,  // ( ) * + , - . /
    0x20000, 0x20000, 0x20000, 0x20000, 0x20000, 0x20000, 0x20000, 0x20000,  // 0 1 2 3 4 5 6 7
    0x20000, 0x20000, 0, 0, 0, 0, 0, 0,  // 8 9 : ; < = > ?
    0, 0, 0, 0x63000, 0, 0x61200, 0x20000, 0x61200,  // @ A B C D E F G
    0, 0x50000, 0, 0, 0x43000, 0, 0x20000, 0,  // H I J K L M N O
    0, 0, 0, 0x1063004, 0, 0, 0, 0,  // P Q R S T U V W
    0x62100, 0, 0, 0, 0, 0, 0, 0,  // X Y Z [ \\ ] ^ _
    0, 0, 0, 0x60000, 0x62100, 0x61200, 0x61200, 0x61200,  // ` a b c d e f g
    0x41000, 0x62100, 0, 0, 0x42000, 0, 0x1062108, 0x62100,  // h i j k l m n o
    0x106030c, 0, 0, 0x1060004, 0, 0x62100, 0, 0,  // p q r s t u v w
    0x62100, 0, 0, 0, 0, 0, 0, 0,  // x y z { | } ~ .
};

namespace detail {

template <class CharT>
std::uint32_t InternalFormatParser<CharT>::next() {
  const CharT* restart = position_;
  const bool starOnEntry = star_;
  star_ = false;

  for (;;) {
    // Literal text up to the next '%'. The position never moves past the
    // terminating NUL, so every later call lands here again.
    while (*position_ != CharT('%')) {
      if (*position_ == CharT(0)) return kSpecifierEnd;
      ++position_;
    }
    ++position_;

    std::uint32_t previousRank = 0;
    bool sizeGiven = false;
    std::uint32_t sizeClass = 0;
    CharT previous = CharT('%');
    bool literalPercent = false;
    for (;;) {
      const CharT c = *position_;
      const auto value = static_cast<std::make_unsigned_t<CharT>>(c);
      if (value == 0) return kSpecifierInvalid;
      if (value >= kClassTableSize) {
        ++position_;
        return kSpecifierInvalid;
      }
      const std::uint32_t entry = classTable_[value];
      const std::uint32_t cls = characterClass(entry);
      if (kRank[cls] < previousRank) {
        ++position_;
        return kSpecifierInvalid;
      }
      previousRank = kRank[cls];
      ++position_;

      switch (cls) {
        case kClassPercent:
          literalPercent = true;
          break;
        case kClassFlag:
          break;
        case kClassStar:
          if (!starOnEntry) {
            star_ = true;
            position_ = restart;
            return entry & kTypeSizeMask;
          }
          break;
        case kClassSize:
          if (!sizeGiven) {
            sizeGiven = true;
            sizeClass = specifierSize(entry);
          } else if (c == CharT('l') && previous == CharT('l') && sizeClass == 2) {
            sizeClass = 3;
          } else {
            return kSpecifierInvalid;
          }
          break;
        case kClassSizePrefix:
          if (scanSizePrefix(&sizeClass) != 0) return kSpecifierInvalid;
          sizeGiven = true;
          break;
        case kClassScanSet:
          if (scanSet() != 0) return kSpecifierInvalid;
          [[fallthrough]];
        case kClassConversion:
          if (sizeGiven && (entry & kAttrNoSize) != 0) return kSpecifierInvalid;
          if (!sizeGiven) sizeClass = specifierSize(entry);
          return (entry & kConversionMask) | (sizeClass << 12);
        default:
          return kSpecifierInvalid;
      }
      if (literalPercent) break;
      // The digits of an "I" prefix hide the byte before them.
      previous = (cls == kClassSizePrefix) ? CharT(0) : c;
    }
  }
}

// Reads the bit count after an 'I': 8, 16, 32 or 64. Returns nonzero when
// the number is missing or not one of those.
template <class CharT>
std::uint32_t InternalFormatParser<CharT>::scanSizePrefix(std::uint32_t* sizeClass) {
  std::uint32_t bits = 0;
  bool anyDigit = false;
  while (*position_ >= CharT('0') && *position_ <= CharT('9')) {
    // Saturate: any long digit run is simply "not one of the four".
    if (bits < 1000) bits = bits * 10 + static_cast<std::uint32_t>(*position_ - CharT('0'));
    anyDigit = true;
    ++position_;
  }
  if (!anyDigit) return 1;
  switch (bits) {
    case 8: *sizeClass = 0; return 0;
    case 16: *sizeClass = 1; return 0;
    case 32: *sizeClass = 2; return 0;
    case 64: *sizeClass = 3; return 0;
    default: return 1;
  }
}

// Skips a scan set "[^]...]" after its '['. Returns nonzero when the text
// ends before the closing ']'.
template <class CharT>
std::uint32_t InternalFormatParser<CharT>::scanSet() {
  if (*position_ == CharT('^')) ++position_;
  if (*position_ == CharT(']')) ++position_;
  while (*position_ != CharT(']')) {
    if (*position_ == CharT(0)) return 1;
    ++position_;
  }
  ++position_;
  return 0;
}

template class InternalFormatParser<char>;
template class InternalFormatParser<wchar_t>;

}  // namespace detail

namespace {

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
void readSpecifier(cursor_t<CharT>& cursor, strict_specifier_t* out) {
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

}  // namespace

// The next '%' at or after `at`, or the terminating NUL. Short stretches of
// text are passed over here, long ones by the C library's search.
template <class CharT>
const CharT* findPercent(const CharT* at, const CharT* end) {
  constexpr int kByHand = 16;
  if (end != nullptr) {
    for (int i = 0; i < kByHand; ++i, ++at) {
      if (at == end || *at == CharT('%')) return at;
    }
    const CharT* found = std::char_traits<CharT>::find(at, static_cast<std::size_t>(end - at),
                                                       CharT('%'));
    return found != nullptr ? found : end;
  }
  while (*at != CharT('%') && *at != CharT(0)) ++at;
  return at;
}

template <class CharT>
bool StrictFormatScanner<CharT>::next(strict_specifier_t* out) {
  const CharT* at = position_;
  for (;;) {
    at = findPercent(at, end_);
    if (*at == CharT(0)) {
      position_ = at;
      return false;
    }
    if (at[1] != CharT('%')) break;
    at += 2;  // "%%" is literal text
  }
  specifier_ = at;
  *out = strict_specifier_t{};
  cursor_t<CharT> cursor{at + 1, table_};
  // Most specifiers are a bare conversion ("%d", "%s").
  const std::uint32_t entry = cursor.entry();
  if (characterClass(entry) == kClassConversion) {
    out->conversion = static_cast<std::uint32_t>(*cursor.at);
    out->entry = entry;
    out->plain = true;
    position_ = cursor.at + 1;
    return true;
  }
  readSpecifier(cursor, out);
  position_ = cursor.at;
  return true;
}

template class StrictFormatScanner<char>;
template class StrictFormatScanner<wchar_t>;

FormatParser::FormatParser(const char* format, const std::uint32_t* classTable, bool copyFormat)
    : formatSize_(std::strlen(format) + 1) {
  const char* text = format;
  if (copyFormat) {
    ownedFormat_ = static_cast<char*>(std::malloc(formatSize_));
    if (ownedFormat_ == nullptr) throw std::bad_alloc();
    std::memcpy(ownedFormat_, format, formatSize_);
    text = ownedFormat_;
  }
  parser_ = new (storage_) Impl(text, classTable);
}

FormatParser::~FormatParser() {
  static_cast<Impl*>(parser_)->~Impl();
  std::free(ownedFormat_);
}

}  // namespace wyx::tool
