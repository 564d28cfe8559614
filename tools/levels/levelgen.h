// level generation: builds a level in the game's own pools (voxel field, cell materials,
// rocks) in one of several styles, and writes it as a version 1.1 level file. The same
// style, seed and rock settings always give the same bytes.
#pragma once

#include <cstdint>

#include "records/records.h"

namespace levelgen {

using vurkhold::XYZ;

// The rock model reaches at most this far from its origin at size 1. The game's collision
// radius of a rock is the model's squared reach times its size, so both are covered.
inline constexpr float ROCK_MODEL_REACH = 1.2f;
inline constexpr float ROCK_RADIUS_PER_SIZE = ROCK_MODEL_REACH * ROCK_MODEL_REACH;
// Open space kept around a rock beyond its radius, so a vurk (radius 0.5) passes by.
inline constexpr float ROCK_PASSAGE = 1.2f;
inline constexpr float MIN_ROCK_SIZE = 0.5f;
inline constexpr float MAX_ROCK_SIZE = 3.0f;

// Deterministic generator of the level styles (splitmix64).
struct RANDOM {
  uint64_t state;
  uint32_t next();
  double uniform(double lo, double hi);  // lo <= r < hi
  int below(int n);                      // 0..n-1
};

struct LEVEL_STYLE {
  const char* name;
  const char* summary;  // one line for the tool's help
  int rocks;            // rocks placed when none are asked for
  // Fills the voxel values and the cells' materials; the common finishing follows.
  void (*build)(RANDOM* rng, unsigned seed);
};

extern const LEVEL_STYLE level_styles[];
extern const int level_style_count;
const LEVEL_STYLE* find_level_style(const char* name);

// What build_level made.
struct LEVEL_REPORT {
  int rocks_asked;
  int rocks_placed;
  int open_points;     // whole-number points 3..31 with empty space (value below 0)
  int respawn_points;  // whole-number points 2..29 with empty space
};

// Needs allocated and bound pools. Builds the level into voxel[], gridcell[] and rock[]
// and polygonises every cell. rocks < 0: the style's own count; rock_size <= 0: sizes
// varied per rock. Rocks that find no room are left out (see the report).
void build_level(const LEVEL_STYLE* style, unsigned seed, int rocks, float rock_size, LEVEL_REPORT* report);
// build_level, then save_level_file(path, 1.1). 1 on success, 0 when the file cannot be
// written, with the reason in `error`.
int write_level(const char* path, const LEVEL_STYLE* style, unsigned seed, int rocks, float rock_size,
                LEVEL_REPORT* report, char* error = nullptr, int error_size = 0);

// Whole-number points lo..hi on each axis whose voxel holds empty space.
int count_open_points(int lo, int hi);

// A picture of the level in the pools: three views of its open space, each shaded by
// depth and tinted by the material of the wall it shows, with the rocks, over four
// horizontal slices. 1 on success, 0 when the PNG cannot be written, with the reason in
// `error` (an existing file is left as it was).
int write_level_preview(const char* png_path, char* error, int error_size);

}  // namespace levelgen
