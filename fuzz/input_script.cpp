// fuzz target: a script of input events.
#include "harness.h"
#include "shell/shell.h"

namespace {
vurkhold::INPUT_SCRIPT script;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  vurkhold::fuzz::enter_scratch_game(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vurkhold::fuzz::write_input("script.txt", data, size);
  char error[256];
  vurkhold::read_input_script("script.txt", &script, error, sizeof error);
  return 0;
}
