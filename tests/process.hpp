// Runs a program and collects what it prints, for the end-to-end tests. One
// implementation per system (process_posix.cpp, process_win32.cpp), so the
// tests need no shell.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korven::testing {

struct process_options_t {
  // "NAME=value" entries added to the environment of the child.
  std::vector<std::string> environment;
  // Largest file the child may write, in bytes; 0 for no limit. Only where
  // kFileSizeLimitSupported (system_texts.hpp) says so.
  std::uint64_t fileSizeLimit = 0;
};

struct process_result_t {
  int status = -1;     // the exit status, or -1 when the child did not exit normally
  int signal = 0;      // the signal that ended it (POSIX), else 0
  std::string output;  // standard output, as bytes
  std::string errors;  // standard error
};

// Runs `program` with `arguments` (bytes on POSIX, UTF-8 on Windows) and
// waits for it; standard input is empty. Throws std::runtime_error when the
// program cannot be started.
process_result_t runProcess(const std::string& program, const std::vector<std::string>& arguments,
                            const process_options_t& options = {});

}  // namespace korven::testing
