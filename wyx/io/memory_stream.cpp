#include "wyx/io/memory_stream.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"

namespace wyx::io {

namespace {

constexpr std::uint64_t kMaxStreamSize = std::numeric_limits<std::uint32_t>::max();
// Growth over-allocates by the requested growth plus this much.
constexpr std::uint64_t kGrowthSlack = 2000;

}  // namespace

// --- CustomMemoryStream -----------------------------------------------------

std::uint32_t CustomMemoryStream::read(void* buffer, std::uint32_t count) {
  // Signed comparisons: a count of 2^31 or more reads nothing.
  std::int32_t n = static_cast<std::int32_t>(size_ - position_);
  n = std::min(n, static_cast<std::int32_t>(count));
  n = std::max(n, 0);
  if (n > 0) std::memcpy(buffer, data_ + position_, static_cast<std::size_t>(n));
  position_ += static_cast<std::uint32_t>(n);
  return static_cast<std::uint32_t>(n);
}

oo::status_t CustomMemoryStream::readBuffer(void* buffer, std::uint32_t count) {
  return oo::safecallBoundary([&] {
    if (read(buffer, count) != count) raiseStreamReadError();
  });
}

oo::status_t CustomMemoryStream::setPosition(std::uint32_t position) {
  return oo::safecallBoundary([&] {
    if (position > size_) raiseStreamSetPosError();
    position_ = position;
  });
}

// --- MemoryStream -------------------------------------------------------------

const oo::interface_info_t& MemoryStream::interfaceInfo() {
  // {47A00A27-C92D-4D4A-8C9F-A165E5878B5D}
  static const oo::interface_info_t info = {
      u"wyx::io::MemoryStream", &info.guid, nullptr,
      {0x47A00A27, 0xC92D, 0x4D4A, {0x8C, 0x9F, 0xA1, 0x65, 0xE5, 0x87, 0x8B, 0x5D}}};
  return info;
}

MemoryStream::~MemoryStream() { std::free(data_); }

oo::status_t MemoryStream::QueryInterface(const oo::guid_t& iid, void** out) {
  return queryStreamInterface(this, interfaceInfo(), iid, out);
}

bool MemoryStream::setSize(std::uint32_t size) {
  if (!reserve(size)) return false;
  // Bytes past the old end are never left uninitialised.
  if (size > size_) std::memset(data_ + size_, 0, size - size_);
  size_ = size;
  position_ = std::min(position_, size);
  return true;
}

bool MemoryStream::reserve(std::uint32_t size) {
  if (size <= capacity_) return true;
  // Target 2n - capacity + 2000; on failure step down by at most 2000 (at
  // least 250, since target - n > 2000) until the request itself fails.
  std::uint64_t target = 2 * std::uint64_t(size) - capacity_ + kGrowthSlack;
  target = std::min(target, kMaxStreamSize);
  const std::uint64_t step = std::min<std::uint64_t>(kGrowthSlack, (target - size) / 8);
  for (;;) {
    void* block = reallocate_ ? reallocate_(data_, target) : std::realloc(data_, target);
    if (block != nullptr) {
      data_ = static_cast<char*>(block);
      capacity_ = static_cast<std::uint32_t>(target);
      return true;
    }
    if (step == 0 || target - size < step) return false;
    target -= step;
  }
}

// The end of a transfer of `count` bytes at the position, or 0 when it would
// pass the 32-bit size limit.
static std::uint64_t endOfTransfer(std::uint32_t position, std::uint32_t count) {
  std::uint64_t end = std::uint64_t(position) + count;
  return end > kMaxStreamSize ? 0 : end;
}

std::uint32_t MemoryStream::write(const void* buffer, std::uint32_t count) {
  // Under memory pressure store the largest halved prefix that fits.
  std::uint32_t k = count;
  while (k > 0) {
    std::uint64_t end = endOfTransfer(position_, k);
    if (end != 0 && reserve(static_cast<std::uint32_t>(end))) break;
    k /= 2;
  }
  if (k == 0) return 0;
  std::memcpy(data_ + position_, buffer, k);
  position_ += k;
  size_ = std::max(size_, position_);
  return k;
}

oo::status_t MemoryStream::writeBuffer(const void* buffer, std::uint32_t count) {
  return oo::safecallBoundary([&] {
    if (write(buffer, count) != count) raiseStreamWriteError();
  });
}

oo::status_t MemoryStream::copyFrom(oo::InterfacePtr<IStream> source, std::uint32_t count) {
  return oo::safecallBoundary([&] {
    oo::InterfacePtr<IStream> from = std::move(source);
    if (count == 0) return;
    std::uint64_t end = endOfTransfer(position_, count);
    if (end == 0 || !setSize(std::max(size_, static_cast<std::uint32_t>(end)))) {
      raiseStreamWriteError();
    }
    // Straight into the buffer: no intermediate copy.
    oo::checkStatus(from->readBuffer(data_ + position_, count));
    position_ += count;
  });
}

// --- SinkStream ---------------------------------------------------------------

const oo::interface_info_t& SinkStream::interfaceInfo() {
  // {6956EE4C-7E3B-40C1-98BD-B238F010DECE}
  static const oo::interface_info_t info = {
      u"wyx::io::SinkStream", &info.guid, nullptr,
      {0x6956EE4C, 0x7E3B, 0x40C1, {0x98, 0xBD, 0xB2, 0x38, 0xF0, 0x10, 0xDE, 0xCE}}};
  return info;
}

oo::status_t SinkStream::QueryInterface(const oo::guid_t& iid, void** out) {
  return queryStreamInterface(this, interfaceInfo(), iid, out);
}

std::uint32_t SinkStream::write(const void*, std::uint32_t count) { return count; }

oo::status_t SinkStream::writeBuffer(const void*, std::uint32_t) { return oo::kStatusOk; }

oo::status_t SinkStream::copyFrom(oo::InterfacePtr<IStream> source, std::uint32_t) {
  // Neither reads nor moves the source; only lets go of it.
  source.reset();
  return oo::kStatusOk;
}

}  // namespace wyx::io
