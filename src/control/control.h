// control: what moves the vurks: this computer's keys, mouse and pads turned into commands,
// the human vurks' controllers that follow them, and the computer players. Each vurk holds
// its controller as two function pointers set by the match.
#pragma once

#include "records/records.h"

namespace vurkhold {

// ---- human players ----

// The seam between this computer's devices and the match. Once a frame the input side
// reads the mouse and pads into match_input (gather_match_input) and acts on the game's own
// keys (game_keys); before each step it turns them, with keys[], into that step's commands
// (make_commands). The match then reads only the commands: game_input turns each vurk by
// its command, and a human vurk's controllers walk and act on it.
//
// Fills match_input: the mouse's motion added to what no step has taken yet, and the
// players' pads as they are now, each axis rounded to one of quantize_axis's steps.
void gather_match_input();
// Escape, or a pad's Start (or B once a team has won), back to the menu's pair; F1-F4 and
// F5-F8 the vurks the two views follow; F9 the camera.
void game_keys();
// Player 1's keys and the mouse (taken from match_input) go to vurk 0's command, player 2's
// keys to vurk 1's, each player's pad to its vurk's (human player N is the Nth vurk of type
// MLT_HUMAN); the other commands are empty. A bumper's press counts against the pad's
// buttons at the step before. The keys are the players' bindings read from key_held[], and
// the look settings scale and turn the mouse and the pads' look here, never in the match.
void make_commands(VURK_COMMAND* commands);
// make_commands for a replay that recorded the devices: the keys the game had before keys
// could be bound, read from keys[], and the default look, whatever this player has set.
void make_recorded_commands(VURK_COMMAND* commands);
// This computer's two players' commands, whichever vurks they play (online, the seats the
// host gave them): player 1's keys, the mouse and the first pad, player 2's keys and the second.
void make_player_commands(VURK_COMMAND* player);
// Before the vurks act: every vurk turned by its command, the mouse first, then the look
// keys, then a pad's right stick.
void game_input(unsigned frame_time);
// The buttons of player `player`'s pad at the step before, against which presses count;
// a match carries them over from the one before, so its replay sets them.
uint32_t give_held_pad_buttons(int player);
void set_held_pad_buttons(int player, uint32_t buttons);
inline constexpr float AXIS_STEPS = 32767.0f;
inline constexpr int16_t AXIS_LIMIT = 32767;
int16_t quantize_axis(float axis);
// A human vurk's controllers, for any vurk: its command's walking, and its actions.
void human_movement_vector(VURK_* m, IJK* movement, unsigned frame_time);
void human_control(VURK_* m, unsigned frame_time);

// A command in as few bytes as it needs (one for an empty command), for replays and the
// network: encode_command returns the bytes written (at most COMMAND_BYTES); decode_command
// the bytes read, or 0 when `in` holds no command make_commands could have made;
// command_size the whole size of an encoding from its first byte, 0 for none.
inline constexpr int COMMAND_BYTES = 1 + 2 + 1 + 8 + 4 + 4;
int encode_command(const VURK_COMMAND& c, uint8_t* out);
int decode_command(const uint8_t* in, int size, VURK_COMMAND* c);
int command_size(uint8_t first);

// ---- bindings and look settings ----

// What a player's keys do. Player 1 looks with the mouse and has no look keys.
enum PLAYER_ACTION : uint8_t {
  ACT_FORWARD, ACT_BACKWARD, ACT_LEFT, ACT_RIGHT, ACT_FIRE, ACT_JUMP, ACT_DIG,
  ACT_SLOT_1, ACT_SLOT_2, ACT_SLOT_3, ACT_SLOT_4,
  ACT_LOOK_UP, ACT_LOOK_DOWN, ACT_TURN_LEFT, ACT_TURN_RIGHT, PLAYER_ACTIONS
};
constexpr int player_actions(int player) { return player == 0 ? ACT_LOOK_UP : PLAYER_ACTIONS; }
// As the menu and the help show them, and the settings file's words for them.
extern const char* const action_names[PLAYER_ACTIONS];
extern const char* const action_words[PLAYER_ACTIONS];

// Each action's key by its place (SC_..., BIND_MOUSE_...), 0 for none.
struct PLAYER_BINDINGS {
  int16_t key[PLAYER_ACTIONS];
};
extern PLAYER_BINDINGS bindings[HUMAN_PLAYERS];

inline constexpr int32_t MIN_MOUSE_SENSITIVITY = 10, MAX_MOUSE_SENSITIVITY = 400;  // percent
// Above 100 % a stick reaches its full speed before the end of its travel; it turns no faster.
inline constexpr int32_t MIN_PAD_LOOK_SPEED = 50, MAX_PAD_LOOK_SPEED = 200;  // percent
struct LOOK_SETTINGS {
  int32_t mouse_sensitivity;  // percent of the mouse's pixels a step turns by
  int32_t invert_mouse;       // moving the mouse forward looks down
  int32_t invert_pad[HUMAN_PLAYERS];
  int32_t pad_look_speed;     // percent
};
inline constexpr LOOK_SETTINGS DEFAULT_LOOK = {100, 0, {0, 0}, 100};
extern LOOK_SETTINGS look_settings;

// Today's keys and look back: player 1 the cursor keys, the mouse's buttons and the keypad,
// player 2 W A S D with Space, Left Shift, E, 1-4 and U J H K.
void default_controls();
// Only the keys.
void default_keys();
// The keys the game itself reads in a match (Escape, F1-F12, Tab), which no player can hold.
bool is_game_key(int key);
// The player and action holding `key`; false when no player holds it.
bool key_holder(int key, int* player, int* action);
// The outcome of binding a key: bound, swapped with the same player's action that had it,
// or refused as the other player's or as a game key (nothing changes then).
enum BIND_RESULT : uint8_t { BIND_DONE, BIND_SWAPPED, BIND_OTHER_PLAYER, BIND_GAME_KEY, BIND_NO_KEY };
BIND_RESULT bind_key(int player, int action, int key);
// A key's name as the menu's font shows it (upper case, '?' for what it lacks), cut to
// KEY_LABEL_SIZE - 1 characters; "NONE" for 0.
inline constexpr int KEY_LABEL_SIZE = 17;
void key_label(int key, char* out, int size);

// ---- game pads ----

// Pads belong to human players (player_pad), not to vurks: human player N is the Nth
// vurk of type MLT_HUMAN. Player 1 keeps the mouse and keys besides the pad; player 2 its keys.
// A pad plugged in goes to the first player without one (none left: it waits unused); one
// unplugged leaves its player without until another is plugged in. No other player's pad
// changes hands.
void pad_plugged(int32_t instance);
void pad_unplugged(int32_t instance);

// A stick inside the radial dead zone reads exactly zero; beyond it the rest of the travel
// is spread over 0..1, so the response starts from nothing, and a corner reads 1, not 1.4.
inline constexpr float PAD_DEAD_ZONE = 0.25f;
void apply_dead_zone(float* x, float* y);

// What a pad asks of its player in a frame of frame_time ms, the same actions its keys give.
struct PAD_ACTIONS {
  float forward, right;  // walking, -1..1 each after the dead zone
  float turn, look;      // degrees: turning left and looking up are positive
  int fire, jump, dig;
  int weapon_step;       // -1 previous slot, +1 next, on the press of a bumper
  int back;              // back to the menu
};
// `before` holds the buttons of the frame before, so a held bumper steps only once.
PAD_ACTIONS give_pad_actions(const platform::Pad& pad, uint32_t before, unsigned frame_time);

// ---- computer players ----

// The nearest living enemy within 100 units, or null; ties go to the lower index.
void ai_find_target(VURK_* m);
// Turns toward the target, flies, digs when stuck, picks a weapon and fires.
void AI(VURK_* m, unsigned frame_time);
// Walks toward the target, or strafes while firing at close range.
void ai_find_movement_vector(VURK_* m, IJK* movement, unsigned frame_time);

}  // namespace vurkhold
