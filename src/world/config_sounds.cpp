// "other/sounds.cfg": the named samples weapons play, plus the two fixed samples of
// explosions and deaths.
#include <cstdlib>

#include "world/world.h"

namespace vurkhold {

namespace {
constexpr int MAX_SOUNDS = 19;
}

int load_weapon_sounds() {
  static constexpr CONFIG_HEADER header = {"other/sounds.cfg", "Can't find sounds.cfg",
                                           "The file sounds.cfg has a wrong version!",
                                           "Number of sounds (%d) is invalid!", MAX_SOUNDS};
  CONFIG_FILE c;
  int count = 0;
  if (!config_begin(&c, &header, &count)) return 0;
  sound = static_cast<SOUND*>(std::calloc(static_cast<size_t>(count), sizeof(SOUND)));
  if (!sound) return config_fail(&c, "No memory for sounds.");
  sounds = 0;

  for (int i = 0; i < count; i++) {
    const int number = i + 1;
    if (!config_read_name(&c, &sound[i].name, "The name of sound %d is invalid.", number)) return 0;
    sounds = i + 1;
    char path[CONFIG_PATH_SIZE];
    if (!config_read_path(&c, "sounds\\", path, sizeof path))
      return config_fail(&c, "The filename of sound (%d) is invalid.", number);
    sound[i].sample = platform::sample_load(path);
    if (!sound[i].sample) return config_fail(&c, "The loading of sound (%d) failed.", number);
  }
  config_close(&c);

  // Without either of these the game still runs, silently where they would play.
  explosion_sound = platform::sample_load("sounds\\exp1.wav");
  death_sound = platform::sample_load("sounds\\death.wav");
  return 1;
}

void free_sounds() {
  for (int i = 0; i < sounds; i++) {
    std::free(sound[i].name);
    sound[i].name = nullptr;
    platform::sample_free(sound[i].sample);
    sound[i].sample = nullptr;
  }
  std::free(sound);
  sound = nullptr;
  sounds = 0;
  platform::sample_free(explosion_sound);
  explosion_sound = nullptr;
  platform::sample_free(death_sound);
  death_sound = nullptr;
}

}  // namespace vurkhold
