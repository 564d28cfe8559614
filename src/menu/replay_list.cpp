// replay list: the names of the player's saved replays for the REPLAYS page, newest first,
// read once when the page opens into fixed arrays.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "match/match.h"
#include "menu/menu.h"

namespace vurkhold {

char replay_folder[REPLAY_FOLDER_SIZE] = "";
REPLAY_NAME replay_names[MAX_REPLAYS];
int replay_count = 0;
char replay_message[REPLAY_NOTE_SIZE] = "";

namespace {

// The folder lists oldest first (the names begin with the date and time). Every name goes
// round a ring, so that past MAX_REPLAYS the oldest give way to the newest; `seen` counts
// them all.
bool add_replay_name(const char* name, void* context) {
  int* seen = static_cast<int*>(context);
  std::snprintf(replay_names[*seen % MAX_REPLAYS].text, sizeof replay_names[0].text, "%s", name);
  ++*seen;
  return true;
}

}  // namespace

int load_replay_list() {
  replay_count = 0;
  if (!platform::user_data_dir(replay_folder, sizeof replay_folder, REPLAY_FOLDER)) {
    replay_folder[0] = '\0';
    return 0;
  }
  char pattern[REPLAY_FOLDER_SIZE + 8];
  std::snprintf(pattern, sizeof pattern, "%s*.vhr", replay_folder);
  int seen = 0;
  platform::list_files(pattern, add_replay_name, &seen);
  replay_count = std::min(seen, MAX_REPLAYS);
  // A full ring's oldest name is where the next would have gone.
  if (seen > MAX_REPLAYS) std::rotate(replay_names, replay_names + seen % MAX_REPLAYS, replay_names + MAX_REPLAYS);
  std::reverse(replay_names, replay_names + replay_count);
  return replay_count;
}

}  // namespace vurkhold
