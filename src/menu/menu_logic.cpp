// menu logic: the menu's animation and the keys of its pages, which write the player's
// choices straight into the vurks, the settings and the players' bindings, and hand over to
// a match; Escape goes back from every page. The NETWORK page's own keys are the drawing
// library's, through a hook.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "menu/menu.h"
#include "net/net.h"

namespace vurkhold {

const char* const type_choises[4] = {"HUMAN", "COMPUTER", "INACTIVE", "OFF"};
const char* const item_choises[2] = {"NINJA ROPE", "JETPACK"};
bool (*network_page)(bool leave) = nullptr;
void (*network_match_begin)() = nullptr;

namespace {

enum PAGE {
  PAGE_MAIN = 0,
  PAGE_SETUP = 1,
  PAGE_OPTIONS = 2,
  PAGE_HELP = 3,
  PAGE_LEVELS = 4,
  PAGE_REPLAYS = 5,
  PAGE_NETWORK = 6,
  PAGE_CONTROLS = 7
};
constexpr int OPTIONS_NAME_LINE = 8;
constexpr int OPTIONS_MASTER_LINE = 9;
constexpr int OPTIONS_EFFECTS_LINE = 10;
constexpr int OPTIONS_CONTROLS_LINE = 11;
constexpr int OPTIONS_OK_LINE = 12;
constexpr int VOLUME_STEP = 10;

constexpr int HELP_LAST_LINE = 180;
// The help page draws its lines 17 apart from 370 down, 15 high: 21 fit above the screen's
// bottom, so scrolling stops once the last line is the 21st shown.
constexpr int HELP_LINES_ON_SCREEN = 21;

// The line whose replay failed to start: its message goes once the cursor leaves it.
int replay_message_line = -1;

// A key counts once: acting on it clears it.
bool take_key(int key) {
  if (!keys[key]) return false;
  keys[key] = 0;
  return true;
}

void open_page(int page) {
  menu_page = page;
  menu_selection = 0;
}

int last_line() {
  switch (menu_page) {
    case PAGE_MAIN: return 5;
    case PAGE_SETUP: return 8;
    case PAGE_OPTIONS: return OPTIONS_OK_LINE;
    case PAGE_CONTROLS: return CONTROLS_BACK_LINE;
    case PAGE_HELP: return std::clamp(line_count - HELP_LINES_ON_SCREEN, 0, HELP_LAST_LINE);
    case PAGE_REPLAYS: return std::max(replay_count - 1, 0);
    default: return line_count - 1;
  }
}

void main_page() {
  if (!take_key(VK_RETURN)) return;
  switch (menu_selection) {
    case 0: open_page(PAGE_SETUP); break;
    case 1:
      load_replay_list();
      replay_message[0] = '\0';
      open_page(PAGE_REPLAYS);
      break;
    case 2: open_page(PAGE_OPTIONS); break;
    case 3:
      free_textlines();
      if (load_readme()) open_page(PAGE_HELP);
      break;
    case 4:
      if (network_page) open_page(PAGE_NETWORK);
      break;
    case 5: done = 1; break;
    default: break;
  }
}

void start_match() {
  open_page(PAGE_MAIN);
  if (match_init && match_init()) install_mode(vurk[1].type == MLT_HUMAN ? &two_player_pair : &one_player_pair);
}

// Steps a value of 0..last one forward or back, wrapping at both ends.
int step(int value, int last, int direction) {
  if (direction > 0) return value >= last || value < 0 ? 0 : value + 1;
  return value <= 0 || value > last ? last : value - 1;
}

// A slot whose number lies outside the loaded weapon types starts again from the first
// (forward) or the last (back); with no weapon types at all the slot stays as it is.
void step_weapon(WEAPON* w, int direction) {
  if (weapons <= 0 || !weapon_type) return;
  w->num = step(w->num, weapons - 1, direction);
  w->type = &weapon_type[w->num];
}

void setup_step(int direction) {
  VURK_* v = &vurk[selected_vurk];
  switch (menu_selection) {
    case 0: selected_vurk = step(selected_vurk, MAX_VURKS - 1, direction); break;
    case 1: v->type = static_cast<VURK_TYPE>(step(v->type, MLT_OFF, direction)); break;
    case 2: v->team = static_cast<int8_t>(step(v->team, 3, direction)); break;
    case 3: v->item = static_cast<ITEM>(step(v->item, MI_JETPACK, direction)); break;
    default: step_weapon(&v->weapons[menu_selection - 4], direction); break;
  }
  // Only vurks 0 and 1 have controls; vurk 0 is always played.
  vurk[0].type = MLT_HUMAN;
  for (int i = 2; i < MAX_VURKS; i++)
    if (vurk[i].type == MLT_HUMAN) vurk[i].type = direction > 0 ? MLT_COMPUTER : MLT_OFF;
  for (VURK_& each : vurk)
    if (each.type == MLT_COMPUTER) each.item = MI_JETPACK;
}

void setup_page() {
  if (menu_selection == 8 && take_key(VK_RETURN)) {
    start_match();
    return;
  }
  const bool right = take_key(VK_RIGHT);
  const bool enter = take_key(VK_RETURN);
  const bool left = take_key(VK_LEFT);
  // Keys on the OK line do nothing but are used up all the same.
  if (menu_selection > 7) return;
  if (right || enter) setup_step(1);
  if (left) setup_step(-1);
}

// The settings keep a name of 1 to 15 characters with no blank at either end: a name left
// empty gets the login name back.
void tidy_name() {
  char* start = player_name;
  while (*start == ' ') start++;
  size_t length = std::strlen(start);
  while (length > 0 && start[length - 1] == ' ') length--;
  std::memmove(player_name, start, length);
  player_name[length] = '\0';
  if (length == 0) default_player_name(player_name, sizeof player_name);
}

void options_page() {
  if (menu_selection == OPTIONS_NAME_LINE) {
    type_into(player_name, sizeof player_name, NAME_CHARACTERS);
  } else {
    tidy_name();
  }
  if (menu_selection == OPTIONS_OK_LINE && take_key(VK_RETURN)) {
    open_page(PAGE_MAIN);
    return;
  }
  if (menu_selection == OPTIONS_CONTROLS_LINE && take_key(VK_RETURN)) {
    open_page(PAGE_CONTROLS);
    controls_waiting = 0;
    controls_note[0] = '\0';
    return;
  }
  const bool right = take_key(VK_RIGHT);
  const bool enter = take_key(VK_RETURN);
  if (right || enter) {
    switch (menu_selection) {
      case 0: SHOW_FPS = !SHOW_FPS; break;
      case 1:
        if (AMBIENT < 1.0f) AMBIENT += 0.01f;
        break;
      case 2:
        if (CANTLE_LIGHT_RANGE < 50) CANTLE_LIGHT_RANGE++;
        break;
      case 3:
        if (MAX_LIVES < 1000) MAX_LIVES++;
        break;
      case 4:
        if (FRAG_LIMIT < 100) FRAG_LIMIT++;
        break;
      case 6:
        free_textlines();
        if (load_level_list(MAX_LEVEL_NAMES)) {
          open_page(PAGE_LEVELS);
          return;
        }
        break;
      case 7: KILL_CAM = !KILL_CAM; break;
      case OPTIONS_MASTER_LINE: MASTER_VOLUME = std::min(MASTER_VOLUME + VOLUME_STEP, 100); break;
      case OPTIONS_EFFECTS_LINE: EFFECTS_VOLUME = std::min(EFFECTS_VOLUME + VOLUME_STEP, 100); break;
      default: break;
    }
  }
  if (take_key(VK_LEFT)) {
    switch (menu_selection) {
      case 0: SHOW_FPS = !SHOW_FPS; break;
      case 1:
        if (AMBIENT > 0.0f) AMBIENT -= 0.01f;
        break;
      case 2:
        if (CANTLE_LIGHT_RANGE > 5) CANTLE_LIGHT_RANGE--;
        break;
      case 3:
        if (MAX_LIVES > 1) MAX_LIVES--;
        break;
      case 4:
        if (FRAG_LIMIT > 1) FRAG_LIMIT--;
        break;
      case 7: KILL_CAM = !KILL_CAM; break;
      case OPTIONS_MASTER_LINE: MASTER_VOLUME = std::max(MASTER_VOLUME - VOLUME_STEP, 0); break;
      case OPTIONS_EFFECTS_LINE: EFFECTS_VOLUME = std::max(EFFECTS_VOLUME - VOLUME_STEP, 0); break;
      default: break;
    }
  }
}

// The key just pressed binds to the line waited on; whatever it also set in keys[] is let
// go, so a cursor key bound does not move the cursor as well.
void bind_pressed_key() {
  if (!key_pressed) return;
  const int key = key_pressed;
  key_pressed = 0;
  controls_waiting = 0;
  std::memset(keys, 0, sizeof keys);
  int player = 0, action = 0, holder = 0, held_action = 0;
  if (!controls_line_action(menu_selection, &player, &action)) return;
  const int swapped_key = bindings[player].key[action];
  char name[KEY_LABEL_SIZE];
  key_label(key, name, sizeof name);
  key_holder(key, &holder, &held_action);
  controls_refused = 1;
  switch (bind_key(player, action, key)) {
    case BIND_DONE:
      controls_refused = 0;
      controls_note[0] = '\0';
      break;
    case BIND_SWAPPED: {
      controls_refused = 0;
      char other[KEY_LABEL_SIZE];
      key_label(swapped_key, other, sizeof other);
      std::snprintf(controls_note, sizeof controls_note, "%s IS NOW %s", other, action_names[held_action]);
      break;
    }
    case BIND_OTHER_PLAYER:
      std::snprintf(controls_note, sizeof controls_note, "%s IS PLAYER %d'S %s", name, holder + 1,
                    action_names[held_action]);
      break;
    case BIND_GAME_KEY: std::snprintf(controls_note, sizeof controls_note, "%s IS A GAME KEY", name); break;
    case BIND_NO_KEY: std::snprintf(controls_note, sizeof controls_note, "THAT KEY CAN'T BE BOUND"); break;
  }
}

void step_percent(int32_t* value, int low, int high, int direction) {
  *value = std::clamp(*value + 10 * direction, low, high);
}

void controls_page() {
  if (controls_waiting) {
    bind_pressed_key();
    return;
  }
  const bool right = take_key(VK_RIGHT);
  const bool enter = take_key(VK_RETURN);
  const bool left = take_key(VK_LEFT);
  const int direction = right || enter ? 1 : left ? -1 : 0;
  if (!direction) return;
  int player = 0, action = 0;
  if (controls_line_action(menu_selection, &player, &action)) {
    if (enter) {
      controls_waiting = 1;
      key_pressed = 0;
      controls_note[0] = '\0';
    }
    return;
  }
  LOOK_SETTINGS& look = look_settings;
  switch (menu_selection - CONTROLS_LOOK_LINE) {
    case CL_MOUSE_SENSITIVITY:
      step_percent(&look.mouse_sensitivity, MIN_MOUSE_SENSITIVITY, MAX_MOUSE_SENSITIVITY, direction);
      break;
    case CL_INVERT_MOUSE: look.invert_mouse = !look.invert_mouse; break;
    case CL_INVERT_PAD_1: look.invert_pad[0] = !look.invert_pad[0]; break;
    case CL_INVERT_PAD_2: look.invert_pad[1] = !look.invert_pad[1]; break;
    case CL_PAD_SPEED: step_percent(&look.pad_look_speed, MIN_PAD_LOOK_SPEED, MAX_PAD_LOOK_SPEED, direction); break;
    default:
      if (!enter) break;
      if (menu_selection == CONTROLS_DEFAULTS_LINE) {
        default_controls();
        controls_refused = 0;
        std::snprintf(controls_note, sizeof controls_note, "THE DEFAULT KEYS AND LOOK ARE BACK");
      } else if (menu_selection == CONTROLS_BACK_LINE) {
        menu_back();
      }
      break;
  }
}

void help_page() {
  if (!take_key(VK_RETURN)) return;
  open_page(PAGE_MAIN);
  free_textlines();
}

// A name too long for the level path keeps the path there was: a cut path would name
// another file.
void level_page() {
  if (!take_key(VK_RETURN)) return;
  char path[LEVEL_PATH_SIZE];
  if (level_list_path(menu_selection, path, sizeof path)) std::memcpy(level_to_use, path, sizeof path);
  open_page(PAGE_OPTIONS);
  free_textlines();
}

// The replay's own pair takes over when it starts; the menu waits on the main page, as after
// a match.
void replay_page() {
  if (menu_selection != replay_message_line) replay_message[0] = '\0';
  if (!take_key(VK_RETURN) || menu_selection < 0 || menu_selection >= replay_count) return;
  replay_message_line = menu_selection;
  if (!replay_init) {
    std::snprintf(replay_message, sizeof replay_message, "REPLAYS CAN'T BE PLAYED HERE");
    return;
  }
  char path[REPLAY_FOLDER_SIZE + sizeof replay_names[0].text];
  std::snprintf(path, sizeof path, "%s%s", replay_folder, replay_names[menu_selection].text);
  replay_message[0] = '\0';
  if (replay_init(path, replay_message, sizeof replay_message)) open_page(PAGE_MAIN);
  replay_message[sizeof replay_message - 1] = '\0';
}

}  // namespace

int controls_waiting = 0;
char controls_note[CONTROLS_NOTE_SIZE] = "";
int controls_refused = 0;

bool controls_line_action(int line, int* player, int* action) {
  if (line < 0 || line >= CONTROLS_LOOK_LINE) return false;
  *player = line < CONTROLS_PLAYER_2_LINE ? 0 : 1;
  *action = line - (*player ? CONTROLS_PLAYER_2_LINE : 0);
  return true;
}

void menu_back() {
  if (menu_page == PAGE_CONTROLS && controls_waiting) {
    controls_waiting = 0;
    return;
  }
  if (menu_page == PAGE_HELP || menu_page == PAGE_LEVELS) free_textlines();
  if (menu_page == PAGE_OPTIONS) tidy_name();
  if (menu_page == PAGE_NETWORK && network_page) network_page(true);
  if (menu_page == PAGE_CONTROLS) {
    controls_note[0] = '\0';
    open_page(PAGE_OPTIONS);
    menu_selection = OPTIONS_CONTROLS_LINE;
    return;
  }
  if (menu_page != PAGE_MAIN) open_page(menu_page == PAGE_LEVELS ? PAGE_OPTIONS : PAGE_MAIN);
}

void menu_logic(unsigned frame_time) {
  menu_rotate += static_cast<float>(frame_time) * 0.02f;
  menu_frame += static_cast<float>(frame_time) * 0.03f;
  if (menu_frame >= 40.0f) menu_frame -= 39.0f;

  if (menu_page == PAGE_NETWORK) {
    if (take_key(VK_ESCAPE) || !network_page) {
      menu_back();
    } else if (!network_page(false)) {
      open_page(PAGE_MAIN);
    }
    return;
  }
  if (take_key(VK_ESCAPE)) {
    menu_back();
    return;
  }
  if (menu_page == PAGE_CONTROLS && controls_waiting) {
    controls_page();
    return;
  }
  if (take_key(VK_DOWN) && menu_selection < last_line()) menu_selection++;
  if (take_key(VK_UP) && menu_selection > 0) menu_selection--;

  switch (menu_page) {
    case PAGE_MAIN: main_page(); break;
    case PAGE_SETUP: setup_page(); break;
    case PAGE_OPTIONS: options_page(); break;
    case PAGE_HELP: help_page(); break;
    case PAGE_LEVELS: level_page(); break;
    case PAGE_REPLAYS: replay_page(); break;
    case PAGE_CONTROLS: controls_page(); break;
    default: open_page(PAGE_MAIN); break;
  }
}

void open_network_page() {
  if (network_page) open_page(PAGE_NETWORK);
}

}  // namespace vurkhold
