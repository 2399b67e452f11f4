// What a check costs next to the call it guards: the check of
// "%d %s %5.2f" with three matching arguments, the snprintf call itself, and
// both together as a checked call runs them. The check should cost at most
// half of the snprintf call.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "qirt/format.hpp"

namespace {

const char* const kFormat = "%d %s %5.2f";
const unsigned kTypes[] = {
    qirt::TypeID<int, const char*>::value,
    qirt::TypeID<const char*, const char*>::value,
    qirt::TypeID<double, const char*>::value,
};

void BM_Check(benchmark::State& state) {
  const char* format = kFormat;
  for (auto _ : state) {
    benchmark::DoNotOptimize(format);
    qirt::verifyPrintfFormatString(format, kTypes, 3);
  }
}
BENCHMARK(BM_Check);

// The same check when the call was not checked just before: a format whose
// text changes every time, so that every check reads it anew.
void BM_CheckFirstTime(benchmark::State& state) {
  char format[] = "%d %s %5.2f";
  for (auto _ : state) {
    format[7] ^= 1;  // the width: 5, 4, 5, ...
    benchmark::DoNotOptimize(format);
    qirt::verifyPrintfFormatString(format, kTypes, 3);
  }
}
BENCHMARK(BM_CheckFirstTime);

void BM_Snprintf(benchmark::State& state) {
  char buffer[64];
  const char* format = kFormat;
  int number = 42;
  const char* text = "apples";
  double price = 3.14159;
  for (auto _ : state) {
    benchmark::DoNotOptimize(format);
    benchmark::DoNotOptimize(number);
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(price);
    benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, format, number, text, price));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Snprintf);

void BM_CheckedSnprintf(benchmark::State& state) {
  char buffer[64];
  const char* format = kFormat;
  int number = 42;
  const char* text = "apples";
  double price = 3.14159;
  for (auto _ : state) {
    benchmark::DoNotOptimize(format);
    benchmark::DoNotOptimize(number);
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(price);
    qirt::verifyPrintfFormatString(format, kTypes, 3);
    benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, format, number, text, price));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CheckedSnprintf);

}  // namespace

BENCHMARK_MAIN();
