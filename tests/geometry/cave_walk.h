// cave walk: places and moves spheres through the carved test cave as vurks move, for the
// sweep property tests and the collision benchmarks.
#pragma once

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
      const double x = uniform(-1, 1), y = uniform(-1, 1), z = uniform(-1, 1);
      const double l = std::sqrt(x * x + y * y + z * z);
      if (l < 0.1 || l > 1.0) continue;
      return {static_cast<float>(x / l * length), static_cast<float>(y / l * length), static_cast<float>(z / l * length)};
    }
  }
};

// Distance from p to the triangle (closest point on the face, its edges or corners),
// worked out in double independently of the collision code.
inline double distance_to_triangle(const POLYGON& t, XYZ p) {
  auto sub = [](const double* a, const double* b, double* o) {
    for (int k = 0; k < 3; k++) o[k] = a[k] - b[k];
  };
  auto dot = [](const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
  const double a[3] = {t.vertex[0]->p.x, t.vertex[0]->p.y, t.vertex[0]->p.z};
  const double b[3] = {t.vertex[1]->p.x, t.vertex[1]->p.y, t.vertex[1]->p.z};
  const double c[3] = {t.vertex[2]->p.x, t.vertex[2]->p.y, t.vertex[2]->p.z};
  const double q[3] = {p.x, p.y, p.z};
  double ab[3], ac[3], ap[3], bp[3], cp[3], r[3];
  sub(b, a, ab);
  sub(c, a, ac);
  sub(q, a, ap);
  const double d1 = dot(ab, ap), d2 = dot(ac, ap);
  auto at = [&](double u, double v) {  // a + u ab + v ac
    for (int k = 0; k < 3; k++) r[k] = a[k] + u * ab[k] + v * ac[k];
    double d[3];
    sub(q, r, d);
    return std::sqrt(dot(d, d));
  };
  if (d1 <= 0 && d2 <= 0) return at(0, 0);
  sub(q, b, bp);
  const double d3 = dot(ab, bp), d4 = dot(ac, bp);
  if (d3 >= 0 && d4 <= d3) return at(1, 0);
  const double vc = d1 * d4 - d3 * d2;
  if (vc <= 0 && d1 >= 0 && d3 <= 0) return at(d1 / (d1 - d3), 0);
  sub(q, c, cp);
  const double d5 = dot(ab, cp), d6 = dot(ac, cp);
  if (d6 >= 0 && d5 <= d6) return at(0, 1);
  const double vb = d5 * d2 - d1 * d6;
  if (vb <= 0 && d2 >= 0 && d6 <= 0) return at(0, d2 / (d2 - d6));
  const double va = d3 * d6 - d5 * d4;
  if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
    const double w = (d4 - d3) / ((d4 - d3) + (d5 - d6));
    return at(1 - w, w);
  }
  const double denom = 1.0 / (va + vb + vc);
  return at(vb * denom, vc * denom);
}

// Calls f(triangle) for every terrain triangle in the cells within `reach` of p.
template <typename F>
void for_triangles_near(XYZ p, double reach, F f) {
  const int lo[3] = {static_cast<int>(std::floor(p.x - reach)), static_cast<int>(std::floor(p.y - reach)),
                     static_cast<int>(std::floor(p.z - reach))};
  const int hi[3] = {static_cast<int>(std::floor(p.x + reach)), static_cast<int>(std::floor(p.y + reach)),
                     static_cast<int>(std::floor(p.z + reach))};
  for (int x = lo[0] < 0 ? 0 : lo[0]; x <= hi[0] && x < GRID_SIZE; x++)
    for (int y = lo[1] < 0 ? 0 : lo[1]; y <= hi[1] && y < GRID_SIZE; y++)
      for (int z = lo[2] < 0 ? 0 : lo[2]; z <= hi[2] && z < GRID_SIZE; z++) {
        const GRIDCELL& cell = gridcell[gridcell_index(x, y, z)];
        for (int t = 0; t < cell.triangles; t++) f(cell.triangle[t]);
      }
}

// Distance from p to the nearest terrain triangle within `reach`, or `reach` when none is.
inline double clearance(XYZ p, double reach) {
  double nearest = reach;
  for_triangles_near(p, reach, [&](const POLYGON& t) {
    const double d = distance_to_triangle(t, p);
    if (d < nearest) nearest = d;
  });
  return nearest;
}

// Points in the cave's empty space at least `room` from every triangle: inside cells
// whose eight corners are all empty (such cells hold no surface and lie in the carved
// space), off the cell's centre.
inline std::vector<XYZ> open_points(double room) {
  std::vector<XYZ> points;
  for (int z = 0; z < GRID_SIZE; z++)
    for (int y = 0; y < GRID_SIZE; y++)
      for (int x = 0; x < GRID_SIZE; x++) {
        const GRIDCELL& cell = gridcell[gridcell_index(x, y, z)];
        int empty = 1;
        for (int k = 0; k < 8; k++) empty &= cell.voxel[k]->value < 0.0f;
        if (!empty) continue;
        const XYZ p = {x + 0.37f, y + 0.21f, z + 0.43f};
        if (clearance(p, room + 1.0) >= room) points.push_back(p);
      }
  return points;
}

// One frame of a vurk's move: up to three sweeps, each continuing from where the last
// stopped with the slide it left. Returns the number of contacts.
inline int move_like_a_vurk(XYZ* p, IJK movement, float radius) {
  int contacts = 0;
  for (int sweep = 0; sweep < 3; sweep++) {
    XYZ result;
    IJK normal, slide;
    if (!test_sphere_collisions(*p, radius, movement, &result, &normal, &slide)) {
      *p = {p->x + movement.i, p->y + movement.j, p->z + movement.k};
      return contacts;
    }
    contacts++;
    *p = result;
    movement = slide;
  }
  return contacts;
}

}  // namespace vurkhold::test
