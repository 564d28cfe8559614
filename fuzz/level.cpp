// fuzz target: the level file, read into the voxel field and built into a surface.
#include "harness.h"
#include "terrain/terrain.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  vurkhold::fuzz::enter_scratch_game(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vurkhold::fuzz::write_input("levels/fuzz.vhl", data, size);
  vurkhold::load_level_file("levels/fuzz.vhl");
  return 0;
}
