// world state: one hash over everything a match changes, and a check that the world holds
// no NaN, no infinity and no pointer or index outside its pool.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "match/match.h"
#include "world/world.h"

namespace vurkhold {

namespace {

// FNV-1a over the values field by field, never over whole records: padding bytes and
// pointers would differ between runs that played the same game.
struct HASH {
  uint64_t h = FNV_START;

  void bytes(const void* data, size_t n) { h = fnv1a(h, data, n); }
  void i(int64_t v) { bytes(&v, sizeof v); }
  void f(float v) { bytes(&v, sizeof v); }
  void p(const XYZ& v) {
    f(v.x);
    f(v.y);
    f(v.z);
  }
  void v(const IJK& v) {
    f(v.i);
    f(v.j);
    f(v.k);
  }
  // A pointer into a pool as its index there, -1 for none.
  template <typename T>
  void at(const T* item, const T* pool) {
    i(item ? item - pool : -1);
  }
};

void hash_vurk(HASH* s, const VURK_& v) {
  s->i(v.num);
  s->i(v.team);
  s->i(v.type);
  s->i(v.alive);
  s->i(v.frags);
  s->i(v.lives);
  s->i(v.tag);
  s->f(v.life);
  s->p(v.p);
  s->p(v.pp);
  s->f(v.angle);
  s->f(v.angle2);
  s->v(v.movement);
  for (const WEAPON& w : v.weapons) {
    s->i(w.num);
    s->i(w.ammo);
    s->i(w.loading);
    s->i(w.delay);
  }
  s->i(v.weapon);
  s->p(v.rope_p);
  s->v(v.rope_m);
  s->i(v.rope_state);
  s->i(v.jet_counter);
  s->i(v.dig_delay);
  s->i(v.respawn_delay);
  s->i(v.item);
  s->i(v.animation);
  s->f(v.animations[0].frame);
  s->f(v.animations[1].frame);
  s->i(v.ai_module.counter);
  s->i(v.ai_module.stuck_counter);
  s->at(v.ai_module.target, vurk);
  s->i(v.ai_module.state);
  s->f(v.ai_module.distance);
  s->i(v.jump);
}

struct CHECK {
  char* out;
  int size;
  bool ok = true;

  void fail(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    if (!ok) return;
    ok = false;
    va_list args;
    va_start(args, format);
    std::vsnprintf(out, static_cast<size_t>(size), format, args);
    va_end(args);
  }
  void number(float value, const char* what, int n) {
    if (!std::isfinite(value)) fail("%s %d is not a finite number", what, n);
  }
  void point(const XYZ& p, const char* what, int n) {
    number(p.x, what, n);
    number(p.y, what, n);
    number(p.z, what, n);
  }
  void vector(const IJK& v, const char* what, int n) {
    number(v.i, what, n);
    number(v.j, what, n);
    number(v.k, what, n);
  }
  void index(int value, int limit, const char* what) {
    if (value < 0 || value >= limit) fail("%s is %d, outside 0..%d", what, value, limit - 1);
  }
  // A light borrowed by a bullet or an explosion: one of the free lights, or none.
  void borrowed(const LIGHT* l, const char* what, int n) {
    if (l && (l < light + FIRST_FREE_LIGHT || l >= light + MAX_LIGHTS)) fail("%s %d holds a light outside 4..11", what, n);
  }
};

}  // namespace

uint64_t fnv1a(uint64_t h, const void* data, size_t n) {
  const auto* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < n; i++) {
    h ^= p[i];
    h *= 1099511628211ull;
  }
  return h;
}

uint64_t give_world_hash() {
  HASH s;
  for (const VURK_& v : vurk) hash_vurk(&s, v);
  for (int n = 0; n < MAX_LIGHTS; n++) {
    const LIGHT& l = light[n];
    s.i(l.alive);
    s.p(l.p);
    s.f(l.range);
    s.bytes(l.color, sizeof l.color);
  }
  for (int n = 0; n < MAX_BULLETS; n++) {
    const BULLET& b = bullet[n];
    s.i(b.alive);
    if (!b.alive) continue;
    s.at(b.type, bullet_type);
    s.p(b.p);
    s.v(b.m);
    s.f(b.heading);
    s.f(b.pitch);
    s.i(b.time);
    s.i(b.emit_counter);
    s.i(b.trail_counter);
    s.at(b.light, light);
    s.i(b.tag);
  }
  for (int n = 0; n < MAX_EXPLOSIONS; n++) {
    const EXPLOSION& e = explosion[n];
    s.i(e.alive);
    if (!e.alive) continue;
    s.p(e.p);
    s.i(e.frame);
    s.f(e.time);
    s.f(e.size);
    s.at(e.light, light);
  }
  for (int n = 0; n < MAX_PARTICLES; n++) {
    const PARTICLE& q = particle[n];
    s.i(q.alive);
    if (!q.alive) continue;
    s.p(q.p);
    s.v(q.m);
    s.bytes(q.color, sizeof q.color);
    s.i(q.max_life);
    s.i(q.life);
    s.f(q.rotation);
  }
  for (int n = 0; n < MAX_BULLETHOLES; n++) {
    const BULLETHOLE& h = bullethole[n];
    s.i(h.alive);
    if (!h.alive) continue;
    s.p(h.p);
    s.f(h.angle1);
    s.f(h.angle2);
  }
  for (int n = 0; n < VOXELS; n++) s.f(voxel[n].value);
  s.i(next_bullet);
  s.i(next_explosion);
  s.i(next_particle);
  s.i(next_bullethole);
  for (int t : team_frags) s.i(t);
  s.i(winner);
  s.f(radar_angle);
  s.i(game_rand_state());
  return s.h;
}

int check_world(char* problem, int size) {
  CHECK c = {problem, size};
  if (size > 0) problem[0] = '\0';
  c.index(next_bullet, MAX_BULLETS, "next_bullet");
  c.index(next_explosion, MAX_EXPLOSIONS, "next_explosion");
  c.index(next_particle, MAX_PARTICLES, "next_particle");
  c.index(next_bullethole, MAX_BULLETHOLES, "next_bullethole");
  c.number(radar_angle, "radar angle", 0);
  for (int n = 0; n < MAX_VURKS; n++) {
    const VURK_& v = vurk[n];
    c.point(v.p, "vurk", n);
    c.point(v.pp, "vurk", n);
    c.vector(v.movement, "vurk", n);
    c.point(v.rope_p, "vurk", n);
    c.vector(v.rope_m, "vurk", n);
    c.number(v.angle, "vurk", n);
    c.number(v.angle2, "vurk", n);
    c.number(v.life, "vurk", n);
    c.number(v.ai_module.distance, "vurk", n);
    if (v.weapon >= WEAPON_SLOTS) c.fail("vurk %d holds weapon slot %d", n, v.weapon);
    if (v.light != &light[n]) c.fail("vurk %d does not hold light %d", n, n);
    if (v.tag >= MAX_VURKS) c.fail("vurk %d was hit by vurk %d", n, v.tag);
  }
  for (int n = 0; n < MAX_LIGHTS; n++) {
    c.point(light[n].p, "light", n);
    c.number(light[n].range, "light", n);
  }
  for (int n = 0; n < MAX_BULLETS; n++) {
    const BULLET& b = bullet[n];
    if (!b.alive) continue;
    c.point(b.p, "bullet", n);
    c.vector(b.m, "bullet", n);
    c.number(b.heading, "bullet", n);
    c.number(b.pitch, "bullet", n);
    c.borrowed(b.light, "bullet", n);
    if (!b.type || b.type < bullet_type || b.type >= bullet_type + bullet_types) c.fail("bullet %d has no bullet type", n);
    if (b.tag >= MAX_VURKS) c.fail("bullet %d was fired by vurk %d", n, b.tag);
    const int w = match_stats.bullet_weapon[n];
    if (w < -1 || w >= weapons) c.fail("bullet %d was fired by weapon %d", n, w);
  }
  for (int n = 0; n < MAX_EXPLOSIONS; n++) {
    const EXPLOSION& e = explosion[n];
    if (!e.alive) continue;
    c.point(e.p, "explosion", n);
    c.number(e.time, "explosion", n);
    c.borrowed(e.light, "explosion", n);
    if (e.frame < 0 || e.frame > 16) c.fail("explosion %d shows frame %d", n, e.frame);
  }
  for (int n = 0; n < MAX_PARTICLES; n++) {
    const PARTICLE& q = particle[n];
    if (!q.alive) continue;
    c.point(q.p, "particle", n);
    c.vector(q.m, "particle", n);
    c.number(q.rotation, "particle", n);
    for (float k : q.color) c.number(k, "particle", n);
  }
  for (int n = 0; n < MAX_BULLETHOLES; n++) {
    const BULLETHOLE& h = bullethole[n];
    if (!h.alive) continue;
    c.point(h.p, "bullet hole", n);
    c.number(h.angle1, "bullet hole", n);
    c.number(h.angle2, "bullet hole", n);
  }
  for (int n = 0; n < VOXELS; n++)
    if (!std::isfinite(voxel[n].value)) {
      c.fail("voxel %d is not a finite number", n);
      break;
    }
  return c.ok ? 1 : 0;
}

}  // namespace vurkhold
