// sounds of the generated game folder: every sample is a loud, unclipped wave, starting
// and ending quiet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "content/manifest.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

const std::string kGame = VURK_GAME_DIR;

uint32_t le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int k = bytes - 1; k >= 0; k--) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<size_t>(k)]);
  return v;
}

TEST(Sounds, EverySampleIsALoudUnclippedMonoWave) {
  for (const content::SOUND_ENTRY& s : content::sounds) {
    SCOPED_TRACE(s.file);
    const std::string b = test::read_file(kGame + "/sounds/" + s.file);
    // 16-bit samples right after the 44-byte header; the start-up tests load every file.
    ASSERT_GT(b.size(), 44u + 44100u / 20);
    const size_t n = (b.size() - 44) / 2;

    int peak = 0;
    for (size_t i = 0; i < n; i++) peak = std::max(peak, std::abs(int(int16_t(le(b, 44 + 2 * i, 2)))));
    EXPECT_GE(peak, 32768.0 * std::pow(10.0, -3.0 / 20.0));
    EXPECT_LE(peak, 32768.0 * std::pow(10.0, -0.5 / 20.0));
    // Both ends near silence: a sample that starts or stops on a loud value clicks.
    EXPECT_LE(std::abs(int(int16_t(le(b, 44, 2)))), 330);
    EXPECT_LE(std::abs(int(int16_t(le(b, b.size() - 2, 2)))), 330);
  }
}

}  // namespace
}  // namespace vurkhold
