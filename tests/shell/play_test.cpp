// the whole game end to end: the real executable under the test display, driven by an input
// script and judged from its screenshots by region; and how it starts and ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/picture.h"
#include "support/run_game.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

const std::vector<std::string> quiet = {"SDL_AUDIODRIVER=dummy", "VURKHOLD_NO_DIALOGS=1"};

struct Played {
  test::GameRun run;
  test::Picture end;  // the --screenshot of the last frame
};

// Runs the game at 16 ms a frame with `script`; F12 screenshots land in the temporary
// folder's "vurkhold/screenshots/".
Played play(const test::TempDir& dir, const std::string& script, long frames) {
  test::write_file(dir.file("script.txt"), script);
  Played p;
  std::vector<std::string> env = quiet;
  env.push_back("XDG_DATA_HOME=" + dir.path());
  p.run = test::run_game({"--windowed", "--no-sound", "--no-vsync", "--seed", "5", "--frame-ms", "16", "--frames",
                          std::to_string(frames), "--input", dir.file("script.txt"), "--screenshot",
                          dir.file("end.png"), "--data", VURK_GAME_DIR},
                         env, 300);
  EXPECT_TRUE(test::read_picture(dir.file("end.png"), &p.end)) << p.run.err;
  return p;
}

// The menu (saved by F12), START GAME and down to OK on the set-up page, into a match: a
// lit cave, the red life bar under it on the left and the radar in the bottom right
// (saved again); Escape back to the menu, down to EXIT and out with 0 long before the
// frame limit, having said nothing but where the screenshots went.
TEST(Play, FromTheMenuThroughAMatchAndBackToExit) {
  test::TempDir dir;
  std::string script = "3 press F12\n5 press Return\n";
  for (int i = 1; i <= 8; i++) script += std::to_string(5 + 2 * i) + " press Down\n";
  script += "25 press Return\n32 press F12\n40 press Escape\n";
  for (int i = 1; i <= 4; i++) script += std::to_string(40 + 2 * i) + " press Down\n";
  Played p = play(dir, script + "52 press Return\n", 100000);
  EXPECT_EQ(p.run.exit_code, 0) << p.run.err;
  EXPECT_EQ(std::count(p.run.err.begin(), p.run.err.end(), '\n'), 2) << p.run.err;
  test::Picture menu, match;
  const std::string shots = dir.path() + "/vurkhold/screenshots/vurkhold-000";
  ASSERT_TRUE(test::read_picture(shots + "1.png", &menu) && test::read_picture(shots + "2.png", &match)) << p.run.err;
  for (const test::Picture* m : {&menu, &p.end})
    EXPECT_GT(test::share(*m, 170, 390, 470, 460, test::is_lit), 0.3) << "title";
  EXPECT_GT(test::share(menu, 160, 285, 185, 315, test::is_red), 0.05) << "cursor on START GAME";
  EXPECT_GT(test::share(match, 0, 160, 640, 480, test::is_lit), 0.3) << "cave";
  EXPECT_GT(test::share(match, 12, 28, 250, 37, test::is_red), 0.5) << "life bar";
  EXPECT_GT(test::share(match, 460, 10, 620, 140, test::is_lit), 0.05) << "radar";
  EXPECT_GT(test::share(p.end, 190, 145, 290, 175, test::is_white), 0.1) << "EXIT";
  EXPECT_GT(test::share(p.end, 160, 145, 185, 175, test::is_red), 0.05) << "cursor on EXIT";
  EXPECT_LT(test::share(p.end, 160, 285, 185, 315, test::is_red), 0.01) << "no cursor on START GAME";
}

// Without a working sound device the start stops with the sound message, and --no-sound
// starts silent all the same; closing the window (SDL turns SIGTERM into the same quit
// event) ends the game with 0.
TEST(Play, StartsWithoutASoundDeviceOnlySilentAndEndsWhenClosed) {
  const std::vector<std::string> no_device = {"SDL_AUDIODRIVER=no-such-driver", "VURKHOLD_NO_DIALOGS=1"};
  test::GameRun run = test::run_game({"--windowed", "--frames", "5", "--data", VURK_GAME_DIR}, no_device, 120);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "ERROR: Can't initalize sound card.\n");
  run = test::run_game({"--windowed", "--no-sound", "--frames", "5", "--data", VURK_GAME_DIR}, no_device, 120);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  run = test::run_game({"--windowed", "--data", VURK_GAME_DIR}, quiet, 120, true);
  EXPECT_EQ(run.exit_code, 0) << run.err;
}

}  // namespace
}  // namespace vurkhold
