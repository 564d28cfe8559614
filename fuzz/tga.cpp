// fuzz target: a TGA image, read and checked as the texture loader does.
#include "assets/assets.h"
#include "harness.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  vurkhold::fuzz::enter_scratch_game(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vurkhold::fuzz::write_input("textures/fuzz.tga", data, size);
  vurkhold::TGA_IMAGE image;
  if (vurkhold::read_tga_image("textures/fuzz.tga", &image)) vurkhold::free_tga_image(&image);
  return 0;
}
