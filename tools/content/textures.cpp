// textures of the game folder: the fourteen fixed pictures, one per weapon model, and the
// pictures of the underground itself (terrain, rock, metal, the vurk's skin, rope, menu).
#include <libnoise/noise.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "content/content.h"
#include "content/manifest.h"
#include "content/texture_makers.h"

namespace content {

namespace {

// A height field and the colour of the ground under the light, both wrapping at the edges.
struct SURFACE {
  int n;
  std::vector<float> height;
  std::vector<COLOR> albedo;
};

SURFACE make_surface(int n) {
  return SURFACE{n, std::vector<float>(static_cast<size_t>(n) * n, 0.0f),
                 std::vector<COLOR>(static_cast<size_t>(n) * n, COLOR{0, 0, 0, 1})};
}

// The surface lit from the top left; level ground keeps its colour.
CANVAS light_surface(const SURFACE& s, float strength, float contrast) {
  const std::vector<float> light = relief(s.height, s.n, s.n, strength);
  CANVAS c = make_canvas(s.n, s.n, COLOR{0, 0, 0, 1});
  for (size_t i = 0; i < c.pixel.size(); i++) c.pixel[i] = scale(s.albedo[i], 1.0f + contrast * (light[i] - 1.0f));
  return c;
}

noise::module::Perlin perlin(int seed, int octaves, double persistence = 0.5) {
  noise::module::Perlin p;
  p.SetSeed(seed);
  p.SetOctaveCount(octaves);
  p.SetPersistence(persistence);
  return p;
}

noise::module::RidgedMulti ridged(int seed, int octaves) {
  noise::module::RidgedMulti r;
  r.SetSeed(seed);
  r.SetOctaveCount(octaves);
  return r;
}

float f(double x) { return static_cast<float>(x); }

// ---- terrain: the four ground materials of material.tga ----
//
// Every terrain triangle is laid flat into its quarter from the quarter's corner, turned
// whichever way its longest edge runs, while its neighbours show other parts of the same
// quarter. Whatever lets a triangle's patch be told from its neighbour's shows as a seam:
// shading broader than the grain, a direction in the pattern or in its light, a blotch at
// the corner all triangles share. So each material is an even, fine grain of one tone,
// shaded by its hollows and bumps (no light direction), and the four differ in colour and
// grain rather than in brightness, which also keeps the step at a border between two of
// them soft. Their tone is light: the walls only reach the ambient light times their own
// brightness, and a dark ground leaves the cave black wherever no lamp burns.

// Bumps a little lighter, hollows a little darker, alike whichever way the patch lies:
// the height against its mean over the square of `r` pixels around, wrapping.
CANVAS shade_hollows(const SURFACE& s, int r, float depth) {
  const int n = s.n;
  std::vector<float> across(s.height.size()), mean(s.height.size());
  auto wrap = [n](int i) { return (i % n + n) % n; };
  for (int y = 0; y < n; y++)
    for (int x = 0; x < n; x++) {
      float sum = 0.0f;
      for (int i = -r; i <= r; i++) sum += s.height[static_cast<size_t>(y) * n + wrap(x + i)];
      across[static_cast<size_t>(y) * n + x] = sum;
    }
  for (int y = 0; y < n; y++)
    for (int x = 0; x < n; x++) {
      float sum = 0.0f;
      for (int j = -r; j <= r; j++) sum += across[static_cast<size_t>(wrap(y + j)) * n + x];
      mean[static_cast<size_t>(y) * n + x] = sum / static_cast<float>((2 * r + 1) * (2 * r + 1));
    }
  CANVAS c = make_canvas(n, n, COLOR{0, 0, 0, 1});
  for (size_t i = 0; i < c.pixel.size(); i++)
    c.pixel[i] = scale(s.albedo[i], std::clamp(1.0f + depth * (s.height[i] - mean[i]), 0.75f, 1.2f));
  return c;
}

// A grain of small round stones on the cells of a wrapping grid: how far inside the stone
// of (u, v) the point lies (0 outside, 1 at its middle) and which cell holds it.
struct STONES {
  float inside;
  unsigned id;
};

STONES stones(double u, double v, int cells, unsigned seed, double share, double r0, double r1) {
  const CELLS c = tiled_cells(u, v, cells, seed);
  if (hash01(c.id, 2, seed + 1) > share) return {0.0f, c.id};
  const double r = r0 + (r1 - r0) * hash01(c.id, 1, seed + 2);
  const float d = f(c.f1 / r);
  return {d < 1.0f ? std::sqrt(1.0f - d * d) : 0.0f, c.id};
}

// Warm brown soil with sand in it and small pebbles of its own colours.
CANVAS earth(int n) {
  const auto soil = perlin(11, 4);
  const auto sand = perlin(12, 3);
  const COLOR pebble_colors[] = {rgb(197, 168, 139), rgb(179, 150, 123), rgb(217, 179, 137), rgb(188, 157, 119)};
  SURFACE s = make_surface(n);
  for (int y = 0; y < n; y++) {
    for (int x = 0; x < n; x++) {
      const double u = static_cast<double>(x) / n, v = static_cast<double>(y) / n;
      const float sv = f(tiled_noise(soil, u, v, 10, 10));
      const float gv = f(tiled_noise(sand, u, v, 56, 56));
      float height = 0.2f * sv + 0.25f * gv;
      COLOR albedo = scale(mix(rgb(190, 156, 120), rgb(208, 174, 134), 0.5f + 0.8f * sv), 1.0f + 0.08f * gv);
      for (int layer = 0; layer < 2; layer++) {
        const STONES p = stones(u, v, layer == 0 ? 20 : 36, 101 + 17 * layer, layer == 0 ? 0.45 : 0.35, 0.25, 0.42);
        if (p.inside <= 0.0f) continue;
        height = std::max(height, 0.3f + 0.9f * p.inside);
        albedo = mix(albedo, scale(pebble_colors[hash3(p.id, 5, 104 + layer) % 4], 0.97f + 0.06f * gv),
                     smooth(0.0f, 0.35f, p.inside));
      }
      s.height[static_cast<size_t>(y) * n + x] = height;
      s.albedo[static_cast<size_t>(y) * n + x] = albedo;
    }
  }
  return shade_hollows(s, 3, 0.35f);
}

// Pale grey stone, granular like granite: dark and light mineral grains in a rough matrix.
CANVAS stone(int n) {
  const auto rough = perlin(21, 4, 0.55);
  const auto grain = perlin(22, 2);
  SURFACE s = make_surface(n);
  for (int y = 0; y < n; y++) {
    for (int x = 0; x < n; x++) {
      const double u = static_cast<double>(x) / n, v = static_cast<double>(y) / n;
      const float rv = f(tiled_noise(rough, u, v, 12, 12));
      const float gv = f(tiled_noise(grain, u, v, 60, 60));
      float height = 0.3f * rv + 0.3f * gv;
      COLOR albedo = scale(rgb(177, 179, 186), 1.0f + 0.07f * rv + 0.07f * gv);
      const CELLS g = tiled_cells(u, v, 40, 23);
      const double kind = hash01(g.id, 1, 24);
      const float in_grain = smooth(0.42f, 0.25f, f(g.f1));
      if (kind < 0.2) {
        albedo = mix(albedo, rgb(134, 137, 146), 0.8f * in_grain);
        height -= 0.3f * in_grain;
      } else if (kind < 0.34) {
        albedo = mix(albedo, rgb(220, 217, 213), 0.8f * in_grain);
        height += 0.3f * in_grain;
      } else if (kind < 0.42) {
        albedo = mix(albedo, rgb(197, 177, 168), 0.7f * in_grain);
      }
      s.height[static_cast<size_t>(y) * n + x] = height;
      s.albedo[static_cast<size_t>(y) * n + x] = albedo;
    }
  }
  return shade_hollows(s, 2, 0.3f);
}

// Violet-blue crystal: small facets, each of its own shade and leaning its own way.
CANVAS crystal(int n) {
  const auto matrix = perlin(31, 4);
  const auto sheen = perlin(32, 2);
  const COLOR facet_colors[] = {rgb(168, 157, 208), rgb(155, 168, 206), rgb(179, 166, 213), rgb(164, 152, 199),
                                rgb(157, 175, 202)};
  SURFACE s = make_surface(n);
  for (int y = 0; y < n; y++) {
    for (int x = 0; x < n; x++) {
      const double u = static_cast<double>(x) / n, v = static_cast<double>(y) / n;
      const float mv = f(tiled_noise(matrix, u, v, 10, 10));
      const float shv = f(tiled_noise(sheen, u, v, 60, 60));
      const CELLS c = tiled_cells(u, v, 32, 301, 0.85);
      const float edge = f(c.f2 - c.f1);
      // Each facet is a tilted plane: its shade runs along its own random heading.
      const double heading = 6.2831853 * hash01(c.id, 3, 306);
      const double fx = u * 32 - std::floor(u * 32), fy = v * 32 - std::floor(v * 32);
      const float tilt = f(0.5 * (std::cos(heading) * (fx - 0.5) + std::sin(heading) * (fy - 0.5)));
      COLOR albedo = scale(facet_colors[hash3(c.id, 7, 305) % 5], 1.0f + 0.05f * mv + 0.05f * shv + 0.08f * tilt);
      albedo = mix(albedo, rgb(132, 123, 164), 0.3f * smooth(0.1f, 0.0f, edge));
      s.height[static_cast<size_t>(y) * n + x] = 0.2f * mv + 0.4f * smooth(0.0f, 0.15f, edge);
      s.albedo[static_cast<size_t>(y) * n + x] = albedo;
    }
  }
  return shade_hollows(s, 2, 0.3f);
}

// Rust-red clay, smeared, with flecks of copper, gold and dark metal.
CANVAS ore(int n) {
  const auto clay = perlin(41, 4);
  const auto smear = perlin(42, 3);
  const auto grain = perlin(44, 2);
  const COLOR metal_colors[] = {rgb(226, 166, 120), rgb(222, 196, 136), rgb(150, 140, 140)};
  SURFACE s = make_surface(n);
  for (int y = 0; y < n; y++) {
    for (int x = 0; x < n; x++) {
      const double u = static_cast<double>(x) / n, v = static_cast<double>(y) / n;
      const float cv = f(tiled_noise(clay, u, v, 10, 10));
      const float sm = f(tiled_noise(smear, u, v, 24, 24));
      const float gv = f(tiled_noise(grain, u, v, 60, 60));
      float height = 0.15f * cv + 0.2f * sm + 0.25f * gv;
      COLOR albedo = scale(mix(rgb(206, 122, 98), rgb(222, 146, 118), 0.5f + 0.7f * cv), 1.0f + 0.05f * sm + 0.06f * gv);
      const STONES fleck = stones(u, v, 28, 401, 0.22, 0.2, 0.36);
      if (fleck.inside > 0.0f) {
        height = std::max(height, 0.3f + 0.8f * fleck.inside);
        albedo = mix(albedo, scale(metal_colors[hash3(fleck.id, 2, 403) % 3], 0.9f + 0.15f * fleck.inside),
                     0.7f * smooth(0.0f, 0.3f, fleck.inside));
      }
      s.height[static_cast<size_t>(y) * n + x] = height;
      s.albedo[static_cast<size_t>(y) * n + x] = albedo;
    }
  }
  return shade_hollows(s, 3, 0.35f);
}

}  // namespace

// The game reads pictures of at most 512 a side: a quarter of 256 gives a unit of wall
// about 150 texels, magnified several times on a wall close up. So the finest detail is
// a few texels across, shapes that stay shapes when magnified rather than single-texel
// noise that turns to mush.
CANVAS paint_material() {
  constexpr int Q = 256;
  CANVAS c = make_canvas(2 * Q, 2 * Q, COLOR{0, 0, 0, 1});
  // Material m lies at column m mod 2, row m div 2 (row 0 holds t 0 .. 0.5).
  paste(&c, earth(Q), 0, 0);
  paste(&c, stone(Q), Q, 0);
  paste(&c, crystal(Q), 0, Q);
  paste(&c, ore(Q), Q, Q);
  return c;
}

// The rocks hang in the open, far from the vurks' lamps as often as not: light granite, so
// the ambient light alone still shows them.
CANVAS paint_rock() {
  constexpr int N = 256;
  const auto body = perlin(51, 6, 0.55);
  const auto cracks = ridged(52, 4);
  const auto grain = perlin(53, 2);
  const RAMP_STOP granite[] = {{0.0f, rgb(140, 132, 124)}, {0.5f, rgb(168, 160, 148)}, {1.0f, rgb(188, 180, 166)}};
  SURFACE s = make_surface(N);
  for (int y = 0; y < N; y++) {
    for (int x = 0; x < N; x++) {
      const double u = static_cast<double>(x) / N, v = static_cast<double>(y) / N;
      const float bv = f(tiled_noise(body, u, v, 6, 6));
      const float gv = f(tiled_noise(grain, u, v, 90, 90));
      const float crack = smooth(0.65f, 0.92f, f(tiled_noise(cracks, u, v, 5, 5)));
      COLOR albedo = ramp(granite, 3, clamp01(0.5f + 0.6f * bv));
      // Granite grains: dark mica, pale quartz and pinkish feldspar.
      const CELLS g = tiled_cells(u, v, 40, 54);
      const double kind = hash01(g.id, 1, 55);
      const float inside = smooth(0.45f, 0.3f, f(g.f1));
      if (kind < 0.18) albedo = mix(albedo, rgb(96, 92, 90), inside);
      else if (kind < 0.3) albedo = mix(albedo, rgb(214, 208, 198), 0.8f * inside);
      else if (kind < 0.4) albedo = mix(albedo, rgb(196, 160, 144), 0.8f * inside);
      albedo = scale(albedo, 0.93f + 0.14f * gv);
      albedo = mix(albedo, rgb(84, 78, 74), 0.7f * crack);
      s.height[static_cast<size_t>(y) * N + x] = 0.5f * bv - 0.5f * crack + 0.04f * gv;
      s.albedo[static_cast<size_t>(y) * N + x] = albedo;
    }
  }
  return light_surface(s, 12.0f, 0.45f);
}

CANVAS paint_metal() {
  constexpr int N = 256, PLATE = 128, RIVET_STEP = 16;
  const auto brushed = perlin(61, 4);
  const auto grime = perlin(62, 5);
  const auto rust = perlin(63, 4);
  SURFACE s = make_surface(N);
  for (int y = 0; y < N; y++) {
    for (int x = 0; x < N; x++) {
      const double u = static_cast<double>(x) / N, v = static_cast<double>(y) / N;
      const float bv = f(tiled_noise(brushed, u, v, 3, 90));
      const float gv = f(tiled_noise(grime, u, v, 5, 5));
      const float rv = f(tiled_noise(rust, u, v, 10, 10));
      // Distance to the nearest plate seam, in pixels.
      const int px = x % PLATE, py = y % PLATE;
      const int seam = std::min(std::min(px, PLATE - 1 - px), std::min(py, PLATE - 1 - py));
      float height = 1.0f;
      if (seam < 2) height = 0.0f;
      else if (seam < 4) height = 0.5f * (seam - 1);
      COLOR albedo = scale(rgb(108, 114, 122), 0.9f + 0.12f * bv);
      const int plate = (x / PLATE) + 2 * (y / PLATE);
      albedo = scale(albedo, 0.94f + 0.08f * f(hash01(static_cast<unsigned>(plate), 1, 64)));
      // Grime gathers along the seams.
      const float dirt = clamp01(0.35f + 0.5f * gv) * (0.35f + 0.65f * smooth(18.0f, 2.0f, static_cast<float>(seam)));
      albedo = mix(albedo, rgb(46, 44, 40), 0.55f * dirt);
      albedo = mix(albedo, rgb(112, 74, 50), 0.5f * smooth(0.45f, 0.8f, rv) * dirt);
      if (seam < 2) albedo = rgb(24, 24, 26);
      // Rivets along each plate edge, 7 pixels in, between the seams.
      const int rx = px % RIVET_STEP - RIVET_STEP / 2;
      const int ry = py % RIVET_STEP - RIVET_STEP / 2;
      for (int edge = 0; edge < 4; edge++) {
        const float dx = edge < 2 ? static_cast<float>(rx) : static_cast<float>(edge == 2 ? px - 7 : px - (PLATE - 8));
        const float dy = edge < 2 ? static_cast<float>(edge == 0 ? py - 7 : py - (PLATE - 8)) : static_cast<float>(ry);
        const float d = std::sqrt(dx * dx + dy * dy) / 3.2f;
        if (d < 1.0f) {
          height = std::max(height, 1.0f + 1.2f * std::sqrt(1.0f - d * d));
          albedo = mix(albedo, rgb(132, 136, 140), smooth(1.0f, 0.7f, d));
        }
      }
      s.height[static_cast<size_t>(y) * N + x] = height;
      s.albedo[static_cast<size_t>(y) * N + x] = albedo;
    }
  }
  return light_surface(s, 1.0f, 0.7f);
}

namespace {

// ---- the vurk: one picture laid out as the vurk model's texture coordinates divide it
// (see models_vurk.cpp): banded shell, skin, small plates, limbs, claws, eyes, nose, rope
// launcher and the jetpack's tanks and pipes ----

// One rectangle of the vurk's picture, painted and lit on its own so that no relief
// leans across into its neighbours. (u, v) run 0..1 over it, v down the rows.
struct PATCH {
  int x0, y0, w, h;
  std::vector<float> height;
  std::vector<COLOR> albedo;
};

template <class PAINT>
void paint_patch(CANVAS* c, float s0, float t0, float s1, float t1, float strength, float contrast, PAINT paint) {
  PATCH p;
  p.x0 = static_cast<int>(std::lround(s0 * c->width));
  p.y0 = static_cast<int>(std::lround(t0 * c->height));
  p.w = static_cast<int>(std::lround(s1 * c->width)) - p.x0;
  p.h = static_cast<int>(std::lround(t1 * c->height)) - p.y0;
  p.height.assign(static_cast<size_t>(p.w) * p.h, 0.0f);
  p.albedo.assign(static_cast<size_t>(p.w) * p.h, COLOR{0, 0, 0, 1});
  for (int y = 0; y < p.h; y++) {
    for (int x = 0; x < p.w; x++) {
      const size_t i = static_cast<size_t>(y) * p.w + x;
      paint((x + 0.5) / p.w, (y + 0.5) / p.h, &p.height[i], &p.albedo[i]);
    }
  }
  const std::vector<float> light = relief(p.height, p.w, p.h, strength);
  for (int y = 0; y < p.h; y++) {
    for (int x = 0; x < p.w; x++) {
      const size_t i = static_cast<size_t>(y) * p.w + x;
      at(*c, p.x0 + x, p.y0 + y) = scale(p.albedo[i], 1.0f + contrast * (light[i] - 1.0f));
    }
  }
}

// Distance from u to the nearest of `a` on a circle of circumference 1.
float round_distance(double u, double a) {
  const double d = std::fabs(u - a);
  return f(std::min(d, 1.0 - d));
}

// A rivet's dome (0..1) at (du, dv) from its centre, `r` in the same units.
float rivet(float du, float dv, float r) {
  const float d = std::sqrt(du * du + dv * dv) / r;
  return d < 1.0f ? std::sqrt(1.0f - d * d) : 0.0f;
}

const COLOR HIDE_BACK = rgb(88, 64, 46), HIDE_FLANK = rgb(128, 96, 66), HIDE_BELLY = rgb(178, 146, 106);
const COLOR SEAM = rgb(36, 27, 22);

// Armour plates: a dome over the plate, darker seams, worn pale edges and scratches.
// `across` and `along` are the distances (in plate sizes) to the nearest side and rear
// edge, `tone` the hide colour under the light, `seam_depth` how dark the seams are.
void plate(float across, float along, float rear, COLOR tone, float mottle, float scratch, float seam_depth,
           float* height, COLOR* albedo) {
  // Rounded corners: within 0.2 of two sides the edge distance is the distance to a circle.
  const float ca = std::max(0.0f, 0.2f - across), cb = std::max(0.0f, 0.2f - along);
  const float edge = 0.2f - std::sqrt(ca * ca + cb * cb);
  const float dome = smooth(0.0f, 0.2f, edge);
  *height = 0.35f + 0.45f * dome + 0.25f * rear + 0.05f * mottle;
  COLOR c = scale(tone, 0.92f + 0.16f * mottle);
  c = mix(c, mix(tone, HIDE_BELLY, 0.6f), 0.55f * rear);
  c = mix(c, scale(HIDE_BELLY, 1.1f), 0.35f * scratch);
  c = mix(c, SEAM, seam_depth * smooth(0.08f, 0.02f, edge));
  *albedo = c;
}

void paint_shell(CANVAS* c) {
  const float starts[] = {0.14f, 0.22f, 0.30f, 0.37f, 0.435f, 0.5f};
  const auto mottle = perlin(71, 4);
  const auto grain = perlin(72, 3);
  const auto scratches = ridged(73, 3);
  paint_patch(c, 0.0f, 0.0f, 1.0f, 0.5f, 8.0f, 0.55f, [&](double s, double v, float* height, COLOR* albedo) {
    const float t = f(0.5 * v);
    const float mv = f(tiled_noise(mottle, s, v, 12, 6));
    const float gv = f(tiled_noise(grain, s, v, 90, 45));
    // Lighter belly, darker spine.
    const float belly = f(0.5 + 0.5 * std::cos(2.0 * 3.14159265358979 * s));
    const COLOR hide = belly > 0.5f ? mix(HIDE_FLANK, HIDE_BELLY, smooth(0.5f, 1.0f, belly))
                                    : mix(HIDE_BACK, HIDE_FLANK, smooth(0.0f, 0.5f, belly));
    if (t < starts[0]) {
      // Hidden inside the chest.
      *height = 0.5f;
      *albedo = scale(hide, 0.95f + 0.1f * mv);
      return;
    }
    int band = 0;
    while (t >= starts[band + 1]) band++;
    const float b = (t - starts[band]) / (starts[band + 1] - starts[band]);
    // A row of plates round the body, every other band half a plate round.
    constexpr int PLATES_ROUND = 22;
    const double ps = s * PLATES_ROUND + 0.5 * (band % 2);
    const unsigned id = static_cast<unsigned>(static_cast<int>(std::floor(ps)) % PLATES_ROUND) + 32u * band;
    const float pf = f(ps - std::floor(ps));
    const float across = std::min(pf, 1.0f - pf);
    const float scratch =
        smooth(0.8f, 0.95f, f(tiled_noise(scratches, s, v, 24, 10))) * smooth(0.3f, 0.0f, f(hash01(id, 3, 75)));
    const COLOR tone = scale(hide, 0.88f + 0.22f * f(hash01(id, 1, 74)));
    // The front of each band lies in the shadow of the band before; its rear edge flares
    // into a worn lip.
    const float rear = smooth(0.7f, 0.95f, b) * smooth(1.0f, 0.96f, b);
    // Horn pebbles on the plates, as on an old hide.
    const CELLS pebbles = tiled_cells(s, v, 96, 76, 0.7);
    const float pebble = smooth(0.0f, 0.25f, f(pebbles.f2 - pebbles.f1));
    plate(across, 1.0f - b + 0.1f, rear, tone, mv + 0.5f * gv + 0.35f * pebble, scratch, 0.7f, height,
          albedo);
    *height += 0.12f * pebble;
    *albedo = mix(*albedo, SEAM, 0.85f * smooth(0.22f, 0.0f, b));
    *height -= 0.5f * smooth(0.2f, 0.0f, b);
  });
}

void paint_skin(CANVAS* c) {
  const auto mottle = perlin(76, 4);
  const auto wrinkles = perlin(77, 3);
  const auto pores = perlin(78, 2);
  paint_patch(c, 0.0f, 0.5f, 0.25f, 0.75f, 6.0f, 0.45f, [&](double u, double v, float* height, COLOR* albedo) {
    const float mv = f(tiled_noise(mottle, u, v, 6, 6));
    const float wv = f(tiled_noise(wrinkles, u, v, 10, 24));
    const float pv = f(tiled_noise(pores, u, v, 48, 48));
    const CELLS scales = tiled_cells(u, v, 20, 79, 0.8);
    // The chest's front and the chin lie round u = 0.66.
    const float under = smooth(0.3f, 0.05f, round_distance(u, 0.66));
    COLOR col = mix(rgb(142, 104, 76), rgb(186, 150, 114), 0.8f * under);
    col = scale(col, 0.88f + 0.18f * mv + 0.06f * pv);
    col = mix(col, rgb(96, 66, 50), 0.35f * smooth(0.0f, 0.4f, -mv) * (1.0f - under));
    col = mix(scale(col, 0.72f), col, smooth(0.0f, 0.12f, f(scales.f2 - scales.f1)));
    *height = 0.25f * smooth(0.0f, 0.3f, f(scales.f2 - scales.f1)) + 0.15f * wv + 0.04f * pv;
    *albedo = col;
  });
}

void paint_small_plates(CANVAS* c) {
  const auto mottle = perlin(81, 4);
  const auto scratches = ridged(82, 3);
  paint_patch(c, 0.25f, 0.5f, 0.5f, 0.75f, 7.0f, 0.55f, [&](double u, double v, float* height, COLOR* albedo) {
    const float mv = f(tiled_noise(mottle, u, v, 8, 8));
    const CELLS cell = tiled_cells(u, v, 6, 83, 0.6);
    const float edge = f(cell.f2 - cell.f1);
    const float scratch = smooth(0.82f, 0.95f, f(tiled_noise(scratches, u, v, 12, 12)));
    const COLOR tone = scale(mix(HIDE_BACK, HIDE_FLANK, 0.6f), 0.9f + 0.2f * f(hash01(cell.id, 1, 84)));
    const float rim = smooth(0.1f, 0.25f, edge) * smooth(0.45f, 0.25f, edge);
    plate(edge, 1.0f, 0.6f * rim, tone, mv, scratch, 1.0f, height, albedo);
  });
}

void paint_limbs(CANVAS* c) {
  const auto mottle = perlin(86, 4);
  const auto creases = perlin(87, 3);
  paint_patch(c, 0.0f, 0.75f, 0.25f, 1.0f, 6.0f, 0.5f, [&](double u, double v, float* height, COLOR* albedo) {
    const float mv = f(tiled_noise(mottle, u, v, 6, 6));
    // Creases run round the limbs, bent a little by the noise.
    const float bend = f(tiled_noise(creases, u, v, 4, 4));
    const float ring = 0.5f + 0.5f * std::cos(2.0f * 3.14159265f * (8.0f * f(v) + 0.8f * bend));
    const float crease = smooth(0.85f, 0.99f, ring);
    const CELLS scales = tiled_cells(u, v, 14, 85, 0.8);
    const float between = smooth(0.0f, 0.12f, f(scales.f2 - scales.f1));
    COLOR col = scale(rgb(130, 96, 70), 0.9f + 0.2f * mv);
    col = mix(scale(col, 0.75f), col, between);
    col = mix(col, rgb(84, 60, 44), 0.4f * crease);
    *height = 0.4f - 0.2f * crease + 0.2f * between + 0.1f * mv;
    *albedo = col;
  });
}

void paint_claws(CANVAS* c) {
  const auto streaks = perlin(88, 3);
  paint_patch(c, 0.25f, 0.75f, 0.375f, 0.875f, 3.0f, 0.4f, [&](double u, double v, float* height, COLOR* albedo) {
    // Pale horn, browner at the root (v = 0) and streaked along its length.
    const float sv = f(tiled_noise(streaks, u, v, 10, 1));
    COLOR col = mix(rgb(150, 126, 92), rgb(222, 210, 182), smooth(0.0f, 0.6f, f(v)));
    col = scale(col, 0.92f + 0.12f * sv);
    *height = 0.2f * sv;
    *albedo = col;
  });
}

void paint_eyes(CANVAS* c) {
  paint_patch(c, 0.375f, 0.75f, 0.5f, 0.875f, 1.0f, 0.0f, [&](double u, double v, float* height, COLOR* albedo) {
    // Glossy black: the eye looks forward (v = 0) and its glint sits up front (u = 0.25
    // is up), the same on both eyes.
    const float du = round_distance(u, 0.25), dv = f(v - 0.32);
    const float glint = smooth(0.09f, 0.03f, std::sqrt(du * du + dv * dv));
    const float du2 = round_distance(u, 0.31), dv2 = f(v - 0.42);
    const float small = smooth(0.04f, 0.015f, std::sqrt(du2 * du2 + dv2 * dv2));
    const float iris = smooth(0.22f, 0.12f, f(v)) * 0.6f;
    COLOR col = mix(rgb(14, 12, 14), rgb(62, 40, 26), iris);
    col = mix(col, rgb(236, 232, 222), std::max(glint, 0.8f * small));
    *height = 0.0f;
    *albedo = col;
  });
}

void paint_nose(CANVAS* c) {
  const auto mottle = perlin(89, 3);
  paint_patch(c, 0.25f, 0.875f, 0.375f, 1.0f, 3.0f, 0.4f, [&](double u, double v, float* height, COLOR* albedo) {
    const float mv = f(tiled_noise(mottle, u, v, 5, 5));
    // Pink and moist; the nostrils sit low on either side of the tip (v = 0; u = 0 is
    // right, 0.5 left).
    COLOR col = scale(rgb(184, 120, 116), 0.92f + 0.14f * mv);
    float nostril = 0.0f;
    for (double side : {0.936, 0.564}) {
      const float du = round_distance(u, side), dv = f(v - 0.2);
      nostril = std::max(nostril, smooth(0.08f, 0.04f, std::sqrt(du * du + 0.6f * dv * dv)));
    }
    col = mix(col, rgb(52, 26, 28), nostril);
    *height = 0.3f * mv - 0.4f * nostril;
    *albedo = col;
  });
}

void paint_launcher(CANVAS* c) {
  const auto brushed = perlin(90, 3);
  paint_patch(c, 0.375f, 0.875f, 0.5f, 1.0f, 3.0f, 0.5f, [&](double u, double v, float* height, COLOR* albedo) {
    // Brushed steel along the tube (v from its back to its mouth), a bronze collar near
    // the mouth and the dark inside of the mouth last.
    const float bv = f(tiled_noise(brushed, u, v, 12, 1));
    const float fv = f(v);
    COLOR col = scale(rgb(132, 134, 136), 0.9f + 0.14f * bv);
    const float collar = smooth(0.7f, 0.73f, fv) * smooth(0.88f, 0.86f, fv);
    col = mix(col, scale(rgb(138, 108, 70), 0.92f + 0.1f * bv), collar);
    col = mix(col, rgb(48, 48, 50), smooth(0.66f, 0.7f, fv) * smooth(0.74f, 0.7f, fv));
    col = mix(col, rgb(28, 28, 30), smooth(0.87f, 0.91f, fv));
    *height = 0.3f * collar + 0.05f * bv;
    *albedo = col;
  });
}

void paint_tanks(CANVAS* c) {
  const auto brushed = perlin(91, 3);
  const auto chips = ridged(92, 3);
  const auto soot = perlin(93, 4);
  paint_patch(c, 0.5f, 0.5f, 0.75f, 1.0f, 3.0f, 0.6f, [&](double u, double v, float* height, COLOR* albedo) {
    // v runs up the tank: a domed steel foot and top, the painted drum between them
    // girt by a riveted strap, and soot from the nozzle below.
    const float fv = f(v);
    const float bv = f(tiled_noise(brushed, u, v, 16, 2));
    const float cv = f(tiled_noise(chips, u, v, 24, 48));
    const float sv = f(tiled_noise(soot, u, v, 8, 3));
    const COLOR steel = scale(rgb(116, 118, 116), 0.9f + 0.14f * bv);
    const COLOR paint = scale(rgb(104, 102, 66), 0.94f + 0.08f * bv);
    const float drum = smooth(0.2f, 0.215f, fv) * smooth(0.8f, 0.785f, fv);
    const float chipped = smooth(0.88f, 0.92f, cv);
    COLOR col = mix(steel, paint, drum * (1.0f - chipped));
    col = mix(col, rgb(60, 54, 40), drum * smooth(0.8f, 0.86f, cv) * smooth(0.94f, 0.88f, cv));
    // A pale stencil stripe high on the drum.
    col = mix(col, rgb(178, 168, 136), (1.0f - chipped) * smooth(0.6f, 0.61f, fv) * smooth(0.66f, 0.65f, fv));
    float height_at = 0.6f * drum;
    // The strap and the seams, with their rivets.
    const float strap = smooth(0.44f, 0.45f, fv) * smooth(0.54f, 0.53f, fv);
    col = mix(col, scale(rgb(74, 72, 68), 0.9f + 0.15f * bv), strap);
    height_at += 0.3f * strap;
    for (float seam : {0.2f, 0.8f}) col = mix(col, rgb(40, 40, 40), smooth(0.012f, 0.004f, std::fabs(fv - seam)));
    constexpr int RIVETS = 12;
    const float ru = f(u * RIVETS - std::floor(u * RIVETS) - 0.5) / RIVETS;
    for (float row : {0.235f, 0.49f, 0.765f}) {
      const float r = rivet(ru * 2.0f, fv - row, 0.014f);
      height_at = std::max(height_at, 0.6f + 0.7f * r);
      col = mix(col, rgb(150, 150, 146), smooth(0.0f, 0.5f, r));
    }
    // Soot rises from the foot in streaks.
    const float sooty = clamp01(smooth(0.45f, 0.0f, fv) * (0.6f + 0.8f * sv));
    col = mix(col, rgb(34, 32, 30), 0.75f * sooty);
    *height = height_at;
    *albedo = col;
  });
}

void paint_pipes(CANVAS* c) {
  const auto brushed = perlin(94, 3);
  const auto soot = perlin(95, 5);
  paint_patch(c, 0.75f, 0.5f, 1.0f, 1.0f, 3.0f, 0.5f, [&](double u, double v, float* height, COLOR* albedo) {
    // Dark, sooty metal with a bronze heat tint; the nozzle's inside (the last of v) is
    // black with soot.
    const float bv = f(tiled_noise(brushed, u, v, 12, 2));
    const float sv = f(tiled_noise(soot, u, v, 20, 40));
    COLOR col = scale(rgb(72, 70, 68), 0.9f + 0.16f * bv);
    col = mix(col, rgb(96, 78, 60), 0.3f * smooth(0.2f, 0.6f, sv));
    col = mix(col, rgb(30, 28, 28), 0.5f * smooth(-0.1f, -0.5f, sv));
    col = mix(col, rgb(20, 19, 19), smooth(0.8f, 0.9f, f(v)));
    *height = 0.2f * sv + 0.05f * bv;
    *albedo = col;
  });
}

}  // namespace

CANVAS paint_vurk_skin() {
  constexpr int N = 512;
  CANVAS c = make_canvas(N, N, COLOR{0, 0, 0, 1});
  paint_shell(&c);
  paint_skin(&c);
  paint_small_plates(&c);
  paint_limbs(&c);
  paint_claws(&c);
  paint_eyes(&c);
  paint_nose(&c);
  paint_launcher(&c);
  paint_tanks(&c);
  paint_pipes(&c);
  // The shell's ends are hidden (its front in the chest, its rear point under the tail):
  // the rows there take the colours of the rows they meet across the edge, so filtering
  // and wrapping bring no shell colour onto the parts below.
  for (int x = 0; x < N; x++) {
    for (int y = 0; y < 3; y++) at(c, x, y) = at(c, x, N - 1);
    for (int y = N / 2 - 3; y < N / 2; y++) at(c, x, y) = at(c, x, N / 2);
  }
  return c;
}

// The rope is drawn round a thin square tube: s runs across one side (0.05 world units)
// and t along it, twice per world unit. Ten strands per tile across one side make them
// wind at about 45 degrees on the rope.
CANVAS paint_rope() {
  constexpr int W = 64, H = 512, TURNS = 10;
  const auto fibre = perlin(81, 3);
  CANVAS c = make_canvas(W, H, COLOR{0, 0, 0, 1});
  for (int y = 0; y < H; y++) {
    for (int x = 0; x < W; x++) {
      const double u = static_cast<double>(x) / W, v = static_cast<double>(y) / H;
      const double phase = u + TURNS * v;
      const float across = f(phase - std::floor(phase));
      const float bulge = std::sin(3.14159265f * across);
      const float fv = f(tiled_noise(fibre, u, v, 6, 48));
      const float lit = 0.35f + 0.75f * std::pow(bulge, 0.6f) * (1.0f - 0.35f * across);
      COLOR col = scale(rgb(176, 146, 100), lit * (0.88f + 0.2f * fv));
      at(c, x, y) = col;
    }
  }
  return c;
}

CANVAS paint_gray() {
  constexpr int N = 64;
  const auto speck = perlin(91, 3);
  CANVAS c = make_canvas(N, N, COLOR{0, 0, 0, 1});
  for (int y = 0; y < N; y++)
    for (int x = 0; x < N; x++)
      at(c, x, y) = scale(rgb(176, 178, 184), 0.95f + 0.06f * f(tiled_noise(speck, static_cast<double>(x) / N, static_cast<double>(y) / N, 8, 8)));
  return c;
}

// The menu background: a dark cave wall with glowing crystal veins. It is drawn repeated
// and turning behind white text, so it stays dark.
CANVAS paint_background() {
  constexpr int N = 256;
  const auto rockv = perlin(101, 6, 0.55);
  const auto veins = perlin(102, 3, 0.45);
  const auto hue = perlin(103, 2);
  SURFACE s = make_surface(N);
  std::vector<COLOR> glow(static_cast<size_t>(N) * N);
  for (int y = 0; y < N; y++) {
    for (int x = 0; x < N; x++) {
      const double u = static_cast<double>(x) / N, v = static_cast<double>(y) / N;
      const float rv = f(tiled_noise(rockv, u, v, 6, 6));
      // Veins follow the zero line of a smooth noise, so they run on unbroken.
      const float vein = 1.0f - std::fabs(f(tiled_noise(veins, u, v, 3, 3)));
      const float hv = f(tiled_noise(hue, u, v, 2, 2));
      const CELLS c = tiled_cells(u, v, 14, 104);
      const float facet = f(c.f2 - c.f1);
      const size_t i = static_cast<size_t>(y) * N + x;
      s.height[i] = 0.6f * rv + 0.12f * smooth(0.0f, 0.3f, facet) - 0.3f * smooth(0.9f, 0.99f, vein);
      s.albedo[i] = scale(rgb(54, 54, 64), 0.8f + 0.4f * rv);
      const COLOR vein_color = mix(rgb(50, 180, 196), rgb(150, 86, 210), clamp01(0.5f + 1.2f * hv));
      // Thicker and brighter in places, fading to a thread in others.
      const float swell = clamp01(0.5f + 0.8f * f(tiled_noise(hue, u, v + 0.5, 5, 5)));
      const float core = smooth(0.985f - 0.03f * swell, 0.997f, vein);
      const float halo = smooth(0.8f + 0.06f * (1.0f - swell), 0.99f, vein);
      const float strength = 0.35f + 0.65f * swell;
      glow[i] = add(scale(vein_color, 0.45f * strength * halo * halo), scale(rgb(210, 236, 255), 0.45f * strength * core));
    }
  }
  CANVAS c = light_surface(s, 10.0f, 0.7f);
  for (size_t i = 0; i < c.pixel.size(); i++) c.pixel[i] = add(c.pixel[i], glow[i]);
  return c;
}

int write_textures(const char* dir) {
  const std::string folder = std::string(dir) + "/textures/";
  CANVAS font, title;
  if (!paint_font(&font) || !paint_title(&title)) return 0;
  const struct {
    const char* file;
    CANVAS picture;
    int bits;
  } fixed[] = {
      {"vurk.tga", paint_vurk_skin(), 24},   {"material.tga", paint_material(), 24},
      {"metal.tga", paint_metal(), 24},      {"rock.tga", paint_rock(), 24},
      {"bullet.tga", paint_bullet(), 32},    {"rope.tga", paint_rope(), 24},
      {"font.tga", font, 32},               {"particle.tga", paint_particle(), 8},
      {"explode.tga", paint_explosion(), 32}, {"bhole.tga", paint_bullet_hole(), 32},
      {"flare.tga", paint_flare(), 32},      {"gray.tga", paint_gray(), 24},
      {"tausta.tga", paint_background(), 24}, {"otsikko.tga", title, 32},
  };
  for (const auto& t : fixed)
    if (!write_tga(folder + t.file, t.picture, t.bits)) return 0;
  int index = 0;
  for (const WEAPON_MODEL_ENTRY& w : weapon_models)
    if (!write_tga(folder + w.stem + ".tga", paint_weapon(index++), 24)) return 0;
  return 1;
}

}  // namespace content
