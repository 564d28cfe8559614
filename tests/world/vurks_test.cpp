// vurks: death and respawn, jumping, gravity and sliding, jetpack, rope, firing and its
// timers, aim and digging.
#include <gtest/gtest.h>

#include <tuple>

#include "geometry/collision_world.h"
#include "support/arena.h"
#include "world/world.h"

namespace vurkhold {
namespace {

using test::STAND_Y;

float value_at(XYZ p) { return voxel[voxel_index(int(p.x), int(p.y), int(p.z))].value; }

class VurkTest : public test::ArenaTest {
 protected:
  // Clips of 2, a shot every 100 ms, 500 ms to reload, 3 straight pellets a shot.
  WEAPON_TYPE wt = {nullptr, nullptr, 2, 100, 500, &types[0], 3, 0, 0.01f, nullptr};
};

// Vurk 0 dies by its own bullet on its last life; vurk 1, switched off, by its team-mate
// vurk 0's; vurk 2 by enemy vurk 3's. Only vurk 2 comes back, once the delay is over, with
// a fresh heading, pitch, velocity, rope and every slot loaded, in open space clear of a rock
// that fills all but the corners.
TEST_F(VurkTest, DeathScoresByTeamBleedsAndOnlyALivingVurkWithLivesComesBack) {
  for (int i = 0; i < 3; i++) test::place_vurk(i, {8, 10, 8.0f + 4 * i})->life = -1.0f;
  vurk[0].lives = vurk[0].team = 1;
  vurk[1].tag = 0, vurk[1].type = MLT_OFF;
  VURK_* m = &vurk[2];
  for (WEAPON& w : m->weapons) w = {&wt, 0, 0, 400, 50};
  m->tag = 3, m->angle = 45, m->angle2 = -20, m->movement = {0.001f, 0.002f, 0.003f}, m->rope_state = NRS_ATTACHED;
  for (int i = 0; i < 3; i++) nurse_vurk(&vurk[i], 16);
  fire_weapon(m), dig(m), use_jetpack(m, 10);
  const PARTICLE& blood = particle[149];
  EXPECT_EQ(std::tuple(vurk[0].frags, vurk[3].frags, m->life, m->lives, m->respawn_delay, m->light->alive,
                       test::count_live_bullets(), m->dig_delay, m->movement.j, test::count_live_particles(),
                       blood.color[0] + blood.color[1], blood.life, blood.p.z),
            std::tuple(-1, 1, 0.0f, 2, RESPAWN_DELAY, 0, 0, 0, 0.002f, 150, 1.0f, 5000, 16.0f));
  for (int i = 0; i < 3; i++) nurse_vurk(&vurk[i], RESPAWN_DELAY - 1);
  EXPECT_EQ(m->alive, 0);
  rocks = 1, rock[0] = {{16, 16, 16}, nullptr, 1.0f, 16.0f};
  for (int i = 0; i < 3; i++) nurse_vurk(&vurk[i], 1);
  EXPECT_GT(give_distance(&m->p, &rock[0].p), 16.5f);
  for (XYZ q : {m->pp, m->light->p}) test::expect_near(q, m->p, 0.0f);
  for (float c : {m->p.x, m->p.y, m->p.z}) EXPECT_TRUE(c == int(c) && c >= 2 && c <= 29) << c;
  EXPECT_GT(m->p.y, 2.0f);  // not in the floor
  EXPECT_EQ(value_at(m->p), -2.0f);
  for (const WEAPON& w : m->weapons) EXPECT_EQ(std::tuple(w.ammo, w.loading, w.delay), std::tuple(2, 0, 0));
  EXPECT_EQ(std::tuple(vurk[0].alive, vurk[0].light->alive, vurk[1].alive, vurk[1].light->alive, m->alive,
                       m->light->alive, m->life, m->respawn_delay, m->angle, m->angle2, m->movement.j, m->rope_state),
            std::tuple(0, 0, 0, 0, 1, 1, 100.0f, 0, 0.0f, 0.0f, 0.0f, NRS_IN));
}

// One frame of 10 ms each: jump only from the ground, gravity only in the air, and every
// contact stops the vurk; into the corner it meets the floor, then one wall, then the other.
TEST_F(VurkTest, JumpGravityAndSlidingCollisions) {
  const struct { const char* what; XYZ p; IJK movement; int jump; IJK after; XYZ at; } rows[] = {
      {"jump", {16, STAND_Y, 16}, {0, 0, 0}, 1, {0, 0.005f, 0}, {16, STAND_Y + 0.05f, 16}},
      {"faster up", {16, STAND_Y, 16}, {0, 0.008f, 0}, 1, {0, 0.008f, 0}, {16, STAND_Y + 0.08f, 16}},
      {"jump in the air", {16, 10, 16}, {0, 0, 0}, 1, {0, -0.0001f, 0}, {16, 9.999f, 16}},
      {"sliding", {16, 3.2f, 16}, {0.05f, -0.05f, 0}, 0, {0, 0, 0}, {16.5f, 3.0f, 16}},
      {"into a corner", {31.2f, 3.2f, 31}, {0.05f, -0.05f, 0.08f}, 0, {0, 0, 0}, {31.5f, 3.0f, 31.5f}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    VURK_* m = test::place_vurk(0, r.p);
    m->movement = r.movement, m->jump = r.jump;
    nurse_vurk(m, 10);
    test::expect_near(m->movement, r.after, 1e-7f);
    test::expect_near(m->p, r.at, 2e-3f);
    test::expect_near(m->light->p, m->p, 0.0f);
  }
}

TEST_F(VurkTest, JetpackThrustsBelowTopSpeedAndPuffsEvery150ms) {
  const struct { float j; int counter; unsigned ft; float j_after; int counter_after, puffs; } rows[] = {
      {0, 100, 50, 0.00075f, 0, 1}, {0, 140, 20, 0.0003f, 10, 1}, {0, 0, 149, 0.002235f, 149, 0},
      {0.0029f, 0, 10, 0.00305f, 10, 0}, {0.003f, 140, 20, 0.003f, 140, 0}};
  for (const auto& r : rows) {
    test::make_arena();
    VURK_* m = test::place_vurk(0, {16, 10, 16});
    m->movement.j = r.j, m->jet_counter = r.counter;
    use_jetpack(m, r.ft);
    EXPECT_NEAR(m->movement.j, r.j_after, 1e-8f) << r.j << " " << r.counter;
    EXPECT_EQ(std::tuple(m->jet_counter, test::count_live_particles()), std::tuple(r.counter_after, r.puffs));
    const PARTICLE& puff = particle[0];
    EXPECT_TRUE(!r.puffs || (puff.p.y == 10 - 0.511f && puff.m.j == -0.01f && puff.color[0] == 0.5f));
  }
}

TEST_F(VurkTest, TheRopeFliesAttachesWhereItHitsAndPullsByDistanceThatFrame) {
  VURK_* m = test::place_vurk(0, {16, 10, 16});
  m->rope_state = NRS_FLYING, m->rope_p = {20, 10, 16}, m->rope_m = {0.0f, 0.025f, 0.0f};  // clear of the vurk
  nurse_vurk(m, 20);
  test::expect_near(m->rope_p, {20, 10.5f, 16}, 1e-5f);
  EXPECT_FLOAT_EQ(m->movement.j, -0.0002f);  // gravity alone: not attached yet
  m->rope_m = {0.2f, -1.0f, 0.1f};  // meets the floor at 2.5 this frame
  nurse_vurk(m, 10);
  ASSERT_EQ(m->rope_state, NRS_ATTACHED);
  test::expect_near(m->rope_p, {21.6f, 2.5f, 16.8f}, 1e-3f);
  const XYZ a = m->rope_p, p = m->p;  // pulled by 5e-5 a unit of rope in 10 ms
  test::expect_near(m->movement, {5e-5f * (a.x - p.x), -0.0003f + 5e-5f * (a.y - p.y), 5e-5f * (a.z - p.z)}, 1e-8f);
}

// Each step nurses the vurk, then pulls the trigger of slot 2. Slot 0, not selected, keeps
// its timers; the selected slot's delay and the dig delay stop at zero.
TEST_F(VurkTest, FiringRunsTheDelayAmmoAndReloadCycleOfTheSelectedSlotOnly) {
  VURK_* m = test::place_vurk(3, {16, STAND_Y, 16});
  for (WEAPON& w : m->weapons) w = {&wt, 0, 2, 0, 0};
  m->weapons[0] = {&wt, 0, 0, 500, 900};
  m->weapon = 2, m->dig_delay = 50, m->angle = 90;
  const struct { unsigned nurse; int bullets, ammo, delay, loading; } steps[] = {
      {0, 3, 1, 100, 0},   {0, 3, 1, 100, 0},  {99, 3, 1, 1, 0},
      {1, 6, 0, 100, 500}, {150, 6, 0, 0, 350}, {350, 9, 1, 100, 0},
  };
  for (const auto& s : steps) {
    if (s.nurse) nurse_vurk(m, s.nurse);
    fire_weapon(m);
    const WEAPON& w = m->weapons[2];
    EXPECT_EQ(std::tuple(test::count_live_bullets(), w.ammo, w.delay, w.loading),
              std::tuple(s.bullets, s.ammo, s.delay, s.loading)) << &s - steps;
  }
  EXPECT_EQ(std::tuple(m->weapons[0].loading, m->weapons[0].delay, m->dig_delay), std::tuple(500, 900, 0));
  test::expect_near(bullet[2].p, {16 - 0.49f, STAND_Y, 16}, 1e-5f);
  test::expect_near(bullet[2].m, {-0.01f, 0, 0}, 1e-6f);
  EXPECT_EQ(std::tuple(bullet[2].tag, bullet[2].type), std::tuple(3, &types[0]));
}

// Digging in rock carves holes of 1.2 at 0.75 and 1.5 along the aim, once a second.
TEST_F(VurkTest, AimRopePointAndDigging) {
  const struct { float heading, pitch; IJK aim; XYZ rope; } rows[] = {
      {0, 0, {0, 0, -1}, {10.25f, 20.45f, 30}}, {90, 0, {-1, 0, 0}, {10, 20.45f, 29.75f}},
      {0, 90, {0, 1, 0}, {10.25f, 20.45f, 30}}, {90, -90, {0, -1, 0}, {10, 20.45f, 29.75f}},
  };
  const float dug[] = {-0.45f, -0.95f, -0.7f, 0.3f};  // 0 to 3 along the aim
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.heading << " " << r.pitch);
    for (int i = 0; i < VOXELS; i++) voxel[i].value = 1.0f;
    VURK_* m = test::place_vurk(0, {10, 20, 30});
    m->angle = r.heading, m->angle2 = r.pitch, m->dig_delay = 0;
    dig(m);
    EXPECT_EQ(m->dig_delay, DIG_DELAY);
    for (int k = 0; k < 4; k++)
      EXPECT_NEAR(value_at({10 + k * r.aim.i, 20 + k * r.aim.j, 30 + k * r.aim.k}), dug[k], 1e-5f) << k;
    test::expect_near(give_vurk_weapon_direction(m, 2.0f), {2 * r.aim.i, 2 * r.aim.j, 2 * r.aim.k}, 1e-6f);
    test::expect_near(give_vurk_rope_point(m), r.rope, 1e-5f);
    for (int i = 0; i < 40; i++) {  // scattered by up to 30 degrees
      const IJK d = give_random_vurk_weapon_direction(m, 3.0f, 30);
      EXPECT_LE(deg(give_vector_angle(&d, &r.aim)), 30.01f);
    }
  }
}

}  // namespace
}  // namespace vurkhold
