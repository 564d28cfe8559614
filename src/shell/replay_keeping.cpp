// replay keeping: every match's replay named after its date and level, in the player's
// replays folder, which is kept under its size limit.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "match/match.h"
#include "shell/shell.h"

namespace vurkhold {

int record_replays = 1;
unsigned run_seed = 0;

namespace {

// ---- keeping ----

// The level's file name without its folder or extension, in the characters a file name
// and the menu's font both take.
void level_word(char* out, size_t size) {
  const char* name = level_to_use;
  for (const char* c = level_to_use; *c; c++)
    if (*c == '/' || *c == '\\') name = c + 1;
  size_t n = 0;
  for (const char* c = name; *c && *c != '.' && n + 1 < size; c++) {
    const bool plain = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9');
    out[n++] = plain ? *c : '_';
  }
  out[n] = '\0';
  if (n == 0) std::snprintf(out, size, "level");
}

}  // namespace

void prune_replays(const char* folder, uintmax_t limit) {
  std::error_code error;
  std::vector<std::filesystem::directory_entry> files;
  uintmax_t total = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() != ".vhr" || !entry.is_regular_file(error)) continue;
    total += entry.file_size(error);
    files.push_back(entry);
  }
  // The names begin with the date and time: name order is age order.
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
  for (const auto& entry : files) {
    if (total <= limit) break;
    const uintmax_t size = entry.file_size(error);
    if (std::filesystem::remove(entry.path(), error)) total -= std::min(size, total);
  }
}

void start_recording(unsigned frame_ms, int views) {
  if (!record_replays) return;
  char folder[REPLAY_PATH_SIZE];
  if (!platform::user_data_dir(folder, sizeof folder, REPLAY_FOLDER)) {
    std::fprintf(stderr, "vurkhold: no folder of your own to keep replays in\n");
    return;
  }
  prune_replays(folder, REPLAY_FOLDER_LIMIT);
  const std::time_t now = std::time(nullptr);
  std::tm local;
  localtime_r(&now, &local);
  char when[32], level[64];
  std::strftime(when, sizeof when, "%Y%m%d-%H%M%S", &local);
  level_word(level, sizeof level);
  char path[REPLAY_PATH_SIZE + 128];
  char message[REPLAY_MESSAGE_SIZE + 256];
  for (int n = 1; n <= 99; n++) {
    const int length = n == 1 ? std::snprintf(path, sizeof path, "%s%s-%s.vhr", folder, when, level)
                              : std::snprintf(path, sizeof path, "%s%s-%s-%d.vhr", folder, when, level, n);
    if (length < 0 || static_cast<size_t>(length) >= sizeof path) return;
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) continue;
    if (!begin_recording(path, run_seed, frame_ms, views, message, sizeof message) && message[0])
      std::fprintf(stderr, "vurkhold: %s\n", message);
    return;
  }
}

}  // namespace vurkhold
