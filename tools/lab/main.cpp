// vurkhold-lab: the balance lab's entry point: options, the game folder and its levels,
// the weapons' names, then the tournament, its tables and its chart.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "lab/lab.h"
#include "shell/shell.h"

using namespace vurkhold;

namespace {

char level_path[lab::MAX_LEVELS][LEVEL_PATH_SIZE];

// Every level file in the data folder's levels/, by name, as the menu lists them.
int find_levels(lab::LAB_OPTIONS* o) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("levels", error)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file(error) && name.size() > 4 && name.compare(name.size() - 4, 4, ".vhl") == 0)
      names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    if (o->levels == lab::MAX_LEVELS || name.size() + 8 >= LEVEL_PATH_SIZE) break;
    std::snprintf(level_path[o->levels], LEVEL_PATH_SIZE, "levels/%s", name.c_str());
    o->level[o->levels] = level_path[o->levels];
    o->levels++;
  }
  return o->levels;
}

}  // namespace

int main(int argc, char** argv) {
  lab::LAB_OPTIONS o;
  char error[160];
  if (!lab::parse_lab_options(argc, argv, &o, error, sizeof error)) {
    std::fprintf(stderr, "vurkhold-lab: %s\nTry 'vurkhold-lab --help'.\n", error);
    return 2;
  }
  if (o.help) {
    std::fputs(lab::lab_usage, stdout);
    return 0;
  }
  // Levels and the chart named from where the user stands are made absolute before the
  // game folder is entered; a level not found here is looked for inside it.
  for (int l = 0; l < o.levels; l++)
    if (absolute_path(o.level[l], level_path[l], LEVEL_PATH_SIZE)) o.level[l] = level_path[l];
  std::string chart;
  if (o.chart) {
    std::error_code ignored;
    chart = std::filesystem::absolute(o.chart, ignored).string();
    o.chart = chart.c_str();
  }
  char where[3 * platform::MAX_PATH_LENGTH * 4];
  if (!platform::enter_data_dir(o.data_dir, where, sizeof where)) {
    std::fprintf(stderr, "vurkhold-lab: %s\n", where);
    return 1;
  }
  if (!o.levels && !find_levels(&o)) {
    std::fprintf(stderr, "vurkhold-lab: no level files in the data folder's levels/\n");
    return 1;
  }
  for (int l = 0; l < o.levels; l++) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(o.level[l], ignored)) {
      std::fprintf(stderr, "vurkhold-lab: no level file '%s'\n", o.level[l]);
      return 1;
    }
  }

  // The parent loads the content once for the weapons' names and lets it go again before
  // forking: the sound library's thread must not be running when the workers are made.
  platform::set_dialogs_enabled(false);
  no_sound = 1;
  static lab::WEAPON_LIST list;
  if (!initialize()) {
    clean_up();
    return 1;
  }
  list.count = std::min(weapons, MAX_WEAPON_TYPES);
  for (int w = 0; w < list.count; w++) std::snprintf(list.name[w], lab::NAME_SIZE, "%s", weapon_type[w].name);
  clean_up();
  for (int w = 0; w < list.count && o.weapon_name; w++)
    if (std::strcmp(list.name[w], o.weapon_name) == 0) o.weapon = w;
  if (o.weapon_name && o.weapon < 0) {
    std::fprintf(stderr, "vurkhold-lab: no weapon '%s' in the weapon file\nTry 'vurkhold-lab --help'.\n", o.weapon_name);
    return 2;
  }

  if (!o.jobs) o.jobs = static_cast<int>(std::clamp(sysconf(_SC_NPROCESSORS_ONLN), 1L, static_cast<long>(lab::MAX_JOBS)));
  static lab::TOTALS totals;
  if (!lab::run_tournament(&o, list.count, &totals)) return 1;
  lab::print_tables(&o, &list, &totals);
  const char* const modes[] = {"RANDOM LOADOUTS", "EACH WEAPON IN EACH SLOT", "ONE WEAPON ONLY"};
  char title[96];
  std::snprintf(title, sizeof title, "VURKHOLD-LAB: %s, %ld MATCHES FROM SEED %u", modes[o.mode], totals.matches, o.seed);
  if (o.chart && !lab::write_chart(o.chart, title, &list, &totals, error, sizeof error)) {
    std::fprintf(stderr, "vurkhold-lab: %s\n", error);
    return 1;
  }
  return 0;
}
