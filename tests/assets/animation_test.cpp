// skeletal animation: key interpolation, bone chains and vertex posing on crafted models.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "assets/crafted_files.h"
#include "geometry/collision_world.h"

namespace vurkhold {
namespace {

using crafted::Bone;
using crafted::Model;
using crafted::vertex;

// A model of one mesh holding `vertices` and the bones `list`.
void load(Model* model, const std::vector<std::string>& vertices, const std::vector<Bone>& list, int frames = 1) {
  test::MessageCapture messages;
  ASSERT_EQ(crafted::load(crafted::model(frames, {crafted::mesh(vertices)}, list), &model->m), 1) << messages.last();
}

void expect_posed(const Model& model, int v, XYZ want) {
  SCOPED_TRACE(testing::Message() << "frame " << model.m.frame << " vertex " << v);
  test::expect_near(model.m.mesh[0].vertex[v].p, want, 1e-5f);
}

// Position keys only: the bone turns by its rest angles, never by a missing rotation key.
TEST(Animation, PositionKeysInterpolateAndHoldAtTheEnds) {
  Model model;
  const Bone root{"root", "", {}, {}, {{1, 0, 0, 0}, {11, 10, 0, 0}}, {}};
  load(&model, {vertex(0, 0, 0, 0), vertex(0, 1, 0, 0), vertex(0, 0, 1, 0)}, {root});
  const struct {
    float frame, x;
  } rows[] = {{6, 5}, {1, 0}, {0.5f, 0}, {20, 10}, {11, 10} /* on the later key */};
  for (const auto& row : rows) {
    set_model_frame(&model.m, row.frame);
    expect_posed(model, 0, {row.x, 0, 0});
    expect_posed(model, 1, {row.x, 1, 0});
  }
}

// Rotation keys only: no offset from a missing position key.
TEST(Animation, RotationsInterpolateTheLongWayRound) {
  Model model;
  const Bone root{"root", "", {}, {}, {}, {{1, 0, 0, 0}, {3, 0, 0, 6.0f}}};
  load(&model, {vertex(1, 0, 0, 0), vertex(0, 1, 0, 0), vertex(0, 0, 1, 0)}, {root});
  set_model_frame(&model.m, 2.0f);
  // z = 3.0 radians, not halfway along the short way from 0 to 6.0 (about -0.14).
  expect_posed(model, 0, {std::cos(3.0f), std::sin(3.0f), 0});
  expect_posed(model, 1, {-std::sin(3.0f), std::cos(3.0f), 0});
  expect_posed(model, 2, {0, 0, 1});
}

TEST(Animation, AKeylessBoneStaysAtRestWhileItsParentMoves) {
  Model model;
  const Bone parent{"parent", "", {}, {}, {{0, 0, 0, 0}, {10, 0, 5, 0}}, {{0, 0, 0, 0}, {10, 1, 0, 0}}};
  const Bone child{"child", "parent", {0, 2, 0}, {}, {}, {}};
  load(&model, {vertex(0, 1, 0, 0), vertex(0, 2, 0, 1), vertex(1, 3, 0, 1)}, {parent, child});
  set_model_frame(&model.m, 10.0f);
  expect_posed(model, 0, {0, 5 + std::cos(1.0f), std::sin(1.0f)});  // moved up 5, turned about x
  expect_posed(model, 1, {0, 2, 0});
  expect_posed(model, 2, {1, 3, 0});
}

// The root stands at (3, 0, 0) turned a quarter about z, so its own y axis is the model's -x;
// the vertex of no bone stays where the file put it.
TEST(Animation, OnePositionKeyLiftsAlongTheBonesRestYAxis) {
  Model model;
  const Bone root{"root", "", {3, 0, 0}, {0, 0, static_cast<float>(M_PI / 2)}, {{1, 0, 1, 0}}, {{1, 0, 0, 0}}};
  load(&model, {vertex(3, 0, 0, 0), vertex(3, 2, 5, 0), vertex(4, 5, 6, -1)}, {root}, 5);
  for (float frame : {0.0f, 1.0f, 17.5f}) {
    set_model_frame(&model.m, frame);
    expect_posed(model, 0, {2, 0, 0});
    expect_posed(model, 1, {2, 2, 5});
    expect_posed(model, 2, {4, 5, 6});
  }
}

// All three angles at once: the pose is a turn about x, then y, then z, each about the
// model's fixed axes; a sign slip in any term of the combined matrix moves a corner.
TEST(Animation, ThreeAnglesTurnAboutXThenYThenZ) {
  const float ax = 0.3f, ay = -0.5f, az = 0.9f;
  Model model;
  const Bone root{"root", "", {}, {}, {}, {{1, ax, ay, az}}};
  load(&model, {vertex(1, 0, 0, 0), vertex(0, 1, 0, 0), vertex(0, 0, 1, 0), vertex(1, 2, 3, 0)}, {root});
  set_model_frame(&model.m, 1.0f);
  auto turn = [](XYZ p, int axis, float a) {
    const float c = std::cos(a), s = std::sin(a);
    if (axis == 0) return XYZ{p.x, c * p.y - s * p.z, s * p.y + c * p.z};
    if (axis == 1) return XYZ{c * p.x + s * p.z, p.y, -s * p.x + c * p.z};
    return XYZ{c * p.x - s * p.y, s * p.x + c * p.y, p.z};
  };
  const XYZ corners[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 2, 3}};
  for (int v = 0; v < 4; v++) expect_posed(model, v, turn(turn(turn(corners[v], 0, ax), 1, ay), 2, az));
}

}  // namespace
}  // namespace vurkhold
