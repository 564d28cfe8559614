// bullets: the bullet pool, a bullet's flight and what it does when it meets the world,
// a vurk or the end of its life.
#include <algorithm>
#include <cmath>
#include <climits>
#include <cstdint>

#include "geometry/geometry.h"
#include "terrain/terrain.h"
#include "world/world.h"

namespace vurkhold {

namespace {

// Gravity and drag are given per millisecond in hundred-thousandths.
constexpr float BOUNCE_PUSH_OFF = 0.0001f;
constexpr float BLOOD_SPEED = 0.005f;
constexpr uint16_t BLOOD_LIFE = 5000;

// The lifetime offset: life * variation * (r - 50) / 100, truncated toward zero. Formed in
// double and held within int, as a variation read from a file may be large.
int give_time_offset(const BULLET_TYPE* bt, int r) {
  const double t = static_cast<double>(bt->life) * bt->life_variation * (r - 50) / 100.0;
  if (!(t > INT_MIN)) return INT_MIN;
  if (!(t < INT_MAX)) return INT_MAX;
  return static_cast<int>(t);
}

// The weapon that fired b, from beside the pool; -1 for a bullet outside the pool.
int weapon_of(const BULLET* b) {
  const auto at = reinterpret_cast<uintptr_t>(b), first = reinterpret_cast<uintptr_t>(bullet);
  if (!bullet || at < first || at >= first + sizeof(BULLET) * MAX_BULLETS) return -1;
  return match_stats.bullet_weapon[(at - first) / sizeof(BULLET)];
}

// The bullet's vurk and weapon now own whatever befalls v; a run of touches by the same
// vurk and weapon keeps the time of its first.
void count_touch(const BULLET* b, const VURK_* v) {
  if (v->num >= MAX_VURKS) return;
  MATCH_STATS& s = match_stats;
  const int weapon = weapon_of(b);
  if (s.hit_weapon[v->num] < 0 || s.hit_weapon[v->num] != weapon || s.hit_tag[v->num] != b->tag)
    s.first_hit[v->num] = s.clock;
  s.hit_weapon[v->num] = static_cast<int8_t>(weapon);
  s.hit_tag[v->num] = b->tag;
}

void hit_vurk(BULLET* b, VURK_* v, const IJK* normal) {
  switch (b->type->vurk_hit) {
    case BHA_EXPLODE:
      explode_bullet(b, nullptr);
      break;
    case BHA_DISAPPEAR:
      remove_bullet(b);
      break;
    case BHA_BOUNCE:
      reflect_vector(&b->m, normal, 1.0f);
      break;
    case BHA_DAMAGE: {
      v->life -= b->type->damage;
      // Credit for the death goes only with a hurt: a bullet that bounces off, vanishes or
      // does no damage leaves the last one who hurt the vurk its killer.
      if (b->type->damage > 0.0f) {
        const IJK spray = give_random_direction(BLOOD_SPEED);
        add_particle(&v->p, &spray, red, BLOOD_LIFE);
        v->tag = b->tag;
        count_touch(b, v);
      }
      remove_bullet(b);
      break;
    }
  }
}

void hit_wall(BULLET* b, const IJK* normal) {
  switch (b->type->wall_hit) {
    case BHA_EXPLODE:
      explode_bullet(b, normal);
      break;
    case BHA_DISAPPEAR:
    case BHA_DAMAGE:
      remove_bullet(b);
      break;
    case BHA_BOUNCE:
      b->p.x += normal->i * BOUNCE_PUSH_OFF;
      b->p.y += normal->j * BOUNCE_PUSH_OFF;
      b->p.z += normal->k * BOUNCE_PUSH_OFF;
      reflect_vector(&b->m, normal, b->type->bounce);
      break;
  }
}

bool outside_world(const XYZ& p) {
  return p.x < 0.0f || p.y < 0.0f || p.z < 0.0f || p.x >= GRID_SIZE || p.y >= GRID_SIZE || p.z >= GRID_SIZE;
}

}  // namespace

BULLET* get_free_bullet() {
  for (int probe = 0; probe < BULLET_PROBES; probe++) {
    BULLET* b = &bullet[next_bullet];
    next_bullet = (next_bullet + 1) % MAX_BULLETS;
    if (!b->alive) return b;
  }
  return nullptr;
}

void add_bullet(XYZ p, IJK m, BULLET_TYPE* bt, uint8_t tag, int weapon) {
  if (!bt) return;
  BULLET* b = get_free_bullet();
  if (!b) return;
  b->type = bt;
  b->p = p;
  b->m = m;
  b->tag = tag;
  match_stats.bullet_weapon[b - bullet] = static_cast<int8_t>(weapon >= 0 && weapon < MAX_WEAPON_TYPES ? weapon : -1);
  b->alive = 1;
  b->emit_counter = b->trail_counter = 0;
  b->time = give_time_offset(bt, game_rand() % 100);
  give_heading_and_pitch(m, &b->heading, &b->pitch);
  b->light = nullptr;
  if (bt->light_range > 0.0f) {
    b->light = get_free_light();
    if (b->light) {
      // Lit where it is born: the slot's old position would shine for a frame.
      b->light->alive = 1;
      b->light->p = p;
      b->light->range = bt->light_range;
      b->light->color[0] = bt->light_color[0];
      b->light->color[1] = bt->light_color[1];
      b->light->color[2] = bt->light_color[2];
    }
  }
}

void remove_bullet(BULLET* b) {
  b->alive = 0;
  if (b->light) b->light->alive = 0;
}

void explode_bullet(BULLET* b, const IJK* normal) {
  const BULLET_TYPE* bt = b->type;
  if (bt->hole_size >= MIN_EXPLOSION_SIZE) {
    make_hole(b->p, bt->hole_size);
    add_explosion(b->p, bt->hole_size);
    // The blast hurts everyone inside it alike, the shooter too.
    const float reach = bt->hole_size + VURK_COLLISION_RADIUS;
    for (VURK_& v : vurk) {
      if (!v.alive || !(give_distance(&b->p, &v.p) < reach)) continue;
      v.life -= bt->damage;
      if (!(bt->damage > 0.0f)) continue;
      v.tag = b->tag;
      count_touch(b, &v);
    }
  } else if (normal && bt->hole_size > 0.0f) {
    add_bullethole(b->p, *normal);
  }
  if (bt->cluster >= 0 && bt->cluster < bullet_types)
    for (int i = 0; i < bt->clusters; i++)
      add_bullet(b->p, give_random_direction(bt->cluster_speed), &bullet_type[bt->cluster], b->tag, weapon_of(b));
  remove_bullet(b);
}

void nurse_bullet(BULLET* b, unsigned frame_time) {
  if (!b->alive) return;
  const BULLET_TYPE* bt = b->type;
  const float ft = static_cast<float>(frame_time);

  // An offset held at the top of int times out here rather than wrapping round.
  b->time = static_cast<int>(std::min<long long>(static_cast<long long>(b->time) + frame_time, INT_MAX));
  if (b->time >= bt->life) {
    if (bt->timeout_action == BTA_EXPLODE)
      explode_bullet(b, nullptr);
    else
      remove_bullet(b);
    return;
  }

  b->m.j += (-FORCE_SCALE * ft) * bt->gravity;
  // Drag slows the bullet by |drag| along its flight, or stops it when that is more than
  // its speed.
  const float drag = -FORCE_SCALE * ft * bt->air_resistance;
  if (give_vector_lenght_pow2(&b->m) > drag * drag) {
    IJK d = b->m;
    normalize_vector(&d);
    b->m.i += d.i * drag;
    b->m.j += d.j * drag;
    b->m.k += d.k * drag;
  } else {
    b->m = {0.0f, 0.0f, 0.0f};
  }

  const IJK step = {b->m.i * ft, b->m.j * ft, b->m.k * ft};
  XYZ intersection;
  IJK normal;
  const COLLISION_TYPE collision = test_point_collisions(b->p, step, &intersection, &normal);
  if (collision != CT_NO_COLLISION) {
    b->p = intersection;
    if (collision >= CT_VURK1_COLLISION)
      hit_vurk(b, &vurk[collision - CT_VURK1_COLLISION], &normal);
    else
      hit_wall(b, &normal);
    return;
  }
  b->p.x += step.i;
  b->p.y += step.j;
  b->p.z += step.k;

  if (outside_world(b->p)) {
    remove_bullet(b);
    return;
  }
  if (b->light) b->light->p = b->p;

  // Emission fires when its counter passes the rate, the trail when its counter reaches it;
  // both counters are 16-bit and each gives at most one batch a frame.
  if (bt->emit >= 0 && bt->emit < bullet_types) {
    b->emit_counter = static_cast<uint16_t>(b->emit_counter + frame_time);
    if (b->emit_counter > bt->emit_rate) {
      for (int i = 0; i < bt->emit_amount; i++)
        add_bullet(b->p, give_random_direction(bt->emit_speed), &bullet_type[bt->emit], b->tag, weapon_of(b));
      b->emit_counter = static_cast<uint16_t>(b->emit_counter - bt->emit_rate);
    }
  }
  if (bt->trail >= 0) {
    b->trail_counter = static_cast<uint16_t>(b->trail_counter + frame_time);
    if (b->trail_counter >= bt->trail_rate) {
      add_particle(&b->p, nullptr, bt->trail_color, static_cast<uint16_t>(std::clamp(bt->trail_life, 0, 65535)));
      b->trail_counter = static_cast<uint16_t>(b->trail_counter - bt->trail_rate);
    }
  }
}

}  // namespace vurkhold
