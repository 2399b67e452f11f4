// MacroOutput: the buffer between an expansion and its output stream.
#include "wyx/tool/macro_output.hpp"

#include <algorithm>

#include "wyx/oo/safecall.hpp"

namespace wyx::tool {

namespace {

// A collecting output starts small, as it holds one macro's text, and
// doubles as text arrives. One with a stream starts at a size that most
// blocks' expansions fit in and takes its full size once that is full, so
// that a short expansion costs no large buffer.
constexpr std::size_t kFirstCollectCapacity = 256;
constexpr std::size_t kFirstStreamCapacity = std::size_t{1} << 16;
// Largest count handed to one writeBuffer call.
constexpr std::size_t kMaxWrite = std::size_t{1} << 30;

}  // namespace

MacroOutput::MacroOutput(io::IStream& target, std::size_t expectedSize)
    : target_(&target),
      capacity_(std::clamp(expectedSize, kFirstStreamCapacity, kBufferSize)),
      buffer_(new char[capacity_]) {
  cursor_ = buffer_.get();
  end_ = cursor_ + capacity_;
}

MacroOutput::MacroOutput()
    : target_(nullptr), capacity_(kFirstCollectCapacity), buffer_(new char[kFirstCollectCapacity]) {
  cursor_ = buffer_.get();
  end_ = cursor_ + capacity_;
}

MacroOutput::~MacroOutput() = default;

void MacroOutput::writeLines(const char* data, std::size_t size, const void* firstLineFeed) {
  const char* last = static_cast<const char*>(firstLineFeed);
  const char* end = data + size;
  while (const void* next = std::memchr(last + 1, '\n', static_cast<std::size_t>(end - last - 1))) {
    last = static_cast<const char*>(next);
  }
  lineStart_ = count() + static_cast<std::uint64_t>(last + 1 - data);
  append(data, size);
}

void MacroOutput::fill(char c, std::size_t count) {
  while (count > 0) {
    if (cursor_ == end_) makeRoom();
    const std::size_t n = std::min(count, static_cast<std::size_t>(end_ - cursor_));
    std::memset(cursor_, c, n);
    cursor_ += n;
    count -= n;
  }
}

// The buffer cannot take `size` more bytes. A collecting output grows. One
// with a stream sends what it holds; its first buffer is then replaced by
// one of full size, without copying, and the bytes go into the buffer, or
// to the stream at once when they would fill a full one.
void MacroOutput::spill(const char* data, std::size_t size) {
  if (target_ == nullptr) {
    const std::size_t used = static_cast<std::size_t>(cursor_ - buffer_.get());
    replaceBuffer(std::max(2 * capacity_, used + size), used);
  } else {
    const std::size_t room =
        capacity_ == kBufferSize ? static_cast<std::size_t>(end_ - cursor_) : 0;
    std::memcpy(cursor_, data, room);
    cursor_ += room;
    data += room;
    size -= room;
    makeRoom();
    if (size >= capacity_) {
      flushed_ += size;
      return send(data, size);
    }
  }
  std::memcpy(cursor_, data, size);
  cursor_ += size;
}

// Empties a full buffer (or grows a collecting one).
void MacroOutput::makeRoom() {
  if (target_ == nullptr) {
    const std::size_t used = static_cast<std::size_t>(cursor_ - buffer_.get());
    return replaceBuffer(2 * capacity_, used);
  }
  flush();
  if (capacity_ < kBufferSize) replaceBuffer(kBufferSize, 0);
}

// A buffer of `capacity` bytes that starts with the first `keep` of the
// current one.
void MacroOutput::replaceBuffer(std::size_t capacity, std::size_t keep) {
  std::unique_ptr<char[]> replacement(new char[capacity]);
  std::memcpy(replacement.get(), buffer_.get(), keep);
  buffer_ = std::move(replacement);
  capacity_ = capacity;
  cursor_ = buffer_.get() + keep;
  end_ = buffer_.get() + capacity_;
}

// The buffer is emptied before it is sent, so a failed write is not repeated.
void MacroOutput::flush() {
  if (target_ == nullptr) return;
  const std::size_t size = static_cast<std::size_t>(cursor_ - buffer_.get());
  cursor_ = buffer_.get();
  flushed_ += size;
  send(buffer_.get(), size);
}

void MacroOutput::send(const char* data, std::size_t size) {
  while (size > 0) {
    const std::size_t n = std::min(size, kMaxWrite);
    oo::checkStatus(target_->writeBuffer(data, static_cast<std::uint32_t>(n)));
    data += n;
    size -= n;
  }
}

std::string MacroOutput::takeText() {
  std::string text(buffer_.get(), cursor_);
  cursor_ = buffer_.get();
  flushed_ = 0;
  lineStart_ = 0;
  return text;
}

}  // namespace wyx::tool
