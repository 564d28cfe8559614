// GL test support: the test program's GL context, the game folder under it, a known stage
// to draw on, and what a frame showed: its pixels, and its text read back from GL feedback.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "records/records.h"

namespace vurkhold::test {

// Opens the window on first use (under Xvfb in the suite), one for the whole test program;
// true when a GL context is current.
bool ensure_gl_context();

// Opens the GL context if needed and loads the game folder with texture objects; true when
// all is ready. release_game_folder frees it again.
bool load_game_folder();
void release_game_folder();
// A suite of tests on the loaded game folder.
class GameFolder : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ready_ = load_game_folder(); }
  static void TearDownTestSuite() { release_game_folder(); }
  void SetUp() override { ASSERT_TRUE(ready_); }
  static inline bool ready_ = false;
};

// The arena (open space over a floor at y 2.5, every pool empty, every vurk off) in full
// ambient light, fog pushed past the far plane, every texture of a match flat black and the
// font's transparent: whatever a test places shows in exactly the colours it gives it. All
// of it is put back on destruction.
class Stage {
 public:
  Stage();
  ~Stage();
  // A w x h texture from 0xRRGGBBAA texels, row 0 first, sampled nearest.
  unsigned texture(int w, int h, const std::vector<uint32_t>& texels);
  unsigned flat(uint32_t rgba) { return texture(1, 1, {rgba}); }
};

// The 640 x 480 back buffer as RGB rows from the bottom up.
struct Screen {
  std::vector<unsigned char> rgb;
  const unsigned char* at(int x, int y) const { return &rgb[(y * 640 + x) * 3]; }
  uint32_t rgb_at(int x, int y) const { return at(x, y)[0] << 16 | at(x, y)[1] << 8 | at(x, y)[2]; }
  // Pixels of the rectangle [x0, x1) x [y0, y1) in colour `rgb`.
  int pixels(int x0, int y0, int x1, int y1, uint32_t rgb) const {
    int n = 0;
    for (int y = y0; y < y1; y++)
      for (int x = x0; x < x1; x++) n += rgb_at(x, y) == rgb ? 1 : 0;
    return n;
  }
};
Screen read_screen();
void clear_screen();

// The polygons `draw` sent, caught by GL feedback in window coordinates.
struct Corner {
  float x, y, z, r, g, b, a, s, t;
};
using Polygon = std::vector<Corner>;
std::vector<Polygon> feedback(void (*draw)());

// The text among those polygons: a glyph is an upright square textured with one cell of the
// font's 8 x 8 grid, top left at its cell's top left; glyphs 0.8 of their size apart at the
// same height and in the same colour make one line.
struct Line {
  std::string text;
  float x, y, size;
  uint32_t rgb;  // 0xRRGGBB
};
std::vector<Line> printed(void (*draw)());
// Alike when text and colour match and places and sizes agree to a hundredth of a pixel;
// printed as "text" @x,y size #rrggbb.
bool operator==(const Line& a, const Line& b);
void PrintTo(const Line& line, std::ostream* out);

}  // namespace vurkhold::test
