// window and GL context: creating and tearing down the window, the GL state that holds for
// the whole run, resizing, and the window procedure.
#include <GL/gl.h>
#include <GL/glu.h>

#include "render/render.h"
#include "shell/shell.h"

namespace vurkhold {

namespace {

// The terrain is drawn straight from its vertex pool for the whole run.
void point_gl_vertex_arrays() {
  const GLsizei stride = sizeof(VERTEX);
  glVertexPointer(3, GL_FLOAT, stride, &vertex[0].p);
  glTexCoordPointer(2, GL_FLOAT, stride, &vertex[0].u);
  glColorPointer(3, GL_FLOAT, stride, &vertex[0].color);
}

}  // namespace

int CreateGLWindow(const char* title, int width, int height, int bits, int fullscreenflag, int vsync) {
  (void)bits;  // the context takes the desktop's colour depth
  fullscreen = fullscreenflag;
  platform::WindowResult result = platform::open_window(title, width, height, fullscreen != 0, vsync != 0);
  if (result == platform::WindowResult::no_fullscreen) {
    if (!platform::ask_yes_no("Pako GL",
                              "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed "
                              "Mode Instead?",
                              true)) {
      platform::show_message("ERROR", "Program Will Now Close.", platform::Icon::stop);
      return 0;
    }
    fullscreen = 0;
    result = platform::open_window(title, width, height, false, vsync != 0);
  }
  const char* failure = nullptr;
  switch (result) {
    case platform::WindowResult::ok: break;
    case platform::WindowResult::no_context: failure = "Can't Create A GL Rendering Context."; break;
    case platform::WindowResult::no_current: failure = "Can't Activate The GL Rendering Context."; break;
    default: failure = "Window Creation Error."; break;
  }
  if (failure) {
    KillGLWindow();
    std::fprintf(stderr, "(%s)\n", platform::error_text());
    report_error(failure, platform::Icon::exclamation);
    return 0;
  }
  int w = 0, h = 0;
  platform::drawable_size(&w, &h);
  ReSizeGLScene(w, h);
  return initGL();
}

void KillGLWindow() {
  remove_texture_objects();
  point_vertex_arrays = nullptr;
  if (!platform::close_window())
    platform::show_message("SHUTDOWN ERROR", "Release Of DC And RC Failed.", platform::Icon::information);
}

// The game always sees a 640 x 480 screen with a 4 : 3 projection; the drawable's real
// size only decides where that screen lands (screen_viewport).
void ReSizeGLScene(int width, int height) {
  set_drawable_size(width, height);
  screen_viewport(0, 0, platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, 1.3333333, 0.1, VISIBILITY);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  platform::window_rect(&rect.left, &rect.top, &rect.right, &rect.bottom);
  centerX = static_cast<int>((rect.right - rect.left) / 2.0 + rect.left);
  centerY = static_cast<int>((rect.bottom - rect.top) / 2.0 + rect.top);
}

int initGL() {
  glShadeModel(GL_SMOOTH);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glAlphaFunc(GL_GREATER, 0.9f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDepthFunc(GL_LEQUAL);
  const GLfloat fog_color[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogfv(GL_FOG_COLOR, fog_color);
  glHint(GL_FOG_HINT, GL_DONT_CARE);
  glFogf(GL_FOG_START, 0.0f);
  glFogf(GL_FOG_END, 26.4f);
  glEnable(GL_FOG);
  glEnableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  // From here on the loaded textures become texture objects of this context.
  install_texture_objects();
  point_vertex_arrays = point_gl_vertex_arrays;
  return 1;
}

void WndProc(const platform::Event& event) {
  switch (event.type) {
    case platform::EventType::key_down:
    case platform::EventType::key_up: handle_key_event(event); break;
    case platform::EventType::resize: ReSizeGLScene(event.code, event.height); break;
    case platform::EventType::quit: done = 1; break;
    case platform::EventType::toggle_fullscreen:
      if (platform::set_fullscreen(fullscreen == 0)) fullscreen = !fullscreen;
      else std::fprintf(stderr, "vurkhold: %s\n", platform::error_text());
      break;
    default: handle_pad_event(event); break;
  }
}

}  // namespace vurkhold
