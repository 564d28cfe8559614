// sphere and point sweeps: what a moving sphere or point meets first among terrain, walls,
// rocks and vurks, where it stops, the contact normal and the slide left, how ties and places
// off the grid are settled, and the point's walk along its path against a search of its
// whole box in the carved test cave.
#include <gtest/gtest.h>

#include "geometry/cave_walk.h"
#include "geometry/collision_world.h"
#include "support/cave.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

constexpr float PUSH = 0.00001f, H = 0.70710678f;

void put_triangle(int x, int y, int z, XYZ a, XYZ b, XYZ c) {
  GRIDCELL& cell = gridcell[gridcell_index(x, y, z)];
  test::set_triangle(&cell.triangle[cell.triangles++], a, b, c);
}

// The triangle at height 10.5 covers x and z from 9 to 13 (x + z <= 22); the cells (0, 11, 10)
// and (31, 10, 10), which wrapped indices would reach from off the grid, hold triangles below
// (33, 11, 10.5) and (-1.5, 11, 10.5). At (1, 1, 20.5) a triangle at height 1 meets one facing
// +x; around z = 25.5 two triangles at height 1 leave a gap from x = 1.2 to 1.8, the right one
// in cell (1, 1, 26) before a copy of the left, which is also alone in cell (2, 1, 25). Which
// of a tied pair is met tells the order of the cells and of the triangles within one. Rock 0
// has no model. Rock 1 lies on the floor, rock 2 at height 8 over vurk 0; rocks 3, 4 and 5 are
// the same triangle at height 10 with radii just short of or just reaching the sweeps below
// them. Vurks 1 and 3 moved by (0, 0, -2) and (0, 0, -1) this frame.
class Sweeps : public test::CollisionWorld {
 protected:
  Sweeps() {
    for (int z : {8, 10}) put_triangle(10, 10, z, {9, 10.5, 9}, {9, 10.5, 13}, {13, 10.5, 9});
    put_triangle(11, 10, 11, {9, 10.5, 9}, {9, 10.5, 13}, {13, 10.5, 9});
    put_triangle(5, 0, 6, {4, 0, 5.75}, {4, 0, 8}, {8, 0, 5.75});
    put_triangle(0, 11, 10, {32, 10.5, 9}, {32, 10.5, 12}, {35, 10.5, 9});
    put_triangle(31, 10, 10, {-3, 10.5, 9}, {-3, 10.5, 12}, {0, 10.5, 9});
    put_triangle(2, 1, 20, {0.5, 1, 20}, {0.5, 1, 23}, {2.5, 1, 20});
    put_triangle(1, 2, 20, {1, 0.5, 20}, {1, 2.5, 20}, {1, 0.5, 23});
    put_triangle(1, 1, 26, {1.8, 1, 24}, {1.8, 1, 27}, {4, 1, 27});
    for (int x : {1, 2}) put_triangle(x, 1, 27 - x, {-1, 1, 24}, {1.2, 1, 27}, {1.2, 1, 24});
    rock[0] = {{16, 16, 16}, nullptr, 1, 100};
    rock[1] = {{20.5, 0, 12.5}, &beside.model, 1, 5};
    rock[2] = {{26, 8, 26}, &square.model, 4, 3};
    rock[3] = {{22, 10, 22}, &square.model, 4, 0.1};
    rock[4] = {{26, 10, 6}, &square.model, 4, 0.125};
    rock[5] = {{6, 10, 26}, &square.model, 4, 0.25};
    rocks = 6;
    const XYZ places[MAX_VURKS][2] = {{{25, 7.5, 25}, {25, 7.5, 25}}, {{8, 16, 15}, {8, 16, 17}},
                                      {{16, 16, 18}, {16, 16, 18}}, {{8.25, 16, 13}, {8.25, 16, 14}}};
    for (int i = 0; i < MAX_VURKS; i++) {
      vurk[i].alive = 1;
      vurk[i].p = places[i][0];
      vurk[i].pp = places[i][1];
    }
  }
  test::Shape beside{{0.25, 0, -2}, {0.25, 0, 2}, {3, 0, -2}};
  test::Shape square{{-0.5, 0, -0.5}, {-0.5, 0, 0.5}, {0.5, 0, -0.5}};
};

struct Row {
  const char* name;
  XYZ p;
  IJK movement;
  int hit;  // 0 or 1 for spheres, a CT_ value for points
  XYZ result{};
  IJK normal{}, slide{};
};

// Misses must leave the outputs as they were.
void run(std::initializer_list<Row> rows, bool sphere) {
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    XYZ result = {7, 8, 9};
    IJK normal = {1, 2, 3}, slide = {4, 5, 6};
    ASSERT_EQ(sphere ? test_sphere_collisions(r.p, 0.5f, r.movement, &result, &normal, &slide)
                     : test_point_collisions(r.p, r.movement, &result, &normal),
              r.hit);
    test::expect_near(result, r.hit ? r.result : XYZ{7, 8, 9});
    test::expect_near(normal, r.hit ? r.normal : IJK{1, 2, 3});
    if (sphere) test::expect_near(slide, r.hit ? r.slide : IJK{4, 5, 6});
  }
}

// A sphere and a vurk meet when their centres come within 1, the two radii of 0.5 added. A
// sphere touching an edge is free to move away from it, even against the face's normal.
TEST_F(Sweeps, Sphere) {
  run({
      {"onto a face", {10.25, 11.5, 10.25}, {0, -0.5, 0}, 1, {10.25, 11, 10.25}, {0, 1, 0}, {0, PUSH, 0}},
      {"onto an edge", {10.5, 11.5, 8.7}, {0, -1, 0}, 1, {10.5, 10.9, 8.7}, {0, 0.8, -0.6},
       {0, -0.144 + 0.8 * PUSH, -0.192 - 0.6 * PUSH}},
      {"reaching ahead", {10.125, 11.5, 11.5}, {0.5, -1, 0}, 1, {10.375, 11, 11.5}, {0, 1, 0}, {0.25, PUSH, 0}},
      {"reaching back", {11.25, 11.5, 10.25}, {0.5, -1, 0}, 1, {11.5, 11, 10.25}, {0, 1, 0}, {0.25, PUSH, 0}},
      {"centre on a face", {10.5, 10.5, 10.5}, {0.125, -0.125, 0}, 1, {10.5, 10.5, 10.5}, {0, 1, 0}, {.125, PUSH, 0}},
      {"centre behind a face", {10.5, 10.375, 10.5}, {0, -0.5, 0}, 0},
      {"onto an edge it touches", {11.25, 10.75, 11.25}, {-0.5, -0.125, -0.5}, 1, {11.25, 10.75, 11.25},
       {0.57735027f, 0.57735027f, 0.57735027f}, {-0.125 + 0.57735027f * PUSH, 0.25 + 0.57735027f * PUSH,
                                                 -0.125 + 0.57735027f * PUSH}},
      {"down, away from an edge it touches", {11.25, 10.75, 11.25}, {0.5, -0.125, 0.5}, 0},
      {"onto the floor", {16, 0.6, 16}, {0, -1, 0}, 1, {16, 0.5, 16}, {0, 1, 0}, {0, PUSH, 0}},
      {"no movement", {16, 0.25, 16}, {0, 0, 0}, 0},
      {"centre on the floor", {16, 0, 16}, {0.125, -0.125, 0}, 0},
      {"floor before x = 0", {0.25, 0.25, 16}, {-0.125, -0.125, 0}, 1, {0.25, 0.25, 16}, {0, 1, 0}, {-0.125, PUSH, 0}},
      {"terrain before the floor", {5.5, 0.25, 5.5}, {0, -0.125, 0}, 1, {5.5, 0.25, 5.5}, {0, H, -H},
       {0, -0.0625 + H * PUSH, -0.0625 - H * PUSH}},
      {"floor before a rock", {20.5, 0.25, 12.5}, {0, -0.125, 0}, 1, {20.5, 0.25, 12.5}, {0, 1, 0}, {0, PUSH, 0}},
      {"rock before a vurk", {25, 9.125, 25}, {0, -2, 0}, 1, {25, 8.5, 25}, {0, 1, 0}, {0, PUSH, 0}},
      {"rock short of reach", {21.5, 11, 21.5}, {0, -0.6, 0}, 0},
      {"rock just in reach", {25.5, 11, 5.5}, {0, -0.6, 0}, 1, {25.5, 10.5, 5.5}, {0, 1, 0}, {0, PUSH, 0}},
      {"vurk on the path", {16, 16, 16}, {0.5, 0, 1.5}, 1, {16, 16, 16}, {0, 0, -1}, {0.5, 0, -PUSH}},
      {"vurk passed 0.96 off", {16.9609375, 16, 16.71875}, {0, 0, 3}, 1, {16.9609375, 16, 16.71875}, {0.6, 0, -0.8},
       {1.44 + 0.6 * PUSH, 0, 1.08 - 0.8 * PUSH}},
      {"vurk passed 1.04 off", {17.0390625, 16, 16.71875}, {0, 0, 3}, 0},
      {"vurk beyond the move", {16, 16, 16}, {0, 0, 0.9}, 0},
      {"overlapping a vurk", {16, 16, 17.25}, {0, 0, 3}, 0},
      {"vurk 1 met first, vurk 3 nearer", {8, 16, 10}, {0, 0, 30}, 1, {8, 16, 10}, {0, 0, -1}, {0, 0, -PUSH}},
      {"beyond x = 32", {33, 11, 10.5}, {0, -1, 0}, 0},
      {"far beyond x = 32", {1e12, 16, 16}, {1e12, 0, 0}, 0},
      {"to far beyond z = 32", {16, 5, 16}, {0, 0, 1e12}, 1, {16, 5, 31.5}, {0, 0, -1}, {0, 0, -PUSH}},
      {"cells by x, then triangles in order", {1.5, 2.5, 25.5}, {0, -1.25, 0}, 1, {1.5, 1.4, 25.5}, {-0.6, 0.8, 0},
       {-0.072 - 0.6 * PUSH, -0.054 + 0.8 * PUSH, 0}},
  }, true);
  vurk[2].alive = 0;
  run({{"dead vurk on the path", {16, 16, 16}, {0.5, 0, 1.5}, 0}}, true);
}

TEST_F(Sweeps, Point) {
  run({
      {"ending on a face", {10.25, 11.5, 10.25}, {0, -1, 0}, CT_DIRT_COLLISION, {10.25, 10.5, 10.25}, {0, 1, 0}},
      {"from a face into it", {10.5, 10.5, 10.5}, {0.125, -0.25, 0}, CT_DIRT_COLLISION, {10.5, 10.5, 10.5}, {0, 1, 0}},
      {"along a face", {10.5, 10.5, 10.5}, {0.5, 0, 0.25}, CT_NO_COLLISION},
      {"beside a triangle", {11.75, 11, 11.75}, {0, -1, 0}, CT_NO_COLLISION},
      {"no movement on a face", {10.5, 10.5, 10.5}, {0, 0, 0}, CT_NO_COLLISION},
      {"ending on the floor", {16, 0.5, 16}, {0, -0.5, 0}, CT_METAL_COLLISION, {16, 0, 16}, {0, 1, 0}},
      {"floor before x = 0", {1, 1, 16}, {-1, -1, 0}, CT_METAL_COLLISION, {0, 0, 16}, {0, 1, 0}},
      {"terrain before the floor", {5, 1, 6.5}, {0, -2, 0}, CT_DIRT_COLLISION, {5, 0, 6.5}, {0, 1, 0}},
      {"floor before a rock", {21, 1, 11}, {0, -2, 0}, CT_METAL_COLLISION, {21, 0, 11}, {0, 1, 0}},
      {"rock before a vurk", {25, 9, 25}, {0, -10, 0}, CT_ROCK_COLLISION, {25, 8, 25}, {0, 1, 0}},
      {"rock short of reach", {21.5, 11, 21.5}, {0, -1, 0}, CT_NO_COLLISION},
      {"rock just in reach", {5.5, 11, 25.5}, {0, -1, 0}, CT_ROCK_COLLISION, {5.5, 10, 25.5}, {0, 1, 0}},
      {"vurk 2 ahead", {16, 16, 16}, {0, 0, 20}, 6, {16, 16, 17.5}, {0, 0, -1}},
      {"inside vurk 2", {16, 16, 17.75}, {0, 0, 1}, CT_NO_COLLISION},
      {"on vurk 2", {16, 16, 17.5}, {0, 0, 1}, CT_NO_COLLISION},
      {"vurk 1 moving into a still point", {8, 16, 16}, {0, 0, 0}, CT_VURK2_COLLISION, {8, 16, 16.5}, {0, 0, 1}},
      {"vurk 3 where it stood", {8.25, 16, 12}, {0, 0, 1}, CT_VURK4_COLLISION, {8.25, 16, 13.5}, {0, 0, 1}},
      {"beyond x = 32", {32.5, 10.75, 10.5}, {0, -1, 0}, CT_NO_COLLISION},
      {"beyond x = 0", {-1.5, 11.75, 10.5}, {0, -1.5, 0}, CT_NO_COLLISION},
      {"far beyond x = 32", {1e12, 16, 16}, {1e12, 0, 0}, CT_NO_COLLISION},
      {"to far beyond z = 32", {16, 5, 16}, {0, 0, 1e12}, CT_METAL_COLLISION, {16, 5, 32}, {0, 0, -1}},
      {"an infinite step", {16, 16, 16}, {INFINITY, INFINITY, 0}, CT_NO_COLLISION},  // no NaN cell numbers
      {"cells by x first", {2, 2, 20.5}, {-1, -1, 0}, CT_DIRT_COLLISION, {1, 1, 20.5}, {1, 0, 0}},
      // A floor's corner is shared by several triangles: hitting it exactly must not slip between them.
      {"onto a corner", {2.5, 2, 20}, {0, -1, 0}, CT_DIRT_COLLISION, {2.5, 1, 20}, {0, 1, 0}},
  }, false);
  vurk[2].alive = 0;
  vurk[3] = vurk[0];
  rocks = 2;  // rock 2 no longer stands over vurk 0
  run({{"dead vurk 2", {16, 16, 16}, {0, 0, 20}, CT_METAL_COLLISION, {16, 16, 32}, {0, 0, -1}},
       {"vurk 0 before vurk 3", {25, 9, 25}, {0, -10, 0}, CT_VURK1_COLLISION, {25, 8, 25}, {0, 1, 0}}}, false);
}

using SweepCells = test::CollisionWorld;

// Points from all over the cave, some on cell faces, along axes, diagonals and at random,
// from a hair to longer than the grid: the walk along the path answers exactly as the
// search of the whole bounding box, hit point, normal and kind alike. Exactly, because both
// put the same triangles through the same test in the same order; they differ only in the
// cells they skip.
TEST_F(SweepCells, PointWalkAlongThePathAnswersAsTheWholeBoxSearch) {
  test::carve_test_cave(3);
  test::WalkRng rng{77};
  const std::vector<XYZ> open = test::open_points(0.1);
  long hits = 0;
  constexpr int SWEEPS = 20000;
  for (int n = 0; n < SWEEPS; n++) {
    XYZ p = open[size_t(rng.uniform(0, double(open.size())))];
    if (n % 3 == 0) p.x = std::floor(p.x);
    if (n % 3 == 1) p.y = std::floor(p.y) + 0.5f;
    const int d = int(rng.uniform(0, 27));
    IJK way = d == 13 || n % 2 ? rng.direction(1.0) : IJK{float(d % 3 - 1), float(d / 3 % 3 - 1), float(d / 9 - 1)};
    normalize_vector(&way);
    const float length = float(std::exp(rng.uniform(std::log(0.05), std::log(40.0))));
    const IJK movement = {way.i * length, way.j * length, way.k * length};
    auto outcome = [&](auto sweep) {
      XYZ at{};
      IJK normal{};
      const COLLISION_TYPE kind = sweep(p, movement, &at, &normal);
      return std::array<float, 7>{float(kind), at.x, at.y, at.z, normal.i, normal.j, normal.k};
    };
    const auto got = outcome(test_point_collisions);
    ASSERT_EQ(got, outcome(test_point_collisions_in_box)) << "from " << p.x << ", " << p.y << ", " << p.z << " by "
                                                          << movement.i << ", " << movement.j << ", " << movement.k;
    hits += got[0] == float(CT_DIRT_COLLISION);
  }
  EXPECT_GT(hits, SWEEPS / 4);
}

}  // namespace
}  // namespace vurkhold
