// path resolver: backslashes, case, missing files and paths too long.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

using test::TempDir;
using test::write_file;

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    write_file(dir.file("levels/test1.vhl"), "level");
    write_file(dir.file("levels/Cave2.VHL"), "level");
    write_file(dir.file("other/sounds.cfg"), "cfg");
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
  }

  std::string resolve(const char* path, bool* found) {
    char out[platform::MAX_PATH_LENGTH];
    *found = platform::resolve_path(path, out, sizeof out);
    return out;
  }

  TempDir dir;
  test::KeepWorkingDir cwd;
};

// Backslashes turn into slashes and each part is matched without regard to case; a
// missing file keeps the spelling it was asked for.
TEST_F(Files, BackslashesAndCaseFindTheFileAndTooLongPathsAreNotFound) {
  const struct {
    std::string path, want;
    bool found;
  } rows[] = {
      {"LEVELS\\TEST1.VHL", "levels/test1.vhl", true},
      {"other/sounds.cfg", "other/sounds.cfg", true},
      {"Other\\Sounds.CFG", "other/sounds.cfg", true},
      {"levels\\cave2.vhl", "levels/Cave2.VHL", true},
      {dir.path() + "\\LEVELS\\Test1.vhl", dir.path() + "/levels/test1.vhl", true},
      {"LEVELS\\NONE.VHL", "levels/NONE.VHL", false},
      {"nowhere\\x.cfg", "nowhere/x.cfg", false},
  };
  for (const auto& r : rows) {
    bool found = !r.found;
    EXPECT_EQ(resolve(r.path.c_str(), &found), r.want);
    EXPECT_EQ(found, r.found) << r.path;
  }
  EXPECT_EQ(platform::open_file("LEVELS\\NONE.VHL", "rb"), nullptr);
  EXPECT_EQ(platform::open_file("", "rb"), nullptr);
  FILE* f = platform::open_file("LEVELS\\TEST1.VHL", "rb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  bool found = true;
  resolve(std::string(400, 'a').c_str(), &found);
  EXPECT_FALSE(found);
  char tiny[8];
  EXPECT_FALSE(platform::resolve_path("levels/test1.vhl", tiny, sizeof tiny));
}

}  // namespace
}  // namespace vurkhold
