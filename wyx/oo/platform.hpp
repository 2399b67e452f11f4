// What the program needs from the operating system, in one place. The POSIX
// implementation is platform_posix.cpp; another platform would be one more
// .cpp chosen in CMake.
#pragma once

#include <cstddef>
#include <cstdio>

#include "wyx/oo/strings.hpp"

namespace wyx::platform {

// The address of a function exported by the program's own executable, or null.
void* findOwnExport(const char* name);

// fopen on a UTF-16 path (encoded as UTF-8 for the file system). Returns null
// and leaves errno set on failure.
std::FILE* openFile(const UnicodeString& path, const char* mode);

// The path made absolute against the current directory, without resolving
// links; an empty path gives the current directory.
UnicodeString absolutePath(const UnicodeString& path);

// The system's text for an error number, with trailing blanks, control
// characters and dots removed.
UnicodeString systemErrorText(int errorNumber);

// A new, empty file in `directory` (which ends in the path delimiter or is
// empty for the current directory), opened with mode "wb"; its path goes to
// `path`. Returns null (errno set) when it cannot be created.
std::FILE* createTempFile(const UnicodeString& directory, UnicodeString& path);

// Renames `from` over `to`, replacing it atomically; an existing `to` passes
// its permission bits on. Returns false on failure.
bool replaceFile(const UnicodeString& from, const UnicodeString& to);

// Removes a file; returns false when it could not be removed.
bool removeFile(const UnicodeString& path);

// A hint that `size` bytes at `data`, about to be filled front to back, are
// best backed by large pages: a text of hundreds of megabytes then costs
// hundreds of page faults instead of tens of thousands. Does nothing where
// the platform offers no such thing or for small sizes.
void preferLargePages(void* data, std::size_t size);

// Makes a write past the process's file-size limit fail like any other write
// error instead of ending the process, so the caller can clean up.
void reportFileSizeLimitAsError();

// The path delimiter of the platform's file names.
constexpr char16_t kPathDelimiter = u'/';

}  // namespace wyx::platform
