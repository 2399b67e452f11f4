// The POSIX side of the platform layer: the only library file that talks to
// the operating system directly.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>

#include "wyx/oo/platform.hpp"

namespace wyx::platform {

void* findOwnExport(const char* name) {
  // The handle of the main program; symbols are visible only when the
  // executable was linked with its symbols exported.
  static void* self = dlopen(nullptr, RTLD_LAZY);
  return self ? dlsym(self, name) : nullptr;
}

std::FILE* openFile(const UnicodeString& path, const char* mode) {
  std::string native = toUtf8(path);
  if (native.size() != std::strlen(native.c_str())) {
    errno = EINVAL;  // an embedded NUL would silently name another file
    return nullptr;
  }
  return std::fopen(native.c_str(), mode);
}

UnicodeString absolutePath(const UnicodeString& path) {
  if (!path.empty() && path[0] == kPathDelimiter) return path;
  std::string cwd;
  for (std::size_t size = 256;; size *= 2) {
    cwd.assign(size, '\0');
    if (getcwd(cwd.data(), cwd.size()) != nullptr) break;
    if (errno != ERANGE) return path;
  }
  cwd.resize(std::strlen(cwd.c_str()));
  UnicodeString result = fromUtf8(cwd);
  if (path.empty()) return result;
  if (result.empty() || result.back() != kPathDelimiter) result += kPathDelimiter;
  return result + path;
}

UnicodeString systemErrorText(int errorNumber) {
  std::string text = std::strerror(errorNumber);
  while (!text.empty()) {
    unsigned char last = static_cast<unsigned char>(text.back());
    if (last != ' ' && last != '.' && last >= 0x20 && last != 0x7f) break;
    text.pop_back();
  }
  return fromUtf8(text);
}

std::FILE* createTempFile(const UnicodeString& directory, UnicodeString& path) {
  std::string name = toUtf8(directory) + ".korven-XXXXXX";
  int fd = mkstemp(name.data());
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    int saved = errno;
    close(fd);
    unlink(name.c_str());
    errno = saved;
    return nullptr;
  }
  // mkstemp creates the file for the owner only; a header is an ordinary
  // file and gets the permissions the user's umask allows.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  path = fromUtf8(name);
  return file;
}

bool replaceFile(const UnicodeString& from, const UnicodeString& to) {
  std::string source = toUtf8(from);
  std::string target = toUtf8(to);
  // The replacement keeps the permissions the user gave the old file.
  struct stat old;
  if (stat(target.c_str(), &old) == 0) chmod(source.c_str(), old.st_mode & 07777);
  return std::rename(source.c_str(), target.c_str()) == 0;
}

bool removeFile(const UnicodeString& path) { return std::remove(toUtf8(path).c_str()) == 0; }

void reportFileSizeLimitAsError() { std::signal(SIGXFSZ, SIG_IGN); }

void preferLargePages(void* data, std::size_t size) {
  constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
  if (size < 4 * kLargePage) return;
  // Only whole large pages inside the block can be advised.
  std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(data);
  std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
  std::uintptr_t last = (begin + size) & ~(kLargePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace wyx::platform
