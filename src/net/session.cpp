// session: the machines' links over ENet, the handshake, the lobby, the level sent to a
// client that lacks it, the match's start, and every peer checked and dropped when it
// misbehaves.
#include "net/session.h"

#include <enet/enet.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "control/control.h"
#include "terrain/terrain.h"

namespace vurkhold {

LOBBY lobby;
START match_start;
uint8_t net_level[MAX_LEVEL_BYTES];
uint32_t net_level_size = 0;

namespace {

// A peer sending more than this many packets in a second is flooding.
constexpr int FLOOD_PACKETS = 400;
constexpr uint32_t LOBBY_EVERY_MS = 250;
constexpr uint32_t HANDSHAKE_MS = 5000;
// A host starts a headless match only once every client has been in the lobby this long,
// so their round trips have been measured.
constexpr uint32_t SETTLE_MS = 1000;
constexpr uint32_t PING_INTERVAL_MS = 100;
// How long a machine that leaves waits for its peers to take its last words.
constexpr uint32_t LEAVE_MS = 300;

bool opened = false;
ENetHost* host = nullptr;
ENetPeer* peer_of[MAX_MACHINES];
uint32_t heard[MAX_MACHINES];
// When each of the host's ENet peers connected, so one that never greets is let go.
uint32_t connected_at[MAX_MACHINES];
uint32_t joined_at[MAX_MACHINES];
int packets_this_second[MAX_MACHINES];
uint32_t second_start[MAX_MACHINES];
SEAT_SETUP seat_setup[MAX_MACHINES][HUMAN_PLAYERS];
uint8_t seats_given[MAX_MACHINES];
uint64_t nonce = 0;
uint32_t lobby_sent = 0;
bool started = false;
uint64_t level_hash = 0;
bool level_ready = false;   // a client holds the host's level
bool level_asked = false;
uint8_t message_buffer[MAX_CONTROL_MESSAGE];

void say(const char* text) {
  std::snprintf(lobby.message, sizeof lobby.message, "%s", text);
  std::fprintf(stderr, "vurkhold: %s\n", text);
}

int machine_of(const ENetPeer* peer) { return static_cast<int>(reinterpret_cast<intptr_t>(peer->data)) - 1; }

void send(ENetPeer* peer, uint8_t channel, const uint8_t* bytes, int n, uint32_t flags) {
  if (!peer || n <= 0) return;
  ENetPacket* packet = enet_packet_create(bytes, static_cast<size_t>(n), flags);
  if (packet && enet_peer_send(peer, channel, packet) < 0) enet_packet_destroy(packet);
}

void refuse(ENetPeer* peer, const char* reason) {
  REFUSE r{};
  std::snprintf(r.reason, sizeof r.reason, "%s", reason);
  send(peer, CONTROL_CHANNEL, message_buffer, encode_refuse(r, message_buffer, sizeof message_buffer),
       ENET_PACKET_FLAG_RELIABLE);
  enet_peer_disconnect_later(peer, 0);
}

// The host's lobby to every client.
void send_lobby() {
  LOBBY_STATE s{};
  std::memcpy(s.machine, lobby.machine, sizeof s.machine);
  std::memcpy(s.seat_machine, lobby.seat_machine, sizeof s.seat_machine);
  std::memcpy(s.seat_player, lobby.seat_player, sizeof s.seat_player);
  std::snprintf(s.level, sizeof s.level, "%s", lobby.level);
  s.level_hash = level_hash;
  s.level_size = net_level_size;
  s.lives = lobby.lives;
  s.frag_limit = lobby.frag_limit;
  s.input_delay = static_cast<uint8_t>(lobby.input_delay);
  broadcast_control(message_buffer, encode_lobby(s, message_buffer, sizeof message_buffer), -1);
  lobby_sent = net_now();
}

// The host's seats for a machine's players, the first free ones; false when too few are free.
bool give_seats(int machine, int players) {
  int free_seats = 0;
  for (int v = 0; v < MAX_VURKS; v++) free_seats += lobby.seat_machine[v] < 0;
  if (free_seats < players) return false;
  for (int p = 0, v = 0; p < players && v < MAX_VURKS; v++) {
    if (lobby.seat_machine[v] >= 0) continue;
    lobby.seat_machine[v] = static_cast<int8_t>(machine);
    lobby.seat_player[v] = static_cast<uint8_t>(p++);
  }
  return true;
}

void free_seats(int machine) {
  for (int v = 0; v < MAX_VURKS; v++)
    if (lobby.seat_machine[v] == machine) lobby.seat_machine[v] = -1, lobby.seat_player[v] = 0;
}

// The round trip rounded to whole ticks each way, within the limits.
int choose_input_delay() {
  int rtt = 0;
  for (const LOBBY_MACHINE& m : lobby.machine)
    if (m.present) rtt = std::max(rtt, static_cast<int>(m.ping_ms));
  return std::clamp((rtt / 2 + static_cast<int>(NET_TICK) / 2) / static_cast<int>(NET_TICK), MIN_INPUT_DELAY,
                    MAX_INPUT_DELAY);
}

// ---- the host's side of a client's messages ----

void host_hello(ENetPeer* peer, const uint8_t* in, size_t size) {
  HELLO h;
  char line[NET_MESSAGE_SIZE];
  if (!decode_hello(in, size, &h)) {
    std::fprintf(stderr, "vurkhold: refused a machine: its greeting is not this game's\n");
    refuse(peer, "refused: the greeting is not this game's");
    return;
  }
  if (h.protocol != NET_PROTOCOL || std::strcmp(h.version, GAME_VERSION) != 0) {
    std::snprintf(line, sizeof line, "refused: another version (the host plays %s, %s plays %s)", GAME_VERSION,
                  h.name, h.version);
    say(line);
    refuse(peer, line);
    return;
  }
  if (h.content_hash != give_content_hash()) {
    std::snprintf(line, sizeof line, "refused: other content (%s's weapon and model files differ from the host's)",
                  h.name);
    say(line);
    refuse(peer, line);
    return;
  }
  int machine = -1;
  for (int m = 1; m < MAX_MACHINES && machine < 0; m++)
    if (!lobby.machine[m].present) machine = m;
  if (started || machine < 0 || !give_seats(machine, h.players)) {
    std::snprintf(line, sizeof line, started ? "refused: the match has begun" : "refused: the match is full");
    std::fprintf(stderr, "vurkhold: %s (%s)\n", line, h.name);
    refuse(peer, line);
    return;
  }
  peer->data = reinterpret_cast<void*>(static_cast<intptr_t>(machine + 1));
  peer_of[machine] = peer;
  heard[machine] = joined_at[machine] = net_now();
  LOBBY_MACHINE& m = lobby.machine[machine];
  m = LOBBY_MACHINE{1, 0, h.players, {}, 0};
  std::snprintf(m.name, sizeof m.name, "%s", h.name);
  seats_given[machine] = 0;
  WELCOME w{};
  w.machine = static_cast<uint8_t>(machine);
  w.nonce = nonce;
  std::snprintf(w.version, sizeof w.version, "%s", GAME_VERSION);
  w.content_hash = give_content_hash();
  send_control(machine, message_buffer, encode_welcome(w, message_buffer, sizeof message_buffer));
  std::fprintf(stderr, "vurkhold: %s joined as machine %d\n", m.name, machine + 1);
  send_lobby();
}

void host_level_want(int machine) {
  for (uint32_t at = 0; at < net_level_size; at += LEVEL_PIECE) {
    LEVEL_PIECE_MSG p;
    p.offset = at;
    p.total = net_level_size;
    p.size = static_cast<uint16_t>(std::min<uint32_t>(LEVEL_PIECE, net_level_size - at));
    std::memcpy(p.bytes, net_level + at, p.size);
    send_control(machine, message_buffer, encode_level_piece(p, message_buffer, sizeof message_buffer));
  }
}

void host_message(int machine, const uint8_t* in, size_t size) {
  switch (in[0]) {
    case MSG_READY: {
      READY r;
      if (!decode_ready(in, size, &r) || r.seats > lobby.machine[machine].players) break;
      lobby.machine[machine].ready = r.ready;
      for (int s = 0; s < r.seats; s++) seat_setup[machine][s] = r.seat[s];
      seats_given[machine] = r.seats;
      send_lobby();
      return;
    }
    case MSG_LEVEL_WANT:
      if (size != 1 || started) break;
      host_level_want(machine);
      return;
    case MSG_HASH: {
      HASH_MSG h;
      if (!decode_hash(in, size, &h)) break;
      match_hash(machine, h);
      return;
    }
    default: break;
  }
  drop_machine(machine, "sent a malformed message");
}

// ---- the client's side of the host's messages ----

// The level of that name and bytes, from the game folder or the player's own; true when found.
bool find_level(const char* name, uint64_t hash, uint32_t size) {
  char own[1024];
  char candidates[3][1400];
  int n = 0;
  std::snprintf(candidates[n++], sizeof candidates[0], "%s", name);
  const char* base = std::strrchr(name, '/');
  base = base ? base + 1 : name;
  if (platform::user_data_dir(own, sizeof own, "levels")) {
    std::snprintf(candidates[n++], sizeof candidates[0], "%s%s", own, base);
    std::snprintf(candidates[n++], sizeof candidates[0], "%s%.*s-%016llx.vhl", own,
                  static_cast<int>(std::strcspn(base, ".")), base, static_cast<unsigned long long>(hash));
  }
  for (int c = 0; c < n; c++) {
    std::FILE* f = platform::open_file(candidates[c], "rb");
    if (!f) continue;
    const size_t got = std::fread(net_level, 1, MAX_LEVEL_BYTES, f);
    std::fclose(f);
    if (got == size && fnv1a(FNV_START, net_level, got) == hash) {
      net_level_size = size;
      return true;
    }
  }
  return false;
}

bool write_level(std::FILE* f, void*) { return std::fwrite(net_level, 1, net_level_size, f) == net_level_size; }

// The level received kept in the player's own folder, under its own name unless a file of
// that name holds other bytes.
void keep_level(const char* name) {
  char own[1024];
  if (!platform::user_data_dir(own, sizeof own, "levels")) return;
  const char* base = std::strrchr(name, '/');
  base = base ? base + 1 : name;
  char path[1400];
  std::snprintf(path, sizeof path, "%s%s", own, base);
  std::error_code error;
  if (std::filesystem::exists(path, error))
    std::snprintf(path, sizeof path, "%s%.*s-%016llx.vhl", own, static_cast<int>(std::strcspn(base, ".")), base,
                  static_cast<unsigned long long>(level_hash));
  char reason[1600];
  if (!platform::write_file_safely(path, write_level, nullptr, reason, sizeof reason))
    std::fprintf(stderr, "vurkhold: %s\n", reason);
  else
    std::fprintf(stderr, "vurkhold: the host's level is kept in %s\n", path);
}

bool client_message(const uint8_t* in, size_t size) {
  switch (in[0]) {
    case MSG_REFUSE: {
      REFUSE r;
      if (!decode_refuse(in, size, &r)) return false;
      say(r.reason);
      lobby.state = NS_ENDED;
      return true;
    }
    case MSG_WELCOME: {
      WELCOME w;
      if (!decode_welcome(in, size, &w) || lobby.state != NS_CONNECTING) return false;
      if (std::strcmp(w.version, GAME_VERSION) != 0 || w.content_hash != give_content_hash()) {
        char line[NET_MESSAGE_SIZE];
        if (std::strcmp(w.version, GAME_VERSION) != 0)
          std::snprintf(line, sizeof line, "refused: another version (the host plays %s, this machine %s)", w.version,
                        GAME_VERSION);
        else
          std::snprintf(line, sizeof line, "refused: other content (the weapon and model files differ from the host's)");
        say(line);
        lobby.state = NS_ENDED;
        return true;
      }
      lobby.me = static_cast<int8_t>(w.machine);
      nonce = w.nonce;
      lobby.state = NS_LOBBY;
      return true;
    }
    case MSG_LOBBY: {
      LOBBY_STATE s;
      if (!decode_lobby(in, size, &s) || lobby.me < 1) return false;
      std::memcpy(lobby.machine, s.machine, sizeof lobby.machine);
      std::memcpy(lobby.seat_machine, s.seat_machine, sizeof lobby.seat_machine);
      std::memcpy(lobby.seat_player, s.seat_player, sizeof lobby.seat_player);
      std::snprintf(lobby.level, sizeof lobby.level, "%s", s.level);
      lobby.lives = s.lives;
      lobby.frag_limit = s.frag_limit;
      lobby.input_delay = s.input_delay;
      if (s.level_hash != level_hash || s.level_size != net_level_size) {
        level_hash = s.level_hash;
        level_ready = find_level(s.level, s.level_hash, s.level_size);
        level_asked = false;
        if (!level_ready) net_level_size = s.level_size;
      }
      if (!level_ready && !level_asked && lobby.state == NS_LOBBY) {
        level_asked = true;
        lobby.state = NS_LEVEL;
        lobby.level_bytes = static_cast<int32_t>(s.level_size);
        lobby.level_received = 0;
        send_control(0, message_buffer, encode_level_want(message_buffer, sizeof message_buffer));
      }
      return true;
    }
    case MSG_LEVEL_PIECE: {
      LEVEL_PIECE_MSG p;
      if (!decode_level_piece(in, size, &p) || lobby.state != NS_LEVEL || p.total != net_level_size) return false;
      std::memcpy(net_level + p.offset, p.bytes, p.size);
      lobby.level_received += p.size;
      if (p.offset + p.size == p.total) {
        if (fnv1a(FNV_START, net_level, net_level_size) != level_hash) {
          say("the host's level arrived damaged");
          lobby.state = NS_ENDED;
          return true;
        }
        level_ready = true;
        lobby.state = NS_LOBBY;
        keep_level(lobby.level);
      }
      return true;
    }
    case MSG_START: {
      if (!decode_start(in, size, &match_start) || lobby.state != NS_LOBBY) return false;
      if (!level_ready || match_start.level_hash != level_hash || match_start.level_size != net_level_size) {
        say("the host started on a level this machine doesn't hold");
        lobby.state = NS_ENDED;
        return true;
      }
      std::memcpy(lobby.seat_machine, match_start.seat_machine, sizeof lobby.seat_machine);
      std::memcpy(lobby.seat_player, match_start.seat_player, sizeof lobby.seat_player);
      lobby.input_delay = match_start.input_delay;
      started = true;
      begin_online_match();
      return true;
    }
    case MSG_DROP: {
      DROP d;
      if (!decode_drop(in, size, &d)) return false;
      if (d.machine == lobby.me) {
        say(d.reason);
        lobby.state = NS_ENDED;
        return true;
      }
      lobby.machine[d.machine].present = 0;
      if (online_match_running()) match_drop(d);
      return true;
    }
    case MSG_DESYNC: {
      DESYNC d;
      if (!decode_desync(in, size, &d)) return false;
      match_desync(d);
      return true;
    }
    case MSG_HASH: return false;
    default: return false;
  }
}

// A packet from a machine: counted, checked, handed on. Commands go to the match, which
// checks the seats.
void receive(ENetPeer* peer, const ENetPacket* packet, uint8_t channel) {
  const int machine = machine_of(peer);
  if (lobby.role == NR_HOST && machine < 0) {
    if (channel == CONTROL_CHANNEL && packet->dataLength && packet->data[0] == MSG_HELLO)
      host_hello(peer, packet->data, packet->dataLength);
    else
      enet_peer_reset(peer);
    return;
  }
  if (machine < 0) return;
  const uint32_t now = net_now();
  heard[machine] = now;
  if (now - second_start[machine] >= 1000) second_start[machine] = now, packets_this_second[machine] = 0;
  if (++packets_this_second[machine] > FLOOD_PACKETS && lobby.role == NR_HOST) {
    drop_machine(machine, "flooded the host");
    return;
  }
  const uint8_t* in = packet->data;
  const size_t size = packet->dataLength;
  if (!size || size > static_cast<size_t>(MAX_CONTROL_MESSAGE)) {
    if (lobby.role == NR_HOST) drop_machine(machine, "sent a packet of a size no message has");
    return;
  }
  if (channel == COMMAND_CHANNEL) {
    COMMANDS c;
    if (decode_commands(in, size, &c)) {
      if (online_match_running()) match_commands(machine, c);
    } else if (lobby.role == NR_HOST) {
      drop_machine(machine, "sent malformed commands");
    }
    return;
  }
  if (lobby.role == NR_HOST) {
    host_message(machine, in, size);
  } else if (!client_message(in, size)) {
    std::fprintf(stderr, "vurkhold: a message from the host failed its checks (type %u, %zu bytes)\n", in[0], size);
  }
}

void lost(ENetPeer* peer) {
  const int machine = machine_of(peer);
  if (machine < 0) return;
  peer->data = nullptr;
  if (lobby.role == NR_HOST) {
    peer_of[machine] = nullptr;
    drop_machine(machine, "left");
  } else if (lobby.state != NS_ENDED) {
    peer_of[0] = nullptr;
    say(lobby.state == NS_CONNECTING ? "no host answered" : "the host is gone");
    lobby.state = NS_ENDED;
  }
}

void update_pings() {
  for (int m = 1; m < MAX_MACHINES; m++) {
    if (!peer_of[m] || !lobby.machine[m].present) continue;
    const int sample = static_cast<int>(peer_of[m]->lastRoundTripTime);
    int& ping = lobby.machine[m].ping_ms;
    ping = ping == 0 ? sample : (ping * 3 + sample) / 4;
  }
  if (!started) lobby.input_delay = choose_input_delay();
}

int make_host(const ENetAddress* address, size_t peers, char* message, int size) {
  host = enet_host_create(address, peers, NET_CHANNELS, 0, 0);
  if (!host) {
    std::snprintf(message, static_cast<size_t>(size), address ? "can't listen on port %u" : "can't open a network socket",
                  address ? address->port : 0u);
    return 0;
  }
  return 1;
}

void reset_session() {
  if (online_match_running()) end_online_match();
  if (host) enet_host_destroy(host);
  host = nullptr;
  std::memset(peer_of, 0, sizeof peer_of);
  lobby = LOBBY{};
  for (int v = 0; v < MAX_VURKS; v++) lobby.seat_machine[v] = -1;
  started = false;
  level_ready = level_asked = false;
  level_hash = 0;
  net_level_size = 0;
}

}  // namespace

uint32_t net_now() { return enet_time_get(); }

void wire_totals(long* sent, long* received) {
  *sent = host ? static_cast<long>(host->totalSentData) : 0;
  *received = host ? static_cast<long>(host->totalReceivedData) : 0;
}

uint32_t silence_ms(int machine) { return net_now() - heard[machine]; }

void send_control(int machine, const uint8_t* bytes, int n) {
  if (machine >= 0 && machine < MAX_MACHINES) send(peer_of[machine], CONTROL_CHANNEL, bytes, n, ENET_PACKET_FLAG_RELIABLE);
}

void broadcast_control(const uint8_t* bytes, int n, int except) {
  for (int m = 1; m < MAX_MACHINES; m++)
    if (m != except && lobby.machine[m].present) send_control(m, bytes, n);
}

void send_commands(int machine, const uint8_t* bytes, int n) {
  if (machine >= 0 && machine < MAX_MACHINES) send(peer_of[machine], COMMAND_CHANNEL, bytes, n, 0);
}

void drop_machine(int machine, const char* reason) {
  if (lobby.role != NR_HOST || machine < 1 || machine >= MAX_MACHINES || !lobby.machine[machine].present) return;
  char line[NET_MESSAGE_SIZE];
  std::snprintf(line, sizeof line, "%s %s", lobby.machine[machine].name, reason);
  std::fprintf(stderr, "vurkhold: dropped %s\n", line);
  DROP d{};
  d.machine = static_cast<uint8_t>(machine);
  d.from_tick = online_match_running() ? match_drop_tick(machine) : 1;
  std::snprintf(d.reason, sizeof d.reason, "%s", line);
  if (peer_of[machine]) {
    // The dropped machine hears why; the rest hear which tick its vurks change hands.
    send_control(machine, message_buffer, encode_drop(d, message_buffer, sizeof message_buffer));
    enet_peer_disconnect_later(peer_of[machine], 0);
    peer_of[machine]->data = nullptr;
    peer_of[machine] = nullptr;
  }
  lobby.machine[machine].present = 0;
  broadcast_control(message_buffer, encode_drop(d, message_buffer, sizeof message_buffer), machine);
  if (online_match_running()) match_drop(d);
  else free_seats(machine);
  send_lobby();
}

int net_open(char* message, int size) {
  if (opened) return 1;
  if (enet_initialize() != 0) {
    std::snprintf(message, static_cast<size_t>(size), "can't start the network library");
    return 0;
  }
  opened = true;
  reset_session();
  return 1;
}

void net_close() {
  net_leave();
  if (opened) enet_deinitialize();
  opened = false;
}

int net_host(uint16_t port, int local_players, char* message, int size) {
  if (!net_open(message, size)) return 0;
  net_leave();
  reset_session();
  ENetAddress address;
  address.host = ENET_HOST_ANY;
  address.port = port;
  // One peer more than the clients, so a machine too many is told why.
  if (!make_host(&address, MAX_MACHINES, message, size)) return 0;
  lobby.role = NR_HOST;
  lobby.state = NS_LOBBY;
  lobby.me = 0;
  LOBBY_MACHINE& me = lobby.machine[0];
  me = LOBBY_MACHINE{1, static_cast<uint8_t>(local_players == 0), static_cast<uint8_t>(local_players), {}, 0};
  std::snprintf(me.name, sizeof me.name, "%s", local_players ? player_name : "HOST");
  give_seats(0, local_players);
  std::snprintf(lobby.level, sizeof lobby.level, "%s", level_to_use);
  lobby.lives = MAX_LIVES;
  lobby.frag_limit = FRAG_LIMIT;
  lobby.input_delay = MIN_INPUT_DELAY;
  nonce = (static_cast<uint64_t>(enet_time_get()) << 32) ^ reinterpret_cast<uintptr_t>(host) ^ game_rand_state();
  std::FILE* f = platform::open_file(level_to_use, "rb");
  if (!f) {
    std::snprintf(message, static_cast<size_t>(size), "can't read the level %s", level_to_use);
    net_leave();
    return 0;
  }
  net_level_size = static_cast<uint32_t>(std::fread(net_level, 1, MAX_LEVEL_BYTES, f));
  std::fclose(f);
  level_hash = fnv1a(FNV_START, net_level, net_level_size);
  lobby.port = host->address.port;
  std::fprintf(stderr, "vurkhold: hosting on port %u\n", host->address.port);
  return 1;
}

// The host's level set from bytes already in hand (a replay's), not its file.
void use_host_level(const char* name, const uint8_t* bytes, size_t size) {
  std::snprintf(lobby.level, sizeof lobby.level, "%s", name);
  net_level_size = static_cast<uint32_t>(std::min<size_t>(size, MAX_LEVEL_BYTES));
  std::memcpy(net_level, bytes, net_level_size);
  level_hash = fnv1a(FNV_START, net_level, net_level_size);
}

int net_join(const char* address_text, int local_players, char* message, int size) {
  if (!net_open(message, size)) return 0;
  net_leave();
  reset_session();
  char name[NET_ADDRESS_SIZE];
  std::snprintf(name, sizeof name, "%s", address_text);
  ENetAddress address;
  address.port = DEFAULT_PORT;
  if (char* colon = std::strrchr(name, ':')) {
    *colon = '\0';
    char* end = nullptr;
    const long port = std::strtol(colon + 1, &end, 10);
    if (!*(colon + 1) || *end || port < 1 || port > 65535) {
      std::snprintf(message, static_cast<size_t>(size), "'%s' has no port from 1 to 65535 after its ':'", address_text);
      return 0;
    }
    address.port = static_cast<uint16_t>(port);
  }
  if (!name[0] || enet_address_set_host(&address, name) != 0) {
    std::snprintf(message, static_cast<size_t>(size), "can't find the host '%s'", name);
    return 0;
  }
  if (!make_host(nullptr, 1, message, size)) return 0;
  peer_of[0] = enet_host_connect(host, &address, NET_CHANNELS, NET_PROTOCOL);
  if (!peer_of[0]) {
    std::snprintf(message, static_cast<size_t>(size), "can't reach '%s'", address_text);
    net_leave();
    return 0;
  }
  peer_of[0]->data = reinterpret_cast<void*>(static_cast<intptr_t>(1));
  heard[0] = net_now();
  lobby.role = NR_CLIENT;
  lobby.state = NS_CONNECTING;
  lobby.me = -1;
  lobby.machine[0].players = static_cast<uint8_t>(local_players);  // until the lobby comes
  seats_given[0] = static_cast<uint8_t>(local_players);
  return 1;
}

uint16_t net_port() { return host ? host->address.port : 0; }

void net_leave() {
  if (!host) return;
  // A peer let go at once loses what is still queued for it, such as the desync that ends
  // the match: each is asked to part once all of it has been taken, for a moment at most.
  int parting = 0;
  for (ENetPeer* p : peer_of)
    if (p && p->state == ENET_PEER_STATE_CONNECTED) enet_peer_disconnect_later(p, 0), parting++;
  const uint32_t give_up = enet_time_get() + LEAVE_MS;
  ENetEvent event;
  while (parting > 0 && static_cast<int32_t>(give_up - enet_time_get()) > 0 && enet_host_service(host, &event, 5) >= 0) {
    if (event.type == ENET_EVENT_TYPE_DISCONNECT) parting--;
    if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
  }
  for (ENetPeer*& p : peer_of)
    if (p) enet_peer_disconnect_now(p, 0), p = nullptr;
  enet_host_flush(host);
  char message[NET_MESSAGE_SIZE];
  std::snprintf(message, sizeof message, "%s", lobby.message);
  reset_session();
  std::snprintf(lobby.message, sizeof lobby.message, "%s", message);
}

const LOBBY& net_lobby() { return lobby; }

void net_service() {
  if (!host) return;
  netsim_pump();
  ENetEvent event;
  // Bounded: a flood can't keep the frame here.
  for (int n = 0; n < 256 && enet_host_service(host, &event, 0) > 0; n++) {
    switch (event.type) {
      case ENET_EVENT_TYPE_CONNECT:
        enet_peer_ping_interval(event.peer, PING_INTERVAL_MS);
        enet_peer_timeout(event.peer, 0, DROP_MS, DROP_MS);
        if (lobby.role == NR_CLIENT) {
          HELLO h{};
          h.protocol = NET_PROTOCOL;
          std::snprintf(h.version, sizeof h.version, "%s", GAME_VERSION);
          h.content_hash = give_content_hash();
          std::snprintf(h.name, sizeof h.name, "%s", player_name);
          h.players = static_cast<uint8_t>(std::clamp<int>(seats_given[0], 1, HUMAN_PLAYERS));
          send_control(0, message_buffer, encode_hello(h, message_buffer, sizeof message_buffer));
        } else {
          event.peer->data = nullptr;
          connected_at[(event.peer - host->peers) % MAX_MACHINES] = net_now();
        }
        break;
      case ENET_EVENT_TYPE_RECEIVE:
        receive(event.peer, event.packet, event.channelID);
        enet_packet_destroy(event.packet);
        break;
      case ENET_EVENT_TYPE_DISCONNECT: lost(event.peer); break;
      case ENET_EVENT_TYPE_NONE: break;
    }
    if (!host) return;
  }
  // ENet's own pings and acknowledgements count as hearing from a machine.
  for (int m = 0; m < MAX_MACHINES; m++)
    if (peer_of[m] && peer_of[m]->state == ENET_PEER_STATE_CONNECTED &&
        static_cast<int32_t>(peer_of[m]->lastReceiveTime - heard[m]) > 0)
      heard[m] = peer_of[m]->lastReceiveTime;
  const uint32_t now = net_now();
  if (lobby.role == NR_HOST) {
    // A peer that connects and never says who it is would hold a place for ever.
    for (size_t i = 0; i < host->peerCount && i < MAX_MACHINES; i++) {
      ENetPeer* p = &host->peers[i];
      if (p->state == ENET_PEER_STATE_CONNECTED && !p->data && now - connected_at[i] > HANDSHAKE_MS) {
        std::fprintf(stderr, "vurkhold: let go of a machine that never greeted the host\n");
        enet_peer_reset(p);
      }
    }
    update_pings();
    for (int m = 1; m < MAX_MACHINES; m++)
      if (lobby.machine[m].present && now - heard[m] > DROP_MS) drop_machine(m, "lost contact");
    if (!started && now - lobby_sent >= LOBBY_EVERY_MS) send_lobby();
  } else if (lobby.state != NS_ENDED && now - heard[0] > (lobby.state == NS_CONNECTING ? HANDSHAKE_MS : DROP_MS)) {
    say(lobby.state == NS_CONNECTING ? "no host answered" : "the host is gone");
    lobby.state = NS_ENDED;
  }
  if (host) enet_host_flush(host);
}

void net_set_ready(bool ready) {
  if (lobby.role == NR_HOST) {
    lobby.machine[0].ready = ready;
    send_lobby();
    return;
  }
  if (lobby.role != NR_CLIENT || lobby.state != NS_LOBBY) return;
  READY r{};
  r.ready = ready && level_ready;
  r.seats = static_cast<uint8_t>(std::clamp<int>(seats_given[0], 1, HUMAN_PLAYERS));
  // This machine's players' set-up as its own set-up page has it: player N's is vurk N's there.
  for (int s = 0; s < r.seats; s++) {
    const VURK_& v = vurk[s];
    r.seat[s].team = static_cast<int8_t>(std::clamp<int>(v.team, 0, 3));
    r.seat[s].item = static_cast<uint8_t>(v.item == MI_JETPACK ? MI_JETPACK : MI_NINJAROPE);
    for (int w = 0; w < WEAPON_SLOTS; w++) r.seat[s].weapon[w] = std::clamp(v.weapons[w].num, -1, MAX_WEAPON_TYPES - 1);
  }
  send_control(0, message_buffer, encode_ready(r, message_buffer, sizeof message_buffer));
}

bool net_all_ready() {
  if (lobby.role != NR_HOST) return false;
  int others = 0;
  for (int m = 0; m < MAX_MACHINES; m++) {
    const LOBBY_MACHINE& machine = lobby.machine[m];
    if (!machine.present) continue;
    if (!machine.ready) return false;
    if (m > 0) others++;
  }
  return others > 0 || lobby.machine[0].players > 0;
}

bool net_settled() {
  const uint32_t now = net_now();
  for (int m = 1; m < MAX_MACHINES; m++)
    if (lobby.machine[m].present && now - joined_at[m] < SETTLE_MS) return false;
  return true;
}

int net_start(char* message, int size) {
  if (lobby.role != NR_HOST || started) {
    std::snprintf(message, static_cast<size_t>(size), "only the host starts the match");
    return 0;
  }
  if (!net_all_ready()) {
    std::snprintf(message, static_cast<size_t>(size), "not every machine is ready");
    return 0;
  }
  START& s = match_start;
  s.nonce = nonce;
  s.seed = net_seed;
  s.random_state = game_rand_state();
  std::snprintf(s.level, sizeof s.level, "%s", lobby.level);
  s.level_hash = level_hash;
  s.level_size = net_level_size;
  s.setup = give_replay_setup();
  s.next_bullet = next_bullet;
  s.next_explosion = next_explosion;
  s.next_particle = next_particle;
  s.next_bullethole = next_bullethole;
  s.radar_angle = radar_angle;
  prepare_start(&s);
  const bool fixed = start_is_fixed();
  s.input_delay = static_cast<uint8_t>(lobby.input_delay);
  // Each seat held by a machine is a human with that machine's set-up; a free seat the
  // host's set-up made human is a computer player.
  for (int v = 0; v < MAX_VURKS; v++) {
    REPLAY_VURK& r = s.setup.vurk[v];
    r.num = v;
    const int m = lobby.seat_machine[v];
    if (m < 0) {
      if (r.type == MLT_HUMAN) r.type = MLT_COMPUTER;
      continue;
    }
    r.type = MLT_HUMAN;
    const int p = lobby.seat_player[v];
    if (m > 0 && p < seats_given[m] && !fixed) {
      r.team = seat_setup[m][p].team;
      r.item = seat_setup[m][p].item;
      for (int w = 0; w < WEAPON_SLOTS; w++) r.weapon[w] = seat_setup[m][p].weapon[w];
    }
  }
  std::memcpy(s.seat_machine, lobby.seat_machine, sizeof s.seat_machine);
  std::memcpy(s.seat_player, lobby.seat_player, sizeof s.seat_player);
  broadcast_control(message_buffer, encode_start(s, message_buffer, sizeof message_buffer), -1);
  started = true;
  begin_online_match();
  return 1;
}

bool net_match_started() { return online_match_running(); }

void net_match_over() {
  started = false;
  for (LOBBY_MACHINE& m : lobby.machine) m.ready = lobby.role == NR_HOST && &m == &lobby.machine[0] && m.players == 0;
  if (lobby.state == NS_PLAYING) lobby.state = NS_LOBBY;
}

}  // namespace vurkhold
