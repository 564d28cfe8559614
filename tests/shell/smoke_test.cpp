// the real executable under the test display: opens its window, runs its frames or until
// the window is closed, and exits 0.
#include <gtest/gtest.h>

#include "support/run_game.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

const std::vector<std::string> headless_env = {"SDL_AUDIODRIVER=dummy", "VURKHOLD_NO_DIALOGS=1"};

TEST(Smoke, RunsSixtyFramesWindowedAndExitsZero) {
  test::TempDir data;
  test::GameRun run = test::run_game({"--windowed", "--frames", "60", "--data", data.path()}, headless_env, 120);
  EXPECT_EQ(run.exit_code, 0) << run.err;
}

TEST(Smoke, NoVsyncAndSeedRunToo) {
  test::TempDir data;
  test::GameRun run = test::run_game(
      {"--windowed", "--no-vsync", "--seed", "7", "--frames", "30", "--data", data.path()}, headless_env, 120);
  EXPECT_EQ(run.exit_code, 0) << run.err;
}

// SDL turns SIGTERM into the same quit event as the window's close button.
TEST(Smoke, ClosingTheWindowEndsTheGameWithZero) {
  test::TempDir data;
  test::GameRun run = test::run_game({"--windowed", "--data", data.path()}, headless_env, 120, true);
  EXPECT_EQ(run.exit_code, 0) << run.err;
}

}  // namespace
}  // namespace vurkhold
