// online runs: the network started for a run that hosts or joins, the conditioner from the
// environment, the replays of online matches, and the headless host and client.
#include <GL/gl.h>

#include <initializer_list>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "menu/menu.h"
#include "net/net.h"
#include "render/render.h"
#include "shell/shell.h"

namespace vurkhold {

namespace {

// The replay keeps the seed the host's outcome prints.
void record_online(int views, unsigned seed) {
  const unsigned kept = run_seed;
  run_seed = seed;
  start_recording(NET_TICK, views);
  run_seed = kept;
}

constexpr int STATUS_LINES = 4;
constexpr float STATUS_SIZE = 14.0f;

// The views of this machine's players, then what the session has to say over them, in the
// middle of the screen.
void online_view() {
  (net_local_vurk(1) >= 0 ? two_player_view : one_player_view)();
  char lines[STATUS_LINES][NET_MESSAGE_SIZE];
  const int n = net_status_lines(lines, STATUS_LINES);
  if (!n) return;
  set_screen_projection();
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, font_texture);
  for (int i = 0; i < n; i++) {
    capitalize(lines[i]);
    const float width = static_cast<float>(std::strlen(lines[i])) * STATUS_SIZE * 0.8f;
    const float x = 320.0f - width / 2.0f, y = 300.0f - static_cast<float>(i) * 20.0f;
    // Over a dark edge, as the HUD's own lines, so a blast behind doesn't wash it out.
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    for (const float dx : {-1.0f, 1.0f})
      for (const float dy : {-1.0f, 1.0f}) glPrint(lines[i], x + dx, y + dy, STATUS_SIZE);
    glColor4f(1.0f, 0.85f, 0.2f, 1.0f);
    glPrint(lines[i], x, y, STATUS_SIZE);
  }
  glEnable(GL_DEPTH_TEST);
}

const MODE_PAIR online_pair = {net_match_frame, online_view};

void online_match_begin() { install_mode(&online_pair); }

// A window whose players play recorded commands (--play-input) runs as a headless peer does:
// ready at once, the host starting when enough machines are, the game ending with the
// match and its outcome.
bool scripted_host = false;
int scripted_min_players = 2;
int scripted_status = 0;

long frames_at_start = 0;

// Its frames counted too, for the frame rate of a match played with rollbacks.
void scripted_match_frame(unsigned ms) {
  net_match_frame(ms);
  if (!online_run_over()) return;
  const NET_COUNTS c = net_counts();
  std::fprintf(stderr, "window: frames %ld in %.2f s\n", frames_drawn - frames_at_start, c.match_ms / 1000.0);
  scripted_status = finish_online_run();
  done = 1;
}

const MODE_PAIR scripted_match_pair = {scripted_match_frame, online_view};

void scripted_lobby_frame(unsigned) {
  net_lobby_step(scripted_host, scripted_min_players);
  if (net_match_started()) install_mode(&scripted_match_pair), frames_at_start = frames_drawn;
  if (net_lobby().state == NS_ENDED) scripted_status = 1, done = 1;
}

const MODE_PAIR scripted_lobby_pair = {scripted_lobby_frame, menu_render};

}  // namespace

int online_window_status() { return scripted_status; }

int start_online_window(const OPTIONS* options) {
  network_match_begin = online_match_begin;
  if (!options->host && !options->join) return 1;
  if (!begin_online(options)) return 0;
  char message[NET_MESSAGE_SIZE];
  const int players = options->play_input ? play_input_players() : vurk[1].type == MLT_HUMAN ? 2 : 1;
  const uint16_t port = static_cast<uint16_t>(options->port_given ? options->port : DEFAULT_PORT);
  if (!(options->host ? net_host(port, players, message, sizeof message)
                      : net_join(options->join, players, message, sizeof message))) {
    report_error(message);
    return 0;
  }
  if (options->play_input) {
    scripted_host = options->host != 0;
    scripted_min_players = options->min_players ? options->min_players : 2;
    set_online_run(options->frames, options->hash_every, true);
    open_network_page();
    install_mode(&scripted_lobby_pair);
  } else {
    open_network_page();
  }
  return 1;
}

int begin_online(const OPTIONS* options) {
  char message[REPLAY_MESSAGE_SIZE];
  if (!net_open(message, sizeof message)) {
    std::fprintf(stderr, "vurkhold: %s\n", message);
    return 0;
  }
  online_recording = record_online;
  const char* netsim = std::getenv("VURKHOLD_NETSIM");
  if (netsim && !netsim_configure(netsim, message, sizeof message)) {
    std::fprintf(stderr, "vurkhold: %s\n", message);
    return 0;
  }
  if (options->play_input && !use_play_input(options->play_input, message, sizeof message)) {
    std::fprintf(stderr, "vurkhold: %s\n", message);
    return 0;
  }
  return 1;
}

int run_online_headless(const OPTIONS* options, unsigned seed) {
  platform::set_dialogs_enabled(false);
  no_sound = 1;
  if (!initialize()) {
    clean_up();
    return 1;
  }
  begin_settings(options);
  apply_match_options(options);
  if (!begin_online(options)) {
    clean_up();
    return 2;
  }
  NET_RUN run{};
  run.frames = options->frames;
  run.hash_every = options->hash_every;
  run.min_players = options->min_players ? options->min_players : 2;
  // A dedicated host plays on until it is stopped; a host with players of its own, once.
  run.matches = options->matches ? options->matches : options->host && !options->play_input ? 0 : 1;
  run.seed = seed;
  const uint16_t port = static_cast<uint16_t>(options->port_given ? options->port : DEFAULT_PORT);
  const int status = run_net_headless(options->host != 0, port, options->join, run);
  net_close();
  clean_up();
  return status;
}

}  // namespace vurkhold
