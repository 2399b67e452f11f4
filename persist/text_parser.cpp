#include "persist/text_parser.hpp"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "persist/messages.hpp"
#include "wyx/io/stream.hpp"
#include "wyx/oo/exception.hpp"
#include "wyx/unicode/unicode.hpp"

namespace persist {

namespace {

bool isAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(unsigned char c) {
  return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
int hexValue(unsigned char c) {
  if (isDigit(c)) return c - '0';
  return (c | 0x20) - 'a' + 10;
}
// The characters that continue a number after its leading digits.
bool isNumberTail(unsigned char c) {
  return isDigit(c) || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e';
}
bool isFloatTypeLetter(unsigned char c) {
  switch (c | 0x20) {
    case 's':
    case 'c':
    case 'd':
    case 'f':
      return true;
    default:
      return false;
  }
}

}  // namespace

OptionsTextParser::OptionsTextParser(wyx::io::IStream& source) : source_(source) {
  readMore();
  checkByteOrderMark();
  cutWindow();
  next();
}

void OptionsTextParser::fail(const std::string& message) const { failAt(message, tokenLine_); }

void OptionsTextParser::failAt(const std::string& message, int line) const {
  throw wyx::oo::EParserError(wyx::oo::formatMessage(msg::kAtLine, message, line));
}

// Moves the bytes after the window to the front and fills the rest of the
// buffer from the source. A zero byte ends the text for good.
void OptionsTextParser::readMore() {
  std::memmove(buffer_, buffer_ + end_, fill_ - end_);
  fill_ -= end_;
  pos_ = end_ = 0;
  while (!sourceDone_ && fill_ < kWindowSize) {
    std::uint32_t n = source_.read(buffer_ + fill_, kWindowSize - fill_);
    if (n == 0) {
      sourceDone_ = true;
      break;
    }
    if (const void* zero = std::memchr(buffer_ + fill_, 0, n)) {
      fill_ = static_cast<std::uint32_t>(static_cast<const char*>(zero) - buffer_);
      sourceDone_ = true;
      break;
    }
    fill_ += n;
  }
}

// A full buffer is cut after its last line feed; the cut-off rest of the
// unfinished line waits for the next readMore. A line feed in the first byte
// counts too: the window is then one empty line, and the line after it gets
// a whole window of its own.
void OptionsTextParser::cutWindow() {
  end_ = fill_;
  if (fill_ < kWindowSize) return;
  std::uint32_t lastFeed = fill_;
  while (lastFeed > 0 && buffer_[lastFeed - 1] != '\n') --lastFeed;
  if (lastFeed == 0) failAt(msg::kLineTooLong, line_);
  end_ = lastFeed;
}

void OptionsTextParser::checkByteOrderMark() {
  auto byte = [this](std::uint32_t i) { return static_cast<unsigned char>(buffer_[i]); };
  if (fill_ >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
    utf8_ = true;
    pos_ = 3;
  } else if (fill_ >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) {
    failAt(msg::kEncodingExpected, 1);
  }
}

bool OptionsTextParser::atEndOfText() {
  while (pos_ == end_) {
    if (end_ == fill_ && sourceDone_) return true;
    readMore();
    cutWindow();
  }
  return false;
}

void OptionsTextParser::skipBlanks() {
  while (!atEndOfText()) {
    unsigned char c = static_cast<unsigned char>(buffer_[pos_]);
    if (c > ' ') return;
    if (c == '\n') ++line_;
    ++pos_;
  }
}

int OptionsTextParser::identifierStartLength() const {
  unsigned char c = static_cast<unsigned char>(buffer_[pos_]);
  if (isAsciiLetter(c) || c == '_') return 1;
  if (!utf8_ || c < 0x80) return 0;
  std::size_t i = pos_;
  char32_t cp = wyx::unicode::nextUtf8(reinterpret_cast<const std::uint8_t*>(buffer_), i, end_);
  return wyx::unicode::isIdentifierStart(cp) ? static_cast<int>(i - pos_) : 0;
}

int OptionsTextParser::identifierPartLength() const {
  unsigned char c = static_cast<unsigned char>(buffer_[pos_]);
  if (isAsciiLetter(c) || isDigit(c) || c == '_') return 1;
  if (!utf8_ || c < 0x80) return 0;
  std::size_t i = pos_;
  char32_t cp = wyx::unicode::nextUtf8(reinterpret_cast<const std::uint8_t*>(buffer_), i, end_);
  return wyx::unicode::isIdentifierPart(cp) ? static_cast<int>(i - pos_) : 0;
}

TokenKind OptionsTextParser::next() {
  skipBlanks();
  tokenLine_ = line_;
  text_.clear();
  floatType_ = 0;
  stringValue_.clear();
  if (atEndOfText()) return kind_ = TokenKind::kEndOfFile;

  unsigned char c = static_cast<unsigned char>(buffer_[pos_]);
  if (identifierStartLength() > 0) {
    scanIdentifier();
  } else if (c == '\'' || c == '#') {
    scanString();
  } else if (c == '$') {
    scanHexNumber();
  } else if (c == '-' || isDigit(c)) {
    scanNumber();
  } else {
    text_.assign(1, static_cast<char>(c));
    ++pos_;
    kind_ = TokenKind::kChar;
  }
  return kind_;
}

void OptionsTextParser::scanIdentifier() {
  std::uint32_t start = pos_;
  pos_ += identifierStartLength();
  while (pos_ < end_) {
    int n = identifierPartLength();
    if (n == 0) break;
    pos_ += n;
  }
  text_.append(buffer_ + start, pos_ - start);
  kind_ = TokenKind::kIdentifier;
}

// A string token is a run of quoted pieces and "#" codes. Both forms of the
// value are collected side by side: the bytes (decoded with the file's
// encoding at the end) and the 16-bit units of a wide string.
void OptionsTextParser::scanString() {
  std::uint32_t start = pos_;
  std::string bytes;
  wyx::UnicodeString units;
  bool wide = false;
  while (pos_ < end_) {
    char c = buffer_[pos_];
    if (c == '\'') {
      scanQuotedPiece(&bytes, &units);
    } else if (c == '#') {
      ++pos_;
      // The low 16 bits survive arithmetic modulo 2^32; `big` remembers a
      // code that no longer fits a byte.
      std::uint32_t code = 0;
      bool big = false;
      while (pos_ < end_ && isDigit(static_cast<unsigned char>(buffer_[pos_]))) {
        code = code * 10 + static_cast<std::uint32_t>(buffer_[pos_] - '0');
        if (code >= 128) big = true;
        ++pos_;
      }
      wide = wide || big;
      bytes.push_back(static_cast<char>(code & 0xFF));
      units.push_back(static_cast<char16_t>(code & 0xFFFF));
    } else {
      break;
    }
  }
  text_.append(buffer_ + start, pos_ - start);
  if (wide) {
    stringValue_ = std::move(units);
    kind_ = TokenKind::kWideString;
  } else {
    stringValue_ = wyx::toWideString(bytes, utf8_ ? wyx::kCodePageUtf8 : wyx::kCodePageAnsi);
    kind_ = TokenKind::kString;
  }
}

void OptionsTextParser::scanQuotedPiece(std::string* bytes, wyx::UnicodeString* units) {
  ++pos_;  // the opening quote
  for (;;) {
    if (pos_ == end_ || buffer_[pos_] == '\n') failAt(msg::kInvalidString, line_);
    char c = buffer_[pos_++];
    if (c == '\'') {
      if (pos_ == end_ || buffer_[pos_] != '\'') return;
      ++pos_;  // "''" stands for one quote
    }
    bytes->push_back(c);
    units->push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  }
}

// Greedy: sign and digits, then any of "+-.Ee" and digits (a float), then
// one type letter (a float too). Conversion waits until the value is asked
// for, so "1-2" is one token that fails later.
void OptionsTextParser::scanNumber() {
  std::uint32_t start = pos_;
  kind_ = TokenKind::kInteger;
  ++pos_;
  while (pos_ < end_ && isDigit(static_cast<unsigned char>(buffer_[pos_]))) ++pos_;
  while (pos_ < end_ && isNumberTail(static_cast<unsigned char>(buffer_[pos_]))) {
    kind_ = TokenKind::kFloat;
    ++pos_;
  }
  if (pos_ < end_ && isFloatTypeLetter(static_cast<unsigned char>(buffer_[pos_]))) {
    floatType_ = static_cast<char>(buffer_[pos_] & ~0x20);
    kind_ = TokenKind::kFloat;
    ++pos_;
  }
  text_.append(buffer_ + start, pos_ - start);
}

void OptionsTextParser::scanHexNumber() {
  std::uint32_t start = pos_;
  ++pos_;
  while (pos_ < end_ && isHexDigit(static_cast<unsigned char>(buffer_[pos_]))) ++pos_;
  text_.append(buffer_ + start, pos_ - start);
  kind_ = TokenKind::kInteger;
}

std::int64_t OptionsTextParser::integerValue() const {
  const char* first = text_.data();
  const char* last = first + text_.size();
  if (!text_.empty() && text_[0] == '$') {
    std::uint64_t bits = 0;
    std::size_t digits = text_.size() - 1;
    if (digits >= 1 && digits <= 16) {
      auto [ptr, ec] = std::from_chars(first + 1, last, bits, 16);
      if (ec == std::errc() && ptr == last) return static_cast<std::int64_t>(bits);
    }
  } else {
    std::int64_t value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value, 10);
    if (ec == std::errc() && ptr == last) return value;
  }
  throw wyx::oo::EConvertError(wyx::oo::formatMessage(msg::kInvalidInteger, text_));
}

// strtold rather than from_chars: from_chars refuses a value below the
// smallest normal number, while a tiny value is no error but simply the
// nearest one the type holds (a subnormal, or zero with its sign).
long double OptionsTextParser::floatValue() const {
  std::string number = text_.substr(0, text_.size() - (floatType_ != 0 ? 1 : 0));
  // The token holds only digits, signs, "e" and ".", and "." always means
  // the decimal point, whatever the locale's is.
  const std::string point = std::localeconv()->decimal_point;
  for (std::size_t at = number.find('.'); at != std::string::npos;
       at = number.find('.', at + point.size())) {
    number.replace(at, 1, point);
  }
  char* end = nullptr;
  errno = 0;
  const long double value = std::strtold(number.c_str(), &end);
  if (end != number.c_str() + number.size() || (errno == ERANGE && std::isinf(value))) {
    failInvalidFloat();
  }
  return value;
}

void OptionsTextParser::failInvalidFloat() const {
  throw wyx::oo::EConvertError(wyx::oo::formatMessage(msg::kInvalidFloat, text_));
}

bool OptionsTextParser::isKeyword(const char* keyword) const {
  return kind_ == TokenKind::kIdentifier && wyx::unicode::equalsIgnoringAsciiCase(text_, keyword);
}

void OptionsTextParser::requireIdentifier() const {
  if (kind_ != TokenKind::kIdentifier) fail(msg::kIdentifierExpected);
}

void OptionsTextParser::requireChar(char c) const {
  if (!isChar(c)) {
    const char text[2] = {c, 0};
    fail(wyx::toUtf8(wyx::oo::formatMessage(msg::kCharExpected, text)));
  }
}

std::string OptionsTextParser::readIdentifierValue() {
  std::string value = text_;
  while (pos_ < end_ && buffer_[pos_] == '.') {
    ++pos_;
    if (pos_ == end_ || identifierStartLength() == 0) failAt(msg::kIdentifierExpected, line_);
    text_.clear();
    scanIdentifier();
    value += '.';
    value += text_;
  }
  next();
  return value;
}

void OptionsTextParser::readBinary(std::string* out) {
  for (;;) {
    skipBlanks();
    if (atEndOfText()) failAt(msg::kInvalidBinary, line_);
    char c = buffer_[pos_];
    if (c == '}') {
      ++pos_;
      break;
    }
    if (pos_ + 1 >= end_ || !isHexDigit(static_cast<unsigned char>(c)) ||
        !isHexDigit(static_cast<unsigned char>(buffer_[pos_ + 1]))) {
      failAt(msg::kInvalidBinary, line_);
    }
    out->push_back(static_cast<char>(hexValue(static_cast<unsigned char>(c)) * 16 +
                                      hexValue(static_cast<unsigned char>(buffer_[pos_ + 1]))));
    pos_ += 2;
  }
  next();
}

}  // namespace persist
