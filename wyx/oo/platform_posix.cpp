// The POSIX side of the platform layer: the only library file that talks to
// the operating system directly.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
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

#include "wyx/oo/platform.hpp"

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
  for (int i = 1; i < argc; ++i) operands.push_back(fromUtf8Escaped(argv[i]));
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

native_path_t nativePath(const UnicodeString& path) { return toUtf8Escaped(path); }

UnicodeString fromNativePath(const native_path_t& path) { return fromUtf8Escaped(path); }

std::FILE* openFile(const native_path_t& path, const char* mode) {
  if (path.size() != std::strlen(path.c_str())) {
    errno = EINVAL;  // an embedded NUL would silently name another file
    return nullptr;
  }
  return std::fopen(path.c_str(), mode);
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
  return fromUtf8(text);
}

std::FILE* createTempFile(const native_path_t& directory, const native_path_t& like,
                          native_path_t* path) {
  // mkstemp creates the file for the owner only; a header is an ordinary
  // file and gets the permissions the user gave the old one, or else those
  // the user's umask allows.
  mode_t mask = umask(0);
  umask(mask);
  mode_t mode = 0666 & ~mask;
  struct stat old;
  if (stat(like.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else if (errno != ENOENT) {
    return nullptr;
  }
  std::string name = directory + ".korven-XXXXXX";
  int fd = mkstemp(name.data());
  if (fd < 0) return nullptr;
  std::FILE* file = fchmod(fd, mode) == 0 ? fdopen(fd, "wb") : nullptr;
  if (file == nullptr) {
    int saved = errno;
    close(fd);
    unlink(name.c_str());
    errno = saved;
    return nullptr;
  }
  *path = std::move(name);  // a move: nothing to allocate
  return file;
}

bool linkFile(const native_path_t& existing, const native_path_t& link) {
  return ::link(existing.c_str(), link.c_str()) == 0;
}

bool replaceFile(const native_path_t& from, const native_path_t& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool removeFile(const native_path_t& path) { return unlink(path.c_str()) == 0; }

bool closeFile(std::FILE* file) { return std::fclose(file) == 0; }

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
