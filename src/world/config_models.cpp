// "other/bmodels.cfg" and "other/wmodels.cfg": the model lists of bullets and weapons,
// each model with its name, and for weapons their own texture.
#include <cstdlib>

#include "render/render.h"
#include "world/world.h"

namespace vurkhold {

int load_bullet_models() {
  CONFIG_FILE c;
  if (!config_open(&c, "other/bmodels.cfg")) {
    report_error("Can't open bmodels.cfg");
    return 0;
  }
  if (!config_version_ok(&c)) return config_fail(&c, "The file bmodels.cfg has a wrong version!");
  config_read_line(&c);
  int count = 0;
  if (std::sscanf(c.line, "%d", &count) != 1 || count < 1 || count >= MAX_BULLETMODELS)
    return config_fail(&c, "The number of bullet models (%d) is invalid.", count);

  for (int i = 0; i < count; i++) {
    const int number = i + 1;
    MODEL* m = &bullet_model[i];
    char word[CONFIG_NAME_SIZE] = "";
    config_read_line(&c);
    config_read_line(&c);
    if (std::sscanf(c.line, "%31s", word) != 1)
      return config_fail(&c, "The name of bullet model %d is invalid.", number);
    m->name = config_new_name(word);
    if (!m->name) return config_fail(&c, "The name of bullet model %d is invalid.", number);
    bullet_models = i + 1;

    config_read_line(&c);
    int type = -1;
    if (std::sscanf(c.line, "%d", &type) != 1 || (type != 0 && type != 1))
      return config_fail(&c, "The type of bullet model %d is invalid.", number);

    config_read_line(&c);
    char file[CONFIG_LINE_SIZE];
    if (std::sscanf(c.line, "%79s", file) != 1)
      return config_fail(&c, "The filename of bullet model (%d) is invalid.", number);
    char path[CONFIG_PATH_SIZE];
    std::snprintf(path, sizeof path, "models\\%s", file);
    if (!load_milkshape_model(m, path)) return config_fail(&c, "The loading of bullet model (%d) failed.", number);
    m->type = type == 1 ? MT_SPRITE : MT_NORMAL;
  }
  config_close(&c);
  return 1;
}

int load_weapon_models() {
  CONFIG_FILE c;
  if (!config_open(&c, "other/wmodels.cfg")) {
    report_error("Can't open wmodels.cfg");
    return 0;
  }
  if (!config_version_ok(&c)) return config_fail(&c, "The file wmodels.cfg has a wrong version!");
  config_read_line(&c);
  int count = 0;
  if (std::sscanf(c.line, "%d", &count) != 1 || count < 1 || count >= MAX_WEAPONMODELS)
    return config_fail(&c, "The number of weapon models (%d) is invalid.", count);

  for (int i = 0; i < count; i++) {
    const int number = i + 1;
    MODEL* m = &weapon_model[i];
    char word[CONFIG_NAME_SIZE] = "";
    config_read_line(&c);
    config_read_line(&c);
    if (std::sscanf(c.line, "%31s", word) != 1)
      return config_fail(&c, "The name of the weapon model %d is invalid.", number);
    m->name = config_new_name(word);
    if (!m->name) return config_fail(&c, "The name of the weapon model %d is invalid.", number);
    weapon_models = i + 1;

    config_read_line(&c);
    char file[CONFIG_LINE_SIZE];
    if (std::sscanf(c.line, "%79s", file) != 1)
      return config_fail(&c, "The filename of weapon model (%d) is invalid.", number);
    char path[CONFIG_PATH_SIZE];
    std::snprintf(path, sizeof path, "models\\%s", file);
    if (!load_milkshape_model(m, path)) return config_fail(&c, "The loading of weapon model (%d) failed.", number);

    config_read_line(&c);
    if (std::sscanf(c.line, "%79s", file) != 1)
      return config_fail(&c, "The filename of weapon texture (%d) is invalid.", number);
    std::snprintf(path, sizeof path, "textures\\%s", file);
    if (!load_tga_texture(path, &m->texture))
      return config_fail(&c, "The loading of weapon texture (%d) failed.", number);
  }
  config_close(&c);
  return 1;
}

}  // namespace vurkhold
