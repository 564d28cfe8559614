// vurkhold-lab: headless four-bot tournaments on the game's own simulation, counted per
// weapon and per seat, printed as tables and drawn as a PNG chart.
#pragma once

#include <cstdint>
#include <vector>

#include "records/records.h"

namespace vurkhold::lab {

inline constexpr int MAX_LEVELS = 20;  // as many as the menu's level list shows
inline constexpr int MAX_JOBS = 64;
inline constexpr int NAME_SIZE = 32;

// random: the loadouts the game itself draws; slots: every vurk gets one weapon in one
// slot, the others as drawn, for each weapon and slot; single: all four slots of every
// vurk hold one weapon, for each weapon.
enum MODE : int32_t { LM_RANDOM = 0, LM_SLOTS = 1, LM_SINGLE = 2 };

struct LAB_OPTIONS {
  int help;
  MODE mode;
  const char* data_dir;         // null: the program's folder
  const char* level[MAX_LEVELS];
  int levels;                   // 0: every level in the data folder's levels/
  unsigned seed;                // the first match seed
  int seeds;                    // matches per level and loadout
  long frames;                  // a match ends at its winner or after this many frames
  unsigned frame_ms;
  int lives;                    // 0: the game's default
  int frag_limit;               // 0: the game's default
  int jobs;                     // 0: one worker per core
  const char* weapon_name;      // slots and single modes: only this weapon, or null for all
  int weapon;                   // its index once the weapons are read; -1 for all
  const char* chart;            // PNG to write, or null
  int list;                     // one line per match on stdout
};

extern const char* const lab_usage;
// 1 when the arguments are good; otherwise 0 with the reason in `error`.
int parse_lab_options(int argc, char** argv, LAB_OPTIONS* options, char* error, int error_size);

// The weapons of the data folder, read once before the workers start.
struct WEAPON_LIST {
  int count;
  char name[MAX_WEAPON_TYPES][NAME_SIZE];
};

// One match of the tournament: which level, which seed, which weapon is fixed where.
struct MATCH_PLAN {
  int level;
  unsigned seed;
  int weapon;  // -1: none fixed
  int slot;    // -1: every slot
};

// All a match leaves, sent whole from a worker to the parent through its pipe.
struct MATCH_RESULT {
  int32_t match;   // index in the tournament
  int32_t status;  // 0 played; 1 the level would not load; 3 the world check failed
  int32_t winner;  // seat 0..3, or -1
  int32_t frames;
  int32_t frags[MAX_VURKS];
  int8_t loadout[MAX_VURKS][WEAPON_SLOTS];
  int32_t carried[MAX_WEAPON_TYPES];  // vurks carrying the weapon in any slot
  int32_t shots[MAX_WEAPON_TYPES];
  int32_t kills[MAX_WEAPON_TYPES];
  int32_t self_kills[MAX_WEAPON_TYPES];
  int64_t kill_ms[MAX_WEAPON_TYPES];
};

// The tournament's sums. Integers only, so the order in which the workers report changes
// nothing.
struct TOTALS {
  long matches, without_winner, failed;
  long wins[MAX_VURKS];
  long frags[MAX_VURKS];
  long carried[MAX_WEAPON_TYPES], shots[MAX_WEAPON_TYPES], kills[MAX_WEAPON_TYPES];
  long self_kills[MAX_WEAPON_TYPES];
  int64_t kill_ms[MAX_WEAPON_TYPES];
  // slots mode: the fixed weapon's own kills and carriers, by the slot it was fixed in
  long fixed_kills[MAX_WEAPON_TYPES][WEAPON_SLOTS];
  long fixed_carried[MAX_WEAPON_TYPES][WEAPON_SLOTS];
  // A draw is one loadout and seed, played on every level. draw_wins: the levels each seat
  // won of a draw (draw * MAX_VURKS + seat); same_draw_wins: over the matches with a winner,
  // the sum of how many of its draw's levels that winner won, so same_draw_wins / won is
  // the levels the same draw wins on average (1 + (levels - 1) / 4 with fair seats).
  std::vector<uint8_t> draw_wins;
  long same_draw_wins;
};

int match_count(const LAB_OPTIONS* options, int weapons);
MATCH_PLAN plan_match(const LAB_OPTIONS* options, int match);
// Plays one planned match on the content in place (the worker's), as a headless run of
// the game with --bots and that seed would, until its winner or the frame limit.
void play_match(const LAB_OPTIONS* options, const MATCH_PLAN* plan, MATCH_RESULT* result);
void add_result(const LAB_OPTIONS* options, int weapons, const MATCH_RESULT* result, TOTALS* totals);
// Runs every match in `options->jobs` forked workers, each loading the content itself,
// and sums what they send back; progress on stderr, and with --list the matches' lines on
// stdout in their order. 0 after a worker failed (with why).
int run_tournament(const LAB_OPTIONS* options, int weapons, TOTALS* totals);

void print_tables(const LAB_OPTIONS* options, const WEAPON_LIST* list, const TOTALS* totals);
// The tables as bars under a title line; 1 when written, otherwise 0 with
// "can't write 'FILE': REASON" in `error`.
int write_chart(const char* path, const char* title, const WEAPON_LIST* list, const TOTALS* totals, char* error,
                int error_size);

}  // namespace vurkhold::lab
