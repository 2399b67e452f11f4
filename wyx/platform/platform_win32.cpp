// The Windows side of the platform layer: the only library file that talks
// to the operating system directly there.
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "wyx/platform/platform.hpp"

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

bool isMissingFile(int errorCode) { return isMissing(static_cast<DWORD>(errorCode)); }

namespace {

file_fault_hook_t faultHook = nullptr;

// True when a test makes `operation` fail; the error is then set as the
// system would have set it.
bool faulted(FileOperation operation) {
  const int fault = faultHook ? faultHook(operation) : 0;
  if (fault != 0) SetLastError(static_cast<DWORD>(fault));
  return fault != 0;
}

HANDLE handleOf(native_file_t file) { return reinterpret_cast<HANDLE>(file.value); }

// An embedded NUL would silently name another file.
bool isWholeName(const native_path_t& path) {
  if (path.size() == std::wcslen(path.c_str())) return true;
  SetLastError(ERROR_INVALID_NAME);
  return false;
}

constexpr DWORD kMaxTransfer = DWORD{1} << 30;

}  // namespace

void setFileFaultHook(file_fault_hook_t hook) { faultHook = hook; }

bool openFile(const native_path_t& path, bool writable, native_file_t* file) {
  if (!isWholeName(path) || faulted(FileOperation::kOpen)) return false;
  const DWORD access = GENERIC_READ | (writable ? GENERIC_WRITE : 0);
  HANDLE handle = CreateFileW(path.c_str(), access,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  file->value = reinterpret_cast<std::intptr_t>(handle);
  return true;
}

bool readFile(native_file_t file, void* buffer, std::size_t count, std::size_t* got) {
  if (faulted(FileOperation::kRead)) return false;
  DWORD n = 0;
  const DWORD want = count < kMaxTransfer ? static_cast<DWORD>(count) : kMaxTransfer;
  if (!ReadFile(handleOf(file), buffer, want, &n, nullptr)) return false;
  *got = n;
  return true;
}

bool writeFile(native_file_t file, const void* buffer, std::size_t count) {
  const char* data = static_cast<const char*>(buffer);
  while (count > 0) {
    if (faulted(FileOperation::kWrite)) return false;
    DWORD n = 0;
    const DWORD want = count < kMaxTransfer ? static_cast<DWORD>(count) : kMaxTransfer;
    if (!WriteFile(handleOf(file), data, want, &n, nullptr)) return false;
    data += n;
    count -= n;
  }
  return true;
}

bool seekFile(native_file_t file, std::uint64_t position) {
  if (faulted(FileOperation::kSeek)) return false;
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(position);
  return SetFilePointerEx(handleOf(file), distance, nullptr, FILE_BEGIN) != 0;
}

bool closeFile(native_file_t file) {
  const bool fault = faulted(FileOperation::kClose);
  const bool closed = CloseHandle(handleOf(file)) != 0;
  return closed && !fault;
}

bool createTempFile(const native_path_t& directory, const native_path_t& like,
                    native_path_t* path, native_file_t* file) {
  // The attributes of `like` travel with replaceFile; only a `like` that
  // cannot even be examined stops us here.
  if (faulted(FileOperation::kStat) ||
      (GetFileAttributesW(like.c_str()) == INVALID_FILE_ATTRIBUTES && !isMissing(GetLastError()))) {
    return false;
  }
  static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
  std::uint64_t seed = (std::uint64_t{GetCurrentProcessId()} << 32) ^ GetTickCount64() ^
                       reinterpret_cast<std::uintptr_t>(path);
  for (int attempt = 0; attempt < 100; ++attempt) {
    native_path_t name = directory + L".korven-";
    seed = seed * 6364136223846793005u + 1442695040888963407u;
    for (int i = 0; i < 6; ++i) name += kLetters[(seed >> (10 + 5 * i)) % 36];
    if (faulted(FileOperation::kCreate)) return false;
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return false;
    }
    *path = std::move(name);  // a move: nothing to allocate
    file->value = reinterpret_cast<std::intptr_t>(handle);
    return true;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return false;
}

bool linkFile(const native_path_t& existing, const native_path_t& link) {
  return !faulted(FileOperation::kLink) &&
         CreateHardLinkW(link.c_str(), existing.c_str(), nullptr) != 0;
}

bool replaceFile(const native_path_t& from, const native_path_t& to) {
  if (faulted(FileOperation::kRename)) return false;
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
  if (faulted(FileOperation::kRemove)) return false;
  return withoutReadOnly(path.c_str(), [&] { return DeleteFileW(path.c_str()) != 0; });
}

// Windows locks files, not directories: the lock is a hidden file that is
// open exclusively while a run writes and disappears when it is closed,
// also when the run ends abruptly.
bool DirectoryLock::acquire(const native_path_t& directory) {
  release();
  if (!isWholeName(directory)) return false;
  const native_path_t name = directory + L".korven-lock";
  // A lock file that is being deleted refuses access for a moment; a
  // directory that refuses it for good is left unlocked.
  int denials = 0;
  for (;;) {
    if (faulted(FileOperation::kLock)) return true;  // as where there are no locks
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                                nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      file_.value = reinterpret_cast<std::intptr_t>(handle);
      return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED && ++denials > 100) return true;
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) {
      // No directory at all, or one where nothing can be created: there is
      // nothing to protect (the write fails on its own).
      return !isMissing(error);
    }
    Sleep(10);
  }
}

void DirectoryLock::release() {
  if (!file_.valid()) return;
  CloseHandle(handleOf(file_));
  file_ = native_file_t();
}

void reportFileSizeLimitAsError() {}

}  // namespace wyx::platform
