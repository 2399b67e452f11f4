// Calls printf, sprintf, fprintf and swprintf with 0 to 9 arguments through
// the generated wrappers and checks that each call reached the checker with
// the right argument count and type identifiers, and the C function with
// its arguments. Built with and without QIRT_FORMAT_CHECK_DEBUG.
#define QIRT_FORMAT_CHECK

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <initializer_list>

#include <qirt/format.hpp>
#include "format_definition_begin.hpp"
#include "format_typelist.hpp"

namespace checked {
QIRT_FORMAT_DECLARE_SAFE(Printf, const char*, int, printf)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Sprintf, const char*, int, sprintf, char*)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Fprintf, const char*, int, fprintf, std::FILE*)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(Swprintf, const wchar_t*, int, swprintf, wchar_t*, std::size_t)
}  // namespace checked

QIRT_FORMAT_USING(checked, printf)
QIRT_FORMAT_USING(checked, sprintf)
QIRT_FORMAT_USING(checked, fprintf)
QIRT_FORMAT_USING(checked, swprintf)

// Everything that reports is defined here, before the end header turns the
// format function names into redirections: after it even std::fprintf would
// become std::_safe_fprintf.
namespace {

int failures = 0;
int expectedChecks = 0;

void fail(int line, const char* what) {
  std::fprintf(stderr, "wrapper_calls.cpp:%d: %s\n", line, what);
  ++failures;
}

enum : unsigned {
  I = qirt::kTypeInt,
  U = qirt::kTypeUnsigned,
  L = qirt::kTypeLong,
  D = qirt::kTypeDouble,
  C = qirt::kTypeChar,
  S = qirt::kTypeString,
  W = qirt::kTypeWideString,
};

// The last call, made on `line`, went through the checker of `variant` with
// these argument types.
void expectCheck(int line, const char* variant, std::initializer_list<unsigned> types) {
  const qirt::recorded_check_t& check = qirt::lastCheck();
  if (check.checks != ++expectedChecks) return fail(line, "call did not reach the checker");
  if (std::strcmp(check.variant, variant) != 0) fail(line, "wrong checking function");
  if (check.count != types.size()) fail(line, "wrong argument count");
  if (check.typesNull != (types.size() == 0)) fail(line, "type list null for arguments");
  unsigned i = 0;
  for (unsigned type : types) {
    if (check.types[i++] != type) fail(line, "wrong type identifier");
  }
#ifdef QIRT_FORMAT_CHECK_DEBUG
  if (check.line != line) fail(line, "wrong line passed in debug mode");
  if (check.file == 0 || std::strstr(check.file, "wrapper_calls.cpp") == 0) fail(line, "wrong file");
  if (check.func == 0 || std::strcmp(check.func, "main") != 0) fail(line, "wrong function");
#else
  if (check.file != 0) fail(line, "file passed without debug mode");
#endif
}

void expectText(int line, const char* actual, const char* expected) {
  if (std::strcmp(actual, expected) != 0) fail(line, "C function produced the wrong text");
}

void expectWideText(int line, const wchar_t* actual, const wchar_t* expected) {
  if (std::wcscmp(actual, expected) != 0) fail(line, "C function produced the wrong wide text");
}

std::FILE* scratch() {
  static std::FILE* file = std::tmpfile();
  std::rewind(file);
  return file;
}

const char* scratchText() {
  static char text[256];
  std::FILE* file = scratch();
  std::fflush(file);
  std::size_t n = std::fread(text, 1, sizeof text - 1, file);
  text[n] = '\0';
  std::rewind(file);
  return text;
}

int finish() {
  std::fputs(failures == 0 ? "all calls checked\n" : "FAILED\n", stdout);
  return failures == 0 ? 0 : 1;
}

}  // namespace

#include "format_definition_end.hpp"

int main() {
  char b[256];
  wchar_t w[256];
  char name[] = "n";
  const char* s = "s";
  const wchar_t* ws = L"w";

  printf(""); expectCheck(__LINE__, "Printf", {});
  printf("%d", 1); expectCheck(__LINE__, "Printf", {I});
  printf("%d%s", 1, s); expectCheck(__LINE__, "Printf", {I, S});
  printf("%d%s%u", 1, s, 2u); expectCheck(__LINE__, "Printf", {I, S, U});
  printf("%d%s%u%ld", 1, s, 2u, 3L); expectCheck(__LINE__, "Printf", {I, S, U, L});
  printf("%d%s%u%ld%.0f", 1, s, 2u, 3L, 4.0); expectCheck(__LINE__, "Printf", {I, S, U, L, D});
  printf("%d%s%u%ld%.0f%c", 1, s, 2u, 3L, 4.0, 'c'); expectCheck(__LINE__, "Printf", {I, S, U, L, D, C});
  printf("%d%s%u%ld%.0f%c%s", 1, s, 2u, 3L, 4.0, 'c', name); expectCheck(__LINE__, "Printf", {I, S, U, L, D, C, S});
  printf("%d%s%u%ld%.0f%c%s%d", 1, s, 2u, 3L, 4.0, 'c', name, 5); expectCheck(__LINE__, "Printf", {I, S, U, L, D, C, S, I});
  printf("%d%s%u%ld%.0f%c%s%d%d\n", 1, s, 2u, 3L, 4.0, 'c', name, 5, 6); expectCheck(__LINE__, "Printf", {I, S, U, L, D, C, S, I, I});

  sprintf(b, "x"); expectCheck(__LINE__, "Sprintf", {}); expectText(__LINE__, b, "x");
  sprintf(b, "%d", 1); expectCheck(__LINE__, "Sprintf", {I}); expectText(__LINE__, b, "1");
  sprintf(b, "%d%s", 1, s); expectCheck(__LINE__, "Sprintf", {I, S}); expectText(__LINE__, b, "1s");
  sprintf(b, "%d%s%u", 1, s, 2u); expectCheck(__LINE__, "Sprintf", {I, S, U}); expectText(__LINE__, b, "1s2");
  sprintf(b, "%d%s%u%ld", 1, s, 2u, 3L); expectCheck(__LINE__, "Sprintf", {I, S, U, L}); expectText(__LINE__, b, "1s23");
  sprintf(b, "%d%s%u%ld%.0f", 1, s, 2u, 3L, 4.0); expectCheck(__LINE__, "Sprintf", {I, S, U, L, D}); expectText(__LINE__, b, "1s234");
  sprintf(b, "%d%s%u%ld%.0f%c", 1, s, 2u, 3L, 4.0, 'c'); expectCheck(__LINE__, "Sprintf", {I, S, U, L, D, C}); expectText(__LINE__, b, "1s234c");
  sprintf(b, "%d%s%u%ld%.0f%c%s", 1, s, 2u, 3L, 4.0, 'c', name); expectCheck(__LINE__, "Sprintf", {I, S, U, L, D, C, S}); expectText(__LINE__, b, "1s234cn");
  sprintf(b, "%d%s%u%ld%.0f%c%s%d", 1, s, 2u, 3L, 4.0, 'c', name, 5); expectCheck(__LINE__, "Sprintf", {I, S, U, L, D, C, S, I}); expectText(__LINE__, b, "1s234cn5");
  sprintf(b, "%d%s%u%ld%.0f%c%s%d%d", 1, s, 2u, 3L, 4.0, 'c', name, 5, 6); expectCheck(__LINE__, "Sprintf", {I, S, U, L, D, C, S, I, I}); expectText(__LINE__, b, "1s234cn56");

  fprintf(scratch(), "x"); expectCheck(__LINE__, "Fprintf", {}); expectText(__LINE__, scratchText(), "x");
  fprintf(scratch(), "%d", 1); expectCheck(__LINE__, "Fprintf", {I}); expectText(__LINE__, scratchText(), "1");
  fprintf(scratch(), "%d%s", 1, s); expectCheck(__LINE__, "Fprintf", {I, S}); expectText(__LINE__, scratchText(), "1s");
  fprintf(scratch(), "%d%s%u", 1, s, 2u); expectCheck(__LINE__, "Fprintf", {I, S, U}); expectText(__LINE__, scratchText(), "1s2");
  fprintf(scratch(), "%d%s%u%ld", 1, s, 2u, 3L); expectCheck(__LINE__, "Fprintf", {I, S, U, L}); expectText(__LINE__, scratchText(), "1s23");
  fprintf(scratch(), "%d%s%u%ld%.0f", 1, s, 2u, 3L, 4.0); expectCheck(__LINE__, "Fprintf", {I, S, U, L, D}); expectText(__LINE__, scratchText(), "1s234");
  fprintf(scratch(), "%d%s%u%ld%.0f%c", 1, s, 2u, 3L, 4.0, 'c'); expectCheck(__LINE__, "Fprintf", {I, S, U, L, D, C}); expectText(__LINE__, scratchText(), "1s234c");
  fprintf(scratch(), "%d%s%u%ld%.0f%c%s", 1, s, 2u, 3L, 4.0, 'c', name); expectCheck(__LINE__, "Fprintf", {I, S, U, L, D, C, S}); expectText(__LINE__, scratchText(), "1s234cn");
  fprintf(scratch(), "%d%s%u%ld%.0f%c%s%d", 1, s, 2u, 3L, 4.0, 'c', name, 5); expectCheck(__LINE__, "Fprintf", {I, S, U, L, D, C, S, I}); expectText(__LINE__, scratchText(), "1s234cn5");
  fprintf(scratch(), "%d%s%u%ld%.0f%c%s%d%d", 1, s, 2u, 3L, 4.0, 'c', name, 5, 6); expectCheck(__LINE__, "Fprintf", {I, S, U, L, D, C, S, I, I}); expectText(__LINE__, scratchText(), "1s234cn56");

  swprintf(w, 256, L"x"); expectCheck(__LINE__, "Swprintf", {}); expectWideText(__LINE__, w, L"x");
  swprintf(w, 256, L"%d", 1); expectCheck(__LINE__, "Swprintf", {I}); expectWideText(__LINE__, w, L"1");
  swprintf(w, 256, L"%d%ls", 1, ws); expectCheck(__LINE__, "Swprintf", {I, W}); expectWideText(__LINE__, w, L"1w");
  swprintf(w, 256, L"%d%ls%u", 1, ws, 2u); expectCheck(__LINE__, "Swprintf", {I, W, U}); expectWideText(__LINE__, w, L"1w2");
  swprintf(w, 256, L"%d%ls%u%ld", 1, ws, 2u, 3L); expectCheck(__LINE__, "Swprintf", {I, W, U, L}); expectWideText(__LINE__, w, L"1w23");
  swprintf(w, 256, L"%d%ls%u%ld%.0f", 1, ws, 2u, 3L, 4.0); expectCheck(__LINE__, "Swprintf", {I, W, U, L, D}); expectWideText(__LINE__, w, L"1w234");
  swprintf(w, 256, L"%d%ls%u%ld%.0f%c", 1, ws, 2u, 3L, 4.0, 'c'); expectCheck(__LINE__, "Swprintf", {I, W, U, L, D, C}); expectWideText(__LINE__, w, L"1w234c");
  swprintf(w, 256, L"%d%ls%u%ld%.0f%c%s", 1, ws, 2u, 3L, 4.0, 'c', name); expectCheck(__LINE__, "Swprintf", {I, W, U, L, D, C, S}); expectWideText(__LINE__, w, L"1w234cn");
  swprintf(w, 256, L"%d%ls%u%ld%.0f%c%s%d", 1, ws, 2u, 3L, 4.0, 'c', name, 5); expectCheck(__LINE__, "Swprintf", {I, W, U, L, D, C, S, I}); expectWideText(__LINE__, w, L"1w234cn5");
  swprintf(w, 256, L"%d%ls%u%ld%.0f%c%s%d%d", 1, ws, 2u, 3L, 4.0, 'c', name, 5, 6); expectCheck(__LINE__, "Swprintf", {I, W, U, L, D, C, S, I, I}); expectWideText(__LINE__, w, L"1w234cn56");

  return finish();
}
