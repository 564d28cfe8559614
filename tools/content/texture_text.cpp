// text textures: the 64-glyph font grid and the title, drawn with FreeType.
#include <libnoise/noise.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "content/texture_makers.h"

namespace content {

namespace {

float f(double x) { return static_cast<float>(x); }

// Distance in pixels from every pixel to the nearest pixel where `inside` is false
// (0 outside); a two-pass chamfer, exact enough for bevels and rims. Beyond the picture's
// edge counts as outside when `edge_outside` is set, else as inside.
std::vector<float> distance_to_outside(const std::vector<bool>& inside, int w, int h, bool edge_outside) {
  constexpr float BIG = 1e6f, STRAIGHT = 1.0f, DIAGONAL = 1.41421356f;
  std::vector<float> d(inside.size());
  for (size_t i = 0; i < d.size(); i++) d[i] = inside[i] ? BIG : 0.0f;
  const float beyond = edge_outside ? 0.0f : BIG;
  auto get = [&](int x, int y) { return (x < 0 || y < 0 || x >= w || y >= h) ? beyond : d[static_cast<size_t>(y) * w + x]; };
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      float& v = d[static_cast<size_t>(y) * w + x];
      v = std::min({v, get(x - 1, y) + STRAIGHT, get(x, y - 1) + STRAIGHT, get(x - 1, y - 1) + DIAGONAL,
                    get(x + 1, y - 1) + DIAGONAL});
    }
  }
  for (int y = h - 1; y >= 0; y--) {
    for (int x = w - 1; x >= 0; x--) {
      float& v = d[static_cast<size_t>(y) * w + x];
      v = std::min({v, get(x + 1, y) + STRAIGHT, get(x, y + 1) + STRAIGHT, get(x + 1, y + 1) + DIAGONAL,
                    get(x - 1, y + 1) + DIAGONAL});
    }
  }
  return d;
}

// Coverage, row-major w x h, sampled at fractional pixel (x, y) with linear filtering.
float sample(const std::vector<float>& cov, int w, int h, float x, float y) {
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
  auto get = [&](int i, int j) { return (i < 0 || j < 0 || i >= w || j >= h) ? 0.0f : cov[static_cast<size_t>(j) * w + i]; };
  return (get(x0, y0) * (1 - fx) + get(x0 + 1, y0) * fx) * (1 - fy) + (get(x0, y0 + 1) * (1 - fx) + get(x0 + 1, y0 + 1) * fx) * fy;
}

}  // namespace

// font.tga: 8 x 8 cells of 32 pixels; cell n holds character 32 + n, white with a dark
// rim so it reads over bright walls too. The text is drawn with an advance of 0.8 of a
// cell, so each glyph and its rim stay inside the cell's left 25 columns; a one-pixel
// clear border keeps linear filtering from pulling in the neighbours.
int paint_font(CANVAS* out) {
  constexpr int CELL = 32, PIXEL_SIZE = 30, BASELINE = 25, RIM = 2;
  constexpr int INK_LEFT = 1, INK_RIGHT = 24, INK_TOP = 1, INK_BOTTOM = 30;  // inclusive
  *out = make_canvas(8 * CELL, 8 * CELL, COLOR{1, 1, 1, 0});
  for (int code = 33; code < 96; code++) {
    const char text[2] = {static_cast<char>(code), 0};
    GLYPH_IMAGE g;
    if (!render_text(FONT_FACE, text, PIXEL_SIZE, &g)) return 0;
    if (g.width == 0) continue;
    // Widened a fifth, for a tighter run of letters at the fixed advance; glyphs wider
    // than the ink box are narrowed to it.
    const int room = INK_RIGHT - INK_LEFT + 1 - 2 * RIM;
    const int width = std::min(static_cast<int>(std::lround(1.2 * g.width)), room);
    const float squeeze = static_cast<float>(g.width) / static_cast<float>(width);
    const int x0 = INK_LEFT + RIM + (room - width) / 2;
    int y0 = BASELINE - g.top;
    y0 = std::max(y0, INK_TOP + RIM);
    y0 = std::min(y0, INK_BOTTOM - RIM - g.height + 1);

    std::vector<float> cov(CELL * CELL, 0.0f);
    for (int y = 0; y < g.height; y++)
      for (int x = 0; x < width; x++)
        cov[static_cast<size_t>(y0 + y) * CELL + x0 + x] =
            sample(g.coverage, g.width, g.height, (static_cast<float>(x) + 0.5f) * squeeze - 0.5f, static_cast<float>(y));
    const int col = (code - 32) % 8, row = (code - 32) / 8;
    for (int y = 0; y < CELL; y++) {
      for (int x = 0; x < CELL; x++) {
        // The rim: the glyph's coverage spread over a disc of radius RIM.
        float rim = 0.0f;
        for (int j = -RIM; j <= RIM; j++) {
          for (int i = -RIM; i <= RIM; i++) {
            const int sx = x + i, sy = y + j;
            if (sx < 0 || sy < 0 || sx >= CELL || sy >= CELL) continue;
            const float reach = clamp01(static_cast<float>(RIM) + 0.5f - std::sqrt(static_cast<float>(i * i + j * j)));
            rim = std::max(rim, cov[static_cast<size_t>(sy) * CELL + sx] * reach);
          }
        }
        const float ink = cov[static_cast<size_t>(y) * CELL + x];
        const float alpha = std::max(ink, 0.85f * rim);
        const float white = alpha > 0.0f ? ink / alpha : 1.0f;
        at(*out, col * CELL + x, row * CELL + y) = COLOR{white, white, white, alpha};
      }
    }
  }
  return 1;
}

// otsikko.tga: "VURKHOLD" in bevelled stone, lit from above, with a bronze rim and a
// crystal glow, on a clear background. Drawn 300 x 70 pixels on the menu.
int paint_title(CANVAS* out) {
  constexpr int W = 512, H = 128, RIM = 4;
  GLYPH_IMAGE g;
  if (!render_text(TITLE_FACE, "VURKHOLD", 100, &g)) return 0;
  if (g.width == 0) {
    std::fprintf(stderr, "vurkhold-content: the title has no ink\n");
    return 0;
  }
  // Fitted into the picture with room for the rim and the glow.
  const float fit = std::min(static_cast<float>(W - 40) / static_cast<float>(g.width),
                             static_cast<float>(H - 34) / static_cast<float>(g.height));
  const float left = 0.5f * (static_cast<float>(W) - fit * static_cast<float>(g.width));
  const float top = 0.5f * (static_cast<float>(H) - fit * static_cast<float>(g.height));
  std::vector<float> cov(static_cast<size_t>(W) * H, 0.0f);
  std::vector<bool> inside(cov.size()), outside(cov.size());
  for (int y = 0; y < H; y++) {
    for (int x = 0; x < W; x++) {
      const float gx = (static_cast<float>(x) + 0.5f - left) / fit - 0.5f;
      const float gy = (static_cast<float>(y) + 0.5f - top) / fit - 0.5f;
      const size_t i = static_cast<size_t>(y) * W + x;
      cov[i] = clamp01(sample(g.coverage, g.width, g.height, gx, gy));
      inside[i] = cov[i] >= 0.5f;
      outside[i] = !inside[i];
    }
  }
  const std::vector<float> depth = distance_to_outside(inside, W, H, true);
  const std::vector<float> reach = distance_to_outside(outside, W, H, false);

  noise::module::Perlin grain;
  grain.SetSeed(151);
  grain.SetOctaveCount(5);
  noise::module::RidgedMulti cracks;
  cracks.SetSeed(152);
  cracks.SetOctaveCount(3);
  // The bevel: height rises over the first pixels inside the letters.
  std::vector<float> height(cov.size());
  for (size_t i = 0; i < cov.size(); i++) height[i] = std::min(depth[i], 7.0f) / 7.0f;
  const std::vector<float> light = relief(height, W, H, 5.0f);

  *out = make_canvas(W, H, COLOR{0, 0, 0, 0});
  const RAMP_STOP stone[] = {{0.0f, rgb(226, 218, 198)}, {0.5f, rgb(168, 160, 148)}, {1.0f, rgb(96, 90, 88)}};
  for (int y = 0; y < H; y++) {
    for (int x = 0; x < W; x++) {
      const size_t i = static_cast<size_t>(y) * W + x;
      const double px = x / 40.0, py = y / 40.0;
      const float gv = f(grain.GetValue(px, py, 0.5));
      const float crack = smooth(0.72f, 0.95f, f(cracks.GetValue(px * 0.7, py * 0.7, 2.5)));
      // Letters: stone graded from light at the top to dark at the foot, bevelled.
      const float down = clamp01((static_cast<float>(y) - top) / (fit * static_cast<float>(g.height)));
      COLOR face = scale(ramp(stone, 3, down), (0.9f + 0.15f * gv) * (0.45f + 0.6f * light[i]));
      face = mix(face, rgb(60, 54, 52), 0.6f * crack * smooth(1.0f, 3.0f, depth[i]));
      // Rim: bronze just outside the letters, brightest along its upper side.
      const float d = reach[i];
      const float rim_alpha = smooth(RIM + 0.8f, RIM - 0.8f, d);
      const float rim_shine = 0.55f + 0.6f * clamp01(0.5f + 0.5f * (d - 0.5f * RIM) / RIM) * (1.0f - down);
      const COLOR rim = scale(rgb(176, 122, 62), rim_shine * (0.9f + 0.15f * gv));
      // Glow: a crystal light fading outwards beyond the rim.
      const float glow = 0.8f * std::exp(-std::max(0.0f, d - RIM) / 4.0f) * smooth(0.0f, 1.0f, d);
      COLOR c = COLOR{0.3f, 0.82f, 0.86f, glow};
      c = mix(c, COLOR{rim.r, rim.g, rim.b, 1.0f}, rim_alpha);
      c = mix(c, COLOR{face.r, face.g, face.b, 1.0f}, cov[i]);
      at(*out, x, y) = c;
    }
  }
  return 1;
}

}  // namespace content
