// hole tests: the carved field within and beyond reach, holes outside the world or with
// huge or NaN inputs, the bullet holes removed, and the rebuilt box leaving the surface
// exactly as a full rebuild (and a second carve) would.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "records/records.h"
#include "support/test_support.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

// The field, the corners of every triangle of every cell (normals and texture follow from
// them), and the octree flags.
std::vector<float> capture() {
  std::vector<float> s;
  for (int i = 0; i < VOXELS; i++) s.push_back(voxel[i].value);
  for (int c = 0; c < GRIDCELLS; c++) {
    s.push_back(gridcell[c].triangles);
    for (int t = 0; t < gridcell[c].triangles; t++)
      for (const VERTEX* v : gridcell[c].triangle[t].vertex) s.insert(s.end(), {v->p.x, v->p.y, v->p.z});
  }
  for (int i = 0; i < OCTREE_NODES; i++) s.push_back(octtree[i].empty);
  return s;
}

using HoleTest = test::PoolsTest;

TEST_F(HoleTest, CarvingLowersTheFieldWithinReachAndTakesBulletHolesUpToTheRadius) {
  const struct { XYZ p; int alive, after; } holes[] = {
      {{12, 12, 14}, 1, 0}, {{12.0001f, 12, 14}, 1, 1}, {{10, 13, 14}, 1, 0},  // at, beyond, inside
      {{10, 12, 12}, 1, 0}, {{10, 12, 14}, 0, 0},       {{20, 20, 20}, 1, 1}};
  for (int i = 0; i < 6; i++) bullethole[MAX_BULLETHOLES - 1 - 9 * i] = {holes[i].p, holes[i].alive, 0, 0};
  make_hole({10.0f, 12.0f, 14.0f}, 2.0f);  // reach (int)(radius + 2) on each axis
  make_hole({-3.0f, -3.0f, -3.0f}, 2.0f);  // outside the world: only what is in reach
  for (int i = 0; i < 6; i++) EXPECT_EQ(bullethole[MAX_BULLETHOLES - 1 - 9 * i].alive, holes[i].after) << "hole " << i;
  const struct { int x, y, z; double value; } rows[] = {
      {10, 12, 14, -2.0}, {12, 12, 14, 0.0}, {10, 15, 14, 1.0}, {11, 13, 15, std::sqrt(3.0) - 2}, {14, 12, 14, 2.0},
      {6, 12, 14, 2.0}, {15, 12, 14, SOLID_VALUE}, {5, 12, 14, SOLID_VALUE}, {0, 0, 0, std::sqrt(27.0) - 2},
      {1, 1, 1, std::sqrt(48.0) - 2}, {2, 0, 0, SOLID_VALUE}};
  for (const auto& r : rows)
    EXPECT_EQ(voxel[voxel_index(r.x, r.y, r.z)].value, static_cast<float>(r.value)) << r.x << " " << r.y << " " << r.z;
}

TEST_F(HoleTest, FarOrNaNInputsChangeNothingAndAHugeRadiusEmptiesTheWorld) {
  make_hole({-0.5f, -0.5f, -0.5f}, 2.5f);  // opens the corner at the origin
  ASSERT_GT(gridcell[0].triangles, 0);
  const std::vector<float> before = capture();
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  const XYZ far[] = {{100, 16, 16}, {16, -40, 16}, {1e30f, -1e30f, 1e30f}, {inf, 16, 16}, {nan, nan, nan}};
  for (const XYZ& p : far) make_hole(p, 3.0f);
  make_hole({16, 16, 16}, nan);
  EXPECT_EQ(capture(), before);
  make_hole({16, 16, 16}, 1e9f);
  for (int i = 0; i < VOXELS; i++) ASSERT_LT(voxel[i].value, 0.0f) << "voxel " << i;
  EXPECT_TRUE(octtree[0].empty);
}

// In a rough field, with high solid values right next to empty ones, a rebuild box that
// misses a cell with a lowered corner leaves a stale surface behind. Carving the same
// hole again must change nothing.
TEST_F(HoleTest, RandomHolesInARoughFieldLeaveWhatAFullRebuildGivesAndRepeatingOneChangesNothing) {
  std::mt19937 rng(77);
  std::uniform_real_distribution<float> empty(-1.0f, -0.1f), solid(0.1f, 12.0f), at(-3.0f, 35.0f), size(0.0f, 6.0f);
  for (int i = 0; i < VOXELS; i++) voxel[i].value = rng() % 5 < 2 ? empty(rng) : solid(rng);
  build_surface();
  for (int n = 0; n < 40; n++) {
    const XYZ p{at(rng), at(rng), at(rng)};
    const float radius = size(rng);
    make_hole(p, radius);
    const std::vector<float> incremental = capture();
    make_hole(p, radius);
    ASSERT_EQ(capture(), incremental) << "hole " << n << " carved twice";
    for (int c = 0; c < GRIDCELLS; c++) gridcell[c].triangles = 0;
    reset_octtree_flags();
    build_surface();
    ASSERT_EQ(capture(), incremental) << "after hole " << n;
  }
}

}  // namespace
}  // namespace vurkhold
