// command line: the options of the game and their checks.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "match/match.h"
#include "shell/shell.h"

namespace vurkhold {

const char* const usage_text =
    "Usage: vurkhold [OPTION]...\n"
    "Burrowing creatures fight inside a voxel cave: one or two players at one computer.\n"
    "\n"
    "  --windowed      run in a window (do not ask about full screen)\n"
    "  --fullscreen    run full screen (do not ask)\n"
    "  --data DIR      read the game's content from DIR (default: $VURKHOLD_DATA, else\n"
    "                  the program's folder when it holds the content, else\n"
    "                  ../share/vurkhold beside it)\n"
    "  --seed N        fix the random generator, for reproducible runs\n"
    "  --no-vsync      do not wait for the display's refresh between frames\n"
    "  --no-sound      play no sound, for machines without a sound device\n"
    "  --frames N      end after N frames and shut down normally\n"
    "  --level FILE    play this level file (default: levels/test1.vhl)\n"
    "  --bots          make every vurk a computer player\n"
    "  --lives N       lives of each vurk, 1 to 1000 (default 100)\n"
    "  --frag-limit N  frags a team needs to win, 1 to 1000 (default 50)\n"
    "  --frame-ms N    advance the game N ms every frame, 1 to 200 (default: the clock)\n"
    "  --tick N        advance the game in steps of N ms, 1 to 50, as many a frame as the\n"
    "                  clock has given time for (with --headless: as --frame-ms)\n"
    "  --headless      run a match with no window, GL or sound device and print its\n"
    "                  outcome (needs --frames)\n"
    "  --hash-every N  with --headless, print the world's state hash every N frames\n"
    "  --sync-test N   with --headless, go back N steps (1 to 31) after every step, play\n"
    "                  them again and stop when a state hash differs\n"
    "  --input FILE    play the key and mouse events of a script (see the README)\n"
    "  --screenshot FILE  save the last frame drawn as a PNG when the game ends\n"
    "  --reset-settings  delete the saved menu choices and start from the defaults\n"
    "  --no-record     keep no replay of the matches played (default: every match is\n"
    "                  kept in $XDG_DATA_HOME/vurkhold/replays)\n"
    "  --replay FILE   play a replay; with --headless, print its outcome\n"
    "  --host [PORT]   host an online match on UDP port PORT (default 27950); with\n"
    "                  --headless, a dedicated host with no local player\n"
    "  --join HOST[:PORT]  join the online match hosted there\n"
    "  --min-players N with --headless --host, start once N machines are ready (default 2)\n"
    "  --matches N     with --headless --host, play N matches, then end (default: forever)\n"
    "  --play-input REPLAY:N[,M]  online, this machine's players play human player N's\n"
    "                  (and M's) recorded commands; the host sets its match up as the\n"
    "                  replay was\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "Without a sound device the game stops at start with \"Can't initalize sound card.\";\n"
    "--no-sound starts it silent.\n";

namespace {

bool read_number(const char* text, unsigned long long max, unsigned long long* value) {
  if (!text || !*text || *text == '-' || *text == '+') return false;
  errno = 0;
  char* end = nullptr;
  unsigned long long v = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || v > max) return false;
  *value = v;
  return true;
}

}  // namespace

int parse_options(int argc, char** argv, OPTIONS* options, char* error, int error_size) {
  *options = OPTIONS{};
  options->fullscreen = -1;
  options->vsync = 1;
  for (int i = 1; i < argc; i++) {
    const char* arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    unsigned long long number = 0;
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      options->help = 1;
    } else if (std::strcmp(arg, "--version") == 0) {
      options->version = 1;
    } else if (std::strcmp(arg, "--windowed") == 0) {
      options->fullscreen = 0;
    } else if (std::strcmp(arg, "--fullscreen") == 0) {
      options->fullscreen = 1;
    } else if (std::strcmp(arg, "--no-vsync") == 0) {
      options->vsync = 0;
    } else if (std::strcmp(arg, "--no-sound") == 0) {
      options->no_sound = 1;
    } else if (std::strcmp(arg, "--headless") == 0) {
      options->headless = 1;
    } else if (std::strcmp(arg, "--reset-settings") == 0) {
      options->reset_settings = 1;
    } else if (std::strcmp(arg, "--no-record") == 0) {
      options->no_record = 1;
    } else if (std::strcmp(arg, "--bots") == 0) {
      options->bots = 1;
    } else if (std::strcmp(arg, "--level") == 0) {
      if (!value || !*value) {
        std::snprintf(error, error_size, "--level needs a level file");
        return 0;
      }
      if (std::strlen(value) >= LEVEL_PATH_SIZE) {
        std::snprintf(error, error_size, "--level: the path is longer than %d characters", LEVEL_PATH_SIZE - 1);
        return 0;
      }
      options->level = value;
      i++;
    } else if (std::strcmp(arg, "--lives") == 0 || std::strcmp(arg, "--frag-limit") == 0) {
      if (!read_number(value, 1000ull, &number) || number == 0) {
        std::snprintf(error, error_size, "%s needs a number from 1 to 1000", arg);
        return 0;
      }
      (arg[2] == 'l' ? options->lives : options->frag_limit) = static_cast<int>(number);
      i++;
    } else if (std::strcmp(arg, "--frame-ms") == 0) {
      if (!read_number(value, 200ull, &number) || number == 0) {
        std::snprintf(error, error_size, "--frame-ms needs a number from 1 to 200");
        return 0;
      }
      options->frame_ms = static_cast<unsigned>(number);
      i++;
    } else if (std::strcmp(arg, "--tick") == 0) {
      if (!read_number(value, MAX_TICK, &number) || number == 0) {
        std::snprintf(error, error_size, "--tick needs a number from 1 to %u", MAX_TICK);
        return 0;
      }
      options->tick = static_cast<unsigned>(number);
      i++;
    } else if (std::strcmp(arg, "--sync-test") == 0) {
      if (!read_number(value, SNAPSHOT_RING - 1, &number) || number == 0) {
        std::snprintf(error, error_size, "--sync-test needs a number from 1 to %d", SNAPSHOT_RING - 1);
        return 0;
      }
      options->sync_test = static_cast<int>(number);
      i++;
    } else if (std::strcmp(arg, "--hash-every") == 0) {
      if (!read_number(value, 2000000000ull, &number) || number == 0) {
        std::snprintf(error, error_size, "--hash-every needs a number from 1 to 2000000000");
        return 0;
      }
      options->hash_every = static_cast<long>(number);
      i++;
    } else if (std::strcmp(arg, "--input") == 0 || std::strcmp(arg, "--screenshot") == 0 ||
               std::strcmp(arg, "--replay") == 0) {
      if (!value || !*value) {
        std::snprintf(error, error_size, "%s needs a file", arg);
        return 0;
      }
      (arg[2] == 'i' ? options->input : arg[2] == 's' ? options->screenshot : options->replay) = value;
      i++;
    } else if (std::strcmp(arg, "--host") == 0) {
      options->host = 1;
      if (value && value[0] != '-') {
        if (!read_number(value, 65535ull, &number)) {
          std::snprintf(error, error_size, "--host takes a port from 0 to 65535");
          return 0;
        }
        options->port = static_cast<unsigned>(number);
        options->port_given = 1;
        i++;
      }
    } else if (std::strcmp(arg, "--join") == 0 || std::strcmp(arg, "--play-input") == 0) {
      if (!value || !*value) {
        std::snprintf(error, error_size, arg[2] == 'j' ? "--join needs HOST[:PORT]" : "--play-input needs REPLAY:N");
        return 0;
      }
      (arg[2] == 'j' ? options->join : options->play_input) = value;
      i++;
    } else if (std::strcmp(arg, "--min-players") == 0) {
      if (!read_number(value, 4ull, &number) || number == 0) {
        std::snprintf(error, error_size, "--min-players needs a number from 1 to 4");
        return 0;
      }
      options->min_players = static_cast<int>(number);
      i++;
    } else if (std::strcmp(arg, "--matches") == 0) {
      if (!read_number(value, 2000000000ull, &number) || number == 0) {
        std::snprintf(error, error_size, "--matches needs a number from 1 to 2000000000");
        return 0;
      }
      options->matches = static_cast<long>(number);
      i++;
    } else if (std::strcmp(arg, "--data") == 0) {
      if (!value || !*value) {
        std::snprintf(error, error_size, "--data needs a folder");
        return 0;
      }
      options->data_dir = value;
      i++;
    } else if (std::strcmp(arg, "--seed") == 0) {
      if (!read_number(value, 0xFFFFFFFFull, &number)) {
        std::snprintf(error, error_size, "--seed needs a number from 0 to 4294967295");
        return 0;
      }
      options->seed_given = 1;
      options->seed = static_cast<unsigned>(number);
      i++;
    } else if (std::strcmp(arg, "--frames") == 0) {
      if (!read_number(value, 2000000000ull, &number) || number == 0) {
        std::snprintf(error, error_size, "--frames needs a number from 1 to 2000000000");
        return 0;
      }
      options->frames = static_cast<long>(number);
      i++;
    } else {
      std::snprintf(error, error_size, "unknown option '%s'", arg);
      return 0;
    }
  }
  if (options->replay && (options->level || options->bots || options->lives || options->frag_limit)) {
    std::snprintf(error, error_size, "--replay plays the match as it was recorded: --level, --bots, --lives and --frag-limit can't change it");
    return 0;
  }
  const bool online = options->host || options->join;
  if (options->host && options->join) {
    std::snprintf(error, error_size, "--host and --join can't be given together");
    return 0;
  }
  if (!online && (options->min_players || options->matches || options->play_input)) {
    std::snprintf(error, error_size, "--min-players, --matches and --play-input need --host or --join");
    return 0;
  }
  if (online && (options->replay || options->tick || options->frame_ms || options->sync_test)) {
    std::snprintf(error, error_size, "an online match runs on its own tick: --replay, --tick, --frame-ms and --sync-test can't join it");
    return 0;
  }
  if (options->join && (options->min_players || options->matches || options->level || options->bots ||
                        options->lives || options->frag_limit)) {
    std::snprintf(error, error_size, "the host sets the match up: --join takes no --min-players, --matches, --level, --bots, --lives or --frag-limit");
    return 0;
  }
  if (options->headless && options->frames == 0 && !options->replay && !(options->host && !options->play_input)) {
    std::snprintf(error, error_size, "--headless needs --frames");
    return 0;
  }
  if (options->headless && (options->input || options->screenshot)) {
    std::snprintf(error, error_size, "--headless draws nothing: --input and --screenshot need a window");
    return 0;
  }
  if (options->tick && options->frame_ms) {
    std::snprintf(error, error_size, "--tick and --frame-ms can't be given together: a frame of --frame-ms is one step");
    return 0;
  }
  if (options->replay && options->tick) {
    std::snprintf(error, error_size, "--replay plays at the tick it was recorded with: --tick can't change it");
    return 0;
  }
  if (options->sync_test && !options->headless) {
    std::snprintf(error, error_size, "--sync-test needs --headless");
    return 0;
  }
  if (options->headless && options->tick) {
    options->frame_ms = options->tick;
    options->tick = 0;
  }
  if (options->hash_every && !options->headless && !options->play_input) {
    std::snprintf(error, error_size, "--hash-every needs --headless");
    return 0;
  }
  return 1;
}

bool absolute_path(const char* path, char* out, size_t size) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  const std::string full = std::filesystem::absolute(path, error).string();
  if (error || full.size() >= size) return false;
  std::snprintf(out, size, "%s", full.c_str());
  return true;
}

void apply_match_options(const OPTIONS* options) {
  if (options->level) std::snprintf(level_to_use, sizeof level_to_use, "%s", options->level);
  if (options->lives > 0) MAX_LIVES = options->lives;
  if (options->frag_limit > 0) FRAG_LIMIT = options->frag_limit;
  if (options->bots)
    for (VURK_& v : vurk) v.type = MLT_COMPUTER;
}

}  // namespace vurkhold
