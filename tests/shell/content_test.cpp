// the game's content: the fixed models refused with too few meshes for their drawn roles,
// and loaded before the model lists; and their release at shutdown.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "assets/crafted_files.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace vurkhold {
namespace {

TEST(ModelList, FixedModelsNeedTheirMeshesAndLoadBeforeTheLists) {
  test::TempDir dir;
  test::MessageCapture messages;
  test::KeepWorkingDir cwd;
  ASSERT_TRUE(platform::enter_data_dir(dir.path().c_str()));
  auto meshes = [](int n) { return crafted::model(1, std::vector<std::string>(n, crafted::small_mesh())); };
  test::write_file(dir.file("models/vurk2.m3d"), meshes(5));
  test::write_file(dir.file("models/rock.m3d"), meshes(1));
  test::write_file(dir.file("models/arrow.m3d"), meshes(1));
  test::write_file(dir.file("models/metalbox.m3d"), meshes(2));
  // The drawing code reads the vurk's meshes 0..4 and the box's 0..1.
  const struct {
    const char* file;
    int meshes;
    const char* message;
  } too_few[] = {{"models/vurk2.m3d", 4, "ERROR: Too few meshes (4 of 5) in file models/vurk2.m3d."},
                 {"models/metalbox.m3d", 1, "ERROR: Too few meshes (1 of 2) in file models/metalbox.m3d."}};
  for (const auto& row : too_few) {
    const std::string good = test::read_file(dir.file(row.file));
    test::write_file(dir.file(row.file), meshes(row.meshes));
    EXPECT_EQ(load_models(), 0) << row.file;
    EXPECT_EQ(messages.last(), row.message);
    free_models();
    test::write_file(dir.file(row.file), good);
  }

  EXPECT_EQ(load_models(), 0);
  EXPECT_EQ(std::tuple(messages.last(), metalbox_model.number_of_meshes, arrow_model.number_of_meshes),
            std::tuple("ERROR: Can't open bmodels.cfg", 2, 1));
  free_models();
  EXPECT_EQ(arrow_model.mesh, nullptr);
}

}  // namespace
}  // namespace vurkhold
