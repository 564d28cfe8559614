// view frustum: the six planes of a view taken from its two matrices, and the cube test the
// terrain and the scene cull with. Loading the camera into GL is the drawing side's.
#include <cmath>

#include "geometry/geometry.h"

namespace vurkhold {

void init_camera(CAMERA* c) {
  c->p = {0.0f, 0.0f, 0.0f};
  c->heading = 0.0f;
  c->pitch = 0.0f;
}

// Matrices come in GL's column order: element 4 * column + row.
void give_frustum(const float proj[16], const float modl[16]) {
  float clip[16];
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++)
      clip[4 * i + j] = modl[4 * i] * proj[j] + modl[4 * i + 1] * proj[4 + j] + modl[4 * i + 2] * proj[8 + j] +
                        modl[4 * i + 3] * proj[12 + j];
  // Row order: right, left, bottom, top, far, near. Each plane is the fourth clip column
  // less or plus one of the other three.
  const struct {
    int column;
    float sign;
  } planes[6] = {{0, -1.0f}, {0, 1.0f}, {1, 1.0f}, {1, -1.0f}, {2, -1.0f}, {2, 1.0f}};
  for (int n = 0; n < 6; n++) {
    float* f = frustum[n];
    for (int k = 0; k < 4; k++) f[k] = clip[4 * k + 3] + planes[n].sign * clip[4 * k + planes[n].column];
    const float t = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    for (int k = 0; k < 4; k++) f[k] /= t;
  }
}

int is_cube_in_frustum(float x, float y, float z, float size) {
  int full = 0;
  for (int n = 0; n < 6; n++) {
    const float* f = frustum[n];
    int inside = 0;
    for (int corner = 0; corner < 8; corner++) {
      const float cx = corner & 1 ? x + size : x - size;
      const float cy = corner & 2 ? y + size : y - size;
      const float cz = corner & 4 ? z + size : z - size;
      if (f[0] * cx + f[1] * cy + f[2] * cz + f[3] > 0.0f) inside++;
    }
    if (inside == 0) return 0;
    if (inside == 8) full++;
  }
  return full == 6 ? 2 : 1;
}

}  // namespace vurkhold
