// protocol: the messages the machines send one another, as records, and their encodings.
// Inside the net folder only. Every decoder checks the size and range of every field
// before anything is used, and refuses the whole message on the first that is wrong.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/net.h"

namespace vurkhold {

inline constexpr uint16_t NET_PROTOCOL = 1;
inline constexpr uint8_t CONTROL_CHANNEL = 0;  // reliable
inline constexpr uint8_t COMMAND_CHANNEL = 1;  // unreliable, sequenced
inline constexpr int NET_CHANNELS = 2;
inline constexpr int VERSION_SIZE = 32;
// A level's bytes go in pieces of this many on the reliable channel.
inline constexpr int LEVEL_PIECE = 1024;
// The most ticks of one vurk's commands one packet carries.
inline constexpr int MAX_BLOCK_TICKS = 64;
inline constexpr int MAX_BLOCKS = MAX_VURKS;
// The largest control message: a level piece and its head.
inline constexpr int MAX_CONTROL_MESSAGE = LEVEL_PIECE + 64;

enum MESSAGE : uint8_t {
  MSG_HELLO = 1,     // client: who it is and what it plays
  MSG_REFUSE = 2,    // either side: why the session can't go on
  MSG_WELCOME = 3,   // host: the client's machine number
  MSG_LOBBY = 4,     // host: the seats and the match's settings
  MSG_READY = 5,     // client: its ready mark and its seats' set-up
  MSG_LEVEL_WANT = 6,   // client: send me the level
  MSG_LEVEL_PIECE = 7,  // host: a piece of the level
  MSG_START = 8,     // host: the match as it is set up
  MSG_HASH = 9,      // the state hash of a confirmed tick
  MSG_DROP = 10,     // host: a machine left; its vurks are the computer's from a tick
  MSG_DESYNC = 11,   // host: the hashes differed at a tick
  MSG_COMMANDS = 12, // commands and acknowledgements, on the command channel
};

struct HELLO {
  uint16_t protocol;
  char version[VERSION_SIZE];
  uint64_t content_hash;
  char name[PLAYER_NAME_SIZE];
  uint8_t players;  // 1 or 2
};

struct REFUSE {
  char reason[NET_MESSAGE_SIZE];
};

struct WELCOME {
  uint8_t machine;  // 1..MAX_MACHINES - 1
  uint64_t nonce;
  char version[VERSION_SIZE];
  uint64_t content_hash;
};

struct LOBBY_STATE {
  LOBBY_MACHINE machine[MAX_MACHINES];
  int8_t seat_machine[MAX_VURKS];
  uint8_t seat_player[MAX_VURKS];
  char level[LEVEL_PATH_SIZE];
  uint64_t level_hash;
  uint32_t level_size;
  int32_t lives, frag_limit;
  uint8_t input_delay;
};

struct SEAT_SETUP {
  int8_t team;      // 0..3
  uint8_t item;     // MI_ value
  int32_t weapon[WEAPON_SLOTS];  // -1 or a weapon type number
};
struct READY {
  uint8_t ready;
  uint8_t seats;  // set-ups that follow, one per local player: 0..2
  SEAT_SETUP seat[HUMAN_PLAYERS];
};

struct LEVEL_PIECE_MSG {
  uint32_t offset, total;
  uint16_t size;
  uint8_t bytes[LEVEL_PIECE];
};

// What every machine needs to set the same match up.
struct START {
  uint64_t nonce;
  uint32_t seed;          // printed in the outcome
  uint32_t random_state;  // the generator as the match is set up
  char level[LEVEL_PATH_SIZE];
  uint64_t level_hash;
  uint32_t level_size;
  REPLAY_SETUP setup;
  int32_t next_bullet, next_explosion, next_particle, next_bullethole;
  float radar_angle;
  uint8_t input_delay;
  int8_t seat_machine[MAX_VURKS];
  uint8_t seat_player[MAX_VURKS];
};

struct HASH_MSG {
  uint32_t tick;
  uint64_t hash;
};

struct DROP {
  uint8_t machine;
  uint32_t from_tick;  // its vurks are the computer's from this tick on
  char reason[NET_MESSAGE_SIZE];
};

struct DESYNC {
  uint32_t tick;
};

// One vurk's commands for ticks first .. first + count - 1.
struct COMMAND_BLOCK {
  uint8_t vurk;
  uint32_t first;
  uint8_t count;
  VURK_COMMAND command[MAX_BLOCK_TICKS];
};
struct COMMANDS {
  uint32_t tick;               // the sender's tick being played
  uint32_t ack[MAX_VURKS];     // for each vurk, the last tick up to which the sender has all
  uint8_t blocks;
  COMMAND_BLOCK block[MAX_BLOCKS];
};

// Encoders write at most `size` bytes and return how many, or 0 when it doesn't fit; the
// commands encoder fits as many of each block's leading ticks as `size` allows and trims
// the blocks to what it wrote. Decoders take a whole message, first byte its type, and
// return false on anything out of size or range.
int encode_hello(const HELLO& m, uint8_t* out, int size);
int encode_refuse(const REFUSE& m, uint8_t* out, int size);
int encode_welcome(const WELCOME& m, uint8_t* out, int size);
int encode_lobby(const LOBBY_STATE& m, uint8_t* out, int size);
int encode_ready(const READY& m, uint8_t* out, int size);
int encode_level_want(uint8_t* out, int size);
int encode_level_piece(const LEVEL_PIECE_MSG& m, uint8_t* out, int size);
int encode_start(const START& m, uint8_t* out, int size);
int encode_hash(const HASH_MSG& m, uint8_t* out, int size);
int encode_drop(const DROP& m, uint8_t* out, int size);
int encode_desync(const DESYNC& m, uint8_t* out, int size);
int encode_commands(COMMANDS* m, uint8_t* out, int size);

bool decode_hello(const uint8_t* in, size_t size, HELLO* m);
bool decode_refuse(const uint8_t* in, size_t size, REFUSE* m);
bool decode_welcome(const uint8_t* in, size_t size, WELCOME* m);
bool decode_lobby(const uint8_t* in, size_t size, LOBBY_STATE* m);
bool decode_ready(const uint8_t* in, size_t size, READY* m);
bool decode_level_piece(const uint8_t* in, size_t size, LEVEL_PIECE_MSG* m);
bool decode_start(const uint8_t* in, size_t size, START* m);
bool decode_hash(const uint8_t* in, size_t size, HASH_MSG* m);
bool decode_drop(const uint8_t* in, size_t size, DROP* m);
bool decode_desync(const uint8_t* in, size_t size, DESYNC* m);
bool decode_commands(const uint8_t* in, size_t size, COMMANDS* m);

// Any message: its type when it decodes whole, 0 when it doesn't (the fuzz target's way in).
uint8_t decode_any(const uint8_t* in, size_t size);

}  // namespace vurkhold
