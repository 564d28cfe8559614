// headless matches through the real executable: ten minutes of four computer players on
// every shipped level, the outcome's format, and two runs of one seed printing the same.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "content/manifest.h"
#include "support/run_game.h"

namespace content {
void PrintTo(const LEVEL_ENTRY& level, std::ostream* out) { *out << level.file; }
}  // namespace content

namespace vurkhold {
namespace {

// Ten minutes of game time in 16 ms frames.
constexpr const char* TEN_MINUTES = "37500";

test::GameRun run_match(const std::vector<std::string>& extra) {
  std::vector<std::string> args = {"--headless", "--data", VURK_GAME_DIR, "--frame-ms", "16"};
  args.insert(args.end(), extra.begin(), extra.end());
  return test::run_game(args, {}, 600);
}

struct VURK_LINE {
  int team, frags, lives;
  long deaths, respawns;
  char type[16];
};

// Reads the four "vurk N ..." lines of an outcome; false when any is missing.
bool read_vurks(const std::string& out, VURK_LINE v[4]) {
  std::istringstream in(out);
  std::string line;
  int found = 0;
  while (std::getline(in, line)) {
    int n = 0;
    VURK_LINE x{};
    if (std::sscanf(line.c_str(), "vurk %d team %d %15s frags %d lives %d deaths %ld respawns %ld", &n, &x.team,
                    x.type, &x.frags, &x.lives, &x.deaths, &x.respawns) == 7 &&
        n >= 1 && n <= 4) {
      v[n - 1] = x;
      found++;
    }
  }
  return found == 4;
}

class Soak : public ::testing::TestWithParam<content::LEVEL_ENTRY> {};

// Kills, deaths and respawns all happen, every vurk lives through it with lives to spare or
// out of them, and the world check (finite numbers, pools in range) holds every frame.
TEST_P(Soak, FourComputerPlayersFightTenMinutes) {
  const std::string level = std::string("levels/") + GetParam().file;
  test::GameRun run = run_match({"--bots", "--seed", "3", "--frames", TEN_MINUTES, "--level", level});
  ASSERT_EQ(run.exit_code, 0) << run.out << run.err;
  EXPECT_EQ(run.out.find("fault"), std::string::npos) << run.out;
  VURK_LINE v[4];
  ASSERT_TRUE(read_vurks(run.out, v)) << run.out;
  long deaths = 0, respawns = 0, frags = 0;
  for (const VURK_LINE& x : v) {
    EXPECT_STREQ(x.type, "computer");
    EXPECT_EQ(x.lives, 100 - x.deaths);
    deaths += x.deaths;
    respawns += x.respawns;
    frags += x.frags;
  }
  EXPECT_GE(deaths, 20) << run.out;
  EXPECT_GE(respawns, deaths - 4) << run.out;
  EXPECT_GT(frags, 0) << run.out;
}

INSTANTIATE_TEST_SUITE_P(ShippedLevels, Soak, ::testing::ValuesIn(content::levels),
                         [](const ::testing::TestParamInfo<content::LEVEL_ENTRY>& info) {
                           std::string name = info.param.file;
                           return name.substr(0, name.find('.'));
                         });

TEST(Headless, TheOutcomeIsPrintedInItsFormatAndReplaysFromTheSeed) {
  const std::vector<std::string> args = {"--bots", "--seed", "77", "--frames", "3000", "--lives", "2",
                                         "--frag-limit", "3", "--hash-every", "1000"};
  const test::GameRun first = run_match(args);
  const test::GameRun second = run_match(args);
  ASSERT_EQ(first.exit_code, 0) << first.err;
  EXPECT_EQ(first.out, second.out);
  EXPECT_EQ(first.out.find("hash 1000 "), 0u) << first.out;
  for (const char* line : {"\nhash 3000 ", "\nlevel LEVELS\\TEST1.VHL\nseed 77\nframes 3000\nframe_ms 16\nvurk 1 team 1 computer frags ",
                           "\nteam 4 frags ", "\nwinner "})
    EXPECT_NE(first.out.find(line), std::string::npos) << line << " in\n" << first.out;
  // The last frame's hash is the outcome's.
  const size_t at = first.out.find("\nhash 3000 ");
  ASSERT_NE(at, std::string::npos);
  EXPECT_NE(first.out.find("\nhash " + first.out.substr(at + 11, 16) + "\n"), std::string::npos);
  VURK_LINE v[4];
  ASSERT_TRUE(read_vurks(first.out, v));
  for (const VURK_LINE& x : v) EXPECT_LE(x.lives, 2);
  EXPECT_NE(run_match({"--bots", "--seed", "78", "--frames", "3000"}).out, run_match({"--bots", "--seed", "77", "--frames", "3000"}).out);
}

TEST(Headless, AMissingLevelEndsWithItsMessageAndStatusOne) {
  const test::GameRun run = run_match({"--frames", "10", "--level", "levels/none.vhl"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("ERROR: Can't open file levels/none.vhl."), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace vurkhold
