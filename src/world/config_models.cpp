// "other/bmodels.cfg" and "other/wmodels.cfg": the model lists of bullets and weapons,
// each model with its name, and for weapons their own texture.
#include <cstdlib>

#include "assets/assets.h"
#include "world/world.h"

namespace vurkhold {

int load_bullet_models() {
  // One entry stays free: the list holds fewer than the table's room.
  static constexpr CONFIG_HEADER header = {"other/bmodels.cfg", "Can't open bmodels.cfg",
                                           "The file bmodels.cfg has a wrong version!",
                                           "The number of bullet models (%d) is invalid.", MAX_BULLETMODELS - 1};
  CONFIG_FILE c;
  int count = 0;
  if (!config_begin(&c, &header, &count)) return 0;
  for (int i = 0; i < count; i++) {
    const int number = i + 1;
    MODEL* m = &bullet_model[i];
    if (!config_read_name(&c, &m->name, "The name of bullet model %d is invalid.", number)) return 0;
    bullet_models = i + 1;

    config_read_line(&c);
    int type = -1;
    if (read_numbers(c.line, &type) != 1 || (type != 0 && type != 1))
      return config_fail(&c, "The type of bullet model %d is invalid.", number);

    char path[CONFIG_PATH_SIZE];
    if (!config_read_path(&c, "models\\", path, sizeof path))
      return config_fail(&c, "The filename of bullet model (%d) is invalid.", number);
    if (!load_milkshape_model(m, path)) return config_fail(&c, "The loading of bullet model (%d) failed.", number);
    m->type = type == 1 ? MT_SPRITE : MT_NORMAL;
  }
  config_close(&c);
  return 1;
}

int load_weapon_models() {
  static constexpr CONFIG_HEADER header = {"other/wmodels.cfg", "Can't open wmodels.cfg",
                                           "The file wmodels.cfg has a wrong version!",
                                           "The number of weapon models (%d) is invalid.", MAX_WEAPONMODELS - 1};
  CONFIG_FILE c;
  int count = 0;
  if (!config_begin(&c, &header, &count)) return 0;
  for (int i = 0; i < count; i++) {
    const int number = i + 1;
    MODEL* m = &weapon_model[i];
    if (!config_read_name(&c, &m->name, "The name of the weapon model %d is invalid.", number)) return 0;
    weapon_models = i + 1;

    char path[CONFIG_PATH_SIZE];
    if (!config_read_path(&c, "models\\", path, sizeof path))
      return config_fail(&c, "The filename of weapon model (%d) is invalid.", number);
    if (!load_milkshape_model(m, path)) return config_fail(&c, "The loading of weapon model (%d) failed.", number);

    if (!config_read_path(&c, "textures\\", path, sizeof path))
      return config_fail(&c, "The filename of weapon texture (%d) is invalid.", number);
    if (!load_tga_texture(path, &m->texture))
      return config_fail(&c, "The loading of weapon texture (%d) failed.", number);
  }
  config_close(&c);
  return 1;
}

}  // namespace vurkhold
