// "other/sounds.cfg": the named samples, the two fixed ones, and every refusal with its
// message; plus the line reading all configuration files share.
#include "world/config_test_files.h"

namespace vurkhold {
namespace {

using namespace config_test;

class SoundsConfig : public ConfigFolder {};

TEST_F(SoundsConfig, LoadsNamedSamplesAndTheFixedTwo) {
  put("sounds/Other.WAV", wav_bytes(128));
  put("other/sounds.cfg", cfg({sound_record("bang"), sound_record("Whoosh", "other.wav")}));
  ASSERT_EQ(load_weapon_sounds(), 1) << last();
  EXPECT_EQ(message_count(), 0);
  ASSERT_EQ(sounds, 2);
  EXPECT_STREQ(sound[0].name, "bang");
  EXPECT_STREQ(sound[1].name, "Whoosh");
  EXPECT_NE(sound[0].sample, nullptr);
  EXPECT_NE(sound[1].sample, nullptr);
  EXPECT_NE(sound[0].sample, sound[1].sample);
  EXPECT_NE(explosion_sound, nullptr);
  EXPECT_NE(death_sound, nullptr);
  EXPECT_EQ(find_sound_by_name("Whoosh"), 1);
  EXPECT_EQ(find_sound_by_name("whoosh"), -1);
  EXPECT_EQ(find_sound_by_name("BANG"), -1);
}

TEST_F(SoundsConfig, FixedSamplesMayBeMissing) {
  std::remove("sounds/exp1.wav");
  std::remove("sounds/death.wav");
  put("other/sounds.cfg", cfg({sound_record("bang")}));
  ASSERT_EQ(load_weapon_sounds(), 1);
  EXPECT_EQ(message_count(), 0);
  EXPECT_EQ(explosion_sound, nullptr);
  EXPECT_EQ(death_sound, nullptr);
}

TEST_F(SoundsConfig, VersionMustBeExactlyOne) {
  for (const char* good : {"1", "1.0", "1.000000", "1.0 sounds of the game", " 1"}) {
    put("other/sounds.cfg", cfg(good, "1", {sound_record("bang")}));
    EXPECT_EQ(load_weapon_sounds(), 1) << good;
    free_sounds();
  }
  EXPECT_EQ(message_count(), 0);
  for (const char* bad : {"1.01", "", "0.99", "2", "v1", "-1"}) {
    put("other/sounds.cfg", cfg(bad, "1", {sound_record("bang")}));
    EXPECT_EQ(load_weapon_sounds(), 0) << bad;
    EXPECT_EQ(last(), "ERROR: The file sounds.cfg has a wrong version!") << bad;
    free_sounds();
  }
}

TEST_F(SoundsConfig, CountFrom1To19) {
  std::vector<std::vector<std::string>> nineteen;
  for (int i = 0; i < 19; i++) nineteen.push_back(sound_record("s" + std::to_string(i)));
  put("other/sounds.cfg", cfg(nineteen));
  ASSERT_EQ(load_weapon_sounds(), 1) << last();
  EXPECT_EQ(sounds, 19);
  EXPECT_EQ(find_sound_by_name("s18"), 18);
  free_sounds();

  const struct {
    const char* count;
    const char* message;
  } bad[] = {
      {"20", "ERROR: Number of sounds (20) is invalid!"},
      {"0", "ERROR: Number of sounds (0) is invalid!"},
      {"-3", "ERROR: Number of sounds (-3) is invalid!"},
      {"", "ERROR: Number of sounds (0) is invalid!"},
  };
  nineteen.push_back(sound_record("s19"));
  for (const auto& b : bad) {
    put("other/sounds.cfg", cfg("1", b.count, nineteen));
    EXPECT_EQ(load_weapon_sounds(), 0) << b.count;
    EXPECT_EQ(last(), b.message);
    EXPECT_EQ(sounds, 0);
    EXPECT_EQ(sound, nullptr);
  }
}

TEST_F(SoundsConfig, RecordFaultsNameTheRecord) {
  const struct {
    std::vector<std::vector<std::string>> records;
    const char* message;
    int named;  // entries holding a name afterwards
  } cases[] = {
      {{sound_record("a"), sound_record("")}, "ERROR: The name of sound 2 is invalid.", 1},
      {{sound_record("a"), sound_record("  ")}, "ERROR: The name of sound 2 is invalid.", 1},
      {{sound_record("a"), sound_record("b", "")}, "ERROR: The filename of sound (2) is invalid.", 2},
      {{sound_record("a", "nothing.wav")}, "ERROR: The loading of sound (1) failed.", 1},
      {{sound_record("a"), sound_record("b"), sound_record("c", "bad.wav")}, "ERROR: The loading of sound (3) failed.",
       3},
  };
  put("sounds/bad.wav", std::string("RIFF....not a wave at all"));
  for (const auto& c : cases) {
    put("other/sounds.cfg", cfg(c.records));
    EXPECT_EQ(load_weapon_sounds(), 0) << c.message;
    EXPECT_EQ(last(), c.message);
    EXPECT_EQ(sounds, c.named) << c.message;
    free_sounds();
  }
}

TEST_F(SoundsConfig, MissingFile) {
  EXPECT_EQ(load_weapon_sounds(), 0);
  EXPECT_EQ(last(), "ERROR: Can't find sounds.cfg");
  EXPECT_EQ(sound, nullptr);
}

TEST_F(SoundsConfig, FileEndingEarlyFailsAtTheMissingLine) {
  put("other/sounds.cfg", "1\n2\n#\nbang\nbeep.wav\n#\n");
  EXPECT_EQ(load_weapon_sounds(), 0);
  EXPECT_EQ(last(), "ERROR: The name of sound 2 is invalid.");
  free_sounds();
  put("other/sounds.cfg", "1\n2\n#\nbang\nbeep.wav\n#\nboom");
  EXPECT_EQ(load_weapon_sounds(), 0);
  EXPECT_EQ(last(), "ERROR: The filename of sound (2) is invalid.");
}

// Shared by all five files: separators, trailing text, CRLF endings, long words and lines.
TEST_F(SoundsConfig, LinesAreReadAsTheyAlwaysWere) {
  put("other/sounds.cfg",
      "1.0\r\n2 sounds\r\n\r\nbang and more words\r\nbeep.wav  ; the sound of a shot\r\n"
      "################ anything at all ################\r\nboom\r\nbeep.wav\r\n");
  ASSERT_EQ(load_weapon_sounds(), 1) << last();
  EXPECT_STREQ(sound[0].name, "bang");
  EXPECT_STREQ(sound[1].name, "boom");
  free_sounds();

  // A 40-letter name keeps its first 31 letters.
  const std::string long_name(40, 'n');
  put("other/sounds.cfg", cfg({sound_record(long_name)}));
  ASSERT_EQ(load_weapon_sounds(), 1) << last();
  EXPECT_EQ(std::string(sound[0].name), long_name.substr(0, 31));
  free_sounds();

  // A separator longer than 78 characters leaves its rest to be read as the name line.
  put("other/sounds.cfg", "1\n1\n" + std::string(78, '#') + "xyz\nbang\nbeep.wav\n");
  EXPECT_EQ(load_weapon_sounds(), 0);
  EXPECT_EQ(last(), "ERROR: The loading of sound (1) failed.");
  EXPECT_STREQ(sound[0].name, "xyz");
}

}  // namespace
}  // namespace vurkhold
