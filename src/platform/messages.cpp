// messages: every error and question of the game, as a message box where one can be
// shown and always as "CAPTION: text" on stderr; tests capture them instead.
#include "platform/platform.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

constexpr int MAX_CAPTURED = 64;
constexpr int CAPTURED_LENGTH = 320;

bool capturing = false;
bool dialogs_enabled = true;
bool dialogs_checked = false;
int captured_count = 0;
char captured[MAX_CAPTURED][CAPTURED_LENGTH];
char last_text[CAPTURED_LENGTH] = "";

bool dialogs_allowed() {
  if (!dialogs_checked) {
    dialogs_checked = true;
    const char* env = std::getenv("VURKHOLD_NO_DIALOGS");
    if (env && env[0] && std::strcmp(env, "0") != 0) dialogs_enabled = false;
  }
  return dialogs_enabled && !capturing;
}

void record(const char* caption, const char* text) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  std::snprintf(last_text, sizeof last_text, "%s", text);
  if (capturing && captured_count < MAX_CAPTURED) {
    std::snprintf(captured[captured_count], CAPTURED_LENGTH, "%s: %s", caption, text);
    captured_count++;
  }
}

Uint32 box_flags(Icon icon) {
  switch (icon) {
    case Icon::exclamation: return SDL_MESSAGEBOX_WARNING;
    case Icon::stop: return SDL_MESSAGEBOX_ERROR;
    default: return SDL_MESSAGEBOX_INFORMATION;
  }
}

}  // namespace

void show_message(const char* caption, const char* text, Icon icon) {
  record(caption, text);
  if (!dialogs_allowed()) return;
  SDL_ShowSimpleMessageBox(box_flags(icon), caption, text, nullptr);
}

bool ask_yes_no(const char* caption, const char* text, bool fallback) {
  record(caption, text);
  if (!dialogs_allowed()) return fallback;
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
  };
  SDL_MessageBoxData data{};
  data.flags = SDL_MESSAGEBOX_INFORMATION;
  data.title = caption;
  data.message = text;
  data.numbuttons = 2;
  data.buttons = buttons;
  int pressed = -1;
  if (SDL_ShowMessageBox(&data, &pressed) != 0 || pressed < 0) return fallback;
  return pressed == 1;
}

void capture_messages(bool on) { capturing = on; }
int captured_message_count() { return captured_count; }

const char* captured_message(int n) {
  if (n < 0 || n >= captured_count) return "";
  return captured[n];
}

const char* last_message_text() { return last_text; }

void clear_captured_messages() {
  captured_count = 0;
  last_text[0] = '\0';
}

void set_dialogs_enabled(bool on) {
  dialogs_checked = true;
  dialogs_enabled = on;
}

}  // namespace platform
