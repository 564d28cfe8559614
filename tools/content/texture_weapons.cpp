// weapon textures: one seamless gunmetal skin per weapon model, each with its own tint and
// surface detail, so the gun in a vurk's hands tells which weapon it is.
#include <libnoise/noise.h>

#include <algorithm>
#include <cmath>

#include "content/manifest.h"
#include "content/texture_makers.h"

namespace content {

namespace {

constexpr int N = 128;
constexpr float PI = 3.14159265f;

enum PATTERN { PLATES, WOOD, KNURL, HAZARD, VENTS, DIMPLES, TEMPERED, GLOW, SCRATCHED, HEX, RINGS, RIBS, ZINC };

struct WEAPON_LOOK {
  const char* stem;
  PATTERN pattern;
  COLOR base;
  COLOR accent;
};

// In the order of the manifest's weapon models.
const WEAPON_LOOK looks[] = {
    {"w_machinegun", PLATES, rgb(74, 80, 92), rgb(150, 156, 164)},
    {"w_shotgun", WOOD, rgb(96, 98, 104), rgb(122, 74, 44)},
    {"w_sniper", KNURL, rgb(88, 94, 68), rgb(60, 64, 48)},
    {"w_rocket", HAZARD, rgb(80, 94, 64), rgb(204, 172, 44)},
    {"w_grenade", VENTS, rgb(114, 102, 76), rgb(40, 36, 30)},
    {"w_bouncer", DIMPLES, rgb(72, 108, 112), rgb(150, 190, 196)},
    {"w_minelayer", HAZARD, rgb(72, 72, 76), rgb(206, 112, 32)},
    {"w_flamer", TEMPERED, rgb(170, 106, 66), rgb(70, 90, 160)},
    {"w_laser", GLOW, rgb(178, 182, 188), rgb(60, 220, 240)},
    {"w_napalm", SCRATCHED, rgb(104, 104, 108), rgb(128, 42, 34)},
    {"w_digger", SCRATCHED, rgb(96, 94, 92), rgb(182, 140, 44)},
    {"w_cluster", HEX, rgb(66, 70, 78), rgb(120, 126, 136)},
    {"w_plasma", GLOW, rgb(64, 54, 86), rgb(206, 96, 255)},
    {"w_antigrav", RINGS, rgb(150, 164, 188), rgb(140, 210, 255)},
    {"w_minigun", RIBS, rgb(54, 56, 62), rgb(140, 146, 156)},
    {"w_nailgun", ZINC, rgb(150, 154, 158), rgb(214, 122, 40)},
};
static_assert(sizeof looks / sizeof looks[0] == sizeof weapon_models / sizeof weapon_models[0]);

float f(double x) { return static_cast<float>(x); }

// Distance in pixels to the nearest line of a square grid of `cells` per tile.
float grid_distance(int x, int y, int cells) {
  const int step = N / cells;
  const int px = x % step, py = y % step;
  return static_cast<float>(std::min(std::min(px, step - px), std::min(py, step - py)));
}

// Nearness (1 on the line, 0 two pixels off) to the closest of a set of short straight
// scratches, wrapping at the tile edges.
float scratches(int x, int y, int count, unsigned seed) {
  float best = 0.0f;
  for (int k = 0; k < count; k++) {
    const unsigned id = static_cast<unsigned>(k);
    const float sx = f(hash01(id, 1, seed) * N), sy = f(hash01(id, 2, seed) * N);
    const float angle = f(hash01(id, 3, seed)) * PI;
    const float length = 8.0f + 30.0f * f(hash01(id, 4, seed));
    const float ax = std::cos(angle), ay = std::sin(angle);
    float dx = static_cast<float>(x) - sx, dy = static_cast<float>(y) - sy;
    dx -= N * std::round(dx / N);
    dy -= N * std::round(dy / N);
    const float along = std::clamp(dx * ax + dy * ay, 0.0f, length);
    const float d = std::hypot(dx - along * ax, dy - along * ay);
    best = std::max(best, smooth(1.6f, 0.3f, d));
  }
  return best;
}

struct TEXEL {
  float height;
  COLOR albedo;
  COLOR glow;
};

TEXEL pattern_texel(const WEAPON_LOOK& look, int x, int y, float grain, float blotch, float streak) {
  const double u = static_cast<double>(x) / N, v = static_cast<double>(y) / N;
  TEXEL t = {0.5f, scale(look.base, 0.92f + 0.1f * streak), COLOR{0, 0, 0, 1}};
  switch (look.pattern) {
    case PLATES: {
      const float seam = grid_distance(x, y, 2);
      if (seam < 1.5f) t.height = 0.0f;
      const float rx = std::fmod(static_cast<float>(x) + 8.0f, 16.0f) - 8.0f;
      const float ry = static_cast<float>(y % 64 < 32 ? y % 64 - 5 : y % 64 - 59);
      const float d = std::sqrt(rx * rx + ry * ry) / 2.6f;
      if (d < 1.0f) {
        t.height = 0.5f + 0.8f * std::sqrt(1.0f - d * d);
        t.albedo = look.accent;
      }
      break;
    }
    case WOOD: {
      if (y >= N / 2) {
        const float rings = 0.5f + 0.5f * std::sin(2.0f * PI * (12.0f * static_cast<float>(v) + 0.8f * blotch + 0.15f * grain));
        t.albedo = scale(look.accent, (0.75f + 0.35f * rings) * (0.9f + 0.15f * streak));
        t.height = 0.45f + 0.05f * rings;
      }
      if (y == N / 2 || y == N - 1) t.height = 0.1f;
      break;
    }
    case KNURL: {
      const float a = std::sin(2.0f * PI * 16.0f * static_cast<float>(u + v));
      const float b = std::sin(2.0f * PI * 16.0f * static_cast<float>(u - v));
      t.height = 0.5f + 0.25f * std::min(a, b);
      t.albedo = mix(t.albedo, look.accent, smooth(0.0f, -0.8f, std::min(a, b)));
      break;
    }
    case HAZARD: {
      // A band of diagonal stripes across the middle of the tile, plates around it.
      if (y > N / 4 && y < 3 * N / 4) {
        const float stripe = std::fmod(static_cast<float>(x + y), 32.0f);
        t.albedo = stripe < 16.0f ? scale(look.accent, 0.9f + 0.1f * streak) : rgb(30, 30, 30);
        t.height = 0.55f;
      }
      if (y == N / 4 || y == 3 * N / 4) t.height = 0.0f;
      if (grid_distance(x, y, 1) < 1.5f) t.height = 0.0f;
      break;
    }
    case VENTS: {
      const int cx = x % 32, cy = y % 16;
      const float dx = std::max(0.0f, std::fabs(static_cast<float>(cx) - 15.5f) - 9.0f);
      const float dy = std::fabs(static_cast<float>(cy) - 7.5f);
      const float d = std::sqrt(dx * dx + dy * dy);
      if (d < 3.0f) {
        t.height = 0.5f - 0.5f * smooth(3.0f, 1.5f, d);
        t.albedo = mix(t.albedo, look.accent, smooth(3.0f, 1.5f, d));
      }
      break;
    }
    case DIMPLES: {
      const CELLS c = tiled_cells(u, v, 8, 501, 0.0);
      const float d = f(c.f1) / 0.36f;
      if (d < 1.0f) {
        t.height = 0.5f - 0.35f * std::sqrt(1.0f - d * d);
        t.albedo = mix(t.albedo, look.accent, 0.35f * (1.0f - d));
      }
      break;
    }
    case TEMPERED: {
      // Heat tint: straw, bronze, purple and blue bands where the metal ran hot.
      const RAMP_STOP tint[] = {{0.0f, look.base}, {0.35f, rgb(190, 150, 80)}, {0.55f, rgb(150, 80, 90)},
                                {0.75f, look.accent}, {1.0f, rgb(110, 140, 190)}};
      const float heat = clamp01(0.5f + 0.5f * std::sin(2.0f * PI * static_cast<float>(2.0 * u) + 1.2f * blotch));
      t.albedo = scale(mix(look.base, ramp(tint, 5, heat), 0.6f), 0.9f + 0.12f * streak);
      if (x % 32 < 2) t.height = 0.2f;
      break;
    }
    case GLOW: {
      // Dark panels with light running in the grooves between them.
      const float seam = grid_distance(x, y, 4);
      const float channel = smooth(2.5f, 0.5f, seam);
      t.height = 0.5f - 0.3f * channel;
      const COLOR plate = ((x / 32 + y / 32) % 2) ? look.base : scale(look.base, 0.85f);
      t.albedo = mix(scale(plate, 0.92f + 0.1f * streak), rgb(20, 22, 26), channel);
      t.glow = scale(look.accent, 0.9f * smooth(1.8f, 0.3f, seam));
      break;
    }
    case SCRATCHED: {
      // Paint worn through to bare steel at the edges of blotches and along scratches.
      const float paint = smooth(-0.15f, 0.05f, blotch + 0.4f);
      const float scratch = scratches(x, y, 18, 510);
      const float cover = paint * (1.0f - 0.65f * scratch);
      t.albedo = mix(scale(look.base, 1.1f + 0.1f * streak), scale(look.accent, 0.92f + 0.08f * streak), cover);
      t.height = 0.4f + 0.15f * cover;
      if (grid_distance(x, y, 2) < 1.5f) t.height = 0.0f;
      break;
    }
    case HEX: {
      // Staggered rows of hexagon-like cells, eight across, five down.
      const float row = static_cast<float>(v) * 5.0f;
      const int r = static_cast<int>(row);
      const float col = static_cast<float>(u) * 8.0f + (r % 2) * 0.5f;
      const float fx = col - std::floor(col) - 0.5f, fy = row - static_cast<float>(r) - 0.5f;
      const float hex = std::max(std::fabs(fx) * 1.0f + std::fabs(fy) * 0.6f, std::fabs(fy) * 1.1f);
      const float groove = smooth(0.5f, 0.56f, hex);
      t.height = 0.55f - 0.4f * groove;
      t.albedo = mix(t.albedo, look.accent, 0.4f * smooth(0.35f, 0.5f, hex) * (1.0f - groove));
      t.albedo = mix(t.albedo, rgb(28, 30, 34), groove);
      break;
    }
    case RINGS: {
      const float dx = static_cast<float>(u) - 0.5f, dy = static_cast<float>(v) - 0.5f;
      const float r = std::sqrt(dx * dx + dy * dy);
      const float wave = std::sin(2.0f * PI * 9.0f * r);
      t.height = 0.5f + 0.12f * wave;
      const float line = smooth(0.94f, 0.99f, wave) * smooth(0.5f, 0.4f, r);
      t.glow = scale(look.accent, 0.8f * line);
      if (grid_distance(x, y, 1) < 1.5f) t.height = 0.1f;
      break;
    }
    case RIBS: {
      const float rib = std::cos(2.0f * PI * 8.0f * static_cast<float>(u));
      t.height = 0.5f + 0.4f * rib;
      t.albedo = mix(t.albedo, look.accent, 0.25f * smooth(0.7f, 1.0f, rib));
      if (y % 64 < 3) t.height = 0.1f;
      break;
    }
    case ZINC: {
      // Galvanised spangle: crystal patches of slightly different brightness.
      const CELLS c = tiled_cells(u, v, 6, 502, 0.9);
      t.albedo = scale(look.base, 0.84f + 0.22f * f(hash01(c.id, 1, 503)) + 0.06f * streak);
      if (y >= 52 && y < 76) t.albedo = scale(look.accent, 0.92f + 0.08f * streak);
      if (y == 52 || y == 75) t.height = 0.2f;
      break;
    }
  }
  // Grime in the hollows, a little wear everywhere.
  t.albedo = mix(t.albedo, rgb(30, 28, 26), 0.25f * clamp01(0.4f + 0.6f * blotch) * (1.0f - t.height));
  t.albedo = scale(t.albedo, 0.95f + 0.08f * grain);
  return t;
}

}  // namespace

CANVAS paint_weapon(int index) {
  const WEAPON_LOOK& look = looks[index];
  noise::module::Perlin grain, blotch, streak;
  grain.SetSeed(601 + index);
  grain.SetOctaveCount(3);
  blotch.SetSeed(701 + index);
  blotch.SetOctaveCount(4);
  streak.SetSeed(801 + index);
  streak.SetOctaveCount(3);
  std::vector<float> height(N * N);
  std::vector<COLOR> albedo(N * N), glow(N * N);
  for (int y = 0; y < N; y++) {
    for (int x = 0; x < N; x++) {
      const double u = static_cast<double>(x) / N, v = static_cast<double>(y) / N;
      const TEXEL t = pattern_texel(look, x, y, f(tiled_noise(grain, u, v, 40, 40)), f(tiled_noise(blotch, u, v, 4, 4)),
                                    f(tiled_noise(streak, u, v, 2, 48)));
      height[static_cast<size_t>(y) * N + x] = t.height;
      albedo[static_cast<size_t>(y) * N + x] = t.albedo;
      glow[static_cast<size_t>(y) * N + x] = t.glow;
    }
  }
  const std::vector<float> light = relief(height, N, N, 2.5f);
  CANVAS c = make_canvas(N, N, COLOR{0, 0, 0, 1});
  for (size_t i = 0; i < c.pixel.size(); i++) c.pixel[i] = add(scale(albedo[i], 0.35f + 0.65f * light[i]), glow[i]);
  return c;
}

}  // namespace content
