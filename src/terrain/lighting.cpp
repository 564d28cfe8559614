// terrain lighting: the ambient level plus every live light near a point, as the terrain's
// corners and the scene's objects are coloured.
#include "geometry/geometry.h"
#include "terrain/terrain.h"

namespace vurkhold {

// A light's range is a squared distance: brightness falls linearly in the squared distance
// from full at the light to nothing at the edge. The sum is left unlimited; GL clamps it.
void give_light(float* l, const XYZ* p) {
  l[0] = l[1] = l[2] = AMBIENT;
  for (int i = 0; i < MAX_LIGHTS; i++) {
    const LIGHT& source = light[i];
    if (!source.alive) continue;
    const float d2 = give_distance_pow2(p, &source.p);
    if (!(source.range > d2 && source.range > 0.0f)) continue;
    const float f = 1.0f - d2 / source.range;
    for (int c = 0; c < 3; c++) l[c] += source.color[c] * f;
  }
}

}  // namespace vurkhold
