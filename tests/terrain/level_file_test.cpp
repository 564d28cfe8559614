// level file tests: every message at its failure point, the counts and sizes the format
// allows, round trips through the writer in both versions, and unsafe input kept safe.
#include <gtest/gtest.h>

#include <dirent.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "shell/shell.h"
#include "support/cave.h"
#include "support/test_support.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

constexpr size_t VOXEL_BLOCK_END = 4 + 4 * 35937;        // 143752
constexpr size_t MATERIAL_BLOCK_END = VOXEL_BLOCK_END + 32768;  // 176520

void put_float(std::string& s, float f) { s.append(reinterpret_cast<const char*>(&f), 4); }
void put_int(std::string& s, int32_t n) { s.append(reinterpret_cast<const char*>(&n), 4); }

// A level whose voxel i holds (i mod 7) - 3, material i holds i mod 256, and rock r sits
// at (r + 1, r + 2, r + 3) with size r + 0.5.
std::string level_bytes(float version, int32_t rock_count, int rocks_written = -1) {
  std::string s;
  put_float(s, version);
  for (int i = 0; i < VOXELS; i++) put_float(s, static_cast<float>(i % 7 - 3));
  if (version == 1.1f)
    for (int i = 0; i < GRIDCELLS; i++) s.push_back(static_cast<char>(i % 256));
  put_int(s, rock_count);
  if (rocks_written < 0) rocks_written = rock_count;
  for (int r = 0; r < rocks_written; r++) {
    put_float(s, r + 1.0f);
    put_float(s, r + 2.0f);
    put_float(s, r + 3.0f);
    put_float(s, r + 0.5f);
  }
  return s;
}

int open_descriptors() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) n++;
    closedir(d);
  }
  return n;
}

class LevelFileTest : public ::testing::Test {
 protected:
  test::WorldPools pools;
  test::TempDir dir;
  test::MessageCapture messages;

  std::string write(const std::string& name, const std::string& bytes) {
    const std::string path = dir.file(name);
    test::write_file(path, bytes);
    return path;
  }

  // Loads and expects one failure with exactly this message, the file closed again.
  void expect_failure(const std::string& path, const std::string& text) {
    const int before = open_descriptors();
    EXPECT_EQ(load_level_file(path.c_str()), 0);
    EXPECT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last(), "ERROR: " + text);
    EXPECT_EQ(open_descriptors(), before);
    platform::clear_captured_messages();
  }
};

TEST_F(LevelFileTest, MissingFileAndWrongVersionsAreReportedWithTwoDecimals) {
  expect_failure(dir.file("none.vhl"), "Can't open file " + dir.file("none.vhl") + ".");

  std::string bytes = level_bytes(1.05f, 0);
  std::string path = write("a.vhl", bytes);
  expect_failure(path, "File " + path + " is wrong version (1.05).");

  path = write("b.vhl", level_bytes(2.0f, 0));
  expect_failure(path, "File " + path + " is wrong version (2.00).");

  // 1.1 must be exactly the single-precision value: its neighbour is rejected although
  // it prints the same.
  float near = std::nextafter(1.1f, 2.0f);
  bytes = level_bytes(1.0f, 0);
  std::memcpy(bytes.data(), &near, 4);
  path = write("c.vhl", bytes);
  expect_failure(path, "File " + path + " is wrong version (1.10).");
}

TEST_F(LevelFileTest, AFileTooShortForTheVersionShowsZero) {
  for (size_t size : {0u, 1u, 3u}) {
    const std::string path = write("short" + std::to_string(size) + ".vhl", level_bytes(1.0f, 0).substr(0, size));
    expect_failure(path, "File " + path + " is wrong version (0.00).");
  }
}

TEST_F(LevelFileTest, ShortReadsAtEachBlockAreReportedByTheBlockCutShort) {
  const std::string v10 = level_bytes(1.0f, 2), v11 = level_bytes(1.1f, 2);
  struct Cut {
    const std::string* bytes;
    size_t size;
    const char* message;
  } cuts[] = {
      {&v10, 4, "Invalid voxel in file %s."},
      {&v10, 8, "Invalid voxel in file %s."},
      {&v10, VOXEL_BLOCK_END - 1, "Invalid voxel in file %s."},
      {&v10, VOXEL_BLOCK_END, "Number of rocks is invalid in file %s."},
      {&v10, VOXEL_BLOCK_END + 3, "Number of rocks is invalid in file %s."},
      {&v10, VOXEL_BLOCK_END + 4, "Invalid rock in file %s."},
      {&v10, VOXEL_BLOCK_END + 4 + 16, "Invalid rock in file %s."},
      {&v10, VOXEL_BLOCK_END + 4 + 28, "Invalid rock in file %s."},  // only the last size missing
      {&v11, VOXEL_BLOCK_END, "Invalid material in file %s."},
      {&v11, VOXEL_BLOCK_END + 1000, "Invalid material in file %s."},
      {&v11, MATERIAL_BLOCK_END - 1, "Invalid material in file %s."},
      {&v11, MATERIAL_BLOCK_END, "Number of rocks is invalid in file %s."},
      {&v11, MATERIAL_BLOCK_END + 4 + 31, "Invalid rock in file %s."},
  };
  int n = 0;
  for (const Cut& cut : cuts) {
    const std::string path = write("cut" + std::to_string(n++) + ".vhl", cut.bytes->substr(0, cut.size));
    char expected[400];
    std::snprintf(expected, sizeof expected, cut.message, path.c_str());
    SCOPED_TRACE(cut.size);
    expect_failure(path, expected);
  }
}

TEST_F(LevelFileTest, VoxelsReadBeforeACutStayAndTheRestAreUntouched) {
  const std::string path = write("cut.vhl", level_bytes(1.0f, 0).substr(0, 4 + 4 * 100 + 2));
  expect_failure(path, "Invalid voxel in file " + path + ".");
  EXPECT_EQ(voxel[99].value, static_cast<float>(99 % 7 - 3));
  EXPECT_EQ(voxel[100].value, SOLID_VALUE);
}

TEST_F(LevelFileTest, RockCountsOutsideZeroToSixAreRejectedAndNeverKept) {
  for (int32_t count : {-1, 7, 1000000, INT32_MIN}) {
    rocks = 3;
    const std::string path = write("rocks.vhl", level_bytes(1.1f, count, 0));
    SCOPED_TRACE(count);
    expect_failure(path, "Number of rocks is invalid in file " + path + ".");
    EXPECT_EQ(rocks, 0);
  }
  const std::string path = write("six.vhl", level_bytes(1.1f, 6));
  ASSERT_EQ(load_level_file(path.c_str()), 1);
  EXPECT_EQ(messages.count(), 0);
  ASSERT_EQ(rocks, 6);
  for (int r = 0; r < 6; r++) {
    EXPECT_EQ(rock[r].p.x, r + 1.0f);
    EXPECT_EQ(rock[r].p.y, r + 2.0f);
    EXPECT_EQ(rock[r].p.z, r + 3.0f);
    EXPECT_EQ(rock[r].size, r + 0.5f);
  }
}

TEST_F(LevelFileTest, ASmallestVersion10FileLoadsWithMaterialsZeroAndNoRocks) {
  for (int i = 0; i < GRIDCELLS; i++) gridcell[i].material = 3;
  std::string bytes = level_bytes(1.0f, 0);
  ASSERT_EQ(bytes.size(), 143756u);
  const std::string path = write("min.vhl", bytes);
  ASSERT_EQ(load_level_file(path.c_str()), 1);
  EXPECT_EQ(messages.count(), 0);
  EXPECT_EQ(rocks, 0);
  for (int i = 0; i < GRIDCELLS; i++) ASSERT_EQ(gridcell[i].material, 0) << i;
  for (int i = 0; i < VOXELS; i++) ASSERT_EQ(voxel[i].value, static_cast<float>(i % 7 - 3)) << i;
  // The surface is built: the field alternates signs, so cells hold triangles.
  long triangles = 0;
  for (int i = 0; i < GRIDCELLS; i++) triangles += gridcell[i].triangles;
  EXPECT_GT(triangles, 0);
  EXPECT_FALSE(octtree[0].empty);
}

TEST_F(LevelFileTest, MaterialBytesAreTakenAsTheyAreAndTrailingBytesIgnored) {
  std::string bytes = level_bytes(1.1f, 1) + "trailing bytes are not read";
  const std::string path = write("mat.vhl", bytes);
  ASSERT_EQ(load_level_file(path.c_str()), 1);
  EXPECT_EQ(rocks, 1);
  for (int i = 0; i < GRIDCELLS; i++) ASSERT_EQ(gridcell[i].material, i % 256) << i;
  EXPECT_EQ(gridcell[255].material, 255);
}

TEST_F(LevelFileTest, PathsGoThroughThePlatformResolver) {
  const std::string path = write("levels/test1.vhl", level_bytes(1.0f, 0));
  const std::string game_style = dir.path() + "\\LEVELS\\TEST1.VHL";
  EXPECT_EQ(load_level_file(game_style.c_str()), 1);
  EXPECT_EQ(messages.count(), 0);
}

TEST_F(LevelFileTest, ALongFileNameCutsTheMessageInsteadOfOverrunning) {
  const std::string name = dir.path() + "/" + std::string(200, 'n') + ".vhl";
  EXPECT_EQ(load_level_file(name.c_str()), 0);
  ASSERT_EQ(messages.count(), 1);
  const std::string full = "Can't open file " + name + ".";
  EXPECT_EQ(messages.last(), "ERROR: " + full.substr(0, LEVEL_MESSAGE_SIZE - 1));

  const std::string path = write(std::string(120, 'v') + ".vhl", level_bytes(3.0f, 0));
  platform::clear_captured_messages();
  EXPECT_EQ(load_level_file(path.c_str()), 0);
  const std::string wrong = "File " + path + " is wrong version (3.00).";
  EXPECT_EQ(messages.last(), "ERROR: " + wrong.substr(0, LEVEL_MESSAGE_SIZE - 1));
}

class LevelRoundTripTest : public LevelFileTest {
 protected:
  struct Snapshot {
    std::vector<float> values;
    std::vector<uint8_t> materials, triangles;
    std::vector<ROCK> rocks;
  };
  static Snapshot take() {
    Snapshot s;
    for (int i = 0; i < VOXELS; i++) s.values.push_back(voxel[i].value);
    for (int i = 0; i < GRIDCELLS; i++) s.materials.push_back(gridcell[i].material);
    for (int i = 0; i < GRIDCELLS; i++) s.triangles.push_back(gridcell[i].triangles);
    for (int i = 0; i < rocks; i++) s.rocks.push_back(rock[i]);
    return s;
  }
  // The state a match start leaves before loading.
  static void reset_terrain() {
    for (int i = 0; i < VOXELS; i++) voxel[i].value = 100000.0f;
    for (int i = 0; i < GRIDCELLS; i++) gridcell[i].triangles = 0, gridcell[i].material = 0;
    reset_octtree_flags();
    rocks = 5;
  }
};

TEST_F(LevelRoundTripTest, Version11KeepsFieldMaterialsRocksAndSurface) {
  test::carve_test_cave(3);
  rocks = 3;
  for (int r = 0; r < 3; r++) rock[r] = {{r * 3.5f, 7.25f, 30.0f - r}, nullptr, 1.0f + r, 0.0f};
  const Snapshot before = take();
  const std::string path = dir.file("cave11.vhl");
  ASSERT_EQ(save_level_file(path.c_str(), LEVEL_VERSION_1_1), 1);
  EXPECT_EQ(test::read_file(path).size(), 176524u + 16 * 3);

  reset_terrain();
  ASSERT_EQ(load_level_file(path.c_str()), 1);
  const Snapshot after = take();
  EXPECT_EQ(after.values, before.values);
  EXPECT_EQ(after.materials, before.materials);
  EXPECT_EQ(after.triangles, before.triangles);
  ASSERT_EQ(after.rocks.size(), 3u);
  for (int r = 0; r < 3; r++) {
    EXPECT_EQ(after.rocks[r].p.x, before.rocks[r].p.x);
    EXPECT_EQ(after.rocks[r].p.y, before.rocks[r].p.y);
    EXPECT_EQ(after.rocks[r].p.z, before.rocks[r].p.z);
    EXPECT_EQ(after.rocks[r].size, before.rocks[r].size);
  }
  EXPECT_FALSE(octtree[0].empty);
}

TEST_F(LevelRoundTripTest, Version10DropsMaterialsAndKeepsTheRest) {
  test::carve_test_cave(4);
  rocks = 0;
  const Snapshot before = take();
  const std::string path = dir.file("cave10.vhl");
  ASSERT_EQ(save_level_file(path.c_str(), LEVEL_VERSION_1_0), 1);
  const std::string bytes = test::read_file(path);
  ASSERT_EQ(bytes.size(), 143756u);
  float version;
  std::memcpy(&version, bytes.data(), 4);
  EXPECT_EQ(version, 1.0f);

  reset_terrain();
  for (int i = 0; i < GRIDCELLS; i++) gridcell[i].material = 2;
  ASSERT_EQ(load_level_file(path.c_str()), 1);
  const Snapshot after = take();
  EXPECT_EQ(after.values, before.values);
  EXPECT_EQ(after.triangles, before.triangles);
  EXPECT_EQ(after.materials, std::vector<uint8_t>(GRIDCELLS, 0));
  EXPECT_EQ(rocks, 0);
}

TEST_F(LevelRoundTripTest, TheWriterRefusesOtherVersionsAndUnwritablePaths) {
  EXPECT_EQ(save_level_file(dir.file("x.vhl").c_str(), 1.05f), 0);
  EXPECT_EQ(save_level_file(dir.file("x.vhl").c_str(), 2.0f), 0);
  EXPECT_EQ(save_level_file((dir.path() + "/no/such/folder/x.vhl").c_str(), LEVEL_VERSION_1_1), 0);
  EXPECT_EQ(messages.count(), 0);
}

}  // namespace
}  // namespace vurkhold
