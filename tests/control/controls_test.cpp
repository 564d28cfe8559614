// human controls: each player's keys for walking and actions, the keyboard look, the view
// and camera keys, and Escape back to the menu.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>

#include "control/control.h"
#include "geometry/collision_world.h"
#include "support/arena.h"
#include "support/test_support.h"
#include "world/world.h"

namespace vurkhold {
namespace {

constexpr int NUMPAD1 = VK_NUMPAD0 + 1, NUMPAD2 = VK_NUMPAD0 + 2, NUMPAD4 = VK_NUMPAD0 + 4;
constexpr int F(int n) { return VK_F1 + n - 1; }

void menu_logic_stand_in(unsigned) {}
void menu_render_stand_in() {}

void hold(const int* held, int n) {
  std::memset(keys, 0, sizeof keys);
  for (int i = 0; i < n && held[i]; i++) keys[held[i]] = 1;
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::make_arena();
    for (int i = 0; i < MAX_VURKS; i++) test::place_vurk(i, {4.0f + 8 * i, 3.005f, 16});
  }
  void TearDown() override {  // the game's globals as they were
    menu_pair = saved_menu;
    install_mode(&saved_mode);
    camera_mode = saved_camera;
    vurk_to_render_1 = &vurk[0];
    vurk_to_render_2 = &vurk[1];
  }
  test::WorldPools pools;
  BULLET_TYPE bt = test::plain_bullet_type();
  WEAPON_TYPE wt = {nullptr, nullptr, 5, 100, 0, &bt, 1, 0, 0.01f, nullptr};  // clips of 5, one pellet a shot
  const MODE_PAIR saved_menu = menu_pair, saved_mode = {logic_func, render_func};
  const CAMERA_MODE saved_camera = camera_mode;
};

TEST_F(ControlsTest, WalkingKeysOfBothPlayers) {
  constexpr float s = 0.02f;  // 10 ms
  const struct { int player, held[2]; float heading; unsigned ft; float di, dk; int animation; } rows[] = {
      {1, {VK_UP}, 0, 10, 0, -s, 1},           {1, {VK_DOWN}, 0, 10, 0, s, 1},
      {1, {VK_LEFT}, 0, 10, -s, 0, 1},         {1, {VK_RIGHT}, 0, 10, s, 0, 1},
      {2, {'W'}, 90, 10, -s, 0, 1},            {2, {'S'}, 90, 10, s, 0, 1},
      {2, {'A'}, 90, 10, 0, s, 1},             {2, {'D'}, 90, 10, 0, -s, 1},
      {1, {VK_UP, VK_LEFT}, 0, 10, -s, -s, 1}, {2, {'W', 'D'}, 45, 10, 0, -s * std::sqrt(2.0f), 1},
      {2, {'W', 'S'}, 30, 10, 0, 0, 1},        {1, {VK_UP}, 0, 0, 0, 0, 1},
      {1, {'W', 'A'}, 0, 10, 0, 0, 0},         {2, {VK_UP, VK_LEFT}, 0, 10, 0, 0, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "player " << r.player << " key " << r.held[0]);
    hold(r.held, 2);
    VURK_* m = &vurk[r.player - 1];
    m->angle = r.heading;
    m->animation = 0;
    IJK movement = {0.5f, 0.7f, -0.25f};
    (r.player == 1 ? find_movement_vector1 : find_movement_vector2)(m, &movement, r.ft);
    test::expect_near(movement, {0.5f + r.di, 0.7f, -0.25f + r.dk}, 1e-6f);
    EXPECT_EQ(m->animation, r.animation);
  }
}

// Jump turns fire into the item, so the weapon never fires with jump held. Each vurk holds
// slot 2 with its jump flag set at the start; a dead one keeps even the flag.
TEST_F(ControlsTest, ActionKeysOfBothPlayers) {
  const int RB = VK_RBUTTON, LB = VK_LBUTTON, ROPE = MI_NINJAROPE, JET = MI_JETPACK;
  const struct { const char* what; int player, held[3], alive, item; ROPE_STATE rope, rope_after;
                 int bullets, jump, thrust, dug, weapon; } rows[] = {
      {"fire", 1, {LB}, 1, ROPE, NRS_IN, NRS_IN, 1, 0, 0, 0, 2},
      {"jump", 1, {RB}, 1, ROPE, NRS_IN, NRS_IN, 0, 1, 0, 0, 2},
      {"rope out", 1, {RB, LB}, 1, ROPE, NRS_IN, NRS_FLYING, 0, 1, 0, 0, 2},
      {"rope flying", 1, {RB, LB}, 1, ROPE, NRS_FLYING, NRS_FLYING, 0, 1, 0, 0, 2},
      {"rope let go", 1, {RB}, 1, ROPE, NRS_ATTACHED, NRS_IN, 0, 1, 0, 0, 2},
      {"jetpack", 1, {RB, LB}, 1, JET, NRS_IN, NRS_IN, 0, 1, 1, 0, 2},
      {"jetpack, fire", 1, {LB}, 1, JET, NRS_IN, NRS_IN, 1, 0, 0, 0, 2},
      {"jetpack, jump", 1, {RB}, 1, JET, NRS_IN, NRS_IN, 0, 1, 0, 0, 2},
      {"dig", 1, {VK_NUMPAD0}, 1, ROPE, NRS_IN, NRS_IN, 0, 0, 0, 1, 2},
      {"slot 0", 1, {NUMPAD1}, 1, ROPE, NRS_IN, NRS_IN, 0, 0, 0, 0, 0},
      {"highest slot", 1, {NUMPAD4, NUMPAD2}, 1, ROPE, NRS_IN, NRS_IN, 0, 0, 0, 0, 3},
      {"dead", 1, {LB, VK_NUMPAD0, NUMPAD4}, 0, ROPE, NRS_IN, NRS_IN, 0, 1, 0, 0, 2},
      {"fire", 2, {VK_SPACE}, 1, ROPE, NRS_IN, NRS_IN, 1, 0, 0, 0, 2},
      {"rope out", 2, {VK_SHIFT, VK_SPACE}, 1, ROPE, NRS_IN, NRS_FLYING, 0, 1, 0, 0, 2},
      {"dig", 2, {'E'}, 1, ROPE, NRS_IN, NRS_IN, 0, 0, 0, 1, 2},
      {"highest slot", 2, {'1', '2'}, 1, ROPE, NRS_IN, NRS_IN, 0, 0, 0, 0, 1},
      {"other's keys", 1, {VK_SPACE, 'E', '4'}, 1, ROPE, NRS_IN, NRS_IN, 0, 0, 0, 0, 2},
      {"other's keys", 2, {RB, VK_NUMPAD0, NUMPAD1}, 1, ROPE, NRS_IN, NRS_IN, 0, 0, 0, 0, 2},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "player " << r.player << ": " << r.what);
    hold(r.held, 3);
    for (int b = 0; b < MAX_BULLETS; b++) bullet[b] = BULLET{};
    VURK_* m = test::place_vurk(r.player - 1, {8, 3.005f, 8});
    for (WEAPON& w : m->weapons) w = {&wt, 0, 5, 0, 0};
    m->alive = r.alive;
    m->weapon = 2;
    m->item = static_cast<ITEM>(r.item);
    m->rope_state = r.rope;
    m->jump = 1;
    m->dig_delay = 0;
    m->angle = 90;
    (r.player == 1 ? control1 : control2)(m, 10);
    EXPECT_EQ(std::tuple(test::count_live_bullets(), m->jump, m->rope_state, m->dig_delay, int{m->weapon}),
              std::tuple(r.bullets, r.jump, r.rope_after, r.dug ? DIG_DELAY : 0, r.weapon));
    EXPECT_FLOAT_EQ(m->movement.j, r.thrust ? 0.00015f : 0.0f);
    if (r.rope != r.rope_after && r.rope_after == NRS_FLYING) {  // from the body along the aim
      test::expect_near(m->rope_p, m->p, 0.0f);
      test::expect_near(m->rope_m, {-0.025f, 0, 0}, 1e-7f);
    }
  }
}

// Vurk 1 looks with U H J K; vurk 0 (no mouse motion here) only has its pitch clamped.
TEST_F(ControlsTest, KeyboardLookAndPitchLimits) {
  const struct { int held[2]; float angle, pitch; unsigned ft; float angle_after, pitch_after; } rows[] = {
      {{'U'}, 0, 0, 100, 0, 17.5f},     {{'J'}, 0, 0, 100, 0, -17.5f},     {{'U'}, 0, 80, 100, 0, 90},
      {{'J'}, 0, -85, 100, 0, -90},     {{'H'}, 1000, 0, 100, 1017.5f, 0}, {{'K'}, 0, 0, 100, -17.5f, 0},
      {{'U', 'H'}, 5, 6, 0, 5, 6},      {{}, 0, 120, 100, 0, 90},          {{VK_UP, VK_LEFT}, 7, 8, 100, 7, 8},
  };
  centerX = 320;
  centerY = 240;
  for (const auto& r : rows) {
    hold(r.held, 2);
    vurk[1].angle = r.angle;
    vurk[1].angle2 = r.pitch;
    vurk[0].angle = 700;
    vurk[0].angle2 = 100;
    game_input(r.ft);
    EXPECT_FLOAT_EQ(vurk[1].angle, r.angle_after) << r.held[0] << " " << r.pitch;
    EXPECT_FLOAT_EQ(vurk[1].angle2, r.pitch_after) << r.held[0] << " " << r.pitch;
    EXPECT_EQ(std::tuple(vurk[0].angle, vurk[0].angle2, mpos.x, mpos.y), std::tuple(700.0f, 90.0f, 320, 240));
  }
}

TEST_F(ControlsTest, ViewKeysSkipVurksOutOfTheMatchAndTheLastHeldWins) {
  const struct { int held[2], off, view1, view2; } rows[] = {
      {{F(3)}, -1, 2, 1}, {{F(3)}, 2, 0, 1},       {{F(2), F(4)}, -1, 3, 1}, {{F(2), F(4)}, 3, 1, 1},
      {{F(8)}, -1, 0, 3}, {{F(6), F(7)}, 2, 0, 1}, {{F(4), F(5)}, -1, 3, 0},
  };
  for (const auto& r : rows) {
    for (int i = 0; i < MAX_VURKS; i++) vurk[i].type = i == r.off ? MLT_OFF : MLT_INACTIVE;
    vurk_to_render_1 = &vurk[0];
    vurk_to_render_2 = &vurk[1];
    hold(r.held, 2);
    game_input(10);
    EXPECT_EQ(std::tuple(vurk_to_render_1, vurk_to_render_2), std::tuple(&vurk[r.view1], &vurk[r.view2]))
        << r.held[0] << " " << r.held[1] << " off " << r.off;
  }
}

TEST_F(ControlsTest, F9TogglesOncePerKeyDownAndEscapeInstallsTheMenu) {
  camera_mode = CM_FIRST_PERSON;
  const CAMERA_MODE expected[] = {CM_THIRD_PERSON, CM_THIRD_PERSON, CM_FIRST_PERSON};
  for (int f = 0; f < 3; f++) {
    if (f != 1) keys[F(9)] = 1;  // a key-down message before frames 0 and 2 only
    game_input(10);
    EXPECT_EQ(std::tuple(camera_mode, keys[F(9)]), std::tuple(expected[f], 0)) << f;
  }
  menu_pair = {menu_logic_stand_in, menu_render_stand_in};
  logic_func = nullptr;
  render_func = nullptr;
  game_input(10);
  EXPECT_EQ(logic_func, nullptr);  // Escape not held
  keys[VK_ESCAPE] = 1;
  game_input(10);
  EXPECT_EQ(logic_func, menu_logic_stand_in);
  EXPECT_EQ(render_func, menu_render_stand_in);
}

}  // namespace
}  // namespace vurkhold
