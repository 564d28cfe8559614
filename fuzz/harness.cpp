// fuzz harness: the scratch copy of the game folder, written once per process and removed
// at exit, so the readers find the content they refer to and the build's folder is never
// written.
#include "harness.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"
#include "records/records.h"

namespace vurkhold::fuzz {

namespace {

char scratch[64];

void remove_scratch() {
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
}

[[noreturn]] void give_up(const char* what, const char* detail) {
  std::fprintf(stderr, "fuzz: %s: %s\n", what, detail);
  std::exit(1);
}

// The absolute paths are copies kept for the whole run: libFuzzer reads argv again after
// its initialisation.
void make_paths_absolute(int argc, char** argv) {
  char cwd[1024];
  if (!getcwd(cwd, sizeof cwd)) give_up("can't read the working folder", "getcwd");
  for (int i = 1; i < argc; i++) {
    char* arg = argv[i];
    char* path = arg;
    if (arg[0] == '-') {
      char* equals = std::strchr(arg, '=');
      const bool names_file = std::strncmp(arg, "-artifact_prefix=", 17) == 0 ||
                              std::strncmp(arg, "-exact_artifact_path=", 21) == 0;
      if (!names_file || !equals) continue;
      path = equals + 1;
    }
    if (path[0] == '/' || path[0] == '\0') continue;
    const size_t size = std::strlen(arg) + std::strlen(cwd) + 2;
    char* absolute = static_cast<char*>(std::malloc(size));
    if (!absolute) give_up("no memory for", arg);
    std::snprintf(absolute, size, "%.*s%s/%s", static_cast<int>(path - arg), arg, cwd, path);
    argv[i] = absolute;
  }
}

}  // namespace

void enter_scratch_game(int* argc, char*** argv) {
  make_paths_absolute(*argc, *argv);
  const char* env = std::getenv("VURKHOLD_GAME_DIR");
  const std::filesystem::path game = env && env[0] ? env : VURK_GAME_DIR;
  // tmpfs when there is one: every input is a file write.
  const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::snprintf(scratch, sizeof scratch, "%s/vurkfuzz-XXXXXX", base);
  if (!mkdtemp(scratch)) give_up("can't make a scratch folder", base);
  std::atexit(remove_scratch);

  // Only the content: the build folder around it holds the whole build.
  for (const char* name : {"levels", "models", "textures", "sounds", "other", "readme.txt"}) {
    std::error_code error;
    std::filesystem::copy(game / name, std::filesystem::path(scratch) / name,
                          std::filesystem::copy_options::recursive, error);
    if (error) give_up((game / name).c_str(), error.message().c_str());
  }
  if (chdir(scratch) != 0) give_up("can't enter", scratch);

  platform::set_dialogs_enabled(false);
  platform::capture_messages(true);
  if (!platform::sound_open(44100, 32, true)) give_up("no silent sound driver", "sound_open");
  if (!allocate_pools()) give_up("no pools", platform::last_message_text());
  bind_world();
}

void write_input(const char* path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path, "wb");
  if (!f) give_up("can't write", path);
  if (size && std::fwrite(data, size, 1, f) != 1) give_up("can't write", path);
  std::fclose(f);
  platform::clear_captured_messages();
}

}  // namespace vurkhold::fuzz
