// the game's models: the four fixed models and the bullet and weapon model lists, loaded
// once at start-up and released at shutdown.
#include <GL/gl.h>

#include <cstdlib>

#include "render/render.h"
#include "world/world.h"

namespace vurkhold {

int load_models() {
  if (!load_milkshape_model(&vurk_model, "models/vurk2.m3d")) return 0;
  if (!load_milkshape_model(&rock_model, "models/rock.m3d")) return 0;
  if (!load_milkshape_model(&metalbox_model, "models/metalbox.m3d")) return 0;
  if (!load_milkshape_model(&arrow_model, "models/arrow.m3d")) return 0;
  if (!load_bullet_models()) return 0;
  if (!load_weapon_models()) return 0;
  return 1;
}

void free_models() {
  for (int i = 0; i < bullet_models; i++) {
    std::free(bullet_model[i].name);
    bullet_model[i].name = nullptr;
  }
  for (int i = 0; i < weapon_models; i++) {
    std::free(weapon_model[i].name);
    weapon_model[i].name = nullptr;
  }
  free_model(&vurk_model);
  free_model(&rock_model);
  free_model(&metalbox_model);
  free_model(&arrow_model);
  for (int i = 0; i < bullet_models; i++) free_model(&bullet_model[i]);
  for (int i = 0; i < weapon_models; i++) {
    free_model(&weapon_model[i]);
    // Each weapon model brought its own texture from the model list.
    if (weapon_model[i].texture) glDeleteTextures(1, &weapon_model[i].texture);
    weapon_model[i].texture = 0;
  }
  bullet_models = 0;
  weapon_models = 0;
}

}  // namespace vurkhold
