// field: the shaping operations the level styles use on the game's voxel field (values
// in world units, below 0 empty: roughly the signed distance to the nearest wall) and the
// finishing every level gets.
#pragma once

#include <libnoise/noise.h>

#include "levelgen.h"

namespace levelgen {

// A Perlin noise module with its seed taken from the level seed and a salt, so each use
// of noise in a style has its own.
noise::module::Perlin make_perlin(unsigned seed, unsigned salt, double frequency, int octaves);
double sample(const noise::module::Module& m, double x, double y, double z);

void fill_solid();
// Empty space: the voxels take the signed distance to the shape where that is lower.
void carve_sphere(XYZ c, double r);
void carve_capsule(XYZ a, XYZ b, double r);
void carve_ellipsoid(XYZ c, double rx, double ry, double rz);
// A box with rounded edges of radius `round`, given by its corners.
void carve_box(XYZ lo, XYZ hi, double round);
// Rock added back: the voxels take the distance inside the shape where that is higher.
void add_capsule(XYZ a, XYZ b, double r);
void add_box(XYZ lo, XYZ hi, double round);

// Moves every wall by up to `amount` units with noise of the given frequency.
void roughen(unsigned seed, unsigned salt, double amount, double frequency);

// The finishing of every level: the outer voxels are made solid so the surface closes
// inside the world; specks of rock floating free are cleared; closed pockets of empty
// space are joined to the main space by a tunnel or, when tiny, filled.
void finish_field();

// Where a cell's material is picked: the cell's centre, and which way the rock's surface
// there faces: `up` is 1 on a floor, 0 on a wall, -1 under a ceiling.
struct SPOT {
  double x, y, z;
  double up;
};

// Gives every cell the material `pick` returns for its spot, then tidies the borders on the
// rock's surface: a border can only run along cell faces, so every stray cell or notch of
// another material shows as a square; a surface cell that few of its surface neighbours
// share takes the material most of them hold.
void set_materials(int (*pick)(const SPOT& spot, const void* context), const void* context);

double length(XYZ a, XYZ b);

}  // namespace levelgen
