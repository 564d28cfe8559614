// replay keeping: the file a match start records into, named after the moment and the level
// and never over anything already there, and the folder kept under its limit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>

#include "match/match.h"
#include "shell/shell.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

class ReplayKeeping : public test::GameFolderSuite {
 protected:
  ReplayKeeping() {
    const char* was = std::getenv("XDG_DATA_HOME");
    saved_xdg_ = was ? was : "";
    had_xdg_ = was != nullptr;
    setenv("XDG_DATA_HOME", dir_.path().c_str(), 1);
  }
  ~ReplayKeeping() override { had_xdg_ ? setenv("XDG_DATA_HOME", saved_xdg_.c_str(), 1) : unsetenv("XDG_DATA_HOME"); }
  std::string folder() const { return dir_.path() + "/vurkhold/replays/"; }
  std::set<std::string> names() const {
    std::set<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(folder())) found.insert(e.path().filename().string());
    return found;
  }

  test::KeepGlobals keep_{level_to_use, record_replays, run_seed, vurk, settings_file};
  test::TempDir dir_;
  std::string saved_xdg_;
  bool had_xdg_ = false;
};

std::string now_word() {
  const std::time_t now = std::time(nullptr);
  std::tm local;
  localtime_r(&now, &local);
  char when[32];
  std::strftime(when, sizeof when, "%Y%m%d-%H%M%S", &local);
  return when;
}

// The level's name up to its first dot, after its last slash or backslash, in letters,
// digits and '_', at most 63 of them, "level" for none; a name taken (a dangling link too)
// goes on to -2, -3 and so on, and with all 99 taken nothing is recorded. --no-record
// records nothing. The file is a replay of the settings it was started with.
TEST_F(ReplayKeeping, EachMatchGetsAFileOfItsOwnNamedAfterTheMomentAndTheLevel) {
  const std::string maze = test::read_file(std::string(VURK_GAME_DIR) + "/levels/maze.vhl");
  const std::string odd = dir_.file("odd name+1.v2.vhl"), dotted = dir_.file("in.side/.vhl"),
                    digits = dir_.file("levels/Z09.VHL"), wide = dir_.file(std::string(70, 'w') + ".vhl");
  for (const std::string& copy : {odd, dotted, digits, wide}) test::write_file(copy, maze);
  const struct {
    std::string level;
    int taken;  // names already there: 1 the first as a file, -1 as a dangling link
    int record;
    unsigned frame_ms;
    int views;
    std::string name;  // after the moment; "" none
  } rows[] = {
      {"LEVELS\\MAZE.VHL", 0, 1, 16, 1, "-MAZE.vhr"},
      {odd, 0, 1, 0, 2, "-odd_name_1.vhr"},
      {dir_.path() + "\\levels\\Z09.VHL", 0, 1, 16, 1, "-Z09.vhr"},
      {dotted, 0, 1, 16, 1, "-level.vhr"},
      {wide, 0, 1, 16, 1, "-" + std::string(63, 'w') + ".vhr"},
      {"levels/maze.vhl", 1, 1, 16, 1, "-maze-2.vhr"},
      {"levels/maze.vhl", -1, 1, 16, 1, "-maze-2.vhr"},
      {"levels/maze.vhl", 9, 1, 16, 1, "-maze-10.vhr"},
      {"levels/maze.vhl", 99, 1, 16, 1, ""},
      {"levels/maze.vhl", 0, 0, 16, 1, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(&r - rows);
    std::snprintf(level_to_use, sizeof level_to_use, "%s", r.level.c_str());
    record_replays = r.record, run_seed = 4242;
    std::set<std::string> before;
    std::string when;
    // Taken names and the recording within the same second.
    for (int attempt = 0; attempt < 3 && (when.empty() || now_word() != when); attempt++) {
      std::filesystem::remove_all(folder());
      std::filesystem::create_directories(folder());
      when = now_word();
      const std::string first = folder() + when + "-maze";
      if (r.taken < 0) std::filesystem::create_symlink(dir_.file("gone"), first + ".vhr");
      for (int n = 1; n <= r.taken; n++) test::write_file(first + (n > 1 ? "-" + std::to_string(n) : "") + ".vhr", "");
      before = names();
      start_recording(r.frame_ms, r.views);
      end_recording(true);
    }
    std::set<std::string> made = names();
    for (const std::string& name : before) made.erase(name);
    EXPECT_EQ(made, r.name.empty() ? std::set<std::string>{} : std::set<std::string>{when + r.name});
    if (made.size() != 1) continue;
    REPLAY_HEADER header;
    char message[REPLAY_MESSAGE_SIZE];
    ASSERT_EQ(open_replay((folder() + *made.begin()).c_str(), &header, message, sizeof message), 1) << message;
    EXPECT_EQ(std::tuple(header.seed, header.frame_ms, int{header.views}), std::tuple(4242u, r.frame_ms, r.views));
    close_replay();
  }
}

// A match the menu starts is recorded with a view for each human player; one that can't
// start leaves no replay.
TEST_F(ReplayKeeping, TheMenusMatchIsRecordedWithItsViews) {
  const std::string junk = dir_.file("junk.vhl");
  test::write_file(junk, "not a level");
  settings_file[0] = '\0';
  const struct { std::string level; VURK_TYPE second; int started, views; } rows[] = {
      {"levels/maze.vhl", MLT_HUMAN, 1, 2}, {"levels/maze.vhl", MLT_COMPUTER, 1, 1}, {junk, MLT_HUMAN, 0, 0}};
  for (const auto& r : rows) {
    std::filesystem::remove_all(folder());
    std::snprintf(level_to_use, sizeof level_to_use, "%s", r.level.c_str());
    vurk[0].type = MLT_HUMAN, vurk[1].type = r.second;
    EXPECT_EQ(start_match_keeping_settings(), r.started);
    end_recording(true);
    ASSERT_EQ(names().size(), r.views ? 1u : 0u) << r.level;
    if (!r.views) continue;
    REPLAY_HEADER header;
    char message[REPLAY_MESSAGE_SIZE];
    ASSERT_EQ(open_replay((folder() + *names().begin()).c_str(), &header, message, sizeof message), 1) << message;
    EXPECT_EQ(header.views, r.views);
    close_replay();
  }
}

// Only regular .vhr files count and go, the oldest by name first, until the rest fit.
TEST_F(ReplayKeeping, PruningLeavesFoldersAndOtherFilesAlone) {
  std::filesystem::create_directories(folder() + "20260101-000000-a.vhr");
  test::write_file(folder() + "20260102-000000-c.vhr", std::string(60, 'x'));
  test::write_file(folder() + "20260103-000000-d.vhr", std::string(40, 'x'));
  prune_replays(folder().c_str(), 100);
  EXPECT_EQ(names(), (std::set<std::string>{"20260101-000000-a.vhr", "20260102-000000-c.vhr", "20260103-000000-d.vhr"}));
  prune_replays(folder().c_str(), 99);
  EXPECT_EQ(names(), (std::set<std::string>{"20260101-000000-a.vhr", "20260103-000000-d.vhr"}));
}

}  // namespace
}  // namespace vurkhold
