// window messages: key and mouse-button events recorded in the key-state array.
#include "shell/shell.h"

namespace vurkhold {

// A held key's repeats arrive as further key-down events and set the entry again: the
// menu and the camera toggle consume a key by clearing its entry and rely on that.
int handle_key_event(const platform::Event& event) {
  if (event.code <= 0 || event.code >= VK_COUNT) return 0;
  if (event.type == platform::EventType::key_down) {
    keys[event.code] = 1;
    return 1;
  }
  if (event.type == platform::EventType::key_up) {
    keys[event.code] = 0;
    return 1;
  }
  return 0;
}

}  // namespace vurkhold
