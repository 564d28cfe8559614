// menu drawing: the menu's 640 x 480 frame, a swirling background, the vurk on display,
// the title and the current page's lines.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "assets/assets.h"
#include "geometry/geometry.h"
#include "menu/menu.h"
#include "net/net.h"
#include "render/render.h"

namespace vurkhold {

namespace {

constexpr float CURSOR_X = 160.0f;
constexpr float TEXT_X = 190.0f;
constexpr float CURSOR_SIZE = 30.0f;
constexpr int HELP_LINES_SHOWN = 200;
// Level names go 22 apart from 350 down, 20 high, the cursor 30 high beside them: 15
// lines fit above the screen's bottom.
constexpr int LEVEL_LINES_SHOWN = 15;
// Replays are listed as the levels are, one line fewer, so that a replay's failure shows
// beneath them in size 15 across the screen; both end with the last glyph that shows whole
// before the screen's right edge.
constexpr int REPLAY_LINES_SHOWN = 14;
constexpr int REPLAY_NAME_SHOWN = 27;
constexpr int REPLAY_MESSAGE_SHOWN = 52;

float white[3] = {1.0f, 1.0f, 1.0f};
float own_level[3] = {0.6f, 0.9f, 1.0f};

// The game may leave culling, fog, blending or alpha test on; the menu's quads and its
// model are drawn without any of them.
void begin_menu_state() {
  glDisable(GL_CULL_FACE);
  glDisable(GL_FOG);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glEnable(GL_TEXTURE_2D);
  glDepthMask(GL_TRUE);
  glDisableClientState(GL_COLOR_ARRAY);
}

// Back to the state start-up leaves, which the first frame of a match expects.
void end_menu_state() {
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_FOG);
}

void background() {
  glDisable(GL_DEPTH_TEST);
  set_screen_projection();
  const float turn = rad(menu_rotate);
  const float zoom = 0.2f * std::cos(turn) + 0.8f;
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glRotatef(45.0f * std::sin(turn), 0.0f, 0.0f, 1.0f);
  glScalef(zoom, zoom, 1.0f);
  glMatrixMode(GL_MODELVIEW);
  glBindTexture(GL_TEXTURE_2D, background_texture);
  glColor3f(1.0f, 1.0f, 1.0f);
  glBegin(GL_QUADS);
  glTexCoord2f(-2.0f, -1.5f);
  glVertex2f(0.0f, 0.0f);
  glTexCoord2f(2.0f, -1.5f);
  glVertex2f(640.0f, 0.0f);
  glTexCoord2f(2.0f, 1.5f);
  glVertex2f(640.0f, 480.0f);
  glTexCoord2f(-2.0f, 1.5f);
  glVertex2f(0.0f, 480.0f);
  glEnd();
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
}

void model_on_display() {
  set_perspective(static_cast<float>(FOV), 1.3333f);
  glEnable(GL_DEPTH_TEST);
  glTranslatef(-1.3f, -0.8f, -2.5f);
  glRotatef(-120.0f, 0.0f, 1.0f, 0.0f);
  glColor3f(1.0f, 1.0f, 1.0f);
  glBindTexture(GL_TEXTURE_2D, vurk_texture);
  set_model_frame(&vurk_model, menu_frame);
  draw_model(&vurk_model);
  if (weapon_models > 0) {
    glBindTexture(GL_TEXTURE_2D, weapon_model[0].texture);
    draw_model(&weapon_model[0]);
  }
}

void title() {
  glDisable(GL_DEPTH_TEST);
  set_screen_projection();
  glEnable(GL_BLEND);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBindTexture(GL_TEXTURE_2D, headline);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(170.0f, 390.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(470.0f, 390.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(470.0f, 460.0f);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(170.0f, 460.0f);
  glEnd();
}

void main_page() {
  menu_print(white, TEXT_X, 315.0f, 30.0f, "START GAME");
  menu_print(white, TEXT_X, 280.0f, 30.0f, "REPLAYS");
  menu_print(white, TEXT_X, 245.0f, 30.0f, "OPTIONS");
  menu_print(white, TEXT_X, 210.0f, 30.0f, "HELP");
  menu_print(white, TEXT_X, 175.0f, 30.0f, "NETWORK");
  menu_print(white, TEXT_X, 140.0f, 30.0f, "EXIT");
  menu_cursor(315.0f - 35.0f * static_cast<float>(menu_selection));
}

// A slot is shown by its number, as the match will take it; a number outside the
// loaded weapon types shows as none.
const char* weapon_name(const WEAPON* w) {
  if (!weapon_type || w->num < 0 || w->num >= weapons || !weapon_type[w->num].name) return "NONE";
  return weapon_type[w->num].name;
}

void setup_page() {
  const int shown = selected_vurk >= 0 && selected_vurk < MAX_VURKS ? selected_vurk : 0;
  const VURK_* v = &vurk[shown];
  menu_printf(white, TEXT_X, 350.0f, 15.0f, "VURK %d  <->", shown + 1);
  menu_printf(white, TEXT_X, 330.0f, 15.0f, "TYPE: %s",
                  v->type >= MLT_HUMAN && v->type <= MLT_OFF ? type_choises[v->type] : "?");
  menu_print(white, TEXT_X, 310.0f, 15.0f, "TEAM: ");
  const bool team_known = v->team >= 0 && v->team < 4;
  menu_printf(team_known ? team_color[v->team] : white, 262.0f, 310.0f, 15.0f, "%d", v->team + 1);
  menu_printf(white, TEXT_X, 290.0f, 15.0f, "ITEM: %s",
                  v->item >= MI_NINJAROPE && v->item <= MI_JETPACK ? item_choises[v->item] : "?");
  for (int k = 0; k < WEAPON_SLOTS; k++)
    menu_printf(white, TEXT_X, 270.0f - 20.0f * static_cast<float>(k), 15.0f, "WEAPON %d: %s", k + 1,
                    weapon_name(&v->weapons[k]));
  menu_print(yellow, TEXT_X, 190.0f, 30.0f, "OK");
  menu_cursor(357.5f - 20.0f * static_cast<float>(menu_selection));
}

void options_page() {
  menu_print(white, TEXT_X, 350.0f, 15.0f, SHOW_FPS ? "SHOW FPS: YES" : "SHOW FPS: NO");
  menu_printf(white, TEXT_X, 330.0f, 15.0f, "AMBIENT LIGHT: %d%%", static_cast<int>(AMBIENT * 100.0f));
  menu_printf(white, TEXT_X, 310.0f, 15.0f, "CANTLE LIGHT RANGE: %d", CANTLE_LIGHT_RANGE);
  menu_printf(white, TEXT_X, 290.0f, 15.0f, "LIVES: %d", MAX_LIVES);
  menu_printf(white, TEXT_X, 270.0f, 15.0f, "FRAG LIMIT: %d", FRAG_LIMIT);
  menu_printf(white, TEXT_X, 250.0f, 15.0f, "CAMERA MODE: %s", "FIRST PERSON");
  char level[LEVEL_PATH_SHOWN + 1];
  level_label(level_to_use, level, sizeof level);
  menu_printf(white, TEXT_X, 230.0f, 15.0f, "LEVEL: %s", level);
  menu_print(white, TEXT_X, 210.0f, 15.0f, KILL_CAM ? "KILL-CAM: ON" : "KILL-CAM: OFF");
  char name[PLAYER_NAME_SIZE];
  std::snprintf(name, sizeof name, "%s", player_name);
  make_printable(name);
  menu_printf(white, TEXT_X, 190.0f, 15.0f, "NAME: %s", name);
  if (menu_selection == 8) typing_caret(TEXT_X, 190.0f, 15.0f, static_cast<int>(std::strlen("NAME: ") + std::strlen(name)));
  menu_printf(white, TEXT_X, 170.0f, 15.0f, "MASTER VOLUME: %d%%", MASTER_VOLUME);
  menu_printf(white, TEXT_X, 150.0f, 15.0f, "EFFECTS VOLUME: %d%%", EFFECTS_VOLUME);
  menu_print(white, TEXT_X, 130.0f, 15.0f, "CONTROLS");
  menu_print(yellow, TEXT_X, 110.0f, 30.0f, "OK");
  menu_cursor(357.0f - 20.0f * static_cast<float>(menu_selection));
}

// Two columns of 17-high lines, each player's actions under its name, the look settings,
// DEFAULTS and BACK under player 1's; a 15-high cursor beside the line chosen, and what the
// page says along the bottom. The vurk on display is left out: it would stand over player 1.
constexpr float CONTROLS_COLUMN_X[HUMAN_PLAYERS] = {40.0f, 345.0f};
constexpr float CONTROLS_TOP = 365.0f;
constexpr float CONTROLS_LINE = 17.0f;
constexpr float CONTROLS_LOOK_TOP = 150.0f;
constexpr float CONTROLS_SIZE = 15.0f;
constexpr float CONTROLS_NOTE_Y = 25.0f;

void controls_line_place(int line, float* x, float* y) {
  int player = 0, action = 0;
  if (controls_line_action(line, &player, &action)) {
    *x = CONTROLS_COLUMN_X[player];
    *y = CONTROLS_TOP - CONTROLS_LINE * static_cast<float>(action + 1);
  } else {
    *x = CONTROLS_COLUMN_X[0];
    *y = CONTROLS_LOOK_TOP - CONTROLS_LINE * static_cast<float>(line - CONTROLS_LOOK_LINE) -
         (line >= CONTROLS_DEFAULTS_LINE ? 5.0f : 0.0f);
  }
}

void controls_page() {
  float x = 0.0f, y = 0.0f;
  for (int p = 0; p < HUMAN_PLAYERS; p++) menu_printf(yellow, CONTROLS_COLUMN_X[p], CONTROLS_TOP, CONTROLS_SIZE, "PLAYER %d", p + 1);
  for (int line = 0; line < CONTROLS_LOOK_LINE; line++) {
    int player = 0, action = 0;
    controls_line_action(line, &player, &action);
    controls_line_place(line, &x, &y);
    char name[KEY_LABEL_SIZE];
    key_label(bindings[player].key[action], name, sizeof name);
    const bool waited_on = controls_waiting && line == menu_selection;
    menu_printf(waited_on ? yellow : white, x, y, CONTROLS_SIZE, "%s: %s", action_names[action], waited_on ? "..." : name);
  }
  const LOOK_SETTINGS& look = look_settings;
  const char* const yes_no[2] = {"NO", "YES"};
  char text[CONTROLS_LOOK_LINES][40];
  std::snprintf(text[CL_MOUSE_SENSITIVITY], sizeof text[0], "MOUSE SENSITIVITY: %d%%", look.mouse_sensitivity);
  std::snprintf(text[CL_INVERT_MOUSE], sizeof text[0], "INVERT MOUSE: %s", yes_no[look.invert_mouse ? 1 : 0]);
  std::snprintf(text[CL_INVERT_PAD_1], sizeof text[0], "INVERT PAD 1: %s", yes_no[look.invert_pad[0] ? 1 : 0]);
  std::snprintf(text[CL_INVERT_PAD_2], sizeof text[0], "INVERT PAD 2: %s", yes_no[look.invert_pad[1] ? 1 : 0]);
  std::snprintf(text[CL_PAD_SPEED], sizeof text[0], "PAD LOOK SPEED: %d%%", look.pad_look_speed);
  for (int l = 0; l < CONTROLS_LOOK_LINES; l++) {
    controls_line_place(CONTROLS_LOOK_LINE + l, &x, &y);
    menu_print(white, x, y, CONTROLS_SIZE, text[l]);
  }
  controls_line_place(CONTROLS_DEFAULTS_LINE, &x, &y);
  menu_print(white, x, y, CONTROLS_SIZE, "DEFAULTS");
  controls_line_place(CONTROLS_BACK_LINE, &x, &y);
  menu_print(yellow, x, y, CONTROLS_SIZE, "BACK");
  controls_line_place(menu_selection, &x, &y);
  menu_print(red, x - 0.8f * CONTROLS_SIZE - 4.0f, y, CONTROLS_SIZE, ">");
  if (controls_waiting) {
    int player = 0, action = 0;
    controls_line_action(menu_selection, &player, &action);
    menu_printf(yellow, 10.0f, CONTROLS_NOTE_Y, CONTROLS_SIZE, "PRESS A KEY FOR PLAYER %d'S %s, ESCAPE CANCELS", player + 1,
                action_names[action]);
  } else if (controls_note[0]) {
    menu_print(controls_refused ? red : white, 10.0f, CONTROLS_NOTE_Y, CONTROLS_SIZE, controls_note);
  }
}

// Only the lines there are: asking for a line beyond the end would give the last again.
void help_page() {
  const TEXTLINE* line = line_count > 0 ? &textline : nullptr;
  for (int i = 0; line && i < line_count && i < HELP_LINES_SHOWN; i++, line = line->next)
    menu_print(white, 10.0f, 370.0f - 17.0f * static_cast<float>(i) + 17.0f * static_cast<float>(menu_selection), 15.0f,
          line->text);
}

// A longer list scrolls: the cursor's name is then the last shown. The player's own levels
// are tinted, as a host's level may have the name of one of the game's.
void level_page() {
  const int first = std::max(0, menu_selection - (LEVEL_LINES_SHOWN - 1));
  const TEXTLINE* line = line_count > 0 ? &textline : nullptr;
  for (int i = 0; line && i < first; i++) line = line->next;
  for (int i = 0; line && first + i < line_count && i < LEVEL_LINES_SHOWN; i++, line = line->next)
    menu_print(first + i >= first_own_level ? own_level : white, TEXT_X, 350.0f - 22.0f * static_cast<float>(i), 20.0f,
               line->text);
  menu_cursor(355.0f - 22.0f * static_cast<float>(menu_selection - first));
}

// A replay shows as its file's name without ".vhr"; the cursor's stays on screen as on the
// level list.
void replay_page() {
  if (replay_count <= 0) {
    menu_print(white, TEXT_X, 350.0f, 20.0f, "NO REPLAYS YET");
    return;
  }
  const int selected = std::clamp(menu_selection, 0, replay_count - 1);
  const int first = std::max(0, selected - (REPLAY_LINES_SHOWN - 1));
  for (int i = 0; i < REPLAY_LINES_SHOWN && first + i < replay_count; i++) {
    const char* name = replay_names[first + i].text;
    const int length = std::clamp(static_cast<int>(std::strlen(name)) - 4, 0, REPLAY_NAME_SHOWN);
    char label[REPLAY_NAME_SHOWN + 1];
    std::snprintf(label, sizeof label, "%.*s", length, name);
    make_printable(label);
    menu_print(white, TEXT_X, 350.0f - 22.0f * static_cast<float>(i), 20.0f, label);
  }
  menu_cursor(355.0f - 22.0f * static_cast<float>(selected - first));
  if (!replay_message[0]) return;
  char message[REPLAY_MESSAGE_SHOWN + 1];
  std::snprintf(message, sizeof message, "%.*s", REPLAY_MESSAGE_SHOWN, replay_message);
  make_printable(message);
  menu_print(red, 10.0f, 30.0f, 15.0f, message);
}

}  // namespace

void menu_print(const float* color, float x, float y, float size, const char* text) {
  glColor3fv(color);
  glPrint(text, x, y, size);
}

void menu_printf(const float* color, float x, float y, float size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(textbuffer, sizeof textbuffer, format, args);
  va_end(args);
  menu_print(color, x, y, size, textbuffer);
}

void menu_cursor(float y) { menu_print(red, CURSOR_X, y, CURSOR_SIZE, ">"); }

void typing_caret(float x, float y, float size, int typed) {
  menu_print(red, x + 0.8f * size * static_cast<float>(typed), y, size, "_");
}

void make_printable(char* text) {
  capitalize(text);
  for (char* c = text; *c; c++)
    if (*c < ' ' || *c > '_') *c = '?';
}

// "LEVEL: " and LEVEL_PATH_SHOWN characters of the path reach the screen's right edge.
void level_label(const char* path, char* out, int size) {
  const int length = static_cast<int>(std::strlen(path));
  if (length <= LEVEL_PATH_SHOWN) {
    std::snprintf(out, static_cast<size_t>(size), "%.*s", LEVEL_PATH_SHOWN, path);
  } else {
    const char* tail = path + length - (LEVEL_PATH_SHOWN - 3);
    for (const char* c = tail; *c; c++)
      if (*c == '/' || *c == '\\') {
        tail = c;
        break;
      }
    std::snprintf(out, static_cast<size_t>(size), "...%.*s", LEVEL_PATH_SHOWN - 3, tail);
  }
  make_printable(out);
}

void menu_render() {
  begin_menu_state();
  screen_viewport(0, 0, platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT);
  background();
  if (menu_page != 7) model_on_display();
  title();
  glBindTexture(GL_TEXTURE_2D, font_texture);
  switch (menu_page) {
    case 0: main_page(); break;
    case 1: setup_page(); break;
    case 2: options_page(); break;
    case 3: help_page(); break;
    case 4: level_page(); break;
    case 5: replay_page(); break;
    case 6: network_page_render(); break;
    case 7: controls_page(); break;
    default: break;
  }
  end_menu_state();
}

}  // namespace vurkhold
