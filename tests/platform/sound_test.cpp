// sound: where a sound is placed against its listeners, what the mixer's channels hold
// for it, and the stereo stream SDL's disk driver writes out of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

using platform::Listener;
using platform::SoundPlacement;

// In the middle of the cave looking along -z, its right hand +x: the camera at heading 0.
constexpr Listener kEar = {16.0f, 16.0f, 16.0f, 0.0f, -1.0f, 1.0f, 0.0f};
// Looking along -x (heading 90), its right hand -z.
constexpr Listener kTurned = {16.0f, 16.0f, 16.0f, -1.0f, 0.0f, 0.0f, -1.0f};

struct Placed {
  const char* name;
  Listener ear;
  float x, y, z;
  int angle, left, right, distance;
};

// Full volume within 3 units, half at 11, a far ear at 30% of the near one, a quarter off
// behind.
const Placed kPlaced[] = {
    {"near ahead", kEar, 16.0f, 16.0f, 14.0f, 0, 255, 255, 0},
    {"half way", kEar, 16.0f, 16.0f, 5.0f, 0, 255, 255, 128},
    {"right", kEar, 18.0f, 16.0f, 16.0f, 90, 77, 255, 0},
    {"left", kEar, 14.0f, 16.0f, 16.0f, 270, 255, 77, 0},
    {"behind", kEar, 16.0f, 16.0f, 18.0f, 180, 191, 191, 0},
    {"overhead", kEar, 16.0f, 18.0f, 16.0f, 0, 255, 255, 0},
    {"turned: ahead is -x", kTurned, 14.0f, 16.0f, 16.0f, 0, 255, 255, 0},
    {"turned: right is -z", kTurned, 16.0f, 16.0f, 14.0f, 90, 77, 255, 0},
};

TEST(SoundPlacement, FallsWithDistanceAndPansByTheViewsDirection) {
  for (const Placed& c : kPlaced) {
    const SoundPlacement p = platform::place_sound(&c.ear, 1, true, c.x, c.y, c.z);
    EXPECT_EQ(p.angle, c.angle) << c.name;
    EXPECT_EQ(p.left, c.left) << c.name;
    EXPECT_EQ(p.right, c.right) << c.name;
    EXPECT_EQ(p.distance, c.distance) << c.name;
  }
}

// Nowhere inside the cave's box is a sound lost, and it falls all the way to the far corner.
TEST(SoundPlacement, TheWholeCaveIsAudible) {
  const Listener corner = {0.0f, 0.0f, 0.0f, 0.0f, -1.0f, 1.0f, 0.0f};
  int last = -1;
  for (float d = 0.0f; d <= 32.0f; d += 1.0f) {
    const SoundPlacement p = platform::place_sound(&corner, 1, false, d, d, d);
    EXPECT_GE(p.distance, last) << d;
    EXPECT_LE(p.distance, 230) << d;
    last = p.distance;
  }
  EXPECT_GE(last, 200);
}

TEST(SoundPlacement, SplitScreenHearsTheNearestViewUnpanned) {
  const Listener ears[2] = {{4.0f, 16.0f, 16.0f, 0.0f, -1.0f, 1.0f, 0.0f}, kEar};
  // Hard right of the second view and 12 units from it, 24 from the first.
  const SoundPlacement p = platform::place_sound(ears, 2, false, 28.0f, 16.0f, 16.0f);
  const SoundPlacement alone = platform::place_sound(&ears[1], 1, false, 28.0f, 16.0f, 16.0f);
  EXPECT_EQ(p.distance, alone.distance);
  EXPECT_LT(p.distance, platform::place_sound(&ears[0], 1, false, 28.0f, 16.0f, 16.0f).distance);
  EXPECT_EQ(p.left, 255);
  EXPECT_EQ(p.right, 255);
}

TEST(SoundPlacement, NoListenerHearsEverythingAtFullVolume) {
  const SoundPlacement p = platform::place_sound(nullptr, 0, true, 30.0f, 2.0f, 5.0f);
  EXPECT_EQ(p.left, 255);
  EXPECT_EQ(p.right, 255);
  EXPECT_EQ(p.distance, 0);
}

// A mono 16-bit WAVE of a 440 Hz tone, `ms` long at 22050 Hz.
std::string tone_wav(int ms) {
  const int count = 22050 * ms / 1000;
  std::string data;
  for (int i = 0; i < count; i++) {
    const auto v = static_cast<int16_t>(12000.0 * std::sin(2.0 * 3.14159265 * 440.0 * i / 22050.0));
    data += static_cast<char>(v & 0xFF);
    data += static_cast<char>((v >> 8) & 0xFF);
  }
  auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  return "RIFF" + u32(36 + static_cast<uint32_t>(data.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) +
         u32(22050) + u32(44100) + u16(2) + u16(16) + "data" + u32(static_cast<uint32_t>(data.size())) + data;
}

// The mixer on a driver named by the environment, closed again, and the driver put back.
class Mixer : public ::testing::Test {
 protected:
  void open(const char* driver, int tone_ms) {
    const char* was = std::getenv("SDL_AUDIODRIVER");
    saved_driver_ = was ? was : "";
    had_driver_ = was != nullptr;
    setenv("SDL_AUDIODRIVER", driver, 1);
    platform::sound_close();
    ASSERT_TRUE(platform::sound_open(44100, 8, false));
    test::write_file(dir_.file("tone.wav"), tone_wav(tone_ms));
    sample_ = platform::sample_load(dir_.file("tone.wav").c_str());
    ASSERT_NE(sample_, nullptr);
  }
  void TearDown() override {
    platform::sample_free(sample_);
    platform::sound_close();
    platform::set_listeners(nullptr, 0);
    platform::set_volumes(100, 100);
    if (had_driver_) setenv("SDL_AUDIODRIVER", saved_driver_.c_str(), 1);
    else unsetenv("SDL_AUDIODRIVER");
  }
  test::TempDir dir_;
  platform::Sample* sample_ = nullptr;
  std::string saved_driver_;
  bool had_driver_ = false;
};

TEST_F(Mixer, AChannelHoldsItsSoundsPlaceAndTheVolumesAtOnce) {
  open("dummy", 5000);
  platform::set_listeners(&kEar, 1);
  const int right = platform::sample_play_at(sample_, 20.0f, 16.0f, 16.0f);
  ASSERT_GE(right, 0);
  platform::ChannelState s{};
  ASSERT_TRUE(platform::channel_state(right, &s));
  EXPECT_EQ(s.playing, 1);
  EXPECT_EQ(s.volume, 128);
  EXPECT_EQ(s.master, 128);
  EXPECT_EQ(s.placement.angle, 90);
  EXPECT_LT(s.placement.left, s.placement.right);

  // The volumes reach the sound already playing.
  platform::set_volumes(50, 25);
  ASSERT_TRUE(platform::channel_state(right, &s));
  EXPECT_EQ(s.master, 64);
  EXPECT_EQ(s.volume, 32);
  platform::set_volumes(100, 0);
  ASSERT_TRUE(platform::channel_state(right, &s));
  EXPECT_EQ(s.master, 128);
  EXPECT_EQ(s.volume, 0);

  // Two views: the nearer one's distance, no pan, on another channel.
  const Listener two[2] = {kEar, {30.0f, 16.0f, 16.0f, 0.0f, -1.0f, 1.0f, 0.0f}};
  platform::set_listeners(two, 2);
  const int split = platform::sample_play_at(sample_, 20.0f, 16.0f, 2.0f);
  ASSERT_GE(split, 0);
  EXPECT_NE(split, right);
  ASSERT_TRUE(platform::channel_state(split, &s));
  EXPECT_EQ(s.placement.left, 255);
  EXPECT_EQ(s.placement.right, 255);
  EXPECT_EQ(s.placement.distance, platform::place_sound(&two[0], 1, false, 20.0f, 16.0f, 2.0f).distance);

  EXPECT_FALSE(platform::channel_state(8, &s));
  EXPECT_FALSE(platform::channel_state(-1, &s));
}

TEST_F(Mixer, MutedReplayedOrClosedStartsNothing) {
  open("dummy", 100);
  const long before = platform::samples_started();
  platform::set_sound_muted(true);
  EXPECT_EQ(platform::sample_play_at(sample_, 1.0f, 1.0f, 1.0f), -1);
  platform::set_sound_muted(false);
  platform::set_step_replayed(true);
  EXPECT_EQ(platform::sample_play_at(sample_, 1.0f, 1.0f, 1.0f), -1);
  platform::set_step_replayed(false);
  EXPECT_EQ(platform::samples_started(), before);
  EXPECT_EQ(platform::sample_play_at(nullptr, 1.0f, 1.0f, 1.0f), -1);

  // With the sound closed (no device, or the game going down) nothing plays or breaks.
  platform::Sample* kept = platform::sample_load(dir_.file("tone.wav").c_str());
  platform::sound_close();
  EXPECT_EQ(platform::sample_play_at(kept, 1.0f, 1.0f, 1.0f), -1);
  platform::set_volumes(10, 20);
  platform::ChannelState s{};
  EXPECT_FALSE(platform::channel_state(0, &s));
  EXPECT_EQ(platform::sample_load(dir_.file("tone.wav").c_str()), nullptr);
  platform::sample_free(kept);
}

// A sample asked for again within 100 ms and 4 units of where it last started is heard
// once; further off, or later, it starts again.
TEST_F(Mixer, TheSameSoundOnTopOfItselfIsHeardOnce) {
  open("dummy", 2000);
  const long before = platform::samples_started();
  ASSERT_GE(platform::sample_play_at(sample_, 10.0f, 16.0f, 16.0f), 0);
  EXPECT_EQ(platform::sample_play_at(sample_, 10.0f, 16.0f, 13.5f), -1) << "2.5 units off at once";
  EXPECT_GE(platform::sample_play_at(sample_, 10.0f, 16.0f, 11.5f), 0) << "4.5 units off at once";
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_GE(platform::sample_play_at(sample_, 10.0f, 16.0f, 11.5f), 0) << "the same place 150 ms later";
  EXPECT_EQ(platform::samples_started(), before + 4) << "an echo left unheard still counts as asked for";
}

// The raw 16-bit stereo stream the disk driver wrote once the mixer has played every
// channel out and closed.
std::vector<int16_t> played_out(platform::Sample** sample, const std::string& raw) {
  platform::ChannelState s{};
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (int c = 0; c < 8; c++)
    while (platform::channel_state(c, &s) && s.playing && std::chrono::steady_clock::now() < give_up)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  platform::sample_free(*sample);
  *sample = nullptr;
  platform::sound_close();
  const std::string bytes = test::read_file(raw);
  std::vector<int16_t> out(bytes.size() / 2);
  for (size_t i = 0; i < out.size(); i++)
    out[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
  return out;
}

// The tone peaks at 12000. Alone and beside the ear it comes out as loud as it went in;
// four at once, all within full-volume reach of the ear, sum to three times full scale in
// the near ear and come out loud but under it, where a plain sum would sit at 32767.
TEST_F(Mixer, SoundsTogetherAreLimitedAndASoundAloneKeepsItsLevel) {
  const std::string raw = dir_.file("out.raw");
  setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
  for (int together : {1, 4}) {
    SCOPED_TRACE(together);
    open("disk", 200);
    platform::set_listeners(&kEar, 1);
    const float at[4][3] = {{16, 16, 13.1f}, {16, 16, 18.9f}, {13.1f, 16, 16}, {18.9f, 16, 16}};
    for (int i = 0; i < together; i++) ASSERT_GE(platform::sample_play_at(sample_, at[i][0], at[i][1], at[i][2]), 0);
    const std::vector<int16_t> pcm = played_out(&sample_, raw);
    ASSERT_GE(pcm.size(), 44100u * 2u / 10u);
    int peak = 0;
    for (int16_t v : pcm) peak = std::max(peak, std::abs(static_cast<int>(v)));
    if (together == 1) {
      EXPECT_NEAR(peak, 12000, 60);
    } else {
      EXPECT_GT(peak, 28000);
      EXPECT_LT(peak, 32767);
    }
  }
  unsetenv("SDL_DISKAUDIOFILE");
}

// Sums of squares of the left and right samples SDL's disk driver wrote.
struct Energy {
  double left = 0.0, right = 0.0;
};

// The whole path: one tone played where the case says, the mixer left to finish it and
// closed, and the raw 16-bit stereo stream it wrote read back.
struct Heard {
  const char* name;
  float x;
  int master, effects;
};

void PrintTo(const Heard& h, std::ostream* out) { *out << h.name; }

class DiskMixer : public Mixer, public ::testing::WithParamInterface<Heard> {};

TEST_P(DiskMixer, WritesTheSoundWhereItWasPlayed) {
  const Heard& c = GetParam();
  const std::string raw = dir_.file("out.raw");
  setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
  open("disk", 200);
  platform::set_volumes(c.master, c.effects);
  platform::set_listeners(&kEar, 1);
  const int channel = platform::sample_play_at(sample_, c.x, 16.0f, 16.0f);
  ASSERT_GE(channel, 0);
  platform::ChannelState s{};
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (platform::channel_state(channel, &s) && s.playing && std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(s.playing, 0) << "the tone never ended";
  // A few buffers more, so the tone's end is written too.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  platform::sample_free(sample_);
  sample_ = nullptr;
  platform::sound_close();
  unsetenv("SDL_DISKAUDIOFILE");

  const std::string bytes = test::read_file(raw);
  ASSERT_GE(bytes.size(), 44100u * 4u / 10u);
  Energy e;
  for (size_t i = 0; i + 3 < bytes.size(); i += 4) {
    const auto l = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
    const auto r = static_cast<int16_t>(static_cast<uint8_t>(bytes[i + 2]) | static_cast<uint8_t>(bytes[i + 3]) << 8);
    e.left += static_cast<double>(l) * l;
    e.right += static_cast<double>(r) * r;
  }
  if (c.master == 0 || c.effects == 0) {
    EXPECT_EQ(e.left, 0.0);
    EXPECT_EQ(e.right, 0.0);
  } else if (c.x < kEar.x) {
    // The far ear hears 30% of the amplitude, 9% of the energy: twice is a wide margin.
    EXPECT_GT(e.left, 2.0 * e.right);
    EXPECT_GT(e.right, 0.0);
  } else {
    EXPECT_GT(e.right, 2.0 * e.left);
    EXPECT_GT(e.left, 0.0);
  }
}

INSTANTIATE_TEST_SUITE_P(Sound, DiskMixer,
                         ::testing::Values(Heard{"left", 14.0f, 100, 100}, Heard{"right", 18.0f, 100, 100},
                                           Heard{"no_effects", 14.0f, 100, 0}, Heard{"no_master", 14.0f, 0, 100}),
                         [](const ::testing::TestParamInfo<Heard>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace vurkhold
