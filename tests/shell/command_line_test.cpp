// the executable's command line: help, version and refusals, before any window opens.
#include <gtest/gtest.h>

#include "support/run_game.h"

namespace vurkhold {
namespace {

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
