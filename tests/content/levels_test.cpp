// levels of the generated game folder: each shipped level loads cleanly and can be played
// (two materials or more on its walls, rocks in the open, room for both spawn searches, no
// closed pockets), and the level maker makes the same bytes from the same settings and
// refuses to write through a symlink.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "content/manifest.h"
#include "geometry/cave_walk.h"
#include "support/run_game.h"
#include "support/test_support.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

std::string shipped(const char* file) { return std::string(VURK_GAME_DIR) + "/levels/" + file; }

int open_points(int lo, int hi) {
  int n = 0;
  for (int z = lo; z <= hi; z++)
    for (int y = lo; y <= hi; y++)
      for (int x = lo; x <= hi; x++) n += voxel[voxel_index(x, y, z)].value < 0.0f;
  return n;
}

// Share of the open voxels that the largest face-connected open region holds.
double largest_open_share() {
  std::vector<int> region(VOXELS, -1), queue;
  int largest = 0, total = 0;
  for (int start = 0; start < VOXELS; start++) {
    if (region[start] >= 0 || voxel[start].value >= 0.0f) continue;
    queue.assign(1, start);
    region[start] = start;
    for (size_t q = 0; q < queue.size(); q++) {
      const int i = queue[q], x = i % 33, y = i / 33 % 33, z = i / 1089;
      const int next[6][3] = {{x - 1, y, z}, {x + 1, y, z}, {x, y - 1, z}, {x, y + 1, z}, {x, y, z - 1}, {x, y, z + 1}};
      for (const auto& n : next) {
        if (n[0] < 0 || n[1] < 0 || n[2] < 0 || n[0] > 32 || n[1] > 32 || n[2] > 32) continue;
        const int j = voxel_index(n[0], n[1], n[2]);
        if (region[j] >= 0 || voxel[j].value >= 0.0f) continue;
        region[j] = start;
        queue.push_back(j);
      }
    }
    largest = std::max(largest, static_cast<int>(queue.size()));
    total += static_cast<int>(queue.size());
  }
  return total ? static_cast<double>(largest) / total : 0.0;
}

TEST(Levels, EveryShippedLevelLoadsAndIsFitToPlay) {
  test::WorldPools pools;
  // A rock's collision radius per unit of size is the rock model's reach, as a match sets it.
  MODEL rock_model{};
  ASSERT_EQ(load_milkshape_model(&rock_model, (std::string(VURK_GAME_DIR) + "/models/rock.m3d").c_str()), 1);
  const float per_size = rock_model.max_radius;
  free_model(&rock_model);
  for (const content::LEVEL_ENTRY& level : content::levels) {
    SCOPED_TRACE(level.file);
    test::MessageCapture messages;
    ASSERT_EQ(load_level_file(shipped(level.file).c_str()), 1);
    EXPECT_EQ(messages.count(), 0) << messages.last();
    EXPECT_EQ(rocks, level.rocks);

    // Each level has a look of its own, some of the four materials on its walls, but never
    // one alone: at least two show on a good part of the walls, not only somewhere in the rock.
    int walls[4] = {}, surface = 0, shown = 0;
    for (int c = 0; c < GRIDCELLS; c++)
      if (gridcell[c].triangles) {
        ASSERT_LT(gridcell[c].material, 4);
        walls[gridcell[c].material]++;
        surface++;
      }
    for (int m = 0; m < 4; m++) shown += walls[m] > surface / 25;
    EXPECT_GE(shown, 2);

    for (int i = 0; i < rocks; i++) {
      const ROCK& r = rock[i];
      const float radius = per_size * r.size;
      for (const float c : {r.p.x, r.p.y, r.p.z}) {
        EXPECT_GT(c - radius, 0.0f) << "rock " << i;
        EXPECT_LT(c + radius, 32.0f) << "rock " << i;
      }
      double clear = INFINITY;
      test::for_triangles_near(r.p, radius + 1, [&](const POLYGON& t) {
        clear = std::min(clear, test::distance_to_triangle(t, r.p));
      });
      EXPECT_GE(clear, radius) << "rock " << i << " in the wall";
      for (int j = 0; j < i; j++)
        EXPECT_GT(give_distance(&r.p, &rock[j].p), radius + per_size * rock[j].size) << "rocks " << j << ", " << i;
    }

    // The match start tries points 3..31 until one is open, the respawn 100 points of
    // 2..29: with a twelfth of them open, a respawn misses about once in 6000.
    EXPECT_GE(open_points(3, 31), 24389 / 12);
    EXPECT_GE(open_points(2, 29), 21952 / 12);
    EXPECT_GT(largest_open_share(), 0.99) << "closed pockets";
  }
}

// The last level of the list: the content writer made it after all the others in the
// same pools, the level maker makes it alone.
TEST(Levels, LevelMakerRemakesAShippedLevelByteForByte) {
  test::TempDir dir;
  const content::LEVEL_ENTRY& level = content::levels[std::size(content::levels) - 1];
  const std::string made = dir.file("made.vhl");
  const test::GameRun good = test::run_game({"--style", level.style, "--seed", std::to_string(level.seed), "--rocks",
                                             std::to_string(level.rocks), "-o", made},
                                            {}, 60, false, VURK_MKLEVEL_BINARY);
  ASSERT_EQ(good.exit_code, 0) << good.err;
  EXPECT_EQ(test::read_file(made), test::read_file(shipped(level.file)));
  // Neither the level nor the preview is written through a symlink: the level stays whole.
  const std::string link = dir.file("link.vhl");
  std::filesystem::create_symlink(made, link);
  for (const auto& args : {std::vector<std::string>{"-o", link}, {"-o", dir.file("b.vhl"), "--preview", link}}) {
    const test::GameRun bad = test::run_game(args, {}, 60, false, VURK_MKLEVEL_BINARY);
    EXPECT_EQ(bad.exit_code, 1);
    EXPECT_EQ(bad.err, "vurkhold-mklevel: can't write '" + link + "': not a regular file\n");
  }
  EXPECT_EQ(test::read_file(made), test::read_file(shipped(level.file)));
}

}  // namespace
}  // namespace vurkhold
