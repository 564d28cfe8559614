// settings: the menu's choices kept at a match start and read back, each kind of bad file
// with its one line, a write that fails, and where the file is for the runs that touch it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "control/control.h"
#include "match/match.h"
#include "net/net.h"
#include "shell/shell.h"
#include "support/run_game.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

// The game folder's content, loaded once: real weapon names, real levels, a match that starts.
class Settings : public test::GameFolderSuite {
 protected:
  test::KeepGlobals keep_{SHOW_FPS, AMBIENT,      CANTLE_LIGHT_RANGE, MAX_LIVES, FRAG_LIMIT, camera_mode,
                          KILL_CAM, level_to_use, vurk,               settings_file, player_name,
                          MASTER_VOLUME, EFFECTS_VOLUME, bindings, look_settings};
  test::TempDir dir_;
};

// Every kept choice as text, to compare whole; a slot's weapon by number and by pointer.
std::string choices() {
  char text[1024];
  int n = std::snprintf(text, sizeof text, "%d %a %d %d %d %d %d %s [%s]", SHOW_FPS, static_cast<double>(AMBIENT),
                        CANTLE_LIGHT_RANGE, MAX_LIVES, FRAG_LIMIT, camera_mode, KILL_CAM, level_to_use, player_name);
  const LOOK_SETTINGS& look = look_settings;
  n += std::snprintf(text + n, sizeof text - n, " volumes %d %d look %d %d %d %d %d keys", MASTER_VOLUME,
                     EFFECTS_VOLUME, look.mouse_sensitivity, look.invert_mouse, look.invert_pad[0], look.invert_pad[1],
                     look.pad_look_speed);
  for (const PLAYER_BINDINGS& b : bindings)
    for (int16_t key : b.key) n += std::snprintf(text + n, sizeof text - n, " %d", key);
  for (const VURK_& v : vurk) {
    n += std::snprintf(text + n, sizeof text - n, " | %d %d %d", v.type, v.team, v.item);
    for (const WEAPON& w : v.weapons)
      n += std::snprintf(text + n, sizeof text - n, " %d %td", w.num, w.type - weapon_type);
  }
  return text;
}

// Every choice away from its start value, the ranges at their ends (AMBIENT where the menu
// leaves it stepping down, just below 0), all controllers and items: the match start the
// menu calls keeps them in a folder it makes, and the file gives them all back. A second write
// in place of a symlink fails and leaves the file it points at as it was.
TEST_F(Settings, EveryChoiceIsKeptWhenAMatchStartsAndReadBack) {
  SHOW_FPS = 0, CANTLE_LIGHT_RANGE = 50, MAX_LIVES = 1000, FRAG_LIMIT = 1, camera_mode = CM_THIRD_PERSON;
  KILL_CAM = 0;
  std::snprintf(player_name, sizeof player_name, "Z#D_9 X:[@]-.^?");
  while (AMBIENT > 0.0f) AMBIENT -= 0.01f;
  std::snprintf(level_to_use, sizeof level_to_use, "LEVELS\\MAZE.VHL");
  const VURK_TYPE types[4] = {MLT_HUMAN, MLT_OFF, MLT_COMPUTER, MLT_INACTIVE};
  for (int i = 0; i < MAX_VURKS; i++) {
    vurk[i].type = types[i], vurk[i].team = static_cast<int8_t>(3 - i);
    vurk[i].item = types[i] == MLT_COMPUTER ? MI_JETPACK : MI_NINJAROPE;
    for (int s = 0, n = 4 * i + 1; s < WEAPON_SLOTS; s++, n = (n + 1) % weapons)
      vurk[i].weapons[s].type = &weapon_type[vurk[i].weapons[s].num = n];
  }
  // Both volumes at an end, the look away from its defaults (the two pads apart), and keys
  // with names of several words, a mouse button and a key taken from the other player.
  MASTER_VOLUME = 0, EFFECTS_VOLUME = 70;
  look_settings = {MAX_MOUSE_SENSITIVITY, 1, {1, 0}, MIN_PAD_LOOK_SPEED};
  ASSERT_EQ(bind_key(1, ACT_FIRE, SC_RSHIFT), BIND_DONE);
  for (const auto& [player, action, key] : {std::tuple{0, ACT_FORWARD, sc_letter('Q')}, {0, ACT_SLOT_1, SC_SPACE},
                                           {0, ACT_DIG, platform::key_position_for_name("Keypad Enter")},
                                           {1, ACT_TURN_RIGHT, platform::key_position_for_name("[")}})
    ASSERT_EQ(bind_key(player, action, key), BIND_DONE) << key;
  ASSERT_EQ(bind_key(0, ACT_JUMP, BIND_MOUSE_LEFT), BIND_SWAPPED);
  const std::string chosen = choices();
  std::snprintf(settings_file, sizeof settings_file, "%s/new/vurkhold/settings.cfg", dir_.path().c_str());
  EXPECT_EQ(start_match_keeping_settings(), 1);
  const std::string written = test::read_file(settings_file);
  for (const char* line : {"\nplayer1.dig Keypad Enter\n", "\nplayer1.weapon1 Space\n", "\nplayer1.jump Left Button\n",
                           "\nplayer1.fire Right Button\n", "\nplayer2.fire Right Shift\n", "\nplayer2.turn-right [\n",
                           "\nmaster-volume 0\n", "\ninvert-pad1 yes\ninvert-pad2 no\n"})
    EXPECT_NE(written.find(line), std::string::npos) << line;
  default_controls();
  MASTER_VOLUME = EFFECTS_VOLUME = 100;

  SHOW_FPS = 1, AMBIENT = 0.5f, CANTLE_LIGHT_RANGE = 36, MAX_LIVES = 100, FRAG_LIMIT = 50;
  camera_mode = CM_FIRST_PERSON, KILL_CAM = 1, level_to_use[0] = '\0', player_name[0] = '\0';
  std::memset(vurk, 0x7f, sizeof vurk);
  char message[2048];
  EXPECT_EQ(read_settings(settings_file, message, sizeof message), 1) << message;
  EXPECT_LT(AMBIENT, 0.0f);
  EXPECT_EQ(choices(), chosen);

  const std::string kept = test::read_file(settings_file);
  std::filesystem::rename(settings_file, dir_.file("old.cfg"));
  std::filesystem::create_symlink(dir_.file("old.cfg"), settings_file);
  EXPECT_EQ(save_settings(settings_file, message, sizeof message), 0);
  EXPECT_EQ(message, "can't write '" + std::string(settings_file) + "': not a regular file");
  EXPECT_EQ(test::read_file(dir_.file("old.cfg")), kept);
  const std::string below_a_file = dir_.path() + "/old.cfg/sub";
  EXPECT_EQ(save_settings((below_a_file + "/settings.cfg").c_str(), message, sizeof message), 0);
  EXPECT_EQ(message, "can't make the folder '" + below_a_file + "': Not a directory");
}

// A hand-written file, and each way it goes bad: a bad line keeps only its own key as it
// was (a slot's weapon: the draw); a bad first line, a newer version or a file that is no
// file keeps them all. One message names the file and the first bad line. Every value at
// the end of its range is taken, and every one just past it is not: each counts.
TEST_F(Settings, EachBadFileGivesOneLineAndTheDefaults) {
  const std::string good = "vurkhold-settings 1\n# by hand\n\n  frag-limit 7  \nlives 9\nvurk2.weapon3 LASER\n"
                           "vurk3.type inactive\n";
  auto with = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    return text.replace(text.find(from), from.size(), to);
  };
  // Levels whose absolute paths are one short of the limit and at it.
  const std::string level = dir_.file("levels/" + std::string(250, 'v')), fits = level.substr(0, 259),
                    too_long = level.substr(0, 260);
  test::write_file(fits, "level"), test::write_file(too_long, "level");
  const std::string ends = "candle-light-range 5\ncandle-light-range 50\nlives 1\nfrag-limit 1000\nambient -0.01\n"
                           "ambient 1.01\nvurk1.type computer\nvurk1.type human\nvurk2.type human\nvurk3.type computer\n"
                           "vurk4.type off\nvurk1.team 1\nvurk4.team 4\nvurk1.weapon4 LASER\nvurk1.item jetpack\n"
                           "camera third-person\nshow-fps yes\nkillcam no\nlevel LEVELS\\MAZE.VHL\nlevel " + fits + "\n";
  const std::string past = "candle-light-range 4\ncandle-light-range 51\nlives 0\nlives -1\nfrag-limit 0\n"
                           "frag-limit 1001\nlives 10000000000\nambient -0.02\nambient 1.02\nambient nan\nambient 0.5x\n"
                           "ambient\nvurk1.type inactive\nvurk1.type off\nvurk4.type human\nvurk2.type robot\n"
                           "vurk1.team 0\nvurk1.team 5\nvurk1.weapon5 LASER\nvurk1.weapon12 LASER\nvurk5.type off\n"
                           "vurk1type human\nvurk1.item rope\ncamera behind\nshow-fps 1\nlevel levels\n"
                           "level nowhere.vhl\nlevel " + too_long + "\n";
  const struct {
    std::string file;  // "/": a folder
    std::string message, state;  // frag-limit, lives, vurk 2's weapon 3 (8 LASER, 1 SHOTGUN) and item
  } rows[] = {
      {good, "", "7 9 8 1"},
      {with("lives 9", "lives abc"), ":5: bad value \"abc\" for lives; using the default", "7 100 8 1"},
      {with("lives 9", "lives " + std::string(400, '9')), ":5: the line is too long; ignored", "7 100 8 1"},
      {good + "vurk2.item ninja-rope\n", "", "7 9 8 1"},  // a computer player has the jetpack
      {good + "speed 3\n", ":8: unknown setting \"speed\"; ignored", "7 9 8 1"},
      {good + "killcam on\n", ":8: bad value \"on\" for killcam; using the default", "7 9 8 1"},
      {with("LASER", "RAILGUN"), ":6: no weapon \"RAILGUN\" for vurk2.weapon3; using the default", "7 9 1 1"},
      {good.substr(0, good.find("SER")), ":6: no weapon \"LA\" for vurk2.weapon3; using the default", "7 9 1 1"},
      {with("inactive", "human"), ":7: bad value \"human\" for vurk3.type; using the default", "7 9 8 1"},
      {with("lives 9", "lives 1001") + "x\n", ":5: bad value \"1001\" for lives; using the default (and 1 more)",
       "7 100 8 1"},
      {with("settings 1", "settings 2"), ":1: version 2 is newer than this game's 1; using the defaults", "50 100 1 1"},
      {"", ":1: not a settings file; using the defaults", "50 100 1 1"},
      {"/", ": not a regular file; using the defaults", "50 100 1 1"},
      {"-", "", "50 100 1 1"},  // none: the first run
      {with("settings 1", "settings 0"), ":1: not a settings file; using the defaults", "50 100 1 1"},
      {with("settings 1", "settings 1x"), ":1: not a settings file; using the defaults", "50 100 1 1"},
      {good + ends, "", "1000 1 8 1"},
      {good + past, ":8: bad value \"4\" for candle-light-range; using the default (and 27 more)", "7 9 8 1"},
  };
  ASSERT_STREQ(weapon_type[8].name, "LASER");
  const std::string path = dir_.path() + "/settings.cfg";
  for (const auto& row : rows) {
    std::filesystem::remove_all(path);
    if (row.file == "/") std::filesystem::create_directory(path);
    if (row.file != "/" && row.file != "-") test::write_file(path, row.file);
    FRAG_LIMIT = 50, MAX_LIVES = 100, vurk[1].weapons[2].num = 1, vurk[1].type = MLT_COMPUTER;
    char message[2048];
    EXPECT_EQ(read_settings(path.c_str(), message, sizeof message), row.message.empty()) << row.file;
    EXPECT_EQ(message, row.message.empty() ? "" : path + row.message);
    const int slot = vurk[1].weapons[2].num;
    EXPECT_EQ(std::to_string(FRAG_LIMIT) + " " + std::to_string(MAX_LIVES) + " " + std::to_string(slot) + " " +
                  std::to_string(vurk[1].item),
              row.state);
  }
}

// The volumes, look and keys: a bad value keeps its default and is named as any other; a
// key two actions share, as a hand may write it, brings back all the default keys.
TEST_F(Settings, BadVolumesLookAndKeysAreNamedAndKeepTheirDefaults) {
  const std::string head = "vurkhold-settings 1\n";
  const int I = sc_letter('I');
  const struct {
    std::string lines, message;
    int forward2, fire2, sensitivity, master;  // player 2's forward and fire, the sensitivity, the master volume
  } rows[] = {
      {"player2.forward i\nmouse-sensitivity 10\nmaster-volume 0\n", "", I, SC_SPACE, 10, 0},
      {"player2.forward Keypad 9\nplayer2.fire W\nplayer2.forward Space\n", "", SC_SPACE, sc_letter('W'), 100, 100},
      {"player2.forward F1\n", ":2: bad value \"F1\" for player2.forward; using the default", sc_letter('W'),
       SC_SPACE, 100, 100},
      {"player2.forward Escape\n", ":2: bad value \"Escape\" for player2.forward; using the default", sc_letter('W'),
       SC_SPACE, 100, 100},
      {"player2.forward nokey\n", ":2: bad value \"nokey\" for player2.forward; using the default", sc_letter('W'),
       SC_SPACE, 100, 100},
      {"player1.look-up U\n", ":2: unknown setting \"player1.look-up\"; ignored", sc_letter('W'), SC_SPACE, 100, 100},
      {"player3.fire U\n", ":2: unknown setting \"player3.fire\"; ignored", sc_letter('W'), SC_SPACE, 100, 100},
      {"player2.fire i\nplayer2.forward I\nmaster-volume 30\n",
       ": the key \"I\" is bound twice; using the default keys", sc_letter('W'), SC_SPACE, 100, 30},
      {"player2.fire Up\n", ": the key \"Up\" is bound twice; using the default keys", sc_letter('W'), SC_SPACE, 100,
       100},
      {"mouse-sensitivity 9\n", ":2: bad value \"9\" for mouse-sensitivity; using the default", sc_letter('W'),
       SC_SPACE, 100, 100},
      {"mouse-sensitivity 401\nmaster-volume 101\n",
       ":2: bad value \"401\" for mouse-sensitivity; using the default (and 1 more)", sc_letter('W'), SC_SPACE, 100,
       100},
      {"pad-look-speed 49\n", ":2: bad value \"49\" for pad-look-speed; using the default", sc_letter('W'), SC_SPACE,
       100, 100},
      {"invert-mouse 1\n", ":2: bad value \"1\" for invert-mouse; using the default", sc_letter('W'), SC_SPACE, 100,
       100},
      {"invert-pad3 yes\n", ":2: unknown setting \"invert-pad3\"; ignored", sc_letter('W'), SC_SPACE, 100, 100},
      {"effects-volume -1\n", ":2: bad value \"-1\" for effects-volume; using the default", sc_letter('W'), SC_SPACE,
       100, 100},
  };
  const std::string path = dir_.file("settings.cfg");
  for (const auto& row : rows) {
    test::write_file(path, head + row.lines);
    default_controls();
    MASTER_VOLUME = EFFECTS_VOLUME = 100;
    char message[2048];
    EXPECT_EQ(read_settings(path.c_str(), message, sizeof message), row.message.empty()) << row.lines;
    EXPECT_EQ(message, row.message.empty() ? "" : path + row.message);
    EXPECT_EQ(std::tuple(int{bindings[1].key[ACT_FORWARD]}, int{bindings[1].key[ACT_FIRE]},
                         look_settings.mouse_sensitivity, MASTER_VOLUME),
              std::tuple(row.forward2, row.fire2, row.sensitivity, row.master))
        << row.lines;
  }
  // A file from before keys could be bound gives today's keys and look; so does --reset-settings.
  const char* const xdg = std::getenv("XDG_CONFIG_HOME");
  const std::string kept_xdg = xdg ? xdg : "";
  setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
  for (const bool reset : {false, true}) {
    test::write_file(dir_.file("vurkhold/settings.cfg"),
                     head + (reset ? "player2.forward I\ninvert-mouse yes\n" : "lives 9\n"));
    ASSERT_EQ(bind_key(1, ACT_FORWARD, I), BIND_DONE);
    look_settings.invert_mouse = 1;
    OPTIONS options{};
    options.reset_settings = reset;
    begin_settings(&options);
    EXPECT_EQ(std::tuple(int{bindings[1].key[ACT_FORWARD]}, look_settings.invert_mouse), std::tuple(sc_letter('W'), 0))
        << reset;
  }
  xdg ? setenv("XDG_CONFIG_HOME", kept_xdg.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
}

// A name is 1 to 15 of the characters the font has, blanks inside it too; any other keeps
// the name there was. --reset-settings gives the login name, as a first run does.
TEST_F(Settings, TheNameIsOneToFifteenOfTheFontsCharactersAndResetGivesTheLoginName) {
  const struct {
    std::string value, name;  // name: "" when refused
  } rows[] = {
      {"ZED", "ZED"},
      {"  BIG JOE  ", "BIG JOE"},
      {"!\"#$%&'()*+,-./", "!\"#$%&'()*+,-./"},
      {"0123456789:;<=>", "0123456789:;<=>"},
      {"?@AZ[\\]^_", "?@AZ[\\]^_"},
      {"ABCDEFGHIJKLMNOP", ""},
      {"zed", ""},
      {"ZE`D", ""},
      {"Z{D", ""},
      {"Z\x7f", ""},
      {"Z\tD", ""},
      {"J\xc3\x96RG", ""},
      {"", ""},
  };
  const std::string path = dir_.file("settings.cfg");
  for (const auto& row : rows) {
    test::write_file(path, "vurkhold-settings 1\nname " + row.value + "\n");
    std::snprintf(player_name, sizeof player_name, "BEFORE");
    char message[2048];
    EXPECT_EQ(read_settings(path.c_str(), message, sizeof message), !row.name.empty()) << row.value;
    EXPECT_EQ(player_name, row.name.empty() ? "BEFORE" : row.name);
    const std::string trimmed = row.value.substr(0, row.value.find_last_not_of(' ') + 1);
    EXPECT_EQ(message, row.name.empty() ? path + ":2: bad value \"" + trimmed + "\" for name; using the default" : "");
  }

  char login[PLAYER_NAME_SIZE];
  default_player_name(login, sizeof login);
  ASSERT_GT(std::strlen(login), 0u);
  const char* const xdg = std::getenv("XDG_CONFIG_HOME");
  const std::string kept_xdg = xdg ? xdg : "";
  setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
  test::write_file(dir_.file("vurkhold/settings.cfg"), "vurkhold-settings 1\nname ZED\n");
  for (const bool reset : {false, true}) {
    OPTIONS options{};
    options.reset_settings = reset;
    std::snprintf(player_name, sizeof player_name, "BEFORE");
    begin_settings(&options);
    EXPECT_EQ(player_name, std::string(reset ? login : "ZED")) << reset;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.file("vurkhold/settings.cfg")));
  xdg ? setenv("XDG_CONFIG_HOME", kept_xdg.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
}

// A headless run plays from its command line alone: it leaves the saved lives and the file
// be. --reset-settings removes the file, which an absolute XDG_CONFIG_HOME places, or else
// HOME, as for the screenshots (an entry without '=' unsets the variable).
TEST(SettingsRun, HeadlessKeepsNothingAndResetRemovesTheFileWhereverItIs) {
  test::TempDir home;
  const std::string xdg = "XDG_CONFIG_HOME=" + home.path() + "/x", in_xdg = home.file("x/vurkhold/settings.cfg"),
                    in_home = home.file(".config/vurkhold/settings.cfg");
  const struct {
    std::string xdg, file;
    bool reset;
  } rows[] = {{xdg, in_xdg, false},
              {xdg, in_xdg, true},
              {"XDG_CONFIG_HOME", in_home, true},
              {"XDG_CONFIG_HOME=", in_home, true},
              {"XDG_CONFIG_HOME=x", in_home, true}};
  for (const auto& row : rows) {
    test::write_file(row.file, "vurkhold-settings 1\nlives 3\n");
    std::vector<std::string> args = {"--headless", "--frames", "1", "--data", VURK_GAME_DIR};
    if (row.reset) args.push_back("--reset-settings");
    const test::GameRun run = test::run_game(args, {row.xdg, "HOME=" + home.path()}, 60);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("human frags 0 lives 100 "), std::string::npos) << run.out;
    EXPECT_EQ(std::filesystem::exists(row.file), !row.reset) << row.xdg;
  }
}

}  // namespace
}  // namespace vurkhold
