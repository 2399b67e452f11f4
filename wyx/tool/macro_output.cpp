// MacroOutput: the buffer between an expansion and its output stream.
#include "wyx/tool/macro_output.hpp"

#include <algorithm>

#include "wyx/oo/safecall.hpp"

namespace wyx::tool {

namespace {

// An output starts this small, so that a short expansion or one macro's
// collected text costs no large buffer; it doubles as text arrives.
constexpr std::size_t kFirstCapacity = 256;
// Largest count handed to one writeBuffer call.
constexpr std::size_t kMaxWrite = std::size_t{1} << 30;

}  // namespace

MacroOutput::MacroOutput(io::IStream& target)
    : target_(&target), capacity_(kFirstCapacity), buffer_(new char[kFirstCapacity]) {
  cursor_ = buffer_.get();
  end_ = cursor_ + capacity_;
}

MacroOutput::MacroOutput()
    : target_(nullptr), capacity_(kFirstCapacity), buffer_(new char[kFirstCapacity]) {
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

// The buffer cannot take `size` more bytes: it grows, up to kBufferSize
// when it has a stream; a full-sized one is filled and sent, and a rest that
// would fill another one is sent at once, without copying it first.
void MacroOutput::spill(const char* data, std::size_t size) {
  const std::size_t used = static_cast<std::size_t>(cursor_ - buffer_.get());
  if (target_ == nullptr || capacity_ < kBufferSize) {
    std::size_t capacity = std::max(2 * capacity_, used + size);
    if (target_ != nullptr) capacity = std::min(capacity, kBufferSize);
    std::unique_ptr<char[]> grown(new char[capacity]);
    std::memcpy(grown.get(), buffer_.get(), used);
    buffer_ = std::move(grown);
    capacity_ = capacity;
    cursor_ = buffer_.get() + used;
    end_ = buffer_.get() + capacity_;
    if (size <= capacity_ - used) {
      std::memcpy(cursor_, data, size);
      cursor_ += size;
      return;
    }
  }
  const std::size_t room = static_cast<std::size_t>(end_ - cursor_);
  std::memcpy(cursor_, data, room);
  cursor_ += room;
  data += room;
  size -= room;
  flush();
  if (size >= capacity_) {
    flushed_ += size;
    return send(data, size);
  }
  std::memcpy(cursor_, data, size);
  cursor_ += size;
}

void MacroOutput::makeRoom() {
  if (target_ != nullptr && capacity_ == kBufferSize) return flush();
  const char c = 0;
  const std::size_t used = static_cast<std::size_t>(cursor_ - buffer_.get());
  spill(&c, 1);  // grows
  cursor_ = buffer_.get() + used;
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
