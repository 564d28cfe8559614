// field: shaping the voxel field with distance shapes and noise, and the finishing that
// closes the world, clears floating specks and joins or fills closed pockets.
#include "field.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace levelgen {

using namespace vurkhold;

namespace {

constexpr int N = VOXEL_SIZE;

// Voxel box around a shape's bounds, widened so the voxels next to the new walls get their
// distance too, and held inside the field.
struct BOX {
  int x0, y0, z0, x1, y1, z1;
};

BOX reach(double lx, double ly, double lz, double hx, double hy, double hz, double margin) {
  auto lo = [margin](double v) { return std::clamp(static_cast<int>(std::floor(v - margin)), 0, N - 1); };
  auto hi = [margin](double v) { return std::clamp(static_cast<int>(std::ceil(v + margin)), 0, N - 1); };
  return {lo(lx), lo(ly), lo(lz), hi(hx), hi(hy), hi(hz)};
}

template <typename F>
void lower_within(const BOX& b, F distance) {
  for (int z = b.z0; z <= b.z1; z++)
    for (int y = b.y0; y <= b.y1; y++)
      for (int x = b.x0; x <= b.x1; x++) {
        float& v = voxel[voxel_index(x, y, z)].value;
        const double d = distance(x, y, z);
        if (d < v) v = static_cast<float>(d);
      }
}

template <typename F>
void raise_within(const BOX& b, F distance) {
  for (int z = b.z0; z <= b.z1; z++)
    for (int y = b.y0; y <= b.y1; y++)
      for (int x = b.x0; x <= b.x1; x++) {
        float& v = voxel[voxel_index(x, y, z)].value;
        const double d = -distance(x, y, z);
        if (d > v) v = static_cast<float>(d);
      }
}

double segment_distance(XYZ a, XYZ b, double x, double y, double z) {
  const double abx = b.x - a.x, aby = b.y - a.y, abz = b.z - a.z;
  const double apx = x - a.x, apy = y - a.y, apz = z - a.z;
  const double len2 = abx * abx + aby * aby + abz * abz;
  double t = len2 > 0 ? (apx * abx + apy * aby + apz * abz) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const double dx = apx - t * abx, dy = apy - t * aby, dz = apz - t * abz;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double rounded_box_distance(XYZ lo, XYZ hi, double round, double x, double y, double z) {
  const double qx = std::fabs(x - (lo.x + hi.x) / 2) - ((hi.x - lo.x) / 2 - round);
  const double qy = std::fabs(y - (lo.y + hi.y) / 2) - ((hi.y - lo.y) / 2 - round);
  const double qz = std::fabs(z - (lo.z + hi.z) / 2) - ((hi.z - lo.z) / 2 - round);
  const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0), oz = std::max(qz, 0.0);
  return std::sqrt(ox * ox + oy * oy + oz * oz) + std::min(std::max({qx, qy, qz}), 0.0) - round;
}

// Connected regions of voxels that are all empty (or all solid), through the six face
// neighbours. label[i] is the region of voxel i, -1 for the other kind.
struct REGIONS {
  std::vector<int> label;
  std::vector<int> size;
};

REGIONS find_regions(bool empty) {
  REGIONS r;
  r.label.assign(VOXELS, -1);
  std::vector<int> queue;
  queue.reserve(VOXELS);
  auto wanted = [empty](int i) { return (voxel[i].value < 0.0f) == empty; };
  for (int start = 0; start < VOXELS; start++) {
    if (r.label[start] >= 0 || !wanted(start)) continue;
    const int id = static_cast<int>(r.size.size());
    r.size.push_back(0);
    queue.clear();
    queue.push_back(start);
    r.label[start] = id;
    for (size_t q = 0; q < queue.size(); q++) {
      const int i = queue[q];
      r.size[id]++;
      const int x = i % N, y = (i / N) % N, z = i / (N * N);
      const int next[6][3] = {{x - 1, y, z}, {x + 1, y, z}, {x, y - 1, z}, {x, y + 1, z}, {x, y, z - 1}, {x, y, z + 1}};
      for (const auto& n : next) {
        if (n[0] < 0 || n[1] < 0 || n[2] < 0 || n[0] >= N || n[1] >= N || n[2] >= N) continue;
        const int j = voxel_index(n[0], n[1], n[2]);
        if (r.label[j] < 0 && wanted(j)) {
          r.label[j] = id;
          queue.push_back(j);
        }
      }
    }
  }
  return r;
}

int largest(const REGIONS& r) {
  int best = -1;
  for (int i = 0; i < static_cast<int>(r.size.size()); i++)
    if (best < 0 || r.size[i] > r.size[best]) best = i;
  return best;
}

XYZ voxel_point(int i) {
  return {static_cast<float>(i % N), static_cast<float>((i / N) % N), static_cast<float>(i / (N * N))};
}

void close_world() {
  for (int z = 0; z < N; z++)
    for (int y = 0; y < N; y++)
      for (int x = 0; x < N; x++) {
        const int d = std::min({x, N - 1 - x, y, N - 1 - y, z, N - 1 - z});
        float& v = voxel[voxel_index(x, y, z)].value;
        v = std::max(v, 0.5f - static_cast<float>(d));
      }
}

// Rock floating free is anything not joined to the outer shell; small pieces of it would
// hang in the air as specks, larger ones are boulders worth keeping.
void clear_specks() {
  constexpr int SPECK = 64;
  const REGIONS solid = find_regions(false);
  const int shell = solid.label[0];
  for (int i = 0; i < VOXELS; i++) {
    const int id = solid.label[i];
    if (id >= 0 && id != shell && solid.size[id] < SPECK) voxel[i].value = -0.3f;
  }
}

// Each pocket of some size gets a tunnel to the main space along the shortest way through
// the rock; the way is found by a search spreading from the main space.
void join_pockets(const REGIONS& open, int main) {
  std::vector<int> from(VOXELS, -1), queue;
  queue.reserve(VOXELS);
  for (int i = 0; i < VOXELS; i++)
    if (open.label[i] == main) {
      from[i] = i;
      queue.push_back(i);
    }
  std::vector<int> entry(open.size.size(), -1);  // first voxel of each pocket the search reaches
  for (size_t q = 0; q < queue.size(); q++) {
    const int i = queue[q];
    const int x = i % N, y = (i / N) % N, z = i / (N * N);
    const int next[6][3] = {{x - 1, y, z}, {x + 1, y, z}, {x, y - 1, z}, {x, y + 1, z}, {x, y, z - 1}, {x, y, z + 1}};
    for (const auto& n : next) {
      if (n[0] < 1 || n[1] < 1 || n[2] < 1 || n[0] >= N - 1 || n[1] >= N - 1 || n[2] >= N - 1) continue;
      const int j = voxel_index(n[0], n[1], n[2]);
      if (from[j] >= 0) continue;
      from[j] = i;
      queue.push_back(j);
      const int id = open.label[j];
      if (id >= 0 && id != main && entry[id] < 0) entry[id] = j;
    }
  }
  for (size_t id = 0; id < entry.size(); id++) {
    if (entry[id] < 0) continue;
    int i = entry[id];
    while (open.label[i] != main) i = from[i];
    carve_capsule(voxel_point(entry[id]), voxel_point(i), 1.4);
  }
}

}  // namespace

noise::module::Perlin make_perlin(unsigned seed, unsigned salt, double frequency, int octaves) {
  RANDOM mix{seed * 0x9E3779B97F4A7C15ull + salt * 0xD1B54A32D192ED03ull};
  noise::module::Perlin p;
  p.SetSeed(static_cast<int>(mix.next() & 0x7fffffff));
  p.SetFrequency(frequency);
  p.SetOctaveCount(octaves);
  p.SetNoiseQuality(noise::QUALITY_STD);
  return p;
}

double sample(const noise::module::Module& m, double x, double y, double z) { return m.GetValue(x, y, z); }

double length(XYZ a, XYZ b) {
  const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void fill_solid() {
  for (int i = 0; i < VOXELS; i++) voxel[i].value = SOLID_VALUE;
}

void carve_sphere(XYZ c, double r) {
  lower_within(reach(c.x - r, c.y - r, c.z - r, c.x + r, c.y + r, c.z + r, 2.0), [&](int x, int y, int z) {
    const double dx = x - c.x, dy = y - c.y, dz = z - c.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz) - r;
  });
}

void carve_capsule(XYZ a, XYZ b, double r) {
  lower_within(reach(std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::min(a.z, b.z) - r,
                     std::max(a.x, b.x) + r, std::max(a.y, b.y) + r, std::max(a.z, b.z) + r, 2.0),
               [&](int x, int y, int z) { return segment_distance(a, b, x, y, z) - r; });
}

// The usual bound for an ellipsoid's distance: exact on the axes, close elsewhere.
void carve_ellipsoid(XYZ c, double rx, double ry, double rz) {
  lower_within(reach(c.x - rx, c.y - ry, c.z - rz, c.x + rx, c.y + ry, c.z + rz, 2.0), [&](int x, int y, int z) {
    const double px = (x - c.x) / rx, py = (y - c.y) / ry, pz = (z - c.z) / rz;
    const double qx = px / rx, qy = py / ry, qz = pz / rz;
    const double k0 = std::sqrt(px * px + py * py + pz * pz), k1 = std::sqrt(qx * qx + qy * qy + qz * qz);
    return k1 > 0 ? k0 * (k0 - 1.0) / k1 : -std::min({rx, ry, rz});
  });
}

void carve_box(XYZ lo, XYZ hi, double round) {
  lower_within(reach(lo.x, lo.y, lo.z, hi.x, hi.y, hi.z, 2.0),
               [&](int x, int y, int z) { return rounded_box_distance(lo, hi, round, x, y, z); });
}

void add_capsule(XYZ a, XYZ b, double r) {
  raise_within(reach(std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::min(a.z, b.z) - r,
                     std::max(a.x, b.x) + r, std::max(a.y, b.y) + r, std::max(a.z, b.z) + r, 3.0),
               [&](int x, int y, int z) { return segment_distance(a, b, x, y, z) - r; });
}

void add_box(XYZ lo, XYZ hi, double round) {
  raise_within(reach(lo.x, lo.y, lo.z, hi.x, hi.y, hi.z, 3.0),
               [&](int x, int y, int z) { return rounded_box_distance(lo, hi, round, x, y, z); });
}

void roughen(unsigned seed, unsigned salt, double amount, double frequency) {
  const noise::module::Perlin p = make_perlin(seed, salt, frequency, 3);
  for (int z = 0; z < N; z++)
    for (int y = 0; y < N; y++)
      for (int x = 0; x < N; x++) {
        float& v = voxel[voxel_index(x, y, z)].value;
        if (v < SOLID_VALUE / 2) v += static_cast<float>(amount * p.GetValue(x, y, z));
      }
}

void finish_field() {
  close_world();
  clear_specks();
  constexpr int TINY_POCKET = 16;
  for (int pass = 0; pass < 4; pass++) {
    const REGIONS open = find_regions(true);
    const int main = largest(open);
    if (open.size.size() <= 1) return;
    bool joined = false;
    for (int i = 0; i < VOXELS; i++) {
      const int id = open.label[i];
      if (id >= 0 && id != main && open.size[id] < TINY_POCKET) voxel[i].value = 0.3f;
    }
    for (size_t id = 0; id < open.size.size(); id++)
      if (static_cast<int>(id) != main && open.size[id] >= TINY_POCKET) joined = true;
    if (!joined) return;
    join_pockets(open, main);
    close_world();
  }
  // Whatever the tunnels still left apart is filled.
  close_world();
  const REGIONS open = find_regions(true);
  const int main = largest(open);
  for (int i = 0; i < VOXELS; i++)
    if (open.label[i] >= 0 && open.label[i] != main) voxel[i].value = 0.3f;
}

namespace {

bool on_surface(int x, int y, int z) {
  int empty = 0;
  for (int c = 0; c < 8; c++) empty += voxel[voxel_index(x + (c & 1), y + (c >> 1 & 1), z + (c >> 2))].value < 0.0f;
  return empty > 0 && empty < 8;
}

}  // namespace

void set_materials(int (*pick)(const SPOT& spot, const void* context), const void* context) {
  auto value = [](int x, int y, int z) {
    return static_cast<double>(voxel[voxel_index(std::clamp(x, 0, N - 1), std::clamp(y, 0, N - 1), std::clamp(z, 0, N - 1))].value);
  };
  for (int z = 0; z < GRID_SIZE; z++)
    for (int y = 0; y < GRID_SIZE; y++)
      for (int x = 0; x < GRID_SIZE; x++) {
        // The field falls towards open space. Its slope across the cell and one voxel
        // beyond on each side points out of the rock, steadier than the cell's own corners
        // on a roughened wall; its height part says how much the rock faces up.
        double g[3] = {0, 0, 0};
        for (int i = 0; i < 2; i++)
          for (int j = 0; j < 2; j++) {
            g[0] += value(x + 2, y + i, z + j) - value(x - 1, y + i, z + j);
            g[1] += value(x + i, y + 2, z + j) - value(x + i, y - 1, z + j);
            g[2] += value(x + i, y + j, z + 2) - value(x + i, y + j, z - 1);
          }
        const double slope = std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
        const SPOT spot = {x + 0.5, y + 0.5, z + 0.5, slope > 0 ? -g[1] / slope : 0.0};
        gridcell[gridcell_index(x, y, z)].material = static_cast<uint8_t>(std::clamp(pick(spot, context), 0, 3));
      }

  std::vector<uint8_t> surface(GRIDCELLS), before(GRIDCELLS);
  for (int z = 0; z < GRID_SIZE; z++)
    for (int y = 0; y < GRID_SIZE; y++)
      for (int x = 0; x < GRID_SIZE; x++) surface[gridcell_index(x, y, z)] = on_surface(x, y, z);
  for (int pass = 0; pass < 2; pass++) {
    for (int i = 0; i < GRIDCELLS; i++) before[i] = gridcell[i].material;
    for (int z = 0; z < GRID_SIZE; z++)
      for (int y = 0; y < GRID_SIZE; y++)
        for (int x = 0; x < GRID_SIZE; x++) {
          const int here = gridcell_index(x, y, z);
          if (!surface[here]) continue;
          int count[4] = {};
          for (int k = std::max(z - 1, 0); k <= std::min(z + 1, GRID_SIZE - 1); k++)
            for (int j = std::max(y - 1, 0); j <= std::min(y + 1, GRID_SIZE - 1); j++)
              for (int i = std::max(x - 1, 0); i <= std::min(x + 1, GRID_SIZE - 1); i++) {
                const int n = gridcell_index(i, j, k);
                if (n != here && surface[n]) count[before[n]]++;
              }
          const int most = static_cast<int>(std::max_element(count, count + 4) - count);
          if (count[before[here]] < 3 && count[most] >= 5) gridcell[here].material = static_cast<uint8_t>(most);
        }
  }
}

}  // namespace levelgen
