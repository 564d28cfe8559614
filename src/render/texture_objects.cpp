// texture objects: the GL side of texture loading, handed to the asset loaders as their
// hooks while a context exists.
#include <GL/gl.h>
#include <GL/glu.h>

#include "assets/assets.h"
#include "render/render.h"

namespace vurkhold {

static_assert(TEXTURE_ALPHA == GL_ALPHA && TEXTURE_RGB == GL_RGB && TEXTURE_RGBA == GL_RGBA);

namespace {

// A power of two: GLU would first rescale any other size.
bool mipmappable(int size) { return size > 0 && (size & (size - 1)) == 0; }

unsigned upload(const TGA_IMAGE* image) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  // Unit state, not texture state: every textured draw of the game modulates.
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  // The opaque pictures cover the world's surfaces, seen from up close to across the
  // cave: a far wall sampled from the full picture picks a few scattered texels of its
  // grain and shimmers. Their levels halve by 2 x 2 averages, so each material's quarter
  // of the terrain picture keeps to itself. A fragment samples the nearest level only:
  // blending two levels took software GL an eighth more time for the whole frame, for no
  // difference to be seen on these even textures. The blended pictures (text, sprites) are
  // drawn near their own size and stay sharp.
  if (image->format == TEXTURE_RGB && mipmappable(image->width) && mipmappable(image->height)) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE, image->pixels);
    return texture;
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(image->format), image->width, image->height, 0, image->format,
               GL_UNSIGNED_BYTE, image->pixels);
  return texture;
}

void release(unsigned id) {
  const GLuint texture = id;
  glDeleteTextures(1, &texture);
}

}  // namespace

void install_texture_objects() { texture_hooks = {upload, release}; }

void remove_texture_objects() { texture_hooks = {nullptr, nullptr}; }

}  // namespace vurkhold
