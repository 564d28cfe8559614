// match: one frame's order and ageing as a player sees them, the winner's rules, and set-up:
// every field a match leaves behind reset, a failed level load, a level of one empty point.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "control/control.h"
#include "geometry/collision_world.h"
#include "match/match.h"
#include "shell/shell.h"
#include "support/arena.h"
#include "terrain/terrain.h"
#include "world/world.h"

namespace vurkhold {
namespace {

using test::STAND_Y;

float length(IJK v) { return give_vector_lenght(&v); }
float gap(XYZ a, XYZ b) { return give_distance(&a, &b); }

class OneFrame : public test::ArenaTest {
 protected:
  OneFrame() {
    int dx, dy;
    platform::mouse_offset(&dx, &dy);  // motion left over from earlier tests would turn vurk 0
  }
  WEAPON_TYPE gun = {nullptr, nullptr, 5, 100, 300, &types[1], 1, 0, 0.01f, nullptr};
  const test::KeepGlobals frag_limit_{FRAG_LIMIT};
};

// One frame of 80 ms: every bullet, explosion, particle, light and timer moves on by 80 ms
// once, the slot not selected not at all.
TEST_F(OneFrame, EveryObjectAndTimerAgesExactlyOnce) {
  VURK_* m = test::place_vurk(0, {8, STAND_Y, 8});
  m->weapons[0] = m->weapons[1] = {&gun, 0, 0, 300, 100};
  m->dig_delay = 100;
  VURK_* loaded = test::place_vurk(3, {16, STAND_Y, 24});
  loaded->team = 0, loaded->weapons[0] = {&gun, 0, 0, 80, 300};  // reloaded this frame, and ready at once
  VURK_* dead = test::place_vurk(1, {16, 10, 16});
  dead->alive = 0, dead->respawn_delay = 1000;
  VURK_* bot = test::place_vurk(2, {24, STAND_Y, 24});
  bot->team = 0, bot->control = AI;  // no enemy alive: the computer player only keeps time
  types[0].light_range = 2.0f;
  add_bullet({16, 20, 16}, {0.01f, 0, 0}, &types[0], 0);
  add_explosion({20, 20, 20}, 1.0f);
  const XYZ at = {10, 10, 10};
  add_particle(&at, nullptr, red, 1000);
  particle[0].life = 500, particle[0].rotation = 350, radar_angle = 359.5f;
  game_logic(80);
  test::expect_checks({{"bullet time", bullet[0].time, 80}, {"bullet flight", bullet[0].p.x, 16.8},
                       {"bullet light", light[4].p.x, 16.8}, {"explosion time", explosion[0].time, 0.08},
                       {"explosion frame", explosion[0].frame, 1},
                       {"explosion light", light[5].range, 5 * std::sin(3.141592 * 0.08)},
                       {"particle life", particle[0].life, 420},
                       {"particle fades by the life before", particle[0].color[3], 0.5},
                       {"particle spin, past a turn", particle[0].rotation, 22},
                       {"radar, past a turn", radar_angle, 359.5 + 80.0 / 75 - 360},
                       {"weapon delay", m->weapons[0].delay, 20}, {"weapon loading", m->weapons[0].loading, 220},
                       {"slot not selected", m->weapons[1].loading + m->weapons[1].delay, 400},
                       {"dig delay", m->dig_delay, 20},
                       {"reloaded", loaded->weapons[0].ammo + loaded->weapons[0].loading + loaded->weapons[0].delay, 5},
                       {"respawn delay", dead->respawn_delay, 920}, {"idle animation", m->animations[0].frame, 3.4},
                       {"computer player's clock", bot->ai_module.counter, 80}});
}

// One frame of 20 ms. Player 2 holds H (turn), W (walk) and shift (jump); player 1 holds
// fire. Vurk 0's bullet in slot 1 meets vurk 2 on its last life, a rocket in slot 2 meets
// the floor, and a bullet in slot 0 emits one into slot 3. The frag limit is 1.
TEST_F(OneFrame, InputBulletsVurksExplosionsParticlesThenTheWinner) {
  FRAG_LIMIT = 1;
  for (int k : {int{'H'}, int{'W'}, VK_SHIFT, VK_LBUTTON}) test::hold_key(k);
  VURK_* one = test::place_vurk(0, {8, STAND_Y, 8});
  one->control = human_control;
  one->weapons[0] = {&gun, 0, 5, 0, 0};
  VURK_* two = test::place_vurk(1, {24, STAND_Y, 8});
  two->control = human_control, two->find_movement_vector = human_movement_vector;
  VURK_* prey = test::place_vurk(2, {16, 10, 16});
  prey->lives = 1, prey->life = 5;
  types[0].emit = types[0].emit_amount = 1, types[0].emit_rate = 10, types[0].emit_speed = 0.01f;
  BULLET_TYPE lethal = test::plain_bullet_type(), rocket = test::plain_bullet_type();
  lethal.vurk_hit = BHA_DAMAGE, lethal.damage = 10, rocket.wall_hit = BHA_EXPLODE, rocket.hole_size = 1.0f;
  add_bullet({16, 20, 8}, {0, 0, 0}, &types[0], 3);
  add_bullet({14, 10, 16}, {0.1f, 0, 0}, &lethal, 0);
  add_bullet({24.3f, 3, 24.2f}, {0, -0.05f, 0}, &rocket, 3);
  game_logic(20);
  const float turned = rad(3.5f);  // 0.175 degrees a ms
  test::expect_checks({{"player 2 walks along the heading turned this frame", two->p.x, 24 - 0.04 * std::sin(turned)},
                       {"player 2 walks", two->p.z, 8 - 0.04 * std::cos(turned)},
                       {"the jump key is read before the jump", two->p.y, STAND_Y + 0.1},
                       {"a fired bullet waits at the muzzle", bullet[4].p.z, 8 - 0.49},
                       {"a fired bullet has not aged", bullet[4].time, 0},
                       {"an emitted bullet flies at once", gap(bullet[3].p, bullet[0].p), 0.2},
                       {"an emitted bullet ages at once", bullet[3].time, 20},
                       {"the prey dies in the frame it is hit", prey->alive + prey->lives, 0},
                       {"its frag counts at once", team_frags[0], 1}, {"and wins", winner, 0},
                       {"the blast ages in its own frame", explosion[0].time, 0.02},
                       {"blood and death spray", test::count_live_particles(), 51},
                       {"age in their own frame", particle[0].life + particle[50].life, 2 * 4980}});
}

// 50 ms frames of player 2: W held for two frames, then let go. The range running this
// frame is the one the last frame chose; walking chooses 1, standing falls back to 0.
TEST_F(OneFrame, TheWalkAnimationRunsWrapsAndFallsBackToIdle) {
  VURK_* m = test::place_vurk(1, {16, STAND_Y, 16});
  m->control = human_control, m->find_movement_vector = human_movement_vector;
  m->animations[0].frame = 38.5f, m->animations[1].frame = 68.0f;
  const struct { int walk; float idle, walking; int animation; } steps[] = {
      {1, 1.0f, 68.0f, 1},  // 38.5 + 1.5 reaches the end, 40: back by 39
      {1, 1.0f, 69.5f, 1},
      {0, 1.0f, 42.0f, 0},  // 71 is past 70: back by 29
      {0, 2.5f, 42.0f, 0},
  };
  for (const auto& s : steps) {
    test::hold_key('W', s.walk);
    const XYZ before = m->p;
    game_logic(50);
    EXPECT_EQ(gap(m->pp, before), 0.0f);
    EXPECT_EQ(std::tuple(m->animations[0].frame, m->animations[1].frame, m->animation),
              std::tuple(s.idle, s.walking, s.animation)) << &s - steps;
  }
}

// The winner's rules in their order: the four last-one-standing tests, one team left with
// lives, then the frag limit, which overrides them; nothing while one team plays alone.
TEST(MatchWinner, RulesAndTheirOrder) {
  test::WorldPools pools;
  const test::KeepGlobals frag_limit{FRAG_LIMIT};
  const struct { const char* what; int team[4], lives[4], frags[4]; VURK_TYPE type3; int winner; } cases[] = {
      {"one team, everyone else out", {1, 1, 1, 1}, {5, 0, 0, 0}, {0, 0, 0, 0}, MLT_COMPUTER, -1},
      {"one team, frag limit", {2, 2, 2, 2}, {5, 5, 5, 5}, {9, 9, 0, 0}, MLT_COMPUTER, -1},
      {"only an off vurk elsewhere", {0, 0, 0, 3}, {5, 5, 5, 0}, {0, 0, 0, 0}, MLT_OFF, -1},
      {"last one standing", {0, 1, 2, 3}, {0, 0, 4, 0}, {0, 0, 0, 0}, MLT_COMPUTER, 2},
      {"two against one, both out", {3, 3, 1, 1}, {0, 0, 2, 0}, {0, 0, 0, 0}, MLT_OFF, 1},
      {"frag limit", {0, 1, 2, 3}, {5, 5, 5, 5}, {0, 4, 10, 0}, MLT_COMPUTER, 2},
      {"frags of a team add up", {0, 1, 1, 3}, {5, 5, 5, 5}, {0, 6, 4, 0}, MLT_COMPUTER, 1},
      {"two teams at the limit: the higher", {0, 1, 2, 3}, {5, 5, 5, 5}, {10, 0, 0, 10}, MLT_COMPUTER, 3},
      {"frags override the last one standing", {0, 1, 2, 3}, {0, 5, 0, 0}, {10, 0, 0, 0}, MLT_COMPUTER, 0},
  };
  FRAG_LIMIT = 10;
  for (const auto& c : cases) {
    test::make_arena();
    for (int i = 0; i < MAX_VURKS; i++) {
      VURK_* v = test::place_vurk(i, {4.0f + 6.0f * i, 10.0f, 16.0f});
      v->team = static_cast<int8_t>(c.team[i]);
      v->lives = c.lives[i];
      v->frags = c.frags[i];
      v->alive = c.lives[i] >= 1;
    }
    vurk[3].type = c.type3;
    game_logic(16);
    EXPECT_EQ(winner, c.winner) << c.what;
    // Once decided, the match stays decided, though another team reaches the limit next.
    for (VURK_& v : vurk) v.lives = 5, v.frags = c.winner >= 0 && v.team != c.winner ? 10 : v.frags;
    game_logic(16);
    EXPECT_EQ(winner, c.winner) << c.what;
  }
}

// ---- a real match, on the whole game folder loaded once (textures as fake ids) ----

class Match : public test::GameFolderSuite {
 protected:
  void SetUp() override {
    std::snprintf(level_to_use, sizeof level_to_use, "LEVELS\\TEST1.VHL");
    for (int i = 0; i < MAX_VURKS; i++) vurk[i].type = MLT_COMPUTER;
  }
  test::MessageCapture messages_;
  test::TempDir dir_;
};

// Every byte a match may change, scrambled, but what the menu and start-up chose: the
// vurks' number, team, type, item, light, weapon numbers and animation ranges.
void scramble_the_match() {
  for (VURK_& v : vurk) {
    const VURK_ kept = v;
    std::memset(&v, 0x5A, sizeof v);
    v.num = kept.num, v.team = kept.team, v.type = kept.type, v.item = kept.item, v.light = kept.light;
    for (int w = 0; w < WEAPON_SLOTS; w++) v.weapons[w].num = (v.num + 3 * w) % weapons;
    for (int a = 0; a < 2; a++) {
      const ANIMATION& range = kept.animations[a];
      v.animations[a] = {range.start, range.end, range.lenght, 0};
    }
  }
  std::memset(light, 0x5A, sizeof(LIGHT) * MAX_LIGHTS);
  std::memset(bullet, 0x5A, sizeof(BULLET) * MAX_BULLETS);
  std::memset(explosion, 0x5A, sizeof(EXPLOSION) * MAX_EXPLOSIONS);
  std::memset(particle, 0x5A, sizeof(PARTICLE) * MAX_PARTICLES);
  std::memset(bullethole, 0x5A, sizeof(BULLETHOLE) * MAX_BULLETHOLES);
  for (int& t : team_frags) t = 4;
  vurk_to_render_1 = &vurk[3], vurk_to_render_2 = &vurk[2], winner = 2, next_bullet = 17;
}

// Two line-ups: every controller, a vurk switched off, and a human in slot 2, who is as
// human as the first two.
TEST_F(Match, SetUpResetsEveryFieldAMatchLeavesBehind) {
  using Mover = void (*)(VURK_*, IJK*, unsigned);
  using Control = void (*)(VURK_*, unsigned);
  const struct { VURK_TYPE type[4]; Mover mover[4]; Control control[4]; } lineups[] = {
      {{MLT_HUMAN, MLT_HUMAN, MLT_COMPUTER, MLT_OFF},
       {human_movement_vector, human_movement_vector, ai_find_movement_vector, nullptr},
       {human_control, human_control, AI, nullptr}},
      {{MLT_COMPUTER, MLT_INACTIVE, MLT_HUMAN, MLT_INACTIVE},
       {ai_find_movement_vector, nullptr, human_movement_vector},
       {AI, nullptr, human_control}},
  };
  for (const auto& lineup : lineups) {
    for (int i = 0; i < MAX_VURKS; i++) vurk[i].type = lineup.type[i];
    scramble_the_match();
    ASSERT_EQ(game_init(), 1);
    for (int i = 0; i < MAX_VURKS; i++) {
      const VURK_& v = vurk[i];
      const bool off = v.type == MLT_OFF;
      std::vector<test::Check> rows = {
          {"life", v.life, 100}, {"lives", v.lives, off ? 0 : MAX_LIVES}, {"frags", v.frags, 0},
          {"alive", v.alive, !off}, {"tag", v.tag, i}, {"pp at p", gap(v.pp, v.p), 0},
          {"whole x", v.p.x - std::floor(v.p.x), 0}, {"x within 3..31", std::fabs(v.p.x - 17) <= 14, 1},
          {"heading", v.angle, 0}, {"pitch", v.angle2, 0}, {"dig delay", v.dig_delay, 0},
          {"respawn delay", v.respawn_delay, 0}, {"velocity", length(v.movement), 0},
          {"rope", v.rope_state, NRS_IN}, {"rope end", gap(v.rope_p, {0, 0, 0}), 0},
          {"rope speed", length(v.rope_m), 0}, {"jet counter", v.jet_counter, 0}, {"slot", v.weapon, 0},
          {"jump", v.jump, 0}, {"animation", v.animation, 0}, {"idle frame", v.animations[0].frame, 1},
          {"walk frame", v.animations[1].frame, 41}, {"computer clock", v.ai_module.counter, 0},
          {"stuck time", v.ai_module.stuck_counter, 0}, {"target", v.ai_module.target != nullptr, 0},
          {"seeking", v.ai_module.state, AS_SEEKTARGET}, {"distance", v.ai_module.distance, 0},
          {"mover", v.find_movement_vector == lineup.mover[i], 1}, {"control", v.control == lineup.control[i], 1},
          {"light", light[i].alive, !off}, {"light at spawn", off || gap(light[i].p, v.p) == 0, 1},
          {"light range", light[i].range, off ? 50 : CANTLE_LIGHT_RANGE}};
      for (int w = 0; w < WEAPON_SLOTS; w++) {
        const WEAPON& s = v.weapons[w];
        const WEAPON_TYPE& t = weapon_type[(i + 3 * w) % weapons];
        rows.insert(rows.end(), {{"slot's type", s.type == &t, 1}, {"slot's clip", s.ammo, t.ammo_per_clip},
                                 {"slot's timers", s.loading + s.delay, 0}});
      }
      test::expect_checks(rows, "vurk " + std::to_string(i) + ": ");
    }
    const int lit = test::count_alive(light, MAX_LIGHTS);
    const int marks = test::count_alive(bullethole, MAX_BULLETHOLES);
    const int live = test::count_live_bullets() + test::count_alive(explosion, MAX_EXPLOSIONS) +
                     test::count_live_particles();
    test::expect_checks({{"lights on", lit, lineup.type[3] == MLT_OFF ? 3 : 4}, {"marks", marks, 0},
                         {"live bullets, explosions, particles", live, 0}});
    test::expect_checks({{"view 1 follows vurk 0", vurk_to_render_1 == &vurk[0], 1},
                         {"view 2 follows vurk 1", vurk_to_render_2 == &vurk[1], 1},
                         {"team frags", team_frags[0] + team_frags[1] + team_frags[2] + team_frags[3], 0},
                         {"winner", winner, -1}, {"next bullet slot kept", next_bullet, 17}});
  }
}

TEST_F(Match, AFailedLevelLoadLeavesTheMatchAsItWas) {
  ASSERT_EQ(game_init(), 1);
  winner = 1, vurk[2].frags = 7;
  std::snprintf(level_to_use, sizeof level_to_use, "LEVELS\\NO_SUCH.VHL");
  EXPECT_EQ(game_init(), 0);
  EXPECT_EQ(messages_.last(), "ERROR: Can't open file LEVELS\\NO_SUCH.VHL.");
  EXPECT_EQ(std::tuple(winner, vurk[2].frags), std::tuple(1, 7));
}

// With one spawn point the random search gives up and the points are scanned in order; the
// empty point inside the rock, scanned first, is none. A rock reaches as far as its model's
// farthest corner (kept squared) times its size.
TEST_F(Match, ALevelWithOneSpawnPointStartsAndRocksReachAsFarAsTheirModel) {
  const test::KeepGlobals kept{rock_model.max_radius};
  rock_model.max_radius = 0.25f;
  for (int i = 0; i < VOXELS; i++)
    voxel[i].value = i == voxel_index(30, 4, 29) || i == voxel_index(16, 16, 16) ? -1.0f : 1.0f;
  rocks = 1;
  rock[0] = {{16, 16, 16}, nullptr, -2.0f, 0.0f};
  const std::string file = dir_.file("level.vhl");
  ASSERT_EQ(save_level_file(file.c_str(), LEVEL_VERSION_1_0), 1);
  std::snprintf(level_to_use, sizeof level_to_use, "%s", file.c_str());
  ASSERT_EQ(game_init(), 1);
  EXPECT_EQ(std::tuple(gap(vurk[0].p, {30, 4, 29}), rock[0].radius, rock[0].model),
            std::tuple(0.0f, 1.0f, &rock_model));
  rock_model.max_radius = 4.0f;  // from a reach of 1 up, the square itself is taken
  ASSERT_EQ(game_init(), 1);
  EXPECT_EQ(rock[0].radius, 8.0f);
}

}  // namespace
}  // namespace vurkhold
