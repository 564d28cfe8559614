// hole tests: what carving does to the field at and beyond the sphere, holes partly or
// wholly outside the world, repeat carving, the bullet holes it removes, and that the
// rebuilt box leaves the surface exactly as a full rebuild would.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "shell/shell.h"
#include "support/cave.h"
#include "support/test_support.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

float value_at(int x, int y, int z) { return voxel[voxel_index(x, y, z)].value; }

// Every triangle of every cell, byte for byte, and the octree flags.
struct Surface {
  std::vector<uint8_t> counts;
  std::vector<float> data;
  std::vector<int> flags;
  bool operator==(const Surface&) const = default;
};

Surface capture_surface() {
  Surface s;
  for (int c = 0; c < GRIDCELLS; c++) {
    const GRIDCELL& gc = gridcell[c];
    s.counts.push_back(gc.triangles);
    for (int t = 0; t < gc.triangles; t++) {
      const POLYGON& p = gc.triangle[t];
      s.data.insert(s.data.end(), {p.normal.i, p.normal.j, p.normal.k});
      for (int k = 0; k < 3; k++) {
        const VERTEX& v = *p.vertex[k];
        s.data.insert(s.data.end(), {v.p.x, v.p.y, v.p.z, v.u, v.w});
      }
    }
  }
  for (int i = 0; i < OCTREE_NODES; i++) s.flags.push_back(octtree[i].empty);
  return s;
}

std::vector<float> capture_field() {
  std::vector<float> f;
  for (int i = 0; i < VOXELS; i++) f.push_back(voxel[i].value);
  return f;
}

class HoleTest : public ::testing::Test {
 protected:
  test::WorldPools pools;
  void SetUp() override { build_surface(); }
};

TEST_F(HoleTest, CarvingSetsSignedDistancesAndLeavesAClosedSphere) {
  const XYZ p{10.0f, 12.0f, 14.0f};
  make_hole(p, 2.0f);
  EXPECT_EQ(value_at(10, 12, 14), -2.0f);
  EXPECT_EQ(value_at(12, 12, 14), 0.0f);  // exactly on the sphere: 0, still solid
  EXPECT_EQ(value_at(10, 15, 14), 1.0f);
  EXPECT_FLOAT_EQ(value_at(11, 13, 15), static_cast<float>(std::sqrt(3.0) - 2.0));
  // Reach is (int)(radius + 2) = 4 on each axis: beyond it the field is untouched.
  EXPECT_FLOAT_EQ(value_at(14, 12, 14), 2.0f);
  EXPECT_EQ(value_at(15, 12, 14), SOLID_VALUE);
  EXPECT_EQ(value_at(6, 12, 14), 2.0f);
  EXPECT_EQ(value_at(5, 12, 14), SOLID_VALUE);

  long triangles = 0;
  for (int c = 0; c < GRIDCELLS; c++) {
    const GRIDCELL& gc = gridcell[c];
    for (int t = 0; t < gc.triangles; t++, triangles++)
      for (int k = 0; k < 3; k++) {
        const XYZ& v = gc.triangle[t].vertex[k]->p;
        const double d = std::sqrt((v.x - 10.0) * (v.x - 10.0) + (v.y - 12.0) * (v.y - 12.0) + (v.z - 14.0) * (v.z - 14.0));
        ASSERT_NEAR(d, 2.0, 0.2);
      }
  }
  EXPECT_GT(triangles, 20);
  EXPECT_FALSE(octtree[0].empty);
}

TEST_F(HoleTest, ZeroOrNegativeRadiusOnlyPullsLargeValuesDownToTheDistance) {
  make_hole({10.0f, 10.0f, 10.0f}, -1.0f);
  EXPECT_EQ(value_at(10, 10, 10), 1.0f);
  EXPECT_EQ(value_at(11, 10, 10), 2.0f);
  EXPECT_EQ(value_at(12, 10, 10), SOLID_VALUE);  // reach (int)(1.0) = 1
  make_hole({20.0f, 20.0f, 20.0f}, 0.0f);
  EXPECT_EQ(value_at(20, 20, 20), 0.0f);
  EXPECT_EQ(value_at(22, 20, 20), 2.0f);
  long triangles = 0;
  for (int c = 0; c < GRIDCELLS; c++) triangles += gridcell[c].triangles;
  EXPECT_EQ(triangles, 0);
  EXPECT_TRUE(octtree[0].empty);
}

TEST_F(HoleTest, AHoleOutsideTheWorldCarvesOnlyWhatIsInReach) {
  make_hole({-3.0f, -3.0f, -3.0f}, 2.0f);
  // Reach 4: voxels 0..1 on each axis, with their distance from the centre minus 2.
  EXPECT_FLOAT_EQ(value_at(0, 0, 0), static_cast<float>(std::sqrt(27.0) - 2.0));
  EXPECT_FLOAT_EQ(value_at(1, 1, 1), static_cast<float>(std::sqrt(48.0) - 2.0));
  EXPECT_EQ(value_at(2, 0, 0), SOLID_VALUE);

  // A corner hole that opens the world at the origin: only cells inside the grid.
  make_hole({-0.5f, -0.5f, -0.5f}, 2.5f);
  EXPECT_LT(value_at(0, 0, 0), 0.0f);
  EXPECT_GT(gridcell[0].triangles + gridcell[1].triangles, 0);

  const std::vector<float> before = capture_field();
  const Surface surface = capture_surface();
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const XYZ& p : {XYZ{100.0f, 16.0f, 16.0f}, XYZ{16.0f, -40.0f, 16.0f}, XYZ{1e30f, -1e30f, 1e30f},
                       XYZ{inf, 16.0f, 16.0f}, XYZ{nan, nan, nan}})
    make_hole(p, 3.0f);
  make_hole({16.0f, 16.0f, 16.0f}, nan);
  EXPECT_EQ(capture_field(), before);
  EXPECT_EQ(capture_surface(), surface);
}

TEST_F(HoleTest, AHugeRadiusEmptiesTheWholeWorld) {
  make_hole({16.0f, 16.0f, 16.0f}, 1e9f);
  for (int i = 0; i < VOXELS; i++) ASSERT_LT(voxel[i].value, 0.0f);
  for (int c = 0; c < GRIDCELLS; c++) ASSERT_EQ(gridcell[c].triangles, 0);
  EXPECT_TRUE(octtree[0].empty);
}

TEST_F(HoleTest, CarvingTwiceEqualsCarvingOnce) {
  test::carve_test_cave(5);
  const XYZ p{15.3f, 9.7f, 20.1f};
  make_hole(p, 3.4f);
  const std::vector<float> field = capture_field();
  const Surface surface = capture_surface();
  make_hole(p, 3.4f);
  EXPECT_EQ(capture_field(), field);
  EXPECT_EQ(capture_surface(), surface);
}

TEST_F(HoleTest, MaterialsAndRocksAreNotTouched) {
  for (int c = 0; c < GRIDCELLS; c++) gridcell[c].material = static_cast<uint8_t>(c % 4);
  rocks = 2;
  rock[0] = {{16, 16, 16}, nullptr, 1.0f, 2.0f};
  make_hole({16.0f, 16.0f, 16.0f}, 5.0f);
  for (int c = 0; c < GRIDCELLS; c++) ASSERT_EQ(gridcell[c].material, c % 4);
  EXPECT_EQ(rocks, 2);
  EXPECT_EQ(rock[0].p.x, 16.0f);
}

TEST_F(HoleTest, BulletHolesWithinTheRadiusGoAndThoseBeyondStay) {
  for (int i = 0; i < MAX_BULLETHOLES; i++) bullethole[i] = {{0, 0, 0}, 0, 0, 0};
  bullethole[0] = {{11.5f, 10.0f, 10.0f}, 1, 0, 0};     // exactly at the radius
  bullethole[1] = {{11.5001f, 10.0f, 10.0f}, 1, 0, 0};  // just beyond
  bullethole[2] = {{10.0f, 10.5f, 10.0f}, 1, 0, 0};     // inside
  bullethole[3] = {{10.0f, 10.0f, 8.5f}, 1, 0, 0};      // on the sphere, other side
  bullethole[4] = {{10.0f, 10.0f, 10.0f}, 0, 0, 0};     // already gone
  bullethole[49] = {{20.0f, 20.0f, 20.0f}, 1, 0, 0};    // far away
  make_hole({10.0f, 10.0f, 10.0f}, 1.5f);
  EXPECT_EQ(bullethole[0].alive, 0);
  EXPECT_EQ(bullethole[1].alive, 1);
  EXPECT_EQ(bullethole[2].alive, 0);
  EXPECT_EQ(bullethole[3].alive, 0);
  EXPECT_EQ(bullethole[4].alive, 0);
  EXPECT_EQ(bullethole[49].alive, 1);
}

// Random holes, each followed by a comparison with the whole surface rebuilt from the
// field.
void expect_rebuilt_box_matches_full_rebuild(unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> pos(-3.0f, 35.0f), size(0.0f, 6.0f);
  for (int n = 0; n < 40; n++) {
    make_hole({pos(rng), pos(rng), pos(rng)}, size(rng));
    const Surface incremental = capture_surface();
    for (int c = 0; c < GRIDCELLS; c++) gridcell[c].triangles = 0;
    reset_octtree_flags();
    build_surface();
    ASSERT_EQ(capture_surface(), incremental) << "after hole " << n;
  }
}

TEST_F(HoleTest, TheRebuiltBoxMatchesAFullRebuildInTheCave) {
  test::carve_test_cave(9);
  expect_rebuilt_box_matches_full_rebuild(2024);
}

// In the cave the field is a distance field, so the carve lowers nothing at the edge of
// its box that could move a crossing. A rough field, with high solid values right next
// to empty ones, shows whether every cell with a lowered corner is rebuilt.
TEST_F(HoleTest, TheRebuiltBoxMatchesAFullRebuildInARoughField) {
  std::mt19937 rng(77);
  std::uniform_real_distribution<float> empty(-1.0f, -0.1f), solid(0.1f, 12.0f);
  std::bernoulli_distribution is_empty(0.4);
  for (int i = 0; i < VOXELS; i++) voxel[i].value = is_empty(rng) ? empty(rng) : solid(rng);
  for (int c = 0; c < GRIDCELLS; c++) gridcell[c].material = static_cast<uint8_t>(c % 4);
  build_surface();
  expect_rebuilt_box_matches_full_rebuild(2025);
}

}  // namespace
}  // namespace vurkhold
