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
using wyx::platform::native_path_t;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

constexpr std::size_t kCompareChunk = 1 << 16;
// writeBuffer takes a 32-bit count; a header never exceeds 1 GiB, but the
// loop does not rely on that.
constexpr std::size_t kWriteChunk = std::size_t{1} << 30;
// Appended to a temporary file's name to name the backup of the header it
// replaces; temporary names are unique, so these are too.
constexpr char kBackupSuffix[] = "-old";

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

void writeText(wyx::io::IStream& stream, std::string_view text) {
  for (std::size_t offset = 0; offset < text.size();) {
    std::size_t count = std::min(kWriteChunk, text.size() - offset);
    wyx::oo::checkStatus(
        stream.writeBuffer(text.data() + offset, static_cast<std::uint32_t>(count)));
    offset += count;
  }
}

// Writes `text` to `file` and closes it; a failed close is a failed write.
void writeAndClose(std::FILE* file, std::string_view text) {
  // Unbuffered, so a failing write (disk full, file size limit) shows in
  // writeBuffer already.
  std::setvbuf(file, nullptr, _IONBF, 0);
  try {
    wyx::oo::InterfacePtr<wyx::io::IStream> stream(new wyx::io::CStreamWrapper(file, 0));
    writeText(*stream, text);
  } catch (...) {
    std::fclose(file);
    throw;
  }
  if (!wyx::platform::closeFile(file)) wyx::io::raiseStreamWriteError();
}

// Copies the file `from` into the new file `to` (the backup where the file
// system has no hard links).
void copyInto(const native_path_t& from, std::FILE* to) {
  FilePtr source(wyx::platform::openFile(from, "rb"));
  if (!source) {
    std::fclose(to);
    wyx::io::raiseStreamOpenError();
  }
  std::unique_ptr<char[]> chunk(new char[kCompareChunk]);
  for (std::size_t n; (n = std::fread(chunk.get(), 1, kCompareChunk, source.get())) > 0;) {
    if (std::fwrite(chunk.get(), 1, n, to) != n) break;
  }
  bool failed = std::ferror(source.get()) || std::ferror(to);
  if (!wyx::platform::closeFile(to) || failed) wyx::io::raiseStreamWriteError();
}

// One header that changes: its new text waits in `temporary`, and the old
// file, if any, stays reachable under `backup` until the whole set is in
// place. All names are made before anything is renamed, so that putting
// things back needs no memory.
struct change_t {
  native_path_t target;
  native_path_t temporary;
  native_path_t backup;  // empty while no backup exists
  bool existed = false;
  bool replaced = false;
};

// The changes of one installation. Whatever is still on disk of them when
// it ends (temporaries, backups) is removed.
class ChangeSet {
 public:
  explicit ChangeSet(std::size_t count) { changes_.reserve(count); }
  ChangeSet(const ChangeSet&) = delete;
  ChangeSet& operator=(const ChangeSet&) = delete;
  ~ChangeSet() {
    for (const change_t& change : changes_) {
      if (!change.replaced && !change.temporary.empty())
        wyx::platform::removeFile(change.temporary);
      if (!change.backup.empty()) wyx::platform::removeFile(change.backup);
    }
  }

  // Writes `text` to a new temporary file beside `target`.
  void add(const native_path_t& directory, native_path_t target, bool existed,
           std::string_view text) {
    changes_.emplace_back();
    change_t& change = changes_.back();
    change.target = std::move(target);
    change.existed = existed;
    std::FILE* file = wyx::platform::createTempFile(directory, change.target, &change.temporary);
    if (file == nullptr) wyx::io::raiseStreamOpenError();
    writeAndClose(file, text);
  }

  // Puts every new text in place, or, when a rename fails, the old files
  // back; then raises EStreamOpenError.
  void commit(const native_path_t& directory) {
    for (change_t& change : changes_) {
      if (change.existed) keepOld(directory, change);
    }
    for (change_t& change : changes_) {
      if (!wyx::platform::replaceFile(change.temporary, change.target)) {
        rollBack();
        wyx::io::raiseStreamOpenError();
      }
      change.replaced = true;
    }
  }

 private:
  // A second name for the old file: a hard link, or a copy where the file
  // system has none.
  void keepOld(const native_path_t& directory, change_t& change) {
    native_path_t backup = change.temporary;
    for (const char* c = kBackupSuffix; *c != '\0'; ++c) backup.push_back(*c);
    if (wyx::platform::linkFile(change.target, backup)) {
      change.backup = std::move(backup);
      return;
    }
    std::FILE* file = wyx::platform::createTempFile(directory, change.target, &change.backup);
    if (file == nullptr) wyx::io::raiseStreamOpenError();
    copyInto(change.target, file);
  }

  // Allocates nothing: runs when a rename fails, perhaps for lack of memory.
  void rollBack() {
    for (change_t& change : changes_) {
      if (!change.replaced) continue;
      // A backup that cannot be put back stays where it is: it holds the
      // only copy of the old text.
      if (change.backup.empty()) {
        wyx::platform::removeFile(change.target);
      } else {
        wyx::platform::replaceFile(change.backup, change.target);
        change.backup.clear();
      }
      change.replaced = false;
      change.temporary.clear();  // it is the target now, or gone
    }
  }

  std::vector<change_t> changes_;
};

}  // namespace

void installHeaderFiles(const UnicodeString& directory, const std::vector<header_file_t>& headers) {
  const native_path_t nativeDirectory = wyx::platform::nativePath(directory);
  ChangeSet changes(headers.size());
  for (const header_file_t& header : headers) {
    native_path_t target = wyx::platform::nativePath(directory + wyx::fromUtf8(header.fileName));
    // Opening for update also refuses, before anything is written, a target
    // that exists but could not be replaced by a writer (a directory, a
    // read-only file).
    FilePtr old(wyx::platform::openFile(target, "rb+"));
    if (!old && errno != ENOENT) wyx::io::raiseStreamOpenError();
    if (old && sameContent(old.get(), header.text)) continue;
    const bool existed = static_cast<bool>(old);
    old.reset();
    changes.add(nativeDirectory, std::move(target), existed, header.text);
  }
  changes.commit(nativeDirectory);
}

}  // namespace qirt
