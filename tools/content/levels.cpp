// levels of the game folder: the shipped levels, each made by a level style from a fixed
// seed, written into levels/ with the game's own level writer.
#include <cstdio>
#include <string>

#include "content/content.h"
#include "content/manifest.h"
#include "levelgen.h"
#include "records/records.h"

namespace content {

int write_levels(const char* dir) {
  if (!vurkhold::allocate_pools()) {
    vurkhold::free_pools();
    std::fprintf(stderr, "vurkhold-content: no memory for the level pools\n");
    return 0;
  }
  vurkhold::bind_world();
  int ok = 1;
  for (const LEVEL_ENTRY& level : levels) {
    const levelgen::LEVEL_STYLE* style = levelgen::find_level_style(level.style);
    const std::string path = std::string(dir) + "/levels/" + level.file;
    levelgen::LEVEL_REPORT report{};
    char error[1200];
    if (!style) {
      std::fprintf(stderr, "vurkhold-content: %s has no level style %s\n", level.file, level.style);
      ok = 0;
    } else if (!levelgen::write_level(path.c_str(), style, level.seed, level.rocks, 0.0f, &report, error,
                                      sizeof error)) {
      std::fprintf(stderr, "vurkhold-content: %s\n", error);
      ok = 0;
    } else if (report.rocks_placed != level.rocks) {
      std::fprintf(stderr, "vurkhold-content: %s found room for %d of its %d rocks\n", level.file, report.rocks_placed,
                   level.rocks);
      ok = 0;
    }
    if (!ok) break;
  }
  vurkhold::free_pools();
  return ok;
}

}  // namespace content
