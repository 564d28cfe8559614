// octree: keeps each node's empty flag of the fixed five-level tree (bound by bind_world)
// in step with the triangles of the cells below it, and walks the visible cells.
#include "geometry/geometry.h"
#include "terrain/terrain.h"

namespace vurkhold {

void set_false_flag(OCTREE* o) {
  while (o && o->empty) {
    o->empty = 0;
    o = o->parent;
  }
}

void set_true_flag(OCTREE* o) {
  // The climb always reaches the root. A node that is already empty can only be set
  // empty again, so its children need not be looked at.
  for (; o; o = o->parent) {
    if (o->empty) continue;
    int all_empty = 1;
    for (int k = 0; k < 8; k++)
      if (!static_cast<const OCTREE*>(o->child[k])->empty) {
        all_empty = 0;
        break;
      }
    if (all_empty) o->empty = 1;
  }
}

void set_octtree_empty_flag(GRIDCELL* gc, int flag) {
  OCTREE* leaf = gc->octtree;
  if (flag == 0) {
    set_false_flag(leaf);
    return;
  }
  // A non-empty node always has a non-empty child, so a leaf that is already empty has
  // nothing above it to clear: checking its cells and climbing would change no flag.
  if (leaf->empty) return;
  for (int k = 0; k < 8; k++)
    if (static_cast<const GRIDCELL*>(leaf->child[k])->triangles) return;
  leaf->empty = 1;
  set_true_flag(leaf->parent);
}

void reset_octtree_flags() {
  for (int i = 0; i < OCTREE_NODES; i++) octtree[i].empty = 1;
}

// The cube tested is centred on the node's minimum corner and reaches its whole size to
// every side, so it holds the node with a margin. Children test themselves for emptiness.
void walk_visible_octtree(OCTREE* o, void (*visit)(GRIDCELL* gc, void* context), void* context) {
  if (o->empty) return;
  if (is_cube_in_frustum(o->p->p.x, o->p->p.y, o->p->p.z, static_cast<float>(o->size)) == 0) return;
  for (void* child : o->child) {
    if (o->size == 2)
      visit(static_cast<GRIDCELL*>(child), context);
    else
      walk_visible_octtree(static_cast<OCTREE*>(child), visit, context);
  }
}

}  // namespace vurkhold
