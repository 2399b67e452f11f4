// OptionsTextParser, the tokenizer of an options file's text form.
#pragma once

#include <cstdint>
#include <string>

#include "wyx/oo/strings.hpp"

namespace wyx::io {
class IStream;
}

namespace persist {

enum class TokenKind {
  kEndOfFile,
  kIdentifier,
  kString,      // a string without character codes of 128 or more
  kWideString,  // a string with at least one such code
  kInteger,
  kFloat,
  kChar,  // any other single byte
};

// The parser holds at most kWindowSize bytes of text, in a window that always
// ends at a line end, so no token ever straddles two reads. All errors are
// EParserError "<text> in Zeile <n>", except the number conversions, which
// throw EConvertError without a line.
class OptionsTextParser {
 public:
  static constexpr std::uint32_t kWindowSize = 4096;

  // Reads the first window from `source` (which must outlive the parser),
  // checks the byte-order mark and reads the first token.
  explicit OptionsTextParser(wyx::io::IStream& source);
  OptionsTextParser(const OptionsTextParser&) = delete;
  OptionsTextParser& operator=(const OptionsTextParser&) = delete;

  TokenKind next();

  TokenKind kind() const { return kind_; }
  // The token as written (for a string token, its source text).
  const std::string& text() const { return text_; }
  int line() const { return tokenLine_; }
  bool isUtf8() const { return utf8_; }

  // Integer tokens: decimal text in the signed 64-bit range, or "$" and 1 to
  // 16 hexadecimal digits taken as a 64-bit pattern.
  std::int64_t integerValue() const;
  // Float tokens, without their type letter, "." as the decimal separator.
  // A value too small for long double becomes the nearest it holds; an
  // overflow or a malformed token fails as failInvalidFloat does.
  long double floatValue() const;
  // The float token's type letter in upper case ('S', 'C', 'D', 'F'), or 0.
  char floatType() const { return floatType_; }
  // String tokens, decoded.
  const wyx::UnicodeString& stringValue() const { return stringValue_; }

  bool isChar(char c) const { return kind_ == TokenKind::kChar && text_[0] == c; }
  // An identifier equal to `keyword` without regard to ASCII letter case.
  bool isKeyword(const char* keyword) const;

  // Fail unless the current token has the kind, or is the character `c`.
  void requireIdentifier() const;
  void requireChar(char c) const;

  // REQUIRES: the current token is an identifier. Returns it together with
  // any "." and identifier that follow without blanks, and moves on.
  std::string readIdentifierValue();
  // REQUIRES: the current token is "{". Appends the bytes of the hexadecimal
  // pairs up to "}" and moves on to the token after it.
  void readBinary(std::string* out);

  // Throws EParserError with `message` and the current token's line, or
  // with the given line.
  [[noreturn]] void fail(const std::string& message) const;
  [[noreturn]] void failAt(const std::string& message, int line) const;
  // Throws EConvertError "'<token>' ist kein gültiger Gleitkommawert".
  [[noreturn]] void failInvalidFloat() const;

 private:
  void readMore();
  void cutWindow();
  void checkByteOrderMark();
  bool atEndOfText();
  void skipBlanks();
  // The code point at pos_ if it may start (or continue) an identifier, with
  // its length in bytes; 0 if not.
  int identifierStartLength() const;
  int identifierPartLength() const;
  void scanIdentifier();
  void scanString();
  void scanQuotedPiece(std::string* bytes, wyx::UnicodeString* units);
  void scanNumber();
  void scanHexNumber();

  wyx::io::IStream& source_;
  char buffer_[kWindowSize];
  std::uint32_t fill_ = 0;  // bytes held in buffer_
  std::uint32_t end_ = 0;   // end of the window, <= fill_
  std::uint32_t pos_ = 0;   // next unread byte of the window
  bool sourceDone_ = false;  // the stream is exhausted or held a zero byte
  bool utf8_ = false;
  int line_ = 1;

  TokenKind kind_ = TokenKind::kEndOfFile;
  std::string text_;
  int tokenLine_ = 1;
  char floatType_ = 0;
  wyx::UnicodeString stringValue_;
};

}  // namespace persist
