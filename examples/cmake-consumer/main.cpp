// Routes printf and fprintf through the wrappers that korven generated from
// options.txt: every call is checked against the types of its arguments
// before it prints, also when its format is only known at run time. With
// CompileTimeChecks (options.txt) the compiler checks each literal format
// too, as it would without korven.
//
// QIRT_FORMAT_CHECK is defined by the build (CMakeLists.txt).
#include <cstdio>
#include <cstring>
#include <string>

#include <qirt/format.hpp>
#include <qirt/format_error.hpp>
#include "format_definition_begin.hpp"
#include "format_typelist.hpp"

// One wrapper set per function: printf takes the format first, fprintf has
// one fixed parameter (the stream) in front of it.
namespace checked {
QIRT_FORMAT_DECLARE_SAFE(Printf, const char*, int, printf)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Printf, const char*, int, fprintf, std::FILE*)
}  // namespace checked

QIRT_FORMAT_USING(checked, printf)
QIRT_FORMAT_USING(checked, fprintf)

namespace {

// A format that arrives at run time, as a translated text would: no
// compiler can check it, the checking library does.
const char* translatedFormat(bool broken) { return broken ? "%d Äpfel\n" : "%s: %d\n"; }

}  // namespace

#include "format_definition_end.hpp"

int main() {
  const char* fruit = "apples";
  printf("consumer of korven's generated headers\n");
  printf("%d %s cost %.2f\n", 3, fruit, 1.5);
  fprintf(stdout, "%s: %u\n", "fprintf", 7u);
  printf(translatedFormat(false), fruit, 3);

#ifdef CONSUMER_COMPILE_TIME_MISTAKE
  // The compiler sees this one: %d wants an int. With -Werror=format the
  // build stops here.
  printf("%d apples\n", fruit);
#endif

  // The translator swapped the arguments: caught before printf runs.
  try {
    printf(translatedFormat(true), fruit, 3);
    std::puts("format checks FAILED: the wrong call was not caught");
    return 1;
  } catch (const qirt::EFormatError& error) {
    std::puts(error.what());
  }
  std::puts("format checks passed");
  return 0;
}
