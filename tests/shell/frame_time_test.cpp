// frame timing of the main loop: readings of the clock in, the milliseconds of each frame
// and the frames-per-second count out.
#include <gtest/gtest.h>

#include <tuple>

#include "shell/shell.h"

namespace vurkhold {
namespace {

// Each step moves the clock by `ms` and takes one reading; the frame's time and the
// counters after it must be as given. The readings start at 0xFFFFFF00 so that the clock
// wraps past zero on the way.
TEST(FrameTime, FramesCountersAndStallsAcrossTheClockWrap) {
  const struct {
    uint32_t ms;
    unsigned frame;
    unsigned timer;
    int counter, fps;
  } steps[] = {
      {0, 0, 0, 0, 0},          // no tick since the last reading: no frame
      {16, 16, 16, 1, 0},       //
      {984, 200, 1000, 2, 0},   // exactly one second is not yet over; the frame is cut to 200
      {1, 1, 1, 0, 3},          // just over: the count becomes FPS
      {5000, 200, 4001, 0, 1},  // after a stall the timer pays back a thousand a frame
      {10, 10, 3011, 0, 1},     //
      {10, 10, 2021, 0, 1},     //
      {10, 10, 1031, 0, 1},     //
      {10, 10, 41, 0, 1},       //
      {10, 10, 51, 1, 1},       // at most 1000 again: back to counting
  };
  uint32_t now = 0xFFFFFF00u, last = now;
  FPS = FPS_counter = 0;
  FPS_timer = 0;
  for (const auto& s : steps) {
    now += s.ms;
    const unsigned frame = give_frame_time(now, &last);
    EXPECT_EQ(std::tuple(frame, FPS_timer, FPS_counter, FPS), std::tuple(s.frame, s.timer, s.counter, s.fps))
        << "step " << &s - steps;
  }
  EXPECT_LT(now, 0xFFFFFF00u);
}

}  // namespace
}  // namespace vurkhold
