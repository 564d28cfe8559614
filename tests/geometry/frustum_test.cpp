// view frustum: planes taken from a perspective view turned by heading and pitch, and the
// cube test's boundaries (a corner on a plane is outside, size 0 is a point test).
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/geometry.h"

namespace vurkhold {
namespace {

// The view the game sets up: a perspective of fovy degrees over 4:3 from 0.1 to 24 units,
// and the camera turned by -pitch about x, -heading about y, then moved to -p.
void set_view(const CAMERA& c, double fovy = 60.0) {
  const double f = 1.0 / std::tan(fovy * M_PI / 360.0), n = 0.1, far = 24.0;
  const float proj[16] = {float(f / (4.0 / 3.0)), 0, 0, 0, 0, float(f), 0, 0, 0, 0, float((far + n) / (n - far)), -1,
                          0, 0, float(2 * far * n / (n - far)), 0};
  const double h = -c.heading * M_PI / 180.0, p = -c.pitch * M_PI / 180.0;
  // Rx(p) * Ry(h), then the translation.
  const double r[3][3] = {{std::cos(h), 0, std::sin(h)},
                          {std::sin(p) * std::sin(h), std::cos(p), -std::sin(p) * std::cos(h)},
                          {-std::cos(p) * std::sin(h), std::sin(p), std::cos(p) * std::cos(h)}};
  float modl[16] = {};
  for (int row = 0; row < 3; row++) {
    for (int col = 0; col < 3; col++) modl[4 * col + row] = float(r[row][col]);
    modl[12 + row] = float(-(r[row][0] * c.p.x + r[row][1] * c.p.y + r[row][2] * c.p.z));
  }
  modl[15] = 1.0f;
  give_frustum(proj, modl);
}

TEST(Frustum, TheViewLooksAlongItsHeadingAndPitch) {
  CAMERA c;
  init_camera(&c);
  c.p = {16, 16, 16};
  const struct {
    float heading, pitch;
    XYZ seen, unseen;
  } cases[] = {
      {0, 0, {16, 16, 10}, {16, 16, 22}},    // heading 0 looks along -z
      {90, 0, {10, 16, 16}, {22, 16, 16}},   // a growing heading turns toward -x
      {-90, 0, {22, 16, 16}, {10, 16, 16}},
      {0, 80, {16, 22, 15}, {16, 10, 15}},   // positive pitch looks up
  };
  for (const auto& v : cases) {
    c.heading = v.heading;
    c.pitch = v.pitch;
    set_view(c);
    EXPECT_EQ(is_cube_in_frustum(v.seen.x, v.seen.y, v.seen.z, 0.5f), 2) << v.heading << " " << v.pitch;
    EXPECT_EQ(is_cube_in_frustum(v.unseen.x, v.unseen.y, v.unseen.z, 0.5f), 0) << v.heading << " " << v.pitch;
    for (const float* plane : frustum) EXPECT_NEAR(std::hypot(plane[0], plane[1], plane[2]), 1.0, 1e-6);
  }
  // The far plane lies 24 units ahead: its row is the distance inside it.
  c.heading = c.pitch = 0;
  set_view(c);
  EXPECT_NEAR(frustum[4][2] * 12.0f + frustum[4][3], 20.0f, 1e-3);  // z = 12 is 4 ahead
  EXPECT_EQ(is_cube_in_frustum(16, 16, 16 - 23.5f, 0.25f), 2);
  EXPECT_EQ(is_cube_in_frustum(16, 16, 16 - 24.5f, 0.25f), 0);
}

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
