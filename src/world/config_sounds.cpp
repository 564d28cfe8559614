// "other/sounds.cfg": the named samples weapons play, plus the two fixed samples of
// explosions and deaths.
#include <cstdlib>

#include "world/world.h"

namespace vurkhold {

namespace {
constexpr int MAX_SOUNDS = 19;
}

int load_weapon_sounds() {
  CONFIG_FILE c;
  if (!config_open(&c, "other/sounds.cfg")) {
    report_error("Can't find sounds.cfg");
    return 0;
  }
  if (!config_version_ok(&c)) return config_fail(&c, "The file sounds.cfg has a wrong version!");
  config_read_line(&c);
  int count = 0;
  if (std::sscanf(c.line, "%d", &count) != 1 || count < 1 || count > MAX_SOUNDS)
    return config_fail(&c, "Number of sounds (%d) is invalid!", count);
  sound = static_cast<SOUND*>(std::calloc(static_cast<size_t>(count), sizeof(SOUND)));
  if (!sound) return config_fail(&c, "No memory for sounds.");
  sounds = 0;

  for (int i = 0; i < count; i++) {
    const int number = i + 1;
    char word[CONFIG_NAME_SIZE] = "";
    config_read_line(&c);
    config_read_line(&c);
    if (std::sscanf(c.line, "%31s", word) != 1) return config_fail(&c, "The name of sound %d is invalid.", number);
    sound[i].name = config_new_name(word);
    if (!sound[i].name) return config_fail(&c, "The name of sound %d is invalid.", number);
    sounds = i + 1;

    config_read_line(&c);
    char file[CONFIG_LINE_SIZE];
    if (std::sscanf(c.line, "%79s", file) != 1)
      return config_fail(&c, "The filename of sound (%d) is invalid.", number);
    char path[CONFIG_PATH_SIZE];
    std::snprintf(path, sizeof path, "sounds\\%s", file);
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
