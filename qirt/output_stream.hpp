// OutputStream, the base of the generator's write-only streams (the text of
// a macro, the file of a header): reads give nothing and the position is
// always the end of what was written.
#pragma once

#include <cstdint>

#include "wyx/io/stream.hpp"

namespace qirt {

// Meant to live as an automatic or owned object whose reference count is
// never used, so it must not be handed to an InterfacePtr. setPosition to
// any other place than the end fails with EStreamSetPosError; readBuffer of
// anything fails with EStreamReadError.
class OutputStream : public wyx::io::IStream {
 public:
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  // Answers IStream and its bases only.
  wyx::oo::status_t QueryInterface(const wyx::oo::guid_t& iid, void** out) override;
  std::int32_t AddRef() override { return refs_.increment(); }
  std::int32_t Release() override { return refs_.decrement(); }

  std::uint32_t read(void* buffer, std::uint32_t count) override;
  std::uint32_t getPosition() override { return getSize(); }
  wyx::oo::status_t readBuffer(void* buffer, std::uint32_t count) override;
  wyx::oo::status_t setPosition(std::uint32_t position) override;

 protected:
  OutputStream() = default;
  ~OutputStream() = default;

 private:
  wyx::oo::RefCounter refs_;
};

}  // namespace qirt
