// menu logic: the main page's lines and the help page, the set-up page's wrapping rules,
// the options' limits and the name, typed lines, the level list with the player's own
// levels, the replays, the NETWORK page's hook, and starting a match.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "menu/menu.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

int match_init_calls = 0;
int match_init_ok() { return ++match_init_calls, 1; }
int match_init_fails() { return ++match_init_calls, 0; }
void one_logic(unsigned) {}
void one_render() {}
void two_logic(unsigned) {}
void two_render() {}
int replay_result = 0;
int replay_hook(const char* path, char* message, int size) {
  return std::snprintf(message, static_cast<size_t>(size), "can't read '%s'", path), replay_result;
}
// The page's stand-in moves the cursor on Down, as the real one does, and stays while told to.
int network_frames = 0, network_leaves = 0;
bool network_stays = true;
bool network_hook(bool leave) {
  if (leave) return ++network_leaves, false;
  network_frames++;
  if (keys[VK_DOWN]) keys[VK_DOWN] = 0, menu_selection++;
  return network_stays;
}

// Vurks 0 and 1 human, 2 and 3 off, all with ninja ropes and weapon 0 of three; XDG_DATA_HOME here.
class MenuLogic : public ::testing::Test {
 protected:
  MenuLogic() {
    EXPECT_EQ(chdir(dir_.path().c_str()), 0);
    std::memset(keys, 0, sizeof keys);
    weapon_type = types_;
    weapons = 3;
    for (int i = 0; i < MAX_VURKS; i++) {
      vurk[i].type = i < 2 ? MLT_HUMAN : MLT_OFF;
      vurk[i].item = MI_NINJAROPE;
      vurk[i].team = static_cast<int8_t>(i);
      for (WEAPON& w : vurk[i].weapons) w = {&types_[0], 0, 0, 0, 0};
    }
    menu_page = menu_selection = selected_vurk = 0;
    one_player_pair = {one_logic, one_render};
    two_player_pair = {two_logic, two_render};
    match_init = nullptr;
    match_init_calls = 0;
    replay_init = nullptr;
    network_page = nullptr;
    setenv("XDG_DATA_HOME", dir_.path().c_str(), 1);
  }
  ~MenuLogic() override {
    free_textlines();
    data_home_.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", data_home_.c_str(), 1);
  }
  // One frame with `key` pressed on the given page and line.
  void press(int key, int page = -1, int selection = -1) {
    if (page >= 0) menu_page = page;
    if (selection >= 0) menu_selection = selection;
    keys[key] = 1;
    menu_logic(0);
    EXPECT_EQ(keys[key], 0) << "key " << key << " not consumed";
  }

  test::KeepWorkingDir cwd_;
  test::TempDir dir_;
  test::MessageCapture messages_;
  WEAPON_TYPE types_[3] = {};
  test::KeepGlobals globals_{vurk, level_to_use, weapon_type, weapons, SHOW_FPS, CANTLE_LIGHT_RANGE, MAX_LIVES,
                             FRAG_LIMIT, KILL_CAM, done, menu_page, menu_selection, selected_vurk, AMBIENT,
                             logic_func, render_func, one_player_pair, two_player_pair, match_init, replay_init,
                             MASTER_VOLUME, EFFECTS_VOLUME, bindings, look_settings,
                             network_page, player_name};
  const std::string data_home_ = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
};

// Return on the main page's lines; the help page needs its file, scrolls to its end and
// gives the file back on Return.
TEST_F(MenuLogic, MainPageLinesAndTheHelpPage) {
  const struct { int line, page, selection, done; } rows[] = {
      {0, 1, 0, 0}, {1, 5, 0, 0}, {2, 2, 0, 0}, {3, 0, 3, 0}, {4, 0, 4, 0}, {5, 0, 5, 1}};
  for (const auto& r : rows) {
    done = 0;
    press(VK_RETURN, 0, r.line);
    EXPECT_EQ(std::tuple(menu_page, menu_selection, done), std::tuple(r.page, r.selection, r.done)) << r.line;
  }
  EXPECT_EQ(std::tuple(messages_.count(), messages_.last()), std::tuple(1, "ERROR: Can't open readme.txt."));

  std::string help;
  for (int i = 0; i < 25; i++) help += "help\n";
  test::write_file(dir_.file("readme.txt"), help);
  press(VK_RETURN, 0, 3);
  EXPECT_EQ(std::tuple(menu_page, menu_selection, line_count), std::tuple(3, 0, 25));
  for (int i = 0; i < 6; i++) press(VK_DOWN);
  EXPECT_EQ(menu_selection, 4);
  press(VK_RETURN, 3, 5);
  EXPECT_EQ(std::tuple(menu_page, menu_selection, line_count), std::tuple(0, 0, 0));
}

// Line 0 is the vurk number, 1 the type, 2 the team, 3 the item, 4..7 the weapon numbers
// (three weapon types loaded).
TEST_F(MenuLogic, SetUpStepsWrapAndKeepTheRules) {
  const int R = VK_RIGHT, L = VK_LEFT, E = VK_RETURN, H = MLT_HUMAN, C = MLT_COMPUTER, I = MLT_INACTIVE,
            O = MLT_OFF;
  const struct { int vurk, type, line, key, before, after, type_after; } rows[] = {
      {3, O, 0, R, 3, 0, O},  {0, H, 0, L, 0, 3, H},  {1, H, 0, E, 1, 2, H},
      {0, H, 1, R, H, H, H},  {0, H, 1, L, H, H, H},  // vurk 0 stays human
      {1, H, 1, L, H, O, O},  {1, O, 1, R, O, H, H},  {1, H, 1, R, H, C, C},  {1, C, 1, E, C, I, I},
      {2, O, 1, R, O, C, C},  {3, C, 1, L, C, O, O},  // vurks 2 and 3 skip human both ways
      {1, H, 2, R, 3, 0, H},  {1, H, 2, L, 0, 3, H},
      {1, H, 3, R, 1, 0, H},  {1, H, 3, L, 0, 1, H},  {2, C, 3, R, 1, 1, C},  // a computer keeps its jetpack
      {1, H, 4, R, 2, 0, H},  {1, H, 5, L, 0, 2, H},  {1, H, 6, E, 1, 2, H},
      {1, H, 7, R, 7, 0, H},  {1, H, 7, L, -1, 2, H},  // out of range: from the first or the last
  };
  for (const auto& r : rows) {
    VURK_& v = vurk[r.vurk];
    v.type = static_cast<VURK_TYPE>(r.type);
    selected_vurk = r.vurk;
    if (r.line == 2) v.team = static_cast<int8_t>(r.before);
    if (r.line == 3) v.item = static_cast<ITEM>(r.before);
    if (r.line >= 4) v.weapons[r.line - 4].num = r.before;
    press(r.key, 1, r.line);
    const int fields[] = {selected_vurk, v.type, v.team, v.item};
    const int after = r.line < 4 ? fields[r.line] : v.weapons[r.line - 4].num;
    SCOPED_TRACE(testing::Message() << "vurk " << r.vurk << " line " << r.line << " key " << r.key);
    const int item = r.type_after == C ? MI_JETPACK : r.line == 3 ? r.after : MI_NINJAROPE;
    EXPECT_EQ(std::tuple(after, int{v.type}, int{v.item}, menu_page, menu_selection),
              std::tuple(r.after, r.type_after, item, 1, r.line));
    EXPECT_TRUE(r.line < 4 || v.weapons[r.line - 4].type == &types_[r.after]);
    v.item = MI_NINJAROPE;
  }
}

TEST_F(MenuLogic, OkStartsAMatchOnlyWhenItsSetUpSucceeds) {
  const MODE_PAIR menu = {logic_func, render_func};
  const struct { int (*init)(); VURK_TYPE second; MODE_PAIR mode; int calls; } rows[] = {
      {match_init_fails, MLT_HUMAN, menu, 1},
      {match_init_ok, MLT_COMPUTER, {one_logic, one_render}, 1},
      {match_init_ok, MLT_OFF, {one_logic, one_render}, 1},
      {match_init_ok, MLT_HUMAN, {two_logic, two_render}, 1},
  };
  for (const auto& r : rows) {
    install_mode(&menu);
    match_init = r.init;
    match_init_calls = 0;
    vurk[1].type = r.second;
    selected_vurk = 2;
    press(VK_RETURN, 1, 8);
    EXPECT_EQ(match_init_calls, r.calls);
    EXPECT_EQ(std::tuple(logic_func, render_func), std::tuple(r.mode.logic, r.mode.render));
    EXPECT_EQ(std::tuple(menu_page, menu_selection, selected_vurk), std::tuple(0, 0, 2));
  }
  press(VK_RIGHT, 1, 8);  // only Return starts
  EXPECT_EQ(std::tuple(menu_page, menu_selection), std::tuple(1, 8));
}

TEST_F(MenuLogic, OptionsStayWithinTheirLimits) {
  const int R = VK_RIGHT, L = VK_LEFT, E = VK_RETURN;
  const struct { int line, key, before, after; int* setting; } rows[] = {
      {0, R, 1, 0, &SHOW_FPS},           {0, L, 0, 1, &SHOW_FPS},             {0, E, 0, 1, &SHOW_FPS},
      {2, R, 49, 50, &CANTLE_LIGHT_RANGE}, {2, E, 50, 50, &CANTLE_LIGHT_RANGE}, {2, L, 5, 5, &CANTLE_LIGHT_RANGE},
      {3, R, 1000, 1000, &MAX_LIVES},    {3, L, 2, 1, &MAX_LIVES},            {3, L, 1, 1, &MAX_LIVES},
      {4, R, 100, 100, &FRAG_LIMIT},     {4, L, 1, 1, &FRAG_LIMIT},           {5, R, 36, 36, &CANTLE_LIGHT_RANGE},
      {7, R, 1, 0, &KILL_CAM},           {7, L, 0, 1, &KILL_CAM},             {7, E, 0, 1, &KILL_CAM},
      {9, R, 90, 100, &MASTER_VOLUME},   {9, E, 100, 100, &MASTER_VOLUME},    {9, L, 10, 0, &MASTER_VOLUME},
      {9, L, 0, 0, &MASTER_VOLUME},      {10, R, 0, 10, &EFFECTS_VOLUME},     {10, L, 100, 90, &EFFECTS_VOLUME},
      {10, R, 100, 100, &EFFECTS_VOLUME}, {10, L, 0, 0, &EFFECTS_VOLUME},
  };
  for (const auto& r : rows) {
    *r.setting = r.before;
    press(r.key, 2, r.line);
    EXPECT_EQ(*r.setting, r.after) << "line " << r.line << " key " << r.key << " from " << r.before;
    EXPECT_EQ(std::tuple(menu_page, menu_selection), std::tuple(2, r.line));
  }
  // Ambient light in steps of 0.01 ends at or just past either end; the bottom shows as 0 %.
  AMBIENT = 0.2f;
  for (int i = 0; i < 40; i++) press(VK_LEFT, 2, 1);
  EXPECT_TRUE(AMBIENT <= 0.0f && AMBIENT > -0.01f && static_cast<int>(AMBIENT * 100.0f) == 0) << AMBIENT;
  for (int i = 0; i < 120; i++) press(VK_RIGHT);
  EXPECT_TRUE(AMBIENT >= 0.999f && AMBIENT < 1.011f) << AMBIENT;
  press(VK_RETURN, 2, 11);
  EXPECT_EQ(std::tuple(menu_page, menu_selection), std::tuple(7, 0));
  press(VK_RETURN, 2, 12);
  EXPECT_EQ(std::tuple(menu_page, menu_selection), std::tuple(0, 0));
}

// Escape goes back from every page as a pad's B does: the level list and CONTROLS to the
// options, the rest to the main page; on the main page it does nothing.
TEST_F(MenuLogic, EscapeGoesBackFromEveryPage) {
  const struct { int page, selection, page_after, selection_after; } rows[] = {
      {0, 3, 0, 3}, {1, 4, 0, 0}, {2, 6, 0, 0}, {3, 2, 0, 0},
      {4, 1, 2, 0}, {5, 0, 0, 0}, {6, 0, 0, 0}, {7, 20, 2, 11},
  };
  for (const auto& r : rows) {
    press(VK_ESCAPE, r.page, r.selection);
    EXPECT_EQ(std::tuple(menu_page, menu_selection), std::tuple(r.page_after, r.selection_after)) << "page " << r.page;
  }
}

class ControlsPage : public MenuLogic {
 protected:
  ControlsPage() { default_controls(); }
  ~ControlsPage() override {
    default_controls();
    controls_waiting = 0, key_pressed = 0, controls_note[0] = '\0';
  }
  // Return on `line`, then `key` pressed.
  void bind(int line, int key) {
    press(VK_RETURN, 7, line);
    EXPECT_EQ(controls_waiting, 1);
    key_pressed = key;
    keys[VK_DOWN] = 1;  // whatever the key also set in keys[] is let go
    menu_logic(0);
    EXPECT_EQ(std::tuple(menu_page, menu_selection, keys[VK_DOWN]), std::tuple(7, line, 0));
  }
};

constexpr int P2 = CONTROLS_PLAYER_2_LINE;

// A free key binds; one of the same player's actions swaps; the other player's and the game's
// are refused by name, and nothing changes. Escape while waiting only stops waiting.
TEST_F(ControlsPage, TheNextKeyBindsSwapsOrIsRefusedByName) {
  const int I = sc_letter('I'), W = sc_letter('W');
  const struct { int line, key; const char* note; int refused, player, action, bound; int other_action, other_key; } rows[] = {
      {P2 + ACT_FORWARD, I, "", 0, 1, ACT_FORWARD, I, ACT_FORWARD, I},
      {P2 + ACT_FORWARD, SC_SPACE, "W IS NOW FIRE", 0, 1, ACT_FORWARD, SC_SPACE, ACT_FIRE, W},
      {ACT_FIRE, SC_SPACE, "SPACE IS PLAYER 2'S FIRE", 1, 0, ACT_FIRE, BIND_MOUSE_LEFT, ACT_FIRE, BIND_MOUSE_LEFT},
      {P2 + ACT_DIG, BIND_MOUSE_LEFT, "LEFT BUTTON IS PLAYER 1'S FIRE", 1, 1, ACT_DIG, sc_letter('E'), ACT_DIG,
       sc_letter('E')},
      {ACT_FORWARD, SC_F1, "F1 IS A GAME KEY", 1, 0, ACT_FORWARD, SC_UP, ACT_FORWARD, SC_UP},
      {P2 + ACT_TURN_RIGHT, SC_F1 + 11, "F12 IS A GAME KEY", 1, 1, ACT_TURN_RIGHT, sc_letter('K'), ACT_JUMP, SC_LSHIFT},
      {P2 + ACT_JUMP, SC_TAB, "TAB IS A GAME KEY", 1, 1, ACT_JUMP, SC_LSHIFT, ACT_JUMP, SC_LSHIFT},
      {ACT_SLOT_1, SC_RSHIFT, "", 0, 0, ACT_SLOT_1, SC_RSHIFT, ACT_SLOT_2, SC_KP_1 + 1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.note);
    default_controls();
    bind(r.line, r.key);
    EXPECT_EQ(std::tuple(std::string(controls_note), controls_refused, controls_waiting),
              std::tuple(std::string(r.note), r.refused, 0));
    EXPECT_EQ(std::tuple(int{bindings[r.player].key[r.action]}, int{bindings[r.player].key[r.other_action]}),
              std::tuple(r.bound, r.other_key));
  }
  default_controls();
  press(VK_RETURN, 7, P2 + ACT_FORWARD);
  key_pressed = SC_ESCAPE;
  press(VK_ESCAPE);
  EXPECT_EQ(std::tuple(menu_page, menu_selection, controls_waiting, int{bindings[1].key[ACT_FORWARD]}),
            std::tuple(7, P2 + ACT_FORWARD, 0, sc_letter('W')));
  // A pad's B while waiting stops the wait too; then it leaves the page.
  press(VK_RETURN, 7, ACT_DIG);
  menu_back();
  EXPECT_EQ(std::tuple(menu_page, controls_waiting), std::tuple(7, 0));
  menu_back();
  EXPECT_EQ(menu_page, 2);
}

// The look lines step within their limits, the inverts toggle, DEFAULTS brings back today's
// keys and look, BACK goes to the options' CONTROLS line.
TEST_F(ControlsPage, LookLinesDefaultsAndBack) {
  const int R = VK_RIGHT, L = VK_LEFT, E = VK_RETURN, LOOK = CONTROLS_LOOK_LINE;
  LOOK_SETTINGS& look = look_settings;
  const struct { int line, key, before, after; int32_t* setting; } rows[] = {
      {LOOK + CL_MOUSE_SENSITIVITY, R, 100, 110, &look.mouse_sensitivity},
      {LOOK + CL_MOUSE_SENSITIVITY, R, 400, 400, &look.mouse_sensitivity},
      {LOOK + CL_MOUSE_SENSITIVITY, L, 10, 10, &look.mouse_sensitivity},
      {LOOK + CL_MOUSE_SENSITIVITY, L, 100, 90, &look.mouse_sensitivity},
      {LOOK + CL_INVERT_MOUSE, E, 0, 1, &look.invert_mouse},
      {LOOK + CL_INVERT_MOUSE, L, 1, 0, &look.invert_mouse},
      {LOOK + CL_INVERT_PAD_1, R, 0, 1, &look.invert_pad[0]},
      {LOOK + CL_INVERT_PAD_2, R, 0, 1, &look.invert_pad[1]},
      {LOOK + CL_PAD_SPEED, R, 200, 200, &look.pad_look_speed},
      {LOOK + CL_PAD_SPEED, L, 50, 50, &look.pad_look_speed},
      {LOOK + CL_PAD_SPEED, E, 100, 110, &look.pad_look_speed},
  };
  for (const auto& r : rows) {
    *r.setting = r.before;
    press(r.key, 7, r.line);
    EXPECT_EQ(*r.setting, r.after) << "line " << r.line << " key " << r.key;
    EXPECT_EQ(controls_waiting, 0);
  }
  look = {250, 1, {1, 1}, 60};
  bind(P2 + ACT_FIRE, sc_letter('Z'));
  press(VK_RETURN, 7, CONTROLS_DEFAULTS_LINE);
  EXPECT_EQ(std::tuple(look.mouse_sensitivity, look.invert_mouse, look.invert_pad[0], look.invert_pad[1],
                       look.pad_look_speed, int{bindings[1].key[ACT_FIRE]}, std::string(controls_note)),
            std::tuple(100, 0, 0, 0, 100, SC_SPACE, "THE DEFAULT KEYS AND LOOK ARE BACK"));
  press(VK_RETURN, 7, CONTROLS_BACK_LINE);
  EXPECT_EQ(std::tuple(menu_page, menu_selection), std::tuple(2, 11));
}

// The help shows each placeholder as its key's name, the text after it in its column while
// there is room; the game's own help text has a name for every placeholder.
TEST_F(ControlsPage, TheHelpShowsTheKeysAsBound) {
  ASSERT_EQ(bind_key(1, ACT_FORWARD, SC_KP_0 + 1), BIND_DONE);  // "Keypad ."
  ASSERT_EQ(bind_key(0, ACT_FORWARD, sc_letter('Q')), BIND_DONE);
  test::write_file(dir_.file("readme.txt"),
                   " {2.forward}      WALK FORWARD\n{1.forward}/{2.forward} {2.nothing} {1.look-up}\n"
                   " {2.weapon1}  A\n");
  ASSERT_EQ(load_readme(), 1);
  ASSERT_EQ(line_count, 3);
  EXPECT_EQ(std::string(get_text_by_number(0)), " KEYPAD .         WALK FORWARD\n");
  EXPECT_EQ(std::string(get_text_by_number(1)), "Q/KEYPAD .    {2.NOTHING} {1.LOOK-UP}\n");
  EXPECT_EQ(std::string(get_text_by_number(2)), " 1            A\n");
  free_textlines();
  ASSERT_EQ(chdir(VURK_GAME_DIR), 0);
  ASSERT_EQ(load_readme(), 1);
  int shown = 0;
  for (int i = 0; i < line_count; i++) {
    const std::string line = get_text_by_number(i);
    EXPECT_EQ(line.find('{'), std::string::npos) << line;
    shown += line == " KEYPAD .         WALK FORWARD\n";
  }
  EXPECT_EQ(shown, 1);
}

// Each key of a frame, in the order of the key codes: Backspace before any character, the
// digit row before the letters, the keypad's after both.
TEST(TypedLines, KeysTypeTheAllowedCharactersWhileThereIsRoom) {
  const char* const A = ADDRESS_CHARACTERS;
  const char* const N = NAME_CHARACTERS;
  const int P = VK_OEM_PERIOD, M = VK_OEM_MINUS, S = VK_SHIFT;
  const struct {
    const char* before;
    std::vector<int> keys;
    const char* allowed;
    int size;
    const char* after;
  } rows[] = {
      {"", {'Z', '1', 'A', '0'}, A, 64, "01AZ"},
      {"", {VK_NUMPAD0 + 7, VK_DECIMAL, VK_SUBTRACT, VK_NUMPAD0}, A, 64, "07-."},
      {"", {P}, A, 64, "."},
      {"", {P, S}, A, 64, ":"},  // as on the keyboards with ':' over '.'
      {"", {VK_OEM_1}, A, 64, ":"},
      {"", {M}, A, 64, "-"},
      {"", {M, S}, A, 64, ""},  // '_' is no address's
      {"", {M, S}, N, 16, "_"},
      {"AB", {VK_SPACE}, A, 64, "AB"},
      {"AB", {VK_SPACE}, N, 16, "AB "},
      {"ABC", {VK_BACK, 'D'}, A, 64, "ABD"},
      {"", {VK_BACK}, A, 64, ""},
      {"ABCD", {'E'}, A, 5, "ABCD"},  // full: size - 1 characters
      {"ABC", {'E', 'D'}, A, 5, "ABCD"},
      {"123456789ABCDE", {'F', 'G'}, N, 16, "123456789ABCDEF"},
  };
  for (const auto& r : rows) {
    std::memset(keys, 0, sizeof keys);
    for (int key : r.keys) keys[key] = 1;
    char text[64];
    std::snprintf(text, sizeof text, "%s", r.before);
    const bool changed = type_into(text, r.size, r.allowed);
    EXPECT_EQ(std::tuple(std::string(text), changed), std::tuple(std::string(r.after), std::strcmp(r.before, r.after) != 0))
        << r.before << " -> " << r.after;
    for (int key : r.keys) EXPECT_EQ(keys[key], key == S ? 1 : 0) << "key " << key << " for " << r.after;
  }
  // The menu's own keys stay for the page.
  std::memset(keys, 0, sizeof keys);
  keys[VK_RETURN] = keys[VK_UP] = keys[VK_ESCAPE] = keys[VK_LEFT] = 1;
  char text[8] = "X";
  EXPECT_FALSE(type_into(text, sizeof text, N));
  EXPECT_EQ(std::tuple(keys[VK_RETURN], keys[VK_UP], keys[VK_ESCAPE], keys[VK_LEFT], std::string(text)),
            std::tuple(1, 1, 1, 1, "X"));
  std::memset(keys, 0, sizeof keys);
}

// Line 8 types the name, 15 characters at most; leaving it (by the cursor or B) cuts the
// blanks at its ends and gives an empty name the login name back.
TEST_F(MenuLogic, TheNameLineTypesTheNameAndLeavesNoneEmpty) {
  char login[PLAYER_NAME_SIZE];
  default_player_name(login, sizeof login);
  std::snprintf(player_name, sizeof player_name, "AB");
  press('C', 2, 8);
  press(VK_SPACE);
  for (int i = 0; i < 20; i++) press('X');
  EXPECT_STREQ(player_name, "ABC XXXXXXXXXXX");
  for (int i = 0; i < 11; i++) press(VK_BACK);
  EXPECT_STREQ(player_name, "ABC ");
  press(VK_DOWN);
  EXPECT_EQ(std::tuple(menu_selection, std::string(player_name)), std::tuple(9, "ABC"));
  for (int i = 0; i < 4; i++) press(VK_BACK, 2, 8);
  press(VK_SPACE);
  EXPECT_STREQ(player_name, " ");
  press(VK_UP);
  EXPECT_EQ(std::tuple(menu_selection, std::string(player_name)), std::tuple(7, std::string(login)));
  std::snprintf(player_name, sizeof player_name, " Q ");
  menu_selection = 8;
  menu_back();
  EXPECT_EQ(std::tuple(menu_page, std::string(player_name)), std::tuple(0, "Q"));
}

// With no hook the NETWORK line does nothing. With one, the page is the hook's, Up and
// Down too; Escape and a pad's B leave it through the hook, and so does the hook itself.
TEST_F(MenuLogic, TheNetworkLineOpensItsPageAndEachWayOutLeavesIt) {
  press(VK_RETURN, 0, 4);
  EXPECT_EQ(std::tuple(menu_page, menu_selection), std::tuple(0, 4));
  network_page = network_hook;
  const struct { const char* way; int leaves; } rows[] = {{"escape", 1}, {"pad B", 1}, {"the page", 0}};
  for (const auto& r : rows) {
    network_frames = network_leaves = 0;
    network_stays = true;
    press(VK_RETURN, 0, 4);
    EXPECT_EQ(std::tuple(menu_page, menu_selection, network_frames), std::tuple(6, 0, 0));
    press(VK_DOWN);
    press(VK_DOWN);
    EXPECT_EQ(std::tuple(menu_page, menu_selection, network_frames), std::tuple(6, 2, 2));
    if (r.leaves) {
      r.way[0] == 'e' ? press(VK_ESCAPE) : menu_back();
    } else {
      network_stays = false;
      menu_logic(0);
    }
    EXPECT_EQ(std::tuple(menu_page, menu_selection, network_leaves), std::tuple(0, 0, r.leaves)) << r.way;
  }
  // The hook gone while on the page: back to the main page.
  menu_page = 6;
  network_page = nullptr;
  menu_logic(0);
  EXPECT_EQ(menu_page, 0);
}

// The level line lists the level files; Return takes the name on the cursor unless the
// path would not fit, and goes back to the options either way.
TEST_F(MenuLogic, PickingALevel) {
  press(VK_RETURN, 2, 6);
  EXPECT_EQ(std::tuple(menu_page, menu_selection), std::tuple(2, 6));  // no level files

  // LEVELS\ and a name of 252 fill the 259 characters the path holds; 254 do not fit, and
  // the path there was stays.
  const std::string fits = std::string(248, 'F') + ".VHL", too_long = std::string(250, 'L') + ".VHL";
  for (const std::string& name : {std::string("cave.vhl"), fits, too_long})
    test::write_file(dir_.file("levels/" + name), "x");
  const std::string paths[] = {"LEVELS\\CAVE.VHL", "LEVELS\\" + fits, "LEVELS\\" + fits};
  for (int i = 0; i < 3; i++) {
    press(VK_RIGHT, 2, 6);
    ASSERT_EQ(std::tuple(menu_page, menu_selection, line_count), std::tuple(4, 0, 3));
    press(VK_RETURN, 4, i);
    EXPECT_EQ(level_to_use, paths[i]) << i;
    EXPECT_EQ(std::tuple(menu_page, menu_selection, line_count), std::tuple(2, 0, 0));
  }
}

// After the game's levels come the player's own (in "<XDG_DATA_HOME>/vurkhold/levels/"),
// named as the folder spells them and opened by their whole path; the list's limit counts
// both. A whole path that would not fit keeps the level there was.
TEST_F(MenuLogic, TheLevelListEndsWithThePlayersOwnLevels) {
  for (const char* name : {"levels/cave.vhl", "levels/maze.vhl", "vurkhold/levels/Mine.vhl", "vurkhold/levels/b.VHL",
                           "vurkhold/levels/notes.txt"})
    test::write_file(dir_.file(name), "x");
  press(VK_RIGHT, 2, 6);
  ASSERT_EQ(std::tuple(menu_page, line_count, first_own_level), std::tuple(4, 4, 2));
  EXPECT_EQ(std::tuple(std::string(get_text_by_number(1)), std::string(get_text_by_number(2)),
                       std::string(get_text_by_number(3))),
            std::tuple("MAZE.VHL", "B.VHL", "MINE.VHL"));
  press(VK_RETURN, 4, 3);
  EXPECT_EQ(level_to_use, dir_.path() + "/vurkhold/levels/Mine.vhl");
  std::FILE* f = platform::open_file(level_to_use, "rb");
  EXPECT_NE(f, nullptr);
  if (f) std::fclose(f);

  const struct { int max, lines, own_from; } limits[] = {{3, 3, 2}, {2, 2, 2}, {1, 1, 1}};
  for (const auto& l : limits) {
    EXPECT_EQ(load_level_list(l.max), 1);
    EXPECT_EQ(std::tuple(line_count, first_own_level), std::tuple(l.lines, l.own_from)) << l.max;
    free_textlines();
  }
  // Own levels only, in a folder so deep that "Mine.vhl" fits just once "/vurkhold/levels/" is added.
  std::filesystem::remove_all(dir_.file("levels"));
  const std::string deep = dir_.path() + "/" + std::string(LEVEL_PATH_SIZE - 1 - dir_.path().size() - 26, 'd');
  std::filesystem::create_directories(deep + "/vurkhold/levels");
  test::write_file(deep + "/vurkhold/levels/Mine.vhl", "x");
  test::write_file(deep + "/vurkhold/levels/Mine2.vhl", "x");
  setenv("XDG_DATA_HOME", deep.c_str(), 1);
  press(VK_RIGHT, 2, 6);
  ASSERT_EQ(std::tuple(menu_page, line_count, first_own_level), std::tuple(4, 2, 0));
  press(VK_RETURN, 4, 0);
  EXPECT_EQ(level_to_use, deep + "/vurkhold/levels/Mine.vhl");
  EXPECT_EQ(std::strlen(level_to_use), static_cast<size_t>(LEVEL_PATH_SIZE - 1));
  press(VK_RIGHT, 2, 6);
  press(VK_RETURN, 4, 1);
  EXPECT_EQ(level_to_use, deep + "/vurkhold/levels/Mine.vhl");
}

// REPLAYS lists the replay files newest first, past 256 without the oldest, and no other
// files; Return hands the one on the cursor to the replay hook, whose failure stays until
// the cursor moves.
TEST_F(MenuLogic, PickingAReplay) {
  using S = std::string;
  press(VK_RETURN, 0, 1);
  press(VK_RETURN);  // none yet: nothing to pick
  EXPECT_EQ(std::tuple(menu_page, menu_selection, replay_count, S(replay_message)), std::tuple(5, 0, 0, ""));
  press(VK_ESCAPE);
  EXPECT_EQ(menu_page, 0);

  const std::string folder = dir_.file("vurkhold/replays/");
  for (int i = 0; i < 256; i++) test::write_file(folder + "2026" + std::to_string(1000 + i) + "-x.vhr", "x");
  for (const char* name : {"20261999-X.VHR", "a.txt", "20262000-x.vhl"}) test::write_file(folder + name, "x");
  press(VK_RETURN, 0, 1);
  EXPECT_EQ(std::tuple(replay_count, S(replay_names[0].text), S(replay_names[1].text), S(replay_names[255].text)),
            std::tuple(256, "20261999-X.VHR", "20261255-x.vhr", "20261001-x.vhr"));
  press(VK_RETURN);
  EXPECT_EQ(std::tuple(menu_page, S(replay_message)), std::tuple(5, "REPLAYS CAN'T BE PLAYED HERE"));
  press(VK_DOWN);
  replay_init = replay_hook, replay_result = 0;
  press(VK_RETURN);
  menu_logic(0);
  EXPECT_EQ(replay_message, "can't read '" + folder + "20261255-x.vhr'");
  press(VK_UP);
  EXPECT_EQ(std::tuple(menu_selection, S(replay_message)), std::tuple(0, ""));
  replay_result = 1;
  press(VK_RETURN);
  EXPECT_EQ(std::tuple(menu_page, menu_selection), std::tuple(0, 0));
}

}  // namespace
}  // namespace vurkhold
