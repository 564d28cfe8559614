// drawing benchmarks: the one- and two-player views of a four-bot match on the shipped game
// folder, a single scene, the terrain pass alone and the busiest fight, each frame finished
// with glFinish so a software renderer's work is counted. Needs a display (run under
// xvfb-run).
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <vector>

#include "allocations.h"
#include "geometry/geometry.h"
#include "render/render.h"
#include "match/match.h"
#include "shell/shell.h"
#include "world/world.h"

namespace vurkhold {
namespace {

const char* const LEVELS[] = {"levels/test1.vhl", "levels/caverns.vhl"};

// A window with its GL context, then the game folder loaded afresh, so its textures are
// real texture objects.
bool game_loaded() {
  static const bool ok = [] {
    if (platform::open_window("Vurkhold benchmark", platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT, false, false) !=
        platform::WindowResult::ok)
      return false;
    initGL();
    ReSizeGLScene(platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT);
    std::atexit([] { platform::close_window(); });
    if (chdir(VURK_GAME_DIR) != 0) return false;
    clean_up();
    no_sound = 1;
    return initialize() == 1;
  }();
  return ok;
}

// A four-bot match on the benchmark's level (its argument), 500 frames into the fight, the
// same for every benchmark.
bool start_match(benchmark::State& state) {
  if (!game_loaded()) {
    state.SkipWithError("no GL context or the game folder did not load");
    return false;
  }
  std::snprintf(level_to_use, sizeof level_to_use, "%s", LEVELS[state.range(0)]);
  state.SetLabel(level_to_use);
  game_srand(1);
  for (VURK_& v : vurk) v.type = MLT_COMPUTER;
  if (!game_init()) {
    state.SkipWithError("the level did not load");
    return false;
  }
  for (int i = 0; i < 500; i++) game_logic(16);
  return true;
}

// Each timed frame draws after one untimed frame of play; the counters give the median and
// the worst frame, and the allocations made while drawing (the GL driver's threads included).
template <typename Draw>
void frames(benchmark::State& state, Draw draw) {
  if (!start_match(state)) return;
  bench::time_frames(
      state,
      [] {
        game_logic(16);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
      },
      [draw] {
        draw();
        glFinish();
      });
}

void set_scene_view(int x, int y, int w, int h, float aspect) {
  set_perspective(static_cast<float>(FOV), aspect);
  screen_viewport(x, y, w, h);
}

// The terrain as the scene draws it for vurk m, from its first-person eye.
void terrain_pass(const VURK_* m) {
  const float a = rad(m->angle), b = rad(m->angle2);
  CAMERA cam = {{m->p.x + 0.25f * std::sin(a) * std::sin(b), m->p.y + 0.25f * std::cos(b),
                 m->p.z + 0.25f * std::cos(a) * std::sin(b)},
                m->angle,
                m->angle2};
  set_camera(&cam);
  extract_frustum();
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glBindTexture(GL_TEXTURE_2D, dirt_texture);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  render_octtree(&octtree[0]);
}

void BM_OnePlayerView(benchmark::State& state) { frames(state, one_player_view); }
void BM_TwoPlayerView(benchmark::State& state) { frames(state, two_player_view); }

// One scene of the two-player view (player 1's half), and the same at full screen.
void BM_GameRenderHalf(benchmark::State& state) {
  frames(state, [] {
    set_scene_view(321, 200, 319, 280, 1.14f);
    game_render(vurk_to_render_1);
  });
}
void BM_GameRenderFull(benchmark::State& state) {
  frames(state, [] {
    set_scene_view(0, 0, 640, 480, 1.3333f);
    game_render(vurk_to_render_1);
  });
}

// The terrain's share: only its pass, for the same two viewports.
void BM_TerrainPassHalf(benchmark::State& state) {
  frames(state, [] {
    set_scene_view(321, 200, 319, 280, 1.14f);
    terrain_pass(vurk_to_render_1);
  });
}
void BM_TerrainPassFull(benchmark::State& state) {
  frames(state, [] {
    set_scene_view(0, 0, 640, 480, 1.3333f);
    terrain_pass(vurk_to_render_1);
  });
}

// The busiest fight the pools allow, seen by both players: all 40 explosions, from a
// plasma bolt's to a cluster bomb's, at every stage of their flash and smoke, and all 150
// particles, blood flying and smoke hanging, from half a unit to five before the eyes of
// a living vurk that both views follow, so every sprite is close up in each. The match
// stands still at its 500th frame; the sprites are placed afresh before every frame.
void fill_the_view(const VURK_* m) {
  const float sizes[] = {1.0f, 1.2f, 1.5f, 1.8f, 2.0f, 2.5f, 5.0f};
  const float smoke[3] = {0.6f, 0.6f, 0.6f};
  const IJK ahead = give_vurk_weapon_direction(m, 1.0f);
  const XYZ eye = {m->p.x, m->p.y + 0.25f, m->p.z};
  auto before_eye = [&](int k, int of, float near, float far) {
    const float d = near + (far - near) * static_cast<float>(k) / static_cast<float>(of);
    const float side = 0.15f * d * static_cast<float>(k % 5 - 2), up = 0.1f * d * static_cast<float>(k % 3 - 1);
    return XYZ{eye.x + d * ahead.i + side * ahead.k, eye.y + d * ahead.j + up, eye.z + d * ahead.k - side * ahead.i};
  };
  for (int k = 0; k < MAX_EXPLOSIONS; k++) {
    add_explosion(before_eye(k, MAX_EXPLOSIONS, 1.0f, 5.0f), sizes[k % 7]);
    EXPLOSION& e = explosion[(next_explosion + MAX_EXPLOSIONS - 1) % MAX_EXPLOSIONS];
    e.frame = k % 16;
    e.time = static_cast<float>(e.frame) / 16.0f;
  }
  for (int k = 0; k < MAX_PARTICLES; k++) {
    const XYZ p = before_eye(k, MAX_PARTICLES, 0.5f, 5.0f);
    const IJK spray = {0.001f, 0.002f, -0.001f};
    if (k % 2)
      add_particle(&p, &spray, red, 5000);
    else
      add_particle(&p, nullptr, smoke, 700);
  }
}

void BM_BusiestFight(benchmark::State& state) {
  if (!start_match(state)) return;
  for (VURK_& v : vurk)
    if (v.alive) {
      vurk_to_render_1 = vurk_to_render_2 = &v;
      break;
    }
  if (!vurk_to_render_1->alive) {
    state.SkipWithError("no vurk alive to watch the fight");
    return;
  }
  bench::time_frames(
      state,
      [] {
        fill_the_view(vurk_to_render_1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
      },
      [] {
        two_player_view();
        glFinish();
      });
}

// Argument: 0 the default level, 1 the largest cave.
BENCHMARK(BM_OnePlayerView)->Arg(0)->Arg(1)->Iterations(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoPlayerView)->Arg(0)->Arg(1)->Iterations(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GameRenderHalf)->Arg(0)->Arg(1)->Iterations(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GameRenderFull)->Arg(0)->Arg(1)->Iterations(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TerrainPassHalf)->Arg(0)->Arg(1)->Iterations(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TerrainPassFull)->Arg(0)->Arg(1)->Iterations(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusiestFight)->Arg(0)->Arg(1)->Iterations(300)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vurkhold
