// the whole game, played end to end: the real executable under the test display, driven by
// an input script, judged from its screenshots by region.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/picture.h"
#include "support/run_game.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

struct Played {
  test::GameRun run;
  test::Picture end;  // the --screenshot of the last frame
  std::string dir;
};

// Runs the game at 16 ms a frame with `script` and returns its end screenshot. F12
// screenshots land in the temporary folder's "vurkhold/screenshots/".
Played play(const test::TempDir& dir, const std::string& script, long frames, std::vector<std::string> extra = {}) {
  const std::string script_path = dir.file("script.txt");
  test::write_file(script_path, script);
  std::vector<std::string> args = {"--windowed", "--no-sound",  "--seed",   "5", "--frame-ms", "16",
                                   "--frames",   std::to_string(frames), "--input", script_path,
                                   "--screenshot", dir.file("end.png"),  "--data", VURK_GAME_DIR};
  args.insert(args.end(), extra.begin(), extra.end());
  Played p;
  p.dir = dir.path();
  p.run = test::run_game(args, {"SDL_AUDIODRIVER=dummy", "VURKHOLD_NO_DIALOGS=1", "XDG_DATA_HOME=" + dir.path()}, 300);
  EXPECT_TRUE(test::read_picture(dir.file("end.png"), &p.end)) << p.run.err;
  return p;
}

// From the main menu through the set-up page's OK (line 8) into a match.
std::string start_match(int frame) {
  std::string s = std::to_string(frame) + " press Return\n";
  for (int i = 1; i <= 8; i++) s += std::to_string(frame + 2 * i) + " press Down\n";
  return s + std::to_string(frame + 20) + " press Return\n";
}

// The menu: background, title, page text and the red cursor, and EXIT ends the game with 0
// long before its frame limit. F12 on the way saves a numbered screenshot.
TEST(Play, MenuShowsItsPageAndExitEndsTheGame) {
  test::TempDir dir;
  Played p = play(dir, "3 press F12\n5 press F12\n10 press Down\n12 press Down\n14 press Down\n16 press Down\n"
                       "20 press Return\n", 100000);
  EXPECT_EQ(p.run.exit_code, 0) << p.run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "/vurkhold/screenshots/vurkhold-0001.png")) << p.run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "/vurkhold/screenshots/vurkhold-0002.png"));
  EXPECT_GT(test::share(p.end, 170, 390, 470, 460, test::is_lit), 0.3) << "title";
  EXPECT_GT(test::share(p.end, 190, 145, 290, 175, test::is_white), 0.1) << "EXIT";
  EXPECT_GT(test::share(p.end, 160, 145, 185, 175, test::is_red), 0.05) << "cursor on EXIT";
  EXPECT_LT(test::share(p.end, 160, 285, 185, 315, test::is_red), 0.01) << "no cursor on START GAME";
}

// One player: a lit cave, the red life bar under it on the left and the radar in the
// bottom right corner; Escape goes back to the menu.
TEST(Play, OnePlayerMatchShowsTheCaveTheBarsAndTheRadar) {
  test::TempDir dir;
  Played p = play(dir, start_match(5) + "32 press F12\n40 press Escape\n", 50);
  EXPECT_EQ(p.run.exit_code, 0) << p.run.err;
  test::Picture match;
  ASSERT_TRUE(test::read_picture(dir.path() + "/vurkhold/screenshots/vurkhold-0001.png", &match));
  EXPECT_GT(test::share(match, 0, 160, 640, 480, test::is_lit), 0.3) << "cave";
  EXPECT_GT(test::share(match, 12, 28, 250, 37, test::is_red), 0.5) << "life bar";
  EXPECT_GT(test::share(match, 460, 10, 620, 140, test::is_lit), 0.05) << "radar";
  EXPECT_GT(test::share(p.end, 170, 390, 470, 460, test::is_lit), 0.3) << "menu again";
}

// Two players: both views drawn in the upper rows, the radar between the two bars.
TEST(Play, TwoPlayerMatchDrawsBothViews) {
  test::TempDir dir;
  // On the set-up page: vurk 2, type one step back from COMPUTER is HUMAN.
  std::string s = "5 press Return\n7 press Right\n9 press Down\n11 press Left\n";
  for (int i = 1; i <= 7; i++) s += std::to_string(11 + 2 * i) + " press Down\n";
  s += "30 press Return\n";
  Played p = play(dir, s, 40);
  EXPECT_EQ(p.run.exit_code, 0) << p.run.err;
  EXPECT_GT(test::share(p.end, 0, 200, 319, 480, test::is_lit), 0.05) << "left view";
  EXPECT_GT(test::share(p.end, 321, 200, 640, 480, test::is_lit), 0.05) << "right view";
  EXPECT_GT(test::share(p.end, 12, 178, 250, 188, test::is_red), 0.5) << "player 2's life bar";
  EXPECT_GT(test::share(p.end, 382, 178, 620, 188, test::is_red), 0.5) << "player 1's life bar";
}

// A frag limit of 1 with this seed: team 2 wins within the first seconds and its message
// stands in the middle of the view in the team's green.
TEST(Play, AWinShowsTheWinningTeamsMessage) {
  test::TempDir dir;
  Played p = play(dir, start_match(5), 122, {"--frame-ms", "50", "--frag-limit", "1"});
  EXPECT_EQ(p.run.exit_code, 0) << p.run.err;
  auto is_green = [](int r, int g, int b) { return g > 150 && r < 100 && b < 100; };
  EXPECT_GT(test::share(p.end, 160, 222, 480, 258, is_green), 0.1) << "TEAM 2 WON";
  EXPECT_LT(test::share(p.end, 0, 300, 640, 480, is_green), 0.01);
}

}  // namespace
}  // namespace vurkhold
