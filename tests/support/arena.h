// arena: a small, fully known world for gameplay tests: open space over a flat floor, the
// pools cleared, and vurks placed by hand.
#pragma once

#include "records/records.h"

namespace vurkhold::test {

// Needs WorldPools. Every voxel is empty (-1) except the floor, solid (+1) up to and
// including y = floor_y, so the floor's surface lies half way between floor_y and the
// next sample. No rocks. Clears bullets, explosions, particles, bullet holes, lights, keys,
// the rotating indices, team frags and the winner, and turns all four vurks off (dead,
// MLT_OFF, no controller, num i, team i, light i, weapons without a type).
void make_arena(int floor_y = 2);

// A bullet type that flies straight and forever (no gravity, drag, trail, emission,
// clusters or light), vanishes on whatever it meets and does no damage.
BULLET_TYPE plain_bullet_type();

// Vurk i alive and standing still at p: MLT_INACTIVE, life 100, 3 lives, its light on,
// pp = p, heading and pitch 0.
VURK_* place_vurk(int i, XYZ p);

// Live bullets, explosions and particles in the pools.
int count_live_bullets();
int count_live_explosions();
int count_live_particles();

}  // namespace vurkhold::test
