#include "wyx/oo/strings.hpp"

#include <unicode/ucnv.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace wyx {

std::string formatStringV(const char* format, va_list args) {
  // Measure first, then format into a buffer of exactly that size.
  va_list measure;
  va_copy(measure, args);
  int n = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (n <= 0) return std::string();
  std::string result(static_cast<std::size_t>(n), '\0');
  std::vsnprintf(result.data(), result.size() + 1, format, args);
  return result;
}

std::string formatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string result = formatStringV(format, args);
  va_end(args);
  return result;
}

namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

const char* converterName(unsigned codePage) {
  switch (codePage) {
    case kCodePageAnsi:
    case 1252:
      return "windows-1252";
    case kCodePageOem:
    case kCodePageUtf8:
      return "UTF-8";
    default:
      return nullptr;
  }
}

// Opens the converter for a code page; null for one we do not know. Characters
// the target cannot hold become "?", as the platform's conversion does.
Converter openConverter(unsigned codePage) {
  std::string name;
  if (const char* known = converterName(codePage)) {
    name = known;
  } else {
    name = "windows-" + std::to_string(codePage);
  }
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open(name.c_str(), &status));
  if (U_FAILURE(status)) return nullptr;
  if (converter && codePage != kCodePageOem && codePage != kCodePageUtf8) {
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
  }
  return converter;
}

// Converts with a buffer of n + margin units, the margin starting at n/10 and
// doubling while the buffer is too small; any other failure gives "".
template <class Out, class Convert>
Out convertGrowing(std::size_t n, Convert&& convert) {
  std::size_t step = n / 10 > 0 ? n / 10 : 4;
  for (std::size_t margin = n / 10;; margin = margin ? margin * 2 : step) {
    Out buffer(n + margin, typename Out::value_type());
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = convert(buffer.data(), static_cast<int32_t>(buffer.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      if (margin > (std::size_t(1) << 30)) return Out();
      continue;
    }
    if (U_FAILURE(status) || length < 0) return Out();
    buffer.resize(static_cast<std::size_t>(length));
    return buffer;
  }
}

}  // namespace

UnicodeString toWideString(const std::string& text, unsigned codePage) {
  if (text.empty() || text.size() > INT32_MAX / 2) return UnicodeString();
  Converter converter = openConverter(codePage);
  if (!converter) return UnicodeString();
  return convertGrowing<UnicodeString>(text.size(), [&](char16_t* out, int32_t capacity,
                                                        UErrorCode* status) {
    return ucnv_toUChars(converter.get(), out, capacity, text.data(),
                         static_cast<int32_t>(text.size()), status);
  });
}

std::string toNarrowString(const UnicodeString& text, unsigned codePage) {
  if (text.empty() || text.size() > INT32_MAX / 4) return std::string();
  Converter converter = openConverter(codePage);
  if (!converter) return std::string();
  return convertGrowing<std::string>(text.size(), [&](char* out, int32_t capacity,
                                                      UErrorCode* status) {
    return ucnv_fromUChars(converter.get(), out, capacity, text.data(),
                           static_cast<int32_t>(text.size()), status);
  });
}

}  // namespace wyx
