// balance lab: a kill by a cluster's spark counted for the weapon that fired the cluster,
// computer players deciding on the same world whatever their seat, and the lab itself: its matches are the game's own headless matches, its tables do not
// depend on the number of workers, and a bad option says why.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/arena.h"
#include "support/run_game.h"
#include "control/control.h"
#include "match/match.h"
#include "world/world.h"

namespace vurkhold {
namespace {

constexpr float STAND_Y = 3.005f;  // on the arena's floor

class Counts : public test::ArenaTest {};

// Weapon 5 of vurk `shooter` fires a bomb 3 units beside vurk 0; its first spark flies at
// 0.05 a ms and touches at 60 ms, the second at 0.01 and kills at 260 ms.
TEST_F(Counts, AKillByAClusterSparkIsCountedForTheWeaponThatFiredTheCluster) {
  const struct {
    const char* what;
    int shooter, shooter_team, kills, self_kills;
  } rows[] = {{"an enemy", 2, 2, 1, 0}, {"the victim itself", 0, 0, 0, 1}, {"a teammate", 3, 0, 0, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    test::make_arena();
    match_stats = MATCH_STATS{};
    for (int8_t& w : match_stats.hit_weapon) w = -1;
    VURK_* victim = test::place_vurk(0, {16, STAND_Y, 16});
    if (row.shooter != 0) test::place_vurk(row.shooter, {4, STAND_Y, 28})->team = static_cast<int8_t>(row.shooter_team);
    types[0] = types[1] = test::plain_bullet_type();
    types[0].cluster = 1, types[0].clusters = 2, types[0].cluster_speed = 0.05f;
    types[1].vurk_hit = BHA_DAMAGE, types[1].damage = 60.0f;
    add_bullet({13, STAND_Y, 16}, {0, 0, 0}, &types[0], static_cast<uint8_t>(row.shooter), 5);
    explode_bullet(&bullet[0], nullptr);
    const float speed[2] = {0.05f, 0.01f};
    int sparks = 0;
    for (int i = 0; i < MAX_BULLETS; i++)
      if (bullet[i].alive && sparks < 2) bullet[i].m = {speed[sparks++], 0, 0};
    ASSERT_EQ(sparks, 2);
    for (int frame = 0; frame < 15; frame++) game_logic(20);
    ASSERT_EQ(victim->alive, 0);
    int kills = 0, self_kills = 0;
    for (int w = 0; w < MAX_WEAPON_TYPES; w++) kills += match_stats.kills[w], self_kills += match_stats.self_kills[w];
    test::expect_checks({{"kills of weapon 5", match_stats.kills[5], row.kills},
                         {"self-kills of weapon 5", match_stats.self_kills[5], row.self_kills},
                         {"kills of any weapon", kills + self_kills, row.kills + row.self_kills},
                         {"time to kill, first touch to death", match_stats.kill_ms[5], row.kills * 200},
                         {"the victim's next life starts clean", match_stats.hit_weapon[0], -1}});
  }
}

// Two computer players 16 apart walk at each other. Each measures its target where it
// stood when the frame began, whichever of them moves first.
TEST_F(Counts, EveryComputerPlayerDecidesOnTheWorldAsTheFrameBegan) {
  for (int i : {0, 3}) {
    VURK_* m = test::place_vurk(i, {i ? 24.0f : 8.0f, STAND_Y, 16});
    m->control = AI, m->find_movement_vector = ai_find_movement_vector;
  }
  game_logic(16);
  EXPECT_NE(vurk[0].p.z, 16.0f);  // it walked
  EXPECT_EQ(vurk[0].ai_module.distance, 16.0f);
  EXPECT_EQ(vurk[3].ai_module.distance, 16.0f);
}

test::GameRun run_lab(std::vector<std::string> args) {
  args.insert(args.end(), {"--data", VURK_GAME_DIR});
  return test::run_game(args, {}, 600, false, VURK_LAB_BINARY);
}

// A frag limit of 3 ends the matches early. The lab's first match is the game's headless
// match of seed 5 to the frame: the same winner at the same frame with the same frags (the
// teams' frags, which stop at the win as the lab's match does).
TEST(Lab, ItsMatchesAreTheGamesAndItsTablesDoNotDependOnTheWorkers) {
  const std::vector<std::string> args = {"--level", "levels/arena.vhl", "--seed", "5", "--seeds", "3", "--frag-limit",
                                         "3", "--frames", "5000", "--list"};
  std::vector<std::string> one = args, two = args;
  one.insert(one.end(), {"--jobs", "1"});
  two.insert(two.end(), {"--jobs", "2"});
  const test::GameRun alone = run_lab(one), shared = run_lab(two);
  ASSERT_EQ(alone.exit_code, 0) << alone.err;
  EXPECT_EQ(alone.out, shared.out);
  EXPECT_NE(alone.err.find("3/3 matches"), std::string::npos) << alone.err;
  EXPECT_NE(alone.out.find("\n  1 MACHINE-GUN "), std::string::npos) << alone.out;

  const test::GameRun game =
      test::run_game({"--headless", "--bots", "--data", VURK_GAME_DIR, "--level", "levels/arena.vhl", "--seed", "5",
                      "--frag-limit", "3", "--frames", "5000", "--frame-ms", "16"},
                     {}, 600);
  int f[4], frame = 0, team = 0;
  for (int i = 0; i < 4; i++) {
    const size_t at = game.out.find("team " + std::to_string(i + 1) + " frags ");
    ASSERT_NE(at, std::string::npos) << game.out;
    std::sscanf(game.out.c_str() + at, "team %*d frags %d", &f[i]);
  }
  const size_t won = game.out.find("winner team ");
  ASSERT_NE(won, std::string::npos) << game.out;
  std::sscanf(game.out.c_str() + won, "winner team %d frame %d", &team, &frame);
  char line[160];
  std::snprintf(line, sizeof line, "match 1 seed 5 level arena.vhl frames %d winner vurk %d frags %d %d %d %d ", frame,
                team, f[0], f[1], f[2], f[3]);
  EXPECT_NE(alone.out.find(line), std::string::npos) << line << "\n" << alone.out << game.out;
}

// The seat table's last line, counted again from the listed matches: for each match with a
// winner, on how many of the levels played with the same seed (the same draw) that vurk won.
TEST(Lab, TheSameDrawsWinsAreCountedAcrossTheLevels) {
  const test::GameRun run = run_lab({"--level", "levels/arena.vhl", "--level", "levels/hall.vhl", "--seed", "13",
                                     "--seeds", "4", "--frag-limit", "3", "--frames", "5000", "--list"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  int won_by[4][4] = {}, seed_of[8] = {}, winner_of[8] = {}, matches = 0;
  for (size_t at = run.out.find("match "); at != std::string::npos; at = run.out.find("\nmatch ", at + 1)) {
    int m = 0, winner = 0;
    unsigned seed = 0;
    const char* line = run.out.c_str() + at + (run.out[at] == '\n');
    ASSERT_EQ(std::sscanf(line, "match %d seed %u level %*s frames %*d winner vurk %d", &m, &seed, &winner), 3) << line;
    ASSERT_TRUE(m >= 1 && m <= 8 && seed >= 13 && seed <= 16 && winner >= 1 && winner <= 4) << line;
    seed_of[matches] = static_cast<int>(seed - 13), winner_of[matches++] = winner - 1;
    won_by[seed - 13][winner - 1]++;
  }
  ASSERT_EQ(matches, 8) << run.out;
  int sum = 0, repeated = 0;
  for (int m = 0; m < matches; m++) sum += won_by[seed_of[m]][winner_of[m]];
  for (const auto& seed : won_by)
    for (int wins : seed) repeated += wins == 2;
  ASSERT_GT(repeated, 0) << "no draw won twice: the count would not tell levels from draws\n" << run.out;
  char line[96];
  std::snprintf(line, sizeof line, "a draw's winner won on %.2f of its 2 levels (with fair seats 1.25)\n", sum / 8.0);
  EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
}

TEST(Lab, ABadOptionOrAMissingLevelSaysWhy) {
  const struct {
    std::vector<std::string> args;
    int exit_code;
    const char* err;
  } rows[] = {
      {{"--jobs", "0"}, 2, "vurkhold-lab: --jobs needs a number from 1 to 64\nTry 'vurkhold-lab --help'.\n"},
      {{"--mode", "best"}, 2, "vurkhold-lab: --mode needs random, slots or single\nTry 'vurkhold-lab --help'.\n"},
      {{"--weapon", "LASER"}, 2, "vurkhold-lab: --weapon needs --mode slots or single\nTry 'vurkhold-lab --help'.\n"},
      {{"--seeds"}, 2, "vurkhold-lab: --seeds needs a number from 1 to 100000\nTry 'vurkhold-lab --help'.\n"},
      {{"--level", "levels/none.vhl"}, 1, "vurkhold-lab: no level file 'levels/none.vhl'\n"},
  };
  for (const auto& row : rows) {
    const test::GameRun run = run_lab(row.args);
    EXPECT_EQ(run.exit_code, row.exit_code) << row.args[0];
    EXPECT_EQ(run.err, row.err);
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace vurkhold
