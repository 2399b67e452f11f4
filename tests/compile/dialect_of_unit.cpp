// Which C library a unit is checked for, with no macro of the checking
// library's: a MinGW unit built as ported old code is (<stdio.h> first,
// __USE_MINGW_ANSI_STDIO=0) calls the Microsoft functions, where "%Lf"
// prints a long double as 0; a MinGW unit built the default way calls
// MinGW's own, which print it. Prints the dialect and the verdict.
#include <stdio.h>

#include <qirt/format.hpp>
#include <qirt/format_error.hpp>
#include "format_definition_begin.hpp"
#include "format_typelist.hpp"

namespace checked {
QIRT_FORMAT_DECLARE_SAFE_2PARAM(Printf, const char*, int, snprintf, char*, size_t)
}  // namespace checked
QIRT_FORMAT_USING(checked, snprintf)

#include "format_definition_end.hpp"

int main() {
  char buffer[32];
  const char* verdict = "passes";
  try {
    snprintf(buffer, sizeof buffer, "%Lf", 1.5L);
  } catch (const qirt::EFormatError&) {
    verdict = "is stopped";
  }
  const char* const kNames[] = {"POSIX", "MinGW", "Microsoft"};
  fputs(kNames[qirt::kFormatDialect], stdout);
  fputs(": %Lf ", stdout);
  fputs(verdict, stdout);
  fputs("\n", stdout);
  return 0;
}
