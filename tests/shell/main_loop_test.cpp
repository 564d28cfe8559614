// the frame loop's pass: a pass that handles an event draws nothing; a pass without one
// runs the installed pair once, unless the clock has not moved; and mouse motion made
// before a match does not turn vurk 0.
#include <gtest/gtest.h>

#include <tuple>

#include "control/control.h"
#include "match/match.h"
#include "shell/shell.h"
#include "support/gl_context.h"
#include "support/match_view.h"

namespace vurkhold {
namespace {

uint32_t fake_now = 0;
int logic_calls = 0, render_calls = 0;
unsigned last_ms = 0;

TEST(MainLoop, APassThatHandledAnEventDrawsNoFrame) {
  ASSERT_TRUE(test::ensure_gl_context());
  platform::Event drained;
  while (platform::poll_event(&drained)) {
  }
  platform::set_clock([] { return fake_now; });
  fake_now = 1000;
  uint32_t last = 1000;
  const MODE_PAIR counting = {[](unsigned ms) { logic_calls++, last_ms = ms; }, [] { render_calls++; }};
  install_mode(&counting);
  keys[VK_SPACE] = 0;

  fake_now += 16;
  ASSERT_TRUE(platform::push_key_event("Space", true, false));
  EXPECT_EQ(main_loop_pass(&last), 0);
  EXPECT_EQ(keys[VK_SPACE], 1);  // the event was handled
  EXPECT_EQ(logic_calls + render_calls, 0);
  EXPECT_EQ(last, 1000u);  // and the time waits for the next pass
  EXPECT_EQ(main_loop_pass(&last), 1);
  EXPECT_EQ(std::tuple(logic_calls, render_calls, last_ms), std::tuple(1, 1, 16u));
  EXPECT_EQ(main_loop_pass(&last), 0);  // same tick: no frame
  EXPECT_EQ(logic_calls, 1);

  platform::push_key_event("Space", false, false);
  main_loop_pass(&last);
  platform::set_clock(nullptr);
}

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
