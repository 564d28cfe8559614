// player name: the name this machine shows the others, and where it comes from when the
// player has chosen none: the login name, in the letters the menu's font has.
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "net/net.h"

namespace vurkhold {

char player_name[PLAYER_NAME_SIZE] = "PLAYER";

namespace {

// Upper-cased, every byte the font lacks left out, cut to fit; false when nothing is left.
bool take_name(const char* from, char* out, int size) {
  if (!from || size <= 0) return false;
  int n = 0;
  for (const char* c = from; *c && n < size - 1 && n < PLAYER_NAME_SIZE - 1; c++) {
    char ch = *c;
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    if (ch > ' ' && ch <= '_') out[n++] = ch;
  }
  out[n] = '\0';
  return n > 0;
}

}  // namespace

void default_player_name(char* out, int size) {
  if (size <= 0) return;
  const passwd* entry = getpwuid(getuid());
  if (take_name(entry ? entry->pw_name : nullptr, out, size)) return;
  if (take_name(std::getenv("USER"), out, size)) return;
  std::snprintf(out, static_cast<size_t>(size), "PLAYER");
}

}  // namespace vurkhold
