// textures of the generated game folder: the blended ones carry alpha, and the font's
// glyphs fit the text advance and stand upright.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "assets/assets.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

struct Picture {
  TGA_IMAGE image{};
  bool ok = false;
  explicit Picture(const std::string& name) {
    test::MessageCapture messages;
    ok = read_tga_image((std::string(VURK_GAME_DIR) + "/textures/" + name).c_str(), &image) == 1 &&
         messages.count() == 0;
  }
  ~Picture() { free_tga_image(&image); }
  int bytes() const { return image.bits / 8; }
  // Channel c of texel (x, y); row y is t = y / height.
  int at(int x, int y, int c) const { return image.pixels[(static_cast<size_t>(y) * image.width + x) * bytes() + c]; }
  int alpha(int x, int y) const { return at(x, y, bytes() - 1); }
};

// The start reads every file; the ones drawn blended must bring their own alpha.
TEST(GeneratedTextures, TheBlendedOnesCarryAlpha) {
  for (const char* file : {"bullet.tga", "font.tga", "particle.tga", "explode.tga", "bhole.tga", "otsikko.tga"}) {
    const Picture p(file);
    ASSERT_TRUE(p.ok) << file;
    EXPECT_TRUE(p.image.format == TEXTURE_RGBA || p.image.format == TEXTURE_ALPHA) << file;
  }
}

TEST(GeneratedTextures, GlyphsHaveInkInsideTheAdvanceAndStandUpright) {
  const Picture font("font.tga");
  ASSERT_TRUE(font.ok);
  ASSERT_EQ(font.image.format, TEXTURE_RGBA);
  const int cell = font.image.width / 8;
  for (int code = 33; code < 96; code++) {
    const int x0 = (code - 32) % 8 * cell, y0 = (code - 32) / 8 * cell;
    int ink = 0, beyond = 0;
    for (int y = 0; y < cell; y++) {
      for (int x = 0; x < cell; x++) {
        if (font.alpha(x0 + x, y0 + y) == 0) continue;
        ink++;
        if (x + 1 > 0.8 * cell) beyond++;
      }
    }
    EXPECT_GT(ink, 0) << static_cast<char>(code);
    EXPECT_EQ(beyond, 0) << static_cast<char>(code);
  }
  // 'T': its bar is at the glyph's top, which glPrint maps to the smaller t.
  const int x0 = ('T' - 32) % 8 * cell, y0 = ('T' - 32) / 8 * cell;
  long top = 0, bottom = 0;
  for (int y = 0; y < cell / 2; y++) {
    for (int x = 0; x < cell; x++) {
      top += font.at(x0 + x, y0 + y, 0) * font.alpha(x0 + x, y0 + y);
      bottom += font.at(x0 + x, y0 + cell - 1 - y, 0) * font.alpha(x0 + x, y0 + cell - 1 - y);
    }
  }
  EXPECT_GT(top, 2 * bottom);
}

}  // namespace
}  // namespace vurkhold
