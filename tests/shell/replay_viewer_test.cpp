// replay viewer: the keys of a replay played in the window, each frame of the viewer's
// logic checked against the frames it should have played: speed, pause, the jumps from
// kill to kill, the vurk followed, and the way back to the menu.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "match/match.h"
#include "shell/shell.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

void menu_stand_in(unsigned) {}

using ReplayViewer = test::GameFolderSuite;

TEST_F(ReplayViewer, KeysPlayPauseSpeedJumpFollowAndLeave) {
  const test::KeepGlobals globals{level_to_use, vurk, menu_pair, logic_func, render_func, vurk_to_render_1};
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

  menu_pair = {menu_stand_in, nullptr};
  ASSERT_EQ(start_replay_view(path.c_str(), true, message, sizeof message), 1) << message;
  // One press: down for one pass of the viewer's logic, up for the next.
  auto press = [](int key) {
    keys[key] = 1;
    logic_func(0);
    keys[key] = 0;
    logic_func(0);
  };
  const struct { int key; unsigned ms; long frames_after; } rows[] = {
      {0, 16, 1},                                         // x1: a frame a frame
      {0, 8, 1}, {0, 8, 2},                               // half a frame waits for the next half
      {VK_ADD, 32, 6},                                    // x2: 32 ms play four
      {VK_SUBTRACT, 0, 6}, {VK_SUBTRACT, 0, 6},           // back to x1, then x1/2
      {0, 64, 8},                                         // x1/2: 64 ms play two
      {'P', 1000, 8},                                     // paused
      {'P', 32, 9},                                       // going on at x1/2
      {'N', 0, index.kill[0].frame - 120},                // to the first kill, two seconds before
      {'N', 0, index.kill[1].frame - 120},
      {'N', 0, index.kill[2].frame - 120},
      {'B', 0, index.kill[1].frame - 120},                // back: played again from the start
  };
  for (const auto& r : rows) {
    if (r.key) press(r.key);
    logic_func(r.ms);
    EXPECT_EQ(replay_frames_played(), r.frames_after) << "row " << &r - rows;
  }
  press(VK_F1 + 2);
  EXPECT_EQ(vurk_to_render_1, &vurk[2]);
  press(VK_ESCAPE);
  EXPECT_EQ(logic_func, menu_stand_in);
  EXPECT_FALSE(replaying());
}

}  // namespace
}  // namespace vurkhold
