// snapshots: worlds of every kind of moment saved, played on and carved, then put back with
// the same hash, surface and statistics, and played on again the same; frames the ring no
// longer holds or never did; and a world of another level.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "control/control.h"
#include "match/match.h"
#include "support/test_support.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

uint32_t bits(float f) {
  uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

// Every cell's triangles (corners, texture coordinates, normal) and every node's empty
// flag, each word with the cell or node it belongs to.
struct SURFACE {
  std::vector<uint32_t> word;
  std::vector<int> owner;  // a cell, or GRIDCELLS + a node
  void put(int at, uint32_t w) {
    word.push_back(w);
    owner.push_back(at);
  }
};

SURFACE take_surface() {
  SURFACE s;
  for (int c = 0; c < GRIDCELLS; c++) {
    const GRIDCELL& gc = gridcell[c];
    s.put(c, gc.triangles);
    for (int t = 0; t < gc.triangles; t++) {
      const POLYGON& p = gc.triangle[t];
      for (const VERTEX* v : p.vertex)
        for (float f : {v->p.x, v->p.y, v->p.z, v->u, v->w}) s.put(c, bits(f));
      for (float f : {p.normal.i, p.normal.j, p.normal.k}) s.put(c, bits(f));
    }
  }
  for (int n = 0; n < OCTREE_NODES; n++) s.put(GRIDCELLS + n, static_cast<uint32_t>(octtree[n].empty));
  return s;
}

// "" when the two are the same, else where they first part.
std::string difference(const SURFACE& a, const SURFACE& b) {
  for (size_t i = 0; i < a.word.size() && i < b.word.size(); i++) {
    if (a.word[i] == b.word[i]) continue;
    char text[64];
    if (a.owner[i] < GRIDCELLS)
      std::snprintf(text, sizeof text, "cell %d differs", a.owner[i]);
    else
      std::snprintf(text, sizeof text, "octree node %d differs", a.owner[i] - GRIDCELLS);
    return text;
  }
  return a.word.size() == b.word.size() ? "" : "the surfaces differ in length";
}

// The kill statistics field by field (the record has padding).
std::vector<int64_t> stats() {
  const MATCH_STATS& s = match_stats;
  std::vector<int64_t> v = {s.clock};
  for (int w = 0; w < MAX_WEAPON_TYPES; w++) v.insert(v.end(), {s.shots[w], s.kills[w], s.self_kills[w], s.kill_ms[w]});
  for (int b = 0; b < MAX_BULLETS; b++) v.push_back(s.bullet_weapon[b]);
  for (int i = 0; i < MAX_VURKS; i++) v.insert(v.end(), {s.hit_weapon[i], s.hit_tag[i], s.first_hit[i]});
  return v;
}

void play(int steps) {
  for (int i = 0; i < steps; i++) game_logic(16);
}

void carve() {
  make_hole(vurk[0].p, 5.0f);
  make_hole({16.0f, 16.0f, 16.0f}, 5.0f);
  make_hole({6.0f, 24.0f, 10.0f}, 5.0f);
}

class Snapshot : public test::GameFolderSuite {
 protected:
  void SetUp() override {
    std::snprintf(level_to_use, sizeof level_to_use, "levels/test1.vhl");
    for (VURK_& v : vurk) v.type = MLT_COMPUTER;
  }
  static void start(unsigned seed) {
    game_srand(seed);
    ASSERT_EQ(game_init(), 1);
  }
  test::KeepGlobals keep_{MAX_LIVES, FRAG_LIMIT, level_to_use, vurk};
  test::MessageCapture messages_;
};

// A vurk killed by vurk `by`, its frag counted in the next step.
void kill_vurk(int victim, int by) {
  vurk[victim].tag = static_cast<uint8_t>(by);
  vurk[victim].life = 0.0f;
}

void fresh() {}
void mid_fight() { play(400); }
void big_holes() {
  play(50);
  make_hole({8.0f, 8.0f, 8.0f}, 5.0f);
  make_hole({24.0f, 20.0f, 12.0f}, 5.0f);
  make_hole({14.0f, 26.0f, 26.0f}, 5.0f);
}
void respawned() {
  play(100);
  kill_vurk(2, 3);
  play(1);
  ASSERT_FALSE(vurk[2].alive);
  for (int i = 0; i < 2000 && !vurk[2].alive; i++) play(1);
  ASSERT_TRUE(vurk[2].alive);
  ASSERT_EQ(vurk[2].lives, MAX_LIVES - 1);
  play(5);
}
void won() {
  FRAG_LIMIT = 1;
  play(100);
  if (winner < 0) kill_vurk(1, 0);
  play(3);
  ASSERT_GE(winner, 0);
}

// Saved, played on (the first time) and carved; put back, it is the world saved, and played
// on again it comes out as the first time did.
TEST_F(Snapshot, EveryKindOfWorldComesBackAndPlaysOnTheSame) {
  const struct {
    const char* what;
    void (*set_up)();
  } worlds[] = {
      {"fresh after set-up", fresh},  {"mid-fight", mid_fight}, {"after big holes", big_holes},
      {"after a respawn", respawned}, {"after a win", won},
  };
  constexpr long FRAME = 1000;
  constexpr int ON = 90;
  for (const auto& w : worlds) {
    SCOPED_TRACE(w.what);
    FRAG_LIMIT = 50;
    MAX_LIVES = 100;
    start(7);
    w.set_up();
    if (HasFatalFailure()) return;
    save_world(FRAME);
    const uint64_t saved = give_world_hash();
    const SURFACE surface = take_surface();
    const std::vector<int64_t> saved_stats = stats();

    play(ON);
    const uint64_t first_time = give_world_hash();
    const std::vector<int64_t> first_stats = stats();
    carve();
    // The pads' buttons held belong to this computer's input, not to the world: going back
    // must not make a held bumper count as pressed again.
    set_held_pad_buttons(0, 1u << platform::PAD_RIGHT_SHOULDER);
    ASSERT_NE(give_world_hash(), saved);
    ASSERT_NE(difference(take_surface(), surface), "");

    ASSERT_EQ(load_world(FRAME), 1);
    EXPECT_EQ(give_world_hash(), saved);
    EXPECT_EQ(difference(take_surface(), surface), "");
    EXPECT_EQ(stats(), saved_stats);
    EXPECT_EQ(give_held_pad_buttons(0), 1u << platform::PAD_RIGHT_SHOULDER);
    set_held_pad_buttons(0, 0);
    char problem[128];
    EXPECT_EQ(check_world(problem, sizeof problem), 1) << problem;

    play(ON);
    EXPECT_EQ(give_world_hash(), first_time);
    EXPECT_EQ(stats(), first_stats);
  }
}

// Frame f goes into slot f % SNAPSHOT_RING, so the ring holds the last SNAPSHOT_RING frames
// saved. A frame it does not hold leaves the world, played on and carved since, as it was.
TEST_F(Snapshot, OnlyTheFramesTheRingHoldsComeBack) {
  start(11);
  std::vector<uint64_t> hash;
  for (long f = 0; f <= SNAPSHOT_RING; f++) {
    play(1);
    save_world(f);
    hash.push_back(give_world_hash());
  }
  const struct {
    long frame;
    bool held;
  } frames[] = {{0, false}, {1, true}, {SNAPSHOT_RING, true}, {SNAPSHOT_RING + 1, false},
                {SNAPSHOT_RING + 2, false}, {2 * SNAPSHOT_RING, false}, {-1, false}, {7, true}};
  for (const auto& c : frames) {
    SCOPED_TRACE(c.frame);
    play(10);
    carve();
    const uint64_t before = give_world_hash();
    const SURFACE surface = take_surface();
    const std::vector<int64_t> before_stats = stats();
    if (c.held) {
      ASSERT_EQ(load_world(c.frame), 1);
      EXPECT_EQ(give_world_hash(), hash[c.frame]);
    } else {
      EXPECT_EQ(load_world(c.frame), 0);
      EXPECT_EQ(give_world_hash(), before);
      EXPECT_EQ(difference(take_surface(), surface), "");
      EXPECT_EQ(stats(), before_stats);
    }
  }
}

// The level's materials are kept with the world: put back after another level was read, it
// has its own texture quarters and surface again.
TEST_F(Snapshot, AWorldOfAnotherLevelComesBackWithItsMaterials) {
  start(3);
  play(60);
  save_world(5);
  const uint64_t saved = give_world_hash();
  const SURFACE surface = take_surface();
  std::vector<uint8_t> material(GRIDCELLS);
  for (int c = 0; c < GRIDCELLS; c++) material[c] = gridcell[c].material;

  std::snprintf(level_to_use, sizeof level_to_use, "levels/caverns.vhl");
  start(3);
  play(30);
  int differ = 0;
  for (int c = 0; c < GRIDCELLS; c++) differ += gridcell[c].material != material[c];
  ASSERT_GT(differ, 1000);

  ASSERT_EQ(load_world(5), 1);
  EXPECT_EQ(give_world_hash(), saved);
  EXPECT_EQ(difference(take_surface(), surface), "");
  for (int c = 0; c < GRIDCELLS; c++) ASSERT_EQ(gridcell[c].material, material[c]) << "cell " << c;

  // Saved again into the same slot, read over by the other level and put back once more.
  save_world(5 + SNAPSHOT_RING);
  start(3);
  ASSERT_EQ(load_world(5 + SNAPSHOT_RING), 1);
  EXPECT_EQ(give_world_hash(), saved);
  EXPECT_EQ(difference(take_surface(), surface), "");
}

}  // namespace
}  // namespace vurkhold
