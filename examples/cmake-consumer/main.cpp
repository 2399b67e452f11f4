// Routes printf and fprintf through the wrappers that korven generated from
// options.txt and checks that every call reached the checker with the types
// of its arguments before it printed.
//
// QIRT_FORMAT_CHECK is defined by the build (CMakeLists.txt).
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include <qirt/format.hpp>
#include "format_definition_begin.hpp"
#include "format_typelist.hpp"

// One wrapper set per function: printf takes the format first, fprintf has
// one fixed parameter (the stream) in front of it.
namespace checked {
QIRT_FORMAT_DECLARE_SAFE(Printf, const char*, int, printf)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Fprintf, const char*, int, fprintf, std::FILE*)
}  // namespace checked

QIRT_FORMAT_USING(checked, printf)
QIRT_FORMAT_USING(checked, fprintf)

// The end header turns printf and fprintf into macros, so everything that
// reports by other means comes before it.
namespace {

int failures = 0;
int checksSeen = 0;

// The call just made went through the checker of `variant` with `types`.
void expectChecked(int line, const char* variant, std::initializer_list<unsigned> types) {
  const qirt::recorded_check_t& check = qirt::lastCheck();
  bool ok = check.checks == ++checksSeen && std::strcmp(check.variant, variant) == 0 &&
            check.count == types.size();
  unsigned i = 0;
  for (unsigned type : types) ok = ok && check.types[i++] == type;
  if (!ok) {
    std::fprintf(stderr, "main.cpp:%d: the call was not checked as expected\n", line);
    ++failures;
  }
}

int finish() {
  std::puts(failures == 0 ? "format checks passed" : "format checks FAILED");
  return failures == 0 ? 0 : 1;
}

}  // namespace

#include "format_definition_end.hpp"

int main() {
  const char* fruit = "apples";

  printf("consumer of korven's generated headers\n");
  expectChecked(__LINE__, "Printf", {});
  printf("%d %s\n", 3, fruit);
  expectChecked(__LINE__, "Printf", {qirt::kTypeInt, qirt::kTypeString});
  printf("%d %s cost %.2f\n", 3, fruit, 1.5);
  expectChecked(__LINE__, "Printf", {qirt::kTypeInt, qirt::kTypeString, qirt::kTypeDouble});
  fprintf(stdout, "%s: %u\n", "fprintf", 7u);
  expectChecked(__LINE__, "Fprintf", {qirt::kTypeString, qirt::kTypeUnsigned});

  return finish();
}
