// A unit that routes calls by hand and includes the standard headers only
// after the routing: libstdc++'s <cstdio> and <cwchar> undefine the C
// functions' names when they are first read, so the checking library must
// have read them before the routing macros exist. Compiled only.
#include <qirt/format.hpp>
#include "format_definition_begin.hpp"
#include "format_typelist.hpp"

namespace checked {
QIRT_FORMAT_DECLARE_SAFE(Printf, const char*, int, printf)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(Printf, const wchar_t*, int, swprintf, wchar_t*, std::size_t)
}  // namespace checked
QIRT_FORMAT_USING(checked, printf)
QIRT_FORMAT_USING(checked, swprintf)

#include "format_definition_end.hpp"

#include <cstdio>
#include <cwchar>
#include <iostream>
#include <string>

#if defined(QIRT_FORMAT_CHECK) && (!defined(printf) || !defined(swprintf))
#error "a standard header read after the routing removed it"
#endif

int main() {
  wchar_t text[8];
  swprintf(text, 8, L"%d", 1);
  return printf("%ls\n", text) < 0;
}
