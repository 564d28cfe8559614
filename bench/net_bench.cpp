// online play benchmarks: a packet of commands encoded and decoded, and a rollback of
// MAX_PREDICTION ticks in a busy match as the online match plays one: the world put back,
// then each tick stepped and saved again.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>

#include "allocations.h"
#include "control/control.h"
#include "match/match.h"
#include "net/protocol.h"
#include "loaded_game.h"
#include "shell/shell.h"

namespace vurkhold {
namespace {

using bench::game;

constexpr int BLOCKS = 4;
constexpr int TICKS = 8;

// Tick t of vurk v, every one different from the one before: a player on the mouse and
// keys, one on a pad, one on the mouse with a pad held too, and one on keys alone.
VURK_COMMAND busy_command(int v, int t) {
  const int16_t s = static_cast<int16_t>(1000 * t);
  switch (v) {
    case 0:
      return {static_cast<uint16_t>(VC_MOUSE | VC_FORWARD | (t % 3 ? VC_FIRE : 0)), 0, 3 * t - 11, 7 - t, {}};
    case 1:
      return {static_cast<uint16_t>(VC_PAD | VC_FIRE), 0, 0, 0, {static_cast<int16_t>(-21000 + s), 12000, s, -300}};
    case 2:
      return {0xFFFF, static_cast<uint8_t>(1 + t % WEAPON_SLOTS), -MAX_COMMAND_MOUSE + t, MAX_COMMAND_MOUSE - t,
              {-32767, 32767, s, static_cast<int16_t>(-s)}};
    default:
      return {static_cast<uint16_t>(VC_KEY_LOOK | VC_LEFT | (t % 2 ? VC_JUMP : 0)), static_cast<uint8_t>(t % 2 ? 2 : 0),
              0, 0, {}};
  }
}

// A packet of 4 blocks of 8 ticks, encoded into a command datagram and decoded back.
// Counters: the packet's bytes and the commands the decoder gave back (all 32 when nothing
// was cut to fit).
void BM_EncodeDecodeCommands(benchmark::State& state) {
  static COMMANDS sent, received;
  sent.tick = 1000;
  for (int v = 0; v < MAX_VURKS; v++) sent.ack[v] = 990 + static_cast<uint32_t>(v);
  sent.blocks = BLOCKS;
  for (int b = 0; b < BLOCKS; b++) {
    COMMAND_BLOCK& block = sent.block[b];
    block.vurk = static_cast<uint8_t>(b);
    block.first = 993;
    block.count = TICKS;
    for (int t = 0; t < TICKS; t++) block.command[t] = busy_command(b, t);
  }
  uint8_t packet[MAX_COMMAND_PACKET];
  int size = 0;
  bool decoded = true;
  const long before = bench::allocations();
  for (auto _ : state) {
    size = encode_commands(&sent, packet, sizeof packet);
    decoded = decoded && decode_commands(packet, static_cast<size_t>(size), &received);
    benchmark::DoNotOptimize(received);
  }
  const long allocated = bench::allocations() - before;
  if (!decoded) {
    state.SkipWithError("the packet did not decode");
    return;
  }
  int commands = 0;
  for (int b = 0; b < received.blocks; b++) commands += received.block[b].count;
  state.counters["bytes"] = size;
  state.counters["commands"] = commands;
  state.counters["allocations"] = static_cast<double>(allocated);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeDecodeCommands);

// Four computer players into the fight, the world kept after tick T; timed: going back to
// T and playing the MAX_PREDICTION ticks since again, each saved as it is played.
void BM_RollbackOfEightTicks(benchmark::State& state) {
  game();
  game_srand(1);
  for (VURK_& v : vurk) v.type = MLT_COMPUTER;
  game_init();
  for (int i = 0; i < 500; i++) game_logic(NET_TICK);
  constexpr long T = 500;
  save_world(T);
  VURK_COMMAND commands[MAX_VURKS];
  make_commands(commands);
  bool back = true;
  bench::time_frames(state, [] {}, [&] {
    back = back && load_world(T);
    for (long t = T + 1; t <= T + MAX_PREDICTION; t++) {
      match_step(NET_TICK, commands);
      save_world(t);
    }
  });
  if (!back) state.SkipWithError("the ring no longer held the tick gone back to");
}
BENCHMARK(BM_RollbackOfEightTicks)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vurkhold
