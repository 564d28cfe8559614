// effects: explosions and their lights, particles, bullet holes, random directions, heading and pitch.
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

// Lights 0..3 stay with the vurks: the first eight explosions take 4..11, the rest go dark.
// The forty-first takes the oldest slot, the light of which goes dark first so it can take it.
TEST_F(Effects, ExplosionsRotateAndLiveOneSecondWithTheirLightOnAHalfSine) {
  for (int i = 0; i < MAX_EXPLOSIONS; i++) add_explosion({static_cast<float>(i % 30) + 1, 10, 16}, 1.0f);
  EXPECT_TRUE(next_explosion == 0 && test::count_live_explosions() == MAX_EXPLOSIONS);
  for (int i = 0; i < MAX_EXPLOSIONS; i++) EXPECT_EQ(explosion[i].light, i < 8 ? &light[4 + i] : nullptr) << i;
  nurse_explosions(100);
  add_explosion({20, 20, 20}, 2.0f);
  const EXPLOSION& e = explosion[0];
  EXPECT_TRUE(next_explosion == 1 && e.p.x == 20.0f && e.time == 0.0f && e.frame == 0);
  ASSERT_EQ(e.light, &light[4]);
  EXPECT_TRUE(light[4].alive && light[4].range == 16.0f && light[4].p.x == 20.0f);  // 4 * size^2 at first
  EXPECT_TRUE(light[4].color[0] == 1.0f && light[4].color[1] == 1.0f && light[4].color[2] == 0.0f);
  // Then 5 * size^2 * sin(pi t); the older ones, 0.1 s ahead, run out on the way.
  const struct { unsigned ms; int alive, frame; float range; } steps[] = {
      {500, 1, 8, 20}, {250, 1, 12, 14.142f}, {250, 0, 16, 0}};
  for (const auto& s : steps) {
    nurse_explosions(s.ms);
    EXPECT_TRUE(e.alive == s.alive && light[4].alive == s.alive && e.frame == s.frame) << s.frame;
    EXPECT_TRUE(s.alive ? std::fabs(light[4].range - s.range) < 1e-3f : e.light == nullptr) << s.frame;
  }
  EXPECT_EQ(test::count_live_explosions(), 0);
  for (int i = 0; i < MAX_LIGHTS; i++) EXPECT_EQ(light[i].alive, 0) << i;
}

// Heading is drawn before pitch: a recorded match replays only with this order.
TEST_F(Effects, RandomDirectionDrawsHeadingThenPitch) {
  game_srand(5);
  const float a1 = rad(static_cast<float>(game_rand() % 360)), a2 = rad(static_cast<float>(game_rand() % 360));
  game_srand(5);
  const IJK d = give_random_direction(2.0f);
  EXPECT_FLOAT_EQ(d.i, -2.0f * std::sin(a1) * std::cos(a2));
  EXPECT_FLOAT_EQ(d.j, 2.0f * std::sin(a2));
  EXPECT_FLOAT_EQ(d.k, -2.0f * std::cos(a1) * std::cos(a2));
}

TEST_F(Effects, ParticleOverwritesTheOldestSlotWhole) {
  PARTICLE& old = particle[MAX_PARTICLES - 1];
  old = PARTICLE{{}, {1, 2, 3}, 3, 1.0f, 1, {1, 1, 1, 0.25f}, 10, 5, 45.0f, 0};
  next_particle = MAX_PARTICLES - 1;
  const XYZ p = {4, 5, 6};
  const float color[3] = {0.1f, 0.2f, 0.3f};
  add_particle(&p, nullptr, color, 1234);
  EXPECT_EQ(next_particle, 0);
  EXPECT_TRUE(old.p.z == 6.0f && give_vector_lenght(&old.m) == 0.0f && old.color[2] == 0.3f && old.color[3] == 1.0f);
  EXPECT_TRUE(old.rotation == 0.0f && old.type == 0 && old.size == 0.2f && old.max_life == 1234 && old.life == 1234);
}

// A bullet takes its heading and pitch from its velocity as a mark does from its normal.
TEST_F(Effects, BulletHoleAndBulletFaceAlongTheirDirection) {
  const struct { IJK normal; float heading, pitch; } cases[] = {
      {{0, 1, 0}, 90, 90},  // a floor or a bullet going straight up: heading 90
      {{0, 0, -1}, 0, 0},
      {{-2, 0, 0}, 90, 0},  // heading grows towards -x
      {{1, 0, 0}, -90, 0},
      {{0, 0, 1}, 180, 0},
      {{1, 1, 0}, -90, 45},
      {{0, 0, 0}, 90, 0},  // a bullet at rest
  };
  BULLET_TYPE t = test::plain_bullet_type();
  next_bullethole = MAX_BULLETHOLES - 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.normal.i << " " << c.normal.j << " " << c.normal.k);
    const int slot = next_bullethole;
    add_bullethole({7, 2.5f, 9}, c.normal);
    const BULLETHOLE& h = bullethole[slot];
    EXPECT_TRUE(h.alive && h.p.z == 9.0f && next_bullethole == (slot + 1) % MAX_BULLETHOLES);
    const BULLET* b = &bullet[next_bullet];
    add_bullet({16, 20, 16}, c.normal, &t, 0);
    for (float heading : {h.angle1, b->heading}) EXPECT_NEAR(heading, c.heading, 1e-3);
    for (float pitch : {h.angle2, b->pitch}) EXPECT_NEAR(pitch, c.pitch, 1e-3);
  }
}

}  // namespace
}  // namespace vurkhold
