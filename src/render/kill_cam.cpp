// kill-cam: a ring of the last seconds of what the views draw, and while a human player's
// vurk waits to respawn, that view's replay of its death through the killer's eyes.
#include <cstring>

#include "render/render.h"

namespace vurkhold {

namespace {

// An entry is taken at most every ENTRY_MS of match time, so the ring reaches back
// KILL_CAM_MS at any frame rate. The spare entries are for deaths, which are always taken at
// once, and for the replay's own frames: a replay runs KILL_CAM_MS behind the match, so the
// entry it shows must outlive that long a ring.
constexpr int KILL_CAM_MS = 3000;
constexpr int ENTRY_MS = 16;
constexpr int RING_ENTRIES = KILL_CAM_MS / ENTRY_MS + 16;
constexpr int SKIP_KEY[HUMAN_PLAYERS] = {VK_RETURN, 'Q'};

// The drawn state of the pools at one moment. Only the drawing reads it: the match never
// sees an entry, so a match plays the same with the kill-cam on or off.
struct KILL_CAM_ENTRY {
  int64_t clock;
  VURK_ vurks[MAX_VURKS];
  BULLET bullets[MAX_BULLETS];
  EXPLOSION explosions[MAX_EXPLOSIONS];
  PARTICLE particles[MAX_PARTICLES];
  LIGHT lights[MAX_LIGHTS];
};

KILL_CAM_ENTRY ring[RING_ENTRIES];
KILL_CAM_ENTRY live;  // the pools as the match left them, while a replay is drawn
int entries = 0;      // taken so far, up to RING_ENTRIES
int newest = -1;

struct REPLAY {
  const VURK_* watched;  // the view's vurk when last seen
  int was_alive;
  int running;
  int64_t death;  // match clock of the death
  int eyes;       // the vurk whose eyes it shows
};
REPLAY replay[HUMAN_PLAYERS];

VURK_* view_vurk(int player) { return player == 0 ? vurk_to_render_1 : vurk_to_render_2; }

void copy_pools_to(KILL_CAM_ENTRY* e) {
  e->clock = match_stats.clock;
  std::memcpy(e->vurks, vurk, sizeof e->vurks);
  std::memcpy(e->bullets, bullet, sizeof e->bullets);
  std::memcpy(e->explosions, explosion, sizeof e->explosions);
  std::memcpy(e->particles, particle, sizeof e->particles);
  std::memcpy(e->lights, light, sizeof e->lights);
}

void copy_pools_from(const KILL_CAM_ENTRY* e) {
  std::memcpy(vurk, e->vurks, sizeof e->vurks);
  std::memcpy(bullet, e->bullets, sizeof e->bullets);
  std::memcpy(explosion, e->explosions, sizeof e->explosions);
  std::memcpy(particle, e->particles, sizeof e->particles);
  std::memcpy(light, e->lights, sizeof e->lights);
}

bool lives_changed(const KILL_CAM_ENTRY& e) {
  for (int i = 0; i < MAX_VURKS; i++)
    if (e.vurks[i].alive != vurk[i].alive) return true;
  return false;
}

void take_entry() {
  if (newest >= 0 && match_stats.clock < ring[newest].clock) {
    // The clock went back: another match began, and nothing of the last one is replayed.
    entries = 0, newest = -1;
    for (REPLAY& r : replay) r = {};
  }
  if (newest >= 0 && match_stats.clock - ring[newest].clock < ENTRY_MS && !lives_changed(ring[newest])) return;
  newest = (newest + 1) % RING_ENTRIES;
  if (entries < RING_ENTRIES) entries++;
  copy_pools_to(&ring[newest]);
}

// The latest entry taken at or before `clock`, or the oldest there is when the ring does not
// reach back so far (a death early in the match).
const KILL_CAM_ENTRY* entry_at(int64_t clock) {
  const KILL_CAM_ENTRY* found = &ring[(newest - entries + 1 + RING_ENTRIES) % RING_ENTRIES];
  for (int n = 0; n < entries; n++) {
    const KILL_CAM_ENTRY* e = &ring[(newest - entries + 1 + n + RING_ENTRIES) % RING_ENTRIES];
    if (e->clock <= clock) found = e;
  }
  return found;
}

bool skip_pressed(int player) {
  platform::Pad pad;
  return keys[SKIP_KEY[player]] ||
         (platform::read_pad(player_pad[player], &pad) && (pad.buttons & 1u << platform::PAD_A));
}

}  // namespace

void update_kill_cam() {
  take_entry();
  for (int p = 0; p < HUMAN_PLAYERS; p++) {
    REPLAY& r = replay[p];
    const VURK_* v = view_vurk(p);
    if (!v || v != r.watched) {
      r = {v, v && v->alive, 0, 0, 0};
      continue;
    }
    if (r.was_alive && !v->alive && v->type == MLT_HUMAN && KILL_CAM) {
      // Whoever fired the last bullet to touch it; its own eyes for a self-kill.
      const int tag = v->tag < MAX_VURKS ? v->tag : v->num;
      r.running = 1, r.death = match_stats.clock, r.eyes = tag;
    }
    r.was_alive = v->alive;
    // Running KILL_CAM_MS behind the match, the replay reaches the death's own frame as the
    // wait would end; it ends earlier with a respawn or the skip key.
    if (match_stats.clock - KILL_CAM_MS >= r.death || v->alive || skip_pressed(p)) r.running = 0;
  }
}

bool kill_cam_running(int player) { return player >= 0 && player < HUMAN_PLAYERS && replay[player].running; }

void render_player_view(int player) {
  if (!kill_cam_running(player)) {
    game_render(view_vurk(player));
    return;
  }
  const REPLAY& r = replay[player];
  copy_pools_to(&live);
  copy_pools_from(entry_at(match_stats.clock - KILL_CAM_MS));
  const CAMERA_MODE mode = camera_mode;
  camera_mode = CM_FIRST_PERSON;
  game_render(&vurk[r.eyes]);
  camera_mode = mode;
  copy_pools_from(&live);
}

}  // namespace vurkhold
