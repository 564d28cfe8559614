// settings: the player's menu choices kept between runs, in a small text file of
// "key value" lines: the options page, the level, the player's name, the volumes, the
// players' keys and look settings, and the four vurks' set-up.
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "control/control.h"
#include "match/match.h"
#include "net/net.h"
#include "shell/shell.h"

namespace vurkhold {

char settings_file[SETTINGS_PATH_SIZE];

namespace {

constexpr int SETTINGS_VERSION = 1;
// A line holds a key and at most a level path.
constexpr int LINE_SIZE = LEVEL_PATH_SIZE + 64;

const char* const type_words[4] = {"human", "computer", "inactive", "off"};
const char* const item_words[2] = {"ninja-rope", "jetpack"};
const char* const camera_words[2] = {"first-person", "third-person"};
const char* const yes_no[2] = {"no", "yes"};

int word_index(const char* value, const char* const* words, int count) {
  for (int i = 0; i < count; i++)
    if (std::strcmp(value, words[i]) == 0) return i;
  return -1;
}

bool read_int(const char* value, int low, int high, int* out) {
  if (!*value || std::strspn(value, "0123456789") != std::strlen(value) || std::strlen(value) > 9) return false;
  const int v = std::atoi(value);
  if (v < low || v > high) return false;
  *out = v;
  return true;
}

// The menu steps AMBIENT by 0.01 while it is below 1 or above 0, so it may end a rounding
// step past either end; those values must read back as they were written.
bool read_ambient(const char* value, float* out) {
  char* end = nullptr;
  errno = 0;
  const float v = std::strtof(value, &end);
  if (!*value || *end || errno || !std::isfinite(v) || v < -0.01f || v > 1.01f) return false;
  *out = v;
  return true;
}

// The fewest digits that read back as the same float: "0.2", not "0.200000003".
void write_float(std::FILE* f, const char* key, float value) {
  char text[32];
  for (int digits = 1; digits <= 9; digits++) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  std::fprintf(f, "%s %s\n", key, text);
}

// A level the data folder no longer has would stop the start at its first load.
bool is_level_file(const char* value) {
  char found[platform::MAX_PATH_LENGTH * 4];
  struct stat st;
  return std::strlen(value) < LEVEL_PATH_SIZE && platform::resolve_path(value, found, sizeof found) &&
         stat(found, &st) == 0 && S_ISREG(st.st_mode);
}

// What the menu's font can show, as the other machines show it.
bool is_player_name(const char* value) {
  const size_t length = std::strlen(value);
  if (length < 1 || length >= PLAYER_NAME_SIZE) return false;
  for (const char* c = value; *c; c++)
    if (*c < ' ' || *c > '_') return false;
  return true;
}

int find_weapon(const char* name) {
  for (int i = 0; i < weapons; i++)
    if (weapon_type[i].name && std::strcmp(weapon_type[i].name, name) == 0) return i;
  return -1;
}

enum LINE_RESULT { LINE_SET, LINE_UNKNOWN_KEY, LINE_BAD_VALUE, LINE_NO_WEAPON };

// One "vurkN.field" line; the menu's rules hold: vurks 3 and 4 are never human, and only
// --bots, whose choice is kept like the menu's, makes vurk 1 anything but human.
LINE_RESULT set_vurk_value(int index, const char* field, const char* value) {
  VURK_* v = &vurk[index];
  int n = 0;
  if (std::strcmp(field, "type") == 0) {
    n = word_index(value, type_words, 4);
    const bool allowed = index == 0 ? n == MLT_HUMAN || n == MLT_COMPUTER : n >= 0 && (index == 1 || n != MLT_HUMAN);
    if (!allowed) return LINE_BAD_VALUE;
    v->type = static_cast<VURK_TYPE>(n);
  } else if (std::strcmp(field, "team") == 0) {
    if (!read_int(value, 1, MAX_VURKS, &n)) return LINE_BAD_VALUE;
    v->team = static_cast<int8_t>(n - 1);
  } else if (std::strcmp(field, "item") == 0) {
    if ((n = word_index(value, item_words, 2)) < 0) return LINE_BAD_VALUE;
    v->item = static_cast<ITEM>(n);
  } else if (std::strncmp(field, "weapon", 6) == 0 && field[6] >= '1' && field[6] <= '4' && !field[7]) {
    if ((n = find_weapon(value)) < 0) return LINE_NO_WEAPON;
    WEAPON& w = v->weapons[field[6] - '1'];
    w.num = n;
    w.type = &weapon_type[n];
  } else {
    return LINE_UNKNOWN_KEY;
  }
  return LINE_SET;
}

// One "playerN.action" line: a key by its name, which no game key and no look action of
// player 1 can have. Two actions with one key are caught once the whole file is read.
LINE_RESULT set_binding(int player, const char* action, const char* value) {
  for (int a = 0; a < player_actions(player); a++) {
    if (std::strcmp(action, action_words[a]) != 0) continue;
    const int key = platform::key_position_for_name(value);
    if (!key || is_game_key(key)) return LINE_BAD_VALUE;
    bindings[player].key[a] = static_cast<int16_t>(key);
    return LINE_SET;
  }
  return LINE_UNKNOWN_KEY;
}

// The first key two actions share, or 0.
int shared_key() {
  for (int p = 0; p < HUMAN_PLAYERS; p++)
    for (int a = 0; a < player_actions(p); a++) {
      int holder = -1, action = -1;
      const int key = bindings[p].key[a];
      if (key && key_holder(key, &holder, &action) && (holder != p || action != a)) return key;
    }
  return 0;
}

LINE_RESULT set_look_value(const char* key, const char* value) {
  int n = 0;
  LOOK_SETTINGS& look = look_settings;
  if (std::strcmp(key, "mouse-sensitivity") == 0) {
    if (!read_int(value, MIN_MOUSE_SENSITIVITY, MAX_MOUSE_SENSITIVITY, &look.mouse_sensitivity)) return LINE_BAD_VALUE;
  } else if (std::strcmp(key, "pad-look-speed") == 0) {
    if (!read_int(value, MIN_PAD_LOOK_SPEED, MAX_PAD_LOOK_SPEED, &look.pad_look_speed)) return LINE_BAD_VALUE;
  } else if (std::strcmp(key, "invert-mouse") == 0) {
    if ((n = word_index(value, yes_no, 2)) < 0) return LINE_BAD_VALUE;
    look.invert_mouse = n;
  } else if (std::strncmp(key, "invert-pad", 10) == 0 && key[10] >= '1' && key[10] <= '2' && !key[11]) {
    if ((n = word_index(value, yes_no, 2)) < 0) return LINE_BAD_VALUE;
    look.invert_pad[key[10] - '1'] = n;
  } else {
    return LINE_UNKNOWN_KEY;
  }
  return LINE_SET;
}

LINE_RESULT set_value(const char* key, const char* value) {
  int n = 0;
  if (std::strncmp(key, "player", 6) == 0 && key[6] >= '1' && key[6] <= '2' && key[7] == '.')
    return set_binding(key[6] - '1', key + 8, value);
  if (std::strncmp(key, "vurk", 4) == 0 && key[4] >= '1' && key[4] <= '4' && key[5] == '.')
    return set_vurk_value(key[4] - '1', key + 6, value);
  if (std::strcmp(key, "level") == 0) {
    if (!is_level_file(value)) return LINE_BAD_VALUE;
    std::snprintf(level_to_use, sizeof level_to_use, "%s", value);
  } else if (std::strcmp(key, "name") == 0) {
    if (!is_player_name(value)) return LINE_BAD_VALUE;
    std::snprintf(player_name, sizeof player_name, "%s", value);
  } else if (std::strcmp(key, "show-fps") == 0) {
    if ((n = word_index(value, yes_no, 2)) < 0) return LINE_BAD_VALUE;
    SHOW_FPS = n;
  } else if (std::strcmp(key, "ambient") == 0) {
    if (!read_ambient(value, &AMBIENT)) return LINE_BAD_VALUE;
  } else if (std::strcmp(key, "candle-light-range") == 0) {
    if (!read_int(value, 5, 50, &CANTLE_LIGHT_RANGE)) return LINE_BAD_VALUE;
  } else if (std::strcmp(key, "lives") == 0) {
    if (!read_int(value, 1, 1000, &MAX_LIVES)) return LINE_BAD_VALUE;
  } else if (std::strcmp(key, "frag-limit") == 0) {
    // The menu stops at 100, the command line at 1000; either is kept.
    if (!read_int(value, 1, 1000, &FRAG_LIMIT)) return LINE_BAD_VALUE;
  } else if (std::strcmp(key, "killcam") == 0) {
    if ((n = word_index(value, yes_no, 2)) < 0) return LINE_BAD_VALUE;
    KILL_CAM = n;
  } else if (std::strcmp(key, "camera") == 0) {
    if ((n = word_index(value, camera_words, 2)) < 0) return LINE_BAD_VALUE;
    camera_mode = static_cast<CAMERA_MODE>(n);
  } else if (std::strcmp(key, "master-volume") == 0) {
    if (!read_int(value, 0, 100, &MASTER_VOLUME)) return LINE_BAD_VALUE;
  } else if (std::strcmp(key, "effects-volume") == 0) {
    if (!read_int(value, 0, 100, &EFFECTS_VOLUME)) return LINE_BAD_VALUE;
  } else {
    return set_look_value(key, value);
  }
  return LINE_SET;
}

// Cuts the line end and the blanks around `text`.
char* trim(char* text) {
  while (*text == ' ' || *text == '\t') text++;
  char* end = text + std::strlen(text);
  while (end > text && std::strchr(" \t\r\n", end[-1])) *--end = '\0';
  return text;
}

bool write_settings(std::FILE* f, void*) {
  std::fprintf(f,
               "vurkhold-settings %d\n"
               "# The menu's choices, kept between runs: one \"key value\" a line, '#' starts a comment.\n"
               "# A bad line keeps its default; vurkhold --reset-settings removes this file.\n",
               SETTINGS_VERSION);
  std::fprintf(f, "level %s\n", level_to_use);
  std::fprintf(f, "name %s\n", player_name);
  std::fprintf(f, "show-fps %s\n", yes_no[SHOW_FPS ? 1 : 0]);
  write_float(f, "ambient", AMBIENT);
  std::fprintf(f, "candle-light-range %d\nlives %d\nfrag-limit %d\ncamera %s\n", CANTLE_LIGHT_RANGE, MAX_LIVES,
               FRAG_LIMIT, camera_words[camera_mode == CM_THIRD_PERSON ? 1 : 0]);
  std::fprintf(f, "killcam %s\n", yes_no[KILL_CAM ? 1 : 0]);
  std::fprintf(f, "master-volume %d\neffects-volume %d\n", MASTER_VOLUME, EFFECTS_VOLUME);
  const LOOK_SETTINGS& look = look_settings;
  std::fprintf(f, "mouse-sensitivity %d\ninvert-mouse %s\ninvert-pad1 %s\ninvert-pad2 %s\npad-look-speed %d\n",
               look.mouse_sensitivity, yes_no[look.invert_mouse ? 1 : 0], yes_no[look.invert_pad[0] ? 1 : 0],
               yes_no[look.invert_pad[1] ? 1 : 0], look.pad_look_speed);
  for (int p = 0; p < HUMAN_PLAYERS; p++)
    for (int a = 0; a < player_actions(p); a++)
      if (bindings[p].key[a])
        std::fprintf(f, "player%d.%s %s\n", p + 1, action_words[a], platform::key_position_name(bindings[p].key[a]));
  for (int k = 1; k <= MAX_VURKS; k++) {
    const VURK_& v = vurk[k - 1];
    std::fprintf(f, "vurk%d.type %s\nvurk%d.team %d\nvurk%d.item %s\n", k, type_words[v.type & 3], k, v.team + 1, k,
                 item_words[v.item == MI_NINJAROPE ? 0 : 1]);
    for (int s = 0; s < 4; s++)
      if (v.weapons[s].type && v.weapons[s].type->name)
        std::fprintf(f, "vurk%d.weapon%d %s\n", k, s + 1, v.weapons[s].type->name);
  }
  return !std::ferror(f);
}

}  // namespace

bool settings_path(char* out, size_t size) {
  return platform::user_path("XDG_CONFIG_HOME", "/.config", "/vurkhold/settings.cfg", out, size);
}

int read_settings(const char* path, char* message, int message_size) {
  message[0] = '\0';
  // No file is the first run: the defaults, silently.
  struct stat st;
  const bool found = stat(path, &st) == 0;
  if (!found && errno == ENOENT) return 1;
  std::FILE* f = found && S_ISREG(st.st_mode) ? std::fopen(path, "r") : nullptr;
  if (!f) {
    std::snprintf(message, message_size, "%s: %s; using the defaults", path,
                  found && !S_ISREG(st.st_mode) ? "not a regular file" : std::strerror(errno));
    return 0;
  }
  char line[LINE_SIZE];
  const size_t header = std::strlen("vurkhold-settings ");
  char* end = nullptr;
  long version = 0;
  if (std::fgets(line, sizeof line, f) && std::strncmp(line, "vurkhold-settings ", header) == 0 &&
      std::isdigit(static_cast<unsigned char>(line[header])))
    version = std::strtol(line + header, &end, 10);
  if (version < 1 || *trim(end)) {
    std::snprintf(message, message_size, "%s:1: not a settings file; using the defaults", path);
    std::fclose(f);
    return 0;
  }
  if (version > SETTINGS_VERSION) {
    std::snprintf(message, message_size, "%s:1: version %ld is newer than this game's %d; using the defaults", path,
                  version, SETTINGS_VERSION);
    std::fclose(f);
    return 0;
  }
  // Every good line counts; a bad one leaves its key at the default, and the first of them
  // is the one named.
  int bad = 0;
  for (int number = 2; std::fgets(line, sizeof line, f); number++) {
    char reason[LINE_SIZE + 64];
    const size_t length = std::strlen(line);
    if (length == sizeof line - 1 && line[length - 1] != '\n') {
      std::snprintf(reason, sizeof reason, "the line is too long; ignored");
      for (int c = 0; c != '\n' && c != EOF;) c = std::fgetc(f);
    } else {
      char* key = trim(line);
      if (!*key || *key == '#') continue;
      char* value = key + std::strcspn(key, " \t");
      if (*value) *value++ = '\0';
      value = trim(value);
      switch (set_value(key, value)) {
        case LINE_SET: continue;
        case LINE_UNKNOWN_KEY: std::snprintf(reason, sizeof reason, "unknown setting \"%s\"; ignored", key); break;
        case LINE_BAD_VALUE:
          std::snprintf(reason, sizeof reason, "bad value \"%s\" for %s; using the default", value, key);
          break;
        case LINE_NO_WEAPON:
          std::snprintf(reason, sizeof reason, "no weapon \"%s\" for %s; using the default", value, key);
          break;
      }
    }
    if (bad++ == 0) std::snprintf(message, message_size, "%s:%d: %s", path, number, reason);
  }
  std::fclose(f);
  if (const int key = shared_key()) {
    char reason[128];
    std::snprintf(reason, sizeof reason, "the key \"%s\" is bound twice; using the default keys",
                  platform::key_position_name(key));
    default_keys();
    if (bad++ == 0) std::snprintf(message, message_size, "%s: %s", path, reason);
  }
  // As the menu's set-up page does after every change.
  for (VURK_& v : vurk)
    if (v.type == MLT_COMPUTER) v.item = MI_JETPACK;
  if (bad > 1) {
    const size_t used_size = std::strlen(message);
    std::snprintf(message + used_size, message_size - used_size, " (and %d more)", bad - 1);
  }
  return bad == 0;
}

int save_settings(const char* path, char* message, int message_size) {
  message[0] = '\0';
  char folder[SETTINGS_PATH_SIZE];
  std::snprintf(folder, sizeof folder, "%s", path);
  for (char* c = folder + 1; *c; ++c) {
    if (*c != '/') continue;
    *c = '\0';
    const bool made = mkdir(folder, 0700) == 0 || errno == EEXIST;
    if (!made) {
      std::snprintf(message, message_size, "can't make the folder '%s': %s", folder, std::strerror(errno));
      return 0;
    }
    *c = '/';
  }
  return platform::write_file_safely(path, write_settings, nullptr, message, message_size) ? 1 : 0;
}

void begin_settings(const OPTIONS* options) {
  settings_file[0] = '\0';
  default_player_name(player_name, sizeof player_name);
  default_controls();
  const bool kept = !options->headless && !options->input && !options->frames;
  if (!kept && !options->reset_settings) return;
  char path[SETTINGS_PATH_SIZE];
  if (!settings_path(path, sizeof path)) {
    std::fprintf(stderr, "settings: neither XDG_CONFIG_HOME nor HOME names a folder; nothing is kept\n");
    return;
  }
  // A folder or anything else in the file's place is not removed, only named.
  if (options->reset_settings && unlink(path) != 0 && errno != ENOENT)
    std::fprintf(stderr, "settings: can't remove '%s': %s\n", path, std::strerror(errno));
  if (!kept) return;
  std::snprintf(settings_file, sizeof settings_file, "%s", path);
  char message[SETTINGS_PATH_SIZE + LINE_SIZE + 160];
  if (!options->reset_settings && !read_settings(path, message, sizeof message))
    std::fprintf(stderr, "settings: %s\n", message);
}

void keep_settings() {
  if (!settings_file[0]) return;
  char message[SETTINGS_PATH_SIZE + 160];
  if (!save_settings(settings_file, message, sizeof message)) std::fprintf(stderr, "settings: %s\n", message);
}

int start_match_keeping_settings() {
  keep_settings();
  start_recording(fixed_frame_ms, vurk[1].type == MLT_HUMAN ? 2 : 1);
  if (game_init()) return 1;
  end_recording(false);
  return 0;
}

}  // namespace vurkhold
