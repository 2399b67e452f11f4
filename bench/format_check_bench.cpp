// What a check costs next to the call it guards and next to the C library's
// own reading of the format: for "%d %s %5.2f" and for a format with eight
// conversions, the first check of a call (a format not seen before), the
// repeated check, glibc's parse_printf_format (which only reads the format,
// without comparing types) and the snprintf call itself.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "qirt/format.hpp"

#if __has_include(<printf.h>)
#include <printf.h>
#define KORVEN_HAVE_PARSE_PRINTF_FORMAT 1
#endif

namespace {

struct call_t {
  const char* format;
  const unsigned* types;
  unsigned count;
};

const unsigned kShortTypes[] = {
    qirt::TypeID<int, const char*>::value,
    qirt::TypeID<const char*, const char*>::value,
    qirt::TypeID<double, const char*>::value,
};
const unsigned kLongTypes[] = {
    qirt::TypeID<const char*, const char*>::value, qirt::TypeID<int, const char*>::value,
    qirt::TypeID<unsigned, const char*>::value,    qirt::TypeID<double, const char*>::value,
    qirt::TypeID<char, const char*>::value,        qirt::TypeID<unsigned long, const char*>::value,
    qirt::TypeID<void*, const char*>::value,       qirt::TypeID<const char*, const char*>::value,
};
const call_t kCalls[] = {
    {"%d %s %5.2f", kShortTypes, 3},
    {"%s: %d of %u items at %5.2f%% (%c) %lx %p %-10s|", kLongTypes, 8},
};

// The call's format with a space appended, and that space, which the
// first-time benchmarks flip between ' ' and '!' so that every check reads a
// format it has not just seen.
char* appendSpace(const call_t& call, char (&format)[64]) {
  std::strcpy(format, call.format);
  std::strcat(format, " ");
  return format + std::strlen(format) - 1;
}

// A call seen for the first time.
void BM_CheckFirstTime(benchmark::State& state) {
  const call_t& call = kCalls[state.range(0)];
  char format[64];
  char* flip = appendSpace(call, format);
  for (auto _ : state) {
    *flip ^= 1;
    benchmark::DoNotOptimize(format);
    qirt::verifyPrintfFormatString(format, call.types, call.count);
  }
}
BENCHMARK(BM_CheckFirstTime)->Arg(0)->Arg(1);

// The same call again, as in a loop or a log line.
void BM_CheckRepeated(benchmark::State& state) {
  const call_t& call = kCalls[state.range(0)];
  const char* format = call.format;
  for (auto _ : state) {
    benchmark::DoNotOptimize(format);
    qirt::verifyPrintfFormatString(format, call.types, call.count);
  }
}
BENCHMARK(BM_CheckRepeated)->Arg(0)->Arg(1);

#ifdef KORVEN_HAVE_PARSE_PRINTF_FORMAT
void BM_ParsePrintfFormat(benchmark::State& state) {
  const call_t& call = kCalls[state.range(0)];
  char format[64];
  char* flip = appendSpace(call, format);
  int argtypes[16];
  for (auto _ : state) {
    *flip ^= 1;
    benchmark::DoNotOptimize(format);
    benchmark::DoNotOptimize(parse_printf_format(format, 16, argtypes));
  }
}
BENCHMARK(BM_ParsePrintfFormat)->Arg(0)->Arg(1);
#endif

void BM_Snprintf(benchmark::State& state) {
  char buffer[128];
  const char* text = "apples";
  int number = 42;
  double price = 3.14159;
  for (auto _ : state) {
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(number);
    benchmark::DoNotOptimize(price);
    if (state.range(0) == 0) {
      benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, kCalls[0].format, number,
                                             text, price));
    } else {
      benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, kCalls[1].format, text,
                                             number, 7u, price, 'x', 255ul,
                                             static_cast<void*>(buffer), text));
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Snprintf)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
