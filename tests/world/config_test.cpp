// configuration files: a valid game folder of all five files, one table of crafted changes
// to it with the exact message each brings, and the values one full load stores.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "assets/assets.h"
#include "shell/shell.h"
#include "support/arena.h"
#include "world/world.h"

namespace vurkhold {
namespace {

// Record 0 of a file holds its version and count lines; every later record starts with
// its separator line, so a record's line k is at index k.
using File = std::vector<std::vector<std::string>>;
using Folder = std::map<std::string, File>;

Folder baseline() {
  return {
      {"sounds", {{"1.0", "2"}, {"#", "bang", "beep.wav"}, {"#", "pop", "beep.wav"}}},
      {"bmodels", {{"1.0", "2"}, {"#", "ball", "0", "tri.txt"}, {"#", "spark", "1", "tri.txt"}}},
      {"wmodels", {{"1.0", "2"}, {"#", "gun", "tri.txt", "w.tga"}, {"#", "Gun", "tri.txt", "w.tga"}}},
      {"bullets",
       {{"1.0", "2"},
        {"#", "pellet", "ball", "1000 10", "-0.5", "0.1", "10", "2.5", "0", "0 3 0.5", "-1", "1 0.5 0", "20 300",
         "NO_EMIT", "100 0", "0", "NO_CLUSTERS", "0", "0", "0", "0 0 0", "0"},
        {"#", "rocket", "spark", "2000 25", "-1.5", "0.02", "40", "5", "1", "0 3 0.75", "2", "0.25 0.5 1", "30 450",
         "pellet", "250 -2", "0.3", "pellet", "12", "0.6", "500", "1 0.5 0.25", "1"}}},
      {"weapons",
       {{"1.0", "2"},
        {"#", "rifle", "gun", "10", "100", "1000", "rocket", "1", "5", "0.5", "bang"},
        {"#", "shotgun", "Gun", "6", "800", "2500", "pellet", "9", "20", "1", "pop"}}},
  };
}

// A PCM WAVE of four 16-bit mono samples.
constexpr char kWav[] =
    "RIFF" "\x2c\0\0\0" "WAVE" "fmt " "\x10\0\0\0" "\x01\0" "\x01\0" "\x44\xac\0\0" "\x88\x58\x01\0" "\x02\0"
    "\x10\0" "data" "\x08\0\0\0" "\0\1\0\2\0\3\0\4";
// A MilkShape ASCII model of one triangle.
constexpr char kModel[] =
    "// MilkShape 3D ASCII\n\nFrames: 1\nFrame: 1\n\nMeshes: 1\n\"tri\" 0 0\n3\n0 0.0 0.0 0.0 0.0 0.0 -1\n"
    "0 1.0 0.0 0.0 1.0 0.0 -1\n0 0.0 1.0 0.0 0.0 1.0 -1\n1\n0.0 0.0 1.0\n1\n0 0 1 2 0 0 0 1\n\nMaterials: 0\n"
    "\nBones: 0\n";

class Config : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::sound_open(44100, 32, true));
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    test::write_file(dir_.file("sounds/Beep.WAV"), std::string(kWav, sizeof kWav - 1));
    test::write_file(dir_.file("models/tri.txt"), kModel);
    test::write_file(dir_.file("textures/w.tga"), test::read_file(test::fixture_path("tga/im_gray_64x64.tga")));
  }
  void TearDown() override { release(); }
  static void release() { free_weapon_types(), free_bullet_types(), free_models(), free_sounds(); }
  void write(const Folder& folder, const char* line_end = "\n") {
    for (const char* name : {"sounds", "bmodels", "wmodels", "bullets", "weapons"}) {
      const std::string path = dir_.file(std::string("other/") + name + ".cfg");
      std::remove(path.c_str());
      if (!folder.count(name)) continue;
      std::string text;
      for (const auto& record : folder.at(name))
        for (const std::string& line : record) text += line + line_end;
      test::write_file(path, text);
    }
  }
  // The five loaders in start-up order, each only after the one before it succeeded.
  static int load_all() {
    for (int (*load)() : {load_weapon_sounds, load_bullet_models, load_weapon_models, load_bullet_types,
                          load_weapon_types})
      if (!load()) return 0;
    return 1;
  }
  static int declared(const Folder& f, const char* name) { return std::atoi(f.at(name)[0][1].c_str()); }
  test::TempDir dir_;
  test::MessageCapture messages_;
  test::FakeTextures textures_;
  test::KeepWorkingDir cwd_;
};

// Line `line` of record `record` (-1: the file is missing) replaced by `value`, and the
// message it brings ("": the folder loads). With `grow` the count line's value also sets how
// many records there are; with `crlf` every line ends in CR LF.
struct Row {
  const char *file;
  int record, line;
  const char *value, *message;
  bool grow = false, crlf = false;
};

// Fills the read limit but for the CR of its CR LF end.
const std::string k77 = std::string(77, '#');

const Row kRows[] = {
    {"sounds", -1, 0, "", "Can't find sounds.cfg"},
    {"sounds", 0, 0, "1", ""},
    {"sounds", 0, 0, "1.01", "The file sounds.cfg has a wrong version!"},
    {"sounds", 0, 0, "1n0", "The file sounds.cfg has a wrong version!"},  // the whole token
    {"sounds", 0, 1, "19", "", true},
    {"sounds", 0, 1, "20", "Number of sounds (20) is invalid!", true},
    {"sounds", 0, 1, "3", "The name of sound 3 is invalid."},  // the file ends first
    {"sounds", 2, 0, "3 none.wav ~~ anything at all", ""},    // separators are skipped
    {"sounds", 1, 0, k77.c_str(), "", false, true},
    {"sounds", 2, 1, "", "The name of sound 2 is invalid."},
    {"sounds", 2, 2, "", "The filename of sound (2) is invalid."},
    {"sounds", 2, 2, "none.wav", "The loading of sound (2) failed."},
    {"bmodels", -1, 0, "", "Can't open bmodels.cfg"},
    {"bmodels", 0, 0, "1.01", "The file bmodels.cfg has a wrong version!"},
    {"bmodels", 0, 1, "20", "The number of bullet models (20) is invalid.", true},
    {"bmodels", 2, 2, "2", "The type of bullet model 2 is invalid."},
    {"bmodels", 2, 3, "none.txt", "The loading of bullet model (2) failed."},
    {"wmodels", -1, 0, "", "Can't open wmodels.cfg"},
    {"wmodels", 0, 0, "", "The file wmodels.cfg has a wrong version!"},
    {"wmodels", 0, 1, "50", "The number of weapon models (50) is invalid.", true},
    {"wmodels", 2, 2, "none.txt", "The loading of weapon model (2) failed."},
    {"wmodels", 2, 3, "none.tga", "The loading of weapon texture (2) failed."},
    {"bullets", -1, 0, "", "Can't find bullets.cfg"},
    {"bullets", 0, 0, "1.01", "The file bullets.cfg has a wrong version!"},
    {"bullets", 0, 1, "0", "Number of bullet types (0) is invalid!"},
    {"bullets", 2, 2, "Spark", "The model to use (Spark, -1) in bullet 2 is invalid."},
    {"bullets", 2, 9, "4 0 0", "The hit action of the bullet 2 is invalid."},
    {"bullets", 2, 9, "0 3 1", ""},
    {"bullets", 2, 9, "0 3 1.01", "The hit action of the bullet 2 is invalid."},  // speeds up at each hit
    {"bullets", 2, 4, "inf", "The gravity for the bullet 2 is invalid."},
    {"bullets", 2, 13, "rocket", "The emit type of the bullet 2 is invalid."},  // itself
    {"bullets", 1, 13, "rocket", "The emit type of the bullet 1 is invalid."},  // a later one
    {"bullets", 2, 13, "Pellet", "The emit type of the bullet 2 is invalid."},
    {"bullets", 2, 16, "rocket", "The cluster type of the bullet 2 is invalid."},
    {"bullets", 2, 21, "65537", "The flags of the bullet 2 is invalid."},  // 1 if cut to 16 bits
    {"weapons", -1, 0, "", "Can't open weapons.cfg"},
    {"weapons", 0, 1, "0", "The number of weapons (0) is invalid."},
    {"weapons", 2, 3, "1e9", "The number of ammo per clip (0) in weapon 2 is invalid."},
    {"weapons", 2, 3, "4294967298", "The number of ammo per clip (0) in weapon 2 is invalid."},  // 2 if cut
    {"weapons", 2, 2, "GUN", "The weapon model (-1 GUN) of the weapon 2 is invalid."},
    {"weapons", 2, 6, "Pellet", "The ammo type (-1 Pellet) of the weapon 2 is invalid."},
    {"weapons", 2, 10, "Pop", "The sound (-1 Pop) of the weapon 2 is invalid."},
};

TEST_F(Config, EachCraftedFolderLoadsOrNamesItsFault) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(testing::Message() << row.file << " record " << row.record << " line " << row.line << " "
                                    << row.value);
    Folder folder = baseline();
    File& file = folder[row.file];
    if (row.grow) file.insert(file.begin() + 2, std::atoi(row.value) - 2, std::vector<std::string>(file[1]));
    if (row.record < 0) folder.erase(row.file);
    else file[static_cast<size_t>(row.record)][static_cast<size_t>(row.line)] = row.value;
    write(folder, row.crlf ? "\r\n" : "\n");
    platform::clear_captured_messages();  // the capture keeps only so many
    if (row.message[0]) {
      EXPECT_EQ(load_all(), 0);
      EXPECT_EQ(messages_.last(), std::string("ERROR: ") + row.message);
    } else {
      EXPECT_EQ(load_all(), 1) << messages_.last();
      EXPECT_EQ(messages_.count(), 0);
      EXPECT_EQ(std::tuple(sounds, bullet_models, weapon_models, bullet_types, weapons),
                std::tuple(declared(folder, "sounds"), declared(folder, "bmodels"), declared(folder, "wmodels"),
                           declared(folder, "bullets"), declared(folder, "weapons")));
    }
    release();
  }
}

TEST_F(Config, AFullLoadStoresEveryValue) {
  write(baseline());
  ASSERT_EQ(load_all(), 1) << messages_.last();
  ASSERT_TRUE(sounds == 2 && bullet_models == 2 && weapon_models == 2 && bullet_types == 2 && weapons == 2);
  const BULLET_TYPE &p = bullet_type[0], &b = bullet_type[1];
  const WEAPON_TYPE &r = weapon_type[0], &w = weapon_type[1];
  test::expect_checks({
      {"model types", bullet_model[0].type * 10 + bullet_model[1].type, MT_NORMAL * 10 + MT_SPRITE},
      {"own textures", weapon_model[0].texture != weapon_model[1].texture && weapon_model[1].texture, 1},
      {"NO_EMIT, NO_CLUSTERS, -1", p.emit + p.cluster + p.trail, -3}, {"name", std::string(b.name) == "rocket", 1},
      {"model", b.model == &bullet_model[1], 1}, {"life", b.life, 2000}, {"variation", b.life_variation, 0.25},
      {"gravity", b.gravity, -1.5}, {"drag", b.air_resistance, 0.02}, {"damage", b.damage, 40},
      {"hole", b.hole_size, 5}, {"time-out", b.timeout_action, BTA_DISAPPEAR}, {"wall hit", b.wall_hit, BHA_EXPLODE},
      {"vurk hit", b.vurk_hit, BHA_DAMAGE}, {"bounce", b.bounce, 0.75}, {"trail", b.trail, 2},
      {"trail red", b.trail_color[0], 0.25}, {"trail blue", b.trail_color[2], 1},
      {"trail rate, then life", b.trail_rate * 1000 + b.trail_life, 30450}, {"emit", b.emit, 0},
      {"emit rate", b.emit_rate, 250}, {"emit amount", b.emit_amount, -2}, {"emit speed", b.emit_speed, 0.3},
      {"cluster", b.cluster, 0}, {"clusters", b.clusters, 12}, {"cluster speed", b.cluster_speed, 0.6},
      {"light range", b.light_range, 500}, {"light green", b.light_color[1], 0.5},
      {"flags", b.flags, BTF_SELF_ILLUMINATION},
      {"rifle", r.model == &weapon_model[0] && r.ammo_type == &bullet_type[1] && r.sound == sound[0].sample, 1},
      {"weapon name", std::string(w.name) == "shotgun", 1}, {"weapon model", w.model == &weapon_model[1], 1},
      {"clip", w.ammo_per_clip, 6}, {"fire rate", w.fire_rate, 800}, {"load time", w.load_time, 2500},
      {"ammo", w.ammo_type == &bullet_type[0], 1}, {"pellets", w.bullets_per_shot, 9}, {"spread", w.variation, 20},
      {"speed", w.bullet_speed, 1}, {"sound", w.sound == sound[1].sample, 1}});
}

}  // namespace
}  // namespace vurkhold
