// frame timing of the main loop, driven by an injected clock.
#include <gtest/gtest.h>

#include "shell/shell.h"

namespace vurkhold {
namespace {

uint32_t fake_now = 0;
uint32_t fake_clock() { return fake_now; }

class FrameTime : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::set_clock(fake_clock);
    fake_now = 5000;
    last = platform::ticks();
    FPS = 0;
    FPS_timer = 0;
    FPS_counter = 0;
  }
  void TearDown() override { platform::set_clock(nullptr); }

  unsigned advance(uint32_t ms) {
    fake_now += ms;
    return give_frame_time(platform::ticks(), &last);
  }

  uint32_t last = 0;
};

TEST_F(FrameTime, TwoReadingsInTheSameTickDrawNoFrame) {
  EXPECT_EQ(advance(0), 0u);
  EXPECT_EQ(FPS_counter, 0);
  EXPECT_EQ(FPS_timer, 0u);
  EXPECT_EQ(advance(16), 16u);
  EXPECT_EQ(advance(0), 0u);
  EXPECT_EQ(FPS_counter, 1);
}

TEST_F(FrameTime, StallIsCutTo200AndTimerPaysBackAThousandAFrame) {
  EXPECT_EQ(advance(5000), 200u);
  EXPECT_EQ(FPS_timer, 4000u);
  EXPECT_EQ(FPS, 1);
  EXPECT_EQ(advance(10), 10u);
  EXPECT_EQ(FPS_timer, 3010u);
  EXPECT_EQ(advance(10), 10u);
  EXPECT_EQ(FPS_timer, 2020u);
  EXPECT_EQ(advance(10), 10u);
  EXPECT_EQ(FPS_timer, 1030u);
  EXPECT_EQ(advance(10), 10u);
  EXPECT_EQ(FPS_timer, 40u);
  EXPECT_EQ(advance(10), 10u);
  EXPECT_EQ(FPS_timer, 50u);  // at most 1000 again: back to counting
}

TEST_F(FrameTime, FpsStaysZeroUntilJustOverASecond) {
  for (int i = 0; i < 100; i++) ASSERT_EQ(advance(10), 10u);
  EXPECT_EQ(FPS_timer, 1000u);
  EXPECT_EQ(FPS, 0);  // exactly one second is not yet over
  EXPECT_EQ(advance(1), 1u);
  EXPECT_EQ(FPS, 101);
  EXPECT_EQ(FPS_counter, 0);
  EXPECT_EQ(FPS_timer, 1u);
}

TEST_F(FrameTime, ElapsedTimeIsLimitedTo200AndCountsAcrossTheClockWrap) {
  EXPECT_EQ(advance(200), 200u);
  EXPECT_EQ(advance(201), 200u);
  EXPECT_EQ(advance(1), 1u);
  fake_now = 0xFFFFFFF0u;
  last = fake_now;
  EXPECT_EQ(advance(0x20), 0x20u);  // the counter wrapped past zero
  EXPECT_EQ(fake_now, 0x10u);
}

}  // namespace
}  // namespace vurkhold
