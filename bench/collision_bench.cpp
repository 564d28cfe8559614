// collision benchmarks on the cave test level: one sphere sweep of a vurk's frame move and
// one point sweep of a bullet's step, from places and in directions spread over the cave.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "allocations.h"
#include "geometry/cave_walk.h"
#include "geometry/geometry.h"
#include "records/records.h"
#include "support/cave.h"

namespace vurkhold {
namespace {

constexpr unsigned CAVE_SEED = 1;
constexpr size_t SAMPLES = 4096;

struct Sweep {
  XYZ p;
  IJK movement;
};

// Pools bound once for the run, the cave carved, four live vurks inside it, and the
// sample moves laid out before any timing.
struct CollisionCave {
  CollisionCave() {
    allocate_pools();
    bind_world();
    test::carve_test_cave(CAVE_SEED);
    triangles = test::count_terrain_triangles();

    test::WalkRng rng{31337};
    // Vurk places: where spheres walking through the cave come to be, often resting
    // against the rock, as vurks do.
    const std::vector<XYZ> open = test::open_points(0.6);
    std::vector<XYZ> walked;
    for (size_t s = 0; s < open.size(); s += open.size() / 64 + 1) {
      XYZ p = open[s];
      IJK heading = rng.direction(1.0);
      for (int frame = 0; frame < 200; frame++) {
        if (frame % 15 == 0) heading = rng.direction(1.0);
        const double length = rng.uniform(0.03, 0.3);
        test::move_like_a_vurk(
            &p,
            {static_cast<float>(heading.i * length), static_cast<float>(heading.j * length),
             static_cast<float>(heading.k * length)},
            0.5f);
        walked.push_back(p);
      }
    }
    for (size_t i = 0; i < SAMPLES; i++) {
      const XYZ p = walked[(i * 7919) % walked.size()];
      vurk_moves.push_back({p, rng.direction(rng.uniform(0.03, 0.3))});
    }
    // Bullets: every step of 0.5 of shots fired in all directions from all over the cave,
    // up to and including the step that meets the rock.
    std::vector<Sweep> flown;
    const std::vector<XYZ> air = test::open_points(0.3);
    for (size_t s = 0; s < air.size(); s += air.size() / 256 + 1) {
      Sweep b = {air[s], rng.direction(0.5)};
      for (int n = 0; n < 200; n++) {
        flown.push_back(b);
        XYZ at;
        IJK normal;
        if (test_point_collisions(b.p, b.movement, &at, &normal)) break;
        b.p = {b.p.x + b.movement.i, b.p.y + b.movement.j, b.p.z + b.movement.k};
      }
    }
    for (size_t i = 0; i < SAMPLES; i++) bullet_steps.push_back(flown[(i * 7919) % flown.size()]);

    for (int i = 0; i < MAX_VURKS; i++) {
      vurk[i].alive = 1;
      vurk[i].p = walked[(i * 104729) % walked.size()];
      vurk[i].pp = vurk[i].p;
    }
  }
  long triangles = 0;
  std::vector<Sweep> vurk_moves;
  std::vector<Sweep> bullet_steps;
};

CollisionCave& cave() {
  static CollisionCave c;
  return c;
}

void label(benchmark::State& state, const CollisionCave& c, long hits, long calls) {
  state.counters["triangles"] = static_cast<double>(c.triangles);
  state.counters["hit_share"] = calls ? static_cast<double>(hits) / calls : 0.0;
  state.SetLabel("cave seed 1, " + std::to_string(c.triangles) + " triangles, 4 vurks, no rocks");
}

// One vurk-sized sphere (radius 0.5) moved by one frame's displacement (0.03..0.3).
void BM_SphereSweep(benchmark::State& state) {
  CollisionCave& c = cave();
  size_t next = 0;
  long hits = 0, calls = 0, allocations = 0;
  for (auto _ : state) {
    const Sweep& s = c.vurk_moves[next];
    next = (next + 1) % c.vurk_moves.size();
    XYZ result;
    IJK normal, slide;
    const long allocations_before = bench::allocations();
    const int hit = test_sphere_collisions(s.p, 0.5f, s.movement, &result, &normal, &slide);
    allocations += bench::allocations() - allocations_before;
    benchmark::DoNotOptimize(hit);
    benchmark::DoNotOptimize(result);
    benchmark::DoNotOptimize(slide);
    hits += hit;
    calls++;
  }
  label(state, c, hits, calls);
  state.counters["allocations"] = static_cast<double>(allocations);
}

// One bullet step of length 0.5.
void BM_PointSweep(benchmark::State& state) {
  CollisionCave& c = cave();
  size_t next = 0;
  long hits = 0, calls = 0, allocations = 0;
  for (auto _ : state) {
    const Sweep& s = c.bullet_steps[next];
    next = (next + 1) % c.bullet_steps.size();
    XYZ result;
    IJK normal;
    const long allocations_before = bench::allocations();
    const COLLISION_TYPE kind = test_point_collisions(s.p, s.movement, &result, &normal);
    allocations += bench::allocations() - allocations_before;
    benchmark::DoNotOptimize(kind);
    benchmark::DoNotOptimize(result);
    hits += kind != CT_NO_COLLISION;
    calls++;
  }
  label(state, c, hits, calls);
  state.counters["allocations"] = static_cast<double>(allocations);
}

BENCHMARK(BM_SphereSweep)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_PointSweep)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace vurkhold
