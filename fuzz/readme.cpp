// fuzz target: the help text, cut into the menu's list lines.
#include "harness.h"
#include "menu/menu.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  vurkhold::fuzz::enter_scratch_game(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vurkhold::fuzz::write_input("readme.txt", data, size);
  vurkhold::load_readme();
  vurkhold::free_textlines();
  return 0;
}
