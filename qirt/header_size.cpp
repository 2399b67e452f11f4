#include "qirt/header_size.hpp"

#include "wyx/oo/strings.hpp"

namespace qirt {

void size_limit_t::refuse() const {
  throw EHeaderSizeLimit(wyx::formatString(
      "Settings too large: MaxFormatParams %u and MaxFixedParams %u would give more than "
      "%llu bytes of headers",
      static_cast<unsigned>(maxFormatParams), static_cast<unsigned>(maxFixedParams),
      static_cast<unsigned long long>(maxBytes)));
}

}  // namespace qirt
