// lab tournaments: the plan of matches, one match played on the game's simulation, and the
// forked workers that play them. The simulation lives in global pools, so each worker is
// a process of its own that loads the content itself and sends each match's counts back
// through a pipe as one fixed record.
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "lab/lab.h"
#include "match/match.h"
#include "shell/shell.h"

namespace vurkhold::lab {

namespace {

int configs(const LAB_OPTIONS* o, int weapons) {
  const int measured = o->weapon >= 0 ? 1 : weapons;
  if (o->mode == LM_SLOTS) return measured * WEAPON_SLOTS;
  if (o->mode == LM_SINGLE) return measured;
  return 1;
}

bool write_all(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(fd, p, size);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// A whole record, or false at the end of the stream.
bool read_all(int fd, void* data, size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = read(fd, p, size);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

int work(const LAB_OPTIONS* o, int weapons, int worker, int jobs, int total, int fd) {
  no_sound = 1;
  if (!initialize() || weapons != vurkhold::weapons) {
    clean_up();
    return 1;
  }
  if (o->lives) MAX_LIVES = o->lives;
  if (o->frag_limit) FRAG_LIMIT = o->frag_limit;
  static MATCH_RESULT result;
  for (int m = worker; m < total; m += jobs) {
    const MATCH_PLAN plan = plan_match(o, m);
    play_match(o, &plan, &result);
    result.match = m;
    if (!write_all(fd, &result, sizeof result)) break;
  }
  clean_up();
  return 0;
}

const char* base_name(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

void print_match(const LAB_OPTIONS* o, const MATCH_RESULT* r) {
  const MATCH_PLAN plan = plan_match(o, r->match);
  std::printf("match %d seed %u level %s frames %d ", r->match + 1, plan.seed, base_name(o->level[plan.level]),
              r->frames);
  if (r->status)
    std::printf("failed %d", r->status);
  else if (r->winner >= 0)
    std::printf("winner vurk %d", r->winner + 1);
  else
    std::printf("winner none");
  std::printf(" frags %d %d %d %d weapons", r->frags[0], r->frags[1], r->frags[2], r->frags[3]);
  for (const auto& slots : r->loadout)
    std::printf(" %d,%d,%d,%d", slots[0] + 1, slots[1] + 1, slots[2] + 1, slots[3] + 1);
  std::printf("\n");
}

}  // namespace

int match_count(const LAB_OPTIONS* o, int weapons) { return configs(o, weapons) * o->levels * o->seeds; }

// Matches of one loadout come together, level by level, and every loadout meets the same
// seeds, so loadouts are compared on the same games.
MATCH_PLAN plan_match(const LAB_OPTIONS* o, int match) {
  MATCH_PLAN plan = {};
  plan.seed = o->seed + static_cast<unsigned>(match % o->seeds);
  plan.level = match / o->seeds % o->levels;
  const int config = match / (o->seeds * o->levels);
  plan.weapon = o->mode == LM_RANDOM ? -1 : o->mode == LM_SLOTS ? config / WEAPON_SLOTS : config;
  if (o->weapon >= 0 && plan.weapon >= 0) plan.weapon = o->weapon;
  plan.slot = o->mode == LM_SLOTS ? config % WEAPON_SLOTS : -1;
  return plan;
}

void play_match(const LAB_OPTIONS* o, const MATCH_PLAN* plan, MATCH_RESULT* r) {
  *r = MATCH_RESULT{};
  r->winner = -1;
  // As the game starts with this seed: the generator and the pools' cursors fresh, then
  // the weapons drawn vurk by vurk and slot by slot as the menu's defaults draw them; a
  // fixed weapon replaces the draw, which is still made so the match sees the same dice.
  game_srand(plan->seed);
  next_bullet = next_bullethole = next_explosion = next_particle = 0;
  radar_angle = 0.0f;
  for (int i = 0; i < MAX_VURKS; i++) {
    vurk[i].type = MLT_COMPUTER;
    for (int s = 0; s < WEAPON_SLOTS; s++) {
      int w = game_rand() % weapons;
      if (plan->weapon >= 0 && (plan->slot < 0 || plan->slot == s)) w = plan->weapon;
      vurk[i].weapons[s].num = w;
      r->loadout[i][s] = static_cast<int8_t>(w);
    }
  }
  std::snprintf(level_to_use, sizeof level_to_use, "%s", o->level[plan->level]);
  if (!game_init()) {
    r->status = 1;
    return;
  }
  while (r->frames < o->frames && winner < 0) {
    game_logic(o->frame_ms);
    r->frames++;
    char problem[120];
    if (!check_world(problem, sizeof problem)) {
      std::fprintf(stderr, "vurkhold-lab: seed %u, %s: fault frame %d: %s\n", plan->seed, level_to_use, r->frames,
                   problem);
      r->status = 3;
      break;
    }
  }
  for (int i = 0; i < MAX_VURKS; i++) {
    r->frags[i] = vurk[i].frags;
    if (winner >= 0 && vurk[i].team == winner && r->winner < 0) r->winner = i;
    bool seen[MAX_WEAPON_TYPES] = {};
    for (const WEAPON& w : vurk[i].weapons)
      if (w.num >= 0 && w.num < MAX_WEAPON_TYPES && !seen[w.num]) {
        seen[w.num] = true;
        r->carried[w.num]++;
      }
  }
  for (int w = 0; w < weapons && w < MAX_WEAPON_TYPES; w++) {
    r->shots[w] = match_stats.shots[w];
    r->kills[w] = match_stats.kills[w];
    r->self_kills[w] = match_stats.self_kills[w];
    r->kill_ms[w] = match_stats.kill_ms[w];
  }
}

void add_result(const LAB_OPTIONS* o, int weapons, const MATCH_RESULT* r, TOTALS* t) {
  t->matches++;
  if (r->status) {
    t->failed++;
    return;
  }
  const MATCH_PLAN plan = plan_match(o, r->match);
  if (r->winner >= 0) {
    t->wins[r->winner]++;
    // Each further win of the same draw and seat adds itself and one to every earlier
    // one's count: (c + 1)^2 - c^2.
    const size_t draw = static_cast<size_t>(r->match / (o->seeds * o->levels) * o->seeds + r->match % o->seeds);
    if (t->draw_wins.size() <= draw * MAX_VURKS) t->draw_wins.resize((draw + 1) * MAX_VURKS);
    uint8_t& c = t->draw_wins[draw * MAX_VURKS + static_cast<size_t>(r->winner)];
    t->same_draw_wins += 2 * c + 1;
    c++;
  } else {
    t->without_winner++;
  }
  for (int i = 0; i < MAX_VURKS; i++) t->frags[i] += r->frags[i];
  for (int w = 0; w < weapons; w++) {
    t->carried[w] += r->carried[w];
    t->shots[w] += r->shots[w];
    t->kills[w] += r->kills[w];
    t->self_kills[w] += r->self_kills[w];
    t->kill_ms[w] += r->kill_ms[w];
  }
  if (o->mode == LM_SLOTS) {
    t->fixed_kills[plan.weapon][plan.slot] += r->kills[plan.weapon];
    t->fixed_carried[plan.weapon][plan.slot] += r->carried[plan.weapon];
  }
}

int run_tournament(const LAB_OPTIONS* o, int weapons, TOTALS* t) {
  const int total = match_count(o, weapons);
  const int jobs = o->jobs < total ? o->jobs : total;
  std::vector<pollfd> pipes;
  std::vector<pid_t> workers;
  std::fflush(stdout);
  std::fflush(stderr);
  for (int j = 0; j < jobs; j++) {
    int ends[2];
    if (pipe(ends) != 0) break;
    const pid_t pid = fork();
    if (pid == 0) {
      close(ends[0]);
      for (const pollfd& p : pipes) close(p.fd);
      const int status = work(o, weapons, j, jobs, total, ends[1]);
      close(ends[1]);
      _exit(status);
    }
    close(ends[1]);
    if (pid < 0) {
      close(ends[0]);
      break;
    }
    workers.push_back(pid);
    pipes.push_back({ends[0], POLLIN, 0});
  }

  std::vector<MATCH_RESULT> listed(o->list ? total : 0);
  static MATCH_RESULT result;
  int done = 0, open = static_cast<int>(pipes.size());
  while (open > 0) {
    if (poll(pipes.data(), pipes.size(), -1) < 0) break;
    for (pollfd& p : pipes) {
      if (p.fd < 0 || !p.revents) continue;
      if (!read_all(p.fd, &result, sizeof result) || result.match < 0 || result.match >= total) {
        close(p.fd);
        p.fd = -1;
        open--;
        continue;
      }
      add_result(o, weapons, &result, t);
      if (o->list) listed[result.match] = result;
      done++;
      std::fprintf(stderr, "\rvurkhold-lab: %d/%d matches", done, total);
    }
  }
  std::fprintf(stderr, "\n");
  for (pid_t pid : workers) waitpid(pid, nullptr, 0);
  if (done < total) {
    std::fprintf(stderr, "vurkhold-lab: the workers played %d of the %d matches\n", done, total);
    return 0;
  }
  for (const MATCH_RESULT& r : listed) print_match(o, &r);
  return 1;
}

}  // namespace vurkhold::lab
