// world records: every record, enumeration, limit, pool, counter and setting of the game,
// declared here once and defined in records/records.cpp, with the pools' allocation and
// binding and the random generator. The ground every subsystem stands on: it includes
// nothing but the platform layer.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vurkhold {

// ---- shared types ----

struct XYZ {  // a point
  float x, y, z;
};

struct IJK {  // a vector or direction
  float i, j, k;
};

// ---- limits ----

inline constexpr int MAX_BULLETS = 300;
inline constexpr int MAX_PARTICLES = 150;
inline constexpr int MAX_EXPLOSIONS = 40;
inline constexpr int MAX_BULLETHOLES = 50;
inline constexpr int MAX_LIGHTS = 12;
inline constexpr int MAX_WEAPONMODELS = 50;
inline constexpr int MAX_BULLETMODELS = 20;
inline constexpr int MAX_RENDERED_VERTEXES = 491520;  // 32768 cells x 5 triangles x 3 corners
inline constexpr int VISIBILITY = 24;                 // far clipping distance, world units
inline constexpr int MAX_ROCKS = 6;
inline constexpr int MAX_VURKS = 4;
inline constexpr int HUMAN_PLAYERS = 2;                // at one computer, split screen
inline constexpr int WEAPON_SLOTS = 4;
inline constexpr int MAX_WEAPON_TYPES = 99;  // weapons a weapon file may define
inline constexpr int TRIANGLES_PER_CELL = 5;

// World geometry: 32 cells a side, 33 voxel samples a side.
inline constexpr int GRID_SIZE = 32;
inline constexpr int VOXEL_SIZE = 33;
inline constexpr int VOXELS = VOXEL_SIZE * VOXEL_SIZE * VOXEL_SIZE;  // 35937
inline constexpr int GRIDCELLS = GRID_SIZE * GRID_SIZE * GRID_SIZE;  // 32768
inline constexpr int OCTREE_NODES = 4681;                            // 1 + 8 + 64 + 512 + 4096
inline constexpr int FIRST_OCTREE_LEAF = 585;                        // first node of size 2
inline constexpr float SOLID_VALUE = 1000000.0f;                     // a fresh, all-solid field

inline constexpr int voxel_index(int x, int y, int z) { return x + 33 * y + 1089 * z; }
inline constexpr int gridcell_index(int x, int y, int z) { return x + 32 * y + 1024 * z; }

// ---- enumerations ----

enum VURK_TYPE : int32_t { MLT_HUMAN = 0, MLT_COMPUTER = 1, MLT_INACTIVE = 2, MLT_OFF = 3 };
enum ROPE_STATE : int32_t { NRS_IN = 0, NRS_FLYING = 1, NRS_ATTACHED = 2 };
enum ITEM : int32_t { MI_NINJAROPE = 0, MI_JETPACK = 1 };
enum AI_STATE : int32_t { AS_SEEKTARGET = 0, AS_EVADE = 1, AS_RETREAT = 2 };
enum CAMERA_MODE : int32_t { CM_FIRST_PERSON = 0, CM_THIRD_PERSON = 1 };
enum COLLISION_TYPE : int32_t {
  CT_NO_COLLISION = 0,
  CT_DIRT_COLLISION = 1,
  CT_METAL_COLLISION = 2,
  CT_ROCK_COLLISION = 3,
  CT_VURK1_COLLISION = 4,
  CT_VURK2_COLLISION = 5,
  CT_VURK3_COLLISION = 6,
  CT_VURK4_COLLISION = 7,
};
enum BHA : int32_t { BHA_EXPLODE = 0, BHA_DISAPPEAR = 1, BHA_BOUNCE = 2, BHA_DAMAGE = 3 };
enum BTA : int32_t { BTA_EXPLODE = 0, BTA_DISAPPEAR = 1 };
enum MT_ : int32_t { MT_NORMAL = 0, MT_SPRITE = 1 };

inline constexpr uint16_t BTF_SELF_ILLUMINATION = 1;

// ---- records ----

struct VURK_;
struct MODEL;
struct OCTREE;

struct VERTEX {
  XYZ p;
  float u;            // texture s
  float w;            // texture t (for models the file's v, unchanged)
  uint8_t bone_id;    // models: bone moving the vertex; 255 = none
  float color[3];     // terrain lighting, refilled at every draw
  unsigned id;        // own index in the terrain's vertex pool
};

struct POLYGON {
  VERTEX* vertex[3];
  IJK normal;         // unit face normal
  IJK* vector[3];     // corner normals (models only)
};

struct VOXEL {
  float value;  // below 0.0 empty, 0.0 and above solid
  XYZ p;        // the grid point (x, y, z)
};

struct GRIDCELL {
  VOXEL* voxel[8];  // corner k: bit 0 adds x, bit 1 adds y, bit 2 adds z
  POLYGON triangle[TRIANGLES_PER_CELL];
  uint8_t triangles;  // valid entries of triangle, 0..5
  OCTREE* octtree;    // the size-2 node holding this cell
  uint8_t material;   // quarter of the terrain texture, 0..3
};

struct OCTREE {
  int empty;        // 1 when no cell below has a triangle
  OCTREE* parent;   // null for the root
  void* child[8];   // OCTREE* for sizes 32..4, GRIDCELL* for size 2
  uint8_t size;     // edge in cells: 32, 16, 8, 4 or 2
  VOXEL* p;         // voxel at the minimum corner
};

struct PLANE {
  XYZ p;
  IJK normal;
};

struct FRAME {  // one key of a bone
  XYZ p;        // offset (position key) or angles in radians (rotation key)
  float time;   // in frames
};

struct BONE {
  char name[64];
  XYZ p;  // rest position relative to the parent
  XYZ r;  // rest rotation relative to the parent, radians
  int parent;
  int number_of_m_frames;
  int number_of_r_frames;
  FRAME* movement_frame;
  FRAME* rotation_frame;
  float mRelative[3][4];
  float mAbsolute[3][4];
  float mRelativeFinal[3][4];
  float mFinal[3][4];
};

struct MESH {
  int number_of_vertices;
  int number_of_polygons;
  int number_of_vectors;
  int number_of_indicates;  // 3 x number_of_polygons
  VERTEX* vertex;
  POLYGON* polygon;
  IJK* vector;
  short* index;
  XYZ* original;  // rest positions, in the bone's frame once the bones are set up
};

struct MODEL {
  char* name;
  unsigned texture;
  MT_ type;  // MT_ value
  int number_of_meshes;
  int number_of_bones;
  int number_of_frames;
  MESH* mesh;
  BONE* bone;
  float frame;
  int animated;
  float max_radius;  // squared
};

struct SOUND {
  char* name;
  platform::Sample* sample;
};

struct BULLET_TYPE {
  char* name;
  MODEL* model;
  uint16_t life;
  float life_variation;
  float gravity;
  float air_resistance;
  float damage;
  float hole_size;
  BHA wall_hit;        // BHA_ value
  BHA vurk_hit;        // BHA_ value
  BTA timeout_action;  // BTA_ value
  float bounce;
  int8_t trail;
  float trail_color[3];
  int32_t trail_life;
  int32_t trail_rate;
  int8_t emit;  // index into bullet_type, -1 for none
  int32_t emit_rate;
  int32_t emit_amount;
  float emit_speed;
  int8_t cluster;  // index into bullet_type, -1 for none
  int8_t clusters;
  float cluster_speed;
  float light_color[3];
  float light_range;
  uint16_t flags;  // BTF_ bits
};

struct WEAPON_TYPE {
  char* name;
  MODEL* model;
  int32_t ammo_per_clip;
  int32_t fire_rate;
  int32_t load_time;
  BULLET_TYPE* ammo_type;
  int32_t bullets_per_shot;
  int32_t variation;
  float bullet_speed;
  platform::Sample* sound;
};

struct WEAPON {
  WEAPON_TYPE* type;
  int num;      // index into weapon_type
  int ammo;
  int loading;  // ms of reloading left
  int delay;    // ms until the next shot
};

struct ANIMATION {
  float start;
  float end;
  float lenght;  // end - start
  float frame;
};

struct AI_MODULE {
  unsigned counter;
  unsigned stuck_counter;
  VURK_* target;
  AI_STATE state;  // AS_ value
  float distance;
};

struct LIGHT {
  XYZ p;
  float color[3];
  float range;  // compared with the squared distance
  int alive;
};

struct ROCK {
  XYZ p;
  MODEL* model;
  float size;
  float radius;
};

struct EXPLOSION {
  XYZ p;
  int frame;
  float time;  // seconds
  int alive;
  float size;
  LIGHT* light;
};

struct PARTICLE {
  XYZ p;
  IJK m;
  int type;
  float size;
  int alive;
  float color[4];
  uint16_t max_life;
  int life;
  float rotation;
  float distance;
};

struct BULLETHOLE {
  XYZ p;
  int alive;
  float angle1;
  float angle2;
};

struct BULLET {
  BULLET_TYPE* type;
  XYZ p;
  IJK m;
  float heading;
  float pitch;
  int alive;
  int time;
  uint16_t emit_counter;
  uint16_t trail_counter;
  LIGHT* light;
  uint8_t tag;  // num of the vurk that fired it
};

struct VURK_ {
  uint8_t num;
  int8_t team;
  VURK_TYPE type;  // MLT_ value
  int alive;
  int frags;
  int lives;
  uint8_t tag;
  float life;
  XYZ p;
  XYZ pp;
  float angle;
  float angle2;
  IJK movement;
  WEAPON weapons[WEAPON_SLOTS];
  uint8_t weapon;
  XYZ rope_p;
  IJK rope_m;
  ROPE_STATE rope_state;  // NRS_ value
  int jet_counter;
  LIGHT* light;
  int dig_delay;
  int respawn_delay;
  ITEM item;  // MI_ value
  int animation;
  ANIMATION animations[2];
  AI_MODULE ai_module;
  void (*find_movement_vector)(VURK_* v, IJK* movement, unsigned ms);
  void (*control)(VURK_* v, unsigned ms);
  int jump;
};

// What the weapons did in the match so far, for anyone weighing the weapon files: filled
// where a weapon fires, where a bullet or its blast touches a vurk and where a vurk dies.
// The game itself never reads it, so a match plays the same with it or without it. A kill
// belongs to the weapon that fired the last bullet to touch the victim, as the frag
// belongs to that bullet's vurk; clusters and emitted bullets carry their weapon on.
struct MATCH_STATS {
  int64_t clock;                           // ms played since the match was set up
  int32_t shots[MAX_WEAPON_TYPES];         // trigger pulls that fired
  int32_t kills[MAX_WEAPON_TYPES];         // enemies killed
  int32_t self_kills[MAX_WEAPON_TYPES];
  int64_t kill_ms[MAX_WEAPON_TYPES];       // sum of the enemy kills' times to kill
  // The weapon that fired each bullet of the pool (-1: none), set where the bullet is made.
  // It is kept here beside the pool rather than in BULLET so that the bullet record the
  // game plays with stays as it was.
  int8_t bullet_weapon[MAX_BULLETS];
  // Per vurk in its present life: the weapon of the last bullet to touch it (-1 none) and
  // the clock at the first touch of the unbroken run of touches by that vurk and weapon.
  // A kill's time to kill is from that first touch to the death.
  int8_t hit_weapon[MAX_VURKS];
  uint8_t hit_tag[MAX_VURKS];
  int64_t first_hit[MAX_VURKS];
};

struct CAMERA {
  XYZ p;
  float heading;
  float pitch;
};

struct RECT {
  int left, top, right, bottom;
};

struct POINT {
  int x, y;
};

// ---- pools (allocated by allocate_pools, freed by free_pools) ----

// Allocates the twelve pools in their fixed order; on the first failure shows its
// message and returns 0. free_pools releases whatever exists and may run after a
// partial allocation.
int allocate_pools();
void free_pools();
// Binds voxels, grid cells, triangle corners and the octree (its shape, the nodes'
// corners and sizes, the leaves' cells) together and sets the walls; needs the pools.
void bind_world();

extern VERTEX* vertex;
extern unsigned* index;
extern VOXEL* voxel;
extern GRIDCELL* gridcell;
extern OCTREE* octtree;
extern ROCK* rock;
extern BULLET* bullet;
extern EXPLOSION* explosion;
extern PARTICLE* particle;
extern PARTICLE** particle_list;
extern LIGHT* light;
extern BULLETHOLE* bullethole;
extern BULLET_TYPE* bullet_type;
extern WEAPON_TYPE* weapon_type;
extern SOUND* sound;

// ---- fixed arrays ----

extern VURK_ vurk[MAX_VURKS];
extern PLANE wall[6];
extern int team_frags[4];
extern MATCH_STATS match_stats;
extern MODEL weapon_model[MAX_WEAPONMODELS];
extern MODEL bullet_model[MAX_BULLETMODELS];
extern float frustum[6][4];
extern int keys[VK_COUNT];
// The same keys held by their places (SC_..., the mouse buttons past them), which the
// players' bindings read; and the place of the last key newly pressed, 0 once taken.
extern int key_held[BIND_CODES];
extern int key_pressed;
// Each human player's pad (a platform instance id), -1 for none. Kept for the whole run,
// so a match plays with the pads its players had in the menu.
extern int32_t player_pad[HUMAN_PLAYERS];
// This computer's devices as the input side read them in a frame, besides keys[]: the
// mouse's motion not yet handed to a step, in pixels, and each human player's pad. They
// are turned into commands before the match sees them.
struct MATCH_INPUT {
  int32_t mouse_dx, mouse_dy;
  platform::Pad pad[HUMAN_PLAYERS];
};
extern MATCH_INPUT match_input;

// What a vurk's player asks of it in one step: the only input the match reads. Actions are
// bits; the turn and the look keep the units of the devices they came from, so that the
// match's arithmetic on them is the very arithmetic it always did on the devices: the mouse
// in pixels, a pad's sticks in its own 16-bit steps, the look keys as held bits.
enum VC_BUTTON : uint16_t {
  VC_FORWARD = 1 << 0,
  VC_BACKWARD = 1 << 1,
  VC_LEFT = 1 << 2,
  VC_RIGHT = 1 << 3,
  VC_FIRE = 1 << 4,
  VC_JUMP = 1 << 5,
  VC_DIG = 1 << 6,
  VC_LOOK_UP = 1 << 7,
  VC_LOOK_DOWN = 1 << 8,
  VC_TURN_LEFT = 1 << 9,
  VC_TURN_RIGHT = 1 << 10,
  VC_NEXT_WEAPON = 1 << 11,
  VC_PREVIOUS_WEAPON = 1 << 12,
  // The command carries a mouse, the look keys or a pad: each turns its vurk every step it
  // is carried, moved or not (the look holds the pitch within its limits even at rest).
  VC_MOUSE = 1 << 13,
  VC_KEY_LOOK = 1 << 14,
  VC_PAD = 1 << 15,
};
enum VC_STICK : uint8_t { VC_WALK_X = 0, VC_WALK_Y = 1, VC_LOOK_X = 2, VC_LOOK_Y = 3, VC_STICKS = 4 };
inline constexpr int32_t MAX_COMMAND_MOUSE = 1 << 20;  // pixels a step, either way
struct VURK_COMMAND {
  uint16_t buttons;            // VC_ bits
  uint8_t weapon;              // the weapon slot picked, 1..4; 0 keeps the one held
  int32_t mouse_dx, mouse_dy;  // pixels, right and down
  int16_t stick[VC_STICKS];    // -32767..32767 of the travel: right and down are positive
};
// The commands of the step being played, one per vurk.
extern VURK_COMMAND vurk_command[MAX_VURKS];
extern char textbuffer[80];
extern IJK jetpack_spray;

// ---- counters ----

extern int rocks;
extern int next_bullet;
extern int next_explosion;
extern int next_particle;
extern int next_bullethole;
extern int bullet_types;
extern int weapons;
extern int sounds;
extern int weapon_models;
extern int bullet_models;
// Moves on wherever the cells' materials are written (fresh pools, a level read, a world
// put back from another level), and nowhere else: during play they never change, so equal numbers mean
// equal materials and a snapshot copies its 32768 of them only when the number moved.
extern uint32_t material_generation;

// ---- settings and state ----

inline constexpr int LEVEL_PATH_SIZE = 260;

extern int FOV;
extern int CANTLE_LIGHT_RANGE;
extern int SHOW_FPS;
extern int KILL_CAM;  // a dead player's view replays its death
// Percent, 0..100: all sound, and the game's effects within it.
extern int MASTER_VOLUME;
extern int EFFECTS_VOLUME;
extern int FRAG_LIMIT;
extern int MAX_LIVES;
extern float AMBIENT;
extern CAMERA_MODE camera_mode;
extern int sort_particles;
extern char level_to_use[LEVEL_PATH_SIZE];
extern int winner;
extern int fullscreen;
extern int done;
extern int FPS;
extern unsigned FPS_timer;
extern int FPS_counter;
extern float radar_angle;
extern void (*logic_func)(unsigned ms);
extern void (*render_func)();
// A mode is the pair of functions the frame loop runs. The menu's pair is filled in by
// the shell before the first frame; a match hands control back by installing it, so
// simulation code never names the menu or any other drawing code.
struct MODE_PAIR {
  void (*logic)(unsigned ms);
  void (*render)();
};
extern MODE_PAIR menu_pair;
// The menu starts a match through these, which the shell also fills in: match_init loads
// the level and places the vurks (0 when the level cannot be loaded), then the menu
// installs the one- or two-player pair.
extern int (*match_init)();
// The menu's REPLAYS page plays a saved replay through this: 1 when it started and has
// installed its own pair, like a match; 0 with a one-line reason in `message`.
extern int (*replay_init)(const char* path, char* message, int message_size);
extern MODE_PAIR one_player_pair;
extern MODE_PAIR two_player_pair;
void install_mode(const MODE_PAIR* pair);
extern VURK_* vurk_to_render_1;
extern VURK_* vurk_to_render_2;
extern int menu_selection;
extern int selected_vurk;
extern int menu_page;
extern float menu_rotate;
extern float menu_frame;

// window state: the window rectangle and its centre, the cursor this frame
extern RECT rect;
extern int centerX;
extern int centerY;
extern POINT mpos;

// ---- colours, textures, models, samples ----

extern float red[3];
extern float green[3];
extern float blue[3];
extern float yellow[3];
extern float gray[3];
extern float* team_color[4];

extern unsigned vurk_texture;
extern unsigned dirt_texture;
extern unsigned metal_texture;
extern unsigned rock_texture;
extern unsigned font_texture;
extern unsigned rope_texture;
extern unsigned particle_texture;
extern unsigned explosion_texture;
extern unsigned weapon_texture;
extern unsigned bullet_texture;
extern unsigned bullethole_texture;
extern unsigned flare_texture;
extern unsigned gray_texture;
extern unsigned background_texture;
extern unsigned headline;

extern MODEL vurk_model;
extern MODEL rock_model;
extern MODEL metalbox_model;
extern MODEL arrow_model;
extern platform::Sample* explosion_sound;
extern platform::Sample* death_sound;

// ---- helpers shared by every subsystem ----

// Message box captioned "ERROR" (and stderr); every loader reports through it.
void report_error(const char* text, platform::Icon icon = platform::Icon::information);

// Strict number reading for every file the game loads. Each call takes the next
// blank-separated token of *text and moves past it; the whole token must be the number
// ("1n0" and "1e9" are no whole number), a whole number must fit an int, and a float must be
// finite. On failure *value and *text are left as they were. What follows the numbers a
// line holds is the line's comment and is not read.
bool read_number(const char** text, int* value);
bool read_number(const char** text, float* value);
// Reads the values in order, stopping at the first that fails: how many were read.
template <typename... T>
int read_numbers(const char* text, T*... values) {
  int read = 0;
  bool ok = true;
  ((ok = ok && read_number(&text, values), read += ok), ...);
  return read;
}

// The game's one random generator: each draw is 0..32767.
int game_rand();
void game_srand(unsigned seed);
// Where the sequence stands, for the world's state hash.
uint32_t game_rand_state();

}  // namespace vurkhold
