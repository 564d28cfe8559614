// commands: this computer's keys, mouse and pads turned into each vurk's command, the
// commands' bytes and what a decoder refuses, a vurk of any number played by its command,
// and the fixed tick's steps.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "control/control.h"
#include "match/match.h"
#include "support/arena.h"
#include "world/world.h"

namespace vurkhold {
namespace {

using enum platform::PadButton;
using enum platform::PadAxis;

bool same(const VURK_COMMAND& a, const VURK_COMMAND& b) {
  return a.buttons == b.buttons && a.weapon == b.weapon && a.mouse_dx == b.mouse_dx && a.mouse_dy == b.mouse_dy &&
         std::memcmp(a.stick, b.stick, sizeof a.stick) == 0;
}

class Commands : public test::ArenaTest {
 protected:
  Commands() {
    test::release_keys();
    match_input = {};
    for (int p = 0; p < HUMAN_PLAYERS; p++) set_held_pad_buttons(p, 0);
    menu_pair = {nullptr, nullptr};
  }
  ~Commands() override {
    test::release_keys();
    match_input = {};
    for (int p = 0; p < HUMAN_PLAYERS; p++) set_held_pad_buttons(p, 0);
    set_match_tick(0);
  }
  const test::KeepGlobals globals_{vurk_command, logic_func, render_func};
};

// Which vurk's command each device reaches. Types: H human, C computer. The pads of
// players 1 and 2 go to the first and second human vurk; the keys and the mouse to vurks 0
// and 1 whatever plays them, so a computer vurk 0 still carries the mouse.
TEST_F(Commands, EachDeviceReachesItsPlayersVurk) {
  constexpr uint16_t M = VC_MOUSE, L = VC_KEY_LOOK, P = VC_PAD;
  const struct { const char* types; std::vector<int> held; int dx, pad0_button, pad1_x;
                 uint16_t buttons[4]; uint8_t weapon[4]; int16_t look_x[4]; } rows[] = {
      {"HCCC", {}, 0, -1, 0, {M | P, L, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {"HHCC", {VK_UP, VK_LBUTTON, VK_NUMPAD0 + 2, VK_NUMPAD0 + 4, 'A', 'U', 'K', '1'}, 7, -1, 0,
       {M | P | VC_FORWARD | VC_FIRE, L | P | VC_LEFT | VC_LOOK_UP | VC_TURN_RIGHT, 0, 0}, {4, 1, 0, 0}, {0, 0, 0, 0}},
      {"CHCC", {VK_RBUTTON, VK_SHIFT, 'H', 'J', 'E'}, 0, PAD_X, 32767,
       {M | VC_JUMP, L | P | VC_JUMP | VC_DIG | VC_TURN_LEFT | VC_LOOK_DOWN, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {"HCHC", {VK_DOWN, VK_RIGHT, 'W', VK_SPACE}, -3, PAD_Y, -16384,
       {M | P | VC_BACKWARD | VC_RIGHT | VC_FIRE | VC_JUMP, L | VC_FORWARD | VC_FIRE, P, 0}, {0, 0, 0, 0},
       {0, 0, -16384, 0}},
      {"CCCC", {VK_UP, 'S'}, 5, PAD_X, 100, {M | VC_FORWARD, L | VC_BACKWARD, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &r - rows);
    for (int i = 0; i < MAX_VURKS; i++) vurk[i].type = r.types[i] == 'H' ? MLT_HUMAN : MLT_COMPUTER;
    test::release_keys();
    for (int k : r.held) test::hold_key(k);
    match_input = {};
    match_input.mouse_dx = r.dx, match_input.mouse_dy = 2 * r.dx;
    if (r.pad0_button >= 0) match_input.pad[0].buttons = 1u << r.pad0_button;
    match_input.pad[1].axis[PAD_RIGHT_X] = static_cast<float>(r.pad1_x) / AXIS_STEPS;
    VURK_COMMAND c[MAX_VURKS];
    make_commands(c);
    for (int i = 0; i < MAX_VURKS; i++) {
      EXPECT_EQ(std::tuple(c[i].buttons, c[i].weapon, c[i].stick[VC_LOOK_X]),
                std::tuple(r.buttons[i], r.weapon[i], r.look_x[i]))
          << "vurk " << i;
      EXPECT_EQ(std::tuple(c[i].mouse_dx, c[i].mouse_dy), i == 0 ? std::tuple(r.dx, 2 * r.dx) : std::tuple(0, 0));
    }
    // A step takes the mouse's motion: the next one has none left to give.
    make_commands(c);
    EXPECT_EQ(std::tuple(c[0].mouse_dx, c[0].mouse_dy), std::tuple(0, 0));
  }
}

// Online, a machine's two players are its keys, mouse and pads whatever vurks play them:
// each player's pad goes to that player, even where no vurk of this world is human.
TEST_F(Commands, EachPlayerHasItsOwnDevicesWhicheverVurksAreHuman) {
  for (const char* types : {"HHCC", "CCCC", "CHCC"}) {
    SCOPED_TRACE(types);
    for (int i = 0; i < MAX_VURKS; i++) vurk[i].type = types[i] == 'H' ? MLT_HUMAN : MLT_COMPUTER;
    test::release_keys();
    test::hold_key(VK_UP), test::hold_key('W');
    match_input = {};
    match_input.mouse_dx = 9;
    match_input.pad[1].axis[PAD_RIGHT_X] = 0.5f;
    VURK_COMMAND player[HUMAN_PLAYERS];
    make_player_commands(player);
    EXPECT_EQ(player[0].buttons, VC_MOUSE | VC_PAD | VC_FORWARD);
    EXPECT_EQ(player[0].mouse_dx, 9);
    EXPECT_EQ(player[1].buttons, VC_KEY_LOOK | VC_PAD | VC_FORWARD);
    EXPECT_EQ(player[1].stick[VC_LOOK_X], 16384);
    for (const VURK_& v : vurk) EXPECT_EQ(v.type, types[&v - vurk] == 'H' ? MLT_HUMAN : MLT_COMPUTER);
  }
}

// A key bound in place of another moves the vurk and the old key no longer does; a replay
// that recorded the devices still plays the keys of then, whatever is bound.
TEST_F(Commands, ABoundKeyMovesTheVurkAndRecordedKeysStayAsTheyWere) {
  const test::KeepGlobals kept(bindings, look_settings);
  for (int i = 0; i < MAX_VURKS; i++) vurk[i].type = MLT_HUMAN;
  ASSERT_EQ(bind_key(1, ACT_FORWARD, sc_letter('I')), BIND_DONE);
  ASSERT_EQ(bind_key(0, ACT_FIRE, BIND_MOUSE_RIGHT), BIND_SWAPPED);
  look_settings = {300, 1, {1, 1}, 50};
  const struct { int held; int vurk; uint16_t live, recorded; } rows[] = {
      {'I', 1, VC_FORWARD, 0},
      {'W', 1, 0, VC_FORWARD},
      {VK_RBUTTON, 0, VC_FIRE, VC_JUMP},
      {VK_LBUTTON, 0, VC_JUMP, VC_FIRE},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.held);
    test::release_keys();
    test::hold_key(r.held);
    match_input = {};
    match_input.mouse_dx = 3, match_input.mouse_dy = 4;
    VURK_COMMAND live[MAX_VURKS], recorded[MAX_VURKS];
    make_commands(live);
    match_input.mouse_dx = 3, match_input.mouse_dy = 4;
    make_recorded_commands(recorded);
    const uint16_t keys_only = VC_FORWARD | VC_FIRE | VC_JUMP;
    EXPECT_EQ(std::tuple(live[r.vurk].buttons & keys_only, recorded[r.vurk].buttons & keys_only),
              std::tuple(r.live, r.recorded));
    EXPECT_EQ(std::tuple(live[0].mouse_dx, live[0].mouse_dy, recorded[0].mouse_dx, recorded[0].mouse_dy),
              std::tuple(9, -12, 3, 4));
  }
}

// The look settings where commands are made: the mouse scaled with the fraction carried to
// the next step and inverted; a pad's look stick inverted and scaled beyond the dead zone.
TEST_F(Commands, LookSettingsScaleAndInvertTheMouseAndThePads) {
  const test::KeepGlobals kept(look_settings);
  for (int i = 0; i < MAX_VURKS; i++) vurk[i].type = i < 2 ? MLT_HUMAN : MLT_COMPUTER;
  const struct { LOOK_SETTINGS look; int dx, dy; float look_x, look_y; int32_t mouse[4]; int16_t stick[2][2]; } rows[] = {
      {DEFAULT_LOOK, 3, -7, 1.0f, 0.5f, {3, -7, 3, -7}, {{32767, 16384}, {32767, 16384}}},
      {{50, 0, {0, 0}, 100}, 3, -7, 0.0f, 0.0f, {1, -3, 2, -4}, {{0, 0}, {0, 0}}},  // 1.5 then 1.5 + 0.5
      {{10, 0, {0, 0}, 100}, 4, 4, 0.0f, 0.0f, {0, 0, 0, 0}, {{0, 0}, {0, 0}}},    // 0.4 then 0.8: no whole pixel
      {{200, 1, {0, 0}, 100}, 3, -7, 0.0f, 0.0f, {6, 14, 6, 14}, {{0, 0}, {0, 0}}},
      {{100, 0, {0, 1}, 100}, 0, 0, 0.0f, 0.5f, {0, 0, 0, 0}, {{0, 16384}, {0, -16384}}},
      // The travel beyond the dead zone (0.25) halved: 0.25 + 0.75 / 2 of it.
      {{100, 0, {0, 0}, 50}, 0, 0, 1.0f, 0.0f, {0, 0, 0, 0}, {{20479, 0}, {20479, 0}}},
      // Doubled: a third of the way (0.5 as a pad gives it, 16384 steps) becomes two thirds;
      // the end stays the end.
      {{100, 0, {1, 0}, 200}, 0, 0, 0.0f, 0.5f, {0, 0, 0, 0}, {{0, -24576}, {0, 24576}}},
      {{100, 0, {0, 0}, 200}, 0, 0, 1.0f, 0.0f, {0, 0, 0, 0}, {{32767, 0}, {32767, 0}}},
      {{100, 0, {0, 0}, 50}, 0, 0, 0.2f, 0.0f, {0, 0, 0, 0}, {{6553, 0}, {6553, 0}}},  // inside the dead zone
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &r - rows);
    look_settings = r.look;
    VURK_COMMAND c[MAX_VURKS];
    int32_t mouse[4];
    for (int step = 0; step < 2; step++) {
      match_input = {};
      match_input.mouse_dx = r.dx, match_input.mouse_dy = r.dy;
      match_input.pad[step].axis[PAD_RIGHT_X] = r.look_x, match_input.pad[step].axis[PAD_RIGHT_Y] = r.look_y;
      make_commands(c);
      mouse[2 * step] = c[0].mouse_dx, mouse[2 * step + 1] = c[0].mouse_dy;
      EXPECT_EQ(std::tuple(c[step].stick[VC_LOOK_X], c[step].stick[VC_LOOK_Y]),
                std::tuple(r.stick[step][0], r.stick[step][1])) << "pad " << step;
    }
    EXPECT_EQ(std::vector<int32_t>(mouse, mouse + 4), std::vector<int32_t>(r.mouse, r.mouse + 4));
    default_controls();  // and the carry with them
  }
}

// The fewest bytes for each command, and every byte sequence it can't be refused back.
TEST(CommandBytes, EachCommandComesBackAsItWent) {
  VURK_COMMAND full = {0xFFFF, 4, -MAX_COMMAND_MOUSE, MAX_COMMAND_MOUSE, {-32767, 32767, 1, -1}};
  const struct { VURK_COMMAND c; int bytes; } rows[] = {
      {{}, 1},
      {{VC_MOUSE, 0, 0, 0, {}}, 3},
      {{VC_FORWARD | VC_FIRE, 2, 0, 0, {}}, 4},
      {{0, 0, -5, 0, {}}, 9},
      {{0, 0, 0, 0, {0, 0, 0, -9}}, 5},
      {{VC_PAD, 0, 0, 0, {3, 0, 0, 0}}, 7},
      {full, COMMAND_BYTES},
  };
  for (const auto& r : rows) {
    uint8_t bytes[COMMAND_BYTES + 4];
    const int n = encode_command(r.c, bytes);
    VURK_COMMAND back = {1, 1, 1, 1, {1, 1, 1, 1}};
    EXPECT_EQ(std::tuple(n, command_size(bytes[0]), decode_command(bytes, n, &back)), std::tuple(r.bytes, n, n))
        << &r - rows;
    EXPECT_TRUE(same(back, r.c)) << &r - rows;
    EXPECT_EQ(decode_command(bytes, n - 1, &back), 0) << "cut short, row " << &r - rows;
  }
}

TEST(CommandBytes, WhatNoGameMakesIsRefused) {
  auto le32 = [](int32_t v) {
    std::string s(4, '\0');
    std::memcpy(s.data(), &v, 4);
    return s;
  };
  const struct { const char* what; std::string bytes; } rows[] = {
      {"nothing", ""},
      {"an unknown field", "\x20"},
      {"buttons present but none held", std::string("\x01\x00\x00", 3)},
      {"slot 0 present", std::string("\x02\x00", 2)},
      {"slot 5", "\x02\x05"},
      {"the mouse beyond its travel", "\x04" + le32(MAX_COMMAND_MOUSE + 1) + le32(0)},
      {"the mouse beyond it the other way", "\x04" + le32(0) + le32(-MAX_COMMAND_MOUSE - 1)},
      {"the most negative mouse a packet can hold", "\x04" + le32(INT32_MIN) + le32(0)},
      {"a stick past its end", std::string("\x08\x00\x80\x00\x00", 5)},
  };
  for (const auto& r : rows) {
    VURK_COMMAND c = {VC_FIRE, 3, 0, 0, {}};
    EXPECT_EQ(decode_command(reinterpret_cast<const uint8_t*>(r.bytes.data()), static_cast<int>(r.bytes.size()), &c), 0)
        << r.what;
    EXPECT_EQ(std::tuple(c.buttons, c.weapon), std::tuple(uint16_t{VC_FIRE}, uint8_t{3})) << r.what << ": left as it was";
  }
}

// Vurk 3, a human no keyboard reaches, walks, turns, looks and fires by its command alone,
// as vurks 0 and 1 do; its neighbours' empty commands leave them standing.
TEST_F(Commands, AnyVurkFollowsItsCommand) {
  WEAPON_TYPE gun = {nullptr, nullptr, 5, 100, 0, &types[0], 1, 0, 0.01f, nullptr};
  for (int i = 2; i < MAX_VURKS; i++) {
    VURK_* v = test::place_vurk(i, {8.0f + 8 * i, test::STAND_Y, 16});
    v->type = MLT_HUMAN, v->find_movement_vector = human_movement_vector, v->control = human_control;
    v->weapons[0] = {&gun, 0, 5, 0, 0};
  }
  VURK_COMMAND c[MAX_VURKS] = {};
  c[3] = {VC_FORWARD | VC_FIRE | VC_MOUSE, 0, -100, 50, {}};
  match_step(20, c);
  const VURK_& three = vurk[3];
  test::expect_checks({{"turned left", three.angle, 10}, {"looked down", three.angle2, -5},
                       {"fired", three.weapons[0].ammo, 4}, {"walked", three.p.z < 16 - 0.03f, 1},
                       {"vurk 2 stood", vurk[2].p.z, 16}, {"and kept its ammo", vurk[2].weapons[0].ammo, 5}});
}

// Frames of the clock's lengths under a tick of 16 ms: each runs the whole steps its time
// and the rest carried from before give, and a match steps the same whatever the frames.
TEST_F(Commands, TheTickRunsWholeStepsAndCarriesTheRest) {
  const struct { unsigned tick; std::vector<unsigned> frames; int64_t clock; } rows[] = {
      {16, {10, 10, 10}, 16},
      {16, {16, 16, 15}, 32},
      {16, {200}, 192},
      {16, {15, 1, 31, 1}, 48},
      {1, {7, 3}, 10},
      {0, {10, 10, 7}, 27},
  };
  for (const auto& r : rows) {
    test::make_arena();
    match_stats = MATCH_STATS{};
    set_match_tick(r.tick);
    for (unsigned ms : r.frames) game_logic(ms);
    EXPECT_EQ(match_stats.clock, r.clock) << &r - rows;
  }
}

}  // namespace
}  // namespace vurkhold
