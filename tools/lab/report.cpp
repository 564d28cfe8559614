// lab tables: the tournament's sums as one table per weapon and one per seat on stdout.
#include <cstdio>

#include "lab/lab.h"

namespace vurkhold::lab {

namespace {

// "-" where there is nothing to divide by.
const char* ratio(char* out, int size, double numerator, double denominator, double scale, const char* format) {
  if (denominator > 0.0)
    std::snprintf(out, size, format, numerator * scale / denominator);
  else
    std::snprintf(out, size, "-");
  return out;
}

}  // namespace

void print_tables(const LAB_OPTIONS* o, const WEAPON_LIST* list, const TOTALS* t) {
  const char* const modes[] = {"random loadouts", "each weapon fixed in each slot", "one weapon only"};
  std::printf("mode: %s; %d level%s x %d seed%s from %u; %ld matches of at most %ld frames of %u ms\n",
              modes[o->mode], o->levels, o->levels == 1 ? "" : "s", o->seeds, o->seeds == 1 ? "" : "s", o->seed,
              t->matches, o->frames, o->frame_ms);
  const long decided = t->matches - t->without_winner - t->failed;
  std::printf("won %ld, no winner %ld, failed %ld\n\n", decided, t->without_winner, t->failed);

  char a[24], b[24], c[24], d[24];
  std::printf("%3s %-16s %8s %7s %13s %6s %10s %8s %10s %7s\n", "#", "weapon", "carried", "kills", "kills/carried",
              "self", "self/kills", "shots", "shots/kill", "ttk_s");
  for (int w = 0; w < list->count; w++) {
    const double kills = static_cast<double>(t->kills[w]);
    std::printf("%3d %-16s %8ld %7ld %13s %6ld %10s %8ld %10s %7s\n", w + 1, list->name[w], t->carried[w], t->kills[w],
                ratio(a, sizeof a, kills, static_cast<double>(t->carried[w]), 1.0, "%.3f"), t->self_kills[w],
                ratio(b, sizeof b, static_cast<double>(t->self_kills[w]), kills, 100.0, "%.1f%%"), t->shots[w],
                ratio(c, sizeof c, static_cast<double>(t->shots[w]), kills, 1.0, "%.1f"),
                ratio(d, sizeof d, static_cast<double>(t->kill_ms[w]), kills, 0.001, "%.2f"));
  }

  if (o->mode == LM_SLOTS) {
    std::printf("\nkills/carried with the weapon fixed in slot:\n%3s %-16s %8s %8s %8s %8s\n", "#", "weapon", "1", "2",
                "3", "4");
    for (int w = 0; w < list->count; w++) {
      std::printf("%3d %-16s", w + 1, list->name[w]);
      for (int s = 0; s < WEAPON_SLOTS; s++)
        std::printf(" %8s", ratio(a, sizeof a, static_cast<double>(t->fixed_kills[w][s]),
                                  static_cast<double>(t->fixed_carried[w][s]), 1.0, "%.3f"));
      std::printf("\n");
    }
  }

  std::printf("\n%-6s %6s %9s %7s %11s\n", "seat", "wins", "win_share", "frags", "frags/match");
  for (int i = 0; i < MAX_VURKS; i++)
    std::printf("vurk %d %6ld %9s %7ld %11s\n", i + 1, t->wins[i],
                ratio(a, sizeof a, static_cast<double>(t->wins[i]), static_cast<double>(decided), 100.0, "%.1f%%"),
                t->frags[i],
                ratio(b, sizeof b, static_cast<double>(t->frags[i]), static_cast<double>(t->matches - t->failed), 1.0,
                      "%.1f"));
  std::printf("a draw's winner won on %s of its %d level%s (with fair seats %.2f)\n",
              ratio(a, sizeof a, static_cast<double>(t->same_draw_wins), static_cast<double>(decided), 1.0, "%.2f"),
              o->levels, o->levels == 1 ? "" : "s", 1.0 + (o->levels - 1) / 4.0);
}

}  // namespace vurkhold::lab
