#include "wyx/unicode/utf8.hpp"

#include <cstdint>

#include "wyx/unicode/unicode.hpp"

namespace wyx::unicode {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char32_t kEscapeBase = 0xDC00;  // U+DC80..U+DCFF carry the bytes 80..FF

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

void appendUtf16(UnicodeString* out, char32_t c) {
  if (c < 0x10000) {
    out->push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

UnicodeString decodeUtf8(const std::string& bytes, bool escape) {
  UnicodeString out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t start = i;
    const char32_t c =
        nextUtf8(reinterpret_cast<const std::uint8_t*>(bytes.data()), i, bytes.size());
    if (c != kIllFormed) {
      appendUtf16(&out, c);
    } else if (!escape) {
      out.push_back(kReplacement);
    } else {
      for (std::size_t k = start; k < i; ++k) {
        out.push_back(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[k])));
      }
    }
  }
  return out;
}

std::string encodeText(const UnicodeString& text, bool escape) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char32_t c = nextUtf16(text.data(), i, text.size());
    if (escape && c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
      out.push_back(static_cast<char>(c - kEscapeBase));
    } else {
      char bytes[4];
      out.append(bytes, encodeUtf8(c, bytes));
    }
  }
  return out;
}

}  // namespace

std::size_t encodeUtf8(char32_t c, char* out) {
  if (isSurrogate(c) || c > 0x10FFFF) c = kReplacement;
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

UnicodeString utf16FromUtf8(const std::string& text) { return decodeUtf8(text, false); }

std::string utf8FromUtf16(const UnicodeString& text) { return encodeText(text, false); }

UnicodeString fromUtf8Escaped(const std::string& bytes) { return decodeUtf8(bytes, true); }

std::string toUtf8Escaped(const UnicodeString& text) { return encodeText(text, true); }

}  // namespace wyx::unicode
