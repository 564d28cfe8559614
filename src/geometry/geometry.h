// geometry: the vector library, the collision primitives and the sphere and point sweeps.
#pragma once

#include "shell/shell.h"

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

// ---- random routines, on the game's one generator ----

// (max - min) * r / 32767 + min for one draw r of 0..32767: both ends can come out.
float random_number(float min, float max);
// A direction uniform over the unit sphere.
IJK random_vector();
// dir scattered by up to about theta radians, scaled to length lenght.
IJK random_direction(const IJK* dir, float theta, float lenght);

}  // namespace vurkhold
