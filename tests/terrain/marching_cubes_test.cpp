// marching-cubes tests: the tables against the published reference, single cells with
// known answers (crossings, zero, one empty corner, the texture laid along the longest side),
// and a whole random field giving a closed surface with its texture inside the atlas.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "records/records.h"
#include "support/test_support.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

std::array<float, 3> at(const XYZ& p) { return {p.x, p.y, p.z}; }

TEST(MarchingCubesTables, EqualTheReferenceEntryByEntry) {
  std::ifstream in(test::fixture_path("marching_cubes_tables.txt"));
  std::string word;
  int value = 0;
  while (std::getline(in, word) && word != "edgeTable") continue;  // the comments above
  ASSERT_TRUE(in);
  for (int i = 0; i < 256; i++) EXPECT_TRUE(in >> std::hex >> value && edgeTable[i] == value) << "edge " << i;
  ASSERT_TRUE(in >> word && word == "triTable");
  for (int i = 0; i < 256; i++)
    for (int j = 0; j < 16; j++)
      EXPECT_TRUE(in >> std::dec >> value && triTable[i][j] == value) << "triTable[" << i << "][" << j << "]";
  EXPECT_FALSE(in >> word) << "left over: " << word;
}

class PolygoniseTest : public ::testing::Test {
 protected:
  test::WorldPools pools;

  // Cell (10, 10, 10) with `value` at its corner (10, 10, 10), `next` at the corners one step
  // along x, y and z from it, and its other corners solid.
  static const GRIDCELL* cell_with(float value, std::array<float, 3> next = {0.5f, 0.5f, 0.5f},
                                   uint8_t material = 0) {
    const float values[8] = {value, next[0], next[1], 0.5f, next[2], 0.5f, 0.5f, 0.5f};
    for (int k = 0; k < 8; k++) voxel[voxel_index(10 + k % 2, 10 + k / 2 % 2, 10 + k / 4)].value = values[k];
    GRIDCELL* gc = &gridcell[gridcell_index(10, 10, 10)];
    gc->material = material;
    polygonise(gc, 0.0);
    return gc;
  }
};

TEST_F(PolygoniseTest, CrossingsInterpolateZeroIsSolidAndOneEmptyCornerGivesTheMidpointTriangle_3_8_0) {
  const XYZ a{1, 2, 3}, b{2, 2, 3};
  EXPECT_EQ(at(vertex_interp(0.0, a, b, -1.0, 3.0)), (std::array<float, 3>{1.25f, 2, 3}));
  EXPECT_EQ(at(vertex_interp(0.0, a, b, 5.0, 5.0)), at(a));  // equal values: the first point
  for (const float zero : {0.0f, -0.0f}) EXPECT_EQ(cell_with(zero)->triangles, 0) << zero;
  EXPECT_EQ(cell_with(-1e-30f)->triangles, 1);
  const GRIDCELL* gc = cell_with(-0.5f);
  ASSERT_EQ(gc->triangles, 1);
  const POLYGON& t = gc->triangle[0];
  const float n = static_cast<float>(-1 / std::sqrt(3.0));  // facing the empty corner
  EXPECT_EQ(at({t.normal.i, t.normal.j, t.normal.k}), (std::array<float, 3>{n, n, n}));
  const std::array<float, 3> midpoint[3] = {{10, 10, 10.5f}, {10, 10.5f, 10}, {10.5f, 10, 10}};
  for (int k = 0; k < 3; k++) EXPECT_EQ(at(t.vertex[k]->p), midpoint[k]) << "vertex " << k;
}

// One empty corner at -0.75 and a neighbour at 0.75 / d - 0.75 put the crossing d from the
// corner: V0 on the z edge, V1 on y, V2 on x. The longest side, from origin to end, lies along
// u from (bu, bw + 0.01) at 0.5 / sqrt(3) per unit; the apex sits at its projection on the base
// and its height above it. Of equal longest sides V2 -> V0 goes before V1 -> V2 before V0 -> V1.
TEST_F(PolygoniseTest, TextureLaysEachTriangleAlongItsLongestSideInTheMaterialsQuarter) {
  const struct { std::array<float, 3> crossing; uint8_t material; int origin, end; } rows[] = {
      {{0.75f, 0.25f, 0.5f}, 1, 2, 0},   {{0.75f, 0.5f, 0.25f}, 2, 1, 2},  {{0.25f, 0.75f, 0.5f}, 3, 0, 1},
      {{0.75f, 0.25f, 0.25f}, 0, 2, 0},  // V2 -> V0 as long as V1 -> V2
      {{0.25f, 0.75f, 0.25f}, 1, 1, 2},  // V1 -> V2 as long as V0 -> V1
      {{0.25f, 0.25f, 0.75f}, 3, 2, 0},  // V2 -> V0 as long as V0 -> V1
  };
  const double k = 0.5 / std::sqrt(3.0);
  for (const auto& r : rows) {
    std::array<float, 3> next;
    for (int i = 0; i < 3; i++) next[i] = 0.75f / r.crossing[i] - 0.75f;
    const GRIDCELL* gc = cell_with(-0.75f, next, r.material);
    ASSERT_EQ(gc->triangles, 1);
    const VERTEX *o = gc->triangle[0].vertex[r.origin], *e = gc->triangle[0].vertex[r.end],
                 *a = gc->triangle[0].vertex[3 - r.origin - r.end];
    const double base[3] = {e->p.x - o->p.x, e->p.y - o->p.y, e->p.z - o->p.z},
                 side[3] = {a->p.x - o->p.x, a->p.y - o->p.y, a->p.z - o->p.z};
    const double length = std::hypot(base[0], base[1], base[2]);
    const double along = (base[0] * side[0] + base[1] * side[1] + base[2] * side[2]) / length;
    const double height = std::hypot(base[1] * side[2] - base[2] * side[1], base[2] * side[0] - base[0] * side[2],
                                     base[0] * side[1] - base[1] * side[0]) / length;
    const double bu = 0.5 * (r.material % 2), bw = 0.5 * (r.material / 2);
    const double want[3][2] = {{bu, bw + 0.01}, {bu + k * length, bw + 0.01}, {bu + k * along, bw + k * height}};
    const VERTEX* got[3] = {o, e, a};
    for (int v = 0; v < 3; v++) {
      EXPECT_NEAR(got[v]->u, want[v][0], 1e-6) << "origin " << r.origin << " end " << r.end << " corner " << v;
      EXPECT_NEAR(got[v]->w, want[v][1], 1e-6) << "origin " << r.origin << " end " << r.end << " corner " << v;
    }
  }
}

// Random values inside a solid outer layer of voxels, so the surface closes. Every directed
// edge of a triangle must appear once and its reverse once, in the neighbouring triangle:
// each edge is shared by exactly two faces turned alike. Its near-straight triangles must
// not lay the texture out of the atlas (or as NaN).
TEST_F(PolygoniseTest, ARandomFieldGivesAClosedSurfaceAndTextureWithinTheAtlas) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> value(-1.0f, 1.0f);
  for (VOXEL* v = voxel; v < voxel + VOXELS; v++)
    v->value = int(v->p.x) % 32 && int(v->p.y) % 32 && int(v->p.z) % 32 ? value(rng) : 1.0f;
  build_surface();
  long triangles = 0;
  std::map<std::array<float, 6>, int> directed;
  for (int c = 0; c < GRIDCELLS; c++)
    for (int t = 0; t < gridcell[c].triangles; t++, triangles++)
      for (int k = 0; k < 3; k++) {
        const VERTEX &v = *gridcell[c].triangle[t].vertex[k], &next = *gridcell[c].triangle[t].vertex[(k + 1) % 3];
        directed[{v.p.x, v.p.y, v.p.z, next.p.x, next.p.y, next.p.z}]++;
        ASSERT_TRUE(v.u >= 0 && v.u <= 1 && v.w >= 0 && v.w <= 1) << "cell " << c << ": " << v.u << ", " << v.w;
      }
  EXPECT_GT(triangles, 50000);
  long open = 0;
  for (const auto& [e, count] : directed) {
    const auto reverse = directed.find({e[3], e[4], e[5], e[0], e[1], e[2]});
    open += count != 1 || reverse == directed.end() || reverse->second != 1;
  }
  EXPECT_EQ(open, 0);
}

}  // namespace
}  // namespace vurkhold
