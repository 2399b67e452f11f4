// A wrong call in a loop on four threads, printf("%ld\n", 5), harmless where
// long and int are passed alike: format_observe_test runs it in each mode,
// built checked, unchecked (KORVEN_UNCHECKED) and in the debug variant.
// Arguments: calls=<per thread> formats=<distinct formats, "%ld <n>\n" for
// more than one> code=<mode set with setFormatMode> handler (installs one)
// nomemory (operator new fails during the calls).
// Prints what the thrown exception says and exits with 2 when the calls
// throw; prints "handled <n>" to standard error when a handler saw them.
#ifndef KORVEN_UNCHECKED
#define QIRT_FORMAT_CHECK
#endif

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include <qirt/format.hpp>
#include <qirt/format_error.hpp>
#include "format_definition_begin.hpp"
#include "format_typelist.hpp"

namespace checked {
QIRT_FORMAT_DECLARE_SAFE(Printf, const char*, int, printf)
}  // namespace checked
QIRT_FORMAT_USING(checked, printf)

#include "format_definition_end.hpp"

namespace {

std::vector<std::string> formats{"%ld\n"};
int calls = 1000;
std::atomic<int> handled{0};
std::atomic<bool> thrown{false};
std::string thrownMessage;

bool noMemory = false;
thread_local bool failing = false;

void countCall(const qirt::format_error_t&) { handled.fetch_add(1); }

void callAgainAndAgain() {
  try {
    for (int i = 0; i < calls; ++i) {
      failing = noMemory;
      printf(formats[i % formats.size()].c_str(), 5);
      failing = false;
    }
  } catch (const qirt::EFormatError& error) {
    failing = false;
    if (!thrown.exchange(true)) thrownMessage = error.what();
  }
}

const char* valueOf(const char* argument, const char* name) {
  const std::size_t length = std::strlen(name);
  return std::strncmp(argument, name, length) == 0 ? argument + length : nullptr;
}

}  // namespace

void* operator new(std::size_t size) {
  void* p = failing ? nullptr : std::malloc(size != 0 ? size : 1);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (const char* value = valueOf(argv[i], "calls=")) calls = std::atoi(value);
    if (const char* value = valueOf(argv[i], "formats=")) {
      formats.clear();
      for (int n = std::atoi(value); n > 0; --n)
        formats.push_back("%ld " + std::to_string(n) + "\n");
    }
    if (const char* value = valueOf(argv[i], "code=")) {
      const qirt::FormatMode modes[] = {qirt::kFormatModeThrow, qirt::kFormatModeObserve,
                                        qirt::kFormatModeAbort};
      const char* names[] = {"throw", "observe", "abort"};
      for (int m = 0; m < 3; ++m) {
        if (std::strcmp(value, names[m]) == 0) qirt::setFormatMode(modes[m]);
      }
    }
    if (std::strcmp(argv[i], "handler") == 0) qirt::setFormatErrorHandler(countCall);
    if (std::strcmp(argv[i], "nomemory") == 0) noMemory = true;
  }
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back(callAgainAndAgain);
  for (std::thread& thread : threads) thread.join();
  std::fflush(stdout);
  if (handled != 0) std::fputs(("handled " + std::to_string(handled) + "\n").c_str(), stderr);
  if (!thrown) return 0;
  std::fputs((thrownMessage + "\n").c_str(), stderr);
  return 2;
}
