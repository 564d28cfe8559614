// human controls: this computer's keys, mouse and pads turned into the commands of its
// players' vurks through their bindings and look settings, the game's own keys, and what a
// human vurk does with its command: look, walk and act. Players' keys are read as held
// states by place from key_held[], the game's keys from keys[]; only F9 is cleared here, so
// one press toggles once. A pad's actions add to its player's keys.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

platform::Pad last_read[HUMAN_PLAYERS];  // each player's pad at the step before

// Human player n's vurk, counted from 0, or null.
VURK_* human_player(int n) {
  for (VURK_& v : vurk)
    if (v.type == MLT_HUMAN && n-- == 0) return &v;
  return nullptr;
}

// The keys before they could be bound, by key code: a replay that recorded the devices
// plays with these.
constexpr int RECORDED_KEYS[HUMAN_PLAYERS][PLAYER_ACTIONS] = {
    {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_LBUTTON, VK_RBUTTON, VK_NUMPAD0, VK_NUMPAD0 + 1, VK_NUMPAD0 + 2,
     VK_NUMPAD0 + 3, VK_NUMPAD0 + 4, 0, 0, 0, 0},
    {'W', 'S', 'A', 'D', VK_SPACE, VK_SHIFT, 'E', '1', '2', '3', '4', 'U', 'J', 'H', 'K'}};

// The same keys by place. Either Shift was player 2's jump; a place is one key, the left.
constexpr PLAYER_BINDINGS DEFAULT_BINDINGS[HUMAN_PLAYERS] = {
    {{SC_UP, SC_DOWN, SC_LEFT, SC_RIGHT, BIND_MOUSE_LEFT, BIND_MOUSE_RIGHT, SC_KP_0, SC_KP_1, SC_KP_1 + 1, SC_KP_1 + 2,
      SC_KP_1 + 3, 0, 0, 0, 0}},
    {{sc_letter('W'), sc_letter('S'), sc_letter('A'), sc_letter('D'), SC_SPACE, SC_LSHIFT, sc_letter('E'), SC_1,
      SC_1 + 1, SC_1 + 2, SC_1 + 3, sc_letter('U'), sc_letter('J'), sc_letter('H'), sc_letter('K')}}};

constexpr uint16_t ACTION_BITS[PLAYER_ACTIONS] = {VC_FORWARD, VC_BACKWARD, VC_LEFT,   VC_RIGHT,     VC_FIRE,
                                                  VC_JUMP,    VC_DIG,      0,         0,            0,
                                                  0,          VC_LOOK_UP,  VC_LOOK_DOWN, VC_TURN_LEFT, VC_TURN_RIGHT};

// Hundredths of a pixel the mouse's scaled motion left over, carried to the next step.
struct MOUSE_CARRY {
  int64_t x, y;
};
MOUSE_CARRY live_carry, recorded_carry;

// Where make_commands' keys come from: a player's action held or not.
using HELD = bool (*)(int player, int action);
bool bound_held(int player, int action) {
  const int key = bindings[player].key[action];
  return key > 0 && key < BIND_CODES && key_held[key];
}
bool recorded_held(int player, int action) {
  const int key = RECORDED_KEYS[player][action];
  return key > 0 && keys[key];
}

// A player's held keys as a command's bits and weapon slot: the highest slot held wins.
// Player 2's look keys mark its command as turned by keys.
void add_keys(HELD held, int player, VURK_COMMAND* c) {
  for (int a = 0; a < player_actions(player); a++) {
    if (!held(player, a)) continue;
    if (a >= ACT_SLOT_1 && a <= ACT_SLOT_4) {
      c->weapon = static_cast<uint8_t>(a - ACT_SLOT_1 + 1);
    } else {
      c->buttons |= ACTION_BITS[a];
    }
  }
  if (player == 1) c->buttons |= VC_KEY_LOOK;
}

// The match turns a vurk by its look stick after the dead zone; a speed scales what is left
// of the travel beyond it, so the stick is given the deflection that leaves that much.
void scale_look_stick(int32_t percent, VURK_COMMAND* c) {
  const float x = static_cast<float>(c->stick[VC_LOOK_X]) / AXIS_STEPS;
  const float y = static_cast<float>(c->stick[VC_LOOK_Y]) / AXIS_STEPS;
  const float length = std::sqrt(x * x + y * y);
  if (length <= PAD_DEAD_ZONE) return;
  const float beyond = std::min((length - PAD_DEAD_ZONE) / (1.0f - PAD_DEAD_ZONE), 1.0f);
  const float wanted = std::min(beyond * static_cast<float>(percent) / 100.0f, 1.0f);
  const float scale = (PAD_DEAD_ZONE + wanted * (1.0f - PAD_DEAD_ZONE)) / length;
  c->stick[VC_LOOK_X] = quantize_axis(x * scale);
  c->stick[VC_LOOK_Y] = quantize_axis(y * scale);
}

// What a pad adds to its player's command: its sticks as they are, its buttons and
// triggers as the same actions as the keys, and a bumper's press as one weapon step.
void add_pad(const platform::Pad& pad, uint32_t before, const LOOK_SETTINGS& look, int player, VURK_COMMAND* c) {
  using namespace platform;
  const PAD_ACTIONS a = give_pad_actions(pad, before, 0);
  c->buttons |= VC_PAD;
  if (a.fire) c->buttons |= VC_FIRE;
  if (a.jump) c->buttons |= VC_JUMP;
  if (a.dig) c->buttons |= VC_DIG;
  if (a.weapon_step > 0) c->buttons |= VC_NEXT_WEAPON;
  if (a.weapon_step < 0) c->buttons |= VC_PREVIOUS_WEAPON;
  c->stick[VC_WALK_X] = quantize_axis(pad.axis[PAD_LEFT_X]);
  c->stick[VC_WALK_Y] = quantize_axis(pad.axis[PAD_LEFT_Y]);
  c->stick[VC_LOOK_X] = quantize_axis(pad.axis[PAD_RIGHT_X]);
  c->stick[VC_LOOK_Y] = quantize_axis(pad.axis[PAD_RIGHT_Y]);
  if (look.pad_look_speed != 100) scale_look_stick(look.pad_look_speed, c);
  if (look.invert_pad[player]) c->stick[VC_LOOK_Y] = static_cast<int16_t>(-c->stick[VC_LOOK_Y]);
}

// The walking, turning and looking a command's pad asks for in a step of frame_time ms.
struct STICKS {
  float forward, right, turn, look;
};
STICKS give_sticks(const float axis[VC_STICKS], unsigned frame_time) {
  float walk_x = axis[VC_WALK_X], walk_y = axis[VC_WALK_Y];
  float look_x = axis[VC_LOOK_X], look_y = axis[VC_LOOK_Y];
  apply_dead_zone(&walk_x, &walk_y);
  apply_dead_zone(&look_x, &look_y);
  const float rate = PAD_LOOK_SPEED * static_cast<float>(frame_time);
  return {-walk_y, walk_x, -look_x * rate, -look_y * rate};
}

STICKS command_sticks(const VURK_COMMAND& c, unsigned frame_time) {
  float axis[VC_STICKS];
  for (int a = 0; a < VC_STICKS; a++) axis[a] = static_cast<float>(c.stick[a]) / AXIS_STEPS;
  return give_sticks(axis, frame_time);
}

const VURK_COMMAND& command_of(const VURK_* m) { return vurk_command[m - vurk]; }

// Forward and backward cancel; a diagonal walks faster by the square root of two.
void walk(VURK_* m, IJK* movement, unsigned frame_time) {
  const VURK_COMMAND& c = command_of(m);
  const float s = WALK_SPEED * static_cast<float>(frame_time);
  const float a = rad(m->angle);
  const float sa = std::sin(a);
  const float ca = std::cos(a);
  if (c.buttons & VC_FORWARD) {
    movement->i -= s * sa;
    movement->k -= s * ca;
    m->animation = 1;
  }
  if (c.buttons & VC_BACKWARD) {
    movement->i += s * sa;
    movement->k += s * ca;
    m->animation = 1;
  }
  if (c.buttons & VC_LEFT) {
    movement->i -= s * ca;
    movement->k += s * sa;
    m->animation = 1;
  }
  if (c.buttons & VC_RIGHT) {
    movement->i += s * ca;
    movement->k -= s * sa;
    m->animation = 1;
  }
  if (!(c.buttons & VC_PAD)) return;
  const STICKS pad = command_sticks(c, frame_time);
  if (pad.forward != 0.0f || pad.right != 0.0f) {
    movement->i += s * (pad.right * ca - pad.forward * sa);
    movement->k -= s * (pad.forward * ca + pad.right * sa);
    m->animation = 1;
  }
}

// The jump key turns fire into the item: the rope or the jetpack. The weapon never fires
// while jump is held.
void act(VURK_* m, unsigned frame_time) {
  if (!m->alive) return;
  const VURK_COMMAND& c = command_of(m);
  const bool fire = (c.buttons & VC_FIRE) != 0;
  m->jump = 0;
  if (c.buttons & VC_JUMP) {
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
  if (c.buttons & VC_DIG) dig(m);
  const int step = ((c.buttons & VC_NEXT_WEAPON) != 0) - ((c.buttons & VC_PREVIOUS_WEAPON) != 0);
  if (step) m->weapon = static_cast<uint8_t>((m->weapon + WEAPON_SLOTS + step) % WEAPON_SLOTS);
  if (c.weapon >= 1 && c.weapon <= WEAPON_SLOTS) m->weapon = static_cast<uint8_t>(c.weapon - 1);
}

float clamp_pitch(float pitch) { return std::clamp(pitch, -PITCH_LIMIT, PITCH_LIMIT); }

// The command's encoding: a byte of the fields present, then those fields little-endian.
enum COMMAND_FIELD : uint8_t { CF_BUTTONS = 1, CF_WEAPON = 2, CF_MOUSE = 4, CF_WALK = 8, CF_LOOK = 16, CF_ALL = 31 };

template <typename T>
void put(uint8_t** at, T v) {
  std::memcpy(*at, &v, sizeof v);
  *at += sizeof v;
}
template <typename T>
T get(const uint8_t** at) {
  T v;
  std::memcpy(&v, *at, sizeof v);
  *at += sizeof v;
  return v;
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

const char* const action_names[PLAYER_ACTIONS] = {
    "FORWARD", "BACKWARD", "STEP LEFT", "STEP RIGHT", "FIRE",    "JUMP",      "DIG",       "WEAPON 1",
    "WEAPON 2", "WEAPON 3", "WEAPON 4", "LOOK UP",    "LOOK DOWN", "TURN LEFT", "TURN RIGHT"};
const char* const action_words[PLAYER_ACTIONS] = {"forward", "backward", "left",      "right",   "fire",
                                                  "jump",    "dig",      "weapon1",   "weapon2", "weapon3",
                                                  "weapon4", "look-up",  "look-down", "turn-left", "turn-right"};
PLAYER_BINDINGS bindings[HUMAN_PLAYERS] = {DEFAULT_BINDINGS[0], DEFAULT_BINDINGS[1]};
LOOK_SETTINGS look_settings = DEFAULT_LOOK;

void default_keys() {
  for (int p = 0; p < HUMAN_PLAYERS; p++) bindings[p] = DEFAULT_BINDINGS[p];
}

void default_controls() {
  default_keys();
  look_settings = DEFAULT_LOOK;
  live_carry = {};
}

bool is_game_key(int key) { return key == SC_ESCAPE || key == SC_TAB || (key >= SC_F1 && key < SC_F1 + 12); }

bool key_holder(int key, int* player, int* action) {
  for (int p = 0; p < HUMAN_PLAYERS; p++)
    for (int a = 0; a < player_actions(p); a++)
      if (key && bindings[p].key[a] == key) {
        *player = p;
        *action = a;
        return true;
      }
  return false;
}

BIND_RESULT bind_key(int player, int action, int key) {
  if (key <= 0 || key >= BIND_CODES || player < 0 || player >= HUMAN_PLAYERS || action < 0 ||
      action >= player_actions(player))
    return BIND_NO_KEY;
  if (!platform::key_position_name(key)[0]) return BIND_NO_KEY;
  if (is_game_key(key)) return BIND_GAME_KEY;
  int holder = -1, held_action = -1;
  if (!key_holder(key, &holder, &held_action)) {
    bindings[player].key[action] = static_cast<int16_t>(key);
    return BIND_DONE;
  }
  if (holder != player) return BIND_OTHER_PLAYER;
  bindings[player].key[held_action] = bindings[player].key[action];
  bindings[player].key[action] = static_cast<int16_t>(key);
  return held_action == action ? BIND_DONE : BIND_SWAPPED;
}

void key_label(int key, char* out, int size) {
  const char* name = platform::key_position_name(key);
  std::snprintf(out, static_cast<size_t>(size), "%s", name[0] ? name : "NONE");
  for (char* c = out; *c; c++) {
    if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
    if (*c < ' ' || *c > '_') *c = '?';
  }
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
  const float axis[VC_STICKS] = {pad.axis[PAD_LEFT_X], pad.axis[PAD_LEFT_Y], pad.axis[PAD_RIGHT_X],
                                 pad.axis[PAD_RIGHT_Y]};
  const STICKS sticks = give_sticks(axis, frame_time);
  const uint32_t pressed = pad.buttons & ~before;
  PAD_ACTIONS a;
  a.forward = sticks.forward;
  a.right = sticks.right;
  a.turn = sticks.turn;
  a.look = sticks.look;
  a.fire = pad.axis[PAD_RIGHT_TRIGGER] > TRIGGER_PRESSED || (pad.buttons & PAD_ITEM);
  a.jump = pad.axis[PAD_LEFT_TRIGGER] > TRIGGER_PRESSED || (pad.buttons & PAD_ITEM);
  a.dig = (pad.buttons & PAD_DIG) != 0;
  a.weapon_step = ((pressed & PAD_NEXT) != 0) - ((pressed & PAD_PREVIOUS) != 0);
  a.back = (pad.buttons & PAD_BACK) != 0;
  return a;
}

// Axes to the 16-bit steps the pads themselves deliver, so that a replay, which keeps
// them in that form, feeds the match exactly what it played with. The mouse's motion adds
// up until a step takes it: a frame shorter than the tick runs none.
void gather_match_input() {
  int dx = 0, dy = 0;
  platform::mouse_offset(&dx, &dy);
  match_input.mouse_dx += dx;
  match_input.mouse_dy += dy;
  mpos = {centerX + match_input.mouse_dx, centerY + match_input.mouse_dy};
  for (int p = 0; p < HUMAN_PLAYERS; p++) {
    platform::Pad& pad = match_input.pad[p];
    platform::read_pad(player_pad[p], &pad);
    for (float& a : pad.axis) a = static_cast<float>(quantize_axis(a)) / AXIS_STEPS;
  }
}

int16_t quantize_axis(float axis) { return static_cast<int16_t>(std::lround(std::clamp(axis, -1.0f, 1.0f) * AXIS_STEPS)); }

namespace {

int32_t scale_mouse(int32_t pixels, int32_t percent, int64_t* carry) {
  const int64_t hundredths = static_cast<int64_t>(pixels) * percent + *carry;
  const int64_t whole = hundredths / 100;
  *carry = hundredths - whole * 100;
  return static_cast<int32_t>(std::clamp<int64_t>(whole, -MAX_COMMAND_MOUSE, MAX_COMMAND_MOUSE));
}

// Player 1's keys and the mouse (taken from match_input) into `one`, player 2's keys into `two`.
void add_players_keys(HELD held, const LOOK_SETTINGS& look, MOUSE_CARRY* carry, VURK_COMMAND* one,
                      VURK_COMMAND* two) {
  one->buttons |= VC_MOUSE;
  one->mouse_dx = scale_mouse(match_input.mouse_dx, look.mouse_sensitivity, &carry->x);
  one->mouse_dy = scale_mouse(match_input.mouse_dy, look.mouse_sensitivity, &carry->y);
  if (look.invert_mouse) one->mouse_dy = -one->mouse_dy;
  match_input.mouse_dx = match_input.mouse_dy = 0;
  add_keys(held, 0, one);
  add_keys(held, 1, two);
}

void build_commands(HELD held, const LOOK_SETTINGS& look, MOUSE_CARRY* carry, VURK_COMMAND* commands) {
  for (int i = 0; i < MAX_VURKS; i++) commands[i] = VURK_COMMAND{};
  add_players_keys(held, look, carry, &commands[0], &commands[1]);
  for (int p = 0; p < HUMAN_PLAYERS; p++) {
    const platform::Pad& pad = match_input.pad[p];
    const VURK_* v = human_player(p);
    if (v) add_pad(pad, last_read[p].buttons, look, p, &commands[v - vurk]);
    last_read[p] = pad;
  }
}

}  // namespace

void make_commands(VURK_COMMAND* commands) { build_commands(bound_held, look_settings, &live_carry, commands); }

void make_recorded_commands(VURK_COMMAND* commands) {
  build_commands(recorded_held, DEFAULT_LOOK, &recorded_carry, commands);
}

void make_player_commands(VURK_COMMAND* player) {
  player[0] = player[1] = VURK_COMMAND{};
  add_players_keys(bound_held, look_settings, &live_carry, &player[0], &player[1]);
  for (int p = 0; p < HUMAN_PLAYERS; p++) {
    add_pad(match_input.pad[p], last_read[p].buttons, look_settings, p, &player[p]);
    last_read[p] = match_input.pad[p];
  }
}

// Each vurk turned by what its command carries, in the order the devices always turned it:
// the mouse, then the look keys, then a pad. A computer player's command is empty, except
// that player 1's mouse and player 2's look keys turn vurks 0 and 1 whatever plays them.
void game_input(unsigned frame_time) {
  const float turn = TURN_SPEED * static_cast<float>(frame_time);
  for (int i = 0; i < MAX_VURKS; i++) {
    const VURK_COMMAND& c = vurk_command[i];
    VURK_* v = &vurk[i];
    if (c.buttons & VC_MOUSE) {
      v->angle2 = static_cast<float>(v->angle2 + -c.mouse_dy / MOUSE_DEGREES);
      v->angle = static_cast<float>(v->angle + -c.mouse_dx / MOUSE_DEGREES);
      v->angle2 = clamp_pitch(v->angle2);
    }
    if (c.buttons & VC_KEY_LOOK) {
      if (c.buttons & VC_LOOK_UP) v->angle2 += turn;
      if (c.buttons & VC_LOOK_DOWN) v->angle2 -= turn;
      v->angle2 = clamp_pitch(v->angle2);
      if (c.buttons & VC_TURN_LEFT) v->angle += turn;
      if (c.buttons & VC_TURN_RIGHT) v->angle -= turn;
    }
    if (c.buttons & VC_PAD) {
      const STICKS pad = command_sticks(c, frame_time);
      v->angle += pad.turn;
      v->angle2 = clamp_pitch(v->angle2 + pad.look);
    }
  }
}

void game_keys() {
  if (keys[VK_ESCAPE]) install_mode(&menu_pair);
  for (const platform::Pad& pad : match_input.pad)
    if ((pad.buttons & PAD_BACK) || (winner >= 0 && (pad.buttons & PAD_LEAVE_WON))) install_mode(&menu_pair);
  for (int i = 0; i < MAX_VURKS; i++)
    if (keys[VK_F1 + i] && vurk[i].type != MLT_OFF) vurk_to_render_1 = &vurk[i];
  for (int i = 0; i < MAX_VURKS; i++)
    if (keys[VK_F1 + 4 + i] && vurk[i].type != MLT_OFF) vurk_to_render_2 = &vurk[i];
  if (keys[VK_F1 + 8]) {
    camera_mode = camera_mode == CM_FIRST_PERSON ? CM_THIRD_PERSON : CM_FIRST_PERSON;
    keys[VK_F1 + 8] = 0;
  }
}

void human_movement_vector(VURK_* m, IJK* movement, unsigned frame_time) { walk(m, movement, frame_time); }
void human_control(VURK_* m, unsigned frame_time) { act(m, frame_time); }

int command_size(uint8_t fields) {
  if (fields & ~CF_ALL) return 0;
  return 1 + (fields & CF_BUTTONS ? 2 : 0) + (fields & CF_WEAPON ? 1 : 0) + (fields & CF_MOUSE ? 8 : 0) +
         (fields & CF_WALK ? 4 : 0) + (fields & CF_LOOK ? 4 : 0);
}

int encode_command(const VURK_COMMAND& c, uint8_t* out) {
  uint8_t* at = out + 1;
  uint8_t fields = 0;
  if (c.buttons) fields |= CF_BUTTONS, put(&at, c.buttons);
  if (c.weapon) fields |= CF_WEAPON, put(&at, c.weapon);
  if (c.mouse_dx || c.mouse_dy) fields |= CF_MOUSE, put(&at, c.mouse_dx), put(&at, c.mouse_dy);
  if (c.stick[VC_WALK_X] || c.stick[VC_WALK_Y])
    fields |= CF_WALK, put(&at, c.stick[VC_WALK_X]), put(&at, c.stick[VC_WALK_Y]);
  if (c.stick[VC_LOOK_X] || c.stick[VC_LOOK_Y])
    fields |= CF_LOOK, put(&at, c.stick[VC_LOOK_X]), put(&at, c.stick[VC_LOOK_Y]);
  out[0] = fields;
  return static_cast<int>(at - out);
}

int decode_command(const uint8_t* in, int size, VURK_COMMAND* c) {
  if (size < 1) return 0;
  const uint8_t fields = in[0];
  const int n = command_size(fields);
  if (n == 0 || n > size) return 0;
  const uint8_t* at = in + 1;
  VURK_COMMAND d = {};
  if (fields & CF_BUTTONS) d.buttons = get<uint16_t>(&at);
  if (fields & CF_WEAPON) d.weapon = get<uint8_t>(&at);
  if (fields & CF_MOUSE) d.mouse_dx = get<int32_t>(&at), d.mouse_dy = get<int32_t>(&at);
  if (fields & CF_WALK) d.stick[VC_WALK_X] = get<int16_t>(&at), d.stick[VC_WALK_Y] = get<int16_t>(&at);
  if (fields & CF_LOOK) d.stick[VC_LOOK_X] = get<int16_t>(&at), d.stick[VC_LOOK_Y] = get<int16_t>(&at);
  // Only what make_commands can make: a field present holds a value, a slot is 1..4, the
  // mouse and the sticks are within their travel.
  bool ok = (!(fields & CF_BUTTONS) || d.buttons) && (!(fields & CF_WEAPON) || (d.weapon >= 1 && d.weapon <= WEAPON_SLOTS));
  // Compared without abs, which has no value for the most negative int a packet can hold.
  ok = ok && d.mouse_dx >= -MAX_COMMAND_MOUSE && d.mouse_dx <= MAX_COMMAND_MOUSE && d.mouse_dy >= -MAX_COMMAND_MOUSE &&
       d.mouse_dy <= MAX_COMMAND_MOUSE;
  for (int16_t s : d.stick) ok = ok && s >= -AXIS_LIMIT && s <= AXIS_LIMIT;
  if (!ok) return 0;
  *c = d;
  return n;
}

}  // namespace vurkhold
