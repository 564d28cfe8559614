// the scene of a match where a player looks: where each camera stands and what it shows,
// the body's meshes, the bullets and fast bullets' streaks, the translucent groups' order
// and depth, blood drops, the sprites' limits close up, the winner's message, and the
// terrain batch against plain drawing.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <tuple>

#include "geometry/geometry.h"
#include "match/match.h"
#include "render/render.h"
#include "support/arena.h"
#include "support/match_view.h"
#include "terrain/terrain.h"
#include "world/world.h"

namespace vurkhold {
namespace {

using test::Screen;
using test::Stage;

class Scene : public test::GameFolder {
  void SetUp() override {
    GameFolder::SetUp();
    set_perspective(static_cast<float>(FOV), 1.3333f);
    screen_viewport(0, 0, 640, 480);
  }
};

Screen render(VURK_* m) {
  test::clear_screen();
  game_render(m);
  return test::read_screen();
}

XYZ moved(XYZ p, IJK v) { return {p.x + v.i, p.y + v.j, p.z + v.k}; }
float distance(XYZ a, XYZ b) { return give_distance(&a, &b); }

// The eye of the view game_render last set up, from the frustum it left: the right, left
// and bottom planes meet there.
XYZ seen_eye() {
  const float(*f)[4] = frustum;
  auto cross = [](const float* a, const float* b) {
    return IJK{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  };
  const IJK c12 = cross(f[1], f[2]), c20 = cross(f[2], f[0]), c01 = cross(f[0], f[1]);
  const float det = f[0][0] * c12.i + f[0][1] * c12.j + f[0][2] * c12.k;
  return {-(f[0][3] * c12.i + f[1][3] * c20.i + f[2][3] * c01.i) / det,
          -(f[0][3] * c12.j + f[1][3] * c20.j + f[2][3] * c01.j) / det,
          -(f[0][3] * c12.k + f[1][3] * c20.k + f[2][3] * c01.k) / det};
}

// Stand-in vurk and weapon models: mesh k is a 0.3 square three units ahead of the vurk,
// the k-th of a row, facing back at whoever stands behind it and coloured from texel k of
// a palette; the weapon is one more square with its own flat texture. Turned up by the
// aim, a square leaves the view of a player behind.
constexpr uint32_t PALETTE[6] = {0x804020, 0x208040, 0x402080, 0x808000, 0x008080, 0x800080};
struct Dummy {
  VERTEX v[6][4] = {};
  short index[6] = {0, 1, 2, 0, 2, 3};
  MESH mesh[6] = {};
  MODEL weapon{}, saved = vurk_model;
  WEAPON_TYPE type{};
  explicit Dummy(Stage& stage) {
    std::vector<uint32_t> texels(8, 0xFF);
    for (int k = 0; k < 6; k++) {
      texels[k] = PALETTE[k] << 8 | 0xFF;
      const float x = -1.1f + 0.45f * static_cast<float>(k), u = (static_cast<float>(k) + 0.5f) / 8;
      const XYZ corners[4] = {{x, -0.15f, -3}, {x + 0.3f, -0.15f, -3}, {x + 0.3f, 0.15f, -3}, {x, 0.15f, -3}};
      for (int c = 0; c < 4; c++) v[k][c] = {corners[c], u, 0.5f, 255, {}, 0};
      mesh[k] = {4, 2, 0, 6, v[k], nullptr, nullptr, index, nullptr};
    }
    vurk_texture = stage.texture(8, 1, texels);
    vurk_model = MODEL{};
    vurk_model.number_of_meshes = 5, vurk_model.mesh = mesh;
    weapon.number_of_meshes = 1, weapon.mesh = &mesh[5];
    weapon.texture = stage.flat(PALETTE[5] << 8 | 0xFF);
    type.model = &weapon;
  }
  ~Dummy() { vurk_model = saved; }
  void arm(VURK_* v) { v->weapons[v->weapon = 0] = {&type, 0, 1, 0, 0}; }
  // Which of meshes 0..4 and the weapon (W) show.
  static std::string shown(const Screen& s) {
    std::string parts;
    for (int k = 0; k < 6; k++)
      if (s.pixels(0, 0, 640, 480, PALETTE[k]) > 0) parts += "01234W"[k];
    return parts;
  }
};

// First person: the eye a quarter unit over the centre, tilting with the aim, no body of
// its own but its rope; third person: five units back against the aim, or short of a wall
// in between (with the rope out, its arm is held up). The dead are watched from behind,
// without the crosshair.
TEST_F(Scene, EachCameraStandsWhereThePlayerExpectsAndShowsWhatItShould) {
  Stage stage;
  Dummy dummy(stage);
  constexpr uint32_t ROPE = 0x40C0FF;
  rope_texture = stage.flat(ROPE << 8 | 0xFF);
  const CAMERA_MODE FP = CM_FIRST_PERSON, TP = CM_THIRD_PERSON;
  const struct { const char* what; CAMERA_MODE mode; int alive; float heading, pitch; XYZ p; float back;
                 const char* body; } rows[] = {
      {"first person", FP, 1, 0, 0, {16, 12, 16}, 0, ""},
      {"first person turned, looking up", FP, 1, 90, 30, {16, 12, 16}, 0, ""},
      {"first person looking down", FP, 1, -150, -60, {16, 12, 16}, 0, ""},
      {"third person", TP, 1, 0, 0, {16, 12, 16}, 5, "013W"},
      {"third person turned, looking down", TP, 1, -120, -20, {16, 12, 16}, 5, "013W"},
      {"dead in first person", FP, 0, 0, 0, {16, 12, 16}, 5, ""},
      {"third person, the wall 2 behind", TP, 1, 0, 0, {16, 12, 30}, 2, "013W"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    camera_mode = r.mode;
    VURK_* v = test::place_vurk(0, r.p);
    v->alive = r.alive, v->angle = r.heading, v->angle2 = r.pitch;
    dummy.arm(v);
    v->rope_state = NRS_ATTACHED;
    v->rope_p = moved(give_vurk_rope_point(v), give_vurk_weapon_direction(v, 4));
    const Screen s = render(v);
    const IJK aim = give_vurk_weapon_direction(v, 1);  // the near plane faces along it
    EXPECT_LT(distance({frustum[5][0], frustum[5][1], frustum[5][2]}, {aim.i, aim.j, aim.k}), 1e-3);
    const XYZ eye = seen_eye();
    const float a = rad(r.heading), b = rad(r.pitch), back = distance(eye, r.p);
    if (r.back == 0) {
      const XYZ want =
          moved(r.p, {0.25f * std::sin(a) * std::sin(b), 0.25f * std::cos(b), 0.25f * std::cos(a) * std::sin(b)});
      EXPECT_LT(distance(eye, want), 1e-3) << eye.x << " " << eye.y << " " << eye.z;
    } else {
      // On the ray back from the vurk; short of a wall, but not by much.
      EXPECT_LT(distance(eye, moved(r.p, give_vurk_weapon_direction(v, -back))), 1e-3);
      EXPECT_LE(back, r.back + 1e-3);
      EXPECT_GT(back, r.back < 5 ? r.back - 0.5f : r.back - 1e-3f);
      EXPECT_TRUE(r.back == 5 || back < r.back - 0.05f) << "the camera is on the wall";
    }
    EXPECT_EQ(Dummy::shown(s), r.body);
    EXPECT_GT(s.pixels(0, 0, 640, 480, ROPE), 20);
    const int cross = s.pixels(310, 230, 331, 251, 0xFFFFFF);
    EXPECT_TRUE(r.alive ? cross > 10 : cross == 0) << cross;
  }
}

// The views drawn in a frame are where the match is heard from: a lone view's eye and the
// way it looks (turned to -x here) pan what it hears, two views hear from the nearer
// unpanned, and a frame with no view hears everything alike.
TEST_F(Scene, TheMatchIsHeardFromWhereTheViewsLook) {
  Stage stage;
  camera_mode = CM_FIRST_PERSON;
  const XYZ at = {16, 12, 16};
  VURK_* v = test::place_vurk(0, at);
  v->alive = 1, v->angle = 90, v->angle2 = 0;
  VURK_* far = test::place_vurk(1, {4, 12, 4});
  far->alive = 1;
  auto heard = [](XYZ p) {
    const long before = platform::samples_started();
    add_explosion(p, 0.5f);
    EXPECT_EQ(platform::samples_started(), before + 1);
    platform::ChannelState s{};
    EXPECT_TRUE(platform::channel_state(platform::newest_channel(), &s));
    return s.placement;
  };
  const struct { const char* what; IJK off; int angle; bool left_louder, right_louder; } rows[] = {
      {"ahead", {-4, 0, 0}, 0, false, false},
      {"right", {0, 0, -4}, 90, false, true},
      {"behind", {4, 0, 0}, 180, false, false},
      {"left", {0, 0, 4}, 270, true, false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    render(v);
    hear_from_views();
    const platform::SoundPlacement p = heard(moved(at, r.off));
    EXPECT_EQ(p.angle, r.angle);
    EXPECT_EQ(p.left > p.right, r.left_louder);
    EXPECT_EQ(p.right > p.left, r.right_louder);
    EXPECT_LT(p.distance, 30);
  }

  render(v);
  render(far);
  hear_from_views();
  const platform::SoundPlacement split = heard({4, 12, 2});
  EXPECT_EQ(split.left, 255);
  EXPECT_EQ(split.right, 255);
  EXPECT_EQ(split.distance, 0) << "the far view is two units away";

  hear_from_views();
  const platform::SoundPlacement none = heard({30, 3, 30});
  EXPECT_EQ(none.distance, 0);
  EXPECT_EQ(none.left, 255);
  EXPECT_EQ(none.right, 255);
}

// Vurk 1 seen from four units behind: the jetpack only on its carrier, the rope arm held
// up while the rope is out, the head, the other arm and the weapon turned with the aim.
TEST_F(Scene, BodyMeshesFollowTheItemTheRopeAndTheAim) {
  Stage stage;
  Dummy dummy(stage);
  test::place_vurk(0, {16, 12, 20});
  VURK_* v = test::place_vurk(1, {16, 12, 16});
  dummy.arm(v);
  v->rope_p = {16.25f, 17, 16};
  const struct { ITEM item; ROPE_STATE rope; float pitch; const char* shown; } rows[] = {
      {MI_NINJAROPE, NRS_IN, 0, "0123W"}, {MI_JETPACK, NRS_IN, 0, "01234W"}, {MI_NINJAROPE, NRS_ATTACHED, 0, "013W"},
      {MI_NINJAROPE, NRS_IN, 90, "0"},    {MI_JETPACK, NRS_FLYING, 90, "04"}};
  for (const auto& r : rows) {
    v->item = r.item, v->rope_state = r.rope, v->angle2 = r.pitch;
    EXPECT_EQ(Dummy::shown(render(&vurk[0])), r.shown)
        << "item " << r.item << " rope " << r.rope << " pitch " << r.pitch;
  }
}

// Straight ahead of the eye: a bullet hole at 1, an explosion at 2, particles at 3 and 4,
// each half transparent. Drawn in that order, the particles farthest first, the colour
// that shows is exactly their blend; and none of them leaves a depth behind.
TEST_F(Scene, TranslucentGroupsBlendInTheirOrderAndWriteNoDepth) {
  Stage stage;
  const XYZ eye = {16, 12.25f, 30};
  test::place_vurk(0, {16, 12, 30});
  bullethole_texture = stage.flat(0xFF000080);
  explosion_texture = stage.flat(0x00FF0080);
  particle_texture = stage.texture(2, 2, {0xFFFFFFFF, 0xFF, 0xFF, 0xFF});  // only the first quarter is used
  bullethole[7] = {{eye.x, eye.y, eye.z - 1}, 1, 180, 0};
  explosion[3] = {{eye.x, eye.y, eye.z - 2}, 0, 0, 1, 0.5f, nullptr};
  // Listed nearest first: only the sort puts them the other way round.
  *particle_list[0] = {{eye.x, eye.y, eye.z - 3}, {}, 0, 0.5f, 1, {1, 1, 1, 0.5f}, 100, 100, 0, 0};
  *particle_list[1] = {{eye.x, eye.y, eye.z - 4}, {}, 0, 0.5f, 1, {0, 0, 1, 0.5f}, 100, 100, 0, 0};
  const Screen s = render(&vurk[0]);
  float want[3] = {0, 0, 0};
  const struct { float rgb[3], alpha; } layers[] = {
      {{1, 0, 0}, 128 / 255.0f}, {{0, 1, 0}, 128 / 255.0f}, {{0, 0, 1}, 0.5f}, {{1, 1, 1}, 0.5f}};
  for (const auto& l : layers)
    for (int c = 0; c < 3; c++) want[c] = std::round(l.rgb[c] * 255 * l.alpha + want[c] * (1 - l.alpha));
  for (int c = 0; c < 3; c++) EXPECT_NEAR(s.at(330, 250)[c], want[c], 3) << "channel " << c;
  float depth = 0;
  glReadPixels(330, 250, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_EQ(depth, 1.0f);
}

// A bullet model: one square facing back along its heading, its left half from the opaque
// texel of the bullet texture, its right half from the translucent one that the alpha test
// drops. A sprite faces the eye whatever its heading; a model glows only when its type
// says so, else it takes the light where it flies.
TEST_F(Scene, BulletsFaceTheirWayTakeTheBulletTextureAndTheLight) {
  Stage stage;
  AMBIENT = 0.5f;
  bullet_texture = stage.texture(2, 1, {0xFFFFFFFF, 0x00FF0080});
  VERTEX v[8] = {};
  short index[12] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
  for (int k = 0; k < 8; k++) {
    const float x = -0.3f + 0.3f * static_cast<float>(k / 4 + (k % 4 == 1 || k % 4 == 2));
    v[k] = {{x, k % 4 < 2 ? -0.3f : 0.3f, 0}, 0.25f + 0.5f * static_cast<float>(k / 4), 0.5f, 255, {}, 0};
  }
  MESH mesh = {8, 4, 0, 12, v, nullptr, nullptr, index, nullptr};
  MODEL model{};
  model.number_of_meshes = 1, model.mesh = &mesh, model.texture = stage.flat(0xFF0000FF);
  BULLET_TYPE type{};
  type.model = &model;
  test::place_vurk(0, {16, 12, 30});
  const struct { MT_ kind; float heading; uint16_t flags; bool white, grey; } rows[] = {
      {MT_SPRITE, 90, BTF_SELF_ILLUMINATION, true, false},
      {MT_NORMAL, 0, 0, false, true},
      {MT_NORMAL, 90, BTF_SELF_ILLUMINATION, false, false}};
  for (const auto& r : rows) {
    model.type = r.kind, type.flags = r.flags;
    bullet[5] = {&type, {17, 12.25f, 27}, {}, r.heading, 0, 1, 0, 0, 0, nullptr, 1};
    const Screen s = render(&vurk[0]);
    const int grey = s.pixels(400, 0, 640, 480, 0x7F7F7F) + s.pixels(400, 0, 640, 480, 0x808080);
    EXPECT_EQ(s.pixels(400, 0, 640, 480, 0xFFFFFF) > 100, r.white) << r.kind << " " << r.heading;
    EXPECT_EQ(grey > 100, r.grey) << r.kind << " " << r.heading;
    EXPECT_EQ(s.pixels(0, 0, 640, 480, 0x00FF00) + s.pixels(0, 0, 640, 480, 0xFF0000), 0);
  }
}

// A bullet too fast to see is a glowing streak in its trail colour over its next two frames
// of flight, with a flash while it is at its vurk's muzzle and a spark where the streak
// meets the floor; a slow one is its blue model and nothing more.
TEST_F(Scene, FastBulletsShowAStreakAFlashAtTheMuzzleAndASparkOnTheFloor) {
  Stage stage;
  const unsigned flare = flare_texture;
  flare_texture = stage.flat(0xFFFFFFFF);
  bullet_texture = stage.flat(0x0000FFFF);
  VERTEX v[4] = {{{-0.1f, -0.1f, 0}, 0, 0, 255, {}, 0}, {{0.1f, -0.1f, 0}, 0, 0, 255, {}, 0},
                 {{0.1f, 0.1f, 0}, 0, 0, 255, {}, 0},   {{-0.1f, 0.1f, 0}, 0, 0, 255, {}, 0}};
  short index[6] = {0, 1, 2, 0, 2, 3};
  MESH mesh = {4, 2, 0, 6, v, nullptr, nullptr, index, nullptr};
  MODEL model{};
  model.number_of_meshes = 1, model.mesh = &mesh, model.type = MT_SPRITE, model.max_radius = 0.01f;
  BULLET_TYPE type{};
  type.model = &model, type.flags = BTF_SELF_ILLUMINATION, type.trail_color[1] = 1;
  test::place_vurk(0, {16, 4, 30});
  VURK_* shooter = test::place_vurk(1, {14, 4, 25});
  shooter->angle = 180;  // facing the eye, its muzzle before its body
  const XYZ muzzle = give_vurk_weapon_point(shooter);
  const struct { const char* what; XYZ p; IJK m; bool streak, model, glow; } rows[] = {
      {"fast, across the view", {18, 4.25f, 25}, {-0.15f, 0, 0}, true, false, false},
      {"slow", {17, 4.25f, 25}, {-0.01f, 0, 0}, false, true, false},
      {"down into the floor", {16, 3.3f, 25}, {0, -0.1f, 0}, true, false, true},
      {"leaving the muzzle", muzzle, {0.15f, 0, 0}, true, false, true}};
  for (const auto& r : rows) {
    bullet[9] = {&type, r.p, r.m, 0, 0, 1, 0, 0, 0, nullptr, r.p.x == muzzle.x ? uint8_t{1} : uint8_t{3}};
    const Screen s = render(&vurk[0]);
    int streak = 0, model_pixels = 0, glow = 0;
    for (int y = 0; y < 480; y++)
      for (int x = 0; x < 640; x++) {
        const unsigned char* c = s.at(x, y);
        streak += c[0] == 0 && c[1] > 60 && c[2] == 0;
        model_pixels += c[0] == 0 && c[1] == 0 && c[2] == 255;
        glow += c[0] > 60 && c[1] > c[0] && c[2] > 60;
      }
    EXPECT_EQ(std::tuple(streak > 30, model_pixels > 30, glow > 100), std::tuple(r.streak, r.model, r.glow))
        << r.what << ": " << streak << " " << model_pixels << " " << glow;
  }
  flare_texture = flare;
}

// A particle flying free is sprayed blood: a drop from the last quarter of the particle
// texture at 0.4 of its size and half its colour; one standing still is a puff of the
// first quarter at its full size and colour.
TEST_F(Scene, SprayedParticlesAreSmallDarkDrops) {
  Stage stage;
  particle_texture = stage.texture(2, 2, {0xFFFFFFFF, 0xFF, 0xFF, 0x00FF00FF});
  test::place_vurk(0, {16, 12, 30});
  PARTICLE* q = particle_list[0];
  *q = {{16, 12.25f, 27}, {}, 0, 0.5f, 1, {1, 1, 1, 1}, 100, 100, 0, 0};
  const int puff = render(&vurk[0]).pixels(0, 0, 640, 480, 0xFFFFFF);
  q->m = {0.001f, -0.001f, 0.001f};
  const Screen s = render(&vurk[0]);
  const int drop = s.pixels(0, 0, 640, 480, 0x007F00) + s.pixels(0, 0, 640, 480, 0x008000);
  EXPECT_GT(puff, 10000);
  EXPECT_NEAR(static_cast<float>(drop) / static_cast<float>(puff), 0.4f * 0.4f, 0.02f) << drop << " " << puff;
  EXPECT_LT(s.pixels(0, 0, 640, 480, 0xFFFFFF), 100);  // the first quarter only along the edges
}

// No sprite is drawn wider than its depth, and when the explosions together would
// cover more than one view, all of them shrink alike until they do not.
TEST_F(Scene, CloseAndCrowdedExplosionsAreDrawnSmaller) {
  Stage stage;
  explosion_texture = stage.flat(0xFFFFFFFF);
  test::place_vurk(0, {16, 12, 30});
  const float pixels_per_unit = 240 / std::tan(rad(30));  // at depth one
  const struct { int count; float depth, size, half; } rows[] = {
      {1, 4, 1, 1.0f / 4}, {1, 2, 5, 0.5f}, {40, 4, 1, std::sqrt(1 / (40 * 1.299f * 1.732f / 16)) / 4}};
  for (const auto& r : rows) {
    for (int i = 0; i < MAX_EXPLOSIONS; i++)
      explosion[i] = {{16, 12.25f, 30 - r.depth}, 0, 0, i < r.count, r.size, nullptr};
    const int across = render(&vurk[0]).pixels(0, 240, 640, 241, 0xFFFFFF);
    EXPECT_NEAR(across, 2 * r.half * pixels_per_unit, 3) << r.count << " at " << r.depth;
  }
}

TEST_F(Scene, WinnerMessageAndItsHintShowInTheWinningTeamsColourOnlyOnceDecided) {
  Stage stage;
  test::place_vurk(0, {16, 12, 16});
  auto draw = [] { game_render(&vurk[0]); };
  EXPECT_TRUE(test::printed(draw).empty());  // undecided
  winner = 2;
  // Ten units ahead, four to the left and half a unit up, one unit high: 240 / tan 30°
  // pixels a unit at that distance.
  const float unit = 240 / std::tan(rad(30)) / 10;
  const std::vector<test::Line> want = {
      {"TEAM 3 WON", 320 - 4 * unit, 240 + 0.5f * unit, unit, 0x0000FF},
      {"ESCAPE: BACK TO THE MENU", 320 - 3.78f * unit, 240 - 0.8f * unit, 0.4f * unit, 0x0000FF}};
  EXPECT_EQ(test::printed(draw), want);
}

// The terrain batch against every corner sent on its own in immediate mode and lit by
// give_light, without the back-face rejection and the near-first order, from each vurk in
// three headings and two pitches, with back faces culled as the scene does and as a
// mirror would.
TEST_F(Scene, TerrainBatchDrawsTheSamePictureAsEveryCornerInImmediateMode) {
  std::snprintf(level_to_use, sizeof level_to_use, "levels/caverns.vhl");
  game_srand(3);
  for (VURK_& v : vurk) v.type = MLT_COMPUTER;
  ASSERT_TRUE(game_init());
  for (int i = 0; i < 300; i++) game_logic(16);
  for (GLenum cap : {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_FOG, GL_CULL_FACE}) glEnable(cap);
  glBindTexture(GL_TEXTURE_2D, dirt_texture);
  glColor4f(1, 1, 1, 1);
  long lit = 0;
  for (GLenum front : {GL_CCW, GL_CW})
    for (int i = 0; i < MAX_VURKS * 6; i++) {
      glFrontFace(front);
      CAMERA cam = {vurk[i / 6].p, 120.0f * (i % 3) + 10.0f * (i / 6), i % 2 ? 30.0f : -45.0f};
      set_camera(&cam);
      extract_frustum();
      test::clear_screen();
      render_octtree(&octtree[0]);
      const Screen batch = test::read_screen();
      test::clear_screen();
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
      const Screen plain = test::read_screen();
      lit += 640 * 480 - plain.pixels(0, 0, 640, 480, 0);
      ASSERT_EQ(batch.rgb, plain.rgb) << "view " << i << (front == GL_CW ? " clockwise" : "");
    }
  glFrontFace(GL_CCW);
  EXPECT_GT(lit, 24 * 640 * 480 / 2);  // the views were not empty
}

}  // namespace
}  // namespace vurkhold
