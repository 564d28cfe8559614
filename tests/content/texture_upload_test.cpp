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
  // Four flat quarters of 4 x 4 texels: red, green, blue and grey.
  const unsigned char quarter[4][4] = {{200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 255}, {90, 90, 90, 255}};
  const struct {
    unsigned format;
    int width, height;
    bool mipmapped;
  } rows[] = {
      {TEXTURE_RGB, 8, 8, true},
      {TEXTURE_RGBA, 8, 8, false},
      {TEXTURE_RGB, 12, 8, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.format << " " << row.width << "x" << row.height);
    const int bytes = row.format == TEXTURE_RGB ? 3 : 4;
    std::vector<unsigned char> pixels;
    for (int y = 0; y < row.height; y++)
      for (int x = 0; x < row.width; x++)
        pixels.insert(pixels.end(), quarter[(x >= row.width / 2) + 2 * (y >= row.height / 2)],
                      quarter[(x >= row.width / 2) + 2 * (y >= row.height / 2)] + bytes);
    TGA_IMAGE image = {row.width, row.height, 8 * bytes, row.format, pixels.data()};
    const unsigned id = texture_hooks.upload(&image);
    ASSERT_NE(id, 0u);
    GLint filter = 0, width = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, row.mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, row.mipmapped ? 1 : 0);
    if (row.mipmapped) {
      unsigned char level[2 * 2 * 3];
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glGetTexImage(GL_TEXTURE_2D, 2, GL_RGB, GL_UNSIGNED_BYTE, level);
      for (int q = 0; q < 4; q++)
        for (int c = 0; c < 3; c++) EXPECT_EQ(level[3 * q + c], quarter[q][c]) << "quarter " << q;
    }
    texture_hooks.release(id);
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  texture_hooks = saved;
}

}  // namespace
}  // namespace vurkhold
