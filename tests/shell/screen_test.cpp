// screen mapping: the 640 x 480 screen on the largest centred 4 : 3 area of any drawable.
#include <gtest/gtest.h>

#include "shell/shell.h"

namespace vurkhold {
namespace {

struct Rect {
  int x, y, w, h;
  bool operator==(const Rect&) const = default;
};

Rect map(int dw, int dh, int x, int y, int w, int h) {
  int out[4];
  give_screen_viewport(dw, dh, x, y, w, h, out);
  return {out[0], out[1], out[2], out[3]};
}

TEST(ScreenViewport, NativeSizeIsUnchanged) {
  EXPECT_EQ(map(640, 480, 0, 0, 640, 480), (Rect{0, 0, 640, 480}));
  EXPECT_EQ(map(640, 480, 0, 240, 640, 240), (Rect{0, 240, 640, 240}));
}

TEST(ScreenViewport, WideDrawableGetsBarsLeftAndRight) {
  EXPECT_EQ(map(1920, 1080, 0, 0, 640, 480), (Rect{240, 0, 1440, 1080}));
  // The upper half of a split screen keeps its place inside the 4 : 3 area.
  EXPECT_EQ(map(1920, 1080, 0, 240, 640, 240), (Rect{240, 540, 1440, 540}));
}

TEST(ScreenViewport, TallDrawableGetsBarsAboveAndBelow) {
  EXPECT_EQ(map(800, 800, 0, 0, 640, 480), (Rect{0, 100, 800, 600}));
}

TEST(ScreenViewport, HighDpiDrawableScalesWholeScreen) {
  EXPECT_EQ(map(1280, 960, 0, 0, 640, 480), (Rect{0, 0, 1280, 960}));
  EXPECT_EQ(map(1280, 960, 320, 0, 320, 240), (Rect{640, 0, 640, 480}));
}

TEST(ScreenViewport, DegenerateDrawablesNeverGiveAnEmptyViewport) {
  Rect r = map(0, 0, 0, 0, 640, 480);
  EXPECT_GE(r.w, 1);
  EXPECT_GE(r.h, 1);
  r = map(1, 1, 0, 0, 10, 10);
  EXPECT_GE(r.w, 1);
  EXPECT_GE(r.h, 1);
}

}  // namespace
}  // namespace vurkhold
