// player name: what this machine calls its player in the lobby and on the others' screens.
#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "net/net.h"

namespace vurkhold {

char player_name[PLAYER_NAME_SIZE] = "PLAYER";

void default_player_name(char* out, int size) {
  const passwd* pw = getpwuid(getuid());
  const char* login = pw && pw->pw_name && *pw->pw_name ? pw->pw_name : std::getenv("USER");
  int n = 0;
  for (const char* c = login ? login : ""; *c && n < size - 1 && n < PLAYER_NAME_SIZE - 1; c++)
    if (std::isalnum(static_cast<unsigned char>(*c))) out[n++] = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  out[n] = '\0';
  if (!n) std::snprintf(out, static_cast<size_t>(size), "PLAYER");
}

}  // namespace vurkhold
