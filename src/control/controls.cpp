// human controls: the game's own keys, mouse look, and the two players' walking and actions.
// Keys are read as held states from keys[]; only F9 is cleared here, so one press toggles once.
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
}

// The jump key turns fire into the item: the rope or the jetpack. The weapon never fires
// while jump is held.
void act(const PLAYER_KEYS& k, VURK_* m, unsigned frame_time) {
  if (!m->alive) return;
  m->jump = 0;
  if (keys[k.jump]) {
    m->jump = 1;
    if (m->item == MI_NINJAROPE) {
      if (m->rope_state == NRS_IN && keys[k.fire]) {
        m->rope_p = m->p;
        m->rope_m = give_vurk_weapon_direction(m, ROPE_SPEED);
        m->rope_state = NRS_FLYING;
      } else if (m->rope_state == NRS_ATTACHED) {
        m->rope_state = NRS_IN;
      }
    } else if (m->item == MI_JETPACK && keys[k.fire]) {
      use_jetpack(m, frame_time);
    }
  } else if (keys[k.fire]) {
    fire_weapon(m);
  }
  if (keys[k.dig]) dig(m);
  for (int w = 0; w < WEAPON_SLOTS; w++)
    if (keys[k.slot[w]]) m->weapon = static_cast<uint8_t>(w);
}

float clamp_pitch(float pitch) { return std::clamp(pitch, -PITCH_LIMIT, PITCH_LIMIT); }

}  // namespace

void game_input(unsigned frame_time) {
  int dx = 0, dy = 0;
  platform::mouse_offset(&dx, &dy);
  mpos = {centerX + dx, centerY + dy};

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
