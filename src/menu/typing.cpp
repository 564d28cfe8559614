// typed lines: a frame's keys turned into the characters of a line the player types into,
// the host's address on the NETWORK page and the player's name on the options page.
#include <cstring>

#include "menu/menu.h"

namespace vurkhold {

namespace {

// The key's character, 0 for a key that types none. Shift makes '-' an '_' and '.' a ':' (as
// on the keyboards with no ':' key of its own); the ';' key types ':' with or without it,
// since nothing typed here takes a ';'.
char typed_character(int key, bool shift) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return static_cast<char>(key);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) return static_cast<char>('0' + key - VK_NUMPAD0);
  switch (key) {
    case VK_SPACE: return ' ';
    case VK_OEM_PERIOD: return shift ? ':' : '.';
    case VK_DECIMAL: return '.';
    case VK_OEM_1: return ':';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_SUBTRACT: return '-';
    default: return 0;
  }
}

}  // namespace

bool type_into(char* text, int size, const char* allowed) {
  const bool shift = keys[VK_SHIFT] != 0;
  bool changed = false;
  for (int key = 0; key < VK_COUNT; key++) {
    if (!keys[key]) continue;
    const char c = typed_character(key, shift);
    if (key != VK_BACK && !c) continue;
    keys[key] = 0;
    const size_t length = std::strlen(text);
    if (key == VK_BACK) {
      if (length == 0) continue;
      text[length - 1] = '\0';
    } else {
      if (static_cast<int>(length) >= size - 1 || !std::strchr(allowed, c)) continue;
      text[length] = c;
      text[length + 1] = '\0';
    }
    changed = true;
  }
  return changed;
}

}  // namespace vurkhold
