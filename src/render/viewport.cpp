// screen viewports and projections: every viewport of the game is a rectangle of the
// 640 x 480 screen, placed on the window's drawable by the platform's mapping.
#include <GL/gl.h>
#include <GL/glu.h>

#include "render/render.h"

namespace vurkhold {

namespace {

int drawable_w = platform::SCREEN_WIDTH;
int drawable_h = platform::SCREEN_HEIGHT;

}  // namespace

void set_drawable_size(int width, int height) {
  drawable_w = width > 0 ? width : 1;
  drawable_h = height > 0 ? height : 1;
}

void give_drawable_size(int* width, int* height) {
  *width = drawable_w;
  *height = drawable_h;
}

void screen_viewport(int x, int y, int width, int height) {
  int v[4];
  platform::give_screen_viewport(drawable_w, drawable_h, x, y, width, height, v);
  glViewport(v[0], v[1], v[2], v[3]);
}

void set_perspective(float fov, float aspect) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fov, aspect, 0.1, VISIBILITY);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void set_screen_projection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0.0, platform::SCREEN_WIDTH, 0.0, platform::SCREEN_HEIGHT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  screen_viewport(0, 0, platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT);
}

}  // namespace vurkhold
