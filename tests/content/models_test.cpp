// models of the generated game folder: every model loads without a message, faces and
// normals point out of their solids (into the level for the metal box), and the rock has
// the reach levels are made for.
#include <gtest/gtest.h>

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
  // Levels place rocks for a reach of 1 to 1.2 units a unit of size; the collision takes
  // the squared reach.
  Loaded rock("rock");
  EXPECT_GE(rock.m.max_radius, 1.0f);
  EXPECT_LE(rock.m.max_radius, 1.44f);
  // The box's walls are the level's bounds, 0 to 32 on each axis, seen from inside.
  Loaded box("metalbox");
  ASSERT_TRUE(box.ok);
  ASSERT_GE(box.m.number_of_meshes, 2);
  EXPECT_NEAR(volume(box.m.mesh[0]), -32.0 * 32 * 32, 1.0);
}

}  // namespace
}  // namespace vurkhold
