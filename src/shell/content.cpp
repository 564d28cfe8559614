// the game's content: everything start-up loads from the data folder, in its fixed order,
// and its release at shutdown. No GL here: texture objects go through the asset hooks.
#include <cstdio>
#include <cstdlib>

#include "assets/assets.h"
#include "shell/shell.h"
#include "world/world.h"

namespace vurkhold {

namespace {

// The drawing code gives meshes of these models fixed roles (the vurk's body, head, arms,
// rope arm and jetpack; the box's walls and its radar frame), so a file with fewer is
// refused here rather than read past its end later.
int load_fixed_model(MODEL* m, const char* file, int meshes_needed) {
  if (!load_milkshape_model(m, file)) return 0;
  if (m->number_of_meshes >= meshes_needed) return 1;
  char message[80];
  std::snprintf(message, sizeof message, "Too few meshes (%d of %d) in file %s.", m->number_of_meshes,
                meshes_needed, file);
  report_error(message);
  return 0;
}

}  // namespace

int load_models() {
  if (!load_fixed_model(&vurk_model, "models/vurk2.m3d", 5)) return 0;
  if (!load_fixed_model(&rock_model, "models/rock.m3d", 1)) return 0;
  if (!load_fixed_model(&metalbox_model, "models/metalbox.m3d", 2)) return 0;
  if (!load_fixed_model(&arrow_model, "models/arrow.m3d", 1)) return 0;
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
    free_tga_texture(&weapon_model[i].texture);
  }
  bullet_models = 0;
  weapon_models = 0;
}

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

}  // namespace vurkhold
