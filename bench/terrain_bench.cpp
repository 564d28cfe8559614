// terrain benchmarks on the cave test level: the whole surface with its octree flags,
// and holes of a dig's radius and of a large explosion's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "allocations.h"
#include "records/records.h"
#include "support/cave.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

constexpr unsigned CAVE_SEED = 1;

// Pools allocated and bound once for the whole run, the cave carved.
struct CaveWorld {
  CaveWorld() {
    allocate_pools();
    bind_world();
    test::carve_test_cave(CAVE_SEED);
    for (int i = 0; i < VOXELS; i++) field.push_back(voxel[i].value);
    // Hole centres: empty voxels next to solid ones, i.e. on the tunnel walls, spread
    // through the cave.
    for (int z = 1; z < 32; z++)
      for (int y = 1; y < 32; y++)
        for (int x = 1; x < 32; x++) {
          if (voxel[voxel_index(x, y, z)].value >= 0.0f) continue;
          if (voxel[voxel_index(x + 1, y, z)].value >= 0.0f || voxel[voxel_index(x, y + 1, z)].value >= 0.0f ||
              voxel[voxel_index(x, y, z + 1)].value >= 0.0f)
            walls.push_back({x + 0.3f, y + 0.6f, z + 0.45f});
        }
    // Keep every 17th so the list is short and scattered.
    std::vector<XYZ> spread;
    for (size_t i = 0; i < walls.size(); i += 17) spread.push_back(walls[i]);
    walls.swap(spread);
  }
  std::vector<float> field;
  std::vector<XYZ> walls;
};

CaveWorld& world() {
  static CaveWorld w;
  return w;
}

// Puts the field back as carved and rebuilds the cells a hole at p of this radius
// reached, so the next hole cuts fresh rock.
void restore_after_hole(const CaveWorld& w, XYZ p, float radius) {
  for (int i = 0; i < VOXELS; i++) voxel[i].value = w.field[i];
  const int r2 = static_cast<int>(radius + 3.0);
  for (int x = static_cast<int>(p.x) - r2 - 1; x <= static_cast<int>(p.x) + r2 + 1; x++)
    for (int y = static_cast<int>(p.y) - r2 - 1; y <= static_cast<int>(p.y) + r2 + 1; y++)
      for (int z = static_cast<int>(p.z) - r2 - 1; z <= static_cast<int>(p.z) + r2 + 1; z++)
        if (x >= 0 && y >= 0 && z >= 0 && x < 32 && y < 32 && z < 32) polygonise(&gridcell[gridcell_index(x, y, z)], 0.0);
}

void BM_WholeSurface(benchmark::State& state) {
  world();
  for (auto _ : state) {
    // As at a level load: every cell reports itself into a freshly emptied octree.
    reset_octtree_flags();
    build_surface();
    benchmark::ClobberMemory();
  }
  state.counters["triangles"] = static_cast<double>(test::count_terrain_triangles());
}

// A denser level than the cave: a gyroid lattice of tunnels through the whole cube, with
// about three times the cave's triangles, as a level packed with passages would have.
void BM_WholeSurfaceDense(benchmark::State& state) {
  CaveWorld& w = world();
  constexpr double k = 2.0 * 3.14159265358979 / 16.0;  // one lattice period every 16 units
  for (int z = 0; z < VOXEL_SIZE; z++)
    for (int y = 0; y < VOXEL_SIZE; y++)
      for (int x = 0; x < VOXEL_SIZE; x++)
        voxel[voxel_index(x, y, z)].value = static_cast<float>(
            std::sin(k * x) * std::cos(k * y) + std::sin(k * y) * std::cos(k * z) + std::sin(k * z) * std::cos(k * x));
  for (auto _ : state) {
    reset_octtree_flags();
    build_surface();
    benchmark::ClobberMemory();
  }
  state.counters["triangles"] = static_cast<double>(test::count_terrain_triangles());
  for (int i = 0; i < VOXELS; i++) voxel[i].value = w.field[i];
  reset_octtree_flags();
  build_surface();
}

// Each iteration carves at the next wall point of the list into the untouched cave; the
// field and the touched cells are restored outside the timed part.
void BM_MakeHole(benchmark::State& state) {
  CaveWorld& w = world();
  const float radius = static_cast<float>(state.range(0)) / 10.0f;
  size_t next = 0;
  long triangles_before = 0, triangles_after = 0, holes = 0, allocations = 0;
  for (auto _ : state) {
    const XYZ p = w.walls[next];
    next = (next + 1) % w.walls.size();
    triangles_before += test::count_terrain_triangles();
    const long allocations_before = bench::allocations();
    const auto start = std::chrono::steady_clock::now();
    make_hole(p, radius);
    const auto end = std::chrono::steady_clock::now();
    allocations += bench::allocations() - allocations_before;
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    triangles_after += test::count_terrain_triangles();
    holes++;
    restore_after_hole(w, p, radius);
  }
  state.counters["triangles"] = static_cast<double>(test::count_terrain_triangles());
  state.counters["positions"] = static_cast<double>(w.walls.size());
  state.counters["net_new_triangles"] = holes ? static_cast<double>(triangles_after - triangles_before) / holes : 0.0;
  state.counters["allocations"] = static_cast<double>(allocations);
}

BENCHMARK(BM_WholeSurfaceDense)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeSurface)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_MakeHole)
    ->Arg(12)
    ->Arg(50)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace vurkhold
