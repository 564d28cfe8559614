// headless peers: a host or client with no window, its players playing recorded commands
// (--play-input), each match ended after a number of ticks with the headless outcome, and
// the dedicated host that plays matches back to back.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "net/session.h"
#include "terrain/terrain.h"

namespace vurkhold {

unsigned net_seed = 0;

namespace {

// Ticks of recorded commands one player can play: over an hour at the online tick.
constexpr long MAX_PLAY_INPUT_TICKS = 1L << 18;
constexpr uint32_t JOIN_MS = 10000;
constexpr uint32_t LINGER_MS = 3000;

struct PLAY_INPUT {
  bool in_use;
  int players;             // 1 or 2
  int human[HUMAN_PLAYERS];  // the replay's human players, from 1
  int vurk[HUMAN_PLAYERS];   // their vurks
  long ticks;
  REPLAY_HEADER header;
  uint8_t level[MAX_LEVEL_BYTES];
  size_t level_size;
};
PLAY_INPUT play_input;
VURK_COMMAND* recorded[HUMAN_PLAYERS];  // allocated once, at the start

const VURK_COMMAND* recorded_command(int player, long tick) {
  if (player >= play_input.players || tick < 1 || tick > play_input.ticks) return nullptr;
  return &recorded[player][tick - 1];
}

void sleep_ms(long ms) {
  timespec t{0, ms * 1000000L};
  nanosleep(&t, nullptr);
}

void print_counts() {
  const NET_COUNTS c = net_counts();
  const NETSIM_COUNTS s = netsim_counts();
  std::fprintf(stderr,
               "net: ticks %ld rollbacks %ld rollback_steps %ld predicted %ld mispredicted %ld stalls %ld "
               "packets_sent %ld bytes_sent %ld packets_received %ld dropped_peers %ld refused %ld "
               "wire_sent %ld wire_received %ld seconds %.2f\n",
               c.ticks, c.rollbacks, c.rollback_steps, c.predicted, c.mispredicted, c.stalls, c.packets_sent,
               c.bytes_sent, c.packets_received, c.dropped_peers, c.refused_packets, c.wire_sent, c.wire_received,
               c.match_ms / 1000.0);
  std::fprintf(stderr, "netsim: sent %ld delayed %ld dropped %ld duplicated %ld reordered %ld\n", s.sent, s.delayed,
               s.dropped, s.duplicated, s.reordered);
}

int present_machines() {
  int n = 0;
  for (const LOBBY_MACHINE& m : net_lobby().machine) n += m.present && m.players > 0;
  return n;
}

// One match on this machine, from its start to its end, the outcome printed.
int play_one() {
  const MODE_PAIR pair = {net_match_frame, nullptr};
  install_mode(&pair);
  uint32_t last = net_now();
  while (!online_run_over()) {
    const uint32_t now = net_now();
    if (now != last) net_match_frame(now - last);
    last = now;
    if (logic_func != net_match_frame) install_mode(&pair);
    sleep_ms(1);
  }
  return finish_online_run();
}

}  // namespace

bool online_run_over() { return online_match_done() || net_lobby().state == NS_ENDED; }

int finish_online_run() {
  int status = online_match_status();
  if (net_lobby().state == NS_ENDED && !status) status = 1;
  // The others may still lack this machine's last commands: it stays until they have them.
  const uint32_t until = net_now() + LINGER_MS;
  while (!status && !peers_have_everything() && static_cast<int32_t>(until - net_now()) > 0) {
    net_service();
    send_online_commands();
    sleep_ms(5);
  }
  if (status != 1 || net_confirmed_tick() > 0) print_online_outcome();
  std::fflush(stdout);
  print_counts();
  end_online_match();
  return status;
}

void net_lobby_step(bool hosting, int min_players) {
  static uint32_t ready_sent = 0;
  char message[NET_MESSAGE_SIZE];
  net_service();
  const uint32_t now = net_now();
  if (hosting) {
    if (!net_lobby().machine[0].ready) net_set_ready(true);
    if (present_machines() >= std::max(1, min_players) && net_all_ready() && net_settled() &&
        !net_start(message, sizeof message))
      std::fprintf(stderr, "vurkhold: %s\n", message);
  } else if (net_lobby().state == NS_LOBBY && now - ready_sent > 250) {
    net_set_ready(true);
    ready_sent = now;
  }
}

int use_play_input(const char* spec, char* message, int size) {
  char path[REPLAY_PATH_SIZE];
  std::snprintf(path, sizeof path, "%s", spec);
  char* colon = std::strrchr(path, ':');
  if (!colon) {
    std::snprintf(message, static_cast<size_t>(size), "--play-input wants REPLAY:N or REPLAY:N,M");
    return 0;
  }
  *colon = '\0';
  PLAY_INPUT& p = play_input;
  p = PLAY_INPUT{};
  char* at = colon + 1;
  for (p.players = 0; p.players < HUMAN_PLAYERS && *at;) {
    char* end = nullptr;
    const long n = std::strtol(at, &end, 10);
    if (end == at || n < 1 || n > MAX_VURKS || (*end && *end != ',')) break;
    p.human[p.players++] = static_cast<int>(n);
    at = *end ? end + 1 : end;
  }
  if (!p.players || *at) {
    std::snprintf(message, static_cast<size_t>(size), "--play-input wants REPLAY:N or REPLAY:N,M with N and M from 1 to 4");
    return 0;
  }
  if (!open_replay(path, &p.header, message, size)) return 0;
  if (p.header.format < 2 || (p.header.frame_ms != NET_TICK && p.header.tick != NET_TICK)) {
    std::snprintf(message, static_cast<size_t>(size), "--play-input: %s was not played in steps of %u ms", path, NET_TICK);
    close_replay();
    return 0;
  }
  for (int q = 0; q < p.players; q++) {
    p.vurk[q] = -1;
    for (int v = 0, found = 0; v < MAX_VURKS; v++)
      if (p.header.setup.vurk[v].type == MLT_HUMAN && ++found == p.human[q]) p.vurk[q] = v;
    if (p.vurk[q] < 0) {
      std::snprintf(message, static_cast<size_t>(size), "--play-input: %s has no human player %d", path, p.human[q]);
      close_replay();
      return 0;
    }
  }
  const uint8_t* level = give_replay_level(&p.level_size);
  std::memcpy(p.level, level, p.level_size);
  for (VURK_COMMAND*& r : recorded)
    if (!r) r = static_cast<VURK_COMMAND*>(std::calloc(MAX_PLAY_INPUT_TICKS, sizeof(VURK_COMMAND)));
  if (!recorded[0] || !recorded[1]) {
    std::snprintf(message, static_cast<size_t>(size), "--play-input: out of memory");
    close_replay();
    return 0;
  }
  // The replay played through once: its steps' commands checked against its hashes.
  if (!start_replay(message, size)) {
    close_replay();
    return 0;
  }
  unsigned ms = 0;
  VURK_COMMAND commands[MAX_VURKS];
  REPLAY_STEP step;
  while ((step = read_replay_step(&ms, commands)) == RS_FRAME && p.ticks < MAX_PLAY_INPUT_TICKS) {
    for (int q = 0; q < p.players; q++) recorded[q][p.ticks] = commands[p.vurk[q]];
    p.ticks++;
    match_step(ms, commands);
  }
  close_replay();
  if (step != RS_END && step != RS_FRAME) {
    give_replay_message(step, message, size);
    return 0;
  }
  p.in_use = true;
  use_scripted_commands(recorded_command);
  return 1;
}

int play_input_players() { return play_input.in_use ? play_input.players : 0; }

void prepare_start(START* s) {
  if (!play_input.in_use) return;
  const REPLAY_HEADER& h = play_input.header;
  s->seed = h.seed;
  s->random_state = h.random_state;
  std::snprintf(s->level, sizeof s->level, "%s", h.level);
  use_host_level(h.level, play_input.level, play_input.level_size);
  s->level_hash = fnv1a(FNV_START, play_input.level, play_input.level_size);
  s->level_size = static_cast<uint32_t>(play_input.level_size);
  s->setup = h.setup;
  s->next_bullet = h.next_bullet;
  s->next_explosion = h.next_explosion;
  s->next_particle = h.next_particle;
  s->next_bullethole = h.next_bullethole;
  s->radar_angle = h.radar_angle;
  // The host's players on the vurks of the humans they play; the replay's other humans
  // to the clients' players in turn, and any client left over to the next free seat.
  for (int v = 0; v < MAX_VURKS; v++) lobby.seat_machine[v] = -1, lobby.seat_player[v] = 0;
  for (int q = 0; q < play_input.players; q++) {
    lobby.seat_machine[play_input.vurk[q]] = 0;
    lobby.seat_player[play_input.vurk[q]] = static_cast<uint8_t>(q);
  }
  int next_machine = 1, next_player = 0;
  auto next_client = [&](int* m, int* p) {
    while (next_machine < MAX_MACHINES) {
      const LOBBY_MACHINE& lm = lobby.machine[next_machine];
      if (lm.present && next_player < lm.players) {
        *m = next_machine;
        *p = next_player++;
        return true;
      }
      next_machine++;
      next_player = 0;
    }
    return false;
  };
  for (int pass = 0; pass < 2; pass++)
    for (int v = 0; v < MAX_VURKS; v++) {
      if (lobby.seat_machine[v] >= 0) continue;
      if (pass == 0 && h.setup.vurk[v].type != MLT_HUMAN) continue;
      int m, p;
      if (!next_client(&m, &p)) break;
      lobby.seat_machine[v] = static_cast<int8_t>(m);
      lobby.seat_player[v] = static_cast<uint8_t>(p);
    }
}

bool start_is_fixed() { return play_input.in_use; }

int run_net_headless(bool hosting, uint16_t port, const char* address, const NET_RUN& run) {
  char message[REPLAY_MESSAGE_SIZE];
  net_seed = run.seed;
  const int players = hosting ? play_input_players() : std::max(1, play_input_players());
  if (!(hosting ? net_host(port, players, message, sizeof message)
                : net_join(address, players, message, sizeof message))) {
    std::fprintf(stderr, "vurkhold: %s\n", message);
    return 1;
  }
  if (hosting && play_input.in_use)
    use_host_level(play_input.header.level, play_input.level, play_input.level_size);
  std::fflush(stderr);
  set_online_run(run.frames, run.hash_every, true);
  int status = 0;
  for (long match = 0; run.matches == 0 || match < run.matches; match++) {
    const uint32_t began = net_now();
    while (!net_match_started() && net_lobby().state != NS_ENDED) {
      if (!hosting && net_lobby().state == NS_CONNECTING && net_now() - began > JOIN_MS) break;
      net_lobby_step(hosting, run.min_players);
      sleep_ms(2);
    }
    if (!net_match_started()) {
      std::fprintf(stderr, "vurkhold: %s\n", net_lobby().message[0] ? net_lobby().message : "no match began");
      status = 1;
      break;
    }
    status = play_one();
    if (!hosting || status) break;
    net_match_over();
  }
  net_leave();
  return status;
}

}  // namespace vurkhold
