// cave: a deterministic cave-like level for tests and benchmarks: rooms joined by
// winding tunnels, carved straight into the voxel field and then polygonised.
#include "support/cave.h"

#include <cmath>
#include <cstdint>

#include "geometry/cave_walk.h"
#include "records/records.h"
#include "terrain/terrain.h"

namespace vurkhold::test {

namespace {

// Lowers the field to the signed distance from a sphere, like a hole without the rebuild.
void carve_sphere(double cx, double cy, double cz, double radius) {
  const int reach = static_cast<int>(radius + 2.0);
  for (int z = static_cast<int>(cz) - reach; z <= static_cast<int>(cz) + reach; z++)
    for (int y = static_cast<int>(cy) - reach; y <= static_cast<int>(cy) + reach; y++)
      for (int x = static_cast<int>(cx) - reach; x <= static_cast<int>(cx) + reach; x++) {
        if (x < 0 || y < 0 || z < 0 || x > 32 || y > 32 || z > 32) continue;
        const double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy) + (z - cz) * (z - cz)) - radius;
        float& value = voxel[voxel_index(x, y, z)].value;
        if (d < value) value = static_cast<float>(d);
      }
}

struct Point {
  double x, y, z;
};

// A tunnel from a to b bending through a random midpoint, as a chain of spheres.
void carve_tunnel(WalkRng& rng, Point a, Point b) {
  const Point mid = {(a.x + b.x) / 2 + rng.uniform(-4, 4), (a.y + b.y) / 2 + rng.uniform(-4, 4),
                     (a.z + b.z) / 2 + rng.uniform(-4, 4)};
  const double radius = rng.uniform(1.4, 2.5);
  const Point leg[2][2] = {{a, mid}, {mid, b}};
  for (const auto& l : leg) {
    const double len = std::sqrt((l[1].x - l[0].x) * (l[1].x - l[0].x) + (l[1].y - l[0].y) * (l[1].y - l[0].y) +
                                 (l[1].z - l[0].z) * (l[1].z - l[0].z));
    const int steps = static_cast<int>(len / 0.5) + 1;
    for (int s = 0; s <= steps; s++) {
      const double t = static_cast<double>(s) / steps;
      auto clampc = [](double v) { return v < 4.5 ? 4.5 : v > 27.5 ? 27.5 : v; };
      carve_sphere(clampc(l[0].x + t * (l[1].x - l[0].x)), clampc(l[0].y + t * (l[1].y - l[0].y)),
                   clampc(l[0].z + t * (l[1].z - l[0].z)), radius);
    }
  }
}

}  // namespace

void carve_test_cave(unsigned seed) {
  WalkRng rng{seed * 2654435761u + 12345u};
  // A whole draw of 24 bits, exact in double.
  auto draw = [&rng] { return static_cast<uint32_t>(rng.uniform(0, 16777216.0)); };
  for (int i = 0; i < VOXELS; i++) voxel[i].value = SOLID_VALUE;

  // Rooms and tunnels stay at least two units clear of the outer walls, so the surface
  // is closed. The rooms form a ring, with a few shortcuts across it.
  constexpr int ROOMS = 18;
  constexpr int SHORTCUTS = 10;
  Point room[ROOMS];
  for (int i = 0; i < ROOMS; i++) {
    room[i] = {rng.uniform(6.5, 25.5), rng.uniform(6.5, 25.5), rng.uniform(6.5, 25.5)};
    carve_sphere(room[i].x, room[i].y, room[i].z, rng.uniform(2.5, 4.5));
  }
  for (int i = 0; i < ROOMS; i++) carve_tunnel(rng, room[i], room[(i + 1) % ROOMS]);
  for (int i = 0; i < SHORTCUTS; i++) carve_tunnel(rng, room[draw() % ROOMS], room[draw() % ROOMS]);

  // Materials in blocks of 4 x 4 x 4 cells.
  const uint32_t salt = draw();
  for (int z = 0; z < GRID_SIZE; z++)
    for (int y = 0; y < GRID_SIZE; y++)
      for (int x = 0; x < GRID_SIZE; x++) {
        const uint32_t block = static_cast<uint32_t>((x / 4) + 8 * (y / 4) + 64 * (z / 4));
        gridcell[gridcell_index(x, y, z)].material = static_cast<uint8_t>(((block * 2246822519u) ^ salt) >> 30);
      }

  rocks = 0;
  for (int i = 0; i < GRIDCELLS; i++) gridcell[i].triangles = 0;
  reset_octtree_flags();
  build_surface();
}

long count_terrain_triangles() {
  long n = 0;
  for (int i = 0; i < GRIDCELLS; i++) n += gridcell[i].triangles;
  return n;
}

}  // namespace vurkhold::test
