// textures of the generated game folder: the terrain's materials are light, fine and even,
// the blended ones carry alpha, and the font's glyphs fit the text advance and stand upright.
#include <gtest/gtest.h>

#include <algorithm>
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

// Every terrain triangle shows a patch of its material's quarter of material.tga, laid
// from the quarter's corner with its longest edge along the quarter's first rows; about
// 150 texels make a unit of wall. A quarter must be light enough for the ambient light
// alone to show it, carry fine detail, be even in tone over areas the size of a patch
// (broad shading shows every patch's edge as a seam), and be no darker or lighter along
// its first rows and columns, where all the patches meet.
TEST(GeneratedTextures, TerrainMaterialsAreLightFineAndEvenOverEveryPatch) {
  const Picture p("material.tga");
  ASSERT_TRUE(p.ok);
  ASSERT_EQ(p.image.format, TEXTURE_RGB);
  const int q = p.image.width / 2, block = q / 4, strip = q / 32;
  for (int m = 0; m < 4; m++) {
    SCOPED_TRACE(m);
    auto tone = [&](int x, int y) {
      x += m % 2 * q, y += m / 2 * q;
      return (p.at(x, y, 0) + p.at(x, y, 1) + p.at(x, y, 2)) / 3.0;
    };
    auto mean = [&](int x, int y, int w, int h, double from = 0, int power = 1) {
      double sum = 0;
      for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++) sum += std::pow(tone(i, j) - from, power);
      return sum / (w * h);
    };
    const double all = mean(0, 0, q, q), spread = std::sqrt(mean(0, 0, q, q, all, 2));
    EXPECT_TRUE(all >= 140 && all <= 195) << all;
    EXPECT_TRUE(spread >= 8 && spread <= 24) << spread << ": no detail, or too much contrast";
    double lowest = 255, highest = 0;
    for (int y = 0; y < q; y += block)
      for (int x = 0; x < q; x += block) {
        lowest = std::min(lowest, mean(x, y, block, block));
        highest = std::max(highest, mean(x, y, block, block));
      }
    EXPECT_LE(highest - lowest, 12.0) << "blotches as large as a patch";
    EXPECT_NEAR(mean(0, 0, q, strip), all, 5.0) << "first rows";
    EXPECT_NEAR(mean(0, 0, strip, q), all, 5.0) << "first columns";
  }
}

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
