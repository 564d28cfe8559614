// level styles: each shapes the voxel field in its own way and gives the cells their
// materials by a rule of its own (depth, storey, region or quarter, floor or ceiling).
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "field.h"

namespace levelgen {

using namespace vurkhold;

namespace {

constexpr double PI = std::numbers::pi;

XYZ at(double x, double y, double z) { return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)}; }

// A tunnel that wanders: the heading turns with noise, is pushed back from the edges of
// the usable space, and the radius swells and narrows along the way. Every point it passes
// is appended to `path`.
struct WORM {
  double r_min, r_max;
  double climb;  // how freely it turns up and down, 0..1
  int steps;
};

void dig_worm(RANDOM* rng, unsigned seed, unsigned salt, XYZ start, const WORM& w, std::vector<XYZ>* path) {
  const noise::module::Perlin steer = make_perlin(seed, salt, 0.11, 2);
  const noise::module::Perlin swell = make_perlin(seed, salt + 1, 0.17, 1);
  double dx = rng->uniform(-1, 1), dy = rng->uniform(-1, 1) * w.climb, dz = rng->uniform(-1, 1);
  double px = start.x, py = start.y, pz = start.z;
  for (int s = 0; s < w.steps; s++) {
    dx += 0.5 * sample(steer, px, py, pz);
    dy += 0.5 * w.climb * sample(steer, px + 71.3, py, pz);
    dz += 0.5 * sample(steer, px, py + 53.9, pz);
    auto push = [](double p, double lo, double hi) { return p < lo ? 0.35 : p > hi ? -0.35 : 0.0; };
    dx += push(px, 6, 26);
    dy += push(py, 5, 27);
    dz += push(pz, 6, 26);
    const double len = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (len > 0) dx /= len, dy /= len, dz /= len;
    px = std::clamp(px + 0.8 * dx, 3.5, 28.5);
    py = std::clamp(py + 0.8 * dy, 3.5, 28.5);
    pz = std::clamp(pz + 0.8 * dz, 3.5, 28.5);
    const double r = w.r_min + (w.r_max - w.r_min) * std::clamp(0.5 + 0.6 * sample(swell, px, py, pz), 0.0, 1.0);
    carve_sphere(at(px, py, pz), r);
    if (path) path->push_back(at(px, py, pz));
  }
}

// Rock raised from below up to a height that varies with noise, over a disc.
void raise_floor(unsigned seed, unsigned salt, XYZ centre, double reach, double base, double amount) {
  const noise::module::Perlin n = make_perlin(seed, salt, 0.15, 2);
  for (int z = 0; z < VOXEL_SIZE; z++)
    for (int x = 0; x < VOXEL_SIZE; x++) {
      const double r = std::hypot(x - centre.x, z - centre.z);
      if (r > reach) continue;
      const double h = base + amount * sample(n, x, 0.0, z);
      for (int y = 0; y < VOXEL_SIZE; y++) {
        float& v = voxel[voxel_index(x, y, z)].value;
        v = std::max(v, static_cast<float>(h - y));
      }
    }
}

// Four bands by depth, their borders bent by slow noise like strata. A border that runs
// level along a wall runs along cell faces too: a straight line with a step now and then,
// where a border slanting through the cells would be all steps. Floors and ceilings may
// take a material of their own (-1: the band's), so the ground underfoot reads apart from
// the walls along the bend of the rock itself.
struct STRATA {
  noise::module::Perlin bend;
  double amount;
  double border[3];
  int band[4];
  int floor = -1, ceiling = -1;
};

int facing(const SPOT& s, int floor, int ceiling) {
  if (floor >= 0 && s.up > 0.6) return floor;
  if (ceiling >= 0 && s.up < -0.6) return ceiling;
  return -1;
}

int pick_stratum(const SPOT& s, const void* context) {
  const STRATA* r = static_cast<const STRATA*>(context);
  const int faced = facing(s, r->floor, r->ceiling);
  if (faced >= 0) return faced;
  const double t = s.y + r->amount * r->bend.GetValue(s.x, s.y, s.z);
  int i = 0;
  while (i < 3 && t >= r->border[i]) i++;
  return r->band[i];
}

// ---- caverns: long twisting tunnels that branch, widen into chambers and wind over
// each other.
void dig_caverns(RANDOM* rng, unsigned seed) {
  std::vector<XYZ> path;
  dig_worm(rng, seed, 10, at(rng->uniform(10, 22), rng->uniform(8, 24), rng->uniform(10, 22)),
           {1.7, 2.9, 0.7, 150}, &path);
  for (int b = 0; b < 5; b++) {
    const XYZ from = path[static_cast<size_t>(rng->below(static_cast<int>(path.size())))];
    dig_worm(rng, seed, 20 + 2 * b, from, {1.4, 2.5, 0.8, 60 + rng->below(50)}, &path);
  }
  for (int c = 0; c < 3; c++) {
    const XYZ p = path[static_cast<size_t>(rng->below(static_cast<int>(path.size())))];
    carve_ellipsoid(p, rng->uniform(3.5, 5.0), rng->uniform(2.5, 3.5), rng->uniform(3.5, 5.0));
  }
  roughen(seed, 40, 0.8, 0.25);
}

// Warm caverns: earth underfoot, red ore walls with a band of grey stone.
void build_caverns(RANDOM* rng, unsigned seed) {
  dig_caverns(rng, seed);
  const STRATA strata{make_perlin(seed, 50, 0.08, 1), 1.5, {10.0, 15.0, 21.0}, {3, 3, 1, 3}, 0};
  set_materials(pick_stratum, &strata);
}

// ---- deep: the caverns far down, cold: bare stone underfoot, walls in bands of stone
// and crystal, crystal hanging overhead.
void build_deep(RANDOM* rng, unsigned seed) {
  dig_caverns(rng, seed);
  const STRATA strata{make_perlin(seed, 50, 0.08, 1), 1.5, {10.0, 15.0, 21.0}, {2, 1, 2, 1}, 1, 2};
  set_materials(pick_stratum, &strata);
}

// ---- maze: a lattice of junctions, four a side, joined by bent tunnels along a random
// spanning tree with a few loops; each storey of the lattice has its own material.
void build_maze(RANDOM* rng, unsigned seed) {
  constexpr int G = 4;
  XYZ node[G][G][G];
  for (int k = 0; k < G; k++)
    for (int j = 0; j < G; j++)
      for (int i = 0; i < G; i++)
        node[i][j][k] = at(5.5 + 7 * i + rng->uniform(-0.8, 0.8), 5.5 + 7 * j + rng->uniform(-0.4, 0.4),
                           5.5 + 7 * k + rng->uniform(-0.8, 0.8));
  auto id = [](int i, int j, int k) { return i + G * j + G * G * k; };
  std::vector<int> degree(G * G * G, 0);
  std::vector<bool> seen(G * G * G, false);
  auto tunnel = [&](int a, int b) {
    const XYZ pa = node[a % G][(a / G) % G][a / (G * G)], pb = node[b % G][(b / G) % G][b / (G * G)];
    const XYZ mid = at((pa.x + pb.x) / 2 + rng->uniform(-1.2, 1.2), (pa.y + pb.y) / 2 + rng->uniform(-0.8, 0.8),
                       (pa.z + pb.z) / 2 + rng->uniform(-1.2, 1.2));
    const double r = rng->uniform(1.45, 1.75);
    carve_capsule(pa, mid, r);
    carve_capsule(mid, pb, r);
    degree[static_cast<size_t>(a)]++;
    degree[static_cast<size_t>(b)]++;
  };
  auto neighbours = [&](int n, int out[6]) {
    const int i = n % G, j = (n / G) % G, k = n / (G * G);
    int c = 0;
    if (i > 0) out[c++] = id(i - 1, j, k);
    if (i < G - 1) out[c++] = id(i + 1, j, k);
    if (j > 0) out[c++] = id(i, j - 1, k);
    if (j < G - 1) out[c++] = id(i, j + 1, k);
    if (k > 0) out[c++] = id(i, j, k - 1);
    if (k < G - 1) out[c++] = id(i, j, k + 1);
    return c;
  };
  // Depth-first walk with the unvisited neighbours in random order.
  std::vector<int> stack = {rng->below(G * G * G)};
  seen[static_cast<size_t>(stack.back())] = true;
  while (!stack.empty()) {
    int next[6], open[6], n = 0;
    const int c = neighbours(stack.back(), next);
    for (int i = 0; i < c; i++)
      if (!seen[static_cast<size_t>(next[i])]) open[n++] = next[i];
    if (n == 0) {
      stack.pop_back();
      continue;
    }
    const int to = open[rng->below(n)];
    tunnel(stack.back(), to);
    seen[static_cast<size_t>(to)] = true;
    stack.push_back(to);
  }
  for (int a = 0; a < G * G * G; a++) {
    int next[6];
    const int c = neighbours(a, next);
    for (int i = 0; i < c; i++)
      if (next[i] > a && rng->uniform(0, 1) < 0.1) tunnel(a, next[i]);
  }
  // Dead ends end in a room; three junctions are widened into chambers with room for rocks.
  for (int n = 0; n < G * G * G; n++)
    carve_sphere(node[n % G][(n / G) % G][n / (G * G)], degree[static_cast<size_t>(n)] == 1 ? 3.0 : rng->uniform(2.0, 2.5));
  for (int c = 0; c < 3; c++) {
    const int n = rng->below(G * G * G);
    carve_sphere(node[n % G][(n / G) % G][n / (G * G)], rng->uniform(3.8, 4.2));
  }
  roughen(seed, 40, 0.35, 0.35);
  const STRATA strata{make_perlin(seed, 50, 0.1, 1), 0.8, {9.0, 16.0, 23.0}, {0, 1, 2, 3}};
  set_materials(pick_stratum, &strata);
}

// ---- hall: one high hall under a dome, its floor uneven, held up by pillars, with
// ledges along the walls, hanging stones and alcoves: earth underfoot, crystal overhead,
// walls of stone, the lightest of the materials. Nothing but the vurks' lamps and the
// blasts lights a level, and the fog takes a wall as far as the view reaches: a hall
// wall to wall across the cave left its far side black. Its walls stand HALL_HALF from
// the middle, so the far wall seen from one side is about as far as a cave's.
constexpr double HALL_HALF = 11.0;

void build_hall(RANDOM* rng, unsigned seed) {
  const double lo = 16 - HALL_HALF, hi = 16 + HALL_HALF;
  carve_box(at(lo, 2.5, lo), at(hi, 20, hi), 3.0);
  carve_ellipsoid(at(16, 17, 16), HALL_HALF, 10, HALL_HALF);
  raise_floor(seed, 10, at(16, 0, 16), 40, 4.5, 2.0);
  for (int a = 0; a < 5; a++) {
    const double t = a * 2 * PI / 5 + rng->uniform(0, 1);
    const double r = HALL_HALF - 1;
    carve_sphere(at(16 + r * std::cos(t), rng->uniform(6, 12), 16 + r * std::sin(t)), rng->uniform(2.6, 3.4));
  }
  std::vector<XYZ> pillars;
  for (int tries = 0; tries < 200 && pillars.size() < 7; tries++) {
    const XYZ p = at(rng->uniform(lo + 4.5, hi - 4.5), 0, rng->uniform(lo + 4.5, hi - 4.5));
    bool apart = true;
    for (const XYZ& q : pillars) apart = apart && std::hypot(p.x - q.x, p.z - q.z) > 7.0;
    if (apart) pillars.push_back(p);
  }
  for (const XYZ& p : pillars) {
    const double r = rng->uniform(1.1, 1.8);
    add_capsule(at(p.x, 0, p.z), at(p.x, 31, p.z), r);
    add_capsule(at(p.x, 2, p.z), at(p.x, 6, p.z), r + 0.9);
    add_capsule(at(p.x, 22, p.z), at(p.x, 30, p.z), r + 1.3);
  }
  // A ledge reaches 3.5 units in from its wall.
  const double in = lo + 3.5, out = hi - 3.5;
  for (int l = 0; l < 2; l++) {
    const double y = rng->uniform(11, 14);
    const double c = rng->uniform(10, 22);
    const int side = rng->below(4);
    const XYZ a = side == 0 ? at(1, y, c - 5) : side == 1 ? at(out, y, c - 5) : side == 2 ? at(c - 5, y, 1) : at(c - 5, y, out);
    const XYZ b = side == 0 ? at(in, y + 1.6, c + 5) : side == 1 ? at(31, y + 1.6, c + 5)
                : side == 2 ? at(c + 5, y + 1.6, in) : at(c + 5, y + 1.6, 31);
    add_box(a, b, 0.7);
  }
  for (int s = 0; s < 9; s++) {
    const double x = rng->uniform(in, out), z = rng->uniform(in, out), len = rng->uniform(3, 6);
    add_capsule(at(x, 30, z), at(x, 27 - len * 0.5, z), 1.1);
    add_capsule(at(x, 27 - len * 0.5, z), at(x, 27 - len, z), 0.55);
  }
  // Two pits in the floor joined by a crawlway under it.
  const double t = rng->uniform(0, 2 * PI);
  const XYZ pit[2] = {at(16 + 8 * std::cos(t), 3.5, 16 + 8 * std::sin(t)), at(16 - 8 * std::cos(t), 3.5, 16 - 8 * std::sin(t))};
  for (const XYZ& p : pit) carve_sphere(p, 2.6);
  const XYZ bend = at(16 + 6 * std::cos(t + PI / 2), 2.8, 16 + 6 * std::sin(t + PI / 2));
  carve_capsule(pit[0], bend, 1.5);
  carve_capsule(bend, pit[1], 1.5);
  roughen(seed, 40, 0.5, 0.3);
  const STRATA strata{make_perlin(seed, 50, 0.08, 1), 1.2, {6.5, 13.5, 21.0}, {1, 1, 1, 2}, 0, 2};
  set_materials(pick_stratum, &strata);
}

// The storeys' walls take the storey's number; floors, ceilings and whatever lies outside
// the storeys the fourth material.
int pick_storey(const SPOT& s, const void* context) {
  const double(*band)[2] = static_cast<const double(*)[2]>(context);
  if (facing(s, 3, 3) >= 0) return 3;
  for (int i = 0; i < 3; i++)
    if (s.y >= band[i][0] && s.y <= band[i][1]) return i;
  return 3;
}

// ---- floors: three storeys stacked, walls standing in each where a noise plan says,
// joined by shafts; each storey has its material, the rock between them the fourth.
void build_floors(RANDOM* rng, unsigned seed) {
  static constexpr double band[3][2] = {{2.5, 8.5}, {12.0, 18.0}, {21.5, 28.5}};
  noise::module::Perlin plan[3] = {make_perlin(seed, 10, 0.13, 2), make_perlin(seed, 11, 0.13, 2),
                                   make_perlin(seed, 12, 0.13, 2)};
  for (int s = 0; s < 3; s++) {
    carve_box(at(2.5, band[s][0], 2.5), at(29.5, band[s][1], 29.5), 2.0);
    for (int z = 0; z < VOXEL_SIZE; z++)
      for (int x = 0; x < VOXEL_SIZE; x++) {
        const float wall = static_cast<float>((sample(plan[s], x, 0, z) - 0.12) * 9.0);
        for (int y = static_cast<int>(band[s][0]) - 1; y <= static_cast<int>(band[s][1]) + 2; y++) {
          float& v = voxel[voxel_index(x, y, z)].value;
          v = std::max(v, wall);
        }
      }
  }
  for (int s = 0; s < 2; s++) {
    int shafts = 0;
    for (int tries = 0; tries < 300 && shafts < 3; tries++) {
      const double x = rng->uniform(5, 27), z = rng->uniform(5, 27);
      if (sample(plan[s], x, 0, z) > 0.0 || sample(plan[s + 1], x, 0, z) > 0.0) continue;
      const double y0 = (band[s][0] + band[s][1]) / 2, y1 = (band[s + 1][0] + band[s + 1][1]) / 2;
      carve_capsule(at(x, y0, z), at(x + rng->uniform(-1.5, 1.5), y1, z + rng->uniform(-1.5, 1.5)), 1.8);
      shafts++;
    }
  }
  roughen(seed, 40, 0.45, 0.3);
  set_materials(pick_storey, &band);
}

// ---- honeycomb: round cells packed four a side with walls a unit thick between them,
// opening into their neighbours through round windows along a random spanning tree and
// a good many more; now and then two cells run into one, and a few are left solid. The
// lower two layers of cells take materials 0 and 1, the upper two 2 and 3, alternating
// like a chequerboard.
struct LATTICE {
  XYZ centre[64];
  int material[64];
};

int pick_cell(const SPOT& s, const void* context) {
  const LATTICE* l = static_cast<const LATTICE*>(context);
  int best = 0;
  double nearest = 1e9;
  for (int i = 0; i < 64; i++) {
    const double d = length(l->centre[i], at(s.x, s.y, s.z));
    if (d < nearest) nearest = d, best = i;
  }
  return l->material[best];
}

void build_honeycomb(RANDOM* rng, unsigned seed) {
  constexpr int G = 4;
  LATTICE lattice;
  bool solid[G * G * G];
  for (int n = 0; n < G * G * G; n++) {
    const int i = n % G, j = (n / G) % G, k = n / (G * G);
    lattice.centre[n] = at(5.5 + 7 * i, 5.5 + 7 * j, 5.5 + 7 * k);
    lattice.material[n] = (i + j + k) % 2 + (j >= 2 ? 2 : 0);
    solid[n] = rng->uniform(0, 1) < 0.08;
    if (!solid[n]) carve_sphere(lattice.centre[n], rng->uniform(2.85, 3.1));
  }
  auto window = [&](int a, int b) {
    const XYZ pa = lattice.centre[a], pb = lattice.centre[b];
    const XYZ mid = at((pa.x + pb.x) / 2, (pa.y + pb.y) / 2, (pa.z + pb.z) / 2);
    if (rng->uniform(0, 1) < 0.1)
      carve_capsule(pa, pb, 2.3);
    else
      carve_sphere(mid, rng->uniform(1.25, 1.6));
  };
  // The spanning tree grows from a random open cell to random neighbours of the cells it
  // holds, so every open cell is reached.
  std::vector<int> tree;
  std::vector<bool> in(G * G * G, false);
  int first = rng->below(G * G * G);
  while (solid[first]) first = (first + 1) % (G * G * G);
  tree.push_back(first);
  in[static_cast<size_t>(first)] = true;
  for (int guard = 0; guard < 20000; guard++) {
    const int a = tree[static_cast<size_t>(rng->below(static_cast<int>(tree.size())))];
    const int axis = rng->below(3), step = rng->below(2) ? 1 : -1;
    int c[3] = {a % G, (a / G) % G, a / (G * G)};
    c[axis] += step;
    if (c[axis] < 0 || c[axis] >= G) continue;
    const int b = c[0] + G * c[1] + G * G * c[2];
    if (solid[b] || in[static_cast<size_t>(b)]) continue;
    window(a, b);
    in[static_cast<size_t>(b)] = true;
    tree.push_back(b);
  }
  for (int a = 0; a < G * G * G; a++)
    for (const int b : {a + 1, a + G, a + G * G}) {
      const bool neighbour = (b == a + 1 && a % G < G - 1) || (b == a + G && (a / G) % G < G - 1) ||
                             (b == a + G * G && a / (G * G) < G - 1);
      if (neighbour && !solid[a] && !solid[b] && rng->uniform(0, 1) < 0.3) window(a, b);
    }
  roughen(seed, 40, 0.12, 0.4);
  set_materials(pick_cell, &lattice);
}

// ---- arena: a small round pit with a pillar in the middle, four bays, and a ring
// tunnel around it joined by four spokes; each quarter has its own material.
int pick_quarter(const SPOT& s, const void*) {
  const double a = std::atan2(s.z - 16, s.x - 16) + PI / 4;
  return static_cast<int>(std::floor((a + PI) / (PI / 2))) & 3;
}

void build_arena(RANDOM* rng, unsigned seed) {
  const XYZ c = at(16, 13, 16);
  carve_ellipsoid(c, 9.0, 6.5, 9.0);
  raise_floor(seed, 10, c, 12, 8.0, 0.8);
  for (int b = 0; b < 4; b++) {
    const double t = b * PI / 2;
    carve_sphere(at(16 + 9 * std::cos(t), 11.5, 16 + 9 * std::sin(t)), 3.0);
  }
  const double lift = rng->uniform(3, 5);
  XYZ last{};
  for (int s = 0; s <= 20; s++) {
    const double t = s * 2 * PI / 20;
    const XYZ p = at(16 + 12.5 * std::cos(t), 14 + lift * std::sin(2 * t), 16 + 12.5 * std::sin(t));
    if (s > 0) carve_capsule(last, p, 1.7);
    last = p;
  }
  for (int s = 0; s < 4; s++) {
    const double t = PI / 4 + s * PI / 2;
    carve_capsule(at(16 + 6 * std::cos(t), 15, 16 + 6 * std::sin(t)),
                  at(16 + 12.5 * std::cos(t), 14 + lift * std::sin(2 * t), 16 + 12.5 * std::sin(t)), 1.6);
  }
  add_capsule(at(16, 7, 16), at(16, 12.5, 16), 1.6);
  add_capsule(at(16, 16.5, 16), at(16, 22, 16), 1.4);
  roughen(seed, 40, 0.4, 0.3);
  set_materials(pick_quarter, nullptr);
}

// ---- grotto: a domed grotto with a few pillars, caverns winding off it round the
// level, a low pool chamber and a high gallery; earth underfoot, the walls in strata by
// depth: ore low down, stone, crystal up in the gallery.
void build_grotto(RANDOM* rng, unsigned seed) {
  const XYZ hall = at(16, 13, 16);
  carve_ellipsoid(hall, 9.5, 7.0, 9.5);
  raise_floor(seed, 10, hall, 13, 7.5, 1.5);
  for (int p = 0; p < 3; p++) {
    const double t = p * 2 * PI / 3 + rng->uniform(0, 1);
    const double x = 16 + 5 * std::cos(t), z = 16 + 5 * std::sin(t), r = rng->uniform(1.0, 1.4);
    add_capsule(at(x, 4, z), at(x, 24, z), r);
    add_capsule(at(x, 17, z), at(x, 24, z), r + 1.0);
  }
  std::vector<XYZ> path;
  for (int w = 0; w < 4; w++) {
    const double t = w * PI / 2 + rng->uniform(0, 0.8);
    dig_worm(rng, seed, 20 + 2 * w, at(16 + 7 * std::cos(t), rng->uniform(10, 18), 16 + 7 * std::sin(t)),
             {1.6, 2.6, 0.6, 90}, &path);
  }
  const XYZ pool = at(rng->uniform(8, 24), 5, rng->uniform(8, 24));
  carve_ellipsoid(pool, 5.5, 2.4, 5.0);
  dig_worm(rng, seed, 30, pool, {1.5, 2.2, 0.9, 50}, &path);
  const XYZ gallery = at(rng->uniform(10, 22), 26, rng->uniform(10, 22));
  dig_worm(rng, seed, 32, gallery, {1.6, 2.4, 0.25, 80}, &path);
  carve_capsule(gallery, at(hall.x, hall.y + 5, hall.z), 1.7);
  roughen(seed, 40, 0.7, 0.22);
  const STRATA strata{make_perlin(seed, 50, 0.07, 1), 1.5, {7.0, 13.0, 20.0}, {3, 1, 1, 2}, 0};
  set_materials(pick_stratum, &strata);
}

}  // namespace

const LEVEL_STYLE level_styles[] = {
    {"grotto", "a domed grotto ringed by winding caverns", 4, build_grotto},
    {"caverns", "long twisting caverns branching into chambers", 3, build_caverns},
    {"deep", "the caverns far down, in stone and crystal", 5, build_deep},
    {"maze", "a 3D maze of tunnels between junction rooms", 2, build_maze},
    {"hall", "a high hall with pillars, ledges and rocks", 6, build_hall},
    {"floors", "three storeys joined by shafts", 3, build_floors},
    {"honeycomb", "round cells joined by round windows", 3, build_honeycomb},
    {"arena", "a small pit with bays and a ring tunnel", 1, build_arena},
};
const int level_style_count = sizeof level_styles / sizeof level_styles[0];

}  // namespace levelgen
