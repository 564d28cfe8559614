// vurkhold-content: writes the complete game folder (levels, textures, models, sounds and
// the hand-written text files) that the game reads at start-up.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "content/content.h"
#include "platform/platform.h"

namespace {

const char* const usage =
    "Usage: vurkhold-content [--sheet FILE.png] TEXT_DIR GAME_DIR\n"
    "Writes the game's content into GAME_DIR: the generated levels, textures, models and\n"
    "sounds, and the hand-written configuration files and help text copied from TEXT_DIR.\n"
    "  --sheet FILE.png  also write a contact sheet of every texture\n";

// The hand-written files, kept in the repository.
const char* const text_files[] = {"other/sounds.cfg", "other/bmodels.cfg", "other/wmodels.cfg",
                                  "other/bullets.cfg", "other/weapons.cfg", "readme.txt"};

int copy_text(const std::filesystem::path& from, const std::filesystem::path& to) {
  for (const char* name : text_files) {
    std::error_code error;
    std::filesystem::copy_file(from / name, to / name, std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
      std::fprintf(stderr, "vurkhold-content: can't copy %s: %s\n", (from / name).c_str(), error.message().c_str());
      return 0;
    }
  }
  return 1;
}

}  // namespace

namespace content {

int write_bytes(const char* path, const void* data, size_t size) {
  struct BYTES {
    const void* data;
    size_t size;
  } bytes{data, size};
  auto write = [](std::FILE* f, void* context) {
    const BYTES* b = static_cast<const BYTES*>(context);
    return std::fwrite(b->data, 1, b->size, f) == b->size;
  };
  char error[1200];
  if (platform::write_file_safely(path, write, &bytes, error, sizeof error)) return 1;
  std::fprintf(stderr, "vurkhold-content: %s\n", error);
  return 0;
}

}  // namespace content

int main(int argc, char** argv) {
  const char* sheet = nullptr;
  const char* paths[2] = {nullptr, nullptr};
  int n = 0;
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(usage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--sheet") == 0 && i + 1 < argc) {
      sheet = argv[++i];
    } else if (argv[i][0] != '-' && n < 2) {
      paths[n++] = argv[i];
    } else {
      std::fputs(usage, stderr);
      return 2;
    }
  }
  if (n != 2) {
    std::fputs(usage, stderr);
    return 2;
  }
  const std::filesystem::path game = paths[1];
  for (const char* folder : {"levels", "textures", "models", "sounds", "other"}) {
    std::error_code error;
    std::filesystem::create_directories(game / folder, error);
    if (error) {
      std::fprintf(stderr, "vurkhold-content: can't make %s: %s\n", (game / folder).c_str(), error.message().c_str());
      return 1;
    }
  }
  if (!copy_text(paths[0], game)) return 1;
  if (!content::write_levels(paths[1]) || !content::write_textures(paths[1]) || !content::write_models(paths[1]) ||
      !content::write_sounds(paths[1]))
    return 1;
  if (sheet && !content::write_texture_sheet(paths[1], sheet)) return 1;
  return 0;
}
