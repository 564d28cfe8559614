// textures: TGA files made into texture objects through the drawing side's hook, and the
// fixed set the game draws with.
#include "assets/assets.h"

namespace vurkhold {

TEXTURE_HOOKS texture_hooks = {nullptr, nullptr};

namespace {

struct FIXED_TEXTURE {
  const char* file;
  unsigned* id;
};

// In load order; every one is required, even the flare that nothing binds.
const FIXED_TEXTURE fixed_textures[] = {
    {"textures/vurk.tga", &vurk_texture},
    {"textures/material.tga", &dirt_texture},
    {"textures/metal.tga", &metal_texture},
    {"textures/rock.tga", &rock_texture},
    {"textures/bullet.tga", &bullet_texture},
    {"textures/rope.tga", &rope_texture},
    {"textures/font.tga", &font_texture},
    {"textures/particle.tga", &particle_texture},
    {"textures/explode.tga", &explosion_texture},
    {"textures/bhole.tga", &bullethole_texture},
    {"textures/flare.tga", &flare_texture},
    {"textures/gray.tga", &gray_texture},
    {"textures/tausta.tga", &background_texture},
    {"textures/otsikko.tga", &headline},
};

}  // namespace

int load_tga_texture(const char* name, unsigned* id) {
  TGA_IMAGE image;
  if (!read_tga_image(name, &image)) return 0;
  *id = texture_hooks.upload ? texture_hooks.upload(&image) : 0;
  free_tga_image(&image);
  return 1;
}

void free_tga_texture(unsigned* id) {
  if (*id && texture_hooks.release) texture_hooks.release(*id);
  *id = 0;
}

int load_textures() {
  for (const FIXED_TEXTURE& t : fixed_textures)
    if (!load_tga_texture(t.file, t.id)) return 0;
  return 1;
}

void free_textures() {
  for (const FIXED_TEXTURE& t : fixed_textures) free_tga_texture(t.id);
}

}  // namespace vurkhold
