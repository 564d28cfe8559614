// model drawing: each mesh goes to GL straight from its interleaved vertex records as one
// indexed draw; the caller has bound the texture and set the colour and transform.
#include <GL/gl.h>

#include "render/render.h"

namespace vurkhold {

void draw_mesh(MESH* m) {
  const GLsizei stride = sizeof(VERTEX);
  glVertexPointer(3, GL_FLOAT, stride, &m->vertex[0].p);
  glTexCoordPointer(2, GL_FLOAT, stride, &m->vertex[0].u);
  glColorPointer(3, GL_FLOAT, stride, &m->vertex[0].color);
  glDrawElements(GL_TRIANGLES, m->number_of_indicates, GL_UNSIGNED_SHORT, m->index);
}

void draw_model(MODEL* m) {
  for (int i = 0; i < m->number_of_meshes; i++) draw_mesh(&m->mesh[i]);
}

}  // namespace vurkhold
