// level file tests: every message at its failure point with the file closed again, the
// rock counts it allows, and round trips through the writer in both versions.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "records/records.h"
#include "support/cave.h"
#include "support/test_support.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

constexpr size_t VOXELS_END = 4 + 4 * VOXELS, MATERIALS_END = VOXELS_END + GRIDCELLS;

// A level cut anywhere: the version, voxels, materials (version 1.1 only), the count and
// two rocks.
std::string level_bytes(float version, int32_t count) {
  std::string s;
  auto put = [&s](auto v) { s.append(reinterpret_cast<const char*>(&v), 4); };
  put(version);
  for (int i = 0; i < VOXELS; i++) put(1.0f);
  for (int i = 0; version == LEVEL_VERSION_1_1 && i < GRIDCELLS; i++) s.push_back(3);
  put(count);
  for (const float f : {1.0f, 2.0f, 3.0f, 0.5f, 2.0f, 3.0f, 4.0f, 1.5f}) put(f);
  return s;
}

// The lowest free descriptor: higher afterwards when a file was left open.
int free_descriptor() {
  const int fd = dup(0);
  close(fd);
  return fd;
}

class LevelFileTest : public ::testing::Test {
 protected:
  test::WorldPools pools;
  test::TempDir dir;
  test::MessageCapture messages;
};

// Version 0 rows write no file. A row may put a value that would bring NaN into the surface
// or the rocks at one offset of a whole file: it is refused like a missing one.
TEST_F(LevelFileTest, EachFailureReportsItsMessageOnceClosesTheFileAndKeepsRocksInRange) {
  const float v10 = LEVEL_VERSION_1_0, v11 = LEVEL_VERSION_1_1;
  const size_t all = std::string::npos;
  struct Row {
    std::string name;
    float version;
    int32_t count;
    size_t size;
    const char* format;
    int rocks_after;
    size_t bad_at = 0;
    float bad = 0;
  };
  const Row rows[] = {
      {"none.vhl", 0, 0, 0, "Can't open file %s.", 3},
      {std::string(200, 'n') + ".vhl", 0, 0, 0, "Can't open file %s.", 3},  // message cut short
      {"a.vhl", 1.05f, 0, all, "File %s is wrong version (1.05).", 3},
      {"a.vhl", std::nextafter(v11, 2.0f), 0, all, "File %s is wrong version (1.10).", 3},  // shows as 1.1
      {std::string(120, 'v') + ".vhl", 3.0f, 0, all, "File %s is wrong version (3.00).", 3},
      {"a.vhl", v10, 2, 3, "File %s is wrong version (0.00).", 3},
      {"a.vhl", v10, 2, VOXELS_END - 1, "Invalid voxel in file %s.", 3},
      {"a.vhl", v10, 2, all, "Invalid voxel in file %s.", 3, 4 + 4 * 500, NAN},
      {"a.vhl", v10, 2, all, "Invalid voxel in file %s.", 3, 4 + 4 * 500, -INFINITY},
      {"a.vhl", v10, 2, VOXELS_END + 3, "Number of rocks is invalid in file %s.", 0},
      {"a.vhl", v10, 2, VOXELS_END + 4 + 28, "Invalid rock in file %s.", 2},  // only the last size missing
      {"a.vhl", v10, 2, all, "Invalid rock in file %s.", 2, VOXELS_END + 4 + 8, INFINITY},
      {"a.vhl", v11, 2, MATERIALS_END - 1, "Invalid material in file %s.", 3},
      {"a.vhl", v11, 2, MATERIALS_END, "Number of rocks is invalid in file %s.", 0},
      {"a.vhl", v10, -1, all, "Number of rocks is invalid in file %s.", 0},
      {"a.vhl", v11, 7, all, "Number of rocks is invalid in file %s.", 0},
  };
  for (const Row& row : rows) {
    const std::string path = dir.path() + "/" + row.name;
    std::string bytes = level_bytes(row.version, row.count).substr(0, row.size);
    if (row.bad_at) bytes.replace(row.bad_at, 4, reinterpret_cast<const char*>(&row.bad), 4);
    if (row.version != 0) test::write_file(path, bytes);
    char expected[400];
    std::snprintf(expected, sizeof expected, row.format, path.c_str());
    rocks = 3;
    platform::clear_captured_messages();
    const int descriptor = free_descriptor();
    const int loaded = load_level_file(path.c_str());
    EXPECT_EQ(std::tuple(loaded, messages.count(), messages.last(), free_descriptor(), rocks),
              std::tuple(0, 1, "ERROR: " + std::string(expected).substr(0, LEVEL_MESSAGE_SIZE - 1), descriptor,
                         row.rocks_after));
  }
}

// A cave with materials 0..255 and six rocks, saved and loaded again through a path
// written the game's way, after the resets a match start does; version 1.0 keeps no
// materials. The writer refuses other versions.
TEST_F(LevelFileTest, BothVersionsRoundTripThroughTheWriter) {
  auto take = [] {
    std::vector<float> s;
    for (int i = 0; i < VOXELS; i++) s.push_back(voxel[i].value);
    for (int i = 0; i < GRIDCELLS; i++) s.insert(s.end(), {gridcell[i].material * 1.0f, gridcell[i].triangles * 1.0f});
    for (int r = 0; r < rocks; r++) s.insert(s.end(), {rock[r].p.x, rock[r].p.y, rock[r].p.z, rock[r].size});
    return s;
  };
  const std::string path = dir.file("levels/cave.vhl");
  for (const float version : {LEVEL_VERSION_1_0, LEVEL_VERSION_1_1}) {
    test::carve_test_cave(3);
    const bool materials = version == LEVEL_VERSION_1_1;
    for (int i = 0; i < GRIDCELLS; i++) gridcell[i].material = static_cast<uint8_t>(materials ? i * 7 % 256 : 0);
    rocks = 6;
    for (int r = 0; r < 6; r++) rock[r] = {{r * 3.5f, 7.25f, 30.0f - r}, nullptr, 1.0f + r, 0.0f};
    const std::vector<float> before = take();
    ASSERT_EQ(save_level_file(path.c_str(), version), 1);
    EXPECT_EQ(test::read_file(path).size(), (materials ? 176524u : 143756u) + 6 * 16);
    bind_world();  // a solid field, no triangles, every node empty
    for (int i = 0; i < GRIDCELLS; i++) gridcell[i].material = 2;
    rocks = 5;
    ASSERT_EQ(load_level_file((dir.path() + "\\LEVELS\\CAVE.VHL").c_str()), 1);
    EXPECT_EQ(take(), before) << "version " << version;
  }
  EXPECT_EQ(messages.count(), 0);
  EXPECT_EQ(save_level_file(path.c_str(), 1.05f), 0);
  EXPECT_EQ(save_level_file(path.c_str(), 2.0f), 0);
}

}  // namespace
}  // namespace vurkhold
