// vurkhold-mklevel: the players' level maker. Builds a level in one of the styles with the
// same code that makes the shipped levels and writes it as a level file, and a picture of
// it on request.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "levelgen.h"
#include "platform/platform.h"
#include "records/records.h"

namespace {

void print_usage(FILE* out) {
  std::fputs(
      "Usage: vurkhold-mklevel [OPTIONS] -o FILE.vhl\n"
      "       vurkhold-mklevel [OPTIONS] FILE.vhl\n"
      "Makes a level for Vurkhold. Put it in the game's levels folder as NAME.vhl and\n"
      "it shows in the level list of the menu as LEVELS\\NAME.VHL.\n"
      "\n"
      "  --style NAME      the kind of level (default grotto):\n",
      out);
  for (int i = 0; i < levelgen::level_style_count; i++)
    std::fprintf(out, "                      %-10s  %s\n", levelgen::level_styles[i].name, levelgen::level_styles[i].summary);
  std::fputs(
      "  --seed N          0..4294967295, each another level of the style (default 1)\n"
      "  --rocks N         0..6 rocks in the open space (default: the style's own)\n"
      "  --rock-size S     0.5..3.0, the size of every rock (default: mixed, 1.0..2.0)\n"
      "  --preview FILE    also write a PNG picture of the level: three views of its\n"
      "                    open space and four horizontal slices\n"
      "  -o FILE           the level file to write\n"
      "  --help            this text\n"
      "\n"
      "The same style, seed and rock options always make the same file.\n",
      out);
}

int bad_argument(const char* format, const char* what) {
  std::fputs("vurkhold-mklevel: ", stderr);
  std::fprintf(stderr, format, what);
  std::fputs("\nTry 'vurkhold-mklevel --help'.\n", stderr);
  return 2;
}

bool parse_unsigned(const char* text, unsigned long max, unsigned long* out) {
  if (!text || !*text || *text == '-' || *text == '+') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || v > max) return false;
  *out = static_cast<unsigned long>(v);
  return true;
}

bool parse_size(const char* text, float* out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (*end != '\0' || !(v >= levelgen::MIN_ROCK_SIZE && v <= levelgen::MAX_ROCK_SIZE)) return false;
  *out = static_cast<float>(v);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const char* style_name = "grotto";
  const char* output = nullptr;
  const char* preview = nullptr;
  unsigned long seed = 1, rocks = 0;
  bool rocks_given = false;
  float rock_size = 0.0f;
  for (int i = 1; i < argc; i++) {
    const char* arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    auto takes_value = [&]() {
      if (!value) return false;
      i++;
      return true;
    };
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      print_usage(stdout);
      return 0;
    } else if (std::strcmp(arg, "--style") == 0) {
      if (!takes_value()) return bad_argument("%s needs a style name", arg);
      style_name = value;
    } else if (std::strcmp(arg, "--seed") == 0) {
      if (!takes_value() || !parse_unsigned(value, 4294967295ul, &seed))
        return bad_argument("--seed needs a whole number 0..4294967295, not '%s'", value ? value : "");
    } else if (std::strcmp(arg, "--rocks") == 0) {
      if (!takes_value() || !parse_unsigned(value, 6, &rocks))
        return bad_argument("--rocks needs a number 0..6, not '%s'", value ? value : "");
      rocks_given = true;
    } else if (std::strcmp(arg, "--rock-size") == 0) {
      if (!takes_value() || !parse_size(value, &rock_size))
        return bad_argument("--rock-size needs a size 0.5..3.0, not '%s'", value ? value : "");
    } else if (std::strcmp(arg, "--preview") == 0) {
      if (!takes_value()) return bad_argument("%s needs a PNG file name", arg);
      preview = value;
    } else if (std::strcmp(arg, "-o") == 0 || std::strcmp(arg, "--output") == 0) {
      if (!takes_value()) return bad_argument("%s needs a file name", arg);
      if (output) return bad_argument("only one level file can be written, not also '%s'", value);
      output = value;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      return bad_argument("unknown option '%s'", arg);
    } else {
      if (output) return bad_argument("only one level file can be written, not also '%s'", arg);
      output = arg;
    }
  }
  const levelgen::LEVEL_STYLE* style = levelgen::find_level_style(style_name);
  if (!style) {
    std::string names;
    for (int i = 0; i < levelgen::level_style_count; i++) names += std::string(i ? ", " : "") + levelgen::level_styles[i].name;
    std::fprintf(stderr, "vurkhold-mklevel: unknown style '%s'; the styles are %s.\n", style_name, names.c_str());
    return 2;
  }
  if (!output) return bad_argument("%s", "no level file given: name one with -o FILE.vhl");

  platform::set_dialogs_enabled(false);
  if (!vurkhold::allocate_pools()) {
    vurkhold::free_pools();
    return 1;
  }
  vurkhold::bind_world();
  levelgen::LEVEL_REPORT report{};
  char error[1200];
  const int written = levelgen::write_level(output, style, static_cast<unsigned>(seed), rocks_given ? static_cast<int>(rocks) : -1,
                                            rock_size, &report, error, sizeof error);
  int status = 0;
  if (!written) {
    std::fprintf(stderr, "vurkhold-mklevel: %s\n", error);
    status = 1;
  } else {
    std::printf("%s: style %s, seed %lu, %d rocks, %d open points\n", output, style->name, seed, report.rocks_placed,
                report.open_points);
    if (report.rocks_placed < report.rocks_asked)
      std::fprintf(stderr, "vurkhold-mklevel: room for only %d of %d rocks of that size\n", report.rocks_placed,
                   report.rocks_asked);
  }
  if (status == 0 && preview && !levelgen::write_level_preview(preview, error, sizeof error)) {
    std::fprintf(stderr, "vurkhold-mklevel: %s\n", error);
    status = 1;
  }
  vurkhold::free_pools();
  return status;
}
