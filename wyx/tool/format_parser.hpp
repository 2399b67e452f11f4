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
// Tables may switch on a stricter scan through flags in their entry for the
// NUL character, which the scan never looks up (see kTableStrict). The
// printf table has no flags and keeps the lenient scan.
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

inline std::uint32_t specifierAttributes(std::uint32_t code) { return code & 0xFF; }
inline std::uint32_t specifierType(std::uint32_t code) { return (code >> 8) & 0x7; }
inline std::uint32_t specifierSize(std::uint32_t code) { return (code >> 12) & 0x3; }
inline std::uint32_t specifierCategory(std::uint32_t code) { return code >> 24; }
inline std::uint32_t characterClass(std::uint32_t entry) { return (entry >> 16) & 0xF; }

// Number of entries in a class table: one per 7-bit character.
constexpr std::size_t kClassTableSize = 128;

// Table flags, kept in the table's entry 0.
//
// kTableStrict: the field run of a specifier must read as C reads it:
// flags, then a width (digits or '*'), then '.' and a precision (digits or
// '*'); any other order is malformed. Every '*' is reported by a call of its
// own, its code marked with kSpecifierStar. A doubled 'h' is accepted like a
// doubled 'l', "I" takes only 32 and 64, and the size modifier as written
// travels in bits 20-23 of the conversion's code (a modifier entry's own
// bits 20-23 give its id; a doubled modifier has the id plus one).
// Attribute 8 (no size allowed) is not applied: the caller judges sizes.
constexpr std::uint32_t kTableStrict = 0x1;
// With kTableStrict: "%<n>$" and "*<n>$" name the argument by its 1-based
// position, reported by argumentPosition().
constexpr std::uint32_t kTablePositional = 0x2;
// With kTableStrict: a '*' directly after the '%' (or its position) means
// "convert but assign nothing", as in scanf; it is reported with
// kSpecifierStar once, and no '*' is allowed as a width or precision.
constexpr std::uint32_t kTableStarSuppresses = 0x4;

// Marks the code of a '*' in a strict scan.
constexpr std::uint32_t kSpecifierStar = 0x4000;
// Ids of size modifiers in a strict table (bits 20-23 of entries and codes).
enum SizeModifier : std::uint32_t {
  kModNone = 0,
  kModH = 1,
  kModHH = 2,
  kModL = 3,
  kModLL = 4,
  kModJ = 5,
  kModZ = 6,
  kModT = 7,
  kModBigL = 8,
  kModI32 = 9,
  kModI64 = 10,
  kModQ = 11,  // "q", a synonym of "ll" in some C libraries
};
inline std::uint32_t specifierModifier(std::uint32_t code) { return (code >> 20) & 0xF; }

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

  void reset() override {
    position_ = begin_;
    starsReported_ = 0;
  }
  std::uint32_t next() override;
  const std::uint32_t* getClassTable() const override { return classTable_; }
  const void* getFormat() const override { return begin_; }

  // The '%' of the specifier the last next() looked at, and the position
  // after it (one past its last byte; for a malformed one, past the byte
  // that made it so). Both are the beginning before the first call.
  const CharT* specifierBegin() const { return specifier_; }
  const CharT* position() const { return position_; }
  // With kTablePositional: the 1-based argument position given for the last
  // code ("%2$d", "*3$"), 0 when none was given. Positions above 99999 are
  // reported as 100000.
  std::uint32_t argumentPosition() const { return argumentPosition_; }

 private:
  std::uint32_t nextStrict();
  bool scanField(bool precision, unsigned starsBefore, unsigned* starIndex, std::uint32_t* code);
  std::uint32_t scanPosition();
  std::uint32_t scanStrictSize(std::uint32_t* modifier, std::uint32_t* sizeClass);
  std::uint32_t classOf(CharT c) const;
  std::uint32_t scanSizePrefix(std::uint32_t* sizeClass);
  std::uint32_t scanSet();

  const CharT* begin_;
  const CharT* position_;
  const std::uint32_t* classTable_;
  // Set after a '*' was reported, so the rescan of that specifier treats the
  // '*' as a width character and reaches the conversion.
  bool star_ = false;
  // The same for a strict scan: how many '*' of the current specifier have
  // been reported.
  unsigned starsReported_ = 0;
  const CharT* specifier_ = begin_;
  std::uint32_t argumentPosition_ = 0;
};

extern template class InternalFormatParser<char>;
extern template class InternalFormatParser<wchar_t>;

}  // namespace detail

// The scanner itself, for callers that need what FormatParser does not give:
// wide text, the extent of each specifier, argument positions. It scans the
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
