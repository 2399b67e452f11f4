// An IStream over a C runtime FILE.
#pragma once

#include <cstdint>
#include <cstdio>

#include "wyx/io/stream.hpp"

namespace wyx::io {

class CStreamWrapper final : public oo::RefCounted<CStreamWrapper, IStream> {
 public:
  static const oo::interface_info_t& interfaceInfo();

  // Raises EStreamOpenError for a null file. With owns == 1 the file is
  // closed when the wrapper is destroyed; any other value leaves it open.
  CStreamWrapper(std::FILE* file, std::int32_t owns);

  oo::status_t QueryInterface(const oo::guid_t& iid, void** out) override;

  std::uint32_t read(void* buffer, std::uint32_t count) override;
  std::uint32_t write(const void* buffer, std::uint32_t count) override;
  std::uint32_t getSize() override;
  std::uint32_t getPosition() override;
  oo::status_t readBuffer(void* buffer, std::uint32_t count) override;
  oo::status_t writeBuffer(const void* buffer, std::uint32_t count) override;
  oo::status_t copyFrom(oo::InterfacePtr<IStream> source, std::uint32_t count) override;
  // Never fails; an invalid position shows only in later reads.
  oo::status_t setPosition(std::uint32_t position) override;

 private:
  friend class oo::RefCounted<CStreamWrapper, IStream>;
  ~CStreamWrapper();

  std::FILE* file_;
  std::int32_t owns_;
};

}  // namespace wyx::io
