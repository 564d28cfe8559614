// texture art: the canvas the texture generators paint on, the seamless noise and cell
// patterns they paint with, glyphs drawn with FreeType, and the TGA and PNG writers.
#pragma once

#include <string>
#include <vector>

namespace noise::module {
class Module;
}

namespace content {

struct COLOR {
  float r, g, b, a;
};

// Straight (not premultiplied) colour in 0..1. Row 0 is the first row stored in a TGA
// file, which the game addresses as t = 0 and draws at the top of text, title and sprites.
struct CANVAS {
  int width;
  int height;
  std::vector<COLOR> pixel;
};

CANVAS make_canvas(int width, int height, COLOR fill);
inline COLOR& at(CANVAS& c, int x, int y) { return c.pixel[static_cast<size_t>(y) * c.width + x]; }
inline const COLOR& at(const CANVAS& c, int x, int y) { return c.pixel[static_cast<size_t>(y) * c.width + x]; }
// Copies `from` into `to` with its top left corner at (x, y).
void paste(CANVAS* to, const CANVAS& from, int x, int y);

// ---- colour arithmetic ----
float clamp01(float x);
float smooth(float edge0, float edge1, float x);
COLOR rgb(int r, int g, int b);
COLOR mix(COLOR a, COLOR b, float t);
COLOR scale(COLOR c, float f);  // colour times f, alpha kept
COLOR add(COLOR a, COLOR b);    // colour sum, alpha of a
// A colour ramp: `n` stops at positions 0..1 in rising order.
struct RAMP_STOP {
  float at;
  COLOR color;
};
COLOR ramp(const RAMP_STOP* stops, int n, float x);

// ---- seamless patterns: (u, v) in tile units, period 1 in both ----

// `module` over a tile `scale_u` by `scale_v` noise units wide. The tile is wrapped round
// a cylinder along u and cross-faded with its own copy one period away along v; the fade
// keeps the spread of noise whose values centre on `centre`.
double tiled_noise(const noise::module::Module& module, double u, double v, double scale_u, double scale_v,
                   double centre = 0.0);

// Cellular pattern on an n x n jittered grid that wraps at the tile edges: distances to
// the nearest and second nearest feature point, in cell units, and the nearest cell's
// number.
struct CELLS {
  double f1, f2;
  unsigned id;
};
CELLS tiled_cells(double u, double v, int n, unsigned seed, double jitter = 0.9);

// The light on a height field (row-major, w x h, wrapping at its edges) lit from the top
// left: 1 on level ground, more on slopes facing the light, less on slopes facing away.
// `strength` is the height of one unit of `height` in pixels.
std::vector<float> relief(const std::vector<float>& height, int w, int h, float strength);

// A deterministic hash of three integers, and its value as 0..1.
unsigned hash3(unsigned a, unsigned b, unsigned c);
double hash01(unsigned a, unsigned b, unsigned c);

// ---- glyphs ----

// The coverage (0..1) of a text line drawn with the TrueType face `font_path` at
// `pixel_size`, cropped to its ink. Empty on failure, after a message on stderr.
struct GLYPH_IMAGE {
  int width, height;
  int left, top;  // offset of the bitmap from the pen at the baseline (top: rows above)
  std::vector<float> coverage;
};
int render_text(const char* font_path, const char* text, int pixel_size, GLYPH_IMAGE* out);

// ---- files ----

// Writes `c` as an uncompressed TGA: 32 bits BGRA or 24 bits BGR (type 2), or 8 bits of
// the alpha channel (type 3). 1 on success, 0 after a message on stderr.
int write_tga(const std::string& path, const CANVAS& c, int bits);
// Writes `c` as an 8-bit RGBA PNG; 1 on success, 0 after a message on stderr.
int write_png(const std::string& path, const CANVAS& c);

}  // namespace content
