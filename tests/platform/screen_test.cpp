// screen mapping: the 640 x 480 screen on the largest centred 4 : 3 area of any drawable.
#include <gtest/gtest.h>

#include "platform/platform.h"

namespace vurkhold {
namespace {

TEST(ScreenViewport, MapsOntoTheCentredFourByThreeArea) {
  const struct {
    const char* name;
    int drawable[2], in[4], out[4];
  } rows[] = {
      {"native", {640, 480}, {0, 0, 640, 480}, {0, 0, 640, 480}},
      {"wide: bars left and right", {1920, 1080}, {0, 0, 640, 480}, {240, 0, 1440, 1080}},
      {"wide upper half", {1920, 1080}, {0, 240, 640, 240}, {240, 540, 1440, 540}},
      {"tall: bars above and below", {800, 800}, {0, 0, 640, 480}, {0, 100, 800, 600}},
      {"high-DPI quarter", {1280, 960}, {320, 0, 320, 240}, {640, 0, 640, 480}},
  };
  for (const auto& r : rows) {
    int out[4];
    platform::give_screen_viewport(r.drawable[0], r.drawable[1], r.in[0], r.in[1], r.in[2], r.in[3], out);
    for (int i = 0; i < 4; i++) EXPECT_EQ(out[i], r.out[i]) << r.name << " [" << i << "]";
  }
}

}  // namespace
}  // namespace vurkhold
