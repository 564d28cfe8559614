// world: the configuration tables and their loaders, and the per-frame simulation of
// vurks, weapons, bullets and effects over the world records' pools.
#pragma once

#include <cstdio>

#include "records/records.h"

namespace vurkhold {

// ---- configuration files ----

// Loaders of "other/sounds.cfg", "other/bmodels.cfg", "other/wmodels.cfg",
// "other/bullets.cfg" and "other/weapons.cfg", called in this order at start-up.
// Each returns 1 on success, 0 after one message naming the first bad line.
// A table's count always equals the number of its entries holding an allocated name,
// so the release procedures below stay in bounds after a load that stopped half way.
int load_weapon_sounds();
int load_bullet_models();
int load_weapon_models();
int load_bullet_types();
int load_weapon_types();

// Name look-ups: the first entry with exactly this name, or -1. The scan stops at the
// table's count and at the first entry without a name.
int find_sound_by_name(const char* name);
int find_bulletmodel_by_name(const char* name);
int find_weaponmodel_by_name(const char* name);
int find_bullettype_by_name(const char* name);
// Only the first `limit` bullet types: the ones read before the current one.
int find_bullettype_by_name_2(const char* name, int limit);

// Release of the tables, in the order of shutdown: bullet types and weapon types come
// before the textures and models, the sounds (names and samples) after them, just before
// the sound library closes. Each leaves its table null and its count 0; harmless twice.
void free_bullet_types();
void free_weapon_types();
void free_sounds();

// ---- reading a configuration file (shared by the five loaders) ----

inline constexpr int CONFIG_LINE_SIZE = 80;
inline constexpr int CONFIG_NAME_SIZE = 32;  // names are single words of at most 31 characters
inline constexpr int CONFIG_PATH_SIZE = 100;  // a folder prefix and a file name from one line

struct CONFIG_FILE {
  FILE* f;
  char line[CONFIG_LINE_SIZE];  // the line read last; "" after the end of the file
};

// Opens `path` in text mode; 0 when it cannot be opened.
int config_open(CONFIG_FILE* c, const char* path);
// Reads the next line (at most 78 characters of it) into c->line, a "\r\n" ending read as
// "\n"; 0 and an empty line at the end of the file.
int config_read_line(CONFIG_FILE* c);
// Reads the version line: 1 when it holds a number equal to 1.0.
int config_version_ok(CONFIG_FILE* c);
// Formats a message into an 80-character buffer, shows it, closes the file; returns 0 so
// a loader can `return config_fail(...)`.
int config_fail(CONFIG_FILE* c, const char* format, ...) __attribute__((format(printf, 2, 3)));
void config_close(CONFIG_FILE* c);
// A new name buffer holding `word`; null when no memory.
char* config_new_name(const char* word);

// The start all five files share: the file opened, its version line equal to 1.0 and a
// record count of 1..max_count, each with the file's own message.
struct CONFIG_HEADER {
  const char* path;
  const char* open_message;
  const char* version_message;
  const char* count_message;  // formatted with the count read (0 when none)
  int max_count;
};
// 1 with the count read; 0 after the message.
int config_begin(CONFIG_FILE* c, const CONFIG_HEADER* header, int* count);
// Skips a record's separator line and reads its name into a new buffer; 0 after
// `message`, formatted with the 1-based record number.
int config_read_name(CONFIG_FILE* c, char** name, const char* message, int number);
// Reads a file name from the next line into `path` after `folder` (such as "models\\");
// 0 when the line holds no word.
int config_read_path(CONFIG_FILE* c, const char* folder, char* path, int size);

// ---- effects ----
// Lights 0..3 belong to the vurks; the others are taken by bullets and explosions.
// Explosions, bullet holes and particles take the oldest slot whatever its state.

inline constexpr int FIRST_FREE_LIGHT = 4;

// The first dark light among 4..11, or null when all eight are on. The caller lights it.
LIGHT* get_free_light();
// A direction of length `lenght` from two whole-degree angles of the game's generator.
IJK give_random_direction(float lenght);
// An explosion of one second at p, with a swelling light when one is free and its sound.
void add_explosion(XYZ p, float size);
// A mark on the wall at p, turned to face along the wall's normal.
void add_bullethole(XYZ p, IJK normal);
// A particle at *p with velocity *m (none: standing), colour (rgb, alpha 1) and life in ms.
void add_particle(const XYZ* p, const IJK* m, const float* color, uint16_t life);
// Heading and pitch in degrees of a model turned to look along d (any length).
void give_heading_and_pitch(IJK d, float* heading, float* pitch);
// Ages every running explosion by frame_time ms; its light follows a half sine.
void nurse_explosions(unsigned frame_time);

// ---- bullets ----

// At most this many slots are probed from next_bullet on before a bullet is dropped.
inline constexpr int BULLET_PROBES = 20;
inline constexpr float MIN_EXPLOSION_SIZE = 0.87f;
// Units per ms per ms of a bullet type's gravity 1 and of its air resistance 1.
inline constexpr float FORCE_SCALE = 0.00001f;

// A free bullet slot within BULLET_PROBES probes, or null.
BULLET* get_free_bullet();
// A bullet of type bt at p flying with m, fired by vurk `tag` with weapon type `weapon`
// (-1: none, as for bullets made outside a weapon); dropped silently when no slot is free.
void add_bullet(XYZ p, IJK m, BULLET_TYPE* bt, uint8_t tag, int weapon = -1);
void remove_bullet(BULLET* b);
// Crater, explosion and blast damage (or a mark on the wall for small bullets), then the
// cluster bullets; removes b. normal may be null (no mark).
void explode_bullet(BULLET* b, const IJK* normal);
// One frame of a live bullet: time-out, gravity, drag, flight and what it meets.
void nurse_bullet(BULLET* b, unsigned frame_time);

// ---- vurks ----

inline constexpr float VURK_COLLISION_RADIUS = 0.5f;
inline constexpr int RESPAWN_DELAY = 3000;  // ms
inline constexpr int DIG_DELAY = 1000;      // ms

// A point a vurk may appear at: open rock (density at most a half) and clear of every
// rock's reach by the vurk's radius. Rocks are solid only as models, not in the field, so
// an open point inside one would hold the vurk fast.
bool is_spawn_point(int x, int y, int z);
// One frame of a vurk: respawn, death, or its controller, gravity, movement, rope and timers.
void nurse_vurk(VURK_* m, unsigned frame_time);
// The two halves of nurse_vurk. A match runs every vurk's controller before any vurk moves,
// so each decides (aims, fires, digs) on the same world: run one after the other, vurk by
// vurk, a vurk later in the order would aim at where the earlier ones stand this frame and
// they at where it stood the frame before, which wins it far more matches with the same
// weapons. control_vurk: the controller of a living vurk; move_vurk: respawn, death, or
// gravity, movement, rope and timers.
void control_vurk(VURK_* m, unsigned frame_time);
void move_vurk(VURK_* m, unsigned frame_time);
// Where m aims, scaled to `power`; heading 0 looks along -z, pitch up is positive.
IJK give_vurk_weapon_direction(const VURK_* m, float power);
// The aim scattered by up to `variation` degrees, of length `power`.
IJK give_random_vurk_weapon_direction(const VURK_* m, float power, int variation);
XYZ give_vurk_weapon_point(const VURK_* m);
XYZ give_vurk_rope_point(const VURK_* m);
XYZ give_vurk_jp(const VURK_* m);  // the jetpack's nozzle
// The actions the controllers call; each does nothing for a dead vurk.
void fire_weapon(VURK_* m);
void dig(VURK_* m);
void use_jetpack(VURK_* m, unsigned frame_time);

}  // namespace vurkhold
