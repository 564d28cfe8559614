// name look-ups in the configuration tables: exact, case-sensitive, first match wins.
#include <cstring>

#include "world/world.h"

namespace vurkhold {

namespace {

// Scans names 0..count-1 and stops at the first entry not yet given a name.
template <typename T>
int find_by_name(const T* table, int count, const char* name) {
  if (!name || !table) return -1;
  for (int i = 0; i < count; i++) {
    if (!table[i].name) return -1;
    if (std::strcmp(table[i].name, name) == 0) return i;
  }
  return -1;
}

}  // namespace

int find_sound_by_name(const char* name) { return find_by_name(sound, sounds, name); }

int find_bulletmodel_by_name(const char* name) { return find_by_name(bullet_model, bullet_models, name); }

int find_weaponmodel_by_name(const char* name) { return find_by_name(weapon_model, weapon_models, name); }

int find_bullettype_by_name(const char* name) { return find_by_name(bullet_type, bullet_types, name); }

int find_bullettype_by_name_2(const char* name, int limit) {
  if (limit < 1 || limit > bullet_types) return -1;
  return find_by_name(bullet_type, limit, name);
}

}  // namespace vurkhold
