// level preview: the open space of the level in the pools seen from above, the front and
// the side as if it were a solid cast (nearer is brighter, each wall tinted by its cell's
// material, rocks in grey), and four horizontal slices below, written as a PNG.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "levelgen.h"
#include "platform/platform.h"

namespace levelgen {

using namespace vurkhold;

namespace {

constexpr int VIEW_SCALE = 8;   // pixels per world unit in the three views
constexpr int SLICE_SCALE = 6;  // and in the slices
constexpr int GAP = 8;
constexpr int VIEW = 32 * VIEW_SCALE, SLICE = 32 * SLICE_SCALE;
constexpr int WIDTH = 4 * SLICE + 5 * GAP;
constexpr int HEIGHT = VIEW + SLICE + 3 * GAP;
constexpr double SLICE_HEIGHTS[4] = {5.0, 11.0, 17.0, 24.0};

// The terrain materials' own colours: earth, stone, crystal, ore.
const double TINT[4][3] = {{0.74, 0.61, 0.47}, {0.62, 0.63, 0.66}, {0.58, 0.55, 0.74}, {0.81, 0.48, 0.38}};

struct IMAGE {
  std::vector<uint8_t> rgb = std::vector<uint8_t>(WIDTH * HEIGHT * 3, 14);
  void put(int x, int y, double r, double g, double b) {
    uint8_t* p = &rgb[(static_cast<size_t>(y) * WIDTH + x) * 3];
    p[0] = static_cast<uint8_t>(std::clamp(r, 0.0, 1.0) * 255 + 0.5);
    p[1] = static_cast<uint8_t>(std::clamp(g, 0.0, 1.0) * 255 + 0.5);
    p[2] = static_cast<uint8_t>(std::clamp(b, 0.0, 1.0) * 255 + 0.5);
  }
};

double field(double x, double y, double z) {
  x = std::clamp(x, 0.0, 32.0), y = std::clamp(y, 0.0, 32.0), z = std::clamp(z, 0.0, 32.0);
  const int x0 = std::min(static_cast<int>(x), 31), y0 = std::min(static_cast<int>(y), 31),
            z0 = std::min(static_cast<int>(z), 31);
  const double fx = x - x0, fy = y - y0, fz = z - z0;
  double sum = 0;
  for (int k = 0; k < 8; k++) {
    const int dx = k & 1, dy = (k >> 1) & 1, dz = k >> 2;
    const double w = (dx ? fx : 1 - fx) * (dy ? fy : 1 - fy) * (dz ? fz : 1 - fz);
    sum += w * std::clamp(static_cast<double>(voxel[voxel_index(x0 + dx, y0 + dy, z0 + dz)].value), -8.0, 8.0);
  }
  return sum;
}

int material_at(double x, double y, double z) {
  const int cx = std::clamp(static_cast<int>(x), 0, 31), cy = std::clamp(static_cast<int>(y), 0, 31),
            cz = std::clamp(static_cast<int>(z), 0, 31);
  return gridcell[gridcell_index(cx, cy, cz)].material & 3;
}

struct VEC {
  double x, y, z;
};

// One view: the ray of pixel (u, v) starts at `origin + u*across + v*down` and runs along
// `dir` through the 32 units of the world.
void draw_view(IMAGE* image, int left, int top, VEC origin, VEC across, VEC down, VEC dir) {
  const VEC light = {0.45, 0.75, 0.5};
  for (int v = 0; v < VIEW; v++)
    for (int u = 0; u < VIEW; u++) {
      const double a = (u + 0.5) / VIEW_SCALE, b = (v + 0.5) / VIEW_SCALE;
      const VEC o = {origin.x + a * across.x + b * down.x, origin.y + a * across.y + b * down.y,
                     origin.z + a * across.z + b * down.z};
      auto point = [&](double t) { return VEC{o.x + t * dir.x, o.y + t * dir.y, o.z + t * dir.z}; };
      double hit = -1;
      for (double t = 0.1; t < 32; t += 0.2) {
        const VEC p = point(t);
        if (field(p.x, p.y, p.z) < 0) {
          double lo = t - 0.2, hi = t;
          for (int i = 0; i < 8; i++) {
            const double mid = (lo + hi) / 2;
            const VEC m = point(mid);
            (field(m.x, m.y, m.z) < 0 ? hi : lo) = mid;
          }
          hit = hi;
          break;
        }
      }
      double r = 0.06, g = 0.06, bl = 0.08;
      if (hit >= 0) {
        const VEC p = point(hit);
        VEC n = {field(p.x + 0.5, p.y, p.z) - field(p.x - 0.5, p.y, p.z),
                 field(p.x, p.y + 0.5, p.z) - field(p.x, p.y - 0.5, p.z),
                 field(p.x, p.y, p.z + 0.5) - field(p.x, p.y, p.z - 0.5)};
        const double len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        double lit = 0.6;
        if (len > 0) {
          const double l = std::sqrt(light.x * light.x + light.y * light.y + light.z * light.z);
          lit = 0.35 + 0.65 * std::max(0.0, (n.x * light.x + n.y * light.y + n.z * light.z) / (len * l));
        }
        const double near = 1.0 - 0.55 * hit / 32.0;
        const double* tint = TINT[material_at(p.x, p.y, p.z)];
        r = tint[0] * lit * near, g = tint[1] * lit * near, bl = tint[2] * lit * near;
      }
      for (int i = 0; i < rocks; i++) {
        const double R = rock[i].size * ROCK_MODEL_REACH;
        const VEC oc = {o.x - rock[i].p.x, o.y - rock[i].p.y, o.z - rock[i].p.z};
        const double bb = oc.x * dir.x + oc.y * dir.y + oc.z * dir.z;
        const double disc = bb * bb - (oc.x * oc.x + oc.y * oc.y + oc.z * oc.z - R * R);
        if (disc < 0) continue;
        const double t = -bb - std::sqrt(disc);
        const VEC p = point(t);
        const double shade = 0.45 + 0.5 * std::max(0.0, ((p.x - rock[i].p.x) * light.x + (p.y - rock[i].p.y) * light.y +
                                                          (p.z - rock[i].p.z) * light.z) / (R * 1.06));
        // A rock behind a wall shows through it faintly, so every rock can be found.
        const double cover = hit >= 0 && t > hit ? 0.35 : 1.0;
        r += cover * (shade - r), g += cover * (shade - g), bl += cover * (shade - bl);
        if (cover == 1.0) hit = t;
      }
      image->put(left + u, top + v, r, g, bl);
    }
}

// A horizontal cut at height y seen from above: rock in its material, open space dark,
// the wall line light, rocks grey.
void draw_slice(IMAGE* image, int left, int top, double y) {
  for (int v = 0; v < SLICE; v++)
    for (int u = 0; u < SLICE; u++) {
      const double x = (u + 0.5) / SLICE_SCALE, z = (v + 0.5) / SLICE_SCALE;
      const double f = field(x, y, z);
      double r, g, b;
      if (std::fabs(f) < 0.12) {
        r = g = b = 0.92;
      } else if (f >= 0) {
        const double* tint = TINT[material_at(x, y, z)];
        r = tint[0] * 0.6, g = tint[1] * 0.6, b = tint[2] * 0.6;
      } else {
        r = 0.08, g = 0.09, b = 0.13;
      }
      for (int i = 0; i < rocks; i++) {
        const double R = rock[i].size * ROCK_MODEL_REACH, dy = y - rock[i].p.y;
        const double dx = x - rock[i].p.x, dz = z - rock[i].p.z;
        if (dx * dx + dz * dz + dy * dy < R * R) r = g = b = 0.7;
      }
      image->put(left + u, top + v, r, g, b);
    }
}

}  // namespace

int write_level_preview(const char* png_path, char* error, int error_size) {
  IMAGE image;
  const int left = (WIDTH - 3 * VIEW - 2 * GAP) / 2;
  // Above: x to the right, z downwards. Front: from +z, x right, y up. Side: from +x, z
  // to the left, y up.
  draw_view(&image, left, GAP, {0, 32, 0}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0});
  draw_view(&image, left + VIEW + GAP, GAP, {0, 32, 32}, {1, 0, 0}, {0, -1, 0}, {0, 0, -1});
  draw_view(&image, left + 2 * (VIEW + GAP), GAP, {32, 32, 32}, {0, 0, -1}, {0, -1, 0}, {-1, 0, 0});
  for (int s = 0; s < 4; s++) draw_slice(&image, GAP + s * (SLICE + GAP), VIEW + 2 * GAP, SLICE_HEIGHTS[s]);

  const bool saved = platform::write_png(png_path, WIDTH, HEIGHT, 3, image.rgb.data(), 0, error, error_size);
  return saved ? 1 : 0;
}

}  // namespace levelgen
