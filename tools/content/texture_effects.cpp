// effect textures: bullets, particles, explosion frames, bullet holes and the flare, all
// drawn blended or alpha-tested, so each fades to nothing well inside its cell.
#include <libnoise/noise.h>

#include <cmath>

#include "content/texture_makers.h"

namespace content {

namespace {

constexpr float PI = 3.14159265f;

float f(double x) { return static_cast<float>(x); }

// Coordinates of pixel (x, y) of a cell `size` pixels wide, -1..1 from edge to edge.
float cell_coord(int x, int size) { return (2.0f * static_cast<float>(x) + 1.0f) / static_cast<float>(size) - 1.0f; }

// Hot colours from glowing white down to soot.
const RAMP_STOP fire[] = {{0.0f, rgb(58, 54, 52)},   {0.12f, rgb(92, 44, 28)},   {0.3f, rgb(184, 54, 18)},
                          {0.5f, rgb(240, 120, 30)}, {0.7f, rgb(255, 182, 60)}, {0.85f, rgb(255, 230, 130)},
                          {1.0f, rgb(255, 255, 236)}};

// Solid metal for bullet models, whatever their shape: brass or dark steel with a band.
void bullet_metal(CANVAS* c, int x0, int y0, int size, COLOR base, COLOR band, int seed) {
  noise::module::Perlin brushed;
  brushed.SetSeed(seed);
  brushed.SetOctaveCount(3);
  for (int y = 0; y < size; y++) {
    for (int x = 0; x < size; x++) {
      const double u = static_cast<double>(x) / size, v = static_cast<double>(y) / size;
      const float bv = f(tiled_noise(brushed, u, v, 2, 40));
      // Shaded like a cylinder lying along the rows.
      const float across = std::sin(PI * (static_cast<float>(y) + 0.5f) / static_cast<float>(size));
      COLOR col = scale(base, (0.55f + 0.55f * across) * (0.92f + 0.1f * bv));
      if (x >= size * 5 / 8 && x < size * 6 / 8) col = scale(band, 0.55f + 0.55f * across);
      if (x == size * 5 / 8 - 1 || x == size * 6 / 8) col = scale(col, 0.6f);
      col.a = 1.0f;
      at(*c, x0 + x, y0 + y) = col;
    }
  }
}

// A round glowing blob with a ragged rim, opaque inside (bullets are alpha-tested).
void bullet_glow(CANVAS* c, int x0, int y0, int size, const RAMP_STOP* colors, int stops, int points, int seed) {
  noise::module::Perlin rim;
  rim.SetSeed(seed);
  rim.SetOctaveCount(3);
  for (int y = 0; y < size; y++) {
    for (int x = 0; x < size; x++) {
      const float px = cell_coord(x, size), py = cell_coord(y, size);
      const float r = std::sqrt(px * px + py * py);
      const float angle = std::atan2(py, px);
      const float star = points ? 0.12f * std::pow(std::fabs(std::cos(0.5f * points * angle)), 6.0f) : 0.0f;
      const float edge = 0.72f + star + 0.1f * f(rim.GetValue(std::cos(angle) * 1.5, std::sin(angle) * 1.5, 0.5));
      const float heat = clamp01(1.0f - r / edge);
      COLOR col = ramp(colors, stops, 0.3f + 0.7f * std::sqrt(heat));
      col.a = clamp01((edge - r) * static_cast<float>(size) * 0.5f);
      at(*c, x0 + x, y0 + y) = col;
    }
  }
}

}  // namespace

// bullet.tga, in quarters: s 0..0.5 t 0..0.5 brass, s 0.5..1 t 0..0.5 dark steel with a
// red band (both opaque, for solid bullets), s 0..0.5 t 0.5..1 a fire ball and s 0.5..1
// t 0.5..1 an energy star (cut out by the alpha test, for sprites).
CANVAS paint_bullet() {
  constexpr int Q = 64;
  CANVAS c = make_canvas(2 * Q, 2 * Q, COLOR{0, 0, 0, 0});
  bullet_metal(&c, 0, 0, Q, rgb(196, 150, 70), rgb(150, 104, 60), 111);
  bullet_metal(&c, Q, 0, Q, rgb(92, 98, 106), rgb(168, 44, 32), 112);
  bullet_glow(&c, 0, Q, Q, fire + 2, 5, 0, 113);
  const RAMP_STOP energy[] = {{0.0f, rgb(80, 60, 220)}, {0.45f, rgb(70, 170, 255)}, {0.8f, rgb(190, 240, 255)},
                              {1.0f, rgb(255, 255, 255)}};
  bullet_glow(&c, Q, Q, Q, energy, 4, 4, 114);
  return c;
}

// particle.tga, a grey mask: smoke and trails use the soft puff of the quarter s, t 0..0.5,
// sprayed blood the small firm drop of s, t 0.5..1; the other quarters hold a spark and a
// ring.
CANVAS paint_particle() {
  constexpr int Q = 64;
  noise::module::Billow billow;
  billow.SetSeed(121);
  billow.SetOctaveCount(4);
  CANVAS c = make_canvas(2 * Q, 2 * Q, COLOR{0, 0, 0, 0});
  for (int quarter = 0; quarter < 4; quarter++) {
    for (int y = 0; y < Q; y++) {
      for (int x = 0; x < Q; x++) {
        const float px = cell_coord(x, Q), py = cell_coord(y, Q);
        const float r = std::sqrt(px * px + py * py);
        const float bv = f(billow.GetValue(px * 2.0, py * 2.0, quarter * 3.0));
        float a = 0.0f;
        if (quarter == 0) {
          a = std::pow(smooth(0.95f, 0.0f, r), 1.3f) * (0.9f + 0.25f * bv);
        } else if (quarter == 1) {
          const float rays = std::pow(std::fabs(std::cos(2.0f * std::atan2(py, px))), 30.0f);
          a = smooth(0.35f, 0.0f, r) + 0.8f * rays * smooth(0.95f, 0.1f, r);
        } else if (quarter == 2) {
          a = smooth(0.2f, 0.0f, std::fabs(r - 0.65f)) * smooth(0.95f, 0.85f, r);
        } else {
          // Dense to a sharp rim, slightly uneven, so a drop reads as liquid and not as haze.
          a = smooth(0.62f, 0.48f, r + 0.06f * bv) * (0.85f + 0.15f * smooth(0.5f, 0.0f, r));
        }
        at(c, (quarter % 2) * Q + x, (quarter / 2) * Q + y) = COLOR{1, 1, 1, clamp01(a)};
      }
    }
  }
  return c;
}

// explode.tga: 16 frames of 128 pixels, frame f at column f mod 4 and row f div 4: a
// white flash, a fire ball swelling and cooling, and smoke thinning to nothing. The quad
// is as wide as the crater, so the ball fills most of its cell early.
CANVAS paint_explosion() {
  constexpr int CELL = 128;
  noise::module::Perlin rim, churn;
  rim.SetSeed(130);
  rim.SetOctaveCount(3);
  churn.SetSeed(131);
  churn.SetOctaveCount(5);
  noise::module::Billow puffs;
  puffs.SetSeed(132);
  puffs.SetOctaveCount(3);
  CANVAS c = make_canvas(4 * CELL, 4 * CELL, COLOR{0, 0, 0, 0});
  for (int frame = 0; frame < 16; frame++) {
    const float time = static_cast<float>(frame) / 15.0f;
    const float radius = 0.42f + 0.4f * (1.0f - std::exp(-static_cast<float>(frame) / 2.2f)) + 0.1f * time;
    const float cooling = 1.0f - smooth(0.0f, 0.62f, time);
    const float flash = std::exp(-3.0f * static_cast<float>(frame));
    const float thinning = 1.0f - 0.8f * smooth(0.45f, 1.0f, time);
    for (int y = 0; y < CELL; y++) {
      for (int x = 0; x < CELL; x++) {
        const float px = cell_coord(x, CELL), py = cell_coord(y, CELL);
        const float r = std::sqrt(px * px + py * py);
        const float angle = std::atan2(py, px);
        const float lump = f(rim.GetValue(std::cos(angle) * 1.3, std::sin(angle) * 1.3, time * 2.0));
        const float nv = f(churn.GetValue(px * 3.0, py * 3.0, time * 1.6));
        const float pv = f(puffs.GetValue(px * 2.2, py * 2.2, 5.0 + time * 0.8));
        const float shape = r / (radius * (1.0f + 0.16f * lump + 0.08f * nv));
        const float body = smooth(1.0f, 0.7f, shape);
        const float heat = clamp01(cooling * (1.3f - 0.9f * shape + 0.2f * nv));
        const COLOR soot = mix(rgb(52, 48, 46), rgb(128, 122, 114), clamp01(0.55f + 0.4f * pv - 0.35f * py));
        COLOR col = heat < 0.12f ? mix(soot, fire[1].color, heat / 0.12f) : ramp(fire, 7, heat);
        // Smoke is lumpy and more see-through than flame.
        const float smoke_alpha = clamp01(0.7f + 0.35f * pv) * thinning;
        float alpha = body * (smoke_alpha + (1.0f - smoke_alpha) * smooth(0.1f, 0.35f, heat));
        // The first frames carry a star of rays from the flash.
        const float rays = std::pow(std::fabs(std::cos(3.0f * angle + 0.3f)), 12.0f);
        const float burst = flash * (std::exp(-4.0f * r) + 0.8f * rays * std::exp(-2.5f * r));
        col = mix(col, rgb(255, 255, 240), clamp01(burst * 1.5f));
        alpha = std::max(alpha, clamp01(burst * 1.6f));
        col.a = alpha * smooth(0.98f, 0.86f, r);
        at(c, (frame % 4) * CELL + x, (frame / 4) * CELL + y) = col;
      }
    }
  }
  return c;
}

// bhole.tga: a scorched hole with cracks; drawn unlit, so it is dark itself.
CANVAS paint_bullet_hole() {
  constexpr int N = 64;
  noise::module::Perlin rim;
  rim.SetSeed(141);
  rim.SetOctaveCount(4);
  CANVAS c = make_canvas(N, N, COLOR{0, 0, 0, 0});
  for (int y = 0; y < N; y++) {
    for (int x = 0; x < N; x++) {
      const float px = cell_coord(x, N), py = cell_coord(y, N);
      const float r = std::sqrt(px * px + py * py);
      const float angle = std::atan2(py, px);
      const float nv = f(rim.GetValue(px * 3.0, py * 3.0, 0.5));
      float cracks = 0.0f;
      for (int k = 0; k < 6; k++) {
        const float a = 2.0f * PI * (static_cast<float>(k) + f(hash01(static_cast<unsigned>(k), 1, 142)) * 0.7f) / 6.0f;
        float d = std::fabs(std::remainder(angle - a - 0.25f * r * nv, 2.0f * PI));
        cracks = std::max(cracks, smooth(0.09f, 0.0f, d * r) * smooth(0.85f, 0.3f, r));
      }
      const float hole = smooth(0.3f, 0.22f, r + 0.05f * nv);
      const float scorch = smooth(0.8f, 0.25f, r + 0.15f * nv);
      COLOR col = mix(rgb(46, 38, 32), rgb(8, 6, 6), std::max(hole, cracks));
      col.a = clamp01(std::max(std::max(hole, 0.85f * scorch * scorch), 0.9f * cracks)) * smooth(0.98f, 0.85f, r);
      at(c, x, y) = col;
    }
  }
  return c;
}

CANVAS paint_flare() {
  constexpr int N = 128;
  CANVAS c = make_canvas(N, N, COLOR{0, 0, 0, 0});
  for (int y = 0; y < N; y++) {
    for (int x = 0; x < N; x++) {
      const float px = cell_coord(x, N), py = cell_coord(y, N);
      const float r = std::sqrt(px * px + py * py);
      const float angle = std::atan2(py, px);
      const float streaks = std::pow(std::fabs(std::cos(4.0f * angle)), 40.0f) * std::exp(-3.0f * r);
      const float ring = 0.25f * smooth(0.05f, 0.0f, std::fabs(r - 0.7f));
      const float core = std::exp(-12.0f * r * r);
      const float halo = 0.45f * std::exp(-4.0f * r);
      const float light = clamp01(core + halo + streaks + ring) * smooth(0.98f, 0.8f, r);
      COLOR col = mix(rgb(255, 170, 80), rgb(255, 252, 240), clamp01(core + streaks));
      col.a = light;
      at(c, x, y) = col;
    }
  }
  return c;
}

}  // namespace content
