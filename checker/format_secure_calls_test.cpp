// The secure functions (printf_s, sscanf_s, ...) through the generated
// wrappers. On Windows they are the Microsoft library's, routed by
// qirt/format_stdio.hpp: every correct call gives what the library gives
// when called directly, every wrong one is stopped before the library runs.
// On Linux a program may have secure functions of its own; this one
// declares them and their wrappers as a program declares its own
// functions, and takes size_t sizes, as C's optional scanf_s does. Built
// on Windows twice, with and without _UNICODE, for the generic-text names
// of <tchar.h>.
#define QIRT_FORMAT_CHECK

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include <qirt/format_error.hpp>
#include <qirt/format_stdio.hpp>

#ifdef _WIN32
#include <tchar.h>
// The size scanf_s takes after a text target.
#define SIZE(n) static_cast<unsigned>(n)
#define SIZE_TYPE "unsigned int"
#define SIZE_GIVEN SIZE_TYPE
#else
#define SIZE(n) static_cast<std::size_t>(n)
#define SIZE_TYPE "size_t"
#define SIZE_GIVEN "unsigned long"

// A program's own secure functions, declared as the program declares any
// function of its own: between the begin header, which lifts the routing,
// and the end header.
#include "format_definition_begin.hpp"
int sprintf_s(char* buffer, std::size_t size, const char* format, ...);
int swprintf_s(wchar_t* buffer, std::size_t size, const wchar_t* format, ...);
int sscanf_s(const char* input, const char* format, ...);
int swscanf_s(const wchar_t* input, const wchar_t* format, ...);
namespace own {
QIRT_FORMAT_DECLARE_SAFE_2PARAM(PrintfSecure, const char*, int, sprintf_s, char*, std::size_t)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(PrintfSecure, const wchar_t*, int, swprintf_s, wchar_t*,
                                std::size_t)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(ScanfSecure, const char*, int, sscanf_s, const char*)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(ScanfSecure, const wchar_t*, int, swscanf_s, const wchar_t*)
}  // namespace own
QIRT_FORMAT_USING(own, sprintf_s)
QIRT_FORMAT_USING(own, swprintf_s)
QIRT_FORMAT_USING(own, sscanf_s)
QIRT_FORMAT_USING(own, swscanf_s)
#include "format_definition_end.hpp"

// They print as the standard functions do; scanning only counts its
// arguments, which is all the test needs to see that a call arrived.
int(sprintf_s)(char* buffer, std::size_t size, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int written = std::vsnprintf(buffer, size, format, arguments);
  va_end(arguments);
  return written;
}
int(swprintf_s)(wchar_t* buffer, std::size_t size, const wchar_t* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int written = std::vswprintf(buffer, size, format, arguments);
  va_end(arguments);
  return written;
}
int(sscanf_s)(const char*, const char* format, ...) {
  return static_cast<int>(std::strlen(format));
}
int(swscanf_s)(const wchar_t*, const wchar_t* format, ...) {
  return static_cast<int>(std::wcslen(format));
}
#endif

namespace {

// What the calls write to; filled with a mark before each call, so that a
// stopped call shows it left them alone.
char text[32];
wchar_t wide[32];
int number;
double real;

void mark() {
  std::memset(text, '#', sizeof text - 1);
  text[sizeof text - 1] = 0;
  std::wmemset(wide, L'#', sizeof wide / sizeof wide[0] - 1);
  wide[sizeof wide / sizeof wide[0] - 1] = 0;
  number = -1;
  real = -1;
}

bool marked() { return text[0] == '#' && wide[0] == L'#' && number == -1 && real == -1; }

std::string narrow(const wchar_t* w) {
  std::string out;
  for (; *w != 0; ++w) out += *w < 0x80 ? static_cast<char>(*w) : '?';
  return out;
}

// The outcome of a call: what it returned and wrote, or the message that
// stopped it.
template <class Call>
std::string outcome(Call call) {
  mark();
  try {
    const int result = call();
    return std::to_string(result) + " [" + text + "] [" + narrow(wide) + "] " +
           std::to_string(number) + " " + std::to_string(real);
  } catch (const qirt::EFormatError& error) {
    return std::string(marked() ? "stopped: " : "stopped after writing: ") + error.what();
  }
}

struct secure_call_t {
  std::string (*checked)();  // through the wrapper
  std::string (*direct)();   // the same call straight to the function; null
                             // for a call that must be stopped
  const char* message;
  int line;
};

// `function arguments` goes through the wrapper, `(function) arguments`
// past it.
#define SAME(function, arguments)                                                \
  {                                                                              \
    [] { return outcome([] { return function arguments; }); },                   \
        [] { return outcome([] { return (function)arguments; }); }, "", __LINE__ \
  }
#define STOPPED(function, arguments, message)                                             \
  {                                                                                       \
    [] { return outcome([] { return function arguments; }); }, nullptr, message, __LINE__ \
  }

void check(const secure_call_t* calls, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const secure_call_t& c = calls[i];
    if (c.direct != nullptr) {
      EXPECT_EQ(c.direct(), c.checked()) << "line " << c.line;
    } else {
      EXPECT_EQ(std::string("stopped: ") + c.message, c.checked()) << "line " << c.line;
    }
  }
}

// clang-format off
const secure_call_t kPrintfCalls[] = {
    SAME(sprintf_s, (text, sizeof text, "%d %s %.2f", 42, "ok", 2.5)),
    SAME(sprintf_s, (text, sizeof text, "%5s|%-4c|%x", "ab", 'z', 255u)),
    SAME(swprintf_s, (wide, 32, L"%d %ls", 7, L"wide")),
    STOPPED(sprintf_s, (text, sizeof text, "%d", "text"), R"(printf_s format "%d": argument 1 is const char*, but %d wants int)"),
    STOPPED(sprintf_s, (text, sizeof text, "%d %d", 1), R"(printf_s format "%d %d": argument 2 is missing: %d wants int, but the call passes 1 argument)"),
    STOPPED(sprintf_s, (text, sizeof text, "%d", 1, 2), R"(printf_s format "%d": argument 2 is int, but the format uses only 1 argument)"),
    STOPPED(sprintf_s, (text, sizeof text, "%d%n", 1, &number), R"(printf_s format "%d%n": %n at character 3 is refused by the secure functions)"),
    STOPPED(swprintf_s, (wide, 32, L"%d", L"x"), R"(wprintf_s format "%d": argument 1 is const wchar_t*, but %d wants int)"),
#ifdef _WIN32
    // The Microsoft library's conversions, also where the unit's printf is
    // MinGW's: "%s" follows the function, "%S" is the other one.
    SAME(swprintf_s, (wide, 32, L"%s|%S", L"wide", "narrow")),
    STOPPED(swprintf_s, (wide, 32, L"%s", "narrow"), R"(wprintf_s format "%s": argument 1 is const char*, but %s wants wchar_t*)"),
    STOPPED(sprintf_s, (text, sizeof text, "%Lf", 1.5L), R"(printf_s format "%Lf": argument 1 is long double, but %Lf wants double)"),
    SAME(_snprintf_s, (text, sizeof text, 5, "%d%s", 12345, "more")),
    SAME(_snwprintf_s, (wide, 32, 31, L"%ls=%d", L"n", 3)),
    SAME(printf_s, ("%d %s\n", 1, "printf_s")),
    SAME(fprintf_s, (stdout, "%s %u\n", "fprintf_s", 2u)),
    STOPPED(_snprintf_s, (text, sizeof text, 5, "%s", 5), R"(printf_s format "%s": argument 1 is int, but %s wants char*)"),
    STOPPED(printf_s, ("%lu\n", 1), R"(printf_s format "%lu\n": argument 1 is int, but %lu wants unsigned long)"),
#endif
};

const secure_call_t kScanfCalls[] = {
    SAME(sscanf_s, ("42 word 2.5", "%d %s %lf", &number, text, SIZE(sizeof text), &real)),
    SAME(sscanf_s, ("ab:cd", "%2c%*c%[a-z]", text, SIZE(2), text + 8, SIZE(8))),
    SAME(sscanf_s, ("17 skip 3", "%d %*s %lf", &number, &real)),
    SAME(swscanf_s, (L"7 wide", L"%d %ls", &number, wide, SIZE(32))),
    STOPPED(sscanf_s, ("word", "%s", text), R"(scanf_s format "%s": argument 2 is missing: %s wants )" SIZE_TYPE R"( as the size of the buffer in argument 1, but the call passes 1 argument)"),
    STOPPED(sscanf_s, ("word", "%s", text, &number), R"(scanf_s format "%s": argument 2 is int*, but %s wants )" SIZE_TYPE R"( as the size of the buffer in argument 1)"),
    STOPPED(sscanf_s, ("4", "%d", &number, SIZE(4)), R"(scanf_s format "%d": argument 2 is )" SIZE_GIVEN R"(, but the format uses only 1 argument: %d takes no buffer size)"),
    STOPPED(sscanf_s, ("4 x", "%d %s", &number, SIZE(4), text, SIZE(8)), R"(scanf_s format "%d %s": argument 2 is )" SIZE_GIVEN R"(, but %s wants char*)"),
    STOPPED(sscanf_s, ("4", "%d", &real), R"(scanf_s format "%d": argument 1 is double*, but %d wants int*)"),
    STOPPED(sscanf_s, ("4 5", "%d %d", &number), R"(scanf_s format "%d %d": argument 2 is missing: %d wants int*, but the call passes 1 argument)"),
    STOPPED(sscanf_s, ("4", "%d", &number, &number), R"(scanf_s format "%d": argument 2 is int*, but the format uses only 1 argument)"),
    STOPPED(swscanf_s, (L"w", L"%lc", wide), R"(wscanf_s format "%lc": argument 2 is missing: %lc wants )" SIZE_TYPE R"( as the size of the buffer in argument 1, but the call passes 1 argument)"),
#ifdef _WIN32
    // A size_t works on 32-bit Windows by chance and is undefined on 64-bit.
    STOPPED(sscanf_s, ("word", "%s", text, sizeof text), R"(scanf_s format "%s": argument 2 is unsigned long long, but %s wants unsigned int as the size of the buffer in argument 1; cast it to unsigned int)"),
    // "%s" of a wide function is wide in the Microsoft library.
    SAME(swscanf_s, (L"wide", L"%s", wide, SIZE(32))),
    STOPPED(swscanf_s, (L"wide", L"%s", text, SIZE(32)), R"(wscanf_s format "%s": argument 1 is char*, but %s wants wchar_t*)"),
    STOPPED(sscanf_s, ("1 2", "%2$d %1$d", &number, &number), R"(scanf_s format "%2$d %1$d": %2$d at character 1 names an argument position, which this C library does not support)"),
#else
    STOPPED(sscanf_s, ("word", "%s", text, 8u), R"(scanf_s format "%s": argument 2 is unsigned int, but %s wants size_t as the size of the buffer in argument 1; cast it to size_t)"),
    STOPPED(sscanf_s, ("word", "%ms", &text), R"(scanf_s format "%ms": %ms at character 1 is refused by the secure functions)"),
#endif
};
// clang-format on

// One name per build of this file, so that CTest tells them apart.
#ifdef _UNICODE
#define SECURE_TEST FormatSecureUnicodeCallsTest
#else
#define SECURE_TEST FormatSecureCallsTest
#endif

TEST(SECURE_TEST, PrintfFamily) {
  check(kPrintfCalls, sizeof kPrintfCalls / sizeof kPrintfCalls[0]);
}

TEST(SECURE_TEST, ScanfFamily) {
  check(kScanfCalls, sizeof kScanfCalls / sizeof kScanfCalls[0]);
}

#ifdef _WIN32
// Files: the calls write and read a temporary file.
TEST(SECURE_TEST, Files) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(nullptr, file);
  EXPECT_EQ(9, fprintf_s(file, "%d %s\n", 12, "words"));
  EXPECT_THROW(fprintf_s(file, "%s", 12), qirt::EFormatError);
  std::rewind(file);
  char word[8] = {};
  EXPECT_EQ(2, fscanf_s(file, "%d %s", &number, word, SIZE(sizeof word)));
  EXPECT_EQ(12, number);
  EXPECT_STREQ("words", word);
  std::rewind(file);
  EXPECT_THROW(fscanf_s(file, "%d %s", &number, word), qirt::EFormatError);
  std::fclose(file);
}

// The generic-text names of <tchar.h> are the narrow or the wide functions,
// with or without _UNICODE, and are checked as those.
TEST(SECURE_TEST, GenericTextNames) {
  _TCHAR buffer[16];
  EXPECT_EQ(4, _stprintf_s(buffer, 16, _T("%d%s"), 12, _T("ab")));
  EXPECT_EQ(0, _tcscmp(_T("12ab"), buffer));
  EXPECT_THROW(_stprintf_s(buffer, 16, _T("%d"), _T("x")), qirt::EFormatError);
  int value = 0;
  EXPECT_EQ(2, _stscanf_s(_T("34 cd"), _T("%d %s"), &value, buffer, SIZE(16)));
  EXPECT_EQ(34, value);
  EXPECT_EQ(0, _tcscmp(_T("cd"), buffer));
  EXPECT_THROW(_stscanf_s(_T("cd"), _T("%s"), buffer), qirt::EFormatError);
}
#endif

}  // namespace
