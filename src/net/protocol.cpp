// protocol: the messages' encodings, little-endian and packed, and their checks.
#include "net/protocol.h"

#include <cmath>
#include <cstring>

#include "control/control.h"
#include "terrain/terrain.h"

namespace vurkhold {

namespace {

struct WRITER {
  uint8_t* out;
  int size;
  int at = 0;
  bool ok = true;
  void bytes(const void* p, int n) {
    if (!ok || n > size - at) {
      ok = false;
      return;
    }
    std::memcpy(out + at, p, static_cast<size_t>(n));
    at += n;
  }
  template <typename T>
  void put(T v) {
    bytes(&v, sizeof v);
  }
  // A text as its length and its bytes, without the zero.
  void text(const char* s, int field) {
    const int n = static_cast<int>(strnlen(s, static_cast<size_t>(field - 1)));
    put<uint8_t>(static_cast<uint8_t>(n));
    bytes(s, n);
  }
  int done() const { return ok ? at : 0; }
};

struct READER {
  const uint8_t* in;
  size_t size;
  size_t at = 0;
  bool ok = true;
  void bytes(void* p, size_t n) {
    if (!ok || n > size - at) {
      ok = false;
      std::memset(p, 0, n);
      return;
    }
    std::memcpy(p, in + at, n);
    at += n;
  }
  template <typename T>
  T get() {
    T v;
    bytes(&v, sizeof v);
    return v;
  }
  // A text that fits its field with its zero and holds printable characters only.
  void text(char* s, int field) {
    const uint8_t n = get<uint8_t>();
    if (n >= field) ok = false;
    if (!ok) {
      s[0] = '\0';
      return;
    }
    bytes(s, n);
    s[ok ? n : 0] = '\0';
    for (int i = 0; ok && i < n; i++)
      if (static_cast<unsigned char>(s[i]) < 32 || static_cast<unsigned char>(s[i]) > 126) ok = false;
  }
  // Every byte read, no more and no fewer.
  bool whole() const { return ok && at == size; }
};

bool in_range(long v, long lo, long hi) { return v >= lo && v <= hi; }

WRITER begin(MESSAGE type, uint8_t* out, int size) {
  WRITER w{out, size};
  w.put<uint8_t>(type);
  return w;
}

bool begin_read(READER* r, MESSAGE type) { return r->get<uint8_t>() == type && r->ok; }

void put_machine(WRITER* w, const LOBBY_MACHINE& m) {
  w->put(m.present);
  w->put(m.ready);
  w->put(m.players);
  w->text(m.name, PLAYER_NAME_SIZE);
  w->put(m.ping_ms);
}

void get_machine(READER* r, LOBBY_MACHINE* m) {
  m->present = r->get<uint8_t>();
  m->ready = r->get<uint8_t>();
  m->players = r->get<uint8_t>();
  r->text(m->name, PLAYER_NAME_SIZE);
  m->ping_ms = r->get<int32_t>();
  if (m->present > 1 || m->ready > 1 || m->players > HUMAN_PLAYERS || !in_range(m->ping_ms, 0, 60000)) r->ok = false;
}

void put_seats(WRITER* w, const int8_t* machine, const uint8_t* player) {
  for (int i = 0; i < MAX_VURKS; i++) w->put(machine[i]);
  for (int i = 0; i < MAX_VURKS; i++) w->put(player[i]);
}

void get_seats(READER* r, int8_t* machine, uint8_t* player) {
  for (int i = 0; i < MAX_VURKS; i++) machine[i] = r->get<int8_t>();
  for (int i = 0; i < MAX_VURKS; i++) player[i] = r->get<uint8_t>();
  for (int i = 0; i < MAX_VURKS; i++)
    if (!in_range(machine[i], -1, MAX_MACHINES - 1) || player[i] >= HUMAN_PLAYERS) r->ok = false;
}

bool sound_setup(const REPLAY_SETUP& s) {
  bool ok = in_range(s.lives, 1, 1000) && in_range(s.frag_limit, 1, 1000) && in_range(s.light_range, 0, 1000) &&
            std::isfinite(s.ambient) && std::fabs(s.ambient) <= 2.0f && s.camera <= CM_THIRD_PERSON &&
            s.sort_particles <= 1;
  for (int i = 0; i < MAX_VURKS; i++) {
    const REPLAY_VURK& v = s.vurk[i];
    ok = ok && v.num == i && in_range(v.team, 0, 3) && v.type <= MLT_OFF && v.item <= MI_JETPACK;
    for (int32_t w : v.weapon) ok = ok && in_range(w, -1, MAX_WEAPON_TYPES - 1);
  }
  return ok;
}

}  // namespace

int encode_hello(const HELLO& m, uint8_t* out, int size) {
  WRITER w = begin(MSG_HELLO, out, size);
  w.put(m.protocol);
  w.text(m.version, VERSION_SIZE);
  w.put(m.content_hash);
  w.text(m.name, PLAYER_NAME_SIZE);
  w.put(m.players);
  return w.done();
}

bool decode_hello(const uint8_t* in, size_t size, HELLO* m) {
  READER r{in, size};
  if (!begin_read(&r, MSG_HELLO)) return false;
  m->protocol = r.get<uint16_t>();
  r.text(m->version, VERSION_SIZE);
  m->content_hash = r.get<uint64_t>();
  r.text(m->name, PLAYER_NAME_SIZE);
  m->players = r.get<uint8_t>();
  return r.whole() && in_range(m->players, 1, HUMAN_PLAYERS);
}

int encode_refuse(const REFUSE& m, uint8_t* out, int size) {
  WRITER w = begin(MSG_REFUSE, out, size);
  w.text(m.reason, NET_MESSAGE_SIZE);
  return w.done();
}

bool decode_refuse(const uint8_t* in, size_t size, REFUSE* m) {
  READER r{in, size};
  if (!begin_read(&r, MSG_REFUSE)) return false;
  r.text(m->reason, NET_MESSAGE_SIZE);
  return r.whole();
}

int encode_welcome(const WELCOME& m, uint8_t* out, int size) {
  WRITER w = begin(MSG_WELCOME, out, size);
  w.put(m.machine);
  w.put(m.nonce);
  w.text(m.version, VERSION_SIZE);
  w.put(m.content_hash);
  return w.done();
}

bool decode_welcome(const uint8_t* in, size_t size, WELCOME* m) {
  READER r{in, size};
  if (!begin_read(&r, MSG_WELCOME)) return false;
  m->machine = r.get<uint8_t>();
  m->nonce = r.get<uint64_t>();
  r.text(m->version, VERSION_SIZE);
  m->content_hash = r.get<uint64_t>();
  return r.whole() && in_range(m->machine, 1, MAX_MACHINES - 1);
}

int encode_lobby(const LOBBY_STATE& m, uint8_t* out, int size) {
  WRITER w = begin(MSG_LOBBY, out, size);
  for (const LOBBY_MACHINE& machine : m.machine) put_machine(&w, machine);
  put_seats(&w, m.seat_machine, m.seat_player);
  w.text(m.level, LEVEL_PATH_SIZE);
  w.put(m.level_hash);
  w.put(m.level_size);
  w.put(m.lives);
  w.put(m.frag_limit);
  w.put(m.input_delay);
  return w.done();
}

bool decode_lobby(const uint8_t* in, size_t size, LOBBY_STATE* m) {
  READER r{in, size};
  if (!begin_read(&r, MSG_LOBBY)) return false;
  for (LOBBY_MACHINE& machine : m->machine) get_machine(&r, &machine);
  get_seats(&r, m->seat_machine, m->seat_player);
  r.text(m->level, LEVEL_PATH_SIZE);
  m->level_hash = r.get<uint64_t>();
  m->level_size = r.get<uint32_t>();
  m->lives = r.get<int32_t>();
  m->frag_limit = r.get<int32_t>();
  m->input_delay = r.get<uint8_t>();
  return r.whole() && m->level[0] && in_range(m->level_size, 1, MAX_LEVEL_BYTES) && in_range(m->lives, 1, 1000) &&
         in_range(m->frag_limit, 1, 1000) && in_range(m->input_delay, MIN_INPUT_DELAY, MAX_INPUT_DELAY);
}

int encode_ready(const READY& m, uint8_t* out, int size) {
  WRITER w = begin(MSG_READY, out, size);
  w.put(m.ready);
  w.put(m.seats);
  for (int s = 0; s < m.seats && s < HUMAN_PLAYERS; s++) {
    w.put(m.seat[s].team);
    w.put(m.seat[s].item);
    for (int32_t weapon : m.seat[s].weapon) w.put(weapon);
  }
  return w.done();
}

bool decode_ready(const uint8_t* in, size_t size, READY* m) {
  READER r{in, size};
  if (!begin_read(&r, MSG_READY)) return false;
  m->ready = r.get<uint8_t>();
  m->seats = r.get<uint8_t>();
  if (m->ready > 1 || m->seats > HUMAN_PLAYERS) return false;
  for (int s = 0; s < m->seats; s++) {
    SEAT_SETUP& seat = m->seat[s];
    seat.team = r.get<int8_t>();
    seat.item = r.get<uint8_t>();
    for (int32_t& weapon : seat.weapon) weapon = r.get<int32_t>();
    if (!in_range(seat.team, 0, 3) || seat.item > MI_JETPACK) return false;
    for (int32_t weapon : seat.weapon)
      if (!in_range(weapon, -1, MAX_WEAPON_TYPES - 1)) return false;
  }
  return r.whole();
}

int encode_level_want(uint8_t* out, int size) { return begin(MSG_LEVEL_WANT, out, size).done(); }

int encode_level_piece(const LEVEL_PIECE_MSG& m, uint8_t* out, int size) {
  if (m.size > LEVEL_PIECE) return 0;
  WRITER w = begin(MSG_LEVEL_PIECE, out, size);
  w.put(m.offset);
  w.put(m.total);
  w.put(m.size);
  w.bytes(m.bytes, m.size);
  return w.done();
}

bool decode_level_piece(const uint8_t* in, size_t size, LEVEL_PIECE_MSG* m) {
  READER r{in, size};
  if (!begin_read(&r, MSG_LEVEL_PIECE)) return false;
  m->offset = r.get<uint32_t>();
  m->total = r.get<uint32_t>();
  m->size = r.get<uint16_t>();
  if (!r.ok || m->size < 1 || m->size > LEVEL_PIECE || !in_range(m->total, 1, MAX_LEVEL_BYTES) ||
      m->offset >= m->total || m->size > m->total - m->offset)
    return false;
  r.bytes(m->bytes, m->size);
  return r.whole();
}

int encode_start(const START& m, uint8_t* out, int size) {
  WRITER w = begin(MSG_START, out, size);
  w.put(m.nonce);
  w.put(m.seed);
  w.put(m.random_state);
  w.text(m.level, LEVEL_PATH_SIZE);
  w.put(m.level_hash);
  w.put(m.level_size);
  const REPLAY_SETUP& s = m.setup;
  w.put(s.lives);
  w.put(s.frag_limit);
  w.put(s.light_range);
  w.put(s.ambient);
  w.put(s.camera);
  w.put(s.sort_particles);
  for (const REPLAY_VURK& v : s.vurk) {
    w.put(v.num);
    w.put(v.team);
    w.put(v.type);
    w.put(v.item);
    for (int32_t weapon : v.weapon) w.put(weapon);
  }
  w.put(m.next_bullet);
  w.put(m.next_explosion);
  w.put(m.next_particle);
  w.put(m.next_bullethole);
  w.put(m.radar_angle);
  w.put(m.input_delay);
  put_seats(&w, m.seat_machine, m.seat_player);
  return w.done();
}

bool decode_start(const uint8_t* in, size_t size, START* m) {
  READER r{in, size};
  if (!begin_read(&r, MSG_START)) return false;
  m->nonce = r.get<uint64_t>();
  m->seed = r.get<uint32_t>();
  m->random_state = r.get<uint32_t>();
  r.text(m->level, LEVEL_PATH_SIZE);
  m->level_hash = r.get<uint64_t>();
  m->level_size = r.get<uint32_t>();
  REPLAY_SETUP& s = m->setup;
  s.lives = r.get<int32_t>();
  s.frag_limit = r.get<int32_t>();
  s.light_range = r.get<int32_t>();
  s.ambient = r.get<float>();
  s.camera = r.get<uint8_t>();
  s.sort_particles = r.get<uint8_t>();
  for (REPLAY_VURK& v : s.vurk) {
    v.num = r.get<int32_t>();
    v.team = r.get<int8_t>();
    v.type = r.get<uint8_t>();
    v.item = r.get<uint8_t>();
    for (int32_t& weapon : v.weapon) weapon = r.get<int32_t>();
  }
  m->next_bullet = r.get<int32_t>();
  m->next_explosion = r.get<int32_t>();
  m->next_particle = r.get<int32_t>();
  m->next_bullethole = r.get<int32_t>();
  m->radar_angle = r.get<float>();
  m->input_delay = r.get<uint8_t>();
  get_seats(&r, m->seat_machine, m->seat_player);
  return r.whole() && m->level[0] && in_range(m->level_size, 1, MAX_LEVEL_BYTES) && sound_setup(s) &&
         in_range(m->next_bullet, 0, MAX_BULLETS - 1) && in_range(m->next_explosion, 0, MAX_EXPLOSIONS - 1) &&
         in_range(m->next_particle, 0, MAX_PARTICLES - 1) && in_range(m->next_bullethole, 0, MAX_BULLETHOLES - 1) &&
         std::isfinite(m->radar_angle) && m->radar_angle >= 0.0f && m->radar_angle <= 360.0f &&
         in_range(m->input_delay, MIN_INPUT_DELAY, MAX_INPUT_DELAY);
}

int encode_hash(const HASH_MSG& m, uint8_t* out, int size) {
  WRITER w = begin(MSG_HASH, out, size);
  w.put(m.tick);
  w.put(m.hash);
  return w.done();
}

bool decode_hash(const uint8_t* in, size_t size, HASH_MSG* m) {
  READER r{in, size};
  if (!begin_read(&r, MSG_HASH)) return false;
  m->tick = r.get<uint32_t>();
  m->hash = r.get<uint64_t>();
  return r.whole() && m->tick > 0;
}

int encode_drop(const DROP& m, uint8_t* out, int size) {
  WRITER w = begin(MSG_DROP, out, size);
  w.put(m.machine);
  w.put(m.from_tick);
  w.text(m.reason, NET_MESSAGE_SIZE);
  return w.done();
}

bool decode_drop(const uint8_t* in, size_t size, DROP* m) {
  READER r{in, size};
  if (!begin_read(&r, MSG_DROP)) return false;
  m->machine = r.get<uint8_t>();
  m->from_tick = r.get<uint32_t>();
  r.text(m->reason, NET_MESSAGE_SIZE);
  return r.whole() && in_range(m->machine, 1, MAX_MACHINES - 1) && m->from_tick > 0;
}

int encode_desync(const DESYNC& m, uint8_t* out, int size) {
  WRITER w = begin(MSG_DESYNC, out, size);
  w.put(m.tick);
  return w.done();
}

bool decode_desync(const uint8_t* in, size_t size, DESYNC* m) {
  READER r{in, size};
  if (!begin_read(&r, MSG_DESYNC)) return false;
  m->tick = r.get<uint32_t>();
  return r.whole() && m->tick > 0;
}

// The head, then each block's head and as many of its commands as fit; a block none of
// whose commands fits is left out.
int encode_commands(COMMANDS* m, uint8_t* out, int size) {
  WRITER w = begin(MSG_COMMANDS, out, size);
  w.put(m->tick);
  for (uint32_t a : m->ack) w.put(a);
  const int blocks_at = w.at;
  w.put<uint8_t>(0);
  if (!w.ok) return 0;
  constexpr int BLOCK_HEAD = 1 + 4 + 1;
  uint8_t written = 0;
  for (int b = 0; b < m->blocks && b < MAX_BLOCKS; b++) {
    COMMAND_BLOCK& block = m->block[b];
    if (w.size - w.at < BLOCK_HEAD + 1) break;
    const int head = w.at;
    w.at += BLOCK_HEAD;
    uint8_t count = 0;
    for (int t = 0; t < block.count && t < MAX_BLOCK_TICKS; t++) {
      uint8_t bytes[COMMAND_BYTES];
      const int n = encode_command(block.command[t], bytes);
      if (n > w.size - w.at) break;
      w.bytes(bytes, n);
      count++;
    }
    if (!count) {
      w.at = head;
      continue;
    }
    block.count = count;
    std::memcpy(out + head, &block.vurk, 1);
    std::memcpy(out + head + 1, &block.first, 4);
    std::memcpy(out + head + 5, &count, 1);
    m->block[written++] = block;
  }
  m->blocks = written;
  out[blocks_at] = written;
  return w.done();
}

bool decode_commands(const uint8_t* in, size_t size, COMMANDS* m) {
  if (size > static_cast<size_t>(MAX_COMMAND_PACKET)) return false;
  READER r{in, size};
  if (!begin_read(&r, MSG_COMMANDS)) return false;
  m->tick = r.get<uint32_t>();
  for (uint32_t& a : m->ack) a = r.get<uint32_t>();
  m->blocks = r.get<uint8_t>();
  if (!r.ok || m->blocks > MAX_BLOCKS) return false;
  for (int b = 0; b < m->blocks; b++) {
    COMMAND_BLOCK& block = m->block[b];
    block.vurk = r.get<uint8_t>();
    block.first = r.get<uint32_t>();
    block.count = r.get<uint8_t>();
    if (!r.ok || block.vurk >= MAX_VURKS || block.first == 0 || block.count < 1 || block.count > MAX_BLOCK_TICKS ||
        block.first > UINT32_MAX - block.count)
      return false;
    for (int t = 0; t < block.count; t++) {
      const int n = decode_command(in + r.at, static_cast<int>(size - r.at), &block.command[t]);
      if (!n) return false;
      r.at += static_cast<size_t>(n);
    }
  }
  return r.whole();
}

uint8_t decode_any(const uint8_t* in, size_t size) {
  if (!size) return 0;
  static union {
    HELLO hello;
    REFUSE refuse;
    WELCOME welcome;
    LOBBY_STATE lobby;
    READY ready;
    LEVEL_PIECE_MSG piece;
    START start;
    HASH_MSG hash;
    DROP drop;
    DESYNC desync;
    COMMANDS commands;
  } m;
  bool ok = false;
  switch (in[0]) {
    case MSG_HELLO: ok = decode_hello(in, size, &m.hello); break;
    case MSG_REFUSE: ok = decode_refuse(in, size, &m.refuse); break;
    case MSG_WELCOME: ok = decode_welcome(in, size, &m.welcome); break;
    case MSG_LOBBY: ok = decode_lobby(in, size, &m.lobby); break;
    case MSG_READY: ok = decode_ready(in, size, &m.ready); break;
    case MSG_LEVEL_WANT: ok = size == 1; break;
    case MSG_LEVEL_PIECE: ok = decode_level_piece(in, size, &m.piece); break;
    case MSG_START: ok = decode_start(in, size, &m.start); break;
    case MSG_HASH: ok = decode_hash(in, size, &m.hash); break;
    case MSG_DROP: ok = decode_drop(in, size, &m.drop); break;
    case MSG_DESYNC: ok = decode_desync(in, size, &m.desync); break;
    case MSG_COMMANDS: ok = decode_commands(in, size, &m.commands); break;
    default: break;
  }
  return ok ? in[0] : 0;
}

}  // namespace vurkhold
