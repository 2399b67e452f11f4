/* Both generated headers in C, after the checking library's header: the
   declaration macros are empty and nothing is redirected, also when
   checking is requested. */
#include <stdio.h>
#include <string.h>

#include <qirt/format.hpp>
#include "format_definition_begin.hpp"

QIRT_FORMAT_DECLARE_SAFE(Printf, const char*, int, printf)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Sprintf, const char*, int, sprintf, char*)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(Swprintf, const wchar_t*, int, swprintf, wchar_t*, size_t)
QIRT_FORMAT_USING(checked, printf)

#include "format_definition_end.hpp"

int main(void) {
  char buffer[32];
  sprintf(buffer, "%d", 42);
  return strcmp(buffer, "42") != 0;
}
