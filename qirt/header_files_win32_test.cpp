// What a replaced header keeps of the old file where files have attributes.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "qirt/header_files.hpp"
#include "wyx/io/stream_errors.hpp"

namespace qirt {
namespace {

namespace fs = std::filesystem;

class HeaderFilesWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("korven-attrs-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    std::ofstream(dir_ / "a.hpp") << "old";
  }
  void TearDown() override {
    SetFileAttributesW((dir_ / "a.hpp").c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(dir_);
  }
  void install(const std::string& text) {
    installHeaderFiles(wyx::fromUtf8(dir_.u8string() + "\\"), {{"a.hpp", text}});
  }
  std::string text() const {
    std::ifstream in(dir_ / "a.hpp", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  DWORD attributes() const { return GetFileAttributesW((dir_ / "a.hpp").c_str()); }

  fs::path dir_;
};

TEST_F(HeaderFilesWin32Test, ReplacedFileKeepsItsAttributes) {
  SetFileAttributesW((dir_ / "a.hpp").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  install("new");
  EXPECT_EQ("new", text());
  EXPECT_NE(0u, attributes() & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(1, std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
}

// Whether a read-only header may be opened for writing is the system's
// decision (an administrator may); either it is refused and kept, or it is
// replaced and stays read-only.
TEST_F(HeaderFilesWin32Test, ReadOnlyFileIsRefusedOrStaysReadOnly) {
  SetFileAttributesW((dir_ / "a.hpp").c_str(), FILE_ATTRIBUTE_READONLY);
  bool refused = false;
  try {
    install("new");
  } catch (const wyx::io::EStreamOpenError&) {
    refused = true;
  }
  EXPECT_EQ(refused ? "old" : "new", text());
  EXPECT_NE(0u, attributes() & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(1, std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
}

}  // namespace
}  // namespace qirt
