// The checker against the compiler: random printf- and scanf-family calls
// (format_differential.py) whose verdicts g++ -Wformat gave when the test
// was built, with the format attribute of the C library of each dialect.
// Every call must get the same verdict from the checker.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "qirt/format.hpp"
#include "qirt/format_error.hpp"

namespace qirt {
namespace {

using detail::kFamilyPrintf;
using detail::kFamilyScanf;
using detail::kFamilyPrintfSecure;
using detail::kFamilyScanfSecure;

struct differential_case_t {
  int line;  // in the compiled calls
  detail::FormatFamily family;
  const char* format;
  bool refused;          // by g++
  const char* warnings;  // what g++ said
  unsigned count;
  unsigned types[16];  // from index 1
};

#ifdef KORVEN_DIFFERENTIAL_GLIBC
#include "cases_glibc.inc"
#endif
#ifdef KORVEN_DIFFERENTIAL_MINGW
#include "cases_mingw.inc"
#endif
#ifdef KORVEN_DIFFERENTIAL_MICROSOFT
#include "cases_microsoft.inc"
#endif

// The checker's verdict, and its message when it refuses.
bool refused(const differential_case_t& c, FormatDialect dialect, std::string* message) {
  try {
    detail::verifyFormat(c.format, c.types + 1, detail::callOf(c.family, dialect), nullptr, 0,
                         nullptr, c.count);
    return false;
  } catch (const EFormatError& error) {
    *message = error.what();
    return true;
  }
}

template <std::size_t N>
void compare(const differential_case_t (&cases)[N], FormatDialect dialect) {
  unsigned disagreements = 0;
  unsigned refusals = 0;
  std::ostringstream report;
  for (const differential_case_t& c : cases) {
    std::string message;
    const bool ours = refused(c, dialect, &message);
    refusals += c.refused;
    if (ours == c.refused) continue;
    if (++disagreements <= 40) {
      report << "line " << c.line << ": \"" << c.format << "\" with " << c.count
             << " arguments: g++ " << (c.refused ? "refuses" : "accepts") << " (" << c.warnings
             << "), the checker " << (ours ? "refuses: " + message : "accepts") << "\n";
    }
  }
  EXPECT_EQ(0u, disagreements) << report.str();
  // The generator must keep producing both kinds of call.
  EXPECT_GT(refusals, N / 5);
  EXPECT_GT(N - refusals, N / 5);
}

#ifdef KORVEN_DIFFERENTIAL_GLIBC
TEST(FormatDifferentialTest, AgreesWithGccForGlibc) {
  compare(differential_glibc::kCases, kFormatDialectPosix);
}
#endif
#ifdef KORVEN_DIFFERENTIAL_MINGW
TEST(FormatDifferentialTest, AgreesWithGccForMinGW) {
  compare(differential_mingw::kCases, kFormatDialectMinGW);
}
#endif
#ifdef KORVEN_DIFFERENTIAL_MICROSOFT
TEST(FormatDifferentialTest, AgreesWithGccForMicrosoft) {
  compare(differential_microsoft::kCases, kFormatDialectMicrosoft);
}
#endif

}  // namespace
}  // namespace qirt
