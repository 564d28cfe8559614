// command line: options, their values and the errors for bad ones, and the program's exit
// status and output for them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/shell.h"
#include "support/run_game.h"

namespace vurkhold {
namespace {

struct Parsed {
  int ok;
  OPTIONS options;
  std::string error;  // options.data_dir and level point into the arguments, gone after parse()
};

Parsed parse(std::vector<std::string> args) {
  args.insert(args.begin(), "vurkhold");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  Parsed p{};
  char error[160] = "";
  p.ok = parse_options(static_cast<int>(argv.size()), argv.data(), &p.options, error, sizeof error);
  p.error = error;
  return p;
}

// The options the runs of the real program below and the headless and play tests don't
// already take (--data, --level, --frames, --bots, --headless, --hash-every, --help, --version),
// and the ends of the ranges.
TEST(Options, TheDefaultsAskAboutFullScreenWithVsyncAndTheOtherOptionsReachTheirEnds) {
  const struct {
    std::vector<std::string> args;
    bool (*holds)(const Parsed& p);
  } rows[] = {
      {{}, [](const Parsed& p) { return p.options.fullscreen == -1 && p.options.vsync == 1 && !p.options.seed_given; }},
      {{"--windowed", "--no-vsync", "--no-sound"},
       [](const Parsed& p) { return p.options.fullscreen == 0 && p.options.vsync == 0 && p.options.no_sound == 1; }},
      {{"--windowed", "--fullscreen"}, [](const Parsed& p) { return p.options.fullscreen == 1; }},  // the last counts
      {{"--seed", "4294967295"}, [](const Parsed& p) { return p.options.seed_given && p.options.seed == 4294967295u; }},
      {{"--lives", "1000", "--frag-limit", "1"},
       [](const Parsed& p) { return p.options.lives == 1000 && p.options.frag_limit == 1; }},
      {{"--frame-ms", "200"}, [](const Parsed& p) { return p.options.frame_ms == 200u; }},
      {{"--tick", "50"}, [](const Parsed& p) { return p.options.tick == 50u && p.options.frame_ms == 0u; }},
      // Headless, a tick is a frame's length: one frame, one step.
      {{"--headless", "--frames", "9", "--tick", "1", "--sync-test", "31"},
       [](const Parsed& p) { return p.options.tick == 0u && p.options.frame_ms == 1u && p.options.sync_test == 31; }},
  };
  for (const auto& row : rows) {
    const Parsed p = parse(row.args);
    EXPECT_EQ(p.ok, 1) << p.error;
    EXPECT_TRUE(row.holds(p)) << ::testing::PrintToString(row.args);
  }
}

TEST(Options, BadValuesAreRefusedWithTheReason) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } cases[] = {
      {{"--seed", "4294967296"}, "--seed needs a number from 0 to 4294967295"},
      {{"--seed", "12x"}, "--seed needs a number from 0 to 4294967295"},
      {{"--frames", "0"}, "--frames needs a number from 1 to 2000000000"},
      {{"--frames"}, "--frames needs a number from 1 to 2000000000"},
      {{"--data", ""}, "--data needs a folder"},
      {{"--fast"}, "unknown option '--fast'"},
      {{"--level"}, "--level needs a level file"},
      {{"--level", std::string(260, 'x')}, "--level: the path is longer than 259 characters"},
      {{"--lives", "0"}, "--lives needs a number from 1 to 1000"},
      {{"--frag-limit", "1001"}, "--frag-limit needs a number from 1 to 1000"},
      {{"--frame-ms", "201"}, "--frame-ms needs a number from 1 to 200"},
      {{"--tick", "51"}, "--tick needs a number from 1 to 50"},
      {{"--tick", "0"}, "--tick needs a number from 1 to 50"},
      {{"--tick", "10", "--frame-ms", "10"}, "--tick and --frame-ms can't be given together: a frame of --frame-ms is one step"},
      {{"--replay", "a.vhr", "--tick", "10"}, "--replay plays at the tick it was recorded with: --tick can't change it"},
      {{"--sync-test", "32", "--headless", "--frames", "9"}, "--sync-test needs a number from 1 to 31"},
      {{"--sync-test", "1", "--frames", "9"}, "--sync-test needs --headless"},
      {{"--headless"}, "--headless needs --frames"},
      {{"--hash-every", "5", "--frames", "9"}, "--hash-every needs --headless"},
      {{"--input"}, "--input needs a file"},
      {{"--screenshot", ""}, "--screenshot needs a file"},
      {{"--headless", "--frames", "9", "--screenshot", "a.png"},
       "--headless draws nothing: --input and --screenshot need a window"},
      {{"levels/x.vhl"}, "unknown option 'levels/x.vhl'"},
  };
  for (const auto& c : cases) {
    Parsed p = parse(c.args);
    EXPECT_EQ(p.ok, 0) << c.error;
    EXPECT_EQ(p.error, c.error);
  }
}

// The program itself: help, version and refusals, before any window opens or a match is
// played.
TEST(CommandLine, HelpVersionAndRefusalsExitWithTheirStatusAndText) {
  const struct {
    std::vector<std::string> args;
    int exit_code;
    std::string out, err;  // the whole of each, or for --help a part
  } rows[] = {
      {{"--help"}, 0, "--screenshot FILE", ""},
      {{"--version"}, 0, "Vurkhold beta 2.0\n", ""},
      {{"--frames", "ten"}, 2, "", "vurkhold: --frames needs a number from 1 to 2000000000\nTry 'vurkhold --help'.\n"},
      {{"--data", "/nonexistent/vurkhold", "--windowed"}, 1, "",
       "vurkhold: can't enter the data folder '/nonexistent/vurkhold'\n"},
      {{"--headless", "--frames", "5", "--level", "levels/none.vhl", "--data", VURK_GAME_DIR}, 1, "",
       "ERROR: Can't open file levels/none.vhl.\n"},
  };
  for (const auto& row : rows) {
    const test::GameRun run = test::run_game(row.args, {}, 30);
    EXPECT_EQ(run.exit_code, row.exit_code) << row.args[0];
    if (row.args[0] == "--help") EXPECT_NE(run.out.find(row.out), std::string::npos) << run.out;
    else EXPECT_EQ(run.out, row.out) << row.args[0];
    EXPECT_EQ(run.err, row.err) << row.args[0];
  }
}

}  // namespace
}  // namespace vurkhold
