// scene: the 3D picture of a running match as one vurk sees it: terrain, rocks, the level
// box, bullet holes, vurks with their weapons and ropes, bullets, explosions, particles,
// then the crosshair and the winner's message in eye space.
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

void draw_bullets(const CAMERA& cam) {
  glBindTexture(GL_TEXTURE_2D, bullet_texture);
  glEnable(GL_ALPHA_TEST);
  for (int i = 0; i < MAX_BULLETS; i++) {
    const BULLET& b = bullet[i];
    if (!b.alive || !b.type || !b.type->model) continue;
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

// A square facing the camera, its corners textured from the given cell.
void draw_billboard(float h, float s0, float t0, float cell) {
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(s0, t0);
  glVertex2f(-h, h);
  glTexCoord2f(s0, t0 + cell);
  glVertex2f(-h, -h);
  glTexCoord2f(s0 + cell, t0);
  glVertex2f(h, h);
  glTexCoord2f(s0 + cell, t0 + cell);
  glVertex2f(h, -h);
  glEnd();
}

void draw_explosions(const CAMERA& cam) {
  glBindTexture(GL_TEXTURE_2D, explosion_texture);
  glEnable(GL_BLEND);
  glDepthMask(GL_FALSE);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  for (int i = 0; i < MAX_EXPLOSIONS; i++) {
    const EXPLOSION& e = explosion[i];
    if (!e.alive) continue;
    const int f = std::clamp(e.frame, 0, EXPLOSION_CELLS - 1);
    glPushMatrix();
    glTranslatef(e.p.x, e.p.y, e.p.z);
    glRotatef(cam.heading, 0.0f, 1.0f, 0.0f);
    glRotatef(cam.pitch, 1.0f, 0.0f, 0.0f);
    draw_billboard(e.size, 0.25f * static_cast<float>(f % 4), 0.25f * static_cast<float>(f / 4), 0.25f);
    glPopMatrix();
  }
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
}

// Back to front, so each translucent sprite blends over the ones behind it.
void draw_particles(const CAMERA& cam) {
  glBindTexture(GL_TEXTURE_2D, particle_texture);
  glEnable(GL_BLEND);
  glDepthMask(GL_FALSE);
  glDisable(GL_CULL_FACE);
  if (sort_particles) {
    for (int i = 0; i < MAX_PARTICLES; i++) {
      PARTICLE& q = particle[i];
      const float dx = q.p.x - cam.p.x, dy = q.p.y - cam.p.y, dz = q.p.z - cam.p.z;
      q.distance = dx * dx + dy * dy + dz * dz;
    }
    // The C library's qsort may take a heap buffer for this many entries; std::sort never does.
    std::sort(particle_list, particle_list + MAX_PARTICLES,
              [](PARTICLE* const& a, PARTICLE* const& b) { return compare_particles(&a, &b) < 0; });
  }
  for (int i = 0; i < MAX_PARTICLES; i++) {
    const PARTICLE* q = particle_list[i];
    if (!q || !q->alive) continue;
    glPushMatrix();
    glTranslatef(q->p.x, q->p.y, q->p.z);
    glRotatef(cam.heading, 0.0f, 1.0f, 0.0f);
    glRotatef(cam.pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(q->rotation, 0.0f, 0.0f, 1.0f);
    float l[3];
    give_light(l, &q->p);
    glColor4f(l[0] * q->color[0], l[1] * q->color[1], l[2] * q->color[2], q->color[3]);
    draw_billboard(q->size, 0.0f, 0.0f, 0.5f);
    glPopMatrix();
  }
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
  glEnable(GL_CULL_FACE);
}

void draw_eye_space(const VURK_* m) {
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_FOG);
  if (m->alive) {
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

void game_render(VURK_* m) {
  set_scene_state();
  CAMERA cam = give_view_camera(m);
  set_camera(&cam);
  extract_frustum();
  draw_terrain();
  draw_rocks();
  draw_level_box();
  draw_bullet_holes();
  draw_vurks(m);
  draw_bullets(cam);
  draw_explosions(cam);
  draw_particles(cam);
  draw_eye_space(m);
}

}  // namespace vurkhold
