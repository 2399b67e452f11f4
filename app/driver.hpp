// The command-line driver: operand check, banner and usage texts, and the one
// place where failures are reported.
#pragma once

#include <cstdio>

#include "wyx/platform/platform.hpp"

namespace qirt {
class TemplateLibrary;
}

namespace korven {

inline constexpr int kExitSuccess = 0;  // headers written, or --help / --version
inline constexpr int kExitFailure = 1;  // a failure was reported
inline constexpr int kExitUsage = 2;    // wrong number of operands; usage printed

// Runs the tool with the arguments of the program's entry point (the
// operands follow the program name) and writes every text to `out`, in
// UTF-8. The operands are decoded after the banner, so that a failure there
// is reported like any other. `templates` null stands for the built-in
// templates; others must stay alive for the call. Returns the exit status.
// Never throws: every failure becomes one line on `out`, in which each
// control character of the exception's name or message shows as "?".
int runDriver(int argc, wyx::platform::native_char_t** argv, std::FILE* out,
              const qirt::TemplateLibrary* templates = nullptr);

}  // namespace korven
