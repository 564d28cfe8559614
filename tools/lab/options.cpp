// lab command line: the options of vurkhold-lab, their checks and its help.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lab/lab.h"

namespace vurkhold::lab {

const char* const lab_usage =
    "Usage: vurkhold-lab [OPTION]...\n"
    "Plays headless tournaments of four computer players on the game's own simulation and\n"
    "shows what each weapon and each seat achieved. Every match is set up as\n"
    "'vurkhold --headless --bots --seed S --level L' sets it up, and ends at its winner or\n"
    "after --frames frames.\n"
    "\n"
    "  --mode MODE     random  the weapons the game gives each vurk for the seed (default)\n"
    "                  slots   for each weapon and each slot 1..4: every vurk carries the\n"
    "                          weapon in that slot, the other slots as the game gives them\n"
    "                  single  for each weapon: every vurk carries only that weapon\n"
    "  --weapon NAME   with slots or single: only this weapon, by its name in the weapon file\n"
    "  --level FILE    a level to play, found from here or inside the data folder; give it\n"
    "                  again for more (default: every level in the data folder's levels/)\n"
    "  --seeds N       matches per level and loadout, 1 to 100000 (default 25)\n"
    "  --seed N        the first match's seed, 0 to 4294967295 (default 1); the others\n"
    "                  follow it: N, N+1, ...\n"
    "  --frames N      the most frames a match lasts, 1 to 2000000000 (default 37500)\n"
    "  --frame-ms N    ms a frame, 1 to 200 (default 16)\n"
    "  --lives N       lives of each vurk, 1 to 1000 (default: the game's, 100)\n"
    "  --frag-limit N  frags a seat needs to win, 1 to 1000 (default: the game's, 50)\n"
    "  --jobs N        worker processes, 1 to 64 (default: one per core)\n"
    "  --chart FILE    also draw the tables as bars into a PNG file\n"
    "  --list          also print one line per match: its seed, level, frames, winner and\n"
    "                  frags, and each vurk's four weapons by their numbers in the table\n"
    "  --data DIR      the game folder (default: this program's folder)\n"
    "  --help          show this help and exit\n"
    "\n"
    "The weapon table, one line per weapon:\n"
    "  carried       vurk-matches carrying the weapon in at least one slot\n"
    "  kills         enemies killed by it: the kill goes to the weapon that fired the last\n"
    "                bullet to touch the victim (its cluster and emitted bullets included)\n"
    "  kills/carried kills divided by carried\n"
    "  self          its kills of the vurk that fired it (a frag lost each)\n"
    "  self/kills    self as a share of kills\n"
    "  shots         trigger pulls that fired it; shots/kill is shots divided by kills\n"
    "  ttk_s         mean time to kill in seconds: from the first of an unbroken run of\n"
    "                touches of the victim by the killer's bullets of this weapon (no other\n"
    "                vurk's or weapon's bullet between them) to the victim's death\n"
    "The seat table, one line per vurk 1..4: the matches it won, its share of the matches\n"
    "that had a winner, and its frags (enemy kills less self-kills) in all and per match.\n"
    "A seed deals the same weapons on every level: with random loadouts the seats' shares\n"
    "carry the luck of the draw, which --mode single leaves out.\n"
    "\n"
    "Progress goes to stderr. The same options and seed give the same tables whatever the\n"
    "number of workers. Exit status: 0 done, 1 the game folder, a level, a worker or the\n"
    "chart failed, 2 a bad option.\n";

namespace {

bool read_number(const char* text, unsigned long long max, unsigned long long* value) {
  if (!text || !*text || *text == '-' || *text == '+') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || v > max) return false;
  *value = v;
  return true;
}

struct RANGED {
  const char* name;
  unsigned long long min, max;
};

constexpr RANGED ranged[] = {
    {"--seeds", 1, 100000},   {"--seed", 0, 0xFFFFFFFFull}, {"--frames", 1, 2000000000},
    {"--frame-ms", 1, 200},   {"--lives", 1, 1000},         {"--frag-limit", 1, 1000},
    {"--jobs", 1, MAX_JOBS},
};

void store(LAB_OPTIONS* o, int which, unsigned long long v) {
  switch (which) {
    case 0: o->seeds = static_cast<int>(v); break;
    case 1: o->seed = static_cast<unsigned>(v); break;
    case 2: o->frames = static_cast<long>(v); break;
    case 3: o->frame_ms = static_cast<unsigned>(v); break;
    case 4: o->lives = static_cast<int>(v); break;
    case 5: o->frag_limit = static_cast<int>(v); break;
    default: o->jobs = static_cast<int>(v); break;
  }
}

}  // namespace

int parse_lab_options(int argc, char** argv, LAB_OPTIONS* o, char* error, int error_size) {
  *o = LAB_OPTIONS{};
  o->mode = LM_RANDOM;
  o->seed = 1;
  o->seeds = 25;
  o->frames = 37500;
  o->frame_ms = 16;
  for (int i = 1; i < argc; i++) {
    const char* arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    int which = -1;
    for (int r = 0; r < static_cast<int>(sizeof ranged / sizeof ranged[0]); r++)
      if (std::strcmp(arg, ranged[r].name) == 0) which = r;
    if (which >= 0) {
      unsigned long long v = 0;
      if (!read_number(value, ranged[which].max, &v) || v < ranged[which].min) {
        std::snprintf(error, error_size, "%s needs a number from %llu to %llu", arg, ranged[which].min,
                      ranged[which].max);
        return 0;
      }
      store(o, which, v);
      i++;
    } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      o->help = 1;
    } else if (std::strcmp(arg, "--list") == 0) {
      o->list = 1;
    } else if (std::strcmp(arg, "--mode") == 0) {
      const char* modes[] = {"random", "slots", "single"};
      int m = 0;
      while (m < 3 && !(value && std::strcmp(value, modes[m]) == 0)) m++;
      if (m == 3) {
        std::snprintf(error, error_size, "--mode needs random, slots or single");
        return 0;
      }
      o->mode = static_cast<MODE>(m);
      i++;
    } else if (std::strcmp(arg, "--level") == 0 || std::strcmp(arg, "--chart") == 0 ||
               std::strcmp(arg, "--data") == 0 || std::strcmp(arg, "--weapon") == 0) {
      if (!value || !*value) {
        std::snprintf(error, error_size, "%s needs a %s", arg,
                      arg[2] == 'd' ? "folder" : arg[2] == 'w' ? "weapon's name" : "file");
        return 0;
      }
      if (arg[2] == 'l') {
        if (o->levels == MAX_LEVELS) {
          std::snprintf(error, error_size, "--level: at most %d levels", MAX_LEVELS);
          return 0;
        }
        if (std::strlen(value) >= LEVEL_PATH_SIZE) {
          std::snprintf(error, error_size, "--level: the path is longer than %d characters", LEVEL_PATH_SIZE - 1);
          return 0;
        }
        o->level[o->levels++] = value;
      } else {
        (arg[2] == 'c' ? o->chart : arg[2] == 'w' ? o->weapon_name : o->data_dir) = value;
      }
      i++;
    } else {
      std::snprintf(error, error_size, "unknown option '%s'", arg);
      return 0;
    }
  }
  if (o->weapon_name && o->mode == LM_RANDOM) {
    std::snprintf(error, error_size, "--weapon needs --mode slots or single");
    return 0;
  }
  o->weapon = -1;
  return 1;
}

}  // namespace vurkhold::lab
