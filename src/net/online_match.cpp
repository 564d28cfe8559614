// online match: the commands of every vurk by tick, this machine's made ahead by the input
// delay and the others' as they arrive or, until then, predicted; the world put back and
// played again from the first step a prediction got wrong; steps kept in the replay once
// every command of them is in; the machines' pace and their hashes compared.
#include <algorithm>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstring>

#include "control/control.h"
#include "net/session.h"

namespace vurkhold {

void (*online_recording)(int views, unsigned seed) = nullptr;

namespace {

// Ticks of commands and notes kept: more than a peer may lag before it is dropped.
constexpr int INPUT_RING = 512;
constexpr long FOREVER = LONG_MAX / 2;
constexpr int HASH_RING = 16;
constexpr uint32_t NOTICE_MS = 5000;
constexpr uint32_t SEND_EVERY_MS = NET_TICK;

struct KEPT_HASH {
  long tick;
  uint64_t hash;
};

struct ONLINE {
  bool running;
  bool over;  // desynced or ended: nothing more is played
  long current;    // the world stands after this tick
  long journaled;  // every tick up to here is certain and kept
  long made;       // this machine's commands are made up to here
  long first_wrong;
  double carry_ms;
  int delay;
  int local_vurk[HUMAN_PLAYERS];
  int locals;
  long known[MAX_VURKS];          // every command of the vurk up to here has arrived
  long computer_from[MAX_VURKS];  // the computer plays the vurk from this tick
  long acked[MAX_MACHINES][MAX_VURKS];
  long remote_tick[MAX_MACHINES];
  uint32_t sent_at;
  long end_tick;
  long hash_every;
  bool print;  // a headless peer prints hashes and its outcome
  HEADLESS_TALLY tally;
  KEPT_HASH own[HASH_RING];
  KEPT_HASH theirs[MAX_MACHINES][HASH_RING];
  char notice[NET_MESSAGE_SIZE];
  uint32_t notice_at;
  int waiting_for;  // the machine this one waits for, -1 for none
  int status;       // 0, or 3 for a desync or a failed check
  char end_message[NET_MESSAGE_SIZE];
};

ONLINE on;
VURK_COMMAND input[MAX_VURKS][INPUT_RING];
VURK_COMMAND used[MAX_VURKS][INPUT_RING];
STEP_NOTE note[INPUT_RING];
NET_COUNTS counts;
const VURK_COMMAND* (*scripted)(int player, long tick) = nullptr;
uint8_t packet[MAX_COMMAND_PACKET];
long wire_at_start[2];
uint32_t began_at = 0;

int slot(long tick) { return static_cast<int>(tick % INPUT_RING); }

bool same(const VURK_COMMAND& a, const VURK_COMMAND& b) {
  return a.buttons == b.buttons && a.weapon == b.weapon && a.mouse_dx == b.mouse_dx && a.mouse_dy == b.mouse_dy &&
         std::equal(a.stick, a.stick + VC_STICKS, b.stick);
}

// Every command of the vurk up to here is known: a computer's are all empty, and once a
// machine has left, so are its vurks' from the tick the computer took them.
long known_to(int v) {
  if (lobby.seat_machine[v] < 0) return FOREVER;
  return on.known[v] >= on.computer_from[v] - 1 ? FOREVER : on.known[v];
}

long certain_to() {
  long t = on.current;
  for (int v = 0; v < MAX_VURKS; v++) t = std::min(t, known_to(v));
  return t;
}

// The last command repeated, but for what acts once on a press: a guessed weapon change
// would cost a step played again whenever it was wrong, and it nearly always is.
VURK_COMMAND predict(int v) {
  VURK_COMMAND c = input[v][slot(on.known[v])];
  c.weapon = 0;
  c.buttons = static_cast<uint16_t>(c.buttons & ~(VC_NEXT_WEAPON | VC_PREVIOUS_WEAPON));
  return c;
}

bool wants_hash(long t) {
  return t % REPLAY_HASH_EVERY == 0 || t % DESYNC_CHECK_TICKS == 0 || (on.hash_every && t % on.hash_every == 0) ||
         t == on.end_tick;
}

void play_tick(long t, bool again) {
  VURK_COMMAND c[MAX_VURKS];
  for (int v = 0; v < MAX_VURKS; v++) {
    if (t >= on.computer_from[v]) {
      c[v] = VURK_COMMAND{};
      give_vurk_to_computer(v);
    } else if (on.known[v] >= t || lobby.seat_machine[v] < 0) {
      c[v] = lobby.seat_machine[v] < 0 ? VURK_COMMAND{} : input[v][slot(t)];
    } else {
      c[v] = predict(v);
      counts.predicted++;
    }
    used[v][slot(t)] = c[v];
  }
  platform::set_step_replayed(again);
  noted_step(NET_TICK, c, wants_hash(t), &note[slot(t)]);
  platform::set_step_replayed(false);
  save_world(t);
}

void make_local(long t) {
  VURK_COMMAND player[HUMAN_PLAYERS] = {};
  if (!scripted) make_player_commands(player);
  for (int p = 0; p < on.locals; p++) {
    const int v = on.local_vurk[p];
    if (scripted) {
      const VURK_COMMAND* c = scripted(p, t);
      player[p] = c ? *c : VURK_COMMAND{};
    }
    input[v][slot(t)] = player[p];
    on.known[v] = t;
  }
  on.made = t;
}

void stop(const char* message, int status) {
  std::snprintf(on.end_message, sizeof on.end_message, "%s", message);
  if (message != lobby.message) {
    std::snprintf(lobby.message, sizeof lobby.message, "%s", message);
    std::fprintf(stderr, "vurkhold: %s\n", message);
  }
  on.over = true;
  on.status = status;
  end_recording(true);
}

void notice(const char* text) {
  std::snprintf(on.notice, sizeof on.notice, "%s", text);
  on.notice_at = net_now();
  std::fprintf(stderr, "vurkhold: %s\n", text);
}

void compare_hashes(int machine, const KEPT_HASH& theirs, const KEPT_HASH& own) {
  if (theirs.tick != own.tick || theirs.tick == 0) return;
  if (theirs.hash == own.hash) return;
  char line[NET_MESSAGE_SIZE];
  std::snprintf(line, sizeof line, "desync at frame %ld", own.tick);
  std::fprintf(stderr, "vurkhold: machine %d's hash %016" PRIx64 " against %016" PRIx64 "\n", machine + 1,
               theirs.hash, own.hash);
  DESYNC d{static_cast<uint32_t>(own.tick)};
  uint8_t bytes[16];
  broadcast_control(bytes, encode_desync(d, bytes, sizeof bytes), -1);
  stop(line, 3);
}

// A tick every command of which is in: kept in the replay, counted, printed, and its hash
// compared every DESYNC_CHECK_TICKS.
void settle(long t) {
  const STEP_NOTE& n = note[slot(t)];
  VURK_COMMAND c[MAX_VURKS];
  for (int v = 0; v < MAX_VURKS; v++) {
    c[v] = used[v][slot(t)];
    if (t == on.computer_from[v]) journal_vurk_to_computer(v);
  }
  journal_noted_step(NET_TICK, c, n);
  on.journaled = t;
  tally_step(&on.tally, t, n.alive_before, n.alive_after, n.winner);
  if (on.print && on.hash_every && t % on.hash_every == 0) std::printf("hash %ld %016" PRIx64 "\n", t, n.hash);
  if (!n.sound) {
    char line[NET_MESSAGE_SIZE];
    std::snprintf(line, sizeof line, "fault frame %ld: %.100s", t, n.problem);
    if (on.print) std::printf("%s\n", line);
    stop(line, 3);
    return;
  }
  if (t % DESYNC_CHECK_TICKS) return;
  KEPT_HASH& own = on.own[(t / DESYNC_CHECK_TICKS) % HASH_RING];
  own = {t, n.hash};
  if (lobby.role == NR_CLIENT) {
    HASH_MSG h{static_cast<uint32_t>(t), n.hash};
    uint8_t bytes[32];
    send_control(0, bytes, encode_hash(h, bytes, sizeof bytes));
  } else {
    for (int m = 1; m < MAX_MACHINES && !on.over; m++)
      compare_hashes(m, on.theirs[m][(t / DESYNC_CHECK_TICKS) % HASH_RING], own);
  }
}

// Commands for the machine: each vurk it doesn't hold from the first tick it lacks.
void send_to(int machine) {
  COMMANDS m{};
  m.tick = static_cast<uint32_t>(on.current);
  for (int v = 0; v < MAX_VURKS; v++) m.ack[v] = static_cast<uint32_t>(std::min(known_to(v), long{UINT32_MAX}));
  for (int v = 0; v < MAX_VURKS; v++) {
    const int holder = lobby.seat_machine[v];
    if (holder < 0 || holder == machine) continue;
    // A client sends only its own vurks; the host passes on everyone's.
    if (lobby.role == NR_CLIENT && holder != lobby.me) continue;
    const long last = std::min(on.known[v], on.computer_from[v] - 1);
    const long first = std::max(on.acked[machine][v] + 1, last - INPUT_RING / 2 + 1);
    if (first > last) continue;
    COMMAND_BLOCK& b = m.block[m.blocks++];
    b.vurk = static_cast<uint8_t>(v);
    b.first = static_cast<uint32_t>(first);
    b.count = static_cast<uint8_t>(std::min<long>(last - first + 1, MAX_BLOCK_TICKS));
    for (int i = 0; i < b.count; i++) b.command[i] = input[v][slot(first + i)];
  }
  const int n = encode_commands(&m, packet, sizeof packet);
  if (n) {
    send_commands(machine, packet, n);
    counts.packets_sent++;
    counts.bytes_sent += n;
  }
}

void send_all() {
  if (lobby.role == NR_CLIENT) {
    send_to(0);
  } else {
    for (int m = 1; m < MAX_MACHINES; m++)
      if (lobby.machine[m].present) send_to(m);
  }
  on.sent_at = net_now();
}

// The tick the others are at as this machine sees them, the slowest, ahead by half the
// round trip since they said so.
long others_tick() {
  long slowest = FOREVER;
  for (int m = 0; m < MAX_MACHINES; m++) {
    if (m == lobby.me || !lobby.machine[m].present) continue;
    if (lobby.role == NR_CLIENT && m != 0) continue;
    const int rtt = lobby.role == NR_CLIENT ? lobby.machine[lobby.me].ping_ms : lobby.machine[m].ping_ms;
    slowest = std::min(slowest, on.remote_tick[m] + rtt / 2 / static_cast<long>(NET_TICK));
  }
  return slowest;
}

}  // namespace

void use_scripted_commands(const VURK_COMMAND* (*commands)(int player, long tick)) { scripted = commands; }

void set_online_run(long end_tick, long hash_every, bool print) {
  on.end_tick = end_tick;
  on.hash_every = hash_every;
  on.print = print;
}

void begin_online_match() {
  const START& s = match_start;
  const long end_tick = on.end_tick, hash_every = on.hash_every;
  const bool print = on.print;
  on = ONLINE{};
  on.end_tick = end_tick;
  on.hash_every = hash_every;
  on.print = print;
  counts = NET_COUNTS{};
  wire_totals(&wire_at_start[0], &wire_at_start[1]);
  began_at = net_now();
  std::memset(input, 0, sizeof input);
  std::memset(used, 0, sizeof used);
  apply_replay_setup(s.setup);
  static_assert(sizeof level_to_use == sizeof s.level);
  std::memcpy(level_to_use, s.level, sizeof level_to_use);
  level_to_use[sizeof level_to_use - 1] = '\0';
  game_srand(s.random_state);
  next_bullet = s.next_bullet;
  next_explosion = s.next_explosion;
  next_particle = s.next_particle;
  next_bullethole = s.next_bullethole;
  radar_angle = s.radar_angle;
  for (int p = 0; p < HUMAN_PLAYERS; p++) set_held_pad_buttons(p, 0);
  use_level_bytes(net_level, net_level_size);
  on.delay = std::clamp<int>(s.input_delay, MIN_INPUT_DELAY, MAX_INPUT_DELAY);
  for (int v = 0; v < MAX_VURKS; v++) {
    on.computer_from[v] = FOREVER;
    on.known[v] = 0;
    if (lobby.seat_machine[v] == lobby.me) {
      const int p = lobby.seat_player[v];
      if (p < HUMAN_PLAYERS && on.locals < HUMAN_PLAYERS) on.local_vurk[on.locals++] = v;
    }
  }
  // The players in the order of their seats' players.
  std::sort(on.local_vurk, on.local_vurk + on.locals,
            [](int a, int b) { return lobby.seat_player[a] < lobby.seat_player[b]; });
  if (online_recording) online_recording(on.locals == 2 ? 2 : 1, s.seed);
  if (!game_init()) {
    use_level_bytes(nullptr, 0);
    stop("the host's level can't be loaded", 1);
    lobby.state = NS_ENDED;
    return;
  }
  vurk_to_render_1 = &vurk[on.locals > 0 ? on.local_vurk[0] : 0];
  vurk_to_render_2 = &vurk[on.locals > 1 ? on.local_vurk[1] : 1];
  begin_tally(&on.tally);
  on.running = true;
  on.first_wrong = FOREVER;
  on.waiting_for = -1;
  save_world(0);
  for (long t = 1; t <= on.delay; t++) make_local(t);
  lobby.state = NS_PLAYING;
  std::fprintf(stderr, "vurkhold: the match begins with an input delay of %d ticks\n", on.delay);
}

void end_online_match() {
  if (!on.running) return;
  on.running = false;
  end_recording(true);
  use_level_bytes(nullptr, 0);
}

bool online_match_running() { return on.running; }

void match_commands(int from, const COMMANDS& m) {
  counts.packets_received++;
  for (int b = 0; b < m.blocks; b++) {
    const COMMAND_BLOCK& block = m.block[b];
    const int v = block.vurk;
    const int holder = lobby.seat_machine[v];
    // A client speaks only for the seats the host gave it; the host only for others'.
    const bool allowed = lobby.role == NR_HOST ? holder == from : holder >= 0 && holder != lobby.me;
    if (!allowed) {
      counts.refused_packets++;
      if (lobby.role == NR_HOST) drop_machine(from, "claimed another machine's seat");
      return;
    }
    for (int i = 0; i < block.count; i++) {
      const long t = static_cast<long>(block.first) + i;
      if (t <= on.known[v]) continue;
      if (t != on.known[v] + 1 || t >= on.computer_from[v]) break;
      if (t > on.journaled + INPUT_RING / 2) {
        counts.refused_packets++;
        if (lobby.role == NR_HOST) drop_machine(from, "sent commands too far ahead");
        return;
      }
      input[v][slot(t)] = block.command[i];
      on.known[v] = t;
      if (t <= on.current && !same(used[v][slot(t)], block.command[i])) {
        on.first_wrong = std::min(on.first_wrong, t);
        counts.mispredicted++;
      }
    }
  }
  for (int v = 0; v < MAX_VURKS; v++)
    on.acked[from][v] = std::max(on.acked[from][v], std::min<long>(m.ack[v], on.known[v]));
  on.remote_tick[from] = std::min<long>(m.tick, on.current + INPUT_RING);
}

void match_hash(int from, const HASH_MSG& h) {
  if (!on.running || on.over || h.tick % DESYNC_CHECK_TICKS) return;
  const int s = static_cast<int>((h.tick / DESYNC_CHECK_TICKS) % HASH_RING);
  on.theirs[from][s] = {static_cast<long>(h.tick), h.hash};
  compare_hashes(from, on.theirs[from][s], on.own[s]);
}

uint32_t match_drop_tick(int machine) {
  long t = on.journaled + 1;
  for (int v = 0; v < MAX_VURKS; v++)
    if (lobby.seat_machine[v] == machine) t = std::max(t, on.known[v] + 1);
  return static_cast<uint32_t>(t);
}

void match_drop(const DROP& d) {
  const long from = std::max<long>(d.from_tick, on.journaled + 1);
  char line[NET_MESSAGE_SIZE];
  std::snprintf(line, sizeof line, "%.60s: the computer plays on from frame %ld", d.reason, from);
  notice(line);
  counts.dropped_peers++;
  for (int v = 0; v < MAX_VURKS; v++) {
    if (lobby.seat_machine[v] != d.machine) continue;
    on.computer_from[v] = std::min(on.computer_from[v], from);
    if (from <= on.current) on.first_wrong = std::min(on.first_wrong, from);
  }
}

void match_desync(const DESYNC& d) {
  if (on.over) return;
  char line[NET_MESSAGE_SIZE];
  std::snprintf(line, sizeof line, "desync at frame %u", d.tick);
  stop(line, 3);
}

void net_match_frame(unsigned ms) {
  gather_match_input();
  void (*logic)(unsigned) = logic_func;
  game_keys();
  if (logic_func != logic) {
    net_leave();
    return;
  }
  net_service();
  if (!on.running) return;
  if (lobby.state == NS_ENDED && !on.over) stop(lobby.message[0] ? lobby.message : "the session ended", 1);
  if (on.over) return;
  // Back to the first step played on a wrong guess, and every step since played again.
  if (on.first_wrong <= on.current) {
    const long from = on.first_wrong;
    if (!load_world(from - 1)) {
      char line[NET_MESSAGE_SIZE];
      std::snprintf(line, sizeof line, "can't go back to frame %ld", from - 1);
      stop(line, 3);
      return;
    }
    counts.rollbacks++;
    for (long t = from; t <= on.current; t++) play_tick(t, true);
    counts.rollback_steps += on.current - from + 1;
  }
  on.first_wrong = FOREVER;
  const long certain = certain_to();
  for (long t = on.journaled + 1; t <= certain && !on.over; t++) settle(t);
  if (on.over) return;

  // A machine ahead of the others gives up a part of each frame until they catch up.
  const long ahead = on.current - others_tick();
  double pace = 1.0;
  if (ahead > 1 && ahead < FOREVER / 2) pace = std::max(0.5, 1.0 - 0.1 * static_cast<double>(ahead - 1));
  on.carry_ms = std::min(on.carry_ms + ms * pace, static_cast<double>(MAX_PREDICTION * NET_TICK));
  on.waiting_for = -1;
  while (on.carry_ms >= NET_TICK) {
    if (on.end_tick && on.current >= on.end_tick) {
      on.carry_ms = 0;
      break;
    }
    if (on.current + 1 > certain_to() + MAX_PREDICTION) {
      counts.stalls++;
      on.carry_ms = std::min(on.carry_ms, static_cast<double>(NET_TICK));
      long lowest = FOREVER;
      for (int v = 0; v < MAX_VURKS; v++)
        if (known_to(v) < lowest) lowest = known_to(v), on.waiting_for = lobby.seat_machine[v];
      break;
    }
    const long next = on.current + 1;
    for (long t = on.made + 1; t <= next + on.delay; t++) make_local(t);
    play_tick(next, false);
    on.current = next;
    counts.ticks++;
    on.carry_ms -= NET_TICK;
  }
  if (net_now() - on.sent_at >= SEND_EVERY_MS) send_all();
}

bool online_match_done() { return on.over || (on.end_tick && on.journaled >= on.end_tick); }
int online_match_status() { return on.status; }

// Every peer has played to the end and has what this machine holds of the match.
bool peers_have_everything() {
  for (int m = 0; m < MAX_MACHINES; m++) {
    if (m == lobby.me || !lobby.machine[m].present) continue;
    if (lobby.role == NR_CLIENT && m != 0) continue;
    if (on.end_tick && on.remote_tick[m] < on.end_tick) return false;
    for (int v = 0; v < MAX_VURKS; v++) {
      const int holder = lobby.seat_machine[v];
      if (holder < 0 || holder == m) continue;
      if (lobby.role == NR_CLIENT && holder != lobby.me) continue;
      if (on.acked[m][v] < std::min(on.known[v], on.computer_from[v] - 1)) return false;
    }
  }
  return true;
}

void send_online_commands() { send_all(); }

void print_online_outcome() { print_outcome(on.journaled, match_start.seed, NET_TICK, on.tally); }

long net_confirmed_tick() { return on.journaled; }
long net_current_tick() { return on.current; }

int net_status_lines(char (*lines)[NET_MESSAGE_SIZE], int max) {
  int n = 0;
  const uint32_t now = net_now();
  if (on.over && n < max) std::snprintf(lines[n++], NET_MESSAGE_SIZE, "%s", on.end_message);
  for (int m = 0; m < MAX_MACHINES && n < max; m++) {
    if (m == lobby.me || !lobby.machine[m].present) continue;
    if (lobby.role == NR_CLIENT && m != 0) continue;
    if (silence_ms(m) > INTERRUPTED_MS)
      std::snprintf(lines[n++], NET_MESSAGE_SIZE, "connection interrupted %s", lobby.machine[m].name);
  }
  if (on.waiting_for >= 0 && on.waiting_for < MAX_MACHINES && n < max)
    std::snprintf(lines[n++], NET_MESSAGE_SIZE, "waiting for %s", lobby.machine[on.waiting_for].name);
  if (on.notice[0] && now - on.notice_at < NOTICE_MS && n < max)
    std::snprintf(lines[n++], NET_MESSAGE_SIZE, "%s", on.notice);
  return n;
}

int net_local_vurk(int player) { return player >= 0 && player < on.locals ? on.local_vurk[player] : -1; }

NET_COUNTS net_counts() {
  NET_COUNTS c = counts;
  wire_totals(&c.wire_sent, &c.wire_received);
  c.wire_sent -= wire_at_start[0];
  c.wire_received -= wire_at_start[1];
  c.match_ms = on.running ? static_cast<long>(net_now() - began_at) : 0;
  return c;
}

}  // namespace vurkhold
