// gameplay benchmarks on the shipped game folder: one game_logic frame of a busy match of
// four computer players (median and worst frame), a saturated frame with every bullet,
// particle and explosion slot in use, with ordinary and with very fast bullets, saving and
// loading the saturated world and playing 8 of its steps again, and the size of an hour's
// replay of two players.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "allocations.h"
#include "control/control.h"
#include "match/match.h"
#include "loaded_game.h"
#include "shell/shell.h"
#include "world/world.h"

namespace vurkhold {
namespace {

using bench::game;

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

// Going back for rollback in the busiest fight. Save plus load of the saturated world, a
// slot further round the ring each time, as a rollback keeps every step.
void BM_SaveAndLoadWorld(benchmark::State& state) {
  start_match(2);
  for (int i = 0; i < 100; i++) game_logic(16);
  saturate(0.02f, true);
  long frame = 0;
  bench::time_frames(state, [] {}, [&frame] {
    save_world(frame);
    load_world(frame);
    frame++;
  });
}
BENCHMARK(BM_SaveAndLoadWorld)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// The saturated world saved and played 8 steps, craters and all; timed: loading it and
// playing the 8 steps again. voxels_back counts the field's values each load puts back.
void BM_EightStepsAgain(benchmark::State& state) {
  static float before[VOXELS];
  long changed = 0;
  bench::time_frames(
      state,
      [&changed] {
        start_match(2);
        saturate(0.02f, true);
        save_world(0);
        for (int n = 0; n < VOXELS; n++) before[n] = voxel[n].value;
        for (int i = 0; i < 8; i++) game_logic(16);
        for (int n = 0; n < VOXELS; n++) changed += voxel[n].value != before[n];
      },
      [] {
        // As a rollback plays them again: the world step alone, from the commands kept.
        VURK_COMMAND commands[MAX_VURKS];
        make_commands(commands);
        load_world(0);
        for (int i = 0; i < 8; i++) match_step(16, commands);
      });
  state.counters["voxels_back"] = benchmark::Counter(static_cast<double>(changed), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_EightStepsAgain)->Iterations(200)->Unit(benchmark::kMicrosecond);

// An hour of two players at 60 frames a second, as busy as hands get: player 1 moves the
// mouse every frame and changes keys every few frames, player 2's pad sticks never rest.
// The counters give the replay's bytes and the megabytes an hour takes.
void BM_ReplayOfAnHourOfTwoPlayers(benchmark::State& state) {
  game();
  constexpr long FRAMES = 60L * 60 * 60;
  const char* path = "/tmp/vurk_bench_hour.vhr";
  const int32_t pad = platform::attach_virtual_pad();
  platform::Event e;
  while (platform::poll_event(&e)) handle_pad_event(e);
  uintmax_t bytes = 0;
  for (auto _ : state) {
    std::filesystem::remove(path);
    game_srand(3);
    for (int i = 0; i < MAX_VURKS; i++) vurk[i].type = i < 2 ? MLT_HUMAN : MLT_COMPUTER;
    char message[REPLAY_MESSAGE_SIZE];
    if (!begin_recording(path, 3, 16, 2, message, sizeof message) || !game_init()) {
      state.SkipWithError(message);
      return;
    }
    for (long f = 0; f < FRAMES; f++) {
      keys[VK_UP] = f % 50 < 30;
      keys[VK_LEFT] = f % 70 > 50;
      keys[VK_LBUTTON] = f % 23 < 5;
      keys[VK_RBUTTON] = f % 97 < 3;
      keys[VK_NUMPAD0 + 1 + f / 600 % 4] = f % 600 < 2;
      platform::push_mouse_motion_event(static_cast<int>(f * 7 % 11) - 5, static_cast<int>(f * 3 % 5) - 2);
      const float t = static_cast<float>(f) * 0.01f;
      platform::set_virtual_pad_axis(pad, platform::PAD_LEFT_Y, std::sin(t));
      platform::set_virtual_pad_axis(pad, platform::PAD_RIGHT_X, std::cos(1.3f * t));
      platform::set_virtual_pad_axis(pad, platform::PAD_RIGHT_TRIGGER, f % 40 < 8 ? 1.0f : 0.0f);
      while (platform::poll_event(&e)) handle_pad_event(e);
      game_logic(16);
    }
    end_recording(true);
    bytes = std::filesystem::file_size(path);
  }
  std::memset(keys, 0, sizeof keys);
  platform::detach_virtual_pad(pad);
  std::filesystem::remove(path);
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["MB_an_hour"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ReplayOfAnHourOfTwoPlayers)->Iterations(1)->Unit(benchmark::kSecond);

// The commands of one step for four vurks in bytes, as a replay's step record or a network
// packet carries them: each vurk's command encoded, an empty one in one byte. Argument: 0
// four computer players (vurk 0 carries the mouse and vurk 1 the look keys, both still),
// 1 two busy players at one computer and two computer players, 2 four players each
// asking for everything at once, the largest a step can be. Times the encoding too.
void BM_CommandsOfAStep(benchmark::State& state) {
  VURK_COMMAND c[MAX_VURKS] = {};
  c[0].buttons = VC_MOUSE;
  c[1].buttons = VC_KEY_LOOK;
  if (state.range(0) == 1) {
    c[0] = {VC_MOUSE | VC_PAD | VC_FORWARD | VC_FIRE, 0, -7, 3, {0, -21000, 12000, 0}};
    c[1] = {VC_KEY_LOOK | VC_LEFT | VC_TURN_RIGHT | VC_JUMP, 2, 0, 0, {}};
  } else if (state.range(0) == 2) {
    for (VURK_COMMAND& each : c) each = {0xFFFF, 4, -MAX_COMMAND_MOUSE, MAX_COMMAND_MOUSE, {-32767, 32767, -32767, 32767}};
  }
  uint8_t bytes[MAX_VURKS * COMMAND_BYTES];
  int size = 0;
  for (auto _ : state) {
    size = 0;
    for (const VURK_COMMAND& each : c) size += encode_command(each, bytes + size);
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = size;
}
BENCHMARK(BM_CommandsOfAStep)->Arg(0)->Arg(1)->Arg(2);

}  // namespace
}  // namespace vurkhold
