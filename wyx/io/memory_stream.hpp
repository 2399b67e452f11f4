// Memory-backed streams: the growable MemoryStream and SinkStream, which
// swallows everything written to it.
#pragma once

#include <cstdint>
#include <memory>

#include "wyx/io/stream.hpp"

namespace wyx::io {

// Content in one block of memory; reading, positioning and counting are
// shared, writing is the subclass's. Invariant: position <= size.
class CustomMemoryStream : public oo::RefCounted<CustomMemoryStream, IStream> {
 public:
  std::uint32_t read(void* buffer, std::uint32_t count) override;
  std::uint32_t getSize() override { return size_; }
  std::uint32_t getPosition() override { return position_; }
  oo::status_t readBuffer(void* buffer, std::uint32_t count) override;
  oo::status_t setPosition(std::uint32_t position) override;

 protected:
  CustomMemoryStream() = default;
  // Only Release or the shared owner's deleter destroys a stream.
  virtual ~CustomMemoryStream() = default;

  char* data_ = nullptr;
  std::uint32_t size_ = 0;
  std::uint32_t position_ = 0;

 private:
  friend class oo::RefCounted<CustomMemoryStream, IStream>;
  template <class T>
  friend std::shared_ptr<T> makeSharedStream();
};

// The allocator behind MemoryStream: a realloc that keeps the content and
// returns null on failure (the old block is then untouched). Replaceable so
// tests can make growth fail.
using reallocate_fn = void* (*)(void* block, std::size_t size);

// A growable memory stream. Created with reference count 0 and capacity 0;
// no memory is allocated until the first growth. Capacity never shrinks.
class MemoryStream : public CustomMemoryStream {
 public:
  static const oo::interface_info_t& interfaceInfo();

  MemoryStream() = default;
  explicit MemoryStream(reallocate_fn reallocate) : reallocate_(reallocate) {}

  oo::status_t QueryInterface(const oo::guid_t& iid, void** out) override;
  // Stores a halved prefix (count, count/2, ... 0) when memory runs short.
  std::uint32_t write(const void* buffer, std::uint32_t count) override;
  oo::status_t writeBuffer(const void* buffer, std::uint32_t count) override;
  oo::status_t copyFrom(oo::InterfacePtr<IStream> source, std::uint32_t count) override;

  // Sets the size, growing the buffer by the rule 2n - capacity + 2000 when
  // needed; returns false (stream unchanged) when memory cannot be had.
  bool setSize(std::uint32_t size);
  std::uint32_t getCapacity() const { return capacity_; }
  // The content; valid until the next growth.
  const char* data() const { return data_; }

 protected:
  ~MemoryStream() override;

 private:
  // Makes room for `size` bytes without touching size or content.
  bool reserve(std::uint32_t size);

  std::uint32_t capacity_ = 0;
  reallocate_fn reallocate_ = nullptr;
};

// Discards what is written; reads nothing; size and position stay 0.
class SinkStream : public CustomMemoryStream {
 public:
  static const oo::interface_info_t& interfaceInfo();

  oo::status_t QueryInterface(const oo::guid_t& iid, void** out) override;
  std::uint32_t write(const void* buffer, std::uint32_t count) override;
  oo::status_t writeBuffer(const void* buffer, std::uint32_t count) override;
  oo::status_t copyFrom(oo::InterfacePtr<IStream> source, std::uint32_t count) override;

 protected:
  ~SinkStream() override = default;
};

// A fresh stream under shared ownership (reference count stays 0).
template <class T>
std::shared_ptr<T> makeSharedStream() {
  return std::shared_ptr<T>(new T, [](T* stream) { delete static_cast<CustomMemoryStream*>(stream); });
}

}  // namespace wyx::io
