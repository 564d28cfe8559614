// bullets: flight, hits, the world's edge, time-outs, blasts, clusters, emission, lights, free slots.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "geometry/geometry.h"
#include "support/arena.h"
#include "support/test_support.h"
#include "terrain/terrain.h"
#include "world/world.h"

namespace vurkhold {
namespace {

float gap(IJK a, IJK b) {
  IJK d = {a.i - b.i, a.j - b.j, a.k - b.k};
  return give_vector_lenght(&d);
}

bool has_speed(IJK m, float speed) { return std::fabs(give_vector_lenght(&m) - speed) < 1e-7f; }

// A loaded table of two plain types, for emission and clusters to index.
class Bullets : public ::testing::Test {
 protected:
  Bullets() {
    test::make_arena();
    types[0] = types[1] = test::plain_bullet_type();
    bullet_type = types;
    bullet_types = 2;
  }
  ~Bullets() override {
    bullet_type = nullptr;
    bullet_types = 0;
  }
  // In a fresh pool the bullet lands in the slot next_bullet points at.
  static BULLET* shoot(XYZ p, IJK m, BULLET_TYPE* bt, uint8_t tag = 0) {
    BULLET* b = &bullet[next_bullet];
    add_bullet(p, m, bt, tag);
    return b;
  }
  test::WorldPools pools;
  BULLET_TYPE types[2];
};

TEST_F(Bullets, GravityAndDragChangeTheVelocityBeforeTheMove) {
  const struct { float gravity, drag; IJK m, expect; } cases[] = {  // expect: after one 10 ms frame
      {2, 0, {0.01f, 0, 0}, {0.01f, -0.0002f, 0}},
      {0, 3, {0, 0.006f, -0.008f}, {0, 0.00582f, -0.00776f}},  // slowed along its flight
      {0, 200, {0.01f, 0, 0}, {0, 0, 0}},                      // more drag than speed stops it
      {10, 50, {0, 0, 0}, {0, 0, 0}},  // gravity first, then drag stops what it gave
  };
  for (const auto& c : cases) {
    types[0].gravity = c.gravity;
    types[0].air_resistance = c.drag;
    BULLET* b = shoot({10, 20, 10}, c.m, &types[0]);
    nurse_bullet(b, 10);
    EXPECT_TRUE(gap(b->m, c.expect) < 2e-8f && std::fabs(b->p.y - 20.0f - 10.0f * c.expect.j) < 1e-5f)
        << c.gravity << " " << c.drag;
  }
}

// Terrain: a bullet falls onto the floor at (10.4, 2.5, 10.2). Vurk: it meets vurk 0's
// sphere at (15.5, 10, 16). Bullet tag 1, damage 7.5, bounce factor 0.5.
TEST_F(Bullets, HitsOnTerrainAndOnVurks) {
  const struct { bool vurk; BHA action; int alive, marks; float life, y; IJK m; } cases[] = {
      {false, BHA_BOUNCE, 1, 0, 100, 2.5001f, {0.005f, 0.025f, 0}},  // pushed off, slowed
      {false, BHA_DISAPPEAR, 0, 0, 100, 2.5f, {}},
      {false, BHA_DAMAGE, 0, 0, 100, 2.5f, {}},
      {false, BHA_EXPLODE, 0, 1, 100, 2.5f, {}},
      {true, BHA_EXPLODE, 0, 0, 100, 10, {}},
      {true, BHA_BOUNCE, 1, 0, 100, 10, {-0.1f, 0, 0}},  // a vurk gives the full speed back
      {true, BHA_DAMAGE, 0, 0, 92.5f, 10, {}},           // and bleeds
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.vurk << " " << c.action);
    test::make_arena();
    VURK_* v = test::place_vurk(0, {16, 10, 16});
    BULLET_TYPE t = test::plain_bullet_type();
    (c.vurk ? t.vurk_hit : t.wall_hit) = c.action;
    t.bounce = 0.5f;
    t.hole_size = 0.5f;
    t.damage = 7.5f;
    BULLET* b = c.vurk ? shoot({14, 10, 16}, {0.1f, 0, 0}, &t, 1) : shoot({10.3f, 3, 10.2f}, {0.01f, -0.05f, 0}, &t, 1);
    nurse_bullet(b, 16);
    EXPECT_TRUE(b->alive == c.alive && v->life == c.life && v->tag == (c.vurk ? 1 : 0));
    EXPECT_NEAR(b->p.y, c.y, 2e-6);
    EXPECT_TRUE(test::count_live_particles() == (c.life < 100) && bullethole[0].alive == c.marks);
    EXPECT_TRUE(!c.alive || gap(b->m, c.m) < 1e-7f);
  }
  const PARTICLE& q = particle[0];  // the last row's blood
  EXPECT_TRUE(q.p.x == 16 && q.color[0] == 1 && q.color[1] == 0 && q.max_life == 5000 && has_speed(q.m, 0.005f));
}

// A bullet of vurk 3 falls onto the floor (surface y = 2.5) in one 16 ms frame and explodes there, or
// times out first. The shooter stands 1.36 from the hit, vurk 1 at 1.38, dead vurk 2 by it.
TEST_F(Bullets, BlastMarkClustersOrTimeOut) {
  const struct { float hole; uint16_t life; BTA timeout; int cluster, clusters, explosions, marks, scattered;
                 float y, shooter_life, far_life; } cases[] = {
      {0, 1000, BTA_DISAPPEAR, 1, 4, 0, 0, 4, 2.5f, 100, 100},      // no hole, no mark
      {0.86f, 1000, BTA_DISAPPEAR, 0, 2, 0, 1, 2, 2.5f, 100, 100},  // too small: a mark only
      {0.87f, 1000, BTA_DISAPPEAR, 1, 0, 1, 0, 0, 2.5f, 90, 100},   // hurts within 1.37
      {1.5f, 16, BTA_DISAPPEAR, 1, 4, 0, 0, 0, 3.0f, 100, 100},     // the time runs out before the hit
      {1.5f, 16, BTA_EXPLODE, -1, 4, 1, 0, 0, 3.0f, 90, 90},        // no such cluster type
      {1.5f, 17, BTA_DISAPPEAR, 2, 4, 1, 0, 0, 2.5f, 90, 90},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.hole << " " << c.life << " " << c.timeout);
    test::make_arena();
    VURK_* shooter = test::place_vurk(3, {17.66f, 2.5f, 16.2f});
    VURK_* far = test::place_vurk(1, {14.92f, 2.5f, 16.2f});
    test::place_vurk(2, {16.3f, 2.5f, 16.5f})->alive = 0;
    const float ground = voxel[voxel_index(16, 2, 16)].value;
    BULLET_TYPE t = test::plain_bullet_type();
    t.wall_hit = BHA_EXPLODE;
    t.hole_size = c.hole;
    t.damage = 10;
    t.life = c.life;
    t.timeout_action = c.timeout;
    t.cluster = static_cast<int8_t>(c.cluster);
    t.clusters = static_cast<int8_t>(c.clusters);
    t.cluster_speed = 0.02f;
    BULLET* b = shoot({16.3f, 3.0f, 16.2f}, {0, -0.05f, 0}, &t, 3);
    nurse_bullet(b, 16);
    EXPECT_NEAR(b->p.y, c.y, 1e-5);
    EXPECT_EQ(test::count_live_explosions(), c.explosions);
    EXPECT_EQ(voxel[voxel_index(16, 2, 16)].value != ground, c.explosions == 1);
    EXPECT_EQ(bullethole[0].alive, c.marks);
    EXPECT_TRUE(shooter->life == c.shooter_life && vurk[2].life == 100.0f);
    EXPECT_TRUE(far->life == c.far_life && far->tag == (c.far_life < 100 ? 3 : 1));
    EXPECT_EQ(test::count_live_bullets(), c.scattered);
    EXPECT_TRUE(!c.scattered ||
                (bullet[1].type == &types[c.cluster] && bullet[1].tag == 3 && has_speed(bullet[1].m, 0.02f)));
  }
}

TEST_F(Bullets, WorldEndsAtThirtyTwo) {
  const struct { XYZ p; int alive; } cases[] = {
      {{32, 10, 10}, 0}, {{31.99f, 10, 10}, 1}, {{10, -0.01f, 10}, 0}, {{10, 10, 0}, 1}};
  for (const auto& c : cases) {
    BULLET* b = shoot(c.p, {0, 0, 0}, &types[0]);
    nurse_bullet(b, 16);
    EXPECT_EQ(b->alive, c.alive) << c.p.x << " " << c.p.y << " " << c.p.z;
  }
}

TEST_F(Bullets, EmissionPassesItsRateTheTrailReachesIt) {
  BULLET_TYPE& t = types[0];
  t.emit = 1;
  t.emit_rate = 100;
  t.emit_amount = 3;
  t.emit_speed = 0.01f;
  t.trail = 0;
  t.trail_rate = 100;
  t.trail_life = 700;
  t.trail_color[1] = 0.5f;
  BULLET* b = shoot({16, 20, 16}, {0, 0, 0}, &t, 2);
  const struct { unsigned ms; int particles, bullets; } steps[] = {
      {50, 0, 1}, {50, 1, 1}, {1, 1, 4}, {99, 2, 4}, {1, 2, 7}, {250, 3, 10}};
  for (const auto& s : steps) {
    nurse_bullet(b, s.ms);
    EXPECT_TRUE(test::count_live_particles() == s.particles && test::count_live_bullets() == s.bullets) << s.ms;
  }
  for (const BULLET& e : {bullet[1], bullet[5], bullet[9]})
    EXPECT_TRUE(e.type == &types[1] && e.tag == 2 && e.p.y == 20.0f && has_speed(e.m, 0.01f));
  EXPECT_TRUE(particle[0].color[1] == 0.5f && particle[0].max_life == 700 && particle[0].m.j == 0.0f);
  t.trail_life = 70000;  // beyond a particle's 16 bits: the longest life, not a wrapped one
  t.emit = 2;            // past the table: nothing
  nurse_bullet(b, 100);
  EXPECT_TRUE(particle[3].max_life == 65535 && test::count_live_bullets() == 10);
}

TEST_F(Bullets, FreeSlotSearchProbesTwentyFromNextBullet) {
  const struct { int free_slot, start, next; bool taken; } cases[] = {
      {24, 5, 25, true}, {25, 5, 25, false}, {2, 290, 3, true}, {-1, 295, 15, false}};
  for (const auto& c : cases) {
    for (int i = 0; i < MAX_BULLETS; i++) bullet[i].alive = i != c.free_slot;
    next_bullet = c.start;
    add_bullet({16, 20, 16}, {0, 0, 0}, &types[0], 0);
    EXPECT_EQ(next_bullet, c.next) << c.free_slot;
    EXPECT_EQ(test::count_live_bullets(), MAX_BULLETS - (c.free_slot >= 0 && !c.taken)) << c.free_slot;
  }
}

TEST_F(Bullets, LightFollowsTheBulletAndGoesOutWithIt) {
  BULLET_TYPE& t = types[0];
  t.light_range = 3.0f;
  t.light_color[2] = 0.75f;
  BULLET* b = shoot({10, 10, 10}, {0.01f, 0, 0}, &t);
  ASSERT_EQ(b->light, &light[4]);
  EXPECT_TRUE(light[4].alive && light[4].range == 3.0f && light[4].color[2] == 0.75f);
  nurse_bullet(b, 10);
  EXPECT_NEAR(light[4].p.x, 10.1f, 1e-5);
  remove_bullet(b);
  EXPECT_EQ(light[4].alive, 0);
  next_bullet = 0;  // a type without light takes none, nor keeps the light of the slot's last bullet
  EXPECT_EQ(shoot({10, 10, 10}, {0, 0, 0}, &types[1])->light, nullptr);
  // With every free light taken the bullet flies dark.
  for (int i = FIRST_FREE_LIGHT; i < MAX_LIGHTS; i++) light[i].alive = 1;
  b = shoot({10, 10, 10}, {0.01f, 0, 0}, &t);
  nurse_bullet(b, 10);
  EXPECT_TRUE(b->alive && b->light == nullptr);
  remove_bullet(b);
}

TEST_F(Bullets, LifetimeOffsetStaysWithinHalfTheVariation) {
  game_srand(3);
  BULLET_TYPE& t = types[0];
  t.life = 1000;
  t.life_variation = 0.5f;
  for (int i = 0; i < 100; i++) {
    const int offset = shoot({16, 20, 16}, {0, 0, 0}, &t)->time;  // 5 * (r - 50)
    EXPECT_TRUE(offset % 5 == 0 && offset >= -250 && offset <= 245) << offset;
  }
  // A huge variation is held at the ends of int: the top end times out at once, never wraps round.
  t.life_variation = 1e9f;
  int tops = 0;
  for (int i = 0; i < 20; i++) {
    BULLET* b = shoot({16, 20, 16}, {0, 0, 0}, &t);
    const int offset = b->time;
    tops += offset == INT_MAX;
    nurse_bullet(b, 16);
    EXPECT_EQ(b->alive, offset != INT_MAX) << offset;
  }
  EXPECT_GT(tops, 0);
}

}  // namespace
}  // namespace vurkhold
