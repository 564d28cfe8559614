// octree tests: node numbering, corners and cell bindings, and the empty flags climbing
// up and coming back down as cells gain and lose triangles.
#include <gtest/gtest.h>

#include "shell/shell.h"
#include "support/test_support.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

int level_size(int node) {
  if (node == 0) return 32;
  if (node <= 8) return 16;
  if (node <= 72) return 8;
  if (node <= 584) return 4;
  return 2;
}

bool node_empty(int i) { return octtree[i].empty != 0; }

// Marks a cell as holding (or not holding) triangles and reports it to the octree.
void report(int x, int y, int z, int triangles) {
  GRIDCELL* gc = &gridcell[gridcell_index(x, y, z)];
  gc->triangles = static_cast<uint8_t>(triangles);
  set_octtree_empty_flag(gc, triangles == 0 ? 1 : 0);
}

int count_non_empty() {
  int n = 0;
  for (int i = 0; i < OCTREE_NODES; i++) n += octtree[i].empty == 0;
  return n;
}

// Node indices from the root down to the leaf holding the cell.
std::vector<int> chain_of(int x, int y, int z) {
  std::vector<int> chain;
  const OCTREE* o = gridcell[gridcell_index(x, y, z)].octtree;
  for (; o; o = o->parent) chain.insert(chain.begin(), static_cast<int>(o - octtree));
  return chain;
}

class OctreeTest : public ::testing::Test {
 protected:
  test::WorldPools pools;
};

TEST_F(OctreeTest, NodesAreNumberedBreadthFirstWithTheirCornersAndSizes) {
  EXPECT_EQ(octtree[0].parent, nullptr);
  for (int i = 0; i < OCTREE_NODES; i++) {
    const OCTREE& o = octtree[i];
    ASSERT_EQ(o.size, level_size(i)) << "node " << i;
    if (i > 0) {
      ASSERT_EQ(o.parent, &octtree[(i - 1) / 8]) << "node " << i;
    }
    if (i >= FIRST_OCTREE_LEAF) continue;
    const int h = o.size / 2;
    for (int k = 0; k < 8; k++) {
      const OCTREE* c = static_cast<const OCTREE*>(o.child[k]);
      ASSERT_EQ(c, &octtree[8 * i + 1 + k]);
      // Child k: bit 0 adds x, bit 1 adds y, bit 2 adds z, by half the parent's size.
      EXPECT_EQ(c->p->p.x, o.p->p.x + h * (k & 1));
      EXPECT_EQ(c->p->p.y, o.p->p.y + h * ((k >> 1) & 1));
      EXPECT_EQ(c->p->p.z, o.p->p.z + h * ((k >> 2) & 1));
    }
  }
  EXPECT_EQ(octtree[0].p, &voxel[0]);
  EXPECT_EQ(octtree[8].parent, &octtree[0]);
  EXPECT_EQ(octtree[9].parent, &octtree[1]);
  EXPECT_EQ(octtree[4680].parent, &octtree[584]);
  EXPECT_EQ(octtree[4680].p, &voxel[voxel_index(30, 30, 30)]);
}

TEST_F(OctreeTest, EveryCellIsBoundToTheLeafThatLists) {
  int bound[GRIDCELLS] = {};
  for (int i = FIRST_OCTREE_LEAF; i < OCTREE_NODES; i++) {
    const OCTREE& leaf = octtree[i];
    const int x = static_cast<int>(leaf.p->p.x), y = static_cast<int>(leaf.p->p.y), z = static_cast<int>(leaf.p->p.z);
    for (int k = 0; k < 8; k++) {
      const int c = gridcell_index(x + (k & 1), y + ((k >> 1) & 1), z + ((k >> 2) & 1));
      ASSERT_EQ(leaf.child[k], &gridcell[c]) << "leaf " << i << " child " << k;
      ASSERT_EQ(gridcell[c].octtree, &leaf);
      bound[c]++;
    }
  }
  for (int c = 0; c < GRIDCELLS; c++) ASSERT_EQ(bound[c], 1) << "cell " << c;

  EXPECT_EQ(octtree[4680].child[7], &gridcell[32767]);
  EXPECT_EQ(gridcell[32767].octtree, &octtree[4680]);
  EXPECT_EQ(octtree[585].child[4], &gridcell[gridcell_index(0, 0, 1)]);
  EXPECT_EQ(gridcell[gridcell_index(0, 0, 1)].octtree, &octtree[585]);
}

TEST_F(OctreeTest, ACellGainingTrianglesMarksItsChainAndLosingThemClearsIt) {
  ASSERT_EQ(count_non_empty(), 0);
  report(17, 3, 29, 2);
  const std::vector<int> chain = chain_of(17, 3, 29);
  ASSERT_EQ(chain.size(), 5u);
  EXPECT_EQ(chain.front(), 0);
  for (int i : chain) EXPECT_FALSE(node_empty(i)) << "node " << i;
  EXPECT_EQ(count_non_empty(), 5);

  report(17, 3, 29, 0);
  EXPECT_EQ(count_non_empty(), 0);
}

TEST_F(OctreeTest, ASiblingWithTrianglesKeepsItsLeafAndAncestorsNonEmpty) {
  report(4, 4, 4, 1);
  report(5, 5, 5, 3);  // same 2 x 2 x 2 leaf
  report(4, 4, 4, 0);
  for (int i : chain_of(5, 5, 5)) EXPECT_FALSE(node_empty(i));
  EXPECT_EQ(count_non_empty(), 5);

  // Two leaves under one size-4 node: emptying one leaf leaves the other's chain alone.
  report(6, 4, 4, 1);
  EXPECT_EQ(count_non_empty(), 6);
  report(5, 5, 5, 0);
  const std::vector<int> gone = chain_of(5, 5, 5), kept = chain_of(6, 4, 4);
  EXPECT_TRUE(node_empty(gone.back()));
  for (int i : kept) EXPECT_FALSE(node_empty(i));
  EXPECT_EQ(count_non_empty(), 5);

  report(6, 4, 4, 0);
  EXPECT_EQ(count_non_empty(), 0);
}

TEST_F(OctreeTest, CellsInFarApartRegionsKeepTheRootUntilTheLastGoes) {
  report(0, 0, 0, 1);
  report(31, 31, 31, 1);
  EXPECT_EQ(count_non_empty(), 9);  // two chains of five sharing the root
  report(0, 0, 0, 0);
  EXPECT_FALSE(node_empty(0));
  EXPECT_EQ(count_non_empty(), 5);
  report(31, 31, 31, 0);
  EXPECT_TRUE(node_empty(0));
}

TEST_F(OctreeTest, PolygonisingAroundOneEmptyVoxelFlagsItsEightCellsAndRestoringClearsThem) {
  voxel[voxel_index(10, 20, 6)].value = -1.0f;
  for (int i = 0; i < GRIDCELLS; i++) polygonise(&gridcell[i], 0.0);
  int cells = 0;
  for (int i = 0; i < GRIDCELLS; i++) cells += gridcell[i].triangles > 0;
  EXPECT_EQ(cells, 8);
  // Voxel (10, 20, 6) is the shared corner of cells 9..10 x 19..20 x 5..6, which lie in
  // eight different leaves (leaf blocks start at even coordinates).
  EXPECT_FALSE(node_empty(0));
  for (int x = 9; x <= 10; x++)
    for (int y = 19; y <= 20; y++)
      for (int z = 5; z <= 6; z++) EXPECT_FALSE(gridcell[gridcell_index(x, y, z)].octtree->empty);

  voxel[voxel_index(10, 20, 6)].value = SOLID_VALUE;
  for (int x = 9; x <= 10; x++)
    for (int y = 19; y <= 20; y++)
      for (int z = 5; z <= 6; z++) polygonise(&gridcell[gridcell_index(x, y, z)], 0.0);
  EXPECT_EQ(count_non_empty(), 0);
}

TEST_F(OctreeTest, ResetMarksEveryNodeEmpty) {
  report(3, 9, 27, 1);
  report(30, 1, 2, 1);
  ASSERT_GT(count_non_empty(), 0);
  reset_octtree_flags();
  EXPECT_EQ(count_non_empty(), 0);
}

}  // namespace
}  // namespace vurkhold
