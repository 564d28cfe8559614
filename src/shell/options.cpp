// command line: the options of the game and their checks.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/shell.h"

namespace vurkhold {

const char* const usage_text =
    "Usage: vurkhold [OPTION]...\n"
    "Burrowing creatures fight inside a voxel cave: one or two players at one computer.\n"
    "\n"
    "  --windowed      run in a window (do not ask about full screen)\n"
    "  --fullscreen    run full screen (do not ask)\n"
    "  --data DIR      read the game's content from DIR (default: the program's folder)\n"
    "  --seed N        fix the random generator, for reproducible runs\n"
    "  --no-vsync      do not wait for the display's refresh between frames\n"
    "  --no-sound      play no sound, for machines without a sound device\n"
    "  --frames N      end after N drawn frames and shut down normally\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "Without a sound device the game stops at start with \"Can't initalize sound card.\";\n"
    "--no-sound starts it silent.\n";

namespace {

bool read_number(const char* text, unsigned long long max, unsigned long long* value) {
  if (!text || !*text || *text == '-' || *text == '+') return false;
  errno = 0;
  char* end = nullptr;
  unsigned long long v = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || v > max) return false;
  *value = v;
  return true;
}

}  // namespace

int parse_options(int argc, char** argv, OPTIONS* options, char* error, int error_size) {
  *options = OPTIONS{};
  options->fullscreen = -1;
  options->vsync = 1;
  for (int i = 1; i < argc; i++) {
    const char* arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    unsigned long long number = 0;
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      options->help = 1;
    } else if (std::strcmp(arg, "--version") == 0) {
      options->version = 1;
    } else if (std::strcmp(arg, "--windowed") == 0) {
      options->fullscreen = 0;
    } else if (std::strcmp(arg, "--fullscreen") == 0) {
      options->fullscreen = 1;
    } else if (std::strcmp(arg, "--no-vsync") == 0) {
      options->vsync = 0;
    } else if (std::strcmp(arg, "--no-sound") == 0) {
      options->no_sound = 1;
    } else if (std::strcmp(arg, "--data") == 0) {
      if (!value || !*value) {
        std::snprintf(error, error_size, "--data needs a folder");
        return 0;
      }
      options->data_dir = value;
      i++;
    } else if (std::strcmp(arg, "--seed") == 0) {
      if (!read_number(value, 0xFFFFFFFFull, &number)) {
        std::snprintf(error, error_size, "--seed needs a number from 0 to 4294967295");
        return 0;
      }
      options->seed_given = 1;
      options->seed = static_cast<unsigned>(number);
      i++;
    } else if (std::strcmp(arg, "--frames") == 0) {
      if (!read_number(value, 2000000000ull, &number) || number == 0) {
        std::snprintf(error, error_size, "--frames needs a number from 1 to 2000000000");
        return 0;
      }
      options->frames = static_cast<long>(number);
      i++;
    } else {
      std::snprintf(error, error_size, "unknown option '%s'", arg);
      return 0;
    }
  }
  return 1;
}

}  // namespace vurkhold
