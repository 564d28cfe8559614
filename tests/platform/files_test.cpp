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

TEST_F(Files, BackslashesAndCaseFindTheFile) {
  bool found = false;
  EXPECT_EQ(resolve("LEVELS\\TEST1.VHL", &found), "levels/test1.vhl");
  EXPECT_TRUE(found);
  EXPECT_EQ(resolve("other/sounds.cfg", &found), "other/sounds.cfg");
  EXPECT_TRUE(found);
  EXPECT_EQ(resolve("Other\\Sounds.CFG", &found), "other/sounds.cfg");
  EXPECT_TRUE(found);
  EXPECT_EQ(resolve("levels\\cave2.vhl", &found), "levels/Cave2.VHL");
  EXPECT_TRUE(found);
  std::string absolute = dir.path() + "\\LEVELS\\Test1.vhl";
  EXPECT_EQ(resolve(absolute.c_str(), &found), dir.path() + "/levels/test1.vhl");
  EXPECT_TRUE(found);
}

TEST_F(Files, MissingFilesAreReportedWithSlashesTurned) {
  bool found = true;
  EXPECT_EQ(resolve("LEVELS\\NONE.VHL", &found), "levels/NONE.VHL");
  EXPECT_FALSE(found);
  EXPECT_EQ(resolve("nowhere\\x.cfg", &found), "nowhere/x.cfg");
  EXPECT_FALSE(found);
  EXPECT_EQ(platform::open_file("LEVELS\\NONE.VHL", "rb"), nullptr);
  FILE* f = platform::open_file("LEVELS\\TEST1.VHL", "rb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_EQ(platform::open_file("", "rb"), nullptr);
}

TEST_F(Files, PathsTooLongForTheBufferAreNotFound) {
  std::string longer(400, 'a');
  bool found = true;
  resolve(longer.c_str(), &found);
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
