// headless matches: a match with nothing drawn, run for a fixed number of fixed-length
// frames with the world checked after each, and its outcome printed in a stable format.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "control/control.h"
#include "match/match.h"

namespace vurkhold {

namespace {

const char* type_name(VURK_TYPE type) {
  switch (type) {
    case MLT_HUMAN: return "human";
    case MLT_COMPUTER: return "computer";
    case MLT_INACTIVE: return "inactive";
    case MLT_OFF: return "off";
  }
  return "?";
}

}  // namespace

void begin_tally(HEADLESS_TALLY* tally) { *tally = HEADLESS_TALLY{{0}, {0}, -1}; }

void tally_step(HEADLESS_TALLY* tally, long frame, uint8_t alive_before, uint8_t alive_after, int winner_now) {
  for (int i = 0; i < MAX_VURKS; i++) {
    if ((alive_before >> i & 1) && !(alive_after >> i & 1)) tally->deaths[i]++;
    if (!(alive_before >> i & 1) && (alive_after >> i & 1)) tally->respawns[i]++;
  }
  if (winner_now >= 0 && tally->winner_frame < 0) tally->winner_frame = frame;
}

// Vurks and teams are numbered from 1, as the screen shows them.
void print_outcome(long frames, unsigned seed, unsigned frame_ms, const HEADLESS_TALLY& tally) {
  std::printf("level %s\n", level_to_use);
  std::printf("seed %u\n", seed);
  std::printf("frames %ld\n", frames);
  std::printf("frame_ms %u\n", frame_ms);
  for (int i = 0; i < MAX_VURKS; i++) {
    const VURK_& v = vurk[i];
    std::printf("vurk %d team %d %s frags %d lives %d deaths %ld respawns %ld\n", i + 1, v.team + 1,
                type_name(v.type), v.frags, v.lives, tally.deaths[i], tally.respawns[i]);
  }
  for (int t = 0; t < 4; t++) std::printf("team %d frags %d\n", t + 1, team_frags[t]);
  if (winner >= 0)
    std::printf("winner team %d frame %ld\n", winner + 1, tally.winner_frame);
  else
    std::printf("winner none\n");
  std::printf("hash %016" PRIx64 "\n", give_world_hash());
}

namespace {

// What the sync test keeps of each step to play it again and check it.
struct KEPT_STEP {
  unsigned ms;
  VURK_COMMAND commands[MAX_VURKS];
  uint64_t hash;
};
KEPT_STEP kept[SNAPSHOT_RING];

// Back to the world after step `from`, then steps from + 1 .. to played again from what was
// kept, unheard: the first step whose hash differs from its first pass, or 0.
long play_again(long from, long to) {
  if (!load_world(from)) return from + 1;
  platform::set_step_replayed(true);
  long differs = 0;
  for (long f = from + 1; f <= to && !differs; f++) {
    const KEPT_STEP& k = kept[f % SNAPSHOT_RING];
    match_step(k.ms, k.commands);
    if (give_world_hash() != k.hash) differs = f;
  }
  platform::set_step_replayed(false);
  return differs;
}

// The steps of a match, each given by `next` (false: none is left) and played, with the
// world checked after each, and with `sync_back` each played again after going back that
// many steps; then the outcome. `status` is what an unchecked end returns.
template <typename NEXT>
int run_frames(long frames_to_run, unsigned frame_ms, long hash_every, unsigned seed, int sync_back, NEXT next) {
  HEADLESS_TALLY tally;
  begin_tally(&tally);
  int status = 0;
  long frames = 0;
  if (sync_back) save_world(0);
  for (long frame = 1; frames_to_run < 0 || frame <= frames_to_run; frame++) {
    uint8_t alive_before = 0;
    for (int i = 0; i < MAX_VURKS; i++) alive_before = static_cast<uint8_t>(alive_before | (vurk[i].alive ? 1 << i : 0));
    unsigned ms = 0;
    VURK_COMMAND commands[MAX_VURKS] = {};
    if (!next(&ms, commands)) break;
    play_step(ms, commands);
    frames = frame;
    if (sync_back) {
      KEPT_STEP& k = kept[frame % SNAPSHOT_RING];
      k.ms = ms;
      std::memcpy(k.commands, commands, sizeof k.commands);
      k.hash = give_world_hash();
      save_world(frame);
      const long from = std::max(0L, frame - sync_back);
      if (const long differs = play_again(from, frame)) {
        std::printf("sync test: frame %ld differs after going back %ld\n", differs, frame - from);
        status = 3;
        break;
      }
    }
    uint8_t alive_after = 0;
    for (int i = 0; i < MAX_VURKS; i++) alive_after = static_cast<uint8_t>(alive_after | (vurk[i].alive ? 1 << i : 0));
    tally_step(&tally, frame, alive_before, alive_after, winner);
    if (hash_every && frame % hash_every == 0) std::printf("hash %ld %016" PRIx64 "\n", frame, give_world_hash());
    char problem[120];
    if (!check_world(problem, sizeof problem)) {
      std::printf("fault frame %ld: %s\n", frame, problem);
      status = 3;
      break;
    }
  }
  print_outcome(frames, seed, frame_ms, tally);
  std::fflush(stdout);
  return status;
}

}  // namespace

int play_headless(long frames_to_run, unsigned frame_ms, long hash_every, unsigned seed, int sync_back) {
  if (!game_init()) return 1;
  menu_pair = {nullptr, nullptr};
  const MODE_PAIR game = {game_logic, nullptr};
  install_mode(&game);
  if (!frame_ms) frame_ms = HEADLESS_FRAME_MS;
  // A step of frame_ms a frame, tick or none: the commands made as the window's game makes
  // them, from devices that never move.
  return run_frames(frames_to_run, frame_ms, hash_every, seed, sync_back,
                    [frame_ms](unsigned* ms, VURK_COMMAND* commands) {
                      gather_match_input();
                      make_commands(commands);
                      *ms = frame_ms;
                      return true;
                    });
}

int replay_headless(const char* path, long hash_every, int sync_back) {
  char message[REPLAY_MESSAGE_SIZE];
  REPLAY_HEADER header;
  if (!open_replay(path, &header, message, sizeof message) || !start_replay(message, sizeof message)) {
    std::fprintf(stderr, "vurkhold: %s\n", message);
    close_replay();
    return 1;
  }
  menu_pair = {nullptr, nullptr};
  const MODE_PAIR game = {game_logic, nullptr};
  install_mode(&game);
  REPLAY_STEP last = RS_FRAME;
  int status = run_frames(-1, header.frame_ms ? header.frame_ms : header.tick, hash_every, header.seed, sync_back,
                          [&last](unsigned* ms, VURK_COMMAND* commands) {
                            last = read_replay_step(ms, commands);
                            return last == RS_FRAME;
                          });
  if (last != RS_END && status == 0) {
    give_replay_message(last, message, sizeof message);
    std::fprintf(stderr, "vurkhold: %s\n", message);
    status = last == RS_DIVERGED ? 3 : 4;
  }
  close_replay();
  return status;
}

}  // namespace vurkhold
