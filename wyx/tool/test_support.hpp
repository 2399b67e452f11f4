// Test-only helpers for the template engine: in-memory blocks and templates,
// a stream that delivers its bytes in small reads, and a compact dump of a
// block table. Only test binaries include this.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "wyx/io/memory_stream.hpp"
#include "wyx/oo/safecall.hpp"
#include "wyx/tool/macro_expander.hpp"

namespace wyx::tool::testing {

// Serves fixed bytes with at most `maxRead` bytes per read, so that every
// piece boundary of a reader falls somewhere inside the text.
class TrickleStream final : public io::IStream {
 public:
  TrickleStream(std::string data, std::uint32_t maxRead)
      : data_(std::move(data)), maxRead_(maxRead) {}

  oo::status_t QueryInterface(const oo::guid_t&, void** out) override {
    *out = nullptr;
    return oo::kStatusNoInterface;
  }
  std::int32_t AddRef() override { return 1; }
  std::int32_t Release() override { return 1; }

  std::uint32_t read(void* buffer, std::uint32_t count) override {
    const std::size_t n = std::min<std::size_t>({count, maxRead_, data_.size() - position_});
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    ++reads_;
    return static_cast<std::uint32_t>(n);
  }
  std::uint32_t write(const void*, std::uint32_t) override { return 0; }
  std::uint32_t getSize() override { return static_cast<std::uint32_t>(data_.size()); }
  std::uint32_t getPosition() override { return static_cast<std::uint32_t>(position_); }
  oo::status_t readBuffer(void* buffer, std::uint32_t count) override {
    if (data_.size() - position_ < count) return oo::kStatusFailed;
    std::memcpy(buffer, data_.data() + position_, count);
    position_ += count;
    return oo::kStatusOk;
  }
  oo::status_t writeBuffer(const void*, std::uint32_t) override { return oo::kStatusFailed; }
  oo::status_t copyFrom(oo::InterfacePtr<io::IStream>, std::uint32_t) override {
    return oo::kStatusFailed;
  }
  oo::status_t setPosition(std::uint32_t position) override {
    if (position > data_.size()) return oo::kStatusFailed;
    position_ = position;
    return oo::kStatusOk;
  }

  int reads() const { return reads_; }

 private:
  std::string data_;
  std::size_t maxRead_;
  std::size_t position_ = 0;
  int reads_ = 0;
};

inline std::shared_ptr<io::MemoryStream> memoryStreamOf(const std::string& text) {
  auto stream = io::makeSharedStream<io::MemoryStream>();
  oo::checkStatus(stream->writeBuffer(text.data(), static_cast<std::uint32_t>(text.size())));
  oo::checkStatus(stream->setPosition(0));
  return stream;
}

inline std::string contentOf(io::MemoryStream& stream) {
  return std::string(stream.data() ? stream.data() : "", stream.getSize());
}

inline block_t blockOf(const std::string& text, std::int32_t line = 0) {
  return block_t{memoryStreamOf(text), line};
}

// A block whose stream hands out at most `maxRead` bytes per read.
inline block_t trickleBlockOf(const std::string& text, std::uint32_t maxRead,
                              std::int32_t line = 0) {
  return block_t{std::make_shared<TrickleStream>(text, maxRead), line};
}

inline std::string expandToString(MacroExpander& expander, const block_t& block) {
  auto output = io::makeSharedStream<io::MemoryStream>();
  expander.expand(block, *output);
  return contentOf(*output);
}

inline std::string blockText(const block_t& block) {
  std::string text(block.stream->getSize(), '\0');
  oo::checkStatus(block.stream->setPosition(0));
  if (!text.empty()) {
    oo::checkStatus(block.stream->readBuffer(text.data(), static_cast<std::uint32_t>(text.size())));
  }
  return text;
}

// "NAME@LINE[text]" per block in table order, for one-comparison checks.
inline std::string dumpBlocks(const blockmap_t& blocks) {
  std::string dump;
  for (const auto& [name, block] : blocks) {
    if (!dump.empty()) dump += ' ';
    dump += name + '@' + std::to_string(block.line) + '[' + blockText(block) + ']';
  }
  return dump;
}

inline blockmap_t parseTemplate(const std::string& text) {
  blockmap_t blocks;
  auto source = memoryStreamOf(text);
  MacroExpander::parseBlocks(*source, blocks);
  return blocks;
}

}  // namespace wyx::tool::testing
