// start-up on the generated game folder: everything loads without a message and shutdown
// releases it all; each required file missing or broken in turn stops the start with
// that file's message and leaves nothing behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/shell.h"
#include "support/test_support.h"
#include "world/world.h"

namespace vurkhold {
namespace {

namespace fs = std::filesystem;

// Runs the start-up inside `dir` with the sound library on its silent driver.
class Startup : public ::testing::Test {
 protected:
  void SetUp() override { no_sound = 1; }
  void TearDown() override {
    clean_up();
    no_sound = 0;
  }
  int start_in(const fs::path& dir) {
    if (chdir(dir.c_str()) != 0) return -1;
    return initialize();
  }
  // Nothing of a start is left: pools, tables, models and texture objects.
  static void expect_released(const std::string& what) {
    EXPECT_EQ(vertex, nullptr) << what;
    EXPECT_EQ(bullet_type, nullptr) << what;
    EXPECT_EQ(weapon_type, nullptr) << what;
    EXPECT_EQ(vurk_model.mesh, nullptr) << what;
    EXPECT_EQ(bullet_models + weapon_models + bullet_types + weapons + sounds, 0) << what;
    EXPECT_EQ(test::FakeTextures::live(), 0) << what;
  }

  test::MessageCapture messages_;
  test::FakeTextures textures_;
  test::KeepWorkingDir cwd_;
};

// What shutdown leaves allocated without a pointer to it, the sanitizer build's leak check
// reports when this program ends.
TEST_F(Startup, TheGameFolderLoadsWholeAndShutdownReleasesIt) {
  ASSERT_EQ(start_in(VURK_GAME_DIR), 1) << messages_.last();
  EXPECT_EQ(messages_.count(), 0);
  EXPECT_EQ(vurk[3].weapons[2].type, &weapon_type[vurk[3].weapons[2].num]);
  EXPECT_NE(death_sound, nullptr);
  EXPECT_NE(explosion_sound, nullptr);
  EXPECT_GE(test::FakeTextures::live(), 14 + weapon_models);
  // Weapon names are drawn by the font (codes 32..95) and listed on the help page.
  const std::string help = test::read_file(std::string(VURK_SOURCE_DIR) + "/data/readme.txt");
  for (int i = 0; i < weapons; i++) {
    const std::string name = weapon_type[i].name;
    EXPECT_LE(name.size(), 20u) << name;
    for (char c : name) EXPECT_TRUE(c >= 32 && c <= 95) << name;
    EXPECT_NE(help.find(name), std::string::npos) << name << " is missing from readme.txt";
  }
  clean_up();
  expect_released("after a whole start");
}

// A copy of the game folder with one file taken away or cut to its first bytes, in turn.
// The fixed files' messages name them; a file of a model or sound list is named by its
// record's number; a configuration file cut short fails on its count, named by its table.
TEST_F(Startup, EachRequiredFileMissingOrBrokenStopsTheStartWithItsMessage) {
  test::TempDir copy;
  const fs::path game = copy.path();
  std::vector<std::string> required;
  for (const char* folder : {"other", "textures", "models", "sounds"}) {
    fs::copy(fs::path(VURK_GAME_DIR) / folder, game / folder, fs::copy_options::recursive);
    for (const auto& entry : fs::directory_iterator(game / folder)) {
      const std::string name = std::string(folder) + "/" + entry.path().filename().string();
      // The two fixed samples are loaded unchecked: without them the game is only quieter.
      if (name != "sounds/exp1.wav" && name != "sounds/death.wav") required.push_back(name);
    }
  }
  std::sort(required.begin(), required.end());
  ASSERT_GT(required.size(), 50u);
  for (const std::string& name : required) {
    const fs::path file = game / name;
    const std::string bytes = test::read_file(file.string());
    for (const bool missing : {true, false}) {
      const std::string what = name + (missing ? " missing" : " cut short");
      if (missing) fs::remove(file);
      else test::write_file(file.string(), bytes.substr(0, 10));
      platform::clear_captured_messages();
      EXPECT_EQ(start_in(game), 0) << what;
      ASSERT_GE(messages_.count(), 1) << what;
      const std::string first = messages_.at(0);
      const std::string base = fs::path(name).filename().string();
      const char* const tables[] = {"of sounds", "of bullet models", "of weapon models", "of bullet types",
                                    "of weapons"};
      bool named = first.find(base) != std::string::npos || first.find("The loading of ") != std::string::npos;
      for (const char* table : tables) named = named || (!missing && first.find(table) != std::string::npos);
      EXPECT_TRUE(named) << what << ": " << first;
      clean_up();
      expect_released(what);
      test::write_file(file.string(), bytes);
    }
  }
}

}  // namespace
}  // namespace vurkhold
