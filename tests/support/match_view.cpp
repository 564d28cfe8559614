// GL test support: the game folder loaded under the test program's GL context.
#include "support/match_view.h"

#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "match/match.h"
#include "shell/shell.h"
#include "support/gl_context.h"

namespace vurkhold::test {

namespace {
std::string saved_dir;
}

bool load_game_folder() {
  if (!ensure_gl_context()) return false;
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd) || chdir(VURK_GAME_DIR) != 0) return false;
  saved_dir = cwd;
  no_sound = 1;
  return initialize() == 1;
}

void release_game_folder() {
  clean_up();
  no_sound = 0;
  if (!saved_dir.empty() && chdir(saved_dir.c_str()) != 0) std::perror("chdir");
}

bool start_match(const char* level, unsigned seed, int frames) {
  std::snprintf(level_to_use, sizeof level_to_use, "%s", level);
  game_srand(seed);
  for (VURK_& v : vurk) v.type = MLT_COMPUTER;
  if (!game_init()) return false;
  for (int i = 0; i < frames; i++) game_logic(16);
  return true;
}

Screen read_screen() {
  Screen s;
  s.rgb.resize(640 * 480 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, s.rgb.data());
  return s;
}

void clear_screen() {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

}  // namespace vurkhold::test
