// texture upload: the opaque pictures that wrap the world get mipmaps whose levels keep each
// terrain material to its own quarter; blended pictures, and sizes GLU would rescale, stay
// a single sharp level.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "assets/assets.h"
#include "render/render.h"
#include "support/match_view.h"

namespace vurkhold {
namespace {

TEST(TextureUpload, OpaquePowerOfTwoPicturesGetMipmapsThatKeepTheQuartersApart) {
  ASSERT_TRUE(test::ensure_gl_context());
  const TEXTURE_HOOKS saved = texture_hooks;
  install_texture_objects();
  const unsigned char quarter[4][4] = {{200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 255}, {90, 90, 90, 255}};
  const struct {
    unsigned format;
    int width, bytes;
    bool mipmapped;
  } rows[] = {{TEXTURE_RGB, 8, 3, true}, {TEXTURE_RGBA, 8, 4, false}, {TEXTURE_RGB, 12, 3, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.width * 10 + row.bytes);
    std::vector<unsigned char> pixels;
    for (int y = 0; y < 8; y++)
      for (int x = 0; x < row.width; x++) {
        const unsigned char* c = quarter[(2 * x >= row.width) + 2 * (y >= 4)];
        pixels.insert(pixels.end(), c, c + row.bytes);
      }
    TGA_IMAGE image = {row.width, 8, 8 * row.bytes, row.format, pixels.data()};
    const unsigned id = texture_hooks.upload(&image);
    GLint filter = 0, smallest = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &smallest);
    EXPECT_EQ(filter, row.mipmapped ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
    EXPECT_EQ(smallest, row.mipmapped ? 1 : 0);
    if (row.mipmapped) {
      unsigned char level[2 * 2 * 3];
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glGetTexImage(GL_TEXTURE_2D, 2, GL_RGB, GL_UNSIGNED_BYTE, level);
      for (int i = 0; i < 12; i++) EXPECT_EQ(level[i], quarter[i / 3][i % 3]) << "quarter " << i / 3;
    }
    texture_hooks.release(id);
  }
  texture_hooks = saved;
}

}  // namespace
}  // namespace vurkhold
