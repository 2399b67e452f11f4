// Runs korven again and again with one allocation failing each time, the
// first, the second, and so on until a run makes fewer allocations than the
// count: every run must either report the failure and leave the old headers
// as they were, or succeed with exactly the right headers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/files.hpp"
#include "tests/process.hpp"

namespace {

namespace fs = std::filesystem;
using korven::testing::entries;
using korven::testing::readFile;
using korven::testing::writeFile;
using korven::testing::process_result_t;
using korven::testing::runProcess;

const char* const kHeaders[] = {"format_definition_begin.hpp", "format_definition_end.hpp",
                                "format_typelist.hpp"};
const std::string kBanner =
    "QirtFormat Header Generator v1.0.3\n"
    "Writes the headers of the printf-family format checks.\n"
    "\n";

TEST(AllocationFailureTest, EveryFailureIsReportedOrHarmless) {
  const fs::path dir =
      fs::temp_directory_path() / ("korven-alloc-" + std::to_string(std::random_device{}()));
  const fs::path out = dir / "out";
  fs::create_directories(dir / "expected");
  fs::create_directories(out);
  const std::string options = (dir / "options.txt").string();
  writeFile(options, "object Options: TPersistenceWrapper\nend\n");
  ASSERT_EQ(0, runProcess(KORVEN_BINARY, {options, (dir / "expected").string()}).status);

  const std::string log = (dir / "injected").string();
  const std::vector<std::string> environment = {"LD_PRELOAD=" FAULT_SHIM,
                                                "KORVEN_FAULT_LOG=" + log};
  int reported = 0;
  for (long call = 1;; ++call) {
    for (const char* header : kHeaders) writeFile(out / header, std::string("old ") + header);
    fs::remove(log);
    std::vector<std::string> env = environment;
    env.push_back("KORVEN_FAULT_CALL=" + std::to_string(call));
    const process_result_t run = runProcess(KORVEN_BINARY, {options, out.string()}, {env});
    const bool injected = fs::exists(log);
    const std::string where = "allocation " + std::to_string(call) + ": " + run.output;

    ASSERT_EQ("", run.errors) << where;
    ASSERT_EQ(0, run.signal) << where;
    ASSERT_EQ((std::vector<std::string>{kHeaders[0], kHeaders[1], kHeaders[2]}), entries(out))
        << where;
    if (run.status == 0) {
      ASSERT_EQ(kBanner + "Files written successfully.\n", run.output) << where;
      for (const char* header : kHeaders) {
        ASSERT_TRUE(readFile(dir / "expected" / header) == readFile(out / header))
            << where << header;
      }
    } else {
      ASSERT_EQ(1, run.status) << where;
      ASSERT_EQ(0u, run.output.find(kBanner)) << where;
      ASSERT_EQ(std::string::npos, run.output.find('\n', kBanner.size())) << where;
      for (const char* header : kHeaders) {
        ASSERT_TRUE(std::string("old ") + header == readFile(out / header)) << where << header;
      }
      ++reported;
    }
    if (!injected) break;
  }
  EXPECT_GT(reported, 0);
  fs::remove_all(dir);
}

}  // namespace
