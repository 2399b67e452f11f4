// What the tests expect of the system they run on: here POSIX. The Windows
// counterpart is tests/system/win32/system_texts.hpp; CMake puts the right
// one on the include path.
#pragma once

#include <cerrno>

namespace korven::testing {

// The system's texts for a file that is missing and for a directory opened
// as a file, as the reports quote them.
inline constexpr char kMissingFileText[] = "No such file or directory";
inline constexpr char kDirectoryAsFileText[] = "Is a directory";
// The line end of text-mode output.
inline constexpr char kTextLineEnd[] = "\n";
// The path delimiter, and whether file names are bytes (not UTF-16).
inline constexpr char kPathDelimiter[] = "/";
inline constexpr bool kPathsAreBytes = true;
// Errors that a file operation can fail with (Windows: a write fault and a
// full disk), and the one that only interrupts it (none on Windows).
inline constexpr int kFileErrors[] = {EIO, ENOSPC, EINTR};
inline constexpr int kInterruptedError = EINTR;
// Whether a child process can be given a file-size limit.
inline constexpr bool kFileSizeLimitSupported = true;

}  // namespace korven::testing
