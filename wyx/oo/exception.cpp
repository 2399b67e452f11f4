#include "wyx/oo/exception.hpp"

namespace wyx::oo {

void MessageArgument::appendTo(std::string* out) const {
  if (isNumber_) {
    *out += std::to_string(number_);
  } else {
    out->append(text_.data(), text_.size());
  }
}

UnicodeString formatMessageOf(const char* format, const MessageArgument* arguments,
                              std::size_t count) {
  std::string utf8;
  std::size_t next = 0;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p == '%' && (p[1] == 's' || p[1] == 'd') && next < count) {
      arguments[next++].appendTo(&utf8);
      ++p;
    } else if (*p == '%' && p[1] == '%') {
      utf8 += '%';
      ++p;
    } else {
      utf8 += *p;
    }
  }
  return fromUtf8(utf8);
}

}  // namespace wyx::oo
