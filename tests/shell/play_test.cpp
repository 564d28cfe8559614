// the whole game end to end: the real executable under the test display, driven by an input
// script and judged from its PNG screenshots by region; and how it starts and ends.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "support/run_game.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

const std::vector<std::string> quiet = {"SDL_AUDIODRIVER=dummy", "VURKHOLD_NO_DIALOGS=1"};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows top down, as the file holds them
};

bool read_picture(const std::string& path, Picture* picture) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  png.format = PNG_FORMAT_RGB;
  picture->width = static_cast<int>(png.width);
  picture->height = static_cast<int>(png.height);
  picture->rgb.resize(PNG_IMAGE_SIZE(png));
  return png_image_finish_read(&png, nullptr, picture->rgb.data(), 0, nullptr) != 0;
}

bool is_lit(int r, int g, int b) { return r + g + b > 45; }
bool is_red(int r, int g, int b) { return r > 150 && g < 90 && b < 90; }

// The share (0..1) of the pixels for which `test` holds in x0 <= x < x1, y0 <= y < y1 of
// the game's 640 x 480 screen (origin bottom left), scaled to the picture's size.
double share(const Picture& picture, int x0, int y0, int x1, int y1, bool (*test)(int r, int g, int b)) {
  const double sx = picture.width / 640.0, sy = picture.height / 480.0;
  long hits = 0, all = 0;
  for (int row = static_cast<int>(y0 * sy); row < static_cast<int>(y1 * sy) && row < picture.height; row++)
    for (int col = static_cast<int>(x0 * sx); col < static_cast<int>(x1 * sx) && col < picture.width; col++) {
      const uint8_t* p = &picture.rgb[(static_cast<size_t>(picture.height - 1 - row) * picture.width + col) * 3];
      all++;
      hits += test(p[0], p[1], p[2]) ? 1 : 0;
    }
  return all ? static_cast<double>(hits) / all : 0.0;
}

// The menu (saved by F12, into the temporary folder's "vurkhold/screenshots/"), START GAME
// and down to OK on the set-up page, into a match: a lit cave, the red life bar under it on
// the left and the radar in the bottom right (saved again); Escape back to the menu, down to
// EXIT and out with 0 long before the frame limit, having said nothing but where the
// screenshots went. The --screenshot of the last frame shows the menu again.
TEST(Play, FromTheMenuThroughAMatchAndBackToExit) {
  test::TempDir dir;
  std::string script = "3 press F12\n5 press Return\n";
  for (int i = 1; i <= 8; i++) script += std::to_string(5 + 2 * i) + " press Down\n";
  script += "25 press Return\n32 press F12\n40 press Escape\n";
  for (int i = 1; i <= 4; i++) script += std::to_string(40 + 2 * i) + " press Down\n";
  test::write_file(dir.file("script.txt"), script + "52 press Return\n");
  std::vector<std::string> env = quiet;
  env.push_back("XDG_DATA_HOME=" + dir.path());
  const test::GameRun run = test::run_game({"--windowed", "--no-sound", "--no-vsync", "--seed", "5", "--frame-ms",
                                            "16", "--frames", "100000", "--input", dir.file("script.txt"),
                                            "--screenshot", dir.file("end.png"), "--data", VURK_GAME_DIR},
                                           env, 300);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
  Picture menu, match, end;
  const std::string shots = dir.path() + "/vurkhold/screenshots/vurkhold-000";
  ASSERT_TRUE(read_picture(shots + "1.png", &menu) && read_picture(shots + "2.png", &match) &&
              read_picture(dir.file("end.png"), &end))
      << run.err;
  for (const Picture* m : {&menu, &end})
    EXPECT_GT(share(*m, 170, 390, 470, 460, is_lit), 0.3) << "title";
  EXPECT_GT(share(menu, 160, 285, 185, 315, is_red), 0.05) << "cursor on START GAME";
  EXPECT_GT(share(match, 0, 160, 640, 480, is_lit), 0.3) << "cave";
  EXPECT_GT(share(match, 12, 28, 250, 37, is_red), 0.5) << "life bar";
  EXPECT_GT(share(match, 460, 10, 620, 140, is_lit), 0.05) << "radar";
  EXPECT_GT(share(end, 190, 145, 290, 175, is_lit), 0.1) << "EXIT";
  EXPECT_GT(share(end, 160, 145, 185, 175, is_red), 0.05) << "cursor on EXIT";
  EXPECT_LT(share(end, 160, 285, 185, 315, is_red), 0.01) << "no cursor on START GAME";
}

// Without a working sound device the start stops with the sound message, and --no-sound
// starts silent all the same; closing the window (SDL turns SIGTERM into the same quit
// event) ends the game with 0.
TEST(Play, StartsWithoutASoundDeviceOnlySilentAndEndsWhenClosed) {
  const std::vector<std::string> no_device = {"SDL_AUDIODRIVER=no-such-driver", "VURKHOLD_NO_DIALOGS=1"};
  test::GameRun run = test::run_game({"--windowed", "--frames", "5", "--data", VURK_GAME_DIR}, no_device, 120);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "ERROR: Can't initalize sound card.\n");
  run = test::run_game({"--windowed", "--no-sound", "--frames", "5", "--data", VURK_GAME_DIR}, no_device, 120);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  run = test::run_game({"--windowed", "--data", VURK_GAME_DIR}, quiet, 120, true);
  EXPECT_EQ(run.exit_code, 0) << run.err;
}

}  // namespace
}  // namespace vurkhold
