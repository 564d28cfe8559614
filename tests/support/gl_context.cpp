// GL test support: a window and context shared by every GL test of the program.
#include "support/gl_context.h"

#include <cstdlib>

#include "shell/shell.h"

namespace vurkhold::test {

bool ensure_gl_context() {
  static const bool ok = [] {
    if (platform::open_window("Vurkhold tests", platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT, false, false) !=
        platform::WindowResult::ok)
      return false;
    initGL();
    ReSizeGLScene(platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT);
    std::atexit([] { platform::close_window(); });
    return true;
  }();
  return ok;
}

}  // namespace vurkhold::test
