// match: set-up on real and degenerate levels, the winner's rules and their order, the
// particles' frame, and the same seed giving the same world frame by frame.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "control/control.h"
#include "match/match.h"
#include "shell/shell.h"
#include "support/arena.h"
#include "support/test_support.h"
#include "terrain/terrain.h"
#include "world/world.h"

namespace vurkhold {
namespace {

// The whole game folder loaded once (textures as fake ids), as a real start does.
class Match : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    textures_ = new test::FakeTextures;
    cwd_ = new test::KeepWorkingDir;
    no_sound = 1;
    ASSERT_EQ(chdir(VURK_GAME_DIR), 0);
    ASSERT_EQ(initialize(), 1);
  }
  static void TearDownTestSuite() {
    clean_up();
    no_sound = 0;
    delete cwd_;
    delete textures_;
  }
  void SetUp() override {
    std::snprintf(level_to_use, sizeof level_to_use, "LEVELS\\TEST1.VHL");
    for (int i = 0; i < MAX_VURKS; i++) {
      vurk[i].type = MLT_COMPUTER;
      vurk[i].team = static_cast<int8_t>(i);
    }
  }
  // A level of the given field written to a scratch folder and chosen for the match.
  void use_level(float (*value)(int x, int y, int z)) {
    for (int z = 0; z < VOXEL_SIZE; z++)
      for (int y = 0; y < VOXEL_SIZE; y++)
        for (int x = 0; x < VOXEL_SIZE; x++) voxel[voxel_index(x, y, z)].value = value(x, y, z);
    rocks = 0;
    const std::string path = dir_.file("level.vhl");
    ASSERT_EQ(save_level_file(path.c_str(), LEVEL_VERSION_1_0), 1);
    std::snprintf(level_to_use, sizeof level_to_use, "%s", path.c_str());
  }

  static test::FakeTextures* textures_;
  static test::KeepWorkingDir* cwd_;
  test::MessageCapture messages_;
  test::TempDir dir_;
};
test::FakeTextures* Match::textures_ = nullptr;
test::KeepWorkingDir* Match::cwd_ = nullptr;

TEST_F(Match, SetUpResetsEveryPoolAndPlacesEachVurkInEmptySpaceWithItsController) {
  game_srand(5);
  ASSERT_EQ(game_init(), 1);
  for (int i = 0; i < 20; i++) game_logic(16);  // leave bullets, explosions and particles behind
  for (int i = 0; i < MAX_PARTICLES; i++) particle[i].alive = 1;
  bullet[7].alive = explosion[3].alive = bullethole[9].alive = light[8].alive = 1;
  winner = 2;

  const struct {
    VURK_TYPE type;
    void (*control)(VURK_*, unsigned);
    int alive, lives;
  } expected[MAX_VURKS] = {{MLT_HUMAN, control1, 1, MAX_LIVES},
                           {MLT_HUMAN, control2, 1, MAX_LIVES},
                           {MLT_INACTIVE, nullptr, 1, MAX_LIVES},
                           {MLT_OFF, nullptr, 0, 0}};
  for (int i = 0; i < MAX_VURKS; i++) vurk[i].type = expected[i].type;
  ASSERT_EQ(game_init(), 1);
  EXPECT_EQ(test::count_live_bullets() + test::count_live_explosions() + test::count_live_particles(), 0);
  for (int i = 0; i < MAX_BULLETHOLES; i++) EXPECT_EQ(bullethole[i].alive, 0);
  for (int i = 0; i < MAX_LIGHTS; i++) EXPECT_EQ(light[i].alive, i < 3 ? 1 : 0) << "light " << i;
  EXPECT_EQ(winner, -1);
  for (int i = 0; i < MAX_VURKS; i++) {
    const VURK_& v = vurk[i];
    EXPECT_TRUE(v.control == expected[i].control && v.alive == expected[i].alive && v.lives == expected[i].lives) << i;
    for (float c : {v.p.x, v.p.y, v.p.z}) EXPECT_TRUE(c == std::floor(c) && c >= 3.0f && c <= 31.0f) << i;
    EXPECT_LE(voxel[voxel_index(int(v.p.x), int(v.p.y), int(v.p.z))].value, 0.5f) << i;
    EXPECT_EQ(v.weapons[2].ammo, weapon_type[v.weapons[2].num].ammo_per_clip) << i;
  }
  EXPECT_EQ(light[1].p.x, vurk[1].p.x);
}

// A rock reaches as far as its model's farthest corner times its size, and the model keeps
// that distance squared: a model reaching less than 1 must not shrink the rock's reach.
TEST_F(Match, ARockReachesAsFarAsItsModel) {
  const float kept = rock_model.max_radius;
  for (const float squared : {0.25f, 4.0f}) {
    rock_model.max_radius = squared;
    ASSERT_EQ(game_init(), 1);
    ASSERT_GT(rocks, 0);
    const float reach = squared < 1.0f ? std::sqrt(squared) : squared;
    for (int r = 0; r < rocks; r++) EXPECT_FLOAT_EQ(rock[r].radius, reach * std::fabs(rock[r].size)) << squared;
  }
  rock_model.max_radius = kept;
}

TEST_F(Match, AFailedLevelLoadLeavesTheMatchAsItWas) {
  ASSERT_EQ(game_init(), 1);
  winner = 1;
  vurk[2].frags = 7;
  std::snprintf(level_to_use, sizeof level_to_use, "LEVELS\\NO_SUCH.VHL");
  EXPECT_EQ(game_init(), 0);
  EXPECT_EQ(messages_.count(), 1);
  EXPECT_EQ(winner, 1);
  EXPECT_EQ(vurk[2].frags, 7);
}

// Without empty space the random search gives up and the points are scanned in order; the
// only empty point is found, and with none the carved hole makes room.
TEST_F(Match, LevelsWithLittleOrNoEmptySpaceStillStart) {
  use_level([](int x, int y, int z) { return x == 30 && y == 4 && z == 29 ? -1.0f : 1.0f; });
  ASSERT_EQ(game_init(), 1);
  const XYZ only = {30.0f, 4.0f, 29.0f};
  EXPECT_TRUE(vurk[0].p.x == only.x && vurk[0].p.y == only.y && vurk[0].p.z == only.z);

  use_level([](int, int, int) { return 1.0f; });
  ASSERT_EQ(game_init(), 1);
  for (const VURK_& v : vurk) EXPECT_LE(voxel[voxel_index(int(v.p.x), int(v.p.y), int(v.p.z))].value, 0.0f);
}

// The winner's rules in their order: the four last-one-standing tests, one team left with
// lives, then the frag limit, which overrides them; nothing while one team plays alone.
TEST(MatchWinner, RulesAndTheirOrder) {
  test::WorldPools pools;
  const struct {
    const char* what;
    int team[4];
    int lives[4];
    int frags[4];
    VURK_TYPE type3;
    int winner;
  } cases[] = {
      {"one team, everyone else out", {1, 1, 1, 1}, {5, 0, 0, 0}, {0, 0, 0, 0}, MLT_COMPUTER, -1},
      {"one team, frag limit", {2, 2, 2, 2}, {5, 5, 5, 5}, {9, 9, 0, 0}, MLT_COMPUTER, -1},
      {"only an off vurk elsewhere", {0, 0, 0, 3}, {5, 5, 5, 0}, {0, 0, 0, 0}, MLT_OFF, -1},
      {"running", {0, 1, 2, 3}, {5, 5, 5, 5}, {3, 3, 3, 3}, MLT_COMPUTER, -1},
      {"last one standing", {0, 1, 2, 3}, {0, 0, 4, 0}, {0, 0, 0, 0}, MLT_COMPUTER, 2},
      {"two against one, the one out", {0, 0, 1, 1}, {3, 2, 0, 0}, {0, 0, 0, 0}, MLT_OFF, 0},
      {"two against one, both out", {3, 3, 1, 1}, {0, 0, 2, 0}, {0, 0, 0, 0}, MLT_OFF, 1},
      {"frag limit", {0, 1, 2, 3}, {5, 5, 5, 5}, {0, 4, 10, 0}, MLT_COMPUTER, 2},
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
      if (c.lives[i] < 1) v->alive = 0;
    }
    vurk[3].type = c.type3;
    game_logic(16);
    EXPECT_EQ(winner, c.winner) << c.what;
    // Once decided, the match stays decided.
    for (VURK_& v : vurk) v.lives = 5;
    game_logic(16);
    EXPECT_EQ(winner, c.winner) << c.what;
  }
  FRAG_LIMIT = 50;
}

// A particle moves only when all three components of its velocity are non-zero, stops on
// the world, passes through vurks, and fades by real division of its life.
TEST(MatchParticles, MoveAgeAndFade) {
  test::WorldPools pools;
  const struct {
    const char* what;
    XYZ p;
    IJK m;
    uint16_t life;
    XYZ after;
    float alpha;
    int alive;
  } cases[] = {
      {"moving on all axes", {10, 10, 10}, {0.01f, 0.01f, 0.01f}, 1000, {10.1f, 10.1f, 10.1f}, 1.0f, 1},
      {"one component zero", {10, 10, 10}, {0.01f, 0.0f, 0.01f}, 1000, {10, 10, 10}, 1.0f, 1},
      {"onto the floor", {10, 3.6f, 10}, {0.001f, -0.2f, 0.001f}, 1000, {10.0055f, 2.5f, 10.0055f}, 1.0f, 1},
      {"through a vurk", {18.0f, 10, 16}, {0.2f, 0.001f, 0.001f}, 1000, {20.0f, 10.01f, 16.01f}, 1.0f, 1},
      {"no life to fade", {10, 10, 10}, {0, 0, 0}, 0, {10, 10, 10}, 1.0f, 0},
  };
  for (const auto& c : cases) {
    test::make_arena();
    test::place_vurk(0, {19.0f, 10.0f, 16.0f});
    add_particle(&c.p, &c.m, red, c.life);
    game_logic(10);
    const PARTICLE& q = particle[0];
    EXPECT_NEAR(q.p.x, c.after.x, 1e-4) << c.what;
    EXPECT_NEAR(q.p.y, c.after.y, 1e-4) << c.what;
    EXPECT_NEAR(q.p.z, c.after.z, 1e-4) << c.what;
    EXPECT_EQ(q.alive, c.alive) << c.what;
    if (c.alive) {
      EXPECT_FLOAT_EQ(q.rotation, 4.0f) << c.what;
    }
  }
  // Alpha is the life left before this frame over the whole life: 750 of 1000 after 250 ms.
  test::make_arena();
  const XYZ at = {10, 10, 10};
  add_particle(&at, nullptr, red, 1000);
  for (int i = 0; i < 2; i++) game_logic(250);
  EXPECT_FLOAT_EQ(particle[0].color[3], 0.75f);
  EXPECT_EQ(particle[0].life, 500);
  particle[0].rotation = 359.0f;
  game_logic(200);
  EXPECT_FLOAT_EQ(particle[0].rotation, 79.0f);  // 359 + 80, less a turn
  game_logic(200);
  game_logic(100);
  EXPECT_EQ(particle[0].alive, 0);  // life 0 is gone
}

TEST(MatchRadar, TurnsOneDegreeEvery75Milliseconds) {
  test::WorldPools pools;
  test::make_arena();
  radar_angle = 0.0f;
  game_logic(30);
  EXPECT_FLOAT_EQ(radar_angle, 0.4f);
  radar_angle = 359.9f;
  game_logic(75);
  EXPECT_NEAR(radar_angle, 0.9f, 1e-3);
}

// Same seed, level and frame times: the same world every frame. Another seed parts ways.
TEST_F(Match, TheSameSeedReplaysTheSameWorldFrameByFrame) {
  auto play = [](unsigned seed) {
    game_srand(seed);
    next_bullet = next_explosion = next_particle = next_bullethole = 0;  // as a fresh start has them
    radar_angle = 0.0f;
    EXPECT_EQ(game_init(), 1);
    std::vector<uint64_t> hashes;
    for (int frame = 0; frame < 1500; frame++) {
      game_logic(frame % 7 == 0 ? 40 : 16);
      hashes.push_back(give_world_hash());
    }
    return hashes;
  };
  const std::vector<uint64_t> first = play(11);
  const std::vector<uint64_t> second = play(11);
  ASSERT_EQ(first.size(), second.size());
  for (size_t i = 0; i < first.size(); i++) ASSERT_EQ(first[i], second[i]) << "frame " << i;
  EXPECT_NE(play(12).back(), first.back());
  char problem[120];
  EXPECT_EQ(check_world(problem, sizeof problem), 1) << problem;
}

}  // namespace
}  // namespace vurkhold
