// point sweep: what a moving point meets first, where and with which normal, and how ties
// between terrain, walls, rocks and vurks are settled.
#include <gtest/gtest.h>

#include "geometry/collision_world.h"
#include "geometry/geometry.h"

namespace vurkhold {
namespace {

using test::CollisionWorld;
using test::OneTriangleRock;
using test::put_triangle;

void expect_near(XYZ got, XYZ want, float tolerance = 1e-6f) {
  EXPECT_NEAR(got.x, want.x, tolerance);
  EXPECT_NEAR(got.y, want.y, tolerance);
  EXPECT_NEAR(got.z, want.z, tolerance);
}

void expect_near(IJK got, IJK want, float tolerance = 1e-6f) {
  EXPECT_NEAR(got.i, want.i, tolerance);
  EXPECT_NEAR(got.j, want.j, tolerance);
  EXPECT_NEAR(got.k, want.k, tolerance);
}

// Floor at height 10.5 over x and z from 9 to 13 (x + z <= 22), facing up, in cell (10, 10, 10).
void put_floor() { put_triangle(10, 10, 10, 0, {9, 10.5f, 9}, {9, 10.5f, 13}, {13, 10.5f, 9}); }

class PointSweep : public CollisionWorld {
 protected:
  XYZ result = {7, 8, 9};
  IJK normal = {1, 2, 3};
  void expect_untouched() {
    expect_near(result, {7, 8, 9}, 0);
    expect_near(normal, {1, 2, 3}, 0);
  }
};

TEST_F(PointSweep, HitsATerrainTriangleAsDirt) {
  put_floor();
  ASSERT_EQ(test_point_collisions({10.25f, 11, 10.25f}, {0, -1, 0}, &result, &normal), CT_DIRT_COLLISION);
  expect_near(result, {10.25f, 10.5f, 10.25f});
  expect_near(normal, {0, 1, 0});
}

TEST_F(PointSweep, SlantedPathHitsWhereItCrossesThePlane) {
  put_floor();
  ASSERT_EQ(test_point_collisions({10, 11.5f, 10}, {1, -2, 0.5f}, &result, &normal), CT_DIRT_COLLISION);
  expect_near(result, {10.5f, 10.5f, 10.25f}, 1e-5f);
}

TEST_F(PointSweep, PathEndingExactlyOnTheSurfaceHitsIt) {
  put_floor();
  ASSERT_EQ(test_point_collisions({10.25f, 11.5f, 10.25f}, {0, -1, 0}, &result, &normal), CT_DIRT_COLLISION);
  expect_near(result, {10.25f, 10.5f, 10.25f}, 0);
  ASSERT_EQ(test_point_collisions({16, 0.5f, 16}, {0, -0.5f, 0}, &result, &normal), CT_METAL_COLLISION);
  expect_near(result, {16, 0, 16}, 0);
}

TEST_F(PointSweep, PathStoppingShortOfTheSurfaceMeetsNothing) {
  put_floor();
  EXPECT_EQ(test_point_collisions({10.25f, 11.5f, 10.25f}, {0, -0.99f, 0}, &result, &normal), CT_NO_COLLISION);
  expect_untouched();
}

TEST_F(PointSweep, StartingOnATriangleAndMovingIntoItHitsAtOnce) {
  put_floor();
  ASSERT_EQ(test_point_collisions({10.5f, 10.5f, 10.5f}, {0.1f, -0.3f, 0}, &result, &normal), CT_DIRT_COLLISION);
  expect_near(result, {10.5f, 10.5f, 10.5f}, 0);
}

TEST_F(PointSweep, MovingAlongOrAwayFromASurfacePassesIt) {
  put_floor();
  EXPECT_EQ(test_point_collisions({10.5f, 10.5f, 10.5f}, {0.5f, 0, 0.2f}, &result, &normal), CT_NO_COLLISION);
  EXPECT_EQ(test_point_collisions({10.5f, 10.6f, 10.5f}, {0, 0.5f, 0}, &result, &normal), CT_NO_COLLISION);
  // From below, the back face is passed.
  EXPECT_EQ(test_point_collisions({10.5f, 10.2f, 10.5f}, {0, 0.6f, 0}, &result, &normal), CT_NO_COLLISION);
  // Along a wall, even lying in it.
  EXPECT_EQ(test_point_collisions({16, 0, 16}, {0.5f, 0, 0}, &result, &normal), CT_NO_COLLISION);
  expect_untouched();
}

TEST_F(PointSweep, CrossingThePlaneOutsideTheTriangleMissesIt) {
  put_triangle(11, 10, 11, 0, {9, 10.5f, 9}, {9, 10.5f, 13}, {13, 10.5f, 9});  // in the path's cell
  EXPECT_EQ(test_point_collisions({11.8f, 11, 11.8f}, {0, -1, 0}, &result, &normal), CT_NO_COLLISION);
}

TEST_F(PointSweep, WallsAreMetalWithTheirOwnNormal) {
  ASSERT_EQ(test_point_collisions({31.75f, 16, 16}, {0.5f, 0, 0}, &result, &normal), CT_METAL_COLLISION);
  expect_near(result, {32, 16, 16});
  expect_near(normal, {-1, 0, 0}, 0);
  ASSERT_EQ(test_point_collisions({16, 31.9f, 16}, {0, 0.4f, 0.3f}, &result, &normal), CT_METAL_COLLISION);
  expect_near(result, {16, 32, 16.075f}, 1e-5f);
  expect_near(normal, {0, -1, 0}, 0);
}

TEST_F(PointSweep, ZeroMovementFindsOnlyAVurkMovingIntoThePoint) {
  put_floor();
  // Lying on the floor and on the bottom wall: a still point meets neither.
  EXPECT_EQ(test_point_collisions({10.5f, 10.5f, 10.5f}, {0, 0, 0}, &result, &normal), CT_NO_COLLISION);
  EXPECT_EQ(test_point_collisions({16, 0, 16}, {0, 0, 0}, &result, &normal), CT_NO_COLLISION);
  expect_untouched();
  // Vurk 1 moved from z = 17 to z = 15 this frame, through the point at z = 16.
  put_vurk(1, {16, 16, 15}, {16, 16, 17});
  ASSERT_EQ(test_point_collisions({16, 16, 16}, {0, 0, 0}, &result, &normal), CT_VURK2_COLLISION);
  expect_near(result, {16, 16, 16.5f});
  expect_near(normal, {0, 0, 1});  // from the vurk where it is now
}

TEST_F(PointSweep, StillVurkAndStillPointMeetNothing) {
  put_vurk(0, {16, 16, 16.2f}, {16, 16, 16.2f});
  EXPECT_EQ(test_point_collisions({16, 16, 16}, {0, 0, 0}, &result, &normal), CT_NO_COLLISION);
  expect_untouched();
}

TEST_F(PointSweep, HitOnTheThirdVurkReturnsSix) {
  put_vurk(2, {16, 16, 18}, {16, 16, 18});
  EXPECT_EQ(test_point_collisions({16, 16, 16}, {0, 0, 2}, &result, &normal), 6);
  expect_near(result, {16, 16, 17.5f});
  expect_near(normal, {0, 0, -1});
}

TEST_F(PointSweep, EachVurkAnswersWithItsOwnValue) {
  for (int i = 0; i < MAX_VURKS; i++) {
    for (auto& v : vurk) v.alive = 0;
    put_vurk(i, {16, 16, 18}, {16, 16, 18});
    EXPECT_EQ(test_point_collisions({16, 16, 16}, {0, 0, 2}, &result, &normal), CT_VURK1_COLLISION + i);
  }
}

TEST_F(PointSweep, VurksAreMetWhereTheyStoodAtTheFrameStart) {
  // The vurk moved sideways out of the path this frame: in its frame the point passes it.
  put_vurk(0, {17.5f, 16, 18}, {16, 16, 18});
  EXPECT_EQ(test_point_collisions({16, 16, 16}, {0, 0, 2}, &result, &normal), CT_NO_COLLISION);
  // It moved toward the point: the point alone stops short of its sphere, but with the
  // relative motion (0, 0, 2) the sphere around z = 18 is met after 1.5.
  put_vurk(0, {16, 16, 17}, {16, 16, 18});
  ASSERT_EQ(test_point_collisions({16, 16, 16}, {0, 0, 1}, &result, &normal), CT_VURK1_COLLISION);
  expect_near(result, {16, 16, 17.5f});
  expect_near(normal, {0, 0, 1});  // from where the vurk is now
}

TEST_F(PointSweep, StartingInsideAVurksSphereDoesNotHitIt) {
  put_vurk(3, {16, 16, 16.2f}, {16, 16, 16.2f});
  EXPECT_EQ(test_point_collisions({16, 16, 16}, {0, 0, 1}, &result, &normal), CT_NO_COLLISION);
  put_vurk(3, {16, 16, 16.2f}, {16, 16, 16.5f});  // exactly on its sphere: td is 0
  EXPECT_EQ(test_point_collisions({16, 16, 16}, {0, 0, 1}, &result, &normal), CT_NO_COLLISION);
  expect_untouched();
}

TEST_F(PointSweep, DeadVurksAreNotMet) {
  put_vurk(2, {16, 16, 18}, {16, 16, 18});
  vurk[2].alive = 0;
  EXPECT_EQ(test_point_collisions({16, 16, 16}, {0, 0, 2}, &result, &normal), CT_NO_COLLISION);
}

TEST_F(PointSweep, RockTrianglesArePlacedScaledAndKeepTheModelNormal) {
  OneTriangleRock model({-0.5f, 0, -0.5f}, {-0.5f, 0, 0.5f}, {0.5f, 0, -0.5f});
  model.place(0, {16, 10, 16}, 4.0f, 10.0f);
  ASSERT_EQ(test_point_collisions({15.5f, 11, 15.5f}, {0, -2, 0}, &result, &normal), CT_ROCK_COLLISION);
  expect_near(result, {15.5f, 10, 15.5f});
  expect_near(normal, {0, 1, 0});
  // Outside the scaled triangle (x + z beyond 4 from its corner): missed.
  EXPECT_EQ(test_point_collisions({17.9f, 11, 17.9f}, {0, -2, 0}, &result, &normal), CT_NO_COLLISION);
}

TEST_F(PointSweep, RockBeyondReachByItsRadiusIsNotLookedAt) {
  OneTriangleRock model({-0.5f, 0, -0.5f}, {-0.5f, 0, 0.5f}, {0.5f, 0, -0.5f});
  // Squared distance to the centre 0.25 + 1 + 0.25 = 1.5.
  model.place(0, {16, 10, 16}, 4.0f, 0.2f);
  EXPECT_EQ(test_point_collisions({15.5f, 11, 15.5f}, {0, -1, 0}, &result, &normal), CT_NO_COLLISION);
  rock[0].radius = 0.25f;  // (1 + 0.25)^2 = 1.5625 >= 1.5
  EXPECT_EQ(test_point_collisions({15.5f, 11, 15.5f}, {0, -1, 0}, &result, &normal), CT_ROCK_COLLISION);
}

TEST_F(PointSweep, TiesGoToTerrainThenWallsThenRocksThenVurks) {
  // A triangle lying on the bottom wall: terrain first.
  put_triangle(5, 0, 5, 0, {4, 0, 4}, {4, 0, 8}, {8, 0, 4});
  EXPECT_EQ(test_point_collisions({5, 1, 5}, {0, -2, 0}, &result, &normal), CT_DIRT_COLLISION);
  // A rock triangle lying on the bottom wall: the wall first.
  OneTriangleRock model({-2, 0, -2}, {-2, 0, 2}, {2, 0, -2});
  model.place(0, {20, 0, 20}, 1.0f, 3.0f);
  EXPECT_EQ(test_point_collisions({19, 1, 19}, {0, -2, 0}, &result, &normal), CT_METAL_COLLISION);
  // A rock triangle at height 8 and a vurk whose sphere is met at the same distance 2.
  rock[0].p.y = 8;
  put_vurk(1, {19, 7.5f, 19}, {19, 7.5f, 19});
  EXPECT_EQ(test_point_collisions({19, 10, 19}, {0, -4, 0}, &result, &normal), CT_ROCK_COLLISION);
  // Two vurks at the same place: the lower index.
  rocks = 0;
  put_vurk(3, {19, 7.5f, 19}, {19, 7.5f, 19});
  EXPECT_EQ(test_point_collisions({19, 10, 19}, {0, -4, 0}, &result, &normal), CT_VURK2_COLLISION);
}

TEST_F(PointSweep, CornerTieGoesToTheLowerWallIndex) {
  ASSERT_EQ(test_point_collisions({1, 1, 16}, {-1, -1, 0}, &result, &normal), CT_METAL_COLLISION);
  expect_near(normal, {0, 1, 0}, 0);  // wall 1 (bottom) before wall 2 (x = 0)
}

TEST_F(PointSweep, NearerHitWinsWhateverItsKind) {
  put_floor();
  put_vurk(0, {10.25f, 12, 10.25f}, {10.25f, 12, 10.25f});
  // From above the vurk: the vurk is nearer than the floor.
  EXPECT_EQ(test_point_collisions({10.25f, 13, 10.25f}, {0, -3, 0}, &result, &normal), CT_VURK1_COLLISION);
  // Under the top wall, a triangle facing down is nearer; above the triangle, the wall.
  put_triangle(10, 31, 10, 0, {9, 31.9f, 9}, {13, 31.9f, 9}, {9, 31.9f, 13});  // faces down
  EXPECT_EQ(test_point_collisions({10.25f, 31.8f, 10.25f}, {0, 0.5f, 0}, &result, &normal), CT_DIRT_COLLISION);
  EXPECT_EQ(test_point_collisions({10.25f, 31.95f, 10.25f}, {0, 0.5f, 0}, &result, &normal), CT_METAL_COLLISION);
}

TEST_F(PointSweep, TiesBetweenCellsFollowXThenY) {
  // Path from (11, 11) toward (10, 10) reaches the floor y = 10 and the wall x = 10 at
  // the same distance, at the line where they meet.
  const XYZ floor[3] = {{9.5f, 10, 9}, {9.5f, 10, 12}, {11.5f, 10, 9}};     // faces +y
  const XYZ side[3] = {{10, 9.5f, 9}, {10, 11.5f, 9}, {10, 9.5f, 12}};      // faces +x
  auto shoot = [&]() { return test_point_collisions({11, 11, 10.5f}, {-1, -1, 0}, &result, &normal); };
  // Cells in reach: x 10..11, y 10..11, z 10.
  put_triangle(11, 10, 10, 0, floor[0], floor[1], floor[2]);
  put_triangle(10, 11, 10, 0, side[0], side[1], side[2]);
  ASSERT_EQ(shoot(), CT_DIRT_COLLISION);
  expect_near(normal, {1, 0, 0}, 0);
  gridcell[gridcell_index(11, 10, 10)].triangles = 0;
  gridcell[gridcell_index(10, 11, 10)].triangles = 0;
  put_triangle(10, 11, 10, 0, floor[0], floor[1], floor[2]);
  put_triangle(11, 10, 10, 0, side[0], side[1], side[2]);
  ASSERT_EQ(shoot(), CT_DIRT_COLLISION);
  expect_near(normal, {0, 1, 0}, 0);
  gridcell[gridcell_index(10, 11, 10)].triangles = 0;
  gridcell[gridcell_index(11, 10, 10)].triangles = 0;
  put_triangle(11, 11, 10, 0, floor[0], floor[1], floor[2]);
  put_triangle(11, 10, 10, 0, side[0], side[1], side[2]);
  ASSERT_EQ(shoot(), CT_DIRT_COLLISION);
  expect_near(normal, {1, 0, 0}, 0);  // y = 10 before y = 11
}

TEST_F(PointSweep, CellsOutsideTheGridAreSkipped) {
  // Grid index (32, 10, 10) would wrap to cell (0, 11, 10), (-1, 11, 10) to (31, 10, 10).
  put_triangle(0, 11, 10, 0, {32, 10.5f, 9}, {32, 10.5f, 12}, {35, 10.5f, 9});
  put_triangle(31, 10, 10, 0, {-3, 10.5f, 9}, {-3, 10.5f, 12}, {0, 10.5f, 9});
  EXPECT_EQ(test_point_collisions({32.5f, 10.75f, 10.5f}, {0, -1, 0}, &result, &normal), CT_NO_COLLISION);
  EXPECT_EQ(test_point_collisions({-1.5f, 11.75f, 10.5f}, {0, -1.5f, 0}, &result, &normal), CT_NO_COLLISION);
  EXPECT_EQ(test_point_collisions({1e12f, 16, 16}, {1e12f, 0, 0}, &result, &normal), CT_NO_COLLISION);
  expect_untouched();
  // Out there a rock is still met.
  OneTriangleRock model({-2, 0, -2}, {-2, 0, 2}, {2, 0, -2});
  model.place(0, {33, 10, 11}, 1.0f, 3.0f);
  EXPECT_EQ(test_point_collisions({32.5f, 10.75f, 10.5f}, {0, -1, 0}, &result, &normal), CT_ROCK_COLLISION);
  // A path from inside to far outside stops at the wall.
  ASSERT_EQ(test_point_collisions({16, 16, 16}, {0, 0, 1e12f}, &result, &normal), CT_METAL_COLLISION);
  expect_near(result, {16, 16, 32}, 1e-3f);
}

}  // namespace
}  // namespace vurkhold
