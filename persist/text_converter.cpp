#include "persist/text_converter.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "persist/binary_format.hpp"
#include "persist/messages.hpp"
#include "persist/text_parser.hpp"
#include "wyx/io/stream.hpp"
#include "wyx/oo/exception.hpp"
#include "wyx/oo/safecall.hpp"
#include "wyx/unicode/unicode.hpp"

namespace persist {

namespace {

static_assert(std::numeric_limits<long double>::digits == 64 && sizeof(long double) >= 10,
              "tag 5 needs the x87 80-bit extended format as long double");

// Output is collected here and handed to the stream in pieces of this size.
constexpr std::size_t kFlushSize = 64 * 1024;

class Converter {
 public:
  Converter(wyx::io::IStream& input, wyx::io::IStream& output)
      : parser_(input), output_(output) {}

  void run() {
    out_.append(kSignature, kSignatureSize);
    convertObject();
    flush();
  }

 private:
  // Counts one level of objects, lists and collections for its lifetime.
  class Nesting {
   public:
    explicit Nesting(Converter& c) : c_(c) {
      if (++c_.depth_ > kMaxNesting) c_.parser_.fail(msg::kNestingTooDeep);
    }
    ~Nesting() { --c_.depth_; }

   private:
    Converter& c_;
  };

  void flush() {
    if (out_.empty()) return;
    wyx::oo::checkStatus(output_.writeBuffer(out_.data(), static_cast<std::uint32_t>(out_.size())));
    out_.clear();
  }
  void flushIfFull() {
    if (out_.size() >= kFlushSize) flush();
  }

  bool atObjectKeyword() const {
    return parser_.isKeyword("OBJECT") || parser_.isKeyword("INHERITED") ||
           parser_.isKeyword("INLINE");
  }

  void convertObject();
  void convertHeader(std::uint8_t flags);
  void convertProperty();
  void convertValue(bool inList = false);
  void convertStringValue();
  void convertIdentifierValue(bool inList);
  void convertFloat();
  void convertList();
  void convertSet();
  void convertSetElement();
  void convertCollection();
  void convertBinary();
  std::int64_t readOrderPosition();

  void putInteger(std::int64_t value);
  void putString(const wyx::UnicodeString& value);
  [[noreturn]] void failFloat() const { parser_.failInvalidFloat(); }

  OptionsTextParser parser_;
  wyx::io::IStream& output_;
  std::string out_;
  int depth_ = 0;
};

void Converter::convertObject() {
  Nesting nesting(*this);
  std::uint8_t flags = 0;
  if (parser_.isKeyword("INHERITED")) {
    flags = kPrefixInherited;
  } else if (parser_.isKeyword("INLINE")) {
    flags = kPrefixInline;
  } else if (!parser_.isKeyword("OBJECT")) {
    parser_.fail(wyx::toUtf8(wyx::oo::formatMessage(msg::kExpected, "OBJECT")));
  }
  parser_.next();
  convertHeader(flags);
  while (!atObjectKeyword() && !parser_.isKeyword("END")) convertProperty();
  putFixed8(&out_, kEndMarker);
  while (!parser_.isKeyword("END")) convertObject();
  putFixed8(&out_, kEndMarker);
  parser_.next();  // END, and one further token that is otherwise ignored
}

// "name: Class [position]" or "Class [position]".
void Converter::convertHeader(std::uint8_t flags) {
  parser_.requireIdentifier();
  std::string className = parser_.text();
  std::string objectName;
  parser_.next();
  if (parser_.isChar(':')) {
    parser_.next();
    parser_.requireIdentifier();
    objectName = std::move(className);
    className = parser_.text();
    parser_.next();
  }
  bool hasPosition = parser_.isChar('[');
  std::int64_t position = hasPosition ? readOrderPosition() : 0;
  if (hasPosition) flags |= kPrefixHasPosition;
  // A class name of kPrefixMarker bytes or more starts with a length byte
  // that the reader would take for a prefix; a prefix without flags in front
  // of it keeps the two apart.
  bool lengthLooksLikePrefix = std::min<std::size_t>(className.size(), kMaxShortText) >= kPrefixMarker;
  if (flags != 0 || lengthLooksLikePrefix) {
    putFixed8(&out_, kPrefixMarker | flags);
    if (hasPosition) putInteger(position);
  }
  putShortText(&out_, className);
  putShortText(&out_, objectName);
}

// "[" integer "]", starting at the "[".
std::int64_t Converter::readOrderPosition() {
  parser_.next();
  if (parser_.kind() != TokenKind::kInteger) parser_.fail(msg::kNumberExpected);
  std::int64_t position = parser_.integerValue();
  parser_.next();
  parser_.requireChar(']');
  parser_.next();
  return position;
}

void Converter::convertProperty() {
  parser_.requireIdentifier();
  std::string path = parser_.text();
  parser_.next();
  while (parser_.isChar('.')) {
    parser_.next();
    parser_.requireIdentifier();
    path += '.';
    path += parser_.text();
    parser_.next();
  }
  putShortText(&out_, path);
  parser_.requireChar('=');
  parser_.next();
  convertValue();
  flushIfFull();
}

void Converter::convertValue(bool inList) {
  switch (parser_.kind()) {
    case TokenKind::kString:
    case TokenKind::kWideString:
      return convertStringValue();
    case TokenKind::kIdentifier:
      return convertIdentifierValue(inList);
    case TokenKind::kInteger:
      putInteger(parser_.integerValue());
      parser_.next();
      return;
    case TokenKind::kFloat:
      convertFloat();
      parser_.next();
      return;
    case TokenKind::kChar:
      if (parser_.isChar('(')) return convertList();
      if (parser_.isChar('[')) return convertSet();
      if (parser_.isChar('<')) return convertCollection();
      if (parser_.isChar('{')) return convertBinary();
      break;
    case TokenKind::kEndOfFile:
      break;
  }
  parser_.fail(msg::kInvalidPropertyValue);
}

void Converter::convertStringValue() {
  wyx::UnicodeString value = parser_.stringValue();
  parser_.next();
  while (parser_.isChar('+')) {
    parser_.next();
    if (parser_.kind() != TokenKind::kString && parser_.kind() != TokenKind::kWideString) {
      parser_.fail(msg::kStringExpected);
    }
    value += parser_.stringValue();
    parser_.next();
  }
  putString(value);
}

// Null is the same byte that ends a list, so inside a list it cannot be
// written without cutting the list short: it is refused where it stands.
void Converter::convertIdentifierValue(bool inList) {
  const int line = parser_.line();
  std::string name = parser_.readIdentifierValue();
  if (wyx::unicode::equalsIgnoringAsciiCase(name, "False")) {
    putTag(&out_, ValueTag::kFalse);
  } else if (wyx::unicode::equalsIgnoringAsciiCase(name, "True")) {
    putTag(&out_, ValueTag::kTrue);
  } else if (wyx::unicode::equalsIgnoringAsciiCase(name, "Null")) {
    if (inList) parser_.failAt(msg::kInvalidPropertyValue, line);
    putTag(&out_, ValueTag::kNull);
  } else if (wyx::unicode::equalsIgnoringAsciiCase(name, "nil")) {
    putTag(&out_, ValueTag::kNil);
  } else {
    putTag(&out_, ValueTag::kIdent);
    putShortText(&out_, name);
  }
}

// The type letter picks the tag; a value that the target type cannot hold
// is refused like any other malformed number.
void Converter::convertFloat() {
  long double value = parser_.floatValue();
  switch (parser_.floatType()) {
    case 'S': {
      auto single = static_cast<float>(value);
      if (!std::isfinite(single)) failFloat();
      std::uint32_t bits;
      std::memcpy(&bits, &single, sizeof bits);
      putTag(&out_, ValueTag::kSingle);
      putFixed32(&out_, bits);
      return;
    }
    case 'C': {
      // The default rounding mode rounds ties to the even neighbour.
      long double rounded = std::nearbyint(value);
      constexpr long double kLimit = 9223372036854775808.0L;  // 2^63
      if (!(rounded >= -kLimit && rounded < kLimit)) failFloat();
      putTag(&out_, ValueTag::kCurrency);
      putFixed64(&out_, static_cast<std::uint64_t>(static_cast<std::int64_t>(rounded)));
      return;
    }
    case 'D': {
      auto date = static_cast<double>(value);
      if (!std::isfinite(date)) failFloat();
      std::uint64_t bits;
      std::memcpy(&bits, &date, sizeof bits);
      putTag(&out_, ValueTag::kDate);
      putFixed64(&out_, bits);
      return;
    }
    default: {
      // long double is the x87 format here; its first ten bytes are the
      // value (significand, then sign and exponent) in little-endian order.
      char bytes[sizeof(long double)];
      std::memcpy(bytes, &value, sizeof value);
      putTag(&out_, ValueTag::kExtended);
      out_.append(bytes, kExtendedSize);
      return;
    }
  }
}

void Converter::convertList() {
  Nesting nesting(*this);
  putTag(&out_, ValueTag::kList);
  parser_.next();
  while (!parser_.isChar(')')) convertValue(true);
  parser_.next();
  putFixed8(&out_, kEndMarker);
}

void Converter::convertSet() {
  putTag(&out_, ValueTag::kSet);
  parser_.next();
  if (!parser_.isChar(']')) {
    for (;;) {
      convertSetElement();
      parser_.next();
      if (parser_.isChar(']')) break;
      parser_.requireChar(',');
      parser_.next();
    }
  }
  parser_.next();
  putFixed8(&out_, 0);  // the empty name that ends the set
}

// Elements are written in the default code page: identifiers as written,
// integers as written, strings as "#" and the code of their first byte.
void Converter::convertSetElement() {
  std::string element;
  switch (parser_.kind()) {
    case TokenKind::kIdentifier:
      element = wyx::toNarrowString(wyx::fromUtf8(parser_.text()), wyx::kCodePageAnsi);
      break;
    case TokenKind::kInteger:
      element = parser_.text();
      break;
    case TokenKind::kString:
    case TokenKind::kWideString: {
      std::string bytes = wyx::toNarrowString(parser_.stringValue(), wyx::kCodePageAnsi);
      element = "#" + std::to_string(bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]));
      break;
    }
    default:
      parser_.fail(msg::kIdentifierExpected);
  }
  putShortText(&out_, element);
}

void Converter::convertCollection() {
  Nesting nesting(*this);
  putTag(&out_, ValueTag::kCollection);
  parser_.next();
  while (!parser_.isChar('>')) {
    if (!parser_.isKeyword("item")) {
      parser_.fail(wyx::toUtf8(wyx::oo::formatMessage(msg::kExpected, "item")));
    }
    parser_.next();
    if (parser_.isChar('[')) putInteger(readOrderPosition());
    putFixed8(&out_, kItemMarker);
    while (!parser_.isKeyword("end")) convertProperty();
    parser_.next();
    putFixed8(&out_, kEndMarker);
  }
  parser_.next();
  putFixed8(&out_, kEndMarker);
}

void Converter::convertBinary() {
  std::string bytes;
  parser_.readBinary(&bytes);
  putTag(&out_, ValueTag::kBinary);
  putFixed32(&out_, static_cast<std::uint32_t>(bytes.size()));
  out_ += bytes;
}

void Converter::putInteger(std::int64_t value) {
  if (value >= INT8_MIN && value <= INT8_MAX) {
    putTag(&out_, ValueTag::kInt8);
    putFixed8(&out_, static_cast<std::uint8_t>(value));
  } else if (value >= INT16_MIN && value <= INT16_MAX) {
    putTag(&out_, ValueTag::kInt16);
    putFixed16(&out_, static_cast<std::uint16_t>(value));
  } else if (value >= INT32_MIN && value <= INT32_MAX) {
    putTag(&out_, ValueTag::kInt32);
    putFixed32(&out_, static_cast<std::uint32_t>(value));
  } else {
    putTag(&out_, ValueTag::kInt64);
    putFixed64(&out_, static_cast<std::uint64_t>(value));
  }
}

// The narrowest faithful form: text that reads the same in the default code
// page and in UTF-8 goes as code-page bytes; text that UTF-8 holds in fewer
// than two bytes per unit goes as UTF-8; anything else as UTF-16.
void Converter::putString(const wyx::UnicodeString& value) {
  std::string utf8 = wyx::toUtf8(value);
  if (utf8.size() >= 2 * value.size()) {
    putTag(&out_, ValueTag::kWideString);
    putFixed32(&out_, static_cast<std::uint32_t>(value.size()));
    for (char16_t unit : value) putFixed16(&out_, unit);
  } else if (wyx::toNarrowString(value, wyx::kCodePageAnsi) != utf8) {
    putTag(&out_, ValueTag::kUtf8String);
    putFixed32(&out_, static_cast<std::uint32_t>(utf8.size()));
    out_ += utf8;
  } else if (utf8.size() <= kMaxShortText) {
    putTag(&out_, ValueTag::kString);
    putShortText(&out_, utf8);
  } else {
    putTag(&out_, ValueTag::kLongString);
    putFixed32(&out_, static_cast<std::uint32_t>(utf8.size()));
    out_ += utf8;
  }
}

}  // namespace

void convertOptionsTextToBinary(wyx::io::IStream& input, wyx::io::IStream& output) {
  Converter(input, output).run();
}

}  // namespace persist
