// TextStream, the in-memory output of the macros that expand blocks
// repeatedly: it collects what is written in a std::string that the macro
// then hands back as its result without another copy.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "qirt/output_stream.hpp"

namespace qirt {

// Writes append to the text (see OutputStream for the rest).
class TextStream final : public OutputStream {
 public:
  TextStream() = default;
  ~TextStream() = default;

  std::uint32_t write(const void* buffer, std::uint32_t count) override;
  std::uint32_t getSize() override { return static_cast<std::uint32_t>(text_.size()); }
  wyx::oo::status_t writeBuffer(const void* buffer, std::uint32_t count) override;
  wyx::oo::status_t copyFrom(wyx::oo::InterfacePtr<wyx::io::IStream> source,
                             std::uint32_t count) override;

  const std::string& text() const { return text_; }
  // Moves the collected text out; the stream is empty afterwards.
  std::string takeText() { return std::exchange(text_, std::string()); }

 private:
  std::string text_;
};

}  // namespace qirt
