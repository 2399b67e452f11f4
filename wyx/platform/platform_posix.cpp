// The POSIX side of the platform layer: the only library file that talks to
// the operating system directly.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unicode/ucnv.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "wyx/platform/platform.hpp"

namespace wyx::platform {

namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

void throwIfOutOfMemory(UErrorCode status) {
  if (status == U_MEMORY_ALLOCATION_ERROR) throw std::bad_alloc();
}

// The converter for a Windows code page; null for one ICU does not know.
// Characters the target cannot hold become "?", as the platform's own
// conversion gives them.
Converter openConverter(unsigned codePage) {
  const std::string name = "windows-" + std::to_string(codePage);
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open(name.c_str(), &status));
  throwIfOutOfMemory(status);
  if (U_FAILURE(status) || !converter) return nullptr;
  ucnv_setSubstChars(converter.get(), "?", 1, &status);
  return converter;
}

// Converts with a buffer of n + margin units, the margin starting at n/10
// and doubling while the buffer is too small.
template <class Out, class Convert>
bool convertGrowing(std::size_t n, Out* out, Convert&& convert) {
  const std::size_t step = n / 10 > 0 ? n / 10 : 4;
  for (std::size_t margin = n / 10;; margin = margin ? margin * 2 : step) {
    Out buffer(n + margin, typename Out::value_type());
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = convert(buffer.data(), static_cast<int32_t>(buffer.size()), &status);
    throwIfOutOfMemory(status);
    if (status == U_BUFFER_OVERFLOW_ERROR && margin <= (std::size_t(1) << 30)) continue;
    if (U_FAILURE(status) || length < 0) return false;
    buffer.resize(static_cast<std::size_t>(length));
    *out = std::move(buffer);
    return true;
  }
}

}  // namespace

std::vector<UnicodeString> commandLineOperands(int argc, native_char_t** argv) {
  std::vector<UnicodeString> operands;
  for (int i = 1; i < argc; ++i) operands.push_back(unicode::fromUtf8Escaped(argv[i]));
  return operands;
}

bool systemToWide(unsigned codePage, const std::string& text, UnicodeString* out) {
  if (text.size() > INT32_MAX / 2) return false;
  Converter converter = openConverter(codePage);
  if (!converter) return false;
  return convertGrowing(text.size(), out, [&](char16_t* buffer, int32_t capacity,
                                              UErrorCode* status) {
    return ucnv_toUChars(converter.get(), buffer, capacity, text.data(),
                         static_cast<int32_t>(text.size()), status);
  });
}

bool systemToNarrow(unsigned codePage, const UnicodeString& text, std::string* out) {
  if (text.size() > INT32_MAX / 4) return false;
  Converter converter = openConverter(codePage);
  if (!converter) return false;
  return convertGrowing(text.size(), out, [&](char* buffer, int32_t capacity,
                                              UErrorCode* status) {
    return ucnv_fromUChars(converter.get(), buffer, capacity, text.data(),
                           static_cast<int32_t>(text.size()), status);
  });
}

void* findOwnExport(const char* name) {
  // The handle of the main program; symbols are visible only when the
  // executable was linked with its symbols exported.
  static void* self = dlopen(nullptr, RTLD_LAZY);
  return self ? dlsym(self, name) : nullptr;
}

native_path_t nativePath(const UnicodeString& path) { return unicode::toUtf8Escaped(path); }

UnicodeString fromNativePath(const native_path_t& path) { return unicode::fromUtf8Escaped(path); }

UnicodeString absolutePath(const UnicodeString& path) {
  if (!path.empty() && path[0] == kPathDelimiter) return path;
  std::string cwd;
  for (std::size_t size = 256;; size *= 2) {
    cwd.assign(size, '\0');
    if (getcwd(cwd.data(), cwd.size()) != nullptr) break;
    if (errno != ERANGE) return path;
  }
  cwd.resize(std::strlen(cwd.c_str()));
  UnicodeString result = fromNativePath(cwd);
  if (path.empty()) return result;
  if (result.empty() || result.back() != kPathDelimiter) result += kPathDelimiter;
  return result + path;
}

int lastSystemError() { return errno; }

void writeOutput(std::FILE* out, const char* utf8, std::size_t length) {
  std::fwrite(utf8, 1, length, out);
}

UnicodeString systemErrorText(int errorNumber) {
  std::string text = std::strerror(errorNumber);
  while (!text.empty()) {
    unsigned char last = static_cast<unsigned char>(text.back());
    if (last != ' ' && last != '.' && last >= 0x20 && last != 0x7f) break;
    text.pop_back();
  }
  return unicode::utf16FromUtf8(text);
}

bool isMissingFile(int errorCode) { return errorCode == ENOENT; }

namespace {

file_fault_hook_t faultHook = nullptr;

// The error a test injects for `operation`, or 0.
int injectedFault(FileOperation operation) { return faultHook ? faultHook(operation) : 0; }

// Runs a system call that returns -1 on failure, repeating it while it is
// interrupted. An injected fault stands in for the call's own failure.
template <class Call>
auto retrying(FileOperation operation, Call&& call) -> decltype(call()) {
  for (;;) {
    decltype(call()) result;
    if (int fault = injectedFault(operation)) {
      errno = fault;
      result = -1;
    } else {
      result = call();
    }
    if (result != -1 || errno != EINTR) return result;
  }
}

int descriptor(native_file_t file) { return static_cast<int>(file.value); }

// An embedded NUL would silently name another file.
bool isWholeName(const native_path_t& path) {
  if (path.size() == std::strlen(path.c_str())) return true;
  errno = EINVAL;
  return false;
}

// Largest count handed to one read or write.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

}  // namespace

void setFileFaultHook(file_fault_hook_t hook) { faultHook = hook; }

bool openFile(const native_path_t& path, bool writable, native_file_t* file) {
  if (!isWholeName(path)) return false;
  const int flags = (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC;
  const int fd = retrying(FileOperation::kOpen, [&] { return ::open(path.c_str(), flags); });
  if (fd < 0) return false;
  file->value = fd;
  return true;
}

bool readFile(native_file_t file, void* buffer, std::size_t count, std::size_t* got) {
  const std::size_t want = count < kMaxTransfer ? count : kMaxTransfer;
  const ssize_t n =
      retrying(FileOperation::kRead, [&] { return ::read(descriptor(file), buffer, want); });
  if (n < 0) return false;
  *got = static_cast<std::size_t>(n);
  return true;
}

bool writeFile(native_file_t file, const void* buffer, std::size_t count) {
  const char* data = static_cast<const char*>(buffer);
  while (count > 0) {
    const std::size_t want = count < kMaxTransfer ? count : kMaxTransfer;
    const ssize_t n =
        retrying(FileOperation::kWrite, [&] { return ::write(descriptor(file), data, want); });
    if (n < 0) return false;
    data += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

bool seekFile(native_file_t file, std::uint64_t position) {
  return retrying(FileOperation::kSeek, [&] {
           return ::lseek(descriptor(file), static_cast<off_t>(position), SEEK_SET);
         }) != -1;
}

bool closeFile(native_file_t file) {
  // The descriptor is gone after close whatever it reports, so close is never
  // repeated; an interrupted close has still closed.
  const int fault = injectedFault(FileOperation::kClose);
  int result = ::close(descriptor(file));
  if (fault != 0) {
    errno = fault;
    result = -1;
  }
  return result == 0 || errno == EINTR;
}

bool createTempFile(const native_path_t& directory, const native_path_t& like,
                    native_path_t* path, native_file_t* file) {
  // A header is an ordinary file and gets the permissions the user gave the
  // old one, or else those the user's umask allows.
  mode_t mask = umask(0);
  umask(mask);
  mode_t mode = 0666 & ~mask;
  struct stat old;
  if (retrying(FileOperation::kStat, [&] { return ::stat(like.c_str(), &old); }) == 0) {
    mode = old.st_mode & 07777;
  } else if (errno != ENOENT) {
    return false;
  }
  const native_path_t pattern = directory + ".korven-XXXXXX";
  native_path_t name;
  const int fd = retrying(FileOperation::kCreate, [&] {
    name = pattern;
    return mkostemp(name.data(), O_CLOEXEC);
  });
  if (fd < 0) return false;
  // mkostemp creates the file for the owner only.
  if (retrying(FileOperation::kCreate, [&] { return ::fchmod(fd, mode); }) != 0) {
    const int saved = errno;
    ::close(fd);
    ::unlink(name.c_str());
    errno = saved;
    return false;
  }
  *path = std::move(name);  // a move: nothing to allocate
  file->value = fd;
  return true;
}

bool linkFile(const native_path_t& existing, const native_path_t& link) {
  return retrying(FileOperation::kLink, [&] { return ::link(existing.c_str(), link.c_str()); }) ==
         0;
}

bool replaceFile(const native_path_t& from, const native_path_t& to) {
  return retrying(FileOperation::kRename,
                  [&] { return std::rename(from.c_str(), to.c_str()); }) == 0;
}

bool removeFile(const native_path_t& path) {
  return retrying(FileOperation::kRemove, [&] { return ::unlink(path.c_str()); }) == 0;
}

// The lock is on the directory itself, so no lock file ever shows in it.
bool DirectoryLock::acquire(const native_path_t& directory) {
  release();
  if (!isWholeName(directory)) return false;
  const char* name = directory.empty() ? "." : directory.c_str();
  const int fd = retrying(FileOperation::kOpen,
                          [&] { return ::open(name, O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
  if (fd < 0) return false;
  file_.value = fd;
  // A file system without locks (some network ones) leaves the run unlocked.
  retrying(FileOperation::kLock, [&] { return ::flock(fd, LOCK_EX); });
  return true;
}

void DirectoryLock::release() {
  if (!file_.valid()) return;
  ::close(descriptor(file_));  // which also ends the lock
  file_ = native_file_t();
}

void reportFileSizeLimitAsError() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace wyx::platform
