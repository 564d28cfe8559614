// TGA textures under a GL context: what arrives in the texture object, its parameters,
// failures that create nothing, images written by ImageMagick, and the fixed texture set.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "render/render.h"
#include "render/tga_test_image.h"
#include "support/gl_context.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

using tga_test::file_bytes;
using tga_test::Header;
using test::MessageCapture;
using test::TempDir;
using test::write_file;

std::vector<unsigned char> read_back(unsigned id, GLenum format, int w, int h, int bytes) {
  std::vector<unsigned char> out(static_cast<size_t>(w) * h * bytes, 0xEE);
  glBindTexture(GL_TEXTURE_2D, id);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
  return out;
}

GLint level_parameter(unsigned id, GLenum name) {
  GLint value = -1;
  glBindTexture(GL_TEXTURE_2D, id);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
  return value;
}

class TgaUpload : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::ensure_gl_context()) GTEST_SKIP() << "no GL context";
  }
  void TearDown() override {
    for (unsigned id : made) glDeleteTextures(1, &id);
  }
  unsigned load(const std::string& path) {
    unsigned id = 0;
    EXPECT_EQ(load_tga_texture(path.c_str(), &id), 1) << path;
    EXPECT_NE(id, 0u);
    made.push_back(id);
    return id;
  }
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = dir.file(name);
    write_file(path, bytes);
    return path;
  }
  TempDir dir;
  MessageCapture messages;
  std::vector<unsigned> made;
};

TEST_F(TgaUpload, TrueColourArrivesSwappedInStoredOrder) {
  Header h;
  h.width = 256;
  h.height = 128;
  h.descriptor = 0x20;  // top-down: still uploaded as stored
  std::vector<uint8_t> bytes = file_bytes(h);
  unsigned id = load(write("rgb.tga", bytes));
  EXPECT_EQ(level_parameter(id, GL_TEXTURE_WIDTH), 256);
  EXPECT_EQ(level_parameter(id, GL_TEXTURE_HEIGHT), 128);
  EXPECT_EQ(level_parameter(id, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
  std::vector<unsigned char> texels = read_back(id, GL_RGB, 256, 128, 3);
  EXPECT_EQ(texels[0], bytes[20]);
  EXPECT_EQ(texels[1], bytes[19]);
  EXPECT_EQ(texels[2], bytes[18]);
  size_t wrong = 0;
  for (size_t i = 0; i < texels.size(); i += 3)
    if (texels[i] != bytes[18 + i + 2] || texels[i + 1] != bytes[18 + i + 1] || texels[i + 2] != bytes[18 + i])
      wrong++;
  EXPECT_EQ(wrong, 0u);
  EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
}

TEST_F(TgaUpload, ThirtyTwoBitKeepsAlpha) {
  Header h;
  h.bits = 32;
  h.width = 512;
  h.height = 64;
  std::vector<uint8_t> bytes = file_bytes(h);
  unsigned id = load(write("rgba.tga", bytes));
  EXPECT_EQ(level_parameter(id, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
  std::vector<unsigned char> texels = read_back(id, GL_RGBA, 512, 64, 4);
  size_t wrong = 0;
  for (size_t i = 0; i < texels.size(); i += 4)
    if (texels[i] != bytes[18 + i + 2] || texels[i + 1] != bytes[18 + i + 1] || texels[i + 2] != bytes[18 + i] ||
        texels[i + 3] != bytes[18 + i + 3])
      wrong++;
  EXPECT_EQ(wrong, 0u);
}

TEST_F(TgaUpload, EightBitBecomesAnAlphaTexture) {
  Header h;
  h.image_type = 3;
  h.bits = 8;
  std::vector<uint8_t> bytes = file_bytes(h);
  unsigned id = load(write("mask.tga", bytes));
  EXPECT_EQ(level_parameter(id, GL_TEXTURE_INTERNAL_FORMAT), GL_ALPHA);
  std::vector<unsigned char> texels = read_back(id, GL_ALPHA, 64, 64, 1);
  EXPECT_EQ(std::memcmp(texels.data(), bytes.data() + 18, texels.size()), 0);
}

TEST_F(TgaUpload, RepeatsFiltersLinearlyAndModulates) {
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  unsigned id = load(write("a.tga", file_bytes(Header{})));
  glBindTexture(GL_TEXTURE_2D, id);
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
  EXPECT_EQ(value, GL_REPEAT);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
  EXPECT_EQ(value, GL_REPEAT);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
  EXPECT_EQ(value, GL_LINEAR);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
  EXPECT_EQ(value, GL_LINEAR);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
  EXPECT_EQ(value, GL_MODULATE);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
  EXPECT_EQ(value, 1);
}

TEST_F(TgaUpload, FailureLeavesTheNameAndCreatesNoTexture) {
  Header h;
  std::string path = write("short.tga", file_bytes(h, -1));
  unsigned probe = 0;
  glGenTextures(1, &probe);  // the next free name
  glDeleteTextures(1, &probe);
  unsigned id = 4242;
  EXPECT_EQ(load_tga_texture(path.c_str(), &id), 0);
  EXPECT_EQ(id, 4242u);
  EXPECT_EQ(messages.last(), "ERROR: File " + path + " has bad image data.");
  EXPECT_EQ(glIsTexture(probe), GL_FALSE);
  EXPECT_EQ(load_tga_texture((dir.path() + "/none.tga").c_str(), &id), 0);
  EXPECT_EQ(id, 4242u);
}

// The fixtures were written once by ImageMagick 6.9.11:
//   convert -size 64x128 'xc:rgb(10,20,30)' -fill 'rgb(200,100,50)' -draw 'point 0,0'
//     -fill 'rgb(1,2,3)' -draw 'point 63,127' -fill 'rgb(90,180,240)' -draw 'point 5,7'
//     -type TrueColor -depth 8 -compress none im_rgb_64x128.tga
//   convert -size 128x64 'xc:rgba(10,20,30,0.5)' -alpha set -fill 'rgba(200,100,50,1.0)'
//     -draw 'point 0,0' -fill 'rgba(1,2,3,1.0)' -draw 'point 127,63'
//     -type TrueColorAlpha -depth 8 -compress none im_rgba_128x64.tga
//   convert -size 64x64 'xc:gray(40)' -fill 'gray(250)' -draw 'point 0,0' -fill 'gray(3)'
//     -draw 'point 63,63' -type Grayscale -depth 8 -compress none im_gray_64x64.tga
// ImageMagick stores the picture's top row first, so texel row r is picture row r.
struct Dot {
  int x, y;
  unsigned char value[4];
};

void expect_picture(const std::vector<unsigned char>& texels, int w, int h, int bytes, const unsigned char* ground,
                    std::initializer_list<Dot> dots, const char* what) {
  size_t wrong = 0;
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      const unsigned char* want = ground;
      for (const Dot& d : dots)
        if (d.x == x && d.y == y) want = d.value;
      const unsigned char* got = &texels[(static_cast<size_t>(y) * w + x) * bytes];
      if (std::memcmp(got, want, static_cast<size_t>(bytes)) != 0) wrong++;
    }
  EXPECT_EQ(wrong, 0u) << what;
}

TEST_F(TgaUpload, ImageMagickPicturesLoadWithTheirPixels) {
  unsigned rgb = load(test::fixture_path("tga/im_rgb_64x128.tga"));
  const unsigned char ground_rgb[3] = {10, 20, 30};
  expect_picture(read_back(rgb, GL_RGB, 64, 128, 3), 64, 128, 3, ground_rgb,
                 {{0, 0, {200, 100, 50, 0}}, {63, 127, {1, 2, 3, 0}}, {5, 7, {90, 180, 240, 0}}}, "rgb");

  unsigned rgba = load(test::fixture_path("tga/im_rgba_128x64.tga"));
  EXPECT_EQ(level_parameter(rgba, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
  const unsigned char ground_rgba[4] = {10, 20, 30, 128};
  expect_picture(read_back(rgba, GL_RGBA, 128, 64, 4), 128, 64, 4, ground_rgba,
                 {{0, 0, {200, 100, 50, 255}}, {127, 63, {1, 2, 3, 255}}}, "rgba");

  unsigned grey = load(test::fixture_path("tga/im_gray_64x64.tga"));
  EXPECT_EQ(level_parameter(grey, GL_TEXTURE_INTERNAL_FORMAT), GL_ALPHA);
  const unsigned char ground_grey[1] = {40};
  expect_picture(read_back(grey, GL_ALPHA, 64, 64, 1), 64, 64, 1, ground_grey,
                 {{0, 0, {250, 0, 0, 0}}, {63, 63, {3, 0, 0, 0}}}, "grey");
}

// The full set of fixed textures from a scratch folder, with the working folder moved
// there and back.
class FixedTextures : public TgaUpload {
 protected:
  void SetUp() override {
    TgaUpload::SetUp();
    if (IsSkipped()) return;
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
  }
  void TearDown() override {
    free_textures();
    if (saved[0]) {
      EXPECT_EQ(chdir(saved), 0);
    }
    TgaUpload::TearDown();
  }
  char saved[PATH_MAX] = "";
};

const char* const fixed_files[] = {"vurk",     "material", "metal", "rock",  "bullet", "rope",  "font",
                                   "particle", "explode",  "bhole", "flare", "gray",   "tausta", "otsikko"};
unsigned* const fixed_names[] = {&vurk_texture,     &dirt_texture,       &metal_texture,     &rock_texture,
                                 &bullet_texture,   &rope_texture,       &font_texture,      &particle_texture,
                                 &explosion_texture, &bullethole_texture, &flare_texture,     &gray_texture,
                                 &background_texture, &headline};

TEST_F(FixedTextures, AllFourteenLoadIntoTheirGlobalsAndAreFreed) {
  for (int i = 0; i < 14; i++) {
    Header h;
    h.width = 64 << (i % 3);  // each file tells itself apart by its width
    write(std::string("textures/") + fixed_files[i] + ".tga", file_bytes(h));
  }
  ASSERT_EQ(load_textures(), 1);
  EXPECT_EQ(messages.count(), 0);
  for (int i = 0; i < 14; i++) {
    ASSERT_NE(*fixed_names[i], 0u) << fixed_files[i];
    EXPECT_EQ(level_parameter(*fixed_names[i], GL_TEXTURE_WIDTH), 64 << (i % 3)) << fixed_files[i];
  }
  const unsigned font = font_texture;
  free_textures();
  for (int i = 0; i < 14; i++) EXPECT_EQ(*fixed_names[i], 0u) << fixed_files[i];
  EXPECT_EQ(glIsTexture(font), GL_FALSE);
}

TEST_F(FixedTextures, AMissingFlareStopsTheSetThere) {
  for (int i = 0; i < 14; i++) {
    if (std::strcmp(fixed_files[i], "flare") != 0)
      write(std::string("textures/") + fixed_files[i] + ".tga", file_bytes(Header{}));
  }
  EXPECT_EQ(load_textures(), 0);
  EXPECT_EQ(messages.count(), 1);
  EXPECT_EQ(messages.last(), "ERROR: Can't open file textures/flare.tga.");
  EXPECT_NE(bullethole_texture, 0u);  // loaded before the failure, kept
  EXPECT_EQ(gray_texture, 0u);        // after it, never tried
  EXPECT_EQ(headline, 0u);
}

}  // namespace
}  // namespace vurkhold
