// path resolver and file listing: backslashes, case, missing files and patterns.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

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
    write_file(dir.file("levels/notes.txt"), "text");
    write_file(dir.file("other/sounds.cfg"), "cfg");
    write_file(dir.file("levels/sub.vhl/inside"), "a folder is not a level");
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

std::vector<std::string> list(const char* pattern, int* delivered, int stop_after = 100) {
  struct Context {
    std::vector<std::string> names;
    int stop_after;
  } context{{}, stop_after};
  *delivered = platform::list_files(
      pattern,
      [](const char* name, void* c) {
        auto* ctx = static_cast<Context*>(c);
        ctx->names.push_back(name);
        return static_cast<int>(ctx->names.size()) < ctx->stop_after;
      },
      &context);
  std::sort(context.names.begin(), context.names.end());
  return context.names;
}

TEST_F(Files, ListingMatchesPatternWithoutRegardToCase) {
  int delivered = 0;
  EXPECT_EQ(list("levels\\*.vhl", &delivered), (std::vector<std::string>{"Cave2.VHL", "test1.vhl"}));
  EXPECT_EQ(delivered, 2);
  EXPECT_EQ(list("LEVELS\\*.VHL", &delivered).size(), 2u);
  EXPECT_TRUE(list("missing\\*.vhl", &delivered).empty());
  EXPECT_EQ(delivered, 0);
  EXPECT_EQ(list("levels\\*.vhl", &delivered, 1).size(), 1u);
  EXPECT_EQ(delivered, 1);
}

}  // namespace
}  // namespace vurkhold
