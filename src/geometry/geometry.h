// geometry: the vector library, the collision primitives and the sphere and point sweeps.
#pragma once

#include "records/records.h"

namespace vurkhold {

// ---- vector math ----
// Sums and products are formed in double precision and rounded to float when stored.

float deg(float radians);
float rad(float degrees);
void cross_product(const IJK* a, const IJK* b, IJK* out);
float k_component(const IJK* a, const IJK* b);
float j_component(const IJK* a, const IJK* b);
// Scales v to unit length when its length is above 0; returns the length it had.
float normalize_vector(IJK* v);
void reflect_vector(IJK* v, const IJK* normal, float scale);
float dot_product(const IJK* a, const IJK* b);
float give_vector_lenght(const IJK* v);
float give_vector_lenght_pow2(const IJK* v);
// Angle between a and b in radians, 0..pi. Both must be non-zero.
float give_vector_angle(const IJK* a, const IJK* b);
float give_distance(const XYZ* a, const XYZ* b);
float give_distance_pow2(const XYZ* a, const XYZ* b);
// out = b - a, the vector from a to b.
void make_vector(const XYZ* a, const XYZ* b, IJK* out);

// ---- camera and view frustum ----

void init_camera(CAMERA* c);
// Fills `frustum` from a view's projection and model-view matrices (GL's column order):
// rows right, left, bottom, top, far, near, each (a, b, c, d) with a unit normal pointing
// into the view, so a * x + b * y + c * z + d is the distance inside that plane.
void give_frustum(const float proj[16], const float modl[16]);
// The cube centred on (x, y, z) reaching `size` to each side against `frustum`: 0 wholly
// outside one plane (a corner on a plane counts as outside), 2 wholly inside all six,
// otherwise 1.
int is_cube_in_frustum(float x, float y, float z, float size);

// ---- random routines, on the game's one generator ----

// (max - min) * r / 32767 + min for one draw r of 0..32767: both ends can come out.
float random_number(float min, float max);
// A direction uniform over the unit sphere.
IJK random_vector();
// dir scattered by up to about theta radians, scaled to length lenght.
IJK random_direction(const IJK* dir, float theta, float lenght);

// ---- collision primitives ----

// Ray against plane: returns t in units of ray_vector's length (negative when the plane lies
// behind the origin) and writes ray_origin + t * ray_vector. With the plane normal as ray it
// projects: the foot of the perpendicular is written and -t is the signed distance of
// ray_origin from the plane. The ray must not run parallel to the plane.
double plane_and_ray(XYZ plane_origin, IJK normal, XYZ ray_origin, IJK ray_vector, XYZ* intersection);
// Distance along the unit ray rV from rO to the first crossing of the sphere at sO of radius
// sR; -1.0 when the line misses. Negative too when rO is inside or the sphere is behind.
double ray_and_sphere(XYZ rO, IJK rV, XYZ sO, double sR);
// 1 when p (in the triangle's plane) lies inside the triangle or on an edge; a vertex is outside.
int is_in_triangle(const POLYGON* t, const XYZ* p);
// The point of segment a..b nearest to p.
XYZ closest_point_on_line(XYZ a, XYZ b, XYZ p);
// The point on the triangle's edges nearest to p; ties go to edge 0-1, then 1-2, then 2-0.
XYZ find_closest_point(POLYGON t, XYZ p);

// ---- sphere sweep ----

// One sphere against one triangle or one plane (both one-sided, hit only from the front).
// On 1: distance the centre travels before contact, the centre there, the unit contact
// normal and the movement left after contact projected onto the contact plane. On 0 the
// outputs may hold partial values.
int ball_and_triangle(XYZ p, float radius, IJK movement, POLYGON t, float* distance, XYZ* result,
                      IJK* slide_normal, IJK* slide);
int ball_and_plane(XYZ p, float radius, IJK movement, PLANE t, float* distance, XYZ* result,
                   IJK* slide_normal, IJK* slide);
// A rock's model triangle placed in the world: corners at the rock's centre plus its size
// times the model's corners (rocks are never turned), the model's normal unchanged. The
// corners go into the caller's three vertices, so no allocation is made.
void place_rock_triangle(const ROCK* stone, const POLYGON* model_polygon, VERTEX corner[3], POLYGON* t);
// The rock's model mesh that collides, or null when the rock has none.
const MESH* give_rock_mesh(const ROCK* stone);

// Moves the sphere by movement through terrain, walls, rocks and live vurks; returns 1 and
// the nearest contact (where the centre stops, its normal, the slide left) or 0 with the
// outputs untouched.
int test_sphere_collisions(XYZ p, float radius, IJK movement, XYZ* result, IJK* normal, IJK* slide);

// ---- point sweep ----

// Moves a point by movement; returns what it meets first (CT_ value) with the impact point
// and surface normal, or CT_NO_COLLISION with the outputs untouched. Vurks are met in their
// own frame of reference, so a zero movement can still be hit by a vurk moving into it.
COLLISION_TYPE test_point_collisions(XYZ p, IJK movement, XYZ* result, IJK* normal);
// The same answer from every terrain cell of the movement's bounding box: the plain search
// the faster walk along the path must always agree with.
COLLISION_TYPE test_point_collisions_in_box(XYZ p, IJK movement, XYZ* result, IJK* normal);

}  // namespace vurkhold
