// configuration file reading shared by the five loaders: line reads with the fixed limit,
// the version line, and the one message that ends a failed load.
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "world/world.h"

namespace vurkhold {

int config_open(CONFIG_FILE* c, const char* path) {
  c->line[0] = '\0';
  c->f = platform::open_file(path, "r");
  return c->f != nullptr;
}

int config_read_line(CONFIG_FILE* c) {
  // The limit of 79 leaves a long line's rest for the next read, as the files were
  // always read; a missing line reads as empty so its value counts as missing rather
  // than repeating the line before.
  if (!c->f || !std::fgets(c->line, CONFIG_LINE_SIZE - 1, c->f)) {
    c->line[0] = '\0';
    return 0;
  }
  size_t n = std::strlen(c->line);
  if (n >= 2 && c->line[n - 2] == '\r' && c->line[n - 1] == '\n') {
    c->line[n - 2] = '\n';
    c->line[n - 1] = '\0';
  }
  return 1;
}

int config_version_ok(CONFIG_FILE* c) {
  config_read_line(c);
  float version = 0.0f;
  return std::sscanf(c->line, "%f", &version) == 1 && version == 1.0f;
}

int config_fail(CONFIG_FILE* c, const char* format, ...) {
  char message[80];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  report_error(message);
  config_close(c);
  return 0;
}

void config_close(CONFIG_FILE* c) {
  if (c->f) std::fclose(c->f);
  c->f = nullptr;
}

char* config_new_name(const char* word) {
  char* name = static_cast<char*>(std::malloc(CONFIG_NAME_SIZE));
  if (name) std::snprintf(name, CONFIG_NAME_SIZE, "%s", word);
  return name;
}

}  // namespace vurkhold
