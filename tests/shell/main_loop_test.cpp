// the frame loop's input: mouse motion made before a match does not turn vurk 0.
#include <gtest/gtest.h>

#include <tuple>

#include "control/control.h"
#include "match/match.h"
#include "shell/shell.h"
#include "support/match_view.h"

namespace vurkhold {
namespace {

// Motion during the match turns vurk 0 by a tenth of a degree per pixel.
TEST(MainLoop, MouseMotionBeforeAMatchDoesNotTurnVurkZero) {
  ASSERT_TRUE(test::load_game_folder());
  auto move_mouse = [](int dx, int dy) {
    ASSERT_TRUE(platform::push_mouse_motion_event(dx, dy));
    // SDL may hand a pushed event over only at the next pump of its queue.
    platform::Event event;
    for (int pump = 0; pump < 3; pump++)
      while (platform::poll_event(&event)) {
      }
  };
  move_mouse(300, -200);
  ASSERT_EQ(game_init(), 1);
  game_input(16);
  EXPECT_EQ(std::tuple(vurk[0].angle, vurk[0].angle2), std::tuple(0.0f, 0.0f));
  move_mouse(30, -20);
  game_input(16);
  EXPECT_FLOAT_EQ(vurk[0].angle, -3.0f);
  EXPECT_FLOAT_EQ(vurk[0].angle2, 2.0f);
  test::release_game_folder();
}

}  // namespace
}  // namespace vurkhold
