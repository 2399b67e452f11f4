#include "wyx/tool/format_parser.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
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

template <class CharT>
bool StrictFormatScanner<CharT>::next(strict_specifier_t* out) {
  for (;;) {
    while (*position_ != CharT('%')) {
      if (*position_ == CharT(0)) return false;
      ++position_;
    }
    specifier_ = position_;
    ++position_;
    if (*position_ != CharT('%')) break;
    ++position_;  // "%%" is literal text
  }
  *out = strict_specifier_t{};
  const std::uint32_t tableFlags = table_[0];
  const bool suppressing = (tableFlags & kTableStarSuppresses) != 0;
  if ((tableFlags & kTablePositional) != 0) out->position = readPosition();
  for (;;) {
    const std::uint32_t cls = classOf(*position_);
    if (cls == kClassFlag) {
      ++position_;
    } else if (cls == kClassStar && suppressing) {
      out->suppressed = true;
      ++position_;
    } else {
      break;
    }
  }
  if (suppressing) {
    // A scanf width: digits, not all of them zero.
    const CharT* digits = position_;
    bool nonzero = false;
    while (classOf(*position_) == kClassDigit) nonzero |= *position_++ != CharT('0');
    if (position_ != digits && !nonzero) return true;  // malformed: conversion stays 0
  } else {
    if (!readField(false, &out->widthStar, &out->widthPosition)) return true;
    if (classOf(*position_) == kClassDot) {
      ++position_;
      if (!readField(true, &out->precisionStar, &out->precisionPosition)) return true;
    }
  }
  if (classOf(*position_) == kClassAllocation) {
    out->allocating = true;
    ++position_;
  }
  if (!readSize(&out->modifier)) return true;
  return readConversion(out);
}

// Reads "<digits>$" with a nonzero number; returns the number (at most
// kMaxPosition) or, leaving the position alone, 0 when there is none.
template <class CharT>
std::uint32_t StrictFormatScanner<CharT>::readPosition() {
  constexpr std::uint32_t kMaxPosition = 100000;
  const CharT* at = position_;
  std::uint32_t value = 0;
  while (*at >= CharT('0') && *at <= CharT('9')) {
    value = std::min<std::uint32_t>(value * 10 + static_cast<std::uint32_t>(*at - CharT('0')),
                                    kMaxPosition);
    ++at;
  }
  if (value == 0 || *at != CharT('$')) return 0;
  position_ = at + 1;
  return value;
}

// Reads a width or precision: digits, or a '*' with an optional position.
// A width starts with a kClassDigit character (a '0' there is a flag), a
// precision with any digit. Returns false for a '*' position that is not
// one ("*0$").
template <class CharT>
bool StrictFormatScanner<CharT>::readField(bool precision, bool* star, std::uint32_t* position) {
  if (classOf(*position_) != kClassStar) {
    if (precision || classOf(*position_) == kClassDigit) {
      while (*position_ >= CharT('0') && *position_ <= CharT('9')) ++position_;
    }
    return true;
  }
  ++position_;
  *star = true;
  if ((table_[0] & kTablePositional) == 0) return true;
  *position = readPosition();
  return *position != 0 || classOf(*position_) != kClassDigit;
}

// Reads at most one size modifier; a doubled "hh" or "ll" counts as one.
// Returns false for an "I" prefix the table does not take.
template <class CharT>
bool StrictFormatScanner<CharT>::readSize(std::uint32_t* modifier) {
  const CharT c = *position_;
  const std::uint32_t entry = entryOf(c);
  const std::uint32_t cls = characterClass(entry);
  if (cls == kClassSizePrefix) {
    ++position_;
    if (position_[0] == CharT('3') && position_[1] == CharT('2')) {
      *modifier = kModI32;
    } else if (position_[0] == CharT('6') && position_[1] == CharT('4')) {
      *modifier = kModI64;
    } else {
      *modifier = kModI;
      return (table_[0] & kTableBareI) != 0;
    }
    position_ += 2;
    return true;
  }
  if (cls != kClassSize) return true;
  ++position_;
  *modifier = sizeModifierOf(entry);
  if ((c == CharT('h') || c == CharT('l') || c == CharT('D')) && *position_ == c) {
    ++position_;
    *modifier += 1;
  }
  return true;
}

template <class CharT>
bool StrictFormatScanner<CharT>::readConversion(strict_specifier_t* out) {
  const CharT c = *position_;
  const std::uint32_t entry = entryOf(c);
  const std::uint32_t cls = characterClass(entry);
  if (cls != kClassConversion && cls != kClassScanSet) {
    if (c != CharT(0)) ++position_;
    return true;
  }
  ++position_;
  if (cls == kClassScanSet) {
    // "[]...]" and "[^]...]" take the first ']' as a member.
    if (*position_ == CharT('^')) ++position_;
    if (*position_ == CharT(']')) ++position_;
    while (*position_ != CharT(']')) {
      if (*position_ == CharT(0)) return true;
      ++position_;
    }
    ++position_;
  }
  out->conversion = static_cast<std::uint32_t>(c);
  out->entry = entry;
  return true;
}

// The table entry of a character; 0 (not allowed) for NUL and for
// characters outside the table.
template <class CharT>
std::uint32_t StrictFormatScanner<CharT>::entryOf(CharT c) const {
  const auto value = static_cast<std::make_unsigned_t<CharT>>(c);
  if (value == 0 || value >= kClassTableSize) return 0;
  return table_[value];
}

template <class CharT>
std::uint32_t StrictFormatScanner<CharT>::classOf(CharT c) const {
  return characterClass(entryOf(c));
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
