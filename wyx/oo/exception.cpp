#include "wyx/oo/exception.hpp"

namespace wyx::oo {

UnicodeString formatMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string utf8 = formatStringV(format, args);
  va_end(args);
  return fromUtf8(utf8);
}

}  // namespace wyx::oo
