// pads: the sticks' dead zone and what a pad asks of its player; virtual pads plugged in,
// driving the human players through a match and kept by them across unplugging, and the
// menu's pages and a won match left by pad.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "control/control.h"
#include "match/match.h"
#include "menu/menu.h"
#include "shell/shell.h"
#include "support/arena.h"

namespace vurkhold {
namespace {

using enum platform::PadButton;
using enum platform::PadAxis;
constexpr uint32_t Y = 1 << PAD_Y, X = 1 << PAD_X, START = 1 << PAD_START, LB = 1 << PAD_LEFT_SHOULDER,
                   RB = 1 << PAD_RIGHT_SHOULDER;

// 100 ms a row, where the right stick's full deflection turns 20 degrees. Rows: both sticks
// just inside the dead zone and the triggers at half; full and half deflection past it; a
// corner; the item; dig, a bumper pressed and one held from the frame before; back; dig and
// back held from the frame before, which go on.
TEST(PadActions, DeadZoneSticksTriggersAndButtons) {
  const struct { float lx, ly, rx, ry, lt, rt; uint32_t held, before;
                 float forward, right, turn, look; int fire, jump, dig, step, back; } rows[] = {
      {0.2f, -0.15f, -0.17f, 0.17f, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {0.3f, 0, 1, 0, 0.51f, 0, 0, 0, 0, 0.0667f, -20, 0, 0, 1, 0, 0, 0},
      {0, 0.625f, 0, -0.625f, 0, 0.51f, 0, 0, -0.5f, 0, 0, 10, 1, 0, 0, 0, 0},
      {1, 1, -1, -1, 0, 0, 0, 0, -0.7071f, 0.7071f, 14.1421f, 14.1421f, 0, 0, 0, 0, 0},
      {0, 0, 0, 0, 0, 0, Y, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0},
      {0, 0, 0, 0, 0, 0, X | RB | LB, LB, 0, 0, 0, 0, 0, 0, 1, 1, 0},
      {0, 0, 0, 0, 0, 0, LB | RB | START, RB, 0, 0, 0, 0, 0, 0, 0, -1, 1},
      {0, 0, 0, 0, 0, 0, X | START, X | START, 0, 0, 0, 0, 0, 0, 1, 0, 1},
  };
  for (const auto& r : rows) {
    const platform::Pad pad = {1, 7, {r.lx, r.ly, r.rx, r.ry, r.lt, r.rt}, r.held};
    const PAD_ACTIONS a = give_pad_actions(pad, r.before, 100);
    test::expect_checks({{"forward", a.forward, r.forward}, {"right", a.right, r.right}, {"turn", a.turn, r.turn},
                         {"look", a.look, r.look}, {"fire", a.fire, r.fire}, {"jump", a.jump, r.jump},
                         {"dig", a.dig, r.dig}, {"step", a.weapon_step, r.step}, {"back", a.back, r.back}},
                        "row " + std::to_string(&r - rows) + ": ");
  }
}

// Pads plugged (+) and unplugged (-) by instance id, 0 among them: the first free player
// takes a new pad, a pad already held is not taken twice, a third waits for nobody.
TEST(PadSlots, PluggedPadsGoToTheFirstFreePlayer) {
  const struct { std::vector<std::pair<char, int32_t>> events; int32_t one, two; } rows[] = {
      {{{'+', 0}, {'+', 5}}, 0, 5},
      {{{'+', 3}, {'+', 3}}, 3, -1},
      {{{'+', 1}, {'+', 2}, {'+', 4}}, 1, 2},
      {{{'+', 1}, {'+', 2}, {'-', 1}, {'+', 4}}, 4, 2},
      {{{'+', 1}, {'+', 2}, {'-', 2}, {'-', 1}, {'+', 6}}, 6, -1},
      {{{'+', 1}, {'-', 7}}, 1, -1},
  };
  const test::KeepGlobals keep{player_pad};
  for (const auto& r : rows) {
    player_pad[0] = player_pad[1] = -1;
    for (auto [plugged, pad] : r.events) plugged == '+' ? pad_plugged(pad) : pad_unplugged(pad);
    EXPECT_EQ(std::tuple(player_pad[0], player_pad[1]), std::tuple(r.one, r.two)) << "row " << &r - rows;
  }
}

void menu_stand_in(unsigned) {}

class PadTest : public test::ArenaTest {
 protected:
  PadTest() {
    player_pad[0] = player_pad[1] = -1;
    menu_pair = {menu_stand_in, nullptr};
    int dx, dy;
    platform::mouse_offset(&dx, &dy);
    pump();
  }
  ~PadTest() override {  // a frame with no pads leaves no pad's buttons held behind
    for (int32_t pad : plugged_) platform::detach_virtual_pad(pad);
    pump();
    gather_match_input();
    make_commands(vurk_command);
  }
  // Every pending event through the shell's handling, as the frame loop does.
  static void pump() {
    platform::Event e;
    while (platform::poll_event(&e)) handle_key_event(e), handle_pad_event(e);
  }
  int32_t plug() {
    const int32_t pad = plugged_.emplace_back(platform::attach_virtual_pad());
    pump();
    return pad;
  }
  std::vector<int32_t> plugged_;
  const test::KeepGlobals globals_{player_pad, menu_pair, logic_func, render_func, menu_page, menu_selection};
};

// 10 frames of 16 ms: the left stick walks forward, the right stick turns right at full
// deflection (32 degrees), the trigger fires; player 2 turns left and fires. Then the first pad is unplugged: player 1
// stands while player 2's pad still turns vurk 1, and the next pad goes to player 1.
TEST_F(PadTest, PadsDriveTheirPlayersAndKeepThemAcrossUnplugging) {
  WEAPON_TYPE gun = {nullptr, nullptr, 50, 1000, 0, &types[0], 1, 0, 0.01f, nullptr};
  for (int i = 0; i < 2; i++) {
    VURK_* v = test::place_vurk(i, {8.0f + 16 * i, test::STAND_Y, 16});
    v->type = MLT_HUMAN, v->weapons[0] = {&gun, 0, 50, 0, 0};
    v->find_movement_vector = human_movement_vector;
    v->control = human_control;
  }
  const int32_t one = plug(), two = plug();
  ASSERT_EQ(std::tuple(player_pad[0], player_pad[1]), std::tuple(one, two));
  for (auto [pad, axis, value] : {std::tuple(one, PAD_LEFT_Y, -1.0f), {one, PAD_RIGHT_X, 1.0f},
                                  {one, PAD_RIGHT_TRIGGER, 1.0f}, {two, PAD_RIGHT_X, -1.0f},
                                  {two, PAD_RIGHT_TRIGGER, 1.0f}})
    ASSERT_TRUE(platform::set_virtual_pad_axis(pad, axis, value));
  pump();
  for (int f = 0; f < 10; f++) game_logic(16);
  test::expect_checks({{"turned right", vurk[0].angle, -32}, {"turned left", vurk[1].angle, 32},
                       {"walked", vurk[0].p.z < 16 - 0.25f, 1}, {"fired", vurk[0].weapons[0].ammo, 49},
                       {"2 fired", vurk[1].weapons[0].ammo, 49}, {"2 stood", vurk[1].p.z, 16}});
  ASSERT_TRUE(platform::detach_virtual_pad(one));
  pump();
  const XYZ stood = vurk[0].p;
  game_logic(16);
  EXPECT_EQ(std::tuple(player_pad[0], player_pad[1]), std::tuple(-1, two));
  test::expect_checks({{"vurk 1 turns", vurk[1].angle, 35.2}, {"vurk 0 stays", vurk[0].angle, -32},
                       {"and stands", vurk[0].p.z, stood.z}});  // a frame's walk is 0.032
  const int32_t three = plug();
  plug();
  EXPECT_EQ(std::tuple(player_pad[0], player_pad[1]), std::tuple(three, two));
}

// Winner -2: in the menu, where the d-pad and A stand for the arrows and Return, and B goes
// back a page. Otherwise in a match, which Start leaves for the menu, and B once a team has won.
TEST_F(PadTest, MenuPagesAndAWonMatchByPad) {
  const struct { int winner, page, line; platform::PadButton button; int page_after, line_after, menu; } rows[] = {
      {-2, 0, 0, PAD_DOWN, 0, 1, 1}, {-2, 0, 2, PAD_B, 0, 2, 1}, {-2, 2, 12, PAD_A, 0, 0, 1},
      {-2, 2, 3, PAD_B, 0, 0, 1},    {-2, 4, 2, PAD_B, 2, 0, 1}, {-2, 3, 40, PAD_B, 0, 0, 1},
      {-1, 3, 4, PAD_B, 3, 4, 0},    {0, 3, 4, PAD_B, 3, 4, 1},  {-1, 3, 4, PAD_START, 3, 4, 1},
  };
  const int32_t pad = plug();
  for (const auto& r : rows) {
    install_mode(&menu_pair);
    if (r.winner > -2) logic_func = game_logic;
    menu_page = r.page, menu_selection = r.line, winner = r.winner;
    ASSERT_TRUE(platform::set_virtual_pad_button(pad, r.button, true));
    pump();
    r.winner > -2 ? (gather_match_input(), game_keys()) : menu_logic(10);
    platform::set_virtual_pad_button(pad, r.button, false), pump();  // else the next press goes unseen
    EXPECT_EQ(std::tuple(menu_page, menu_selection, logic_func == menu_stand_in),
              std::tuple(r.page_after, r.line_after, r.menu == 1)) << &r - rows;
  }
}

}  // namespace
}  // namespace vurkhold
