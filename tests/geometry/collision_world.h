// collision world: triangles in grid cells or as one-triangle rock models, and bound pools
// without rocks or live vurks, for the collision tests.
#pragma once

#include <gtest/gtest.h>

#include <bit>

#include "geometry/cave_walk.h"
#include "geometry/geometry.h"
#include "support/test_support.h"

namespace vurkhold::test {

// Compares XYZ or IJK component by component.
template <typename V>
void expect_near(V got, V want, float tolerance = 1e-6f) {
  const auto g = std::bit_cast<std::array<float, 3>>(got), w = std::bit_cast<std::array<float, 3>>(want);
  for (int k = 0; k < 3; k++) EXPECT_NEAR(g[k], w[k], tolerance) << "component " << k;
}

// The front is counter-clockwise: the normal is (b - a) x (c - a), normalised.
inline void set_triangle(POLYGON* t, XYZ a, XYZ b, XYZ c) {
  const XYZ corners[3] = {a, b, c};
  for (int k = 0; k < 3; k++) t->vertex[k]->p = corners[k];
  const Vec n = cross(vec(a, b), vec(a, c));
  const double length = std::sqrt(dot(n, n));
  t->normal = {float(n[0] / length), float(n[1] / length), float(n[2] / length)};
}

// A triangle over its own corners, also the one mesh of a model a rock can carry.
struct Shape {
  VERTEX corner[3]{};
  POLYGON polygon{{&corner[0], &corner[1], &corner[2]}, {}, {}};
  MESH mesh{3, 1, 0, 0, corner, &polygon, nullptr, nullptr, nullptr};
  MODEL model{nullptr, 0, {}, 1, 0, 0, &mesh, nullptr, 0, 0, 0};  // one mesh, no bones, no frames
  Shape(XYZ a, XYZ b, XYZ c) { set_triangle(&polygon, a, b, c); }
  Shape(const Shape&) = delete;
};

// Leaves no rocks and no live vurks behind, as at start-up.
class CollisionWorld : public ::testing::Test {
 protected:
  CollisionWorld() { clear(); }
  ~CollisionWorld() override { clear(); }
  static void clear() {
    rocks = 0;
    for (auto& v : vurk) v.alive = 0;
  }
  WorldPools pools_;
};

}  // namespace vurkhold::test
