#include "qirt/header_files.hpp"

#include "qirt/header_output.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"

namespace qirt {
namespace {

namespace platform = wyx::platform;
using platform::native_path_t;

// Appended to a temporary file's name to name the backup of the header it
// replaces; temporary names are unique, so these are too.
constexpr char kBackupSuffix[] = "-old";

// One header that changes on commit. The old file, if any, stays reachable
// under `backup` until the whole set is in place. All names exist before
// anything is renamed, so that putting things back needs no memory.
struct change_t {
  HeaderOutput* output;
  native_path_t backup;  // empty while there is none
  bool replaced = false;
};

// A second name for the old file: a hard link, or a copy where the file
// system has none.
void keepOld(const native_path_t& directory, change_t& change) {
  native_path_t backup = change.output->temporary();
  for (const char* c = kBackupSuffix; *c != '\0'; ++c) backup.push_back(*c);
  if (platform::linkFile(change.output->target(), backup)) {
    change.backup = std::move(backup);
    return;
  }
  native_path_t copy;
  platform::native_file_t to;
  platform::native_file_t from;
  if (!platform::createTempFile(directory, change.output->target(), &copy, &to)) {
    wyx::io::raiseStreamOpenError();
  }
  change.backup = std::move(copy);
  bool ok = platform::openFile(change.output->target(), false, &from);
  char chunk[1 << 16];
  for (std::size_t got = 0; ok;) {
    ok = platform::readFile(from, chunk, sizeof chunk, &got);
    if (!ok || got == 0) break;
    ok = platform::writeFile(to, chunk, got);
  }
  if (from.valid()) platform::closeFile(from);
  if (!platform::closeFile(to) || !ok) wyx::io::raiseStreamWriteError();
}

// Allocates nothing: runs when a rename fails, perhaps for lack of memory.
void rollBack(std::vector<change_t>& changes) {
  for (change_t& change : changes) {
    if (!change.replaced) continue;
    if (change.backup.empty()) {
      platform::removeFile(change.output->target());
    } else {
      platform::replaceFile(change.backup, change.output->target());
    }
    // Put back, or, if that failed, left where it is as the only copy of the
    // old text.
    change.backup.clear();
    change.replaced = false;
  }
}

}  // namespace

HeaderFileSet::HeaderFileSet(const wyx::UnicodeString& directory,
                             const std::vector<const char*>& fileNames, const size_limit_t& limit)
    : directory_(platform::nativePath(directory)), limit_(limit), budget_(limit.maxBytes) {
  if (!lock_.acquire(directory_)) wyx::io::raiseStreamOpenError();
  outputs_.reserve(fileNames.size());
  for (const char* name : fileNames) {
    outputs_.emplace_back(new HeaderOutput(
        directory_, platform::nativePath(directory + wyx::fromUtf8(name)), budget_, limit_));
  }
}

HeaderFileSet::~HeaderFileSet() = default;

wyx::io::IStream& HeaderFileSet::output(std::size_t index) { return *outputs_[index]; }

std::exception_ptr HeaderFileSet::failure() const {
  for (const auto& output : outputs_) {
    if (std::exception_ptr cause = output->failure()) return cause;
  }
  return nullptr;
}

void HeaderFileSet::commit() {
  std::vector<change_t> changes;
  changes.reserve(outputs_.size());
  for (const auto& output : outputs_) {
    // Completing an output writes too, and fails like its writes.
    wyx::oo::checkStatus(output->finish());
    if (output->changed()) changes.push_back({output.get(), {}});
  }
  // Whatever happens below, no backup may outlive the commit.
  struct BackupRemover {
    std::vector<change_t>& changes;
    ~BackupRemover() {
      for (const change_t& change : changes) {
        if (!change.backup.empty()) platform::removeLeftover(change.backup);
      }
    }
  } remover{changes};
  for (change_t& change : changes) {
    if (change.output->existed()) keepOld(directory_, change);
  }
  for (change_t& change : changes) {
    if (!platform::replaceFile(change.output->temporary(), change.output->target())) {
      rollBack(changes);
      wyx::io::raiseStreamOpenError();
    }
    change.replaced = true;
    // Renamed: the target now, not to be removed with the output. Clearing a
    // string allocates nothing.
    change.output->temporary().clear();
  }
}

}  // namespace qirt
