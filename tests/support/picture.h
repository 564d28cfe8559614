// test support: PNG screenshots read back and measured by region.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vurkhold::test {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows top down, as the file holds them
};

bool read_picture(const std::string& path, Picture* picture);

using PixelTest = bool (*)(int r, int g, int b);
inline bool is_lit(int r, int g, int b) { return r + g + b > 45; }
inline bool is_red(int r, int g, int b) { return r > 150 && g < 90 && b < 90; }

// The share (0..1) of the pixels for which `test` holds in x0 <= x < x1, y0 <= y < y1 of
// the game's 640 x 480 screen (origin bottom left), scaled to the picture's size.
double share(const Picture& picture, int x0, int y0, int x1, int y1, PixelTest test);

}  // namespace vurkhold::test
