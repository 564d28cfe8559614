// the executable's command line: help, version and refusals, before any window opens.
#include <gtest/gtest.h>

#include "support/run_game.h"

namespace vurkhold {
namespace {

TEST(CommandLine, HelpListsEveryOptionAndExitsZero) {
  test::GameRun run = test::run_game({"--help"}, {}, 30);
  EXPECT_EQ(run.exit_code, 0);
  for (const char* option :
       {"--windowed", "--fullscreen", "--data DIR", "--seed N", "--no-vsync", "--no-sound", "--frames N", "--level FILE", "--bots",
        "--lives N", "--frag-limit N", "--frame-ms N", "--headless", "--hash-every N", "--help", "--version"})
    EXPECT_NE(run.out.find(option), std::string::npos) << option;
}

TEST(CommandLine, VersionNamesTheGame) {
  test::GameRun run = test::run_game({"--version"}, {}, 30);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "Vurkhold beta 2.0\n");
}

TEST(CommandLine, BadOptionsExitTwoWithTheReason) {
  test::GameRun run = test::run_game({"--frames", "ten"}, {}, 30);
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.err, "vurkhold: --frames needs a number from 1 to 2000000000\nTry 'vurkhold --help'.\n");
}

TEST(CommandLine, MissingDataFolderExitsOne) {
  test::GameRun run = test::run_game({"--data", "/nonexistent/vurkhold", "--windowed"}, {}, 30);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "vurkhold: can't enter the data folder '/nonexistent/vurkhold'\n");
}

}  // namespace
}  // namespace vurkhold
