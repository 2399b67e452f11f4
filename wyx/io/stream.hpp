// IStream, the byte-stream interface every stream of the system implements.
#pragma once

#include <cstdint>
#include <memory>

#include "wyx/oo/interface.hpp"

namespace wyx::io {

// Plain operations (read, write, getSize, getPosition) report a short
// transfer only through their result and never throw. Safecall operations
// (readBuffer, writeBuffer, copyFrom, setPosition) never throw either: they
// return a status, and the caller passes a nonzero one to oo::checkSafecall
// (oo::checkStatus does both).
class IStream : public oo::IInterface {
 public:
  static const oo::interface_info_t& interfaceInfo();

  virtual std::uint32_t read(void* buffer, std::uint32_t count) = 0;
  virtual std::uint32_t write(const void* buffer, std::uint32_t count) = 0;
  virtual std::uint32_t getSize() = 0;
  virtual std::uint32_t getPosition() = 0;
  // Exactly `count` bytes, or EStreamReadError inside the boundary.
  virtual oo::status_t readBuffer(void* buffer, std::uint32_t count) = 0;
  // Exactly `count` bytes, or EStreamWriteError inside the boundary.
  virtual oo::status_t writeBuffer(const void* buffer, std::uint32_t count) = 0;
  // Copies `count` bytes from the source's position to this stream's position,
  // advancing both. The source reference is released on every path.
  virtual oo::status_t copyFrom(oo::InterfacePtr<IStream> source, std::uint32_t count) = 0;
  // Absolute position from the start.
  virtual oo::status_t setPosition(std::uint32_t position) = 0;

 protected:
  ~IStream() = default;
};

// QueryInterface of a stream class with an identity of its own: answers that
// identity, then IStream with its bases, handing out `self`.
oo::status_t queryStreamInterface(IStream* self, const oo::interface_info_t& own,
                                  const oo::guid_t& iid, void** out);

// Shared ownership of a stream that is never reference counted (the template
// engine's block streams). Make one with makeSharedStream<T>() below; never
// hand such a stream to an InterfacePtr.
using IStreamPtr = std::shared_ptr<IStream>;

}  // namespace wyx::io
