// "other/weapons.cfg": weapon types naming their model, ammunition and sound, each line's
// limits and message, and the whole chain of five files loaded in start-up order.
#include "world/config_test_files.h"

namespace vurkhold {
namespace {

using namespace config_test;

class WeaponsConfig : public ConfigFolder {
 protected:
  void SetUp() override {
    ConfigFolder::SetUp();
    if (IsSkipped()) return;
    put("sounds/Pop.wav", wav_bytes(40));
    put("other/sounds.cfg", cfg({sound_record("bang"), sound_record("pop", "pop.wav")}));
    put("other/bmodels.cfg", cfg({bullet_model_record("ball")}));
    put("other/wmodels.cfg", cfg({weapon_model_record("gun"), weapon_model_record("Gun")}));
    std::vector<std::string> shell = bullet_record("shell");
    shell[12] = "pellet";
    put("other/bullets.cfg", cfg({bullet_record("pellet"), shell}));
    ASSERT_EQ(load_weapon_sounds(), 1) << last();
    ASSERT_EQ(load_bullet_models(), 1) << last();
    ASSERT_EQ(load_weapon_models(), 1) << last();
    ASSERT_EQ(load_bullet_types(), 1) << last();
  }
  int load_with_second(int line, const std::string& value) {
    std::vector<std::string> second = weapon_record("second");
    second[static_cast<size_t>(line - 1)] = value;
    put("other/weapons.cfg", cfg({weapon_record("first"), second}));
    const int result = load_weapon_types();
    if (!result) free_weapon_types();
    return result;
  }
};

TEST_F(WeaponsConfig, ChainOfAllFiveResolvesEveryName) {
  put("other/weapons.cfg",
      cfg({weapon_record("rifle"), {"shotgun", "Gun", "6", "800", "2500", "pellet", "9", "20", "1", "pop"}}));
  ASSERT_EQ(load_weapon_types(), 1) << last();
  EXPECT_EQ(message_count(), 0);
  ASSERT_EQ(weapons, 2);
  const WEAPON_TYPE& w = weapon_type[1];
  EXPECT_STREQ(w.name, "shotgun");
  EXPECT_EQ(w.model, &weapon_model[1]);
  EXPECT_EQ(w.ammo_per_clip, 6);
  EXPECT_EQ(w.fire_rate, 800);
  EXPECT_EQ(w.load_time, 2500);
  EXPECT_EQ(w.ammo_type, &bullet_type[0]);
  EXPECT_EQ(w.bullets_per_shot, 9);
  EXPECT_EQ(w.variation, 20);
  EXPECT_FLOAT_EQ(w.bullet_speed, 1.0f);
  EXPECT_EQ(w.sound, sound[1].sample);
  EXPECT_NE(w.sound, nullptr);
  EXPECT_EQ(weapon_type[0].model, &weapon_model[0]);
  EXPECT_EQ(weapon_type[0].ammo_type, &bullet_type[1]);
  EXPECT_EQ(weapon_type[0].sound, sound[0].sample);
  EXPECT_EQ(bullet_type[1].emit, 0);
}

TEST_F(WeaponsConfig, EveryLineRefusesWithItsMessage) {
  const struct {
    int line;
    const char* value;
    const char* message;
  } cases[] = {
      {1, "", "The name of the weapon 2 is invalid."},
      {2, "GUN", "The weapon model (-1 GUN) of the weapon 2 is invalid."},
      {2, "", "The weapon model (-1 ) of the weapon 2 is invalid."},
      {3, "0", "The number of ammo per clip (0) in weapon 2 is invalid."},
      {3, "-4", "The number of ammo per clip (-4) in weapon 2 is invalid."},
      {4, "9", "The fire rate of the weapon 2 is invalid."},
      {4, "", "The fire rate of the weapon 2 is invalid."},
      {5, "0", "The load time of the weapon 2 is invalid."},
      {6, "Shell", "The ammo type (-1 Shell) of the weapon 2 is invalid."},
      {6, "ball", "The ammo type (-1 ball) of the weapon 2 is invalid."},
      {7, "0", "The number of bullets per shot in weapon 2 is invalid."},
      {8, "181", "The variation of the weapon 2 is invalid."},
      {8, "-1", "The variation of the weapon 2 is invalid."},
      {9, "0", "The bullet speed of the weapon 2 is invalid."},
      {9, "1.001", "The bullet speed of the weapon 2 is invalid."},
      {9, "-0.5", "The bullet speed of the weapon 2 is invalid."},
      {9, "nan", "The bullet speed of the weapon 2 is invalid."},
      {10, "Bang", "The sound (-1 Bang) of the weapon 2 is invalid."},
      {10, "", "The sound (-1 ) of the weapon 2 is invalid."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(load_with_second(c.line, c.value), 0) << c.line << " " << c.value;
    EXPECT_EQ(last(), std::string("ERROR: ") + c.message) << c.line << " " << c.value;
  }
}

TEST_F(WeaponsConfig, LimitsAreInclusive) {
  const struct {
    int line;
    const char* value;
  } cases[] = {{3, "1"}, {4, "10"}, {5, "1"}, {7, "1"}, {8, "0"}, {8, "180"}, {9, "1"}, {9, "0.0001"},
               {6, "shell ; what it fires"}};
  for (const auto& c : cases) {
    EXPECT_EQ(load_with_second(c.line, c.value), 1) << c.line << " " << c.value << ": " << last();
    free_weapon_types();
  }
  EXPECT_EQ(message_count(), 0);
}

TEST_F(WeaponsConfig, CountsAndFile) {
  EXPECT_EQ(load_weapon_types(), 0);
  EXPECT_EQ(last(), "ERROR: Can't open weapons.cfg");
  for (const char* count : {"0", "100"}) {
    put("other/weapons.cfg", cfg("1", count, {weapon_record("first")}));
    EXPECT_EQ(load_weapon_types(), 0);
    EXPECT_EQ(last(), std::string("ERROR: The number of weapons (") + count + ") is invalid.");
    EXPECT_EQ(weapon_type, nullptr);
  }
  put("other/weapons.cfg", cfg("1.1", "1", {weapon_record("first")}));
  EXPECT_EQ(load_weapon_types(), 0);
  EXPECT_EQ(last(), "ERROR: The file weapons.cfg has a wrong version!");

  std::vector<std::vector<std::string>> many;
  for (int i = 0; i < 99; i++) many.push_back(weapon_record("w" + std::to_string(i)));
  put("other/weapons.cfg", cfg(many));
  ASSERT_EQ(load_weapon_types(), 1) << last();
  EXPECT_EQ(weapons, 99);
}

TEST_F(WeaponsConfig, AFailedLoadCountsTheNamedWeapons) {
  std::vector<std::string> bad = weapon_record("second");
  bad[8] = "0";
  put("other/weapons.cfg", cfg("1", "4", {weapon_record("first"), bad}));
  EXPECT_EQ(load_weapon_types(), 0);
  EXPECT_EQ(last(), "ERROR: The bullet speed of the weapon 2 is invalid.");
  EXPECT_EQ(weapons, 2);
  EXPECT_STREQ(weapon_type[1].name, "second");
  EXPECT_EQ(weapon_type[2].name, nullptr);
}

}  // namespace
}  // namespace vurkhold
