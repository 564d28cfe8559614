// scene: the 3D picture of a running match as one vurk sees it: terrain, rocks, the level
// box, bullet holes, vurks with their weapons and ropes, bullets, explosions, particles,
// fast bullets' streaks, sparks and muzzle flashes, then the crosshair and the winner's
// message in eye space.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "assets/assets.h"
#include "geometry/geometry.h"
#include "render/render.h"
#include "terrain/terrain.h"
#include "world/world.h"

namespace vurkhold {

namespace {

constexpr float THIRD_PERSON_DISTANCE = 5.0f;
constexpr float WALL_GAP = 0.2f;  // more than the near plane's reach from the eye
constexpr float EYE_HEIGHT = 0.25f;
constexpr float HOLE_HALF = 0.05f;
constexpr float ROPE_HALF = 0.025f;
constexpr float ROPE_REPEAT = 2.0f;  // rope texture repeats per world unit
constexpr int EXPLOSION_CELLS = 16;  // 4 x 4 animation frames
constexpr float MARKER_SIZE = 4.0f;

// Blended sprites cost their area in pixels, layer on layer, and a busy fight before the
// eye would cost a software renderer many times the frame. So a sprite is never drawn
// wider than its depth before the eye, and fades out over the last unit before it; and
// when the explosions, or the particles, together would cover more than their share of
// the view, all of them are drawn smaller alike until they fit it. The shares hold the
// busiest fight to a 60th of a second on a software renderer; a fight of a few blasts
// never reaches them.
constexpr float NEAR_SPREAD = 0.5f;
constexpr float FADE_DEPTH = 1.0f;
constexpr float EXPLOSION_FILL = 1.0f;  // views' worth of area
constexpr float PARTICLE_FILL = 0.5f;
constexpr float SPRITE_CUTOFF = 0.1f;  // the alpha below which a texel is not blended at all
// Particles flying free are sprayed blood: small dark drops with a firm edge, from the
// last quarter of the particle texture.
constexpr float DROP_SCALE = 0.4f;
constexpr float DROP_SHADE = 0.5f;
constexpr float DROP_CELL_S = 0.5f, DROP_CELL_T = 0.5f;
// A bullet faster than this (units per ms) is too quick for its model to be seen: it is
// drawn instead as a streak over its flight of the next two frames, clipped at the first
// surface, with a spark there and a flash at the muzzle it leaves, in its trail colour.
// Its width is a share of its model's radius, and never less than a few pixels.
constexpr float STREAK_SPEED = 0.05f;
constexpr float STREAK_MS = 32.0f;
constexpr float STREAK_WIDTH = 0.3f;
constexpr float PIXEL_SPREAD = 0.006f;
constexpr float STREAK_TAIL_ALPHA = 0.3f;
constexpr float SPARK_HALF = 0.15f;
constexpr float FLASH_HALF = 0.1f;
constexpr float SPARK_LIFT = 0.05f;  // off the wall, clear of its depth
constexpr float FRESH_REACH = 0.3f;  // a bullet this near its vurk's muzzle was just fired

// The eye and its axes, and how far across the view (from the centre to either edge) one
// unit at depth one reaches; a sprite is a square on the right and up axes.
struct VIEW_BASIS {
  XYZ eye;
  IJK right, up, ahead;
  float reach_x, reach_y;
};

// One corner of a sprite or streak, gathered into one array per texture so a whole group
// goes to GL in one call.
struct CORNER {
  float s, t;
  float color[4];
  float x, y, z;
};
constexpr int MAX_CORNERS = 8 * MAX_BULLETS;
CORNER corners[MAX_CORNERS];
int batched_corners = 0;

// A spark at most for every bullet and a flash for every vurk.
struct GLOW {
  XYZ p;
  float half;
  float rgb[3];
};
GLOW glows[MAX_BULLETS + MAX_VURKS];

// The eyes of the views drawn this frame: the match is heard where it is seen from.
platform::Listener view_ears[platform::MAX_LISTENERS];
int view_ear_count = 0;

void add_view_ears(const CAMERA& cam) {
  if (view_ear_count >= platform::MAX_LISTENERS) return;
  const float h = rad(cam.heading);
  view_ears[view_ear_count++] = {cam.p.x, cam.p.y, cam.p.z, -std::sin(h), -std::cos(h), std::cos(h), -std::sin(h)};
}

// The state the scene draws from, whatever the menu or the previous view left behind.
void set_scene_state() {
  glMatrixMode(GL_MODELVIEW);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glDepthMask(GL_TRUE);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_FOG);
  glDisable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.9f);
  glDisable(GL_LIGHTING);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
}

const float* give_team_color(int team) { return team_color[std::clamp(team, 0, 3)]; }

void draw_vurk_mesh(int n) {
  if (n < vurk_model.number_of_meshes) draw_mesh(&vurk_model.mesh[n]);
}

// Third person, or a dead vurk: 5 units behind the aim, or a little short of the first
// surface between, so that the eye stays inside the open space.
CAMERA give_view_camera(const VURK_* m) {
  CAMERA cam;
  init_camera(&cam);
  if (camera_mode == CM_THIRD_PERSON || !m->alive) {
    const IJK back = give_vurk_weapon_direction(m, -THIRD_PERSON_DISTANCE);
    XYZ hit;
    IJK normal;
    float share = 1.0f;
    if (test_point_collisions(m->p, back, &hit, &normal) != CT_NO_COLLISION)
      share = std::max(give_distance(&m->p, &hit) - WALL_GAP, 0.0f) / THIRD_PERSON_DISTANCE;
    cam.p = {m->p.x + share * back.i, m->p.y + share * back.j, m->p.z + share * back.k};
  } else {
    const float a = rad(m->angle);
    const float b = rad(m->angle2);
    cam.p = {m->p.x + EYE_HEIGHT * std::sin(a) * std::sin(b), m->p.y + EYE_HEIGHT * std::cos(b),
             m->p.z + EYE_HEIGHT * std::cos(a) * std::sin(b)};
  }
  cam.heading = m->angle;
  cam.pitch = m->angle2;
  return cam;
}

void draw_terrain() {
  glEnable(GL_CULL_FACE);
  glBindTexture(GL_TEXTURE_2D, dirt_texture);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  render_octtree(&octtree[0]);
}

void draw_rocks() {
  glBindTexture(GL_TEXTURE_2D, rock_texture);
  for (int i = 0; i < std::min(rocks, MAX_ROCKS); i++) {
    ROCK& r = rock[i];
    if (!r.model) continue;
    if (!is_cube_in_frustum(r.p.x - r.radius, r.p.y - r.radius, r.p.z - r.radius, 2.0f * r.radius)) continue;
    float l[3];
    give_light(l, &r.p);
    glPushMatrix();
    glColor3fv(l);
    glTranslatef(r.p.x, r.p.y, r.p.z);
    glScalef(r.size, r.size, r.size);
    draw_model(r.model);
    glPopMatrix();
  }
}

void draw_level_box() {
  if (metalbox_model.number_of_meshes < 1) return;
  glBindTexture(GL_TEXTURE_2D, metal_texture);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  draw_mesh(&metalbox_model.mesh[0]);
}

void draw_bullet_holes() {
  glBindTexture(GL_TEXTURE_2D, bullethole_texture);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  for (int i = 0; i < MAX_BULLETHOLES; i++) {
    const BULLETHOLE& h = bullethole[i];
    if (!h.alive) continue;
    glPushMatrix();
    glTranslatef(h.p.x, h.p.y, h.p.z);
    glRotatef(h.angle1, 0.0f, 1.0f, 0.0f);
    glRotatef(h.angle2, 1.0f, 0.0f, 0.0f);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(HOLE_HALF, HOLE_HALF);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(HOLE_HALF, -HOLE_HALF);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-HOLE_HALF, HOLE_HALF);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-HOLE_HALF, -HOLE_HALF);
    glEnd();
    glPopMatrix();
  }
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
}

void draw_vurk_body(VURK_* v) {
  set_model_frame(&vurk_model, v->animations[std::clamp(v->animation, 0, 1)].frame);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBindTexture(GL_TEXTURE_2D, vurk_texture);
  glPushMatrix();
  glTranslatef(v->p.x, v->p.y, v->p.z);
  glRotatef(v->angle, 0.0f, 1.0f, 0.0f);
  draw_vurk_mesh(0);
  if (v->item == MI_JETPACK) draw_vurk_mesh(4);
  glPushMatrix();
  glRotatef(v->angle2, 1.0f, 0.0f, 0.0f);
  draw_vurk_mesh(1);
  draw_vurk_mesh(3);
  glPopMatrix();
  glPushMatrix();
  glRotatef(v->rope_state == NRS_IN ? v->angle2 : 90.0f, 1.0f, 0.0f, 0.0f);
  draw_vurk_mesh(2);
  glPopMatrix();
  const WEAPON& w = v->weapons[std::min<int>(v->weapon, WEAPON_SLOTS - 1)];
  if (w.type && w.type->model) {
    glPushMatrix();
    glRotatef(v->angle2, 1.0f, 0.0f, 0.0f);
    glBindTexture(GL_TEXTURE_2D, w.type->model->texture);
    draw_model(w.type->model);
    glPopMatrix();
  }
  glPopMatrix();

  // The team marker shows through walls.
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glPointSize(MARKER_SIZE);
  glColor3fv(give_team_color(v->team));
  glBegin(GL_POINTS);
  glVertex3f(v->p.x, v->p.y, v->p.z);
  glEnd();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
}

// A square tube from the anchor to the vurk's rope point, offset in x and z only.
void draw_rope(const VURK_* v) {
  const XYZ q = give_vurk_rope_point(v);
  const XYZ& a = v->rope_p;
  const float l = ROPE_REPEAT * give_distance(&q, &a);
  const float h = ROPE_HALF;
  const float sides[5][2] = {{-h, h}, {h, h}, {h, -h}, {-h, -h}, {-h, h}};
  glBegin(GL_TRIANGLE_STRIP);
  for (int k = 0; k < 5; k++) {
    const float s = static_cast<float>(k % 2);
    glTexCoord2f(s, l);
    glVertex3f(a.x + sides[k][0], a.y, a.z + sides[k][1]);
    glTexCoord2f(s, 0.0f);
    glVertex3f(q.x + sides[k][0], q.y, q.z + sides[k][1]);
  }
  glEnd();
}

void draw_vurks(const VURK_* m) {
  for (VURK_& v : vurk) {
    const bool own_eyes = &v == m && camera_mode == CM_FIRST_PERSON;
    if (v.alive && !own_eyes) draw_vurk_body(&v);
    // Every rope, the viewer's own included.
    if (v.rope_state != NRS_IN) {
      glColor3f(1.0f, 1.0f, 1.0f);
      glBindTexture(GL_TEXTURE_2D, rope_texture);
      draw_rope(&v);
    }
  }
}

// The eye's axes as the camera turns them: heading about y, then pitch about x.
VIEW_BASIS give_view_basis(const CAMERA& cam) {
  const float h = rad(cam.heading), p = rad(cam.pitch);
  float projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  return {cam.p,
          {std::cos(h), 0.0f, -std::sin(h)},
          {std::sin(p) * std::sin(h), std::cos(p), std::sin(p) * std::cos(h)},
          {-std::cos(p) * std::sin(h), std::sin(p), -std::cos(p) * std::cos(h)},
          projection[0],
          projection[5]};
}

float dot(IJK a, IJK b) { return a.i * b.i + a.j * b.j + a.k * b.k; }
IJK from_to(XYZ a, XYZ b) { return {b.x - a.x, b.y - a.y, b.z - a.z}; }

void flush_corners() {
  if (batched_corners == 0) return;
  glEnableClientState(GL_COLOR_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, sizeof(CORNER), &corners[0].s);
  glColorPointer(4, GL_FLOAT, sizeof(CORNER), corners[0].color);
  glVertexPointer(3, GL_FLOAT, sizeof(CORNER), &corners[0].x);
  glDrawArrays(GL_QUADS, 0, batched_corners);
  glDisableClientState(GL_COLOR_ARRAY);
  batched_corners = 0;
}

void add_corner(XYZ p, float s, float t, const float* rgb, float alpha) {
  if (batched_corners == MAX_CORNERS) flush_corners();
  corners[batched_corners++] = {s, t, {rgb[0], rgb[1], rgb[2], alpha}, p.x, p.y, p.z};
}

float give_depth(const VIEW_BASIS& v, XYZ p) { return dot(from_to(v.eye, p), v.ahead); }

// A sprite's half size as drawn before the group's scale: never more than half its depth.
float give_near_half(const VIEW_BASIS& v, XYZ p, float half) {
  return std::min(half, NEAR_SPREAD * std::max(give_depth(v, p), 0.0f));
}

// The share of the view a sprite would cover, as if it lay all inside.
float give_cover(const VIEW_BASIS& v, XYZ p, float half) {
  const float depth = give_depth(v, p);
  if (depth <= 0.0f) return 0.0f;
  const float near_half = give_near_half(v, p, half) / depth;
  return v.reach_x * near_half * v.reach_y * near_half;
}

// The scale that brings a group covering `cover` views within `fill` views.
float give_fill_scale(float cover, float fill) { return cover > fill ? std::sqrt(fill / cover) : 1.0f; }

// A square facing the eye, turned by `degrees` in its plane, its corners textured from the
// given cell: top left at s0, t0.
void add_sprite(const VIEW_BASIS& v, XYZ p, float half, float scale, float degrees, float s0, float t0, float cell,
                const float* rgb, float alpha) {
  const float depth = give_depth(v, p);
  if (depth <= 0.0f) return;
  half = scale * give_near_half(v, p, half);
  alpha *= std::min(depth / FADE_DEPTH, 1.0f);
  const float c = std::cos(rad(degrees)), s = std::sin(rad(degrees));
  const float x[4] = {-half, -half, half, half}, y[4] = {half, -half, -half, half};
  const float u[4] = {s0, s0, s0 + cell, s0 + cell}, w[4] = {t0, t0 + cell, t0 + cell, t0};
  for (int k = 0; k < 4; k++) {
    const float a = x[k] * c - y[k] * s, b = x[k] * s + y[k] * c;
    add_corner({p.x + a * v.right.i + b * v.up.i, p.y + a * v.right.j + b * v.up.j, p.z + a * v.right.k + b * v.up.k},
               u[k], w[k], rgb, alpha);
  }
}

bool is_fast(const BULLET& b) { return give_vector_lenght_pow2(&b.m) >= STREAK_SPEED * STREAK_SPEED; }

void draw_bullets(const CAMERA& cam) {
  glBindTexture(GL_TEXTURE_2D, bullet_texture);
  glEnable(GL_ALPHA_TEST);
  for (int i = 0; i < MAX_BULLETS; i++) {
    const BULLET& b = bullet[i];
    if (!b.alive || !b.type || !b.type->model || is_fast(b)) continue;
    MODEL* model = b.type->model;
    glPushMatrix();
    glTranslatef(b.p.x, b.p.y, b.p.z);
    const bool sprite = model->type == MT_SPRITE;
    glRotatef(sprite ? cam.heading : b.heading, 0.0f, 1.0f, 0.0f);
    glRotatef(sprite ? cam.pitch : b.pitch, 1.0f, 0.0f, 0.0f);
    if (b.type->flags & BTF_SELF_ILLUMINATION) {
      glColor3f(1.0f, 1.0f, 1.0f);
    } else {
      float l[3];
      give_light(l, &b.p);
      glColor3fv(l);
    }
    draw_model(model);
    glPopMatrix();
  }
  glDisable(GL_ALPHA_TEST);
}

// Back to the scene's own state after a group of blended sprites.
void end_sprites() {
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.9f);
  glDepthMask(GL_TRUE);
  glEnable(GL_CULL_FACE);
}

void draw_explosions(const VIEW_BASIS& v) {
  glBindTexture(GL_TEXTURE_2D, explosion_texture);
  glEnable(GL_BLEND);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, SPRITE_CUTOFF);
  glDepthMask(GL_FALSE);
  float cover = 0.0f;
  for (int i = 0; i < MAX_EXPLOSIONS; i++)
    if (explosion[i].alive) cover += give_cover(v, explosion[i].p, explosion[i].size);
  const float scale = give_fill_scale(cover, EXPLOSION_FILL);
  const float white[3] = {1.0f, 1.0f, 1.0f};
  for (int i = 0; i < MAX_EXPLOSIONS; i++) {
    const EXPLOSION& e = explosion[i];
    if (!e.alive) continue;
    const int f = std::clamp(e.frame, 0, EXPLOSION_CELLS - 1);
    add_sprite(v, e.p, e.size, scale, 0.0f, 0.25f * static_cast<float>(f % 4), 0.25f * static_cast<float>(f / 4),
               0.25f, white, 1.0f);
  }
  flush_corners();
  end_sprites();
}

// Moving on all three axes, as the match moves particles, is what sprayed drops do.
bool is_drop(const PARTICLE* q) { return q->m.i != 0.0f && q->m.j != 0.0f && q->m.k != 0.0f; }

// Back to front, so each translucent sprite blends over the ones behind it.
void draw_particles(const VIEW_BASIS& v) {
  glBindTexture(GL_TEXTURE_2D, particle_texture);
  glEnable(GL_BLEND);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, SPRITE_CUTOFF);
  glDepthMask(GL_FALSE);
  glDisable(GL_CULL_FACE);
  if (sort_particles) {
    for (int i = 0; i < MAX_PARTICLES; i++) {
      PARTICLE& q = particle[i];
      const float dx = q.p.x - v.eye.x, dy = q.p.y - v.eye.y, dz = q.p.z - v.eye.z;
      q.distance = dx * dx + dy * dy + dz * dz;
    }
    // The C library's qsort may take a heap buffer for this many entries; std::sort never does.
    std::sort(particle_list, particle_list + MAX_PARTICLES,
              [](PARTICLE* const& a, PARTICLE* const& b) { return compare_particles(&a, &b) < 0; });
  }
  float cover = 0.0f;
  for (int i = 0; i < MAX_PARTICLES; i++) {
    const PARTICLE* q = particle_list[i];
    if (q && q->alive) cover += give_cover(v, q->p, is_drop(q) ? DROP_SCALE * q->size : q->size);
  }
  const float scale = give_fill_scale(cover, PARTICLE_FILL);
  for (int i = 0; i < MAX_PARTICLES; i++) {
    const PARTICLE* q = particle_list[i];
    if (!q || !q->alive) continue;
    float l[3];
    give_light(l, &q->p);
    const bool drop = is_drop(q);
    const float shade = drop ? DROP_SHADE : 1.0f;
    const float rgb[3] = {shade * l[0] * q->color[0], shade * l[1] * q->color[1], shade * l[2] * q->color[2]};
    if (drop)
      add_sprite(v, q->p, DROP_SCALE * q->size, scale, q->rotation, DROP_CELL_S, DROP_CELL_T, 0.5f, rgb, q->color[3]);
    else
      add_sprite(v, q->p, q->size, scale, q->rotation, 0.0f, 0.0f, 0.5f, rgb, q->color[3]);
  }
  flush_corners();
  end_sprites();
}

// A bullet's streak from where it is to where its flight leads, as a ribbon facing the eye,
// bright along its middle (brightest at the head) and clear at its edges.
void add_streak(const VIEW_BASIS& v, XYZ tail, XYZ head, float width, const float* rgb) {
  const IJK along = from_to(tail, head);
  const XYZ ends[2] = {tail, head};
  const float alpha[2] = {STREAK_TAIL_ALPHA, 1.0f};
  IJK side[2];
  for (int k = 0; k < 2; k++) {
    const IJK to_eye = from_to(ends[k], v.eye);
    side[k] = {along.j * to_eye.k - along.k * to_eye.j, along.k * to_eye.i - along.i * to_eye.k,
               along.i * to_eye.j - along.j * to_eye.i};
    // Seen end on, a streak has no width to show.
    if (normalize_vector(&side[k]) == 0.0f) return;
    const float half = std::max(width, PIXEL_SPREAD * std::sqrt(dot(to_eye, to_eye)));
    side[k] = {side[k].i * half, side[k].j * half, side[k].k * half};
  }
  for (float sign : {-1.0f, 1.0f}) {
    add_corner({tail.x + sign * side[0].i, tail.y + sign * side[0].j, tail.z + sign * side[0].k}, 0, 0, rgb, 0.0f);
    add_corner({head.x + sign * side[1].i, head.y + sign * side[1].j, head.z + sign * side[1].k}, 0, 0, rgb, 0.0f);
    add_corner(head, 0, 0, rgb, alpha[1]);
    add_corner(tail, 0, 0, rgb, alpha[0]);
  }
}

// Fast bullets: their streaks first, untextured; then, with the flare, a spark where a
// streak meets a wall and a flash at each muzzle a bullet has just left. All glow, so
// they add to what lies behind them in any order.
void draw_fast_bullets(const VIEW_BASIS& v) {
  int count = 0;
  bool flashed[MAX_VURKS] = {};
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glDepthMask(GL_FALSE);
  for (int i = 0; i < MAX_BULLETS; i++) {
    const BULLET& b = bullet[i];
    if (!b.alive || !b.type || !b.type->model || !is_fast(b)) continue;
    const BULLET_TYPE* bt = b.type;
    float rgb[3] = {bt->trail_color[0], bt->trail_color[1], bt->trail_color[2]};
    if (!(bt->flags & BTF_SELF_ILLUMINATION)) {
      float l[3];
      give_light(l, &b.p);
      for (int c = 0; c < 3; c++) rgb[c] *= l[c];
    }
    const IJK flight = {b.m.i * STREAK_MS, b.m.j * STREAK_MS, b.m.k * STREAK_MS};
    XYZ head = {b.p.x + flight.i, b.p.y + flight.j, b.p.z + flight.k};
    XYZ hit;
    IJK normal;
    const COLLISION_TYPE c = test_point_collisions(b.p, flight, &hit, &normal);
    if (c != CT_NO_COLLISION) head = hit;
    add_streak(v, b.p, head, STREAK_WIDTH * std::sqrt(std::max(bt->model->max_radius, 0.0f)), rgb);
    // Sparks and flashes burn white at the heart, tinted by the trail.
    const float hot[3] = {0.5f + 0.5f * rgb[0], 0.5f + 0.5f * rgb[1], 0.5f + 0.5f * rgb[2]};
    if (c == CT_DIRT_COLLISION || c == CT_METAL_COLLISION || c == CT_ROCK_COLLISION)
      glows[count++] = {{hit.x + SPARK_LIFT * normal.i, hit.y + SPARK_LIFT * normal.j, hit.z + SPARK_LIFT * normal.k},
                        SPARK_HALF, {hot[0], hot[1], hot[2]}};
    if (b.tag < MAX_VURKS && !flashed[b.tag]) {
      const XYZ muzzle = give_vurk_weapon_point(&vurk[b.tag]);
      if (give_distance(&muzzle, &b.p) < FRESH_REACH) {
        flashed[b.tag] = true;
        glows[count++] = {b.p, FLASH_HALF, {hot[0], hot[1], hot[2]}};
      }
    }
  }
  flush_corners();
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, flare_texture);
  for (int i = 0; i < count; i++)
    add_sprite(v, glows[i].p, glows[i].half, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, glows[i].rgb, 1.0f);
  flush_corners();
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  end_sprites();
}

void draw_eye_space(const VURK_* m) {
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_FOG);
  if (m && m->alive) {
    // Untextured, so the cross is white whatever texel the last sprite ended on.
    glDisable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_LINES);
    glVertex3f(-0.1f, 0.0f, -5.0f);
    glVertex3f(0.1f, 0.0f, -5.0f);
    glVertex3f(0.0f, -0.1f, -5.0f);
    glVertex3f(0.0f, 0.1f, -5.0f);
    glEnd();
    glEnable(GL_TEXTURE_2D);
  }
  if (winner >= 0) {
    glEnable(GL_BLEND);
    glTranslatef(0.0f, 0.0f, -10.0f);
    glColor3fv(give_team_color(winner));
    glBindTexture(GL_TEXTURE_2D, font_texture);
    std::snprintf(textbuffer, sizeof textbuffer, "TEAM %d WON", winner + 1);
    glPrint(textbuffer, -4.0f, 0.5f, 1.0f);
    // The match plays on under the message until Escape goes back to the menu.
    glPrint("ESCAPE: BACK TO THE MENU", -3.78f, -0.8f, 0.4f);
    glDisable(GL_BLEND);
  }
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_FOG);
}

// An empty entry of the list sorts last.
float distance_of(const void* entry) {
  const PARTICLE* q = *static_cast<PARTICLE* const*>(entry);
  return q ? q->distance : -1.0f;
}

}  // namespace

int compare_particles(const void* p1, const void* p2) {
  const float d1 = distance_of(p1);
  const float d2 = distance_of(p2);
  if (d1 == d2) return 0;
  return d1 > d2 ? -1 : 1;
}

void game_render(VURK_* m) { render_scene(give_view_camera(m), m); }

void render_scene(CAMERA cam, const VURK_* m) {
  add_view_ears(cam);
  set_scene_state();
  set_camera(&cam);
  extract_frustum();
  draw_terrain();
  draw_rocks();
  draw_level_box();
  draw_bullet_holes();
  draw_vurks(m);
  draw_bullets(cam);
  const VIEW_BASIS basis = give_view_basis(cam);
  draw_explosions(basis);
  draw_particles(basis);
  draw_fast_bullets(basis);
  draw_eye_space(m);
  // A software renderer rasterises what it was given only once it is flushed: flushed here,
  // one view is rasterised while the next is being prepared, not all of them at the end.
  glFlush();
}

void hear_from_views() {
  platform::set_listeners(view_ears, view_ear_count);
  view_ear_count = 0;
}

}  // namespace vurkhold
