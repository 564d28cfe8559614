// main loop: start, the one frame loop through the installed logic and render functions,
// and the end.
#include <GL/gl.h>

#include <cstdio>
#include <ctime>

#include "shell/shell.h"

namespace vurkhold {

unsigned fixed_frame_ms = 0;

namespace {

const char* const TITLE = "Vurkhold beta 2.0";

// The pair that stands in for the menu until the menu exists: Escape ends the program.
void idle_logic(unsigned ms) {
  (void)ms;
  if (keys[VK_ESCAPE]) done = 1;
}

void idle_render() {}

}  // namespace

int main_loop_pass(uint32_t* last) {
  platform::Event event;
  if (platform::poll_event(&event)) {
    WndProc(event);
    return 0;
  }
  unsigned ms = give_frame_time(platform::ticks(), last);
  if (ms == 0) return 0;
  if (fixed_frame_ms) ms = fixed_frame_ms;
  logic_func(ms);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  render_func();
  glFlush();
  platform::swap_buffers();
  return 1;
}

int vurkhold_main(int argc, char** argv) {
  OPTIONS options;
  char error[160];
  if (!parse_options(argc, argv, &options, error, sizeof error)) {
    std::fprintf(stderr, "vurkhold: %s\nTry 'vurkhold --help'.\n", error);
    return 2;
  }
  if (options.help) {
    std::fputs(usage_text, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("%s\n", TITLE);
    return 0;
  }
  // A level named on the command line is found from where the player stands, unless it
  // is a path inside the data folder.
  char level[LEVEL_PATH_SIZE];
  if (options.level && absolute_path(options.level, level, sizeof level)) options.level = level;
  if (!platform::enter_data_dir(options.data_dir)) {
    std::fprintf(stderr, "vurkhold: can't enter the data folder '%s'\n",
                 options.data_dir ? options.data_dir : "(the program's folder)");
    return 1;
  }
  const unsigned seed = options.seed_given ? options.seed : static_cast<unsigned>(std::time(nullptr));
  game_srand(seed);
  if (options.headless) return run_headless(&options, seed);

  fullscreen = 1;
  if (options.fullscreen >= 0) {
    fullscreen = options.fullscreen;
  } else if (!platform::ask_yes_no("Fullscreen?", "Start FullScreen?", false)) {
    fullscreen = 0;
  }
  // A start that fails exits with 1: the message box has told the user why.
  if (!CreateGLWindow(TITLE, platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT, 32, fullscreen, options.vsync))
    return 1;
  no_sound = options.no_sound;
  if (!initialize()) {
    clean_up();
    KillGLWindow();
    return 1;
  }
  apply_match_options(&options);
  game_init();
  fixed_frame_ms = options.frame_ms;
  menu_pair = {idle_logic, idle_render};
  install_mode(&menu_pair);

  uint32_t last = platform::ticks();
  long frames_drawn = 0;
  while (!done)
    if (main_loop_pass(&last) && options.frames > 0 && ++frames_drawn >= options.frames) done = 1;

  clean_up();
  KillGLWindow();
  return 0;
}

}  // namespace vurkhold
