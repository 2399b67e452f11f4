#include "app/driver.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "app/test_support.hpp"
#include "qirt/template_library.hpp"
#include "system_texts.hpp"

namespace korven {
namespace {

namespace fs = std::filesystem;

const std::string kBanner =
    "QirtFormat Header Generator v1.0.3\n"
    "Writes the headers of the printf-family format checks.\n"
    "\n";
const std::string kUsage = "Usage:\n    KORVEN optionsfile outputpath\n\n";

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("korven-driver-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_ / "out");
    options_ = (dir_ / "options.txt").u8string();
    std::ofstream(options_) << "object Options: TPersistenceWrapper\n"
                               "  Persistent.MaxFormatParams = 3\n"
                               "  Persistent.MaxFixedParams = 1\n"
                               "end\n";
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the driver; returns what it printed, the exit status in `status_`.
  std::string run(const std::vector<std::string>& operands,
                  const qirt::TemplateLibrary& templates = qirt::builtInTemplates()) {
    std::FILE* out = std::tmpfile();
    std::vector<wyx::UnicodeString> wide;
    for (const std::string& operand : operands) wide.push_back(wyx::fromUtf8(operand));
    status_ = runDriver(wide, out, templates);
    std::string text;
    std::rewind(out);
    char chunk[4096];
    while (std::size_t n = std::fread(chunk, 1, sizeof chunk, out)) text.append(chunk, n);
    std::fclose(out);
    return text;
  }

  std::string out() const { return (dir_ / "out").u8string(); }

  fs::path dir_;
  std::string options_;
  int status_ = -1;
};

TEST_F(DriverTest, OperandCounts) {
  struct count_case_t {
    std::vector<std::string> operands;
    std::string output;
    int status;
  };
  const count_case_t cases[] = {
      {{}, kBanner + kUsage, kExitUsage},
      {{"a"}, kBanner + kUsage + "Error: Wrong number of arguments\n", kExitUsage},
      {{"a", "b", "c"}, kBanner + kUsage + "Error: Wrong number of arguments\n", kExitUsage},
      {{"--version"}, kBanner, kExitSuccess},
      {{"--version", "x", "y"}, kBanner + kUsage + "Error: Wrong number of arguments\n", kExitUsage},
      {{"--Help"}, kBanner + kUsage + "Error: Wrong number of arguments\n", kExitUsage},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.output, run(c.operands)) << c.operands.size() << " operands";
    EXPECT_EQ(c.status, status_);
  }
}

TEST_F(DriverTest, HelpDescribesOptionsAndExitStatus) {
  std::string text = run({"--help"});
  EXPECT_EQ(0u, text.find(kBanner + kUsage));
  EXPECT_NE(std::string::npos, text.find("Persistent.MaxFormatParams"));
  EXPECT_NE(std::string::npos, text.find("Exit status: 0"));
  EXPECT_EQ(kExitSuccess, status_);
}

TEST_F(DriverTest, SuccessWritesTheHeaders) {
  EXPECT_EQ(kBanner + "Files written successfully.\n", run({options_, out()}));
  EXPECT_EQ(kExitSuccess, status_);
  for (const char* name :
       {"format_definition_begin.hpp", "format_definition_end.hpp", "format_typelist.hpp"}) {
    EXPECT_TRUE(fs::exists(dir_ / "out" / name)) << name;
  }
}

// One line without a line break, exit status 1, nothing written.
TEST_F(DriverTest, FailuresAreReportedOnOneLine) {
  qirt::TemplateLibrary broken;
  broken.add("format_definition_begin", ":MAIN\r\n\r\n$(NOPE)\r\n:END\r\n");
  broken.add("format_definition_end", ":MAIN\r\n:END\r\n");
  broken.add("format_typelist", ":MAIN\r\n:END\r\n");
  struct failure_case_t {
    std::vector<std::string> operands;
    std::string line;  // after the banner
  };
  const std::string missing = (dir_ / "missing.txt").u8string();
  const failure_case_t cases[] = {
      {{options_, (dir_ / "nowhere").u8string()}, "wyx::io::EStreamOpenError: Opening stream failed"},
      {{options_, ""}, "wyx::io::EStreamOpenError: Opening stream failed"},
      {{missing, out()},
       "EFOpenError: Datei " + missing + " kann nicht ge\xc3\xb6" "ffnet werden. " +
           korven::testing::kMissingFileText},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kBanner + c.line, run(c.operands)) << c.operands[1];
    EXPECT_EQ(kExitFailure, status_);
  }
  EXPECT_EQ(kBanner + "wyx::tool::EMacroException: Macro error in line 3, column 1: Unknown macro 'NOPE'",
            run({options_, out()}, broken));
  EXPECT_EQ(kExitFailure, status_);
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

// Bytes of a damaged binary file reach the message; the report stays one
// line and shows each control byte as "?".
TEST_F(DriverTest, ControlBytesOfNamesShowAsQuestionMarks) {
  const std::string path = (dir_ / "damaged.bin").u8string();
  const std::string property("Persistent.Max\nFo\0r\rmat", 23);
  std::ofstream(path, std::ios::binary)
      << "TPF0\x13TPersistenceWrapper\x07Options" << char(property.size()) << property
      << std::string("\x02\x01\0\0", 4);
  EXPECT_EQ(kBanner + "EReadError: Fehler beim Lesen von Options.Persistent.Max?Fo?r?mat: "
                      "Eigenschaft Max?Fo?r?mat existiert nicht",
            run({path, out()}));
  EXPECT_EQ(kExitFailure, status_);
}

TEST_F(DriverTest, StandardRuntimeErrorsKeepTheirStandardName) {
  qirt::TemplateLibrary noMain;
  noMain.add("format_definition_begin", ":OTHER\r\n:END\r\n");
  noMain.add("format_definition_end", "");
  noMain.add("format_typelist", "");
  EXPECT_EQ(kBanner + "std::runtime_error: Map entry not found", run({options_, out()}, noMain));
  EXPECT_EQ(kExitFailure, status_);
}

}  // namespace
}  // namespace korven
