// pools: the fixed-size arrays of the world, allocated once in a fixed order and bound
// together (voxels, cells, triangle corners, the octree, walls) before any level loads.
#include <cstdlib>

#include "records/records.h"

namespace vurkhold {

namespace {

template <typename T>
bool take(T*& pool, int entries, const char* message) {
  pool = static_cast<T*>(std::calloc(static_cast<size_t>(entries), sizeof(T)));
  if (pool) return true;
  report_error(message, platform::Icon::exclamation);
  return false;
}

template <typename T>
void release(T*& pool) {
  std::free(pool);
  pool = nullptr;
}

// Binds node corners, sizes and the leaves' cells under `o`; size 1 binds one cell to
// `parent`. Needs the breadth-first parent/child pointers laid out first.
void build_octtree(OCTREE* o, OCTREE* parent, uint8_t child_index, int x, int y, int z, int size) {
  if (size == 1) {
    GRIDCELL* cell = &gridcell[gridcell_index(x, y, z)];
    parent->child[child_index] = cell;
    cell->octtree = parent;
    return;
  }
  o->p = &voxel[voxel_index(x, y, z)];
  o->size = static_cast<uint8_t>(size);
  const int h = size / 2;
  for (int k = 0; k < 8; k++) {
    // The leaves' child pointers start null: below size 2 there is no node to pass.
    OCTREE* child = size == 2 ? nullptr : static_cast<OCTREE*>(o->child[k]);
    build_octtree(child, o, static_cast<uint8_t>(k), x + h * (k % 2), y + h * ((k / 2) % 2), z + h * (k / 4), h);
  }
}

}  // namespace

int allocate_pools() {
  if (!take(vertex, MAX_RENDERED_VERTEXES, "No memory for vertexes!")) return 0;
  if (!take(index, MAX_RENDERED_VERTEXES, "No memory for index array!")) return 0;
  if (!take(voxel, VOXELS, "No memory for voxels!")) return 0;
  if (!take(gridcell, GRIDCELLS, "No memory for gridcells!")) return 0;
  material_generation++;
  if (!take(octtree, OCTREE_NODES, "No memory for octtree!")) return 0;
  if (!take(rock, MAX_ROCKS, "No memory for rocks!")) return 0;
  if (!take(bullet, MAX_BULLETS, "No memory for bullets!")) return 0;
  if (!take(explosion, MAX_EXPLOSIONS, "No memory for explosions!")) return 0;
  if (!take(particle, MAX_PARTICLES, "No memory for perticles!")) return 0;
  if (!take(particle_list, MAX_PARTICLES, "No memory for perticles!")) return 0;
  if (!take(light, MAX_LIGHTS, "No memory for lights!")) return 0;
  if (!take(bullethole, MAX_BULLETHOLES, "No memory for bulletholes!")) return 0;
  for (int i = 0; i < MAX_PARTICLES; i++) particle_list[i] = &particle[i];
  return 1;
}

void free_pools() {
  release(vertex);
  release(index);
  release(voxel);
  release(gridcell);
  release(octtree);
  release(rock);
  release(bullet);
  release(explosion);
  release(particle);
  release(particle_list);
  release(light);
  release(bullethole);
}

void bind_world() {
  for (int i = 0; i < MAX_RENDERED_VERTEXES; i++) vertex[i].id = static_cast<unsigned>(i);

  for (int z = 0; z < VOXEL_SIZE; z++)
    for (int y = 0; y < VOXEL_SIZE; y++)
      for (int x = 0; x < VOXEL_SIZE; x++) {
        VOXEL& v = voxel[voxel_index(x, y, z)];
        v.value = SOLID_VALUE;
        v.p = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
      }

  for (int z = 0; z < GRID_SIZE; z++)
    for (int y = 0; y < GRID_SIZE; y++)
      for (int x = 0; x < GRID_SIZE; x++) {
        int c = gridcell_index(x, y, z);
        int v = voxel_index(x, y, z);
        GRIDCELL& cell = gridcell[c];
        const int corner[8] = {v, v + 1, v + 33, v + 34, v + 1089, v + 1090, v + 1122, v + 1123};
        for (int k = 0; k < 8; k++) cell.voxel[k] = &voxel[corner[k]];
        cell.triangles = 0;
        cell.octtree = nullptr;
        for (int t = 0; t < TRIANGLES_PER_CELL; t++)
          for (int k = 0; k < 3; k++) cell.triangle[t].vertex[k] = &vertex[c * 15 + t * 3 + k];
      }

  // The octree's shape: breadth-first numbering, children of i at 8i+1..8i+8; then the
  // nodes' corners and sizes and the leaves' cells, depth first from the root.
  for (int i = 0; i < OCTREE_NODES; i++) {
    OCTREE& o = octtree[i];
    o.empty = 1;
    o.parent = i == 0 ? nullptr : &octtree[(i - 1) / 8];
    for (int k = 0; k < 8; k++) o.child[k] = i < FIRST_OCTREE_LEAF ? &octtree[8 * i + 1 + k] : nullptr;
  }

  wall[0] = {{16, 32, 16}, {0, -1, 0}};
  wall[1] = {{16, 0, 16}, {0, 1, 0}};
  wall[2] = {{0, 16, 16}, {1, 0, 0}};
  wall[3] = {{32, 16, 16}, {-1, 0, 0}};
  wall[4] = {{16, 16, 0}, {0, 0, 1}};
  wall[5] = {{16, 16, 32}, {0, 0, -1}};

  build_octtree(&octtree[0], nullptr, 0, 0, 0, 0, 32);
}

}  // namespace vurkhold
