// scripted input: a file of key, mouse-button, mouse-movement and quit events, each at a
// frame number, played into the platform's event queue so the game takes them exactly as
// it takes a player's.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

#include "shell/shell.h"

namespace vurkhold {

namespace {

// Mouse buttons are named like keys in a script.
int button_code(const char* name) {
  if (std::strcmp(name, "MouseLeft") == 0) return VK_LBUTTON;
  if (std::strcmp(name, "MouseRight") == 0) return VK_RBUTTON;
  return 0;
}

bool read_long(const char** text, long min, long max, long* value) {
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(*text, &end, 10);
  if (end == *text || errno != 0 || v < min || v > max || (*end && *end != ' ' && *end != '\t')) return false;
  *value = v;
  *text = end;
  return true;
}

const char* skip_blanks(const char* s) {
  while (*s == ' ' || *s == '\t') s++;
  return s;
}

// One line without its line break; 1 with the event (or nothing, for a blank line or a
// comment) added, 0 with the reason in `error`.
int parse_line(const char* line, INPUT_SCRIPT* script, char* error, int error_size) {
  const char* s = skip_blanks(line);
  if (*s == '\0' || *s == '#') return 1;
  SCRIPT_EVENT e{};
  if (!read_long(&s, 1, 2000000000L, &e.frame)) {
    std::snprintf(error, error_size, "a line starts with a frame number from 1 to 2000000000");
    return 0;
  }
  s = skip_blanks(s);
  const char* word = s;
  while (*s && *s != ' ' && *s != '\t') s++;
  const int word_length = static_cast<int>(s - word);
  s = skip_blanks(s);
  auto is = [&](const char* w) {
    return static_cast<int>(std::strlen(w)) == word_length && std::strncmp(word, w, word_length) == 0;
  };
  if (is("press") || is("down") || is("up")) {
    e.action = is("press") ? SA_PRESS : is("down") ? SA_DOWN : SA_UP;
    // A key name may hold spaces ("Left Shift"); trailing blanks are not part of it.
    int length = static_cast<int>(std::strlen(s));
    while (length > 0 && (s[length - 1] == ' ' || s[length - 1] == '\t')) length--;
    if (length == 0) {
      std::snprintf(error, error_size, "'%.*s' needs a key name", word_length, word);
      return 0;
    }
    if (length >= static_cast<int>(sizeof e.key)) {
      std::snprintf(error, error_size, "unknown key '%.*s'", length, s);
      return 0;
    }
    std::memcpy(e.key, s, length);
    e.key[length] = '\0';
    e.code = button_code(e.key);
    if (e.code == 0 && platform::key_code_for_name(e.key) == 0) {
      std::snprintf(error, error_size, "unknown key '%s'", e.key);
      return 0;
    }
  } else if (is("mouse")) {
    e.action = SA_MOUSE;
    long dx = 0, dy = 0;
    if (!read_long(&s, -10000, 10000, &dx) || !read_long(&s, -10000, 10000, &dy) || *skip_blanks(s)) {
      std::snprintf(error, error_size, "'mouse' needs two offsets from -10000 to 10000");
      return 0;
    }
    e.code = static_cast<int32_t>(dx);
    e.dy = static_cast<int32_t>(dy);
  } else if (is("quit")) {
    e.action = SA_QUIT;
    if (*s) {
      std::snprintf(error, error_size, "'quit' takes nothing after it");
      return 0;
    }
  } else {
    std::snprintf(error, error_size, "unknown event '%.*s' (press, down, up, mouse or quit)", word_length, word);
    return 0;
  }
  if (script->count >= MAX_SCRIPT_EVENTS) {
    std::snprintf(error, error_size, "more than %d events", MAX_SCRIPT_EVENTS);
    return 0;
  }
  script->event[script->count++] = e;
  return 1;
}

void play(const SCRIPT_EVENT& e, bool down) {
  if (e.code) {
    platform::push_mouse_button_event(e.code, down);
  } else {
    platform::push_key_event(e.key, down, false);
  }
}

}  // namespace

int read_input_script(const char* path, INPUT_SCRIPT* script, char* error, int error_size) {
  script->count = 0;
  FILE* f = std::fopen(path, "r");
  if (!f) {
    std::snprintf(error, error_size, "can't open the input script '%s': %s", path, std::strerror(errno));
    return 0;
  }
  // Only a regular file has an end: a directory would read as an empty script and a device
  // or pipe may never end at all.
  struct stat status;
  if (fstat(fileno(f), &status) != 0 || !S_ISREG(status.st_mode)) {
    std::snprintf(error, error_size, "can't open the input script '%s': not a regular file", path);
    std::fclose(f);
    return 0;
  }
  // Read a character at a time so that a NUL byte is seen rather than ending the line early.
  constexpr int LINE_LIMIT = 254;
  char line[LINE_LIMIT + 1];
  char reason[128];
  int number = 0;
  int ok = 1;
  int ch = 0;
  while (ok && ch != EOF) {
    int length = 0;
    while ((ch = std::getc(f)) != EOF && ch != '\n' && ok) {
      if (ch == '\0') {
        std::snprintf(reason, sizeof reason, "the line holds a NUL byte");
        ok = 0;
      } else if (length == LINE_LIMIT) {
        std::snprintf(reason, sizeof reason, "the line is longer than %d characters", LINE_LIMIT);
        ok = 0;
      } else {
        line[length++] = static_cast<char>(ch);
      }
    }
    if (length == 0 && ch == EOF && ok) break;
    number++;
    if (ok) {
      while (length > 0 && line[length - 1] == '\r') length--;
      line[length] = '\0';
      ok = parse_line(line, script, reason, sizeof reason);
    }
    if (!ok) std::snprintf(error, error_size, "%s:%d: %s", path, number, reason);
  }
  std::fclose(f);
  return ok;
}

// A press holds the key for exactly one frame: it goes down before frame F and up before
// F + 1. Those releases go first, so a key pressed on two frames in a row is seen twice.
void play_input_script(const INPUT_SCRIPT* script, long frame) {
  for (int i = 0; i < script->count; i++) {
    const SCRIPT_EVENT& e = script->event[i];
    if (e.action == SA_PRESS && e.frame + 1 == frame) play(e, false);
  }
  for (int i = 0; i < script->count; i++) {
    const SCRIPT_EVENT& e = script->event[i];
    if (e.frame != frame) continue;
    switch (e.action) {
      case SA_PRESS:
      case SA_DOWN: play(e, true); break;
      case SA_UP: play(e, false); break;
      case SA_MOUSE: platform::push_mouse_motion_event(e.code, e.dy); break;
      case SA_QUIT: platform::push_quit_event(); break;
    }
  }
}

}  // namespace vurkhold
