// kill-cam: on the known stage, whose eyes and which moment a dead player's view replays, when
// the replay ends, and that drawing it leaves the world as it was.
#include <gtest/gtest.h>

#include "match/match.h"
#include "render/render.h"
#include "support/arena.h"
#include "support/match_view.h"

namespace vurkhold {
namespace {

// Vurk i looks at a particle of its own that shows i and the frame n in its colour.
uint32_t marker(int i, int n) { return (0x40u * (i + 1)) << 16 | (n & 0xFF) << 8 | n >> 8; }

using KillCam = test::GameFolder;

// Vurk 0 (player 1, alone) or 1 (player 2, the left half) dies at frame 160 of 20 ms, killed by
// `tag`; `shown` frames on, its view shows frame `frame` through vurk `eyes`. `at`, before the
// frame shown: 1 the player's skip key, 2 a respawn, 3 the option off.
TEST_F(KillCam, ReplaysTheKillersEyesFromThreeSecondsBeforeTheDeath) {
  const struct { int victim, tag, at, shown, eyes, frame; } rows[] = {
      {0, 2, 0, 0, 2, 10},  {0, 2, 0, 149, 2, 159}, {0, 0, 0, 0, 0, 10},  // a self-kill: its own eyes
      {0, 2, 0, 150, 0, 310}, {0, 2, 1, 6, 0, 166}, {0, 2, 2, 6, 0, 166}, {0, 2, 3, 0, 0, 160},
      {1, 2, 0, 40, 2, 50},   {1, 2, 1, 6, 1, 166}};
  test::Stage stage;
  test::KeepGlobals keep{match_stats, KILL_CAM, keys};
  particle_texture = stage.flat(0xFFFFFFFF);
  for (const auto& r : rows) {
    SCOPED_TRACE(&r - rows);
    for (int i : {0, 1, 2}) {
      const XYZ p = {8.0f * (i + 1), 12, i == 1 ? 28.0f : 16.0f};
      test::place_vurk(i, p)->type = i < 2 ? MLT_HUMAN : MLT_INACTIVE;
      particle[i] = {{p.x, p.y + 0.25f, p.z - 3}, {}, 0, 0.5f, 1, {0, 0, 0, 1}, 100, 100, 0, 0};
    }
    KILL_CAM = r.at != 3;
    const int last = 160 + r.shown;
    for (int n = 0; n <= last; n++) {
      match_stats.clock = 20 * n;
      for (int i = 0; i < 9; i++) particle[i / 3].color[i % 3] = (marker(i / 3, n) >> (16 - i % 3 * 8) & 255) / 255.0f;
      if (n == 160) vurk[r.victim].alive = 0, vurk[r.victim].tag = static_cast<uint8_t>(r.tag);
      if (n == last - 1 && r.at == 1) keys[r.victim ? 'Q' : VK_RETURN] = 1;
      if (n == last - 1 && r.at == 2) vurk[r.victim].alive = 1;
      if (n < last) update_kill_cam();
    }
    const uint64_t hash = give_world_hash();
    test::clear_screen();
    r.victim ? two_player_view() : one_player_view();
    const test::Screen s = test::read_screen();
    EXPECT_EQ(give_world_hash(), hash);
    EXPECT_GT(s.pixels(0, r.victim ? 200 : 0, r.victim ? 319 : 640, 480, marker(r.eyes, r.frame)), 500);
    EXPECT_TRUE(!r.victim || s.pixels(321, 200, 640, 480, marker(0, last)) > 500);  // player 1 lives on
    keys[VK_RETURN] = keys['Q'] = 0;
    match_stats.clock = 0;  // a new match for the next row
  }
}

}  // namespace
}  // namespace vurkhold
