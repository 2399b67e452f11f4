// The program of the consumer projects (CMake with find_package or
// FetchContent, a Makefile with pkg-config). Its correct calls print to
// standard output, which reads the same checked and unchecked (expected.txt);
// when checked, it also makes a wrong call of each routed function it knows
// and names on standard error the ones stopped, exiting with 1 if one was
// not.
#include <cstdio>
#include <cwchar>

#ifdef QIRT_FORMAT_CHECK
#include <qirt/format_error.hpp>
// Force-included by korven_check_formats() and the Makefile; built without
// that, the program includes it here, after the C library's headers.
#include <qirt/format_stdio.hpp>
#endif

#include "log.hpp"

namespace {

// Formats known only at run time, as translated texts are: the compiler
// cannot check them, the checker does.
const char* runtime(const char* format) { return format; }
const wchar_t* runtime(const wchar_t* format) { return format; }

void correctCalls() {
  char text[32];
  wchar_t wide[32];
  int number = 0;
  printf("printf: %d %s %.2f\n", 3, "apples", 1.5);
  fprintf(stdout, "fprintf: %u %c\n", 7u, 'x');
  int length = snprintf(text, sizeof text, "%05ld|%-4s|", 42L, "ab");
  printf("snprintf: %d %s\n", length, text);
  int read = sscanf("12 pears", "%d %31s", &number, text);
  printf("sscanf: %d %d %s\n", read, number, text);
  length = swprintf(wide, 32, runtime(L"%d %ls"), 5, L"wide");
  printf("swprintf: %d %ls\n", length, wide);
  printf(runtime("run-time format: %s %d\n"), "plums", 9);
  log_printf(2, "%s holds %d\n", "basket", 4);
#ifdef CONSUMER_MISTAKE
  printf("%d apples\n", "three");  // a literal format the compiler sees
#endif
}

#ifdef QIRT_FORMAT_CHECK
struct wrong_call_t {
  const char* function;
  void (*call)();
};

// A function that the options leave out is not routed, and its wrong call
// would reach the C library: only the routed ones are made.
const wrong_call_t kWrongCalls[] = {
#ifdef printf
    {"printf", [] { printf(runtime("%d apples\n"), "three"); }},
#endif
#ifdef sscanf
    {"sscanf", [] {
       int number;
       sscanf("7", runtime("%s"), &number);
     }},
#endif
#ifdef swprintf
    {"swprintf", [] {
       wchar_t wide[8];
       swprintf(wide, 8, runtime(L"%ls"), 5);
     }},
#endif
#ifdef log_printf
    {"log_printf", [] { log_printf(1, runtime("%s\n"), 42); }},
#endif
};
#endif

}  // namespace

int main() {
  correctCalls();
  int failures = 0;
#ifdef QIRT_FORMAT_CHECK
  for (const wrong_call_t& wrong : kWrongCalls) {
    try {
      wrong.call();
      fprintf(stderr, "NOT STOPPED %s\n", wrong.function);
      ++failures;
    } catch (const qirt::EFormatError& error) {
      fprintf(stderr, "stopped %s: %s\n", wrong.function, error.what());
    }
  }
#endif
  return failures == 0 ? 0 : 1;
}
