// start-up and shutdown: everything the game holds for the whole run is built here once
// and released here once, also after a start that failed half way.
#include <GL/gl.h>

#include <cstddef>

#include "render/render.h"
#include "shell/shell.h"
#include "world/world.h"

namespace vurkhold {

// The order is forced by the names the files refer to: bullet types name bullet models
// and earlier bullet types, weapon types name weapon models, bullet types and sounds.
int load_game_content() {
  if (!load_weapon_sounds()) return 0;
  if (!load_textures()) return 0;
  if (!load_models()) return 0;
  if (!load_bullet_types()) {
    report_error("Can't load the bullets.");
    return 0;
  }
  if (!load_weapon_types()) {
    report_error("Can't load the weapons.");
    return 0;
  }
  return 1;
}

// Textures go while the GL context is still current; the samples go just before the sound
// library closes.
void free_game_content() {
  free_bullet_types();
  free_weapon_types();
  free_textures();
  free_models();
  free_sounds();
}

int initialize() {
  next_bullet = next_bullethole = next_explosion = next_particle = 0;
  bullet_models = weapon_models = sounds = 0;
  if (!allocate_pools()) return 0;
  if (!platform::sound_open(44100, 32)) {
    report_error("Can't initalize sound card.");
    return 0;
  }
  bind_world();
  const GLsizei stride = sizeof(VERTEX);
  glVertexPointer(3, GL_FLOAT, stride, &vertex[0].p);
  glTexCoordPointer(2, GL_FLOAT, stride, &vertex[0].u);
  glColorPointer(3, GL_FLOAT, stride, &vertex[0].color);
  for (int i = 0; i < MAX_VURKS; i++) {
    vurk[i].num = static_cast<uint8_t>(i);
    vurk[i].team = static_cast<int8_t>(i);
    vurk[i].light = &light[i];
  }
  vurk_to_render_1 = &vurk[0];
  vurk_to_render_2 = &vurk[1];
  jetpack_spray = {0.0f, -0.01f, 0.0f};
  return 1;
}

void clean_up() {
  free_pools();
  platform::sound_close();
}

}  // namespace vurkhold
