// random generator: one linear congruential sequence for the whole game, 15 bits a draw,
// so a seed replays the same game on every machine.
#include "records/records.h"

namespace vurkhold {

namespace {
uint32_t state = 1;
}

int game_rand() {
  state = state * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 0x7FFFu);
}

void game_srand(unsigned seed) { state = seed; }

uint32_t game_rand_state() { return state; }

}  // namespace vurkhold
