// world records: the one home of every global record, pool, counter and setting.
#include "records/records.h"

namespace vurkhold {

VERTEX* vertex = nullptr;
unsigned* index = nullptr;
VOXEL* voxel = nullptr;
GRIDCELL* gridcell = nullptr;
OCTREE* octtree = nullptr;
ROCK* rock = nullptr;
BULLET* bullet = nullptr;
EXPLOSION* explosion = nullptr;
PARTICLE* particle = nullptr;
PARTICLE** particle_list = nullptr;
LIGHT* light = nullptr;
BULLETHOLE* bullethole = nullptr;
BULLET_TYPE* bullet_type = nullptr;
WEAPON_TYPE* weapon_type = nullptr;
SOUND* sound = nullptr;

VURK_ vurk[MAX_VURKS];
PLANE wall[6];
int team_frags[4];
MATCH_STATS match_stats;
MODEL weapon_model[MAX_WEAPONMODELS];
MODEL bullet_model[MAX_BULLETMODELS];
float frustum[6][4];
int keys[VK_COUNT];
int key_held[BIND_CODES];
int key_pressed = 0;
int32_t player_pad[HUMAN_PLAYERS] = {-1, -1};
MATCH_INPUT match_input = {};
VURK_COMMAND vurk_command[MAX_VURKS] = {};
char textbuffer[80];
IJK jetpack_spray = {0.0f, -0.01f, 0.0f};

// Five rocks are counted before any level is loaded.
int rocks = 5;
int next_bullet = 0;
int next_explosion = 0;
int next_particle = 0;
int next_bullethole = 0;
int bullet_types = 0;
int weapons = 0;
int sounds = 0;
int weapon_models = 0;
int bullet_models = 0;
uint32_t material_generation = 0;

int FOV = 60;
int CANTLE_LIGHT_RANGE = 36;
int SHOW_FPS = 1;
int KILL_CAM = 1;
int MASTER_VOLUME = 100;
int EFFECTS_VOLUME = 100;
int FRAG_LIMIT = 50;
int MAX_LIVES = 100;
float AMBIENT = 0.2f;
CAMERA_MODE camera_mode = CM_FIRST_PERSON;
int sort_particles = 1;
char level_to_use[LEVEL_PATH_SIZE] = "LEVELS\\TEST1.VHL";
int winner = -1;
int fullscreen = 1;
int done = 0;
int FPS = 0;
unsigned FPS_timer = 0;
int FPS_counter = 0;
float radar_angle = 0.0f;
void (*logic_func)(unsigned ms) = nullptr;
void (*render_func)() = nullptr;
MODE_PAIR menu_pair = {nullptr, nullptr};
int (*match_init)() = nullptr;
int (*replay_init)(const char* path, char* message, int message_size) = nullptr;
MODE_PAIR one_player_pair = {nullptr, nullptr};
MODE_PAIR two_player_pair = {nullptr, nullptr};
VURK_* vurk_to_render_1 = &vurk[0];
VURK_* vurk_to_render_2 = &vurk[1];
int menu_selection = 0;
int selected_vurk = 0;
int menu_page = 0;
float menu_rotate = 0.0f;
float menu_frame = 0.0f;

RECT rect = {0, 0, 0, 0};
int centerX = 0;
int centerY = 0;
POINT mpos = {0, 0};

float red[3] = {1.0f, 0.0f, 0.0f};
float green[3] = {0.0f, 1.0f, 0.0f};
float blue[3] = {0.0f, 0.0f, 1.0f};
float yellow[3] = {1.0f, 1.0f, 0.0f};
float gray[3] = {0.5f, 0.5f, 0.5f};
float* team_color[4] = {red, green, blue, yellow};

unsigned vurk_texture = 0;
unsigned dirt_texture = 0;
unsigned metal_texture = 0;
unsigned rock_texture = 0;
unsigned font_texture = 0;
unsigned rope_texture = 0;
unsigned particle_texture = 0;
unsigned explosion_texture = 0;
unsigned weapon_texture = 0;
unsigned bullet_texture = 0;
unsigned bullethole_texture = 0;
unsigned flare_texture = 0;
unsigned gray_texture = 0;
unsigned background_texture = 0;
unsigned headline = 0;

MODEL vurk_model;
MODEL rock_model;
MODEL metalbox_model;
MODEL arrow_model;
platform::Sample* explosion_sound = nullptr;
platform::Sample* death_sound = nullptr;

void install_mode(const MODE_PAIR* pair) {
  logic_func = pair->logic;
  render_func = pair->render;
}

void report_error(const char* text, platform::Icon icon) { platform::show_message("ERROR", text, icon); }

}  // namespace vurkhold
