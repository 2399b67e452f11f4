#include "wyx/io/runtime_stream.hpp"

#include <algorithm>
#include <cstring>

#include "wyx/io/copy_stream.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"

namespace wyx::io {

// --- RuntimeMemoryStream ----------------------------------------------------

std::uint32_t RuntimeMemoryStream::read(void* buffer, std::uint32_t count) {
  if (position_ >= size()) return 0;
  std::size_t n = std::min<std::size_t>(count, bytes_.size() - static_cast<std::size_t>(position_));
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += static_cast<std::int64_t>(n);
  return static_cast<std::uint32_t>(n);
}

std::uint32_t RuntimeMemoryStream::write(const void* buffer, std::uint32_t count) {
  std::size_t at = static_cast<std::size_t>(position_);
  if (bytes_.size() < at + count) bytes_.resize(at + count, '\0');
  std::memcpy(bytes_.data() + at, buffer, count);
  position_ += count;
  return count;
}

std::int64_t RuntimeMemoryStream::copyFrom(RuntimeStream& source, std::int64_t count) {
  char buffer[4096];
  std::int64_t copied = 0;
  while (copied < count) {
    std::uint32_t want = static_cast<std::uint32_t>(std::min<std::int64_t>(sizeof buffer, count - copied));
    std::uint32_t got = source.read(buffer, want);
    if (got == 0) break;
    copied += write(buffer, got);
  }
  return copied;
}

// --- RuntimeStreamWrapper ---------------------------------------------------

const oo::interface_info_t& RuntimeStreamWrapper::interfaceInfo() {
  // {1048502D-6A23-4CA9-AFD0-19B29EAB1A54}
  static const oo::interface_info_t info = {
      u"wyx::io::RuntimeStreamWrapper", &info.guid, nullptr,
      {0x1048502D, 0x6A23, 0x4CA9, {0xAF, 0xD0, 0x19, 0xB2, 0x9E, 0xAB, 0x1A, 0x54}}};
  return info;
}

RuntimeStreamWrapper::~RuntimeStreamWrapper() {
  if (owns_ == 1) delete stream_;
}

oo::status_t RuntimeStreamWrapper::QueryInterface(const oo::guid_t& iid, void** out) {
  return queryStreamInterface(this, interfaceInfo(), iid, out);
}

std::uint32_t RuntimeStreamWrapper::read(void* buffer, std::uint32_t count) {
  return stream_->read(buffer, count);
}

std::uint32_t RuntimeStreamWrapper::write(const void* buffer, std::uint32_t count) {
  return stream_->write(buffer, count);
}

std::uint32_t RuntimeStreamWrapper::getSize() { return static_cast<std::uint32_t>(stream_->size()); }

std::uint32_t RuntimeStreamWrapper::getPosition() {
  return static_cast<std::uint32_t>(stream_->position());
}

oo::status_t RuntimeStreamWrapper::readBuffer(void* buffer, std::uint32_t count) {
  return oo::safecallBoundary([&] {
    if (stream_->read(buffer, count) != count) raiseStreamReadError();
  });
}

oo::status_t RuntimeStreamWrapper::writeBuffer(const void* buffer, std::uint32_t count) {
  return oo::safecallBoundary([&] {
    if (stream_->write(buffer, count) != count) raiseStreamWriteError();
  });
}

oo::status_t RuntimeStreamWrapper::copyFrom(oo::InterfacePtr<IStream> source,
                                            std::uint32_t count) {
  return oo::safecallBoundary([&] {
    oo::InterfacePtr<IStream> from = std::move(source);
    auto runtimeSource = oo::InterfacePtr<RuntimeStreamWrapper>::queryFrom(from);
    if (runtimeSource) {
      // A source that holds fewer bytes fails like any short read.
      if (stream_->copyFrom(*runtimeSource->stream_, count) != count) raiseStreamReadError();
      return;
    }
    // writeBuffer makes a runtime stream that takes fewer bytes a failed
    // write, not a silently shortened copy.
    copyStream(oo::InterfacePtr<IStream>(this), std::move(from), count);
  });
}

oo::status_t RuntimeStreamWrapper::setPosition(std::uint32_t position) {
  return oo::safecallBoundary([&] { stream_->setPosition(static_cast<std::int64_t>(position)); });
}

}  // namespace wyx::io
