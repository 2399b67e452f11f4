#include "qirt/header_files.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "wyx/io/c_stream_wrapper.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/platform.hpp"
#include "wyx/oo/safecall.hpp"

namespace qirt {
namespace {

using wyx::UnicodeString;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

constexpr std::size_t kCompareChunk = 1 << 16;
// writeBuffer takes a 32-bit count; a header never exceeds 1 GiB, but the
// loop does not rely on that.
constexpr std::size_t kWriteChunk = std::size_t{1} << 30;

bool sameContent(std::FILE* file, std::string_view text) {
  if (std::fseek(file, 0, SEEK_END) != 0) return false;
  long size = std::ftell(file);
  if (size < 0 || static_cast<unsigned long>(size) != text.size()) return false;
  std::rewind(file);
  std::unique_ptr<char[]> chunk(new char[kCompareChunk]);
  for (std::size_t offset = 0; offset < text.size();) {
    std::size_t want = std::min(kCompareChunk, text.size() - offset);
    if (std::fread(chunk.get(), 1, want, file) != want) return false;
    if (std::memcmp(chunk.get(), text.data() + offset, want) != 0) return false;
    offset += want;
  }
  return true;
}

// True when the target already holds `text`. A target that exists but could
// not be replaced by a writer (a directory, a read-only file) is refused here,
// before anything is written.
bool isUpToDate(const UnicodeString& path, std::string_view text) {
  FilePtr file(wyx::platform::openFile(path, "rb+"));
  if (!file) {
    if (errno == ENOENT) return false;
    wyx::io::raiseStreamOpenError();
  }
  return sameContent(file.get(), text);
}

void writeText(wyx::io::IStream& stream, std::string_view text) {
  for (std::size_t offset = 0; offset < text.size();) {
    std::size_t count = std::min(kWriteChunk, text.size() - offset);
    wyx::oo::checkStatus(stream.writeBuffer(text.data() + offset, static_cast<std::uint32_t>(count)));
    offset += count;
  }
}

// The temporary files of one installation; whatever is still listed when it
// ends is removed.
class TemporaryFiles {
 public:
  TemporaryFiles() = default;
  TemporaryFiles(const TemporaryFiles&) = delete;
  TemporaryFiles& operator=(const TemporaryFiles&) = delete;
  ~TemporaryFiles() {
    for (const UnicodeString& path : paths_) {
      if (!path.empty()) wyx::platform::removeFile(path);
    }
  }

  // Writes `text` to a new temporary file in `directory`; returns its index.
  std::size_t create(const UnicodeString& directory, std::string_view text) {
    UnicodeString path;
    std::FILE* file = wyx::platform::createTempFile(directory, path);
    if (file == nullptr) wyx::io::raiseStreamOpenError();
    paths_.push_back(path);
    // Unbuffered, so a failing write (disk full, file size limit) shows in
    // writeBuffer and not only in the unchecked fclose of the wrapper.
    std::setvbuf(file, nullptr, _IONBF, 0);
    wyx::oo::InterfacePtr<wyx::io::IStream> stream(new wyx::io::CStreamWrapper(file, 1));
    writeText(*stream, text);
    return paths_.size() - 1;
  }

  // Renames the file over `target`; it is no longer removed afterwards.
  void commit(std::size_t index, const UnicodeString& target) {
    if (!wyx::platform::replaceFile(paths_[index], target)) wyx::io::raiseStreamOpenError();
    paths_[index].clear();
  }

 private:
  std::vector<UnicodeString> paths_;
};

}  // namespace

void installHeaderFiles(const UnicodeString& directory, const std::vector<header_file_t>& headers) {
  std::vector<UnicodeString> targets;
  std::vector<bool> changed;
  for (const header_file_t& header : headers) {
    targets.push_back(directory + wyx::fromUtf8(header.fileName));
    changed.push_back(!isUpToDate(targets.back(), header.text));
  }
  TemporaryFiles temporaries;
  std::vector<std::size_t> written(headers.size());
  for (std::size_t i = 0; i < headers.size(); ++i) {
    if (changed[i]) written[i] = temporaries.create(directory, headers[i].text);
  }
  for (std::size_t i = 0; i < headers.size(); ++i) {
    if (changed[i]) temporaries.commit(written[i], targets[i]);
  }
}

}  // namespace qirt
