// What the tests expect of the system they run on: here Windows (the texts
// as wine gives them). The POSIX counterpart is
// tests/system/posix/system_texts.hpp; CMake puts the right one on the
// include path.
#pragma once

namespace korven::testing {

// The system's texts for a file that is missing and for a directory opened
// as a file, as the reports quote them.
inline constexpr char kMissingFileText[] = "File not found";
inline constexpr char kDirectoryAsFileText[] = "Access denied";
// The line end of text-mode output.
inline constexpr char kTextLineEnd[] = "\r\n";
// The path delimiter, and whether file names are bytes (not UTF-16).
inline constexpr char kPathDelimiter[] = "\\";
inline constexpr bool kPathsAreBytes = false;
// Errors that a file operation can fail with (Windows: a write fault and a
// full disk), and the one that only interrupts it (none on Windows).
inline constexpr int kFileErrors[] = {29, 112};
inline constexpr int kInterruptedError = -1;
// Whether a child process can be given a file-size limit.
inline constexpr bool kFileSizeLimitSupported = false;

}  // namespace korven::testing
