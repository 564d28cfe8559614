// match: setting up a match and running it frame by frame, the world's state hash and
// check, snapshots of the world for going back, and headless matches. Simulation only: it
// stands on world, control and terrain and knows nothing of drawing or of the application
// around it, which reaches it directly (the shell) or through the hooks in the world records
// (the menu).
#pragma once

#include <cstddef>

#include "records/records.h"

namespace vurkhold {

// Random spawn points tried before the points are scanned in order.
inline constexpr int SPAWN_TRIES = 1000;

// Resets every per-match pool, loads level_to_use and places the vurks with their
// controllers; 0 when the level cannot be loaded (after its message).
int game_init();
// The level the next game_init reads from these bytes (a replay's own copy of the file),
// still named level_to_use; null reads the file again.
void use_level_bytes(const uint8_t* bytes, size_t size);
// One step of the world, `ms` long, from the commands of its four vurks: each vurk turned
// by its command, bullets, every vurk's controller, then every vurk's movement,
// explosions, particles, radar, winner. Reads no device and starts nothing outside the
// world but sounds.
void match_step(unsigned ms, const VURK_COMMAND* commands);
// match_step, kept in the replay being recorded.
void play_step(unsigned ms, const VURK_COMMAND* commands);
// What a step did that is kept or printed once it is certain: a machine playing online
// steps ahead on guessed commands and keeps the note of each step's last playing, which
// is the true one once every command of the step has arrived.
struct STEP_NOTE {
  uint8_t alive_before, alive_after;  // bits by vurk
  uint8_t tag[MAX_VURKS];             // each vurk's last killer after the step
  int8_t winner;
  uint8_t sound;                      // 1: the world check passed
  uint64_t hash;                      // 0 unless asked for
  char problem[120];                  // the world check's, when it failed
};
// match_step with its note; `hash` asks for the world's hash after it.
void noted_step(unsigned ms, const VURK_COMMAND* commands, bool hash, STEP_NOTE* note);
// A step already played kept in the replay being recorded, from its note: what play_step
// keeps. The note must carry the hash on the replay's hash frames.
void journal_noted_step(unsigned ms, const VURK_COMMAND* commands, const STEP_NOTE& note);
// Kept in the replay being recorded before the step it takes effect in: the computer plays
// vurk v from that step on, as a machine that left an online match leaves it.
void journal_vurk_to_computer(int v);
// From this step on, vurk i, a human, is played by the computer.
void give_vurk_to_computer(int i);
// The bytes given to use_level_bytes (null for none) and their size.
const uint8_t* give_level_bytes(size_t* size);
// One frame of a match, the logic function: this computer's devices and the game's keys
// read, then the frame's steps, each with the commands made for it (make_commands). With a
// tick, as many whole steps of the tick as the frames have given time for, the rest
// carried over; without, one step of `ms`.
void game_logic(unsigned ms);
// The tick of the matches that follow, 1..MAX_TICK ms, or 0 for the clock's frames; no
// time is carried over into the first of their steps.
inline constexpr unsigned MAX_TICK = 50;
void set_match_tick(unsigned ms);
unsigned give_match_tick();

// FNV-1a, the hash of the world's state and of the files a replay depends on: `h` carried
// on over the bytes, starting from FNV_START.
inline constexpr uint64_t FNV_START = 1469598103934665603ull;
uint64_t fnv1a(uint64_t h, const void* data, size_t n);

// A hash of everything a match changes: vurks, lights, bullets, explosions, particles,
// bullet holes, the voxel field, the counters, the winner and the random generator.
uint64_t give_world_hash();
// 1 when every number of the world is finite and every index and pointer within its pool;
// otherwise 0 with the first problem in `problem`.
int check_world(char* problem, int size);

// ---- snapshots ----

// Worlds kept for going back: a ring allocated once at start-up. A snapshot holds all a step
// reads and writes (the vurks, every pool and counter, the field and its materials, the
// random generator, the winner and the match's statistics) but the surface, which a load
// rebuilds where the field it puts back differs.
inline constexpr int SNAPSHOT_RING = 32;
// allocate_snapshots: 0 after its message, like the pools'; free_snapshots: harmless twice
// and after a failed allocation.
int allocate_snapshots();
void free_snapshots();
// Keeps the world as it stands after step `frame` (frame >= 0), in slot frame % SNAPSHOT_RING.
void save_world(long frame);
// Puts back the world saved after step `frame`; 0, the world untouched, when the ring no
// longer holds that frame or never did.
int load_world(long frame);

// Frame time of a headless match when none is given, in ms.
inline constexpr unsigned HEADLESS_FRAME_MS = 16;

// A headless match on the content and settings already in place: game_init, then
// `frames` steps of `frame_ms` (HEADLESS_FRAME_MS when 0) with the world checked after
// each, a "hash FRAME HASH" line every `hash_every` steps (0: none), then the outcome on
// stdout; `seed` is only printed. With `sync_back` (1..SNAPSHOT_RING - 1, 0: none), the
// sync test: after every step the world goes back that many steps and plays them again
// with the same commands, and the first step whose hash differs from its first pass stops
// the match with "sync test: frame F differs after going back N". Returns the exit status:
// 0, 1 when the level could not be loaded, 3 when the world check or the sync test failed.
int play_headless(long frames, unsigned frame_ms, long hash_every, unsigned seed, int sync_back = 0);

// A match's outcome as a headless run prints it: the tally is kept step by step.
struct HEADLESS_TALLY {
  long deaths[MAX_VURKS];
  long respawns[MAX_VURKS];
  long winner_frame;  // -1 until a team has won
};
void begin_tally(HEADLESS_TALLY* tally);
void tally_step(HEADLESS_TALLY* tally, long frame, uint8_t alive_before, uint8_t alive_after, int winner_now);
void print_outcome(long frames, unsigned seed, unsigned frame_ms, const HEADLESS_TALLY& tally);

// ---- replays ----

// What a replay names itself by; a replay plays only in the game that recorded it, but for
// format 1, which the one version that wrote it recorded, and which every later one plays.
inline constexpr const char* GAME_VERSION = "Vurkhold beta 2.0";
inline constexpr const char* FORMAT_1_GAME_VERSION = "Vurkhold beta 2.0";
inline constexpr uint32_t REPLAY_FORMAT = 2;  // the format written
inline constexpr long REPLAY_HASH_EVERY = 500;  // frames between the state hashes kept
inline constexpr int REPLAY_PATH_SIZE = 1024;
// The replays' folder inside the player's own (platform::user_data_dir).
inline constexpr const char* REPLAY_FOLDER = "replays";
inline constexpr int REPLAY_MESSAGE_SIZE = 1200;
inline constexpr int MAX_REPLAY_KILLS = 1024;

// Everything besides the level and the seed that makes a match play as it does: the
// settings and each vurk's set-up.
struct REPLAY_VURK {
  int32_t num;
  int8_t team;
  uint8_t type;  // MLT_ value
  uint8_t item;  // MI_ value
  int32_t weapon[WEAPON_SLOTS];  // weapon type numbers
};
struct REPLAY_SETUP {
  int32_t lives, frag_limit, light_range;
  float ambient;
  uint8_t camera;  // CM_ value
  uint8_t sort_particles;
  REPLAY_VURK vurk[MAX_VURKS];
};
REPLAY_SETUP give_replay_setup();
void apply_replay_setup(const REPLAY_SETUP& setup);

struct REPLAY_HEADER {
  uint32_t format;        // as the file's prefix gives it, not in the header's bytes
  char game_version[32];
  uint64_t content_hash;  // of the rules' files: give_content_hash
  uint64_t level_hash;    // of the level file's bytes
  char level[LEVEL_PATH_SIZE];
  uint32_t seed;          // as the command line gave it, for the outcome
  uint32_t random_state;  // the generator's as the match was set up
  uint32_t frame_ms;      // the fixed frame time, 0 when the clock gave it
  uint8_t views;          // 1 or 2: the screens the match was played on
  REPLAY_SETUP setup;
  // What a match takes over from the one before it in the same run: the pools' cursors,
  // the radar's turn and the pads' buttons held.
  int32_t next_bullet, next_explosion, next_particle, next_bullethole;
  float radar_angle;
  uint32_t held_buttons[HUMAN_PLAYERS];
  // Format 2 only: the match's tick (0: none), and the size of the level file's bytes, which
  // follow the header in the file.
  uint32_t tick;
  uint32_t level_size;
};

// A hash of the game folder's configuration files and models, the content the rules
// read; taken once a run.
uint64_t give_content_hash();
// A hash of a level file's bytes; false when it can't be read.
bool give_level_hash(const char* level, uint64_t* hash);

// Recording. begin_recording, called just before game_init, starts the replay file `path`
// (which must not exist) with the match as it is set up now, its level file's bytes and
// its tick; from there every play_step is kept in it. end_recording finishes it with its end mark (keep) or removes it.
// begin_recording's failure has its message (empty when the level can't be read, which
// game_init reports); a failed write stops the recording, and the game plays on.
int begin_recording(const char* path, unsigned seed, unsigned frame_ms, int views, char* message, int size);
void end_recording(bool keep);
bool recording();

// play_step's first and last: the step's commands kept; its deaths and state hash kept.
void begin_journal_step(unsigned ms, const VURK_COMMAND* commands);
void end_journal_step();

// Playing. open_replay checks that this game can play the file: its format, the game
// version, the content and the level; 0 with the reason. start_replay sets the match up
// as recorded (the settings and set-up are put back by close_replay) and runs game_init,
// on the level the replay carries (format 2) or its file (format 1); it can be called again
// to play from the start. read_replay_step gives the next recorded step's length and
// commands (the hashes recorded before it checked); play_replay_frame plays it too.
enum REPLAY_STEP : uint8_t { RS_FRAME, RS_END, RS_CUT_SHORT, RS_DAMAGED, RS_DIVERGED };
int open_replay(const char* path, REPLAY_HEADER* header, char* message, int size);
int start_replay(char* message, int size);
REPLAY_STEP read_replay_step(unsigned* ms, VURK_COMMAND* commands);
REPLAY_STEP play_replay_frame();
long replay_frames_played();
// The length of the frame played last, in ms; 0 before the first.
unsigned replay_frame_ms();
bool replaying();
// The message for a step that ended the replay early ("replay diverged at frame N" and
// the like); empty for RS_FRAME and RS_END.
void give_replay_message(REPLAY_STEP step, char* message, int size);
void close_replay();
// The level bytes of the replay opened (format 2), null for none.
const uint8_t* give_replay_level(size_t* size);

// The whole file read through once, without playing it: its frames and deaths.
struct REPLAY_KILL {
  long frame;
  uint8_t victim, killer;  // vurk numbers; killer 255 for none or the victim itself
};
struct REPLAY_INDEX {
  long frames;
  bool complete;  // it has its end mark
  bool damaged;
  int kills;
  REPLAY_KILL kill[MAX_REPLAY_KILLS];
};
int scan_replay(const char* path, REPLAY_INDEX* index, char* message, int size);

// A replay played with no window: the recorded steps with the world checked after each,
// a hash line every `hash_every` steps, the sync test with `sync_back`, then the outcome as
// play_headless prints it. Returns 0; 1 when it can't be played; 3 when the world check
// or the sync test failed or the replay diverged; 4 when it is cut short or damaged (after
// the outcome so far).
int replay_headless(const char* path, long hash_every, int sync_back = 0);

}  // namespace vurkhold
