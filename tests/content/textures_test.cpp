// textures of the generated game folder: every file reads as the game reads it, the
// blended ones carry alpha, the font's glyphs fit the text advance and stand upright, and
// the terrain and menu pictures tile.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "assets/assets.h"
#include "content/manifest.h"
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

TEST(GeneratedTextures, EveryFileReadsAndTheBlendedOnesCarryAlpha) {
  const struct {
    const char* file;
    bool alpha;
  } fixed[] = {{"vurk.tga", false},    {"material.tga", false}, {"metal.tga", false},   {"rock.tga", false},
               {"bullet.tga", true},   {"rope.tga", false},     {"font.tga", true},     {"particle.tga", true},
               {"explode.tga", true},  {"bhole.tga", true},     {"flare.tga", false},   {"gray.tga", false},
               {"tausta.tga", false},  {"otsikko.tga", true}};
  for (const auto& row : fixed) {
    const Picture p(row.file);
    ASSERT_TRUE(p.ok) << row.file;
    if (row.alpha) {
      EXPECT_TRUE(p.image.format == TEXTURE_RGBA || p.image.format == TEXTURE_ALPHA) << row.file;
    }
  }
  for (const content::WEAPON_MODEL_ENTRY& w : content::weapon_models)
    EXPECT_TRUE(Picture(std::string(w.stem) + ".tga").ok) << w.stem;
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

// Mean difference of two columns (or rows) of a square region.
double line_difference(const Picture& p, int x0, int y0, int size, int a, int b, bool columns) {
  double sum = 0;
  for (int i = 0; i < size; i++)
    for (int c = 0; c < 3; c++)
      sum += columns ? std::abs(p.at(x0 + a, y0 + i, c) - p.at(x0 + b, y0 + i, c))
                     : std::abs(p.at(x0 + i, y0 + a, c) - p.at(x0 + i, y0 + b, c));
  return sum / size;
}

// The first and last column and row of a region meet about as closely as neighbours
// inside it do; a picture that does not wrap differs there like two random lines.
void expect_tiles(const Picture& p, int x0, int y0, int size, const char* what) {
  for (bool columns : {true, false}) {
    double inside = 0;
    for (int k = 0; k + 1 < size; k++) inside += line_difference(p, x0, y0, size, k, k + 1, columns);
    inside /= size - 1;
    EXPECT_LT(line_difference(p, x0, y0, size, size - 1, 0, columns), 2.0 * inside)
        << what << (columns ? " columns" : " rows");
  }
}

TEST(GeneratedTextures, TerrainMaterialsDifferAndEveryQuarterTiles) {
  const Picture material("material.tga");
  ASSERT_TRUE(material.ok);
  const int q = material.image.width / 2;
  double mean[4][3] = {};
  for (int m = 0; m < 4; m++) {
    const int x0 = m % 2 * q, y0 = m / 2 * q;
    for (int y = 0; y < q; y++)
      for (int x = 0; x < q; x++)
        for (int c = 0; c < 3; c++) mean[m][c] += material.at(x0 + x, y0 + y, c) / double(q * q);
    expect_tiles(material, x0, y0, q, ("material " + std::to_string(m)).c_str());
  }
  for (int a = 0; a < 4; a++) {
    for (int b = a + 1; b < 4; b++) {
      double d = 0;
      for (int c = 0; c < 3; c++) d += std::abs(mean[a][c] - mean[b][c]);
      EXPECT_GT(d, 10.0) << "materials " << a << " and " << b;
    }
  }
  const Picture background("tausta.tga");
  ASSERT_TRUE(background.ok);
  expect_tiles(background, 0, 0, background.image.width, "tausta");
}

}  // namespace
}  // namespace vurkhold
