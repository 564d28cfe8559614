// manifest: the names and files of the generated content that the hand-written
// configuration files refer to. The generators make one file per entry; data/other/*.cfg
// name them exactly as here.
#pragma once

namespace content {

struct WEAPON_MODEL_ENTRY {
  const char* name;  // as in wmodels.cfg and weapons.cfg
  const char* stem;  // models/<stem>.m3d and textures/<stem>.tga
};

inline constexpr WEAPON_MODEL_ENTRY weapon_models[] = {
    {"machinegun", "w_machinegun"},   {"shotgun", "w_shotgun"},     {"sniper", "w_sniper"},
    {"rocketlauncher", "w_rocket"},   {"grenadelauncher", "w_grenade"}, {"bouncer", "w_bouncer"},
    {"minelayer", "w_minelayer"},     {"flamethrower", "w_flamer"}, {"laser", "w_laser"},
    {"napalm", "w_napalm"},           {"digger", "w_digger"},       {"clusterbomb", "w_cluster"},
    {"plasma", "w_plasma"},           {"antigrav", "w_antigrav"},   {"minigun", "w_minigun"},
    {"nailgun", "w_nailgun"},
};

struct BULLET_MODEL_ENTRY {
  const char* name;  // as in bmodels.cfg and bullets.cfg
  int sprite;        // 1: a quad facing +z; 0: a solid pointing -z
  const char* stem;  // models/<stem>.m3d
};

inline constexpr BULLET_MODEL_ENTRY bullet_models[] = {
    {"bullet", 0, "b_bullet"}, {"pellet", 0, "b_pellet"}, {"slug", 0, "b_slug"},   {"rocket", 0, "b_rocket"},
    {"grenade", 0, "b_grenade"}, {"ball", 0, "b_ball"},   {"mine", 0, "b_mine"},   {"shell", 0, "b_shell"},
    {"bomb", 0, "b_bomb"},     {"nail", 0, "b_nail"},     {"flame", 1, "b_flame"}, {"spark", 1, "b_spark"},
    {"laser", 1, "b_laser"},   {"plasma", 1, "b_plasma"}, {"smoke", 1, "b_smoke"},
};

struct SOUND_ENTRY {
  const char* name;  // as in sounds.cfg and weapons.cfg; "" for the two fixed samples
  const char* file;  // sounds/<file>
};

inline constexpr SOUND_ENTRY sounds[] = {
    {"", "exp1.wav"},          {"", "death.wav"},         {"mg", "mg.wav"},          {"shotgun", "shotgun.wav"},
    {"sniper", "sniper.wav"},  {"rocket", "rocket.wav"},  {"grenade", "grenade.wav"}, {"bouncer", "bouncer.wav"},
    {"mine", "mine.wav"},      {"flame", "flame.wav"},    {"laser", "laser.wav"},    {"napalm", "napalm.wav"},
    {"digger", "digger.wav"},  {"cluster", "cluster.wav"}, {"plasma", "plasma.wav"}, {"antigrav", "antigrav.wav"},
    {"minigun", "minigun.wav"}, {"nailgun", "nailgun.wav"},
};

// The shipped levels: levels/<file>, made by the level styles with these seeds.
struct LEVEL_ENTRY {
  const char* file;
  const char* style;
  unsigned seed;
  int rocks;
};

// test1.vhl is the level a match starts with until another is chosen.
inline constexpr LEVEL_ENTRY levels[] = {
    {"test1.vhl", "grotto", 1, 4},  {"caverns.vhl", "caverns", 11, 3}, {"maze.vhl", "maze", 7, 2},
    {"hall.vhl", "hall", 3, 6},     {"floors.vhl", "floors", 5, 3},    {"combs.vhl", "honeycomb", 2, 4},
    {"arena.vhl", "arena", 9, 1},   {"deep.vhl", "deep", 42, 5},
};

}  // namespace content
