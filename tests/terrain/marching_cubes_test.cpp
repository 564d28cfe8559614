// marching-cubes tests: the tables against the published reference, single cells with
// known answers (positions, order, normal, texture layout), and whole random fields
// (unit normals, texture quarters, a closed surface).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <tuple>

#include "shell/shell.h"
#include "support/test_support.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

constexpr int TABLE_EDGE[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                   {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
// Offsets of the table corners within a cell.
constexpr int TABLE_CORNER[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1},
                                    {0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1}};

// ---- tables ----

struct ReferenceTables {
  std::vector<int> edge;
  std::vector<std::vector<int>> tri;
};

ReferenceTables read_reference() {
  ReferenceTables t;
  std::ifstream in(test::fixture_path("marching_cubes_tables.txt"));
  std::string line;
  int section = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line == "edgeTable") section = 1;
    else if (line == "triTable") section = 2;
    else if (section == 1) t.edge.push_back(static_cast<int>(std::stol(line, nullptr, 16)));
    else if (section == 2) {
      std::istringstream row(line);
      std::vector<int> values;
      int v;
      while (row >> v) values.push_back(v);
      t.tri.push_back(values);
    }
  }
  return t;
}

TEST(MarchingCubesTables, EqualThePublishedTablesEntryByEntry) {
  const ReferenceTables ref = read_reference();
  ASSERT_EQ(ref.edge.size(), 256u);
  ASSERT_EQ(ref.tri.size(), 256u);
  for (int i = 0; i < 256; i++) {
    EXPECT_EQ(edgeTable[i], ref.edge[i]) << "edgeTable[" << i << "]";
    ASSERT_EQ(ref.tri[i].size(), 16u);
    for (int j = 0; j < 16; j++) EXPECT_EQ(triTable[i][j], ref.tri[i][j]) << "triTable[" << i << "][" << j << "]";
  }
}

TEST(MarchingCubesTables, EdgesAreCutExactlyWhereTheirCornersDifferAndTheRowsUseThem) {
  int triangles = 0;
  for (int i = 0; i < 256; i++) {
    int mask = 0;
    for (int e = 0; e < 12; e++)
      if (((i >> TABLE_EDGE[e][0]) & 1) != ((i >> TABLE_EDGE[e][1]) & 1)) mask |= 1 << e;
    EXPECT_EQ(edgeTable[i], mask) << "row " << i;

    int used = 0, n = 0;
    while (n < 16 && triTable[i][n] != -1) used |= 1 << triTable[i][n++];
    EXPECT_EQ(n % 3, 0) << "row " << i;
    EXPECT_LE(n, 15) << "row " << i;
    for (int j = n; j < 16; j++) EXPECT_EQ(triTable[i][j], -1) << "row " << i;
    EXPECT_EQ(used, mask) << "row " << i << " uses an edge that is not cut, or misses one";
    triangles += n / 3;
  }
  EXPECT_EQ(triangles, 820);
  EXPECT_EQ(std::vector<int>(triTable[1], triTable[1] + 4), (std::vector<int>{0, 8, 3, -1}));
  EXPECT_EQ(std::vector<int>(triTable[2], triTable[2] + 4), (std::vector<int>{0, 1, 9, -1}));
  EXPECT_EQ(std::vector<int>(triTable[3], triTable[3] + 7), (std::vector<int>{1, 8, 3, 9, 8, 1, -1}));
  EXPECT_EQ(std::vector<int>(triTable[254], triTable[254] + 4), (std::vector<int>{0, 3, 8, -1}));
  EXPECT_EQ(triTable[0][0], -1);
  EXPECT_EQ(triTable[255][0], -1);
}

// ---- vertex_interp ----

TEST(VertexInterp, InterpolatesLinearlyAndReturnsTheFirstPointForEqualValues) {
  const XYZ a{1, 2, 3}, b{2, 2, 3};
  XYZ m = vertex_interp(0.0, a, b, -1.0, 3.0);
  EXPECT_FLOAT_EQ(m.x, 1.25f);
  EXPECT_EQ(m.y, 2.0f);
  EXPECT_EQ(m.z, 3.0f);
  m = vertex_interp(0.0, a, b, 5.0, 5.0);
  EXPECT_EQ(m.x, a.x);
  m = vertex_interp(0.0, a, b, 0.0, -2.0);  // the first value on the level: the first point
  EXPECT_EQ(m.x, a.x);
  m = vertex_interp(0.0, a, b, 2.0, 0.0);
  EXPECT_EQ(m.x, b.x);
}

// ---- single cells ----

class PolygoniseTest : public ::testing::Test {
 protected:
  test::WorldPools pools;

  // Cell (x, y, z) with the table corners' values; the rest of the field stays solid.
  GRIDCELL* cell_with(int x, int y, int z, const float (&value)[8]) {
    for (int k = 0; k < 8; k++)
      voxel[voxel_index(x + TABLE_CORNER[k][0], y + TABLE_CORNER[k][1], z + TABLE_CORNER[k][2])].value = value[k];
    GRIDCELL* gc = &gridcell[gridcell_index(x, y, z)];
    polygonise(gc, 0.0);
    return gc;
  }
};

void expect_point(const XYZ& p, float x, float y, float z) {
  EXPECT_FLOAT_EQ(p.x, x);
  EXPECT_FLOAT_EQ(p.y, y);
  EXPECT_FLOAT_EQ(p.z, z);
}

TEST_F(PolygoniseTest, OneEmptyCornerGivesTheMidpointTriangleInEdgeOrder3_8_0) {
  GRIDCELL* gc = cell_with(5, 6, 7, {-0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
  ASSERT_EQ(gc->triangles, 1);
  const POLYGON& t = gc->triangle[0];
  expect_point(t.vertex[0]->p, 5.0f, 6.0f, 7.5f);  // edge 3: corner 3 (0,0,1) - corner 0
  expect_point(t.vertex[1]->p, 5.0f, 6.5f, 7.0f);  // edge 8: corner 0 - corner 4 (0,1,0)
  expect_point(t.vertex[2]->p, 5.5f, 6.0f, 7.0f);  // edge 0: corner 0 - corner 1 (1,0,0)
  // The reversed order turns the face towards the empty corner.
  const float s = static_cast<float>(-1.0 / std::sqrt(3.0));
  EXPECT_NEAR(t.normal.i, s, 1e-6);
  EXPECT_NEAR(t.normal.j, s, 1e-6);
  EXPECT_NEAR(t.normal.k, s, 1e-6);
  EXPECT_FALSE(gc->octtree->empty);
  EXPECT_FALSE(octtree[0].empty);

  // Equilateral: the tie goes to the base V2 -> V0 with the apex V1 at 60 degrees.
  const double side = std::sqrt(0.5), scale = 0.5 / 1.732050808;
  EXPECT_FLOAT_EQ(t.vertex[2]->u, 0.0f);
  EXPECT_FLOAT_EQ(t.vertex[2]->w, 0.01f);
  EXPECT_FLOAT_EQ(t.vertex[0]->u, static_cast<float>(side * scale));
  EXPECT_FLOAT_EQ(t.vertex[0]->w, 0.01f);
  EXPECT_NEAR(t.vertex[1]->u, 0.5 * side * scale, 1e-6);
  EXPECT_NEAR(t.vertex[1]->w, std::sqrt(3.0) / 2 * side * scale, 1e-6);
}

TEST_F(PolygoniseTest, EachSingleEmptyCornerFacesItAndEachSingleSolidCornerFacesAway) {
  for (int k = 0; k < 8; k++) {
    for (int sign = 0; sign < 2; sign++) {
      float v[8];
      for (int j = 0; j < 8; j++) v[j] = (j == k) == (sign == 0) ? -0.5f : 0.5f;
      GRIDCELL* gc = cell_with(10, 10, 10, v);
      ASSERT_EQ(gc->triangles, 1) << "corner " << k;
      const POLYGON& t = gc->triangle[0];
      const XYZ corner{10.0f + TABLE_CORNER[k][0], 10.0f + TABLE_CORNER[k][1], 10.0f + TABLE_CORNER[k][2]};
      double toward = 0;
      for (int c = 0; c < 3; c++) {
        const XYZ& p = t.vertex[c]->p;
        toward += t.normal.i * (corner.x - p.x) + t.normal.j * (corner.y - p.y) + t.normal.k * (corner.z - p.z);
        // Every corner of the triangle is the midpoint of an edge at the odd corner.
        EXPECT_NEAR(std::fabs(p.x - corner.x) + std::fabs(p.y - corner.y) + std::fabs(p.z - corner.z), 0.5, 1e-6);
      }
      if (sign == 0) {
        EXPECT_GT(toward, 0.0) << "empty corner " << k;
      } else {
        EXPECT_LT(toward, 0.0) << "solid corner " << k;
      }
    }
  }
}

TEST_F(PolygoniseTest, ZeroIsSolidAndADegenerateTriangleKeepsDefinedValues) {
  GRIDCELL* gc = cell_with(3, 3, 3, {0.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
  EXPECT_EQ(gc->triangles, 0);
  gc = cell_with(3, 3, 3, {-0.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
  EXPECT_EQ(gc->triangles, 0);

  // Corner 0 exactly on the level and all others empty: one triangle collapsed onto
  // corner 0.
  gc = cell_with(3, 3, 3, {0.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f});
  ASSERT_EQ(gc->triangles, 1);
  const POLYGON& t = gc->triangle[0];
  for (int k = 0; k < 3; k++) expect_point(t.vertex[k]->p, 3.0f, 3.0f, 3.0f);
  EXPECT_EQ(t.normal.i, 0.0f);
  EXPECT_EQ(t.normal.j, 0.0f);
  EXPECT_EQ(t.normal.k, 0.0f);
  // acos(0) is a right angle: the apex sits on the origin, at no distance.
  EXPECT_EQ(t.vertex[2]->u, 0.0f);
  EXPECT_FLOAT_EQ(t.vertex[2]->w, 0.01f);
  EXPECT_EQ(t.vertex[0]->u, 0.0f);
  EXPECT_FLOAT_EQ(t.vertex[0]->w, 0.01f);
  EXPECT_EQ(t.vertex[1]->u, 0.0f);
  EXPECT_EQ(t.vertex[1]->w, 0.0f);
}

TEST_F(PolygoniseTest, AllSolidOrAllEmptyGivesNoTrianglesAndReportsTheCellEmpty) {
  GRIDCELL* gc = cell_with(20, 1, 30, {-0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
  ASSERT_EQ(gc->triangles, 1);
  ASSERT_FALSE(octtree[0].empty);

  const float all_solid[8] = {100000, 100000, 100000, 100000, 100000, 100000, 100000, 100000};
  gc = cell_with(20, 1, 30, all_solid);
  EXPECT_EQ(gc->triangles, 0);
  EXPECT_TRUE(gc->octtree->empty);
  EXPECT_TRUE(octtree[0].empty);

  cell_with(20, 1, 30, {-0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
  ASSERT_FALSE(octtree[0].empty);
  const float all_empty[8] = {-1, -2, -3, -4, -5, -6, -7, -0.001f};
  gc = cell_with(20, 1, 30, all_empty);
  EXPECT_EQ(gc->triangles, 0);
  EXPECT_TRUE(gc->octtree->empty);
  EXPECT_TRUE(octtree[0].empty);
}

TEST_F(PolygoniseTest, MaterialPicksTheTextureQuarter) {
  const float lower_u[4] = {0.0f, 0.5f, 0.0f, 0.5f}, lower_w[4] = {0.0f, 0.0f, 0.5f, 0.5f};
  for (int m = 0; m < 4; m++) {
    gridcell[gridcell_index(8, 8, 8)].material = static_cast<uint8_t>(m);
    // A slanted cut so the triangles are not all alike.
    GRIDCELL* gc = cell_with(8, 8, 8, {-0.2f, -0.7f, 0.4f, 0.9f, 0.3f, -0.1f, 0.6f, 0.8f});
    ASSERT_GT(gc->triangles, 0);
    for (int t = 0; t < gc->triangles; t++)
      for (int k = 0; k < 3; k++) {
        const VERTEX& v = *gc->triangle[t].vertex[k];
        EXPECT_GE(v.u, lower_u[m]) << "material " << m;
        EXPECT_LE(v.u, lower_u[m] + 0.5f) << "material " << m;
        EXPECT_GE(v.w, lower_w[m]) << "material " << m;
        EXPECT_LE(v.w, lower_w[m] + 0.5f) << "material " << m;
      }
  }
}

// ---- whole fields ----

// Random values inside; the outer layer of voxels stays solid so the surface closes.
void random_field(unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> value(-1.0f, 1.0f);
  std::uniform_int_distribution<int> material(0, 3);
  for (int z = 0; z <= 32; z++)
    for (int y = 0; y <= 32; y++)
      for (int x = 0; x <= 32; x++) {
        const bool border = x == 0 || y == 0 || z == 0 || x == 32 || y == 32 || z == 32;
        voxel[voxel_index(x, y, z)].value = border ? 1.0f : value(rng);
      }
  for (int i = 0; i < GRIDCELLS; i++) gridcell[i].material = static_cast<uint8_t>(material(rng));
  build_surface();
}

TEST_F(PolygoniseTest, RandomFieldTrianglesHaveUnitNormalsAndStayInTheirQuarter) {
  random_field(7);
  long triangles = 0, degenerate = 0;
  for (int c = 0; c < GRIDCELLS; c++) {
    const GRIDCELL& gc = gridcell[c];
    const float bu = 0.5f * (gc.material % 2), bw = 0.5f * (gc.material / 2);
    for (int t = 0; t < gc.triangles; t++) {
      const POLYGON& p = gc.triangle[t];
      const double len = std::sqrt(static_cast<double>(p.normal.i) * p.normal.i +
                                   static_cast<double>(p.normal.j) * p.normal.j +
                                   static_cast<double>(p.normal.k) * p.normal.k);
      if (len == 0.0) {
        degenerate++;
      } else {
        ASSERT_NEAR(len, 1.0, 1e-5) << "cell " << c << " triangle " << t;
      }
      for (int k = 0; k < 3; k++) {
        const VERTEX& v = *p.vertex[k];
        ASSERT_TRUE(std::isfinite(v.u) && std::isfinite(v.w));
        ASSERT_GE(v.u, bu - 1e-6f);
        ASSERT_LE(v.u, bu + 0.5f + 1e-6f);
        ASSERT_GE(v.w, bw - 1e-6f);
        ASSERT_LE(v.w, bw + 0.5f + 1e-6f);
      }
      triangles++;
    }
  }
  EXPECT_GT(triangles, 50000);
  EXPECT_LT(degenerate, triangles / 1000);
}

TEST_F(PolygoniseTest, ClosedRandomFieldGivesAWatertightConsistentlyTurnedSurface) {
  random_field(11);
  // Each directed edge of a triangle must appear once, and its reverse once in the
  // neighbouring triangle: every edge is shared by exactly two faces turned alike.
  using Key = std::tuple<float, float, float>;
  std::map<std::pair<Key, Key>, int> directed;
  long triangles = 0;
  for (int c = 0; c < GRIDCELLS; c++) {
    const GRIDCELL& gc = gridcell[c];
    for (int t = 0; t < gc.triangles; t++, triangles++)
      for (int k = 0; k < 3; k++) {
        const XYZ& a = gc.triangle[t].vertex[k]->p;
        const XYZ& b = gc.triangle[t].vertex[(k + 1) % 3]->p;
        directed[{Key{a.x, a.y, a.z}, Key{b.x, b.y, b.z}}]++;
      }
  }
  ASSERT_GT(triangles, 50000);
  long bad = 0;
  for (const auto& [edge, count] : directed) {
    const auto reverse = directed.find({edge.second, edge.first});
    if (count != 1 || reverse == directed.end() || reverse->second != 1) bad++;
  }
  EXPECT_EQ(bad, 0);
}

}  // namespace
}  // namespace vurkhold
