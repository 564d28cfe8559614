// arena: open space over a flat floor for gameplay tests.
#include "support/arena.h"

#include <cstring>

#include "terrain/terrain.h"

namespace vurkhold::test {

void make_arena() {
  for (int i = 0; i < VOXELS; i++) voxel[i].value = i / VOXEL_SIZE % VOXEL_SIZE <= 2 ? 1.0f : -1.0f;
  rocks = 0;
  for (int i = 0; i < GRIDCELLS; i++) gridcell[i].triangles = 0;
  reset_octtree_flags();
  build_surface();

  for (int i = 0; i < MAX_BULLETS; i++) bullet[i] = BULLET{};
  for (int i = 0; i < MAX_EXPLOSIONS; i++) explosion[i] = EXPLOSION{};
  for (int i = 0; i < MAX_PARTICLES; i++) particle[i] = PARTICLE{};
  for (int i = 0; i < MAX_BULLETHOLES; i++) bullethole[i] = BULLETHOLE{};
  for (int i = 0; i < MAX_LIGHTS; i++) light[i] = LIGHT{};
  std::memset(keys, 0, sizeof keys);
  next_bullet = next_explosion = next_particle = next_bullethole = 0;
  for (int& t : team_frags) t = 0;
  winner = -1;
  for (int i = 0; i < MAX_VURKS; i++) {
    VURK_& v = vurk[i];
    v = VURK_{};
    v.num = v.tag = static_cast<uint8_t>(i);
    v.team = static_cast<int8_t>(i);
    v.type = MLT_OFF;
    v.light = &light[i];
    v.animations[0] = {1.0f, 40.0f, 39.0f, 1.0f};
    v.animations[1] = {41.0f, 70.0f, 29.0f, 41.0f};
  }
}

BULLET_TYPE plain_bullet_type() {
  BULLET_TYPE t{};
  t.life = 10000;
  t.wall_hit = t.vurk_hit = BHA_DISAPPEAR;
  t.timeout_action = BTA_DISAPPEAR;
  t.trail = t.emit = t.cluster = -1;
  return t;
}

ArenaTest::ArenaTest() {
  make_arena();
  types[0] = types[1] = plain_bullet_type();
  bullet_type = types;
  bullet_types = 2;
}

ArenaTest::~ArenaTest() {
  bullet_type = nullptr;
  bullet_types = 0;
}

void expect_checks(const std::vector<Check>& checks, const std::string& where) {
  for (const Check& c : checks) EXPECT_NEAR(c.got, c.want, 1e-4) << where << c.what;
}

VURK_* place_vurk(int i, XYZ p) {
  VURK_& v = vurk[i];
  v.type = MLT_INACTIVE;
  v.alive = 1;
  v.life = 100.0f;
  v.lives = 3;
  v.p = v.pp = v.light->p = p;
  v.light->alive = 1;
  return &v;
}

}  // namespace vurkhold::test
