// the whole game end to end: the real executable under the test display, driven by an input
// script and judged from its PNG screenshots by region; and how it starts and ends.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_game.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

const std::vector<std::string> quiet = {"SDL_AUDIODRIVER=dummy", "VURKHOLD_NO_DIALOGS=1"};

// A screenshot as RGB rows from the top down, as the file holds them; empty unless it is a
// PNG of the game's 640 x 480 screen.
using Picture = std::vector<uint8_t>;
Picture read_picture(const std::string& path) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  Picture rgb;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return rgb;
  png.format = PNG_FORMAT_RGB;
  rgb.resize(PNG_IMAGE_SIZE(png));
  if (png.width != 640 || png.height != 480 || !png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr))
    rgb.clear();
  return rgb;
}

bool is_lit(const uint8_t* c) { return c[0] + c[1] + c[2] > 45; }
bool is_red(const uint8_t* c) { return c[0] > 150 && c[1] < 90 && c[2] < 90; }

// The share (0..1) of the pixels for which `test` holds in x0 <= x < x1, y0 <= y < y1 of
// the screen (origin bottom left).
double share(const Picture& picture, int x0, int y0, int x1, int y1, bool (*test)(const uint8_t* rgb)) {
  int hits = 0;
  for (int y = y0; y < y1; y++)
    for (int x = x0; x < x1; x++) hits += test(&picture[((479 - y) * 640 + x) * 3]) ? 1 : 0;
  return static_cast<double>(hits) / ((x1 - x0) * (y1 - y0));
}

// The menu (saved by F12, into the temporary folder's "vurkhold/screenshots/", past a
// dangling symlink that holds the first name and is never followed), START GAME
// and down to OK on the set-up page, into a match: a lit cave, the red life bar under it on
// the left and the radar in the bottom right (saved again); Escape back to the menu, down to
// EXIT and out with 0 long before the frame limit, having said nothing but where the
// screenshots went. The --screenshot of the last frame shows the menu again.
TEST(Play, FromTheMenuThroughAMatchAndBackToExit) {
  test::TempDir dir;
  std::string script = "3 press F12\n5 press Return\n";
  for (int i = 1; i <= 8; i++) script += std::to_string(5 + 2 * i) + " press Down\n";
  script += "25 press Return\n32 press F12\n40 press Escape\n";
  for (int i = 1; i <= 5; i++) script += std::to_string(40 + 2 * i) + " press Down\n";
  test::write_file(dir.file("script.txt"), script + "52 press Return\n");
  std::vector<std::string> env = quiet;
  env.push_back("XDG_DATA_HOME=" + dir.path());
  std::filesystem::create_directories(dir.path() + "/vurkhold/screenshots");
  std::filesystem::create_symlink(dir.file("outside.png"), dir.path() + "/vurkhold/screenshots/vurkhold-0001.png");
  const test::GameRun run = test::run_game({"--windowed", "--no-sound", "--no-vsync", "--seed", "5", "--frame-ms",
                                            "16", "--frames", "100000", "--input", dir.file("script.txt"),
                                            "--screenshot", dir.file("end.png"), "--data", VURK_GAME_DIR},
                                           env, 300);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
  const std::string shots = dir.path() + "/vurkhold/screenshots/vurkhold-000";
  EXPECT_FALSE(std::filesystem::exists(dir.file("outside.png")));
  const Picture menu = read_picture(shots + "2.png"), match = read_picture(shots + "3.png"),
                end = read_picture(dir.file("end.png"));
  ASSERT_TRUE(!menu.empty() && !match.empty() && !end.empty()) << run.err;
  for (const Picture* m : {&menu, &end})
    EXPECT_GT(share(*m, 170, 390, 470, 460, is_lit), 0.3) << "title";
  EXPECT_GT(share(menu, 160, 285, 185, 315, is_red), 0.05) << "cursor on START GAME";
  EXPECT_GT(share(match, 0, 160, 640, 480, is_lit), 0.3) << "cave";
  EXPECT_GT(share(match, 12, 28, 250, 37, is_red), 0.2) << "life bar under the outlined status line";
  EXPECT_GT(share(match, 460, 10, 620, 140, is_lit), 0.05) << "radar";
  EXPECT_GT(share(end, 190, 110, 290, 140, is_lit), 0.1) << "EXIT";
  EXPECT_GT(share(end, 160, 110, 185, 140, is_red), 0.05) << "cursor on EXIT";
}

// Without a working sound device the start stops with the sound message, and --no-sound
// starts silent all the same; closing the window (SDL turns SIGTERM into the same quit
// event) ends the game with 0 and keeps the menu's choices: the saved ones read at the
// start, the command line's over them. A level file that can't be read stops the start too.
TEST(Play, StartsWithoutASoundDeviceOnlySilentAndEndsWhenClosed) {
  const std::vector<std::string> no_device = {"SDL_AUDIODRIVER=no-such-driver", "VURKHOLD_NO_DIALOGS=1"};
  test::GameRun run = test::run_game({"--windowed", "--frames", "5", "--data", VURK_GAME_DIR}, no_device, 120);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "ERROR: Can't initalize sound card.\n");
  run = test::run_game({"--windowed", "--no-sound", "--frames", "5", "--data", VURK_GAME_DIR}, no_device, 120);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  test::TempDir config;
  const std::string settings = config.file("vurkhold/settings.cfg");
  const std::string bad_level = config.file("bad.vhl");
  test::write_file(bad_level, "not a level");
  test::write_file(settings, "vurkhold-settings 1\nlives 7\nfrag-limit 8\nspeed 3\nlevel " + bad_level + "\n");
  std::vector<std::string> env = quiet;
  env.push_back("XDG_CONFIG_HOME=" + config.path());
  run = test::run_game({"--windowed", "--lives", "9", "--data", VURK_GAME_DIR}, env, 120, true);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "settings: " + settings + ":4: unknown setting \"speed\"; ignored\nERROR: File " + bad_level +
                         " is wrong version (0.00).\nsettings: the saved level " + bad_level +
                         " can't be read; playing LEVELS\\TEST1.VHL\n");
  const std::string kept = test::read_file(settings);
  EXPECT_NE(kept.find("\nlives 9\nfrag-limit 8\n"), std::string::npos) << kept;
  EXPECT_NE(kept.find("\nlevel LEVELS\\TEST1.VHL\n"), std::string::npos) << kept;
  run = test::run_game(
      {"--windowed", "--no-sound", "--frames", "5", "--level", "levels/none.vhl", "--data", VURK_GAME_DIR}, quiet, 120);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "ERROR: Can't open file levels/none.vhl.\n");
}

// Closed by a quit event between frames, the game still leaves the last frame (the menu), not
// a black picture. A --screenshot that can't be written ends with 1 and the reason, and
// the file the symlink points at is left as it was.
TEST(Play, EndScreenshotAfterTheWindowClosesAndWhenItCannotBeWritten) {
  test::TempDir dir;
  test::write_file(dir.file("script.txt"), "5 quit\n");
  test::write_file(dir.file("old.png"), "old");
  std::filesystem::create_symlink(dir.file("old.png"), dir.file("link.png"));
  auto play = [&](const std::string& shot) {
    return test::run_game({"--windowed", "--no-sound", "--frames", "100000", "--input", dir.file("script.txt"),
                           "--screenshot", dir.file(shot), "--data", VURK_GAME_DIR},
                          quiet, 120);
  };
  test::GameRun run = play("end.png");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  const Picture end = read_picture(dir.file("end.png"));
  ASSERT_FALSE(end.empty()) << run.err;
  EXPECT_GT(share(end, 170, 390, 470, 460, is_lit), 0.3) << "title";
  run = play("link.png");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "vurkhold: can't write '" + dir.file("link.png") + "': not a regular file\n");
  EXPECT_EQ(test::read_file(dir.file("old.png")), "old");
}

}  // namespace
}  // namespace vurkhold
