#include "wyx/io/copy_stream.hpp"

#include <algorithm>

#include "wyx/oo/safecall.hpp"

namespace wyx::io {

void copyStream(oo::InterfacePtr<IStream> destination, oo::InterfacePtr<IStream> source,
                std::uint32_t count) {
  char buffer[kCopyChunkSize];
  while (count > 0) {
    std::uint32_t chunk = std::min(kCopyChunkSize, count);
    oo::checkStatus(source->readBuffer(buffer, chunk));
    oo::checkStatus(destination->writeBuffer(buffer, chunk));
    count -= chunk;
  }
}

}  // namespace wyx::io
