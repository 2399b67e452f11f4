// Arbitrary formats and argument types through the checker, narrow and wide,
// in every family and dialect. Whatever the input, a check must end, and a
// mismatch must arrive as one report with a message.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "qirt/format.hpp"
#include "qirt/format_error.hpp"

namespace {

int reports = 0;

void countReport(const qirt::format_error_t& error) {
  if (error.message == nullptr || error.message[0] == '\0') std::abort();
  ++reports;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  qirt::setFormatErrorHandler(countReport);
  // Byte 0: family, dialect and wideness; byte 1: the argument count; then
  // two bytes per type identifier (base type, then the pointer, const,
  // indirection and size bits), then the format.
  const unsigned mode = data[0];
  const unsigned count = data[1] % 12;
  if (size < 2 + 2 * count) return 0;
  std::vector<unsigned> types(count + 1);
  for (unsigned i = 0; i < count; ++i) {
    types[i] = data[2 + 2 * i] | (static_cast<unsigned>(data[3 + 2 * i]) << 8);
  }
  const char* text = reinterpret_cast<const char*>(data) + 2 + 2 * count;
  const std::string format(text, size - 2 - 2 * count);
  const auto family = static_cast<qirt::detail::FormatFamily>(mode & 1);
  const auto dialect = static_cast<qirt::FormatDialect>((mode >> 1) % 3);

  reports = 0;
  if ((mode & 0x80) != 0) {
    std::wstring wide;
    for (std::size_t i = 0; i + 1 < format.size(); i += 2) {
      wide += static_cast<wchar_t>(static_cast<unsigned char>(format[i]) |
                                   (static_cast<unsigned char>(format[i + 1]) << 8));
    }
    qirt::detail::verifyFormat(wide.c_str(), types.data(), qirt::detail::callOf(family, dialect),
                               "f.cpp", 1, "f", count);
  } else {
    qirt::detail::verifyFormat(
        format.c_str(), types.data(),
        qirt::detail::callOf(family, dialect) | count << qirt::detail::kCallCountShift);
  }
  if (reports > 1) std::abort();
  return 0;
}
