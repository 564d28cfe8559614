// models of the generated game folder: every model loads without a message, faces and
// normals point out of their solids, the vurk stays inside its sphere in every frame with its parts
// where the game draws from them, and the rock and the metal box have the reach and span
// the game builds on.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "assets/assets.h"
#include "content/manifest.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

struct Loaded {
  MODEL m = {};
  Loaded(const std::string& stem) {
    test::MessageCapture messages;
    ok = load_milkshape_model(&m, (std::string(VURK_GAME_DIR) + "/models/" + stem + ".m3d").c_str()) == 1 &&
         messages.count() == 0;
  }
  ~Loaded() { free_model(&m); }
  bool ok = false;
};

// Sum over a mesh's triangles of a . (b x c) / 6: the enclosed volume, negative when the
// faces of closed solids point inwards.
double volume(const MESH& mesh) {
  double v = 0;
  for (int i = 0; i < mesh.number_of_polygons; i++) {
    const XYZ a = mesh.polygon[i].vertex[0]->p, b = mesh.polygon[i].vertex[1]->p, c = mesh.polygon[i].vertex[2]->p;
    v += a.x * (b.y * c.z - b.z * c.y) + a.y * (b.z * c.x - b.x * c.z) + a.z * (b.x * c.y - b.y * c.x);
  }
  return v / 6;
}

XYZ centroid(const POLYGON& p) {
  return {(p.vertex[0]->p.x + p.vertex[1]->p.x + p.vertex[2]->p.x) / 3,
          (p.vertex[0]->p.y + p.vertex[1]->p.y + p.vertex[2]->p.y) / 3,
          (p.vertex[0]->p.z + p.vertex[1]->p.z + p.vertex[2]->p.z) / 3};
}

// Corners whose normal turns away from their triangle's face.
int normals_against_faces(const MODEL& m) {
  int against = 0;
  for (int i = 0; i < m.number_of_meshes; i++)
    for (int t = 0; t < m.mesh[i].number_of_polygons; t++) {
      const POLYGON& p = m.mesh[i].polygon[t];
      for (const IJK* n : p.vector)
        if (n->i * p.normal.i + n->j * p.normal.j + n->k * p.normal.k <= 0) against++;
    }
  return against;
}

TEST(ContentModels, EveryModelLoadsWithItsSolidsFacingOut) {
  std::vector<std::string> solid = {"vurk2", "rock", "arrow"};
  for (const auto& w : content::weapon_models) solid.push_back(w.stem);
  for (const auto& b : content::bullet_models)
    if (!b.sprite) solid.push_back(b.stem);
  for (const std::string& stem : solid) {
    Loaded model(stem);
    ASSERT_TRUE(model.ok) << stem;
    for (int i = 0; i < model.m.number_of_meshes; i++) EXPECT_GT(volume(model.m.mesh[i]), 0) << stem << " mesh " << i;
    EXPECT_EQ(normals_against_faces(model.m), 0) << stem;
  }
  for (const auto& b : content::bullet_models) {
    if (!b.sprite) continue;
    Loaded model(b.stem);
    ASSERT_TRUE(model.ok) << b.stem;
    for (int i = 0; i < model.m.mesh[0].number_of_polygons; i++)
      EXPECT_GT(model.m.mesh[0].polygon[i].normal.k, 0.99f) << b.stem;
  }
}

TEST(ContentModels, VurkPosesInsideItsSphereInEveryFrame) {
  Loaded vurk("vurk2");
  ASSERT_TRUE(vurk.ok);
  ASSERT_GE(vurk.m.number_of_meshes, 5);
  ASSERT_GT(vurk.m.number_of_bones, 0);
  for (float frame = 0; frame <= 70; frame += 0.5f) {
    set_model_frame(&vurk.m, frame);
    for (int i = 0; i < vurk.m.number_of_meshes; i++)
      for (int j = 0; j < vurk.m.mesh[i].number_of_vertices; j++) {
        const XYZ p = vurk.m.mesh[i].vertex[j].p;
        const float d = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
        ASSERT_TRUE(d <= 0.7f) << "frame " << frame << " mesh " << i << " vertex " << j << " at " << d;
      }
  }
}

// The points the game draws from: the rope leaves the raised rope arm (mesh 2 turned 90
// degrees about x) at (0.25, 0.45, 0); jetpack particles start 0.511 under the centre.
TEST(ContentModels, VurkPartsMeetTheRopeAndTheJetpackSpray) {
  Loaded vurk("vurk2");
  ASSERT_TRUE(vurk.ok);
  set_model_frame(&vurk.m, 1);
  float rope = 1e9f, nozzle = 1e9f;
  const MESH& arm = vurk.m.mesh[2];
  for (int j = 0; j < arm.number_of_vertices; j++) {
    const XYZ p = arm.vertex[j].p;
    rope = std::fmin(rope, std::hypot(p.x - 0.25f, -p.z - 0.45f, p.y));
  }
  const MESH& jetpack = vurk.m.mesh[4];
  for (int j = 0; j < jetpack.number_of_vertices; j++) {
    const XYZ p = jetpack.vertex[j].p;
    nozzle = std::fmin(nozzle, std::hypot(p.x, p.y + 0.511f, p.z));
  }
  EXPECT_LT(rope, 0.04f);
  EXPECT_LT(nozzle, 0.08f);
}

// Weapons are drawn about the vurk's centre unscaled: each reaches forward to the muzzle,
// 0.49 ahead, and no further.
TEST(ContentModels, WeaponsReachTheMuzzle) {
  for (const auto& w : content::weapon_models) {
    Loaded model(w.stem);
    ASSERT_TRUE(model.ok) << w.stem;
    float front = 0;
    for (int j = 0; j < model.m.mesh[0].number_of_vertices; j++) front = std::fmin(front, model.m.mesh[0].vertex[j].p.z);
    EXPECT_NEAR(front, -0.49f, 0.006f) << w.stem;
  }
}

// Levels place rocks for a reach of 1 to 1.2 units a unit of size; the collision takes the
// squared reach.
TEST(ContentModels, RockReachesOneUnit) {
  Loaded rock("rock");
  ASSERT_TRUE(rock.ok);
  EXPECT_GE(rock.m.max_radius, 1.0f);
  EXPECT_LE(rock.m.max_radius, 1.44f);
}

TEST(ContentModels, MetalBoxSpansTheLevelFacingIn) {
  Loaded box("metalbox");
  ASSERT_TRUE(box.ok);
  ASSERT_GE(box.m.number_of_meshes, 2);
  const MESH& walls = box.m.mesh[0];
  float lo = 1e9f, hi = -1e9f;
  for (int j = 0; j < walls.number_of_vertices; j++)
    for (float v : {walls.vertex[j].p.x, walls.vertex[j].p.y, walls.vertex[j].p.z}) {
      lo = std::fmin(lo, v);
      hi = std::fmax(hi, v);
    }
  EXPECT_EQ(lo, 0.0f);
  EXPECT_EQ(hi, 32.0f);
  for (int i = 0; i < walls.number_of_polygons; i++) {
    const XYZ c = centroid(walls.polygon[i]);
    const IJK n = walls.polygon[i].normal;
    EXPECT_GT(n.i * (16 - c.x) + n.j * (16 - c.y) + n.k * (16 - c.z), 0) << "wall triangle " << i;
  }
}

}  // namespace
}  // namespace vurkhold
