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
#include <vector>

#include "control/control.h"
#include "match/match.h"
#include "shell/shell.h"
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
    std::memset(keys, 0, sizeof keys);
  }
  static void pump() {
    platform::Event e;
    while (platform::poll_event(&e)) handle_key_event(e), handle_pad_event(e);
  }

  // Both players human, the other two computer players, on the default level: player 1 on
  // keys and mouse, player 2 on keys and a pad, their input changing every few frames.
  // Returns the world's hash after each frame and the file's size after each frame.
  void record(const std::string& path, std::vector<uint64_t>* hashes, std::vector<uintmax_t>* sizes) {
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
      keys[VK_UP] = f % 90 < 50;
      keys[VK_LBUTTON] = f % 70 < 6;
      keys['D'] = f % 50 > 30;
      keys[VK_SPACE] = f % 110 < 4;
      if (f % 13 == 0) platform::push_mouse_motion_event(static_cast<int>(f % 7) - 3, static_cast<int>(f % 5) - 2);
      platform::set_virtual_pad_axis(player_pad[1], platform::PAD_RIGHT_X, static_cast<float>(f % 40) / 40.0f - 0.5f);
      platform::set_virtual_pad_button(player_pad[1], platform::PAD_X, f % 60 < 3);
      pump();
      game_logic(16);
      hashes->push_back(give_world_hash());
      sizes->push_back(std::filesystem::file_size(path));
    }
    end_recording(true);
    std::memset(keys, 0, sizeof keys);
  }

  test::KeepGlobals keep_{MAX_LIVES, level_to_use, vurk, player_pad, logic_func, render_func};
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
  };
  for (const auto& r : stopped) {
    test::write_file(p, r.cut_after ? bytes.substr(0, sizes[r.cut_after - 1]) : bytes);
    char message[REPLAY_MESSAGE_SIZE];
    ASSERT_EQ(open_replay(p.c_str(), nullptr, message, sizeof message), 1) << r.name << message;
    ASSERT_EQ(start_replay(message, sizeof message), 1) << r.name << message;
    // Faster guns than the match was recorded with.
    for (int w = 0; w < weapons && !r.cut_after; w++) weapon_type[w].bullet_speed *= 1.5f;
    REPLAY_STEP step;
    while ((step = play_replay_frame()) == RS_FRAME) {
    }
    for (int w = 0; w < weapons && !r.cut_after; w++) weapon_type[w].bullet_speed /= 1.5f;
    give_replay_message(step, message, sizeof message);
    EXPECT_EQ(step, r.step) << r.name;
    EXPECT_EQ(message, r.message) << r.name;
    close_replay();
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
