// terrain: the level file, the marching-cubes surface of the voxel field, the octree that
// tracks which regions hold surface, and hole carving. Simulation only; drawing lives in
// terrain_draw.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/records.h"

namespace vurkhold {

// ---- marching cubes ----

// The standard lookup tables, indexed by the cube index (bit k set when table corner k
// is empty). edgeTable: mask of the cut edges; triTable: edge triples, ended by -1.
extern const int edgeTable[256];
extern const int triTable[256][16];

// Crossing of the iso level on the segment p1..p2; p1 when the two values are equal.
XYZ vertex_interp(double isolevel, XYZ p1, XYZ p2, double valp1, double valp2);
// Rebuilds the triangles of one cell from its corner values and tells the octree
// whether the cell still holds surface. Every caller passes 0.0.
void polygonise(GRIDCELL* gc, double isolevel);
// polygonise on every cell in index order.
void build_surface();

// ---- octree ----

// A cell below `o` gained triangles: clears `empty` up the chain until a node that was
// already non-empty.
void set_false_flag(OCTREE* o);
// Marks `o` empty when all its children are, then climbs to the root.
void set_true_flag(OCTREE* o);
// flag 0: the cell has triangles; non-zero: it has none.
void set_octtree_empty_flag(GRIDCELL* gc, int flag);
// Every node empty again, as before a level's cells report themselves.
void reset_octtree_flags();
// Calls visit for the eight cells of every non-empty size-2 node below o (o included) that
// the view frustum does not reject, in child order; empty nodes are skipped before their
// frustum test. The terrain is drawn through it.
void walk_visible_octtree(OCTREE* o, void (*visit)(GRIDCELL* gc, void* context), void* context);

// ---- level files ----

inline constexpr float LEVEL_VERSION_1_0 = 1.0f;
inline constexpr float LEVEL_VERSION_1_1 = 1.1f;  // 0x3F8CCCCD
inline constexpr int LEVEL_MESSAGE_SIZE = 80;

// Reads voxels, materials and rocks and builds the surface; 1 on success, 0 after the
// failure has been reported. `rocks` stays within 0..MAX_ROCKS whatever the file holds.
int load_level_file(const char* filename);
// The reading half of load_level_file, without the surface.
int read_level_file(const char* filename);
// load_level_file on a level file's bytes held in memory (a replay's own copy), its
// messages naming the file as `name`.
int load_level_bytes(const uint8_t* bytes, size_t size, const char* name);
// The largest level file a replay carries: a version 1.1 level with six rocks is 176620
// bytes.
inline constexpr int MAX_LEVEL_BYTES = 1 << 18;
// Writes the current voxel field, the materials (version 1.1 only) and the first `rocks`
// rocks as a level of the given version (1.0 or 1.1); 1 on success, 0 when the version
// is neither or the file cannot be written, with the reason in `error`. An existing file
// is replaced only by a complete one. Reports nothing.
int save_level_file(const char* filename, float version, char* error = nullptr, int error_size = 0);

// ---- lighting ----

// l (three floats) = AMBIENT plus each live light whose range, a squared distance, is
// above p's squared distance from it, scaled by 1 - d^2 / range.
void give_light(float* l, const XYZ* p);

// ---- holes ----

// Carves a sphere of empty space, rebuilds the cells it can reach and removes the
// bullet holes that hung within it.
void make_hole(XYZ p, float radius);

}  // namespace vurkhold
