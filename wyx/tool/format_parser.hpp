// Classification of printf-style conversion specifiers, one at a time,
// without formatting anything. A character-class table drives the scan, so
// one routine serves any printf-like dialect; charClassTable is the one for
// the printf family.
//
// A specifier code (32 bits) says what one specifier consumes:
//   bits  0-7   attributes: 4 text/pointer reached through an address,
//               8 no size modifier allowed ("n", "p")
//   bits  8-10  argument type: 0 character/text, 1 integer, 2 floating
//               point, 3 pointer, 4 invalid
//   bits 12-13  size class 0..3 (8-bit/narrow, short, long/32-bit,
//               64-bit/long double/wide)
//   bits 16-19  character class (table entries only; 0 in returned codes)
//   bits 24-31  category: 1 passed by address, 0 by value
//
// A table whose entry for the NUL character (which the lenient scan never
// looks up) carries kTableStrict serves the strict scan instead, which
// reads whole specifiers the way a C library does (StrictFormatScanner, in
// strict_format_scanner.hpp).
#pragma once

#include <cstddef>
#include <cstdint>

namespace wyx::tool {

// The text has no further specifier.
constexpr std::uint32_t kSpecifierEnd = 0x10;
// The specifier is malformed.
constexpr std::uint32_t kSpecifierInvalid = 0x400;

constexpr std::uint32_t kAttrByAddress = 0x4;
constexpr std::uint32_t kAttrNoSize = 0x8;

enum ArgumentType : std::uint32_t {
  kArgCharacter = 0,
  kArgInteger = 1,
  kArgFloat = 2,
  kArgPointer = 3,
  kArgInvalid = 4,
};

// The fields of a code, and of a table entry, as drawn above.
constexpr std::uint32_t kAttributeMask = 0xFF;
constexpr std::uint32_t kTypeShift = 8;
constexpr std::uint32_t kTypeMask = 0x7;
constexpr std::uint32_t kSizeShift = 12;
constexpr std::uint32_t kSizeMask = 0x3;
constexpr std::uint32_t kClassShift = 16;
constexpr std::uint32_t kClassMask = 0xF;
constexpr std::uint32_t kModifierShift = 20;  // strict tables only
constexpr std::uint32_t kModifierMask = 0xF;
constexpr std::uint32_t kCategoryShift = 24;

inline std::uint32_t specifierAttributes(std::uint32_t code) { return code & kAttributeMask; }
inline std::uint32_t specifierType(std::uint32_t code) { return (code >> kTypeShift) & kTypeMask; }
inline std::uint32_t specifierSize(std::uint32_t code) { return (code >> kSizeShift) & kSizeMask; }
inline std::uint32_t specifierCategory(std::uint32_t code) { return code >> kCategoryShift; }
inline std::uint32_t characterClass(std::uint32_t entry) {
  return (entry >> kClassShift) & kClassMask;
}
// A table entry of a character class, and the code fields an entry carries.
constexpr std::uint32_t classEntry(std::uint32_t cls) { return cls << kClassShift; }
constexpr std::uint32_t codeFields(std::uint32_t type, std::uint32_t sizeClass,
                                   std::uint32_t attributes = 0, std::uint32_t category = 0) {
  return (type << kTypeShift) | (sizeClass << kSizeShift) | attributes |
         (category << kCategoryShift);
}

// Number of entries in a class table: one per 7-bit character.
constexpr std::size_t kClassTableSize = 128;

// ---- The strict scan ----
//
// Flags of a strict table, in its entry 0.
constexpr std::uint32_t kTableStrict = 0x1;
// "%<n>$" and "*<n>$" name an argument by its 1-based position.
constexpr std::uint32_t kTablePositional = 0x2;
// '*' is a flag ("assign nothing", as in scanf) and no width or precision
// may be a '*'; there is no precision, and a width may not be 0.
constexpr std::uint32_t kTableStarSuppresses = 0x4;
// An "I" without digits is a size modifier of its own (the pointer's size).
constexpr std::uint32_t kTableBareI = 0x8;

// Character classes (bits 16-19 of a table entry).
constexpr std::uint32_t kClassPercent = 1;
constexpr std::uint32_t kClassFlag = 2;
constexpr std::uint32_t kClassStar = 3;
constexpr std::uint32_t kClassSize = 4;
constexpr std::uint32_t kClassSizePrefix = 5;
constexpr std::uint32_t kClassConversion = 6;
constexpr std::uint32_t kClassScanSet = 7;
// Classes only strict tables use.
constexpr std::uint32_t kClassDigit = 8;
constexpr std::uint32_t kClassDot = 9;          // introduces the precision
constexpr std::uint32_t kClassAllocation = 10;  // scanf's "m": allocate the text

// Ids of size modifiers: bits 20-23 of a size entry of a strict table.
enum SizeModifier : std::uint32_t {
  kModNone = 0,
  kModH = 1,
  kModHH = 2,  // a doubled modifier has the id plus one
  kModL = 3,
  kModLL = 4,
  kModJ = 5,
  kModZ = 6,
  kModT = 7,
  kModBigL = 8,
  kModI32 = 9,
  kModI64 = 10,
  kModQ = 11,          // "q", a synonym of "ll" in some C libraries
  kModI = 12,          // a bare "I" (kTableBareI): the size of a pointer
  kModDecimal32 = 13,  // "H", "D" and "DD": decimal floating point
  kModDecimal64 = 14,
  kModDecimal128 = 15,
};
inline std::uint32_t sizeModifierOf(std::uint32_t entry) {
  return (entry >> kModifierShift) & kModifierMask;
}

// The printf family's table.
extern const std::uint32_t charClassTable[kClassTableSize];

class IInternalFormatParser {
 public:
  virtual ~IInternalFormatParser() = default;
  // Restarts scanning at the beginning of the text.
  virtual void reset() = 0;
  // The code of the next specifier, kSpecifierEnd when the text has ended
  // (and on every later call), kSpecifierInvalid for a malformed one.
  virtual std::uint32_t next() = 0;
  virtual const std::uint32_t* getClassTable() const = 0;
  // The beginning of the text, as a pointer to the parser's character type.
  virtual const void* getFormat() const = 0;
};

namespace detail {

// The scanner for one character type; only char is instantiated.
template <class CharT>
class InternalFormatParser final : public IInternalFormatParser {
 public:
  InternalFormatParser(const CharT* format, const std::uint32_t* classTable)
      : begin_(format), position_(format), classTable_(classTable) {}

  void reset() override { position_ = begin_; }
  std::uint32_t next() override;
  const std::uint32_t* getClassTable() const override { return classTable_; }
  const void* getFormat() const override { return begin_; }

  // The position after the last specifier looked at.
  const CharT* position() const { return position_; }

 private:
  std::uint32_t scanSizePrefix(std::uint32_t* sizeClass);
  std::uint32_t scanSet();

  const CharT* begin_;
  const CharT* position_;
  const std::uint32_t* classTable_;
  // Set after a '*' was reported, so the rescan of that specifier treats the
  // '*' as a width character and reaches the conversion.
  bool star_ = false;
};

extern template class InternalFormatParser<char>;
extern template class InternalFormatParser<wchar_t>;

}  // namespace detail

// The lenient scanner itself, for text of any character type. It scans the
// caller's text in place; text and table must outlive it.
template <class CharT>
using FormatScanner = detail::InternalFormatParser<CharT>;

// The parser users create. The scanner lives inside this object (no heap
// allocation). Without `copyFormat` the caller's NUL-terminated text is
// scanned in place and must outlive the parser; with it the text is copied
// into an owned buffer. `classTable` (128 entries) must outlive the parser.
class FormatParser {
 public:
  FormatParser(const char* format, const std::uint32_t* classTable, bool copyFormat = false);
  ~FormatParser();
  FormatParser(const FormatParser&) = delete;
  FormatParser& operator=(const FormatParser&) = delete;

  void reset() { parser_->reset(); }
  std::uint32_t next() { return parser_->next(); }
  const std::uint32_t* getClassTable() const { return parser_->getClassTable(); }
  const char* getFormat() const { return static_cast<const char*>(parser_->getFormat()); }

 private:
  using Impl = detail::InternalFormatParser<char>;

  alignas(Impl) unsigned char storage_[sizeof(Impl)];
  IInternalFormatParser* parser_;
  char* ownedFormat_ = nullptr;
  std::size_t formatSize_;  // length plus the terminating NUL
};

}  // namespace wyx::tool
