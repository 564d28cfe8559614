// texture art: canvas, colour arithmetic, seamless noise and cells, FreeType text, and the
// TGA and PNG writers of the texture generators.
#include "content/texture_art.h"

#include "content/content.h"
#include "platform/platform.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <libnoise/noise.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace content {

namespace {

constexpr double PI = 3.14159265358979323846;

unsigned char to_byte(float x) { return static_cast<unsigned char>(std::lround(clamp01(x) * 255.0f)); }

}  // namespace

CANVAS make_canvas(int width, int height, COLOR fill) {
  return CANVAS{width, height, std::vector<COLOR>(static_cast<size_t>(width) * height, fill)};
}

void paste(CANVAS* to, const CANVAS& from, int x, int y) {
  for (int j = 0; j < from.height; j++)
    for (int i = 0; i < from.width; i++) at(*to, x + i, y + j) = at(from, i, j);
}

float clamp01(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

float smooth(float edge0, float edge1, float x) {
  const float t = clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3.0f - 2.0f * t);
}

COLOR rgb(int r, int g, int b) { return COLOR{r / 255.0f, g / 255.0f, b / 255.0f, 1.0f}; }

COLOR mix(COLOR a, COLOR b, float t) {
  return COLOR{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

COLOR scale(COLOR c, float f) { return COLOR{c.r * f, c.g * f, c.b * f, c.a}; }

COLOR add(COLOR a, COLOR b) { return COLOR{a.r + b.r, a.g + b.g, a.b + b.b, a.a}; }

COLOR ramp(const RAMP_STOP* stops, int n, float x) {
  if (x <= stops[0].at) return stops[0].color;
  for (int i = 1; i < n; i++)
    if (x < stops[i].at) return mix(stops[i - 1].color, stops[i].color, (x - stops[i - 1].at) / (stops[i].at - stops[i - 1].at));
  return stops[n - 1].color;
}

double tiled_noise(const noise::module::Module& module, double u, double v, double scale_u, double scale_v,
                   double centre) {
  const double radius = scale_u / (2.0 * PI);
  const double x = radius * std::cos(2.0 * PI * u);
  const double z = radius * std::sin(2.0 * PI * u);
  const double fv = v - std::floor(v);
  const double y = fv * scale_v;
  // The copy fades in across the middle of the tile only, so most of it is one field.
  const float fade = smooth(0.3f, 0.7f, static_cast<float>(fv));
  const double angle = 0.5 * PI * fade;
  const double n0 = module.GetValue(x, y, z) - centre;
  if (fade <= 0.0f) return centre + n0;
  const double n1 = module.GetValue(x, y - scale_v, z) - centre;
  return centre + std::cos(angle) * n0 + std::sin(angle) * n1;
}

std::vector<float> relief(const std::vector<float>& height, int w, int h, float strength) {
  const double lx = -0.5, ly = -0.6, lz = 0.62;  // towards the light, unit length
  std::vector<float> light(height.size());
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      auto hgt = [&](int i, int j) { return height[static_cast<size_t>((j + h) % h) * w + (i + w) % w]; };
      const double dx = 0.5 * (hgt(x + 1, y) - hgt(x - 1, y)) * strength;
      const double dy = 0.5 * (hgt(x, y + 1) - hgt(x, y - 1)) * strength;
      const double len = std::sqrt(dx * dx + dy * dy + 1.0);
      const double lit = (-dx * lx - dy * ly + lz) / len;
      light[static_cast<size_t>(y) * w + x] = static_cast<float>(std::max(0.0, lit) / lz);
    }
  }
  return light;
}

unsigned hash3(unsigned a, unsigned b, unsigned c) {
  unsigned h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

double hash01(unsigned a, unsigned b, unsigned c) { return (hash3(a, b, c) & 0xFFFFFFu) / 16777216.0; }

CELLS tiled_cells(double u, double v, int n, unsigned seed, double jitter) {
  const double x = (u - std::floor(u)) * n;
  const double y = (v - std::floor(v)) * n;
  const int cx = static_cast<int>(x);
  const int cy = static_cast<int>(y);
  CELLS best = {1e9, 1e9, 0};
  for (int j = -2; j <= 2; j++) {
    for (int i = -2; i <= 2; i++) {
      const int gx = cx + i;
      const int gy = cy + j;
      const unsigned wx = static_cast<unsigned>((gx % n + n) % n);
      const unsigned wy = static_cast<unsigned>((gy % n + n) % n);
      const double px = gx + 0.5 + jitter * (hash01(wx, wy, seed) - 0.5);
      const double py = gy + 0.5 + jitter * (hash01(wx, wy, seed + 7919u) - 0.5);
      const double d = std::hypot(x - px, y - py);
      if (d < best.f1) {
        best.f2 = best.f1;
        best.f1 = d;
        best.id = wy * static_cast<unsigned>(n) + wx;
      } else if (d < best.f2) {
        best.f2 = d;
      }
    }
  }
  return best;
}

int render_text(const char* font_path, const char* text, int pixel_size, GLYPH_IMAGE* out) {
  *out = GLYPH_IMAGE{0, 0, 0, 0, {}};
  FT_Library library;
  if (FT_Init_FreeType(&library)) {
    std::fprintf(stderr, "vurkhold-content: can't start FreeType\n");
    return 0;
  }
  FT_Face face;
  if (FT_New_Face(library, font_path, 0, &face)) {
    std::fprintf(stderr, "vurkhold-content: can't read the font %s\n", font_path);
    FT_Done_FreeType(library);
    return 0;
  }
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixel_size));

  // Two passes: the ink's extent, then the coverage.
  int min_x = INT_MAX, max_x = INT_MIN, min_y = INT_MAX, max_y = INT_MIN;
  for (int pass = 0; pass < 2; pass++) {
    int pen = 0;
    for (const char* c = text; *c; c++) {
      if (FT_Load_Char(face, static_cast<unsigned char>(*c), FT_LOAD_RENDER)) continue;
      const FT_GlyphSlot g = face->glyph;
      const int x0 = pen + g->bitmap_left;
      const int y0 = -g->bitmap_top;  // rows below the baseline grow downwards
      for (unsigned row = 0; row < g->bitmap.rows; row++) {
        for (unsigned col = 0; col < g->bitmap.width; col++) {
          const unsigned char value = g->bitmap.buffer[row * static_cast<unsigned>(g->bitmap.pitch) + col];
          if (!value) continue;
          const int x = x0 + static_cast<int>(col);
          const int y = y0 + static_cast<int>(row);
          if (pass == 0) {
            min_x = std::min(min_x, x);
            max_x = std::max(max_x, x);
            min_y = std::min(min_y, y);
            max_y = std::max(max_y, y);
          } else {
            float& cell = out->coverage[static_cast<size_t>(y - min_y) * out->width + (x - min_x)];
            cell = std::min(1.0f, cell + value / 255.0f);
          }
        }
      }
      pen += static_cast<int>(g->advance.x >> 6);
    }
    if (pass == 0) {
      if (min_x > max_x) break;
      out->width = max_x - min_x + 1;
      out->height = max_y - min_y + 1;
      out->left = min_x;
      out->top = -min_y;
      out->coverage.assign(static_cast<size_t>(out->width) * out->height, 0.0f);
    }
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return 1;
}

int write_tga(const std::string& path, const CANVAS& c, int bits) {
  const int bytes = bits / 8;
  std::vector<unsigned char> data(18 + static_cast<size_t>(c.width) * c.height * bytes, 0);
  data[2] = bits == 8 ? 3 : 2;
  data[12] = static_cast<unsigned char>(c.width & 255);
  data[13] = static_cast<unsigned char>(c.width >> 8);
  data[14] = static_cast<unsigned char>(c.height & 255);
  data[15] = static_cast<unsigned char>(c.height >> 8);
  data[16] = static_cast<unsigned char>(bits);
  // The first stored row is the top one (origin bit 5), so image viewers show the picture
  // as the game draws it; the game itself takes the rows in stored order regardless.
  data[17] = static_cast<unsigned char>(0x20 | (bits == 32 ? 8 : 0));
  unsigned char* p = data.data() + 18;
  for (const COLOR& px : c.pixel) {
    if (bits == 8) {
      *p++ = to_byte(px.a);
      continue;
    }
    *p++ = to_byte(px.b);
    *p++ = to_byte(px.g);
    *p++ = to_byte(px.r);
    if (bits == 32) *p++ = to_byte(px.a);
  }
  return write_bytes(path.c_str(), data.data(), data.size());
}

int write_png(const std::string& path, const CANVAS& c) {
  std::vector<unsigned char> rgba(static_cast<size_t>(c.width) * c.height * 4);
  for (int y = 0; y < c.height; y++)
    for (int x = 0; x < c.width; x++) {
      const COLOR& px = at(c, x, y);
      unsigned char* out = &rgba[(static_cast<size_t>(y) * c.width + x) * 4];
      out[0] = to_byte(px.r);
      out[1] = to_byte(px.g);
      out[2] = to_byte(px.b);
      out[3] = to_byte(px.a);
    }
  char error[1200];
  const bool saved = platform::write_png(path.c_str(), c.width, c.height, 4, rgba.data(), 0, error, sizeof error);
  if (!saved) std::fprintf(stderr, "vurkhold-content: %s\n", error);
  return saved ? 1 : 0;
}

}  // namespace content
