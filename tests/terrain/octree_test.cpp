// octree: the empty flags climbing up as cells gain triangles and coming back down as they
// lose them, and the walk over the visible cells.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <set>
#include <vector>

#include "geometry/geometry.h"
#include "records/records.h"
#include "support/test_support.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

using OctreeTest = test::PoolsTest;

// After each change exactly the nodes above the cells that hold triangles are non-empty.
TEST_F(OctreeTest, FlagsClimbToTheRootAndComeBackDownWhenTheLastCellBelowEmpties) {
  std::vector<std::array<int, 4>> steps = {{17, 3, 29, 2}, {17, 3, 29, 0}};  // one chain up and down again
  std::mt19937 rng(3);  // then random changes among the cells of a few leaves, siblings and cousins
  for (int n = 0; n < 200; n++) steps.push_back({int(rng() % 6), int(rng() % 6), int(rng() % 6), int(rng() % 2)});
  for (size_t n = 0; n < steps.size(); n++) {
    const std::array<int, 4>& s = steps[n];
    GRIDCELL* gc = &gridcell[gridcell_index(s[0], s[1], s[2])];
    gc->triangles = static_cast<uint8_t>(s[3]);
    set_octtree_empty_flag(gc, s[3] == 0);
    std::set<int> expected, actual;
    for (int c = 0; c < GRIDCELLS; c++)
      for (const OCTREE* o = gridcell[c].octtree; gridcell[c].triangles && o; o = o->parent)
        expected.insert(static_cast<int>(o - octtree));
    for (int i = 0; i < OCTREE_NODES; i++)
      if (!octtree[i].empty) actual.insert(i);
    ASSERT_EQ(actual, expected) << "step " << n;
  }
}

// The walk visits the cells of non-empty leaves the frustum keeps, each once. A leaf whose
// minimum corner lies outside the view but whose far side is inside is still walked.
TEST_F(OctreeTest, TheVisibleWalkSkipsEmptyAndRejectedNodes) {
  for (int i = 0; i < VOXELS; i++) voxel[i].value = 1.0f;
  make_hole({9.0f, 16.0f, 16.0f}, 1.2f);
  make_hole({24.0f, 6.0f, 20.0f}, 1.5f);
  // Every plane 99 from the origin but the one on x, which keeps x > -x_offset.
  auto walk = [](float x_offset) {
    const float planes[6][4] = {{-1, 0, 0, 99}, {1, 0, 0, x_offset}, {0, 1, 0, 99},
                                {0, -1, 0, 99}, {0, 0, -1, 99},      {0, 0, 1, 99}};
    for (int n = 0; n < 6; n++)
      for (int k = 0; k < 4; k++) frustum[n][k] = planes[n][k];
    std::vector<GRIDCELL*> cells;
    auto keep = [](GRIDCELL* gc, void* seen) { static_cast<std::vector<GRIDCELL*>*>(seen)->push_back(gc); };
    walk_visible_octtree(&octtree[0], keep, &cells);
    return cells;
  };
  const std::vector<GRIDCELL*> all = walk(99);
  std::set<GRIDCELL*> once(all.begin(), all.end());
  EXPECT_EQ(once.size(), all.size());
  int with_triangles = 0;
  for (int c = 0; c < GRIDCELLS; c++)
    if (gridcell[c].triangles) {
      with_triangles++;
      EXPECT_EQ(once.count(&gridcell[c]), 1u) << c;
    }
  ASSERT_GT(with_triangles, 0);
  for (GRIDCELL* gc : all) EXPECT_EQ(gc->octtree->empty, 0);

  int near_hole = 0;
  for (GRIDCELL* gc : walk(-9.5f)) {
    EXPECT_GE(gc->voxel[0]->p.x, 8.0f);
    near_hole += gc->voxel[0]->p.x < 12.0f && gc->triangles > 0;
  }
  EXPECT_GT(near_hole, 0);  // the leaf from x = 8 to 10 reaches into the view
}

}  // namespace
}  // namespace vurkhold
