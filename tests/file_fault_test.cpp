// Runs korven again and again with one file operation failing each time, the
// first, the second, and so on until a run makes fewer operations than the
// count, for each error the system may give: every run must either report
// the failure on one line with the old headers untouched, or succeed with
// exactly the right headers, and leave no other file behind. An interrupted
// call must be repeated, never reported.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/test_support.hpp"
#include "system_texts.hpp"
#include "tests/files.hpp"
#include "wyx/platform/platform.hpp"

namespace {

namespace fs = std::filesystem;
using korven::testing::entries;
using korven::testing::readFile;
using korven::testing::writeFile;
using wyx::platform::FileOperation;

const char* const kHeaders[] = {"format_definition_begin.hpp", "format_definition_end.hpp",
                                "format_typelist.hpp"};

// The fault to inject: the `target`-th operation fails with `error`.
long calls = 0;
long target = 0;
int error = 0;
bool injected = false;

int injectFault(FileOperation) {
  if (++calls != target) return 0;
  injected = true;
  return error;
}

struct run_t {
  int status;
  std::string output;
};

run_t runKorven(const std::vector<std::string>& operands) {
  std::FILE* out = std::tmpfile();
  std::vector<wyx::UnicodeString> wide;
  for (const std::string& operand : operands) wide.push_back(wyx::fromUtf8(operand));
  run_t run{korven::runDriver(wide, out), ""};
  std::rewind(out);
  char chunk[4096];
  while (std::size_t n = std::fread(chunk, 1, sizeof chunk, out)) run.output.append(chunk, n);
  std::fclose(out);
  return run;
}

class FileFaultTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("korven-faults-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_ / "expected");
    options_ = (dir_ / "options.txt").u8string();
    writeFile(options_, "object Options: TPersistenceWrapper\nend\n");
    ASSERT_EQ(0, runKorven({options_, (dir_ / "expected").u8string()}).status);
  }
  void TearDown() override {
    wyx::platform::setFileFaultHook(nullptr);
    fs::remove_all(dir_);
  }

  // Sweeps the fault over every operation of a run into `out`, prepared
  // afresh by `prepare` each time; `old` is what the headers held before.
  void sweep(const fs::path& out, bool withOldHeaders) {
    const std::string banner = runKorven({"--version"}).output;
    for (long n = 1;; ++n) {
      fs::remove_all(out);
      fs::create_directories(out);
      if (withOldHeaders) {
        for (const char* header : kHeaders) writeFile(out / header, std::string("old ") + header);
      }
      calls = 0;
      target = n;
      error = GetParam();
      injected = false;
      wyx::platform::setFileFaultHook(injectFault);
      const run_t run = runKorven({options_, out.u8string()});
      wyx::platform::setFileFaultHook(nullptr);
      const std::string where = "operation " + std::to_string(n) + ": " + run.output;

      const std::vector<std::string> names = entries(out);
      if (run.status == 0) {
        ASSERT_EQ(banner + "Files written successfully.\n", run.output) << where;
        ASSERT_EQ((std::vector<std::string>{kHeaders[0], kHeaders[1], kHeaders[2]}), names)
            << where;
        for (const char* header : kHeaders) {
          ASSERT_TRUE(readFile(dir_ / "expected" / header) == readFile(out / header)) << where;
        }
      } else {
        ASSERT_NE(korven::testing::kInterruptedError, error) << where;
        ASSERT_EQ(1, run.status) << where;
        ASSERT_EQ(0u, run.output.find(banner)) << where;
        ASSERT_EQ(std::string::npos, run.output.find('\n', banner.size())) << where;
        ASSERT_EQ(withOldHeaders ? 3u : 0u, names.size()) << where;
        for (const std::string& name : names) {
          ASSERT_EQ("old " + name, readFile(out / name)) << where;
        }
      }
      if (!injected) break;
    }
  }

  fs::path dir_;
  std::string options_;
};

TEST_P(FileFaultTest, RunReplacingHeaders) { sweep(dir_ / "out", true); }

TEST_P(FileFaultTest, RunIntoEmptyDirectory) { sweep(dir_ / "out", false); }

INSTANTIATE_TEST_SUITE_P(Errors, FileFaultTest, ::testing::ValuesIn(korven::testing::kFileErrors));

}  // namespace
