// effects: the light search, the rotating explosion, particle and bullet-hole pools, an
// explosion's second of life with its swelling light, random directions, and the heading
// and pitch of marks and bullets.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/geometry.h"
#include "support/arena.h"
#include "support/test_support.h"
#include "world/world.h"

namespace vurkhold {
namespace {

class Effects : public ::testing::Test {
 protected:
  Effects() { test::make_arena(); }
  test::WorldPools pools;
};

int live_lights() {
  int n = 0;
  for (int i = 0; i < MAX_LIGHTS; i++) n += light[i].alive;
  return n;
}

TEST_F(Effects, LightsFourToElevenAreHandedOutAndTheNinthIsRefused) {
  for (int i = FIRST_FREE_LIGHT; i < MAX_LIGHTS; i++) {
    ASSERT_EQ(get_free_light(), &light[i]);  // 0..3 stay with the vurks though dark
    light[i].alive = 1;
  }
  EXPECT_EQ(get_free_light(), nullptr);
  light[6].alive = 0;
  EXPECT_EQ(get_free_light(), &light[6]);
  light[6].alive = 1;
  // With every light taken an explosion still runs, without one.
  add_explosion({16, 10, 16}, 1.0f);
  EXPECT_TRUE(explosion[0].alive && explosion[0].light == nullptr && next_explosion == 1);
}

TEST_F(Effects, FortyFirstExplosionTakesTheOldestSlotAndFreesItsLight) {
  for (int i = 0; i < MAX_EXPLOSIONS; i++) add_explosion({static_cast<float>(i % 30) + 1, 10, 16}, 1.0f);
  EXPECT_EQ(next_explosion, 0);
  EXPECT_EQ(test::count_live_explosions(), MAX_EXPLOSIONS);
  EXPECT_EQ(live_lights(), 8);
  EXPECT_EQ(explosion[0].light, &light[4]);

  nurse_explosions(100);
  add_explosion({20, 20, 20}, 2.0f);
  EXPECT_EQ(next_explosion, 1);
  EXPECT_TRUE(explosion[0].p.x == 20.0f && explosion[0].time == 0.0f && explosion[0].frame == 0);
  // The overwritten explosion's light went dark first, so the new one could take it.
  ASSERT_EQ(explosion[0].light, &light[4]);
  EXPECT_TRUE(light[4].range == 16.0f && light[4].p.x == 20.0f);
  // Once every explosion has run out nothing is left lit (a light orphaned by the overwrite
  // would stay on for good).
  nurse_explosions(1000);
  EXPECT_EQ(test::count_live_explosions(), 0);
  EXPECT_EQ(live_lights(), 0);
}

TEST_F(Effects, ExplosionLivesOneSecondWithItsLightOnAHalfSine) {
  add_explosion({16, 10, 16}, 2.0f);
  ASSERT_EQ(explosion[0].light, &light[4]);
  EXPECT_EQ(light[4].range, 16.0f);  // 4 * size^2 before the first update
  EXPECT_TRUE(light[4].color[0] == 1.0f && light[4].color[1] == 1.0f && light[4].color[2] == 0.0f);
  int updates = 0, last_frame = 0;
  while (explosion[0].alive && updates < 100) {
    nurse_explosions(16);
    updates++;
    const EXPLOSION& e = explosion[0];
    EXPECT_EQ(e.frame, static_cast<int>(16.0f * e.time)) << updates;
    EXPECT_GE(e.frame, last_frame);
    last_frame = e.frame;
    if (!e.alive) break;
    EXPECT_LE(e.frame, 15);
    EXPECT_NEAR(light[4].range, 20.0f * std::sin(3.141592f * e.time), 1e-4) << updates;
  }
  EXPECT_EQ(updates, 63);  // 62 frames of 16 ms make 0.992 s, the 63rd 1.008 s
  EXPECT_EQ(explosion[0].frame, 16);
  EXPECT_EQ(explosion[0].light, nullptr);
  EXPECT_EQ(light[4].alive, 0);

  const struct {
    unsigned ms;
    int alive, frame;
  } long_frames[] = {{999, 1, 15}, {1000, 0, 16}, {1500, 0, 24}};
  for (const auto& c : long_frames) {
    test::make_arena();
    add_explosion({16, 10, 16}, 1.0f);
    nurse_explosions(c.ms);
    EXPECT_TRUE(explosion[0].alive == c.alive && light[4].alive == c.alive) << c.ms;
    EXPECT_EQ(explosion[0].frame, c.frame) << c.ms;
  }
}

TEST_F(Effects, RandomDirectionKeepsItsLength) {
  game_srand(11);
  for (float len : {0.0f, 0.004f, 0.005f, 1.0f, 7.5f}) {
    for (int n = 0; n < 20; n++) {
      const IJK d = give_random_direction(len);
      EXPECT_NEAR(give_vector_lenght(&d), len, len * 1e-5f) << len;
    }
  }
  // Heading is drawn before pitch: a recorded match replays only with this order.
  game_srand(5);
  const float a1 = rad(static_cast<float>(game_rand() % 360));
  const float a2 = rad(static_cast<float>(game_rand() % 360));
  game_srand(5);
  const IJK d = give_random_direction(2.0f);
  EXPECT_FLOAT_EQ(d.i, -2.0f * std::sin(a1) * std::cos(a2));
  EXPECT_FLOAT_EQ(d.j, 2.0f * std::sin(a2));
  EXPECT_FLOAT_EQ(d.k, -2.0f * std::cos(a1) * std::cos(a2));
}

TEST_F(Effects, ParticlesOverwriteTheOldestSlot) {
  PARTICLE& old = particle[MAX_PARTICLES - 1];
  old = PARTICLE{{}, {1, 2, 3}, 3, 1.0f, 1, {1, 1, 1, 0.25f}, 10, 5, 45.0f, 0};
  next_particle = MAX_PARTICLES - 1;
  const XYZ p = {4, 5, 6};
  const float color[3] = {0.1f, 0.2f, 0.3f};
  add_particle(&p, nullptr, color, 1234);
  EXPECT_EQ(next_particle, 0);
  EXPECT_TRUE(old.p.z == 6.0f && old.m.i == 0.0f && old.m.j == 0.0f && old.m.k == 0.0f);
  EXPECT_TRUE(old.color[2] == 0.3f && old.color[3] == 1.0f);
  EXPECT_TRUE(old.rotation == 0.0f && old.type == 0 && old.size == 0.2f);
  EXPECT_TRUE(old.max_life == 1234 && old.life == 1234);
  const IJK m = {0, -0.01f, 0};
  add_particle(&p, &m, color, 1000);
  EXPECT_EQ(particle[0].m.j, -0.01f);
}

// A bullet takes its heading and pitch from its velocity by the same rule.
TEST_F(Effects, BulletHoleAndBulletFaceAlongTheirDirection) {
  const struct {
    IJK normal;
    float heading, pitch;
  } cases[] = {
      {{0, 1, 0}, 90, 90},  // a floor or a bullet going straight up: heading 90
      {{0, -3, 0}, 90, -90},
      {{0, 1e-30f, 0}, 90, 90},
      {{0, 0, -1}, 0, 0},
      {{-2, 0, 0}, 90, 0},  // heading grows towards -x
      {{1, 0, 0}, -90, 0},
      {{0, 0, 1}, 180, 0},
      {{1, 1, 0}, -90, 45},
      {{0, 0, 0}, 90, 0},  // a bullet at rest
  };
  BULLET_TYPE t = test::plain_bullet_type();
  next_bullethole = MAX_BULLETHOLES - 1;
  int slot = next_bullethole;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.normal.i << " " << c.normal.j << " " << c.normal.k);
    add_bullethole({7, 2.5f, 9}, c.normal);
    const BULLETHOLE& h = bullethole[slot];
    EXPECT_TRUE(h.alive && h.p.z == 9.0f);
    EXPECT_NEAR(h.angle1, c.heading, 1e-3);
    EXPECT_NEAR(h.angle2, c.pitch, 1e-3);
    slot = (slot + 1) % MAX_BULLETHOLES;
    EXPECT_EQ(next_bullethole, slot);
    const BULLET* b = &bullet[next_bullet];
    add_bullet({16, 20, 16}, c.normal, &t, 0);
    EXPECT_NEAR(b->heading, c.heading, 1e-3);
    EXPECT_NEAR(b->pitch, c.pitch, 1e-3);
  }
}

}  // namespace
}  // namespace vurkhold
