// sphere sweep: contacts with walls, terrain triangles, rocks and vurks, the slide left,
// and which contact wins when several are met.
#include <gtest/gtest.h>

#include "geometry/collision_world.h"
#include "geometry/geometry.h"

namespace vurkhold {
namespace {

using test::CollisionWorld;
using test::OneTriangleRock;
using test::put_triangle;

constexpr float PUSH = 0.00001f;

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

// A floor triangle at height 10.5 over x and z from 9 to 13 (x + z <= 22), facing up. The
// sweep finds a triangle through the cell that holds it, so the cell must be in reach.
void put_floor(int cz = 10) { put_triangle(10, 10, cz, 0, {9, 10.5f, 9}, {9, 10.5f, 13}, {13, 10.5f, 9}); }

using SphereWalls = CollisionWorld;

TEST_F(SphereWalls, FallingOntoTheBottomWallStopsAtItsRadius) {
  XYZ result;
  IJK normal, slide;
  ASSERT_EQ(test_sphere_collisions({16, 0.6f, 16}, 0.5f, {0, -1, 0}, &result, &normal, &slide), 1);
  expect_near(result, {16, 0.5f, 16});
  expect_near(normal, {0, 1, 0});
  expect_near(slide, {0, PUSH, 0}, 1e-9f);
}

TEST_F(SphereWalls, MovementTooShortToReachTheWallMeetsNothing) {
  XYZ result = {7, 7, 7};
  IJK normal = {7, 7, 7}, slide = {7, 7, 7};
  EXPECT_EQ(test_sphere_collisions({16, 0.6f, 16}, 0.5f, {0, -0.09f, 0}, &result, &normal, &slide), 0);
  expect_near(result, {7, 7, 7}, 0);
}

TEST_F(SphereWalls, ZeroMovementMeetsNothingAndLeavesTheOutputs) {
  put_floor();
  put_vurk(1, {16, 0.7f, 16}, {16, 0.7f, 16});  // overlapping vurk
  XYZ result = {7, 8, 9};
  IJK normal = {1, 2, 3}, slide = {4, 5, 6};
  EXPECT_EQ(test_sphere_collisions({16, 0.3f, 16}, 0.5f, {0, 0, 0}, &result, &normal, &slide), 0);
  EXPECT_EQ(test_sphere_collisions({10.5f, 10.7f, 10.5f}, 0.5f, {0, 0, 0}, &result, &normal, &slide), 0);
  expect_near(result, {7, 8, 9}, 0);
  expect_near(normal, {1, 2, 3}, 0);
  expect_near(slide, {4, 5, 6}, 0);
}

TEST_F(SphereWalls, MovingAlongOrAwayFromAnOverlappedWallDoesNotTouchIt) {
  XYZ result;
  IJK normal, slide;
  EXPECT_EQ(test_sphere_collisions({16, 0.3f, 16}, 0.5f, {0.5f, 0, 0}, &result, &normal, &slide), 0);
  EXPECT_EQ(test_sphere_collisions({16, 0.3f, 16}, 0.5f, {0, 0.5f, 0}, &result, &normal, &slide), 0);
}

TEST_F(SphereWalls, OverlappingAWallAndMovingIntoItKeepsOnlyTheTangentialPart) {
  XYZ result;
  IJK normal, slide;
  ASSERT_EQ(test_sphere_collisions({16, 0.3f, 16}, 0.5f, {0.2f, -0.1f, 0}, &result, &normal, &slide), 1);
  expect_near(result, {16, 0.3f, 16});
  expect_near(normal, {0, 1, 0});
  expect_near(slide, {0.2f, PUSH, 0});
}

TEST_F(SphereWalls, CornerTiesGoToTheLowerWallIndex) {
  XYZ result;
  IJK normal, slide;
  // Overlapping the bottom (1) and the x = 0 wall (2), moving into both.
  ASSERT_EQ(test_sphere_collisions({0.3f, 0.3f, 16}, 0.5f, {-0.1f, -0.1f, 0}, &result, &normal, &slide), 1);
  expect_near(normal, {0, 1, 0});
  // Overlapping the x = 32 wall (3) and the z = 32 wall (5).
  ASSERT_EQ(test_sphere_collisions({31.7f, 16, 31.7f}, 0.5f, {0.1f, 0, 0.1f}, &result, &normal, &slide), 1);
  expect_near(normal, {-1, 0, 0});
}

TEST_F(SphereWalls, OutsideTheWorldTheWallsFaceAwayAndTheGridIsSkipped) {
  // Grid index (32, 10, 10) would wrap to cell (0, 11, 10): a triangle there, under the
  // sphere, must not be met.
  put_triangle(0, 11, 10, 0, {32, 10.5f, 9}, {32, 10.5f, 12}, {35, 10.5f, 9});
  // Grid index (-1, 11, 10) would wrap to cell (31, 10, 10).
  put_triangle(31, 10, 10, 0, {-3, 10.5f, 9}, {-3, 10.5f, 12}, {0, 10.5f, 9});
  XYZ result;
  IJK normal, slide;
  EXPECT_EQ(test_sphere_collisions({33.2f, 11.5f, 10.5f}, 0.5f, {0, -1, 0}, &result, &normal, &slide), 0);
  EXPECT_EQ(test_sphere_collisions({-1.6f, 11.5f, 10.5f}, 0.5f, {0, -1, 0}, &result, &normal, &slide), 0);
  // Far beyond the grid, and a move far past it: no cell outside 0..31 is visited.
  EXPECT_EQ(test_sphere_collisions({1e12f, 16, 16}, 0.5f, {1e12f, 0, 0}, &result, &normal, &slide), 0);
  EXPECT_EQ(test_sphere_collisions({-1e12f, 16, 16}, 0.5f, {-1e12f, 0, 0}, &result, &normal, &slide), 0);
  ASSERT_EQ(test_sphere_collisions({16, 16, 16}, 0.5f, {0, 0, 1e12f}, &result, &normal, &slide), 1);
  expect_near(result, {16, 16, 31.5f});
  expect_near(normal, {0, 0, -1});
  // A vurk out there still stops it.
  put_vurk(3, {33.2f, 10.0f, 10.5f}, {33.2f, 10.0f, 10.5f});
  EXPECT_EQ(test_sphere_collisions({33.2f, 11.5f, 10.5f}, 0.5f, {0, -1, 0}, &result, &normal, &slide), 1);
}

using SphereTerrain = CollisionWorld;

TEST_F(SphereTerrain, FallingOntoATriangleStopsOneRadiusAbove) {
  put_floor();
  XYZ result;
  IJK normal, slide;
  ASSERT_EQ(test_sphere_collisions({10.25f, 11.5f, 10.25f}, 0.5f, {0, -1, 0}, &result, &normal, &slide), 1);
  expect_near(result, {10.25f, 11.0f, 10.25f});
  expect_near(normal, {0, 1, 0});
  expect_near(slide, {0, PUSH, 0}, 1e-7f);
}

TEST_F(SphereTerrain, SlantedMoveSlidesOnWithTheRestOfItsTangentialPart) {
  put_floor();
  XYZ result;
  IJK normal, slide;
  ASSERT_EQ(test_sphere_collisions({10.25f, 11.5f, 10.25f}, 0.5f, {0.4f, -1, 0.2f}, &result, &normal, &slide), 1);
  expect_near(result, {10.45f, 11.0f, 10.35f});
  expect_near(normal, {0, 1, 0});
  expect_near(slide, {0.2f, PUSH, 0.1f});
}

TEST_F(SphereTerrain, SphereMeetsTheEdgeOfATriangleBesideItsPath) {
  put_floor(8);  // its edge runs along z = 9 from x = 9 to 13
  XYZ result;
  IJK normal, slide;
  ASSERT_EQ(test_sphere_collisions({10.5f, 11.5f, 8.7f}, 0.5f, {0, -1, 0}, &result, &normal, &slide), 1);
  expect_near(result, {10.5f, 10.9f, 8.7f}, 1e-5f);
  expect_near(normal, {0, 0.8f, -0.6f}, 1e-5f);
  // The 0.4 left of the fall, flattened onto the tangent plane at the edge.
  expect_near(slide, {0, -0.144f + 0.8f * PUSH, -0.192f - 0.6f * PUSH}, 1e-5f);
}

TEST_F(SphereTerrain, SpherePassingBesideTheEdgeMeetsNothing) {
  put_floor(8);
  XYZ result;
  IJK normal, slide;
  EXPECT_EQ(test_sphere_collisions({10.5f, 11.5f, 8.4f}, 0.5f, {0, -1, 0}, &result, &normal, &slide), 0);
}

TEST_F(SphereTerrain, OverlappingATriangleGivesDistanceZeroAndTheTangentialSlide) {
  put_floor();
  XYZ result;
  IJK normal, slide;
  ASSERT_EQ(test_sphere_collisions({10.5f, 10.8f, 10.5f}, 0.5f, {0.2f, -0.1f, 0}, &result, &normal, &slide), 1);
  expect_near(result, {10.5f, 10.8f, 10.5f}, 0);
  expect_near(normal, {0, 1, 0});
  expect_near(slide, {0.2f, PUSH, 0});
}

TEST_F(SphereTerrain, CentreBehindTheTrianglesPlanePassesThrough) {
  put_floor();
  XYZ result;
  IJK normal, slide;
  EXPECT_EQ(test_sphere_collisions({10.5f, 10.4f, 10.5f}, 0.5f, {0, -0.5f, 0}, &result, &normal, &slide), 0);
  // From below, moving up, the back face does not stop it either.
  EXPECT_EQ(test_sphere_collisions({10.5f, 9.5f, 10.5f}, 0.5f, {0, 2, 0}, &result, &normal, &slide), 0);
}

TEST_F(SphereTerrain, CentreOnTheTrianglesPlaneIsMetWhereOnAWallItIsNot) {
  put_floor();
  const POLYGON t = gridcell[gridcell_index(10, 10, 10)].triangle[0];
  float distance = -1;
  XYZ result;
  IJK normal, slide;
  ASSERT_EQ(ball_and_triangle({10.5f, 10.5f, 10.5f}, 0.5f, {0.1f, -0.1f, 0}, t, &distance, &result, &normal, &slide), 1);
  EXPECT_EQ(distance, 0.0f);
  expect_near(normal, {0, 1, 0}, 0);  // no offset to the contact: the face normal is taken
  expect_near(slide, {0.1f, PUSH, 0});
  EXPECT_EQ(ball_and_plane({16, 0, 16}, 0.5f, {0.1f, -0.1f, 0}, wall[1], &distance, &result, &normal, &slide), 0);
}

TEST_F(SphereTerrain, TiesBetweenTwoEdgesGoToTheFirstTriangleInACell) {
  // Two floor triangles at height 10.5 with edges at x = 10.25 and x = 10.75; a sphere
  // falling at x = 10.5 meets both edges at the same distance.
  const XYZ left[3] = {{8, 10.5f, 9}, {10.25f, 10.5f, 12}, {10.25f, 10.5f, 9}};
  const XYZ right[3] = {{10.75f, 10.5f, 9}, {10.75f, 10.5f, 12}, {13, 10.5f, 12}};
  auto fall = [](IJK* normal) {
    XYZ result;
    IJK slide;
    return test_sphere_collisions({10.5f, 11.5f, 10.5f}, 0.5f, {0, -1, 0}, &result, normal, &slide);
  };
  put_triangle(10, 10, 10, 0, left[0], left[1], left[2]);
  put_triangle(10, 10, 10, 1, right[0], right[1], right[2]);
  IJK normal;
  ASSERT_EQ(fall(&normal), 1);
  EXPECT_GT(normal.i, 0.1f);  // pushed away from the left edge
  put_triangle(10, 10, 10, 0, right[0], right[1], right[2]);
  put_triangle(10, 10, 10, 1, left[0], left[1], left[2]);
  ASSERT_EQ(fall(&normal), 1);
  EXPECT_LT(normal.i, -0.1f);
}

TEST_F(SphereTerrain, TiesBetweenCellsFollowXThenYThenZ) {
  const XYZ left[3] = {{8, 10.5f, 9}, {10.25f, 10.5f, 12}, {10.25f, 10.5f, 9}};
  const XYZ right[3] = {{10.75f, 10.5f, 9}, {10.75f, 10.5f, 12}, {13, 10.5f, 12}};
  auto fall = [](IJK* normal) {
    XYZ result;
    IJK slide;
    return test_sphere_collisions({10.5f, 11.5f, 10.5f}, 0.5f, {0, -1, 0}, &result, normal, &slide);
  };
  auto clear = [] {
    for (int c = 0; c < GRIDCELLS; c++) gridcell[c].triangles = 0;
  };
  IJK normal;
  // Cells in reach: x 10..11, y 10..12, z 10..11.
  put_triangle(11, 10, 10, 0, left[0], left[1], left[2]);
  put_triangle(10, 10, 11, 0, right[0], right[1], right[2]);
  ASSERT_EQ(fall(&normal), 1);
  EXPECT_LT(normal.i, -0.1f) << "x = 10 comes before x = 11, whatever z";
  clear();
  put_triangle(10, 10, 11, 0, left[0], left[1], left[2]);
  put_triangle(11, 10, 10, 0, right[0], right[1], right[2]);
  ASSERT_EQ(fall(&normal), 1);
  EXPECT_GT(normal.i, 0.1f);
  clear();
  put_triangle(10, 11, 10, 0, left[0], left[1], left[2]);
  put_triangle(10, 10, 11, 0, right[0], right[1], right[2]);
  ASSERT_EQ(fall(&normal), 1);
  EXPECT_LT(normal.i, -0.1f) << "y = 10 comes before y = 11, whatever z";
}

TEST_F(SphereTerrain, TerrainWinsATieWithAWall) {
  // Overlapping the bottom wall and a triangle lying on it whose nearest edge is beside
  // the centre: both at distance 0, the terrain contact is slanted.
  put_triangle(5, 0, 5, 0, {4, 0, 5.7f}, {4, 0, 8}, {8, 0, 5.7f});
  XYZ result;
  IJK normal, slide;
  ASSERT_EQ(test_sphere_collisions({5.5f, 0.3f, 5.5f}, 0.5f, {0, -0.1f, 0}, &result, &normal, &slide), 1);
  expect_near(normal, {0, 0.3f / 0.36055513f, -0.2f / 0.36055513f}, 1e-5f);
}

using SphereRocks = CollisionWorld;

TEST_F(SphereRocks, RockTriangleIsScaledAndPlacedAndItsNormalKept) {
  // Model triangle of half-size, scaled by 4 around the rock's centre (16, 10, 16).
  OneTriangleRock model({-0.5f, 0, -0.5f}, {-0.5f, 0, 0.5f}, {0.5f, 0, -0.5f});
  model.place(0, {16, 10, 16}, 4.0f, 3.0f);
  XYZ result;
  IJK normal, slide;
  ASSERT_EQ(test_sphere_collisions({15.5f, 11, 15.5f}, 0.5f, {0, -1, 0}, &result, &normal, &slide), 1);
  expect_near(result, {15.5f, 10.5f, 15.5f});
  expect_near(normal, {0, 1, 0});
  // The model's own corners are not moved.
  EXPECT_EQ(model.corner[0].p.x, -0.5f);
}

TEST_F(SphereRocks, RockOutOfReachByItsRadiusIsNotLookedAt) {
  OneTriangleRock model({-0.5f, 0, -0.5f}, {-0.5f, 0, 0.5f}, {0.5f, 0, -0.5f});
  // The triangle reaches under the sphere, but the rock's radius says it cannot.
  model.place(0, {16, 10, 16}, 4.0f, 0.4f);
  XYZ result;
  IJK normal, slide;
  // distance to the rock's centre sqrt(0.5 + 1) = 1.22 > 0.5 + 0.4 + 0.3
  EXPECT_EQ(test_sphere_collisions({15.5f, 11, 15.5f}, 0.5f, {0, -0.3f, 0}, &result, &normal, &slide), 0);
  rock[0].radius = 0.5f;  // now 1.22 <= 0.5 + 0.5 + 0.3
  EXPECT_EQ(test_sphere_collisions({15.5f, 11, 15.5f}, 0.5f, {0, -0.3f, 0}, &result, &normal, &slide), 0)
      << "in reach, but the move is too short";
  EXPECT_EQ(test_sphere_collisions({15.5f, 11, 15.5f}, 0.5f, {0, -0.6f, 0}, &result, &normal, &slide), 1);
}

TEST_F(SphereRocks, RocksWithoutAModelAndUnusedSlotsAreSkipped) {
  OneTriangleRock model({-0.5f, 0, -0.5f}, {-0.5f, 0, 0.5f}, {0.5f, 0, -0.5f});
  model.place(2, {16, 10, 16}, 4.0f, 3.0f);
  rock[0].model = nullptr;
  rock[1].model = nullptr;
  rocks = 2;  // slot 2 holds a rock but is not in use
  XYZ result;
  IJK normal, slide;
  EXPECT_EQ(test_sphere_collisions({15.5f, 11, 15.5f}, 0.5f, {0, -1, 0}, &result, &normal, &slide), 0);
  rocks = 3;
  EXPECT_EQ(test_sphere_collisions({15.5f, 11, 15.5f}, 0.5f, {0, -1, 0}, &result, &normal, &slide), 1);
}

TEST_F(SphereRocks, WallWinsATieWithARockAndTheLowerRockIndexWinsAmongRocks) {
  // Both rock triangles lie on the bottom wall, their nearest edges beside the centre on
  // opposite sides.
  OneTriangleRock near_x({0.3f, 0, -2}, {0.3f, 0, 2}, {3, 0, -2});      // edge at x = 5.8
  OneTriangleRock far_x({-0.3f, 0, -2}, {-3, 0, -2}, {-0.3f, 0, 2});    // edge at x = 5.2
  near_x.place(0, {5.5f, 0, 5.5f}, 1.0f, 5.0f);
  far_x.place(1, {5.5f, 0, 5.5f}, 1.0f, 5.0f);
  XYZ result;
  IJK normal, slide;
  ASSERT_EQ(test_sphere_collisions({5.5f, 0.3f, 5.5f}, 0.5f, {0, -0.1f, 0}, &result, &normal, &slide), 1);
  expect_near(normal, {0, 1, 0}, 0);  // the wall comes before the rocks
  // Away from the wall, only the two rocks' edges are met, both at distance 0.
  rock[0].p.y = 5;
  rock[1].p.y = 5;
  ASSERT_EQ(test_sphere_collisions({5.5f, 5.3f, 5.5f}, 0.5f, {0, -0.1f, 0}, &result, &normal, &slide), 1);
  EXPECT_LT(normal.i, -0.1f) << "rock 0's edge at x = 5.8 pushes toward -x";
  rock[0].model = &far_x.model;
  rock[1].model = &near_x.model;
  ASSERT_EQ(test_sphere_collisions({5.5f, 5.3f, 5.5f}, 0.5f, {0, -0.1f, 0}, &result, &normal, &slide), 1);
  EXPECT_GT(normal.i, 0.1f);
}

using SphereVurks = CollisionWorld;

TEST_F(SphereVurks, VurkOnThePathStopsTheSphereWhereItStarts) {
  put_vurk(2, {16, 16, 18}, {16, 16, 18});
  XYZ result;
  IJK normal, slide;
  ASSERT_EQ(test_sphere_collisions({16, 16, 16}, 0.5f, {0.5f, 0, 1.5f}, &result, &normal, &slide), 1);
  expect_near(result, {16, 16, 16}, 0);
  expect_near(normal, {0, 0, -1});
  expect_near(slide, {0.5f, 0, -PUSH});
}

TEST_F(SphereVurks, VurkBeyondTheMoveOrOffThePathIsNotMet) {
  put_vurk(0, {16, 16, 18}, {16, 16, 18});
  put_vurk(1, {17.1f, 16, 16.5f}, {17.1f, 16, 16.5f});
  XYZ result;
  IJK normal, slide;
  // td = 2 - 1 = 1 > 0.9; vurk 1 is 1.1 off the line.
  EXPECT_EQ(test_sphere_collisions({16, 16, 16}, 0.5f, {0, 0, 0.9f}, &result, &normal, &slide), 0);
  EXPECT_EQ(test_sphere_collisions({16, 16, 16}, 0.5f, {0, 0, 1.0f}, &result, &normal, &slide), 1);
}

TEST_F(SphereVurks, TheMovingVurkAndOverlappedOnesAreIgnored) {
  put_vurk(0, {16, 16, 16}, {16, 16, 16});        // the mover itself
  put_vurk(1, {16, 16, 16.8f}, {16, 16, 16.8f});  // already overlapping
  XYZ result;
  IJK normal, slide;
  EXPECT_EQ(test_sphere_collisions({16, 16, 16}, 0.5f, {0, 0, 0.5f}, &result, &normal, &slide), 0);
}

TEST_F(SphereVurks, NearerVurkBeatsAWallAndAnEqualOneLoses) {
  XYZ result;
  IJK normal, slide;
  // The bottom wall is met after 0.6; a vurk below the floor at 1.6 - 1.0 = 0.6 ties.
  put_vurk(0, {16, -0.5f, 16}, {16, -0.5f, 16});
  ASSERT_EQ(test_sphere_collisions({16, 1.1f, 16}, 0.5f, {0, -2, 0}, &result, &normal, &slide), 1);
  expect_near(result, {16, 0.5f, 16});
  // At 1.5 - 1.0 = 0.5 the vurk is nearer and the sphere does not move.
  vurk[0].p.y = -0.4f;
  ASSERT_EQ(test_sphere_collisions({16, 1.1f, 16}, 0.5f, {0, -2, 0}, &result, &normal, &slide), 1);
  expect_near(result, {16, 1.1f, 16}, 0);
  expect_near(normal, {0, 1, 0});
}

TEST_F(SphereVurks, FirstVurkMetKeepsTheContact) {
  // Vurk 3 is nearer on the path than vurk 1, but once a vurk is met nothing replaces it.
  put_vurk(1, {16, 16, 19}, {16, 16, 19});
  put_vurk(3, {16.2f, 16, 18}, {16.2f, 16, 18});
  XYZ result;
  IJK normal, slide;
  ASSERT_EQ(test_sphere_collisions({16, 16, 16}, 0.5f, {0, 0, 3}, &result, &normal, &slide), 1);
  expect_near(normal, {0, 0, -1});  // vurk 1, straight ahead
}

}  // namespace
}  // namespace vurkhold
