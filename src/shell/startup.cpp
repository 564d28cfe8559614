// start-up and shutdown: everything the game holds for the whole run is built here once
// and released here once, also after a start that failed half way. The content itself
// is loaded and released by content.cpp.
#include <GL/gl.h>

#include <cstddef>

#include "shell/shell.h"

namespace vurkhold {

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
