// replay viewer: a replay played in the window with the match's own views, paused or at
// a quarter to eight times its speed, from kill to kill, following any vurk or from a
// free camera that flies through rock.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "geometry/geometry.h"
#include "match/match.h"
#include "render/render.h"
#include "shell/shell.h"

namespace vurkhold {

// ---- the viewer ----

namespace {

constexpr float SPEEDS[] = {0.25f, 0.5f, 1.0f, 2.0f, 4.0f, 8.0f};
constexpr int NORMAL_SPEED = 2;
constexpr int SPEED_COUNT = static_cast<int>(sizeof SPEEDS / sizeof SPEEDS[0]);
// A jump to a kill lands this many frames before it, so the fight leading to it shows.
constexpr long KILL_LEAD = 120;
// Frames played for one frame shown, at most, so a slow machine never falls ever further behind.
constexpr int MAX_CATCH_UP = 64;
constexpr float FLY_SPEED = 0.008f;  // units per ms
constexpr float LOOK_DEGREES = 0.1f;  // per pixel of mouse motion
constexpr float FREE_START_BACK = 1.5f, FREE_START_UP = 0.5f;
constexpr float LEVEL_SIZE = static_cast<float>(GRID_SIZE);
constexpr float BOX_MARGIN = 0.3f;

struct VIEWER {
  REPLAY_HEADER header;
  REPLAY_INDEX index;
  int speed = NORMAL_SPEED;
  bool paused = false;
  bool free_camera = false;
  bool ended = false;
  CAMERA camera;
  float owed = 0.0f;  // ms of play due
  int was_down[VK_COUNT];
  int live_keys[VK_COUNT];
  char message[REPLAY_MESSAGE_SIZE];
  bool from_menu = false;
};
VIEWER viewer;

void replay_logic(unsigned ms);
void replay_render();
const MODE_PAIR replay_pair = {replay_logic, replay_render};

bool pressed(int key) { return keys[key] && !viewer.was_down[key]; }

void stop_with(REPLAY_STEP step) {
  viewer.ended = true;
  give_replay_message(step, viewer.message, sizeof viewer.message);
  if (step == RS_END) std::snprintf(viewer.message, sizeof viewer.message, "END OF THE REPLAY");
  else std::fprintf(stderr, "vurkhold: %s\n", viewer.message);
}

// Plays recorded frames with the journal's keys in keys[], and the player's own back
// afterwards, so the viewer's keys never reach the match.
void play_frames(long count, bool heard) {
  std::memcpy(viewer.live_keys, keys, sizeof keys);
  platform::set_sound_muted(!heard);
  for (long n = 0; n < count && !viewer.ended; n++) {
    const REPLAY_STEP step = play_replay_frame();
    if (step != RS_FRAME) stop_with(step);
  }
  platform::set_sound_muted(false);
  std::memcpy(keys, viewer.live_keys, sizeof keys);
}

// To a frame ahead by playing on, or behind by playing again from the start.
void seek(long frame) {
  if (frame < replay_frames_played()) {
    char message[REPLAY_MESSAGE_SIZE];
    if (!start_replay(message, sizeof message)) {
      viewer.ended = true;
      std::snprintf(viewer.message, sizeof viewer.message, "%s", message);
      return;
    }
    viewer.ended = false;
  }
  play_frames(frame - replay_frames_played(), false);
  viewer.owed = 0.0f;
}

void jump_to_kill(int direction) {
  const long now = replay_frames_played();
  const REPLAY_INDEX& x = viewer.index;
  if (direction > 0) {
    for (int k = 0; k < x.kills; k++)
      if (x.kill[k].frame - KILL_LEAD > now) return seek(x.kill[k].frame - KILL_LEAD);
  } else {
    // Pressed again soon after a jump, it goes on to the kill before.
    for (int k = x.kills - 1; k >= 0; k--)
      if (x.kill[k].frame - KILL_LEAD < now - KILL_LEAD / 2) return seek(std::max(x.kill[k].frame - KILL_LEAD, 0L));
  }
}

void fly(unsigned ms, int dx, int dy) {
  CAMERA& c = viewer.camera;
  c.heading -= static_cast<float>(dx) * LOOK_DEGREES;
  c.pitch = std::clamp(c.pitch - static_cast<float>(dy) * LOOK_DEGREES, -89.0f, 89.0f);
  const float s = FLY_SPEED * static_cast<float>(ms);
  const float h = rad(c.heading), p = rad(c.pitch);
  const float ahead[3] = {-std::cos(p) * std::sin(h), std::sin(p), -std::cos(p) * std::cos(h)};
  const float right[3] = {std::cos(h), 0.0f, -std::sin(h)};
  const float forward = static_cast<float>((keys[int{'W'}] || keys[VK_UP]) - (keys[int{'S'}] || keys[VK_DOWN]));
  const float side = static_cast<float>((keys[int{'D'}] || keys[VK_RIGHT]) - (keys[int{'A'}] || keys[VK_LEFT]));
  const float up = static_cast<float>(keys[int{'R'}] - keys[int{'F'}]);
  c.p.x += s * (forward * ahead[0] + side * right[0]);
  c.p.y += s * (forward * ahead[1] + up);
  c.p.z += s * (forward * ahead[2] + side * right[2]);
  // Through rock, but never out of the level's box.
  c.p.x = std::clamp(c.p.x, BOX_MARGIN, LEVEL_SIZE - BOX_MARGIN);
  c.p.y = std::clamp(c.p.y, BOX_MARGIN, LEVEL_SIZE - BOX_MARGIN);
  c.p.z = std::clamp(c.p.z, BOX_MARGIN, LEVEL_SIZE - BOX_MARGIN);
}

void leave() {
  close_replay();
  if (viewer.from_menu) {
    install_mode(&menu_pair);
  } else {
    done = 1;
  }
}

void replay_logic(unsigned ms) {
  if (pressed(VK_ESCAPE)) return leave();
  if (pressed(int{'P'})) viewer.paused = !viewer.paused;
  if (pressed(VK_ADD) || pressed(VK_PRIOR)) viewer.speed = std::min(viewer.speed + 1, SPEED_COUNT - 1);
  if (pressed(VK_SUBTRACT) || pressed(VK_NEXT)) viewer.speed = std::max(viewer.speed - 1, 0);
  if (pressed(int{'N'})) jump_to_kill(1);
  if (pressed(int{'B'})) jump_to_kill(-1);
  for (int i = 0; i < MAX_VURKS; i++)
    if (pressed(VK_F1 + i) && vurk[i].type != MLT_OFF) {
      vurk_to_render_1 = &vurk[i];
      viewer.free_camera = false;
    }
  if (pressed(int{'C'})) {
    viewer.free_camera = !viewer.free_camera;
    if (viewer.free_camera) {
      // It starts a little behind the vurk followed, looking where it looks.
      const VURK_* v = vurk_to_render_1;
      const float h = rad(v->angle), p = rad(v->angle2);
      viewer.camera = {{v->p.x + FREE_START_BACK * std::cos(p) * std::sin(h), v->p.y + FREE_START_UP,
                        v->p.z + FREE_START_BACK * std::cos(p) * std::cos(h)},
                       v->angle,
                       v->angle2};
    }
  }
  // The mouse's motion is taken every frame, so none piles up for the free camera.
  int dx = 0, dy = 0;
  platform::mouse_offset(&dx, &dy);
  if (viewer.free_camera) fly(ms, dx, dy);
  std::memcpy(viewer.was_down, keys, sizeof keys);
  if (viewer.paused || viewer.ended) return;

  // A frame is due once the time owed covers it, taken as long as the frame before (the
  // clock's frames vary); at most MAX_CATCH_UP a pass, the rest of the debt forgiven.
  viewer.owed += static_cast<float>(ms) * SPEEDS[viewer.speed];
  for (int n = 0; n < MAX_CATCH_UP && !viewer.ended; n++) {
    const unsigned last = replay_frame_ms();
    const float next = static_cast<float>(last ? last : viewer.header.frame_ms ? viewer.header.frame_ms : 16);
    if (viewer.owed < next) return;
    play_frames(1, viewer.speed <= NORMAL_SPEED);
    viewer.owed -= static_cast<float>(replay_frame_ms());
  }
  viewer.owed = 0.0f;
}

void replay_render() {
  if (viewer.free_camera)
    free_camera_view(&viewer.camera);
  else if (viewer.header.views == 2)
    two_player_view();
  else
    one_player_view();
  char status[160];
  const long total = viewer.index.frames;
  const float speed = SPEEDS[viewer.speed];
  std::snprintf(status, sizeof status, "REPLAY%s X%g  FRAME %ld/%ld  KILLS %d  %s", viewer.paused ? " PAUSED" : "",
                static_cast<double>(speed), replay_frames_played(), total, viewer.index.kills,
                viewer.free_camera ? "FREE CAMERA" : "");
  render_replay_caption(status, "P PAUSE  +/- SPEED  N/B NEXT/LAST KILL  F1-F4 FOLLOW  C CAMERA  ESC BACK",
                        viewer.ended ? viewer.message : nullptr);
}

}  // namespace

int start_replay_view(const char* path, bool from_menu, char* message, int size) {
  viewer = VIEWER{};
  viewer.from_menu = from_menu;
  if (!scan_replay(path, &viewer.index, message, size)) return 0;
  if (!open_replay(path, &viewer.header, message, size) || !start_replay(message, size)) {
    close_replay();
    return 0;
  }
  std::memcpy(viewer.was_down, keys, sizeof keys);
  install_mode(&replay_pair);
  return 1;
}

int menu_replay_init(const char* path, char* message, int message_size) {
  return start_replay_view(path, true, message, message_size);
}

}  // namespace vurkhold
