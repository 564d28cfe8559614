// name look-ups in the configuration tables: null names, the count, entries not yet named,
// first match, case, and the limit of the earlier-types look-up.
#include "world/config_test_files.h"

namespace vurkhold {
namespace {

class Lookups : public ::testing::Test {
 protected:
  void TearDown() override {
    bullet_type = nullptr;
    bullet_types = 0;
    sound = nullptr;
    sounds = 0;
    for (int i = 0; i < 3; i++) bullet_model[i].name = weapon_model[i].name = nullptr;
    bullet_models = weapon_models = 0;
  }
  char a[8] = "alpha";
  char b[8] = "beta";
  char a2[8] = "alpha";
  char c[8] = "gamma";
};

TEST_F(Lookups, FirstExactMatchBelowTheCount) {
  BULLET_TYPE table[4]{};
  table[0].name = a;
  table[1].name = b;
  table[2].name = a2;
  table[3].name = c;
  bullet_type = table;
  bullet_types = 3;
  EXPECT_EQ(find_bullettype_by_name("alpha"), 0);
  EXPECT_EQ(find_bullettype_by_name("beta"), 1);
  EXPECT_EQ(find_bullettype_by_name("gamma"), -1);  // beyond the count
  EXPECT_EQ(find_bullettype_by_name("Beta"), -1);
  EXPECT_EQ(find_bullettype_by_name("bet"), -1);
  EXPECT_EQ(find_bullettype_by_name(""), -1);
  EXPECT_EQ(find_bullettype_by_name(nullptr), -1);
  // An entry still without a name ends the scan.
  table[1].name = nullptr;
  bullet_types = 4;
  EXPECT_EQ(find_bullettype_by_name("alpha"), 0);
  EXPECT_EQ(find_bullettype_by_name("gamma"), -1);
}

TEST_F(Lookups, EarlierTypesOnly) {
  BULLET_TYPE table[3]{};
  table[0].name = a;
  table[1].name = b;
  table[2].name = c;
  bullet_type = table;
  bullet_types = 3;
  EXPECT_EQ(find_bullettype_by_name_2("beta", 2), 1);
  EXPECT_EQ(find_bullettype_by_name_2("beta", 1), -1);
  EXPECT_EQ(find_bullettype_by_name_2("gamma", 3), 2);
  EXPECT_EQ(find_bullettype_by_name_2("alpha", 0), -1);
  EXPECT_EQ(find_bullettype_by_name_2("alpha", -1), -1);
  EXPECT_EQ(find_bullettype_by_name_2("alpha", 4), -1);  // above the count
  EXPECT_EQ(find_bullettype_by_name_2(nullptr, 2), -1);
}

TEST_F(Lookups, SoundsAndModelLists) {
  EXPECT_EQ(find_sound_by_name("alpha"), -1);  // no table at all
  SOUND table[2]{};
  table[0].name = a;
  table[1].name = b;
  sound = table;
  sounds = 2;
  EXPECT_EQ(find_sound_by_name("beta"), 1);
  EXPECT_EQ(find_sound_by_name("ALPHA"), -1);

  bullet_model[0].name = a;
  bullet_model[1].name = b;
  bullet_models = 1;
  EXPECT_EQ(find_bulletmodel_by_name("alpha"), 0);
  EXPECT_EQ(find_bulletmodel_by_name("beta"), -1);
  weapon_model[0].name = c;
  weapon_model[1].name = a;
  weapon_models = 2;
  EXPECT_EQ(find_weaponmodel_by_name("alpha"), 1);
  EXPECT_EQ(find_weaponmodel_by_name("gamma"), 0);
  EXPECT_EQ(find_weaponmodel_by_name(nullptr), -1);
}

}  // namespace
}  // namespace vurkhold
