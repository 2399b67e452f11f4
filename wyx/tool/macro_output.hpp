// MacroOutput, where an expansion writes: literal text and macro results go
// through one buffer into the output stream (or are collected in memory),
// and the output keeps what column tracking needs. A macro gets it in its
// context and may write its text there instead of returning it; nested
// expansions write into the same output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "wyx/io/stream.hpp"

namespace wyx::tool {

class MacroOutput {
 public:
  // Bytes collected before they are written to the stream. Large enough
  // that the stream can hand each full buffer to the system as it is. The
  // buffer starts smaller and takes this size only once a long expansion
  // has filled the first one, so that short expansions stay cheap.
  static constexpr std::size_t kBufferSize = std::size_t{1} << 20;

  // Writes into `target` at its position, in pieces of at most kBufferSize,
  // and the rest at flush(). `target` must outlive the output. The first
  // buffer holds `expectedSize` bytes, within bounds, so that an expansion
  // known to be long starts at full size.
  explicit MacroOutput(io::IStream& target, std::size_t expectedSize = 0);
  // Collects the text in memory (takeText).
  MacroOutput();
  // Does not flush: what was not flushed is lost.
  ~MacroOutput();
  MacroOutput(const MacroOutput&) = delete;
  MacroOutput& operator=(const MacroOutput&) = delete;

  // Appends text; a line feed in it starts a new output line. Raises
  // ESafecallException when the stream refuses a full buffer.
  void write(const char* data, std::size_t size) {
    const void* lineFeed = size != 0 ? std::memchr(data, '\n', size) : nullptr;
    if (lineFeed != nullptr) return writeLines(data, size, lineFeed);
    append(data, size);
  }
  void write(std::string_view text) { write(text.data(), text.size()); }
  // Appends `size` bytes of which the first `lineEnd` end with a line feed
  // (0: the text holds none), so nothing needs to be searched.
  void write(const char* data, std::size_t size, std::size_t lineEnd) {
    if (lineEnd != 0) lineStart_ = count() + lineEnd;
    append(data, size);
  }
  // Appends `count` copies of `c`, which is not a line feed.
  void fill(char c, std::size_t count);

  // Bytes written since construction.
  std::uint64_t count() const {
    return flushed_ + static_cast<std::uint64_t>(cursor_ - buffer_.get());
  }
  // count() just after the last line feed written; 0 before the first.
  std::uint64_t lineStart() const { return lineStart_; }

  // Writes what is buffered to the stream (nothing when collecting).
  // Raises ESafecallException when the stream refuses it; the bytes are
  // dropped either way.
  void flush();

  // The collected text; the output is empty afterwards.
  std::string takeText();

 private:
  void append(const char* data, std::size_t size) {
    if (size <= static_cast<std::size_t>(end_ - cursor_)) {
      std::memcpy(cursor_, data, size);
      cursor_ += size;
      return;
    }
    spill(data, size);
  }
  void writeLines(const char* data, std::size_t size, const void* firstLineFeed);
  void spill(const char* data, std::size_t size);
  void makeRoom();
  void replaceBuffer(std::size_t capacity, std::size_t keep);
  void send(const char* data, std::size_t size);

  io::IStream* target_;
  std::size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  char* cursor_;
  char* end_;
  std::uint64_t flushed_ = 0;  // bytes no longer in the buffer
  std::uint64_t lineStart_ = 0;
};

}  // namespace wyx::tool
