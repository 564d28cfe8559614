// control: the human players' walking and action keys, keyboard look, view, camera and
// menu keys; the computer players' target, turning, flying, firing, weapon choice, walking
// and digging out.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>

#include "control/control.h"
#include "geometry/collision_world.h"
#include "support/arena.h"
#include "terrain/terrain.h"
#include "world/world.h"

namespace vurkhold {
namespace {

constexpr int NUMPAD1 = VK_NUMPAD0 + 1, NUMPAD2 = VK_NUMPAD0 + 2, NUMPAD4 = VK_NUMPAD0 + 4;
constexpr int F(int n) { return VK_F1 + n - 1; }
constexpr float a = 0.01f, b = 0.01732051f;  // 10 ms at heading 30: forward is (-a, -b), left (-b, a)

void match_logic_stand_in(unsigned) {}

void hold(const int* held, int n) {
  test::release_keys();
  for (int i = 0; i < n && held[i]; i++) test::hold_key(held[i]);
}

class ControlTest : public test::ArenaTest {
 protected:
  // A computer player, vurk 0, at `at`; vurk 1 (team 1) stands at `at` + rel.
  VURK_* setup(XYZ at, XYZ rel) {
    test::make_arena();
    test::place_vurk(1, {at.x + rel.x, at.y + rel.y, at.z + rel.z});
    return test::place_vurk(0, at);
  }
  WEAPON_TYPE wt = {nullptr, nullptr, 5, 100, 0, &types[0], 1, 0, 0.01f, nullptr};  // clips of 5, one pellet a shot
  const test::KeepGlobals globals_{logic_func, render_func, camera_mode, vurk_to_render_1, vurk_to_render_2};
};

// 10 ms at heading 30. Each vurk holds slot 2, its jump flag set. Jump turns fire into the
// item; a dead vurk keeps even the flag.
TEST_F(ControlTest, WalkingAndActionKeysOfBothPlayers) {
  const int RB = VK_RBUTTON, LB = VK_LBUTTON, ROPE = MI_NINJAROPE, JET = MI_JETPACK, IN = NRS_IN, FLY = NRS_FLYING;
  const struct { int player, held[5], alive, item, rope, rope_after;
                 int bullets, jump, thrust, dug, weapon; float di, dk; } rows[] = {
      {1, {VK_UP, LB, NUMPAD1}, 1, ROPE, IN, IN, 1, 0, 0, 0, 0, -a, -b},
      {1, {VK_DOWN, RB}, 1, JET, IN, IN, 0, 1, 0, 0, 2, a, b},
      {1, {VK_LEFT, RB, LB}, 1, ROPE, IN, FLY, 0, 1, 0, 0, 2, -b, a},
      {1, {VK_RIGHT, VK_NUMPAD0, NUMPAD4, NUMPAD2}, 1, ROPE, IN, IN, 0, 0, 0, 1, 3, b, -a},
      {1, {VK_UP, VK_LEFT, RB, LB}, 1, ROPE, FLY, FLY, 0, 1, 0, 0, 2, -a - b, a - b},
      {1, {RB, LB}, 1, JET, IN, IN, 0, 1, 1, 0, 2, 0, 0},
      {1, {LB, VK_NUMPAD0, NUMPAD4}, 0, ROPE, IN, IN, 0, 1, 0, 0, 2, 0, 0},
      {2, {'W', VK_SPACE}, 1, ROPE, IN, IN, 1, 0, 0, 0, 2, -a, -b},
      {2, {'S', VK_SHIFT, VK_SPACE}, 1, ROPE, IN, FLY, 0, 1, 0, 0, 2, a, b},
      {2, {'W', 'S', 'A', 'E', VK_SHIFT}, 1, ROPE, NRS_ATTACHED, IN, 0, 1, 0, 1, 2, -b, a},
      {2, {'D', VK_SHIFT, '1', '2'}, 1, ROPE, IN, IN, 0, 1, 0, 0, 1, b, -a},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &r - rows);
    test::make_arena();
    hold(r.held, 5);
    VURK_* m = test::place_vurk(r.player - 1, {8, test::STAND_Y, 8});
    for (WEAPON& w : m->weapons) w = {&wt, 0, 5, 0, 0};
    m->alive = r.alive, m->weapon = 2, m->jump = 1, m->angle = 30;
    m->item = static_cast<ITEM>(r.item), m->rope_state = static_cast<ROPE_STATE>(r.rope);
    IJK walk = {0.5f, 0.7f, -0.25f};
    make_commands(vurk_command);
    human_movement_vector(m, &walk, 10);
    human_control(m, 10);
    test::expect_near(walk, {0.5f + r.di, 0.7f, -0.25f + r.dk}, 1e-6f);
    EXPECT_EQ(std::tuple(test::count_live_bullets(), m->jump, m->rope_state, m->dig_delay, int{m->weapon},
                         m->animation, int{m->movement.j > 0}),
              std::tuple(r.bullets, r.jump, r.rope_after, r.dug ? DIG_DELAY : 0, r.weapon, r.di || r.dk, r.thrust));
    const bool thrown = r.rope == IN && r.rope_after == FLY;  // from the body along the aim
    test::expect_near(m->rope_p, thrown ? m->p : XYZ{}, 0.0f);
    test::expect_near(m->rope_m, thrown ? IJK{-0.0125f, 0, -0.02165064f} : IJK{}, 1e-7f);
  }
}

// 100 ms a row. Vurk 1 looks with U H J K; vurk 0 (no mouse motion here) only has its pitch
// clamped. F9 toggles the camera once per key-down: the game lets go of the key itself.
TEST_F(ControlTest, LookViewCameraAndMenuKeys) {
  const struct { int held[4], off; float angle, pitch, angle_after, pitch_after; int view1, view2, toggled; } rows[] = {
      {{'U', 'K', F(2), F(4)}, -1, 0, 80, -17.5f, 90, 3, 1, 0},
      {{'J', 'H', F(2), F(4)}, 3, 1000, 0, 1017.5f, -17.5f, 1, 1, 0},
      {{'J', F(8), F(9)}, -1, 0, -85, 0, -90, 0, 3, 1},
      {{F(6), F(7), F(9)}, 2, 0, 0, 0, 0, 0, 1, 1},
      {{F(4), F(5)}, -1, 0, 0, 0, 0, 3, 0, 0},
  };
  logic_func = match_logic_stand_in;
  for (const auto& r : rows) {
    for (int i = 0; i < MAX_VURKS; i++) vurk[i].type = i == r.off ? MLT_OFF : MLT_INACTIVE;
    vurk_to_render_1 = &vurk[0], vurk_to_render_2 = &vurk[1];
    hold(r.held, 4);
    vurk[1].angle = r.angle, vurk[1].angle2 = r.pitch, vurk[0].angle = 700, vurk[0].angle2 = 100;
    const CAMERA_MODE camera = camera_mode;
    make_commands(vurk_command);
    game_keys();
    game_input(100);
    EXPECT_EQ(std::tuple(vurk[1].angle, vurk[1].angle2, vurk[0].angle, vurk[0].angle2, camera_mode != camera),
              std::tuple(r.angle_after, r.pitch_after, 700.0f, 90.0f, r.toggled == 1)) << &r - rows;
    EXPECT_EQ(std::tuple(vurk_to_render_1, vurk_to_render_2, keys[F(9)], logic_func == match_logic_stand_in),
              std::tuple(&vurk[r.view1], &vurk[r.view2], 0, true)) << &r - rows;
  }
  keys[VK_ESCAPE] = 1;
  game_keys();
  EXPECT_EQ(std::tuple(logic_func, render_func), std::tuple(menu_pair.logic, menu_pair.render));
}

// Vurks 1 to 3 stand dz away, of the team given or dead (-1); last frame's target is forgotten.
TEST_F(ControlTest, TargetIsTheNearestLivingEnemyWithinAHundredUnits) {
  const struct { float dz[3]; int team[3], target; } rows[] = {
      {{5, -3, 14}, {1, 2, 3}, 2}, {{5, -3, 14}, {1, 0, 3}, 1},      {{5, -3, 14}, {1, -1, 3}, 1},
      {{4, -4, 14}, {1, 2, 3}, 1}, {{100, -100, 0}, {1, 2, -1}, -1}, {{100, -99.99f, 0}, {1, 2, -1}, 2},
  };
  for (const auto& r : rows) {
    VURK_* m = setup({16, 10, 16}, {0, 0, 0});
    for (int i = 0; i < 3; i++) {
      VURK_* v = test::place_vurk(i + 1, {16, 10, 16 + r.dz[i]});
      v->alive = r.team[i] >= 0, v->team = static_cast<int8_t>(r.team[i]);
    }
    m->ai_module.target = &vurk[1];
    AI(m, 10);
    EXPECT_EQ(std::tuple(m->ai_module.target, m->ai_module.counter),
              std::tuple(r.target < 0 ? nullptr : &vurk[r.target], 10u)) << &r - rows;
  }
}

// 10 ms (a step of 3 degrees) from heading 0, the target to the left, right, behind, within a
// step, straight above, 0.51 and 0.5 higher, far below, and on the vurk's own spot.
TEST_F(ControlTest, TurnsAndPitchesByAtMostAStepAndFliesUpToAHigherTarget) {
  const struct { XYZ rel; float pitch, heading_after, pitch_after; int jetpack; } rows[] = {
      {{-10, 0, 0}, 0, 3, 0, 0},         {{10, 0, 0}, 0, -3, 0, 0},         {{0, 0, 10}, 0, -3, 0, 0},
      {{-0.05f, 0, -10}, 0, 0, 0, 0},    {{0, 10, 0}, 0, 0, 3, 1},          {{0, 0.51f, -10}, 0, 0, 2.919555f, 1},
      {{0, 0.5f, -5}, 0, 0, 3, 0},       {{0, -5, 0}, -88.5f, 0, -90, 0},   {{0, 0, 0}, -10, 0, -10, 0},
  };
  for (const auto& r : rows) {
    VURK_* m = setup({16, 10, 16}, r.rel);
    m->angle2 = r.pitch;
    AI(m, 10);
    SCOPED_TRACE(testing::Message() << "row " << &r - rows);
    EXPECT_NEAR(m->angle, r.heading_after, 1e-4f);
    EXPECT_NEAR(m->angle2, r.pitch_after, 1e-3f);
    EXPECT_NEAR(m->movement.j, r.jetpack ? 0.00015f : 0.0f, 1e-9f);
  }
}

// The floor hides a target below. The vurk holds slot 1, which it keeps when all are ready
// (set 0); in set 1 slot 1 is the readiest and slot 2 the one most in need of reloading; in
// set 2 slots 0 and 1 are ready. Blasts of reach 1.5 (slot 1, or every slot) are held back
// from a target nearer than 1.875, and from one whose blast would burst nearer than that (the
// target 2.2 ahead is hit 1.7 ahead); one that bursts on rock only is not. Out of the cone
// the vurk holds the weapon it will fire; with no target it can shoot, the one to reload.
// Short shots die 4 units out. Of loaded weapons the one with most of its clip left is fired.
TEST_F(ControlTest, FiresOnlyWhenCloseInTheSightsAndVisibleAndChoosesTheWeapon) {
  const int loading[3][WEAPON_SLOTS] = {{0, 0, 0, 0}, {300, 0, 500, 100}, {0, 0, 500, 100}};
  enum { NONE, HELD, ROCK_ONLY, EVERY, SHORT, SPENT };
  const struct { const char* what; XYZ rel; int set, blast, bullets; AI_STATE state; int weapon; } rows[] = {
      {"7 away, 15 degrees off", {-7 * std::sin(rad(15)), 0, -7 * std::cos(rad(15))}, 0, NONE, 1, AS_SEEKTARGET, 1},
      {"7 away, 25 degrees off", {-7 * std::sin(rad(25)), 0, -7 * std::cos(rad(25))}, 1, NONE, 0, AS_SEEKTARGET, 1},
      {"5 ahead", {0, 0, -5}, 0, NONE, 1, AS_EVADE, 1},
      {"11.5 ahead", {0, 0, -11.5f}, 0, NONE, 1, AS_SEEKTARGET, 1},
      {"12 ahead", {0, 0, -12}, 1, NONE, 0, AS_SEEKTARGET, 2},
      {"under the floor", {0, -2, -std::sqrt(45.0f)}, 1, NONE, 0, AS_SEEKTARGET, 2},
      {"1.8 ahead, a blast held", {0, 0, -1.8f}, 2, HELD, 1, AS_EVADE, 0},
      {"2.2 ahead, a blast held", {0, 0, -2.2f}, 2, HELD, 0, AS_RETREAT, 1},
      {"2.5 ahead, a blast held", {0, 0, -2.5f}, 2, HELD, 1, AS_EVADE, 1},
      {"1.8 ahead, a rock blast held", {0, 0, -1.8f}, 2, ROCK_ONLY, 1, AS_EVADE, 1},
      {"1.8 ahead, only blasts", {0, 0, -1.8f}, 2, EVERY, 0, AS_RETREAT, 1},
      {"3 ahead, short shots", {0, 0, -3}, 0, SHORT, 1, AS_EVADE, 1},
      {"5 ahead, short shots", {0, 0, -5}, 0, SHORT, 0, AS_SEEKTARGET, 1},
      {"5 ahead, the held clip half spent", {0, 0, -5}, 0, SPENT, 1, AS_EVADE, 0},
  };
  BULLET_TYPE blast = types[0], rock_blast = types[0], short_lived = types[0];
  blast.hole_size = rock_blast.hole_size = 1.0f;
  blast.vurk_hit = BHA_EXPLODE, blast.timeout_action = rock_blast.timeout_action = BTA_DISAPPEAR;
  short_lived.life = 500;
  WEAPON_TYPE blast_wt = wt, rock_wt = wt, short_wt = wt;
  blast_wt.ammo_type = &blast, rock_wt.ammo_type = &rock_blast, short_wt.ammo_type = &short_lived;
  for (const auto& r : rows) {
    VURK_* m = setup({16, test::STAND_Y, 24}, r.rel);
    for (int w = 0; w < WEAPON_SLOTS; w++) {
      const bool blasts = r.blast == EVERY || ((r.blast == HELD || r.blast == ROCK_ONLY) && w == 1);
      WEAPON_TYPE* t = r.blast == SHORT ? &short_wt : blasts ? (r.blast == ROCK_ONLY ? &rock_wt : &blast_wt) : &wt;
      m->weapons[w] = {t, 0, r.blast == SPENT && w == 1 ? 2 : 5, loading[r.set][w], 0};
    }
    m->weapon = 1, m->ai_module.state = AS_EVADE;
    AI(m, 10);
    EXPECT_EQ(std::tuple(test::count_live_bullets(), m->ai_module.state, int{m->weapon}),
              std::tuple(r.bullets, r.state, r.weapon)) << r.what;
  }
}

// A target 10 ahead, shot with shells of 0.01 units a ms: 1000 ms of flight. Moving 0.1 to
// a side in the 10 ms before, it is led by 10 units to that side, and the vurk turns that
// way; a shell that falls is aimed above, one that rises below. A jump of more than a unit
// (a respawn) is not followed.
TEST_F(ControlTest, LeadsAMovingTargetAndAimsAboveForAFallingShell) {
  const struct { const char* what; float moved_x, gravity, heading_after, pitch_after; } rows[] = {
      {"still", 0, 0, 0, 0},           {"moving right", 0.1f, 0, -3, 0}, {"moving left", -0.1f, 0, 3, 0},
      {"falling shell", 0, 1, 0, 3},   {"rising shell", 0, -1, 0, -3},   {"respawned", 2, 0, 0, 0},
  };
  BULLET_TYPE shell = types[0];
  WEAPON_TYPE shell_wt = wt;
  shell_wt.ammo_type = &shell;
  for (const auto& r : rows) {
    shell.gravity = r.gravity;
    VURK_* m = setup({16, 10, 24}, {0, 0, -10});
    vurk[1].pp = vurk[1].p;
    vurk[1].pp.x -= r.moved_x;
    for (WEAPON& w : m->weapons) w = {&shell_wt, 0, 5, 0, 0};
    AI(m, 10);
    EXPECT_NEAR(m->angle, r.heading_after, 1e-4f) << r.what;
    EXPECT_NEAR(m->angle2, r.pitch_after, 1e-4f) << r.what;
  }
}

// A wall of rock across the arena, its faces half a unit either side of the voxel plane
// `wall_z` (none at -1); the vurk at z 26 faces the target straight ahead. A blast of reach
// 2.5 (kept for targets beyond 3.125) is fired at the wall when the target stands behind it
// within that reach, not when the wall is far in front of it; a gun never shoots at rock.
// When the burst would come back on the shooter it backs off from a target in sight and digs
// towards a hidden one, as it does when the target is too near for any of its blasts: a
// step on and a step back by turns would hold it there for good.
TEST_F(ControlTest, BlastsTargetsBehindCoverFromASafeDistance) {
  const struct { const char* what; int wall_z; float target_z; bool blast; int bullets; AI_STATE state; bool dug; } rows[] = {
      {"blast, the target just behind the wall", 17, 16, true, 1, AS_SEEKTARGET, false},
      {"gun, the target just behind the wall", 17, 16, false, 0, AS_SEEKTARGET, false},
      {"blast, the wall far in front of the target", 21, 16, true, 0, AS_SEEKTARGET, false},
      {"blast, the wall near the shooter", 23, 22, true, 0, AS_EVADE, true},
      {"blast, the target in sight, bursting too near", -1, 22.4f, true, 0, AS_RETREAT, false},
      {"blast, the target in sight, bursting clear", -1, 21.5f, true, 1, AS_EVADE, false},
      {"blast, the target too near behind rock", 24, 23.5f, true, 0, AS_SEEKTARGET, true},
  };
  BULLET_TYPE blast = types[0];
  blast.hole_size = 2.0f, blast.vurk_hit = BHA_EXPLODE, blast.wall_hit = BHA_EXPLODE;
  WEAPON_TYPE blast_wt = wt;
  blast_wt.ammo_type = &blast;
  for (const auto& r : rows) {
    VURK_* m = setup({16, test::STAND_Y, 26}, {0, 0, r.target_z - 26});
    for (int x = 0; x < VOXEL_SIZE && r.wall_z >= 0; x++)
      for (int y = 0; y < VOXEL_SIZE; y++) voxel[voxel_index(x, y, r.wall_z)].value = 1.0f;
    reset_octtree_flags();
    build_surface();
    for (WEAPON& w : m->weapons) w = {r.blast ? &blast_wt : &wt, 0, 5, 0, 0};
    m->dig_delay = 0;
    AI(m, 10);
    EXPECT_EQ(std::tuple(test::count_live_bullets(), m->ai_module.state, m->dig_delay > 0),
              std::tuple(r.bullets, r.state, r.dug)) << r.what;
  }
}

// 10 ms at heading 30, backing off straight; without a target the vurk stands.
TEST_F(ControlTest, WalksInAndStrafesSidesEvery900ms) {
  const struct { int target; AI_STATE state; unsigned counter; float di, dk; } rows[] = {
      {1, AS_SEEKTARGET, 0, -a, -b}, {1, AS_EVADE, 450, -b, a}, {1, AS_EVADE, 0, b, -a},
      {1, AS_EVADE, 2250, -b, a},    {1, AS_RETREAT, 0, a, b},        {0, AS_SEEKTARGET, 0, 0, 0},
  };
  for (const auto& r : rows) {
    VURK_* m = setup({16, 10, 16}, {0, 0, -20});
    m->ai_module = {r.counter, 0, r.target ? &vurk[1] : nullptr, r.state, 0.0f}, m->angle = 30;
    IJK step = {0.1f, 0.2f, 0.3f};
    ai_find_movement_vector(m, &step, 10);
    test::expect_near(step, {0.1f + r.di, 0.2f, 0.3f + r.dk}, 1e-6f);
    EXPECT_EQ(m->animation, r.target) << r.state << " " << r.counter;
  }
}

// The target stands 20 away, straight ahead, so the vurk neither turns nor fires. Rows: closing
// in, no closer, strafing, not moved, past 500, and past 500 with the dig not ready.
TEST_F(ControlTest, StuckTimeGrowsAndDigsOutPast500ms) {
  const struct { int evade; float distance; int moved; unsigned stuck, stuck_after; int dig, dig_after; } rows[] = {
      {0, 20.5f, 1, 0, 0, 0, 0},   {0, 20, 1, 0, 10, 0, 0},           {1, 20, 1, 0, 0, 0, 0},
      {0, 100, 0, 490, 500, 0, 0}, {0, 100, 0, 491, 0, 0, DIG_DELAY}, {0, 100, 0, 491, 501, 300, 300},
  };
  for (const auto& r : rows) {
    VURK_* m = setup({16, 10, 26}, {0, 0, -20});
    m->ai_module = {0, r.stuck, nullptr, r.evade ? AS_EVADE : AS_SEEKTARGET, r.distance}, m->dig_delay = r.dig;
    if (r.moved) m->pp.z += 0.01f;
    AI(m, 10);
    EXPECT_EQ(std::tuple(m->ai_module.stuck_counter, m->dig_delay, m->ai_module.distance),
              std::tuple(r.stuck_after, r.dig_after, 20.0f)) << &r - rows;
  }
}

}  // namespace
}  // namespace vurkhold
