// kill-cam: on the known stage, which vurk's eyes and which moment of the last three seconds a
// dead player's view replays, when the replay ends, and that drawing it leaves the world as
// it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "match/match.h"
#include "render/render.h"
#include "support/arena.h"
#include "support/match_view.h"

namespace vurkhold {
namespace {

constexpr int FRAME_MS = 20, DEATH_FRAME = 160;

// Each vurk looks at a particle of its own, which at frame n shows n in its colour.
uint32_t marker(int vurk_number, int n) { return (0x40u * (vurk_number + 1)) << 16 | (n & 0xFF) << 8 | n >> 8; }

void play_frame(int n) {
  match_stats.clock = FRAME_MS * n;
  for (int i : {0, 1, 2})
    for (int c = 0; c < 3; c++) particle[i].color[c] = static_cast<float>(marker(i, n) >> (16 - 8 * c) & 0xFF) / 255.0f;
}

class KillCam : public test::GameFolder {};

// Player 1's vurk 0 or player 2's vurk 1 dies at frame 160, killed by vurk 2 (or by itself),
// and watches from the frame 150 before it on; `at` is what happens before the frame shown.
TEST_F(KillCam, ReplaysTheKillersEyesFromThreeSecondsBeforeTheDeath) {
  enum { NOTHING, SKIP, RESPAWN, OFF };
  const struct { const char* what; int victim, tag, at, shown, eyes, frame; bool two; } rows[] = {
      {"first frame dead", 0, 2, NOTHING, 0, 2, 10, false},
      {"at the ring's pace", 0, 2, NOTHING, 100, 2, 110, false},
      {"the frame before the death", 0, 2, NOTHING, 149, 2, 159, false},
      {"self-kill: its own eyes", 0, 0, NOTHING, 0, 0, 10, false},
      {"over at the death frame", 0, 2, NOTHING, 150, 0, 310, false},
      {"skipped", 0, 2, SKIP, 6, 0, 166, false},
      {"respawned", 0, 2, RESPAWN, 6, 0, 166, false},
      {"turned off", 0, 2, OFF, 0, 0, 160, false},
      {"two players: player 1's half live", 1, 2, NOTHING, 40, 2, 50, true},
      {"two players: player 2 skips", 1, 2, SKIP, 6, 1, 166, true},
  };
  test::Stage stage;
  test::KeepGlobals keep{match_stats, KILL_CAM, keys};
  particle_texture = stage.flat(0xFFFFFFFF);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    const XYZ at[3] = {{8, 12, 16}, {16, 12, 28}, {24, 12, 16}};
    for (int i : {0, 1, 2}) {
      test::place_vurk(i, at[i]);
      particle[i] = {{at[i].x, at[i].y + 0.25f, at[i].z - 3}, {}, 0, 0.5f, 1, {0, 0, 0, 1}, 100, 100, 0, 0};
    }
    vurk[0].type = vurk[1].type = MLT_HUMAN;
    KILL_CAM = r.at != OFF;
    for (int n = 0; n <= DEATH_FRAME + r.shown; n++) {
      play_frame(n);
      VURK_& dead = vurk[r.victim];
      if (n == DEATH_FRAME) dead.alive = 0, dead.tag = static_cast<uint8_t>(r.tag);
      if (n == DEATH_FRAME + r.shown - 1 && r.at == SKIP) keys[r.victim ? 'Q' : VK_RETURN] = 1;
      if (n == DEATH_FRAME + r.shown - 1 && r.at == RESPAWN) dead.alive = 1;
      if (n < DEATH_FRAME + r.shown) update_kill_cam();
    }
    const uint64_t hash = give_world_hash();
    test::clear_screen();
    r.two ? two_player_view() : one_player_view();
    const test::Screen s = test::read_screen();
    EXPECT_EQ(give_world_hash(), hash);
    if (r.two) {
      const int victim_x = r.victim == 0 ? 321 : 0, other_x = 321 - victim_x;  // player 1's half is on the right
      EXPECT_GT(s.pixels(victim_x, 200, victim_x + 319, 480, marker(r.eyes, r.frame)), 500);
      EXPECT_GT(s.pixels(other_x, 200, other_x + 319, 480, marker(1 - r.victim, DEATH_FRAME + r.shown)), 500);
    } else {
      EXPECT_GT(s.pixels(0, 0, 640, 480, marker(r.eyes, r.frame)), 500);
    }
    const bool running = r.frame < DEATH_FRAME;
    const std::vector<test::Line> lines = test::printed(r.two ? two_player_view : one_player_view);
    EXPECT_EQ(std::any_of(lines.begin(), lines.end(), [](const test::Line& l) { return l.text == "KILL-CAM"; }),
              running);
    keys[VK_RETURN] = keys['Q'] = 0;
    match_stats.clock = 0;  // a new match for the next row
  }
}

}  // namespace
}  // namespace vurkhold
