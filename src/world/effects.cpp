// effects: the light, explosion, bullet-hole and particle pools and the explosions' ageing.
#include <algorithm>
#include <cmath>

#include "geometry/geometry.h"
#include "world/world.h"

namespace vurkhold {

namespace {

void switch_off(LIGHT* l) {
  if (l) l->alive = 0;
}

}  // namespace

void give_heading_and_pitch(IJK d, float* heading, float* pitch) {
  normalize_vector(&d);
  *pitch = deg(std::asin(std::clamp(d.j, -1.0f, 1.0f)));
  d.j = 0.0f;
  normalize_vector(&d);  // straight up or down stays zero: heading 90
  *heading = deg(std::acos(std::clamp(-d.k, -1.0f, 1.0f)));
  if (d.i > 0.0f) *heading = -*heading;
}

LIGHT* get_free_light() {
  for (int i = FIRST_FREE_LIGHT; i < MAX_LIGHTS; i++)
    if (!light[i].alive) return &light[i];
  return nullptr;
}

IJK give_random_direction(float lenght) {
  // Two draws in this order: heading first, then pitch.
  const float a1 = rad(static_cast<float>(game_rand() % 360));
  const float a2 = rad(static_cast<float>(game_rand() % 360));
  return {-lenght * std::sin(a1) * std::cos(a2), lenght * std::sin(a2), -lenght * std::cos(a1) * std::cos(a2)};
}

void add_explosion(XYZ p, float size) {
  EXPLOSION& e = explosion[next_explosion];
  // A slot still running loses its light first; nothing would ever switch it off again.
  if (e.alive) switch_off(e.light);
  e.p = p;
  e.size = size;
  e.alive = 1;
  e.frame = 0;
  e.time = 0.0f;
  e.light = get_free_light();
  if (e.light) {
    e.light->alive = 1;
    e.light->range = 4.0f * size * size;
    e.light->p = p;
    e.light->color[0] = 1.0f;
    e.light->color[1] = 1.0f;
    e.light->color[2] = 0.0f;
  }
  next_explosion = (next_explosion + 1) % MAX_EXPLOSIONS;
  platform::sample_play_at(explosion_sound, p.x, p.y, p.z);
}

void nurse_explosions(unsigned frame_time) {
  for (int i = 0; i < MAX_EXPLOSIONS; i++) {
    EXPLOSION& e = explosion[i];
    if (!e.alive) continue;
    // time is in seconds; frame_time is whole milliseconds.
    e.time += static_cast<float>(frame_time) / 1000.0f;
    if (e.light) e.light->range = 5.0f * e.size * e.size * std::sin(3.141592f * e.time);
    if (e.time >= 1.0f) {
      e.alive = 0;
      switch_off(e.light);
      e.light = nullptr;
    }
    e.frame = static_cast<int>(16.0f * e.time);
  }
}

void add_bullethole(XYZ p, IJK normal) {
  BULLETHOLE& h = bullethole[next_bullethole];
  next_bullethole = (next_bullethole + 1) % MAX_BULLETHOLES;
  h.alive = 1;
  h.p = p;
  give_heading_and_pitch(normal, &h.angle1, &h.angle2);
}

void add_particle(const XYZ* p, const IJK* m, const float* color, uint16_t life) {
  PARTICLE& q = particle[next_particle];
  q.p = *p;
  q.m = m ? *m : IJK{0.0f, 0.0f, 0.0f};
  q.color[0] = color[0];
  q.color[1] = color[1];
  q.color[2] = color[2];
  q.color[3] = 1.0f;
  q.type = 0;
  q.size = 0.2f;
  q.rotation = 0.0f;
  q.max_life = life;
  q.life = life;
  q.alive = 1;
  next_particle = (next_particle + 1) % MAX_PARTICLES;
}

}  // namespace vurkhold
