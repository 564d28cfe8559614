// GL test support: a match on the generated game folder with real textures, and the
// screen read back for drawing tests.
#pragma once

#include <vector>

namespace vurkhold::test {

// Opens the GL context if needed and loads the game folder with texture objects; true when
// all is ready. release_game_folder frees it again (call once per suite that loaded it).
bool load_game_folder();
void release_game_folder();

// A four-bot match on `level` (a path inside the game folder), `frames` frames of 16 ms in.
bool start_match(const char* level, unsigned seed, int frames);

// The 640 x 480 back buffer as RGB rows from the bottom up.
struct Screen {
  std::vector<unsigned char> rgb;
  const unsigned char* at(int x, int y) const { return &rgb[(y * 640 + x) * 3]; }
  // Pixels of the rectangle [x0, x1) x [y0, y1) that pass `test`.
  template <typename Test>
  int count(int x0, int y0, int x1, int y1, Test test) const {
    int n = 0;
    for (int y = y0; y < y1; y++)
      for (int x = x0; x < x1; x++) n += test(at(x, y)) ? 1 : 0;
    return n;
  }
  int lit(int x0, int y0, int x1, int y1) const {
    return count(x0, y0, x1, y1, [](const unsigned char* p) { return p[0] + p[1] + p[2] > 0; });
  }
};
Screen read_screen();
void clear_screen();

}  // namespace vurkhold::test
