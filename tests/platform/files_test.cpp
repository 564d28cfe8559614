// files: the path resolver (backslashes, case, missing files, paths too long), the safe
// writer and the player's own folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include <string>
#include <utility>

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
  // Opening goes through the resolver, as every loader's test does; an empty path is none.
  EXPECT_EQ(platform::open_file("", "rb"), nullptr);
  bool found = true;
  resolve(std::string(400, 'a').c_str(), &found);
  EXPECT_FALSE(found);
  char tiny[8];
  EXPECT_FALSE(platform::resolve_path("levels/test1.vhl", tiny, sizeof tiny));
}

// Only a regular file is replaced, and only by a complete one that keeps its permissions;
// a failed write leaves the old bytes and no temporary, and says why.
TEST_F(Files, FailedWritesLeaveWhatWasThere) {
  auto write_new = [](FILE* f, void*) { return std::fputs("new", f) >= 0; };
  auto disk_full = [](FILE* f, void*) {
    errno = ENOSPC;
    return std::fputs("ne", f) < 0;
  };
  ASSERT_EQ(symlink("levels/test1.vhl", "link.vhl") | symlink("gone/x.vhl", "dangling.vhl") | mkfifo("fifo", 0600), 0);
  const struct {
    const char* path;
    bool (*write)(FILE*, void*);
    const char* reason;
  } rows[] = {
      {"levels/test1.vhl", disk_full, "No space left on device"}, {"link.vhl", write_new, "not a regular file"},
      {"dangling.vhl", write_new, "not a regular file"},          {"fifo", write_new, "not a regular file"},
      {"levels", write_new, "not a regular file"},                {"gone/x", write_new, "No such file or directory"},
  };
  for (const auto& r : rows) {
    char error[200] = "";
    EXPECT_FALSE(platform::write_file_safely(r.path, r.write, nullptr, error, sizeof error));
    EXPECT_EQ(std::string(error), std::string("can't write '") + r.path + "': " + r.reason);
  }
  EXPECT_EQ(test::read_file("levels/test1.vhl"), "level");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("levels"), {}), 2);
  ASSERT_EQ(chmod("levels/test1.vhl", 0640), 0);
  char error[200];
  ASSERT_TRUE(platform::write_file_safely("levels/test1.vhl", write_new, nullptr, error, sizeof error)) << error;
  EXPECT_EQ(test::read_file("levels/test1.vhl"), "new");
  EXPECT_EQ(std::filesystem::status("levels/test1.vhl").permissions(), std::filesystem::perms(0640));
}

// XDG_DATA_HOME counts only when absolute; otherwise the folder is under HOME. It is made.
TEST_F(Files, PlayersFolderFollowsXdgOnlyWhenAbsolute) {
  const std::string home = dir.path() + "/home", xdg = dir.path() + "/xdg", local = home + "/.local/share/vurkhold/";
  const char* saved[2] = {std::getenv("HOME"), std::getenv("XDG_DATA_HOME")};
  const std::string keep[2] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : ""};
  setenv("HOME", home.c_str(), 1);
  using Row = std::pair<const char*, std::string>;
  for (const auto& [set, want] : {Row{xdg.c_str(), xdg + "/vurkhold/"}, {"", local}, {"r", local}, {nullptr, local}}) {
    set ? setenv("XDG_DATA_HOME", set, 1) : unsetenv("XDG_DATA_HOME");
    char out[300] = "";
    EXPECT_TRUE(platform::user_data_dir(out, sizeof out) && std::filesystem::is_directory(want)) << want;
    EXPECT_EQ(out, want);
  }
  saved[0] ? setenv("HOME", keep[0].c_str(), 1) : unsetenv("HOME");
  saved[1] ? setenv("XDG_DATA_HOME", keep[1].c_str(), 1) : unsetenv("XDG_DATA_HOME");
}

// The game folder: one named by --data, else by VURKHOLD_DATA, is taken as it is; unnamed,
// the program's own folder when it holds the content, else ../share/vurkhold beside it.
TEST_F(Files, DataFolderIsTheNamedOneThenBesideTheProgramThenTheInstalledOne) {
  const std::string root = dir.path() + "/usr", games = root + "/games", share = root + "/share/vurkhold";
  const std::string empty = dir.path() + "/empty", gone = dir.path() + "/gone", exe = games + "/vurkhold";
  std::filesystem::create_directories(empty);
  const struct {
    const char *data, *env;
    bool built, installed;
    std::string found, message;
  } rows[] = {
      {empty.c_str(), share.c_str(), true, true, empty, ""},
      {gone.c_str(), empty.c_str(), true, true, "", "can't enter the data folder '" + gone + "'"},
      {nullptr, empty.c_str(), true, true, empty, ""},
      {nullptr, gone.c_str(), true, true, "", "can't enter the data folder '" + gone + "' (VURKHOLD_DATA)"},
      {nullptr, "", true, true, games, ""},
      {nullptr, nullptr, false, true, share, ""},
      {nullptr, nullptr, true, false, games, ""},
      {nullptr, nullptr, false, false, "",
       "no game content (other/weapons.cfg) in '" + games + "' or in '" + share +
           "'; name its folder with --data DIR or VURKHOLD_DATA"},
  };
  for (const auto& row : rows) {
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(games);
    for (const auto& [holds, place] : {std::pair{row.built, games}, {row.installed, share}}) {
      if (!holds) continue;
      std::filesystem::create_directories(place + "/other");
      write_file(place + "/other/weapons.cfg", "");
    }
    char found[600] = "", message[600] = "";
    EXPECT_EQ(platform::find_data_dir(row.data, row.env, exe.c_str(), found, sizeof found, message, sizeof message),
              !row.found.empty());
    EXPECT_EQ(row.found.empty() ? "" : found, row.found);
    EXPECT_EQ(message, row.message);
  }
}

}  // namespace
}  // namespace vurkhold
