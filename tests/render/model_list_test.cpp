// the game's models: the fixed models in their order, then the model lists, from a data
// folder built in the test; and their release at shutdown.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "render/m3d_text.h"
#include "render/render.h"
#include "support/gl_context.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

// A scratch data folder that is the working folder while the test runs; the models are
// released and the list counts cleared afterwards.
class ModelList : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ensure_gl_context());  // weapon models bring their textures
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_TRUE(platform::enter_data_dir(dir.path().c_str()));
  }
  void TearDown() override {
    free_models();
    bullet_models = 0;
    weapon_models = 0;
    EXPECT_EQ(chdir(previous), 0);
  }

  void write(const std::string& name, const std::string& text) { test::write_file(dir.file(name), text); }

  // A model whose one vertex lies `reach` out along x.
  static std::string model_text(float reach, int meshes = 1) {
    std::string s = m3d::header(1, meshes);
    for (int i = 0; i < meshes; i++) {
      s += m3d::mesh({m3d::vertex(reach, 0, 0), m3d::vertex(0, 0, 0), m3d::vertex(0, 0, 0)}, {m3d::triangle(0, 1, 2)});
    }
    return m3d::crlf(s + m3d::materials(1) + m3d::bones({}));
  }

  void write_fixed_models() {
    write("models/vurk2.m3d", model_text(1, 5));
    write("models/rock.m3d", model_text(2));
    write("models/metalbox.m3d", model_text(3, 2));
    write("models/arrow.m3d", model_text(4));
  }

  void write_lists() {
    write("other/bmodels.cfg", "1.0\n2\n\nball\n0\nball.m3d\n\nspark\n1\nspark.m3d\n");
    write("models/ball.m3d", model_text(5));
    write("models/spark.m3d", model_text(6));
    write("other/wmodels.cfg", "1.0\n1\n\ngun\ngun.m3d\ngun.tga\n");
    write("models/gun.m3d", model_text(7));
    // 64 x 64 uncompressed 24-bit TGA.
    std::vector<uint8_t> tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 64, 0, 64, 0, 24, 0};
    tga.resize(tga.size() + 64 * 64 * 3, 0x80);
    test::write_file(dir.file("textures/gun.tga"), tga);
  }

  test::TempDir dir;
  char previous[4096] = "";
};

TEST_F(ModelList, FixedModelsLoadInOrderAndStopAtTheFirstFailure) {
  test::MessageCapture messages;
  EXPECT_EQ(load_models(), 0);
  EXPECT_EQ(messages.last(), "ERROR: Can't open file models/vurk2.m3d");

  write("models/vurk2.m3d", model_text(1, 5));
  write("models/metalbox.m3d", model_text(3, 2));
  EXPECT_EQ(load_models(), 0);
  EXPECT_EQ(messages.last(), "ERROR: Can't open file models/rock.m3d");
  EXPECT_EQ(vurk_model.number_of_meshes, 5);
  EXPECT_EQ(metalbox_model.mesh, nullptr);  // never reached
  EXPECT_EQ(messages.count(), 2);

  write("models/rock.m3d", model_text(2));
  write("models/arrow.m3d", "// MilkShape 3D ASCII\r\n\r\nFrames: 500\r\n");
  free_models();
  EXPECT_EQ(load_models(), 0);
  EXPECT_EQ(messages.last(), "ERROR: Bad number of frames in file models/arrow.m3d.");
  EXPECT_EQ(metalbox_model.number_of_meshes, 2);
}

TEST_F(ModelList, EverythingLoadsThenTheListsAndAllIsReleased) {
  test::MessageCapture messages;
  write_fixed_models();
  // The fixed models are in; the lists come next.
  EXPECT_EQ(load_models(), 0);
  EXPECT_EQ(messages.last(), "ERROR: Can't open bmodels.cfg");
  free_models();

  write_lists();
  ASSERT_EQ(load_models(), 1) << messages.last();
  EXPECT_EQ(messages.count(), 1);
  EXPECT_EQ(vurk_model.number_of_meshes, 5);
  EXPECT_FLOAT_EQ(rock_model.max_radius, 4.0f);
  EXPECT_EQ(metalbox_model.number_of_meshes, 2);
  EXPECT_FLOAT_EQ(arrow_model.max_radius, 16.0f);
  ASSERT_EQ(bullet_models, 2);
  ASSERT_EQ(weapon_models, 1);
  EXPECT_STREQ(bullet_model[1].name, "spark");
  EXPECT_FLOAT_EQ(bullet_model[1].max_radius, 36.0f);
  EXPECT_STREQ(weapon_model[0].name, "gun");
  EXPECT_FLOAT_EQ(weapon_model[0].max_radius, 49.0f);
  EXPECT_NE(weapon_model[0].texture, 0u);
  glDeleteTextures(1, &weapon_model[0].texture);

  free_models();
  for (MODEL* m : {&vurk_model, &rock_model, &metalbox_model, &arrow_model, &bullet_model[0], &bullet_model[1],
                   &weapon_model[0]}) {
    EXPECT_EQ(m->mesh, nullptr);
    EXPECT_EQ(m->number_of_meshes, 0);
  }
  EXPECT_EQ(bullet_model[0].name, nullptr);
  EXPECT_EQ(weapon_model[0].name, nullptr);
  EXPECT_EQ(bullet_model[1].type, MT_SPRITE);  // kept: release touches only what was allocated
  free_models();  // harmless twice
  EXPECT_EQ(vurk_model.mesh, nullptr);
}

}  // namespace
}  // namespace vurkhold
