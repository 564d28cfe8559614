// lobby stand-in: a made-up session behind the net library's lobby calls, so the NETWORK
// page can be built and looked at before the session itself is in. Temporary.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "menu/menu.h"
#include "net/net.h"

namespace vurkhold {

namespace {

LOBBY lobby = {};
bool started = false;
long serviced = 0;

void set_machine(int m, bool ready, int players, const char* name, int ping) {
  LOBBY_MACHINE& machine = lobby.machine[m];
  machine.present = 1;
  machine.ready = ready ? 1 : 0;
  machine.players = static_cast<uint8_t>(players);
  std::snprintf(machine.name, sizeof machine.name, "%s", name);
  machine.ping_ms = ping;
}

void set_seats(int local, int players) {
  int seat = 0;
  for (int m = 0; m < 3; m++)
    for (int p = 0; p < (m == local ? players : 1) && seat < MAX_VURKS; p++, seat++) {
      lobby.seat_machine[seat] = static_cast<int8_t>(m);
      lobby.seat_player[seat] = static_cast<uint8_t>(p);
    }
  for (; seat < MAX_VURKS; seat++) lobby.seat_machine[seat] = -1;
}

void common(const char* level) {
  std::snprintf(lobby.level, sizeof lobby.level, "%s", level);
  lobby.lives = MAX_LIVES;
  lobby.frag_limit = FRAG_LIMIT;
  lobby.input_delay = 2;
  const char* message = std::getenv("VURK_STANDIN_MESSAGE");
  std::snprintf(lobby.message, sizeof lobby.message, "%s", message ? message : "");
}

}  // namespace

int net_host(uint16_t port, int local_players, char* message, int size) {
  if (std::getenv("VURK_STANDIN_HOST_FAILS")) {
    std::snprintf(message, static_cast<size_t>(size), "can't listen on port %u: Address already in use", port);
    return 0;
  }
  lobby = {};
  lobby.role = NR_HOST;
  lobby.state = NS_LOBBY;
  lobby.me = 0;
  set_machine(0, false, local_players, player_name, 0);
  set_machine(1, true, 1, "KAARLO", 38);
  set_machine(2, std::getenv("VURK_STANDIN_ALL_READY") != nullptr, 1, "MIRA-THE-QUICK", 112);
  set_seats(0, local_players);
  common(level_to_use);
  started = false;
  return 1;
}

int net_join(const char* address, int local_players, char* message, int size) {
  if (std::strcmp(address, "NOWHERE") == 0) {
    std::snprintf(message, static_cast<size_t>(size), "can't find the host '%s'", address);
    return 0;
  }
  lobby = {};
  lobby.role = NR_CLIENT;
  lobby.state = NS_CONNECTING;
  lobby.me = 1;
  set_machine(0, true, 1, "ANNIKA", 0);
  set_machine(1, false, local_players, player_name, 41);
  set_machine(2, true, 1, "MIRA-THE-QUICK", 112);
  set_seats(1, local_players);
  common("/home/annika/.local/share/vurkhold/levels/deep-blue.vhl");
  lobby.level_bytes = 181234;
  serviced = 0;
  started = false;
  return 1;
}

void net_leave() {
  lobby = {};
  started = false;
}

const LOBBY& net_lobby() { return lobby; }

void net_service() {
  serviced++;
  if (lobby.state == NS_CONNECTING && serviced > 30) lobby.state = NS_LEVEL;
  if (lobby.state == NS_LEVEL) {
    lobby.level_received = static_cast<int32_t>((serviced - 30) * 1500);
    if (lobby.level_received >= lobby.level_bytes) lobby.state = NS_LOBBY;
  }
}

void net_set_ready(bool ready) {
  if (lobby.me >= 0) lobby.machine[lobby.me].ready = ready ? 1 : 0;
}

bool net_all_ready() {
  for (const LOBBY_MACHINE& m : lobby.machine)
    if (m.present && !m.ready) return false;
  return true;
}

int net_start(char* message, int size) {
  if (!net_all_ready()) {
    std::snprintf(message, static_cast<size_t>(size), "not everyone is ready");
    return 0;
  }
  lobby.state = NS_PLAYING;
  started = true;
  return 1;
}

bool net_match_started() { return started; }

}  // namespace vurkhold
