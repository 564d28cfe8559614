// computer players: target choice, turning, flying, digging, weapon choice and firing, and
// the walk that follows each frame's decision.
#include <algorithm>
#include <cmath>

#include "control/control.h"
#include "geometry/geometry.h"
#include "world/world.h"

namespace vurkhold {

namespace {

constexpr float SIGHT = 10000.0f;       // squared: 100 units
constexpr float TURN_RATE = 0.3f;       // degrees per ms
constexpr float CLIMB_MARGIN = 0.5f;    // the target is higher by more than this: fly
constexpr unsigned STUCK_MS = 500;      // stuck for longer than this: dig
constexpr float ATTACK_RANGE = 8.0f;
constexpr float ATTACK_CONE = 20.0f;    // degrees off the aim
constexpr float EVADE_RANGE = 6.0f;
constexpr float WALK_SPEED = 0.002f;    // units per ms
constexpr double STRAFE_RHYTHM = 5.0;   // counter ms per degree: the side changes every 900 ms
constexpr float BLAST_MARGIN = 1.5f;    // times a weapon's blast reach: closer targets are not shot with it

float clamped_acos_degrees(double c) { return deg(static_cast<float>(std::acos(std::clamp(c, -1.0, 1.0)))); }
float clamped_asin_degrees(double s) { return deg(static_cast<float>(std::asin(std::clamp(s, -1.0, 1.0)))); }

// Starting from the slot held now, so a tie keeps it.
void pick_weapon(VURK_* m, bool readiest) {
  int selected = m->weapon < WEAPON_SLOTS ? m->weapon : 0;
  for (int w = 0; w < WEAPON_SLOTS; w++) {
    const int loading = m->weapons[w].loading;
    const int best = m->weapons[selected].loading;
    if (readiest ? loading < best : loading > best) selected = w;
  }
  m->weapon = static_cast<uint8_t>(selected);
}

// How far a shot's blast hurts around a target it reaches: its own blast and that of what
// it scatters, for a bullet that bursts on a vurk or when its time runs out. A shot that
// bursts on a target nearer than a margin of this catches the shooter too, or when it
// misses, on the rock just behind. A bullet that bursts only on rock (the digger's) hurts
// a vurk it meets by hitting it, so it has no reach here.
float blast_reach(const WEAPON& w) {
  const BULLET_TYPE* bt = w.type ? w.type->ammo_type : nullptr;
  if (!bt || (bt->vurk_hit != BHA_EXPLODE && bt->timeout_action != BTA_EXPLODE)) return 0.0f;
  auto own = [](const BULLET_TYPE& b) {
    return b.hole_size >= MIN_EXPLOSION_SIZE ? b.hole_size + VURK_COLLISION_RADIUS : 0.0f;
  };
  float reach = own(*bt);
  if (bt->clusters > 0 && bt->cluster >= 0 && bt->cluster < bullet_types) reach += own(bullet_type[bt->cluster]);
  return reach;
}

// The readiest slot whose blast can't reach back over `distance`, the one held now on a
// tie; -1 when every slot's can.
int pick_safe_weapon(const VURK_* m, float distance) {
  auto safe = [&](int w) { return !(BLAST_MARGIN * blast_reach(m->weapons[w]) > distance); };
  int selected = m->weapon < WEAPON_SLOTS && safe(m->weapon) ? m->weapon : -1;
  for (int w = 0; w < WEAPON_SLOTS; w++)
    if (safe(w) && (selected < 0 || m->weapons[w].loading < m->weapons[selected].loading)) selected = w;
  return selected;
}

bool is_world(COLLISION_TYPE c) {
  return c == CT_DIRT_COLLISION || c == CT_METAL_COLLISION || c == CT_ROCK_COLLISION;
}

}  // namespace

void ai_find_target(VURK_* m) {
  if (!m) return;
  AI_MODULE& ai = m->ai_module;
  ai.target = nullptr;
  float best = SIGHT;
  for (int i = 0; i < MAX_VURKS; i++) {
    VURK_* v = &vurk[i];
    if (!v->alive || i == m->num || v->team == m->team) continue;
    const float d = give_distance_pow2(&m->p, &v->p);
    if (d < best) {
      best = d;
      ai.target = v;
    }
  }
}

void AI(VURK_* m, unsigned frame_time) {
  if (!m) return;
  AI_MODULE& ai = m->ai_module;
  const float step = TURN_RATE * static_cast<float>(frame_time);

  ai.counter += frame_time;
  ai_find_target(m);
  if (!ai.target) return;
  VURK_* target = ai.target;

  IJK opponent_direction;
  make_vector(&m->p, &target->p, &opponent_direction);
  const float d = give_vector_lenght(&opponent_direction);
  // A target at our own position gives no direction to turn to.
  if (!(d > 0.0f)) return;

  if (ai.state == AS_SEEKTARGET && !(ai.distance > d)) ai.stuck_counter += frame_time;
  ai.distance = d;

  const IJK direction = give_vurk_weapon_direction(m, 1.0f);
  const float angle = deg(give_vector_angle(&opponent_direction, &direction));

  const double hd = std::sqrt(static_cast<double>(direction.i) * direction.i +
                              static_cast<double>(direction.k) * direction.k) *
                    std::sqrt(static_cast<double>(opponent_direction.i) * opponent_direction.i +
                              static_cast<double>(opponent_direction.k) * opponent_direction.k);
  if (hd > 0.0) {
    const double horizontal_dot = static_cast<double>(opponent_direction.i) * direction.i +
                                  static_cast<double>(opponent_direction.k) * direction.k;
    const float h = clamped_acos_degrees(horizontal_dot / hd);
    if (h > step) {
      if (j_component(&direction, &opponent_direction) > 0.0f)
        m->angle += step;
      else
        m->angle -= step;
    }
  }

  const float target_pitch = clamped_asin_degrees(static_cast<double>(opponent_direction.j) / d);
  if (std::fabs(target_pitch - m->angle2) < step)
    m->angle2 = target_pitch;
  else
    m->angle2 += target_pitch > m->angle2 ? step : -step;

  if (target->p.y - m->p.y > CLIMB_MARGIN) use_jetpack(m, frame_time);

  if (m->p.x == m->pp.x && m->p.y == m->pp.y && m->p.z == m->pp.z) ai.stuck_counter += frame_time;

  if (ai.stuck_counter > STUCK_MS) {
    if (m->dig_delay <= 0) ai.stuck_counter = 0;
    dig(m);
  }

  pick_weapon(m, true);
  ai.state = AS_SEEKTARGET;

  if (ai.distance < ATTACK_RANGE && angle < ATTACK_CONE && target->alive) {
    XYZ hit;
    IJK normal;
    if (is_world(test_point_collisions(m->p, opponent_direction, &hit, &normal))) return;
    const int safe = pick_safe_weapon(m, ai.distance);
    if (safe >= 0) {
      m->weapon = static_cast<uint8_t>(safe);
      fire_weapon(m);
    }
    if (ai.distance < EVADE_RANGE) ai.state = AS_EVADE;
    return;
  }
  // Only the selected weapon reloads, so an idle computer player holds the one that most
  // needs it.
  pick_weapon(m, false);
}

void ai_find_movement_vector(VURK_* m, IJK* movement, unsigned frame_time) {
  if (!m || !m->ai_module.target) return;
  const float s = WALK_SPEED * static_cast<float>(frame_time);
  const float a = rad(m->angle);
  const float sa = std::sin(a);
  const float ca = std::cos(a);
  if (m->ai_module.state == AS_SEEKTARGET) {
    movement->i -= s * sa;
    movement->k -= s * ca;
  } else if (std::sin(rad(static_cast<float>(m->ai_module.counter / STRAFE_RHYTHM))) > 0.0f) {
    movement->i -= s * ca;
    movement->k += s * sa;
  } else {
    movement->i += s * ca;
    movement->k -= s * sa;
  }
  m->animation = 1;
}

}  // namespace vurkhold
