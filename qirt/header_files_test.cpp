#include "qirt/test_support.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "wyx/io/stream_errors.hpp"

namespace qirt {
namespace {

using testing::installHeaderFiles;

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class HeaderFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("korven-header-files-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  wyx::UnicodeString directory(const fs::path& path) const {
    return wyx::fromUtf8(path.string() + "/");
  }
  void install(const fs::path& path, const std::string& a, const std::string& b) {
    installHeaderFiles(directory(path), {{"a.hpp", a}, {"b.hpp", b}});
  }
  // The names in the directory, temporary files included.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().u8string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

TEST_F(HeaderFilesTest, WritesNewFilesExactly) {
  install(dir_, "first\r\n", std::string("\0\x80\r\n", 4));
  EXPECT_EQ("first\r\n", readFile(dir_ / "a.hpp"));
  EXPECT_EQ(std::string("\0\x80\r\n", 4), readFile(dir_ / "b.hpp"));
  EXPECT_EQ((std::vector<std::string>{"a.hpp", "b.hpp"}), entries());
}

// The new text is compared with the old one as it comes; wherever they part,
// the file ends up holding exactly the new text.
TEST_F(HeaderFilesTest, EveryDifferenceReplacesTheWholeFile) {
  const std::string big(3 << 20, 'x');  // past the comparison's 1 MiB pieces
  const struct {
    std::string old;
    std::string text;
  } kCases[] = {
      {std::string(10000, 'x'), "short"},
      {"short", std::string(10000, 'x')},
      {"abc", "xbc"},
      {"abc", "abd"},
      {"abc", ""},
      {big + "a", big + "b"},
      {big, big + big},
      {big + big, big},
  };
  for (const auto& c : kCases) {
    writeFile(dir_ / "a.hpp", c.old);
    install(dir_, c.text, "b");
    EXPECT_TRUE(c.text == readFile(dir_ / "a.hpp")) << c.old.size() << " to " << c.text.size();
    EXPECT_EQ((std::vector<std::string>{"a.hpp", "b.hpp"}), entries());
  }
}

// The limit is on all outputs together; passing it leaves everything as it was.
TEST_F(HeaderFilesTest, ByteLimitIsOnTheWholeSet) {
  writeFile(dir_ / "a.hpp", "old");
  installHeaderFiles(directory(dir_), {{"a.hpp", "12345"}, {"b.hpp", "12345"}}, 10, 5);
  EXPECT_EQ("12345", readFile(dir_ / "a.hpp"));
  writeFile(dir_ / "a.hpp", "old");
  fs::remove(dir_ / "b.hpp");
  HeaderFileSet files(directory(dir_), {"a.hpp", "b.hpp"}, size_limit_t{9});
  EXPECT_EQ(wyx::oo::kStatusOk, files.output(0).writeBuffer("12345", 5));
  EXPECT_NE(wyx::oo::kStatusOk, files.output(1).writeBuffer("12345", 5));
  EXPECT_THROW(std::rethrow_exception(files.failure()), EHeaderSizeLimit);
  EXPECT_EQ("old", readFile(dir_ / "a.hpp"));
}

TEST_F(HeaderFilesTest, UnchangedFileKeepsItsTimestamp) {
  writeFile(dir_ / "a.hpp", "same");
  writeFile(dir_ / "b.hpp", "old");
  auto past = fs::file_time_type::clock::now() - std::chrono::hours(24);
  fs::last_write_time(dir_ / "a.hpp", past);
  fs::last_write_time(dir_ / "b.hpp", past);
  past = fs::last_write_time(dir_ / "a.hpp");  // as precise as the file system keeps it
  install(dir_, "same", "new");
  EXPECT_EQ(past, fs::last_write_time(dir_ / "a.hpp"));
  EXPECT_NE(past, fs::last_write_time(dir_ / "b.hpp"));
  EXPECT_EQ("new", readFile(dir_ / "b.hpp"));
}

// Each failure is an open error, leaves the old headers as they were and no
// temporary file behind.
TEST_F(HeaderFilesTest, FailuresTouchNothing) {
  writeFile(dir_ / "a.hpp", "old a");
  fs::create_directory(dir_ / "b.hpp");
  EXPECT_THROW(install(dir_, "new a", "new b"), wyx::io::EStreamOpenError);
  EXPECT_EQ("old a", readFile(dir_ / "a.hpp"));
  EXPECT_EQ((std::vector<std::string>{"a.hpp", "b.hpp"}), entries());

  EXPECT_THROW(install(dir_ / "missing", "a", "b"), wyx::io::EStreamOpenError);
  EXPECT_FALSE(fs::exists(dir_ / "missing"));

  writeFile(dir_ / "plain", "not a directory");
  EXPECT_THROW(install(dir_ / "plain", "a", "b"), wyx::io::EStreamOpenError);
  EXPECT_EQ("not a directory", readFile(dir_ / "plain"));
}

TEST_F(HeaderFilesTest, UnwritableDirectoryIsAnOpenError) {
  fs::create_directory(dir_ / "locked");
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  fs::path target = dir_ / "locked";
  // A privileged user writes anyway; a pseudo file system refuses even him.
  if (std::ofstream(dir_ / "locked" / "probe")) target = "/proc/self";
  if (!fs::is_directory(target)) GTEST_SKIP() << "no directory that refuses new files";
  EXPECT_THROW(install(target, "a", "b"), wyx::io::EStreamOpenError);
  fs::permissions(dir_ / "locked", fs::perms::owner_all);
  fs::remove(dir_ / "locked" / "probe");
  EXPECT_TRUE(fs::is_empty(dir_ / "locked"));
}

}  // namespace
}  // namespace qirt
