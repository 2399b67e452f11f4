#include "wyx/io/c_stream_wrapper.hpp"

#include "wyx/io/copy_stream.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"

namespace wyx::io {

const oo::interface_info_t& CStreamWrapper::interfaceInfo() {
  // {D04BA57A-601F-43A7-8C6C-4F71484783AF}
  static const oo::interface_info_t info = {
      u"wyx::io::CStreamWrapper", &info.guid, nullptr,
      {0xD04BA57A, 0x601F, 0x43A7, {0x8C, 0x6C, 0x4F, 0x71, 0x48, 0x47, 0x83, 0xAF}}};
  return info;
}

CStreamWrapper::CStreamWrapper(std::FILE* file, std::int32_t owns) : file_(file), owns_(owns) {
  if (file_ == nullptr) raiseStreamOpenError();
}

CStreamWrapper::~CStreamWrapper() {
  if (owns_ == 1) std::fclose(file_);
}

oo::status_t CStreamWrapper::QueryInterface(const oo::guid_t& iid, void** out) {
  return queryStreamInterface(this, interfaceInfo(), iid, out);
}

std::uint32_t CStreamWrapper::read(void* buffer, std::uint32_t count) {
  return static_cast<std::uint32_t>(std::fread(buffer, 1, count, file_));
}

std::uint32_t CStreamWrapper::write(const void* buffer, std::uint32_t count) {
  return static_cast<std::uint32_t>(std::fwrite(buffer, 1, count, file_));
}

std::uint32_t CStreamWrapper::getSize() {
  long position = std::ftell(file_);
  std::fseek(file_, 0, SEEK_END);
  long size = std::ftell(file_);
  std::fseek(file_, position, SEEK_SET);
  return static_cast<std::uint32_t>(size);
}

std::uint32_t CStreamWrapper::getPosition() {
  return static_cast<std::uint32_t>(std::ftell(file_));
}

oo::status_t CStreamWrapper::readBuffer(void* buffer, std::uint32_t count) {
  return oo::safecallBoundary([&] {
    if (read(buffer, count) != count) raiseStreamReadError();
  });
}

oo::status_t CStreamWrapper::writeBuffer(const void* buffer, std::uint32_t count) {
  return oo::safecallBoundary([&] {
    if (write(buffer, count) != count) raiseStreamWriteError();
  });
}

oo::status_t CStreamWrapper::copyFrom(oo::InterfacePtr<IStream> source, std::uint32_t count) {
  return oo::safecallBoundary([&] {
    copyStream(oo::InterfacePtr<IStream>(this), std::move(source), count);
  });
}

oo::status_t CStreamWrapper::setPosition(std::uint32_t position) {
  std::fseek(file_, static_cast<long>(position), SEEK_SET);
  return oo::kStatusOk;
}

}  // namespace wyx::io
