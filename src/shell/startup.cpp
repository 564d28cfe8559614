// start-up and shutdown: everything the game holds for the whole run is built here once
// and released here once, also after a start that failed half way; and a headless run,
// which is a match between the two. The content itself is loaded and released by
// content.cpp.
#include "match/match.h"
#include "shell/shell.h"

namespace vurkhold {

int no_sound = 0;
void (*point_vertex_arrays)() = nullptr;

namespace {

// What the menu shows for each vurk before the player changes anything; a match resets
// the per-match fields itself. The four weapons come from the game's generator, so a
// seed gives the same choice.
void set_vurk_defaults() {
  for (int i = 0; i < MAX_VURKS; i++) {
    VURK_& v = vurk[i];
    v.num = static_cast<uint8_t>(i);
    v.team = static_cast<int8_t>(i);
    v.type = i == 0 ? MLT_HUMAN : MLT_COMPUTER;
    v.life = 100.0f;
    v.lives = 100;
    v.alive = 0;
    v.p = v.pp = {16.0f, 16.0f, 16.0f};
    v.angle = v.angle2 = 0.0f;
    v.movement = {0.0f, 0.0f, 0.0f};
    v.light = &light[i];
    v.dig_delay = v.respawn_delay = v.jet_counter = 0;
    v.rope_state = NRS_IN;
    v.rope_p = {0.0f, 0.0f, 0.0f};
    v.rope_m = {0.0f, 0.0f, 0.0f};
    v.weapon = 0;
    for (WEAPON& w : v.weapons) {
      w.num = game_rand() % weapons;
      w.type = &weapon_type[w.num];
      w.ammo = w.loading = w.delay = 0;
    }
    v.item = MI_JETPACK;
    v.animation = 0;
    v.animations[0] = {1.0f, 40.0f, 39.0f, 1.0f};
    v.animations[1] = {41.0f, 70.0f, 29.0f, 41.0f};
    v.ai_module = {0, 0, &vurk[0], AS_EVADE, 0.0f};
    v.find_movement_vector = nullptr;
    v.control = nullptr;
  }
}

}  // namespace

int initialize() {
  next_bullet = next_bullethole = next_explosion = next_particle = 0;
  bullet_models = weapon_models = sounds = 0;
  if (!allocate_pools()) return 0;
  if (!allocate_snapshots()) return 0;
  if (!platform::sound_open(44100, 32, no_sound != 0)) {
    report_error("Can't initalize sound card.");
    return 0;
  }
  if (!load_game_content()) return 0;
  bind_world();
  if (point_vertex_arrays) point_vertex_arrays();
  set_vurk_defaults();
  vurk_to_render_1 = &vurk[0];
  vurk_to_render_2 = &vurk[1];
  jetpack_spray = {0.0f, -0.01f, 0.0f};
  return 1;
}

// Textures go while the GL context is still current; the samples just before the sound
// library closes.
void clean_up() {
  free_pools();
  free_snapshots();
  free_game_content();
  platform::sound_close();
}

int run_headless(const OPTIONS* options, unsigned seed) {
  platform::set_dialogs_enabled(false);
  no_sound = 1;
  if (!initialize()) {
    clean_up();
    return 1;
  }
  if (options->replay) {
    const int status = replay_headless(options->replay, options->hash_every);
    clean_up();
    return status;
  }
  begin_settings(options);
  apply_match_options(options);
  start_recording(options->frame_ms ? options->frame_ms : HEADLESS_FRAME_MS, 1);
  const int status = play_headless(options->frames, options->frame_ms, options->hash_every, seed);
  end_recording(status != 1);
  clean_up();
  return status;
}

}  // namespace vurkhold
