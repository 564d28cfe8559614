// model files: refused files with their exact messages, parent names, the model's reach,
// and two real files.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "assets/crafted_files.h"

namespace vurkhold {
namespace {

using namespace crafted;
using crafted::vertex;  // not the world's vertex pool

TEST(ModelFile, RefusedFilesNameTheirFault) {
  const std::vector<std::string> three = {vertex(0, 0, 0), vertex(1, 0, 0), vertex(0, 1, 0)};
  auto file = [](const std::vector<std::string>& meshes, const std::vector<Bone>& bones = {}) {
    return model(1, meshes, bones);
  };
  const std::vector<Bone> two = {{"root", "", {}, {}, {}, {}}, {"arm", "root", {}, {}, {}, {}}};
  std::vector<Bone> many(250, Bone{"b", "", {}, {}, {}, {}});
  const std::string polygon = "Polygon 1 in mesh 1 in file ", invalid = " is invalid.";
  const std::string bone = "The bone 1 in file ";
  std::string no_material_count = file({small_mesh()});
  no_material_count.replace(no_material_count.find("Materials: 0"), 12, "Materials: many");
  std::string frames_1e9 = file({small_mesh()});
  frames_1e9.replace(frames_1e9.find("Frames: 1"), 9, "Frames: 1e9");
  const struct {
    const char* name;
    std::string text;
    std::string before, after;  // the message around the file's path
  } rows[] = {
      {"500 frames", model(500, {small_mesh()}), "Bad number of frames in file ", "."},
      {"no meshes", file({}), "Bad number of meshes in file ", "."},
      {"100 meshes", file(std::vector<std::string>(100, small_mesh())), "Bad number of meshes in file ", "."},
      {"10000 vertices", file({mesh(std::vector<std::string>(10000, vertex(0, 0, 0)), {triangle(0, 1, 2)})}),
       "Bad number of vertices in mesh 1 in file ", ""},
      {"250 bones", file({small_mesh()}, many), "Bad number of bones in file ", "."},
      {"vertex index -1", file({mesh(three, {triangle(0, -1, 2)})}), polygon, invalid},
      {"six numbers", file({mesh(three, {"0 0 1 2 0 0\n"})}), polygon, invalid},
      {"normal index 1 of 1", file({mesh(three, {triangle(0, 1, 2, 0, 1, 0)})}), polygon, invalid},
      {"vertex index 3 of 3", file({small_mesh(), mesh(three, {triangle(0, 1, 2), triangle(0, 1, 3)})}),
       "Polygon 2 in mesh 2 in file ", invalid},
      {"bone 2 of 2", file({small_mesh(2)}, two), "Vertex 1 in mesh 1 in file ", invalid},
      // 257 would name bone 1 if the value were cut to eight bits.
      {"bone 257 of 2", file({small_mesh(0), small_mesh(257)}, two), "Vertex 1 in mesh 2 in file ", invalid},
      {"materials without a number", no_material_count, "Bad number of materials in file ", "."},
      {"frames 1e9", frames_1e9, "Bad number of frames in file ", "."},  // not 1
      {"vertex at nan", file({mesh({vertex(0, 0, 0), vertex(NAN, 0, 0), vertex(0, 1, 0)}, {triangle(0, 1, 2)})}),
       "Vertex 2 in mesh 1 in file ", invalid},
      // Finite, but the squared distance leaves the float range: the reach would be infinite;
      // a bone or key beyond it (and so at infinity) is refused by the same measure.
      {"squares past the range", file({mesh({vertex(0, 0, 0), vertex(1, 0, 0), "0 0 1.5e19 1.5e19 0 0 -1\n"})}),
       "Vertex 3 in mesh 1 in file ", invalid},
      {"bone at 1e20", file({small_mesh(0)}, {{"root", "", {0, 0, -1e20f}, {}, {}, {}}}), bone, " is invalid"},
      {"position key at 1e20", file({small_mesh(0)}, {{"root", "", {}, {}, {{1, 1e20f, 0, 0}}, {}}}),
       "Movement frame 1 in bone 1 int file ", " is invalid"},
      {"101 position keys", file({small_mesh(0)}, {{"root", "", {}, {}, std::vector<Key>(101, Key{1, 0, 0, 0}), {}}}),
       "Bad number of movement frames in bone 1 in file ", "."},
      {"key at nan", file({small_mesh(0)}, {{"root", "", {}, {}, {}, {{1, 0, NAN, 0}}}}),
       "Rotation frame 1 in bone 1 in file ", " is invalid"},
  };
  for (const auto& row : rows) {
    test::MessageCapture messages;
    Model loaded;
    std::string path;
    EXPECT_EQ(load(row.text, &loaded.m, &path), 0) << row.name;
    EXPECT_EQ(messages.count(), 1) << row.name;
    EXPECT_EQ(messages.last(), "ERROR: " + (row.before + path + row.after).substr(0, 79)) << row.name;
  }
}

TEST(ModelFile, ParentIsTheLastEarlierBoneOfThatName) {
  test::MessageCapture messages;
  const char* names[][2] = {{"root", "nothing"}, {"twin", "root"}, {"twin", "root"},
                            {"child", "twin"},    {"early", "late"}, {"late", ""}};
  std::vector<Bone> bones;
  for (const auto& n : names) bones.push_back({n[0], n[1], {}, {}, {}, {}});
  Model loaded;
  // Bones without keys of either kind: empty key lists are no failure.
  ASSERT_EQ(load(model(2, {small_mesh(0)}, bones), &loaded.m), 1);
  const int parents[] = {-1, 0, 0, 2, -1, -1};
  for (int i = 0; i < 6; i++) EXPECT_EQ(loaded.m.bone[i].parent, parents[i]) << i;
  EXPECT_EQ(messages.count(), 0);
}

TEST(ModelFile, MaxRadiusIsTheSquaredReachOverTheFramesThereAre) {
  // The bone carries its vertices from the origin along x: 2 out at frame 4, the last of five
  // frames, and 2.5 out at frame 5, which does not exist.
  Model loaded;
  const Bone walker{"walker", "", {}, {}, {{0, 0, 0, 0}, {5, 2.5f, 0, 0}}, {}};
  ASSERT_EQ(load(model(5, {mesh(std::vector<std::string>(3, vertex(0, 0, 0, 0)))}, {walker}), &loaded.m), 1);
  EXPECT_FLOAT_EQ(loaded.m.max_radius, 4.0f);
}

// Files written by MilkShape itself, with their materials and comment sections.
TEST(ModelFile, RealFilesLoadWithTheCountsTheyDeclare) {
  test::MessageCapture messages;
  Model tower, soldier;
  ASSERT_EQ(load_milkshape_model(&tower.m, test::fixture_path("m3d/multimesh_guntower.txt").c_str()), 1);
  ASSERT_EQ(load_milkshape_model(&soldier.m, test::fixture_path("m3d/animated_soldier.txt").c_str()), 1);
  ASSERT_EQ(std::tuple(tower.m.number_of_meshes, soldier.m.number_of_bones, messages.count()), std::tuple(6, 19, 0));
  // The name's CR LF is read as one line end.
  const BONE& foot = soldier.m.bone[18];
  EXPECT_EQ(std::tuple(tower.m.mesh[5].number_of_polygons, soldier.m.mesh[0].number_of_polygons,
                       soldier.m.bone[17].parent, foot.number_of_r_frames, std::string(foot.name)),
            std::tuple(12, 620, 16, 6, "\"rightfoot\"\n"));
}

}  // namespace
}  // namespace vurkhold
