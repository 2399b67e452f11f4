// What the program needs from the operating system, in one place. One
// implementation per system, chosen in CMake: platform_posix.cpp and
// platform_win32.cpp.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "wyx/oo/strings.hpp"

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

// fopen of a file by name. Returns null and leaves errno set on failure.
std::FILE* openFile(const native_path_t& path, const char* mode);
inline std::FILE* openFile(const UnicodeString& path, const char* mode) {
  return openFile(nativePath(path), mode);
}

// The path made absolute against the current directory, without resolving
// links; an empty path gives the current directory.
UnicodeString absolutePath(const UnicodeString& path);

// The error code of the file call that just failed (errno on POSIX, the
// system's own code on Windows), for systemErrorText.
int lastSystemError();

// The system's text for such an error code, with trailing blanks, control
// characters and dots removed.
UnicodeString systemErrorText(int errorCode);

// A new file with a unique name in `directory` (which ends in the path
// delimiter, or is empty for the current directory), created exclusively
// and opened with mode "wb"; its name goes to `*path`. The new file takes
// the permissions of `like` when that file exists, else the ordinary ones
// for a new file. Returns null (errno set) when the file cannot be created
// or `like` exists but cannot be examined; nothing is left behind then.
std::FILE* createTempFile(const native_path_t& directory, const native_path_t& like,
                          native_path_t* path);

// Makes `link` a second name of the existing file `existing` (a hard link).
// Returns false (errno set) where the file system has none.
bool linkFile(const native_path_t& existing, const native_path_t& link);

// Renames `from` over `to`, replacing it atomically. Returns false (errno
// set) on failure. Allocates nothing.
bool replaceFile(const native_path_t& from, const native_path_t& to);

// Removes a file; returns false when it could not be removed. Allocates
// nothing.
bool removeFile(const native_path_t& path);

// Closes a file; returns false (errno set) when the close reports an error,
// such as data that could not be written.
bool closeFile(std::FILE* file);

// A hint that `size` bytes at `data`, about to be filled front to back, are
// best backed by large pages: a text of hundreds of megabytes then costs
// hundreds of page faults instead of tens of thousands. Does nothing where
// the platform offers no such thing or for small sizes.
void preferLargePages(void* data, std::size_t size);

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
