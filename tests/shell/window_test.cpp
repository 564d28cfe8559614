// window procedure: Alt+Enter between the window and full screen, and the Return of it
// kept from the game's keys.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "shell/shell.h"
#include "support/match_view.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

// Every pending event through the window procedure; how many of them were `type`.
int deliver(platform::EventType type) {
  int seen = 0;
  platform::Event e;
  // The window manager answers a change of full screen in its own time.
  for (int idle = 0; idle < 20; idle++) {
    while (platform::poll_event(&e)) {
      seen += e.type == type;
      WndProc(e);
      idle = 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return seen;
}

TEST(Window, AltEnterTogglesFullScreenAndNeverPressesReturn) {
  ASSERT_TRUE(test::ensure_gl_context());
  const test::KeepGlobals globals{keys, fullscreen};
  fullscreen = 0;
  deliver(platform::EventType::none);
  keys[VK_RETURN] = 0;

  ASSERT_TRUE(platform::push_key_event("Return", true, false, true));
  EXPECT_EQ(deliver(platform::EventType::toggle_fullscreen), 1);
  EXPECT_EQ(keys[VK_RETURN], 0);
  EXPECT_EQ(fullscreen, 1);
  EXPECT_TRUE(platform::window_fullscreen());

  // Held, it does not flicker back and forth.
  ASSERT_TRUE(platform::push_key_event("Return", true, true, true));
  EXPECT_EQ(deliver(platform::EventType::toggle_fullscreen), 0);
  EXPECT_EQ(keys[VK_RETURN], 0);
  EXPECT_TRUE(platform::window_fullscreen());

  ASSERT_TRUE(platform::push_key_event("Keypad Enter", true, false, true));
  EXPECT_EQ(deliver(platform::EventType::toggle_fullscreen), 1);
  EXPECT_EQ(fullscreen, 0);
  EXPECT_FALSE(platform::window_fullscreen());

  // Without Alt, Return is Return.
  ASSERT_TRUE(platform::push_key_event("Return", true, false));
  EXPECT_EQ(deliver(platform::EventType::key_down), 1);
  EXPECT_EQ(keys[VK_RETURN], 1);
  EXPECT_FALSE(platform::window_fullscreen());
  ReSizeGLScene(platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT);
}

}  // namespace
}  // namespace vurkhold
