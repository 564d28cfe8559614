// collision primitives: point in triangle and nearest points, whose edge cases no sweep
// reaches. Rays against planes and spheres are held by the sweeps, which stop where they say.
#include <gtest/gtest.h>

#include "geometry/collision_world.h"

namespace vurkhold {
namespace {

using test::expect_near;

// The seam point lies on an edge where the cosine between two corner vectors rounds past -1.
// The three points after the corner lie in the plane 1e-3 outside each edge of t.
TEST(CollisionPrimitives, PointInTriangle) {
  const XYZ end_a = {23.25f, 12.375f, 2.625f}, end_b = {28.625f, 14.125f, 11.5f};
  const test::Shape t({0, 0, 0}, {3, 0, 0}, {0, 0, 3}), one_side(end_a, end_b, {23.25f, 20, 2.625f});
  const test::Shape other_side(end_b, end_a, {30, 8, 9});
  const struct {
    const test::Shape& t;
    XYZ p;
    int inside;
  } rows[] = {
      {t, {1, 0, 1}, 1}, {t, {1.5f, 0, 0}, 1}, {t, {1.6f, 0, 1.6f}, 0}, {t, {-2, 0, -2}, 0}, {t, {4, 0, 0}, 0},
      {t, {0, 0, 0}, 0},  // a corner: the angle sum is undefined there
      {t, {1.5f, 0, -1e-3f}, 0}, {t, {-1e-3f, 0, 1.5f}, 0}, {t, {1.5f + 7.0710678e-4f, 0, 1.5f + 7.0710678e-4f}, 0},
      {one_side, {25.9375f, 13.25f, 7.0625f}, 1}, {other_side, {25.9375f, 13.25f, 7.0625f}, 1},
  };
  for (const auto& r : rows)
    EXPECT_EQ(is_in_triangle(&r.t.polygon, &r.p), r.inside) << r.p.x << ", " << r.p.y << ", " << r.p.z;
}

TEST(CollisionPrimitives, ClosestPointsOnSegmentsAndEdges) {
  const XYZ a = {1.1f, 2.2f, 3.3f}, b = {4.4f, 2.2f, 3.3f};
  expect_near(closest_point_on_line(a, b, {9, 5, 1}), b, 0);
  expect_near(closest_point_on_line(a, b, {-9, 5, 1}), a, 0);
  expect_near(closest_point_on_line(a, b, {2.5f, 7, -4}), {2.5f, 2.2f, 3.3f});
  expect_near(closest_point_on_line(a, a, {5, 5, 5}), a, 0);
  const test::Shape t({0, 0, 0}, {4, 0, 0}, {0, 4, 0});
  expect_near(find_closest_point(t.polygon, {-1, 2, 0}), {0, 2, 0}, 0);
}

}  // namespace
}  // namespace vurkhold
