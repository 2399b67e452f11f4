#include "qirt/text_stream.hpp"

#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"

namespace qirt {

using wyx::oo::status_t;

std::uint32_t TextStream::write(const void* buffer, std::uint32_t count) {
  text_.append(static_cast<const char*>(buffer), count);
  return count;
}

status_t TextStream::writeBuffer(const void* buffer, std::uint32_t count) {
  return wyx::oo::safecallBoundary([&] { write(buffer, count); });
}

status_t TextStream::copyFrom(wyx::oo::InterfacePtr<wyx::io::IStream> source, std::uint32_t count) {
  return wyx::oo::safecallBoundary([&] {
    // Straight into the text: no chunk buffer, and no counted reference to
    // this automatic object.
    std::size_t start = text_.size();
    text_.resize(start + count);
    status_t status = source->readBuffer(text_.data() + start, count);
    if (status != wyx::oo::kStatusOk) {
      text_.resize(start);
      wyx::oo::checkSafecall(status);
    }
  });
}

}  // namespace qirt
