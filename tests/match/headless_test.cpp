// headless matches through the real executable: ten minutes of four computer players on
// every shipped level, the outcome's format, and two runs of one seed printing the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "content/manifest.h"
#include "support/run_game.h"


namespace vurkhold {
namespace {

test::GameRun run_match(const std::vector<std::string>& extra) {
  std::vector<std::string> args = {"--headless", "--bots", "--data", VURK_GAME_DIR, "--frame-ms", "16"};
  args.insert(args.end(), extra.begin(), extra.end());
  return test::run_game(args, {}, 600);
}

// The sums over the four "vurk N" lines; `vurks` counts the lines read.
struct Tally {
  int vurks = 0, frags = 0, lives = 0, most_lives = 0;
  long deaths = 0, respawns = 0;
};
Tally tally(const std::string& out) {
  std::istringstream in(out);
  Tally t;
  for (std::string line; std::getline(in, line);) {
    int n, team, frags, lives;
    long deaths, respawns;
    if (std::sscanf(line.c_str(), "vurk %d team %d computer frags %d lives %d deaths %ld respawns %ld", &n, &team,
                    &frags, &lives, &deaths, &respawns) != 6 || n != t.vurks + 1 || team != n)
      continue;
    t = {t.vurks + 1, t.frags + frags, t.lives + lives, std::max(t.most_lives, lives), t.deaths + deaths,
         t.respawns + respawns};
  }
  return t;
}

class Soak : public ::testing::TestWithParam<content::LEVEL_ENTRY> {};

// Ten minutes of 16 ms frames: kills, deaths and respawns all happen, every death costs a
// life, and the world check (finite numbers, pools in range) holds every frame.
TEST_P(Soak, FourComputerPlayersFightTenMinutes) {
  const std::string level = std::string("levels/") + GetParam().file;
  const test::GameRun run = run_match({"--seed", "3", "--frames", "37500", "--level", level});
  ASSERT_EQ(run.exit_code, 0) << run.out << run.err;
  const Tally t = tally(run.out);
  EXPECT_EQ(t.vurks, 4) << run.out;
  EXPECT_EQ(t.lives, 400 - t.deaths) << run.out;
  EXPECT_TRUE(t.deaths >= 20 && t.respawns >= t.deaths - 4 && t.respawns <= t.deaths && t.frags > 0) << run.out;
}

INSTANTIATE_TEST_SUITE_P(ShippedLevels, Soak, ::testing::ValuesIn(content::levels),
                         [](const ::testing::TestParamInfo<content::LEVEL_ENTRY>& info) {
                           std::string name = info.param.file;
                           return name.substr(0, name.find('.'));
                         });

TEST(Headless, TheOutcomeIsPrintedInItsFormatAndReplaysFromTheSeed) {
  const std::vector<std::string> args = {"--seed", "77", "--frames", "3000", "--lives", "2", "--frag-limit", "3",
                                         "--hash-every", "1000"};
  const test::GameRun first = run_match(args);
  ASSERT_EQ(first.exit_code, 0) << first.err;
  EXPECT_EQ(first.out, run_match(args).out);
  EXPECT_EQ(first.out.find("hash 1000 "), 0u) << first.out;
  for (const char* line : {"\nhash 3000 ", "\nteam 4 frags ", "\nwinner ",
                           "\nlevel LEVELS\\TEST1.VHL\nseed 77\nframes 3000\nframe_ms 16\n"
                           "vurk 1 team 1 computer frags "})
    EXPECT_NE(first.out.find(line), std::string::npos) << line << " in\n" << first.out;
  const size_t at = first.out.find("\nhash 3000 ");  // the last frame's hash is the outcome's
  ASSERT_NE(at, std::string::npos);
  EXPECT_NE(first.out.find("\nhash " + first.out.substr(at + 11, 16) + "\n"), std::string::npos);
  const Tally t = tally(first.out);
  EXPECT_TRUE(t.vurks == 4 && t.most_lives <= 2) << first.out;
  EXPECT_NE(run_match({"--seed", "78", "--frames", "3000"}).out, run_match({"--seed", "77", "--frames", "3000"}).out);
}

}  // namespace
}  // namespace vurkhold
