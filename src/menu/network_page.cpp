// NETWORK page: hosting or joining an online session and its lobby (the seats and who holds
// them, the host's level and options, the ready marks), until the host starts the match.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "menu/menu.h"
#include "net/net.h"

namespace vurkhold {

namespace {

// Off a session the lines are HOST, JOIN, ADDRESS and BACK, in this order.
enum NET_LINE : uint8_t { NL_HOST, NL_JOIN, NL_ADDRESS, NL_BACK, NL_READY, NL_START, NL_LEAVE };
constexpr int MAX_NET_LINES = 4;

constexpr float TEXT_X = 190.0f;
// The seats' columns: number, holder (a name and its player number), round trip, ready mark.
constexpr float NAME_X = 214.0f;
constexpr float PING_X = 430.0f;
constexpr float READY_X = 514.0f;
// Messages go across the screen from the left in size 15: this many characters a line.
constexpr int MESSAGE_WIDTH = 52;
constexpr int MESSAGE_LINES = 3;

float white[3] = {1.0f, 1.0f, 1.0f};
// Greyed, yet readable over the background's dark rock.
float dim[3] = {0.7f, 0.7f, 0.7f};

// Kept between visits: the next session is most often with the same host.
char address[NET_ADDRESS_SIZE] = "";
// The page's own refusals and the net library's reasons for a failed host or join; what the
// session itself last said is LOBBY::message.
char page_message[NET_MESSAGE_SIZE] = "";
bool was_in_session = false;

bool take_key(int key) {
  if (!keys[key]) return false;
  keys[key] = 0;
  return true;
}

// A session that ended shows its reason on the host and join lines.
bool in_session(const LOBBY& lobby) { return lobby.state >= NS_CONNECTING && lobby.state <= NS_PLAYING; }

int page_lines(const LOBBY& lobby, NET_LINE* out) {
  int n = 0;
  if (!in_session(lobby)) {
    out[n++] = NL_HOST;
    out[n++] = NL_JOIN;
    out[n++] = NL_ADDRESS;
    out[n++] = NL_BACK;
    return n;
  }
  // Ready only once the host's level is here.
  if (lobby.state == NS_LOBBY) out[n++] = NL_READY;
  if (lobby.role == NR_HOST) out[n++] = NL_START;
  out[n++] = NL_LEAVE;
  return n;
}

int local_players() { return vurk[1].type == MLT_HUMAN ? 2 : 1; }

const LOBBY_MACHINE* my_machine(const LOBBY& lobby) {
  return lobby.me >= 0 && lobby.me < MAX_MACHINES ? &lobby.machine[lobby.me] : nullptr;
}

void forget_page() {
  page_message[0] = '\0';
  was_in_session = false;
  menu_selection = 0;
}

void act(const LOBBY& lobby, NET_LINE line) {
  page_message[0] = '\0';
  int ok = 1;
  switch (line) {
    case NL_HOST: ok = net_host(DEFAULT_PORT, local_players(), page_message, sizeof page_message); break;
    case NL_JOIN:
    case NL_ADDRESS:
      if (!address[0]) {
        std::snprintf(page_message, sizeof page_message, "TYPE THE HOST'S ADDRESS FIRST");
        menu_selection = NL_ADDRESS;
        return;
      }
      ok = net_join(address, local_players(), page_message, sizeof page_message);
      break;
    case NL_READY:
      if (const LOBBY_MACHINE* me = my_machine(lobby)) net_set_ready(!me->ready);
      break;
    case NL_START:
      if (!net_all_ready()) {
        std::snprintf(page_message, sizeof page_message, "NOT EVERY MACHINE IS READY YET");
        return;
      }
      ok = net_start(page_message, sizeof page_message);
      break;
    case NL_LEAVE:
      net_leave();
      menu_selection = 0;
      break;
    case NL_BACK: break;
  }
  if (ok) page_message[0] = '\0';
}

}  // namespace

bool network_page_logic(bool leave) {
  if (leave) {
    if (net_lobby().state != NS_OFF) net_leave();
    forget_page();
    return false;
  }
  if (net_lobby().state != NS_OFF) net_service();
  if (net_match_started()) {
    forget_page();
    if (network_match_begin) network_match_begin();
    return false;
  }
  const LOBBY& lobby = net_lobby();
  const bool session = in_session(lobby);
  if (session != was_in_session) {
    menu_selection = 0;
    was_in_session = session;
  }
  NET_LINE lines[MAX_NET_LINES];
  const int count = page_lines(lobby, lines);
  const int before = menu_selection;
  if (take_key(VK_DOWN)) menu_selection++;
  if (take_key(VK_UP)) menu_selection--;
  menu_selection = std::clamp(menu_selection, 0, count - 1);
  if (menu_selection != before) page_message[0] = '\0';
  const NET_LINE line = lines[menu_selection];
  if (line == NL_ADDRESS && type_into(address, sizeof address, ADDRESS_CHARACTERS)) page_message[0] = '\0';
  take_key(VK_LEFT);
  take_key(VK_RIGHT);
  if (!take_key(VK_RETURN)) return true;
  if (line == NL_BACK) {
    forget_page();
    return false;
  }
  act(lobby, line);
  return true;
}

// ---- drawing ----

namespace {

// The cursor's top beside a line of `size` whose top is at y.
void cursor_beside(float y, float size) { menu_cursor(y + (30.0f - size) / 2.0f); }

void print_printable(const float* color, float x, float y, float size, const char* text) {
  char shown[NET_MESSAGE_SIZE];
  std::snprintf(shown, sizeof shown, "%s", text);
  make_printable(shown);
  menu_print(color, x, y, size, shown);
}

// Cut at the last blank that fits, or in the middle of a word longer than a line, the last
// line's top at y_bottom; the lines it took.
int print_message(const char* text, float y_bottom) {
  char lines[MESSAGE_LINES][MESSAGE_WIDTH + 1];
  int count = 0;
  const char* rest = text;
  while (*rest && count < MESSAGE_LINES) {
    int take = static_cast<int>(std::strlen(rest));
    if (take > MESSAGE_WIDTH) {
      take = MESSAGE_WIDTH;
      for (int i = MESSAGE_WIDTH; i > 0; i--)
        if (rest[i] == ' ') {
          take = i;
          break;
        }
    }
    std::snprintf(lines[count], sizeof lines[0], "%.*s", take, rest);
    make_printable(lines[count++]);
    rest += take;
    while (*rest == ' ') rest++;
  }
  for (int i = 0; i < count; i++)
    menu_print(red, 10.0f, y_bottom + 17.0f * static_cast<float>(count - 1 - i), 15.0f, lines[i]);
  return count;
}

// Right-aligned in a column `width` characters wide from x.
void print_right(const float* color, float x, float y, int width, const char* text) {
  const int pad = std::max(0, width - static_cast<int>(std::strlen(text)));
  menu_print(color, x + 0.8f * 15.0f * static_cast<float>(pad), y, 15.0f, text);
}

void draw_choices(NET_LINE selected) {
  menu_print(white, TEXT_X, 340.0f, 20.0f, "HOST GAME");
  menu_print(white, TEXT_X, 310.0f, 20.0f, "JOIN GAME");
  menu_print(white, TEXT_X, 285.0f, 15.0f, "ADDRESS:");
  const float field_x = TEXT_X + 0.8f * 15.0f * 9.0f;
  if (address[0]) {
    print_printable(white, field_x, 285.0f, 15.0f, address);
  } else {
    menu_print(dim, field_x, 285.0f, 15.0f, "HOST[:PORT]");
  }
  if (selected == NL_ADDRESS) typing_caret(field_x, 285.0f, 15.0f, static_cast<int>(std::strlen(address)));
  char name[PLAYER_NAME_SIZE];
  std::snprintf(name, sizeof name, "%s", player_name);
  make_printable(name);
  menu_printf(white, TEXT_X, 245.0f, 15.0f, "NAME: %s", name);
  menu_printf(white, TEXT_X, 225.0f, 15.0f, "PLAYERS ON THIS MACHINE: %d", local_players());
  menu_print(yellow, TEXT_X, 170.0f, 30.0f, "BACK");
  const float line_y[] = {340.0f, 310.0f, 285.0f, 170.0f};
  const float line_size[] = {20.0f, 20.0f, 15.0f, 30.0f};
  cursor_beside(line_y[selected], line_size[selected]);
}

void draw_seat(const LOBBY& lobby, int seat, float y) {
  menu_printf(white, TEXT_X, y, 15.0f, "%d", seat + 1);
  const int m = lobby.seat_machine[seat];
  if (m < 0 || m >= MAX_MACHINES) {
    menu_print(dim, NAME_X, y, 15.0f, "COMPUTER");
    return;
  }
  const LOBBY_MACHINE& machine = lobby.machine[m];
  char name[PLAYER_NAME_SIZE + 4];
  const int length = static_cast<int>(strnlen(machine.name, PLAYER_NAME_SIZE - 1));
  if (machine.players > 1) {
    std::snprintf(name, sizeof name, "%.*s %d", length, machine.name, lobby.seat_player[seat] + 1);
  } else {
    std::snprintf(name, sizeof name, "%.*s", length, machine.name);
  }
  make_printable(name);
  menu_print(m == lobby.me ? yellow : white, NAME_X, y, 15.0f, name);
  if (!machine.present) {
    print_right(dim, PING_X, y, 6, "GONE");
    return;
  }
  char ping[16] = "HOST";
  if (m != 0 && machine.ping_ms < 0) std::snprintf(ping, sizeof ping, "?");
  if (m != 0 && machine.ping_ms >= 0) std::snprintf(ping, sizeof ping, "%d MS", std::min(machine.ping_ms, 999));
  print_right(white, PING_X, y, 6, ping);
  menu_print(machine.ready ? green : dim, READY_X, y, 15.0f, machine.ready ? "READY" : "NOT READY");
}

void draw_lobby(const LOBBY& lobby, const NET_LINE* lines, int count, int selected) {
  // Until the host's welcome only the address typed is known of it.
  char host[NET_ADDRESS_SIZE];
  if (lobby.state == NS_CONNECTING) {
    std::snprintf(host, sizeof host, "%s", address);
  } else {
    std::snprintf(host, sizeof host, "%.*s", PLAYER_NAME_SIZE - 1, lobby.machine[0].name);
  }
  make_printable(host);
  if (lobby.role == NR_HOST) {
    menu_printf(white, TEXT_X, 350.0f, 15.0f, "HOSTING ON PORT %u", static_cast<unsigned>(lobby.port));
  } else if (lobby.state == NS_CONNECTING) {
    menu_printf(white, TEXT_X, 350.0f, 15.0f, "JOINING %s ...", host);
  } else {
    menu_printf(white, TEXT_X, 350.0f, 15.0f, "JOINED %s'S GAME", host);
  }
  if (lobby.state != NS_CONNECTING) {
    for (int seat = 0; seat < MAX_VURKS; seat++) draw_seat(lobby, seat, 325.0f - 20.0f * static_cast<float>(seat));
    char level[LEVEL_PATH_SHOWN + 1];
    char host_level[LEVEL_PATH_SIZE];
    std::snprintf(host_level, sizeof host_level, "%.*s", LEVEL_PATH_SIZE - 1, lobby.level);
    level_label(host_level, level, sizeof level);
    menu_printf(white, TEXT_X, 240.0f, 15.0f, "LEVEL: %s", level);
    menu_printf(white, TEXT_X, 220.0f, 15.0f, "LIVES: %d  FRAG LIMIT: %d", lobby.lives, lobby.frag_limit);
    menu_printf(white, TEXT_X, 200.0f, 15.0f, "INPUT DELAY: %d %s", lobby.input_delay,
                lobby.input_delay == 1 ? "TICK" : "TICKS");
  }
  if (lobby.state == NS_LEVEL) {
    const long bytes = std::max(lobby.level_bytes, 1);
    const long received = std::clamp(static_cast<long>(lobby.level_received), 0L, bytes);
    menu_printf(yellow, TEXT_X, 180.0f, 15.0f, "RECEIVING THE LEVEL: %ld%% OF %ld KB", received * 100 / bytes,
                (bytes + 1023) / 1024);
  }
  const LOBBY_MACHINE* me = my_machine(lobby);
  for (int i = 0; i < count; i++) {
    const float y = 150.0f - 22.0f * static_cast<float>(i);
    switch (lines[i]) {
      case NL_READY: menu_print(white, TEXT_X, y, 20.0f, me && me->ready ? "READY: YES" : "READY: NO"); break;
      case NL_START: menu_print(white, TEXT_X, y, 20.0f, "START"); break;
      case NL_LEAVE: menu_print(white, TEXT_X, y, 20.0f, "LEAVE"); break;
      default: break;
    }
  }
  cursor_beside(150.0f - 22.0f * static_cast<float>(selected), 20.0f);
}

}  // namespace

void draw_network_page(const LOBBY& lobby) {
  NET_LINE lines[MAX_NET_LINES];
  const int count = page_lines(lobby, lines);
  const int selected = std::clamp(menu_selection, 0, count - 1);
  if (in_session(lobby)) {
    draw_lobby(lobby, lines, count, selected);
  } else {
    draw_choices(lines[selected]);
  }
  // The page's own word above the session's.
  char message[NET_MESSAGE_SIZE];
  std::snprintf(message, sizeof message, "%.*s", NET_MESSAGE_SIZE - 1, lobby.message);
  const int used = print_message(message, 30.0f);
  print_message(page_message, 30.0f + 17.0f * static_cast<float>(used));
}

void network_page_render() { draw_network_page(net_lobby()); }

}  // namespace vurkhold
