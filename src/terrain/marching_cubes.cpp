// marching cubes: the triangles of each grid cell from its eight corner values, with a
// face normal and texture coordinates laid flat into the cell material's texture quarter.
#include <cmath>

#include "geometry/geometry.h"
#include "terrain/terrain.h"

namespace vurkhold {

namespace {

// The crossing on each cut edge of the cell being built; entries of uncut edges are
// stale and never read.
XYZ vertlist[12];

// The tables number the corners around the lower face, then the upper face; the cell's
// own corner order is by coordinate bits.
constexpr int CORNER_VOXEL[8] = {0, 1, 5, 4, 2, 3, 7, 6};
constexpr int EDGE_CORNER[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                    {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

// The longest segment inside a unit cell spans half the texture: a quarter's width.
constexpr double SQRT3 = 1.732050808;
constexpr double TEXTURE_SCALE = 0.5 / SQRT3;
constexpr double BASE_OFFSET = 0.01;

void set_uv(VERTEX* v, double u, double w) {
  v->u = static_cast<float>(u);
  v->w = static_cast<float>(w);
}

// Lays the triangle flat along its longest edge. c is the cosine at the base's origin,
// from float-rounded unit vectors, so it is held to -1..1 before acos: a near-straight
// triangle must not turn into NaN coordinates.
void lay_texture(POLYGON* t, const IJK& e1, const IJK& e2, const IJK& e3, double l1, double l2, double l3,
                 double bu, double bw) {
  VERTEX *o, *e, *a;
  double length, d, c;
  if (l3 >= l1 && l3 >= l2) {
    o = t->vertex[2], e = t->vertex[0], a = t->vertex[1];
    length = l3, d = l2, c = -static_cast<double>(dot_product(&e2, &e3));
  } else if (l2 >= l1) {
    o = t->vertex[1], e = t->vertex[2], a = t->vertex[0];
    length = l2, d = l1, c = -static_cast<double>(dot_product(&e1, &e2));
  } else {
    o = t->vertex[0], e = t->vertex[1], a = t->vertex[2];
    length = l1, d = l3, c = -static_cast<double>(dot_product(&e3, &e1));
  }
  if (c > 1.0) c = 1.0;
  if (c < -1.0) c = -1.0;
  set_uv(o, bu, bw + BASE_OFFSET);
  set_uv(e, bu + length * TEXTURE_SCALE, bw + BASE_OFFSET);
  // sin(acos(c)), the sine of the angle at the origin, without the two library calls.
  set_uv(a, bu + c * d * TEXTURE_SCALE, bw + std::sqrt(1.0 - c * c) * d * TEXTURE_SCALE);
}

}  // namespace

XYZ vertex_interp(double isolevel, XYZ p1, XYZ p2, double valp1, double valp2) {
  if (valp1 == valp2) return p1;
  const double mu = (isolevel - valp1) / (valp2 - valp1);
  return {static_cast<float>(p1.x + mu * (static_cast<double>(p2.x) - p1.x)),
          static_cast<float>(p1.y + mu * (static_cast<double>(p2.y) - p1.y)),
          static_cast<float>(p1.z + mu * (static_cast<double>(p2.z) - p1.z))};
}

void polygonise(GRIDCELL* gc, double isolevel) {
  // Written out corner by corner: most cells are wholly solid or wholly empty and stop
  // right after this.
  VOXEL* const* v = gc->voxel;
  const VOXEL* const corner[8] = {v[CORNER_VOXEL[0]], v[CORNER_VOXEL[1]], v[CORNER_VOXEL[2]], v[CORNER_VOXEL[3]],
                                  v[CORNER_VOXEL[4]], v[CORNER_VOXEL[5]], v[CORNER_VOXEL[6]], v[CORNER_VOXEL[7]]};
  auto empty = [isolevel](const VOXEL* c) { return static_cast<int>(static_cast<double>(c->value) < isolevel); };
  const int cubeindex = empty(corner[0]) | empty(corner[1]) << 1 | empty(corner[2]) << 2 | empty(corner[3]) << 3 |
                        empty(corner[4]) << 4 | empty(corner[5]) << 5 | empty(corner[6]) << 6 |
                        empty(corner[7]) << 7;

  const int edges = edgeTable[cubeindex];
  if (edges == 0) {
    gc->triangles = 0;
    set_octtree_empty_flag(gc, 1);
    return;
  }

  for (int e = 0; e < 12; e++) {
    if (!(edges & (1 << e))) continue;
    const VOXEL* a = corner[EDGE_CORNER[e][0]];
    const VOXEL* b = corner[EDGE_CORNER[e][1]];
    vertlist[e] = vertex_interp(isolevel, a->p, b->p, a->value, b->value);
  }

  const double bu = 0.5 * (gc->material % 2);
  const double bw = 0.5 * (gc->material / 2);
  const int* row = triTable[cubeindex];
  int n = 0;
  for (int i = 0; row[i] != -1; i += 3) {
    POLYGON* t = &gc->triangle[n];
    const XYZ& v0 = t->vertex[0]->p = vertlist[row[i + 2]];
    const XYZ& v1 = t->vertex[1]->p = vertlist[row[i + 1]];
    const XYZ& v2 = t->vertex[2]->p = vertlist[row[i]];

    IJK e1, e2, e3;
    make_vector(&v0, &v1, &e1);
    make_vector(&v1, &v2, &e2);
    make_vector(&v2, &v0, &e3);
    const float l1 = normalize_vector(&e1);
    const float l2 = normalize_vector(&e2);
    const float l3 = normalize_vector(&e3);

    cross_product(&e1, &e2, &t->normal);
    normalize_vector(&t->normal);

    lay_texture(t, e1, e2, e3, l1, l2, l3, bu, bw);
    n++;
  }

  gc->triangles = static_cast<uint8_t>(n);
  set_octtree_empty_flag(gc, n == 0 ? 1 : 0);
}

void build_surface() {
  for (int i = 0; i < GRIDCELLS; i++) polygonise(&gridcell[i], 0.0);
}

}  // namespace vurkhold
