#include "log.hpp"

#include <cstdarg>
#include <cstdio>

// The name in parentheses: where log_printf is routed, its macro would
// rename the definition too.
void(log_printf)(int level, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  printf("[%d] ", level);
  vprintf(format, arguments);
  va_end(arguments);
}
