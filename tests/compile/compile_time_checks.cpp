// Headers generated with CompileTimeChecks = True: every routed call is
// checked by the compiler as well as by the checking library. Built with
// strict format warnings as errors, this program must compile warning-free
// and run through the checked wrappers; built with one of the MISMATCH_*
// or UNTRUSTED_FORMAT macros defined it must fail to compile, since each
// adds a call that the compiler reports. C++11.
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include <qirt/format.hpp>
#include <qirt/format_error.hpp>
#include "format_definition_begin.hpp"
#include "format_typelist.hpp"

namespace {

char lastLog[64];

}  // namespace

// A program's own format function: it returns nothing, and the attribute
// gives its calls the compiler's checks.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void log_printf(int level, const char* format, ...);

void log_printf(int level, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  int used = std::snprintf(lastLog, sizeof lastLog, "%d:", level);
  std::vsnprintf(lastLog + used, sizeof lastLog - static_cast<std::size_t>(used), format, args);
  va_end(args);
}

namespace checked {
QIRT_FORMAT_DECLARE_SAFE(Printf, const char*, int, printf)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(Printf, const char*, int, snprintf, char*, std::size_t)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Printf, const char*, void, log_printf, int)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Scanf, const char*, int, sscanf, const char*)
}  // namespace checked

QIRT_FORMAT_USING(checked, printf)
QIRT_FORMAT_USING(checked, snprintf)
QIRT_FORMAT_USING(checked, log_printf)
QIRT_FORMAT_USING(checked, sscanf)

namespace {

int failures = 0;

void expect(bool condition, int line) {
  if (!condition) {
    std::fputs("compile_time_checks.cpp: a check failed on line ", stderr);
    char number[16];
    std::snprintf(number, sizeof number, "%d\n", line);
    std::fputs(number, stderr);
    ++failures;
  }
}

// A format known only at run time, as a translated text would be.
const char* runtimeFormat(const char* text) {
  static char format[32];
  std::strncpy(format, text, sizeof format - 1);
  return format;
}

}  // namespace

#include "format_definition_end.hpp"

int main(int argc, char** argv) {
  (void)argc;
  char buffer[64];
  int i = 0;

  // Each argument is evaluated once, although the call is also handed to
  // the real function for the compiler.
  int written = snprintf(buffer, sizeof buffer, "%d %s", i++, "apples");
  expect(written == 8 && std::strcmp(buffer, "0 apples") == 0, __LINE__);
  log_printf(7, "%d items", i++);
  expect(std::strcmp(lastLog, "7:1 items") == 0, __LINE__);
  expect(printf("compile-time checks: no arguments\n") > 0, __LINE__);
  expect(i == 2, __LINE__);
  // A result that glibc wants used (_FORTIFY_SOURCE) draws no warning from
  // the unevaluated call.
  int scanned = 0;
  expect(sscanf("5", "%d", &scanned) == 1 && scanned == 5, __LINE__);

  // What the compiler cannot see, the checking library still stops. A
  // program built with -Wformat=2 says where it means a run-time format.
  bool stopped = false;
  try {
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
    printf(runtimeFormat("%d items\n"), "apples");
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  } catch (const qirt::EFormatError&) {
    stopped = true;
  }
  expect(stopped, __LINE__);

#if defined(MISMATCH_PRINTF)
  printf("%d items\n", "apples");
#elif defined(MISMATCH_SNPRINTF)
  snprintf(buffer, sizeof buffer, "%s", 42);
#elif defined(MISMATCH_LOG_PRINTF)
  log_printf(1, "%d items", "apples");
#elif defined(UNTRUSTED_FORMAT)
  printf(argv[0]);
#endif
  (void)argv;

  std::fputs(failures == 0 ? "compile-time checks passed\n" : "FAILED\n", stdout);
  return failures == 0 ? 0 : 1;
}
