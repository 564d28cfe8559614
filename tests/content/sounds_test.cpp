// sounds of the generated game folder, the hand-written configuration files and the help
// text: every sample a loud, unclipped 16-bit WAV the game can load; the five files load
// with the game's own loaders and together use every feature of a bullet type.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "content/manifest.h"
#include "shell/shell.h"
#include "support/test_support.h"
#include "world/world.h"

namespace vurkhold {
namespace {

const std::string kGame = VURK_GAME_DIR;
const std::string kData = std::string(VURK_SOURCE_DIR) + "/data/";

uint32_t le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int k = bytes - 1; k >= 0; k--) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<size_t>(k)]);
  return v;
}

// The game reads any help line longer than 53 characters as two, and the font has glyphs
// for the codes 32..95 only: no lower case, no tabs.
TEST(HelpText, FitsTheHelpPageAndTheFont) {
  std::istringstream text(test::read_file(kData + "readme.txt"));
  std::string line;
  int lines = 0;
  while (std::getline(text, line)) {
    lines++;
    EXPECT_LE(line.size(), 53u) << "line " << lines;
    for (char c : line) EXPECT_TRUE(c >= 32 && c <= 95) << "line " << lines << " has code " << int(c);
  }
  EXPECT_GE(lines, 40);
  EXPECT_LE(lines, 180);
}

TEST(Sounds, EverySampleIsALoudUnclippedMonoWaveTheGameLoads) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_TRUE(platform::sound_open(44100, 32));
  std::set<std::string> seen;
  for (const content::SOUND_ENTRY& s : content::sounds) {
    SCOPED_TRACE(s.file);
    const std::string path = kGame + "/sounds/" + s.file;
    const std::string b = test::read_file(path);
    ASSERT_GT(b.size(), 44u);
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(le(b, 4, 4), b.size() - 8);
    EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le(b, 16, 4), 16u);
    EXPECT_EQ(le(b, 20, 2), 1u);  // PCM
    EXPECT_EQ(le(b, 22, 2), 1u);  // mono
    EXPECT_EQ(le(b, 24, 4), 44100u);
    EXPECT_EQ(le(b, 28, 4), 88200u);
    EXPECT_EQ(le(b, 32, 2), 2u);
    EXPECT_EQ(le(b, 34, 2), 16u);
    EXPECT_EQ(b.substr(36, 4), "data");
    ASSERT_EQ(le(b, 40, 4), b.size() - 44);
    const size_t n = (b.size() - 44) / 2;
    EXPECT_GT(n, 44100u / 20);
    EXPECT_LT(n, 44100u * 16 / 10);

    int peak = 0;
    for (size_t i = 0; i < n; i++) peak = std::max(peak, std::abs(int(int16_t(le(b, 44 + 2 * i, 2)))));
    EXPECT_GE(peak, 32768.0 * std::pow(10.0, -3.0 / 20.0));
    EXPECT_LE(peak, 32768.0 * std::pow(10.0, -0.5 / 20.0));
    // Both ends near silence: a sample that starts or stops on a loud value clicks.
    EXPECT_LE(std::abs(int(int16_t(le(b, 44, 2)))), 330);
    EXPECT_LE(std::abs(int(int16_t(le(b, b.size() - 2, 2)))), 330);
    EXPECT_TRUE(seen.insert(b.substr(44)).second) << "the same samples as another sound";

    platform::Sample* sample = platform::sample_load(path.c_str());
    EXPECT_NE(sample, nullptr);
    platform::sample_free(sample);
  }
}

// A PCM WAVE of four 16-bit mono samples, and a MilkShape ASCII model of one triangle:
// stand-ins for the generated sounds and models.
constexpr char kWav[] =
    "RIFF" "\x2c\0\0\0" "WAVE" "fmt " "\x10\0\0\0" "\x01\0" "\x01\0" "\x44\xac\0\0" "\x88\x58\x01\0" "\x02\0"
    "\x10\0" "data" "\x08\0\0\0" "\0\1\0\2\0\3\0\4";
constexpr char kModel[] =
    "// MilkShape 3D ASCII\n\nFrames: 1\nFrame: 1\n\nMeshes: 1\n\"tri\" 0 0\n3\n0 0.0 0.0 0.0 0.0 0.0 -1\n"
    "0 1.0 0.0 0.0 1.0 0.0 -1\n0 0.0 1.0 0.0 0.0 1.0 -1\n1\n0.0 0.0 1.0\n1\n0 0 1 2 0 0 0 1\n\nMaterials: 0\n\nBones: 0\n";

struct Feature {
  const char* name;
  bool (*has)(const BULLET_TYPE& b);
};

bool scatters(const BULLET_TYPE& b) { return b.cluster >= 0 && b.clusters > 0; }

const Feature kFeatures[] = {
    {"gravity above 0", [](const BULLET_TYPE& b) { return b.gravity > 0.0f; }},
    {"gravity 0", [](const BULLET_TYPE& b) { return b.gravity == 0.0f; }},
    {"gravity below 0", [](const BULLET_TYPE& b) { return b.gravity < 0.0f; }},
    {"air resistance", [](const BULLET_TYPE& b) { return b.air_resistance > 0.0f; }},
    {"bounces off walls", [](const BULLET_TYPE& b) { return b.wall_hit == BHA_BOUNCE && b.bounce > 0.0f; }},
    {"trail", [](const BULLET_TYPE& b) { return b.trail >= 0; }},
    {"emission", [](const BULLET_TYPE& b) { return b.emit >= 0 && b.emit_amount > 0; }},
    {"clusters that scatter clusters",
     [](const BULLET_TYPE& b) { return scatters(b) && scatters(bullet_type[b.cluster]); }},
    {"light", [](const BULLET_TYPE& b) { return b.light_range > 0.0f; }},
    {"self-illumination", [](const BULLET_TYPE& b) { return (b.flags & BTF_SELF_ILLUMINATION) != 0; }},
    {"hit: explode", [](const BULLET_TYPE& b) { return b.wall_hit == BHA_EXPLODE || b.vurk_hit == BHA_EXPLODE; }},
    {"hit: disappear", [](const BULLET_TYPE& b) { return b.wall_hit == BHA_DISAPPEAR || b.vurk_hit == BHA_DISAPPEAR; }},
    {"hit: bounce", [](const BULLET_TYPE& b) { return b.wall_hit == BHA_BOUNCE || b.vurk_hit == BHA_BOUNCE; }},
    {"hit: damage", [](const BULLET_TYPE& b) { return b.wall_hit == BHA_DAMAGE || b.vurk_hit == BHA_DAMAGE; }},
    {"time-out: explode", [](const BULLET_TYPE& b) { return b.timeout_action == BTA_EXPLODE; }},
    {"time-out: disappear", [](const BULLET_TYPE& b) { return b.timeout_action == BTA_DISAPPEAR; }},
    {"a mark on the wall only",
     [](const BULLET_TYPE& b) { return b.wall_hit == BHA_EXPLODE && b.hole_size > 0.0f && b.hole_size < 0.87f; }},
    {"hole size 5", [](const BULLET_TYPE& b) { return b.hole_size == 5.0f; }},
};

class ShippedConfig : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::sound_open(44100, 32, true));
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
  }
  void TearDown() override {
    free_weapon_types();
    free_bullet_types();
    free_models();
    free_sounds();
  }

  test::TempDir dir_;
  test::MessageCapture messages_;
  test::FakeTextures textures_;
  test::KeepWorkingDir cwd_;
};

TEST_F(ShippedConfig, LoadsWithTheGamesLoadersAndUsesEveryBulletFeature) {
  const std::string tga = test::read_file(test::fixture_path("tga/im_gray_64x64.tga"));
  for (const content::WEAPON_MODEL_ENTRY& w : content::weapon_models) {
    test::write_file(dir_.file(std::string("models/") + w.stem + ".m3d"), kModel);
    test::write_file(dir_.file(std::string("textures/") + w.stem + ".tga"), tga);
  }
  for (const content::BULLET_MODEL_ENTRY& b : content::bullet_models)
    test::write_file(dir_.file(std::string("models/") + b.stem + ".m3d"), kModel);
  for (const content::SOUND_ENTRY& s : content::sounds)
    test::write_file(dir_.file(std::string("sounds/") + s.file), std::string(kWav, sizeof kWav - 1));
  for (const char* name : {"sounds", "bmodels", "wmodels", "bullets", "weapons"}) {
    const std::string file = std::string("other/") + name + ".cfg";
    const std::string text = test::read_file(kData + file);
    std::istringstream lines(text);
    std::string line;
    // A longer line would be read as two and shift every line after it.
    while (std::getline(lines, line)) EXPECT_LE(line.size(), 78u) << file << ": " << line;
    test::write_file(dir_.file(file), text);
  }

  for (int (*load)() : {load_weapon_sounds, load_bullet_models, load_weapon_models, load_bullet_types,
                        load_weapon_types})
    ASSERT_EQ(load(), 1) << messages_.last();
  EXPECT_EQ(messages_.count(), 0);

  for (const content::SOUND_ENTRY& s : content::sounds) {
    if (s.name[0]) {
      EXPECT_GE(find_sound_by_name(s.name), 0) << s.name;
    }
  }
  EXPECT_NE(explosion_sound, nullptr);
  EXPECT_NE(death_sound, nullptr);
  for (const content::BULLET_MODEL_ENTRY& b : content::bullet_models) {
    const int i = find_bulletmodel_by_name(b.name);
    ASSERT_GE(i, 0) << b.name;
    EXPECT_EQ(bullet_model[i].type, b.sprite ? MT_SPRITE : MT_NORMAL) << b.name;
  }
  for (const content::WEAPON_MODEL_ENTRY& w : content::weapon_models)
    EXPECT_GE(find_weaponmodel_by_name(w.name), 0) << w.name;

  // Weapon names are shown by the font and listed in the help text.
  const std::string help = test::read_file(kData + "readme.txt");
  EXPECT_GE(weapons, 15);
  for (int i = 0; i < weapons; i++) {
    const std::string name = weapon_type[i].name;
    EXPECT_LE(name.size(), 20u) << name;
    for (char c : name) EXPECT_TRUE(c >= 32 && c <= 95) << name;
    EXPECT_NE(help.find(name), std::string::npos) << name << " is missing from readme.txt";
  }

  for (const Feature& f : kFeatures) {
    bool found = false;
    for (int i = 0; i < bullet_types; i++) found = found || f.has(bullet_type[i]);
    EXPECT_TRUE(found) << "no bullet type has: " << f.name;
  }
  // Eight lights are free for bullets and explosions together.
  int lit = 0;
  for (int i = 0; i < bullet_types; i++) lit += bullet_type[i].light_range > 0.0f;
  EXPECT_LE(lit, 3);
}

}  // namespace
}  // namespace vurkhold
