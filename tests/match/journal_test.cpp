// replay journal: a match of two humans on keys, mouse and pad played back frame for frame
// with the settings put back after; a replay cut after any whole frame; the world changed
// under a replay; each kind of file that can't be played with its message; the replays
// folder kept under its limit.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "control/control.h"
#include "match/match.h"
#include "shell/shell.h"
#include "support/run_game.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

constexpr long FRAMES = 620;  // past one state hash

class Journal : public test::GameFolderSuite {
 protected:
  ~Journal() override {
    end_recording(false);
    close_replay();
    for (int32_t pad : plugged_) platform::detach_virtual_pad(pad);
    pump();
    test::release_keys();
  }
  static void pump() {
    platform::Event e;
    while (platform::poll_event(&e)) handle_key_event(e), handle_pad_event(e);
  }

  // Both players human, the other two computer players, on the default level: player 1 on
  // keys and mouse, player 2 on keys and a pad, their input changing every few frames.
  // Returns the world's hash after each frame and the file's size after each frame.
  void record(const std::string& path, std::vector<uint64_t>* hashes, std::vector<uintmax_t>* sizes,
              unsigned frame_ms = 16) {
    for (int i = 0; i < MAX_VURKS; i++) vurk[i].type = i < 2 ? MLT_HUMAN : MLT_COMPUTER;
    MAX_LIVES = 7;
    std::snprintf(level_to_use, sizeof level_to_use, "levels/test1.vhl");
    plugged_.push_back(platform::attach_virtual_pad());
    plugged_.push_back(platform::attach_virtual_pad());
    pump();
    game_srand(5);
    char message[REPLAY_MESSAGE_SIZE];
    ASSERT_EQ(begin_recording(path.c_str(), 5, 16, 2, message, sizeof message), 1) << message;
    ASSERT_EQ(game_init(), 1);
    for (long f = 1; f <= FRAMES; f++) {
      test::hold_key(VK_UP, f % 90 < 50);
      test::hold_key(VK_LBUTTON, f % 70 < 6);
      test::hold_key('D', f % 50 > 30);
      test::hold_key(VK_SPACE, f % 110 < 4);
      if (f % 13 == 0) platform::push_mouse_motion_event(static_cast<int>(f % 7) - 3, static_cast<int>(f % 5) - 2);
      platform::set_virtual_pad_axis(player_pad[1], platform::PAD_RIGHT_X, static_cast<float>(f % 40) / 40.0f - 0.5f);
      platform::set_virtual_pad_button(player_pad[1], platform::PAD_X, f % 60 < 3);
      pump();
      game_logic(frame_ms);
      hashes->push_back(give_world_hash());
      sizes->push_back(std::filesystem::file_size(path));
    }
    end_recording(true);
    test::release_keys();
  }

  test::KeepGlobals keep_{MAX_LIVES, level_to_use, vurk, player_pad, logic_func, render_func};
  // Where the first step's length lies in a replay's inflated stream: after the header and
  // the level file's bytes, behind the step's tag.
  static size_t first_step_ms() {
    return 467 + std::filesystem::file_size(std::string(VURK_GAME_DIR) + "/levels/test1.vhl") + 1;
  }
  std::vector<int32_t> plugged_;
  test::TempDir dir_;
};

// Replayed, every frame comes out as recorded and the replay ends at its end mark; the
// settings the replay set are the player's own again once it closes.
TEST_F(Journal, TwoPlayersOnKeysMouseAndPadPlayBackFrameForFrame) {
  const std::string path = dir_.file("match.vhr");
  std::vector<uint64_t> hashes;
  std::vector<uintmax_t> sizes;
  record(path, &hashes, &sizes);
  MAX_LIVES = 3;
  char message[REPLAY_MESSAGE_SIZE];
  REPLAY_HEADER header;
  ASSERT_EQ(open_replay(path.c_str(), &header, message, sizeof message), 1) << message;
  ASSERT_EQ(start_replay(message, sizeof message), 1) << message;
  EXPECT_EQ(MAX_LIVES, 7);
  EXPECT_EQ(header.views, 2);
  for (long f = 1; f <= FRAMES; f++) {
    ASSERT_EQ(play_replay_frame(), RS_FRAME) << "frame " << f;
    ASSERT_EQ(give_world_hash(), hashes[f - 1]) << "frame " << f;
  }
  EXPECT_EQ(play_replay_frame(), RS_END);
  close_replay();
  EXPECT_EQ(MAX_LIVES, 3);
}

// Frames of 10 ms under a tick of 16: the replay keeps the tick and its steps, each of the
// tick's length, and plays them to the world the match left; a step of another length in
// it is damage.
TEST_F(Journal, ATickMatchReplaysItsStepsAtItsTick) {
  const std::string path = dir_.file("tick.vhr");
  std::vector<uint64_t> hashes;
  std::vector<uintmax_t> sizes;
  set_match_tick(16);
  record(path, &hashes, &sizes, 10);
  set_match_tick(0);
  char message[REPLAY_MESSAGE_SIZE];
  REPLAY_HEADER header;
  ASSERT_EQ(open_replay(path.c_str(), &header, message, sizeof message), 1) << message;
  ASSERT_EQ(start_replay(message, sizeof message), 1) << message;
  EXPECT_EQ(std::tuple(header.tick, header.frame_ms), std::tuple(16u, 0u));
  long steps = 0;
  REPLAY_STEP step;
  while ((step = play_replay_frame()) == RS_FRAME) {
    steps++;
    ASSERT_EQ(replay_frame_ms(), 16u) << "step " << steps;
  }
  EXPECT_EQ(std::tuple(step, steps, give_world_hash()), std::tuple(RS_END, FRAMES * 10 / 16, hashes.back()));
  close_replay();
}

// A step played again after going back is not heard again: the sync test going back eight
// steps starts the very sounds, and as many, as the match alone, and ends on its world.
TEST_F(Journal, StepsPlayedAgainAreNotHeardAgain) {
  for (VURK_& v : vurk) v.type = MLT_COMPUTER;
  std::snprintf(level_to_use, sizeof level_to_use, "levels/test1.vhl");
  long heard[2];
  uint64_t hash[2];
  for (int back : {0, 8}) {
    game_srand(9);
    next_bullet = next_explosion = next_particle = next_bullethole = 0;  // what a match takes over
    radar_angle = 0.0f;
    const long before = platform::samples_started();
    ASSERT_EQ(play_headless(600, 16, 0, 9, back), 0);
    heard[back > 0] = platform::samples_started() - before;
    hash[back > 0] = give_world_hash();
  }
  EXPECT_GT(heard[0], 10);
  EXPECT_EQ(std::tuple(heard[1], hash[1]), std::tuple(heard[0], hash[0]));
}

std::string inflated(const std::string& file) {
  std::string out(1 << 22, '\0');
  uLongf size = out.size();
  uLong from = file.size() - 8;
  EXPECT_EQ(uncompress2(reinterpret_cast<Bytef*>(out.data()), &size,
                        reinterpret_cast<const Bytef*>(file.data() + 8), &from), Z_OK);
  out.resize(size);
  return out;
}

std::string deflated(const std::string& prefix, const std::string& payload) {
  std::string out(compressBound(payload.size()), '\0');
  uLongf size = out.size();
  compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(payload.data()),
           payload.size());
  return prefix + out.substr(0, size);
}

// A replay cut after any whole frame plays to that frame; the world changed under a replay
// stops it at the first state hash; every file that can't be played says why.
TEST_F(Journal, BadReplaysStopWithTheirMessages) {
  const std::string good = dir_.file("good.vhr"), p = dir_.file("bad.vhr");
  std::vector<uint64_t> hashes;
  std::vector<uintmax_t> sizes;
  record(good, &hashes, &sizes);
  const std::string bytes = test::read_file(good), prefix = bytes.substr(0, 8), payload = inflated(bytes);
  auto patched = [&](size_t at, const std::string& with) {
    std::string changed = payload;
    changed.replace(at, with.size(), with);
    return deflated(prefix, changed);
  };
  std::string version = prefix;
  version[4] = 3;
  const struct { const char* name; std::string file; std::string message; } refused[] = {
      {"missing", "", "can't open it: No such file or directory"},
      {"text", "hello\n", "not a replay file"},
      {"format", version + bytes.substr(8), "made in replay format 3; this game plays formats 1 and 2"},
      {"game", patched(0, "Vurkhold beta 1.9"), "recorded by Vurkhold beta 1.9; this is Vurkhold beta 2.0"},
      {"content", patched(32, "X"), "recorded with other game content"},
      {"level", patched(40, "X"), "its header is cut short or damaged"},
      {"header", bytes.substr(0, 40), "its header is cut short or damaged"},
      {"vurk 1 as number 7", patched(339, "\x07"), "its header is cut short or damaged"},
  };
  for (const auto& r : refused) {
    std::filesystem::remove(p);
    if (r.name != std::string("missing")) test::write_file(p, r.file);
    char message[REPLAY_MESSAGE_SIZE];
    EXPECT_EQ(open_replay(p.c_str(), nullptr, message, sizeof message), 0) << r.name;
    EXPECT_EQ(message, "replay " + p + ": " + r.message) << r.name;
  }

  const struct { const char* name; long cut_after; REPLAY_STEP step; std::string message; } stopped[] = {
      {"cut after frame 1", 1, RS_CUT_SHORT, "replay " + p + ": cut short after frame 1"},
      {"cut after frame 333", 333, RS_CUT_SHORT, "replay " + p + ": cut short after frame 333"},
      {"world changed", 0, RS_DIVERGED, "replay diverged at frame 500"},
      {"a step of 0 ms", -1, RS_DAMAGED, "replay " + p + ": damaged after frame 0"},
  };
  for (const auto& r : stopped) {
    test::write_file(p, r.cut_after > 0 ? bytes.substr(0, sizes[r.cut_after - 1])
                        : r.cut_after < 0 ? patched(first_step_ms(), std::string(1, '\0'))
                                          : bytes);
    char message[REPLAY_MESSAGE_SIZE];
    ASSERT_EQ(open_replay(p.c_str(), nullptr, message, sizeof message), 1) << r.name << message;
    ASSERT_EQ(start_replay(message, sizeof message), 1) << r.name << message;
    // Faster guns than the match was recorded with.
    for (int w = 0; w < weapons && r.cut_after == 0; w++) weapon_type[w].bullet_speed *= 1.5f;
    REPLAY_STEP step;
    while ((step = play_replay_frame()) == RS_FRAME) {
    }
    for (int w = 0; w < weapons && r.cut_after == 0; w++) weapon_type[w].bullet_speed /= 1.5f;
    give_replay_message(step, message, sizeof message);
    EXPECT_EQ(step, r.step) << r.name;
    EXPECT_EQ(message, r.message) << r.name;
    close_replay();
  }
}

// The format-1 replays this version recorded before it kept commands: one of keys and mouse
// on the clock's frame lengths ending on Escape, one of keys, mouse and both pads' sticks,
// triggers and bumpers. Both were played with the weapons before the big blasts, by computer
// players who did not yet lead or shell cover, so they can't play as they did: each still
// decodes and plays, and stops at its first hash with the divergence named, status 3.
TEST(FormatOne, ReplaysOfTheRulesBeforeStopWhereTheyDiverge) {
  for (const std::string name : {"format1-two-players", "format1-pads"}) {
    const std::string path = test::fixture_path("replays/" + name + ".vhr");
    const test::GameRun run = test::run_game({"--headless", "--data", VURK_GAME_DIR, "--replay", path}, {}, 300);
    EXPECT_EQ(run.exit_code, 3) << name << ": " << run.err;
    EXPECT_NE(run.err.find("replay diverged at frame 500"), std::string::npos) << name << ": " << run.err;
  }
}

// A format-2 replay carries its level: played from another folder after its level file is
// gone, it prints the outcome the match printed. The sync test going back one and eight
// steps plays the match, and its replay, the same.
TEST(FormatTwo, AReplayPlaysWithItsLevelFileGone) {
  test::TempDir dir;
  const std::string level = dir.file("mine/cave.vhl"), data = dir.file("data"), moved = dir.file("far/away.vhr");
  std::filesystem::copy_file(std::string(VURK_GAME_DIR) + "/levels/caverns.vhl", level);
  const std::vector<std::string> env = {"XDG_DATA_HOME=" + data};
  const std::vector<std::string> match = {"--headless", "--bots", "--data", VURK_GAME_DIR, "--level", level, "--seed",
                                          "4", "--frames", "700", "--frag-limit", "3", "--hash-every", "100"};
  const test::GameRun played = test::run_game(match, env, 300);
  ASSERT_EQ(played.exit_code, 0) << played.err;
  std::vector<std::filesystem::path> kept;
  for (const auto& e : std::filesystem::directory_iterator(data + "/vurkhold/replays")) kept.push_back(e.path());
  ASSERT_EQ(kept.size(), 1u);
  std::filesystem::create_directories(dir.file("far"));
  std::filesystem::rename(kept[0], moved);
  for (const char* back : {"1", "8"}) {
    std::vector<std::string> synced = match;
    synced.insert(synced.end(), {"--sync-test", back, "--no-record"});
    const test::GameRun sync = test::run_game(synced, env, 300);
    EXPECT_EQ(std::tuple(sync.exit_code, sync.out), std::tuple(0, played.out)) << "back " << back << sync.err;
  }
  std::filesystem::remove_all(dir.file("mine"));
  const test::GameRun replayed =
      test::run_game({"--headless", "--data", VURK_GAME_DIR, "--hash-every", "100", "--replay", moved}, env, 300);
  EXPECT_EQ(replayed.exit_code, 0) << replayed.err;
  EXPECT_EQ(replayed.out, played.out);
  for (const char* back : {"1", "8"}) {
    const test::GameRun sync_replay = test::run_game(
        {"--headless", "--data", VURK_GAME_DIR, "--hash-every", "100", "--sync-test", back, "--replay", moved}, env, 300);
    EXPECT_EQ(std::tuple(sync_replay.exit_code, sync_replay.out), std::tuple(0, played.out)) << "back " << back;
  }
}

// Sizes in bytes, oldest first: what is left once the folder is kept under 100 bytes.
TEST(ReplayFolder, TheOldestGoFirstUntilTheRestFit) {
  const struct { std::vector<int> sizes; std::vector<bool> kept; } rows[] = {
      {{40, 30, 30}, {true, true, true}},
      {{40, 30, 31}, {false, true, true}},
      {{90, 5, 50, 60}, {false, false, false, true}},
  };
  for (const auto& r : rows) {
    test::TempDir dir;
    test::write_file(dir.file("notes.txt"), std::string(500, 'x'));  // not a replay: never counted or removed
    for (size_t i = 0; i < r.sizes.size(); i++)
      test::write_file(dir.file("2026120" + std::to_string(i + 1) + "-120000-maze.vhr"), std::string(r.sizes[i], 'x'));
    prune_replays(dir.path().c_str(), 100);
    for (size_t i = 0; i < r.sizes.size(); i++)
      EXPECT_EQ(std::filesystem::exists(dir.file("2026120" + std::to_string(i + 1) + "-120000-maze.vhr")), r.kept[i])
          << "row " << &r - rows << " file " << i;
    EXPECT_TRUE(std::filesystem::exists(dir.file("notes.txt")));
  }
}

}  // namespace
}  // namespace vurkhold
