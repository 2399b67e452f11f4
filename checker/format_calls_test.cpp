// Wrong calls through the generated wrappers, each caught with its whole
// message before it reaches the C library. Built twice: with and without
// QIRT_FORMAT_CHECK_DEBUG, which adds file, line and function.
#define QIRT_FORMAT_CHECK

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

#include <qirt/format.hpp>
#include <qirt/format_error.hpp>
#include "format_definition_begin.hpp"
#include "format_typelist.hpp"

namespace checked {
QIRT_FORMAT_DECLARE_SAFE(Printf, const char*, int, printf)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Printf, const char*, int, sprintf, char*)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(Printf, const char*, int, snprintf, char*, std::size_t)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Printf, const char*, int, fprintf, std::FILE*)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(Printf, const wchar_t*, int, swprintf, wchar_t*, std::size_t)
QIRT_FORMAT_DECLARE_SAFE(Scanf, const char*, int, scanf)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Scanf, const char*, int, sscanf, const char*)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Scanf, const wchar_t*, int, swscanf, const wchar_t*)
}  // namespace checked

QIRT_FORMAT_USING(checked, printf)
QIRT_FORMAT_USING(checked, sprintf)
QIRT_FORMAT_USING(checked, snprintf)
QIRT_FORMAT_USING(checked, fprintf)
QIRT_FORMAT_USING(checked, swprintf)
QIRT_FORMAT_USING(checked, scanf)
QIRT_FORMAT_USING(checked, sscanf)
QIRT_FORMAT_USING(checked, swscanf)

namespace {

// What the calls below pass; static, so the calls can live in captureless
// lambdas of one table.
char buffer[64];
wchar_t wideBuffer[64];
const char* const text = "text";
const wchar_t* const wideText = L"text";
int number = 0;
short shortNumber = 0;
long long longNumber = 0;
unsigned long long bigNumber = 0;
float single = 0;
double real = 0;
long double extended = 0;
void* pointer = nullptr;
const int constNumber = 0;
// Volatile, so the compiler does not see the null that reaches printf.
const char* volatile nullFormat = nullptr;
const std::string_view view = "view";
enum class Colour : long long { kRed };
struct Point {
  int x, y;
} point;

struct wrong_call_t {
  void (*call)();
  const char* message;
  int line;
};
// The call comes first, on the line that __LINE__ names with every compiler.
#define WRONG(call, message)        \
  {                                 \
    [] { call; }, message, __LINE__ \
  }

int handledErrors = 0;
void countError(const qirt::format_error_t&) { ++handledErrors; }

std::string withCallSite(const char* message, int line) {
#ifdef QIRT_FORMAT_CHECK_DEBUG
  return std::string(message) + " (" + __FILE__ + ":" + std::to_string(line) + ", operator())";
#else
  (void)line;
  return message;
#endif
}

}  // namespace

#include "format_definition_end.hpp"

namespace {

// One row a line: compilers disagree on the __LINE__ of a macro call
// that spans lines.
// clang-format off
const wrong_call_t kWrongCalls[] = {
    WRONG(printf("%d items", text), R"(printf format "%d items": argument 1 is const char*, but %d wants int)"),
    WRONG(printf("%s", number), R"(printf format "%s": argument 1 is int, but %s wants char*)"),
    WRONG(printf("%s", view), R"(printf format "%s": argument 1 is a class object, but %s wants char*)"),
    WRONG(printf("%d", point), R"(printf format "%d": argument 1 is a class object, but %d wants int)"),
    WRONG(printf("%d", Colour::kRed), R"(printf format "%d": argument 1 is a scoped enumeration, but %d wants int)"),
    WRONG(printf("%d", real), R"(printf format "%d": argument 1 is double, but %d wants int)"),
    WRONG(printf("%f", 1), R"(printf format "%f": argument 1 is int, but %f wants double)"),
    WRONG(printf("%lld", number), R"(printf format "%lld": argument 1 is int, but %lld wants long long)"),
    WRONG(printf("%d", bigNumber), R"(printf format "%d": argument 1 is unsigned long long, but %d wants int)"),
    WRONG(printf("%u", single), R"(printf format "%u": argument 1 is float, but %u wants unsigned int)"),
    WRONG(printf("%c", text), R"(printf format "%c": argument 1 is const char*, but %c wants int)"),
    WRONG(printf("%p", number), R"(printf format "%p": argument 1 is int, but %p wants void*)"),
    WRONG(printf("%d %d", 1), R"(printf format "%d %d": argument 2 is missing: %d wants int, but the call passes 1 argument)"),
    WRONG(printf("%d", 1, text), R"(printf format "%d": argument 2 is const char*, but the format uses only 1 argument)"),
    WRONG(printf("%q", 1), R"(printf format "%q": %q at character 1 is not a valid specifier)"),
    WRONG(printf("%*d", bigNumber, 1), R"(printf format "%*d": argument 1 is unsigned long long, but the * in %*d wants int)"),
    WRONG(printf("%n", &constNumber), R"(printf format "%n": argument 1 is const int*, but %n wants int*)"),
    WRONG(printf("%hn", &number), R"(printf format "%hn": argument 1 is int*, but %hn wants short*)"),
    WRONG(printf("%d%s%u%lld%.0f%c%s%d%x", 1, text, 2u, 3LL, 4.0, 'c', buffer, 5, 6.0), R"(printf format "%d%s%u%lld%.0f%c%s%d%x": argument 9 is double, but %x wants unsigned int)"),
    WRONG(printf(nullFormat), R"(printf format is a null pointer)"),
    WRONG(sprintf(buffer, "%5.2f", extended), R"(printf format "%5.2f": argument 1 is long double, but %5.2f wants double)"),
    WRONG(sprintf(buffer, "%s", wideText), R"(printf format "%s": argument 1 is const wchar_t*, but %s wants char*)"),
    WRONG(sprintf(buffer, "%ls", text), R"(printf format "%ls": argument 1 is const char*, but %ls wants wchar_t*)"),
    WRONG(sprintf(buffer, "%zu", number), R"(printf format "%zu": argument 1 is int, but %zu wants size_t)"),
    WRONG(sprintf(buffer, "%d", &number), R"(printf format "%d": argument 1 is int*, but %d wants int)"),
    WRONG(snprintf(buffer, sizeof buffer, "%.*s", text, 3), R"(printf format "%.*s": argument 1 is const char*, but the * in %.*s wants int)"),
    WRONG(snprintf(buffer, sizeof buffer, "%s %s", text), R"(printf format "%s %s": argument 2 is missing: %s wants char*, but the call passes 1 argument)"),
    WRONG(snprintf(buffer, sizeof buffer, "100% sure"), R"(printf format "100% sure": argument 1 is missing: % s wants char*, but the call passes no arguments)"),
    WRONG(fprintf(stderr, "%Lf", real), R"(printf format "%Lf": argument 1 is double, but %Lf wants long double)"),
    WRONG(fprintf(stderr, "%hhd%", 1), R"(printf format "%hhd%": % at character 5 is not a valid specifier)"),
    WRONG(fprintf(stderr, "%s", nullptr), R"(printf format "%s": argument 1 is std::nullptr_t, but %s wants char*)"),
    WRONG(swprintf(wideBuffer, 64, L"%d", wideText), R"(wprintf format "%d": argument 1 is const wchar_t*, but %d wants int)"),
    WRONG(swprintf(wideBuffer, 64, L"%ls %d", wideText), R"(wprintf format "%ls %d": argument 2 is missing: %d wants int, but the call passes 1 argument)"),
    WRONG(swprintf(wideBuffer, 64, L"%lc", real), R"(wprintf format "%lc": argument 1 is double, but %lc wants wint_t)"),
    WRONG(scanf("%d", number), R"(scanf format "%d": argument 1 is int, but %d wants int*)"),
    WRONG(scanf("%d", &shortNumber), R"(scanf format "%d": argument 1 is short*, but %d wants int*)"),
    WRONG(scanf("%f", &real), R"(scanf format "%f": argument 1 is double*, but %f wants float*)"),
    WRONG(sscanf("1", "%lf", &single), R"(scanf format "%lf": argument 1 is float*, but %lf wants double*)"),
    WRONG(sscanf("x", "%s", text), R"(scanf format "%s": argument 1 is const char*, but %s wants char*)"),
    WRONG(sscanf("0", "%p", pointer), R"(scanf format "%p": argument 1 is void*, but %p wants void**)"),
    WRONG(sscanf("1 2", "%*d %d"), R"(scanf format "%*d %d": argument 1 is missing: %d wants int*, but the call passes no arguments)"),
    WRONG(sscanf("1", "%d", &number, &number), R"(scanf format "%d": argument 2 is int*, but the format uses only 1 argument)"),
    WRONG(sscanf("a", "%[a-z", buffer), R"(scanf format "%[a-z": %[a-z at character 1 is not a valid specifier)"),
    WRONG(sscanf("1", "%lld", &number), R"(scanf format "%lld": argument 1 is int*, but %lld wants long long*)"),
    WRONG(swscanf(L"1", L"%d", &longNumber), R"(wscanf format "%d": argument 1 is long long*, but %d wants int*)"),
    WRONG(swscanf(L"x", L"%ls", buffer), R"(wscanf format "%ls": argument 1 is char*, but %ls wants wchar_t*)"),
};
// clang-format on

// One name per build of this file, so that CTest tells them apart.
#ifdef QIRT_FORMAT_CHECK_DEBUG
#define CALLS_TEST FormatDebugCallsTest
#else
#define CALLS_TEST FormatCallsTest
#endif

TEST(CALLS_TEST, WrongCallsAreStoppedWithTheirMessage) {
  for (const wrong_call_t& wrong : kWrongCalls) {
    try {
      wrong.call();
      ADD_FAILURE() << "line " << wrong.line << ": the call was not stopped";
    } catch (const qirt::EFormatError& error) {
      EXPECT_EQ(withCallSite(wrong.message, wrong.line), error.what()) << "line " << wrong.line;
    }
  }
}

TEST(CALLS_TEST, AHandlerThatReturnsLetsTheCallGoOn) {
  const qirt::FormatErrorHandler previous = qirt::setFormatErrorHandler(countError);
  // A surplus argument is harmless to the C library, so the call may go on.
  const int written = sprintf(buffer, "%d", 42, 7);
  qirt::setFormatErrorHandler(previous);
  EXPECT_EQ(1, handledErrors);
  EXPECT_EQ(2, written);
  EXPECT_EQ(std::string("42"), buffer);
}

}  // namespace
