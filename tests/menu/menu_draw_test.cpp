// menu drawing, read back from the frame: the title, the cursor and the text where the
// pages put them, the help page's last line not repeated, and the same frame whatever
// state the game left.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <vector>

#include "menu/menu.h"
#include "shell/shell.h"
#include "support/gl_context.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

using Frame = std::vector<unsigned char>;
using PixelTest = std::function<bool(const unsigned char*)>;

const PixelTest is_red = [](const unsigned char* p) { return p[0] > 180 && p[1] < 80 && p[2] < 80; };
const PixelTest is_white = [](const unsigned char* p) { return p[0] > 220 && p[1] > 220 && p[2] > 220; };
const PixelTest is_warm = [](const unsigned char* p) { return p[0] > 90 && p[0] > p[2] + 8; };

Frame draw_menu(int page, int selection) {
  menu_page = page;
  menu_selection = selection;
  menu_rotate = 0.0f;
  menu_frame = 1.0f;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  menu_render();
  Frame rgb(640 * 480 * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

// Pixels of the screen rectangle x0..x1 x y0..y1 (origin bottom left) that pass the test.
int count(const Frame& f, int x0, int x1, int y0, int y1, const PixelTest& test) {
  int n = 0;
  for (int y = y0; y < y1; y++)
    for (int x = x0; x < x1; x++) n += test(&f[(y * 640 + x) * 3]);
  return n;
}

class MenuDraw : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(test::ensure_gl_context());
    suite_cwd_ = new test::KeepWorkingDir;
    ASSERT_EQ(chdir(VURK_GAME_DIR), 0);
    no_sound = 1;
    ASSERT_EQ(initialize(), 1);
  }
  static void TearDownTestSuite() {
    clean_up();
    no_sound = 0;
    menu_page = menu_selection = 0;
    delete suite_cwd_;
  }
  static inline test::KeepWorkingDir* suite_cwd_ = nullptr;
  test::KeepWorkingDir cwd_;
};

// The page-0 cursor (glyph top at 315 - 35 x line) is red beside its line only, and the
// line's text starts at x 190.
TEST_F(MenuDraw, TitleCursorAndTextWhereThePagesPutThem) {
  const Frame f = draw_menu(0, 2);
  // The title's letters are warm, the background grey or cold: letters across the
  // whole title quad and none beside it.
  for (int x0 : {170, 320}) EXPECT_GT(count(f, x0, x0 + 150, 390, 460, is_warm), 1500) << x0;
  for (int x0 : {0, 480}) EXPECT_EQ(count(f, x0, x0 + 160, 390, 480, is_warm), 0) << x0;
  for (int y0 : {330, 462}) EXPECT_EQ(count(f, 0, 640, y0, y0 + 18, is_warm), 0) << y0;
  EXPECT_GT(count(f, 160, 190, 215, 245, is_red), 40);
  for (int line : {0, 3, 4}) EXPECT_EQ(count(f, 150, 200, 285 - 35 * line, 315 - 35 * line, is_red), 0) << line;
  EXPECT_GT(count(f, 190, 320, 215, 245, is_white), 100);  // "OPTIONS"
  EXPECT_EQ(count(f, 100, 158, 150, 330, is_white), 0);
}

// Two help lines: nothing white below the second one, as there would be were the last
// line drawn again for every line up to 200.
TEST_F(MenuDraw, HelpPageDrawsOnlyTheLinesThereAre) {
  test::TempDir dir;
  test::write_file(dir.file("readme.txt"), "WWWW\nMMMM\n");
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  ASSERT_EQ(load_readme(), 1);
  const Frame f = draw_menu(3, 0);
  free_textlines();
  EXPECT_GT(count(f, 10, 60, 340, 370, is_white), 50);
  EXPECT_LT(count(f, 10, 60, 180, 330, is_white), 10);  // the background has a few
}

// The state a match leaves (depth test off, culling and fog on) changes nothing, and the
// menu leaves start-up's state behind: texturing, depth test and fog on, the rest off.
TEST_F(MenuDraw, SameFrameWhateverStateTheGameLeft) {
  // A slot without a type or with a number beyond the loaded types still draws.
  const WEAPON saved = vurk[0].weapons[0], saved2 = vurk[0].weapons[1];
  vurk[0].weapons[0] = {nullptr, 0, 0, 0, 0};
  vurk[0].weapons[1] = {nullptr, 99, 0, 0, 0};
  for (int page = 0; page <= 2; page++) {
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    const Frame clean = draw_menu(page, 1);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_FOG);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    const Frame after_game = draw_menu(page, 1);
    EXPECT_TRUE(clean == after_game) << "page " << page;
    const struct { GLenum cap; GLboolean on; } state[] = {
        {GL_TEXTURE_2D, GL_TRUE}, {GL_DEPTH_TEST, GL_TRUE}, {GL_FOG, GL_TRUE},
        {GL_BLEND, GL_FALSE},     {GL_ALPHA_TEST, GL_FALSE}, {GL_CULL_FACE, GL_FALSE},
    };
    for (const auto& s : state) EXPECT_EQ(glIsEnabled(s.cap), s.on) << std::hex << s.cap;
  }
  vurk[0].weapons[0] = saved;
  vurk[0].weapons[1] = saved2;
}

}  // namespace
}  // namespace vurkhold
