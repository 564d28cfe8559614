// test support: runs the real game executable and collects its exit status and output.
#pragma once

#include <string>
#include <vector>

namespace vurkhold::test {

struct GameRun {
  int exit_code;  // -1 when it did not end on its own within the time allowed
  std::string out;
  std::string err;
};

// Runs the game (or another of the build's programs) with `args` and extra environment
// entries ("NAME=value"); kills it after `timeout_seconds`. With `terminate`, sends SIGTERM
// once the game catches it, as a desktop does when it closes a program.
GameRun run_game(const std::vector<std::string>& args, const std::vector<std::string>& env, int timeout_seconds,
                 bool terminate = false, const char* program = VURK_GAME_BINARY);

}  // namespace vurkhold::test
