// level building: one style's field and materials, the common finishing, the surface, and
// rocks placed in open space clear of every wall; then the level file.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "field.h"
#include "terrain/terrain.h"

namespace levelgen {

using namespace vurkhold;

uint32_t RANDOM::next() {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

double RANDOM::uniform(double lo, double hi) { return lo + (hi - lo) * (next() / 4294967296.0); }

int RANDOM::below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

const LEVEL_STYLE* find_level_style(const char* name) {
  for (int i = 0; i < level_style_count; i++)
    if (std::strcmp(level_styles[i].name, name) == 0) return &level_styles[i];
  return nullptr;
}

int count_open_points(int lo, int hi) {
  int n = 0;
  for (int z = lo; z <= hi; z++)
    for (int y = lo; y <= hi; y++)
      for (int x = lo; x <= hi; x++)
        if (voxel[voxel_index(x, y, z)].value < 0.0f) n++;
  return n;
}

namespace {

// The point of triangle abc nearest to p, by the region p projects into.
XYZ closest_on_triangle(XYZ p, XYZ a, XYZ b, XYZ c) {
  auto sub = [](XYZ u, XYZ v) { return XYZ{u.x - v.x, u.y - v.y, u.z - v.z}; };
  auto dot = [](XYZ u, XYZ v) { return static_cast<double>(u.x) * v.x + static_cast<double>(u.y) * v.y + static_cast<double>(u.z) * v.z; };
  auto at = [](XYZ o, XYZ u, double s, XYZ v, double t) {
    return XYZ{static_cast<float>(o.x + s * u.x + t * v.x), static_cast<float>(o.y + s * u.y + t * v.y),
               static_cast<float>(o.z + s * u.z + t * v.z)};
  };
  const XYZ ab = sub(b, a), ac = sub(c, a), ap = sub(p, a);
  const double d1 = dot(ab, ap), d2 = dot(ac, ap);
  if (d1 <= 0 && d2 <= 0) return a;
  const XYZ bp = sub(p, b);
  const double d3 = dot(ab, bp), d4 = dot(ac, bp);
  if (d3 >= 0 && d4 <= d3) return b;
  const double vc = d1 * d4 - d3 * d2;
  if (vc <= 0 && d1 >= 0 && d3 <= 0) return at(a, ab, d1 / (d1 - d3), ac, 0);
  const XYZ cp = sub(p, c);
  const double d5 = dot(ab, cp), d6 = dot(ac, cp);
  if (d6 >= 0 && d5 <= d6) return c;
  const double vb = d5 * d2 - d1 * d6;
  if (vb <= 0 && d2 >= 0 && d6 <= 0) return at(a, ab, 0, ac, d2 / (d2 - d6));
  const double va = d3 * d6 - d5 * d4;
  if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
    const double w = (d4 - d3) / ((d4 - d3) + (d5 - d6));
    return at(b, sub(c, b), w, ab, 0);
  }
  const double denom = 1.0 / (va + vb + vc);
  return at(a, ab, vb * denom, ac, vc * denom);
}

// True when no triangle of the surface comes within `clear` of p.
bool surface_clear(XYZ p, double clear) {
  const int x0 = std::max(0, static_cast<int>(std::floor(p.x - clear)) - 1);
  const int y0 = std::max(0, static_cast<int>(std::floor(p.y - clear)) - 1);
  const int z0 = std::max(0, static_cast<int>(std::floor(p.z - clear)) - 1);
  const int x1 = std::min(GRID_SIZE - 1, static_cast<int>(std::ceil(p.x + clear)));
  const int y1 = std::min(GRID_SIZE - 1, static_cast<int>(std::ceil(p.y + clear)));
  const int z1 = std::min(GRID_SIZE - 1, static_cast<int>(std::ceil(p.z + clear)));
  for (int z = z0; z <= z1; z++)
    for (int y = y0; y <= y1; y++)
      for (int x = x0; x <= x1; x++) {
        const GRIDCELL& cell = gridcell[gridcell_index(x, y, z)];
        for (int t = 0; t < cell.triangles; t++) {
          const POLYGON& tri = cell.triangle[t];
          const XYZ q = closest_on_triangle(p, tri.vertex[0]->p, tri.vertex[1]->p, tri.vertex[2]->p);
          if (length(p, q) < clear) return false;
        }
      }
  return true;
}

// Points on a half-unit grid (index i is i / 2 world units, 0..64 a side) with their
// distance to the nearest solid voxel, up to `limit`.
constexpr int HALF = 2 * GRID_SIZE + 1;

int half_index(int i, int j, int k) { return i + HALF * (j + HALF * k); }

std::vector<float> distance_to_rock(int limit) {
  struct OFFSET {
    int dx, dy, dz;
    float d;
  };
  // One list of voxel offsets per parity class of the point, nearest first.
  std::vector<OFFSET> offsets[8];
  for (int parity = 0; parity < 8; parity++) {
    const double hx = 0.5 * (parity & 1), hy = 0.5 * ((parity >> 1) & 1), hz = 0.5 * (parity >> 2);
    for (int dz = -limit; dz <= limit + 1; dz++)
      for (int dy = -limit; dy <= limit + 1; dy++)
        for (int dx = -limit; dx <= limit + 1; dx++) {
          const double d = std::sqrt((dx - hx) * (dx - hx) + (dy - hy) * (dy - hy) + (dz - hz) * (dz - hz));
          if (d <= limit) offsets[parity].push_back({dx, dy, dz, static_cast<float>(d)});
        }
    std::stable_sort(offsets[parity].begin(), offsets[parity].end(),
                     [](const OFFSET& a, const OFFSET& b) { return a.d < b.d; });
  }
  std::vector<float> out(HALF * HALF * HALF, 0.0f);
  for (int k = 4; k <= 2 * GRID_SIZE - 4; k++)
    for (int j = 4; j <= 2 * GRID_SIZE - 4; j++)
      for (int i = 4; i <= 2 * GRID_SIZE - 4; i++) {
        const int parity = (i & 1) | ((j & 1) << 1) | ((k & 1) << 2);
        float found = static_cast<float>(limit);
        for (const OFFSET& o : offsets[parity]) {
          const int nx = i / 2 + o.dx, ny = j / 2 + o.dy, nz = k / 2 + o.dz;
          const bool outside = nx < 0 || ny < 0 || nz < 0 || nx >= VOXEL_SIZE || ny >= VOXEL_SIZE || nz >= VOXEL_SIZE;
          if (outside || voxel[voxel_index(nx, ny, nz)].value >= 0.0f) {
            found = o.d;
            break;
          }
        }
        out[half_index(i, j, k)] = found;
      }
  return out;
}

// Rocks go to points of open space on the half-unit grid, each as far from the others as the
// space allows with some chance mixed in, and at least a passage apart.
int place_rocks(RANDOM* rng, int count, float fixed_size) {
  const std::vector<float> room = distance_to_rock(8);
  rocks = 0;
  for (int k = 0; k < count; k++) {
    float size = fixed_size > 0 ? fixed_size : static_cast<float>(std::round(rng->uniform(1.0, 2.0) * 20) / 20);
    bool placed = false;
    while (!placed && size >= (fixed_size > 0 ? fixed_size : MIN_ROCK_SIZE)) {
      const double radius = size * ROCK_RADIUS_PER_SIZE, clear = radius + ROCK_PASSAGE;
      struct CANDIDATE {
        XYZ p;
        double score;
      };
      std::vector<CANDIDATE> candidates;
      for (int k = 4; k <= 2 * GRID_SIZE - 4; k++)
        for (int j = 4; j <= 2 * GRID_SIZE - 4; j++)
          for (int i = 4; i <= 2 * GRID_SIZE - 4; i++) {
            if (room[half_index(i, j, k)] < clear + 0.5) continue;
            const XYZ p = {0.5f * i, 0.5f * j, 0.5f * k};
            double nearest = 12.0;
            bool apart = true;
            for (int j = 0; j < rocks; j++) {
              const double d = length(p, rock[j].p);
              if (d < radius + rock[j].size * ROCK_RADIUS_PER_SIZE + ROCK_PASSAGE) apart = false;
              nearest = std::min(nearest, d);
            }
            if (apart) candidates.push_back({p, nearest + rng->uniform(0.0, 4.0)});
          }
      std::stable_sort(candidates.begin(), candidates.end(),
                       [](const CANDIDATE& a, const CANDIDATE& b) { return a.score > b.score; });
      for (const CANDIDATE& c : candidates) {
        if (!surface_clear(c.p, clear)) continue;
        rock[rocks].p = c.p;
        rock[rocks].size = size;
        rock[rocks].model = nullptr;
        rock[rocks].radius = static_cast<float>(radius);
        rocks++;
        placed = true;
        break;
      }
      if (fixed_size > 0) break;
      size -= 0.25f;
    }
  }
  return rocks;
}

}  // namespace

void build_level(const LEVEL_STYLE* style, unsigned seed, int rock_count, float rock_size, LEVEL_REPORT* report) {
  RANDOM rng{seed * 0x2545F4914F6CDD1Dull + 0x1234567ull};
  fill_solid();
  for (int i = 0; i < GRIDCELLS; i++) gridcell[i].material = 0;
  style->build(&rng, seed);
  finish_field();
  reset_octtree_flags();
  build_surface();
  const int asked = rock_count < 0 ? style->rocks : std::min(rock_count, MAX_ROCKS);
  RANDOM rock_rng{seed * 0x9E3779B97F4A7C15ull + 0xB0CCull};
  const int placed = place_rocks(&rock_rng, asked, rock_size);
  if (report) {
    report->rocks_asked = asked;
    report->rocks_placed = placed;
    report->open_points = count_open_points(3, 31);
    report->respawn_points = count_open_points(2, 29);
  }
}

int write_level(const char* path, const LEVEL_STYLE* style, unsigned seed, int rock_count, float rock_size,
                LEVEL_REPORT* report, char* error, int error_size) {
  build_level(style, seed, rock_count, rock_size, report);
  return save_level_file(path, LEVEL_VERSION_1_1, error, error_size);
}

}  // namespace levelgen
