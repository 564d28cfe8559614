// HUD, radar and views: the status bars and lines of each player, the team scores, the
// spinning radar map, the kill-cam's caption, and the screen layouts of the one- and
// two-player match.
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "render/render.h"

namespace vurkhold {

namespace {

constexpr float FULL_ASPECT = 1.3333f;
constexpr float SPLIT_ASPECT = 1.14f;
constexpr float RADAR_FOV = 45.0f;
constexpr float LIFE_FULL = 100.0f;
constexpr float RESPAWN_SHOWN = 2000.0f;  // ms of respawn wait the life bar fills over
constexpr float STATS_SIZE = 30.0f;
constexpr float STATS_LINE = 35.0f;
constexpr float LEVEL_SIZE = 32.0f;
constexpr float GLYPH_ADVANCE = 0.8f;  // of a glyph's size, as glPrint steps
constexpr float OUTLINE = 0.08f;       // of a glyph's size
constexpr float CAPTION_SIZE = 30.0f;
constexpr float HINT_SIZE = 15.0f;

const float* give_team_color(int team) { return team_color[std::clamp(team, 0, 3)]; }

// Flat 2D drawing over the scene: no depth, culling, fog or alpha test; the caller turns
// texturing and blending on for text.
void set_overlay_state() {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_CULL_FACE);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_FOG);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_LIGHTING);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisableClientState(GL_COLOR_ARRAY);
}

// What the match's drawing finds on the way out: as the scene leaves it.
void restore_game_state() {
  glDisable(GL_BLEND);
  glEnable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_FOG);
}

void set_text_state() {
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, font_texture);
}

// White explosions and muzzle flashes would wash out HUD text: it goes over a dark edge, its
// glyphs first drawn in black a little off towards each corner.
void print_outlined(const char* text, float x, float y, float size, const float* color) {
  const float d = OUTLINE * size;
  glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
  for (const float dx : {-d, d})
    for (const float dy : {-d, d}) glPrint(text, x + dx, y + dy, size);
  glColor4f(color[0], color[1], color[2], 1.0f);
  glPrint(text, x, y, size);
}

// White text in the band `height` high under y, from x: at the band's height where it fits
// in `width`, otherwise as large as fits, centred in the band.
void print_fitted(const char* text, float x, float y, float width, float height) {
  const float length = static_cast<float>(std::strlen(text));
  const float size = std::min(height, width / (GLYPH_ADVANCE * length + 1.0f - GLYPH_ADVANCE));
  const float white[3] = {1.0f, 1.0f, 1.0f};
  print_outlined(text, x, y - (height - size) / 2.0f, size, white);
}

// How full the selected weapon's bar is: the clip's share of rounds left, or while
// reloading the share of the load time gone. A type with no clip size or no load time
// has nothing to count down: its bar is full.
float give_weapon_share(const WEAPON& w) {
  if (w.loading == 0)
    return w.type->ammo_per_clip > 0 ? static_cast<float>(w.ammo) / static_cast<float>(w.type->ammo_per_clip) : 1.0f;
  return w.type->load_time > 0 ? 1.0f - static_cast<float>(w.loading) / static_cast<float>(w.type->load_time) : 1.0f;
}

// An empty bar draws nothing.
void fill_bar(float x, float top, float bottom, float width) {
  if (!(width > 0.0f)) return;
  glBegin(GL_QUADS);
  glVertex2f(x, top);
  glVertex2f(x, bottom);
  glVertex2f(x + width, bottom);
  glVertex2f(x + width, top);
  glEnd();
}

void outline_bar(float x, float top, float bottom, float width) {
  glBegin(GL_LINE_LOOP);
  glVertex2f(x, top);
  glVertex2f(x, bottom);
  glVertex2f(x + width, bottom);
  glVertex2f(x + width, top);
  glEnd();
}

}  // namespace

void render_overlays(VURK_* m, float x, float y, float xsize, float ysize) {
  const float dy = ysize / 2.0f;
  set_overlay_state();
  glDisable(GL_TEXTURE_2D);
  glColor3fv(red);

  // A dead vurk's bar stays empty for the first third of the wait, then fills.
  const float life = m->alive ? m->life / LIFE_FULL : 1.0f - static_cast<float>(m->respawn_delay) / RESPAWN_SHOWN;
  fill_bar(x, y - 1.0f, y - dy + 1.0f, std::max(life, 0.0f) * xsize);

  const WEAPON& w = m->weapons[std::min<int>(m->weapon, WEAPON_SLOTS - 1)];
  if (m->alive && w.type) fill_bar(x, y - dy - 1.0f, y - 2.0f * dy + 1.0f, std::max(give_weapon_share(w), 0.0f) * xsize);

  glColor3f(1.0f, 1.0f, 1.0f);
  outline_bar(x, y - 1.0f, y - dy + 1.0f, xsize);
  outline_bar(x, y - dy - 1.0f, y - 2.0f * dy + 1.0f, xsize);

  set_text_state();
  if (m->alive && w.type && w.type->name) print_fitted(w.type->name, x, y - dy, xsize, dy);
  if (SHOW_FPS)
    std::snprintf(textbuffer, sizeof textbuffer, "LIVES:%d FRAGS:%d FPS: %d", m->lives, m->frags, FPS);
  else
    std::snprintf(textbuffer, sizeof textbuffer, "LIVES:%d FRAGS:%d", m->lives, m->frags);
  print_fitted(textbuffer, x, y, xsize, dy);
  restore_game_state();
}

void render_stats(float x, float y) {
  set_overlay_state();
  set_text_state();
  for (int t = 0; t < 4; t++) {
    std::snprintf(textbuffer, sizeof textbuffer, "TEAM %d: %d", t + 1, team_frags[t]);
    print_outlined(textbuffer, x, y, STATS_SIZE, team_color[t]);
    y -= STATS_LINE;
  }
  restore_game_state();
}

void render_radar(float x, float y, float size) {
  (void)x, (void)y, (void)size;
  // A small solid map in its own corner: depth-tested, culled, no fog.
  glMatrixMode(GL_MODELVIEW);
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glEnable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_FOG);
  glDisable(GL_LIGHTING);
  glDisableClientState(GL_COLOR_ARRAY);

  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -6.0f);
  glRotatef(30.0f, 1.0f, 0.0f, 0.0f);
  glRotatef(radar_angle, 0.0f, 1.0f, 0.0f);
  glTranslatef(-1.65f, -1.65f, -1.65f);
  glScalef(0.1f, 0.1f, 0.1f);

  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  if (metalbox_model.number_of_meshes > 1) {
    glBindTexture(GL_TEXTURE_2D, metal_texture);
    draw_mesh(&metalbox_model.mesh[1]);
  }

  glBindTexture(GL_TEXTURE_2D, gray_texture);
  for (const VURK_& v : vurk) {
    if (!v.alive) continue;
    glPushMatrix();
    glTranslatef(v.p.x, v.p.y, v.p.z);
    glRotatef(v.angle, 0.0f, 1.0f, 0.0f);
    glRotatef(v.angle2, 1.0f, 0.0f, 0.0f);
    glScalef(7.0f, 7.0f, 7.0f);
    draw_model(&arrow_model);
    glPopMatrix();
  }

  glDisable(GL_TEXTURE_2D);
  glBegin(GL_LINES);
  for (const VURK_& v : vurk) {
    if (!v.alive) continue;
    const XYZ& p = v.p;
    glColor3fv(give_team_color(v.team));
    glVertex3f(p.x, 0.0f, p.z);
    glVertex3f(p.x, LEVEL_SIZE, p.z);
    glVertex3f(0.0f, p.y, p.z);
    glVertex3f(LEVEL_SIZE, p.y, p.z);
    glVertex3f(p.x, p.y, 0.0f);
    glVertex3f(p.x, p.y, LEVEL_SIZE);
  }
  glEnd();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_FOG);
}

void render_kill_cam_caption(int player, float x, float y) {
  if (!kill_cam_running(player)) return;
  const float white[3] = {1.0f, 1.0f, 1.0f};
  set_overlay_state();
  set_text_state();
  print_outlined("KILL-CAM", x, y, CAPTION_SIZE, white);
  print_outlined(player == 0 ? "ENTER: SKIP" : "Q: SKIP", x, y - CAPTION_SIZE, HINT_SIZE, white);
  restore_game_state();
}

void one_player_view() {
  update_kill_cam();
  set_perspective(static_cast<float>(FOV), FULL_ASPECT);
  screen_viewport(0, 0, 640, 480);
  render_player_view(0);

  glClear(GL_DEPTH_BUFFER_BIT);
  set_perspective(RADAR_FOV, FULL_ASPECT);
  screen_viewport(440, 0, 200, 150);
  render_radar(0.0f, 0.0f, 50.0f);

  set_screen_projection();
  render_overlays(vurk_to_render_1, 10.0f, 40.0f, 250.0f, 30.0f);
  render_kill_cam_caption(0, 10.0f, 470.0f);
  if (keys[VK_TAB]) render_stats(200.0f, 350.0f);
}

void two_player_view() {
  update_kill_cam();
  set_perspective(static_cast<float>(FOV), SPLIT_ASPECT);
  screen_viewport(321, 200, 319, 280);
  render_player_view(0);
  screen_viewport(0, 200, 319, 280);
  render_player_view(1);

  set_perspective(RADAR_FOV, FULL_ASPECT);
  screen_viewport(180, 0, 280, 200);
  render_radar(0.0f, 0.0f, 50.0f);

  set_screen_projection();
  render_overlays(vurk_to_render_2, 10.0f, 190.0f, 250.0f, 30.0f);
  render_overlays(vurk_to_render_1, 380.0f, 190.0f, 250.0f, 30.0f);
  render_kill_cam_caption(0, 331.0f, 470.0f);
  render_kill_cam_caption(1, 10.0f, 470.0f);
  if (keys[VK_TAB]) render_stats(200.0f, 350.0f);
}

void free_camera_view(const CAMERA* cam) {
  set_perspective(static_cast<float>(FOV), FULL_ASPECT);
  screen_viewport(0, 0, 640, 480);
  render_scene(*cam, nullptr);
}

// The caption band is dark under the text so that flashes behind it never wash it out.
void render_replay_caption(const char* status, const char* hint, const char* message) {
  set_screen_projection();
  set_overlay_state();
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glColor4f(0.0f, 0.0f, 0.0f, 0.55f);
  glRectf(0.0f, 436.0f, 640.0f, 480.0f);
  set_text_state();
  print_fitted(status, 8.0f, 476.0f, 624.0f, 18.0f);
  print_fitted(hint, 8.0f, 456.0f, 624.0f, 14.0f);
  if (message) print_fitted(message, 20.0f, 260.0f, 600.0f, 24.0f);
  restore_game_state();
}

}  // namespace vurkhold
