// text lines: one list of text, the help text or the level names, kept as a chain of heap
// copies behind a static head, the help text showing the players' keys as bound; and where
// each listed level's file is.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "menu/menu.h"

namespace vurkhold {

TEXTLINE textline = {nullptr, nullptr};
int line_count = 0;
int first_own_level = 0;

namespace {

// The list shows names upper-cased; the player's own files keep theirs here, since their
// folder is matched as it is spelt.
struct OWN_LEVEL_NAME {
  char text[platform::MAX_PATH_LENGTH];
};
char own_level_folder[REPLAY_FOLDER_SIZE] = "";
OWN_LEVEL_NAME own_level_names[MAX_LEVEL_NAMES];

char* copy_text(const char* text) {
  const size_t n = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(n));
  if (copy) std::memcpy(copy, text, n);
  return copy;
}

struct LEVEL_SEARCH {
  int max;
};

bool add_level_name(const char* name, void* context) {
  const LEVEL_SEARCH* search = static_cast<const LEVEL_SEARCH*>(context);
  char upper[platform::MAX_PATH_LENGTH];
  std::snprintf(upper, sizeof upper, "%s", name);
  capitalize(upper);
  add_textline(upper);
  return line_count < search->max;
}

bool add_own_level_name(const char* name, void* context) {
  const int own = line_count - first_own_level;
  if (own >= MAX_LEVEL_NAMES) return false;
  std::snprintf(own_level_names[own].text, sizeof own_level_names[0].text, "%s", name);
  return add_level_name(name, context);
}

}  // namespace

void init_textlines() {
  textline.text = nullptr;
  textline.next = nullptr;
  line_count = 0;
}

int add_textline(const char* text) {
  if (!text) return 0;
  if (line_count == 0) {
    textline.text = copy_text(text);
    if (!textline.text) return 0;
    line_count = 1;
    return 1;
  }
  TEXTLINE* last = &textline;
  while (last->next) last = last->next;
  TEXTLINE* node = static_cast<TEXTLINE*>(std::malloc(sizeof(TEXTLINE)));
  if (!node) return 0;
  node->next = nullptr;
  node->text = copy_text(text);
  if (!node->text) {
    std::free(node);
    last->next = nullptr;
    return 0;
  }
  last->next = node;
  line_count++;
  return 1;
}

void free_textlines() {
  TEXTLINE* node = &textline;
  while (node) {
    TEXTLINE* next = node->next;
    std::free(node->text);
    node->text = nullptr;
    if (node != &textline) std::free(node);
    node = next;
  }
  init_textlines();
}

char* get_text_by_number(int num) {
  const TEXTLINE* node = &textline;
  for (int i = 0; i < num && node->next; i++) node = node->next;
  return node->text;
}

void capitalize(char* text) {
  if (!text) return;
  for (char* c = text; *c; c++)
    if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
}

namespace {

constexpr int HELP_TEXT_SIZE = 256;

// The key of "{P.word}" at `text`, its length in `*length`; 0 when `text` starts none.
int bound_key_at(const char* text, int* length) {
  if (text[0] != '{' || (text[1] != '1' && text[1] != '2') || text[2] != '.') return 0;
  const char* end = std::strchr(text, '}');
  if (!end) return 0;
  const int player = text[1] - '1';
  for (int a = 0; a < player_actions(player); a++) {
    const size_t word = std::strlen(action_words[a]);
    if (static_cast<size_t>(end - text - 3) == word && std::strncmp(text + 3, action_words[a], word) == 0) {
      *length = static_cast<int>(end - text + 1);
      return bindings[player].key[a] ? bindings[player].key[a] : -1;
    }
  }
  return 0;
}

// A help line with its keys' names in place of their placeholders: the text after a
// placeholder's blanks stays in its column while the name leaves a blank before it.
void put_bound_keys(const char* in, char* out, int size) {
  int n = 0;
  for (const char* c = in; *c && n < size - 1;) {
    int length = 0;
    const int key = bound_key_at(c, &length);
    if (!key) {
      out[n++] = *c++;
      continue;
    }
    char name[KEY_LABEL_SIZE];
    key_label(key > 0 ? key : 0, name, sizeof name);
    int blanks = 0;
    while (c[length + blanks] == ' ') blanks++;
    const int column = n + length + blanks;
    n += std::snprintf(out + n, static_cast<size_t>(size - n), "%s", name);
    n = std::min(n, size - 1);
    if (blanks > 0) {
      const int until = std::min(std::max(column, n + 1), size - 1);
      while (n < until) out[n++] = ' ';
    }
    c += length + blanks;
  }
  out[n] = '\0';
}

}  // namespace

int load_readme() {
  FILE* f = platform::open_file("readme.txt", "r");
  if (!f) {
    report_error("Can't open readme.txt.");
    return 0;
  }
  init_textlines();
  char text[HELP_TEXT_SIZE], bound[HELP_TEXT_SIZE];
  while (platform::read_line(text, sizeof text, f)) {
    put_bound_keys(text, bound, sizeof bound);
    capitalize(bound);
    // Lines of the list's width; an empty line stays one.
    const int length = static_cast<int>(std::strlen(bound));
    for (int at = 0; at == 0 || at < length; at += README_LINE_SIZE - 1) {
      char line[README_LINE_SIZE];
      std::snprintf(line, sizeof line, "%.*s", README_LINE_SIZE - 1, bound + at);
      add_textline(line);
    }
  }
  std::fclose(f);
  return 1;
}

int load_level_list(int max) {
  init_textlines();
  first_own_level = 0;
  if (max <= 0) return 0;
  LEVEL_SEARCH search = {max};
  platform::list_files("levels\\*.vhl", add_level_name, &search);
  first_own_level = line_count;
  if (line_count < max && platform::user_data_dir(own_level_folder, sizeof own_level_folder, "levels")) {
    char pattern[REPLAY_FOLDER_SIZE + 8];
    std::snprintf(pattern, sizeof pattern, "%s*.vhl", own_level_folder);
    platform::list_files(pattern, add_own_level_name, &search);
  }
  return line_count > 0 ? 1 : 0;
}

bool level_list_path(int num, char* out, int size) {
  if (num < 0 || num >= line_count) return false;
  const int n = num < first_own_level
                    ? std::snprintf(out, static_cast<size_t>(size), "LEVELS\\%s", get_text_by_number(num))
                    : std::snprintf(out, static_cast<size_t>(size), "%s%s", own_level_folder,
                                    own_level_names[num - first_own_level].text);
  return n >= 0 && n < size;
}

}  // namespace vurkhold
