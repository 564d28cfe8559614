// world pools: indexing of voxels, cells and triangle corners, the octree's shape, walls.
#include <gtest/gtest.h>

#include "records/records.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

class World : public ::testing::Test {
 protected:
  test::WorldPools pools;
};

TEST_F(World, LastVoxelAndCellMeetAtTheFarCorner) {
  EXPECT_EQ(voxel_index(32, 32, 32), 35936);
  EXPECT_EQ(gridcell_index(31, 31, 31), 32767);
  const VOXEL& last = voxel[35936];
  EXPECT_EQ(last.p.x, 32.0f);
  EXPECT_EQ(last.p.y, 32.0f);
  EXPECT_EQ(last.p.z, 32.0f);
  EXPECT_EQ(gridcell[32767].voxel[7], &voxel[35936]);
  EXPECT_EQ(gridcell[32767].voxel[0], &voxel[voxel_index(31, 31, 31)]);
  EXPECT_EQ(voxel[17000].value, SOLID_VALUE);  // a fresh field is solid
}

TEST_F(World, CellCornersFollowBitOrder) {
  for (int c : {0, 1, 33, 1000, 20000, 32767}) {
    const int x = c % 32, y = (c / 32) % 32, z = c / 1024;
    for (int k = 0; k < 8; k++) {
      const VOXEL* v = gridcell[c].voxel[k];
      EXPECT_EQ(v->p.x, static_cast<float>(x + (k & 1)));
      EXPECT_EQ(v->p.y, static_cast<float>(y + ((k >> 1) & 1)));
      EXPECT_EQ(v->p.z, static_cast<float>(z + ((k >> 2) & 1)));
    }
  }
}

TEST_F(World, TriangleCornersAreFixedEntriesOfTheVertexPool) {
  EXPECT_EQ(gridcell[0].triangle[0].vertex[0], &vertex[0]);
  EXPECT_EQ(gridcell[2].triangle[1].vertex[2], &vertex[2 * 15 + 3 + 2]);
  EXPECT_EQ(gridcell[32767].triangle[4].vertex[2], &vertex[MAX_RENDERED_VERTEXES - 1]);
  EXPECT_EQ(vertex[MAX_RENDERED_VERTEXES - 1].id, static_cast<unsigned>(MAX_RENDERED_VERTEXES - 1));
  EXPECT_EQ(gridcell[12345].triangles, 0);
}

TEST_F(World, OctreeParentsAndChildren) {
  EXPECT_EQ(octtree[0].parent, nullptr);
  EXPECT_EQ(octtree[8].parent, &octtree[0]);
  EXPECT_EQ(octtree[9].parent, &octtree[1]);
  EXPECT_EQ(octtree[4680].parent, &octtree[584]);
  EXPECT_EQ(octtree[584].child[7], &octtree[4680]);
  EXPECT_EQ(octtree[0].child[0], &octtree[1]);
  for (int i = 0; i < OCTREE_NODES; i++) ASSERT_EQ(octtree[i].empty, 1) << i;
}

TEST_F(World, ParticleListAndWallsAreBound) {
  EXPECT_EQ(particle_list[0], &particle[0]);
  EXPECT_EQ(particle_list[MAX_PARTICLES - 1], &particle[MAX_PARTICLES - 1]);
  // Every wall normal points into the world: the centre lies on its positive side.
  for (const PLANE& w : wall) {
    const double side = (16.0 - w.p.x) * w.normal.i + (16.0 - w.p.y) * w.normal.j + (16.0 - w.p.z) * w.normal.k;
    EXPECT_DOUBLE_EQ(side, 16.0);
  }
  EXPECT_EQ(wall[0].p.y, 32.0f);
  EXPECT_EQ(wall[1].normal.j, 1.0f);
}

TEST(Pools, FreeingTwiceAndBeforeAllocationIsHarmless) {
  free_pools();
  EXPECT_EQ(vertex, nullptr);
  ASSERT_EQ(allocate_pools(), 1);
  free_pools();
  free_pools();
  EXPECT_EQ(bullethole, nullptr);
  EXPECT_EQ(particle_list, nullptr);
}

TEST(Random, DrawsStayInFifteenBitsAndReplayFromASeed) {
  game_srand(1234);
  int first[16];
  int seen_high = 0;
  for (int& r : first) r = game_rand();
  for (int i = 0; i < 100000; i++) {
    const int r = game_rand();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 32767);
    seen_high |= r;
  }
  EXPECT_EQ(seen_high, 32767);  // every bit of the range turns up
  game_srand(1234);
  for (int r : first) EXPECT_EQ(game_rand(), r);
}

}  // namespace
}  // namespace vurkhold
