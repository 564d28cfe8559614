// texture objects: with the GL hooks installed a TGA file becomes a texture object holding
// the image as read, and its release deletes it.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/assets.h"
#include "render/render.h"
#include "support/match_view.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

TEST(TextureObjects, UploadHoldsTheImageAsReadAndReleaseDeletesIt) {
  ASSERT_TRUE(test::ensure_gl_context());
  install_texture_objects();
  const struct { const char* file; GLenum format; int bytes; } rows[] = {
      {"im_rgb_64x128.tga", GL_RGB, 3}, {"im_rgba_128x64.tga", GL_RGBA, 4}, {"im_gray_64x64.tga", GL_ALPHA, 1}};
  for (const auto& row : rows) {
    const std::string path = test::fixture_path(std::string("tga/") + row.file);
    TGA_IMAGE image;
    ASSERT_EQ(read_tga_image(path.c_str(), &image), 1) << row.file;
    const size_t size = static_cast<size_t>(image.width) * image.height * row.bytes;

    unsigned id = 0;
    ASSERT_EQ(load_tga_texture(path.c_str(), &id), 1) << row.file;
    glBindTexture(GL_TEXTURE_2D, id);
    // Read back in the upload's format: any other format or width reads back other bytes.
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, image.width) << row.file;
    std::vector<unsigned char> texels(size, 0xEE);
    glGetTexImage(GL_TEXTURE_2D, 0, row.format, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels, std::vector<unsigned char>(image.pixels, image.pixels + size)) << row.file;
    free_tga_image(&image);

    const unsigned made = id;
    free_tga_texture(&id);
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(glIsTexture(made), GL_FALSE) << row.file;
  }
  remove_texture_objects();
}

}  // namespace
}  // namespace vurkhold
