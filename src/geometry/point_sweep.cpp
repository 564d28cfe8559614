// point sweep: follows a point (a bullet, a line of sight) along its movement and reports
// the first terrain triangle, wall, rock or vurk it meets.
#include <algorithm>
#include <cmath>

#include "geometry/geometry.h"

namespace vurkhold {

namespace {

constexpr double NO_HIT = 1000000.0;
constexpr double VURK_RADIUS = 0.5;
constexpr double PATH_MARGIN = 0.01;
constexpr int SMALL_BOX = 8;  // cells

int give_cell(double coordinate) {
  if (!(coordinate > -1.0)) return -1;
  if (coordinate >= 32.0) return 32;
  return static_cast<int>(coordinate);
}

// The cells the path touches on one axis, without margin, held to the grid.
void give_cell_range(float p, float move, int* low, int* high) {
  if (move > 0.0f) {
    *high = give_cell(static_cast<double>(p) + move);
    *low = give_cell(p);
  } else {
    *high = give_cell(p);
    *low = give_cell(static_cast<double>(p) + move);
  }
  if (*low < 0) *low = 0;
  if (*high > GRID_SIZE - 1) *high = GRID_SIZE - 1;
}

// Travel along direction until the front face of the plane through origin is met; 0 when
// the point moves along or away from the face, or the plane is behind it or out of reach.
int meet_face(XYZ p, IJK direction, float distance_to_travel, XYZ origin, IJK normal, float* distance) {
  const double denom = static_cast<double>(normal.i) * direction.i + static_cast<double>(normal.j) * direction.j +
                       static_cast<double>(normal.k) * direction.k;
  if (!(denom < 0.0)) return 0;
  const double numer = normal.i * (static_cast<double>(origin.x) - p.x) +
                       normal.j * (static_cast<double>(origin.y) - p.y) +
                       normal.k * (static_cast<double>(origin.z) - p.z);
  *distance = static_cast<float>(numer / denom);
  return *distance >= 0.0f && *distance <= distance_to_travel;
}

XYZ advance(XYZ p, IJK v, double t) {
  return {static_cast<float>(p.x + t * v.i), static_cast<float>(p.y + t * v.j), static_cast<float>(p.z + t * v.k)};
}

struct PROBE {
  XYZ p;
  IJK direction;
  float distance_to_travel;
  double best;
  COLLISION_TYPE answer;
  XYZ* result;
  IJK* normal;
};

// The angle sum is undefined at a corner, so a path straight through the corner that
// the triangles around it share would slip between them all; the corner counts as inside.
bool is_corner(const POLYGON& t, XYZ p) {
  for (const VERTEX* v : t.vertex)
    if (v->p.x == p.x && v->p.y == p.y && v->p.z == p.z) return true;
  return false;
}

// The nearness test comes before the costlier inside test; both must pass either way.
void try_triangle(PROBE* s, const POLYGON& t, COLLISION_TYPE kind) {
  float distance;
  if (!meet_face(s->p, s->direction, s->distance_to_travel, t.vertex[0]->p, t.normal, &distance)) return;
  if (!(distance < s->best)) return;
  const XYZ hit = advance(s->p, s->direction, distance);
  if (!is_in_triangle(&t, &hit) && !is_corner(t, hit)) return;
  s->best = distance;
  s->answer = kind;
  *s->result = hit;
  *s->normal = t.normal;
}

void probe_cell(PROBE* s, int x, int y, int z) {
  const GRIDCELL& cell = gridcell[gridcell_index(x, y, z)];
  for (int t = 0; t < cell.triangles; t++) try_triangle(s, cell.triangle[t], CT_DIRT_COLLISION);
}

// Every cell of the path's bounding box, x, then y, then z.
void probe_box(PROBE* s, IJK movement) {
  int min_x, max_x, min_y, max_y, min_z, max_z;
  give_cell_range(s->p.x, movement.i, &min_x, &max_x);
  give_cell_range(s->p.y, movement.j, &min_y, &max_y);
  give_cell_range(s->p.z, movement.k, &min_z, &max_z);
  for (int x = min_x; x <= max_x; x++)
    for (int y = min_y; y <= max_y; y++)
      for (int z = min_z; z <= max_z; z++) probe_cell(s, x, y, z);
}

// The part [t0, t1] of the path that lies within one axis's slab lo..hi; false when none.
bool clip_to_slab(double p, double direction, double lo, double hi, double* t0, double* t1) {
  if (direction == 0.0) return p >= lo && p <= hi;
  double a = (lo - p) / direction, b = (hi - p) / direction;
  if (a > b) std::swap(a, b);
  *t0 = std::max(*t0, a);
  *t1 = std::min(*t1, b);
  return *t0 <= *t1;
}

// The cells of `low`..`high` on one axis that the path reaches between t0 and t1, with
// the margin on both sides. A path from far outside the grid is held to it before the
// cell numbers are taken; an infinite step gives no number at all (infinity times zero),
// which give_cell holds to no cell rather than converting.
void give_cells_between(double p, double direction, double t0, double t1, int* low, int* high) {
  const double a = p + t0 * direction, b = p + t1 * direction;
  auto cell = [](double c) { return give_cell(std::floor(c)); };
  *low = std::max(*low, cell(std::min(a, b) - PATH_MARGIN));
  *high = std::min(*high, cell(std::max(a, b) + PATH_MARGIN));
}

// Only the cells of the bounding box that the path passes through, in the box's own
// order, so the nearest hit and the choice among equally near ones stay the box search's.
// A hit lies on the path and in a triangle, and a triangle lies in its cell; the margin
// covers the rounding of the hit point and the inside test's tolerance at the edges. A
// long step thus costs its length in cells, not its length cubed.
void probe_path(PROBE* s, IJK movement) {
  int min_x, max_x, min_y, max_y, min_z, max_z;
  give_cell_range(s->p.x, movement.i, &min_x, &max_x);
  give_cell_range(s->p.y, movement.j, &min_y, &max_y);
  give_cell_range(s->p.z, movement.k, &min_z, &max_z);
  // A short step's box is a few cells, which the plain loop visits faster than the walk.
  if ((max_x - min_x + 1) * (max_y - min_y + 1) * (max_z - min_z + 1) <= SMALL_BOX) {
    probe_box(s, movement);
    return;
  }
  const double px = s->p.x, py = s->p.y, pz = s->p.z;
  const double dx = s->direction.i, dy = s->direction.j, dz = s->direction.k;
  for (int x = min_x; x <= max_x; x++) {
    double tx0 = 0.0, tx1 = s->distance_to_travel;
    if (!clip_to_slab(px, dx, x - PATH_MARGIN, x + 1 + PATH_MARGIN, &tx0, &tx1)) continue;
    int low_y = min_y, high_y = max_y;
    give_cells_between(py, dy, tx0, tx1, &low_y, &high_y);
    for (int y = low_y; y <= high_y; y++) {
      double ty0 = tx0, ty1 = tx1;
      if (!clip_to_slab(py, dy, y - PATH_MARGIN, y + 1 + PATH_MARGIN, &ty0, &ty1)) continue;
      int low_z = min_z, high_z = max_z;
      give_cells_between(pz, dz, ty0, ty1, &low_z, &high_z);
      for (int z = low_z; z <= high_z; z++) probe_cell(s, x, y, z);
    }
  }
}

COLLISION_TYPE point_collisions(XYZ p, IJK movement, XYZ* result, IJK* normal, bool whole_box) {
  PROBE s = {p, {0.0f, 0.0f, 0.0f}, 0.0f, NO_HIT, CT_NO_COLLISION, result, normal};
  s.distance_to_travel = give_vector_lenght(&movement);

  if (s.distance_to_travel > 0.0f) {
    const float d = s.distance_to_travel;
    s.direction = {movement.i / d, movement.j / d, movement.k / d};

    if (whole_box)
      probe_box(&s, movement);
    else
      probe_path(&s, movement);

    for (int w = 0; w < 6; w++) {
      float distance;
      if (!meet_face(p, s.direction, d, wall[w].p, wall[w].normal, &distance)) continue;
      if (!(distance < s.best)) continue;
      s.best = distance;
      s.answer = CT_METAL_COLLISION;
      *result = advance(p, s.direction, distance);
      *normal = wall[w].normal;
    }

    const int rock_count = rocks < MAX_ROCKS ? rocks : MAX_ROCKS;
    for (int r = 0; r < rock_count; r++) {
      const ROCK& stone = rock[r];
      const MESH* mesh = give_rock_mesh(&stone);
      if (!mesh) continue;
      const double reach = static_cast<double>(d) + stone.radius;
      const double dx = static_cast<double>(p.x) - stone.p.x;
      const double dy = static_cast<double>(p.y) - stone.p.y;
      const double dz = static_cast<double>(p.z) - stone.p.z;
      if (reach * reach < dx * dx + dy * dy + dz * dz) continue;
      VERTEX corner[3];
      POLYGON t;
      for (int j = 0; j < mesh->number_of_polygons; j++) {
        place_rock_triangle(&stone, &mesh->polygon[j], corner, &t);
        try_triangle(&s, t, CT_ROCK_COLLISION);
      }
    }
  }

  // Each vurk is met in its own frame: the point moves by its movement less the vurk's
  // motion this frame, against the sphere where the vurk stood at the frame's start.
  for (int i = 0; i < MAX_VURKS; i++) {
    const VURK_& v = vurk[i];
    if (!v.alive) continue;
    IJK rel = {static_cast<float>(static_cast<double>(movement.i) - (static_cast<double>(v.p.x) - v.pp.x)),
               static_cast<float>(static_cast<double>(movement.j) - (static_cast<double>(v.p.y) - v.pp.y)),
               static_cast<float>(static_cast<double>(movement.k) - (static_cast<double>(v.p.z) - v.pp.z))};
    const float len = normalize_vector(&rel);
    if (!(len > 0.0f)) continue;
    const double td = ray_and_sphere(p, rel, v.pp, VURK_RADIUS);
    if (!(td > 0.0 && td <= len && td < s.best)) continue;
    s.best = td;
    s.answer = static_cast<COLLISION_TYPE>(CT_VURK1_COLLISION + i);
    *result = advance(p, rel, td);
    make_vector(&v.p, result, normal);
    normalize_vector(normal);
  }
  return s.answer;
}

}  // namespace

COLLISION_TYPE test_point_collisions(XYZ p, IJK movement, XYZ* result, IJK* normal) {
  return point_collisions(p, movement, result, normal, false);
}

COLLISION_TYPE test_point_collisions_in_box(XYZ p, IJK movement, XYZ* result, IJK* normal) {
  return point_collisions(p, movement, result, normal, true);
}

}  // namespace vurkhold
