// One header of a HeaderFileSet: a stream that compares what is written with
// the header on disk and, at the first difference, goes on in a temporary
// file beside it, with the identical part copied over.
#pragma once

#include <cstdint>
#include <memory>

#include "qirt/output_stream.hpp"
#include "wyx/platform/platform.hpp"

namespace qirt {

// Owned by its set (see OutputStream for how it is used as a stream).
class HeaderOutput final : public OutputStream {
 public:
  // `directory` (ends in the path delimiter) and `budget`, the bytes that
  // all outputs of the set may still take, must outlive the output. Raises
  // wyx::io::EStreamOpenError when the target exists but could not be
  // replaced by a writer, and, for a target that does not exist yet, when
  // no temporary file can be created beside it.
  HeaderOutput(const wyx::platform::native_path_t& directory, wyx::platform::native_path_t target,
               std::uint64_t& budget);
  // Closes the files and removes the temporary one unless it was taken.
  ~HeaderOutput();

  std::uint32_t write(const void* buffer, std::uint32_t count) override;
  std::uint32_t getSize() override { return static_cast<std::uint32_t>(written_); }
  wyx::oo::status_t writeBuffer(const void* buffer, std::uint32_t count) override;
  wyx::oo::status_t copyFrom(wyx::oo::InterfacePtr<wyx::io::IStream> source,
                             std::uint32_t count) override;

  // Ends the output: compares the rest of the old header, or completes the
  // temporary file. Raises what a write raises, and EStreamWriteError when
  // the temporary file cannot be closed.
  void finish();

  // After finish: whether the target must be replaced by temporary().
  bool changed() const { return !temporary_.empty(); }
  bool existed() const { return existed_; }
  const wyx::platform::native_path_t& target() const { return target_; }
  // The temporary file; the set clears it once the file is renamed.
  wyx::platform::native_path_t& temporary() { return temporary_; }

  // Why the last write failed.
  bool limitExceeded() const { return limitExceeded_; }
  bool openFailed() const { return openFailed_; }

 private:
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
  wyx::platform::native_path_t temporary_;
  wyx::platform::native_file_t old_;
  wyx::platform::native_file_t new_;
  bool existed_ = false;
  bool failed_ = false;
  bool limitExceeded_ = false;
  bool openFailed_ = false;
  std::uint64_t written_ = 0;  // bytes taken so far
  // While comparing: old bytes, [cursor_, fill_) not yet compared. While
  // writing: bytes waiting to go to the temporary file, [0, fill_).
  std::unique_ptr<char[]> buffer_;
  std::size_t cursor_ = 0;
  std::size_t fill_ = 0;
  bool oldEnded_ = false;
};

}  // namespace qirt
