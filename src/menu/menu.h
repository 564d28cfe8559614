// menu: the text-line list that holds the help text or the level list, its loaders, the
// lines the player types into, and the menu's pages: their logic (no GL) and their drawing.
#pragma once

#include "control/control.h"
#include "net/net.h"
#include "records/records.h"

namespace vurkhold {

// ---- text lines ----

// One line of the list. The head, `textline`, is a static record that holds the first
// line; every further node and every text is a heap copy.
struct TEXTLINE {
  char* text;
  TEXTLINE* next;
};
using TEXTLINE_ = TEXTLINE;

inline constexpr int README_LINE_SIZE = 54;  // 53 characters a list line, and the zero
inline constexpr int MAX_LEVEL_NAMES = 64;

extern TEXTLINE textline;
extern int line_count;
// The level list's lines from this one on are the player's own levels.
extern int first_own_level;

// An empty list, without freeing anything.
void init_textlines();
// Appends a copy of text; 0 for a null text or when memory ran out (the list stays valid).
int add_textline(const char* text);
// Frees every text and every node but the head, then empties the list.
void free_textlines();
// Line num, 0-based; the last line when num is beyond the end; null for an empty list.
char* get_text_by_number(int num);
// Upper-cases a..z in place; every other byte stays.
void capitalize(char* text);
// "readme.txt" into the list, upper-cased, in lines of at most 53 characters (a longer line
// goes on in the next), each "{P.ACTION}" (player 1 or 2, an action's settings word) as the
// name of its key, the text after it kept in its column where the name leaves room. 0 after
// "Can't open readme.txt." when the file is missing. The caller frees the list before.
int load_readme();
// The first `max` level files by name, upper-cased, in the order their folders list them:
// the game's ("levels\*.vhl", any case), then the player's own ("<user data dir>levels/",
// where the level maker's and the hosts' levels go), at most MAX_LEVEL_NAMES of those; 0
// when there is none.
int load_level_list(int max);
// The file of the level list's line `num` as the level reader opens it: "LEVELS\NAME" for
// the game's, the whole path for the player's own; false when there is no such line or the
// path does not fit into `size`.
bool level_list_path(int num, char* out, int size);

// ---- typed lines ----

// The characters a host's address and a player's name are typed with (the font has them all).
inline constexpr char ADDRESS_CHARACTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.:-";
inline constexpr char NAME_CHARACTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.:-_ ";
// This frame's keys typed into `text`, which holds at most size - 1 characters: in the order
// of their key codes, Backspace takes the last character off, and every key that types one
// of `allowed` adds it while there is room. Every typing key is used up, a refused one too.
// True when the text changed.
bool type_into(char* text, int size, const char* allowed);

// ---- replays ----

inline constexpr int MAX_REPLAYS = 256;
inline constexpr int REPLAY_FOLDER_SIZE = static_cast<int>(platform::MAX_PATH_LENGTH) * 4;
inline constexpr int REPLAY_NOTE_SIZE = 256;

// A file name's 255 bytes and the zero.
struct REPLAY_NAME {
  char text[256];
};

// The folder of the saved replays ("<user data dir>replays/", "" when the player has no
// folder of their own), their file names newest first, and their count.
extern char replay_folder[REPLAY_FOLDER_SIZE];
extern REPLAY_NAME replay_names[MAX_REPLAYS];
extern int replay_count;
// Why the replay last picked did not start; the REPLAYS page shows it until the cursor moves.
extern char replay_message[REPLAY_NOTE_SIZE];

// Reads the "*.vhr" files of the replays folder, any case, newest first: with more than
// MAX_REPLAYS only the newest MAX_REPLAYS. Returns replay_count.
int load_replay_list();

// ---- pages ----

// Names of the set-up page, indexed by a vurk's type (MLT_) and item (MI_).
extern const char* const type_choises[4];
extern const char* const item_choises[2];

// The CONTROLS page's lines: player 1's actions, player 2's, then the look settings,
// DEFAULTS and BACK.
inline constexpr int CONTROLS_PLAYER_2_LINE = ACT_LOOK_UP;
inline constexpr int CONTROLS_LOOK_LINE = CONTROLS_PLAYER_2_LINE + PLAYER_ACTIONS;
enum CONTROLS_LOOK : uint8_t { CL_MOUSE_SENSITIVITY, CL_INVERT_MOUSE, CL_INVERT_PAD_1, CL_INVERT_PAD_2, CL_PAD_SPEED,
                               CONTROLS_LOOK_LINES };
inline constexpr int CONTROLS_DEFAULTS_LINE = CONTROLS_LOOK_LINE + CONTROLS_LOOK_LINES;
inline constexpr int CONTROLS_BACK_LINE = CONTROLS_DEFAULTS_LINE + 1;
// The player and action of a CONTROLS line; false for the lines after the actions.
bool controls_line_action(int line, int* player, int* action);
// While the page waits for the key to bind to its line; what the page last said, red when
// it refused a key.
extern int controls_waiting;
inline constexpr int CONTROLS_NOTE_SIZE = 64;
extern char controls_note[CONTROLS_NOTE_SIZE];
extern int controls_refused;

// The menu's logic function: the animation, then the current page's keys. Starting a
// match goes through match_init and one_player_pair or two_player_pair.
void menu_logic(unsigned frame_time);
// Escape, or a pad's B: back a page without choosing anything (the set-up, options, help,
// replays and NETWORK pages to the main page, the level list and CONTROLS to the options);
// nothing on the main page. While CONTROLS waits for a key, it only stops waiting.
void menu_back();
// The menu's render function: the whole 640 x 480 menu frame.
void menu_render();

// The NETWORK page runs the online session, which the simulation never links: the shell fills
// this in with network_page_logic. The page's keys each frame (Up and Down too) with `leave`
// false; true when the page stays. With `leave` true (Escape, a pad's B) it leaves the session.
// Null leaves the main page's NETWORK line doing nothing.
extern bool (*network_page)(bool leave);
// Called by the page once the host has started the match on this machine, before the menu
// goes back to its main page; the shell fills it in to install the online match's pair.
extern void (*network_match_begin)();
// The NETWORK page opened, as a run that hosts or joins from its command line starts.
void open_network_page();

// ---- the NETWORK page (drawing library: it calls the net library) ----

bool network_page_logic(bool leave);
// The page as net_lobby() has it: the host and join lines, or once in a session its lobby.
void network_page_render();
void draw_network_page(const LOBBY& lobby);

// ---- what the pages' drawing shares ----

void menu_print(const float* color, float x, float y, float size, const char* text);
// Formats into textbuffer, cut to fit, and prints it.
__attribute__((format(printf, 5, 6))) void menu_printf(const float* color, float x, float y, float size,
                                                       const char* format, ...);
// The red '>' left of the lines, 30 high, its top at y.
void menu_cursor(float y);
// The red '_' after `typed` characters of a line printed at x, y in `size`.
void typing_caret(float x, float y, float size, int typed);
// The font has capitals, digits and a few signs only: upper-cased, every byte it lacks as '?'.
void make_printable(char* text);
// A level's path as its line shows it, at most LEVEL_PATH_SHOWN characters: printable, and a
// longer one by its end (the file's own name) after "...", from a folder separator in reach.
inline constexpr int LEVEL_PATH_SHOWN = 30;
void level_label(const char* path, char* out, int size);

}  // namespace vurkhold
