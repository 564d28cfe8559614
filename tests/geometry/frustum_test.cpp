// view frustum: the cube test's boundaries (a corner on a plane is outside, size 0 is a
// point test). The planes taken from a view are checked where the scene is drawn.
#include <gtest/gtest.h>

#include "geometry/geometry.h"

namespace vurkhold {
namespace {

// The box 0..10 on each axis as the six planes.
TEST(Frustum, CornersOnAPlaneAreOutsideAndSizeZeroIsAPointTest) {
  const float box[6][4] = {{-1, 0, 0, 10}, {1, 0, 0, 0}, {0, 1, 0, 0}, {0, -1, 0, 10}, {0, 0, -1, 10}, {0, 0, 1, 0}};
  for (int n = 0; n < 6; n++)
    for (int k = 0; k < 4; k++) frustum[n][k] = box[n][k];
  const struct {
    XYZ p;
    float size;
    int expected;
  } cases[] = {
      {{5, 5, 5}, 0, 2},      {{10, 5, 5}, 0, 0},    {{0, 5, 5}, 0, 0},     {{5, 5, 5}, 4.9f, 2},
      {{5, 5, 5}, 5, 1},      {{11, 5, 5}, 1, 0},    {{5, 5, -1}, 1, 0},    {{10, 5, 5}, 1, 1},
      {{5, 5, 5}, 100, 1},    {{-3, -3, -3}, 4, 1},  {{12, 12, 5}, 1.5f, 0},
      {{11, 11, 5}, 1.5f, 1},  // beyond the corner, yet within reach of each plane alone
  };
  for (const auto& c : cases)
    EXPECT_EQ(is_cube_in_frustum(c.p.x, c.p.y, c.p.z, c.size), c.expected)
        << c.p.x << " " << c.p.y << " " << c.p.z << " size " << c.size;
}

}  // namespace
}  // namespace vurkhold
