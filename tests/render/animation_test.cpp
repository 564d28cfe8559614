// skeletal animation: the transform helpers, key interpolation, bone chains and vertex
// posing, on crafted models and on the real animated character.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "render/m3d_text.h"
#include "render/render.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

using m3d::Bone;
using m3d::Key;

struct Model {
  MODEL m{};
  ~Model() { free_model(&m); }
};

// Loads a model of one mesh holding `vertices` (lines from m3d::vertex) and `list` bones.
void load(Model* model, const std::vector<std::string>& vertices, const std::vector<Bone>& list, int frames = 1) {
  test::TempDir dir;
  test::MessageCapture messages;
  std::vector<std::string> triangles;
  for (size_t i = 0; i + 2 < vertices.size(); i += 3)
    triangles.push_back(m3d::triangle(static_cast<int>(i), static_cast<int>(i + 1), static_cast<int>(i + 2)));
  std::string text = m3d::header(frames, 1) + m3d::mesh(vertices, triangles) + m3d::materials(0) + m3d::bones(list);
  ASSERT_EQ(m3d::load_text(dir, text, &model->m), 1) << messages.last();
}

XYZ posed(const Model& model, int v) { return model.m.mesh[0].vertex[v].p; }

void expect_near(XYZ a, XYZ b, float tolerance = 1e-5f) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

XYZ transform(const float m[3][4], XYZ p) {
  XYZ out;
  vector_rotate(p, m, &out);
  return XYZ{out.x + m[0][3], out.y + m[1][3], out.z + m[2][3]};
}

TEST(AnimationTransforms, AngleMatrixRotatesXThenYThenZ) {
  XYZ angles{0.3f, -0.7f, 1.9f};
  float m[3][4];
  angle_matrix(&angles, m);
  EXPECT_EQ(m[0][3], 0.0f);
  EXPECT_EQ(m[1][3], 0.0f);
  EXPECT_EQ(m[2][3], 0.0f);
  // The same point turned about x, then y, then z by hand.
  XYZ p{1.0f, 2.0f, 3.0f};
  double x = p.x, y = p.y, z = p.z, t;
  t = y * std::cos(0.3) - z * std::sin(0.3), z = y * std::sin(0.3) + z * std::cos(0.3), y = t;
  t = x * std::cos(-0.7) + z * std::sin(-0.7), z = -x * std::sin(-0.7) + z * std::cos(-0.7), x = t;
  t = x * std::cos(1.9) - y * std::sin(1.9), y = x * std::sin(1.9) + y * std::cos(1.9), x = t;
  XYZ out;
  vector_rotate(p, m, &out);
  expect_near(out, XYZ{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});

  // A quarter turn about z takes x to y.
  XYZ quarter{0.0f, 0.0f, static_cast<float>(M_PI / 2)};
  angle_matrix(&quarter, m);
  vector_rotate(XYZ{1.0f, 0.0f, 0.0f}, m, &out);
  expect_near(out, XYZ{0.0f, 1.0f, 0.0f});
}

TEST(AnimationTransforms, InverseRotateUndoesRotate) {
  float m[3][4];
  for (XYZ angles : {XYZ{0.1f, 0.2f, 0.3f}, XYZ{-2.0f, 1.2f, 3.0f}, XYZ{3.1f, -1.5f, -0.4f}}) {
    angle_matrix(&angles, m);
    m[0][3] = 5.0f;  // the translation plays no part in either
    XYZ p{-4.0f, 0.5f, 7.25f};
    XYZ q;
    vector_rotate(p, m, &q);
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z, p.x * p.x + p.y * p.y + p.z * p.z, 1e-3);
    // In place, through the point's own storage.
    vector_inverse_rotate(q, m, &q);
    expect_near(q, p, 1e-5f);
  }
}

TEST(AnimationTransforms, ConcatAppliesTheSecondFirst) {
  float a[3][4], b[3][4], ab[3][4];
  XYZ ra{0.4f, 0.0f, 1.0f}, rb{0.0f, -0.8f, 0.25f};
  angle_matrix(&ra, a);
  angle_matrix(&rb, b);
  a[0][3] = 1.0f, a[1][3] = -2.0f, a[2][3] = 3.0f;
  b[0][3] = 0.5f, b[1][3] = 4.0f, b[2][3] = -1.0f;
  concat_transforms(a, b, ab);
  XYZ p{2.0f, -3.0f, 0.75f};
  expect_near(transform(ab, p), transform(a, transform(b, p)));
  // Not the other order.
  XYZ other = transform(b, transform(a, p));
  XYZ mine = transform(ab, p);
  EXPECT_GT(std::fabs(other.x - mine.x) + std::fabs(other.y - mine.y) + std::fabs(other.z - mine.z), 0.1f);
}

// A root at the origin whose position keys are x 0 at frame 1 and x 10 at frame 11.
TEST(AnimationKeys, PositionsInterpolateAndHoldAtTheEnds) {
  Model model;
  Bone root{"root", "", {0, 0, 0}, {0, 0, 0}, {{1, 0, 0, 0}, {11, 10, 0, 0}}, {}};
  load(&model, {m3d::vertex(0, 0, 0, 0), m3d::vertex(0, 1, 0, 0), m3d::vertex(0, 0, 1, 0)}, {root});
  struct Case {
    float frame, x;
  } cases[] = {{6, 5}, {1, 0}, {0.5f, 0}, {20, 10}, {11, 10}, {3.5f, 2.5f}, {-4, 0}};
  for (const Case& c : cases) {
    set_model_frame(&model.m, c.frame);
    EXPECT_EQ(model.m.frame, c.frame);
    EXPECT_FLOAT_EQ(posed(model, 0).x, c.x) << "frame " << c.frame;
    EXPECT_FLOAT_EQ(posed(model, 1).x, c.x) << "frame " << c.frame;
    EXPECT_FLOAT_EQ(posed(model, 1).y, 1.0f);
  }
}

TEST(AnimationKeys, AFrameOnALaterKeyGivesThatKey) {
  Model model;
  Bone root{"root", "", {0, 0, 0}, {0, 0, 0}, {{1, 0, 0, 0}, {4, 0.3f, -7.1f, 1e6f}, {9, 5, 5, 5}}, {}};
  load(&model, {m3d::vertex(0, 0, 0, 0), m3d::vertex(0, 0, 0, 0), m3d::vertex(0, 0, 0, 0)}, {root});
  set_model_frame(&model.m, 4.0f);
  EXPECT_EQ(posed(model, 0).x, 0.3f);
  EXPECT_EQ(posed(model, 0).y, -7.1f);
  EXPECT_EQ(posed(model, 0).z, 1e6f);

  // Two keys at one time: the frame on that time takes the first of them, and past it the
  // second one starts the next stretch.
  Model twice;
  root.position_keys = {{1, 0, 0, 0}, {4, 3, 0, 0}, {4, 7, 0, 0}, {9, 9, 0, 0}};
  load(&twice, {m3d::vertex(0, 0, 0, 0), m3d::vertex(0, 0, 0, 0), m3d::vertex(0, 0, 0, 0)}, {root});
  set_model_frame(&twice.m, 4.0f);
  EXPECT_EQ(posed(twice, 0).x, 3.0f);
  set_model_frame(&twice.m, 6.5f);
  EXPECT_FLOAT_EQ(posed(twice, 0).x, 8.0f);
}

TEST(AnimationKeys, RotationsInterpolateTheLongWayRound) {
  Model model;
  Bone root{"root", "", {0, 0, 0}, {0, 0, 0}, {}, {{1, 0, 0, 0}, {3, 0, 0, 6.0f}}};
  load(&model, {m3d::vertex(1, 0, 0, 0), m3d::vertex(0, 1, 0, 0), m3d::vertex(0, 0, 1, 0)}, {root});
  set_model_frame(&model.m, 2.0f);
  // z = 3.0 radians, not halfway along the short way from 0 to 6.0 (about -0.14).
  expect_near(posed(model, 0), XYZ{std::cos(3.0f), std::sin(3.0f), 0.0f});
  expect_near(posed(model, 1), XYZ{-std::sin(3.0f), std::cos(3.0f), 0.0f});
  expect_near(posed(model, 2), XYZ{0.0f, 0.0f, 1.0f});
  // Rotation keys only: no offset.
  set_model_frame(&model.m, 3.0f);
  expect_near(posed(model, 0), XYZ{std::cos(6.0f), std::sin(6.0f), 0.0f});
}

TEST(AnimationKeys, PositionKeysOnlyMeanNoRotation) {
  Model model;
  Bone root{"root", "", {0, 0, 0}, {0, 0, 0}, {{0, 1, 2, 3}}, {}};
  load(&model, {m3d::vertex(1, 0, 0, 0), m3d::vertex(0, 1, 0, 0), m3d::vertex(0, 0, 1, 0)}, {root});
  set_model_frame(&model.m, 7.0f);
  expect_near(posed(model, 0), XYZ{2, 2, 3});
  expect_near(posed(model, 1), XYZ{1, 3, 3});
}

// A root bone turned a quarter about z at rest, so its own y axis is the model's -x.
TEST(AnimationBones, AKeyOffsetActsAlongTheBonesRestAxes) {
  Model model;
  const float quarter = static_cast<float>(M_PI / 2);
  Bone root{"root", "", {3, 0, 0}, {0, 0, quarter}, {{1, 0, 1, 0}}, {{1, 0, 0, 0}}};
  load(&model, {m3d::vertex(3, 0, 0, 0), m3d::vertex(4, 0, 0, 0), m3d::vertex(3, 2, 5, 0)}, {root});
  for (float frame : {0.0f, 1.0f, 17.5f}) {
    set_model_frame(&model.m, frame);
    expect_near(posed(model, 0), XYZ{2, 0, 0});
    expect_near(posed(model, 1), XYZ{3, 0, 0});
    expect_near(posed(model, 2), XYZ{2, 2, 5});
  }
}

TEST(AnimationBones, AKeylessBoneStaysAtRestWhileItsParentMoves) {
  Model model;
  Bone parent{"parent", "", {0, 0, 0}, {0, 0, 0}, {{0, 0, 0, 0}, {10, 0, 5, 0}}, {{0, 0, 0, 0}, {10, 1, 0, 0}}};
  Bone child{"child", "parent", {0, 2, 0}, {0, 0, 0}, {}, {}};
  Bone grandchild{"grandchild", "child", {0, 1, 0}, {0, 0, 0}, {{0, 1, 0, 0}}, {}};
  load(&model,
       {m3d::vertex(0, 0, 0, 0), m3d::vertex(0, 1, 0, 0), m3d::vertex(1, 0, 0, 0), m3d::vertex(0, 2, 0, 1),
        m3d::vertex(1, 2, 0, 1), m3d::vertex(0, 3, 0, 1), m3d::vertex(0, 3, 0, 2), m3d::vertex(0, 3, 1, 2),
        m3d::vertex(1, 3, 0, 2)},
       {parent, child, grandchild});
  set_model_frame(&model.m, 10.0f);
  // The parent moved up 5 and turned about x.
  expect_near(posed(model, 0), XYZ{0, 5, 0});
  expect_near(posed(model, 1), XYZ{0, 5 + std::cos(1.0f), std::sin(1.0f)});
  // The child is where the file put it.
  expect_near(posed(model, 3), XYZ{0, 2, 0});
  expect_near(posed(model, 4), XYZ{1, 2, 0});
  expect_near(posed(model, 5), XYZ{0, 3, 0});
  // A keyed bone below it follows the child, not the moving parent.
  expect_near(posed(model, 6), XYZ{1, 3, 0});
  expect_near(posed(model, 7), XYZ{1, 3, 1});
}

TEST(AnimationBones, ChainedRotationsCompose) {
  Model model;
  const float quarter = static_cast<float>(M_PI / 2);
  // The child hangs 1 along the parent's x axis; turning the parent a quarter about z swings
  // the child's vertices onto the y axis.
  Bone parent{"parent", "", {0, 0, 0}, {0, 0, 0}, {}, {{0, 0, 0, 0}, {2, 0, 0, quarter}}};
  Bone child{"child", "parent", {1, 0, 0}, {0, 0, 0}, {{0, 0, 0, 0}}, {}};
  load(&model, {m3d::vertex(1, 0, 0, 1), m3d::vertex(2, 0, 0, 1), m3d::vertex(1, 0, 1, 1)}, {parent, child});
  set_model_frame(&model.m, 2.0f);
  expect_near(posed(model, 0), XYZ{0, 1, 0});
  expect_near(posed(model, 1), XYZ{0, 2, 0});
  expect_near(posed(model, 2), XYZ{0, 1, 1});
  set_model_frame(&model.m, 1.0f);
  const float c = std::cos(quarter / 2), s = std::sin(quarter / 2);
  expect_near(posed(model, 1), XYZ{2 * c, 2 * s, 0});
}

TEST(AnimationBones, AVertexOfNoBoneStaysPut) {
  Model model;
  Bone root{"root", "", {1, 1, 1}, {0.5f, 0.2f, 0.1f}, {{0, 0, 0, 0}, {9, 3, 3, 3}}, {{0, 0, 0, 0}, {9, 1, 2, 3}}};
  load(&model, {m3d::vertex(4, 5, 6, -1), m3d::vertex(1, 1, 1, 0), m3d::vertex(2, 1, 1, 0)}, {root}, 10);
  EXPECT_EQ(model.m.mesh[0].vertex[0].bone_id, 255);
  for (float frame : {0.0f, 2.0f, 4.5f, 9.0f, 30.0f}) {
    set_model_frame(&model.m, frame);
    EXPECT_EQ(posed(model, 0).x, 4.0f);
    EXPECT_EQ(posed(model, 0).y, 5.0f);
    EXPECT_EQ(posed(model, 0).z, 6.0f);
  }
  // The bone's own vertex did move.
  EXPECT_GT(std::fabs(posed(model, 1).x - 1.0f), 0.5f);
}

TEST(AnimationBones, RestPoseGivesBackTheFilePositions) {
  // Rest transforms with turns at every level: set-up moves each rest position into its
  // bone's frame, and posing with the rest transforms brings it back.
  Model model;
  Bone a{"a", "", {1, 2, 3}, {0.3f, -0.2f, 1.1f}, {}, {}};
  Bone b{"b", "a", {0, 1, 0}, {1.0f, 0.5f, -0.7f}, {}, {}};
  load(&model, {m3d::vertex(-1, 4, 2, 0), m3d::vertex(3, 0.5f, -2, 1), m3d::vertex(0, 0, 0, 1)}, {a, b}, 3);
  set_model_frame(&model.m, 1.0f);
  expect_near(posed(model, 0), XYZ{-1, 4, 2});
  expect_near(posed(model, 1), XYZ{3, 0.5f, -2});
  expect_near(posed(model, 2), XYZ{0, 0, 0});
  // The rest copies are now in the bones' frames: vertex 2 relative to bone b.
  XYZ local = model.m.mesh[0].original[2];
  expect_near(transform(model.m.bone[1].mAbsolute, local), XYZ{0, 0, 0});
}

TEST(AnimationBones, AModelWithoutBonesIsNotPosed) {
  Model model;
  load(&model, {m3d::vertex(1, 2, 3, 0), m3d::vertex(4, 5, 6, 0), m3d::vertex(7, 8, 9, 0)}, {});
  model.m.frame = -3.0f;
  set_model_frame(&model.m, 12.0f);
  apply_model_frame(&model.m);
  set_model_bones(&model.m);
  EXPECT_EQ(model.m.frame, -3.0f);
  EXPECT_EQ(posed(model, 0).x, 1.0f);
  EXPECT_EQ(posed(model, 2).z, 9.0f);
  EXPECT_EQ(model.m.mesh[0].original[1].y, 5.0f);
}

TEST(AnimationFixture, SoldierPosesWithinReachAtEveryFrame) {
  test::MessageCapture messages;
  Model model;
  ASSERT_EQ(load_milkshape_model(&model.m, test::fixture_path("m3d/animated_soldier.txt").c_str()), 1);
  // Back at rest the file's first vertex line returns.
  for (int i = 0; i < model.m.number_of_bones; i++) {
    BONE& b = model.m.bone[i];
    for (int r = 0; r < 3; r++) {
      for (int c = 0; c < 4; c++) b.mFinal[r][c] = b.mAbsolute[r][c];
    }
  }
  apply_model_frame(&model.m);
  expect_near(posed(model, 0), XYZ{-1.094151f, 7.559704f, 0.402811f}, 1e-4f);
  expect_near(posed(model, 1), XYZ{-1.552856f, 9.027592f, 0.375216f}, 1e-4f);

  // Every whole frame stays within the measured reach; fractional frames between the
  // fractional key times give finite positions.
  const MESH& mesh = model.m.mesh[0];
  for (float frame = 0.0f; frame < 48.0f; frame += 0.5f) {
    set_model_frame(&model.m, frame);
    for (int j = 0; j < mesh.number_of_vertices; j++) {
      const XYZ& p = mesh.vertex[j].p;
      float d = p.x * p.x + p.y * p.y + p.z * p.z;
      ASSERT_TRUE(std::isfinite(d));
      if (frame == std::floor(frame)) {
        ASSERT_LE(d, model.m.max_radius);
      }
    }
  }
  EXPECT_EQ(messages.count(), 0);
}

}  // namespace
}  // namespace vurkhold
