// The program's own printf-like function. When the checks are on and the
// options name it, it is checked like printf: its declaration stands
// between the begin header, which lifts the routing macros (log_printf's
// would rename the declaration), and the end header, which routes every
// name again.
#ifndef CONSUMER_LOG_HPP
#define CONSUMER_LOG_HPP

#ifdef QIRT_FORMAT_CHECK
#include "format_definition_begin.hpp"
#endif

// Prints "[level] " and the formatted text to standard output.
__attribute__((format(printf, 2, 3))) void log_printf(int level, const char* format, ...);

#ifdef QIRT_FORMAT_CHECK
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-security"
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
namespace consumer_checked {
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Printf, const char*, void, log_printf, int)
}
#pragma GCC diagnostic pop
QIRT_FORMAT_USING(consumer_checked, log_printf)
#include "format_definition_end.hpp"
#endif

#endif  // CONSUMER_LOG_HPP
