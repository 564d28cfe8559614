// vector math: conversions, products, lengths, distances and reflection of XYZ and IJK.
#include <cmath>

#include "geometry/geometry.h"

namespace vurkhold {

// The two constants are the game's own and are not exact reciprocals.
float deg(float radians) { return static_cast<float>(radians * 57.29577951); }
float rad(float degrees) { return static_cast<float>(degrees * 0.017453292); }

void cross_product(const IJK* a, const IJK* b, IJK* out) {
  const double ai = a->i, aj = a->j, ak = a->k, bi = b->i, bj = b->j, bk = b->k;
  out->i = static_cast<float>(aj * bk - ak * bj);
  out->j = static_cast<float>(ak * bi - ai * bk);
  out->k = static_cast<float>(ai * bj - aj * bi);
}

float k_component(const IJK* a, const IJK* b) {
  return static_cast<float>(static_cast<double>(a->i) * b->j - static_cast<double>(a->j) * b->i);
}

float j_component(const IJK* a, const IJK* b) {
  return static_cast<float>(static_cast<double>(a->k) * b->i - static_cast<double>(a->i) * b->k);
}

float normalize_vector(IJK* v) {
  const double i = v->i, j = v->j, k = v->k;
  const float length = static_cast<float>(std::sqrt(i * i + j * j + k * k));
  if (length > 0.0f) {
    v->i = static_cast<float>(i / length);
    v->j = static_cast<float>(j / length);
    v->k = static_cast<float>(k / length);
  }
  return length;
}

// The mirrored vector is stored before it is scaled, so each component is rounded twice.
void reflect_vector(IJK* v, const IJK* normal, float scale) {
  const float temp = static_cast<float>(2.0 * dot_product(normal, v));
  v->i = static_cast<float>(v->i - static_cast<double>(temp) * normal->i);
  v->j = static_cast<float>(v->j - static_cast<double>(temp) * normal->j);
  v->k = static_cast<float>(v->k - static_cast<double>(temp) * normal->k);
  v->i = static_cast<float>(static_cast<double>(v->i) * scale);
  v->j = static_cast<float>(static_cast<double>(v->j) * scale);
  v->k = static_cast<float>(static_cast<double>(v->k) * scale);
}

float dot_product(const IJK* a, const IJK* b) {
  return static_cast<float>(static_cast<double>(a->i) * b->i + static_cast<double>(a->j) * b->j +
                            static_cast<double>(a->k) * b->k);
}

float give_vector_lenght(const IJK* v) {
  const double i = v->i, j = v->j, k = v->k;
  return static_cast<float>(std::sqrt(i * i + j * j + k * k));
}

float give_vector_lenght_pow2(const IJK* v) {
  const double i = v->i, j = v->j, k = v->k;
  return static_cast<float>(i * i + j * j + k * k);
}

// Rounding can push the cosine of (anti)parallel vectors just past 1 in magnitude; it is
// held to -1..1 so that such vectors give 0 or pi rather than NaN (a point on a triangle's
// edge must still count as inside it).
float give_vector_angle(const IJK* a, const IJK* b) {
  const double la = std::sqrt(static_cast<double>(a->i) * a->i + static_cast<double>(a->j) * a->j +
                              static_cast<double>(a->k) * a->k);
  const double lb = std::sqrt(static_cast<double>(b->i) * b->i + static_cast<double>(b->j) * b->j +
                              static_cast<double>(b->k) * b->k);
  const double d = static_cast<double>(a->i) * b->i + static_cast<double>(a->j) * b->j +
                   static_cast<double>(a->k) * b->k;
  double cosine = d / (la * lb);
  if (cosine > 1.0) cosine = 1.0;
  if (cosine < -1.0) cosine = -1.0;
  return static_cast<float>(std::acos(cosine));
}

namespace {
double distance_pow2(const XYZ* a, const XYZ* b) {
  const double dx = static_cast<double>(a->x) - b->x;
  const double dy = static_cast<double>(a->y) - b->y;
  const double dz = static_cast<double>(a->z) - b->z;
  return dx * dx + dy * dy + dz * dz;
}
}  // namespace

float give_distance(const XYZ* a, const XYZ* b) { return static_cast<float>(std::sqrt(distance_pow2(a, b))); }

float give_distance_pow2(const XYZ* a, const XYZ* b) { return static_cast<float>(distance_pow2(a, b)); }

void make_vector(const XYZ* a, const XYZ* b, IJK* out) {
  out->i = static_cast<float>(static_cast<double>(b->x) - a->x);
  out->j = static_cast<float>(static_cast<double>(b->y) - a->y);
  out->k = static_cast<float>(static_cast<double>(b->z) - a->z);
}

}  // namespace vurkhold
