// fuzz target: a network message as it arrives, through decode_any; one that decodes as
// commands is also encoded again and decoded again, and must give the same commands.
// `fuzz_packet --write-seeds DIR` writes one valid message of each kind into DIR and exits.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "control/control.h"
#include "net/protocol.h"

namespace {

using namespace vurkhold;

[[noreturn]] void give_up(const char* what, const char* detail) {
  std::fprintf(stderr, "fuzz: %s: %s\n", what, detail);
  std::exit(1);
}

bool same_command(const VURK_COMMAND& a, const VURK_COMMAND& b) {
  if (a.buttons != b.buttons || a.weapon != b.weapon || a.mouse_dx != b.mouse_dx || a.mouse_dy != b.mouse_dy)
    return false;
  for (int s = 0; s < VC_STICKS; s++)
    if (a.stick[s] != b.stick[s]) return false;
  return true;
}

bool same_commands(const COMMANDS& a, const COMMANDS& b) {
  if (a.tick != b.tick || a.blocks != b.blocks) return false;
  for (int v = 0; v < MAX_VURKS; v++)
    if (a.ack[v] != b.ack[v]) return false;
  for (int i = 0; i < a.blocks; i++) {
    const COMMAND_BLOCK& x = a.block[i];
    const COMMAND_BLOCK& y = b.block[i];
    if (x.vurk != y.vurk || x.first != y.first || x.count != y.count) return false;
    for (int t = 0; t < x.count; t++)
      if (!same_command(x.command[t], y.command[t])) return false;
  }
  return true;
}

// The decoder's promise for every command it accepts: the travel make_commands keeps to.
bool within_travel(const COMMANDS& m) {
  for (int i = 0; i < m.blocks; i++)
    for (int t = 0; t < m.block[i].count; t++) {
      const VURK_COMMAND& c = m.block[i].command[t];
      if (c.mouse_dx < -MAX_COMMAND_MOUSE || c.mouse_dx > MAX_COMMAND_MOUSE || c.mouse_dy < -MAX_COMMAND_MOUSE ||
          c.mouse_dy > MAX_COMMAND_MOUSE)
        return false;
    }
  return true;
}

void write_seed(const char* dir, const char* name, const uint8_t* bytes, int size) {
  if (size <= 0) give_up("a seed does not encode", name);
  if (decode_any(bytes, static_cast<size_t>(size)) != bytes[0]) give_up("a seed does not decode", name);
  char path[1024];
  std::snprintf(path, sizeof path, "%s/%s", dir, name);
  std::FILE* f = std::fopen(path, "wb");
  if (!f || std::fwrite(bytes, 1, static_cast<size_t>(size), f) != static_cast<size_t>(size))
    give_up("can't write", path);
  std::fclose(f);
}

void write_seeds(const char* dir) {
  static uint8_t out[MAX_CONTROL_MESSAGE];
  constexpr int SIZE = sizeof out;

  HELLO hello = {};
  hello.protocol = NET_PROTOCOL;
  std::snprintf(hello.version, sizeof hello.version, "0.9.0");
  hello.content_hash = 0x1234abcd5678ef01ull;
  std::snprintf(hello.name, sizeof hello.name, "Ferrin");
  hello.players = 2;
  write_seed(dir, "hello", out, encode_hello(hello, out, SIZE));

  WELCOME welcome = {};
  welcome.machine = 2;
  welcome.nonce = 0xfeedfacecafebeefull;
  std::snprintf(welcome.version, sizeof welcome.version, "0.9.0");
  welcome.content_hash = hello.content_hash;
  write_seed(dir, "welcome", out, encode_welcome(welcome, out, SIZE));

  LOBBY_STATE lobby = {};
  for (int i = 0; i < 3; i++) {
    LOBBY_MACHINE& m = lobby.machine[i];
    m.present = 1;
    m.ready = i != 1;
    m.players = i == 0 ? 0 : static_cast<uint8_t>(i);
    std::snprintf(m.name, sizeof m.name, "machine %d", i);
    m.ping_ms = 35 * i;
  }
  const int8_t seat_machine[MAX_VURKS] = {1, 2, 2, -1};
  const uint8_t seat_player[MAX_VURKS] = {0, 0, 1, 0};
  std::memcpy(lobby.seat_machine, seat_machine, sizeof seat_machine);
  std::memcpy(lobby.seat_player, seat_player, sizeof seat_player);
  std::snprintf(lobby.level, sizeof lobby.level, "levels/maze.vhl");
  lobby.level_hash = 0x0102030405060708ull;
  lobby.level_size = 41000;
  lobby.lives = 5;
  lobby.frag_limit = 20;
  lobby.input_delay = 2;
  write_seed(dir, "lobby", out, encode_lobby(lobby, out, SIZE));

  READY ready = {};
  ready.ready = 1;
  ready.seats = 2;
  ready.seat[0] = {1, MI_JETPACK, {0, 3, -1, 7}};
  ready.seat[1] = {3, MI_NINJAROPE, {5, -1, -1, 1}};
  write_seed(dir, "ready", out, encode_ready(ready, out, SIZE));

  static LEVEL_PIECE_MSG piece = {};
  piece.offset = 2048;
  piece.total = 41000;
  piece.size = 300;
  for (int i = 0; i < piece.size; i++) piece.bytes[i] = static_cast<uint8_t>(i * 37);
  write_seed(dir, "level_piece", out, encode_level_piece(piece, out, SIZE));

  START start = {};
  start.nonce = welcome.nonce;
  start.seed = 7;
  start.random_state = 0x9e3779b9u;
  std::snprintf(start.level, sizeof start.level, "levels/maze.vhl");
  start.level_hash = lobby.level_hash;
  start.level_size = lobby.level_size;
  start.setup.lives = 5;
  start.setup.frag_limit = 20;
  start.setup.light_range = 36;
  start.setup.ambient = 0.2f;
  start.setup.camera = CM_THIRD_PERSON;
  start.setup.sort_particles = 1;
  for (int i = 0; i < MAX_VURKS; i++) {
    REPLAY_VURK& v = start.setup.vurk[i];
    v.num = i;
    v.team = static_cast<int8_t>(i);
    v.type = i < 3 ? MLT_HUMAN : MLT_COMPUTER;
    v.item = i % 2 ? MI_JETPACK : MI_NINJAROPE;
    for (int w = 0; w < WEAPON_SLOTS; w++) v.weapon[w] = w * 2 + i;
  }
  start.next_bullet = 12;
  start.next_explosion = 3;
  start.next_particle = 40;
  start.next_bullethole = 9;
  start.radar_angle = 123.5f;
  start.input_delay = 2;
  std::memcpy(start.seat_machine, seat_machine, sizeof seat_machine);
  std::memcpy(start.seat_player, seat_player, sizeof seat_player);
  write_seed(dir, "start", out, encode_start(start, out, SIZE));

  write_seed(dir, "hash", out, encode_hash({3600, 0xdeadbeef00c0ffeeull}, out, SIZE));

  DROP drop = {};
  drop.machine = 3;
  drop.from_tick = 4242;
  std::snprintf(drop.reason, sizeof drop.reason, "machine 3 has been silent for 5 seconds");
  write_seed(dir, "drop", out, encode_drop(drop, out, SIZE));

  write_seed(dir, "desync", out, encode_desync({3660}, out, SIZE));

  static COMMANDS commands = {};
  commands.tick = 905;
  for (int v = 0; v < MAX_VURKS; v++) commands.ack[v] = 900 + static_cast<uint32_t>(v);
  commands.blocks = 2;
  commands.block[0].vurk = 1;
  commands.block[0].first = 903;
  commands.block[0].count = 3;
  commands.block[0].command[0] = {VC_MOUSE | VC_FORWARD | VC_FIRE, 0, -7, 3, {}};
  commands.block[0].command[1] = {VC_MOUSE | VC_FORWARD, 2, 120, -40, {}};
  commands.block[0].command[2] = {};
  commands.block[1].vurk = 2;
  commands.block[1].first = 904;
  commands.block[1].count = 2;
  commands.block[1].command[0] = {VC_PAD | VC_JUMP, 0, 0, 0, {-21000, 12000, 300, -32767}};
  commands.block[1].command[1] = {VC_PAD, 4, 0, 0, {0, 32767, 0, 0}};
  static uint8_t packet[MAX_COMMAND_PACKET];
  write_seed(dir, "commands", packet, encode_commands(&commands, packet, sizeof packet));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (*argc == 3 && std::strcmp((*argv)[1], "--write-seeds") == 0) {
    write_seeds((*argv)[2]);
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (decode_any(data, size) != MSG_COMMANDS) return 0;
  static COMMANDS first, sent, again;
  static uint8_t packet[MAX_COMMAND_PACKET];
  if (!decode_commands(data, size, &first)) __builtin_trap();
  if (!within_travel(first)) __builtin_trap();
  sent = first;
  const int n = encode_commands(&sent, packet, sizeof packet);
  if (n <= 0 || !decode_commands(packet, static_cast<size_t>(n), &again) || !same_commands(first, again) ||
      !same_commands(first, sent))
    __builtin_trap();
  return 0;
}
