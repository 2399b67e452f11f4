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

namespace {

// The printf family's entries, from the fields of a code.
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kFlag = classEntry(kClassFlag);
constexpr std::uint32_t kPct = classEntry(kClassPercent);
constexpr std::uint32_t kStar = classEntry(kClassStar) | codeFields(kArgInteger, 2);
constexpr std::uint32_t kPrefix = classEntry(kClassSizePrefix);
constexpr std::uint32_t sizeOf(std::uint32_t sizeClass) {
  return classEntry(kClassSize) | codeFields(kArgCharacter, sizeClass);
}
constexpr std::uint32_t conversion(ArgumentType type, std::uint32_t sizeClass,
                                   std::uint32_t attributes = 0, std::uint32_t category = 0) {
  return classEntry(kClassConversion) | codeFields(type, sizeClass, attributes, category);
}
constexpr std::uint32_t kInt = conversion(kArgInteger, 2);
constexpr std::uint32_t kReal = conversion(kArgFloat, 1);
constexpr std::uint32_t kChar = conversion(kArgCharacter, 0);
constexpr std::uint32_t kWideChar = conversion(kArgCharacter, 3);
constexpr std::uint32_t kText = conversion(kArgCharacter, 0, kAttrByAddress, 1);
constexpr std::uint32_t kWideText = conversion(kArgCharacter, 3, kAttrByAddress, 1);
constexpr std::uint32_t kCount = conversion(kArgInteger, 2, kAttrNoSize, 1);
constexpr std::uint32_t kPtr = conversion(kArgPointer, 0, kAttrByAddress | kAttrNoSize, 1);
constexpr std::uint32_t kH = sizeOf(1);
constexpr std::uint32_t kL = sizeOf(2);
constexpr std::uint32_t kBigL = sizeOf(3);

}  // namespace

// Row by row, 8 characters; "F" and "N" are flags, which formatValue drops.
// clang-format off
const std::uint32_t charClassTable[kClassTableSize] = {
    kNone,  kNone,  kNone,  kNone,     kNone,  kNone,  kNone,  kNone,
    kNone,  kNone,  kNone,  kNone,     kNone,  kNone,  kNone,  kNone,
    kNone,  kNone,  kNone,  kNone,     kNone,  kNone,  kNone,  kNone,
    kNone,  kNone,  kNone,  kNone,     kNone,  kNone,  kNone,  kNone,
    kFlag,  kNone,  kNone,  kFlag,     kFlag,  kPct,   kNone,  kNone,   //   ! " # $ % & '
    kNone,  kNone,  kStar,  kFlag,     kNone,  kFlag,  kFlag,  kNone,   // ( ) * + , - . /
    kFlag,  kFlag,  kFlag,  kFlag,     kFlag,  kFlag,  kFlag,  kFlag,   // 0 1 2 3 4 5 6 7
    kFlag,  kFlag,  kNone,  kNone,     kNone,  kNone,  kNone,  kNone,   // 8 9 : ; < = > ?
    kNone,  kNone,  kNone,  kWideChar, kNone,  kReal,  kFlag,  kReal,   // @ A B C D E F G
    kNone,  kPrefix, kNone, kNone,     kBigL,  kNone,  kFlag,  kNone,   // H I J K L M N O
    kNone,  kNone,  kNone,  kWideText, kNone,  kNone,  kNone,  kNone,   // P Q R S T U V W
    kInt,   kNone,  kNone,  kNone,     kNone,  kNone,  kNone,  kNone,   // X Y Z [ \ ] ^ _
    kNone,  kNone,  kNone,  kChar,     kInt,   kReal,  kReal,  kReal,   // ` a b c d e f g
    kH,     kInt,   kNone,  kNone,     kL,     kNone,  kCount, kInt,    // h i j k l m n o
    kPtr,   kNone,  kNone,  kText,     kNone,  kInt,   kNone,  kNone,   // p q r s t u v w
    kInt,   kNone,  kNone,  kNone,     kNone,  kNone,  kNone,  kNone,   // x y z { | } ~ .
};
// clang-format on

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
    case 8:
      *sizeClass = 0;
      return 0;
    case 16:
      *sizeClass = 1;
      return 0;
    case 32:
      *sizeClass = 2;
      return 0;
    case 64:
      *sizeClass = 3;
      return 0;
    default:
      return 1;
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
