// fuzz target: the command line; the input, split at NUL bytes, is the arguments after
// the program's name.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "shell/shell.h"

namespace {
constexpr int MAX_ARGS = 64;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Each argument its own heap copy, so a read past one's end is caught.
  char* args[MAX_ARGS + 1];
  int argc = 0;
  args[argc++] = strdup("vurkhold");
  size_t start = 0;
  for (size_t i = 0; i <= size && argc < MAX_ARGS; i++) {
    if (i < size && data[i] != 0) continue;
    args[argc++] = strndup(reinterpret_cast<const char*>(data) + start, i - start);
    start = i + 1;
  }
  args[argc] = nullptr;
  vurkhold::OPTIONS options;
  char error[256];
  vurkhold::parse_options(argc, args, &options, error, sizeof error);
  for (int i = 0; i < argc; i++) std::free(args[i]);
  return 0;
}
