// terrain drawing: the triangles of the visible cells, each corner lit by the lights
// around it, inside the caller's GL_TRIANGLES.
#include <GL/gl.h>

#include "render/render.h"
#include "terrain/terrain.h"

namespace vurkhold {

namespace {

void draw_visible_cell(GRIDCELL* gc, void*) { render_gridcell(gc); }

}  // namespace

void render_octtree(OCTREE* o) { walk_visible_octtree(o, draw_visible_cell, nullptr); }

void render_gridcell(GRIDCELL* gc) {
  for (int t = 0; t < gc->triangles; t++)
    for (VERTEX* v : gc->triangle[t].vertex) {
      glTexCoord2f(v->u, v->w);
      give_light(v->color, &v->p);
      glColor3fv(v->color);
      glVertex3f(v->p.x, v->p.y, v->p.z);
    }
}

}  // namespace vurkhold
