// sphere sweep: moves a sphere through terrain, outer walls, rocks and vurks and reports the
// nearest contact with the slide that is left; vurks walk and slide with it.
#include <cmath>

#include "geometry/geometry.h"

namespace vurkhold {

namespace {

constexpr double SLIDE_PUSH = 0.00001;  // keeps the next sweep clear of the surface just met
constexpr double NO_CONTACT = 1000000.0;

XYZ advance(XYZ p, IJK v, double t) {
  return {static_cast<float>(p.x + t * v.i), static_cast<float>(p.y + t * v.j), static_cast<float>(p.z + t * v.k)};
}

// The slide: what remains of the movement beyond the contact, flattened onto the contact's
// tangent plane through `contact`, plus a small push along the normal.
IJK give_slide(XYZ p, IJK movement, XYZ contact, IJK slide_normal) {
  const XYZ destination = advance(p, movement, 1.0);
  XYZ slide_point;
  plane_and_ray(contact, slide_normal, destination, slide_normal, &slide_point);
  return {static_cast<float>(static_cast<double>(slide_point.x) - contact.x + SLIDE_PUSH * slide_normal.i),
          static_cast<float>(static_cast<double>(slide_point.y) - contact.y + SLIDE_PUSH * slide_normal.j),
          static_cast<float>(static_cast<double>(slide_point.z) - contact.z + SLIDE_PUSH * slide_normal.k)};
}

// The steps shared by triangles and planes once the travel to the contact is known.
int finish_contact(XYZ p, IJK movement, IJK direction, float distance, XYZ contact, IJK face_normal,
                   XYZ* result, IJK* slide_normal, IJK* slide) {
  *result = advance(p, direction, distance);
  make_vector(&contact, result, slide_normal);
  if (normalize_vector(slide_normal) == 0.0f) *slide_normal = face_normal;
  if (!(dot_product(&direction, slide_normal) < 0.0f)) return 0;
  *slide = give_slide(p, movement, contact, *slide_normal);
  return 1;
}

// Where a sphere clear of the plane first touches it when moving along direction: writes the
// touching spot into plane_point and returns the travel of the centre until then.
float give_plane_reach(XYZ p, float radius, IJK direction, XYZ plane_origin, IJK plane_normal, XYZ* plane_point) {
  const XYZ nearest = {static_cast<float>(p.x - static_cast<double>(radius) * plane_normal.i),
                       static_cast<float>(p.y - static_cast<double>(radius) * plane_normal.j),
                       static_cast<float>(p.z - static_cast<double>(radius) * plane_normal.k)};
  return static_cast<float>(plane_and_ray(plane_origin, plane_normal, nearest, direction, plane_point));
}

// Float to cell index, toward zero, held to -1..32 so far-off points cannot overflow.
int give_cell(double coordinate) {
  if (!(coordinate > -1.0)) return -1;
  if (coordinate >= 32.0) return 32;
  return static_cast<int>(coordinate);
}

void give_cell_range(float p, float move, float radius, int* low, int* high) {
  if (move > 0.0f) {
    *high = give_cell(static_cast<double>(p) + move + radius);
    *low = give_cell(static_cast<double>(p) - radius);
  } else {
    *high = give_cell(static_cast<double>(p) + radius);
    *low = give_cell(static_cast<double>(p) + move - radius);
  }
  if (*low < 0) *low = 0;
  if (*high > GRID_SIZE - 1) *high = GRID_SIZE - 1;
}

struct SWEEP {
  XYZ p;
  float radius;
  IJK movement;
  double best;
  int answer;
  XYZ* result;
  IJK* normal;
  IJK* slide;
};

// A contact replaces the one held only when strictly nearer, so the first found wins ties.
void keep_if_nearer(SWEEP* s, float distance, XYZ result, IJK normal, IJK slide) {
  if (!(distance < s->best)) return;
  s->best = distance;
  s->answer = 1;
  *s->result = result;
  *s->normal = normal;
  *s->slide = slide;
}

void try_triangle(SWEEP* s, const POLYGON& t) {
  float distance;
  XYZ result;
  IJK normal, slide;
  if (ball_and_triangle(s->p, s->radius, s->movement, t, &distance, &result, &normal, &slide))
    keep_if_nearer(s, distance, result, normal, slide);
}

}  // namespace

int ball_and_triangle(XYZ p, float radius, IJK movement, POLYGON t, float* distance, XYZ* result,
                      IJK* slide_normal, IJK* slide) {
  const float distance_to_travel = give_vector_lenght(&movement);
  if (!(distance_to_travel > 0.0f)) return 0;
  const IJK direction = {movement.i / distance_to_travel, movement.j / distance_to_travel,
                         movement.k / distance_to_travel};
  if (!(dot_product(&t.normal, &direction) < 0.0f)) return 0;

  const XYZ origin = t.vertex[0]->p;
  XYZ plane_point;
  const double plane_distance = -plane_and_ray(origin, t.normal, p, t.normal, &plane_point);
  if (plane_distance < 0.0) return 0;
  if (plane_distance > radius) {
    *distance = give_plane_reach(p, radius, direction, origin, t.normal, &plane_point);
    if (*distance > distance_to_travel) return 0;
  }

  const XYZ contact = is_in_triangle(&t, &plane_point) ? plane_point : find_closest_point(t, plane_point);
  if (give_distance(&p, &contact) <= radius) {
    *distance = 0.0f;
  } else {
    const IJK back = {-direction.i, -direction.j, -direction.k};
    *distance = static_cast<float>(ray_and_sphere(contact, back, p, radius));
    if (*distance < 0.0f || *distance > distance_to_travel) return 0;
  }
  return finish_contact(p, movement, direction, *distance, contact, t.normal, result, slide_normal, slide);
}

int ball_and_plane(XYZ p, float radius, IJK movement, PLANE t, float* distance, XYZ* result, IJK* slide_normal,
                   IJK* slide) {
  const float distance_to_travel = give_vector_lenght(&movement);
  if (!(distance_to_travel > 0.0f)) return 0;
  const IJK direction = {movement.i / distance_to_travel, movement.j / distance_to_travel,
                         movement.k / distance_to_travel};
  if (!(dot_product(&t.normal, &direction) < 0.0f)) return 0;

  XYZ contact;
  const double plane_distance = -plane_and_ray(t.p, t.normal, p, t.normal, &contact);
  if (!(plane_distance > 0.0)) return 0;
  if (plane_distance > radius) {
    *distance = give_plane_reach(p, radius, direction, t.p, t.normal, &contact);
    if (*distance > distance_to_travel) return 0;
  } else {
    *distance = 0.0f;
  }
  return finish_contact(p, movement, direction, *distance, contact, t.normal, result, slide_normal, slide);
}

int test_sphere_collisions(XYZ p, float radius, IJK movement, XYZ* result, IJK* normal, IJK* slide) {
  if (movement.i == 0.0f && movement.j == 0.0f && movement.k == 0.0f) return 0;

  SWEEP s = {p, radius, movement, NO_CONTACT, 0, result, normal, slide};

  int min_x, max_x, min_y, max_y, min_z, max_z;
  give_cell_range(p.x, movement.i, radius, &min_x, &max_x);
  give_cell_range(p.y, movement.j, radius, &min_y, &max_y);
  give_cell_range(p.z, movement.k, radius, &min_z, &max_z);
  for (int x = min_x; x <= max_x; x++)
    for (int y = min_y; y <= max_y; y++)
      for (int z = min_z; z <= max_z; z++) {
        const GRIDCELL& cell = gridcell[gridcell_index(x, y, z)];
        for (int t = 0; t < cell.triangles; t++) try_triangle(&s, cell.triangle[t]);
      }

  for (int w = 0; w < 6; w++) {
    float distance;
    XYZ at;
    IJK n, sl;
    if (ball_and_plane(p, radius, movement, wall[w], &distance, &at, &n, &sl)) keep_if_nearer(&s, distance, at, n, sl);
  }

  const double reach = static_cast<double>(radius) + give_vector_lenght(&movement);
  const int rock_count = rocks < MAX_ROCKS ? rocks : MAX_ROCKS;
  for (int r = 0; r < rock_count; r++) {
    const ROCK& stone = rock[r];
    const MESH* mesh = give_rock_mesh(&stone);
    if (!mesh) continue;
    if (give_distance(&p, &stone.p) > reach + stone.radius) continue;
    VERTEX corner[3];
    POLYGON t;
    for (int j = 0; j < mesh->number_of_polygons; j++) {
      place_rock_triangle(&stone, &mesh->polygon[j], corner, &t);
      try_triangle(&s, t);
    }
  }

  IJK dir = movement;
  const float len = normalize_vector(&dir);
  for (int i = 0; i < MAX_VURKS; i++) {
    if (!vurk[i].alive) continue;
    const double td = ray_and_sphere(p, dir, vurk[i].p, static_cast<double>(radius) + 0.5);
    if (!(td >= 0.0 && td <= len && td < s.best)) continue;
    s.best = 0.0;
    s.answer = 1;
    *result = p;
    make_vector(&vurk[i].p, &p, normal);
    normalize_vector(normal);
    *slide = give_slide(p, movement, p, *normal);
  }
  return s.answer;
}

}  // namespace vurkhold
