// "other/weapons.cfg": the weapon types, each naming its model, its ammunition and the
// sound of its shot from the tables loaded before it.
#include <cstdlib>

#include "world/world.h"

namespace vurkhold {

namespace {

constexpr int MAX_VARIATION = 180;

// Lines 2..10 of record i; the name is already stored.
int read_weapon_values(CONFIG_FILE* c, int i, WEAPON_TYPE* w) {
  const int number = i + 1;
  char word[CONFIG_NAME_SIZE] = "";

  config_read_line(c);
  int model = -1;
  if (std::sscanf(c->line, "%31s", word) == 1) model = find_weaponmodel_by_name(word);
  if (model < 0)
    return config_fail(c, "The weapon model (%d %s) of the weapon %d is invalid.", model, word, number);
  w->model = &weapon_model[model];

  config_read_line(c);
  int ammo = 0;
  if (read_numbers(c->line, &ammo) != 1 || ammo < 1)
    return config_fail(c, "The number of ammo per clip (%d) in weapon %d is invalid.", ammo, number);
  w->ammo_per_clip = ammo;

  config_read_line(c);
  if (read_numbers(c->line, &w->fire_rate) != 1 || w->fire_rate < 10)
    return config_fail(c, "The fire rate of the weapon %d is invalid.", number);

  config_read_line(c);
  if (read_numbers(c->line, &w->load_time) != 1 || w->load_time < 1)
    return config_fail(c, "The load time of the weapon %d is invalid.", number);

  config_read_line(c);
  word[0] = '\0';
  int ammo_type = -1;
  if (std::sscanf(c->line, "%31s", word) == 1) ammo_type = find_bullettype_by_name(word);
  if (ammo_type < 0)
    return config_fail(c, "The ammo type (%d %s) of the weapon %d is invalid.", ammo_type, word, number);
  w->ammo_type = &bullet_type[ammo_type];

  config_read_line(c);
  if (read_numbers(c->line, &w->bullets_per_shot) != 1 || w->bullets_per_shot < 1)
    return config_fail(c, "The number of bullets per shot in weapon %d is invalid.", number);

  config_read_line(c);
  if (read_numbers(c->line, &w->variation) != 1 || w->variation < 0 || w->variation > MAX_VARIATION)
    return config_fail(c, "The variation of the weapon %d is invalid.", number);

  config_read_line(c);
  if (read_numbers(c->line, &w->bullet_speed) != 1 || !(w->bullet_speed > 0.0f && w->bullet_speed <= 1.0f))
    return config_fail(c, "The bullet speed of the weapon %d is invalid.", number);

  config_read_line(c);
  word[0] = '\0';
  int sound_index = -1;
  if (std::sscanf(c->line, "%31s", word) == 1) sound_index = find_sound_by_name(word);
  if (sound_index < 0)
    return config_fail(c, "The sound (%d %s) of the weapon %d is invalid.", sound_index, word, number);
  w->sound = sound[sound_index].sample;
  return 1;
}

}  // namespace

int load_weapon_types() {
  static constexpr CONFIG_HEADER header = {"other/weapons.cfg", "Can't open weapons.cfg",
                                           "The file weapons.cfg has a wrong version!",
                                           "The number of weapons (%d) is invalid.", MAX_WEAPON_TYPES};
  CONFIG_FILE c;
  int count = 0;
  if (!config_begin(&c, &header, &count)) return 0;
  weapon_type = static_cast<WEAPON_TYPE*>(std::calloc(static_cast<size_t>(count), sizeof(WEAPON_TYPE)));
  if (!weapon_type) return config_fail(&c, "No memory for weapons.");
  weapons = 0;

  for (int i = 0; i < count; i++) {
    WEAPON_TYPE* w = &weapon_type[i];
    if (!config_read_name(&c, &w->name, "The name of the weapon %d is invalid.", i + 1)) return 0;
    weapons = i + 1;
    if (!read_weapon_values(&c, i, w)) return 0;
  }
  config_close(&c);
  return 1;
}

void free_weapon_types() {
  for (int i = 0; i < weapons; i++) {
    std::free(weapon_type[i].name);
    weapon_type[i].name = nullptr;
  }
  std::free(weapon_type);
  weapon_type = nullptr;
  weapons = 0;
}

}  // namespace vurkhold
