// GL test support: a window and context shared by every GL test of the program.
#include "support/gl_context.h"

#include <cstdlib>

#include "shell/shell.h"

namespace vurkhold::test {

bool ensure_gl_context() {
  static bool tried = false;
  static bool ok = false;
  if (!tried) {
    tried = true;
    ok = platform::open_window("Vurkhold tests", platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT, false, false) ==
         platform::WindowResult::ok;
    if (ok) {
      initGL();
      ReSizeGLScene(platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT);
      std::atexit([] { platform::close_window(); });
    }
  }
  return ok;
}

}  // namespace vurkhold::test
