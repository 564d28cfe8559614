// shell: the application (command line, frame timing, key state, scripted input, the
// game's content, the kept settings, start-up and shutdown, the window and the frame
// loop). The top layer: only the entry point, the tools and the tests include this.
#pragma once

#include "records/records.h"

namespace vurkhold {

// ---- content ----

// The content of the data folder, in its fixed order: sounds, textures, models (with the
// bullet and weapon model lists), bullet types, weapon types. 1 when all loaded; 0 after
// the failing loader's message. free_game_content releases whatever was loaded.
int load_game_content();
void free_game_content();
// The four fixed models, then the bullet and weapon model lists.
int load_models();
void free_models();

// ---- frame loop ----

// Frame timing of the main loop: from the clock reading `now` and the previous reading
// in *last, the milliseconds to hand to the logic (1..200), or 0 when no frame is due.
// Updates FPS, FPS_timer and FPS_counter.
unsigned give_frame_time(uint32_t now, uint32_t* last);

// Command line of the game.
struct OPTIONS {
  int help;
  int version;
  int fullscreen;  // -1 ask, 0 windowed, 1 full screen
  const char* data_dir;
  int seed_given;
  unsigned seed;
  int vsync;
  int no_sound;
  long frames;  // end after this many frames; 0 = run until quit
  const char* level;  // null: the default level
  int bots;
  int lives;       // 0: the default
  int frag_limit;  // 0: the default
  unsigned frame_ms;  // 0: the clock decides
  unsigned tick;      // ms a step, 0: one step a frame (a headless run takes it as frame_ms)
  int sync_test;      // steps a headless run goes back after each step, 0: none
  int headless;
  long hash_every;  // 0: no hashes
  const char* screenshot;  // PNG of the last frame drawn, written at the end
  const char* input;       // input script to play
  int reset_settings;      // remove the settings file and start from the defaults
  int no_record;           // keep no replay of the matches played
  const char* replay;      // replay file to play instead of the menu
  int host;                // host an online match
  unsigned port;           // the host's port (0 with --host alone: the default)
  int port_given;
  const char* join;        // HOST[:PORT] of an online match to join
  int min_players;         // a headless host starts once this many machines are ready
  long matches;            // a headless host's matches, 0: forever
  const char* play_input;  // REPLAY:N[,M]: this machine's players play recorded commands
};
// Returns 1 when the arguments are good; otherwise writes the reason into `error`.
int parse_options(int argc, char** argv, OPTIONS* options, char* error, int error_size);
extern const char* const usage_text;
// The level, lives, frag limit and computer players the command line asked for, over the
// settings' defaults (after initialize, before the first game_init).
void apply_match_options(const OPTIONS* options);

// Key-down and key-up events into keys[] and key_held[] (a new press into key_pressed);
// returns 1 when the event was a key event.
int handle_key_event(const platform::Event& event);
// Pads plugged and unplugged (to the players), and in the menu the d-pad as the arrow keys,
// A as Return and B as back; returns 1 when the event was a pad's.
int handle_pad_event(const platform::Event& event);

// ---- window and GL context (drawing library) ----

int CreateGLWindow(const char* title, int width, int height, int bits, int fullscreenflag, int vsync);
void KillGLWindow();
void ReSizeGLScene(int width, int height);
int initGL();
// The window procedure: one event from the platform.
void WndProc(const platform::Event& event);

// ---- start-up and shutdown ----

// Everything the game holds for the whole run, built once in its fixed order: the pools,
// the sound library, the content, the bound world and the vurks' defaults. 1 when all is
// ready; 0 after the failure's message, leaving what was built for clean_up, which
// releases any partly built state (while the GL context is still current).
int initialize();
void clean_up();
// Start the sound library on a silent driver (set before initialize).
extern int no_sound;
// Start-up points GL's vertex arrays at the terrain's vertex pool through this hook, which
// the window fills once its context exists; a run without a window leaves it null.
extern void (*point_vertex_arrays)();

// A match with no window, GL or sound device: initialize with a silent sound driver, the
// options, then the match's play_headless. Returns the exit status: 0, or 1 when the game
// could not start, 3 when the world check failed.
int run_headless(const OPTIONS* options, unsigned seed);

// Online runs (drawing library): the network, the conditioner and --play-input set up for a
// run that hosts or joins (0 after the message), and the headless host or client.
int begin_online(const OPTIONS* options);
int run_online_headless(const OPTIONS* options, unsigned seed);
// The window's online matches: the NETWORK page's start hook, and --host or --join opening
// the session and its lobby at start; 0 after the message.
int start_online_window(const OPTIONS* options);
// A --play-input window's exit status, as a headless peer's.
int online_window_status();

// A path that names an existing file from the working folder, made absolute into `out`;
// false (and out untouched) when there is no such file or the result does not fit.
bool absolute_path(const char* path, char* out, size_t size);

// Every frame advances the game by this many ms instead of the clock's (0: the clock).
extern unsigned fixed_frame_ms;

// ---- settings ----

// The menu's choices kept between runs (the options page, the level, the four vurks'
// set-up) in $XDG_CONFIG_HOME/vurkhold/settings.cfg, or ~/.config/vurkhold/settings.cfg
// when that is unset, empty or relative.
inline constexpr int SETTINGS_PATH_SIZE = 1024;
// The file this run keeps its settings in; empty for runs that must play the same from
// their command line alone (--headless, --input, --frames).
extern char settings_file[SETTINGS_PATH_SIZE];
// The settings file's path; false when neither variable names an absolute folder.
bool settings_path(char* out, size_t size);
// Reads the file over the settings in place (after the content loads: weapons go by
// name). 1 when it was read whole or is missing; 0 with one line in `message` (the file,
// the first bad line and what became of it). A bad line keeps its key as it was; an
// unreadable file, a wrong first line or a newer version keeps every key.
int read_settings(const char* path, char* message, int message_size);
// Writes the settings in place safely, making the folder; 0 with the reason in `message`.
int save_settings(const char* path, char* message, int message_size);
// After initialize, before the command line's overrides: the login name and today's keys
// and look, then --reset-settings removes the file, and a run that keeps settings reads
// them (each failure one line on stderr).
void begin_settings(const OPTIONS* options);
// Writes settings_file when the run keeps one, with any failure on stderr.
void keep_settings();
// The match start the menu calls: the choices are kept first, then game_init.
int start_match_keeping_settings();

// ---- scripted input ----

inline constexpr int MAX_SCRIPT_EVENTS = 4096;

enum SCRIPT_ACTION : int32_t { SA_PRESS = 0, SA_DOWN = 1, SA_UP = 2, SA_MOUSE = 3, SA_QUIT = 4 };

struct SCRIPT_EVENT {
  long frame;            // delivered before this frame; the first frame is 1
  SCRIPT_ACTION action;  // SA_ value
  int32_t code;          // a mouse button (VK_LBUTTON, VK_RBUTTON) or 0 for a key; mouse: dx
  int32_t dy;            // mouse: dy
  char key[32];          // the key's name
};

struct INPUT_SCRIPT {
  int count;
  SCRIPT_EVENT event[MAX_SCRIPT_EVENTS];
};

// Reads a script: one event a line, "FRAME press|down|up KEY", "FRAME mouse DX DY" or
// "FRAME quit"; '#' starts a comment. 0 with "FILE:LINE: reason" in `error` on the first
// bad line.
int read_input_script(const char* path, INPUT_SCRIPT* script, char* error, int error_size);
// Pushes the events due before `frame` into the platform's queue.
void play_input_script(const INPUT_SCRIPT* script, long frame);

// ---- the frame loop's run ----

// What the loop does around the installed pair: end after frame_limit frames (0: never),
// play input_script (null: none), save a screenshot of the last frame drawn into
// end_screenshot (empty: none), and one numbered screenshot into the player's folder for
// each F12.
extern long frame_limit;
extern long frames_drawn;
extern const INPUT_SCRIPT* input_script;
extern char end_screenshot[1024];
// The next free "screenshots/vurkhold-NNNN.png" in the player's own folder, saved from the
// frame just drawn; the file's path in `saved` (empty on failure, after the message).
void save_numbered_screenshot(char* saved, int size);

// One pass of the frame loop: one pending event handled, or else one frame run through
// the installed pair and drawn. 1 when a frame was drawn.
int main_loop_pass(uint32_t* last);
// The whole program: what main() runs.
int vurkhold_main(int argc, char** argv);

// ---- replays ----

// Every match is recorded into the player's replays folder unless --no-record cleared this.
extern int record_replays;
// The run's seed, kept in each replay for its outcome.
extern unsigned run_seed;
// The replays folder is kept under this many bytes, the oldest replays deleted first.
inline constexpr uintmax_t REPLAY_FOLDER_LIMIT = 256ull << 20;
// Deletes the oldest .vhr files of `folder` (by name: they begin with their date) until the
// rest take at most `limit` bytes.
void prune_replays(const char* folder, uintmax_t limit);
// Just before game_init: starts "<folder>/YYYYMMDD-HHMMSS-<level>.vhr" for the match about to be
// set up, after pruning the folder; failures are one line on stderr and the game plays on.
void start_recording(unsigned frame_ms, int views);
// Plays a replay in the window through the replay viewer's pair; `from_menu` returns to the
// menu at its end (else the game ends). 0 with the reason in `message`.
int start_replay_view(const char* path, bool from_menu, char* message, int size);
// What the menu's replay_init hook is filled with.
int menu_replay_init(const char* path, char* message, int message_size);

}  // namespace vurkhold
