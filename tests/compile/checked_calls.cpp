// Correct calls of printf, sprintf, snprintf, fprintf, swprintf, scanf and
// sscanf with 0 to 9 arguments of every kind and size, through the
// generated wrappers and the real checking library: none may be stopped,
// and each must give what the C function gives when called directly.
// Built with checking off, on, and on with QIRT_FORMAT_CHECK_DEBUG. Reads
// "42 word 2.5\n" and "7 x\n" from standard input. C++11.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <exception>

#include <qirt/format.hpp>
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
}  // namespace checked

QIRT_FORMAT_USING(checked, printf)
QIRT_FORMAT_USING(checked, sprintf)
QIRT_FORMAT_USING(checked, snprintf)
QIRT_FORMAT_USING(checked, fprintf)
QIRT_FORMAT_USING(checked, swprintf)
QIRT_FORMAT_USING(checked, scanf)
QIRT_FORMAT_USING(checked, sscanf)

namespace {

int failures = 0;

void fail(int line, const char* what) {
  std::fprintf(stderr, "checked_calls.cpp:%d: %s\n", line, what);
  ++failures;
}

void expectSame(int line, int checkedResult, int directResult, const char* checkedText,
                const char* directText) {
  if (checkedResult != directResult || std::strcmp(checkedText, directText) != 0) {
    fail(line, "the checked call gave another result than the C function");
  }
}

void expectSameWide(int line, int checkedResult, int directResult, const wchar_t* checkedText,
                    const wchar_t* directText) {
  if (checkedResult != directResult || std::wcscmp(checkedText, directText) != 0) {
    fail(line, "the checked call gave another wide result than the C function");
  }
}

std::FILE* scratch() {
  static std::FILE* file = std::tmpfile();
  std::rewind(file);
  return file;
}

const char* scratchText(long written) {
  static char text[512];
  std::FILE* file = scratch();
  std::size_t n = std::fread(text, 1, static_cast<std::size_t>(written), file);
  text[n] = '\0';
  std::rewind(file);
  return text;
}

int finish() {
  std::fputs(failures == 0 ? "all checked calls passed\n" : "FAILED\n", stdout);
  return failures == 0 ? 0 : 1;
}

// The checked call first, then the C function itself: a name in parentheses
// is not a call of the redirecting macro.
#define SAME_SPRINTF(...)                                \
  do {                                                   \
    char checkedOut[512], directOut[512];                \
    const int ra = sprintf(checkedOut, __VA_ARGS__);     \
    const int rb = (sprintf)(directOut, __VA_ARGS__);    \
    expectSame(__LINE__, ra, rb, checkedOut, directOut); \
  } while (0)
#define SAME_SNPRINTF(n, ...)                             \
  do {                                                    \
    char checkedOut[512], directOut[512];                 \
    const int ra = snprintf(checkedOut, n, __VA_ARGS__);  \
    const int rb = (snprintf)(directOut, n, __VA_ARGS__); \
    expectSame(__LINE__, ra, rb, checkedOut, directOut);  \
  } while (0)
#define SAME_FPRINTF(...)                                                \
  do {                                                                   \
    char directOut[512];                                                 \
    const int ra = fprintf(scratch(), __VA_ARGS__);                      \
    const int rb = (snprintf)(directOut, sizeof directOut, __VA_ARGS__); \
    expectSame(__LINE__, ra, rb, scratchText(ra), directOut);            \
  } while (0)
#define SAME_PRINTF(...)                                                 \
  do {                                                                   \
    char directOut[512];                                                 \
    const int ra = printf(__VA_ARGS__);                                  \
    const int rb = (snprintf)(directOut, sizeof directOut, __VA_ARGS__); \
    if (ra != rb) fail(__LINE__, "printf gave another count");           \
  } while (0)
#define SAME_SWPRINTF(...)                                   \
  do {                                                       \
    wchar_t checkedOut[512], directOut[512];                 \
    const int ra = swprintf(checkedOut, 512, __VA_ARGS__);   \
    const int rb = (swprintf)(directOut, 512, __VA_ARGS__);  \
    expectSameWide(__LINE__, ra, rb, checkedOut, directOut); \
  } while (0)

}  // namespace

#include "format_definition_end.hpp"

int main() {
  try {
    char c = 'c';
    signed char sc = -5;
    unsigned char uc = 250;
    short s = -300;
    unsigned short us = 60000;
    int i = -70000;
    unsigned u = 4000000000u;
    long l = -123456789L;
    unsigned long ul = 123456789UL;
    long long ll = -1234567890123LL;
    unsigned long long ull = 12345678901234ULL;
    std::intmax_t j = -42;
    std::size_t z = sizeof(long double);
    std::ptrdiff_t t = -7;
    float f = 1.25f;
    double d = -2.5;
    long double ld = 3.75L;
    bool flag = true;
    const char* text = "text";
    char name[] = "name";
    const wchar_t* wide = L"wide";
    void* p = &i;
    int count = 0;
    short shortCount = 0;

    SAME_PRINTF("checked calls\n");
    SAME_PRINTF("%d\n", i);
    SAME_PRINTF("%s %c\n", text, c);

    SAME_SPRINTF("no arguments, 100%%");
    SAME_SPRINTF("%d", i);
    SAME_SPRINTF("%hhd %hhu", sc, uc);
    SAME_SPRINTF("%hd %hu %d", s, us, c);
    SAME_SPRINTF("%d %u %x %o", i, u, u, u);
    SAME_SPRINTF("%ld %lu %lld %llu %jd", l, ul, ll, ull, j);
    SAME_SPRINTF("%zu %td %d %c %s %s", z, t, flag, c, text, name);
    SAME_SPRINTF("%f %e %g %a %.3f %Lf %-8.2f", f, d, d, d, f, ld, d);
    SAME_SPRINTF("%*d|%-*.*f|%.*s|%5s", 6, i, 10, 3, d, 2, text, name);
    SAME_SPRINTF("%05d|%+d|% d|%#x|%X|%5.1e|%G", 42, 1, 2, 255u, 255u, d, d);
    SAME_SPRINTF("%d %s %u %ld %.0f %c %s %d %d", 1, text, 2u, 3L, 4.0, 'x', name, 5, 6);
    SAME_SPRINTF("%ls %lc", wide, static_cast<std::wint_t>(L'w'));

    // A limit the compiler cannot see, so it does not warn of the cut.
    volatile std::size_t limit = 8;
    SAME_SNPRINTF(limit, "truncated text");
    SAME_SNPRINTF(64, "%d %s %5.2f", 42, text, d);
    SAME_SNPRINTF(64, "%lld %llx %zu %td %jd %hhd %hd %ld", ll, ull, z, t, j, sc, s, l);

    SAME_FPRINTF("x");
    SAME_FPRINTF("%d", i);
    SAME_FPRINTF("%d %s", i, text);
    SAME_FPRINTF("%d %s %u", i, text, u);
    SAME_FPRINTF("%d %s %u %ld %.0f %c %s %d %d", 1, text, 2u, 3L, 4.0, 'x', name, 5, 6);

    SAME_SWPRINTF(L"x");
    SAME_SWPRINTF(L"%d %ls", i, wide);
    SAME_SWPRINTF(L"%lc %d %u %ld %lld %f %Lf %zu", static_cast<std::wint_t>(L'w'), i, u, l, ll, d,
                  ld, z);
    SAME_SWPRINTF(L"%d %ls %u %ld %.0f %lc %ls %d %d", 1, wide, 2u, 3L, 4.0,
                  static_cast<std::wint_t>(L'x'), wide, 5, 6);

    // "%n" and "%p": what was written, and a pointer's text.
    char a[64], bb[64];
    sprintf(a, "abc%n%hn", &count, &shortCount);
    if (count != 3 || shortCount != 3) fail(__LINE__, "%n did not count");
    sprintf(a, "%p", p);
    (sprintf)(bb, "%p", p);
    if (std::strcmp(a, bb) != 0) fail(__LINE__, "%p printed another pointer");

    // scanf and sscanf, 0 to 9 targets.
    int n1 = 0, n2 = 0, n3 = 0;
    char word[16] = {0}, set[16] = {0};
    float real = 0;
    double dbl = 0;
    long double ext = 0;
    long long big = 0;
    unsigned char small = 0;
    std::size_t size = 0;
    void* q = 0;
    if (scanf("%d %15s %f", &n1, word, &real) != 3 || n1 != 42 || std::strcmp(word, "word") != 0 ||
        real != 2.5f) {
      fail(__LINE__, "scanf read other values");
    }
    if (scanf("%d %c", &n2, &c) != 2 || n2 != 7 || c != 'x')
      fail(__LINE__, "scanf read other values");
    if (sscanf("x", "x") != 0) fail(__LINE__, "sscanf without targets");
    if (sscanf("5", "%d", &n3) != 1 || n3 != 5) fail(__LINE__, "sscanf %d");
    if (sscanf("1 2.5 3.5 4.5 77 255 99 abc %", "%d %lf %Lf %f %lld %hhu %zu %15[a-z] %%", &n1,
               &dbl, &ext, &real, &big, &small, &size, set) != 8 ||
        dbl != 2.5 || ext != 3.5L || real != 4.5f || big != 77 || small != 255 || size != 99 ||
        std::strcmp(set, "abc") != 0) {
      fail(__LINE__, "sscanf read other values");
    }
    if (sscanf("1 2 3 4 5 6 7 8 9", "%d %d %d %d %d %d %d %d %*d%n", &n1, &n2, &n3, &n1, &n2, &n3,
               &n1, &n2, &count) != 8 ||
        count != 17) {
      fail(__LINE__, "sscanf with nine targets");
    }
    char pointerText[64];
    (snprintf)(pointerText, sizeof pointerText, "%p", p);
    if (sscanf(pointerText, "%p", &q) != 1 || q != p) fail(__LINE__, "sscanf %p");
  } catch (const std::exception& error) {
    std::fputs(error.what(), stderr);
    std::fputs("\n", stderr);
    return 1;
  }
  return finish();
}
