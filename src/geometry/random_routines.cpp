// random routines: numbers in a range, directions on the sphere and scattered directions,
// all drawn from the game's one generator.
#include <cmath>

#include "geometry/geometry.h"

namespace vurkhold {

float random_number(float min, float max) {
  const double r = game_rand();
  return static_cast<float>((static_cast<double>(max) - min) * r / 32767.0f + min);
}

IJK random_vector() {
  const float z = random_number(-1.0f, 1.0f);
  const float a = random_number(0.0f, 6.2831855f);
  const float r = std::sqrt(static_cast<float>(1.0 - static_cast<double>(z) * z));
  return {std::cos(a) * r, std::sin(a) * r, z};
}

IJK random_direction(const IJK* dir, float theta, float lenght) {
  const float scale = std::sin(theta);
  IJK offset = random_vector();
  IJK d = {static_cast<float>(dir->i + static_cast<double>(offset.i) * scale),
           static_cast<float>(dir->j + static_cast<double>(offset.j) * scale),
           static_cast<float>(dir->k + static_cast<double>(offset.k) * scale)};
  normalize_vector(&d);
  return {d.i * lenght, d.j * lenght, d.k * lenght};
}

}  // namespace vurkhold
