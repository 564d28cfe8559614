// the game's content: the four fixed models loaded in order from the data folder, stopping
// at the first that fails, before the model lists; and their release at shutdown.
#include <gtest/gtest.h>
#include <unistd.h>

#include "assets/crafted_files.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace vurkhold {
namespace {

TEST(ModelList, FixedModelsLoadInOrderBeforeTheLists) {
  test::TempDir dir;
  test::MessageCapture messages;
  char previous[4096] = "";
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_TRUE(platform::enter_data_dir(dir.path().c_str()));
  for (const char* name : {"models/vurk2.m3d", "models/rock.m3d", "models/arrow.m3d"})
    test::write_file(dir.file(name), crafted::model(1, {crafted::small_mesh()}));
  EXPECT_EQ(load_models(), 0);
  EXPECT_EQ(messages.last(), "ERROR: Can't open file models/metalbox.m3d");
  EXPECT_EQ(rock_model.number_of_meshes, 1);
  EXPECT_EQ(arrow_model.mesh, nullptr);  // never reached

  test::write_file(dir.file("models/metalbox.m3d"), crafted::model(1, {crafted::small_mesh(), crafted::small_mesh()}));
  free_models();
  EXPECT_EQ(load_models(), 0);
  EXPECT_EQ(messages.last(), "ERROR: Can't open bmodels.cfg");
  EXPECT_EQ(metalbox_model.number_of_meshes, 2);
  EXPECT_EQ(arrow_model.number_of_meshes, 1);
  free_models();
  EXPECT_EQ(arrow_model.mesh, nullptr);
  EXPECT_EQ(chdir(previous), 0);
}

}  // namespace
}  // namespace vurkhold
