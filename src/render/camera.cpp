// camera: a view's eye and angles loaded into GL's model-view matrix, and the frustum
// planes of whatever projection and camera GL holds now.
#include <GL/gl.h>

#include "geometry/geometry.h"
#include "render/render.h"

namespace vurkhold {

void set_camera(CAMERA* c) {
  glLoadIdentity();
  glRotatef(-c->pitch, 1.0f, 0.0f, 0.0f);
  glRotatef(-c->heading, 0.0f, 1.0f, 0.0f);
  glTranslatef(-c->p.x, -c->p.y, -c->p.z);
}

void extract_frustum() {
  float proj[16];
  float modl[16];
  glGetFloatv(GL_PROJECTION_MATRIX, proj);
  glGetFloatv(GL_MODELVIEW_MATRIX, modl);
  give_frustum(proj, modl);
}

}  // namespace vurkhold
