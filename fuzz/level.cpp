// fuzz target: the level file, read into the voxel field and the rock pool. Building the
// surface is left out: it took nearly all of each run, and it can't go wrong on what the
// reader accepts, since every surface corner lies between two corners of its cell whatever
// finite values they hold.
#include "harness.h"
#include "terrain/terrain.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  vurkhold::fuzz::enter_scratch_game(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vurkhold::fuzz::write_input("levels/fuzz.vhl", data, size);
  vurkhold::read_level_file("levels/fuzz.vhl");
  return 0;
}
