// collision primitives: ray and plane, ray and sphere, point in triangle, nearest points.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/geometry.h"

namespace vurkhold {
namespace {

// A triangle over three caller-owned vertices.
struct Tri {
  VERTEX v[3]{};
  POLYGON t{};
  Tri(XYZ a, XYZ b, XYZ c) {
    v[0].p = a;
    v[1].p = b;
    v[2].p = c;
    for (int k = 0; k < 3; k++) t.vertex[k] = &v[k];
    t.normal = {0, 1, 0};
  }
};

void expect_point(XYZ got, XYZ want) {
  EXPECT_EQ(got.x, want.x);
  EXPECT_EQ(got.y, want.y);
  EXPECT_EQ(got.z, want.z);
}

TEST(PlaneAndRay, AlongTheNormalGivesMinusTheSignedDistanceAndTheFoot) {
  XYZ at;
  EXPECT_EQ(plane_and_ray({0, 0, 0}, {0, 1, 0}, {0, 3, 0}, {0, 1, 0}, &at), -3.0);
  expect_point(at, {0, 0, 0});
  // A point behind the plane has a negative distance, so t is positive.
  EXPECT_EQ(plane_and_ray({5, 2, 5}, {0, 1, 0}, {7, 0.5f, -1}, {0, 1, 0}, &at), 1.5);
  expect_point(at, {7, 2, -1});
}

TEST(PlaneAndRay, SlantedRayIsMeasuredInUnitsOfItsOwnLength) {
  XYZ at;
  EXPECT_EQ(plane_and_ray({0, 1, 0}, {0, 1, 0}, {0, 3, 0}, {1, -2, 0}, &at), 1.0);
  expect_point(at, {1, 1, 0});
  EXPECT_EQ(plane_and_ray({0, 1, 0}, {0, 1, 0}, {0, 3, 0}, {2, -4, 0}, &at), 0.5);
  expect_point(at, {1, 1, 0});
  // Plane behind the ray: t is negative and the point lies behind the origin.
  EXPECT_EQ(plane_and_ray({0, 5, 0}, {0, 1, 0}, {0, 3, 0}, {0, -1, 0}, &at), -2.0);
  expect_point(at, {0, 5, 0});
}

TEST(RayAndSphere, HitMissAndStartInside) {
  EXPECT_EQ(ray_and_sphere({0, 0, 0}, {1, 0, 0}, {5, 0, 0}, 1.0), 4.0);
  EXPECT_EQ(ray_and_sphere({0, 0, 0}, {1, 0, 0}, {5, 2, 0}, 1.0), -1.0);
  EXPECT_EQ(ray_and_sphere({0, 0, 0}, {1, 0, 0}, {0, 0, 0}, 1.0), -1.0);
  // Grazing the sphere off-centre: the chord's first end.
  EXPECT_NEAR(ray_and_sphere({0, 0, 0}, {1, 0, 0}, {5, 0.6f, 0}, 1.0), 4.2, 1e-6);
  // Exactly tangent counts as a hit.
  EXPECT_EQ(ray_and_sphere({0, 0, 0}, {0, 0, 1}, {1, 0, 3}, 1.0), 3.0);
}

TEST(RayAndSphere, SphereBehindTheRayGivesANegativeDistance) {
  EXPECT_EQ(ray_and_sphere({0, 0, 0}, {1, 0, 0}, {-5, 0, 0}, 1.0), -6.0);
}

TEST(IsInTriangle, CentroidInsideEdgePointInsideOutsideAndVertexOutside) {
  Tri tri({0, 0, 0}, {3, 0, 0}, {0, 0, 3});
  const XYZ centroid = {1, 0, 1};
  const XYZ outside = {1.6f, 0, 1.6f};  // just past the slanted edge
  const XYZ edge = {1.5f, 0, 0};
  const XYZ far_out = {-2, 0, -2};
  EXPECT_EQ(is_in_triangle(&tri.t, &centroid), 1);
  EXPECT_EQ(is_in_triangle(&tri.t, &outside), 0);
  EXPECT_EQ(is_in_triangle(&tri.t, &edge), 1);
  EXPECT_EQ(is_in_triangle(&tri.t, &far_out), 0);
  for (int k = 0; k < 3; k++) EXPECT_EQ(is_in_triangle(&tri.t, &tri.v[k].p), 0) << "vertex " << k;
}

TEST(IsInTriangle, PointOnTheExtensionOfAnEdgeIsOutside) {
  Tri tri({0, 0, 0}, {3, 0, 0}, {0, 0, 3});
  const XYZ beyond = {4, 0, 0};
  EXPECT_EQ(is_in_triangle(&tri.t, &beyond), 0);
}

// On this edge the cosine between the two corner vectors rounds past -1; the point must
// still count as inside (a bullet hitting a seam between two triangles is stopped).
TEST(IsInTriangle, EdgePointWithRoundingPastAFullAngleStaysInside) {
  const XYZ a = {23.25f, 12.375f, 2.625f}, b = {28.625f, 14.125f, 11.5f};
  const XYZ mid = {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
  Tri tri(a, b, {23.25f, 20.0f, 2.625f});
  EXPECT_EQ(is_in_triangle(&tri.t, &mid), 1);
  Tri other(b, a, {30.0f, 8.0f, 9.0f});  // its neighbour across the seam
  EXPECT_EQ(is_in_triangle(&other.t, &mid), 1);
}

TEST(ClosestPointOnLine, EndsAreReturnedExactlyAndTheMiddleIsProjected) {
  const XYZ a = {1.1f, 2.2f, 3.3f}, b = {4.4f, 2.2f, 3.3f};
  expect_point(closest_point_on_line(a, b, {9.0f, 5.0f, 1.0f}), b);
  expect_point(closest_point_on_line(a, b, {-9.0f, 5.0f, 1.0f}), a);
  const XYZ mid = closest_point_on_line(a, b, {2.5f, 7.0f, -4.0f});
  EXPECT_FLOAT_EQ(mid.x, 2.5f);
  EXPECT_FLOAT_EQ(mid.y, 2.2f);
  EXPECT_FLOAT_EQ(mid.z, 3.3f);
}

TEST(ClosestPointOnLine, DegenerateSegmentReturnsItsStart) {
  const XYZ a = {1, 2, 3};
  const XYZ got = closest_point_on_line(a, a, {5, 5, 5});
  expect_point(got, a);
}

TEST(FindClosestPoint, PicksTheNearestEdge) {
  Tri tri({0, 0, 0}, {4, 0, 0}, {0, 4, 0});
  expect_point(find_closest_point(tri.t, {2, -1, 0}), {2, 0, 0});   // edge 0-1
  expect_point(find_closest_point(tri.t, {-1, 2, 0}), {0, 2, 0});   // edge 2-0
  const XYZ on_bc = find_closest_point(tri.t, {3, 3, 0});           // edge 1-2
  EXPECT_FLOAT_EQ(on_bc.x, 2.0f);
  EXPECT_FLOAT_EQ(on_bc.y, 2.0f);
  expect_point(find_closest_point(tri.t, {6, -1, 0}), {4, 0, 0});   // past a corner
}

TEST(FindClosestPoint, TiesGoToTheEdgeThatComesFirst) {
  const XYZ p = {0.5f, 0.5f, 0};
  // Edges 0-1 (y = 0) and 2-0 (x = 0) both lie 0.5 away: 0-1 wins.
  Tri ab_ca({0, 0, 0}, {2, 0, 0}, {0, 2, 0});
  expect_point(find_closest_point(ab_ca.t, p), {0.5f, 0, 0});
  // Edges 0-1 (x = 0) and 1-2 (y = 0): 0-1 wins.
  Tri ab_bc({0, 2, 0}, {0, 0, 0}, {2, 0, 0});
  expect_point(find_closest_point(ab_bc.t, p), {0, 0.5f, 0});
  // Edges 1-2 (x = 0) and 2-0 (y = 0), edge 0-1 farther: 1-2 wins.
  Tri bc_ca({2, 0, 0}, {0, 2, 0}, {0, 0, 0});
  expect_point(find_closest_point(bc_ca.t, p), {0, 0.5f, 0});
}

}  // namespace
}  // namespace vurkhold
