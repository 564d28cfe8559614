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
  return platform::read_line(c->line, CONFIG_LINE_SIZE - 1, c->f);
}

int config_version_ok(CONFIG_FILE* c) {
  config_read_line(c);
  float version = 0.0f;
  return read_numbers(c->line, &version) == 1 && version == 1.0f;
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

int config_begin(CONFIG_FILE* c, const CONFIG_HEADER* header, int* count) {
  if (!config_open(c, header->path)) {
    report_error(header->open_message);
    return 0;
  }
  if (!config_version_ok(c)) return config_fail(c, "%s", header->version_message);
  config_read_line(c);
  *count = 0;
  if (read_numbers(c->line, count) != 1 || *count < 1 || *count > header->max_count)
    return config_fail(c, header->count_message, *count);
  return 1;
}

int config_read_name(CONFIG_FILE* c, char** name, const char* message, int number) {
  char word[CONFIG_NAME_SIZE] = "";
  config_read_line(c);
  config_read_line(c);
  if (std::sscanf(c->line, "%31s", word) != 1) return config_fail(c, message, number);
  *name = config_new_name(word);
  if (!*name) return config_fail(c, message, number);
  return 1;
}

int config_read_path(CONFIG_FILE* c, const char* folder, char* path, int size) {
  char file[CONFIG_LINE_SIZE];
  config_read_line(c);
  if (std::sscanf(c->line, "%79s", file) != 1) return 0;
  std::snprintf(path, static_cast<size_t>(size), "%s%s", folder, file);
  return 1;
}

}  // namespace vurkhold
