#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "qirt/format.hpp"
#include "qirt/format_error.hpp"

namespace qirt {
namespace {

// "ok", or the message of the check of `format` with arguments of the types
// of `args`, passed by value as the generated wrappers pass them.
template <class CharT, class... Args>
std::string printfCheck(const CharT* format, Args...) {
  const unsigned types[] = {0u, TypeID<Args, const CharT*>::value...};
  try {
    verifyPrintfFormatString(format, types + 1, sizeof...(Args));
    return "ok";
  } catch (const EFormatError& error) {
    return error.what();
  }
}

template <class CharT, class... Args>
std::string scanfCheck(const CharT* format, Args...) {
  const unsigned types[] = {0u, TypeID<Args, const CharT*>::value...};
  try {
    verifyScanfFormatString(format, types + 1, sizeof...(Args));
    return "ok";
  } catch (const EFormatError& error) {
    return error.what();
  }
}

enum Small : short { kSmall };
enum class Wide : long long { kWide };
struct Plain {
  int x;
};

TEST(TypeIDTest, NamesWhatTheCLibraryReceives) {
  EXPECT_EQ(kTypeInt, (TypeID<int, const char*>::value));
  EXPECT_EQ(kTypeShort, (TypeID<Small, const char*>::value));
  EXPECT_EQ(kTypeScopedEnum | (sizeof(Wide) << kTypeSizeShift), (TypeID<Wide, const char*>::value));
  EXPECT_EQ(kTypeChar | kTypePointer | kTypeConstTarget, (TypeID<const char*, const char*>::value));
  EXPECT_EQ(kTypeChar | kTypePointer, (TypeID<char[4], const char*>::value));
  EXPECT_EQ(kTypeWchar | kTypePointer | kTypeConstTarget,
            (TypeID<const wchar_t(&)[3], const wchar_t*>::value));
  EXPECT_EQ(kTypeVoid | kTypePointer | kTypeIndirect, (TypeID<void**, const char*>::value));
  EXPECT_EQ(kTypeChar | kTypePointer | kTypeIndirect, (TypeID<char**, const char*>::value));
  EXPECT_EQ(kTypeObject | kTypePointer | kTypeConstTarget,
            (TypeID<const Plain*, const char*>::value));
  EXPECT_EQ(kTypeFunction | kTypePointer, (TypeID<int (*)(int), const char*>::value));
  EXPECT_EQ(kTypeNullptr, (TypeID<std::nullptr_t, const char*>::value));
  EXPECT_EQ(kTypeClass, (TypeID<std::string, const char*>::value));
  EXPECT_EQ(kTypeClass, (TypeID<std::wstring, const wchar_t*>::value));
  EXPECT_EQ(kTypeClass, (TypeID<std::string_view, const char*>::value));
  EXPECT_EQ(kTypeClass, (TypeID<int Plain::*, const char*>::value));
  // Qualifiers at every level, references to arrays, and function types,
  // which the type identifiers read without the standard traits.
  EXPECT_EQ(kTypeInt | kTypePointer | kTypeIndirect | kTypeConstTarget | kTypeConstInner,
            (TypeID<const volatile int* const* volatile, const char*>::value));
  EXPECT_EQ(kTypeEnumeration | (sizeof(Small) << kTypeSizeShift) | kTypePointer | kTypeConstTarget,
            (TypeID<const Small(&&)[2], const char*>::value));
  EXPECT_EQ(kTypeFunction | kTypePointer, (TypeID<int(int), const char*>::value));
  EXPECT_EQ(kTypeFunction | kTypePointer | kTypeIndirect,
            (TypeID<int (**)(int), const char*>::value));
  EXPECT_EQ(kTypeObject | kTypePointer | kTypeIndirect, (TypeID<int***, const char*>::value));
}

TEST(FormatCheckTest, CorrectCallsPass) {
  const char* text = "t";
  char buffer[8] = {};
  signed char sc = 0;
  unsigned char uc = 0;
  short s = 0;
  int i = 0;
  long l = 0;
  long long ll = 0;
  std::size_t z = 0;
  std::ptrdiff_t t = 0;
  std::intmax_t j = 0;
  float f = 0;
  double d = 0;
  long double ld = 0;
  void* vp = nullptr;
  Plain plain{};
  const std::string kOk = "ok";
  // Signedness does not count, promotion is applied, sizes must agree.
  EXPECT_EQ(kOk, printfCheck("%d %i %u %x %X %o", 1, 2u, -3, 4u, 5, 6u));
  EXPECT_EQ(kOk, printfCheck("%c %d %hd %hhu %d", 'c', true, s, uc, Small::kSmall));
  EXPECT_EQ(kOk, printfCheck("%ld %lu %lld %llx %jd %zu %zd %td", l, 1ul, ll, 2ull, j, z, z, t));
  EXPECT_EQ(kOk, printfCheck("%f %e %g %a %F %E %G %A %lf", f, d, d, d, d, d, d, d, d));
  EXPECT_EQ(kOk, printfCheck("%Lf %s %s %s %.*s", ld, text, buffer, &uc, 2, text));
  EXPECT_EQ(kOk, printfCheck("%p %p %p %p", vp, text, &plain, nullptr));
  EXPECT_EQ(kOk, printfCheck("%n %hhn %hn %ln %lln %zn", &i, &sc, &s, &l, &ll, &z));
  EXPECT_EQ(kOk, printfCheck("%-*.*f|%+05d|% #x|%%|%5.3s", 5, 2, d, i, 3u, text));
  EXPECT_EQ(kOk, printfCheck("%ls %lc %S %C", L"w", L'w', L"w", L'w'));
  EXPECT_EQ(kOk, printfCheck("no conversions at all, 100%%"));
  EXPECT_EQ(kOk, printfCheck(L"%d %ls %lc %f", 1, L"w", L'w', d));
  EXPECT_EQ(kOk, scanfCheck("%d %hd %hhd %ld %lld %u %x %zu %jd %td", &i, &s, &sc, &l, &ll, &i, &i,
                            &z, &j, &t));
  EXPECT_EQ(kOk, scanfCheck("%f %lf %Lf %e %g %a", &f, &d, &ld, &f, &f, &f));
  EXPECT_EQ(kOk, scanfCheck("%7s %c %3c %[a-z] %[^]] %p %n", buffer, buffer, buffer, buffer, buffer,
                            &vp, &i));
  EXPECT_EQ(kOk, scanfCheck("%*d %*s %d %*[^\n]", &i));
  wchar_t wide[4] = {};
  EXPECT_EQ(kOk, scanfCheck(L"%d %ls %lc", &i, wide, wide));
}

TEST(FormatCheckTest, WrongCallsAreCaught) {
  const char* text = "t";
  char buffer[8] = {};
  short s = 0;
  int i = 0;
  long l = 0;
  double d = 0;
  const int ci = 0;
  bool b = false;
  const std::string str;
  struct Case {
    std::string actual;
    const char* expected;
  };
  const Case kCases[] = {
      {printfCheck("%d items", text),
       R"(printf format "%d items": argument 1 is const char*, but %d wants int)"},
      {printfCheck("%s", 42), R"(printf format "%s": argument 1 is int, but %s wants char*)"},
      {printfCheck("%s", str),
       R"(printf format "%s": argument 1 is a class object, but %s wants char*)"},
      {printfCheck("%lld", i),
       R"(printf format "%lld": argument 1 is int, but %lld wants long long)"},
      {printfCheck("%f", i), R"(printf format "%f": argument 1 is int, but %f wants double)"},
      {printfCheck("%Lf", 1.0f),
       sizeof(long double) == sizeof(double)
           ? "ok"
           : R"(printf format "%Lf": argument 1 is float, but %Lf wants long double)"},
      {printfCheck("%c", d), R"(printf format "%c": argument 1 is double, but %c wants int)"},
      {printfCheck("%p", i), R"(printf format "%p": argument 1 is int, but %p wants void*)"},
      {printfCheck("%n", &ci),
       R"(printf format "%n": argument 1 is const int*, but %n wants int*)"},
      {printfCheck("%*d", d, i),
       R"(printf format "%*d": argument 1 is double, but the * in %*d wants int)"},
      {printfCheck("%.*s", text),
       R"(printf format "%.*s": argument 1 is const char*, but the * in %.*s wants int)"},
      {printfCheck("%d %d", 1),
       R"(printf format "%d %d": argument 2 is missing: %d wants int, but the call passes 1 argument)"},
      {printfCheck("%*d"),
       R"(printf format "%*d": argument 1 is missing: the * in %*d wants int, but the call passes no arguments)"},
      {printfCheck("x", 1, 2),
       R"(printf format "x": argument 1 is int, but the format uses no arguments)"},
      {printfCheck("%d", 1, text),
       R"(printf format "%d": argument 2 is const char*, but the format uses only 1 argument)"},
      {printfCheck("50% off"),
       R"(printf format "50% off": argument 1 is missing: % o wants unsigned int, but the call passes no arguments)"},
      {printfCheck("%"), R"(printf format "%": % at character 1 is not a valid specifier)"},
      {printfCheck("%hf", d),
       R"(printf format "%hf": %hf at character 1 is not a valid specifier)"},
      {printfCheck("%lp", text),
       R"(printf format "%lp": %lp at character 1 is not a valid specifier)"},
      {printfCheck("%Lc", i),
       R"(printf format "%Lc": %Lc at character 1 is not a valid specifier)"},
      {printfCheck("%5-d", i),
       R"(printf format "%5-d": %5- at character 1 is not a valid specifier)"},
      {printfCheck("%.5.3f", d),
       R"(printf format "%.5.3f": %.5. at character 1 is not a valid specifier)"},
      {printfCheck("%d\n%\xe4", i),
       "printf format \"%d\\n%\xe4\": %\xe4 at character 4 is not a valid specifier"},
      {printfCheck(static_cast<const char*>(nullptr)), "printf format is a null pointer"},
      {printfCheck(L"%d %s", 1, L"w"),
       R"(wprintf format "%d %s": argument 2 is const wchar_t*, but %s wants char*)"},
      {printfCheck(L"\u00e4%d", "x"),
       "wprintf format \"\xc3\xa4%d\": argument 1 is const char*, but %d wants int"},
      {scanfCheck("%d", i), R"(scanf format "%d": argument 1 is int, but %d wants int*)"},
      {scanfCheck("%d", &s), R"(scanf format "%d": argument 1 is short*, but %d wants int*)"},
      {scanfCheck("%hhd", &b),
       R"(scanf format "%hhd": argument 1 is bool*, but %hhd wants signed char*)"},
      {scanfCheck("%f", &d), R"(scanf format "%f": argument 1 is double*, but %f wants float*)"},
      {scanfCheck("%ld", &i), R"(scanf format "%ld": argument 1 is int*, but %ld wants long*)"},
      {scanfCheck("%s", text),
       R"(scanf format "%s": argument 1 is const char*, but %s wants char*)"},
      {scanfCheck("%s", &buffer),
       R"(scanf format "%s": argument 1 is an object pointer, but %s wants char*)"},
      {scanfCheck("%p", &l), R"(scanf format "%p": argument 1 is long*, but %p wants void**)"},
      {scanfCheck("%*d %d"),
       R"(scanf format "%*d %d": argument 1 is missing: %d wants int*, but the call passes no arguments)"},
      {scanfCheck("%5*d", &i),
       R"(scanf format "%5*d": %5* at character 1 is not a valid specifier)"},
      {scanfCheck("%.2f", &d),
       R"(scanf format "%.2f": %. at character 1 is not a valid specifier)"},
      {scanfCheck("%[a-z", buffer),
       R"(scanf format "%[a-z": %[a-z at character 1 is not a valid specifier)"},
      {scanfCheck(L"%ls", buffer),
       R"(wscanf format "%ls": argument 1 is char*, but %ls wants wchar_t*)"},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.expected, c.actual);
}

// Expectations that follow the C library this test is built against.
TEST(FormatCheckTest, DialectOfTheBuild) {
  const bool posix = kFormatDialect == kFormatDialectPosix;
  const bool microsoft = kFormatDialect == kFormatDialectMicrosoft;
  long long ll = 0;
  // Argument positions.
  EXPECT_EQ(
      posix
          ? "ok"
          : R"(printf format "%2$s %1$d": %2$s at character 1 names an argument position, which this C library does not support)",
      printfCheck("%2$s %1$d", 1, "x"));
  if (posix) {
    EXPECT_EQ("ok", printfCheck("%1$*2$.*3$f|%1$f", 1.0, 5, 2));
    char text[4];
    int i = 0;
    EXPECT_EQ("ok", scanfCheck("%2$d %1$s %*d", text, &i));
    EXPECT_EQ(
        R"(printf format "%2$s": argument 1 is int, but no specifier takes it, so the C library cannot pass over it)",
        printfCheck("%2$s", 1, "x"));
    EXPECT_EQ(
        R"(printf format "%1$d %d": %d at character 6 names no argument position, but an earlier specifier does)",
        printfCheck("%1$d %d", 1, 2));
    EXPECT_EQ(
        R"(printf format "%d %1$d": %1$d at character 4 names an argument position, but an earlier specifier does not)",
        printfCheck("%d %1$d", 1));
    EXPECT_EQ(R"(printf format "%1$s %1$d": argument 1 is const char*, but %1$d wants int)",
              printfCheck("%1$s %1$d", "x"));
    EXPECT_EQ(
        R"(printf format "%3$d": argument 3 is missing: %3$d wants int, but the call passes 1 argument)",
        printfCheck("%3$d", 1));
  }
  // "I64": a size on Windows, a flag (locale digits) in glibc.
  EXPECT_EQ(posix ? R"(printf format "%I64d": argument 1 is long long, but %I64d wants int)" : "ok",
            printfCheck("%I64d", ll));
  // "%s" in a wide function.
  EXPECT_EQ(
      microsoft ? "ok" : R"(wprintf format "%s": argument 1 is const wchar_t*, but %s wants char*)",
      printfCheck(L"%s", L"w"));
  EXPECT_EQ(
      microsoft ? R"(wprintf format "%S": argument 1 is const wchar_t*, but %S wants char*)" : "ok",
      printfCheck(L"%S", L"w"));
  EXPECT_EQ(
      microsoft ? "ok" : R"(printf format "%hs": %hs at character 1 is not a valid specifier)",
      printfCheck("%hs", "x"));
  EXPECT_EQ("ok", printfCheck(L"%ls", L"w"));
}

// The verdict of a call in a dialect: "ok" or "refused".
struct dialect_case_t {
  FormatDialect dialect;
  detail::FormatFamily family;
  const char* format;
  std::vector<unsigned> types;
  bool ok;
};

template <class... Args>
std::vector<unsigned> ids() {
  return {TypeID<Args, const char*>::value...};
}

// What the compiler's check says of these calls, g++'s model of a C library
// where it follows the library, and the library where g++ does not.
TEST(FormatCheckTest, DialectsAgreeWithTheirCLibrary) {
  using detail::kFamilyPrintf;
  using detail::kFamilyScanf;
  const FormatDialect glibc = kFormatDialectPosix;
  const FormatDialect mingw = kFormatDialectMinGW;
  const FormatDialect ms = kFormatDialectMicrosoft;
  const bool longIsInt = sizeof(long) == sizeof(int);
  const bool sizeIsInt = sizeof(std::size_t) == sizeof(int);
  const bool longDoubleIsDouble = sizeof(long double) == sizeof(double);
  const dialect_case_t kCases[] = {
      // glibc: scanf's allocation, old spellings, flags in scanf.
      {glibc, kFamilyScanf, "%ms %m[a-z] %mc %*ms", ids<char**, char**, const char**>(), true},
      {glibc, kFamilyScanf, "%mls %mS", ids<wchar_t**, wchar_t**>(), true},
      {glibc, kFamilyScanf, "%ms", ids<char*>(), false},
      {glibc, kFamilyPrintf, "%Zu %Zn %Ld %qd",
       ids<std::size_t, std::size_t*, long long, long long>(), true},
      {glibc, kFamilyScanf, "%Lx %qd %'d %Id", ids<unsigned long long*, long long*, int*, int*>(),
       true},
      {glibc, kFamilyScanf, "%Zu", ids<std::size_t*>(), false},
      {glibc, kFamilyPrintf, "%b %B", ids<unsigned, unsigned>(), true},
      // Types compare as the compiler compares them, not by size.
      {glibc, kFamilyPrintf, "%lld", ids<long>(), false},
      {glibc, kFamilyPrintf, "%ld", ids<long long>(), false},
      {glibc, kFamilyPrintf, "%zu %jd", ids<unsigned long long, long long>(), longIsInt},
      {glibc, kFamilyPrintf, "%d %c %lc", ids<wchar_t, char32_t, wchar_t>(), true},
      {glibc, kFamilyScanf, "%n", ids<wchar_t*>(), false},
      {glibc, kFamilyScanf, "%i", ids<wchar_t*>(), false},
      {glibc, kFamilyScanf, "%hX", ids<wchar_t*>(), false},
      {glibc, kFamilyScanf, "%d %hd", ids<char32_t*, char16_t*>(), true},
      {glibc, kFamilyScanf, "%u", ids<char32_t*>(), false},
      {glibc, kFamilyPrintf, "%d", ids<Wide>(), false},
      {glibc, kFamilyScanf, "%d", ids<Small*>(), false},
      // Positions.
      {glibc, kFamilyScanf, "%1$d%1$d", ids<int*>(), false},
      {glibc, kFamilyPrintf, "%1$d%1$d", ids<int>(), true},
      {glibc, kFamilyPrintf, "%1$m", ids<int>(), false},
      {glibc, kFamilyScanf, "%1$*d", ids<int*>(), false},
      {glibc, kFamilyPrintf, "%70$d", std::vector<unsigned>(70, kTypeInt), false},
      {glibc, kFamilyScanf, "%70$d %70$d", std::vector<unsigned>(70, kTypeInt | kTypePointer),
       false},
      // Flag misuse that the library ignores, and an empty format.
      {glibc, kFamilyPrintf, "%+u %#s %-08d % +d %.3c", ids<unsigned, char*, int, int, int>(),
       true},
      {glibc, kFamilyScanf, "%**d %*5ms %*lld", ids<>(), true},
      {glibc, kFamilyPrintf, "", ids<int>(), true},
      {glibc, kFamilyScanf, "%0d", ids<int*>(), false},
      // Microsoft: "I" alone is the pointer's size; C99 sizes of today's library.
      {ms, kFamilyPrintf, "%Ix %Iu %Id", ids<std::size_t, std::size_t, std::ptrdiff_t>(), true},
      {ms, kFamilyScanf, "%IX", ids<std::size_t*>(), true},
      {ms, kFamilyPrintf, "%Id", ids<int>(), sizeIsInt},
      {ms, kFamilyPrintf, "%I32d %I64d", ids<int, long long>(), true},
      {ms, kFamilyPrintf, "%I32d", ids<long>(), longIsInt},
      {ms, kFamilyPrintf, "%zu %hhd %jd %td %F %a",
       ids<std::size_t, char, std::intmax_t, std::ptrdiff_t, double, double>(), true},
      {ms, kFamilyPrintf, "%Lf", ids<double>(), true},
      {ms, kFamilyPrintf, "%Lf", ids<long double>(), longDoubleIsDouble},
      {ms, kFamilyPrintf, "%lC", ids<wchar_t>(), false},
      {ms, kFamilyPrintf, "%lS", ids<const wchar_t*>(), false},
      {ms, kFamilyPrintf, "%hs %hc", ids<const char*, char>(), true},
      {ms, kFamilyPrintf, "%I64f", ids<double>(), false},
      {ms, kFamilyPrintf, "%I32s", ids<const char*>(), false},
      {ms, kFamilyPrintf, "%ld", ids<int>(), false},
      {ms, kFamilyPrintf, "%1$d", ids<int>(), false},
      {ms, kFamilyScanf, "%ms", ids<char**>(), false},
      // MinGW's C99 functions.
      {mingw, kFamilyScanf, "%2$d %1$d", ids<int*, int*>(), true},
      {mingw, kFamilyPrintf, "%1$d", ids<int>(), false},
      {mingw, kFamilyPrintf, "%m %'d", ids<int>(), true},
      {mingw, kFamilyScanf, "%'d %5LX %ms %qd",
       ids<int*, unsigned long long*, char**, long long*>(), true},
      {mingw, kFamilyPrintf, "%Ix %I64d %I32u", ids<std::size_t, long long, unsigned>(), true},
      {mingw, kFamilyPrintf, "%Zu", ids<std::size_t>(), false},
      {mingw, kFamilyPrintf, "%qd", ids<long long>(), false},
      {mingw, kFamilyPrintf, "%I16d", ids<short>(), false},
  };
  // Names argument 70 first, then 1 to 69: beyond the 64 arguments kept as
  // bits, the last specifier counts too.
  std::string all = "%70$d";
  for (int i = 1; i < 70; ++i) all += "%" + std::to_string(i) + "$d";
  // Counts beyond 16 bits.
  std::string plain;
  for (int i = 0; i < 70000; ++i) plain += "%d";
  const std::vector<dialect_case_t> kMany = {
      {glibc, kFamilyPrintf, all.c_str(), std::vector<unsigned>(70, kTypeInt), true},
      {ms, kFamilyPrintf, plain.c_str(), std::vector<unsigned>(70000, kTypeInt), true},
      {ms, kFamilyPrintf, plain.c_str(), std::vector<unsigned>(70001, kTypeInt), false}};
  std::vector<dialect_case_t> cases(std::begin(kCases), std::end(kCases));
  cases.insert(cases.end(), kMany.begin(), kMany.end());
  for (const dialect_case_t& c : cases) {
    std::string verdict = "ok";
    try {
      const auto count = static_cast<unsigned>(c.types.size());
      detail::verifyFormat(c.format, c.types.data(), detail::callOf(c.family, c.dialect), nullptr,
                           0, nullptr, count);
    } catch (const EFormatError& error) {
      verdict = error.what();
    }
    EXPECT_EQ(c.ok, verdict == "ok")
        << "dialect " << c.dialect << ": " << verdict << " for \"" << c.format << "\"";
  }
}

int handlerCalls = 0;
format_error_t lastError;
std::string lastMessage;
void recordError(const format_error_t& error) {
  ++handlerCalls;
  lastError = error;
  lastMessage = error.message;
}

TEST(FormatErrorHandlerTest, ReplacesTheExceptionAndReceivesTheFacts) {
  EXPECT_EQ(nullptr, setFormatErrorHandler(recordError));
  const unsigned types[] = {kTypeChar | kTypePointer | kTypeConstTarget};
  verifyPrintfFormatString("%d items", types, 1, "main.cpp", 12, "report");
  EXPECT_EQ(1, handlerCalls);
  EXPECT_EQ(
      R"(printf format "%d items": argument 1 is const char*, but %d wants int (main.cpp:12, report))",
      lastMessage);
  EXPECT_EQ(kFormatTypeMismatch, lastError.kind);
  EXPECT_EQ(1u, lastError.argument);
  EXPECT_EQ(1u, lastError.argumentCount);
  EXPECT_EQ(12, lastError.line);
  EXPECT_EQ(recordError, setFormatErrorHandler(nullptr));
  try {
    verifyScanfFormatString(L"%d", types, 1, "in.cpp", 3, "read");
    FAIL() << "no exception";
  } catch (const EFormatError& error) {
    EXPECT_EQ(kFormatTypeMismatch, error.kind());
    EXPECT_EQ("wscanf", error.family());
    EXPECT_EQ("%d", error.format());
    EXPECT_EQ(1u, error.argument());
    EXPECT_EQ("%d", error.specifier());
    EXPECT_EQ("int*", error.wanted());
    EXPECT_EQ("const char*", error.given());
    EXPECT_EQ("in.cpp", error.file());
    EXPECT_EQ(3, error.line());
    EXPECT_EQ("read", error.function());
  }
  EXPECT_EQ(1, handlerCalls);
}

}  // namespace
}  // namespace qirt
