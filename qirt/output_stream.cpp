#include "qirt/output_stream.hpp"

#include "wyx/io/copy_stream.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"

namespace qirt {

using wyx::oo::status_t;

status_t OutputStream::QueryInterface(const wyx::oo::guid_t& iid, void** out) {
  const wyx::oo::interface_entry_t entries[] = {{&IStream::interfaceInfo(), this},
                                                {nullptr, nullptr}};
  return wyx::oo::queryInterfaceLookup(iid, out, entries);
}

std::uint32_t OutputStream::read(void*, std::uint32_t) { return 0; }

status_t OutputStream::readBuffer(void*, std::uint32_t count) {
  return wyx::oo::safecallBoundary([&] {
    if (count != 0) wyx::io::raiseStreamReadError();
  });
}

status_t OutputStream::copyFrom(wyx::oo::InterfacePtr<wyx::io::IStream> source,
                                std::uint32_t count) {
  return wyx::oo::safecallBoundary([&] {
    wyx::io::copyStream(wyx::oo::InterfacePtr<wyx::io::IStream>(this), std::move(source), count);
  });
}

status_t OutputStream::setPosition(std::uint32_t position) {
  return wyx::oo::safecallBoundary([&] {
    if (position != getPosition()) wyx::io::raiseStreamSetPosError();
  });
}

}  // namespace qirt
