// Routes the C library's printf and scanf functions through the checking
// library: force-included into every C++ unit (korven_check_formats() in
// CMake does that) or included first, with QIRT_FORMAT_CHECK defined and the
// folder of the three generated headers on the include path. Without
// QIRT_FORMAT_CHECK, and in C, it declares and routes nothing.
//
// The functions it knows: printf, fprintf, sprintf, snprintf, scanf, fscanf,
// sscanf, wprintf, fwprintf, swprintf (with the size, as in the C standard),
// wscanf, fwscanf and swscanf; on Windows also _snprintf, _snwprintf and the
// secure functions printf_s, fprintf_s, sprintf_s, _snprintf_s, wprintf_s,
// fwprintf_s, swprintf_s, _snwprintf_s, scanf_s, fscanf_s, sscanf_s,
// wscanf_s, fwscanf_s and swscanf_s. It declares the wrappers of those the
// options file names, with each function's own fixed parameters, and no
// others: a function the options file leaves out is not routed. A name it
// does not know is the program's own, whose wrappers the program declares
// itself, between the begin header (which lifts the routing macros, so the
// declaration keeps its name) and the end header (which routes every name
// again):
//
//   #ifdef QIRT_FORMAT_CHECK
//   #include "format_definition_begin.hpp"
//   #endif
//   void log_printf(int level, const char* format, ...);
//   #ifdef QIRT_FORMAT_CHECK
//   namespace checked {
//   QIRT_FORMAT_DECLARE_SAFE_1PARAM(Printf, const char*, void, log_printf, int)
//   }
//   QIRT_FORMAT_USING(checked, log_printf)
//   #include "format_definition_end.hpp"
//   #endif
//
// and defines as void (log_printf)(int level, const char* format, ...),
// the name in parentheses, where the routing macro is not applied. A program
// drops wrappers it declared itself for the functions this header knows.
//
// Order: libstdc++'s <cstdio> and <cwchar> #undef the C functions' names, so
// routing macros defined before either is first seen would be lost without a
// word. This header includes both before it defines them; a unit may include
// them itself, before or after it, and stays checked. Calls written before
// this header (in headers included earlier) are not checked.
//
// A routed function with more fixed parameters than the options file's
// Persistent.MaxFixedParams allows stops the build with an #error.
#ifndef QIRT_FORMAT_STDIO_HPP
#define QIRT_FORMAT_STDIO_HPP

#if defined(__cplusplus) && defined(QIRT_FORMAT_CHECK)

#include <cstdio>
#include <cwchar>

// Which names do the generated headers route? After the end header each
// routed name is a macro; the answers are kept in macros of this header's
// own, and the begin header lifts the routing again for the declarations.
#include "format_definition_begin.hpp"
#include "format_definition_end.hpp"

#ifdef printf
#define QIRT_FORMAT_ROUTES_printf
#endif
#ifdef fprintf
#define QIRT_FORMAT_ROUTES_fprintf
#endif
#ifdef sprintf
#define QIRT_FORMAT_ROUTES_sprintf
#endif
#ifdef snprintf
#define QIRT_FORMAT_ROUTES_snprintf
#endif
#ifdef scanf
#define QIRT_FORMAT_ROUTES_scanf
#endif
#ifdef fscanf
#define QIRT_FORMAT_ROUTES_fscanf
#endif
#ifdef sscanf
#define QIRT_FORMAT_ROUTES_sscanf
#endif
#ifdef wprintf
#define QIRT_FORMAT_ROUTES_wprintf
#endif
#ifdef fwprintf
#define QIRT_FORMAT_ROUTES_fwprintf
#endif
#ifdef swprintf
#define QIRT_FORMAT_ROUTES_swprintf
#endif
#ifdef wscanf
#define QIRT_FORMAT_ROUTES_wscanf
#endif
#ifdef fwscanf
#define QIRT_FORMAT_ROUTES_fwscanf
#endif
#ifdef swscanf
#define QIRT_FORMAT_ROUTES_swscanf
#endif

#ifdef _WIN32
#ifdef _snprintf
#define QIRT_FORMAT_ROUTES__snprintf
#endif
#ifdef _snwprintf
#define QIRT_FORMAT_ROUTES__snwprintf
#endif
#ifdef printf_s
#define QIRT_FORMAT_ROUTES_printf_s
#endif
#ifdef fprintf_s
#define QIRT_FORMAT_ROUTES_fprintf_s
#endif
#ifdef sprintf_s
#define QIRT_FORMAT_ROUTES_sprintf_s
#endif
#ifdef _snprintf_s
#define QIRT_FORMAT_ROUTES__snprintf_s
#endif
#ifdef wprintf_s
#define QIRT_FORMAT_ROUTES_wprintf_s
#endif
#ifdef fwprintf_s
#define QIRT_FORMAT_ROUTES_fwprintf_s
#endif
#ifdef swprintf_s
#define QIRT_FORMAT_ROUTES_swprintf_s
#endif
#ifdef _snwprintf_s
#define QIRT_FORMAT_ROUTES__snwprintf_s
#endif
#ifdef scanf_s
#define QIRT_FORMAT_ROUTES_scanf_s
#endif
#ifdef fscanf_s
#define QIRT_FORMAT_ROUTES_fscanf_s
#endif
#ifdef sscanf_s
#define QIRT_FORMAT_ROUTES_sscanf_s
#endif
#ifdef wscanf_s
#define QIRT_FORMAT_ROUTES_wscanf_s
#endif
#ifdef fwscanf_s
#define QIRT_FORMAT_ROUTES_fwscanf_s
#endif
#ifdef swscanf_s
#define QIRT_FORMAT_ROUTES_swscanf_s
#endif
#endif  // _WIN32

#include "format_definition_begin.hpp"
#include "format_typelist.hpp"

// The options file's MaxFixedParams bounds the fixed parameters a wrapper
// can have; a routed function with more could not be declared, and each of
// its calls would name a wrapper that does not exist.
#if !defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM) &&                                       \
    (defined(QIRT_FORMAT_ROUTES_fprintf) || defined(QIRT_FORMAT_ROUTES_sprintf) ||     \
     defined(QIRT_FORMAT_ROUTES_fscanf) || defined(QIRT_FORMAT_ROUTES_sscanf) ||       \
     defined(QIRT_FORMAT_ROUTES_fwprintf) || defined(QIRT_FORMAT_ROUTES_fwscanf) ||    \
     defined(QIRT_FORMAT_ROUTES_swscanf) || defined(QIRT_FORMAT_ROUTES_fprintf_s) ||   \
     defined(QIRT_FORMAT_ROUTES_fwprintf_s) || defined(QIRT_FORMAT_ROUTES_fscanf_s) || \
     defined(QIRT_FORMAT_ROUTES_sscanf_s) || defined(QIRT_FORMAT_ROUTES_fwscanf_s) ||  \
     defined(QIRT_FORMAT_ROUTES_swscanf_s))
#error \
    "qirt/format_stdio.hpp: the routed fprintf, sscanf ... need Persistent.MaxFixedParams = 1 or more"
#endif
#if !defined(QIRT_FORMAT_DECLARE_SAFE_2PARAM) &&                                        \
    (defined(QIRT_FORMAT_ROUTES_snprintf) || defined(QIRT_FORMAT_ROUTES_swprintf) ||    \
     defined(QIRT_FORMAT_ROUTES__snprintf) || defined(QIRT_FORMAT_ROUTES__snwprintf) || \
     defined(QIRT_FORMAT_ROUTES_sprintf_s) || defined(QIRT_FORMAT_ROUTES_swprintf_s))
#error \
    "qirt/format_stdio.hpp: the routed snprintf, swprintf ... need Persistent.MaxFixedParams = 2 or more"
#endif
#if !defined(QIRT_FORMAT_DECLARE_SAFE_3PARAM) && \
    (defined(QIRT_FORMAT_ROUTES__snprintf_s) || defined(QIRT_FORMAT_ROUTES__snwprintf_s))
#error \
    "qirt/format_stdio.hpp: the routed _snprintf_s, _snwprintf_s need Persistent.MaxFixedParams = 3 or more"
#endif

// The wrappers pass on formats that are not literals, which is what they
// are for; the compiler checks the calls where they are written.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
#endif

// Units checked for different C libraries, or with different modes, must
// not share wrappers: an inline wrapper that the linker keeps once would
// check every unit as one of them. So the wrappers live in a namespace
// named after both.
#define QIRT_FORMAT_STDIO_UNIT_(dialect, mode) unit_##dialect##_##mode
#define QIRT_FORMAT_STDIO_UNIT(dialect, mode) QIRT_FORMAT_STDIO_UNIT_(dialect, mode)
#ifdef QIRT_FORMAT_MODE
#define QIRT_FORMAT_STDIO_NAMESPACE QIRT_FORMAT_STDIO_UNIT(QIRT_FORMAT_UNIT_DIALECT, QIRT_FORMAT_MODE)
#else
#define QIRT_FORMAT_STDIO_NAMESPACE QIRT_FORMAT_STDIO_UNIT(QIRT_FORMAT_UNIT_DIALECT, default)
#endif

namespace qirt {
namespace stdio {
inline namespace QIRT_FORMAT_STDIO_NAMESPACE {
#ifdef QIRT_FORMAT_ROUTES_printf
QIRT_FORMAT_DECLARE_SAFE(Printf, const char*, int, printf)
#endif
#if defined(QIRT_FORMAT_ROUTES_fprintf) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Printf, const char*, int, fprintf, std::FILE*)
#endif
#if defined(QIRT_FORMAT_ROUTES_sprintf) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Printf, const char*, int, sprintf, char*)
#endif
#if defined(QIRT_FORMAT_ROUTES_snprintf) && defined(QIRT_FORMAT_DECLARE_SAFE_2PARAM)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(Printf, const char*, int, snprintf, char*, std::size_t)
#endif
#ifdef QIRT_FORMAT_ROUTES_scanf
QIRT_FORMAT_DECLARE_SAFE(Scanf, const char*, int, scanf)
#endif
#if defined(QIRT_FORMAT_ROUTES_fscanf) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Scanf, const char*, int, fscanf, std::FILE*)
#endif
#if defined(QIRT_FORMAT_ROUTES_sscanf) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Scanf, const char*, int, sscanf, const char*)
#endif
#ifdef QIRT_FORMAT_ROUTES_wprintf
QIRT_FORMAT_DECLARE_SAFE(Printf, const wchar_t*, int, wprintf)
#endif
#if defined(QIRT_FORMAT_ROUTES_fwprintf) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Printf, const wchar_t*, int, fwprintf, std::FILE*)
#endif
#if defined(QIRT_FORMAT_ROUTES_swprintf) && defined(QIRT_FORMAT_DECLARE_SAFE_2PARAM)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(Printf, const wchar_t*, int, swprintf, wchar_t*, std::size_t)
#endif
#ifdef QIRT_FORMAT_ROUTES_wscanf
QIRT_FORMAT_DECLARE_SAFE(Scanf, const wchar_t*, int, wscanf)
#endif
#if defined(QIRT_FORMAT_ROUTES_fwscanf) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Scanf, const wchar_t*, int, fwscanf, std::FILE*)
#endif
#if defined(QIRT_FORMAT_ROUTES_swscanf) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Scanf, const wchar_t*, int, swscanf, const wchar_t*)
#endif
#ifdef _WIN32
#if defined(QIRT_FORMAT_ROUTES__snprintf) && defined(QIRT_FORMAT_DECLARE_SAFE_2PARAM)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(Printf, const char*, int, _snprintf, char*, std::size_t)
#endif
#if defined(QIRT_FORMAT_ROUTES__snwprintf) && defined(QIRT_FORMAT_DECLARE_SAFE_2PARAM)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(Printf, const wchar_t*, int, _snwprintf, wchar_t*, std::size_t)
#endif
#ifdef QIRT_FORMAT_ROUTES_printf_s
QIRT_FORMAT_DECLARE_SAFE(PrintfSecure, const char*, int, printf_s)
#endif
#if defined(QIRT_FORMAT_ROUTES_fprintf_s) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(PrintfSecure, const char*, int, fprintf_s, std::FILE*)
#endif
#if defined(QIRT_FORMAT_ROUTES_sprintf_s) && defined(QIRT_FORMAT_DECLARE_SAFE_2PARAM)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(PrintfSecure, const char*, int, sprintf_s, char*, std::size_t)
#endif
#if defined(QIRT_FORMAT_ROUTES__snprintf_s) && defined(QIRT_FORMAT_DECLARE_SAFE_3PARAM)
QIRT_FORMAT_DECLARE_SAFE_3PARAM(PrintfSecure, const char*, int, _snprintf_s, char*, std::size_t,
                                std::size_t)
#endif
#ifdef QIRT_FORMAT_ROUTES_wprintf_s
QIRT_FORMAT_DECLARE_SAFE(PrintfSecure, const wchar_t*, int, wprintf_s)
#endif
#if defined(QIRT_FORMAT_ROUTES_fwprintf_s) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(PrintfSecure, const wchar_t*, int, fwprintf_s, std::FILE*)
#endif
#if defined(QIRT_FORMAT_ROUTES_swprintf_s) && defined(QIRT_FORMAT_DECLARE_SAFE_2PARAM)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(PrintfSecure, const wchar_t*, int, swprintf_s, wchar_t*,
                                std::size_t)
#endif
#if defined(QIRT_FORMAT_ROUTES__snwprintf_s) && defined(QIRT_FORMAT_DECLARE_SAFE_3PARAM)
QIRT_FORMAT_DECLARE_SAFE_3PARAM(PrintfSecure, const wchar_t*, int, _snwprintf_s, wchar_t*,
                                std::size_t, std::size_t)
#endif
#ifdef QIRT_FORMAT_ROUTES_scanf_s
QIRT_FORMAT_DECLARE_SAFE(ScanfSecure, const char*, int, scanf_s)
#endif
#if defined(QIRT_FORMAT_ROUTES_fscanf_s) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(ScanfSecure, const char*, int, fscanf_s, std::FILE*)
#endif
#if defined(QIRT_FORMAT_ROUTES_sscanf_s) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(ScanfSecure, const char*, int, sscanf_s, const char*)
#endif
#ifdef QIRT_FORMAT_ROUTES_wscanf_s
QIRT_FORMAT_DECLARE_SAFE(ScanfSecure, const wchar_t*, int, wscanf_s)
#endif
#if defined(QIRT_FORMAT_ROUTES_fwscanf_s) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(ScanfSecure, const wchar_t*, int, fwscanf_s, std::FILE*)
#endif
#if defined(QIRT_FORMAT_ROUTES_swscanf_s) && defined(QIRT_FORMAT_DECLARE_SAFE_1PARAM)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(ScanfSecure, const wchar_t*, int, swscanf_s, const wchar_t*)
#endif
#endif  // _WIN32
}  // namespace QIRT_FORMAT_STDIO_NAMESPACE
}  // namespace stdio
}  // namespace qirt
#undef QIRT_FORMAT_STDIO_UNIT_
#undef QIRT_FORMAT_STDIO_UNIT
#undef QIRT_FORMAT_STDIO_NAMESPACE

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// Calls are written unqualified, so every wrapper is seen from everywhere.
using namespace qirt::stdio;

#include "format_definition_end.hpp"

#endif  // __cplusplus && QIRT_FORMAT_CHECK

#endif  // QIRT_FORMAT_STDIO_HPP
