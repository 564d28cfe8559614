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
constexpr float ATTACK_RANGE = 12.0f;
constexpr float ATTACK_CONE = 20.0f;    // degrees off the aim
constexpr float EVADE_RANGE = 6.0f;
constexpr float WALK_SPEED = 0.002f;    // units per ms
constexpr double STRAFE_RHYTHM = 5.0;   // counter ms per degree: the side changes every 900 ms
constexpr float BLAST_MARGIN = 1.25f;   // times a weapon's blast reach: closer targets are not shot with it
constexpr float BLAST_WINDOW = 3.0f;    // the least span of distances a blast weapon is fired over
// A shot's flight foreseen in steps of this many ms, as far as this many steps: far enough
// to cross the level at a grenade's speed.
constexpr unsigned FLIGHT_STEP_MS = 40;
constexpr int FLIGHT_STEPS = 48;
constexpr float RANGE_SHARE = 0.8f;      // of a shot's flight: targets further off are out of its range

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

// A blast weapon is kept for targets beyond a margin of its reach; one whose margin comes
// near a gun's range reaches a little further, so that it has targets at all.
float attack_range(float reach) { return std::max(ATTACK_RANGE, BLAST_MARGIN * reach + BLAST_WINDOW); }

// How far a shot of `wt` flies before its time runs out or its drag stops it, gravity left
// out: a flamethrower's flames die a few units out.
float flight_range(const WEAPON_TYPE& wt) {
  const BULLET_TYPE* bt = wt.ammo_type;
  if (!bt || !(wt.bullet_speed > 0.0f)) return 0.0f;
  const float life = static_cast<float>(bt->life);
  const float slowing = FORCE_SCALE * bt->air_resistance;
  const float t = slowing > 0.0f ? std::min(life, wt.bullet_speed / slowing) : life;
  return wt.bullet_speed * t - 0.5f * slowing * t * t;
}

// Whether slot w suits a target at `distance`, `in_sight` or hidden behind rock whose face
// the straight line meets within the blast's reach of it (`cover_gap` from the target).
bool suits(const VURK_* m, int w, float distance, bool in_sight, float cover_gap) {
  if (!m->weapons[w].type) return false;
  const float reach = blast_reach(m->weapons[w]);
  if (!(distance < RANGE_SHARE * flight_range(*m->weapons[w].type))) return false;
  if (!(reach > 0.0f)) return in_sight && distance < ATTACK_RANGE;
  if (!(distance > BLAST_MARGIN * reach) || !(distance < attack_range(reach))) return false;
  return in_sight || cover_gap < reach;
}

// Of two loaded slots the one with more of its clip left: a computer player spends a clip,
// then turns to the next weapon that suits, as a player makes the most of every weapon.
bool readier(const WEAPON& a, const WEAPON& b) {
  if (a.loading != b.loading) return a.loading < b.loading;
  const float clip_a = static_cast<float>(a.ammo) / static_cast<float>(std::max(a.type->ammo_per_clip, 1));
  const float clip_b = static_cast<float>(b.ammo) / static_cast<float>(std::max(b.type->ammo_per_clip, 1));
  return clip_a > clip_b;
}

// The readiest slot that suits the target, the one held now on a tie; -1 when none does.
int pick_fit_weapon(const VURK_* m, float distance, bool in_sight, float cover_gap) {
  int selected = m->weapon < WEAPON_SLOTS && suits(m, m->weapon, distance, in_sight, cover_gap) ? m->weapon : -1;
  for (int w = 0; w < WEAPON_SLOTS; w++)
    if (suits(m, w, distance, in_sight, cover_gap) &&
        (selected < 0 || readier(m->weapons[w], m->weapons[selected])))
      selected = w;
  return selected;
}

// Carrying only blast weapons, and nearer than one of them may be fired: better to back off.
bool too_close_for_blasts(const VURK_* m, float distance) {
  bool too_close = false;
  for (int w = 0; w < WEAPON_SLOTS; w++) {
    if (!m->weapons[w].type) continue;
    const float reach = blast_reach(m->weapons[w]);
    if (!(reach > 0.0f)) return false;
    if (!(distance > BLAST_MARGIN * reach)) too_close = true;
  }
  return too_close;
}

bool is_world(COLLISION_TYPE c) {
  return c == CT_DIRT_COLLISION || c == CT_METAL_COLLISION || c == CT_ROCK_COLLISION;
}

const WEAPON_TYPE* held_type(const VURK_* m) { return m->weapon < WEAPON_SLOTS ? m->weapons[m->weapon].type : nullptr; }

// How far a target moved in the step before; nothing for a respawn or a rope's jerk, which
// are no motion to follow.
IJK target_step(const VURK_* target) {
  IJK step;
  make_vector(&target->pp, &target->p, &step);
  if (give_vector_lenght(&step) > 1.0f) return {0.0f, 0.0f, 0.0f};
  return step;
}

// Where to aim so that a shot of `wt` meets a target moving as it did the step before: ahead
// of it by its speed over the flight's time, and above it by what gravity takes from the
// flight (below it for a shell that rises).
XYZ lead_point(const VURK_* m, const VURK_* target, const WEAPON_TYPE* wt, unsigned frame_time) {
  XYZ p = target->p;
  if (!wt || !wt->ammo_type || !(wt->bullet_speed > 0.0f) || frame_time == 0) return p;
  const float t = give_distance(&m->p, &target->p) / wt->bullet_speed;
  const float ft = static_cast<float>(frame_time);
  const IJK velocity = target_step(target);
  p.x += velocity.i / ft * t;
  p.y += velocity.j / ft * t;
  p.z += velocity.k / ft * t;
  p.y += 0.5f * FORCE_SCALE * wt->ammo_type->gravity * t * t;
  return p;
}

struct FLIGHT {
  XYZ burst;        // where it bursts or is last foreseen
  float nearest;    // its closest pass by the target, the target moving on as it did
};

// A shot of `wt` fired now along the aim, stepped as the bullets step (gravity, drag, the
// first rock or vurk it meets, its time running out), without its spread.
FLIGHT foresee_flight(const VURK_* m, const VURK_* target, const WEAPON_TYPE* wt, unsigned frame_time) {
  const BULLET_TYPE* bt = wt->ammo_type;
  XYZ p = give_vurk_weapon_point(m);
  IJK v = give_vurk_weapon_direction(m, wt->bullet_speed);
  const IJK moved = frame_time ? target_step(target) : IJK{0.0f, 0.0f, 0.0f};
  const float per_ms = frame_time ? 1.0f / static_cast<float>(frame_time) : 0.0f;
  const float ft = static_cast<float>(FLIGHT_STEP_MS);
  FLIGHT f = {p, give_distance(&p, &target->p)};
  for (int s = 1; s <= FLIGHT_STEPS; s++) {
    if (static_cast<int>(s * FLIGHT_STEP_MS) >= bt->life) break;
    v.j += -FORCE_SCALE * ft * bt->gravity;
    const float drag = FORCE_SCALE * ft * bt->air_resistance;
    const float speed = give_vector_lenght(&v);
    if (speed > drag) {
      const float keep = (speed - drag) / speed;
      v = {v.i * keep, v.j * keep, v.k * keep};
    } else {
      v = {0.0f, 0.0f, 0.0f};
    }
    const IJK step = {v.i * ft, v.j * ft, v.k * ft};
    XYZ hit;
    IJK normal;
    const COLLISION_TYPE c = test_point_collisions(p, step, &hit, &normal);
    p = c != CT_NO_COLLISION ? hit : XYZ{p.x + step.i, p.y + step.j, p.z + step.k};
    const float ahead = static_cast<float>(s * FLIGHT_STEP_MS) * per_ms;
    const XYZ there = {target->p.x + moved.i * ahead, target->p.y + moved.j * ahead, target->p.z + moved.k * ahead};
    f.nearest = std::min(f.nearest, give_distance(&p, &there));
    if (c != CT_NO_COLLISION) break;
  }
  f.burst = p;
  return f;
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

  // The weapon first, for the target as it stands: its shells' speed says where to aim.
  XYZ cover;
  IJK normal;
  const bool in_sight = !is_world(test_point_collisions(m->p, opponent_direction, &cover, &normal));
  const float cover_gap = in_sight ? 0.0f : give_distance(&cover, &target->p);
  const int fit = target->alive ? pick_fit_weapon(m, d, in_sight, cover_gap) : -1;
  if (fit >= 0)
    m->weapon = static_cast<uint8_t>(fit);
  else
    pick_weapon(m, true);

  const XYZ aim_at = lead_point(m, target, held_type(m), frame_time);
  IJK aim;
  make_vector(&m->p, &aim_at, &aim);
  const float aim_length = give_vector_lenght(&aim);
  if (!(aim_length > 0.0f)) aim = opponent_direction;
  const float al = aim_length > 0.0f ? aim_length : d;

  const IJK direction = give_vurk_weapon_direction(m, 1.0f);
  const float angle = deg(give_vector_angle(&aim, &direction));

  const double hd = std::sqrt(static_cast<double>(direction.i) * direction.i +
                              static_cast<double>(direction.k) * direction.k) *
                    std::sqrt(static_cast<double>(aim.i) * aim.i + static_cast<double>(aim.k) * aim.k);
  if (hd > 0.0) {
    const double horizontal_dot = static_cast<double>(aim.i) * direction.i + static_cast<double>(aim.k) * direction.k;
    const float h = clamped_acos_degrees(horizontal_dot / hd);
    if (h > step) {
      if (j_component(&direction, &aim) > 0.0f)
        m->angle += step;
      else
        m->angle -= step;
    }
  }

  const float target_pitch = clamped_asin_degrees(static_cast<double>(aim.j) / al);
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

  ai.state = AS_SEEKTARGET;
  if (fit >= 0) {
    if (angle < ATTACK_CONE) {
      const WEAPON& w = m->weapons[m->weapon];
      const float reach = blast_reach(w);
      if (!(reach > 0.0f)) {
        fire_weapon(m);
      } else {
        // A blast is fired only when its flight, as foreseen, bursts clear of us and passes
        // the target within its reach: over cover, round a corner, into a moving target.
        const FLIGHT f = foresee_flight(m, target, w.type, frame_time);
        if (!(give_distance(&f.burst, &m->p) > BLAST_MARGIN * reach)) {
          // It would burst too near: back off from a target in sight, or dig through the
          // rock in the way. Walking on would undo the step back the next frame.
          if (in_sight) {
            ai.state = AS_RETREAT;
            return;
          }
          dig(m);
        } else if (f.nearest < reach) {
          fire_weapon(m);
        }
      }
    }
    if (d < EVADE_RANGE) ai.state = AS_EVADE;
    return;
  }
  if (target->alive && too_close_for_blasts(m, d)) {
    // Behind rock a step back shows nothing, and the next frame's step on would undo it:
    // dig on towards the target until it is in sight, then back off.
    if (!in_sight) {
      dig(m);
      return;
    }
    ai.state = AS_RETREAT;
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
  } else if (m->ai_module.state == AS_RETREAT) {
    movement->i += s * sa;
    movement->k += s * ca;
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
