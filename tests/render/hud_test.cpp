// HUD and views: glPrint's glyphs and the bars of the status overlay from GL feedback, and
// on the known stage, which vurk each view shows, whose status lies under it, the radar's
// living vurks and the score table.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "render/render.h"
#include "support/arena.h"
#include "support/match_view.h"

namespace vurkhold {
namespace {

using test::Line;

// Each glyph its cell of the font grid, 0.8 of its size after the last; a line break goes
// down; an empty or missing text draws nothing.
TEST(GlPrint, GlyphsAdvanceFourFifthsAndBreakLines) {
  ASSERT_TRUE(test::ensure_gl_context());
  set_screen_projection();
  glColor3f(1, 1, 0);
  const std::vector<Line> want = {{"A_ Z", 100, 200, 10, 0xFFFF00}, {"0", 100, 190, 10, 0xFFFF00}};
  EXPECT_EQ(test::printed([] {
              glPrint("A_ Z\n0", 100, 200, 10);
              glPrint("", 300, 300, 10);
              glPrint(nullptr, 300, 300, 10);
            }),
            want);
}

// render_overlays(m) at (10, 40), 250 wide and 30 high, from GL feedback: the right ends
// of the red life bar (polygons above y = 25) and of the weapon bar; -1 for a bar not drawn.
VURK_* shown_vurk = nullptr;
std::pair<float, float> overlay_bars(VURK_* m) {
  set_screen_projection();
  shown_vurk = m;
  std::pair<float, float> bars = {-1, -1};
  for (const test::Polygon& p : test::feedback([] { render_overlays(shown_vurk, 10, 40, 250, 30); })) {
    if (p[0].r != 1.0f || p[0].g != 0.0f || p[0].b != 0.0f) continue;
    float right = 0, top = 0;
    for (const test::Corner& c : p) right = std::max(right, c.x), top = std::max(top, c.y);
    float& end = top > 25 ? bars.first : bars.second;
    end = std::max(end, right);
  }
  return bars;
}

TEST(Overlays, BarsFollowLifeRespawnAmmoAndLoadingAsRealShares) {
  ASSERT_TRUE(test::ensure_gl_context());
  char name[] = "TESTGUN";
  WEAPON_TYPE gun{};
  gun.name = name;
  gun.ammo_per_clip = 8, gun.load_time = 1000;
  const struct { const char* what; int alive; float life; int respawn_delay; WEAPON_TYPE* type; int ammo, loading;
                 float life_end, weapon_end; } cases[] = {
      {"half life, 3 of 8 rounds", 1, 50, 0, &gun, 3, 0, 135, 103.75f},
      {"a third of life", 1, 33, 0, &gun, 8, 0, 92.5f, 260},
      {"reloading, 250 of 1000 ms left", 1, 100, 0, &gun, 0, 250, 260, 197.5f},
      {"empty slot", 1, 100, 0, nullptr, 0, 0, 260, -1},
      {"dead, 1000 of 3000 ms waited", 0, 0, 2000, &gun, 8, 0, -1, -1},
      {"dead, 2500 of 3000 ms waited", 0, 0, 500, &gun, 8, 0, 197.5f, -1},
  };
  for (const auto& c : cases) {
    VURK_ v{};
    v.alive = c.alive, v.life = c.life, v.respawn_delay = c.respawn_delay, v.weapon = 2;
    v.weapons[2] = {c.type, 0, c.ammo, c.loading, 0};
    const auto [life_end, weapon_end] = overlay_bars(&v);
    EXPECT_FLOAT_EQ(life_end, c.life_end) << c.what;
    EXPECT_FLOAT_EQ(weapon_end, c.weapon_end) << c.what;
  }
}

// The HUD's coloured lines in order, each checked to lie over four dark copies of itself,
// off towards its corners, that keep it readable over a white flash.
std::vector<Line> hud_lines(void (*view)()) {
  const std::vector<Line> all = test::printed(view);
  std::vector<Line> shown;
  for (const Line& l : all) {
    if (l.rgb == 0) continue;
    int under = 0;
    for (const Line& d : all) {
      const float dx = std::fabs(d.x - l.x), dy = std::fabs(d.y - l.y);
      under += d.rgb == 0 && d.text == l.text && std::fabs(d.size - l.size) < 0.01f && dx > 0.5f && dx < 3 &&
               dy > 0.5f && dy < 3;
    }
    EXPECT_EQ(under, 4) << l.text;
    shown.push_back(l);
  }
  return shown;
}

class Views : public test::GameFolder {
  void TearDown() override { keys[VK_TAB] = 0; }
};

// Vurk i alive at p with a weapon named `gun`, facing a particle of its own colour three
// units ahead of its eye.
void stand(int i, XYZ p, uint32_t rgb, WEAPON_TYPE* gun, int lives, int frags, float life) {
  VURK_* v = test::place_vurk(i, p);
  v->lives = lives, v->frags = frags, v->life = life;
  v->weapons[0] = {gun, 0, 1, 0, 0};
  const float r = (rgb >> 16) / 255.0f, g = (rgb >> 8 & 0xFF) / 255.0f, b = (rgb & 0xFF) / 255.0f;
  particle[i] = {{p.x, p.y + 0.25f, p.z - 3}, {}, 0, 0.5f, 1, {r, g, b, 1}, 100, 100, 0, 0};
}

// Player 1 (vurk_to_render_1) on the right, player 2 on the left of the upper 280 rows,
// each with its own bars and status under its own view, the radar between them.
TEST_F(Views, TwoPlayerHalvesShowTheirOwnVurkWithItsStatusUnderIt) {
  test::Stage stage;
  particle_texture = stage.flat(0xFFFFFFFF);
  char left_name[] = "LEFTGUN", right_name[] = "RIGHTGUN";
  WEAPON_TYPE left_gun{}, right_gun{};
  left_gun.name = left_name, right_gun.name = right_name;
  stand(2, {8, 12, 16}, 0xFF8000, &right_gun, 7, 4, 100);
  stand(1, {24, 12, 16}, 0x00FFFF, &left_gun, 5, 2, 30);
  vurk_to_render_1 = &vurk[2];
  vurk_to_render_2 = &vurk[1];
  SHOW_FPS = 1, FPS = 61;
  test::clear_screen();
  two_player_view();
  const test::Screen s = test::read_screen();
  EXPECT_GT(s.pixels(321, 200, 640, 480, 0xFF8000), 1000);
  EXPECT_EQ(s.pixels(0, 200, 321, 480, 0xFF8000), 0);
  EXPECT_GT(s.pixels(0, 200, 319, 480, 0x00FFFF), 1000);
  EXPECT_EQ(s.pixels(319, 200, 640, 480, 0x00FFFF), 0);
  // Radar lines in both teams' colours, bottom centre only.
  EXPECT_GT(s.pixels(180, 0, 460, 200, 0x00FF00) + s.pixels(180, 0, 460, 200, 0x0000FF), 100);
  EXPECT_EQ(s.pixels(0, 0, 180, 200, 0x00FF00) + s.pixels(460, 0, 640, 200, 0x0000FF), 0);

  // A status line too long for its bar shrinks to its width: 23 glyphs of 13.44 span 250.
  const std::vector<Line> status = {{"LEFTGUN", 10, 175, 15, 0xFFFFFF},
                                    {"LIVES:5 FRAGS:2 FPS: 61", 10, 189.22f, 13.44f, 0xFFFFFF},
                                    {"RIGHTGUN", 380, 175, 15, 0xFFFFFF},
                                    {"LIVES:7 FRAGS:4 FPS: 61", 380, 189.22f, 13.44f, 0xFFFFFF}};
  EXPECT_EQ(hud_lines(two_player_view), status);
}

// Vurk 0 watched, low over the floor, vurk 2 alive behind it, vurks 1 and 3 dead: the radar
// in the bottom right shows the lines of teams 1 and 3 only, in front of the floor; Tab
// shows every team's score in its colour.
TEST_F(Views, OnePlayerRadarShowsTheLivingAndTabTheScores) {
  test::Stage stage;
  test::place_vurk(0, {16, 3.2f, 10})->angle2 = -30;  // the floor close under the radar's corner
  test::place_vurk(1, {10, 20, 20})->alive = 0;
  test::place_vurk(2, {20, 6, 24});
  test::place_vurk(3, {26, 14, 26})->alive = 0;
  test::clear_screen();
  one_player_view();
  const test::Screen s = test::read_screen();
  for (const auto& [rgb, shown] :
       {std::pair{0xFF0000u, true}, {0x00FF00u, false}, {0x0000FFu, true}, {0xFFFF00u, false}})
    EXPECT_EQ(s.pixels(440, 0, 640, 150, rgb) > 30, shown) << std::hex << rgb;

  SHOW_FPS = 1, FPS = 61;
  std::vector<Line> want = {{"LIVES:3 FRAGS:0 FPS: 61", 10, 39.22f, 13.44f, 0xFFFFFF}};
  EXPECT_EQ(hud_lines(one_player_view), want);

  // Tab adds the score table over it all, each team in its colour.
  const int frags[4] = {3, 0, 12, 0};
  std::copy(frags, frags + 4, team_frags);
  SHOW_FPS = 0;
  want[0] = {"LIVES:3 FRAGS:0", 10, 40, 15, 0xFFFFFF};
  EXPECT_EQ(hud_lines(one_player_view), want);
  for (int t = 0; t < 4; t++)
    want.push_back({"TEAM " + std::to_string(t + 1) + ": " + std::to_string(frags[t]), 200, 350 - 35.0f * t, 30,
                    std::array{0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFF00u}[t]});
  keys[VK_TAB] = 1;
  EXPECT_EQ(hud_lines(one_player_view), want);
}

}  // namespace
}  // namespace vurkhold
