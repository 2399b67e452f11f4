// The modes as a program meets them: format_observe_program.cpp run with the
// mode chosen by its environment, its code and its build, and what it then
// prints, logs and how it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/files.hpp"
#include "tests/process.hpp"

namespace {

namespace fs = std::filesystem;
using korven::testing::process_options_t;
using korven::testing::process_result_t;
using korven::testing::readFile;
using korven::testing::runProcess;

enum class Outcome { kObserved, kThrown, kAborted, kHandled };

struct run_t {
  const char* what;
  const char* program;
  std::vector<std::string> arguments;
  const char* mode;  // QIRT_FORMAT_MODE
  Outcome outcome;
  std::string report;  // what every report line (and a thrown message) says
  int reports = 1;     // in the log: 0 when the calls throw
  // The last summary, as runs of lines, each run matching one pattern.
  std::vector<std::pair<std::string, int>> summary = {};
  const char* note = nullptr;  // the first line, before the reports
  bool logMissing = false;     // QIRT_FORMAT_LOG names a file in a missing folder
};

// Patterns (ECMAScript) of the lines after "qirt-format[<process id>]: ".
const std::string kMessage = R"(printf format "%ld\\n": argument 1 is int, but %ld wants long)";
const std::string kDebugSite = R"( \(.*format_observe_program\.cpp:\d+, callAgainAndAgain\))";
const std::string kNumbered =
    R"(printf format "%ld \d+\\n": argument 1 is int, but %ld wants long)";
const std::string kWithoutMemory =
    R"(format "%ld\?": a wrong call, not described for want of memory)";
const std::vector<std::pair<std::string, int>> kSummary = {
    {"summary: 4000 wrong calls at 1 call site", 1}, {"summary: 4000 x " + kMessage, 1}};

const char* const kChecked = KORVEN_OBSERVE_CHECKED;
const char* const kObserveDebug = KORVEN_OBSERVE_OBSERVE_DEBUG;

// clang-format off
const run_t kRuns[] = {
    {"the environment chooses observe", kChecked, {}, "observe", Outcome::kObserved, kMessage, 1, kSummary},
    {"the environment chooses throw", kChecked, {}, "throw", Outcome::kThrown, kMessage, 0},
    {"the environment chooses abort", kChecked, {}, "abort", Outcome::kAborted, kMessage},
    {"nothing chosen throws", kChecked, {}, "", Outcome::kThrown, kMessage, 0},
    {"the code wins over the environment", kChecked, {"code=observe"}, "ABORT", Outcome::kObserved, kMessage, 1, kSummary},
    {"the build's default", kObserveDebug, {}, "", Outcome::kObserved, kMessage + kDebugSite, 1,
     {{"summary: 4000 wrong calls at 1 call site", 1}, {"summary: 4000 x " + kMessage + kDebugSite, 1}}},
    {"the environment wins over the build", kObserveDebug, {}, "throw", Outcome::kThrown, kMessage + kDebugSite, 0},
    {"a handler wins over every mode", kObserveDebug, {"handler", "code=abort"}, "observe", Outcome::kHandled, "", 0},
    {"an unknown mode is ignored", kChecked, {}, "sometimes", Outcome::kThrown, kMessage, 0, {},
     "QIRT_FORMAT_MODE=sometimes is not throw, observe or abort: ignored"},
    {"a full table counts the rest", kChecked, {"calls=300", "formats=300"}, "observe", Outcome::kObserved, kNumbered, 256,
     {{"summary: 1200 wrong calls at 256 call sites and more", 1}, {"summary: 4 x " + kNumbered, 256},
      {"summary: 176 x at further call sites, not listed", 1}}},
    {"the debug variant's site is its line", kObserveDebug, {"calls=300", "formats=300"}, "observe", Outcome::kObserved,
     kNumbered + kDebugSite, 1,
     {{"summary: 1200 wrong calls at 1 call site", 1}, {"summary: 1200 x " + kNumbered + kDebugSite, 1}}},
    {"a log that cannot be opened", kChecked, {}, "observe", Outcome::kObserved, kMessage, 1, kSummary,
     "cannot open QIRT_FORMAT_LOG=.*missing.*: reports go to standard error", true},
    {"no memory to describe the call", kChecked, {"nomemory"}, "observe", Outcome::kObserved, kWithoutMemory, 1,
     {{"summary: 4000 wrong calls at 1 call site", 1}, {"summary: 4000 x " + kWithoutMemory, 1}}},
#ifdef KORVEN_OBSERVE_TSAN
    {"observe under ThreadSanitizer", KORVEN_OBSERVE_TSAN, {}, "observe", Outcome::kObserved, kMessage, 1, kSummary},
#endif
};
// clang-format on

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The threads print in any order.
bool sameLines(const std::string& expected, const std::string& actual) {
  std::vector<std::string> a = linesOf(expected), b = linesOf(actual);
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

bool matches(const std::string& line, const std::string& pattern) {
  return std::regex_match(line, std::regex(pattern));
}

// The report lines without their prefix, which every one must have.
std::vector<std::string> reportLines(const std::string& text) {
  std::vector<std::string> lines;
  const std::regex prefix(R"(qirt-format\[\d+\]: )");
  for (const std::string& line : linesOf(text)) {
    std::smatch match;
    EXPECT_TRUE(std::regex_search(line, match, prefix, std::regex_constants::match_continuous))
        << line;
    lines.push_back(match.suffix());
  }
  return lines;
}

// The note, then reports, then the last summary; another summary (when the
// table filled) may come among the reports.
void expectReports(const run_t& run, const std::string& text) {
  std::vector<std::string> lines = reportLines(text);
  if (run.note != nullptr) {
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(matches(lines.front(), run.note)) << lines.front();
    lines.erase(lines.begin());
  }
  std::size_t end = lines.size();
  if (!run.summary.empty()) {
    while (end > 0 && !matches(lines[end - 1], run.summary.front().first)) --end;
    ASSERT_NE(0u, end) << "no summary";
    --end;
  }
  int reports = 0;
  for (std::size_t i = 0; i < end; ++i) {
    if (lines[i].rfind("summary: ", 0) == 0) continue;
    EXPECT_TRUE(matches(lines[i], run.report)) << lines[i];
    ++reports;
  }
  EXPECT_EQ(run.reports, reports);
  std::size_t at = end;
  for (const auto& [pattern, count] : run.summary) {
    for (int i = 0; i < count; ++i, ++at) {
      ASSERT_LT(at, lines.size()) << pattern;
      EXPECT_TRUE(matches(lines[at], pattern)) << lines[at];
    }
  }
  EXPECT_EQ(lines.size(), at);
}

TEST(FormatModeTest, EachModeReactsAsChosen) {
  const fs::path dir =
      fs::temp_directory_path() / ("korven-observe-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  std::map<std::vector<std::string>, std::string> unchecked;
  int number = 0;
  for (const run_t& run : kRuns) {
    SCOPED_TRACE(run.what);
    const fs::path log =
        run.logMissing ? dir / "missing" / "log" : dir / (std::to_string(++number) + ".log");
    process_options_t options;
    options.environment = {std::string("QIRT_FORMAT_MODE=") + run.mode,
                           "QIRT_FORMAT_LOG=" + log.u8string()};
    const process_result_t result = runProcess(run.program, run.arguments, options);
    const std::string logged = readFile(log);
    if (unchecked.count(run.arguments) == 0) {
      unchecked[run.arguments] = runProcess(KORVEN_OBSERVE_UNCHECKED, run.arguments).output;
    }
    switch (run.outcome) {
      case Outcome::kObserved:
        EXPECT_EQ(0, result.status) << result.errors;
        EXPECT_TRUE(sameLines(unchecked[run.arguments], result.output));
        if (run.logMissing) {
          expectReports(run, result.errors);
        } else {
          EXPECT_EQ("", result.errors);
          expectReports(run, logged);
        }
        break;
      case Outcome::kThrown:
        EXPECT_EQ(2, result.status) << result.errors;
        EXPECT_EQ("", result.output);
        ASSERT_EQ(1u, linesOf(result.errors).size()) << result.errors;
        EXPECT_TRUE(matches(linesOf(result.errors).front(), run.report)) << result.errors;
        expectReports(run, logged);
        break;
      case Outcome::kAborted:
        // Windows: abort() ends the program with status 3.
        EXPECT_TRUE(result.signal == SIGABRT || result.status == 3)
            << result.status << " " << result.signal;
        expectReports(run, logged);
        break;
      case Outcome::kHandled:
        EXPECT_EQ(0, result.status);
        EXPECT_TRUE(sameLines(unchecked[run.arguments], result.output));
        EXPECT_EQ("handled 4000", linesOf(result.errors).at(0));
        EXPECT_EQ("", logged);
        break;
    }
  }
  fs::remove_all(dir);
}

}  // namespace
