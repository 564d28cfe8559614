// online runs: the network started for a run that hosts or joins, the conditioner from the
// environment, the replays of online matches, and the headless host and client.
#include <cstdio>
#include <cstdlib>

#include "net/net.h"
#include "shell/shell.h"

namespace vurkhold {

namespace {

void record_online(int views) { start_recording(NET_TICK, views); }

}  // namespace

int begin_online(const OPTIONS* options) {
  char message[REPLAY_MESSAGE_SIZE];
  if (!net_open(message, sizeof message)) {
    std::fprintf(stderr, "vurkhold: %s\n", message);
    return 0;
  }
  online_recording = record_online;
  default_player_name(player_name, PLAYER_NAME_SIZE);
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
  run.matches = options->matches;
  run.seed = seed;
  const uint16_t port = static_cast<uint16_t>(options->port_given ? options->port : DEFAULT_PORT);
  const int status = run_net_headless(options->host != 0, port, options->join, run);
  net_close();
  clean_up();
  return status;
}

}  // namespace vurkhold
