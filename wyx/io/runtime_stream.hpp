// RuntimeStream, the program's own polymorphic stream class (the embedded
// templates are read through one), and RuntimeStreamWrapper, the IStream
// over it.
#pragma once

#include <cstdint>
#include <string>

#include "wyx/io/stream.hpp"

namespace wyx::io {

class RuntimeStream {
 public:
  virtual ~RuntimeStream() = default;

  // Up to `count` bytes; returns the number transferred.
  virtual std::uint32_t read(void* buffer, std::uint32_t count) = 0;
  virtual std::uint32_t write(const void* buffer, std::uint32_t count) = 0;
  virtual std::int64_t size() const = 0;
  virtual std::int64_t position() const = 0;
  virtual void setPosition(std::int64_t position) = 0;
  // Copies `count` bytes from the source's position to this stream's
  // position; returns the number copied.
  virtual std::int64_t copyFrom(RuntimeStream& source, std::int64_t count) = 0;
};

// A RuntimeStream over bytes in memory. A position beyond the end is kept;
// reads there give nothing and a write there fills the gap with zeros.
class RuntimeMemoryStream : public RuntimeStream {
 public:
  RuntimeMemoryStream() = default;
  explicit RuntimeMemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}

  std::uint32_t read(void* buffer, std::uint32_t count) override;
  std::uint32_t write(const void* buffer, std::uint32_t count) override;
  std::int64_t size() const override { return static_cast<std::int64_t>(bytes_.size()); }
  std::int64_t position() const override { return position_; }
  void setPosition(std::int64_t position) override { position_ = position < 0 ? 0 : position; }
  std::int64_t copyFrom(RuntimeStream& source, std::int64_t count) override;

  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::int64_t position_ = 0;
};

class RuntimeStreamWrapper final : public oo::RefCounted<RuntimeStreamWrapper, IStream> {
 public:
  static const oo::interface_info_t& interfaceInfo();

  // With owns == 1 the runtime stream is deleted with the wrapper.
  RuntimeStreamWrapper(RuntimeStream* stream, std::int32_t owns) : stream_(stream), owns_(owns) {}

  oo::status_t QueryInterface(const oo::guid_t& iid, void** out) override;

  std::uint32_t read(void* buffer, std::uint32_t count) override;
  std::uint32_t write(const void* buffer, std::uint32_t count) override;
  std::uint32_t getSize() override;
  std::uint32_t getPosition() override;
  oo::status_t readBuffer(void* buffer, std::uint32_t count) override;
  oo::status_t writeBuffer(const void* buffer, std::uint32_t count) override;
  oo::status_t copyFrom(oo::InterfacePtr<IStream> source, std::uint32_t count) override;
  oo::status_t setPosition(std::uint32_t position) override;

  RuntimeStream* runtimeStream() const { return stream_; }

 private:
  friend class oo::RefCounted<RuntimeStreamWrapper, IStream>;
  ~RuntimeStreamWrapper();

  RuntimeStream* stream_;
  std::int32_t owns_;
};

}  // namespace wyx::io
