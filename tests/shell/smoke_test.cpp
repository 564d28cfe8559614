// the real executable under the test display: opens its window, runs its frames or until
// the window is closed, and exits 0.
#include <gtest/gtest.h>

#include "support/run_game.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

const std::vector<std::string> headless_env = {"SDL_AUDIODRIVER=dummy", "VURKHOLD_NO_DIALOGS=1"};

// The generated game folder starts without a single message, silent on request.
TEST(Smoke, RunsSixtyFramesWindowedAndExitsZero) {
  test::GameRun run =
      test::run_game({"--windowed", "--no-sound", "--frames", "60", "--data", VURK_GAME_DIR}, headless_env, 120);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
}

TEST(Smoke, NoVsyncAndSeedRunToo) {
  test::GameRun run = test::run_game(
      {"--windowed", "--no-vsync", "--seed", "7", "--frames", "30", "--data", VURK_GAME_DIR}, headless_env, 120);
  EXPECT_EQ(run.exit_code, 0) << run.err;
}

// A machine without a working sound device: the start stops with the sound message, and
// --no-sound starts the game silent all the same.
TEST(Smoke, WithoutASoundDeviceOnlyNoSoundStarts) {
  const std::vector<std::string> no_device = {"SDL_AUDIODRIVER=no-such-driver", "VURKHOLD_NO_DIALOGS=1"};
  test::GameRun run = test::run_game({"--windowed", "--frames", "5", "--data", VURK_GAME_DIR}, no_device, 120);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "ERROR: Can't initalize sound card.\n");
  run = test::run_game({"--windowed", "--no-sound", "--frames", "5", "--data", VURK_GAME_DIR}, no_device, 120);
  EXPECT_EQ(run.exit_code, 0) << run.err;
}

// SDL turns SIGTERM into the same quit event as the window's close button.
TEST(Smoke, ClosingTheWindowEndsTheGameWithZero) {
  test::GameRun run = test::run_game({"--windowed", "--data", VURK_GAME_DIR}, headless_env, 120, true);
  EXPECT_EQ(run.exit_code, 0) << run.err;
}

}  // namespace
}  // namespace vurkhold
