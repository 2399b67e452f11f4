// What a replaced header keeps of the old file where files have permission
// bits.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "qirt/test_support.hpp"

namespace qirt {
namespace {

using testing::installHeaderFiles;

namespace fs = std::filesystem;

TEST(HeaderFilesPosixTest, ReplacedFileKeepsItsPermissions) {
  const fs::path dir =
      fs::temp_directory_path() / ("korven-perms-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  std::ofstream(dir / "a.hpp") << "old";
  const fs::perms kPerms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(dir / "a.hpp", kPerms);
  installHeaderFiles(wyx::fromUtf8(dir.string() + "/"), {{"a.hpp", "new"}});
  std::ifstream in(dir / "a.hpp");
  EXPECT_EQ("new", std::string(std::istreambuf_iterator<char>(in), {}));
  EXPECT_EQ(kPerms, fs::status(dir / "a.hpp").permissions());
  fs::remove_all(dir);
}

}  // namespace
}  // namespace qirt
