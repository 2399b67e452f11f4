// TextStream, the in-memory output of the macros that expand blocks
// repeatedly: it collects what is written in a std::string that the macro
// then hands back as its result without another copy.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "wyx/io/stream.hpp"

namespace qirt {

// Writes append to the text; reads give nothing. The position is always the
// end of the text: setPosition to any other place fails with
// EStreamSetPosError. Meant to live as an automatic object whose reference
// count is never used, so it must not be handed to an InterfacePtr.
class TextStream : public wyx::io::IStream {
 public:
  TextStream() = default;
  TextStream(const TextStream&) = delete;
  TextStream& operator=(const TextStream&) = delete;
  ~TextStream() = default;

  wyx::oo::status_t QueryInterface(const wyx::oo::guid_t& iid, void** out) override;
  std::int32_t AddRef() override { return refs_.increment(); }
  std::int32_t Release() override { return refs_.decrement(); }

  std::uint32_t read(void* buffer, std::uint32_t count) override;
  std::uint32_t write(const void* buffer, std::uint32_t count) override;
  std::uint32_t getSize() override { return static_cast<std::uint32_t>(text_.size()); }
  std::uint32_t getPosition() override { return getSize(); }
  wyx::oo::status_t readBuffer(void* buffer, std::uint32_t count) override;
  wyx::oo::status_t writeBuffer(const void* buffer, std::uint32_t count) override;
  wyx::oo::status_t copyFrom(wyx::oo::InterfacePtr<wyx::io::IStream> source,
                             std::uint32_t count) override;
  wyx::oo::status_t setPosition(std::uint32_t position) override;

  const std::string& text() const { return text_; }
  // Moves the collected text out; the stream is empty afterwards.
  std::string takeText() { return std::exchange(text_, std::string()); }

 private:
  std::string text_;
  wyx::oo::RefCounter refs_;
};

}  // namespace qirt
