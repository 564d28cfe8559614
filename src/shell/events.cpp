// window messages: key and mouse-button events recorded in the key-state array, and the
// pads' events: plugged to a player, and in the menu standing in for its keys.
#include "control/control.h"
#include "menu/menu.h"
#include "shell/shell.h"

namespace vurkhold {

namespace {

// The menu's keys on the pad. B is no key: the menu has none that goes back.
int menu_key(int button) {
  switch (button) {
    case platform::PAD_UP: return VK_UP;
    case platform::PAD_DOWN: return VK_DOWN;
    case platform::PAD_LEFT: return VK_LEFT;
    case platform::PAD_RIGHT: return VK_RIGHT;
    case platform::PAD_A: return VK_RETURN;
    default: return 0;
  }
}

}  // namespace

// A held key's repeats arrive as further key-down events and set the entry again: the
// menu and the camera toggle consume a key by clearing its entry and rely on that. By
// place, only a key not yet held counts as pressed, so a repeat is never a new press.
int handle_key_event(const platform::Event& event) {
  const bool down = event.type == platform::EventType::key_down;
  if (!down && event.type != platform::EventType::key_up) return 0;
  const bool coded = event.code > 0 && event.code < VK_COUNT;
  const bool placed = event.position > 0 && event.position < BIND_CODES;
  if (!coded && !placed) return 0;
  if (coded) keys[event.code] = down ? 1 : 0;
  if (placed) {
    if (down && !key_held[event.position]) key_pressed = event.position;
    key_held[event.position] = down ? 1 : 0;
  }
  return 1;
}

// A match reads its pads' state itself each frame, so there a press is left alone; a
// release clears its key wherever it comes, or a d-pad held into a match would walk on.
int handle_pad_event(const platform::Event& event) {
  const bool in_menu = logic_func && logic_func == menu_pair.logic;
  switch (event.type) {
    case platform::EventType::pad_added: pad_plugged(event.code); return 1;
    case platform::EventType::pad_removed: pad_unplugged(event.code); return 1;
    case platform::EventType::pad_button_down:
      if (in_menu && event.height == platform::PAD_B) menu_back();
      if (in_menu && menu_key(event.height)) keys[menu_key(event.height)] = 1;
      return 1;
    case platform::EventType::pad_button_up:
      if (menu_key(event.height)) keys[menu_key(event.height)] = 0;
      return 1;
    default: return 0;
  }
}

}  // namespace vurkhold
