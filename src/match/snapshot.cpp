// snapshots: a ring of whole worlds kept after chosen steps and put back on demand, the
// surface rebuilt only where the field or the materials put back differ.
#include <cstdlib>
#include <cstring>

#include "match/match.h"
#include "terrain/terrain.h"

namespace vurkhold {

namespace {

constexpr long NO_FRAME = -1;

// Records are copied whole: the pointers inside them (lights, targets, bullet types,
// weapon types, controllers, rock models) point into what lives for the whole run. The
// surface is not kept; it is a function of the field and the materials.
struct SNAPSHOT {
  long frame;
  uint32_t random_state;
  uint32_t material_generation;
  VURK_ vurk[MAX_VURKS];
  LIGHT light[MAX_LIGHTS];
  BULLET bullet[MAX_BULLETS];
  EXPLOSION explosion[MAX_EXPLOSIONS];
  PARTICLE particle[MAX_PARTICLES];
  BULLETHOLE bullethole[MAX_BULLETHOLES];
  ROCK rock[MAX_ROCKS];
  int rocks;
  int next_bullet, next_explosion, next_particle, next_bullethole;
  int team_frags[4];
  int winner;
  float radar_angle;
  MATCH_STATS match_stats;
  float value[VOXELS];
  uint8_t material[GRIDCELLS];
};

struct RING {
  SNAPSHOT slot[SNAPSHOT_RING];
  // The cells a load must rebuild, each listed once.
  uint8_t marked[GRIDCELLS];
  int32_t rebuild[GRIDCELLS];
  int rebuilds;
};

RING* ring = nullptr;

template <typename T>
void copy(T* to, const T* from, int n) {
  std::memcpy(to, from, sizeof(T) * static_cast<size_t>(n));
}

uint32_t bits(float f) {
  uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

void mark(int cell) {
  if (ring->marked[cell]) return;
  ring->marked[cell] = 1;
  ring->rebuild[ring->rebuilds++] = cell;
}

// The up to eight cells that have grid point (x, y, z) as a corner.
void mark_around(int x, int y, int z) {
  for (int cz = z - 1; cz <= z; cz++) {
    if (cz < 0 || cz >= GRID_SIZE) continue;
    for (int cy = y - 1; cy <= y; cy++) {
      if (cy < 0 || cy >= GRID_SIZE) continue;
      for (int cx = x - 1; cx <= x; cx++)
        if (cx >= 0 && cx < GRID_SIZE) mark(gridcell_index(cx, cy, cz));
    }
  }
}

// Compared and written bit for bit: 0.0 and -0.0 are equal as numbers but not to the hash.
void put_back_values(const float* value) {
  int n = 0;
  for (int z = 0; z < VOXEL_SIZE; z++)
    for (int y = 0; y < VOXEL_SIZE; y++)
      for (int x = 0; x < VOXEL_SIZE; x++, n++) {
        if (bits(voxel[n].value) == bits(value[n])) continue;
        voxel[n].value = value[n];
        mark_around(x, y, z);
      }
}

// A world of another level: its materials come back, and the cells whose material differs
// are rebuilt with their new texture quarter.
void put_back_materials(const SNAPSHOT& s) {
  if (s.material_generation == material_generation) return;
  for (int c = 0; c < GRIDCELLS; c++) {
    if (gridcell[c].material == s.material[c]) continue;
    gridcell[c].material = s.material[c];
    mark(c);
  }
  material_generation++;
}

void rebuild_marked() {
  for (int i = 0; i < ring->rebuilds; i++) {
    const int c = ring->rebuild[i];
    polygonise(&gridcell[c], 0.0);
    ring->marked[c] = 0;
  }
  ring->rebuilds = 0;
}

}  // namespace

int allocate_snapshots() {
  if (ring) return 1;
  ring = static_cast<RING*>(std::calloc(1, sizeof(RING)));
  if (!ring) {
    report_error("No memory for snapshots!", platform::Icon::exclamation);
    return 0;
  }
  for (SNAPSHOT& s : ring->slot) s.frame = NO_FRAME;
  return 1;
}

void free_snapshots() {
  std::free(ring);
  ring = nullptr;
}

void save_world(long frame) {
  if (!ring || frame < 0) return;
  SNAPSHOT& s = ring->slot[frame % SNAPSHOT_RING];
  s.frame = frame;
  s.random_state = game_rand_state();
  copy(s.vurk, vurk, MAX_VURKS);
  copy(s.light, light, MAX_LIGHTS);
  copy(s.bullet, bullet, MAX_BULLETS);
  copy(s.explosion, explosion, MAX_EXPLOSIONS);
  copy(s.particle, particle, MAX_PARTICLES);
  copy(s.bullethole, bullethole, MAX_BULLETHOLES);
  copy(s.rock, rock, MAX_ROCKS);
  s.rocks = rocks;
  s.next_bullet = next_bullet;
  s.next_explosion = next_explosion;
  s.next_particle = next_particle;
  s.next_bullethole = next_bullethole;
  copy(s.team_frags, team_frags, 4);
  s.winner = winner;
  s.radar_angle = radar_angle;
  s.match_stats = match_stats;
  for (int n = 0; n < VOXELS; n++) s.value[n] = voxel[n].value;
  // Materials are written only where a level is read, so most saves skip their 32 KB.
  if (s.material_generation != material_generation) {
    for (int c = 0; c < GRIDCELLS; c++) s.material[c] = gridcell[c].material;
    s.material_generation = material_generation;
  }
}

int load_world(long frame) {
  if (!ring || frame < 0) return 0;
  const SNAPSHOT& s = ring->slot[frame % SNAPSHOT_RING];
  if (s.frame != frame) return 0;
  game_srand(s.random_state);
  copy(vurk, s.vurk, MAX_VURKS);
  copy(light, s.light, MAX_LIGHTS);
  copy(bullet, s.bullet, MAX_BULLETS);
  copy(explosion, s.explosion, MAX_EXPLOSIONS);
  copy(particle, s.particle, MAX_PARTICLES);
  copy(bullethole, s.bullethole, MAX_BULLETHOLES);
  copy(rock, s.rock, MAX_ROCKS);
  rocks = s.rocks;
  next_bullet = s.next_bullet;
  next_explosion = s.next_explosion;
  next_particle = s.next_particle;
  next_bullethole = s.next_bullethole;
  copy(team_frags, s.team_frags, 4);
  winner = s.winner;
  radar_angle = s.radar_angle;
  match_stats = s.match_stats;
  put_back_materials(s);
  put_back_values(s.value);
  rebuild_marked();
  return 1;
}

}  // namespace vurkhold
