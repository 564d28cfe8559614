// net: online play. Up to four machines in one match, joined in a star through the host,
// each holding one or two of the vurks; the match runs on a fixed tick on every machine,
// remote commands are predicted and the world goes back and plays again when they differ.
// Sits between the match and the shell: it drives the match and knows nothing of drawing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "match/match.h"

namespace vurkhold {

inline constexpr uint16_t DEFAULT_PORT = 27950;
inline constexpr int MAX_MACHINES = 4;
inline constexpr int PLAYER_NAME_SIZE = 16;  // 15 characters and the zero
inline constexpr int NET_ADDRESS_SIZE = 64;
inline constexpr int NET_MESSAGE_SIZE = 160;
// Every online match steps this many ms a tick.
inline constexpr unsigned NET_TICK = 16;
// Steps played ahead of the last one whose commands all arrived.
inline constexpr int MAX_PREDICTION = 8;
inline constexpr int MIN_INPUT_DELAY = 1;
inline constexpr int MAX_INPUT_DELAY = 4;
// Ticks between the hashes of the confirmed world the machines compare.
inline constexpr long DESYNC_CHECK_TICKS = 60;
// Silence after which a peer is shown as interrupted, and after which it is dropped.
inline constexpr uint32_t INTERRUPTED_MS = 750;
inline constexpr uint32_t DROP_MS = 5000;
// No datagram of commands grows to this.
inline constexpr int MAX_COMMAND_PACKET = 512;

// ---- the lobby, as every machine sees it ----

enum NET_ROLE : uint8_t { NR_NONE = 0, NR_HOST = 1, NR_CLIENT = 2 };
enum NET_STATE : uint8_t {
  NS_OFF = 0,         // no session
  NS_CONNECTING = 1,  // a client waiting for the host's welcome
  NS_LOBBY = 2,       // seats shown, ready marks set
  NS_LEVEL = 3,       // a client receiving the host's level
  NS_PLAYING = 4,     // in a match
  NS_ENDED = 5,       // the session ended: `message` says why
};

struct LOBBY_MACHINE {
  uint8_t present;
  uint8_t ready;
  uint8_t players;  // local players it holds seats for: 1 or 2 (the dedicated host 0)
  char name[PLAYER_NAME_SIZE];
  int32_t ping_ms;  // the round trip to the host; 0 for the host itself
};

struct LOBBY {
  NET_ROLE role;
  NET_STATE state;
  int8_t me;  // this machine's number; the host is 0
  uint16_t port;  // the host's UDP port
  LOBBY_MACHINE machine[MAX_MACHINES];
  int8_t seat_machine[MAX_VURKS];  // the machine holding each vurk, -1 for a computer player
  uint8_t seat_player[MAX_VURKS];  // which of that machine's local players: 0 or 1
  char level[LEVEL_PATH_SIZE];     // the host's level, as it names it
  int32_t lives, frag_limit;
  int32_t input_delay;             // ticks, chosen from the round trips
  int32_t level_bytes, level_received;  // a level being sent to this client
  char message[NET_MESSAGE_SIZE];  // the last refusal, drop or end, empty for none
};

// ---- the session ----

// ENet started once a run (0 after its message); net_close ends any session first.
int net_open(char* message, int size);
void net_close();
// This machine's player name, shown to the others (the settings keep it; by default the
// login name).
extern char player_name[PLAYER_NAME_SIZE];
void default_player_name(char* out, int size);

// Hosting on `port` (0: any free port, for tests) with `local_players` (0 for a dedicated
// host, 1 or 2); joining "HOST[:PORT]". 0 with the reason in `message`.
int net_host(uint16_t port, int local_players, char* message, int size);
int net_join(const char* address, int local_players, char* message, int size);
// The port the host listens on.
uint16_t net_port();
// Ends the session, telling the others.
void net_leave();
const LOBBY& net_lobby();
// Network events handled, without waiting: call once a frame in the lobby.
void net_service();
// This machine's ready mark; a client's also sends its seats' set-up (team, item, weapons).
void net_set_ready(bool ready);
// The host: every machine present is ready (and there is at least one besides a dedicated
// host's own). net_start begins the match on every machine: 0 with the reason.
bool net_all_ready();
int net_start(char* message, int size);
// After the lobby: the match has begun on this machine (game_init run, its recording
// started); the shell installs the online pair.
bool net_match_started();

// ---- the match ----

// One frame of an online match, the logic function: devices read, packets handled, the
// world put back and played again where remote commands differed from their prediction,
// then as many ticks as the clock has given, at most MAX_PREDICTION ahead of the last
// confirmed one, slowed down smoothly when this machine runs ahead of the others.
void net_match_frame(unsigned ms);
// Starts the replay of an online match on this machine (the shell fills it in; null: none).
extern void (*online_recording)(int views, unsigned seed);
// The ticks every machine has agreed on, and the tick being shown.
long net_confirmed_tick();
long net_current_tick();
// What the screen says over the match ("waiting for NAME", "connection interrupted NAME",
// a peer dropped): up to `max` lines of NET_MESSAGE_SIZE; their count.
int net_status_lines(char (*lines)[NET_MESSAGE_SIZE], int max);
// This machine's local players' vurks (-1 for none), for the views.
int net_local_vurk(int player);

struct NET_COUNTS {
  long ticks;           // steps played forward
  long rollbacks;       // times the world went back
  long rollback_steps;  // steps played again
  long predicted;       // remote commands predicted
  long mispredicted;    // predictions that turned out wrong
  long stalls;          // frames that waited for a peer
  long packets_sent, packets_received;
  long bytes_sent, bytes_received;
  long dropped_peers;
  long refused_packets;  // packets that failed their checks
  long wire_sent, wire_received;  // every byte ENet put on the wire and took off it, this match
  long match_ms;                  // since the match began
};
NET_COUNTS net_counts();

// ---- headless peers ----

// Options of a headless online run.
struct NET_RUN {
  long frames;               // ticks to play, then the outcome; 0: until the match ends
  long hash_every;
  int min_players;           // a dedicated host starts once this many machines are ready
  long matches;              // a dedicated host's matches, 0: forever
  const char* play_input;    // "REPLAY:N": this machine's player plays human N's commands
  unsigned seed;
};
// Sets --play-input's replay up ("REPLAY:N" or "REPLAY:N,M" for two local players): 0
// with the reason.
int use_play_input(const char* spec, char* message, int size);
// The players --play-input plays, 0 without it.
int play_input_players();
// A headless host (`hosting`, on `port`) or client (of `address`): its matches played and
// each one's outcome printed; the exit status (0, 1 when no match could be played, 3 for a
// desync or a failed world check).
int run_net_headless(bool hosting, uint16_t port, const char* address, const NET_RUN& run);

// The steps of a headless run, which a window with --play-input takes too: the lobby's
// ready marks set and, on the host, the match started once `min_players` machines are
// ready; the tick a match ends at and the hashes printed on the way; the match over (it
// reached its end, desynced or lost its session); and its end: the peers given what they
// lack, the outcome and the counts printed; the exit status.
void net_lobby_step(bool hosting, int min_players);
void set_online_run(long end_tick, long hash_every, bool print);
bool online_run_over();
int finish_online_run();

// ---- the network conditioner ----

// Delays, jitters, drops, duplicates and reorders the datagrams this machine sends, from
// a spec such as "delay=50,jitter=20,loss=5,dup=1,reorder=2,seed=7" (ms and percents).
// An empty spec turns it off. 0 with the reason for a bad spec.
int netsim_configure(const char* spec, char* message, int size);
// Sends whatever held datagrams are due; net_service calls it.
void netsim_pump();
struct NETSIM_COUNTS {
  long sent;        // datagrams handed to the conditioner
  long delayed;     // held back before going out
  long dropped;
  long duplicated;
  long reordered;
};
NETSIM_COUNTS netsim_counts();

}  // namespace vurkhold
