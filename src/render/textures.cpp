// textures: TGA images uploaded as texture objects, and the fixed set the game draws with.
#include <GL/gl.h>

#include "render/render.h"

namespace vurkhold {

unsigned texFormat = 0;

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

  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  // Unit state, not texture state: every textured draw of the game modulates.
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(image.format), image.width, image.height, 0, image.format,
               GL_UNSIGNED_BYTE, image.pixels);
  free_tga_image(&image);
  *id = texture;
  return 1;
}

int load_textures() {
  for (const FIXED_TEXTURE& t : fixed_textures)
    if (!load_tga_texture(t.file, t.id)) return 0;
  return 1;
}

void free_textures() {
  for (const FIXED_TEXTURE& t : fixed_textures) {
    if (*t.id) glDeleteTextures(1, t.id);
    *t.id = 0;
  }
}

}  // namespace vurkhold
