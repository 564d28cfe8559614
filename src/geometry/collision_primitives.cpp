// collision primitives: ray against plane and sphere, point in triangle, nearest points on
// a segment and on a triangle's edges; the building blocks of both sweeps.
#include <cmath>

#include "geometry/geometry.h"

namespace vurkhold {

double plane_and_ray(XYZ plane_origin, IJK normal, XYZ ray_origin, IJK ray_vector, XYZ* intersection) {
  const double ni = normal.i, nj = normal.j, nk = normal.k;
  const double d = -(ni * plane_origin.x + nj * plane_origin.y + nk * plane_origin.z);
  const double numer = -(ni * ray_origin.x + nj * ray_origin.y + nk * ray_origin.z + d);
  const double denom = ni * ray_vector.i + nj * ray_vector.j + nk * ray_vector.k;
  const double t = numer / denom;
  intersection->x = static_cast<float>(ray_origin.x + t * ray_vector.i);
  intersection->y = static_cast<float>(ray_origin.y + t * ray_vector.j);
  intersection->z = static_cast<float>(ray_origin.z + t * ray_vector.k);
  return t;
}

double ray_and_sphere(XYZ rO, IJK rV, XYZ sO, double sR) {
  const double qi = static_cast<double>(sO.x) - rO.x;
  const double qj = static_cast<double>(sO.y) - rO.y;
  const double qk = static_cast<double>(sO.z) - rO.z;
  const double c2 = qi * qi + qj * qj + qk * qk;
  const double v = rV.i * qi + rV.j * qj + rV.k * qk;
  const double d = sR * sR - (c2 - v * v);
  if (d < 0.0) return -1.0;
  return v - std::sqrt(d);
}

// The angles seen from p between the corners add up to a full turn only when p is inside
// (or on an edge); the band allows for rounding.
int is_in_triangle(const POLYGON* t, const XYZ* p) {
  IJK v0, v1, v2;
  make_vector(p, &t->vertex[0]->p, &v0);
  make_vector(p, &t->vertex[1]->p, &v1);
  make_vector(p, &t->vertex[2]->p, &v2);
  const double total = static_cast<double>(give_vector_angle(&v0, &v1)) + give_vector_angle(&v1, &v2) +
                       give_vector_angle(&v2, &v0);
  return total > 6.282 && total < 6.284 ? 1 : 0;
}

XYZ closest_point_on_line(XYZ a, XYZ b, XYZ p) {
  IJK c, v;
  make_vector(&a, &p, &c);
  make_vector(&a, &b, &v);
  const float d = normalize_vector(&v);  // a degenerate segment keeps v zero, so t is 0
  const float t = dot_product(&v, &c);
  if (t < 0.0f) return a;
  if (t > d) return b;
  return {static_cast<float>(a.x + static_cast<double>(t) * v.i), static_cast<float>(a.y + static_cast<double>(t) * v.j),
          static_cast<float>(a.z + static_cast<double>(t) * v.k)};
}

XYZ find_closest_point(POLYGON t, XYZ p) {
  const XYZ rab = closest_point_on_line(t.vertex[0]->p, t.vertex[1]->p, p);
  const XYZ rbc = closest_point_on_line(t.vertex[1]->p, t.vertex[2]->p, p);
  const XYZ rca = closest_point_on_line(t.vertex[2]->p, t.vertex[0]->p, p);
  const float dab = give_distance(&p, &rab);
  const float dbc = give_distance(&p, &rbc);
  const float dca = give_distance(&p, &rca);
  XYZ result = rab;
  float nearest = dab;
  if (dbc < nearest) {
    result = rbc;
    nearest = dbc;
  }
  if (dca < nearest) result = rca;
  return result;
}

void place_rock_triangle(const ROCK* stone, const POLYGON* model_polygon, VERTEX corner[3], POLYGON* t) {
  for (int k = 0; k < 3; k++) {
    const XYZ& m = model_polygon->vertex[k]->p;
    corner[k].p = {static_cast<float>(stone->p.x + static_cast<double>(stone->size) * m.x),
                   static_cast<float>(stone->p.y + static_cast<double>(stone->size) * m.y),
                   static_cast<float>(stone->p.z + static_cast<double>(stone->size) * m.z)};
    t->vertex[k] = &corner[k];
  }
  t->normal = model_polygon->normal;
}

const MESH* give_rock_mesh(const ROCK* stone) {
  if (!stone->model || !stone->model->mesh || stone->model->number_of_meshes < 1) return nullptr;
  return &stone->model->mesh[0];
}

}  // namespace vurkhold
