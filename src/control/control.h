// control: what moves the vurks: the two human players' keys and mouse, and the computer
// players. Each vurk holds its controller as two function pointers set by the match.
#pragma once

#include "records/records.h"

namespace vurkhold {

// ---- human players ----

// Once per game frame before the vurks move: mouse look for vurk 0, keyboard look for
// vurk 1, then Escape (back to the menu's pair), the view keys F1-F8 and F9 (camera).
void game_input(unsigned frame_time);
// Player 1 (vurk 0): cursor keys, mouse, numeric keypad. Player 2 (vurk 1): W A S D,
// U H J K, space, shift, E and 1-4.
void find_movement_vector1(VURK_* m, IJK* movement, unsigned frame_time);
void find_movement_vector2(VURK_* m, IJK* movement, unsigned frame_time);
void control1(VURK_* m, unsigned frame_time);
void control2(VURK_* m, unsigned frame_time);

// ---- computer players ----

// The nearest living enemy within 100 units, or null; ties go to the lower index.
void ai_find_target(VURK_* m);
// Turns toward the target, flies, digs when stuck, picks a weapon and fires.
void AI(VURK_* m, unsigned frame_time);
// Walks toward the target, or strafes while firing at close range.
void ai_find_movement_vector(VURK_* m, IJK* movement, unsigned frame_time);

}  // namespace vurkhold
