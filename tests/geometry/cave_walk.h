// cave walk: places and moves spheres through the carved test cave as vurks move, for the
// point walk test and the collision benchmarks.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "geometry/geometry.h"

namespace vurkhold::test {

// A private generator, so walks neither depend on nor disturb the game's one.
struct WalkRng {
  uint32_t state;
  double uniform(double lo, double hi) {
    state = state * 1664525u + 1013904223u;
    return lo + (hi - lo) * ((state >> 8) / 16777216.0);
  }
  IJK direction(double length) {
    for (;;) {
      const double x = uniform(-1, 1), y = uniform(-1, 1), z = uniform(-1, 1), l = std::sqrt(x * x + y * y + z * z);
      if (l >= 0.1 && l <= 1.0) return {float(x / l * length), float(y / l * length), float(z / l * length)};
    }
  }
};

using Vec = std::array<double, 3>;
inline Vec vec(XYZ a, XYZ b) { return {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z}; }
inline Vec cross(Vec a, Vec b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double dot(Vec a, Vec b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Distance from p to the triangle (its face, edges or corners), worked out in double apart
// from the collision code. A triangle without area is met only at its edges.
inline double distance_to_triangle(const POLYGON& t, XYZ p) {
  const Vec n = cross(vec(t.vertex[0]->p, t.vertex[1]->p), vec(t.vertex[0]->p, t.vertex[2]->p));
  bool over_face = dot(n, n) > 0.0;
  double nearest = INFINITY;
  for (int k = 0; k < 3; k++) {
    const Vec e = vec(t.vertex[k]->p, t.vertex[(k + 1) % 3]->p), w = vec(t.vertex[k]->p, p);
    over_face = over_face && dot(cross(e, w), n) >= 0.0;
    const double s = std::clamp(dot(w, e) / dot(e, e), 0.0, 1.0);
    if (s == s) nearest = std::min(nearest, std::hypot(w[0] - s * e[0], w[1] - s * e[1], w[2] - s * e[2]));
  }
  return over_face ? std::fabs(dot(vec(t.vertex[0]->p, p), n)) / std::sqrt(dot(n, n)) : nearest;
}

// Calls f(triangle) for every terrain triangle in the cells within `reach` of p.
template <typename F>
void for_triangles_near(XYZ p, double reach, F f) {
  auto cell = [](double c) { return std::clamp(static_cast<int>(std::floor(c)), 0, GRID_SIZE - 1); };
  for (int x = cell(p.x - reach); x <= cell(p.x + reach); x++)
    for (int y = cell(p.y - reach); y <= cell(p.y + reach); y++)
      for (int z = cell(p.z - reach); z <= cell(p.z + reach); z++) {
        const GRIDCELL& c = gridcell[gridcell_index(x, y, z)];
        for (int t = 0; t < c.triangles; t++) f(c.triangle[t]);
      }
}

// Points in the carved space at least `room` from every triangle: off the centres of cells
// whose eight corners are all empty.
inline std::vector<XYZ> open_points(double room) {
  std::vector<XYZ> points;
  for (int c = 0; c < GRIDCELLS; c++) {
    const VOXEL* const* corner = gridcell[c].voxel;
    if (!std::all_of(corner, corner + 8, [](const VOXEL* v) { return v->value < 0.0f; })) continue;
    const XYZ p = {corner[0]->p.x + 0.37f, corner[0]->p.y + 0.21f, corner[0]->p.z + 0.43f};
    double clear = room;
    for_triangles_near(p, room + 1, [&](const POLYGON& t) { clear = std::min(clear, distance_to_triangle(t, p)); });
    if (clear >= room) points.push_back(p);
  }
  return points;
}

// One frame of a vurk's move: up to three sweeps, each going on from where the last stopped
// with the slide it left. Returns the contacts.
inline int move_like_a_vurk(XYZ* p, IJK movement, float radius) {
  for (int sweep = 0; sweep < 3; sweep++) {
    const XYZ from = *p;
    IJK normal;
    if (!test_sphere_collisions(from, radius, movement, p, &normal, &movement)) {
      *p = {from.x + movement.i, from.y + movement.j, from.z + movement.k};
      return sweep;
    }
  }
  return 3;
}

}  // namespace vurkhold::test
