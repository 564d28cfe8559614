// human controls: the game's own keys, mouse look, the pads, and the two players' walking
// and actions. Keys are read as held states from keys[]; only F9 is cleared here, so one
// press toggles once. A pad's actions add to its player's keys.
#include <algorithm>
#include <cmath>

#include "control/control.h"
#include "geometry/geometry.h"
#include "world/world.h"

namespace vurkhold {

namespace {

constexpr float WALK_SPEED = 0.002f;   // units per ms
constexpr float TURN_SPEED = 0.175f;   // degrees per ms, player 2's keyboard look
constexpr double MOUSE_DEGREES = 10.0; // pixels per degree
constexpr float PITCH_LIMIT = 90.0f;
constexpr float ROPE_SPEED = 0.025f;
// Degrees per ms at full deflection of the right stick: a little quicker than player 2's
// keys, since a stick is rarely held at its end.
constexpr float PAD_LOOK_SPEED = 0.2f;
constexpr float TRIGGER_PRESSED = 0.5f;  // of the travel

// The pad's buttons. Y is the item: both halves of the keys' jump + fire at once. Digging is
// on X, not A: A starts the match from the menu and would dig at once while still held.
constexpr uint32_t bit(platform::PadButton b) { return 1u << b; }
constexpr uint32_t PAD_ITEM = bit(platform::PAD_Y), PAD_DIG = bit(platform::PAD_X);
constexpr uint32_t PAD_PREVIOUS = bit(platform::PAD_LEFT_SHOULDER), PAD_NEXT = bit(platform::PAD_RIGHT_SHOULDER);
constexpr uint32_t PAD_BACK = bit(platform::PAD_START);
// B goes back once a team has won, as from the menu's pages; before, a stray B would end a match.
constexpr uint32_t PAD_LEAVE_WON = bit(platform::PAD_B);

platform::Pad last_read[HUMAN_PLAYERS];  // each player's pad in the frame before
PAD_ACTIONS pad_actions[HUMAN_PLAYERS];

// Human player n's vurk, counted from 0, or null.
VURK_* human_player(int n) {
  for (VURK_& v : vurk)
    if (v.type == MLT_HUMAN && n-- == 0) return &v;
  return nullptr;
}

// This frame's pad actions of the player whose vurk m is; null for a vurk no player holds.
const PAD_ACTIONS* pad_of(const VURK_* m) {
  if (m < vurk || m >= vurk + MAX_VURKS || m->type != MLT_HUMAN) return nullptr;
  int n = 0;
  for (const VURK_* v = vurk; v < m; v++) n += v->type == MLT_HUMAN;
  return n < HUMAN_PLAYERS ? &pad_actions[n] : nullptr;
}

struct PLAYER_KEYS {
  int forward, backward, left, right;
  int fire, jump, dig;
  int slot[WEAPON_SLOTS];
};

constexpr PLAYER_KEYS player1 = {VK_UP,      VK_DOWN,   VK_LEFT,
                                 VK_RIGHT,   VK_LBUTTON, VK_RBUTTON,
                                 VK_NUMPAD0, {VK_NUMPAD0 + 1, VK_NUMPAD0 + 2, VK_NUMPAD0 + 3, VK_NUMPAD0 + 4}};
constexpr PLAYER_KEYS player2 = {'W', 'S', 'A', 'D', VK_SPACE, VK_SHIFT, 'E', {'1', '2', '3', '4'}};
// Player 2 has no mouse: these keys look and turn.
constexpr int P2_LOOK_UP = 'U', P2_LOOK_DOWN = 'J', P2_TURN_LEFT = 'H', P2_TURN_RIGHT = 'K';

// Forward and backward cancel; a diagonal walks faster by the square root of two.
void walk(const PLAYER_KEYS& k, VURK_* m, IJK* movement, unsigned frame_time) {
  const float s = WALK_SPEED * static_cast<float>(frame_time);
  const float a = rad(m->angle);
  const float sa = std::sin(a);
  const float ca = std::cos(a);
  if (keys[k.forward]) {
    movement->i -= s * sa;
    movement->k -= s * ca;
    m->animation = 1;
  }
  if (keys[k.backward]) {
    movement->i += s * sa;
    movement->k += s * ca;
    m->animation = 1;
  }
  if (keys[k.left]) {
    movement->i -= s * ca;
    movement->k += s * sa;
    m->animation = 1;
  }
  if (keys[k.right]) {
    movement->i += s * ca;
    movement->k -= s * sa;
    m->animation = 1;
  }
  const PAD_ACTIONS* pad = pad_of(m);
  if (pad && (pad->forward != 0.0f || pad->right != 0.0f)) {
    movement->i += s * (pad->right * ca - pad->forward * sa);
    movement->k -= s * (pad->forward * ca + pad->right * sa);
    m->animation = 1;
  }
}

// The jump key turns fire into the item: the rope or the jetpack. The weapon never fires
// while jump is held.
void act(const PLAYER_KEYS& k, VURK_* m, unsigned frame_time) {
  if (!m->alive) return;
  static constexpr PAD_ACTIONS no_pad = {};
  const PAD_ACTIONS& pad = pad_of(m) ? *pad_of(m) : no_pad;
  const bool fire = keys[k.fire] || pad.fire;
  m->jump = 0;
  if (keys[k.jump] || pad.jump) {
    m->jump = 1;
    if (m->item == MI_NINJAROPE) {
      if (m->rope_state == NRS_IN && fire) {
        m->rope_p = m->p;
        m->rope_m = give_vurk_weapon_direction(m, ROPE_SPEED);
        m->rope_state = NRS_FLYING;
      } else if (m->rope_state == NRS_ATTACHED) {
        m->rope_state = NRS_IN;
      }
    } else if (m->item == MI_JETPACK && fire) {
      use_jetpack(m, frame_time);
    }
  } else if (fire) {
    fire_weapon(m);
  }
  if (keys[k.dig] || pad.dig) dig(m);
  if (pad.weapon_step) m->weapon = static_cast<uint8_t>((m->weapon + WEAPON_SLOTS + pad.weapon_step) % WEAPON_SLOTS);
  for (int w = 0; w < WEAPON_SLOTS; w++)
    if (keys[k.slot[w]]) m->weapon = static_cast<uint8_t>(w);
}

float clamp_pitch(float pitch) { return std::clamp(pitch, -PITCH_LIMIT, PITCH_LIMIT); }

// Each player's pad as it is this frame (a zero record for none), its look applied at once
// as the mouse's is.
void read_pads(unsigned frame_time) {
  for (int p = 0; p < HUMAN_PLAYERS; p++) {
    const platform::Pad& pad = match_input.pad[p];
    pad_actions[p] = give_pad_actions(pad, last_read[p].buttons, frame_time);
    last_read[p] = pad;
    VURK_* v = human_player(p);
    if (v) {
      v->angle += pad_actions[p].turn;
      v->angle2 = clamp_pitch(v->angle2 + pad_actions[p].look);
    }
    if (pad_actions[p].back || (winner >= 0 && (pad.buttons & PAD_LEAVE_WON))) install_mode(&menu_pair);
  }
}

}  // namespace

uint32_t give_held_pad_buttons(int player) { return last_read[player].buttons; }
void set_held_pad_buttons(int player, uint32_t buttons) { last_read[player].buttons = buttons; }

void pad_plugged(int32_t instance) {
  for (int32_t& pad : player_pad)
    if (pad == instance) return;
  for (int32_t& pad : player_pad)
    if (pad < 0) {
      pad = instance;
      return;
    }
}

void pad_unplugged(int32_t instance) {
  for (int32_t& pad : player_pad)
    if (pad == instance) pad = -1;
}

void apply_dead_zone(float* x, float* y) {
  const float length = std::sqrt(*x * *x + *y * *y);
  if (length <= PAD_DEAD_ZONE) {
    *x = *y = 0.0f;
    return;
  }
  const float scale = std::min((length - PAD_DEAD_ZONE) / (1.0f - PAD_DEAD_ZONE), 1.0f) / length;
  *x *= scale;
  *y *= scale;
}

PAD_ACTIONS give_pad_actions(const platform::Pad& pad, uint32_t before, unsigned frame_time) {
  using namespace platform;
  float walk_x = pad.axis[PAD_LEFT_X], walk_y = pad.axis[PAD_LEFT_Y];
  float look_x = pad.axis[PAD_RIGHT_X], look_y = pad.axis[PAD_RIGHT_Y];
  apply_dead_zone(&walk_x, &walk_y);
  apply_dead_zone(&look_x, &look_y);
  const float rate = PAD_LOOK_SPEED * static_cast<float>(frame_time);
  const uint32_t pressed = pad.buttons & ~before;
  PAD_ACTIONS a;
  a.forward = -walk_y;
  a.right = walk_x;
  a.turn = -look_x * rate;
  a.look = -look_y * rate;
  a.fire = pad.axis[PAD_RIGHT_TRIGGER] > TRIGGER_PRESSED || (pad.buttons & PAD_ITEM);
  a.jump = pad.axis[PAD_LEFT_TRIGGER] > TRIGGER_PRESSED || (pad.buttons & PAD_ITEM);
  a.dig = (pad.buttons & PAD_DIG) != 0;
  a.weapon_step = ((pressed & PAD_NEXT) != 0) - ((pressed & PAD_PREVIOUS) != 0);
  a.back = (pad.buttons & PAD_BACK) != 0;
  return a;
}

// Axes to the 16-bit steps the pads themselves deliver, so that a replay, which keeps
// them in that form, feeds the match exactly what it played with.
void gather_match_input() {
  platform::mouse_offset(&match_input.mouse_dx, &match_input.mouse_dy);
  for (int p = 0; p < HUMAN_PLAYERS; p++) {
    platform::Pad& pad = match_input.pad[p];
    platform::read_pad(player_pad[p], &pad);
    for (float& a : pad.axis) a = static_cast<float>(quantize_axis(a)) / AXIS_STEPS;
  }
}

int16_t quantize_axis(float axis) { return static_cast<int16_t>(std::lround(std::clamp(axis, -1.0f, 1.0f) * AXIS_STEPS)); }

void game_input(unsigned frame_time) {
  mpos = {centerX + match_input.mouse_dx, centerY + match_input.mouse_dy};

  VURK_* one = &vurk[0];
  one->angle2 = static_cast<float>(one->angle2 + (centerY - mpos.y) / MOUSE_DEGREES);
  one->angle = static_cast<float>(one->angle + (centerX - mpos.x) / MOUSE_DEGREES);
  one->angle2 = clamp_pitch(one->angle2);

  VURK_* two = &vurk[1];
  const float turn = TURN_SPEED * static_cast<float>(frame_time);
  if (keys[P2_LOOK_UP]) two->angle2 += turn;
  if (keys[P2_LOOK_DOWN]) two->angle2 -= turn;
  two->angle2 = clamp_pitch(two->angle2);
  if (keys[P2_TURN_LEFT]) two->angle += turn;
  if (keys[P2_TURN_RIGHT]) two->angle -= turn;
  read_pads(frame_time);

  if (keys[VK_ESCAPE]) install_mode(&menu_pair);
  for (int i = 0; i < MAX_VURKS; i++)
    if (keys[VK_F1 + i] && vurk[i].type != MLT_OFF) vurk_to_render_1 = &vurk[i];
  for (int i = 0; i < MAX_VURKS; i++)
    if (keys[VK_F1 + 4 + i] && vurk[i].type != MLT_OFF) vurk_to_render_2 = &vurk[i];
  if (keys[VK_F1 + 8]) {
    camera_mode = camera_mode == CM_FIRST_PERSON ? CM_THIRD_PERSON : CM_FIRST_PERSON;
    keys[VK_F1 + 8] = 0;
  }
}

void find_movement_vector1(VURK_* m, IJK* movement, unsigned frame_time) { walk(player1, m, movement, frame_time); }
void find_movement_vector2(VURK_* m, IJK* movement, unsigned frame_time) { walk(player2, m, movement, frame_time); }
void control1(VURK_* m, unsigned frame_time) { act(player1, m, frame_time); }
void control2(VURK_* m, unsigned frame_time) { act(player2, m, frame_time); }

}  // namespace vurkhold
