// replay viewer: the keys of a replay played in the window, each frame of the viewer's
// logic checked against the frames it should have played and the status it shows: speed and
// its ends, pause, the most frames a pass catches up, the jumps from kill to kill, the vurk
// followed and the free camera, the replay's end, and the way back to the menu or out.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "match/match.h"
#include "shell/shell.h"
#include "support/match_view.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

void menu_stand_in(unsigned) {}

using ReplayViewer = test::GameFolder;

// The viewer's status line and its message in the middle, each once (the font draws a
// line more than once for its outline).
std::string shown() {
  std::vector<std::string> texts;
  for (const test::Line& line : test::printed(render_func))
    if ((line.y > 470.0f || (line.y > 250.0f && line.y < 270.0f)) &&
        std::find(texts.begin(), texts.end(), line.text) == texts.end())
      texts.push_back(line.text);
  std::string text;
  for (const std::string& t : texts) text += (text.empty() ? "" : " | ") + t;
  return text;
}

TEST_F(ReplayViewer, KeysPlayPauseSpeedJumpFollowAndLeave) {
  const test::KeepGlobals globals{level_to_use, vurk, menu_pair, logic_func, render_func, vurk_to_render_1, done};
  const test::TempDir dir;
  // Four computer players on the maze until at least three vurks have died.
  const std::string path = dir.file("bots.vhr");
  std::snprintf(level_to_use, sizeof level_to_use, "levels/maze.vhl");
  for (VURK_& v : vurk) v.type = MLT_COMPUTER;
  game_srand(7);
  char message[REPLAY_MESSAGE_SIZE];
  ASSERT_EQ(begin_recording(path.c_str(), 7, 16, 1, message, sizeof message), 1) << message;
  ASSERT_EQ(game_init(), 1);
  for (int f = 0; f < 4000; f++) game_logic(16);
  end_recording(true);
  static REPLAY_INDEX index;
  ASSERT_EQ(scan_replay(path.c_str(), &index, message, sizeof message), 1);
  ASSERT_GE(index.kills, 3);
  ASSERT_GT(index.kill[0].frame, 150);
  ASSERT_GT(index.kill[2].frame - index.kill[1].frame, 60);
  const std::string kills = "  KILLS " + std::to_string(index.kills) + "  ";

  menu_pair = {menu_stand_in, nullptr};
  ASSERT_EQ(start_replay_view(path.c_str(), true, message, sizeof message), 1) << message;
  // One press: down for one pass of the viewer's logic, up for the next.
  auto press = [](int key) {
    keys[key] = 1;
    logic_func(0);
    keys[key] = 0;
    logic_func(0);
  };
  const long k0 = index.kill[0].frame - 120, k1 = index.kill[1].frame - 120, k2 = index.kill[2].frame - 120;
  const struct { int key; unsigned ms; long frames_after; } rows[] = {
      {0, 16, 1},                                 // x1: a frame a frame
      {0, 8, 1}, {0, 8, 2},                       // half a frame waits for the next half
      {VK_ADD, 32, 6},                            // x2: 32 ms play four
      {VK_SUBTRACT, 0, 6}, {VK_SUBTRACT, 0, 6},   // back to x1, then x1/2
      {0, 64, 8},                                 // x1/2: 64 ms play two
      {'P', 1000, 8},                             // paused
      {'P', 32, 9},                               // going on at x1/2
      {0, 24, 9}, {'N', 8, k0},                   // to the first kill, two seconds before, owing nothing
      {'N', 0, k1},
      {'N', 0, k2},
      {'B', 0, k1},                               // back: played again from the start
      {'N', 0, k2}, {0, 45 * 32, k2 + 45}, {'B', 0, k1},  // soon after a jump: the kill before
      {'N', 0, k2}, {0, 61 * 32, k2 + 61}, {'B', 0, k2},  // later: that kill again
      {VK_SUBTRACT, 0, k2}, {VK_SUBTRACT, 64, k2 + 1},     // x1/4 is the slowest
      {0, 10000, k2 + 65}, {0, 60, k2 + 65},      // 64 frames a pass at most, the rest let go
      {VK_ADD, 0, k2 + 65}, {VK_ADD, 0, k2 + 65}, {VK_ADD, 0, k2 + 65}, {VK_ADD, 0, k2 + 65},
      {VK_ADD, 0, k2 + 65}, {VK_ADD, 0, k2 + 65}, {0, 16, k2 + 73},  // x8 is the fastest
  };
  for (const auto& r : rows) {
    if (r.key) press(r.key);
    logic_func(r.ms);
    EXPECT_EQ(replay_frames_played(), r.frames_after) << "row " << &r - rows;
  }
  // A key the player holds while frames play is still held after them.
  keys[int{'W'}] = 1;
  logic_func(16);
  EXPECT_EQ(std::tuple(replay_frames_played(), keys[int{'W'}]), std::tuple(k2 + 81, 1));
  keys[int{'W'}] = 0;
  const std::string of = "/" + std::to_string(index.frames);
  EXPECT_EQ(shown(), "REPLAY X8  FRAME " + std::to_string(k2 + 81) + of + kills);
  press('P');
  EXPECT_EQ(shown(), "REPLAY PAUSED X8  FRAME " + std::to_string(k2 + 81) + of + kills);
  press('P');
  press('C');
  EXPECT_EQ(shown(), "REPLAY X8  FRAME " + std::to_string(k2 + 81) + of + kills + "FREE CAMERA");
  press(VK_F1 + 2);
  EXPECT_EQ(vurk_to_render_1, &vurk[2]);
  EXPECT_EQ(shown(), "REPLAY X8  FRAME " + std::to_string(k2 + 81) + of + kills);
  vurk[3].type = MLT_OFF;  // a vurk that is not there is not followed
  press(VK_F1 + 3);
  vurk[3].type = MLT_COMPUTER;
  EXPECT_EQ(vurk_to_render_1, &vurk[2]);
  // To the end, where the viewer stays.
  for (int pass = 0; pass < 100 && replay_frames_played() < index.frames; pass++) logic_func(1000);
  logic_func(1000);
  EXPECT_EQ(shown(), "REPLAY X8  FRAME " + of.substr(1) + of + kills + " | END OF THE REPLAY");
  press(VK_ESCAPE);
  EXPECT_EQ(logic_func, menu_stand_in);
  EXPECT_FALSE(replaying());

  // Started from the command line, leaving it ends the game.
  done = 0;
  ASSERT_EQ(start_replay_view(path.c_str(), false, message, sizeof message), 1) << message;
  press(VK_ESCAPE);
  EXPECT_EQ(done, 1);
  EXPECT_FALSE(replaying());
}

}  // namespace
}  // namespace vurkhold
