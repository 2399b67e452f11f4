// The Windows side of the platform layer: the only library file that talks
// to the operating system directly there.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "wyx/oo/platform.hpp"

namespace wyx::platform {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16 on Windows");

const wchar_t* wide(const UnicodeString& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Converts with a buffer of n + margin units, the margin starting at n/10
// and doubling while the system reports the buffer too small. `convert`
// returns the converted length, or 0 with the system's error set.
template <class Out, class Convert>
bool convertGrowing(std::size_t n, Out* out, Convert&& convert) {
  const std::size_t step = n / 10 > 0 ? n / 10 : 4;
  for (std::size_t margin = n / 10;; margin = margin ? margin * 2 : step) {
    if (n + margin > INT32_MAX) return false;
    Out buffer(n + margin, typename Out::value_type());
    const int length = convert(buffer.data(), static_cast<int>(buffer.size()));
    if (length > 0) {
      buffer.resize(static_cast<std::size_t>(length));
      *out = std::move(buffer);
      return true;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  }
}

bool isConsole(std::FILE* out, HANDLE* handle) {
  const int fd = _fileno(out);
  if (fd < 0 || !_isatty(fd)) return false;
  *handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  DWORD mode = 0;
  return *handle != INVALID_HANDLE_VALUE && GetConsoleMode(*handle, &mode) != 0;
}

bool isMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Runs `work` on a file whose read-only attribute is lifted for it: Windows
// refuses to replace or delete a read-only file. The attributes are put back
// when `work` fails.
template <class Work>
bool withoutReadOnly(const wchar_t* path, Work&& work) {
  const DWORD attributes = GetFileAttributesW(path);
  const bool readOnly =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
  const bool done = work();
  const DWORD error = GetLastError();
  if (readOnly && !done) SetFileAttributesW(path, attributes);
  SetLastError(error);
  return done;
}

}  // namespace

std::vector<UnicodeString> commandLineOperands(int argc, native_char_t** argv) {
  std::vector<UnicodeString> operands;
  for (int i = 1; i < argc; ++i) operands.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  return operands;
}

bool systemToWide(unsigned codePage, const std::string& text, UnicodeString* out) {
  return convertGrowing(text.size(), out, [&](char16_t* buffer, int capacity) {
    return MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                               reinterpret_cast<wchar_t*>(buffer), capacity);
  });
}

bool systemToNarrow(unsigned codePage, const UnicodeString& text, std::string* out) {
  // Without this flag "Ā" would become "A"; a character the code page cannot
  // hold must become "?". Some code pages refuse the flag.
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  return convertGrowing(text.size(), out, [&](char* buffer, int capacity) {
    int length = WideCharToMultiByte(codePage, flags, wide(text), static_cast<int>(text.size()),
                                     buffer, capacity, nullptr, nullptr);
    if (length == 0 && flags != 0 && GetLastError() == ERROR_INVALID_FLAGS) {
      flags = 0;
      length = WideCharToMultiByte(codePage, flags, wide(text), static_cast<int>(text.size()),
                                   buffer, capacity, nullptr, nullptr);
    }
    return length;
  });
}

void* findOwnExport(const char* name) {
  HMODULE self = GetModuleHandleW(nullptr);
  return self ? reinterpret_cast<void*>(GetProcAddress(self, name)) : nullptr;
}

void writeOutput(std::FILE* out, const char* utf8, std::size_t length) {
  HANDLE console;
  if (!isConsole(out, &console)) {
    std::fwrite(utf8, 1, length, out);
    return;
  }
  // What went through the C library must appear first.
  std::fflush(out);
  wchar_t units[512];
  while (length > 0) {
    // Whole sequences per piece: back off over continuation bytes.
    std::size_t piece = length < 256 ? length : 256;
    while (piece < length && piece > 0 && (utf8[piece] & 0xC0) == 0x80) --piece;
    if (piece == 0) piece = length < 256 ? length : 256;
    const int count = MultiByteToWideChar(CP_UTF8, 0, utf8, static_cast<int>(piece), units,
                                          static_cast<int>(sizeof units / sizeof units[0]));
    DWORD written = 0;
    if (count > 0) WriteConsoleW(console, units, static_cast<DWORD>(count), &written, nullptr);
    utf8 += piece;
    length -= piece;
  }
}

native_path_t nativePath(const UnicodeString& path) {
  return native_path_t(path.begin(), path.end());
}

UnicodeString fromNativePath(const native_path_t& path) {
  return UnicodeString(path.begin(), path.end());
}

std::FILE* openFile(const native_path_t& path, const char* mode) {
  if (path.size() != std::wcslen(path.c_str())) {
    errno = EINVAL;  // an embedded NUL would silently name another file
    SetLastError(ERROR_INVALID_NAME);
    return nullptr;
  }
  wchar_t wideMode[8] = {};
  for (std::size_t i = 0; i + 1 < sizeof wideMode / sizeof wideMode[0] && mode[i] != '\0'; ++i) {
    wideMode[i] = static_cast<wchar_t>(mode[i]);
  }
  return _wfopen(path.c_str(), wideMode);
}

UnicodeString absolutePath(const UnicodeString& path) {
  const wchar_t* name = path.empty() ? L"." : wide(path);
  DWORD size = GetFullPathNameW(name, 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring buffer(size, L'\0');
  size = GetFullPathNameW(name, size, buffer.data(), nullptr);
  if (size == 0 || size >= buffer.size()) return path;
  buffer.resize(size);
  return fromNativePath(buffer);
}

int lastSystemError() { return static_cast<int>(GetLastError()); }

UnicodeString systemErrorText(int errorCode) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(errorCode), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return UnicodeString();
  UnicodeString result(reinterpret_cast<const char16_t*>(text), length);
  LocalFree(text);
  while (!result.empty()) {
    const char16_t last = result.back();
    if (last != u' ' && last != u'.' && last >= 0x20 && last != 0x7F) break;
    result.pop_back();
  }
  return result;
}

std::FILE* createTempFile(const native_path_t& directory, const native_path_t& like,
                          native_path_t* path) {
  // The attributes of `like` travel with replaceFile; only a `like` that
  // cannot even be examined stops us here.
  if (!like.empty() && GetFileAttributesW(like.c_str()) == INVALID_FILE_ATTRIBUTES &&
      !isMissing(GetLastError())) {
    errno = EACCES;
    return nullptr;
  }
  static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
  std::uint64_t seed = (std::uint64_t{GetCurrentProcessId()} << 32) ^ GetTickCount64();
  for (int attempt = 0; attempt < 100; ++attempt) {
    native_path_t name = directory + L".korven-";
    seed = seed * 6364136223846793005u + 1442695040888963407u + static_cast<unsigned>(attempt);
    for (int i = 0; i < 6; ++i) name += kLetters[(seed >> (10 + 5 * i)) % 36];
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      errno = isMissing(GetLastError()) ? ENOENT : EACCES;
      return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_WRONLY | _O_BINARY);
    std::FILE* file = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
    if (file == nullptr) {
      if (fd >= 0) {
        _close(fd);
      } else {
        CloseHandle(handle);
      }
      DeleteFileW(name.c_str());
      errno = ENOMEM;
      return nullptr;
    }
    *path = std::move(name);  // a move: nothing to allocate
    return file;
  }
  errno = EEXIST;
  return nullptr;
}

bool linkFile(const native_path_t& existing, const native_path_t& link) {
  return CreateHardLinkW(link.c_str(), existing.c_str(), nullptr) != 0;
}

bool replaceFile(const native_path_t& from, const native_path_t& to) {
  // The replacement takes the attributes of the file it replaces (read-only,
  // hidden), as a rename keeps permissions elsewhere.
  const DWORD attributes = GetFileAttributesW(to.c_str());
  return withoutReadOnly(to.c_str(), [&] {
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(to.c_str(), attributes);
    return true;
  });
}

bool removeFile(const native_path_t& path) {
  return withoutReadOnly(path.c_str(), [&] { return DeleteFileW(path.c_str()) != 0; });
}

bool closeFile(std::FILE* file) { return std::fclose(file) == 0; }

void reportFileSizeLimitAsError() {}

void preferLargePages(void*, std::size_t) {}

}  // namespace wyx::platform
