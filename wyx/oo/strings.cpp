#include "wyx/oo/strings.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <new>
#include <stdexcept>

#include "wyx/oo/platform.hpp"
#include "wyx/oo/unicode.hpp"

namespace wyx {

std::string formatStringV(const char* format, va_list args) {
  // Measure first, then format into a buffer of exactly that size.
  va_list measure;
  va_copy(measure, args);
  errno = 0;
  int n = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (n < 0) {
    // An empty result here would pass for a correct one.
    if (errno == ENOMEM) throw std::bad_alloc();
    throw std::runtime_error("Formatting failed");
  }
  std::string result(static_cast<std::size_t>(n), '\0');
  if (n > 0) std::vsnprintf(result.data(), result.size() + 1, format, args);
  return result;
}

std::string formatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string result;
  try {
    result = formatStringV(format, args);
  } catch (...) {
    va_end(args);
    throw;
  }
  va_end(args);
  return result;
}

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
        unicode::nextUtf8(reinterpret_cast<const std::uint8_t*>(bytes.data()), i, bytes.size());
    if (c != unicode::kIllFormed) {
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

// Calls `visit` with each code point of `text`.
template <class Visit>
void forEachCodePoint(const UnicodeString& text, Visit&& visit) {
  for (std::size_t i = 0; i < text.size();) visit(unicode::nextUtf16(text.data(), i, text.size()));
}

std::string utf8Of(const UnicodeString& text, bool escape) {
  std::string out;
  out.reserve(text.size());
  forEachCodePoint(text, [&](char32_t c) {
    if (escape && c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
      out.push_back(static_cast<char>(c - kEscapeBase));
    } else {
      char bytes[4];
      out.append(bytes, encodeUtf8(c, bytes));
    }
  });
  return out;
}

// Windows-1252 from 80 to 9F; the five bytes the code page leaves undefined
// stand for the control characters of the same value, as on Windows.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

UnicodeString decodeWindows1252(const std::string& bytes) {
  UnicodeString out(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    out[i] = (b >= 0x80 && b < 0xA0) ? kWindows1252High[b - 0x80] : char16_t(b);
  }
  return out;
}

char encodeWindows1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (unsigned i = 0; i < 32; ++i) {
    if (kWindows1252High[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

std::string encodeWindows1252(const UnicodeString& text) {
  std::string out;
  out.reserve(text.size());
  forEachCodePoint(text, [&](char32_t c) { out.push_back(encodeWindows1252(c)); });
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

UnicodeString toWideString(const std::string& text, unsigned codePage) {
  switch (codePage) {
    case kCodePageAnsi:
    case kCodePageWindows1252:
      return decodeWindows1252(text);
    case kCodePageOem:
    case kCodePageUtf8:
      return decodeUtf8(text, false);
    default: {
      UnicodeString out;
      if (text.empty() || !platform::systemToWide(codePage, text, &out)) return UnicodeString();
      return out;
    }
  }
}

std::string toNarrowString(const UnicodeString& text, unsigned codePage) {
  switch (codePage) {
    case kCodePageAnsi:
    case kCodePageWindows1252:
      return encodeWindows1252(text);
    case kCodePageOem:
    case kCodePageUtf8:
      return utf8Of(text, false);
    default: {
      std::string out;
      if (text.empty() || !platform::systemToNarrow(codePage, text, &out)) return std::string();
      return out;
    }
  }
}

UnicodeString fromUtf8Escaped(const std::string& bytes) { return decodeUtf8(bytes, true); }

std::string toUtf8Escaped(const UnicodeString& text) { return utf8Of(text, true); }

}  // namespace wyx
