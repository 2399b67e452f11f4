#include "wyx/oo/strings.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <new>
#include <stdexcept>

#include "wyx/platform/platform.hpp"
#include "wyx/unicode/unicode.hpp"
#include "wyx/unicode/utf8.hpp"

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
  for (std::size_t i = 0; i < text.size();) {
    out.push_back(encodeWindows1252(unicode::nextUtf16(text.data(), i, text.size())));
  }
  return out;
}

}  // namespace

UnicodeString toWideString(const std::string& text, unsigned codePage) {
  switch (codePage) {
    case kCodePageAnsi:
    case kCodePageWindows1252:
      return decodeWindows1252(text);
    case kCodePageOem:
    case kCodePageUtf8:
      return unicode::utf16FromUtf8(text);
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
      return unicode::utf8FromUtf16(text);
    default: {
      std::string out;
      if (text.empty() || !platform::systemToNarrow(codePage, text, &out)) return std::string();
      return out;
    }
  }
}

}  // namespace wyx
