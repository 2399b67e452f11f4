// OutputStream, the base of the generator's write-only streams (the file of
// a header): reads give nothing and the position is always the end of what
// was written.
#pragma once

#include <cstdint>

#include "wyx/io/stream.hpp"

namespace qirt {

// Reference counted like every stream of the library: a subclass derives
// through wyx::oo::RefCounted and is held by InterfacePtr. setPosition to
// any other place than the end fails with EStreamSetPosError; readBuffer of
// anything fails with EStreamReadError; copyFrom copies through writeBuffer.
class OutputStream : public wyx::io::IStream {
 public:
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  // Answers IStream and its bases only.
  wyx::oo::status_t QueryInterface(const wyx::oo::guid_t& iid, void** out) override;

  std::uint32_t read(void* buffer, std::uint32_t count) override;
  std::uint32_t getPosition() override { return getSize(); }
  wyx::oo::status_t readBuffer(void* buffer, std::uint32_t count) override;
  wyx::oo::status_t copyFrom(wyx::oo::InterfacePtr<wyx::io::IStream> source,
                             std::uint32_t count) override;
  wyx::oo::status_t setPosition(std::uint32_t position) override;

 protected:
  OutputStream() = default;
  ~OutputStream() = default;
};

}  // namespace qirt
