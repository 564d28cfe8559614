// collision world: hand-built terrain triangles, one-triangle rocks and vurks on bound pools,
// with the world's counters restored afterwards.
#pragma once

#include <gtest/gtest.h>

#include "geometry/geometry.h"
#include "support/test_support.h"

namespace vurkhold::test {

// Puts triangle a, b, c into slot t of cell (x, y, z), its corners in the cell's own vertex
// slots; the stored normal is (b - a) x (c - a), normalised, so the front is counter-clockwise.
inline POLYGON* put_triangle(int x, int y, int z, int t, XYZ a, XYZ b, XYZ c) {
  GRIDCELL& cell = gridcell[gridcell_index(x, y, z)];
  POLYGON& p = cell.triangle[t];
  p.vertex[0]->p = a;
  p.vertex[1]->p = b;
  p.vertex[2]->p = c;
  IJK ab, ac;
  make_vector(&a, &b, &ab);
  make_vector(&a, &c, &ac);
  cross_product(&ab, &ac, &p.normal);
  normalize_vector(&p.normal);
  if (cell.triangles < t + 1) cell.triangles = static_cast<uint8_t>(t + 1);
  return &p;
}

// A rock model of one triangle in model space, and the record that places it.
struct OneTriangleRock {
  MODEL model{};
  MESH mesh{};
  VERTEX corner[3]{};
  POLYGON polygon{};

  OneTriangleRock(XYZ a, XYZ b, XYZ c) {
    corner[0].p = a;
    corner[1].p = b;
    corner[2].p = c;
    for (int k = 0; k < 3; k++) polygon.vertex[k] = &corner[k];
    IJK ab, ac;
    make_vector(&a, &b, &ab);
    make_vector(&a, &c, &ac);
    cross_product(&ab, &ac, &polygon.normal);
    normalize_vector(&polygon.normal);
    mesh.number_of_polygons = 1;
    mesh.number_of_vertices = 3;
    mesh.vertex = corner;
    mesh.polygon = &polygon;
    model.number_of_meshes = 1;
    model.mesh = &mesh;
  }
  OneTriangleRock(const OneTriangleRock&) = delete;
  OneTriangleRock& operator=(const OneTriangleRock&) = delete;

  void place(int slot, XYZ p, float size, float radius) {
    rock[slot].p = p;
    rock[slot].size = size;
    rock[slot].radius = radius;
    rock[slot].model = &model;
    if (rocks < slot + 1) rocks = slot + 1;
  }
};

// Bound pools with walls, an empty grid, no rocks and no live vurks.
class CollisionWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_rocks_ = rocks;
    for (int i = 0; i < MAX_VURKS; i++) saved_vurks_[i] = vurk[i];
    rocks = 0;
    for (auto& v : vurk) v.alive = 0;
  }
  void TearDown() override {
    rocks = saved_rocks_;
    for (int i = 0; i < MAX_VURKS; i++) vurk[i] = saved_vurks_[i];
  }

  static void put_vurk(int i, XYZ p, XYZ pp) {
    vurk[i].alive = 1;
    vurk[i].p = p;
    vurk[i].pp = pp;
  }

  WorldPools pools_;

 private:
  int saved_rocks_ = 0;
  VURK_ saved_vurks_[MAX_VURKS];
};

}  // namespace vurkhold::test
