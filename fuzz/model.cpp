// fuzz target: a model file; a refused file must leave nothing behind that free_model
// does not release.
#include "assets/assets.h"
#include "harness.h"

namespace {
vurkhold::MODEL model;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  vurkhold::fuzz::enter_scratch_game(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vurkhold::fuzz::write_input("models/fuzz.m3d", data, size);
  vurkhold::load_milkshape_model(&model, "models/fuzz.m3d");
  vurkhold::free_model(&model);
  return 0;
}
