// The command-line driver: operand check, banner and usage texts, and the one
// place where failures are reported.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "wyx/oo/platform.hpp"
#include "wyx/oo/strings.hpp"

namespace qirt {
class TemplateLibrary;
}

namespace korven {

inline constexpr int kExitSuccess = 0;  // headers written, or --help / --version
inline constexpr int kExitFailure = 1;  // a failure was reported
inline constexpr int kExitUsage = 2;    // wrong number of operands; usage printed

// Runs the tool with `operands` (the arguments after the program name) and
// writes every text to `out`, in UTF-8. Returns the exit status. Never
// throws: every failure becomes one line on `out`, in which each control
// character of the exception's name or message shows as "?".
int runDriver(const std::vector<wyx::UnicodeString>& operands, std::FILE* out);

// The same with other templates than the built-in ones (tests).
int runDriver(const std::vector<wyx::UnicodeString>& operands, std::FILE* out,
              const qirt::TemplateLibrary& templates);

// The same for the arguments of the program's entry point, which are decoded
// after the banner, so that a failure there is reported like any other.
int runDriver(int argc, wyx::platform::native_char_t** argv, std::FILE* out);
int runDriver(int argc, wyx::platform::native_char_t** argv, std::FILE* out,
              const qirt::TemplateLibrary& templates);

}  // namespace korven
