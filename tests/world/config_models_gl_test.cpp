// "other/bmodels.cfg" and "other/wmodels.cfg": model lists with their names, sprite types
// and weapon textures, the count limits, and every refusal with its message.
#include "world/config_test_files.h"

namespace vurkhold {
namespace {

using namespace config_test;

class ModelLists : public ConfigFolder {};

TEST_F(ModelLists, BulletModelsWithTheirTypes) {
  put("models/Star.TXT", model_text());
  put("other/bmodels.cfg", cfg({bullet_model_record("ball", "0"), bullet_model_record("spark", "1 sprite", "star.txt")}));
  ASSERT_EQ(load_bullet_models(), 1) << last();
  EXPECT_EQ(message_count(), 0);
  ASSERT_EQ(bullet_models, 2);
  EXPECT_STREQ(bullet_model[0].name, "ball");
  EXPECT_STREQ(bullet_model[1].name, "spark");
  EXPECT_EQ(bullet_model[0].type, MT_NORMAL);
  EXPECT_EQ(bullet_model[1].type, MT_SPRITE);
  EXPECT_EQ(bullet_model[1].number_of_meshes, 1);
  EXPECT_EQ(bullet_model[1].mesh[0].number_of_polygons, 1);
  EXPECT_EQ(find_bulletmodel_by_name("spark"), 1);
  EXPECT_EQ(find_bulletmodel_by_name("Spark"), -1);
}

TEST_F(ModelLists, WeaponModelsWithTheirTextures) {
  put("other/wmodels.cfg", cfg({weapon_model_record("gun"), weapon_model_record("cannon", "tri.txt", "W.TGA")}));
  ASSERT_EQ(load_weapon_models(), 1) << last();
  EXPECT_EQ(message_count(), 0);
  ASSERT_EQ(weapon_models, 2);
  EXPECT_STREQ(weapon_model[1].name, "cannon");
  EXPECT_NE(weapon_model[0].texture, 0u);
  EXPECT_NE(weapon_model[1].texture, 0u);
  EXPECT_NE(weapon_model[0].texture, weapon_model[1].texture);
  EXPECT_EQ(glIsTexture(weapon_model[1].texture), GL_TRUE);
  EXPECT_EQ(weapon_model[0].number_of_meshes, 1);
  EXPECT_EQ(find_weaponmodel_by_name("cannon"), 1);
}

TEST_F(ModelLists, CountsStayBelowTheTableSizes) {
  std::vector<std::vector<std::string>> bullets;
  for (int i = 0; i < 19; i++) bullets.push_back(bullet_model_record("b" + std::to_string(i)));
  put("other/bmodels.cfg", cfg(bullets));
  ASSERT_EQ(load_bullet_models(), 1) << last();
  EXPECT_EQ(bullet_models, 19);
  EXPECT_EQ(find_bulletmodel_by_name("b18"), 18);

  std::vector<std::vector<std::string>> weapons_list;
  for (int i = 0; i < 49; i++) weapons_list.push_back(weapon_model_record("w" + std::to_string(i)));
  put("other/wmodels.cfg", cfg(weapons_list));
  ASSERT_EQ(load_weapon_models(), 1) << last();
  EXPECT_EQ(weapon_models, 49);
  EXPECT_EQ(find_weaponmodel_by_name("w48"), 48);
  TearDown();
  SetUp();

  bullets.push_back(bullet_model_record("b19"));
  put("other/bmodels.cfg", cfg(bullets));
  EXPECT_EQ(load_bullet_models(), 0);
  EXPECT_EQ(last(), "ERROR: The number of bullet models (20) is invalid.");
  EXPECT_EQ(bullet_models, 0);
  weapons_list.push_back(weapon_model_record("w49"));
  put("other/wmodels.cfg", cfg(weapons_list));
  EXPECT_EQ(load_weapon_models(), 0);
  EXPECT_EQ(last(), "ERROR: The number of weapon models (50) is invalid.");
  EXPECT_EQ(weapon_models, 0);
  for (const char* count : {"0", "-1", "", "many"}) {
    put("other/bmodels.cfg", cfg("1", count, bullets));
    EXPECT_EQ(load_bullet_models(), 0);
    EXPECT_EQ(last(), std::string("ERROR: The number of bullet models (") + (count[0] == '-' ? "-1" : "0") +
                          ") is invalid.");
    put("other/wmodels.cfg", cfg("1", count, weapons_list));
    EXPECT_EQ(load_weapon_models(), 0);
    EXPECT_EQ(last(), std::string("ERROR: The number of weapon models (") + (count[0] == '-' ? "-1" : "0") +
                          ") is invalid.");
  }
}

TEST_F(ModelLists, FilesAndVersions) {
  EXPECT_EQ(load_bullet_models(), 0);
  EXPECT_EQ(last(), "ERROR: Can't open bmodels.cfg");
  EXPECT_EQ(load_weapon_models(), 0);
  EXPECT_EQ(last(), "ERROR: Can't open wmodels.cfg");
  put("other/bmodels.cfg", cfg("1.01", "1", {bullet_model_record("ball")}));
  EXPECT_EQ(load_bullet_models(), 0);
  EXPECT_EQ(last(), "ERROR: The file bmodels.cfg has a wrong version!");
  put("other/wmodels.cfg", cfg("", "1", {weapon_model_record("gun")}));
  EXPECT_EQ(load_weapon_models(), 0);
  EXPECT_EQ(last(), "ERROR: The file wmodels.cfg has a wrong version!");
  EXPECT_EQ(bullet_models + weapon_models, 0);
}

struct Fault {
  std::vector<std::vector<std::string>> records;
  const char* message;
  int named;  // entries holding a name afterwards, all released at the end
};

TEST_F(ModelLists, BulletModelFaults) {
  const Fault faults[] = {
      {{bullet_model_record("a"), bullet_model_record("")}, "ERROR: The name of bullet model 2 is invalid.", 1},
      {{bullet_model_record("a", "2")}, "ERROR: The type of bullet model 1 is invalid.", 1},
      {{bullet_model_record("a", "-1")}, "ERROR: The type of bullet model 1 is invalid.", 1},
      {{bullet_model_record("a", "sprite")}, "ERROR: The type of bullet model 1 is invalid.", 1},
      {{bullet_model_record("a"), bullet_model_record("b", "1", "")},
       "ERROR: The filename of bullet model (2) is invalid.", 2},
      {{bullet_model_record("a"), bullet_model_record("b", "1", "none.txt")},
       "ERROR: The loading of bullet model (2) failed.", 2},
      {{bullet_model_record("a", "0", "broken.txt")}, "ERROR: The loading of bullet model (1) failed.", 1},
  };
  put("models/broken.txt", std::string("// MilkShape 3D ASCII\n\nFrames: 1\nFrame: 1\n\nMeshes: 1\n\"m\" 0 0\n3\n"));
  for (const Fault& f : faults) {
    put("other/bmodels.cfg", cfg(f.records));
    EXPECT_EQ(load_bullet_models(), 0) << f.message;
    EXPECT_EQ(last(), f.message);
    EXPECT_EQ(bullet_models, f.named) << f.message;
    for (int i = 0; i < bullet_models; i++) release_model(&bullet_model[i]);
    bullet_models = 0;
  }
}

TEST_F(ModelLists, WeaponModelFaults) {
  put("textures/odd.tga", std::string("not an image"));
  const Fault faults[] = {
      {{weapon_model_record("a"), weapon_model_record("  ")}, "ERROR: The name of the weapon model 2 is invalid.", 1},
      {{weapon_model_record("a", "")}, "ERROR: The filename of weapon model (1) is invalid.", 1},
      {{weapon_model_record("a", "none.txt")}, "ERROR: The loading of weapon model (1) failed.", 1},
      {{weapon_model_record("a"), weapon_model_record("b", "tri.txt", "")},
       "ERROR: The filename of weapon texture (2) is invalid.", 2},
      {{weapon_model_record("a", "tri.txt", "none.tga")}, "ERROR: The loading of weapon texture (1) failed.", 1},
      {{weapon_model_record("a", "tri.txt", "odd.tga")}, "ERROR: The loading of weapon texture (1) failed.", 1},
  };
  for (const Fault& f : faults) {
    put("other/wmodels.cfg", cfg(f.records));
    EXPECT_EQ(load_weapon_models(), 0) << f.message;
    EXPECT_EQ(last(), f.message);
    EXPECT_EQ(weapon_models, f.named) << f.message;
    for (int i = 0; i < weapon_models; i++) release_model(&weapon_model[i]);
    weapon_models = 0;
  }
  // The texture loader has its say first.
  put("other/wmodels.cfg", cfg({weapon_model_record("a", "tri.txt", "none.tga")}));
  const int before = message_count();
  EXPECT_EQ(load_weapon_models(), 0);
  EXPECT_EQ(message_count(), before + 2);
}

}  // namespace
}  // namespace vurkhold
