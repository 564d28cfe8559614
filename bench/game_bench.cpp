// gameplay benchmarks on the shipped game folder: one game_logic frame of a busy match of
// four computer players (median and worst frame), and a saturated frame with every bullet,
// particle and explosion slot in use, with ordinary and with very fast bullets.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "allocations.h"
#include "match/match.h"
#include "shell/shell.h"
#include "world/world.h"

namespace vurkhold {
namespace {

// The game folder loaded once for the run, without GL: textures get id 0.
struct Game {
  Game() {
    no_sound = 1;
    if (chdir(VURK_GAME_DIR) != 0 || !initialize()) std::fprintf(stderr, "game folder did not load\n");
  }
  ~Game() { clean_up(); }
};

Game& game() {
  static Game g;
  return g;
}

void start_match(unsigned seed) {
  game();
  game_srand(seed);
  for (VURK_& v : vurk) v.type = MLT_COMPUTER;
  game_init();
}

// Frames of frame_ms each, timed one by one; the counters give the median and worst frame
// and the allocations made while playing.
void play(benchmark::State& state, unsigned frame_ms) {
  start_match(1);
  for (int i = 0; i < 500; i++) game_logic(frame_ms);  // into the fight
  bench::time_frames(state, [] {}, [frame_ms] { game_logic(frame_ms); });
}

void BM_BusyMatch16ms(benchmark::State& state) { play(state, 16); }
void BM_BusyMatch200ms(benchmark::State& state) { play(state, 200); }
BENCHMARK(BM_BusyMatch16ms)->Iterations(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BusyMatch200ms)->Iterations(3000)->Unit(benchmark::kMicrosecond);

// Every slot taken: 300 bullets of the shipped types flying from the vurks' places in all
// directions at `speed` units per ms, 150 particles and 40 explosions. Refilled untimed
// before each timed frame.
void saturate(float speed, bool craters) {
  game_srand(99);
  for (int i = 0; i < MAX_BULLETS; i++) bullet[i].alive = 0;
  for (int i = 0; i < 4; i++) light[FIRST_FREE_LIGHT + i].alive = 0;
  std::vector<BULLET_TYPE*> types;
  for (int t = 0; t < bullet_types; t++)
    if (craters || bullet_type[t].hole_size < MIN_EXPLOSION_SIZE) types.push_back(&bullet_type[t]);
  for (int i = 0; i < MAX_BULLETS; i++) {
    const VURK_& from = vurk[i % MAX_VURKS];
    next_bullet = i;
    add_bullet(from.p, give_random_direction(speed), types[i % types.size()], from.num);
  }
  for (int i = 0; i < MAX_PARTICLES; i++) {
    const IJK m = give_random_direction(0.004f);
    add_particle(&vurk[i % MAX_VURKS].p, &m, red, 5000);
  }
  for (int i = 0; i < MAX_EXPLOSIONS; i++) {
    add_explosion(vurk[i % MAX_VURKS].p, 1.0f);
    explosion[i].time = 0.5f;
  }
}

void saturated(benchmark::State& state, float speed, unsigned frame_ms, bool craters) {
  start_match(2);
  for (int i = 0; i < 100; i++) game_logic(16);
  for (auto _ : state) {
    state.PauseTiming();
    // The terrain as the match left it, so the craters of one frame do not pile up.
    start_match(2);
    saturate(speed, craters);
    state.ResumeTiming();
    game_logic(frame_ms);
  }
}

// A bullet's step is speed x frame time: 0.02 x 16 is a third of a unit, 0.08 x 200 is 16.
// With fast bullets nearly every one meets the rock in the frame, so the craters' rebuilding
// is timed apart from the flight: the second runs only the types that leave no crater.
void BM_SaturatedFrame(benchmark::State& state) { saturated(state, 0.02f, 16, true); }
void BM_SaturatedFrameFastBullets(benchmark::State& state) { saturated(state, 0.08f, 200, true); }
void BM_SaturatedFrameFastBulletsNoCraters(benchmark::State& state) { saturated(state, 0.08f, 200, false); }
BENCHMARK(BM_SaturatedFrame)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaturatedFrameFastBullets)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaturatedFrameFastBulletsNoCraters)->Iterations(200)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vurkhold
