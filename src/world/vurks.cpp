// vurks: one frame of a vurk (respawn, death, movement, rope, timers) and the actions and
// body points its controller uses.
#include <algorithm>
#include <cmath>

#include "geometry/geometry.h"
#include "terrain/terrain.h"
#include "world/world.h"

namespace vurkhold {

namespace {

// Velocities are in units per millisecond, so every rate below is per millisecond too.
constexpr float GRAVITY = 0.00001f;
constexpr float JUMP_SPEED = 0.005f;
constexpr float ANIMATION_SPEED = 0.03f;  // frames per ms
constexpr float ROPE_PULL = 0.000005f;    // per ms per unit of rope
constexpr float JETPACK_THRUST = 0.000015f;
constexpr float JETPACK_TOP_SPEED = 0.003f;
constexpr int JETPACK_PUFF_MS = 150;
constexpr uint16_t JETPACK_PUFF_LIFE = 1000;
constexpr float MUZZLE_OFFSET = 0.49f;
constexpr float LIFE_AT_RESPAWN = 100.0f;
constexpr int RESPAWN_TRIES = 100;
constexpr float RESPAWN_HOLE = 2.0f;
constexpr float DIG_HOLE = 1.2f;
constexpr int DEATH_PARTICLES = 50;
constexpr float DEATH_SPEED = 0.004f;
constexpr uint16_t DEATH_LIFE = 5000;
constexpr float EMPTY_ENOUGH = 0.5f;  // a spawn point needs a density of at most this

XYZ moved(XYZ p, IJK d) { return {p.x + d.i, p.y + d.j, p.z + d.k}; }

IJK scaled(IJK v, float s) { return {v.i * s, v.j * s, v.k * s}; }

}  // namespace

bool is_spawn_point(int x, int y, int z) {
  if (voxel[voxel_index(x, y, z)].value > EMPTY_ENOUGH) return false;
  const XYZ p = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
  for (int r = 0; r < std::min(rocks, MAX_ROCKS); r++)
    if (give_distance(&p, &rock[r].p) <= rock[r].radius + VURK_COLLISION_RADIUS) return false;
  return true;
}

namespace {

void respawn(VURK_* m) {
  m->respawn_delay = 0;
  m->alive = 1;
  m->life = LIFE_AT_RESPAWN;
  for (WEAPON& w : m->weapons) {
    w.loading = 0;
    w.delay = 0;
    w.ammo = w.type ? w.type->ammo_per_clip : 0;
  }
  m->angle = m->angle2 = 0.0f;
  m->movement = {0.0f, 0.0f, 0.0f};
  m->rope_state = NRS_IN;

  XYZ p = {0.0f, 0.0f, 0.0f};
  for (int t = 0; t < RESPAWN_TRIES; t++) {
    const int x = 2 + game_rand() % 28;
    const int y = 2 + game_rand() % 28;
    const int z = 2 + game_rand() % 28;
    p = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    if (is_spawn_point(x, y, z)) break;
  }
  m->p = p;
  make_hole(p, RESPAWN_HOLE);
  if (m->light) {
    m->light->alive = 1;
    m->light->p = p;
  }
  m->pp = p;
}

// A kill goes to the weapon that last touched the victim: an enemy's kill, or a self-kill.
void count_death(const VURK_* m) {
  if (m->num >= MAX_VURKS) return;
  MATCH_STATS& s = match_stats;
  const int w = s.hit_weapon[m->num];
  s.hit_weapon[m->num] = -1;
  if (w < 0 || w >= MAX_WEAPON_TYPES) return;
  if (m->tag == m->num) {
    s.self_kills[w]++;
  } else if (m->tag < MAX_VURKS && vurk[m->tag].team != m->team) {
    s.kills[w]++;
    s.kill_ms[w] += s.clock - s.first_hit[m->num];
  }
}

void die(VURK_* m) {
  count_death(m);
  if (m->tag == m->num) {
    m->frags--;
  } else if (m->tag < MAX_VURKS && vurk[m->tag].team != m->team) {
    vurk[m->tag].frags++;
  }
  m->life = 0.0f;
  m->lives--;
  m->alive = 0;
  m->respawn_delay = RESPAWN_DELAY;
  if (m->light) m->light->alive = 0;
  for (int i = 0; i < DEATH_PARTICLES; i++) {
    const IJK spray = give_random_direction(DEATH_SPEED);
    add_particle(&m->p, &spray, red, DEATH_LIFE);
  }
  platform::sample_play_at(death_sound, m->p.x, m->p.y, m->p.z);
}

// Up to three sweeps, each sliding along what the one before met. Any contact stops the
// vurk's own velocity.
void move(VURK_* m, IJK step) {
  XYZ result;
  IJK normal, slide;
  m->pp = m->p;
  if (!test_sphere_collisions(m->p, VURK_COLLISION_RADIUS, step, &result, &normal, &slide)) {
    m->p = moved(m->p, step);
    return;
  }
  m->movement = {0.0f, 0.0f, 0.0f};
  for (int sweep = 1; sweep < 3; sweep++) {
    m->p = result;
    const IJK rest = slide;
    if (!test_sphere_collisions(m->p, VURK_COLLISION_RADIUS, rest, &result, &normal, &slide)) {
      m->p = moved(m->p, rest);
      return;
    }
  }
  m->p = result;
}

void nurse_rope(VURK_* m, unsigned frame_time) {
  const float ft = static_cast<float>(frame_time);
  if (m->rope_state == NRS_FLYING) {
    const IJK step = scaled(m->rope_m, ft);
    XYZ hit;
    IJK normal;
    if (test_point_collisions(m->rope_p, step, &hit, &normal) != CT_NO_COLLISION) {
      m->rope_p = hit;
      m->rope_state = NRS_ATTACHED;
    } else {
      m->rope_p = moved(m->rope_p, step);
    }
  }
  // A spring with no rest length: the farther the anchor, the harder the pull.
  if (m->rope_state == NRS_ATTACHED) {
    IJK pull;
    make_vector(&m->p, &m->rope_p, &pull);
    m->movement.i += ROPE_PULL * ft * pull.i;
    m->movement.j += ROPE_PULL * ft * pull.j;
    m->movement.k += ROPE_PULL * ft * pull.k;
  }
}

// Only the selected weapon cools down and reloads; the others wait as they are.
void nurse_weapon(WEAPON* w, unsigned frame_time) {
  const int ft = static_cast<int>(frame_time);
  if (w->delay > 0) w->delay = std::max(0, w->delay - ft);
  if (w->loading > 0) {
    w->loading -= ft;
    if (w->loading <= 0) {
      w->loading = 0;
      w->ammo = w->type ? w->type->ammo_per_clip : 0;
      w->delay = 0;
    }
  }
}

}  // namespace

IJK give_vurk_weapon_direction(const VURK_* m, float power) {
  const float a = rad(m->angle);
  const float b = rad(m->angle2);
  return {-power * std::sin(a) * std::cos(b), power * std::sin(b), -power * std::cos(a) * std::cos(b)};
}

IJK give_random_vurk_weapon_direction(const VURK_* m, float power, int variation) {
  const IJK aim = give_vurk_weapon_direction(m, 1.0f);
  return random_direction(&aim, rad(static_cast<float>(variation)), power);
}

XYZ give_vurk_weapon_point(const VURK_* m) { return moved(m->p, give_vurk_weapon_direction(m, MUZZLE_OFFSET)); }

XYZ give_vurk_rope_point(const VURK_* m) {
  const float a = rad(m->angle);
  return {m->p.x + 0.25f * std::cos(a), m->p.y + 0.45f, m->p.z - 0.25f * std::sin(a)};
}

XYZ give_vurk_jp(const VURK_* m) { return {m->p.x, m->p.y - 0.511f, m->p.z}; }

void fire_weapon(VURK_* m) {
  if (!m || !m->alive || m->weapon >= WEAPON_SLOTS) return;
  WEAPON& w = m->weapons[m->weapon];
  if (w.delay > 0 || w.loading > 0 || !w.type) return;
  const WEAPON_TYPE* wt = w.type;
  const XYZ muzzle = give_vurk_weapon_point(m);
  const int shots = std::min(wt->bullets_per_shot, MAX_BULLETS);
  for (int i = 0; i < shots; i++)
    add_bullet(muzzle, give_random_vurk_weapon_direction(m, wt->bullet_speed, wt->variation), wt->ammo_type, m->num,
               w.num);
  if (w.num >= 0 && w.num < MAX_WEAPON_TYPES) match_stats.shots[w.num]++;
  w.delay = wt->fire_rate;
  w.ammo--;
  if (w.ammo <= 0) w.loading = wt->load_time;
  platform::sample_play_at(wt->sound, muzzle.x, muzzle.y, muzzle.z);
}

void dig(VURK_* m) {
  if (!m || !m->alive || m->dig_delay > 0) return;
  m->dig_delay = DIG_DELAY;
  const IJK d = give_vurk_weapon_direction(m, 1.5f);
  make_hole(moved(m->p, scaled(d, 0.5f)), DIG_HOLE);
  make_hole(moved(m->p, d), DIG_HOLE);
}

void use_jetpack(VURK_* m, unsigned frame_time) {
  if (!m || !m->alive || m->movement.j >= JETPACK_TOP_SPEED) return;
  m->movement.j += JETPACK_THRUST * static_cast<float>(frame_time);
  m->jet_counter += static_cast<int>(frame_time);
  if (m->jet_counter >= JETPACK_PUFF_MS) {
    m->jet_counter -= JETPACK_PUFF_MS;
    const XYZ nozzle = give_vurk_jp(m);
    add_particle(&nozzle, &jetpack_spray, gray, JETPACK_PUFF_LIFE);
  }
}

void control_vurk(VURK_* m, unsigned frame_time) {
  if (m->alive && m->life > 0.0f && m->control) m->control(m, frame_time);
}

void move_vurk(VURK_* m, unsigned frame_time) {
  const float ft = static_cast<float>(frame_time);
  if (!m->alive) {
    if (m->lives <= 0 || m->type == MLT_OFF) return;
    m->respawn_delay -= static_cast<int>(frame_time);
    if (m->respawn_delay > 0) return;
    respawn(m);
    return;
  }
  if (m->life <= 0.0f) {
    die(m);
    return;
  }

  ANIMATION& running = m->animations[m->animation == 1 ? 1 : 0];
  running.frame += ANIMATION_SPEED * ft;
  if (running.frame >= running.end) running.frame -= running.lenght;

  XYZ result;
  IJK normal, slide;
  const int supported =
      test_sphere_collisions(m->p, VURK_COLLISION_RADIUS, {0.0f, -0.01f, 0.0f}, &result, &normal, &slide);
  if (!supported)
    m->movement.j -= GRAVITY * ft;
  else if (m->jump && m->movement.j < JUMP_SPEED)
    m->movement.j = JUMP_SPEED;

  IJK step = scaled(m->movement, ft);
  m->animation = 0;
  if (m->find_movement_vector) m->find_movement_vector(m, &step, frame_time);
  move(m, step);

  if (m->light) {
    m->light->p = m->p;
    m->light->range = static_cast<float>(CANTLE_LIGHT_RANGE);
  }
  nurse_rope(m, frame_time);
  if (m->weapon < WEAPON_SLOTS) nurse_weapon(&m->weapons[m->weapon], frame_time);
  if (m->dig_delay > 0) m->dig_delay = std::max(0, m->dig_delay - static_cast<int>(frame_time));
}

void nurse_vurk(VURK_* m, unsigned frame_time) {
  control_vurk(m, frame_time);
  move_vurk(m, frame_time);
}

}  // namespace vurkhold
