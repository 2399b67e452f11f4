// One header of a HeaderFileSet: a stream that compares what is written with
// the header on disk and, at the first difference, goes on in a temporary
// file beside it, with the identical part copied over.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>

#include "qirt/header_size.hpp"
#include "qirt/output_stream.hpp"
#include "wyx/platform/platform.hpp"

namespace qirt {

// Created with reference count 0 and held by its set through InterfacePtr
// (see OutputStream for how it is used as a stream). A write of at least
// kBufferSize bytes goes to the file as it is, without being copied.
//
// Its safecall operations keep the exception that stopped the first failed
// one (failure()); after it every write fails.
class HeaderOutput final : public wyx::oo::RefCounted<HeaderOutput, OutputStream> {
 public:
  // Old bytes are compared, and new ones written, in pieces of this size.
  static constexpr std::size_t kBufferSize = std::size_t{1} << 20;

  // `directory` (ends in the path delimiter), `budget`, the bytes that all
  // outputs of the set may still take, and `limit`, whose refusal a write
  // beyond the budget raises, must outlive the output. Raises
  // wyx::io::EStreamOpenError when the target exists but could not be
  // replaced by a writer, and, for a target that does not exist yet, when
  // no temporary file can be created beside it.
  HeaderOutput(const wyx::platform::native_path_t& directory, wyx::platform::native_path_t target,
               std::uint64_t& budget, const size_limit_t& limit);

  std::uint32_t write(const void* buffer, std::uint32_t count) override;
  std::uint32_t getSize() override { return static_cast<std::uint32_t>(written_); }
  wyx::oo::status_t writeBuffer(const void* buffer, std::uint32_t count) override;

  // Ends the output: compares the rest of the old header, or completes the
  // temporary file. A safecall operation like the writes: fails for what a
  // write fails for, and when the temporary file cannot be closed.
  wyx::oo::status_t finish();

  // After finish: whether the target must be replaced by temporary().
  bool changed() const { return !temporary_.empty(); }
  bool existed() const { return existed_; }
  const wyx::platform::native_path_t& target() const { return target_; }
  // The temporary file; the set clears it once the file is renamed.
  wyx::platform::native_path_t& temporary() { return temporary_; }

  // The exception that stopped the first failed operation, or null:
  // EHeaderSizeLimit past the budget, EStreamOpenError when no temporary
  // file can be created, a stream error of the files otherwise.
  std::exception_ptr failure() const { return failure_; }

 private:
  friend class wyx::oo::RefCounted<HeaderOutput, OutputStream>;
  // Closes the files and removes the temporary one unless it was taken.
  ~HeaderOutput();

  // Runs `work` as the body of a safecall operation and keeps its cause.
  template <class Work>
  wyx::oo::status_t guarded(Work&& work) noexcept;
  void complete();
  void take(const char* data, std::size_t count);
  void compare(const char* data, std::size_t count);
  bool refillOld();
  void diverge();
  void copyOldPrefix(std::uint64_t count);
  void writeOut(const char* data, std::size_t count);
  void flush();

  const wyx::platform::native_path_t& directory_;
  const wyx::platform::native_path_t target_;
  std::uint64_t& budget_;
  const size_limit_t& limit_;
  wyx::platform::native_path_t temporary_;
  wyx::platform::native_file_t old_;
  wyx::platform::native_file_t new_;
  bool existed_ = false;
  std::exception_ptr failure_;
  std::uint64_t written_ = 0;  // bytes taken so far
  // While comparing: old bytes, [cursor_, fill_) not yet compared. While
  // writing: bytes waiting to go to the temporary file, [0, fill_).
  std::unique_ptr<char[]> buffer_;
  std::size_t cursor_ = 0;
  std::size_t fill_ = 0;
  bool oldEnded_ = false;
};

}  // namespace qirt
