// control: what moves the vurks: the two human players' keys, mouse and pads, and the
// computer players. Each vurk holds its controller as two function pointers set by the match.
#pragma once

#include "records/records.h"

namespace vurkhold {

// ---- human players ----

// Once per game frame before the vurks move: mouse look for vurk 0, keyboard look for
// vurk 1, the pads read and their look, then Escape (back to the menu's pair), the view
// keys F1-F8 and F9 (camera).
void game_input(unsigned frame_time);
// Fills match_input from the mouse and the players' pads as they are now, each axis
// rounded to one of quantize_axis's steps (over AXIS_STEPS).
void gather_match_input();
// The buttons of player `player`'s pad in the frame before, against which presses count;
// a match carries them over from the one before, so its replay sets them.
uint32_t give_held_pad_buttons(int player);
void set_held_pad_buttons(int player, uint32_t buttons);
inline constexpr float AXIS_STEPS = 32767.0f;
int16_t quantize_axis(float axis);
// Player 1 (vurk 0): cursor keys, mouse, numeric keypad. Player 2 (vurk 1): W A S D,
// U H J K, space, shift, E and 1-4.
void find_movement_vector1(VURK_* m, IJK* movement, unsigned frame_time);
void find_movement_vector2(VURK_* m, IJK* movement, unsigned frame_time);
void control1(VURK_* m, unsigned frame_time);
void control2(VURK_* m, unsigned frame_time);

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
