// settings: the menu's choices written at a match start and read back, every kind of bad
// file with its one line, where the file goes, a write that fails, and the runs that keep
// nothing or start afresh.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "match/match.h"
#include "menu/menu.h"
#include "shell/shell.h"
#include "support/run_game.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

// The whole game folder loaded once (textures as fake ids): real weapon names, real levels
// and a match that can start.
class Settings : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    textures_ = new test::FakeTextures;
    cwd_ = new test::KeepWorkingDir;
    no_sound = 1;
    ASSERT_EQ(chdir(VURK_GAME_DIR), 0);
    ASSERT_EQ(initialize(), 1);
  }
  static void TearDownTestSuite() {
    clean_up();
    no_sound = 0;
    delete cwd_;
    delete textures_;
  }
  static int weapon(const char* name) {
    for (int i = 0; i < weapons; i++)
      if (std::strcmp(weapon_type[i].name, name) == 0) return i;
    return -1;
  }
  static test::FakeTextures* textures_;
  static test::KeepWorkingDir* cwd_;
  test::KeepGlobals keep_{SHOW_FPS,   AMBIENT,     CANTLE_LIGHT_RANGE, MAX_LIVES,     FRAG_LIMIT,      camera_mode,
                          level_to_use, vurk,      settings_file,      menu_page,     menu_selection, match_init,
                          logic_func, render_func, one_player_pair,    two_player_pair};
  test::TempDir dir_;
};
test::FakeTextures* Settings::textures_ = nullptr;
test::KeepWorkingDir* Settings::cwd_ = nullptr;

// Every choice away from its start value, each range at an end (AMBIENT stepped down past
// 0 as the menu leaves it), all four controllers and items: START GAME writes them into a
// folder it makes, the match still starts, and the file gives them all back.
TEST_F(Settings, EveryChoiceIsKeptWhenAMatchStartsAndReadBack) {
  SHOW_FPS = 0;
  while (AMBIENT > 0.0f) AMBIENT -= 0.01f;
  CANTLE_LIGHT_RANGE = 50, MAX_LIVES = 1000, FRAG_LIMIT = 1, camera_mode = CM_THIRD_PERSON;
  std::snprintf(level_to_use, sizeof level_to_use, "LEVELS\\MAZE.VHL");
  const VURK_TYPE types[4] = {MLT_HUMAN, MLT_OFF, MLT_COMPUTER, MLT_INACTIVE};
  for (int i = 0; i < MAX_VURKS; i++) {
    vurk[i].type = types[i], vurk[i].team = static_cast<int8_t>(3 - i);
    vurk[i].item = types[i] == MLT_COMPUTER ? MI_JETPACK : MI_NINJAROPE;
    for (int s = 0; s < WEAPON_SLOTS; s++) {
      vurk[i].weapons[s].num = (4 * i + s + 1) % weapons;
      vurk[i].weapons[s].type = &weapon_type[vurk[i].weapons[s].num];
    }
  }
  const float ambient = AMBIENT;
  VURK_ chosen[MAX_VURKS];
  std::memcpy(chosen, vurk, sizeof vurk);
  std::snprintf(settings_file, sizeof settings_file, "%s/new/vurkhold/settings.cfg", dir_.path().c_str());
  match_init = start_match_keeping_settings;
  one_player_pair = two_player_pair = {game_logic, nullptr};
  logic_func = nullptr;
  menu_page = 1, menu_selection = 8, keys[VK_RETURN] = 1;
  menu_logic(0);
  EXPECT_EQ(logic_func, game_logic);

  SHOW_FPS = 1, AMBIENT = 0.5f, CANTLE_LIGHT_RANGE = 36, MAX_LIVES = 100, FRAG_LIMIT = 50;
  camera_mode = CM_FIRST_PERSON;
  std::snprintf(level_to_use, sizeof level_to_use, "LEVELS\\TEST1.VHL");
  for (VURK_& v : vurk) {
    v.type = MLT_INACTIVE, v.team = 0, v.item = MI_JETPACK;
    for (WEAPON& w : v.weapons) w.num = 0, w.type = &weapon_type[0];
  }
  char message[2048];
  EXPECT_EQ(read_settings(settings_file, message, sizeof message), 1);
  EXPECT_STREQ(message, "");
  EXPECT_EQ(SHOW_FPS, 0);
  EXPECT_EQ(AMBIENT, ambient);
  EXPECT_LT(AMBIENT, 0.0f);
  EXPECT_EQ(CANTLE_LIGHT_RANGE, 50);
  EXPECT_EQ(MAX_LIVES, 1000);
  EXPECT_EQ(FRAG_LIMIT, 1);
  EXPECT_EQ(camera_mode, CM_THIRD_PERSON);
  EXPECT_STREQ(level_to_use, "LEVELS\\MAZE.VHL");
  for (int i = 0; i < MAX_VURKS; i++) {
    EXPECT_EQ(vurk[i].type, chosen[i].type) << i;
    EXPECT_EQ(vurk[i].team, chosen[i].team) << i;
    EXPECT_EQ(vurk[i].item, chosen[i].item) << i;
    for (int s = 0; s < WEAPON_SLOTS; s++) {
      EXPECT_EQ(vurk[i].weapons[s].num, chosen[i].weapons[s].num) << i << s;
      EXPECT_EQ(vurk[i].weapons[s].type, chosen[i].weapons[s].type) << i << s;
    }
  }
}

// A hand-written file, and each way it goes bad: a bad line keeps only its own key at the
// value before (a slot's weapon: the draw), a bad first line, a newer version or a file that
// is no file keeps them all; one message names the file and the first bad line.
TEST_F(Settings, EachBadFileGivesOneLineAndTheDefaults) {
  const std::string good =
      "vurkhold-settings 1\n"
      "# written by hand\n"
      "\n"
      "  frag-limit 7  \n"
      "lives 9\n"
      "vurk2.weapon3 LASER\n"
      "vurk3.type inactive\n";
  auto with = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    return text.replace(text.find(from), from.size(), to);
  };
  const int laser = weapon("LASER"), draw = weapon("SHOTGUN");
  const struct {
    std::string file;  // "/" makes it a folder
    std::string message;
    int frag_limit, lives, slot;
  } rows[] = {
      {good, "", 7, 9, laser},
      {with("lives 9", "lives abc"), ":5: bad value \"abc\" for lives; using the default", 7, 100, laser},
      {with("lives 9", "lives 1001"), ":5: bad value \"1001\" for lives; using the default", 7, 100, laser},
      {with("lives 9", "lives " + std::string(400, '9')), ":5: the line is too long; ignored", 7, 100, laser},
      {good + "speed 3\n", ":8: unknown setting \"speed\"; ignored", 7, 9, laser},
      {with("LASER", "RAILGUN"), ":6: no weapon \"RAILGUN\" for vurk2.weapon3; using the default", 7, 9, draw},
      {good.substr(0, good.find("SER")), ":6: no weapon \"LA\" for vurk2.weapon3; using the default", 7, 9, draw},
      {with("inactive", "human"), ":7: bad value \"human\" for vurk3.type; using the default", 7, 9, laser},
      {with("lives 9", "lives -1") + "speed 3\n", ":5: bad value \"-1\" for lives; using the default (and 1 more)",
       7, 100, laser},
      {with("settings 1", "settings 2"), ":1: version 2 is newer than this game's 1; using the defaults", 50, 100,
       draw},
      {with("settings 1", "settings 1.0"), ":1: not a settings file; using the defaults", 50, 100, draw},
      {"", ":1: not a settings file; using the defaults", 50, 100, draw},
      {"/", ": not a regular file; using the defaults", 50, 100, draw},
  };
  const std::string path = dir_.path() + "/settings.cfg";
  for (const auto& row : rows) {
    std::filesystem::remove_all(path);
    if (row.file == "/") {
      std::filesystem::create_directory(path);
    } else {
      test::write_file(path, row.file);
    }
    FRAG_LIMIT = 50, MAX_LIVES = 100, vurk[1].weapons[2].num = draw;
    char message[2048];
    EXPECT_EQ(read_settings(path.c_str(), message, sizeof message), row.message.empty()) << row.file;
    EXPECT_EQ(message, row.message.empty() ? "" : path + row.message);
    EXPECT_EQ(FRAG_LIMIT, row.frag_limit) << row.file;
    EXPECT_EQ(MAX_LIVES, row.lives) << row.file;
    EXPECT_EQ(vurk[1].weapons[2].num, row.slot) << row.file;
  }
}

// Only an absolute XDG_CONFIG_HOME counts, as for the screenshots; without an absolute
// HOME either, nothing is kept.
TEST(SettingsPath, FollowsAnAbsoluteXdgConfigHomeOrElseHome) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  const std::string kept_xdg = xdg ? xdg : "", kept_home = home ? home : "";
  const struct {
    const char* xdg;  // null: unset
    const char* home;
    std::string path;  // "": none
  } rows[] = {
      {nullptr, "/h", "/h/.config/vurkhold/settings.cfg"},
      {"", "/h", "/h/.config/vurkhold/settings.cfg"},
      {"cfg", "/h", "/h/.config/vurkhold/settings.cfg"},
      {"/c", "/h", "/c/vurkhold/settings.cfg"},
      {nullptr, "h", ""},
  };
  for (const auto& row : rows) {
    row.xdg ? setenv("XDG_CONFIG_HOME", row.xdg, 1) : unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", row.home, 1);
    char path[SETTINGS_PATH_SIZE] = "";
    EXPECT_EQ(settings_path(path, sizeof path), !row.path.empty()) << row.path;
    EXPECT_EQ(path, row.path);
  }
  xdg ? setenv("XDG_CONFIG_HOME", kept_xdg.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
  home ? setenv("HOME", kept_home.c_str(), 1) : unsetenv("HOME");
}

// The file is replaced, never written through: in place of a symlink the write fails and
// the file it points at stays as it was.
TEST_F(Settings, AWriteThatFailsLeavesTheOldFile) {
  test::write_file(dir_.file("old.cfg"), "vurkhold-settings 1\nlives 9\n");
  const std::string path = dir_.path() + "/settings.cfg";
  std::filesystem::create_symlink(dir_.file("old.cfg"), path);
  char message[2048];
  EXPECT_EQ(save_settings(path.c_str(), message, sizeof message), 0);
  EXPECT_EQ(message, "can't write '" + path + "': not a regular file");
  EXPECT_EQ(test::read_file(dir_.file("old.cfg")), "vurkhold-settings 1\nlives 9\n");
}

// A headless run plays from its command line alone: the saved lives are not used and the
// file stays; with --reset-settings the file is gone.
TEST(SettingsRun, HeadlessKeepsNothingAndResetRemovesTheFile) {
  test::TempDir config;
  const std::string file = config.file("vurkhold/settings.cfg"), text = "vurkhold-settings 1\nlives 3\n";
  test::write_file(file, text);
  const std::vector<std::string> args = {"--headless", "--frames", "1", "--data", VURK_GAME_DIR};
  test::GameRun run = test::run_game(args, {"XDG_CONFIG_HOME=" + config.path()}, 60);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("human frags 0 lives 100 "), std::string::npos) << run.out;
  EXPECT_EQ(test::read_file(file), text);
  std::vector<std::string> reset = args;
  reset.push_back("--reset-settings");
  run = test::run_game(reset, {"XDG_CONFIG_HOME=" + config.path()}, 60);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace vurkhold
