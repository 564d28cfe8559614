// match: setting up a match and running it frame by frame, the world's state hash and
// check, and headless matches. Simulation only: it stands on world, control and terrain
// and knows nothing of drawing or of the application around it, which reaches it directly
// (the shell) or through the hooks in the world records (the menu).
#pragma once

#include "records/records.h"

namespace vurkhold {

// Random spawn points tried before the points are scanned in order.
inline constexpr int SPAWN_TRIES = 1000;

// Resets every per-match pool, loads level_to_use and places the vurks with their
// controllers; 0 when the level cannot be loaded (after its message).
int game_init();
// One frame of a match: input, bullets, every vurk's controller, then every vurk's movement,
// explosions, particles, radar, winner.
void game_logic(unsigned ms);

// A hash of everything a match changes: vurks, lights, bullets, explosions, particles,
// bullet holes, the voxel field, the counters, the winner and the random generator.
uint64_t give_world_hash();
// 1 when every number of the world is finite and every index and pointer within its pool;
// otherwise 0 with the first problem in `problem`.
int check_world(char* problem, int size);

// Frame time of a headless match when none is given, in ms.
inline constexpr unsigned HEADLESS_FRAME_MS = 16;

// A headless match on the content and settings already in place: game_init, then
// `frames` frames of `frame_ms` (HEADLESS_FRAME_MS when 0) with the world checked after
// each, a "hash FRAME HASH" line every `hash_every` frames (0: none), then the outcome on
// stdout; `seed` is only printed. Returns the exit status: 0, 1 when the level could not
// be loaded, 3 when the world check failed.
int play_headless(long frames, unsigned frame_ms, long hash_every, unsigned seed);

}  // namespace vurkhold
