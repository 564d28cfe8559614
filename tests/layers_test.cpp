// layering: every include of the game's own headers points down or sideways, never up:
// platform, world records, geometry, terrain and assets, creatures and weapons, control,
// the match, online play, drawing, menu, shell.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The layer of a file under src/, by its folder; the entry point stands on everything.
int layer(const std::string& path) {
  const struct {
    const char* folder;
    int layer;
  } folders[] = {{"platform/", 0}, {"records/", 1}, {"geometry/", 2}, {"terrain/", 2}, {"assets/", 2},
                 {"world/", 3},    {"control/", 4}, {"match/", 5},    {"net/", 6},     {"render/", 7},
                 {"menu/", 8},     {"shell/", 9}};
  for (const auto& f : folders)
    if (path.rfind(f.folder, 0) == 0) return f.layer;
  return 10;
}

TEST(Layers, NoSourceIncludesAHeaderOfAHigherLayer) {
  const std::filesystem::path src = std::filesystem::path(VURK_SOURCE_DIR) / "src";
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".cpp" && ext != ".h") continue;
    files++;
    const std::string from = entry.path().lexically_relative(src).generic_string();
    std::ifstream in(entry.path());
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("#include \"", 0) != 0) continue;
      const std::string to = line.substr(10, line.find('"', 10) - 10);
      EXPECT_LE(layer(to), layer(from)) << from << " includes " << to;
    }
  }
  EXPECT_GT(files, 40);
}

}  // namespace
