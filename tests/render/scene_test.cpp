// the scene of a match: the camera and its frustum, the particle order, the terrain batch
// against plain per-corner drawing, and game_render's picture whatever GL state it finds.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "geometry/geometry.h"
#include "render/render.h"
#include "support/gl_context.h"
#include "support/match_view.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

void set_full_view() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(FOV, 1.3333, 0.1, 24.0);
  glMatrixMode(GL_MODELVIEW);
  screen_viewport(0, 0, 640, 480);
}

// Eye-space image of a world direction under the current model-view.
IJK to_eye(const float m[16], IJK d) {
  return {m[0] * d.i + m[4] * d.j + m[8] * d.k, m[1] * d.i + m[5] * d.j + m[9] * d.k,
          m[2] * d.i + m[6] * d.j + m[10] * d.k};
}

TEST(Camera, LooksAlongItsHeadingAndPitchAndTheFrustumIsTheViewsMatrices) {
  ASSERT_TRUE(test::ensure_gl_context());
  set_full_view();
  const struct {
    float heading, pitch;
    IJK forward;  // the world direction the eye looks along (eye -z)
  } cases[] = {{0, 0, {0, 0, -1}}, {90, 0, {-1, 0, 0}}, {-90, 0, {1, 0, 0}}, {0, 90, {0, 1, 0}}, {90, -90, {0, -1, 0}}};
  for (const auto& c : cases) {
    CAMERA cam = {{3, 4, 5}, c.heading, c.pitch};
    set_camera(&cam);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const IJK f = to_eye(m, c.forward);
    EXPECT_NEAR(f.i, 0, 1e-5) << c.heading << " " << c.pitch;
    EXPECT_NEAR(f.j, 0, 1e-5) << c.heading << " " << c.pitch;
    EXPECT_NEAR(f.k, -1, 1e-5) << c.heading << " " << c.pitch;
    // The eye point itself goes to the origin.
    const IJK e = to_eye(m, {3, 4, 5});
    EXPECT_NEAR(e.i + m[12], 0, 1e-4);
    EXPECT_NEAR(e.j + m[13], 0, 1e-4);
    EXPECT_NEAR(e.k + m[14], 0, 1e-4);
  }

  CAMERA cam = {{10, 12, 20}, 30, -20};
  set_camera(&cam);
  extract_frustum();
  float extracted[6][4];
  std::memcpy(extracted, frustum, sizeof extracted);
  float proj[16], modl[16];
  glGetFloatv(GL_PROJECTION_MATRIX, proj);
  glGetFloatv(GL_MODELVIEW_MATRIX, modl);
  give_frustum(proj, modl);
  for (int n = 0; n < 6; n++)
    for (int k = 0; k < 4; k++) EXPECT_EQ(extracted[n][k], frustum[n][k]) << n << " " << k;
  // A point ahead of that camera is inside, one behind it is not.
  const IJK ahead = {-std::sin(rad(30)) * std::cos(rad(-20)), std::sin(rad(-20)), -std::cos(rad(30)) * std::cos(rad(-20))};
  EXPECT_EQ(is_cube_in_frustum(10 + 5 * ahead.i, 12 + 5 * ahead.j, 20 + 5 * ahead.k, 0), 2);
  EXPECT_EQ(is_cube_in_frustum(10 - 5 * ahead.i, 12 - 5 * ahead.j, 20 - 5 * ahead.k, 0), 0);
  glLoadIdentity();
}

TEST(CompareParticles, FarthestFirstAndEqualDistancesTie) {
  PARTICLE near_one{}, far_one{}, same{};
  near_one.distance = 1.5f;
  far_one.distance = 40.0f;
  same.distance = 1.5f;
  PARTICLE *n = &near_one, *f = &far_one, *s = &same;
  EXPECT_EQ(compare_particles(&f, &n), -1);
  EXPECT_EQ(compare_particles(&n, &f), 1);
  EXPECT_EQ(compare_particles(&n, &s), 0);
}

class Scene : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ready_ = test::load_game_folder(); }
  static void TearDownTestSuite() { test::release_game_folder(); }
  void SetUp() override { ASSERT_TRUE(ready_); }
  void TearDown() override {
    winner = -1;
    camera_mode = CM_FIRST_PERSON;
  }
  static bool ready_;
};
bool Scene::ready_ = false;

// Every corner sent on its own in immediate mode and lit by give_light: the terrain as it
// would be drawn without the batch, the back-face rejection and the near-first order.
void draw_terrain_corner_by_corner() {
  glBegin(GL_TRIANGLES);
  walk_visible_octtree(
      &octtree[0],
      [](GRIDCELL* gc, void*) {
        for (int t = 0; t < gc->triangles; t++)
          for (VERTEX* v : gc->triangle[t].vertex) {
            float l[3];
            give_light(l, &v->p);
            glTexCoord2f(v->u, v->w);
            glColor3fv(l);
            glVertex3f(v->p.x, v->p.y, v->p.z);
          }
      },
      nullptr);
  glEnd();
}

TEST_F(Scene, TerrainBatchDrawsTheSamePictureAsEveryCornerInImmediateMode) {
  ASSERT_TRUE(test::start_match("levels/caverns.vhl", 3, 300));
  set_full_view();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_FOG);
  glBindTexture(GL_TEXTURE_2D, dirt_texture);
  glColor4f(1, 1, 1, 1);
  int compared = 0;
  long lit = 0;
  // Culling of back faces as the scene draws, and the other winding as a mirror would see it.
  for (GLenum front : {GL_CCW, GL_CW}) {
    glEnable(GL_CULL_FACE);
    glFrontFace(front);
    for (int i = 0; i < MAX_VURKS; i++)
      for (float heading : {0.0f, 120.0f, 240.0f})
        for (float pitch : {-45.0f, 30.0f}) {
          CAMERA cam = {vurk[i].p, heading + 10.0f * static_cast<float>(i), pitch};
          set_camera(&cam);
          extract_frustum();
          test::clear_screen();
          render_octtree(&octtree[0]);
          const test::Screen batch = test::read_screen();
          test::clear_screen();
          draw_terrain_corner_by_corner();
          const test::Screen plain = test::read_screen();
          lit += plain.lit(0, 0, 640, 480);
          ASSERT_EQ(batch.rgb, plain.rgb) << "vurk " << i << " heading " << heading << " pitch " << pitch
                                          << (front == GL_CW ? " clockwise" : "");
          compared++;
        }
  }
  glFrontFace(GL_CCW);
  EXPECT_EQ(compared, 48);
  EXPECT_GT(lit, 24 * 640 * 480 / 2);  // the views were not empty
}

// The menu leaves depth testing off and the game leaves culling on; blending, alpha test
// and a colour array left on by anything else must not show either.
TEST_F(Scene, GameRenderDrawsTheSamePictureWhateverStateItFinds) {
  ASSERT_TRUE(test::start_match("levels/test1.vhl", 5, 400));
  for (CAMERA_MODE mode : {CM_FIRST_PERSON, CM_THIRD_PERSON}) {
    camera_mode = mode;
    set_full_view();
    test::clear_screen();
    game_render(vurk_to_render_1);
    const test::Screen clean = test::read_screen();
    ASSERT_GT(clean.lit(0, 0, 640, 480), 640 * 480 / 4);

    test::clear_screen();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_FOG);
    glEnableClientState(GL_COLOR_ARRAY);
    game_render(vurk_to_render_1);
    EXPECT_TRUE(test::read_screen().rgb == clean.rgb) << "camera mode " << mode;
  }
}

TEST_F(Scene, WinnerMessageShowsInTheWinningTeamsColourOnlyOnceDecided) {
  ASSERT_TRUE(test::start_match("levels/caverns.vhl", 7, 200));
  set_full_view();
  test::clear_screen();
  game_render(vurk_to_render_1);
  const test::Screen undecided = test::read_screen();
  winner = 2;
  test::clear_screen();
  game_render(vurk_to_render_1);
  const test::Screen decided = test::read_screen();
  EXPECT_STREQ(textbuffer, "TEAM 3 WON");

  // The text lies across the middle of the view; outside that band nothing changed, and
  // what changed inside it is mostly blue (team 3), the rest the glyphs' dark edges.
  int changed = 0, blue = 0, outside = 0;
  for (int y = 0; y < 480; y++)
    for (int x = 0; x < 640; x++) {
      const unsigned char* a = undecided.at(x, y);
      const unsigned char* b = decided.at(x, y);
      if (std::equal(a, a + 3, b)) continue;
      changed++;
      if (y < 180 || y > 300 || x < 100 || x > 540) outside++;
      if (b[2] > b[0] + 60 && b[2] > b[1] + 60) blue++;
    }
  EXPECT_GT(changed, 2000);
  EXPECT_EQ(outside, 0);
  EXPECT_GT(blue, changed / 3);
}

}  // namespace
}  // namespace vurkhold
