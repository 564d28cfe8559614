// terrain drawing: the triangles of the visible cells, nearest cells first, each corner
// lit by the lights around it, gathered into a fixed batch of lit vertices and drawn as
// vertex arrays.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "geometry/geometry.h"
#include "render/render.h"
#include "terrain/terrain.h"

namespace vurkhold {

namespace {

// One corner as GL_T2F_C3F_V3F lays it out.
struct LIT_VERTEX {
  float s, t;
  float color[3];
  float x, y, z;
};

// A few hundred corners a draw: a software renderer's threads start rasterising the first
// batches while the later ones are still being lit, where one large draw keeps them
// waiting for all of it.
constexpr int BATCH_VERTICES = 3 * 128;
// A triangle this close to edge-on is left for GL to decide.
constexpr float EDGE_ON = 1e-4f;

LIT_VERTEX batch[BATCH_VERTICES];
int batched = 0;

// The eye in world coordinates (when known) and which way round a kept triangle turns as
// seen from it: +1 keeps triangles wound counter-clockwise towards the eye, -1 clockwise,
// 0 keeps all.
bool eye_known = false;
XYZ eye = {0.0f, 0.0f, 0.0f};
float kept_turn = 0.0f;

// The visible cells of one draw and their distance class, one per world unit from the eye.
// Drawn nearest first, the depth test turns away most of what lies behind, and the
// software rasteriser skips shading it.
constexpr int DISTANCE_CLASSES = 64;
GRIDCELL* visible[GRIDCELLS];
uint8_t visible_class[GRIDCELLS];
GRIDCELL* in_order[GRIDCELLS];
int visible_count = 0;

// The lights that shine in this draw, in pool order, and of those the ones reaching the
// cell being drawn. A busy fight has every light of the pool burning, each reaching a few
// units: a corner summed over the lights of its own cell, not over the whole pool, gets
// the same colour as give_light gives it, at a fraction of the cost.
int burning[MAX_LIGHTS];
int burning_count = 0;
int reaching[MAX_LIGHTS];
int reaching_count = 0;
// Corners lie on their cell's edges; the margin covers the rounding of the box test.
constexpr float CELL_MARGIN = 0.01f;

void find_burning_lights() {
  burning_count = 0;
  for (int i = 0; i < MAX_LIGHTS; i++)
    if (light[i].alive && light[i].range > 0.0f) burning[burning_count++] = i;
}

void find_reaching_lights(const XYZ& corner) {
  reaching_count = 0;
  for (int k = 0; k < burning_count; k++) {
    const LIGHT& source = light[burning[k]];
    const float at[3] = {source.p.x, source.p.y, source.p.z}, lo[3] = {corner.x, corner.y, corner.z};
    float d2 = 0.0f;
    for (int c = 0; c < 3; c++) {
      const float out = std::max({lo[c] - CELL_MARGIN - at[c], at[c] - (lo[c] + 1.0f + CELL_MARGIN), 0.0f});
      d2 += out * out;
    }
    if (d2 < source.range) reaching[reaching_count++] = burning[k];
  }
}

// give_light over the lights reaching the cell, in the same order, so the same sum.
void light_corner(float* l, const XYZ* p) {
  l[0] = l[1] = l[2] = AMBIENT;
  for (int k = 0; k < reaching_count; k++) {
    const LIGHT& source = light[reaching[k]];
    const float d2 = give_distance_pow2(p, &source.p);
    if (!(source.range > d2)) continue;
    const float f = 1.0f - d2 / source.range;
    for (int c = 0; c < 3; c++) l[c] += source.color[c] * f;
  }
}

void flush_batch() {
  if (batched == 0) return;
  glInterleavedArrays(GL_T2F_C3F_V3F, 0, batch);
  glDrawArrays(GL_TRIANGLES, 0, batched);
  glDisableClientState(GL_COLOR_ARRAY);
  batched = 0;
}

// The eye is where the model-view maps to the origin: -A^-1 t, with A the 3 x 3 part
// (column order: element 4 * column + row) and t its translation.
void find_eye() {
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  const float c00 = m[5] * m[10] - m[9] * m[6], c01 = m[9] * m[2] - m[1] * m[10], c02 = m[1] * m[6] - m[5] * m[2];
  const float c10 = m[8] * m[6] - m[4] * m[10], c11 = m[0] * m[10] - m[8] * m[2], c12 = m[4] * m[2] - m[0] * m[6];
  const float c20 = m[4] * m[9] - m[8] * m[5], c21 = m[8] * m[1] - m[0] * m[9], c22 = m[0] * m[5] - m[4] * m[1];
  const float det = m[0] * c00 + m[4] * c01 + m[8] * c02;
  eye_known = det != 0.0f;
  kept_turn = 0.0f;
  if (!eye_known) return;
  eye = {-(c00 * m[12] + c10 * m[13] + c20 * m[14]) / det, -(c01 * m[12] + c11 * m[13] + c21 * m[14]) / det,
         -(c02 * m[12] + c12 * m[13] + c22 * m[14]) / det};

  // GL would cull the back faces anyway; rejecting them here spares their lighting and
  // their trip through GL's vertex stage. The winding GL keeps comes from its culling
  // state; a mirroring model-view turns every winding round.
  if (!glIsEnabled(GL_CULL_FACE)) return;
  GLint mode = GL_BACK, front = GL_CCW;
  glGetIntegerv(GL_CULL_FACE_MODE, &mode);
  glGetIntegerv(GL_FRONT_FACE, &front);
  if (mode == GL_FRONT_AND_BACK) return;
  kept_turn = (front == GL_CCW) == (mode == GL_BACK) ? 1.0f : -1.0f;
  if (det < 0.0f) kept_turn = -kept_turn;
}

bool culled(const POLYGON& t) {
  if (kept_turn == 0.0f) return false;
  const XYZ& a = t.vertex[0]->p;
  const XYZ& b = t.vertex[1]->p;
  const XYZ& c = t.vertex[2]->p;
  const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
  const float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
  const float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
  const float turn = nx * (eye.x - a.x) + ny * (eye.y - a.y) + nz * (eye.z - a.z);
  return kept_turn * turn < -EDGE_ON;
}

void add_visible_cell(GRIDCELL* gc, void*) {
  if (gc->triangles == 0) return;
  const XYZ& corner = gc->voxel[0]->p;
  const float dx = corner.x + 0.5f - eye.x, dy = corner.y + 0.5f - eye.y, dz = corner.z + 0.5f - eye.z;
  const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
  visible[visible_count] = gc;
  visible_class[visible_count] = static_cast<uint8_t>(d < DISTANCE_CLASSES - 1 ? d : DISTANCE_CLASSES - 1);
  visible_count++;
}

// A counting sort over the distance classes: stable, and linear in the cells.
void order_visible_cells() {
  int start[DISTANCE_CLASSES] = {};
  for (int i = 0; i < visible_count; i++) start[visible_class[i]]++;
  for (int c = 0, at = 0; c < DISTANCE_CLASSES; c++) {
    const int n = start[c];
    start[c] = at;
    at += n;
  }
  for (int i = 0; i < visible_count; i++) in_order[start[visible_class[i]]++] = visible[i];
}

// In near-first order the cells come from all over the pools, and the drawing would wait
// on memory for each cell's record and corners in turn: the record of the cell drawn
// 2 x PREFETCH_CELLS later and the corners of its first three triangles PREFETCH_CELLS
// later are asked for ahead. The prefetches stay in the drawing loop: GCC takes a function
// that only prefetches for one without effects, and drops its calls.
constexpr int PREFETCH_CELLS = 4;

}  // namespace

void render_octtree(OCTREE* o) {
  find_eye();
  find_burning_lights();
  visible_count = 0;
  if (eye_known) {
    walk_visible_octtree(o, add_visible_cell, nullptr);
    order_visible_cells();
    for (int i = 0; i < visible_count; i++) {
      if (i + 2 * PREFETCH_CELLS < visible_count) {
        const GRIDCELL* ahead = in_order[i + 2 * PREFETCH_CELLS];
        __builtin_prefetch(&ahead->voxel[0]);
        __builtin_prefetch(&ahead->triangle[0]);
        __builtin_prefetch(&ahead->triangle[1]);
        __builtin_prefetch(&ahead->triangle[2]);
      }
      if (i + PREFETCH_CELLS < visible_count) {
        const GRIDCELL* near = in_order[i + PREFETCH_CELLS];
        __builtin_prefetch(near->voxel[0]);
        __builtin_prefetch(near->triangle[0].vertex[0]);
        __builtin_prefetch(near->triangle[0].vertex[2]);
        __builtin_prefetch(near->triangle[1].vertex[0]);
        __builtin_prefetch(near->triangle[1].vertex[2]);
        __builtin_prefetch(near->triangle[2].vertex[2]);
      }
      render_gridcell(in_order[i]);
    }
  } else {
    walk_visible_octtree(o, [](GRIDCELL* gc, void*) { render_gridcell(gc); }, nullptr);
  }
  flush_batch();
}

void render_gridcell(GRIDCELL* gc) {
  find_reaching_lights(gc->voxel[0]->p);
  for (int t = 0; t < gc->triangles; t++) {
    const POLYGON& tri = gc->triangle[t];
    if (culled(tri)) continue;
    if (batched + 3 > BATCH_VERTICES) flush_batch();
    for (VERTEX* v : tri.vertex) {
      LIT_VERTEX& out = batch[batched++];
      out.s = v->u;
      out.t = v->w;
      light_corner(out.color, &v->p);
      out.x = v->p.x;
      out.y = v->p.y;
      out.z = v->p.z;
    }
  }
}

}  // namespace vurkhold
