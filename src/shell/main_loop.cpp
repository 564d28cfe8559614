// main loop: start, the one frame loop through the installed logic and render functions,
// and the end.
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>

#include "match/match.h"
#include "menu/menu.h"
#include "net/net.h"
#include "render/render.h"
#include "shell/shell.h"
#include "terrain/terrain.h"

namespace vurkhold {

long frame_limit = 0;
long frames_drawn = 0;
const INPUT_SCRIPT* input_script = nullptr;
char end_screenshot[1024];

namespace {

const char* const TITLE = GAME_VERSION;

int end_screenshot_saved = 0;
int end_screenshot_failed = 0;

void save_end_screenshot() {
  char error[1200];
  if (!save_screenshot(end_screenshot, error, sizeof error)) {
    std::fprintf(stderr, "vurkhold: %s\n", error);
    end_screenshot_failed = 1;
  }
  end_screenshot_saved = 1;
}

// The screenshot file is named from where the player stands, before the game moves into
// its data folder.
bool make_absolute(const char* path, char* out, size_t size) {
  std::error_code error;
  const std::string full = std::filesystem::absolute(path, error).string();
  if (error || full.size() >= size) return false;
  std::snprintf(out, size, "%s", full.c_str());
  return true;
}

}  // namespace

void save_numbered_screenshot(char* saved, int size) {
  saved[0] = '\0';
  char dir[900];
  std::error_code error;
  if (!platform::user_data_dir(dir, sizeof dir - 16)) {
    std::fprintf(stderr, "vurkhold: no folder of your own to save screenshots in\n");
    return;
  }
  std::snprintf(dir + std::strlen(dir), 16, "screenshots");
  std::filesystem::create_directories(dir, error);
  if (error) {
    std::fprintf(stderr, "vurkhold: can't make the folder '%s': %s\n", dir, error.message().c_str());
    return;
  }
  char path[1024];
  for (int n = 1; n <= 9999; n++) {
    std::snprintf(path, sizeof path, "%s/vurkhold-%04d.png", dir, n);
    // Anything already under the name counts, a dangling symlink too: it is never followed.
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) continue;
    char reason[1200];
    if (!save_screenshot(path, reason, sizeof reason)) {
      std::fprintf(stderr, "vurkhold: %s\n", reason);
      return;
    }
    std::fprintf(stderr, "vurkhold: screenshot saved to %s\n", path);
    std::snprintf(saved, size, "%s", path);
    return;
  }
  std::fprintf(stderr, "vurkhold: '%s' already holds 9999 screenshots\n", dir);
}

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
  // A match ends when it hands the loop back to the menu: its replay is complete.
  if (recording() && logic_func != game_logic && logic_func != net_match_frame) end_recording(true);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  render_func();
  hear_from_views();
  platform::set_volumes(MASTER_VOLUME, EFFECTS_VOLUME);
  frames_drawn++;
  if (frame_limit > 0 && frames_drawn >= frame_limit) done = 1;
  // Both are read from the back buffer before the swap leaves it undefined.
  if (keys[VK_F12]) {
    keys[VK_F12] = 0;
    char saved[1024];
    save_numbered_screenshot(saved, sizeof saved);
  }
  if (done && end_screenshot[0]) save_end_screenshot();
  glFlush();
  platform::swap_buffers();
  if (input_script) play_input_script(input_script, frames_drawn + 1);
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
  char replay[REPLAY_PATH_SIZE];
  if (options.replay && absolute_path(options.replay, replay, sizeof replay)) options.replay = replay;
  // --play-input's replay too, its players kept after it.
  char play_input[REPLAY_PATH_SIZE + 16];
  if (options.play_input) {
    const char* colon = std::strrchr(options.play_input, ':');
    char path[REPLAY_PATH_SIZE];
    std::snprintf(path, sizeof path, "%.*s", colon ? static_cast<int>(colon - options.play_input) : 0,
                  options.play_input);
    char full[REPLAY_PATH_SIZE];
    if (colon && absolute_path(path, full, sizeof full)) {
      std::snprintf(play_input, sizeof play_input, "%s%s", full, colon);
      options.play_input = play_input;
    }
  }
  record_replays = !options.no_record;
  static INPUT_SCRIPT script;
  if (options.input && !read_input_script(options.input, &script, error, sizeof error)) {
    std::fprintf(stderr, "vurkhold: %s\n", error);
    return 2;
  }
  end_screenshot[0] = '\0';
  if (options.screenshot && !make_absolute(options.screenshot, end_screenshot, sizeof end_screenshot)) {
    std::fprintf(stderr, "vurkhold: the screenshot path '%s' is too long\n", options.screenshot);
    return 2;
  }
  char where[3 * platform::MAX_PATH_LENGTH * 4];
  if (!platform::enter_data_dir(options.data_dir, where, sizeof where)) {
    std::fprintf(stderr, "vurkhold: %s\n", where);
    return 1;
  }
  const unsigned seed = options.seed_given ? options.seed : static_cast<unsigned>(std::time(nullptr));
  game_srand(seed);
  run_seed = seed;
  if (options.headless) return options.host || options.join ? run_online_headless(&options, seed) : run_headless(&options, seed);

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
  // The saved choices, then the command line's over them: an override becomes the menu's
  // choice and is kept like one.
  char start_level[LEVEL_PATH_SIZE];
  std::snprintf(start_level, sizeof start_level, "%s", level_to_use);
  begin_settings(&options);
  apply_match_options(&options);
  // A level that can't be read would fail only at START GAME; the start stops here instead,
  // with the level reader's message. A saved level that no longer reads gives way to the
  // one the game starts with: saved choices never stop the game from starting.
  bool level_read = load_level_file(level_to_use);
  if (!level_read && !options.level && std::strcmp(level_to_use, start_level) != 0) {
    std::fprintf(stderr, "settings: the saved level %s can't be read; playing %s\n", level_to_use, start_level);
    std::snprintf(level_to_use, sizeof level_to_use, "%s", start_level);
    level_read = load_level_file(level_to_use);
  }
  if (!level_read) {
    clean_up();
    KillGLWindow();
    return 1;
  }
  fixed_frame_ms = options.frame_ms;
  set_match_tick(options.tick);
  // The game opens on the menu, which starts each match through these.
  menu_pair = {menu_logic, menu_render};
  one_player_pair = {game_logic, one_player_view};
  two_player_pair = {game_logic, two_player_view};
  match_init = start_match_keeping_settings;
  replay_init = menu_replay_init;
  network_page = network_page_logic;
  install_mode(&menu_pair);
  if (!start_online_window(&options)) {
    clean_up();
    KillGLWindow();
    return 1;
  }
  if (options.replay) {
    char message[REPLAY_MESSAGE_SIZE];
    if (!start_replay_view(options.replay, false, message, sizeof message)) {
      report_error(message);
      clean_up();
      KillGLWindow();
      return 1;
    }
  }
  // With --play-input, --frames counts the online match's ticks, not the frames drawn.
  frame_limit = options.play_input ? 0 : options.frames;
  frames_drawn = 0;
  input_script = options.input ? &script : nullptr;
  end_screenshot_saved = 0;
  end_screenshot_failed = 0;
  if (input_script) play_input_script(input_script, 1);

  uint32_t last = platform::ticks();
  while (!done) main_loop_pass(&last);
  // Closing the window ends the loop between frames, and after the swap the front buffer
  // may hold anything: the last frame is drawn again, without a logic step, and read back.
  if (end_screenshot[0] && !end_screenshot_saved) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    render_func();
    save_end_screenshot();
  }

  end_recording(true);
  close_replay();
  net_close();
  keep_settings();
  clean_up();
  KillGLWindow();
  return end_screenshot_failed ? 1 : online_window_status();
}

}  // namespace vurkhold
