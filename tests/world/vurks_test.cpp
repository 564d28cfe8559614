// vurks: death and frags, respawn, jumping, gravity and sliding, the jetpack, the rope, the
// weapon and dig timers, firing, and the aim and body points.
#include <gtest/gtest.h>

#include <tuple>

#include "geometry/collision_world.h"
#include "support/arena.h"
#include "support/test_support.h"
#include "world/world.h"

namespace vurkhold {
namespace {

constexpr float STAND_Y = 3.005f;  // just above the arena floor, whose surface is at 2.5

void clear_particles() {
  for (int i = 0; i < MAX_PARTICLES; i++) particle[i] = PARTICLE{};
  next_particle = 0;
}

class VurkTest : public ::testing::Test {
 protected:
  void SetUp() override { test::make_arena(); }
  void arm(VURK_* m) {
    for (WEAPON& w : m->weapons) w = {&wt, 0, wt.ammo_per_clip, 0, 0};
  }
  test::WorldPools pools;
  BULLET_TYPE bt = test::plain_bullet_type();
  // Clips of 2, a shot every 100 ms, 500 ms to reload, 3 straight pellets a shot.
  WEAPON_TYPE wt = {nullptr, nullptr, 2, 100, 500, &bt, 3, 0, 0.01f, nullptr};
};

TEST_F(VurkTest, DeathScoresByTeamSpillsBloodAndEndsTheFrame) {
  const struct { int tag, killer_team, victim_frags, killer_frags; } rows[] = {
      {0, 1, -1, 0}, {1, 0, 0, 0}, {1, 1, 0, 1}};  // its own bullet, a team-mate's, an enemy's
  for (const auto& r : rows) {
    clear_particles();
    VURK_* m = test::place_vurk(0, {16, 10, 16});
    VURK_* killer = test::place_vurk(1, {8, 10, 8});
    m->frags = killer->frags = 0;
    killer->team = static_cast<int8_t>(r.killer_team);
    m->tag = static_cast<uint8_t>(r.tag);
    m->life = -5.0f;
    nurse_vurk(m, 10);
    EXPECT_EQ(std::tuple(m->frags, killer->frags), std::tuple(r.victim_frags, r.killer_frags))
        << r.tag << " " << r.killer_team;
    EXPECT_EQ(std::tuple(m->life, m->lives, m->alive, m->respawn_delay, m->light->alive, m->p.y),
              std::tuple(0.0f, 2, 0, RESPAWN_DELAY, 0, 10.0f));  // no fall after death
    ASSERT_EQ(test::count_live_particles(), 50);
    for (int i = 0; i < 50; i++)
      EXPECT_EQ(std::tuple(particle[i].color[0], particle[i].color[1], particle[i].life), std::tuple(1.0f, 0.0f, 5000));
  }
}

// The open arena takes the generator's first point above the floor; a world of rock its
// hundredth. Vurk 0 loses its last life and vurk 1 is out of the match: both stay dead.
TEST_F(VurkTest, RespawnAfterTheDelayAtTheGeneratorsPointWithEverythingReset) {
  for (bool rock : {false, true}) {
    if (rock)
      for (int i = 0; i < VOXELS; i++) voxel[i].value = 1.0f;
    for (int i = 0; i < 2; i++) test::place_vurk(i, {8, 10, 8.0f + 4 * i})->life = 0.0f;
    vurk[0].lives = 1;
    vurk[1].type = MLT_OFF;
    VURK_* m = test::place_vurk(2, {16, 10, 16});
    arm(m);
    m->weapons[1] = {&wt, 0, 0, 400, 50};
    m->angle2 = -20;
    m->movement = {0.001f, 0.002f, 0.003f};
    m->rope_state = NRS_ATTACHED;
    m->life = 0.0f;
    for (unsigned ft : {16, RESPAWN_DELAY - 1, 2 * RESPAWN_DELAY})
      for (int i = 0; i < 2; i++) nurse_vurk(&vurk[i], ft);
    EXPECT_EQ(std::tuple(vurk[0].alive, vurk[0].light->alive, vurk[1].alive, vurk[1].light->alive),
              std::tuple(0, 0, 0, 0));
    nurse_vurk(m, 16);
    nurse_vurk(m, RESPAWN_DELAY - 1);
    ASSERT_EQ(m->alive, 0) << rock;
    game_srand(77);
    int x = 0, y = 0, z = 0;
    for (int t = 0; t < 100 && (rock || y <= 2); t++) {
      x = 2 + game_rand() % 28;
      y = 2 + game_rand() % 28;
      z = 2 + game_rand() % 28;
    }
    game_srand(77);
    nurse_vurk(m, 1);
    ASSERT_EQ(m->alive, 1) << rock;
    const XYZ want = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    for (XYZ q : {m->p, m->pp, m->light->p}) test::expect_near(q, want, 0.0f);
    EXPECT_EQ(voxel[voxel_index(x, y, z)].value, -2.0f);
    EXPECT_EQ(std::tuple(m->light->alive, m->life, m->respawn_delay, m->angle2, m->movement.j, m->rope_state),
              std::tuple(1, 100.0f, 0, 0.0f, 0.0f, NRS_IN));
    for (const WEAPON& w : m->weapons) EXPECT_EQ(std::tuple(w.ammo, w.loading, w.delay), std::tuple(2, 0, 0));
  }
}

// One frame of 10 ms each: jump only from the ground, gravity only in the air, and every
// contact stops the vurk; into the corner it meets the floor, then one wall, then the other.
TEST_F(VurkTest, JumpGravityAndSlidingCollisions) {
  const struct { const char* what; XYZ p; IJK movement; int jump; IJK after; XYZ at; } rows[] = {
      {"jump", {16, STAND_Y, 16}, {0, 0, 0}, 1, {0, 0.005f, 0}, {16, STAND_Y + 0.05f, 16}},
      {"faster up", {16, STAND_Y, 16}, {0, 0.008f, 0}, 1, {0, 0.008f, 0}, {16, STAND_Y + 0.08f, 16}},
      {"standing", {16, STAND_Y, 16}, {0, 0, 0}, 0, {0, 0, 0}, {16, STAND_Y, 16}},
      {"jump in the air", {16, 10, 16}, {0, 0, 0}, 1, {0, -0.0001f, 0}, {16, 9.999f, 16}},
      {"landing", {16, 3.2f, 16}, {0, -0.05f, 0}, 0, {0, 0, 0}, {16, 3.0f, 16}},
      {"sliding", {16, 3.2f, 16}, {0.05f, -0.05f, 0}, 0, {0, 0, 0}, {16.5f, 3.0f, 16}},
      {"into a corner", {31.2f, 3.2f, 31}, {0.05f, -0.05f, 0.08f}, 0, {0, 0, 0}, {31.5f, 3.0f, 31.5f}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    VURK_* m = test::place_vurk(0, r.p);
    m->movement = r.movement;
    m->jump = r.jump;
    nurse_vurk(m, 10);
    test::expect_near(m->movement, r.after, 1e-7f);
    test::expect_near(m->p, r.at, 2e-3f);
    test::expect_near(m->pp, r.p, 0.0f);
    test::expect_near(m->light->p, m->p, 0.0f);
  }
}

TEST_F(VurkTest, JetpackThrustsBelowTopSpeedAndPuffsEvery150ms) {
  const struct { float j; int counter, alive; unsigned ft; float j_after; int counter_after, puffs; } rows[] = {
      {0, 0, 1, 100, 0.0015f, 100, 0},      {0, 100, 1, 50, 0.00075f, 0, 1},     {0, 140, 1, 20, 0.0003f, 10, 1},
      {0.0029f, 0, 1, 10, 0.00305f, 10, 0}, {0.003f, 140, 1, 20, 0.003f, 140, 0}, {0, 140, 0, 20, 0, 140, 0},
  };
  for (const auto& r : rows) {
    clear_particles();
    VURK_* m = test::place_vurk(0, {16, 10, 16});
    m->movement.j = r.j;
    m->jet_counter = r.counter;
    m->alive = r.alive;
    use_jetpack(m, r.ft);
    EXPECT_NEAR(m->movement.j, r.j_after, 1e-8f) << r.j << " " << r.counter;
    EXPECT_EQ(std::tuple(m->jet_counter, test::count_live_particles()), std::tuple(r.counter_after, r.puffs));
    if (r.puffs) test::expect_near(particle[0].p, {16, 10 - 0.511f, 16}, 0.0f);
  }
}

TEST_F(VurkTest, TheRopeFliesAttachesWhereItHitsAndPullsByDistanceThatFrame) {
  VURK_* m = test::place_vurk(0, {16, 10, 16});
  m->rope_state = NRS_FLYING;
  m->rope_p = {20, 10, 16};  // clear of the vurk, which the rope would meet too
  m->rope_m = {0.0f, 0.025f, 0.0f};
  nurse_vurk(m, 20);
  EXPECT_EQ(m->rope_state, NRS_FLYING);
  test::expect_near(m->rope_p, {20, 10.5f, 16}, 1e-5f);
  EXPECT_FLOAT_EQ(m->movement.j, -0.0002f);  // gravity alone

  m->rope_m = {0.2f, -1.0f, 0.1f};  // meets the floor at 2.5 this frame
  nurse_vurk(m, 10);
  ASSERT_EQ(m->rope_state, NRS_ATTACHED);
  test::expect_near(m->rope_p, {21.6f, 2.5f, 16.8f}, 1e-3f);
  const float pull = 0.000005f * 10;
  const XYZ& a = m->rope_p;
  test::expect_near(m->movement, {pull * (a.x - m->p.x), -0.0003f + pull * (a.y - m->p.y), pull * (a.z - m->p.z)},
                    1e-8f);
}

TEST_F(VurkTest, OnlyTheSelectedWeaponCoolsAndReloadsAndTheTimersStopAtZero) {
  VURK_* m = test::place_vurk(0, {16, STAND_Y, 16});
  arm(m);
  m->weapons[0] = {&wt, 0, 0, 500, 900};
  m->weapons[2] = {&wt, 0, 1, 0, 30};
  m->weapon = 1;
  m->dig_delay = 1003;
  nurse_vurk(m, 1000);
  EXPECT_EQ(std::tuple(m->weapons[0].loading, m->weapons[0].delay, m->weapons[2].delay, m->dig_delay),
            std::tuple(500, 900, 30, 3));
  m->weapon = 2;
  nurse_vurk(m, 50);
  EXPECT_EQ(std::tuple(m->weapons[2].delay, m->dig_delay), std::tuple(0, 0));
  m->weapon = 0;
  nurse_vurk(m, 400);
  EXPECT_EQ(std::tuple(m->weapons[0].loading, m->weapons[0].delay, m->weapons[0].ammo), std::tuple(100, 500, 0));
  nurse_vurk(m, 100);
  EXPECT_EQ(std::tuple(m->weapons[0].loading, m->weapons[0].delay, m->weapons[0].ammo), std::tuple(0, 0, 2));
}

TEST_F(VurkTest, DigCarvesTwoHolesAheadOncePerDelay) {
  for (int i = 0; i < VOXELS; i++) voxel[i].value = 1.0f;
  VURK_* m = test::place_vurk(0, {16, 10, 16});
  auto at = [](int x, int z) { return voxel[voxel_index(x, 10, z)].value; };
  dig(m);  // holes of 1.2 at z = 15.25 and 14.5
  EXPECT_EQ(m->dig_delay, DIG_DELAY);
  const struct { int z; float value; } rows[] = {{17, 0.55f}, {16, -0.45f}, {15, -0.95f},
                                                 {14, -0.7f}, {13, 0.3f},   {12, 1.0f}};
  for (const auto& r : rows) EXPECT_NEAR(at(16, r.z), r.value, 1e-5f) << r.z;
  m->angle = 180;
  dig(m);
  EXPECT_EQ(at(16, 18), 1.0f);  // within the delay: nothing
  m->dig_delay = 0;
  dig(m);
  EXPECT_NEAR(at(16, 18), -0.7f, 1e-4f);
  m->angle = 90;
  m->dig_delay = 0;
  m->alive = 0;
  dig(m);
  EXPECT_GT(at(14, 16), 0.9f);
}

TEST_F(VurkTest, FiringRunsTheDelayAmmoAndReloadCycle) {
  VURK_* m = test::place_vurk(3, {16, STAND_Y, 16});
  arm(m);
  m->angle = 90;
  // Each step nurses the vurk, then pulls the trigger.
  const struct { unsigned nurse; int bullets, ammo, delay, loading; } steps[] = {
      {0, 3, 1, 100, 0},   {0, 3, 1, 100, 0},  {99, 3, 1, 1, 0},
      {1, 6, 0, 100, 500}, {100, 6, 0, 0, 400}, {400, 9, 1, 100, 0},
  };
  for (const auto& s : steps) {
    if (s.nurse) nurse_vurk(m, s.nurse);
    fire_weapon(m);
    const WEAPON& w = m->weapons[0];
    EXPECT_EQ(std::tuple(test::count_live_bullets(), w.ammo, w.delay, w.loading),
              std::tuple(s.bullets, s.ammo, s.delay, s.loading)) << &s - steps;
  }
  test::expect_near(bullet[2].p, {16 - 0.49f, STAND_Y, 16}, 1e-5f);
  test::expect_near(bullet[2].m, {-0.01f, 0, 0}, 1e-6f);
  EXPECT_EQ(std::tuple(bullet[2].tag, bullet[2].type), std::tuple(3, &bt));
  m->weapons[0] = {&wt, 0, 2, 0, 0};
  m->alive = 0;
  fire_weapon(m);  // dead
  m->alive = 1;
  m->weapons[0].type = nullptr;
  fire_weapon(m);  // a slot without a type
  EXPECT_EQ(std::tuple(test::count_live_bullets(), m->weapons[0].ammo, m->weapons[0].delay), std::tuple(9, 2, 0));

  // More pellets than the pool holds: the shot stops at the pool's size, drawing from the
  // generator exactly as a shot of MAX_BULLETS does.
  uint32_t state[2];
  for (int i = 0; i < 2; i++) {
    for (int b = 0; b < MAX_BULLETS; b++) bullet[b] = BULLET{};
    wt.bullets_per_shot = MAX_BULLETS + 100 * i;
    m->weapons[0] = {&wt, 0, 2, 0, 0};
    game_srand(5);
    fire_weapon(m);
    state[i] = game_rand_state();
  }
  EXPECT_EQ(state[0], state[1]);
}

TEST_F(VurkTest, AimAndBodyPoints) {
  const struct { float heading, pitch; IJK aim; XYZ muzzle, rope; } rows[] = {
      {0, 0, {0, 0, -1}, {10, 20, 29.51f}, {10.25f, 20.45f, 30}},
      {90, 0, {-1, 0, 0}, {9.51f, 20, 30}, {10, 20.45f, 29.75f}},
      {0, 90, {0, 1, 0}, {10, 20.49f, 30}, {10.25f, 20.45f, 30}},
      {90, -90, {0, -1, 0}, {10, 19.51f, 30}, {10, 20.45f, 29.75f}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.heading << " " << r.pitch);
    VURK_* m = test::place_vurk(0, {10, 20, 30});
    m->angle = r.heading;
    m->angle2 = r.pitch;
    const IJK aim = give_vurk_weapon_direction(m, 1.0f);
    test::expect_near(give_vurk_weapon_direction(m, 2.0f), {2 * r.aim.i, 2 * r.aim.j, 2 * r.aim.k}, 1e-6f);
    test::expect_near(give_vurk_weapon_point(m), r.muzzle, 1e-5f);
    test::expect_near(give_vurk_rope_point(m), r.rope, 1e-5f);
    test::expect_near(give_vurk_jp(m), {10, 20 - 0.511f, 30}, 0.0f);
    for (int i = 0; i < 40; i++) {  // scattered by up to 30 degrees, always of the asked length
      const IJK d = give_random_vurk_weapon_direction(m, 3.0f, 30);
      EXPECT_NEAR(give_vector_lenght(&d), 3.0f, 1e-5f);
      EXPECT_LE(deg(give_vector_angle(&d, &aim)), 30.01f);
    }
  }
}

}  // namespace
}  // namespace vurkhold
