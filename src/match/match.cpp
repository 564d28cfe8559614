// match: setting up a match from the menu's choices and running it step by step, each step
// from the commands of its vurks, in steps of the clock's frames or of a fixed tick.
#include <algorithm>
#include <cmath>

#include "control/control.h"
#include "geometry/geometry.h"
#include "match/match.h"
#include "terrain/terrain.h"
#include "world/world.h"

namespace vurkhold {

namespace {

// A fresh match field is solid everywhere until the level is read over it.
constexpr float MATCH_SOLID = 100000.0f;
constexpr float SPAWN_HOLE = 1.0f;
constexpr float LIGHT_RANGE = 50.0f;
constexpr float PARTICLE_SPIN = 2.5f;  // ms per degree
constexpr float RADAR_SPEED = 75.0f;   // ms per degree

unsigned match_tick = 0;  // ms a step, 0: one step a frame of the clock's length
unsigned tick_carry = 0;  // ms the clock gave that no step has taken yet
const uint8_t* level_bytes = nullptr;  // the level game_init reads instead of the file
size_t level_size = 0;

void reset_terrain() {
  for (int i = 0; i < MAX_RENDERED_VERTEXES; i++) {
    VERTEX& v = vertex[i];
    v.p = {0.0f, 0.0f, 0.0f};
    v.u = v.w = 0.0f;
    v.color[0] = v.color[1] = v.color[2] = AMBIENT;
    index[i] = 0;
  }
  for (int i = 0; i < VOXELS; i++) voxel[i].value = MATCH_SOLID;
  for (int i = 0; i < GRIDCELLS; i++) gridcell[i].triangles = 0;
  for (int i = 0; i < OCTREE_NODES; i++) octtree[i].empty = 1;
}

// Random whole points 3..31 until one is a spawn point. A level with little or no room
// would keep the search going for ever, so after SPAWN_TRIES the points are scanned in
// order; with none open the last random point stays, and the hole carved there clears it.
XYZ find_spawn_point() {
  int x = 0, y = 0, z = 0;
  for (int t = 0; t < SPAWN_TRIES; t++) {
    x = game_rand() % 29 + 3;
    y = game_rand() % 29 + 3;
    z = game_rand() % 29 + 3;
    if (is_spawn_point(x, y, z)) return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
  }
  for (int sz = 3; sz <= 31; sz++)
    for (int sy = 3; sy <= 31; sy++)
      for (int sx = 3; sx <= 31; sx++)
        if (is_spawn_point(sx, sy, sz))
          return {static_cast<float>(sx), static_cast<float>(sy), static_cast<float>(sz)};
  return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

void set_up_vurk(VURK_* v, int i) {
  v->life = 100.0f;
  v->lives = MAX_LIVES;
  v->frags = 0;
  v->alive = 1;
  v->tag = static_cast<uint8_t>(i);
  if (v->type == MLT_OFF) {
    v->alive = 0;
    v->lives = 0;
  }
  v->p = find_spawn_point();
  make_hole(v->p, SPAWN_HOLE);
  v->pp = v->p;
  v->angle = v->angle2 = 0.0f;
  v->dig_delay = v->respawn_delay = 0;
  v->movement = {0.0f, 0.0f, 0.0f};
  v->rope_state = NRS_IN;
  v->rope_p = {0.0f, 0.0f, 0.0f};
  v->rope_m = {0.0f, 0.0f, 0.0f};
  v->jet_counter = 0;
  v->weapon = 0;
  for (WEAPON& w : v->weapons) {
    w.type = w.num >= 0 && w.num < weapons ? &weapon_type[w.num] : nullptr;
    w.ammo = w.type ? w.type->ammo_per_clip : 0;
    w.loading = 0;
    w.delay = 0;
  }
  v->animation = 0;
  v->animations[0].frame = 1.0f;
  v->animations[1].frame = 41.0f;
  v->ai_module = {0, 0, nullptr, AS_SEEKTARGET, 0.0f};
  v->find_movement_vector = nullptr;
  v->control = nullptr;
  v->jump = 0;
  if (v->type == MLT_HUMAN) {
    v->find_movement_vector = human_movement_vector;
    v->control = human_control;
  } else if (v->type == MLT_COMPUTER) {
    v->find_movement_vector = ai_find_movement_vector;
    v->control = AI;
  }
}

void nurse_particle(PARTICLE* q, unsigned ms) {
  // A particle made with no life at all has nothing to fade through.
  if (q->max_life == 0) {
    q->life = 0;
    q->alive = 0;
    return;
  }
  const float ft = static_cast<float>(ms);
  // Only a particle moving on all three axes moves; the others stay where they are.
  if (q->m.i != 0.0f && q->m.j != 0.0f && q->m.k != 0.0f) {
    const IJK step = {q->m.i * ft, q->m.j * ft, q->m.k * ft};
    XYZ hit;
    IJK normal;
    const COLLISION_TYPE c = test_point_collisions(q->p, step, &hit, &normal);
    if (c == CT_DIRT_COLLISION || c == CT_METAL_COLLISION || c == CT_ROCK_COLLISION) {
      q->p = hit;
    } else {
      q->p.x += step.i;
      q->p.y += step.j;
      q->p.z += step.k;
    }
  }
  q->rotation += ft / PARTICLE_SPIN;
  if (q->rotation >= 360.0f) q->rotation -= 360.0f;
  q->color[3] = static_cast<float>(q->life) / static_cast<float>(q->max_life);
  q->life -= static_cast<int>(ms);
  if (q->life < 1) {
    q->life = 0;
    q->alive = 0;
  }
}

// The frag limit is tested last and overrides the other rules of the same frame.
void find_winner() {
  for (int t = 0; t < 4; t++) team_frags[t] = 0;
  for (const VURK_& v : vurk)
    if (v.team >= 0 && v.team < 4) team_frags[v.team] += v.frags;

  bool two_teams = false;
  for (int i = 1; i < MAX_VURKS; i++)
    if (vurk[i].type != MLT_OFF && vurk[i].team != vurk[0].team) two_teams = true;
  if (!two_teams) return;

  for (int i = 0; i < MAX_VURKS; i++) {
    bool others_out = true;
    for (int j = 0; j < MAX_VURKS; j++)
      if (j != i && vurk[j].lives >= 1) others_out = false;
    if (others_out) winner = vurk[i].team;
  }
  // A team also wins by being the only one with lives left, as when two play against one.
  int standing = -1;
  bool one_team = true;
  for (const VURK_& v : vurk) {
    if (v.lives < 1) continue;
    if (standing >= 0 && v.team != standing) one_team = false;
    standing = v.team;
  }
  if (standing >= 0 && one_team) winner = standing;

  for (int t = 0; t < 4; t++)
    if (team_frags[t] >= FRAG_LIMIT) winner = t;
}

}  // namespace

void use_level_bytes(const uint8_t* bytes, size_t size) {
  level_bytes = bytes;
  level_size = size;
}

const uint8_t* give_level_bytes(size_t* size) {
  *size = level_size;
  return level_bytes;
}

void give_vurk_to_computer(int i) {
  VURK_* v = &vurk[i];
  if (v->type != MLT_HUMAN) return;
  v->type = MLT_COMPUTER;
  v->find_movement_vector = ai_find_movement_vector;
  v->control = AI;
}

void noted_step(unsigned ms, const VURK_COMMAND* commands, bool hash, STEP_NOTE* note) {
  note->alive_before = 0;
  for (int i = 0; i < MAX_VURKS; i++)
    if (vurk[i].alive) note->alive_before = static_cast<uint8_t>(note->alive_before | 1 << i);
  match_step(ms, commands);
  note->alive_after = 0;
  for (int i = 0; i < MAX_VURKS; i++) {
    if (vurk[i].alive) note->alive_after = static_cast<uint8_t>(note->alive_after | 1 << i);
    note->tag[i] = vurk[i].tag;
  }
  note->winner = static_cast<int8_t>(winner);
  note->hash = hash ? give_world_hash() : 0;
  note->sound = static_cast<uint8_t>(check_world(note->problem, sizeof note->problem));
}

int game_init() {
  reset_terrain();
  if (!(level_bytes ? load_level_bytes(level_bytes, level_size, level_to_use) : load_level_file(level_to_use))) return 0;

  // A rock reaches as far as its model's farthest corner times its size. The model keeps
  // that reach squared; below 1 the square is the smaller, so the larger of the two is
  // taken, which is the square itself for models that reach 1 or more.
  for (int r = 0; r < rocks; r++) {
    rock[r].model = &rock_model;
    const float reach = std::max(rock_model.max_radius, std::sqrt(std::max(rock_model.max_radius, 0.0f)));
    rock[r].radius = reach * std::fabs(rock[r].size);
  }

  for (int i = 0; i < MAX_VURKS; i++) set_up_vurk(&vurk[i], i);
  vurk_to_render_1 = &vurk[0];
  vurk_to_render_2 = &vurk[1];
  for (int t = 0; t < 4; t++) team_frags[t] = 0;

  for (int i = 0; i < MAX_LIGHTS; i++) {
    LIGHT& l = light[i];
    l.p = {0.0f, 0.0f, 0.0f};
    l.color[0] = l.color[1] = l.color[2] = 1.0f - AMBIENT;
    l.range = LIGHT_RANGE;
    l.alive = 0;
  }
  for (int i = 0; i < MAX_VURKS; i++) {
    if (vurk[i].type == MLT_OFF) continue;
    light[i].alive = 1;
    light[i].p = vurk[i].p;
    light[i].range = static_cast<float>(CANTLE_LIGHT_RANGE);
  }

  for (int i = 0; i < MAX_BULLETS; i++) {
    BULLET& b = bullet[i];
    b.type = nullptr;
    b.p = {0.0f, 0.0f, 0.0f};
    b.m = {0.0f, 0.0f, 0.0f};
    b.alive = 0;
    b.time = 0;
    b.emit_counter = b.trail_counter = 0;
    b.light = nullptr;
  }
  for (int i = 0; i < MAX_EXPLOSIONS; i++) explosion[i] = {{0.0f, 0.0f, 0.0f}, 0, 0.0f, 0, 1.0f, nullptr};
  for (int i = 0; i < MAX_PARTICLES; i++)
    particle[i] = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 0, 1.0f, 0, {1.0f, 1.0f, 1.0f, 1.0f}, 0, 0, 0.0f, 0.0f};
  for (int i = 0; i < MAX_BULLETHOLES; i++) bullethole[i].alive = 0;

  // Mouse motion made in the menu must not turn vurk 0 in the match's first frame.
  int dx = 0, dy = 0;
  platform::mouse_offset(&dx, &dy);
  match_input.mouse_dx = match_input.mouse_dy = 0;
  for (VURK_COMMAND& c : vurk_command) c = VURK_COMMAND{};
  tick_carry = 0;
  match_stats = MATCH_STATS{};
  for (int8_t& w : match_stats.hit_weapon) w = -1;
  for (int8_t& w : match_stats.bullet_weapon) w = -1;
  winner = -1;
  return 1;
}

void match_step(unsigned ms, const VURK_COMMAND* commands) {
  match_stats.clock += ms;
  for (int i = 0; i < MAX_VURKS; i++) vurk_command[i] = commands[i];
  game_input(ms);
  for (int i = 0; i < MAX_BULLETS; i++)
    if (bullet[i].alive) nurse_bullet(&bullet[i], ms);
  for (VURK_& v : vurk) control_vurk(&v, ms);
  for (VURK_& v : vurk) move_vurk(&v, ms);
  nurse_explosions(ms);
  for (int i = 0; i < MAX_PARTICLES; i++)
    if (particle[i].alive) nurse_particle(&particle[i], ms);
  radar_angle += static_cast<float>(ms) / RADAR_SPEED;
  if (radar_angle > 360.0f) radar_angle -= 360.0f;
  if (winner < 0) find_winner();
}

void play_step(unsigned ms, const VURK_COMMAND* commands) {
  begin_journal_step(ms, commands);
  match_step(ms, commands);
  end_journal_step();
}

void set_match_tick(unsigned ms) {
  match_tick = ms;
  tick_carry = 0;
}
unsigned give_match_tick() { return match_tick; }

void game_logic(unsigned ms) {
  gather_match_input();
  game_keys();
  unsigned steps = 1;
  if (match_tick) {
    tick_carry += ms;
    steps = tick_carry / match_tick;
    tick_carry %= match_tick;
    ms = match_tick;
  }
  for (unsigned n = 0; n < steps; n++) {
    VURK_COMMAND commands[MAX_VURKS] = {};
    make_commands(commands);
    play_step(ms, commands);
  }
}

}  // namespace vurkhold
