#include "qirt/header_output.hpp"

#include <algorithm>
#include <cstring>

#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"

namespace qirt {
namespace {

using wyx::oo::status_t;
namespace platform = wyx::platform;

}  // namespace

HeaderOutput::HeaderOutput(const platform::native_path_t& directory, platform::native_path_t target,
                           std::uint64_t& budget, const size_limit_t& limit)
    : directory_(directory),
      target_(std::move(target)),
      budget_(budget),
      limit_(limit),
      buffer_(new char[kBufferSize]) {
  // Opened for update, though only read: a header that a writer could not
  // replace (a directory, no permission) is refused before any work.
  existed_ = platform::openFile(target_, true, &old_);
  if (!existed_ && !platform::isMissingFile(platform::lastSystemError())) {
    wyx::io::raiseStreamOpenError();
  }
  if (!existed_) diverge();  // a new header differs from the first byte on
}

HeaderOutput::~HeaderOutput() {
  if (old_.valid()) platform::closeFile(old_);
  if (new_.valid()) platform::closeFile(new_);
  if (!temporary_.empty()) platform::removeLeftover(temporary_);
}

std::uint32_t HeaderOutput::write(const void* buffer, std::uint32_t count) {
  return writeBuffer(buffer, count) == wyx::oo::kStatusOk ? count : 0;
}

template <class Work>
status_t HeaderOutput::guarded(Work&& work) noexcept {
  try {
    // After a failure the output is in no state to go on.
    if (failure_) wyx::io::raiseStreamWriteError();
    work();
    return wyx::oo::kStatusOk;
  } catch (...) {
    // current_exception refers to the exception in flight: no copy, no
    // allocation, so the cause survives a lack of memory too.
    if (!failure_) failure_ = std::current_exception();
    return wyx::oo::handleSafecallException();
  }
}

status_t HeaderOutput::writeBuffer(const void* buffer, std::uint32_t count) {
  return guarded([&] { take(static_cast<const char*>(buffer), count); });
}

void HeaderOutput::take(const char* data, std::size_t count) {
  if (count > budget_) limit_.refuse();
  budget_ -= count;
  if (new_.valid()) {
    writeOut(data, count);
  } else {
    compare(data, count);
  }
}

// Moves over the bytes that equal the old header; at the first one that does
// not, the rest goes to a temporary file.
void HeaderOutput::compare(const char* data, std::size_t count) {
  while (count > 0) {
    if (cursor_ == fill_ && !refillOld()) {
      diverge();
      return writeOut(data, count);
    }
    const std::size_t n = std::min(count, fill_ - cursor_);
    const char* old = buffer_.get() + cursor_;
    std::size_t same = 0;
    if (std::memcmp(old, data, n) != 0) {
      while (old[same] == data[same]) ++same;
      cursor_ += same;
      written_ += same;
      diverge();
      return writeOut(data + same, count - same);
    }
    cursor_ += n;
    written_ += n;
    data += n;
    count -= n;
  }
}

// False at the end of the old header.
bool HeaderOutput::refillOld() {
  if (oldEnded_) return false;
  std::size_t got = 0;
  if (!platform::readFile(old_, buffer_.get(), kBufferSize, &got)) wyx::io::raiseStreamReadError();
  cursor_ = 0;
  fill_ = got;
  oldEnded_ = got == 0;
  return !oldEnded_;
}

// Creates the temporary file with the bytes taken so far, which equal the
// start of the old header.
void HeaderOutput::diverge() {
  if (!platform::createTempFile(directory_, target_, &temporary_, &new_)) {
    wyx::io::raiseStreamOpenError();
  }
  if (old_.valid()) {
    copyOldPrefix(written_);
    platform::closeFile(old_);  // only read: nothing to lose
    old_ = platform::native_file_t();
  }
  cursor_ = 0;
  fill_ = 0;
}

void HeaderOutput::copyOldPrefix(std::uint64_t count) {
  if (!platform::seekFile(old_, 0)) wyx::io::raiseStreamReadError();
  while (count > 0) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, count));
    std::size_t got = 0;
    if (!platform::readFile(old_, buffer_.get(), want, &got) || got == 0) {
      wyx::io::raiseStreamReadError();
    }
    if (!platform::writeFile(new_, buffer_.get(), got)) wyx::io::raiseStreamWriteError();
    count -= got;
  }
}

void HeaderOutput::writeOut(const char* data, std::size_t count) {
  written_ += count;
  if (count >= kBufferSize) {
    flush();
    if (!platform::writeFile(new_, data, count)) wyx::io::raiseStreamWriteError();
    return;
  }
  if (fill_ + count > kBufferSize) flush();
  std::memcpy(buffer_.get() + fill_, data, count);
  fill_ += count;
}

void HeaderOutput::flush() {
  const std::size_t size = fill_;
  fill_ = 0;
  if (size > 0 && !platform::writeFile(new_, buffer_.get(), size)) wyx::io::raiseStreamWriteError();
}

status_t HeaderOutput::finish() {
  return guarded([&] { complete(); });
}

void HeaderOutput::complete() {
  // A new text that stops short of the old header's end differs too.
  if (!new_.valid() && (cursor_ < fill_ || refillOld())) diverge();
  if (new_.valid()) {
    flush();
    const platform::native_file_t file = new_;
    new_ = platform::native_file_t();
    if (!platform::closeFile(file)) wyx::io::raiseStreamWriteError();
  } else if (old_.valid()) {
    platform::closeFile(old_);
    old_ = platform::native_file_t();
  }
}

}  // namespace qirt
