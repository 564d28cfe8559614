// fuzz targets: the five configuration files, one program each (FUZZ_CONFIG names it).
// The files before it in the start-up order load once from the shipped content, since
// each file names entries of the ones before; the fuzzed file is loaded and released on
// every input, a load that stopped half way included.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "harness.h"
#include "platform/platform.h"
#include "shell/shell.h"
#include "world/world.h"

namespace {

using namespace vurkhold;

struct CONFIG_TARGET {
  const char* name;
  const char* path;
  int (*load)();
  void (*release)();
};

// free_models releases both model lists and nothing else, and the fixed models it also
// frees are never loaded here.
constexpr CONFIG_TARGET targets[] = {
    {"sounds", "other/sounds.cfg", load_weapon_sounds, free_sounds},
    {"bmodels", "other/bmodels.cfg", load_bullet_models, free_models},
    {"wmodels", "other/wmodels.cfg", load_weapon_models, free_models},
    {"bullets", "other/bullets.cfg", load_bullet_types, free_bullet_types},
    {"weapons", "other/weapons.cfg", load_weapon_types, free_weapon_types},
};

const CONFIG_TARGET* target;

// The smallest shipped file of each media folder is copied over every other file there.
// A configuration line only asks whether the file it names loads, so the stand-ins reach
// the same branches, while loading the real sounds and models took almost all of each run
// (about 2,000 inputs a second instead of tens of thousands). Their own readers have
// targets of their own.
void stand_in_media() {
  namespace fs = std::filesystem;
  for (const char* folder : {"sounds", "models", "textures"}) {
    fs::path smallest;
    std::uintmax_t smallest_size = UINTMAX_MAX;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
      if (entry.is_regular_file() && entry.file_size() < smallest_size) {
        smallest = entry.path();
        smallest_size = entry.file_size();
      }
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      if (entry.path() == smallest) continue;
      std::error_code error;
      fs::copy_file(smallest, entry.path(), fs::copy_options::overwrite_existing, error);
      if (error) {
        std::fprintf(stderr, "fuzz: can't stand %s in for %s: %s\n", smallest.c_str(), entry.path().c_str(),
                     error.message().c_str());
        std::exit(1);
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::enter_scratch_game(argc, argv);
  stand_in_media();
  for (const CONFIG_TARGET& t : targets) {
    if (std::strcmp(t.name, FUZZ_CONFIG) == 0) {
      target = &t;
      break;
    }
    // wmodels.cfg names no bullet models: the weapon model list loads alone.
    if (std::strcmp(FUZZ_CONFIG, "wmodels") == 0 && t.load == load_bullet_models) continue;
    if (!t.load()) {
      std::fprintf(stderr, "fuzz: the shipped %s.cfg does not load: %s\n", t.name, platform::last_message_text());
      std::exit(1);
    }
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::write_input(target->path, data, size);
  target->load();
  target->release();
  return 0;
}
