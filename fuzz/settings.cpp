// fuzz target: the settings file, read over the settings in place. The weapon list it
// names weapons from loads once from the shipped configuration files.
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "harness.h"
#include "platform/platform.h"
#include "shell/shell.h"
#include "world/world.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  using namespace vurkhold;
  fuzz::enter_scratch_game(argc, argv);
  for (int (*load)() : {load_weapon_sounds, load_bullet_models, load_weapon_models, load_bullet_types,
                        load_weapon_types})
    if (!load()) {
      std::fprintf(stderr, "fuzz: the shipped configuration does not load: %s\n", platform::last_message_text());
      std::exit(1);
    }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vurkhold::fuzz::write_input("settings.cfg", data, size);
  char message[512];
  vurkhold::read_settings("settings.cfg", message, sizeof message);
  return 0;
}
