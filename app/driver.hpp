// The command-line driver: operand check, banner and usage texts, and the one
// place where failures are reported.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace qirt {
class TemplateLibrary;
}

namespace korven {

inline constexpr int kExitSuccess = 0;  // headers written, or --help / --version
inline constexpr int kExitFailure = 1;  // a failure was reported
inline constexpr int kExitUsage = 2;    // wrong number of operands; usage printed

// Runs the tool with `operands` (the arguments after the program name, as
// bytes, decoded as UTF-8) and writes every text to `out`. Returns the exit
// status. Never throws: every failure becomes one line on `out`.
int runDriver(const std::vector<std::string>& operands, std::FILE* out);

// The same with other templates than the built-in ones (tests).
int runDriver(const std::vector<std::string>& operands, std::FILE* out,
              const qirt::TemplateLibrary& templates);

}  // namespace korven
