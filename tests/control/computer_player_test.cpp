// computer players: the target, turning and pitch, the jetpack, firing through a clear line
// of sight, strafing, digging out when stuck, the weapon choice, and a target standing
// exactly on the vurk.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "control/control.h"
#include "support/arena.h"
#include "support/test_support.h"
#include "world/world.h"

namespace vurkhold {
namespace {

class ComputerPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { test::make_arena(); }
  // The computer player is vurk 0 at `at`; vurk 1 (team 1) stands at `at` + rel.
  VURK_* setup(XYZ at, XYZ rel) {
    for (int b = 0; b < MAX_BULLETS; b++) bullet[b] = BULLET{};
    test::place_vurk(1, {at.x + rel.x, at.y + rel.y, at.z + rel.z});
    VURK_* m = test::place_vurk(0, at);
    m->ai_module = AI_MODULE{};
    return m;
  }
  test::WorldPools pools;
  BULLET_TYPE bt = test::plain_bullet_type();
  WEAPON_TYPE wt = {nullptr, nullptr, 5, 100, 0, &bt, 1, 0, 0.01f, nullptr};  // clips of 5, one pellet a shot
};

TEST_F(ComputerPlayerTest, TargetIsTheNearestLivingEnemyWithinAHundredUnits) {
  const XYZ spread[3] = {{16, 10, 21}, {16, 10, 13}, {30, 10, 16}};  // 5, 3 and 14 away
  const struct { const char* what; XYZ p[3]; int alive[3], team[3]; int target; } rows[] = {
      {"nearest", {spread[0], spread[1], spread[2]}, {1, 1, 1}, {1, 2, 3}, 2},
      {"team-mate skipped", {spread[0], spread[1], spread[2]}, {1, 1, 1}, {1, 0, 3}, 1},
      {"dead skipped", {spread[0], spread[1], spread[2]}, {1, 0, 1}, {1, 2, 3}, 1},
      {"nobody", {spread[0], spread[1], spread[2]}, {0, 1, 1}, {1, 0, 0}, -1},
      {"three-way tie", {{16, 10, 20}, {16, 10, 12}, {12, 10, 16}}, {1, 1, 1}, {1, 2, 3}, 1},
      {"at 100", {{16, 10, 116}, {16, 10, -84}, {}}, {1, 1, 0}, {1, 2, 3}, -1},
      {"within 100", {{16, 10, 116}, {16, 10, -83.99f}, {}}, {1, 1, 0}, {1, 2, 3}, 2},
  };
  for (const auto& r : rows) {
    VURK_* m = setup({16, 10, 16}, {0, 0, 0});
    for (int i = 0; i < 3; i++) {
      vurk[i + 1].p = r.p[i];
      vurk[i + 1].alive = r.alive[i];
      vurk[i + 1].team = static_cast<int8_t>(r.team[i]);
    }
    m->angle = 33;
    m->angle2 = 12;
    AI(m, 10);
    EXPECT_EQ(m->ai_module.target, r.target < 0 ? nullptr : &vurk[r.target]) << r.what;
    EXPECT_EQ(m->ai_module.counter, 10u) << r.what;
    if (r.target >= 0) continue;
    IJK step = {0, 0, 0};  // no target: no turn and no walk
    ai_find_movement_vector(m, &step, 10);
    EXPECT_EQ(std::tuple(m->angle, m->angle2, step.i, step.k, m->animation), std::tuple(33.0f, 12.0f, 0.0f, 0.0f, 0));
  }
}

// One frame of 10 ms (a step of 3 degrees) from heading 0, with the target at rel.
TEST_F(ComputerPlayerTest, TurnsAndPitchesByAtMostAStepAndFliesUpToAHigherTarget) {
  const struct { const char* what; XYZ rel; float pitch, heading_after, pitch_after; int jetpack; } rows[] = {
      {"left", {-10, 0, 0}, 0, 3, 0, 0},
      {"right", {10, 0, 0}, 0, -3, 0, 0},
      {"behind", {0, 0, 10}, 0, -3, 0, 0},
      {"within a step", {-0.05f, 0, -10}, 0, 0, 0, 0},
      {"straight above", {0, 10, 0}, 0, 0, 3, 1},
      {"slightly up", {0, 0.1f, -10}, 0, 0, 0.5729f, 0},
      {"far below", {0, -5, 0}, 0, 0, -3, 0},
      {"down to the limit", {0, -5, 0}, -88.5f, 0, -90, 0},
      {"0.5 higher", {0, 0.5f, -5}, 0, 0, 3, 0},
      {"0.51 higher", {0, 0.51f, -5}, 0, 0, 3, 1},
  };
  for (const auto& r : rows) {
    VURK_* m = setup({16, 10, 16}, r.rel);
    m->angle2 = r.pitch;
    AI(m, 10);
    EXPECT_NEAR(m->angle, r.heading_after, 1e-4f) << r.what;
    EXPECT_NEAR(m->angle2, r.pitch_after, 1e-3f) << r.what;
    EXPECT_FLOAT_EQ(m->movement.j, r.jetpack ? 0.00015f : 0.0f) << r.what;
  }
}

// The shooter stands on the floor, which hides a target below it. Slot 1 is the readiest,
// slot 2 the one most in need of reloading.
TEST_F(ComputerPlayerTest, FiresOnlyWhenCloseInTheSightsAndVisible) {
  const float deg15 = 15 * 3.14159265f / 180, deg25 = 25 * 3.14159265f / 180;
  const struct { const char* what; XYZ rel; int bullets; AI_STATE state; int weapon; } rows[] = {
      {"7 ahead", {0, 0, -7}, 1, AS_SEEKTARGET, 1},
      {"5 ahead", {0, 0, -5}, 1, AS_EVADE, 1},
      {"8 ahead", {0, 0, -8}, 0, AS_SEEKTARGET, 2},
      {"15 degrees off", {-7 * std::sin(deg15), 0, -7 * std::cos(deg15)}, 1, AS_SEEKTARGET, 1},
      {"25 degrees off", {-7 * std::sin(deg25), 0, -7 * std::cos(deg25)}, 0, AS_SEEKTARGET, 2},
      {"under the floor", {0, -2, -std::sqrt(45.0f)}, 0, AS_SEEKTARGET, 1},
  };
  for (const auto& r : rows) {
    VURK_* m = setup({16, 3.005f, 20}, r.rel);
    const int loading[] = {300, 0, 500, 100};
    for (int w = 0; w < WEAPON_SLOTS; w++) m->weapons[w] = {&wt, 0, 5, loading[w], 0};
    m->ai_module.state = AS_EVADE;
    AI(m, 10);
    EXPECT_EQ(std::tuple(test::count_live_bullets(), m->ai_module.state, int{m->weapon}),
              std::tuple(r.bullets, r.state, r.weapon)) << r.what;
  }
}

// 20 away the vurk is idle, 5 away it attacks (with empty slots it cannot fire). A tie keeps
// the slot held.
TEST_F(ComputerPlayerTest, WeaponChoiceKeepsTheHeldSlotOnTies) {
  const struct { int loading[4], held; float distance; int chosen; } rows[] = {
      {{0, 0, 0, 0}, 3, 20, 3},     {{0, 0, 0, 0}, 3, 5, 3},         {{0, 0, 500, 500}, 1, 5, 1},
      {{0, 0, 500, 500}, 1, 20, 2}, {{200, 0, 500, 100}, 0, 5, 1},   {{200, 0, 500, 100}, 0, 20, 2},
  };
  for (const auto& r : rows) {
    VURK_* m = setup({16, 10, 16}, {0, 0, -r.distance});
    for (int w = 0; w < WEAPON_SLOTS; w++) m->weapons[w].loading = r.loading[w];
    m->weapon = static_cast<uint8_t>(r.held);
    AI(m, 10);
    EXPECT_EQ(m->weapon, r.chosen) << r.held << " " << r.distance;
  }
}

TEST_F(ComputerPlayerTest, WalksInAndStrafesSidesEvery900ms) {
  constexpr float s = 0.02f;
  const struct { AI_STATE state; unsigned counter; float heading, di, dk; } rows[] = {
      {AS_SEEKTARGET, 0, 0, 0, -s}, {AS_SEEKTARGET, 0, 90, -s, 0}, {AS_EVADE, 450, 0, -s, 0},
      {AS_EVADE, 1000, 0, s, 0},    {AS_EVADE, 2250, 0, -s, 0},    {AS_EVADE, 0, 0, s, 0},
      {AS_EVADE, 100, 90, 0, s},    {AS_EVADE, 1350, 90, 0, -s},
  };
  for (const auto& r : rows) {
    VURK_* m = setup({16, 10, 16}, {0, 0, -20});
    m->ai_module = {r.counter, 0, &vurk[1], r.state, 0.0f};
    m->angle = r.heading;
    IJK step = {0.1f, 0.2f, 0.3f};
    ai_find_movement_vector(m, &step, 10);
    EXPECT_NEAR(step.i, 0.1f + r.di, 1e-6f) << r.state << " " << r.counter << " " << r.heading;
    EXPECT_NEAR(step.k, 0.3f + r.dk, 1e-6f) << r.state << " " << r.counter << " " << r.heading;
    EXPECT_EQ(std::tuple(step.j, m->animation), std::tuple(0.2f, 1));
  }
}

// The target stands 20 away, straight ahead, so the vurk neither turns nor fires.
TEST_F(ComputerPlayerTest, StuckTimeGrowsAndDigsOutPast500ms) {
  const struct { const char* what; AI_STATE state; float distance; int moved; unsigned stuck; int dig_delay;
                 unsigned stuck_after; int dig_delay_after; } rows[] = {
      {"closing in", AS_SEEKTARGET, 20.5f, 1, 0, 0, 0, 0},
      {"no closer", AS_SEEKTARGET, 20, 1, 0, 0, 10, 0},
      {"strafing", AS_EVADE, 20, 1, 0, 0, 0, 0},
      {"not moved", AS_SEEKTARGET, 100, 0, 0, 0, 10, 0},
      {"at 500", AS_SEEKTARGET, 100, 0, 490, 0, 500, 0},
      {"past 500", AS_SEEKTARGET, 100, 0, 491, 0, 0, DIG_DELAY},
      {"dig not ready", AS_SEEKTARGET, 100, 0, 491, 300, 501, 300},
  };
  for (const auto& r : rows) {
    VURK_* m = setup({16, 10, 26}, {0, 0, -20});
    m->ai_module = {0, r.stuck, nullptr, r.state, r.distance};
    m->dig_delay = r.dig_delay;
    if (r.moved) m->pp.z += 0.01f;
    AI(m, 10);
    EXPECT_EQ(std::tuple(m->ai_module.stuck_counter, m->dig_delay, m->ai_module.distance),
              std::tuple(r.stuck_after, r.dig_delay_after, 20.0f)) << r.what;
  }
}

TEST_F(ComputerPlayerTest, ATargetOnTheVurksOwnSpotChangesNothingAndMakesNoNaN) {
  VURK_* m = setup({16, 3.005f, 16}, {0, 0, 0});
  for (WEAPON& w : m->weapons) w = {&wt, 0, 5, 0, 0};
  m->angle = 40;
  m->angle2 = -10;
  m->weapon = 2;
  m->ai_module = {100, 490, nullptr, AS_EVADE, 3.0f};
  AI(m, 10);
  const AI_MODULE& ai = m->ai_module;
  EXPECT_EQ(std::tuple(ai.target, ai.counter, ai.stuck_counter, ai.state, ai.distance),
            std::tuple(&vurk[1], 110u, 490u, AS_EVADE, 3.0f));
  EXPECT_EQ(std::tuple(m->angle, m->angle2, int{m->weapon}, test::count_live_bullets()),
            std::tuple(40.0f, -10.0f, 2, 0));
  IJK step = {0, 0, 0};
  ai_find_movement_vector(m, &step, 10);
  EXPECT_TRUE(std::isfinite(step.i) && std::isfinite(step.j) && std::isfinite(step.k));
  EXPECT_NEAR(std::hypot(step.i, step.k), 0.02f, 1e-6f);
}

}  // namespace
}  // namespace vurkhold
