// What a replaced file keeps of the old one where files have attributes.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "wyx/platform/platform.hpp"

namespace wyx::platform {
namespace {

namespace fs = std::filesystem;

class ReplaceFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("korven-attrs-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    std::ofstream(target()) << "old";
  }
  void TearDown() override {
    SetFileAttributesW(target().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(dir_);
  }
  fs::path target() const { return dir_ / "a.hpp"; }

  // Writes "new" to a temporary file and renames it over the target.
  bool replace() {
    native_path_t temporary;
    native_file_t file;
    const native_path_t directory = dir_.wstring() + L"\\";
    if (!createTempFile(directory, target().wstring(), &temporary, &file)) return false;
    const bool written = writeFile(file, "new", 3) && closeFile(file);
    return written && replaceFile(temporary, target().wstring());
  }
  std::string text() const {
    std::ifstream in(target(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  DWORD attributes() const { return GetFileAttributesW(target().c_str()); }

  fs::path dir_;
};

TEST_F(ReplaceFileTest, ReplacementKeepsTheAttributes) {
  for (DWORD kept : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_READONLY}}) {
    std::ofstream(target()) << "old";
    SetFileAttributesW(target().c_str(), kept | FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(replace()) << kept;
    EXPECT_EQ("new", text()) << kept;
    EXPECT_NE(0u, attributes() & kept) << kept;
    SetFileAttributesW(target().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(1, std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
}

TEST_F(ReplaceFileTest, ReadOnlyBackupIsRemoved) {
  const native_path_t backup = (dir_ / "a.hpp-old").wstring();
  SetFileAttributesW(target().c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(linkFile(target().wstring(), backup));
  EXPECT_TRUE(removeFile(backup));
  EXPECT_EQ("old", text());
}

}  // namespace
}  // namespace wyx::platform
