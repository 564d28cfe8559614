// bullets and effects: flight, hits, the world's edge, time-outs, blasts, clusters, emission
// and trail, lights and free slots; explosions, particles and marks.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "geometry/collision_world.h"
#include "support/arena.h"
#include "world/world.h"

namespace vurkhold {
namespace {

float gap(IJK a, IJK b) { return std::hypot(a.i - b.i, a.j - b.j, a.k - b.k); }

bool has_speed(IJK m, float speed) { return std::fabs(give_vector_lenght(&m) - speed) < 1e-7f; }

class Bullets : public test::ArenaTest {
 protected:
  // In a fresh pool the bullet lands in the slot next_bullet points at.
  static BULLET* shoot(XYZ p, IJK m, BULLET_TYPE* bt, uint8_t tag = 0) {
    BULLET* b = &bullet[next_bullet];
    add_bullet(p, m, bt, tag);
    return b;
  }
};

// One 10 ms frame from (10, 20, 10); the move uses the velocity gravity and drag left.
TEST_F(Bullets, GravityAndDragChangeTheVelocityBeforeTheMove) {
  const struct { float gravity, drag; IJK m, expect; } cases[] = {
      {2, 0, {0.01f, 0, 0}, {0.01f, -0.0002f, 0}},
      {0, 3, {0, 0.006f, -0.008f}, {0, 0.00582f, -0.00776f}},  // slowed along its flight
      {0, 200, {0.01f, 0, 0}, {0, 0, 0}},                      // more drag than speed stops it
      {10, 50, {0, 0, 0}, {0, 0, 0}},                          // gravity first, then drag
  };
  for (const auto& c : cases) {
    types[0].gravity = c.gravity, types[0].air_resistance = c.drag;
    BULLET* b = shoot({10, 20, 10}, c.m, &types[0]);
    nurse_bullet(b, 10);
    EXPECT_LT(gap(b->m, c.expect), 2e-8f) << c.gravity << " " << c.drag;
    test::expect_near(b->p, {10 + 10 * c.expect.i, 20 + 10 * c.expect.j, 10 + 10 * c.expect.k}, 1e-5f);
  }
}

// Terrain: a bullet falls onto the floor at (10.4, 2.5, 10.2). Vurk: it meets vurk 0's
// sphere at (15.5, 10, 16). Bullet tag 1, bounce factor 0.5. Only a hurt makes the bullet's
// vurk the killer: a bounce, a blast too small to hurt or a hit of no damage leaves the tag.
TEST_F(Bullets, HitsOnTerrainAndOnVurks) {
  const struct { bool vurk; BHA action; float damage; int alive, marks; float life, y; IJK m; int tag; } cases[] = {
      {false, BHA_BOUNCE, 7.5f, 1, 0, 100, 2.5001f, {0.005f, 0.025f, 0}, 0},  // pushed off, slowed
      {false, BHA_DISAPPEAR, 7.5f, 0, 0, 100, 2.5f, {}, 0},
      {false, BHA_DAMAGE, 7.5f, 0, 0, 100, 2.5f, {}, 0},
      {false, BHA_EXPLODE, 7.5f, 0, 1, 100, 2.5f, {}, 0},
      {true, BHA_EXPLODE, 7.5f, 0, 0, 100, 10, {}, 0},
      {true, BHA_BOUNCE, 7.5f, 1, 0, 100, 10, {-0.1f, 0, 0}, 0},  // a vurk gives the full speed back
      {true, BHA_DISAPPEAR, 7.5f, 0, 0, 100, 10, {}, 0},
      {true, BHA_DAMAGE, 0.0f, 0, 0, 100, 10, {}, 0},
      {true, BHA_DAMAGE, 7.5f, 0, 0, 92.5f, 10, {}, 1},  // and bleeds
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.vurk << " " << c.action << " " << c.damage);
    test::make_arena();
    VURK_* v = test::place_vurk(0, {16, 10, 16});
    BULLET_TYPE t = test::plain_bullet_type();
    (c.vurk ? t.vurk_hit : t.wall_hit) = c.action;
    t.bounce = t.hole_size = 0.5f, t.damage = c.damage;
    BULLET* b = c.vurk ? shoot({14, 10, 16}, {0.1f, 0, 0}, &t, 1) : shoot({10.3f, 3, 10.2f}, {0.01f, -0.05f, 0}, &t, 1);
    nurse_bullet(b, 16);
    EXPECT_EQ(std::tuple(b->alive, v->life, v->tag, test::count_live_particles(), bullethole[0].alive),
              std::tuple(c.alive, c.life, c.tag, c.life < 100 ? 1 : 0, c.marks));
    EXPECT_NEAR(b->p.y, c.y, 2e-6);
    EXPECT_TRUE(!c.alive || gap(b->m, c.m) < 1e-7f);
  }
  const PARTICLE& q = particle[0];  // the last row's blood
  EXPECT_TRUE(q.p.x == 16 && q.color[0] == 1 && q.color[1] == 0 && q.max_life == 5000 && has_speed(q.m, 0.005f));
}

// A bullet of vurk 3 falls onto the floor (surface y = 2.5) in one 16 ms frame and explodes
// there, or times out first. The shooter stands 1.36 from the hit, vurk 1 at 1.38, dead
// vurk 2 by it.
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
    t.wall_hit = BHA_EXPLODE, t.hole_size = c.hole, t.damage = 10, t.life = c.life, t.timeout_action = c.timeout;
    t.cluster = static_cast<int8_t>(c.cluster), t.clusters = static_cast<int8_t>(c.clusters), t.cluster_speed = 0.02f;
    BULLET* b = shoot({16.3f, 3.0f, 16.2f}, {0, -0.05f, 0}, &t, 3);
    nurse_bullet(b, 16);
    EXPECT_NEAR(b->p.y, c.y, 1e-5);
    EXPECT_EQ(std::tuple(test::count_live_explosions(), voxel[voxel_index(16, 2, 16)].value != ground,
                         bullethole[0].alive, shooter->life, vurk[2].life, far->life, far->tag,
                         test::count_live_bullets()),
              std::tuple(c.explosions, c.explosions == 1, c.marks, c.shooter_life, 100.0f, c.far_life,
                         c.far_life < 100 ? 3 : 1, c.scattered));
    EXPECT_TRUE(!c.scattered ||
                (bullet[1].type == &types[c.cluster] && bullet[1].tag == 3 && has_speed(bullet[1].m, 0.02f)));
  }
}

TEST_F(Bullets, TheWorldEndsAtThirtyTwo) {
  const struct { XYZ p; int alive; } cases[] = {
      {{32, 10, 10}, 0}, {{31.99f, 10, 10}, 1}, {{10, -0.01f, 10}, 0}, {{10, 10, 0}, 1}, {{10, 10, 32}, 0}};
  for (const auto& c : cases) {
    BULLET* b = shoot(c.p, {0, 0, 0}, &types[0]);
    nurse_bullet(b, 16);
    EXPECT_EQ(b->alive, c.alive) << c.p.x << " " << c.p.y << " " << c.p.z;
  }
}

// Emission fires when its counter passes the rate, the trail when its counter reaches it.
TEST_F(Bullets, EmissionPassesItsRateTheTrailReachesIt) {
  BULLET_TYPE& t = types[0];
  t.emit = 1, t.emit_rate = 100, t.emit_amount = 3, t.emit_speed = 0.01f;
  t.trail = 0, t.trail_rate = 100, t.trail_life = 700, t.trail_color[1] = 0.5f;
  BULLET* b = shoot({16, 20, 16}, {0, 0, 0}, &t, 2);
  const struct { unsigned ms; int particles, bullets; } steps[] = {
      {50, 0, 1}, {50, 1, 1}, {1, 1, 4}, {99, 2, 4}, {1, 2, 7}, {250, 3, 10}};
  for (const auto& s : steps) {
    nurse_bullet(b, s.ms);
    EXPECT_EQ(test::count_live_particles() * 100 + test::count_live_bullets(), s.particles * 100 + s.bullets) << s.ms;
  }
  for (const BULLET& e : {bullet[1], bullet[5], bullet[9]})
    EXPECT_TRUE(e.type == &types[1] && e.tag == 2 && e.p.y == 20.0f && has_speed(e.m, 0.01f));
  EXPECT_TRUE(particle[0].color[1] == 0.5f && particle[0].max_life == 700 && particle[0].m.j == 0.0f);
  t.trail_life = 70000;  // beyond a particle's 16 bits: the longest life, not a wrapped one
  t.emit = 2;            // past the table: nothing
  nurse_bullet(b, 100);
  EXPECT_TRUE(particle[3].max_life == 65535 && test::count_live_bullets() == 10);
}

// The light is born where its bullet is, not where the slot last shone; a type without
// light takes none, nor keeps the light of the slot's last bullet; with every free light
// taken the bullet flies dark.
TEST_F(Bullets, TheLightFollowsTheBulletAndGoesOutWithIt) {
  types[0].light_range = 3.0f, types[0].light_color[2] = 0.75f;
  BULLET* b = shoot({10, 10, 10}, {0.01f, 0, 0}, &types[0]);
  ASSERT_EQ(b->light, &light[4]);
  EXPECT_TRUE(light[4].alive && light[4].range == 3.0f && light[4].color[2] == 0.75f);
  EXPECT_EQ(light[4].p.x, 10.0f);
  nurse_bullet(b, 10);
  EXPECT_NEAR(light[4].p.x, 10.1f, 1e-5);
  EXPECT_EQ((remove_bullet(b), light[4].alive), 0);
  next_bullet = 0;
  EXPECT_EQ(shoot({10, 10, 10}, {0, 0, 0}, &types[1])->light, nullptr);
  for (int i = FIRST_FREE_LIGHT; i < MAX_LIGHTS; i++) light[i].alive = 1;
  b = shoot({10, 10, 10}, {0.01f, 0, 0}, &types[0]);
  nurse_bullet(b, 10);
  EXPECT_TRUE(b->alive && b->light == nullptr);
}

// Lights 0..3 stay with the vurks: the first eight explosions take 4..11, the rest go dark.
// The forty-first takes the oldest slot, whose light goes dark first so it can take it.
TEST_F(Bullets, ExplosionsRotateAndLiveOneSecondWithTheirLightOnAHalfSine) {
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

TEST_F(Bullets, AParticleOverwritesTheOldestSlotWhole) {
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
TEST_F(Bullets, MarksAndBulletsFaceAlongTheirDirection) {
  const struct { IJK normal; float heading, pitch; } cases[] = {
      {{0, 1, 0}, 90, 90},  // a floor or a bullet going straight up: heading 90
      {{0, 0, -1}, 0, 0},   {{-2, 0, 0}, 90, 0}, {{1, 0, 0}, -90, 0},
      {{0, 0, 1}, 180, 0},  {{1, 1, 0}, -90, 45}, {{0, 0, 0}, 90, 0},  // a bullet at rest
  };
  next_bullethole = MAX_BULLETHOLES - 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.normal.i << " " << c.normal.j << " " << c.normal.k);
    const int slot = next_bullethole;
    add_bullethole({7, 2.5f, 9}, c.normal);
    const BULLETHOLE& h = bullethole[slot];
    EXPECT_TRUE(h.alive && h.p.z == 9.0f && next_bullethole == (slot + 1) % MAX_BULLETHOLES);
    const BULLET* b = shoot({16, 20, 16}, c.normal, &types[0]);
    for (float heading : {h.angle1, b->heading}) EXPECT_NEAR(heading, c.heading, 1e-3);
    for (float pitch : {h.angle2, b->pitch}) EXPECT_NEAR(pitch, c.pitch, 1e-3);
  }
}

}  // namespace
}  // namespace vurkhold
