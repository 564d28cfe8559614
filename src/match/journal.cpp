// replay journal: a match's commands recorded step by step into a replay file, and the
// same file read back to play the match again: its header sets the match up as it was,
// its steps feed the same commands, and the state hashes in it prove the world the same.
//
// A file is eight bytes ("VHR" 0x1a and the format, 32 bits little-endian), then one zlib
// stream. The stream holds the header, then records of a tag byte and their fields.
// Format 2, written now: the header, the tick (u32), the level file's size (u32) and its
// bytes, then
//   'f' step          u8 ms, u8 vurks (bit i: vurk i's command follows), the commands
//                     as encode_command writes them; a vurk left out asks for nothing
//   'd' death         u32 frame, u8 victim, u8 killer (255: none)
//   'h' state hash    u32 frame, u64 hash           (every REPLAY_HASH_EVERY steps)
//   'e' end           u32 frames, u64 hash
// Format 1, still played: the header alone, and in place of the commands the devices as
// they reached the match, turned into commands on playing by make_recorded_commands, with
// the keys the game had when such files were written:
//   'k' key change    u8 journal key, u8 down       (before its frame)
//   'm' mouse         i32 dx, i32 dy                (before its frame)
//   'p' pad           u8 player, u8 connected, u32 buttons, i16 axes[6]  (before its frame)
//   'f' frame         u8 ms: the frame's step runs with the input so far
// Each step is flushed whole to the file, so a game that dies leaves a replay that
// plays to its last whole step.
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "control/control.h"
#include "match/match.h"
#include "terrain/terrain.h"

namespace vurkhold {

namespace {

constexpr char MAGIC[4] = {'V', 'H', 'R', 0x1a};
constexpr int PREFIX_SIZE = 8;
constexpr uint8_t NO_KILLER = 255;

// The keys the match reads: both players' walking and actions, player 2's look, Escape.
constexpr int JOURNAL_KEYS[] = {VK_UP,      VK_DOWN,   VK_LEFT,   VK_RIGHT,      VK_LBUTTON, VK_RBUTTON, VK_NUMPAD0,
                                VK_NUMPAD0 + 1, VK_NUMPAD0 + 2, VK_NUMPAD0 + 3, VK_NUMPAD0 + 4, 'W', 'S', 'A',
                                'D',        VK_SPACE,  VK_SHIFT,  'E',           '1',        '2',        '3',
                                '4',        'U',       'J',       'H',           'K',        VK_ESCAPE};
constexpr int KEY_COUNT = static_cast<int>(sizeof JOURNAL_KEYS / sizeof JOURNAL_KEYS[0]);

// ---- the header's bytes ----

struct WRITER {
  uint8_t* at;
  uint8_t* end;
  template <typename T>
  void put(T v) {
    if (at + sizeof v > end) return;
    std::memcpy(at, &v, sizeof v);
    at += sizeof v;
  }
  void put_bytes(const void* p, size_t n) {
    if (at + n > end) return;
    std::memcpy(at, p, n);
    at += n;
  }
};

struct READER {
  const uint8_t* at;
  const uint8_t* end;
  bool ok = true;
  template <typename T>
  T get() {
    T v{};
    if (at + sizeof v > end) {
      ok = false;
      return v;
    }
    std::memcpy(&v, at, sizeof v);
    at += sizeof v;
    return v;
  }
  void get_bytes(void* p, size_t n) {
    if (at + n > end) {
      ok = false;
      return;
    }
    std::memcpy(p, at, n);
    at += n;
  }
};

constexpr int HEADER_BYTES = 32 + 8 + 8 + LEVEL_PATH_SIZE + 4 + 4 + 4 + 1 + 4 * 4 + 1 + 1 +
                             MAX_VURKS * (4 + 1 + 1 + 1 + 4 * WEAPON_SLOTS) + 4 * 4 + 4 + 4 * HUMAN_PLAYERS;
constexpr int HEADER_2_BYTES = HEADER_BYTES + 4 + 4;  // and the tick and the level's size

void write_header(WRITER* w, const REPLAY_HEADER& h) {
  w->put_bytes(h.game_version, sizeof h.game_version);
  w->put(h.content_hash);
  w->put(h.level_hash);
  w->put_bytes(h.level, sizeof h.level);
  w->put(h.seed);
  w->put(h.random_state);
  w->put(h.frame_ms);
  w->put(h.views);
  w->put(h.setup.lives);
  w->put(h.setup.frag_limit);
  w->put(h.setup.light_range);
  w->put(h.setup.ambient);
  w->put(h.setup.camera);
  w->put(h.setup.sort_particles);
  for (const REPLAY_VURK& v : h.setup.vurk) {
    w->put(v.num);
    w->put(v.team);
    w->put(v.type);
    w->put(v.item);
    for (int32_t n : v.weapon) w->put(n);
  }
  w->put(h.next_bullet);
  w->put(h.next_explosion);
  w->put(h.next_particle);
  w->put(h.next_bullethole);
  w->put(h.radar_angle);
  for (uint32_t b : h.held_buttons) w->put(b);
  if (h.format < 2) return;
  w->put(h.tick);
  w->put(h.level_size);
}

void read_header(READER* r, REPLAY_HEADER* h) {
  r->get_bytes(h->game_version, sizeof h->game_version);
  h->game_version[sizeof h->game_version - 1] = '\0';
  h->content_hash = r->get<uint64_t>();
  h->level_hash = r->get<uint64_t>();
  r->get_bytes(h->level, sizeof h->level);
  h->level[sizeof h->level - 1] = '\0';
  h->seed = r->get<uint32_t>();
  h->random_state = r->get<uint32_t>();
  h->frame_ms = r->get<uint32_t>();
  h->views = r->get<uint8_t>();
  h->setup.lives = r->get<int32_t>();
  h->setup.frag_limit = r->get<int32_t>();
  h->setup.light_range = r->get<int32_t>();
  h->setup.ambient = r->get<float>();
  h->setup.camera = r->get<uint8_t>();
  h->setup.sort_particles = r->get<uint8_t>();
  for (REPLAY_VURK& v : h->setup.vurk) {
    v.num = r->get<int32_t>();
    v.team = r->get<int8_t>();
    v.type = r->get<uint8_t>();
    v.item = r->get<uint8_t>();
    for (int32_t& n : v.weapon) n = r->get<int32_t>();
  }
  h->next_bullet = r->get<int32_t>();
  h->next_explosion = r->get<int32_t>();
  h->next_particle = r->get<int32_t>();
  h->next_bullethole = r->get<int32_t>();
  h->radar_angle = r->get<float>();
  for (uint32_t& b : h->held_buttons) b = r->get<uint32_t>();
  h->tick = h->level_size = 0;
  if (h->format < 2) return;
  h->tick = r->get<uint32_t>();
  h->level_size = r->get<uint32_t>();
}

// A whole file's bytes hashed (its name too, when `named`); false when it can't be read.
bool hash_file(const char* path, uint64_t* h, bool named) {
  std::FILE* f = platform::open_file(path, "rb");
  if (!f) return false;
  if (named) *h = fnv1a(*h, path, std::strlen(path) + 1);
  uint8_t buffer[16384];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) *h = fnv1a(*h, buffer, n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool hash_listed(const char* name, void* context) {
  auto* h = static_cast<uint64_t*>(context);
  hash_file(name, h, true);
  return true;
}

uint64_t content_hash_cache = 0;
bool content_hashed = false;

// ---- recording ----

struct RECORDER {
  std::FILE* file = nullptr;
  z_stream z;
  char path[REPLAY_PATH_SIZE];
  uint8_t pending[1024];  // this step's records (or the header) before they are compressed
  int pending_size = 0;
  uint8_t out[4096];
  bool failed = false;
  long frames = 0;
  int was_alive[MAX_VURKS];
};
RECORDER rec;
// The level file's bytes as the replay keeps them, and as a replay being played gave them.
uint8_t level_kept[MAX_LEVEL_BYTES];

template <typename T>
void pend(T v) {
  if (rec.pending_size + static_cast<int>(sizeof v) > static_cast<int>(sizeof rec.pending)) return;
  std::memcpy(rec.pending + rec.pending_size, &v, sizeof v);
  rec.pending_size += sizeof v;
}

// Compresses n bytes and writes all that comes out; `flush` is zlib's.
void deflate_bytes(const uint8_t* bytes, size_t n, int flush) {
  if (!rec.file || rec.failed) return;
  rec.z.next_in = const_cast<uint8_t*>(bytes);
  rec.z.avail_in = static_cast<uInt>(n);
  do {
    rec.z.next_out = rec.out;
    rec.z.avail_out = sizeof rec.out;
    const int status = deflate(&rec.z, flush);
    if (status == Z_STREAM_ERROR) {
      rec.failed = true;
      break;
    }
    const size_t out = sizeof rec.out - rec.z.avail_out;
    if (out && std::fwrite(rec.out, 1, out, rec.file) != out) rec.failed = true;
  } while ((rec.z.avail_out == 0 || rec.z.avail_in > 0) && !rec.failed);
  if (flush != Z_NO_FLUSH && std::fflush(rec.file) != 0) rec.failed = true;
  if (rec.failed) std::fprintf(stderr, "vurkhold: the replay %s could not be written: %s\n", rec.path, std::strerror(errno));
}

void deflate_pending(int flush) {
  deflate_bytes(rec.pending, static_cast<size_t>(rec.pending_size), flush);
  rec.pending_size = 0;
}

// A whole level file into level_kept; its size, -1 when it can't be read, -2 when it is
// larger than a replay keeps.
long read_level_bytes(const char* level) {
  std::FILE* f = platform::open_file(level, "rb");
  if (!f) return -1;
  const size_t n = std::fread(level_kept, 1, sizeof level_kept, f);
  const bool more = std::fgetc(f) != EOF;
  const bool bad = std::ferror(f);
  std::fclose(f);
  if (bad) return -1;
  return more ? -2 : static_cast<long>(n);
}

// ---- playing ----

struct PLAYER {
  std::FILE* file = nullptr;
  z_stream z;
  bool z_open = false;
  char path[REPLAY_PATH_SIZE];
  REPLAY_HEADER header;
  uint8_t in[4096];
  uint8_t buffer[8192];  // inflated, not yet read
  int start = 0, size = 0;
  bool at_end = false;   // no more compressed bytes
  bool damaged = false;  // zlib refused the rest
  long frames = 0;
  unsigned frame_ms = 0;  // of the step played last
  // Format 1: the devices as the records so far left them.
  uint8_t key_down[KEY_COUNT];
  platform::Pad pad[HUMAN_PLAYERS];
  int32_t mouse_dx, mouse_dy;
  REPLAY_SETUP kept;     // the settings before the replay set its own
  bool setup_kept = false;
  char message[REPLAY_MESSAGE_SIZE];
};
PLAYER play;
bool playing = false;

// Makes at least n inflated bytes ready; false when the stream ends (or fails) first.
bool fill(int n) {
  if (play.size >= n) return true;
  if (play.start > 0) {
    std::memmove(play.buffer, play.buffer + play.start, static_cast<size_t>(play.size));
    play.start = 0;
  }
  while (play.size < n && !play.damaged) {
    if (play.z.avail_in == 0 && !play.at_end) {
      const size_t got = std::fread(play.in, 1, sizeof play.in, play.file);
      if (got == 0) play.at_end = true;
      play.z.next_in = play.in;
      play.z.avail_in = static_cast<uInt>(got);
    }
    if (play.z.avail_in == 0 && play.at_end) return false;
    play.z.next_out = play.buffer + play.size;
    play.z.avail_out = static_cast<uInt>(sizeof play.buffer - static_cast<size_t>(play.size));
    const int status = inflate(&play.z, Z_NO_FLUSH);
    play.size = static_cast<int>(sizeof play.buffer - play.z.avail_out);
    if (status == Z_STREAM_END) {
      play.at_end = true;
      play.z.avail_in = 0;
    } else if (status != Z_OK && status != Z_BUF_ERROR) {
      play.damaged = true;
    }
  }
  return play.size >= n;
}

template <typename T>
T take() {
  T v;
  std::memcpy(&v, play.buffer + play.start, sizeof v);
  play.start += sizeof v;
  play.size -= sizeof v;
  return v;
}

// n inflated bytes into `to`, more than the buffer holds at once; false when they end first.
bool take_bytes(uint8_t* to, size_t n) {
  while (n > 0) {
    const int part = static_cast<int>(std::min(n, sizeof play.buffer / 2));
    if (!fill(part)) return false;
    std::memcpy(to, play.buffer + play.start, static_cast<size_t>(part));
    play.start += part;
    play.size -= part;
    to += part;
    n -= static_cast<size_t>(part);
  }
  return true;
}

// The fields that follow each tag of the file's format, -1 for a tag it has no record
// of; 0 for a format-2 step, whose size its fields tell.
int record_size(uint8_t tag) {
  const bool commands = play.header.format >= 2;
  switch (tag) {
    case 'k': return commands ? -1 : 2;
    case 'm': return commands ? -1 : 8;
    case 'p': return commands ? -1 : 2 + 4 + 2 * platform::PAD_AXES;
    case 'f': return commands ? 0 : 1;
    case 'd': return 6;
    case 'c': return commands ? 1 : -1;
    case 'h':
    case 'e': return 12;
  }
  return -1;
}

// The size of the format-2 step whose tag is at play.start, its fields made ready; 0 when
// the stream ends first, -1 when they can't be a step's.
int step_size() {
  int n = 2;
  if (!fill(1 + n)) return 0;
  const uint8_t vurks = play.buffer[play.start + 2];
  if (vurks >> MAX_VURKS) return -1;
  for (int i = 0; i < MAX_VURKS; i++) {
    if (!(vurks & 1 << i)) continue;
    if (!fill(1 + n + 1)) return 0;
    const int size = command_size(play.buffer[play.start + 1 + n]);
    if (size == 0) return -1;
    n += size;
    if (!fill(1 + n)) return 0;
  }
  return n;
}

// The next record's tag, its n fields inflated and ready behind it; false at the
// stream's end, where a record is cut off, or at a tag no record has (which marks the rest
// damaged).
bool next_record(uint8_t* tag, int* n) {
  if (!fill(1)) return false;
  *tag = play.buffer[play.start];
  *n = record_size(*tag);
  if (*n == 0) *n = step_size();
  if (*n < 0) {
    play.damaged = true;
    return false;
  }
  if (*n == 0 || !fill(1 + *n)) return false;
  play.start++;
  play.size--;
  return true;
}

void say(char* message, int size, const char* format, const char* path, long n = 0) {
  std::snprintf(message, static_cast<size_t>(size), format, path, n);
}

void close_stream() {
  if (play.z_open) inflateEnd(&play.z);
  play.z_open = false;
  if (play.file) std::fclose(play.file);
  play.file = nullptr;
}

// What a recording game can have written: a header outside it is damaged, and its values
// would otherwise index outside the pools (a vurk's number) or break the rules' ranges.
bool sane(const REPLAY_HEADER& h) {
  const REPLAY_SETUP& s = h.setup;
  bool ok = h.level[0] && (h.views == 1 || h.views == 2) && s.lives >= 1 && s.lives <= 1000 &&
            s.frag_limit >= 1 && s.frag_limit <= 1000 && s.light_range >= 0 && s.light_range <= 1000 &&
            std::isfinite(s.ambient) && std::fabs(s.ambient) <= 2.0f && s.camera <= CM_THIRD_PERSON;
  if (h.format >= 2)
    ok = ok && h.frame_ms <= 200 && h.tick <= MAX_TICK && (h.tick == 0 || h.frame_ms == 0) && h.level_size >= 1 &&
         h.level_size <= MAX_LEVEL_BYTES;
  for (int i = 0; i < MAX_VURKS; i++) {
    const REPLAY_VURK& v = s.vurk[i];
    ok = ok && v.num == i && v.team >= 0 && v.team < 4 && v.type <= MLT_OFF && v.item <= MI_JETPACK;
  }
  return ok;
}

// Opens the file and reads its prefix and header, and a format-2 file's level into
// level_kept; 0 with the reason.
int open_stream(const char* path, char* message, int size) {
  close_stream();
  play.file = std::fopen(path, "rb");
  if (!play.file) {
    say(message, size, "replay %s: can't open it", path);
    std::snprintf(message + std::strlen(message), static_cast<size_t>(size) - std::strlen(message), ": %s",
                  std::strerror(errno));
    return 0;
  }
  uint8_t prefix[PREFIX_SIZE];
  if (std::fread(prefix, 1, PREFIX_SIZE, play.file) != PREFIX_SIZE || std::memcmp(prefix, MAGIC, 4) != 0) {
    say(message, size, "replay %s: not a replay file", path);
    return 0;
  }
  uint32_t format;
  std::memcpy(&format, prefix + 4, 4);
  if (format != 1 && format != REPLAY_FORMAT) {
    std::snprintf(message, static_cast<size_t>(size),
                  "replay %s: made in replay format %u; this game plays formats 1 and %u", path, format, REPLAY_FORMAT);
    return 0;
  }
  play.z = z_stream{};
  if (inflateInit(&play.z) != Z_OK) {
    say(message, size, "replay %s: out of memory", path);
    return 0;
  }
  play.z_open = true;
  play.start = play.size = 0;
  play.at_end = play.damaged = false;
  play.frames = 0;
  play.frame_ms = 0;
  std::memset(play.key_down, 0, sizeof play.key_down);
  std::memset(play.pad, 0, sizeof play.pad);
  play.mouse_dx = play.mouse_dy = 0;
  play.header.format = format;
  const int header_bytes = format >= 2 ? HEADER_2_BYTES : HEADER_BYTES;
  if (!fill(header_bytes)) {
    say(message, size, "replay %s: its header is cut short or damaged", path);
    return 0;
  }
  READER r = {play.buffer + play.start, play.buffer + play.start + header_bytes};
  read_header(&r, &play.header);
  play.start += header_bytes;
  play.size -= header_bytes;
  if (!sane(play.header) || (format >= 2 && !take_bytes(level_kept, play.header.level_size))) {
    say(message, size, "replay %s: its header is cut short or damaged", path);
    return 0;
  }
  return 1;
}

}  // namespace

// ---- set-up ----

REPLAY_SETUP give_replay_setup() {
  REPLAY_SETUP s;
  s.lives = MAX_LIVES;
  s.frag_limit = FRAG_LIMIT;
  s.light_range = CANTLE_LIGHT_RANGE;
  s.ambient = AMBIENT;
  s.camera = static_cast<uint8_t>(camera_mode);
  s.sort_particles = static_cast<uint8_t>(sort_particles != 0);
  for (int i = 0; i < MAX_VURKS; i++) {
    const VURK_& v = vurk[i];
    s.vurk[i] = {v.num, v.team, static_cast<uint8_t>(v.type), static_cast<uint8_t>(v.item), {}};
    for (int w = 0; w < WEAPON_SLOTS; w++) s.vurk[i].weapon[w] = v.weapons[w].num;
  }
  return s;
}

void apply_replay_setup(const REPLAY_SETUP& s) {
  MAX_LIVES = s.lives;
  FRAG_LIMIT = s.frag_limit;
  CANTLE_LIGHT_RANGE = s.light_range;
  AMBIENT = s.ambient;
  camera_mode = s.camera == CM_THIRD_PERSON ? CM_THIRD_PERSON : CM_FIRST_PERSON;
  sort_particles = s.sort_particles;
  for (int i = 0; i < MAX_VURKS; i++) {
    VURK_& v = vurk[i];
    const REPLAY_VURK& r = s.vurk[i];
    v.num = r.num;
    v.team = r.team;
    v.type = r.type <= MLT_OFF ? static_cast<VURK_TYPE>(r.type) : MLT_OFF;
    v.item = r.item == MI_JETPACK ? MI_JETPACK : MI_NINJAROPE;
    for (int w = 0; w < WEAPON_SLOTS; w++) v.weapons[w].num = r.weapon[w];
  }
}

uint64_t give_content_hash() {
  if (content_hashed) return content_hash_cache;
  uint64_t h = FNV_START;
  platform::list_files("other/*.cfg", hash_listed, &h);
  platform::list_files("models/*", hash_listed, &h);
  content_hash_cache = h;
  content_hashed = true;
  return h;
}

bool give_level_hash(const char* level, uint64_t* hash) {
  *hash = FNV_START;
  return hash_file(level, hash, false);
}
// ---- recording ----

int begin_recording(const char* path, unsigned seed, unsigned frame_ms, int views, char* message, int size) {
  end_recording(true);
  REPLAY_HEADER h = {};
  h.format = REPLAY_FORMAT;
  std::snprintf(h.game_version, sizeof h.game_version, "%s", GAME_VERSION);
  h.content_hash = give_content_hash();
  // A level given as bytes (a host's, sent over the network) is kept as given.
  size_t given_size = 0;
  const uint8_t* given = give_level_bytes(&given_size);
  long level_size = -1;
  if (given && given_size <= sizeof level_kept) {
    std::memcpy(level_kept, given, given_size);
    level_size = static_cast<long>(given_size);
  } else {
    level_size = read_level_bytes(level_to_use);
  }
  // A level that can't be read stops the match with the level reader's own message.
  if (level_size < 0) {
    if (level_size == -2)
      std::snprintf(message, static_cast<size_t>(size), "can't make the replay %s: the level %s is larger than %d bytes",
                    path, level_to_use, MAX_LEVEL_BYTES);
    else
      message[0] = '\0';
    return 0;
  }
  h.level_hash = fnv1a(FNV_START, level_kept, static_cast<size_t>(level_size));
  h.level_size = static_cast<uint32_t>(level_size);
  std::snprintf(h.level, sizeof h.level, "%s", level_to_use);
  h.seed = seed;
  h.random_state = game_rand_state();
  h.frame_ms = frame_ms;
  h.tick = give_match_tick();
  if (h.tick) h.frame_ms = 0;
  h.views = static_cast<uint8_t>(views);
  h.setup = give_replay_setup();
  h.next_bullet = next_bullet;
  h.next_explosion = next_explosion;
  h.next_particle = next_particle;
  h.next_bullethole = next_bullethole;
  h.radar_angle = radar_angle;
  for (int p = 0; p < HUMAN_PLAYERS; p++) h.held_buttons[p] = give_held_pad_buttons(p);

  // "x": a name already taken, a symlink too, is never written through.
  rec.file = std::fopen(path, "wbx");
  if (!rec.file) {
    std::snprintf(message, static_cast<size_t>(size), "can't make the replay %s: %s", path, std::strerror(errno));
    return 0;
  }
  std::snprintf(rec.path, sizeof rec.path, "%s", path);
  rec.z = z_stream{};
  if (deflateInit(&rec.z, Z_BEST_COMPRESSION) != Z_OK) {
    std::fclose(rec.file);
    rec.file = nullptr;
    std::remove(path);
    std::snprintf(message, static_cast<size_t>(size), "can't make the replay %s: out of memory", path);
    return 0;
  }
  rec.failed = false;
  rec.frames = 0;
  uint8_t prefix[PREFIX_SIZE];
  std::memcpy(prefix, MAGIC, 4);
  std::memcpy(prefix + 4, &REPLAY_FORMAT, 4);
  std::fwrite(prefix, 1, PREFIX_SIZE, rec.file);
  WRITER w = {rec.pending, rec.pending + HEADER_2_BYTES};
  write_header(&w, h);
  rec.pending_size = HEADER_2_BYTES;
  deflate_pending(Z_NO_FLUSH);
  deflate_bytes(level_kept, h.level_size, Z_SYNC_FLUSH);
  return 1;
}

void end_recording(bool keep) {
  if (!rec.file) return;
  if (keep) {
    pend<uint8_t>('e');
    pend<uint32_t>(static_cast<uint32_t>(rec.frames));
    pend<uint64_t>(give_world_hash());
    deflate_pending(Z_FINISH);
  }
  deflateEnd(&rec.z);
  std::fclose(rec.file);
  rec.file = nullptr;
  if (!keep) std::remove(rec.path);
}

bool recording() { return rec.file != nullptr; }

// ---- every step ----

void begin_journal_step(unsigned ms, const VURK_COMMAND* commands) {
  if (playing || !rec.file) return;
  uint8_t bytes[MAX_VURKS][COMMAND_BYTES];
  int sizes[MAX_VURKS];
  uint8_t vurks = 0;
  for (int i = 0; i < MAX_VURKS; i++) {
    sizes[i] = encode_command(commands[i], bytes[i]);
    if (sizes[i] > 1) vurks = static_cast<uint8_t>(vurks | 1 << i);
  }
  pend<uint8_t>('f');
  pend<uint8_t>(static_cast<uint8_t>(std::min(ms, 255u)));
  pend<uint8_t>(vurks);
  for (int i = 0; i < MAX_VURKS; i++)
    for (int b = 0; b < sizes[i] && (vurks & 1 << i); b++) pend<uint8_t>(bytes[i][b]);
  for (int i = 0; i < MAX_VURKS; i++) rec.was_alive[i] = vurk[i].alive;
}

namespace {

// A step's deaths and, on the hash frames, the hash of the world after it; `hash` is
// called only there.
template <typename HASH>
void end_step(const uint8_t* tag, uint8_t alive_after, HASH hash) {
  rec.frames++;
  for (int i = 0; i < MAX_VURKS; i++) {
    if (!rec.was_alive[i] || (alive_after >> i & 1)) continue;
    pend<uint8_t>('d');
    pend<uint32_t>(static_cast<uint32_t>(rec.frames));
    pend<uint8_t>(static_cast<uint8_t>(i));
    pend<uint8_t>(tag[i] < MAX_VURKS && tag[i] != i ? tag[i] : NO_KILLER);
  }
  if (rec.frames % REPLAY_HASH_EVERY == 0) {
    pend<uint8_t>('h');
    pend<uint32_t>(static_cast<uint32_t>(rec.frames));
    pend<uint64_t>(hash());
  }
  deflate_pending(Z_SYNC_FLUSH);
}

}  // namespace

void end_journal_step() {
  if (playing || !rec.file) return;
  uint8_t tag[MAX_VURKS];
  uint8_t alive = 0;
  for (int i = 0; i < MAX_VURKS; i++) {
    tag[i] = vurk[i].tag;
    if (vurk[i].alive) alive = static_cast<uint8_t>(alive | 1 << i);
  }
  end_step(tag, alive, [] { return give_world_hash(); });
}

void journal_vurk_to_computer(int v) {
  if (playing || !rec.file) return;
  pend<uint8_t>('c');
  pend<uint8_t>(static_cast<uint8_t>(v));
}

void journal_noted_step(unsigned ms, const VURK_COMMAND* commands, const STEP_NOTE& note) {
  if (playing || !rec.file) return;
  begin_journal_step(ms, commands);
  for (int i = 0; i < MAX_VURKS; i++) rec.was_alive[i] = note.alive_before >> i & 1;
  end_step(note.tag, note.alive_after, [&note] { return note.hash; });
}

// ---- playing ----

int open_replay(const char* path, REPLAY_HEADER* header, char* message, int size) {
  close_replay();
  std::snprintf(play.path, sizeof play.path, "%s", path);
  if (!open_stream(path, message, size)) {
    close_stream();
    return 0;
  }
  const REPLAY_HEADER& h = play.header;
  // A format-1 replay was recorded by the one version that wrote that format, and plays
  // in every version after it; a later one plays only in its own.
  const char* version = h.format == 1 ? FORMAT_1_GAME_VERSION : GAME_VERSION;
  if (std::strcmp(h.game_version, version) != 0) {
    std::snprintf(message, static_cast<size_t>(size), "replay %s: recorded by %s; this is %s", path, h.game_version,
                  h.format == 1 ? FORMAT_1_GAME_VERSION : GAME_VERSION);
  } else if (h.content_hash != give_content_hash()) {
    say(message, size, "replay %s: recorded with other game content", path);
  } else if (h.format >= 2) {
    // The level travels inside: only its bytes' hash is checked, wherever its file went.
    if (fnv1a(FNV_START, level_kept, h.level_size) == h.level_hash) {
      if (header) *header = h;
      return 1;
    }
    say(message, size, "replay %s: its header is cut short or damaged", path);
  } else {
    uint64_t level_hash;
    if (!give_level_hash(h.level, &level_hash) || level_hash != h.level_hash) {
      std::snprintf(message, static_cast<size_t>(size), "replay %s: its level %s is missing or has changed", path,
                    h.level);
    } else {
      if (header) *header = h;
      return 1;
    }
  }
  close_stream();
  return 0;
}

int start_replay(char* message, int size) {
  if (!play.z_open && !play.path[0]) return 0;
  // From the top again: the stream is opened afresh, so a replay can be restarted to seek back.
  if (!open_stream(play.path, message, size)) {
    close_stream();
    return 0;
  }
  const REPLAY_HEADER& h = play.header;
  if (!play.setup_kept) {
    play.kept = give_replay_setup();
    play.setup_kept = true;
  }
  end_recording(true);
  apply_replay_setup(h.setup);
  std::snprintf(level_to_use, sizeof level_to_use, "%s", h.level);
  game_srand(h.random_state);
  // Out of range, a damaged header's cursors would index outside their pools.
  next_bullet = std::clamp(h.next_bullet, 0, MAX_BULLETS - 1);
  next_explosion = std::clamp(h.next_explosion, 0, MAX_EXPLOSIONS - 1);
  next_particle = std::clamp(h.next_particle, 0, MAX_PARTICLES - 1);
  next_bullethole = std::clamp(h.next_bullethole, 0, MAX_BULLETHOLES - 1);
  radar_angle = std::isfinite(h.radar_angle) ? h.radar_angle : 0.0f;
  for (int p = 0; p < HUMAN_PLAYERS; p++) set_held_pad_buttons(p, h.held_buttons[p]);
  playing = true;
  if (h.format >= 2) use_level_bytes(level_kept, h.level_size);
  const int ready = game_init();
  use_level_bytes(nullptr, 0);
  if (!ready) {
    playing = false;
    std::snprintf(message, static_cast<size_t>(size), "replay %s: its level %s can't be loaded", play.path, h.level);
    return 0;
  }
  if (h.format == 1) std::memset(keys, 0, sizeof keys);
  match_input = {};
  return 1;
}

REPLAY_STEP read_replay_step(unsigned* ms, VURK_COMMAND* commands) {
  uint8_t tag;
  int n;
  while (next_record(&tag, &n)) {
    switch (tag) {
      case 'k': {
        const uint8_t k = take<uint8_t>();
        const uint8_t down = take<uint8_t>();
        if (k >= KEY_COUNT) {
          play.damaged = true;
          return RS_DAMAGED;
        }
        play.key_down[k] = down != 0;
        break;
      }
      case 'm':
        play.mouse_dx = take<int32_t>();
        play.mouse_dy = take<int32_t>();
        break;
      case 'p': {
        const uint8_t p = take<uint8_t>();
        const uint8_t connected = take<uint8_t>();
        const uint32_t buttons = take<uint32_t>();
        float axis[platform::PAD_AXES];
        for (float& a : axis) a = static_cast<float>(take<int16_t>()) / AXIS_STEPS;
        if (p >= HUMAN_PLAYERS) {
          play.damaged = true;
          return RS_DAMAGED;
        }
        play.pad[p].connected = connected;
        play.pad[p].instance = -1;
        play.pad[p].buttons = buttons;
        std::memcpy(play.pad[p].axis, axis, sizeof axis);
        break;
      }
      case 'f': {
        const uint8_t length = take<uint8_t>();
        // A step of the tick it was recorded with, or of a frame's 1..200 ms.
        if (length == 0 || length > 200 || (play.header.tick && length != play.header.tick)) {
          play.damaged = true;
          return RS_DAMAGED;
        }
        if (play.header.format == 1) {
          // The devices as they stood, through the seam the game itself used then.
          for (int k = 0; k < KEY_COUNT; k++) keys[JOURNAL_KEYS[k]] = play.key_down[k];
          for (int p = 0; p < HUMAN_PLAYERS; p++) match_input.pad[p] = play.pad[p];
          match_input.mouse_dx = play.mouse_dx;
          match_input.mouse_dy = play.mouse_dy;
          play.mouse_dx = play.mouse_dy = 0;
          make_recorded_commands(commands);
        } else {
          const uint8_t vurks = take<uint8_t>();
          for (int i = 0; i < MAX_VURKS; i++) {
            commands[i] = VURK_COMMAND{};
            if (!(vurks & 1 << i)) continue;
            const int used = decode_command(play.buffer + play.start, play.size, &commands[i]);
            if (used == 0) {
              play.damaged = true;
              return RS_DAMAGED;
            }
            play.start += used;
            play.size -= used;
          }
        }
        *ms = length;
        play.frame_ms = length;
        play.frames++;
        return RS_FRAME;
      }
      case 'd':
        take<uint32_t>();
        take<uint16_t>();
        break;
      case 'c': {
        // A machine left an online match: from the step that follows, the computer plays its vurk.
        const uint8_t v = take<uint8_t>();
        if (v >= MAX_VURKS || vurk[v].type != MLT_HUMAN) {
          play.damaged = true;
          return RS_DAMAGED;
        }
        give_vurk_to_computer(v);
        break;
      }
      case 'h':
      case 'e': {
        const uint32_t frame = take<uint32_t>();
        const uint64_t hash = take<uint64_t>();
        if (frame != play.frames) {
          play.damaged = true;
          return RS_DAMAGED;
        }
        if (hash != give_world_hash()) return RS_DIVERGED;
        if (tag == 'e') return RS_END;
        break;
      }
    }
  }
  return play.damaged ? RS_DAMAGED : RS_CUT_SHORT;
}

REPLAY_STEP play_replay_frame() {
  unsigned ms = 0;
  VURK_COMMAND commands[MAX_VURKS] = {};
  const REPLAY_STEP step = read_replay_step(&ms, commands);
  if (step == RS_FRAME) match_step(ms, commands);
  return step;
}

long replay_frames_played() { return play.frames; }

unsigned replay_frame_ms() { return play.frame_ms; }

void give_replay_message(REPLAY_STEP step, char* message, int size) {
  switch (step) {
    case RS_FRAME:
    case RS_END: message[0] = '\0'; break;
    case RS_CUT_SHORT: say(message, size, "replay %s: cut short after frame %ld", play.path, play.frames); break;
    case RS_DAMAGED: say(message, size, "replay %s: damaged after frame %ld", play.path, play.frames); break;
    case RS_DIVERGED: std::snprintf(message, static_cast<size_t>(size), "replay diverged at frame %ld", play.frames); break;
  }
}

const uint8_t* give_replay_level(size_t* size) {
  *size = play.header.format >= 2 ? play.header.level_size : 0;
  return *size ? level_kept : nullptr;
}

void close_replay() {
  close_stream();
  if (play.setup_kept) apply_replay_setup(play.kept);
  play.setup_kept = false;
  playing = false;
  play.path[0] = '\0';
}

bool replaying() { return playing; }

int scan_replay(const char* path, REPLAY_INDEX* index, char* message, int size) {
  *index = REPLAY_INDEX{};
  std::snprintf(play.path, sizeof play.path, "%s", path);
  if (!open_stream(path, message, size)) {
    close_stream();
    return 0;
  }
  uint8_t tag;
  int n;
  while (next_record(&tag, &n)) {
    if (tag == 'f') {
      index->frames++;
    } else if (tag == 'd' && index->kills < MAX_REPLAY_KILLS) {
      REPLAY_KILL& k = index->kill[index->kills++];
      k.frame = take<uint32_t>();
      k.victim = take<uint8_t>();
      k.killer = take<uint8_t>();
      continue;
    } else if (tag == 'e') {
      index->complete = true;
    }
    play.start += n;
    play.size -= n;
  }
  index->damaged = play.damaged;
  close_stream();
  return 1;
}

}  // namespace vurkhold
