// bullets: flight under gravity and drag, what a bullet does on terrain, on a vurk, at the
// world's edge and when its time runs out, blasts, emission, trails, clusters, lights and
// the bounded search for a free slot.
#include <gtest/gtest.h>

#include <climits>
#include <utility>

#include "geometry/geometry.h"
#include "support/arena.h"
#include "support/test_support.h"
#include "terrain/terrain.h"
#include "world/world.h"

namespace vurkhold {
namespace {

class Bullets : public ::testing::Test {
 protected:
  Bullets() { test::make_arena(); }
  ~Bullets() override {
    bullet_type = nullptr;
    bullet_types = 0;
  }
  // A loaded table of two plain types, for emission and clusters to index.
  void load_table() {
    types[0] = types[1] = test::plain_bullet_type();
    bullet_type = types;
    bullet_types = 2;
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
  const struct {
    float gravity, drag;
    IJK m, expect;  // after one 10 ms frame
  } cases[] = {
      {0, 0, {0.01f, 0, -0.02f}, {0.01f, 0, -0.02f}},  // a straight line at constant speed
      {2, 0, {0.01f, 0, 0}, {0.01f, -0.0002f, 0}},
      {-2, 0, {0, 0, 0}, {0, 0.0002f, 0}},
      {0, 3, {0, 0.006f, -0.008f}, {0, 0.00582f, -0.00776f}},  // slowed along its flight
      {0, 200, {0.01f, 0, 0}, {0, 0, 0}},                      // more drag than speed stops it
      {10, 5, {0, 0, 0}, {0, -0.0005f, 0}},
      {10, 50, {0, 0, 0}, {0, 0, 0}},  // gravity first, then drag stops what it gave
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.gravity << " " << c.drag);
    BULLET_TYPE t = test::plain_bullet_type();
    t.gravity = c.gravity;
    t.air_resistance = c.drag;
    BULLET* b = shoot({10, 20, 10}, c.m, &t);
    nurse_bullet(b, 10);
    EXPECT_NEAR(b->m.i, c.expect.i, 1e-8);
    EXPECT_NEAR(b->m.j, c.expect.j, 1e-8);
    EXPECT_NEAR(b->m.k, c.expect.k, 1e-8);
    EXPECT_NEAR(b->p.y, 20.0f + 10.0f * c.expect.j, 1e-5);
  }
}

TEST_F(Bullets, HitsOnTerrainAndOnVurks) {
  // Terrain: a bullet falls onto the floor at (10.4, 2.5, 10.2). Vurk: it meets vurk 2's
  // sphere at (15.5, 10, 16). Bullet tag 1, damage 7.5, bounce factor 0.5.
  const struct {
    bool vurk;
    BHA action;
    int alive, particles, marks;
    float life, y;
    IJK m;  // checked while alive
  } cases[] = {
      {false, BHA_BOUNCE, 1, 0, 0, 100, 2.5001f, {0.005f, 0.025f, 0}},  // pushed off, slowed
      {false, BHA_DISAPPEAR, 0, 0, 0, 100, 2.5f, {}},
      {false, BHA_DAMAGE, 0, 0, 0, 100, 2.5f, {}},
      {false, BHA_EXPLODE, 0, 0, 1, 100, 2.5f, {}},
      {true, BHA_EXPLODE, 0, 0, 0, 100, 10, {}},
      {true, BHA_DISAPPEAR, 0, 0, 0, 100, 10, {}},
      {true, BHA_BOUNCE, 1, 0, 0, 100, 10, {-0.1f, 0, 0}},  // a vurk gives the full speed back
      {true, BHA_DAMAGE, 0, 1, 0, 92.5f, 10, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.vurk << " " << c.action);
    test::make_arena();
    VURK_* v = test::place_vurk(2, {16, 10, 16});
    BULLET_TYPE t = test::plain_bullet_type();
    (c.vurk ? t.vurk_hit : t.wall_hit) = c.action;
    t.bounce = 0.5f;
    t.hole_size = 0.5f;
    t.damage = 7.5f;
    BULLET* b = c.vurk ? shoot({14, 10, 16}, {0.1f, 0, 0}, &t, 1) : shoot({10.3f, 3, 10.2f}, {0.01f, -0.05f, 0}, &t, 1);
    nurse_bullet(b, 16);
    EXPECT_EQ(b->alive, c.alive);
    EXPECT_NEAR(b->p.x, c.vurk ? 15.5f : 10.4f, 1e-5);
    EXPECT_NEAR(b->p.y, c.y, 2e-6);
    EXPECT_EQ(v->tag, c.vurk ? 1 : 2);
    EXPECT_EQ(v->life, c.life);
    EXPECT_EQ(test::count_live_particles(), c.particles);
    EXPECT_EQ(bullethole[0].alive, c.marks);
    EXPECT_EQ(test::count_live_explosions(), 0);
    if (c.alive) {
      EXPECT_NEAR(b->m.i, c.m.i, 1e-7);
      EXPECT_NEAR(b->m.j, c.m.j, 1e-7);
    }
  }
  const PARTICLE& blood = particle[0];  // of the last row
  EXPECT_TRUE(blood.p.x == 16.0f && blood.color[0] == 1.0f && blood.color[1] == 0.0f);
  EXPECT_EQ(blood.max_life, 5000);
  EXPECT_NEAR(give_vector_lenght(&blood.m), 0.005f, 1e-7);
}

// A bullet of vurk 3 falls onto the arena's floor (surface at y = 2.5) in one 16 ms frame,
// off every cell edge, and explodes there, or times out first. The shooter stands 1.36 from
// where it meets the floor, vurk 1 at 1.38; vurk 2 lies dead right by it.
TEST_F(Bullets, BlastOrMarkOrTimeOut) {
  const struct {
    float hole;
    uint16_t life;
    BTA timeout;
    int explosions, marks;
    float y, shooter_life, far_life;
  } cases[] = {
      {0.86f, 1000, BTA_DISAPPEAR, 0, 1, 2.5f, 100, 100},  // too small: a mark only
      {0.87f, 1000, BTA_DISAPPEAR, 1, 0, 2.5f, 90, 100},   // hurts within 1.37
      {1.5f, 16, BTA_DISAPPEAR, 0, 0, 3.0f, 100, 100},     // the time runs out before the hit
      {1.5f, 16, BTA_EXPLODE, 1, 0, 3.0f, 90, 90},
      {1.5f, 17, BTA_DISAPPEAR, 1, 0, 2.5f, 90, 90},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.hole << " " << c.life << " " << c.timeout);
    test::make_arena();
    VURK_* shooter = test::place_vurk(3, {17.66f, 2.5f, 16.2f});
    VURK_* far = test::place_vurk(1, {14.92f, 2.5f, 16.2f});
    VURK_* dead = test::place_vurk(2, {16.3f, 2.5f, 16.5f});
    dead->alive = 0;
    shooter->tag = 0;
    const float ground = voxel[voxel_index(16, 2, 16)].value;
    BULLET_TYPE t = test::plain_bullet_type();
    t.wall_hit = BHA_EXPLODE;
    t.hole_size = c.hole;
    t.damage = 10;
    t.life = c.life;
    t.timeout_action = c.timeout;
    BULLET* b = shoot({16.3f, 3.0f, 16.2f}, {0, -0.05f, 0}, &t, 3);
    nurse_bullet(b, 16);
    EXPECT_EQ(b->alive, 0);
    EXPECT_NEAR(b->p.y, c.y, 1e-5);
    EXPECT_EQ(test::count_live_explosions(), c.explosions);
    EXPECT_EQ(voxel[voxel_index(16, 2, 16)].value != ground, c.explosions == 1);
    EXPECT_EQ(bullethole[0].alive, c.marks);
    EXPECT_EQ(shooter->life, c.shooter_life);
    EXPECT_EQ(shooter->tag, c.shooter_life < 100 ? 3 : 0);
    EXPECT_EQ(far->life, c.far_life);
    EXPECT_EQ(far->tag, c.far_life < 100 ? 3 : 1);
    EXPECT_EQ(dead->life, 100.0f);
  }
}

TEST_F(Bullets, WorldEndsAtThirtyTwo) {
  const struct {
    XYZ p;
    int alive;
  } cases[] = {{{32, 10, 10}, 0}, {{31.99f, 10, 10}, 1}, {{10, -0.01f, 10}, 0}, {{10, 10, 0}, 1}};
  for (const auto& c : cases) {
    test::make_arena();
    BULLET_TYPE t = test::plain_bullet_type();
    // Along z: parallel to the walls of x and y, away from the wall at z = 0.
    BULLET* b = shoot(c.p, {0, 0, 0.001f}, &t);
    nurse_bullet(b, 16);
    EXPECT_EQ(b->alive, c.alive) << c.p.x << " " << c.p.y << " " << c.p.z;
  }
}

TEST_F(Bullets, EmissionPassesItsRateTheTrailReachesIt) {
  load_table();
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
  const struct {
    unsigned ms;
    int particles, bullets;
  } steps[] = {{50, 0, 1}, {50, 1, 1}, {1, 1, 4}, {99, 2, 4}, {1, 2, 7}, {250, 3, 10}};
  for (const auto& s : steps) {
    nurse_bullet(b, s.ms);
    EXPECT_EQ(test::count_live_particles(), s.particles) << s.ms;
    EXPECT_EQ(test::count_live_bullets(), s.bullets) << s.ms;
  }
  for (int i = 1; i < 10; i++) {
    EXPECT_TRUE(bullet[i].type == &types[1] && bullet[i].tag == 2 && bullet[i].p.y == 20.0f) << i;
    EXPECT_NEAR(give_vector_lenght(&bullet[i].m), 0.01f, 1e-7);
  }
  EXPECT_TRUE(particle[0].color[1] == 0.5f && particle[0].max_life == 700 && particle[0].m.j == 0.0f);
  t.trail_life = 70000;  // beyond a particle's 16 bits: the longest life, not a wrapped one
  nurse_bullet(b, 100);
  EXPECT_EQ(particle[3].max_life, 65535);

  // Neither a negative amount nor an index past the table emits anything.
  for (const auto& [emit, amount] : {std::pair{1, -1}, std::pair{2, 3}}) {
    test::make_arena();
    t.emit = static_cast<int8_t>(emit);
    t.emit_amount = amount;
    nurse_bullet(shoot({16, 20, 16}, {0, 0, 0}, &t), 200);
    EXPECT_EQ(test::count_live_bullets(), 1) << emit << " " << amount;
  }
}

TEST_F(Bullets, ClustersScatterWithTheShootersTag) {
  load_table();
  const struct {
    int cluster, clusters, scattered;
  } cases[] = {{1, 4, 4}, {0, 2, 2}, {1, 0, 0}, {-1, 4, 0}, {2, 4, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cluster << " " << c.clusters);
    test::make_arena();
    BULLET_TYPE& t = types[0];
    t.life = 16;
    t.timeout_action = BTA_EXPLODE;
    t.cluster = static_cast<int8_t>(c.cluster);
    t.clusters = static_cast<int8_t>(c.clusters);
    t.cluster_speed = 0.02f;
    BULLET* b = shoot({16, 20, 16}, {0, 0, 0}, &t, 3);
    nurse_bullet(b, 16);
    EXPECT_EQ(b->alive, 0);
    EXPECT_EQ(test::count_live_bullets(), c.scattered);
    for (int i = 1; i <= c.scattered; i++) {
      EXPECT_TRUE(bullet[i].type == &types[c.cluster] && bullet[i].tag == 3) << i;
      EXPECT_NEAR(give_vector_lenght(&bullet[i].m), 0.02f, 1e-7);
    }
  }
}

TEST_F(Bullets, FreeSlotSearchProbesTwentyFromNextBullet) {
  const struct {
    int free_slot, start, taken, next;  // taken -1: the bullet is dropped
  } cases[] = {{24, 5, 24, 25}, {25, 5, -1, 25}, {2, 290, 2, 3}, {-1, 295, -1, 15}};
  BULLET_TYPE t = test::plain_bullet_type();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.free_slot);
    test::make_arena();
    for (int i = 0; i < MAX_BULLETS; i++) bullet[i].alive = i != c.free_slot;
    next_bullet = c.start;
    add_bullet({16, 20, 16}, {0, 0, 0}, &t, 0);
    EXPECT_EQ(next_bullet, c.next);
    if (c.free_slot >= 0) {
      EXPECT_EQ(bullet[c.free_slot].type == &t, c.taken >= 0);
    }
    EXPECT_EQ(test::count_live_bullets(), MAX_BULLETS - (c.free_slot >= 0 && c.taken < 0));
  }
}

TEST_F(Bullets, LightFollowsTheBulletAndGoesOutWithIt) {
  BULLET_TYPE t = test::plain_bullet_type();
  t.light_range = 3.0f;
  t.light_color[2] = 0.75f;
  BULLET* b = shoot({10, 10, 10}, {0.01f, 0, 0}, &t);
  ASSERT_EQ(b->light, &light[4]);
  EXPECT_TRUE(light[4].alive && light[4].range == 3.0f && light[4].color[2] == 0.75f);
  nurse_bullet(b, 10);
  EXPECT_NEAR(light[4].p.x, 10.1f, 1e-5);
  remove_bullet(b);
  EXPECT_EQ(light[4].alive, 0);
  // With every free light taken the bullet flies dark and leaves the others alone.
  for (int i = FIRST_FREE_LIGHT; i < MAX_LIGHTS; i++) light[i] = LIGHT{{1, 1, 1}, {}, 1, 1};
  b = shoot({10, 10, 10}, {0.01f, 0, 0}, &t);
  nurse_bullet(b, 10);
  EXPECT_TRUE(b->alive && b->light == nullptr);
  remove_bullet(b);
  for (int i = FIRST_FREE_LIGHT; i < MAX_LIGHTS; i++) EXPECT_TRUE(light[i].alive && light[i].p.x == 1.0f) << i;
}

TEST_F(Bullets, LifetimeOffsetStaysWithinHalfTheVariation) {
  game_srand(3);
  BULLET_TYPE t = test::plain_bullet_type();
  t.life = 1000;
  t.life_variation = 0.5f;
  for (int i = 0; i < 100; i++) {
    const int offset = shoot({16, 20, 16}, {0, 0, 0}, &t)->time;  // 5 * (r - 50)
    EXPECT_TRUE(offset % 5 == 0 && offset >= -250 && offset <= 245) << offset;
  }
  // A huge variation is held at the ends of int; the top end times out in the first frame
  // instead of wrapping round to a bullet that never ends.
  test::make_arena();
  t.life_variation = 1e9f;
  int tops = 0, bottoms = 0;
  for (int i = 0; i < 20; i++) {
    BULLET* b = shoot({16, 20, 16}, {0, 0, 0}, &t);
    const int offset = b->time;
    ASSERT_TRUE(offset == INT_MAX || offset == INT_MIN || offset == 0) << offset;
    tops += offset == INT_MAX;
    bottoms += offset == INT_MIN;
    nurse_bullet(b, 16);
    EXPECT_EQ(b->alive, offset != INT_MAX) << offset;
  }
  EXPECT_TRUE(tops > 0 && bottoms > 0);
}

}  // namespace
}  // namespace vurkhold
