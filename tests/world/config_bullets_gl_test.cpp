// "other/bullets.cfg": every field of a bullet type with its limits and message, the
// references to models and to earlier types, and what is stored.
#include <cmath>

#include "world/config_test_files.h"

namespace vurkhold {
namespace {

using namespace config_test;

class BulletsConfig : public ConfigFolder {
 protected:
  void SetUp() override {
    ConfigFolder::SetUp();
    if (IsSkipped()) return;
    load_prerequisites();
  }
  // Loads a file of a good first type and a second one with line `line` (1..21) replaced.
  int load_with_second(int line, const std::string& value) {
    std::vector<std::string> second = bullet_record("second");
    second[static_cast<size_t>(line - 1)] = value;
    put("other/bullets.cfg", cfg({bullet_record("first"), second}));
    const int result = load_bullet_types();
    if (!result) free_bullet_types();
    return result;
  }
};

TEST_F(BulletsConfig, StoresEveryField) {
  std::vector<std::string> b = {"rocket", "ball",        "2000 25",      "-1.5", "0.02",          "40",  "3",
                                "1",      "0 3 0.75",    "2",            "0.25 0.5 1", "30 450", "first", "250 -2",
                                "0.3",    "first",       "12",           "0.6",  "120",           "1 0.5 0.25", "1"};
  put("other/bullets.cfg", cfg({bullet_record("first"), b}));
  ASSERT_EQ(load_bullet_types(), 1) << last();
  EXPECT_EQ(message_count(), 0);
  ASSERT_EQ(bullet_types, 2);
  const BULLET_TYPE& r = bullet_type[1];
  EXPECT_STREQ(r.name, "rocket");
  EXPECT_EQ(r.model, &bullet_model[0]);
  EXPECT_EQ(r.life, 2000);
  EXPECT_FLOAT_EQ(r.life_variation, 0.25f);
  EXPECT_FLOAT_EQ(r.gravity, -1.5f);
  EXPECT_FLOAT_EQ(r.air_resistance, 0.02f);
  EXPECT_FLOAT_EQ(r.damage, 40);
  EXPECT_FLOAT_EQ(r.hole_size, 3);
  EXPECT_EQ(r.timeout_action, BTA_DISAPPEAR);
  EXPECT_EQ(r.wall_hit, BHA_EXPLODE);
  EXPECT_EQ(r.vurk_hit, BHA_DAMAGE);
  EXPECT_FLOAT_EQ(r.bounce, 0.75f);
  EXPECT_EQ(r.trail, 2);
  EXPECT_FLOAT_EQ(r.trail_color[0], 0.25f);
  EXPECT_FLOAT_EQ(r.trail_color[2], 1.0f);
  // Line 12 holds the rate first, then the particle lifetime.
  EXPECT_EQ(r.trail_rate, 30);
  EXPECT_EQ(r.trail_life, 450);
  EXPECT_EQ(r.emit, 0);
  EXPECT_EQ(r.emit_rate, 250);
  EXPECT_EQ(r.emit_amount, -2);  // passes the loader; flight must treat it as none
  EXPECT_FLOAT_EQ(r.emit_speed, 0.3f);
  EXPECT_EQ(r.cluster, 0);
  EXPECT_EQ(r.clusters, 12);
  EXPECT_FLOAT_EQ(r.cluster_speed, 0.6f);
  EXPECT_FLOAT_EQ(r.light_range, 120);
  EXPECT_FLOAT_EQ(r.light_color[1], 0.5f);
  EXPECT_EQ(r.flags, BTF_SELF_ILLUMINATION);
  EXPECT_EQ(bullet_type[0].emit, -1);
  EXPECT_EQ(bullet_type[0].cluster, -1);
  EXPECT_EQ(bullet_type[0].trail, -1);
  EXPECT_EQ(find_bullettype_by_name("rocket"), 1);
}

TEST_F(BulletsConfig, EveryLineRefusesWithItsMessage) {
  const struct {
    int line;
    const char* value;
    const char* message;
  } cases[] = {
      {1, "", "The name of bullet 2 is invalid."},
      {2, "Ball", "The model to use (Ball, -1) in bullet 2 is invalid."},
      {2, "", "The model to use (, -1) in bullet 2 is invalid."},
      {3, "0 10", "The life of the bullet 2 is invalid."},
      {3, "1000", "The life of the bullet 2 is invalid."},
      {3, "1000 -1", "The life of the bullet 2 is invalid."},
      {3, "65536 0", "The life of the bullet 2 is invalid."},
      {3, "-5 0", "The life of the bullet 2 is invalid."},
      {3, "1000 nan", "The life of the bullet 2 is invalid."},
      {4, "", "The gravity for the bullet 2 is invalid."},
      {4, "nan", "The gravity for the bullet 2 is invalid."},
      {5, "-0.01", "The air resistance for the bullet 2 is invalid."},
      {6, "-1", "The damage of the bullet 2 is invalid."},
      {7, "5.01", "The hole size of the bullet 2 is invalid."},
      {7, "-0.5", "The hole size of the bullet 2 is invalid."},
      {7, "big", "The hole size of the bullet 2 is invalid."},
      {8, "2", "The time out action of the bullet 2 is invalid."},
      {8, "-1", "The time out action of the bullet 2 is invalid."},
      {9, "4 0 0", "The hit action of the bullet 2 is invalid."},
      {9, "0 4 0", "The hit action of the bullet 2 is invalid."},
      {9, "-1 0 0", "The hit action of the bullet 2 is invalid."},
      {9, "0 0 -0.1", "The hit action of the bullet 2 is invalid."},
      {9, "0 0", "The hit action of the bullet 2 is invalid."},
      {10, "4", "The trail particle of the bullet 2 is invalid."},
      {10, "", "The trail particle of the bullet 2 is invalid."},
      {11, "1 1 1.5", "The trail color of the bullet 2 is invalid."},
      {11, "-0.1 0 0", "The trail color of the bullet 2 is invalid."},
      {11, "1 1", "The trail color of the bullet 2 is invalid."},
      {12, "0 300", "The trail parameters of the bullet 2 are invalid."},
      {12, "20 0", "The trail parameters of the bullet 2 are invalid."},
      {12, "20", "The trail parameters of the bullet 2 are invalid."},
      {13, "", "Can't read emit type of the bullet 2."},
      {13, "second", "The emit type of the bullet 2 is invalid."},
      {13, "third", "The emit type of the bullet 2 is invalid."},
      {13, "First", "The emit type of the bullet 2 is invalid."},
      {13, "no_emit", "The emit type of the bullet 2 is invalid."},
      {14, "99 0", "The emit rate/amount of the bullet 2 is invalid."},
      {14, "10001 0", "The emit rate/amount of the bullet 2 is invalid."},
      {14, "100 51", "The emit rate/amount of the bullet 2 is invalid."},
      {14, "100", "The emit rate/amount of the bullet 2 is invalid."},
      {15, "1.5", "The emit speed of the bullet 2 is invalid."},
      {15, "-0.1", "The emit speed of the bullet 2 is invalid."},
      {16, "", "Can't read cluster type of the bullet 2."},
      {16, "second", "The cluster type of the bullet 2 is invalid."},
      {16, "NO_EMIT", "The cluster type of the bullet 2 is invalid."},
      {17, "26", "The number of clusters of the bullet 2 is invalid."},
      {17, "-1", "The number of clusters of the bullet 2 is invalid."},
      {18, "1.01", "The cluster speed of the bullet 2 is invalid."},
      {18, "-1", "The cluster speed of the bullet 2 is invalid."},
      {19, "500.5", "The light range of the bullet 2 is invalid."},
      {19, "-1", "The light range of the bullet 2 is invalid."},
      {20, "0 2 0", "The light color of the bullet 2 is invalid."},
      {20, "0 0", "The light color of the bullet 2 is invalid."},
      {21, "", "The flags of the bullet 2 is invalid."},
      {21, "none", "The flags of the bullet 2 is invalid."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(load_with_second(c.line, c.value), 0) << c.line << " " << c.value;
    EXPECT_EQ(last(), std::string("ERROR: ") + c.message) << c.line << " " << c.value;
  }
}

TEST_F(BulletsConfig, LimitsAreInclusive) {
  const struct {
    int line;
    const char* value;
  } cases[] = {
      {3, "1 0"},      {3, "65535 0"},   {4, "1e6"},      {4, "-3"},      {5, "0"},         {6, "0"},
      {7, "0"},        {7, "5"},         {8, "0"},        {9, "3 2 0"},   {10, "3"},        {10, "-100"},
      {11, "0 0 0"},   {11, "1 1 1"},    {12, "1 1"},     {14, "100 50"}, {14, "10000 -7"}, {15, "0"},
      {15, "1"},       {17, "0"},        {17, "25"},      {18, "1"},      {19, "0"},        {19, "500"},
      {20, "1 1 1"},   {21, "65535"},    {13, "first"},   {16, "first"},  {2, "ball   trailing words"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(load_with_second(c.line, c.value), 1) << c.line << " " << c.value << ": " << last();
    free_bullet_types();
  }
  EXPECT_EQ(message_count(), 0);
}

TEST_F(BulletsConfig, ATrailOfAnyNegativeValueIsNoTrail) {
  ASSERT_EQ(load_with_second(10, "-200"), 1);
  EXPECT_EQ(bullet_type[1].trail, -1);
}

TEST_F(BulletsConfig, TheFirstTypeCanNameNoOther) {
  std::vector<std::string> first = bullet_record("first");
  first[12] = "first";
  put("other/bullets.cfg", cfg({first}));
  EXPECT_EQ(load_bullet_types(), 0);
  EXPECT_EQ(last(), "ERROR: The emit type of the bullet 1 is invalid.");
  free_bullet_types();
  first = bullet_record("first");
  first[15] = "first";
  put("other/bullets.cfg", cfg({first}));
  EXPECT_EQ(load_bullet_types(), 0);
  EXPECT_EQ(last(), "ERROR: The cluster type of the bullet 1 is invalid.");
}

TEST_F(BulletsConfig, ReferencesGoToTheFirstOfEqualNamesBefore) {
  std::vector<std::string> third = bullet_record("third");
  third[12] = "twin";
  third[15] = "twin";
  put("other/bullets.cfg", cfg({bullet_record("twin"), bullet_record("twin"), third}));
  ASSERT_EQ(load_bullet_types(), 1) << last();
  EXPECT_EQ(bullet_type[2].emit, 0);
  EXPECT_EQ(bullet_type[2].cluster, 0);
}

TEST_F(BulletsConfig, CountsAndFile) {
  EXPECT_EQ(load_bullet_types(), 0);
  EXPECT_EQ(last(), "ERROR: Can't find bullets.cfg");
  for (const char* count : {"0", "100", "-1"}) {
    put("other/bullets.cfg", cfg("1", count, {bullet_record("first")}));
    EXPECT_EQ(load_bullet_types(), 0);
    EXPECT_EQ(last(), std::string("ERROR: Number of bullet types (") + count + ") is invalid!");
    EXPECT_EQ(bullet_type, nullptr);
    EXPECT_EQ(bullet_types, 0);
  }
  put("other/bullets.cfg", cfg("1.000001", "1", {bullet_record("first")}));
  EXPECT_EQ(load_bullet_types(), 0);
  EXPECT_EQ(last(), "ERROR: The file bullets.cfg has a wrong version!");

  std::vector<std::vector<std::string>> many;
  for (int i = 0; i < 99; i++) many.push_back(bullet_record("t" + std::to_string(i)));
  many[98][12] = "t97";
  put("other/bullets.cfg", cfg(many));
  ASSERT_EQ(load_bullet_types(), 1) << last();
  EXPECT_EQ(bullet_types, 99);
  EXPECT_EQ(bullet_type[98].emit, 97);
}

// After a refusal the count covers exactly the types holding a name, so release stays in
// bounds and finds every name.
TEST_F(BulletsConfig, AFailedLoadCountsTheNamedTypes) {
  std::vector<std::string> bad = bullet_record("third");
  bad[6] = "9";
  put("other/bullets.cfg", cfg("1", "5", {bullet_record("first"), bullet_record("second"), bad}));
  EXPECT_EQ(load_bullet_types(), 0);
  EXPECT_EQ(last(), "ERROR: The hole size of the bullet 3 is invalid.");
  EXPECT_EQ(bullet_types, 3);
  EXPECT_STREQ(bullet_type[2].name, "third");
  EXPECT_EQ(bullet_type[3].name, nullptr);
  free_bullet_types();
  EXPECT_EQ(bullet_type, nullptr);
  EXPECT_EQ(bullet_types, 0);
  free_bullet_types();  // harmless twice
}

}  // namespace
}  // namespace vurkhold
