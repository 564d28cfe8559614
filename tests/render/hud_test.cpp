// HUD and views: the bars of the status overlay taken from GL feedback, and the layout of
// the one- and two-player screens read back from a real match.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "render/render.h"
#include "support/gl_context.h"
#include "support/match_view.h"

namespace vurkhold {
namespace {

struct BARS {
  float life = -1;    // right end of the red life bar, -1 when none is drawn
  float weapon = -1;  // right end of the red weapon bar
};

// render_overlays at (10, 40), 250 wide and 30 high, caught by GL feedback in screen
// coordinates: the red polygons above y = 25 are the life bar, those below the weapon bar.
BARS overlay_bars(VURK_* m) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0, 640, 0, 480);
  glMatrixMode(GL_MODELVIEW);
  screen_viewport(0, 0, 640, 480);
  std::vector<GLfloat> buffer(20000);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
  glRenderMode(GL_FEEDBACK);
  render_overlays(m, 10, 40, 250, 30);
  const GLint n = glRenderMode(GL_RENDER);
  EXPECT_GT(n, 0);
  BARS bars;
  // Tokens: a polygon is followed by its corner count, points and lines by their corners;
  // each corner is x y z r g b a.
  for (GLint i = 0; i < n;) {
    const GLfloat token = buffer[i++];
    int corners = 1;
    if (token == GL_POLYGON_TOKEN) corners = static_cast<int>(buffer[i++]);
    if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) corners = 2;
    if (token == GL_PASS_THROUGH_TOKEN) corners = 0, i++;
    const GLfloat* c = &buffer[i];
    i += 7 * corners;
    if (token != GL_POLYGON_TOKEN || c[3] != 1.0f || c[4] != 0.0f) continue;  // red only
    float right = 0, top = 0;
    for (int k = 0; k < corners; k++) right = std::max(right, c[7 * k]), top = std::max(top, c[7 * k + 1]);
    float& end = top > 25 ? bars.life : bars.weapon;
    end = std::max(end, right);
  }
  return bars;
}

TEST(Overlays, BarsFollowLifeRespawnAmmoAndLoadingAsRealShares) {
  ASSERT_TRUE(test::ensure_gl_context());
  char name[] = "TESTGUN";
  WEAPON_TYPE gun{};
  gun.name = name;
  gun.ammo_per_clip = 8;
  gun.load_time = 1000;
  WEAPON_TYPE odd = gun;  // a broken table entry: nothing to divide by
  odd.ammo_per_clip = 0;
  odd.load_time = 0;
  const struct {
    const char* what;
    int alive;
    float life;
    int respawn_delay;
    WEAPON_TYPE* type;
    int ammo, loading;
    BARS want;
  } cases[] = {
      {"full", 1, 100, 0, &gun, 8, 0, {260, 260}},
      {"half life, 3 of 8 rounds", 1, 50, 0, &gun, 3, 0, {135, 103.75f}},
      {"a third of life", 1, 33, 0, &gun, 8, 0, {92.5f, 260}},
      {"reloading, 250 of 1000 ms left", 1, 100, 0, &gun, 0, 250, {260, 197.5f}},
      {"nothing to divide by", 1, 100, 0, &odd, 0, 0, {260, 260}},
      {"reloading, no load time", 1, 100, 0, &odd, 0, 40, {260, 260}},
      {"empty slot", 1, 100, 0, nullptr, 0, 0, {260, -1}},
      {"dead, 1000 of 3000 ms waited", 0, 0, 2000, &gun, 8, 0, {-1, -1}},
      {"dead, 2500 of 3000 ms waited", 0, 0, 500, &gun, 8, 0, {197.5f, -1}},
  };
  for (const auto& c : cases) {
    VURK_ v{};
    v.alive = c.alive;
    v.life = c.life;
    v.respawn_delay = c.respawn_delay;
    v.weapon = 2;
    v.weapons[2] = {c.type, 0, c.ammo, c.loading, 0};
    const BARS got = overlay_bars(&v);
    EXPECT_FLOAT_EQ(got.life, c.want.life) << c.what;
    EXPECT_FLOAT_EQ(got.weapon, c.want.weapon) << c.what;
  }
}

TEST(Overlays, StatusLineLeavesTheFrameRateOutWhenItIsOff) {
  ASSERT_TRUE(test::ensure_gl_context());
  VURK_ v{};
  v.alive = 0;
  v.lives = 7;
  v.frags = 12;
  FPS = 61;
  SHOW_FPS = 1;
  overlay_bars(&v);
  EXPECT_STREQ(textbuffer, "LIVES:7 FRAGS:12 FPS: 61");
  SHOW_FPS = 0;
  overlay_bars(&v);
  EXPECT_STREQ(textbuffer, "LIVES:7 FRAGS:12");
  SHOW_FPS = 1;
}

class Views : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ready_ = test::load_game_folder(); }
  static void TearDownTestSuite() { test::release_game_folder(); }
  void SetUp() override { ASSERT_TRUE(ready_); }
  static bool ready_;
};
bool Views::ready_ = false;

bool red(const unsigned char* p) { return p[0] > 200 && p[1] < 60 && p[2] < 60; }

// The scene fills the screen; the radar only changes its bottom right corner, and the
// status overlay shows the red life bar under the status line.
TEST_F(Views, OnePlayerViewScenesRadarAndBarsInTheirPlaces) {
  ASSERT_TRUE(test::start_match("levels/caverns.vhl", 11, 300));
  vurk_to_render_1->alive = 1;
  vurk_to_render_1->life = 100;
  test::clear_screen();
  one_player_view();
  const test::Screen view = test::read_screen();
  EXPECT_GT(view.lit(0, 60, 640, 480), 640 * 420 / 2);
  EXPECT_GT(view.count(10, 26, 260, 40, red), 250 * 14 / 3);

  // The same scene alone, in the same projection.
  test::clear_screen();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(FOV, 1.3333, 0.1, 24.0);
  glMatrixMode(GL_MODELVIEW);
  screen_viewport(0, 0, 640, 480);
  game_render(vurk_to_render_1);
  const test::Screen scene = test::read_screen();
  int in_radar = 0, elsewhere = 0;
  for (int y = 0; y < 480; y++)
    for (int x = 0; x < 640; x++) {
      if (std::equal(view.at(x, y), view.at(x, y) + 3, scene.at(x, y))) continue;
      const bool radar = x >= 440 && y < 150;
      const bool overlay = x < 300 && y < 45;
      in_radar += radar;
      elsewhere += !radar && !overlay;
    }
  EXPECT_GT(in_radar, 500);
  EXPECT_EQ(elsewhere, 0);
}

// Player 2 on the left, player 1 on the right of the upper 280 rows, two black columns
// between them, the radar in the lower middle and nothing under the overlays' corners.
TEST_F(Views, TwoPlayerViewSplitsTheUpperScreenAndPutsTheRadarBetweenTheOverlays) {
  ASSERT_TRUE(test::start_match("levels/test1.vhl", 13, 300));
  for (VURK_* v : {vurk_to_render_1, vurk_to_render_2}) v->alive = 1, v->life = 100;
  test::clear_screen();
  two_player_view();
  const test::Screen view = test::read_screen();
  EXPECT_GT(view.lit(0, 200, 319, 480), 319 * 280 / 2);
  EXPECT_GT(view.lit(321, 200, 640, 480), 319 * 280 / 2);
  EXPECT_EQ(view.lit(319, 200, 321, 480), 0);
  EXPECT_GT(view.lit(180, 0, 460, 155), 1000);
  EXPECT_EQ(view.lit(0, 0, 180, 155), 0);
  EXPECT_EQ(view.lit(460, 0, 640, 155), 0);
  EXPECT_GT(view.count(10, 176, 260, 190, red), 0);
  EXPECT_GT(view.count(380, 176, 630, 190, red), 0);
}

}  // namespace
}  // namespace vurkhold
