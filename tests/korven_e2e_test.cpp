// Runs the built korven program and checks what it prints, its exit status
// and what it leaves on disk.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "system_texts.hpp"
#include "tests/files.hpp"
#include "tests/process.hpp"

namespace {

namespace fs = std::filesystem;
using korven::testing::entries;
using korven::testing::readFile;
using korven::testing::writeFile;

const std::string kBanner =
    "QirtFormat Header Generator v1.0.3\n"
    "Writes the headers of the printf-family format checks.\n"
    "\n";
const std::string kUsage = "Usage:\n    KORVEN optionsfile outputpath\n\n";
const std::string kWrongCount = "Error: Wrong number of arguments\n";
const std::string kSuccess = "Files written successfully.\n";
const std::string kOpenError = "wyx::io::EStreamOpenError: Opening stream failed";
const char* const kHeaders[] = {"format_definition_begin.hpp", "format_definition_end.hpp",
                                "format_typelist.hpp"};

// Paths travel to korven as UTF-8, on every system.
std::string utf8(const fs::path& path) { return path.u8string(); }

// Text-mode output with its line ends as plain line feeds; every line feed
// must have come with the system's line end.
std::string withLineFeeds(const std::string& output) {
  const std::string end = korven::testing::kTextLineEnd;
  std::string text;
  for (std::size_t at = 0; at < output.size();) {
    if (output.compare(at, end.size(), end) == 0) {
      text += '\n';
      at += end.size();
    } else {
      EXPECT_NE('\n', output[at]) << "a bare line feed in: " << output;
      text += output[at++];
    }
  }
  return text;
}

class KorvenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("korven-e2e-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_ / "out");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs `binary` with the operands; returns standard output, which is all
  // korven ever writes.
  std::string run(const std::vector<std::string>& operands,
                  const korven::testing::process_options_t& options = {},
                  const char* binary = KORVEN_BINARY) {
    korven::testing::process_result_t result = korven::testing::runProcess(binary, operands, options);
    status_ = result.status;
    EXPECT_EQ("", result.errors);
    return withLineFeeds(result.output);
  }

  std::string options(const std::string& body, const std::string& name = "options.txt") {
    fs::path path = dir_ / fs::u8path(name);
    writeFile(path, "object Options: TPersistenceWrapper\n" + body + "end\n");
    return utf8(path);
  }

  std::string out() const { return utf8(dir_ / "out"); }

  fs::path dir_;
  int status_ = -1;
};

TEST_F(KorvenTest, UsageHelpAndVersion) {
  struct usage_case_t {
    std::vector<std::string> operands;
    std::string output;
    int status;
  };
  const usage_case_t cases[] = {
      {{}, kBanner + kUsage, 2},
      {{"a"}, kBanner + kUsage + kWrongCount, 2},
      {{"a", "b", "c"}, kBanner + kUsage + kWrongCount, 2},
      {{"--version"}, kBanner, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.output, run(c.operands)) << c.operands.size() << " operands";
    EXPECT_EQ(c.status, status_);
  }
  std::string help = run({"--help"});
  EXPECT_EQ(0u, help.find(kBanner + kUsage));
  EXPECT_NE(std::string::npos, help.find("Exit status"));
  EXPECT_EQ(0, status_);
}

TEST_F(KorvenTest, SuccessWritesThreeHeadersAndLeavesUnchangedOnesAlone) {
  std::string file = options("  Persistent.MaxFixedParams = 1\n");
  EXPECT_EQ(kBanner + kSuccess, run({file, out()}));
  EXPECT_EQ(0, status_);
  EXPECT_EQ((std::vector<std::string>{kHeaders[0], kHeaders[1], kHeaders[2]}), entries(dir_ / "out"));

  auto past = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (const char* header : kHeaders) fs::last_write_time(dir_ / "out" / header, past);
  past = fs::last_write_time(dir_ / "out" / kHeaders[0]);  // as precise as the file system keeps it
  std::string typelist = readFile(dir_ / "out" / kHeaders[2]);
  // MaxFixedParams changes the begin and end headers only.
  file = options("  Persistent.MaxFixedParams = 2\n");
  EXPECT_EQ(kBanner + kSuccess, run({file, out() + "/"}));
  EXPECT_EQ(kBanner + kSuccess, run({file, out() + korven::testing::kPathDelimiter}));
  EXPECT_NE(past, fs::last_write_time(dir_ / "out" / kHeaders[0]));
  EXPECT_NE(past, fs::last_write_time(dir_ / "out" / kHeaders[1]));
  EXPECT_EQ(past, fs::last_write_time(dir_ / "out" / kHeaders[2]));
  EXPECT_EQ(typelist, readFile(dir_ / "out" / kHeaders[2]));
  EXPECT_EQ(3u, entries(dir_ / "out").size());
}

TEST_F(KorvenTest, TwoRunsAreByteIdentical) {
  fs::create_directories(dir_ / "second");
  std::string file = options("");
  run({file, out()});
  run({file, utf8(dir_ / "second")});
  for (const char* header : kHeaders) {
    EXPECT_EQ(readFile(dir_ / "out" / header), readFile(dir_ / "second" / header)) << header;
  }
}

TEST_F(KorvenTest, NonAsciiNamesAndPathsAreUtf8) {
  fs::path target = dir_ / fs::u8path("ausgabe-\xc3\xbc");
  fs::create_directories(target);
  fs::path file = dir_ / fs::u8path("optionen-\xc3\xa4.txt");
  writeFile(file, "\xef\xbb\xbfobject Options: TPersistenceWrapper\n"
                  "  Persistent.FormatNames.Strings = ('dr\xc3\xbc" "ck_printf' 'printf' 'printf')\n"
                  "end\n");
  EXPECT_EQ(kBanner + kSuccess, run({utf8(file), utf8(target)}));
  EXPECT_NE(std::string::npos,
            readFile(target / kHeaders[0]).find("#undef printf\r\n#undef printf\r\n"
                                                "#undef dr\xc3\xbc" "ck_printf\r\n"));
  EXPECT_NE(std::string::npos,
            readFile(target / kHeaders[1]).find("    _safe_dr\xc3\xbc" "ck_printf (__VA_ARGS__)\r\n"));
}

// The headers are the same bytes on every system: tests/golden holds them as
// korven writes them, each set beside the options file that gives it.
TEST_F(KorvenTest, HeadersMatchTheGoldenFiles) {
  const char* root = std::getenv("KORVEN_SOURCE_DIR");
  if (root == nullptr) GTEST_SKIP() << "KORVEN_SOURCE_DIR is not set";
  for (const char* set : {"default", "worked_example"}) {
    const fs::path golden = fs::u8path(root) / "tests" / "golden" / set;
    fs::remove_all(dir_ / "out");
    fs::create_directories(dir_ / "out");
    EXPECT_EQ(kBanner + kSuccess, run({utf8(golden / "options.txt"), out()})) << set;
    for (const char* header : kHeaders) {
      EXPECT_TRUE(readFile(golden / header) == readFile(dir_ / "out" / header)) << set << " " << header;
    }
  }
}

// Two runs into one directory at the same time: the second waits for the
// first, so the directory always holds one run's complete set.
TEST_F(KorvenTest, ConcurrentRunsLeaveOneCompleteSet) {
  const std::string optionsA = options("  Persistent.MaxFixedParams = 1\n  Persistent.MaxFormatParams = 5\n", "a.txt");
  const std::string optionsB = options("  Persistent.MaxFixedParams = 2\n  Persistent.MaxFormatParams = 6\n", "b.txt");
  std::vector<std::string> setA, setB;
  for (auto [file, set, name] : {std::make_tuple(optionsA, &setA, "a"), std::make_tuple(optionsB, &setB, "b")}) {
    fs::create_directories(dir_ / name);
    run({file, utf8(dir_ / name)});
    for (const char* header : kHeaders) set->push_back(readFile(dir_ / name / header));
  }
  for (int round = 0; round < 50; ++round) {
    korven::testing::process_result_t second;
    std::thread other([&] { second = korven::testing::runProcess(KORVEN_BINARY, {optionsB, out()}); });
    korven::testing::process_result_t first = korven::testing::runProcess(KORVEN_BINARY, {optionsA, out()});
    other.join();
    ASSERT_EQ(0, first.status) << first.output;
    ASSERT_EQ(0, second.status) << second.output;
    std::vector<std::string> now;
    for (const char* header : kHeaders) now.push_back(readFile(dir_ / "out" / header));
    ASSERT_TRUE(now == setA || now == setB) << "round " << round;
    ASSERT_EQ(3u, entries(dir_ / "out").size()) << "round " << round;
  }
}

// A path is bytes: names that are not UTF-8 still open exactly that file.
TEST_F(KorvenTest, OperandsThatAreNotUtf8NameTheirFiles) {
  if (!korven::testing::kPathsAreBytes) GTEST_SKIP() << "file names are UTF-16 here";
  const fs::path target = dir_ / "out\xff";
  fs::create_directories(target);
  const std::string file = options("", "caf\xe9.txt");
  EXPECT_EQ(kBanner + kSuccess, run({file, target.string()}));
  EXPECT_EQ(3u, entries(target).size());
  // Messages show such a byte as U+FFFD.
  EXPECT_EQ(kBanner + "EFOpenError: Datei " + (dir_ / "gon\xef\xbf\xbd.txt").string() +
                " kann nicht ge\xc3\xb6" "ffnet werden. " + korven::testing::kMissingFileText,
            run({(dir_ / "gon\xe9.txt").string(), target.string()}));
}

// Every failure is one line without a line break after the banner, exit
// status 1, and no header is written.
TEST_F(KorvenTest, FailuresAreReportedOnOneLine) {
  const std::string good = options("");
  const std::string missing = utf8(dir_ / "missing.txt");
  writeFile(dir_ / "plain", "not a directory");
  struct failure_case_t {
    std::vector<std::string> operands;
    std::string line;
  };
  const failure_case_t cases[] = {
      {{missing, out()},
       "EFOpenError: Datei " + missing + " kann nicht ge\xc3\xb6" "ffnet werden. " +
           korven::testing::kMissingFileText},
      {{options("  Persistent.MaxFormatParams = 'ten'\n", "bad_value.txt"), out()},
       "EReadError: Fehler beim Lesen von Options.Persistent.MaxFormatParams: "
       "Ung\xc3\xbcltiger Eigenschaftswert"},
      {{good, utf8(dir_ / "nowhere")}, kOpenError},
      {{good, ""}, kOpenError},
      {{good, utf8(dir_ / "plain")}, kOpenError},
      {{options("  Persistent.MaxFormatParams = -1\n", "huge.txt"), out()},
       "qirt::EHeaderSizeLimit: Settings too large: MaxFormatParams 4294967295 and "
       "MaxFixedParams 2 would give more than 1073741824 bytes of headers"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kBanner + c.line, run(c.operands)) << c.operands[0] << " " << c.operands[1];
    EXPECT_EQ(1, status_);
  }
  std::string output = run({options("  Persistent.MaxFormatParams = \n", "syntax.txt"), out()});
  EXPECT_EQ(0u, output.find(kBanner + "EParserError: ")) << output;
  EXPECT_EQ(std::string::npos, output.find('\n', kBanner.size()));
  EXPECT_EQ(1, status_);

  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
  EXPECT_EQ("not a directory", readFile(dir_ / "plain"));
}

TEST_F(KorvenTest, TemplateErrorNamesEveryLevel) {
  writeFile(dir_ / "out" / kHeaders[0], "old");
  EXPECT_EQ(kBanner +
                "wyx::tool::EMacroException: Macro error in line 63, column 1: Macro error in line "
                "25, column 1: Macro error in line 9, column 43: Unknown macro "
                "'FUNCPARAM_SIGNATURE'",
            run({options(""), out()}, {}, KORVEN_BROKEN_BINARY));
  EXPECT_EQ(1, status_);
  EXPECT_EQ("old", readFile(dir_ / "out" / kHeaders[0]));
  EXPECT_EQ(1u, entries(dir_ / "out").size());
}

// A write that fails part-way (file size limit) leaves the old headers
// complete and no temporary file behind.
TEST_F(KorvenTest, FailedWriteKeepsOldHeaders) {
  if (!korven::testing::kFileSizeLimitSupported) GTEST_SKIP() << "no file-size limit here";
  for (const char* header : kHeaders) writeFile(dir_ / "out" / header, std::string("old ") + header);
  // 4 KiB: more than the smaller headers, less than the begin header. korven
  // itself turns the limit's signal into a write error.
  korven::testing::process_options_t limited;
  limited.fileSizeLimit = 4096;
  EXPECT_EQ(kBanner + "wyx::oo::ESafecallException: Unknown exception occurred",
            run({options(""), out()}, limited));
  EXPECT_EQ(1, status_);
  for (const char* header : kHeaders) {
    EXPECT_EQ(std::string("old ") + header, readFile(dir_ / "out" / header));
  }
  EXPECT_EQ(3u, entries(dir_ / "out").size());
}

}  // namespace
