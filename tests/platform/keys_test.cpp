// key codes: every key the game reads reaches keys[] under its code, repeats included.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "shell/shell.h"

namespace vurkhold {
namespace {

struct KeyCase {
  const char* name;
  int code;
};

// The keys of both players, the game keys and the menu keys: each single key, and both
// ends of the letter, digit, keypad and function key ranges.
const KeyCase game_keys[] = {
    {"Up", VK_UP},          {"Down", VK_DOWN},           {"Left", VK_LEFT},         {"Right", VK_RIGHT},
    {"Return", VK_RETURN},  {"Keypad Enter", VK_RETURN}, {"Escape", VK_ESCAPE},     {"Space", VK_SPACE},
    {"Tab", VK_TAB},        {"Left Shift", VK_SHIFT},    {"Right Shift", VK_SHIFT}, {"Keypad 0", VK_NUMPAD0},
    {"Keypad 1", 0x61},     {"Keypad 4", 0x64},          {"F1", VK_F1},             {"F9", 0x78},
    {"A", 'A'},             {"W", 'W'},                  {"1", '1'},                {"4", '4'},
    {";", VK_OEM_1},        {":", VK_OEM_1},             {"-", VK_OEM_MINUS},       {".", VK_OEM_PERIOD},
    {"Backspace", VK_BACK}, {"Keypad .", VK_DECIMAL},    {"Keypad -", VK_SUBTRACT},
};

class KeyEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(keys, 0, sizeof keys);
    std::memset(key_held, 0, sizeof key_held);
    key_pressed = 0;
    platform::Event e;
    while (platform::poll_event(&e)) {
    }
  }
  // Feeds every pending event through the key handling, one event per call as the loop does.
  int pump() {
    int handled = 0;
    platform::Event e;
    while (platform::poll_event(&e)) handled += handle_key_event(e);
    return handled;
  }
};

TEST_F(KeyEvents, PressAndReleaseSetAndClearTheEntryOfEveryKeyTheGameReads) {
  for (const KeyCase& k : game_keys) {
    EXPECT_EQ(platform::key_code_for_name(k.name), k.code) << k.name;
    ASSERT_TRUE(platform::push_key_event(k.name, true, false)) << k.name;
    ASSERT_EQ(pump(), 1) << k.name;
    EXPECT_EQ(keys[k.code], 1) << k.name;
    ASSERT_TRUE(platform::push_key_event(k.name, false, false));
    ASSERT_EQ(pump(), 1);
    EXPECT_EQ(keys[k.code], 0) << k.name;
  }
}

// A repeat sets a key the game consumed (as the camera toggle clears F9) again; the mouse
// buttons use codes 1 and 2, each released on its own.
TEST_F(KeyEvents, RepeatSetsAConsumedKeyAgainAndMouseButtonsUseCodesOneAndTwo) {
  ASSERT_TRUE(platform::push_key_event("F9", true, false));
  pump();
  keys[0x78] = 0;
  ASSERT_TRUE(platform::push_key_event("F9", true, true));
  pump();
  EXPECT_EQ(keys[0x78], 1);
  ASSERT_TRUE(platform::push_mouse_button_event(VK_LBUTTON, true));
  ASSERT_TRUE(platform::push_mouse_button_event(VK_RBUTTON, true));
  pump();
  EXPECT_EQ(keys[VK_LBUTTON], 1);
  ASSERT_TRUE(platform::push_mouse_button_event(VK_LBUTTON, false));
  pump();
  EXPECT_EQ(keys[VK_LBUTTON], 0);
  EXPECT_EQ(keys[VK_RBUTTON], 1);
}

// Each key also reaches key_held[] by its place, one the game has no code for too, the
// mouse buttons past the keys; a new press, not a repeat, is the one key_pressed names.
TEST_F(KeyEvents, KeysArriveByPlaceAndOnlyANewPressCounts) {
  const struct { const char* name; int place, code; } rows[] = {
      {"W", sc_letter('W'), 'W'},         {"Left Shift", SC_LSHIFT, VK_SHIFT}, {"Right Shift", SC_RSHIFT, VK_SHIFT},
      {"Keypad 0", SC_KP_0, VK_NUMPAD0},  {"Up", SC_UP, VK_UP},                {"[", 47, 0},
      {"Right Ctrl", 228, VK_CONTROL},
  };
  for (const auto& r : rows) {
    key_pressed = 0;
    ASSERT_TRUE(platform::push_key_event(r.name, true, false)) << r.name;
    ASSERT_EQ(pump(), 1) << r.name;
    EXPECT_EQ(std::tuple(key_held[r.place], key_pressed, r.code ? keys[r.code] : 1), std::tuple(1, r.place, 1))
        << r.name;
    key_pressed = 0;
    ASSERT_TRUE(platform::push_key_event(r.name, true, true));
    pump();
    EXPECT_EQ(key_pressed, 0) << r.name << ": a repeat";
    ASSERT_TRUE(platform::push_key_event(r.name, false, false));
    pump();
    EXPECT_EQ(key_held[r.place], 0) << r.name;
  }
  ASSERT_TRUE(platform::push_mouse_button_event(VK_RBUTTON, true));
  pump();
  EXPECT_EQ(std::tuple(key_held[BIND_MOUSE_RIGHT], key_pressed, key_held[BIND_MOUSE_LEFT]),
            std::tuple(1, BIND_MOUSE_RIGHT, 0));
}

// The names a binding is shown and kept by, both ways, in any case; none for no key.
TEST(KeyNames, EachPlaceHasTheNameItIsReadBackBy) {
  const struct { int place; const char* name; } rows[] = {
      {SC_LSHIFT, "Left Shift"}, {SC_KP_0, "Keypad 0"}, {sc_letter('A'), "A"}, {SC_1 + 8, "9"}, {SC_F1 + 11, "F12"},
      {SC_SPACE, "Space"},       {BIND_MOUSE_LEFT, "Left Button"}, {BIND_MOUSE_RIGHT, "Right Button"}, {47, "["},
  };
  for (const auto& r : rows) {
    EXPECT_STREQ(platform::key_position_name(r.place), r.name);
    EXPECT_EQ(platform::key_position_for_name(r.name), r.place) << r.name;
  }
  EXPECT_EQ(platform::key_position_for_name("left shift"), SC_LSHIFT);
  EXPECT_EQ(platform::key_position_for_name("RIGHT BUTTON"), BIND_MOUSE_RIGHT);
  for (const char* none : {"", "no such key", "Mouse"}) EXPECT_EQ(platform::key_position_for_name(none), 0) << none;
  for (int none : {0, -1, SCANCODES + 2}) EXPECT_STREQ(platform::key_position_name(none), "");
}

}  // namespace
}  // namespace vurkhold
