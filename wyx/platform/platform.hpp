// What the program needs from the operating system, in one place. One
// implementation per system, chosen in CMake: platform_posix.cpp and
// platform_win32.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "wyx/unicode/utf8.hpp"

namespace wyx::platform {

// The character type of the program's arguments.
#if defined(_WIN32)
using native_char_t = wchar_t;
#else
using native_char_t = char;
#endif

// The operands of the command line (the arguments after the program name)
// as UTF-16. On POSIX an argument is bytes; bytes that are not UTF-8 are
// carried along as escaped units (fromUtf8Escaped), so that a path opens
// exactly the file the user named.
std::vector<UnicodeString> commandLineOperands(int argc, native_char_t** argv);

// Conversions for the code pages the library does not convert itself.
// Return false for a code page the system does not know or a text it
// refuses; raise std::bad_alloc when memory runs out.
bool systemToWide(unsigned codePage, const std::string& text, UnicodeString* out);
bool systemToNarrow(unsigned codePage, const UnicodeString& text, std::string* out);

// The address of a function exported by the program's own executable, or null.
void* findOwnExport(const char* name);

// Puts a function of the executable into its export table, for findOwnExport.
#if defined(_WIN32)
#define WYX_OWN_EXPORT extern "C" __declspec(dllexport)
#elif defined(__GNUC__)
#define WYX_OWN_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define WYX_OWN_EXPORT extern "C"
#endif

// Writes UTF-8 text (whole sequences) to a standard stream. A Windows console
// gets it through its UTF-16 interface, so that every character reads right;
// a file or a pipe gets the bytes (with the line ends of text mode).
// Allocates nothing.
void writeOutput(std::FILE* out, const char* utf8, std::size_t length);

// --- Files by name ---------------------------------------------------------

// A file name as the system's calls take it: bytes on POSIX (toUtf8Escaped),
// UTF-16 on Windows. Converted once, so that the calls that must not fail for
// lack of memory (clean-up, roll-back) need none.
using native_path_t = std::basic_string<native_char_t>;
native_path_t nativePath(const UnicodeString& path);
UnicodeString fromNativePath(const native_path_t& path);

// The path made absolute against the current directory, without resolving
// links; an empty path gives the current directory.
UnicodeString absolutePath(const UnicodeString& path);

// The error code of the file call that just failed (errno on POSIX, the
// system's own code on Windows), for systemErrorText and isMissingFile.
int lastSystemError();

// The system's text for such an error code, with trailing blanks, control
// characters and dots removed.
UnicodeString systemErrorText(int errorCode);

// True when the error code says that the file (or a directory of its path)
// does not exist.
bool isMissingFile(int errorCode);

// An open file: a descriptor on POSIX, a handle on Windows.
struct native_file_t {
  std::intptr_t value = -1;
  bool valid() const { return value != -1; }
};

// The calls below return false on failure, with lastSystemError() telling
// why. Interrupted system calls are repeated, never reported.

// Opens an existing file for reading. With `writable`, only a file that the
// caller could also write: a header that could not be replaced is refused
// before anything is written.
bool openFile(const native_path_t& path, bool writable, native_file_t* file);

// Reads up to `count` bytes; `*got` is 0 at the end of the file.
bool readFile(native_file_t file, void* buffer, std::size_t count, std::size_t* got);

// Writes all `count` bytes.
bool writeFile(native_file_t file, const void* buffer, std::size_t count);

// Moves to an absolute position.
bool seekFile(native_file_t file, std::uint64_t position);

// Closes the file; false when the close reports an error, such as data that
// could not be written. The file is closed either way.
bool closeFile(native_file_t file);

// A new file with a unique name in `directory` (which ends in the path
// delimiter, or is empty for the current directory), created exclusively
// and open for writing; its name goes to `*path`. Once renamed over `like`
// with replaceFile, it has the permissions (Windows: attributes) that `like`
// had; a `like` that exists but cannot be examined fails here. Nothing is
// left behind on failure.
bool createTempFile(const native_path_t& directory, const native_path_t& like,
                    native_path_t* path, native_file_t* file);

// Makes `link` a second name of the existing file `existing` (a hard link).
// Fails where the file system has none.
bool linkFile(const native_path_t& existing, const native_path_t& link);

// Renames `from` over `to`, replacing it atomically. Allocates nothing.
bool replaceFile(const native_path_t& from, const native_path_t& to);

// Removes a file. Allocates nothing.
bool removeFile(const native_path_t& path);
// Removes a file that must not be left behind (a temporary one): a failure
// is tried once more before it is given up.
inline bool removeLeftover(const native_path_t& path) {
  return removeFile(path) || removeFile(path);
}

// Holds the exclusive lock on a directory that keeps two korven runs from
// writing their headers into it at once; the second waits for the first.
// Where the file system has no locks, nothing is locked.
class DirectoryLock {
 public:
  DirectoryLock() = default;
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;
  ~DirectoryLock() { release(); }

  // `directory` ends in the path delimiter. False when the directory cannot
  // be opened at all (it does not exist, or is no directory).
  bool acquire(const native_path_t& directory);
  void release();

 private:
  native_file_t file_;
};

// The operations that setFileFaultHook can make fail.
enum class FileOperation {
  kOpen,
  kCreate,
  kRead,
  kWrite,
  kSeek,
  kClose,
  kRename,
  kLink,
  kRemove,
  kStat,
  kLock,
};

// For tests: `hook` is asked before each file operation above; a result
// other than 0 is taken as the error code that the system returned for it
// (on POSIX, EINTR makes the call run again). Null, the default, injects
// nothing. Not for use while another thread works with files.
using file_fault_hook_t = int (*)(FileOperation operation);
void setFileFaultHook(file_fault_hook_t hook);

// Makes a write past the process's file-size limit fail like any other write
// error instead of ending the process, so the caller can clean up.
void reportFileSizeLimitAsError();

// The path delimiter of the platform's file names.
#if defined(_WIN32)
constexpr char16_t kPathDelimiter = u'\\';
#else
constexpr char16_t kPathDelimiter = u'/';
#endif

}  // namespace wyx::platform
