// loaded game: the game folder loaded once for a benchmark run, without GL (textures get id 0).
#pragma once

#include <unistd.h>

#include <cstdio>

#include "shell/shell.h"

namespace vurkhold::bench {

struct Game {
  Game() {
    no_sound = 1;
    if (chdir(VURK_GAME_DIR) != 0 || !initialize()) std::fprintf(stderr, "game folder did not load\n");
  }
  ~Game() { clean_up(); }
};

inline Game& game() {
  static Game g;
  return g;
}

}  // namespace vurkhold::bench
