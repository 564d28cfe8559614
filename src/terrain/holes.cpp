// holes: carving a sphere of empty space into the voxel field, rebuilding the cells it
// reaches and dropping the bullet holes that hung on the carved-away surface.
#include <cmath>

#include "geometry/geometry.h"
#include "terrain/terrain.h"

namespace vurkhold {

namespace {

// Truncates toward zero like an int conversion, held within lo..hi: a far-off or
// non-finite position then gives an empty or clipped range instead of an overflowing
// conversion. Every bound used below is clipped to the grid anyway, so the loops cover
// exactly the same grid points as the unclipped conversion would.
int truncate_within(double v, int lo, int hi) {
  if (!(v >= lo)) return lo;
  if (v > hi) return hi;
  return static_cast<int>(v);
}

constexpr int MAX_REACH = 1 << 24;

// The grid points the hole being made has lowered: those marked with `carving`. A cell's
// triangles follow from its corners alone, so only the cells with a lowered corner are
// rebuilt; rebuilding the whole box around a crater took most of a busy fight's frame.
uint8_t carved[VOXELS];
uint8_t carving = 0;

bool has_carved_corner(const GRIDCELL* gc) {
  for (const VOXEL* v : gc->voxel)
    if (carved[v - voxel] == carving) return true;
  return false;
}

}  // namespace

void make_hole(XYZ p, float radius) {
  const double px = p.x, py = p.y, pz = p.z, rad = radius;
  if (++carving == 0) {
    for (uint8_t& c : carved) c = 0;
    carving = 1;
  }

  // Carve: every voxel in reach takes its signed distance from the sphere when that is
  // lower, so the sphere empties and the walls around it are smoothed toward it.
  const int r = truncate_within(rad + 2.0, -MAX_REACH, MAX_REACH);
  const int x0 = truncate_within(px - r, -1, VOXEL_SIZE), x1 = truncate_within(px + r, -1, VOXEL_SIZE - 1);
  const int y0 = truncate_within(py - r, -1, VOXEL_SIZE), y1 = truncate_within(py + r, -1, VOXEL_SIZE - 1);
  const int z0 = truncate_within(pz - r, -1, VOXEL_SIZE), z1 = truncate_within(pz + r, -1, VOXEL_SIZE - 1);
  for (int x = x0 < 0 ? 0 : x0; x <= x1; x++) {
    const double dx = x - px;
    for (int y = y0 < 0 ? 0 : y0; y <= y1; y++) {
      const double dy = y - py;
      const double dxy = dx * dx + dy * dy;
      VOXEL* column = &voxel[voxel_index(x, y, 0)];
      for (int z = z0 < 0 ? 0 : z0; z <= z1; z++) {
        const double dz = z - pz;
        const double d = std::sqrt(dxy + dz * dz) - rad;
        float& value = column[z * VOXEL_SIZE * VOXEL_SIZE].value;
        if (d < value) {
          value = static_cast<float>(d);
          carved[voxel_index(x, y, z)] = carving;
        }
      }
    }
  }

  // Rebuild: the box one cell wider than the carved one on every side holds every cell
  // with a lowered corner.
  const int r2 = truncate_within(rad + 3.0, -MAX_REACH, MAX_REACH);
  const int cx0 = truncate_within(px - r2, -1, GRID_SIZE), cx1 = truncate_within(px + r2, -1, GRID_SIZE - 1);
  const int cy0 = truncate_within(py - r2, -1, GRID_SIZE), cy1 = truncate_within(py + r2, -1, GRID_SIZE - 1);
  const int cz0 = truncate_within(pz - r2, -1, GRID_SIZE), cz1 = truncate_within(pz + r2, -1, GRID_SIZE - 1);
  for (int x = cx0 < 0 ? 0 : cx0; x <= cx1; x++)
    for (int y = cy0 < 0 ? 0 : cy0; y <= cy1; y++)
      for (int z = cz0 < 0 ? 0 : cz0; z <= cz1; z++) {
        GRIDCELL* gc = &gridcell[gridcell_index(x, y, z)];
        if (has_carved_corner(gc)) polygonise(gc, 0.0);
      }

  // Bullet holes on the carved-away surface go with it; one exactly on the sphere too. The
  // squared distance comes rounded to float, so the squared radius is rounded the same way:
  // against the exact square, a hole exactly at the radius rounds above it for about half of
  // all radii.
  const float reach2 = radius * radius;
  for (int i = 0; i < MAX_BULLETHOLES; i++) {
    BULLETHOLE& hole = bullethole[i];
    if (hole.alive && give_distance_pow2(&hole.p, &p) <= reach2) hole.alive = 0;
  }
}

}  // namespace vurkhold
