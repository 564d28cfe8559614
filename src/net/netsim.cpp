// netsim: the network conditioner, a bad line between this machine and the others, made by
// holding back, dropping and copying the datagrams ENet sends.
#include <dlfcn.h>
#include <enet/enet.h>
#include <time.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "net/net.h"

namespace vurkhold {
namespace {

constexpr int HOLD_SLOTS = 4096;
constexpr size_t DATAGRAM_MAX = ENET_PROTOCOL_MAXIMUM_MTU;
constexpr unsigned MAX_DELAY = 2000;
constexpr unsigned MAX_JITTER = 1000;
// A reordered datagram waits this much longer, one to four ticks, so that the game's next
// datagrams, sent every tick, go out before it.
constexpr unsigned REORDER_MIN = NET_TICK;
constexpr unsigned REORDER_MAX = 4 * NET_TICK;
constexpr int KEY_SHOWN = 24;  // characters of a bad setting's name quoted back

struct NETSIM_SETTINGS {
  bool on;
  unsigned delay, jitter;       // ms
  unsigned loss, dup, reorder;  // percents
  unsigned seed;
};

struct HELD {
  uint64_t release_ms;
  uint64_t order;  // ties in release_ms go out in the order they were held
  ENetSocket socket;
  ENetAddress address;
  bool has_address;
  uint16_t length;
  uint8_t data[DATAGRAM_MAX];
};

using SEND_FN = int (*)(ENetSocket, const ENetAddress*, const ENetBuffer*, size_t);
using DESTROY_FN = void (*)(ENetSocket);

NETSIM_SETTINGS settings;
NETSIM_COUNTS counts;
uint64_t rng_state;
HELD held[HOLD_SLOTS];
// A binary min-heap of slots by (release_ms, order), and the slots it does not use.
int heap[HOLD_SLOTS];
int heap_size;
int free_slots[HOLD_SLOTS];
int free_count;
int parked[HOLD_SLOTS];  // other sockets' datagrams while one socket's are taken out
uint64_t next_order;
SEND_FN real_send;
DESTROY_FN real_destroy;

// The conditioner's own generator (splitmix64): the game's stays untouched, being part of
// the world.
uint64_t roll() {
  uint64_t z = (rng_state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

unsigned roll_below(unsigned n) { return static_cast<unsigned>(roll() % n); }

bool roll_percent(unsigned percent) { return roll_below(100) < percent; }

uint64_t now_ms() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<uint64_t>(t.tv_sec) * 1000u + static_cast<uint64_t>(t.tv_nsec) / 1000000u;
}

void find_real_calls() {
  if (real_send) return;
  // The next definitions after this executable's own: libenet's.
  real_send = reinterpret_cast<SEND_FN>(dlsym(RTLD_NEXT, "enet_socket_send"));
  real_destroy = reinterpret_cast<DESTROY_FN>(dlsym(RTLD_NEXT, "enet_socket_destroy"));
}

int send_now(ENetSocket socket, const ENetAddress* address, const ENetBuffer* buffers, size_t count) {
  find_real_calls();
  return real_send ? real_send(socket, address, buffers, count) : -1;
}

void send_held(const HELD& h) {
  ENetBuffer buffer;
  buffer.data = const_cast<uint8_t*>(h.data);
  buffer.dataLength = h.length;
  send_now(h.socket, h.has_address ? &h.address : nullptr, &buffer, 1);
}

bool earlier(int a, int b) {
  const HELD& x = held[heap[a]];
  const HELD& y = held[heap[b]];
  return x.release_ms != y.release_ms ? x.release_ms < y.release_ms : x.order < y.order;
}

void swap_heap(int a, int b) {
  const int t = heap[a];
  heap[a] = heap[b];
  heap[b] = t;
}

void heap_push(int slot) {
  int i = heap_size++;
  heap[i] = slot;
  while (i > 0 && earlier(i, (i - 1) / 2)) {
    swap_heap(i, (i - 1) / 2);
    i = (i - 1) / 2;
  }
}

int heap_pop() {
  const int top = heap[0];
  heap[0] = heap[--heap_size];
  int i = 0;
  for (;;) {
    const int l = 2 * i + 1, r = l + 1;
    int m = i;
    if (l < heap_size && earlier(l, m)) m = l;
    if (r < heap_size && earlier(r, m)) m = r;
    if (m == i) break;
    swap_heap(i, m);
    i = m;
  }
  return top;
}

void empty_hold() {
  heap_size = 0;
  free_count = HOLD_SLOTS;
  for (int i = 0; i < HOLD_SLOTS; i++) free_slots[i] = HOLD_SLOTS - 1 - i;
}

// Holds a copy until `release_ms`: false when every slot is taken.
bool hold(uint64_t release_ms, ENetSocket socket, const ENetAddress* address, const uint8_t* data,
          size_t length) {
  if (free_count == 0) return false;
  const int slot = free_slots[--free_count];
  HELD& h = held[slot];
  h.release_ms = release_ms;
  h.order = next_order++;
  h.socket = socket;
  h.has_address = address != nullptr;
  if (address) h.address = *address;
  h.length = static_cast<uint16_t>(length);
  memcpy(h.data, data, length);
  heap_push(slot);
  counts.delayed++;
  return true;
}

uint64_t release_time(uint64_t now) {
  long wait = static_cast<long>(settings.delay);
  if (settings.jitter)
    wait += static_cast<long>(roll_below(2 * settings.jitter + 1)) - static_cast<long>(settings.jitter);
  return now + static_cast<uint64_t>(wait < 0 ? 0 : wait);
}

// Sends one copy at its release time, at once when that is now or when the hold is full
// (a full hold sends it unconditioned and counts nothing more for it).
void send_copy(uint64_t release_ms, uint64_t now, ENetSocket socket, const ENetAddress* address,
               const uint8_t* data, size_t length) {
  if (release_ms > now && hold(release_ms, socket, address, data, length)) return;
  ENetBuffer buffer;
  buffer.data = const_cast<uint8_t*>(data);
  buffer.dataLength = length;
  send_now(socket, address, &buffer, 1);
}

bool whole_number(const char* text, size_t length, unsigned long max, unsigned long* out) {
  if (length == 0) return false;
  unsigned long v = 0;
  for (size_t i = 0; i < length; i++) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + static_cast<unsigned long>(text[i] - '0');
    if (v > max) return false;
  }
  *out = v;
  return true;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

void trim(const char** text, size_t* length) {
  while (*length && is_blank(**text)) (*text)++, (*length)--;
  while (*length && is_blank((*text)[*length - 1])) (*length)--;
}

void say(char* message, int size, const char* format, ...) __attribute__((format(printf, 3, 4)));
void say(char* message, int size, const char* format, ...) {
  if (!message || size <= 0) return;
  va_list args;
  va_start(args, format);
  vsnprintf(message, static_cast<size_t>(size), format, args);
  va_end(args);
}

}  // namespace

int netsim_configure(const char* spec, char* message, int size) {
  say(message, size, "%s", "");
  size_t spec_length = spec ? strlen(spec) : 0;
  trim(&spec, &spec_length);
  NETSIM_SETTINGS next = {};
  next.on = spec_length > 0;
  next.seed = 1;
  constexpr struct {
    const char* key;
    unsigned long max;
    unsigned NETSIM_SETTINGS::*field;
    const char* wants;
  } keys[] = {
      {"delay", MAX_DELAY, &NETSIM_SETTINGS::delay, "a whole number of ms from 0 to 2000"},
      {"jitter", MAX_JITTER, &NETSIM_SETTINGS::jitter, "a whole number of ms from 0 to 1000"},
      {"loss", 100, &NETSIM_SETTINGS::loss, "a whole percent from 0 to 100"},
      {"dup", 100, &NETSIM_SETTINGS::dup, "a whole percent from 0 to 100"},
      {"reorder", 100, &NETSIM_SETTINGS::reorder, "a whole percent from 0 to 100"},
      {"seed", 0xFFFFFFFFul, &NETSIM_SETTINGS::seed, "a whole number from 0 to 4294967295"},
  };
  constexpr int KEYS = sizeof keys / sizeof keys[0];
  bool given[KEYS] = {};
  const char* at = spec;
  const char* end = spec + spec_length;
  while (next.on && at <= end) {
    const char* comma = static_cast<const char*>(memchr(at, ',', static_cast<size_t>(end - at)));
    if (!comma) comma = end;
    const char* key = at;
    size_t key_length = static_cast<size_t>(comma - at);
    const char* value = nullptr;
    size_t value_length = 0;
    if (const char* eq = static_cast<const char*>(memchr(key, '=', key_length))) {
      value = eq + 1;
      value_length = static_cast<size_t>(comma - value);
      key_length = static_cast<size_t>(eq - key);
      trim(&value, &value_length);
    }
    trim(&key, &key_length);
    at = comma + 1;
    if (key_length == 0) {
      say(message, size, "VURKHOLD_NETSIM: %s",
          value ? "a value without a setting's name" : "an empty setting (a comma too many)");
      return 0;
    }
    int which = -1;
    for (int k = 0; k < KEYS; k++)
      if (strlen(keys[k].key) == key_length && memcmp(keys[k].key, key, key_length) == 0) which = k;
    if (which < 0) {
      const int shown = static_cast<int>(key_length < KEY_SHOWN ? key_length : KEY_SHOWN);
      say(message, size, "VURKHOLD_NETSIM: unknown setting '%.*s'", shown, key);
      return 0;
    }
    if (given[which]) {
      say(message, size, "VURKHOLD_NETSIM: '%s' is given twice", keys[which].key);
      return 0;
    }
    given[which] = true;
    unsigned long v = 0;
    if (!value || !whole_number(value, value_length, keys[which].max, &v)) {
      say(message, size, "VURKHOLD_NETSIM: '%s' wants %s", keys[which].key, keys[which].wants);
      return 0;
    }
    next.*keys[which].field = static_cast<unsigned>(v);
  }
  // A new setting starts on an empty line: what the old one still held is let go unsent,
  // as if lost on it, and the counts start again.
  settings = next;
  counts = {};
  rng_state = next.seed;
  next_order = 0;
  empty_hold();
  return 1;
}

void netsim_pump() {
  if (heap_size == 0) return;
  // Due once its whole ms has passed: the clock's ms began up to 1 ms before the datagram
  // was held, so going out at `release_ms` itself could come short of the delay.
  const uint64_t now = now_ms();
  while (heap_size > 0 && held[heap[0]].release_ms < now) {
    const int slot = heap_pop();
    send_held(held[slot]);
    free_slots[free_count++] = slot;
  }
}

NETSIM_COUNTS netsim_counts() { return counts; }

}  // namespace vurkhold

using namespace vurkhold;

// This executable's definition takes the place of libenet's for every call the library
// makes through its PLT, so every ENet host in the process goes through the conditioner.
extern "C" int enet_socket_send(ENetSocket socket, const ENetAddress* address, const ENetBuffer* buffers,
                                size_t count) {
  netsim_pump();
  if (!settings.on) return send_now(socket, address, buffers, count);
  size_t length = 0;
  for (size_t i = 0; i < count; i++) length += buffers[i].dataLength;
  // ENet never builds one this large; should it, it goes out untouched.
  if (length > DATAGRAM_MAX) return send_now(socket, address, buffers, count);
  uint8_t data[DATAGRAM_MAX];
  size_t filled = 0;
  for (size_t i = 0; i < count; i++) {
    memcpy(data + filled, buffers[i].data, buffers[i].dataLength);
    filled += buffers[i].dataLength;
  }
  counts.sent++;
  // Every datagram takes the same rolls, so a seed makes the same line whatever is sent.
  const bool lost = roll_percent(settings.loss);
  const bool copied = roll_percent(settings.dup);
  const bool late = roll_percent(settings.reorder);
  const unsigned extra = REORDER_MIN + roll_below(REORDER_MAX - REORDER_MIN + 1);
  const uint64_t now = now_ms();
  const uint64_t release = release_time(now);
  const uint64_t copy_release = release_time(now);
  if (lost) {
    counts.dropped++;
    return static_cast<int>(length);
  }
  if (late) {
    const long before = counts.delayed;
    send_copy(release + extra, now, socket, address, data, length);
    if (counts.delayed > before) counts.reordered++;
  } else {
    send_copy(release, now, socket, address, data, length);
  }
  if (copied) {
    counts.duplicated++;
    send_copy(copy_release, now, socket, address, data, length);
  }
  return static_cast<int>(length);
}

// A host being destroyed sends what it still holds first, so its last words (a disconnect)
// go out and nothing is sent later from a socket number the system may give out again.
extern "C" void enet_socket_destroy(ENetSocket socket) {
  find_real_calls();
  int kept = 0;
  while (heap_size > 0) {
    const int slot = heap_pop();
    if (held[slot].socket == socket) {
      send_held(held[slot]);
      free_slots[free_count++] = slot;
    } else {
      parked[kept++] = slot;
    }
  }
  for (int i = 0; i < kept; i++) heap_push(parked[i]);
  if (real_destroy) real_destroy(socket);
}
