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

// Only a regular file is replaced, and only by a complete one that keeps its permissions,
// set-group-id too, written beside it; a failed write leaves the old bytes and no temporary,
// and says why (a refusal without errno as an I/O error). A new file has the umask's.
TEST_F(Files, FailedWritesLeaveWhatWasThere) {
  auto write_new = [](FILE* f, void*) { return std::fputs("new", f) >= 0; };
  auto disk_full = [](FILE* f, void*) {
    errno = ENOSPC;
    return std::fputs("ne", f) < 0;
  };
  auto refused = [](FILE*, void*) { return false; };
  // A path of 4090 characters in parts the system takes, whose temporary's name is too long.
  std::string long_path = "levels";
  while (long_path.size() < 4090 - 251) long_path += "/" + std::string(250, 'y');
  long_path += "/" + std::string(4090 - long_path.size() - 1, 'z');
  ASSERT_EQ(symlink("levels/test1.vhl", "link.vhl") | symlink("gone/x.vhl", "dangling.vhl") | mkfifo("fifo", 0600), 0);
  const struct {
    const char* path;
    bool (*write)(FILE*, void*);
    const char* reason;
  } rows[] = {
      {"levels/test1.vhl", disk_full, "No space left on device"}, {"link.vhl", write_new, "not a regular file"},
      {"dangling.vhl", write_new, "not a regular file"},          {"fifo", write_new, "not a regular file"},
      {"levels", write_new, "not a regular file"},                {"gone/x", write_new, "No such file or directory"},
      {"levels/test1.vhl/x", write_new, "Not a directory"},       {"levels/test1.vhl", refused, "Input/output error"},
      {long_path.c_str(), write_new, "File name too long"},
  };
  for (const auto& r : rows) {
    char error[4200] = "";
    EXPECT_FALSE(platform::write_file_safely(r.path, r.write, nullptr, error, sizeof error));
    EXPECT_EQ(std::string(error), std::string("can't write '") + r.path + "': " + r.reason);
  }
  EXPECT_EQ(test::read_file("levels/test1.vhl"), "level");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("levels"), {}), 2);
  ASSERT_EQ(chmod("levels/test1.vhl", 02640), 0);
  char error[200];
  // Written while its temporary is the one other file in the folder.
  auto write_beside = [](FILE* f, void* names) {
    for (const auto& e : std::filesystem::directory_iterator("levels"))
      *static_cast<std::string*>(names) += e.path().filename().string().substr(0, 11) + " ";
    return std::fputs("new", f) >= 0;
  };
  std::string names;
  ASSERT_TRUE(platform::write_file_safely("levels/test1.vhl", write_beside, &names, error, sizeof error)) << error;
  EXPECT_EQ(test::read_file("levels/test1.vhl"), "new");
  EXPECT_EQ(std::filesystem::status("levels/test1.vhl").permissions(), std::filesystem::perms(02640));
  EXPECT_EQ(names.size(), 32u);
  EXPECT_NE(names.find(".test1.vhl. "), std::string::npos) << names;

  const mode_t umask_was = umask(027);
  const bool made = platform::write_file_safely("levels/new.vhl", write_new, nullptr, error, sizeof error);
  const mode_t umask_after = umask(umask_was);
  EXPECT_TRUE(made) << error;
  EXPECT_EQ(std::filesystem::status("levels/new.vhl").permissions(), std::filesystem::perms(0640));
  EXPECT_EQ(umask_after, 027u);
}

// XDG_DATA_HOME counts only when absolute; otherwise the folder is under HOME. It is made,
// with a folder of its own inside when asked; a file in the way is no folder.
TEST_F(Files, PlayersFolderFollowsXdgOnlyWhenAbsolute) {
  const std::string home = dir.path() + "/home", xdg = dir.path() + "/xdg", local = home + "/.local/share/vurkhold/";
  const char* saved[2] = {std::getenv("HOME"), std::getenv("XDG_DATA_HOME")};
  const std::string keep[2] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : ""};
  setenv("HOME", home.c_str(), 1);
  write_file(dir.file("file"), "");
  const std::string in_file = dir.path() + "/file";
  const struct { const char *set, *folder; std::string want; } rows[] = {
      {xdg.c_str(), "", xdg + "/vurkhold/"}, {"", "", local}, {"r", "", local}, {nullptr, "", local},
      {xdg.c_str(), "replays", xdg + "/vurkhold/replays/"}, {in_file.c_str(), "", ""}};
  for (const auto& [set, folder, want] : rows) {
    set ? setenv("XDG_DATA_HOME", set, 1) : unsetenv("XDG_DATA_HOME");
    char out[300] = "";
    EXPECT_EQ(platform::user_data_dir(out, sizeof out, folder), !want.empty()) << want;
    EXPECT_TRUE(want.empty() || (out == want && std::filesystem::is_directory(want))) << out;
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
