// arena: a small, fully known world for gameplay tests: open space over a flat floor, the
// pools cleared, and vurks placed by hand.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/records.h"
#include "support/test_support.h"

namespace vurkhold::test {

// Needs WorldPools. Every voxel is empty (-1) but the floor, solid (+1) up to y = 2, so its
// surface lies at 2.5. No rocks; every pool, key, rotating index and team frag cleared, no
// winner; all four vurks off (dead, MLT_OFF, no controller, num and team i, light i, weapons
// without a type, the animation ranges start-up gives them).
void make_arena();

// Flies straight and for ever (no gravity, drag, trail, emission, clusters or light),
// vanishes on whatever it meets and does no damage.
BULLET_TYPE plain_bullet_type();

// A vurk's height standing on the floor.
constexpr float STAND_Y = 3.005f;

// Vurk i alive and standing still at p: MLT_INACTIVE, life 100, 3 lives, its light on.
VURK_* place_vurk(int i, XYZ p);

// The arena, with a loaded table of two plain bullet types for emission and clusters to index.
class ArenaTest : public ::testing::Test {
 protected:
  ArenaTest();
  ~ArenaTest() override;
  WorldPools pools;
  BULLET_TYPE types[2];
};

// One named value against the one it should be, for tables that check fields of mixed types.
struct Check {
  template <typename G, typename W>
  Check(const char* w, G g, W x) : what(w), got(static_cast<double>(g)), want(static_cast<double>(x)) {}
  const char* what;
  double got, want;
};
void expect_checks(const std::vector<Check>& checks, const std::string& where = "");

template <typename T>
int count_alive(const T* pool, int n) {
  int live = 0;
  for (int i = 0; i < n; i++) live += pool[i].alive != 0;
  return live;
}
inline int count_live_bullets() { return count_alive(bullet, MAX_BULLETS); }
inline int count_live_explosions() { return count_alive(explosion, MAX_EXPLOSIONS); }
inline int count_live_particles() { return count_alive(particle, MAX_PARTICLES); }

}  // namespace vurkhold::test
