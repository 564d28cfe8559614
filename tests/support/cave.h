// cave: a deterministic cave-like level for tests and benchmarks.
#pragma once

namespace vurkhold::test {

// Needs bound pools. Fills the voxel field with solid rock, carves rooms joined by
// winding tunnels (the same seed always gives the same field), gives the cells
// materials 0..3, sets no rocks, resets the octree and polygonises every cell.
void carve_test_cave(unsigned seed);

// Total number of triangles over all cells.
long count_terrain_triangles();

}  // namespace vurkhold::test
