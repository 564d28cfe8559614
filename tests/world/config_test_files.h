// configuration tests: a scratch game folder holding "other/*.cfg", "models/",
// "textures/" and "sounds/", entered for the test and left afterwards, with the tables
// released whatever the loaders did.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "render/render.h"
#include "support/gl_context.h"
#include "support/test_support.h"
#include "world/world.h"

namespace vurkhold::config_test {

// A RIFF/WAVE file: PCM, 16-bit, mono, 44100 Hz, `samples` samples of a ramp.
inline std::vector<uint8_t> wav_bytes(int samples = 64) {
  std::vector<uint8_t> b;
  auto text = [&](const char* s) {
    for (int i = 0; i < 4; i++) b.push_back(static_cast<uint8_t>(s[i]));
  };
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; i++) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto u16 = [&](uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
  };
  const uint32_t data_size = static_cast<uint32_t>(samples) * 2;
  text("RIFF");
  u32(36 + data_size);
  text("WAVE");
  text("fmt ");
  u32(16);
  u16(1);           // PCM
  u16(1);           // mono
  u32(44100);       // rate
  u32(44100 * 2);   // bytes per second
  u16(2);           // block align
  u16(16);          // bits
  text("data");
  u32(data_size);
  for (int i = 0; i < samples; i++) u16(static_cast<uint16_t>(i * 300));
  return b;
}

// A MilkShape ASCII model of one triangle.
inline std::string model_text() {
  return "// MilkShape 3D ASCII\n\nFrames: 1\nFrame: 1\n\nMeshes: 1\n\"tri\" 0 0\n3\n"
         "0 0.0 0.0 0.0 0.0 0.0 -1\n0 1.0 0.0 0.0 1.0 0.0 -1\n0 0.0 1.0 0.0 0.0 1.0 -1\n"
         "1\n0.0 0.0 1.0\n1\n0 0 1 2 0 0 0 1\n\nMaterials: 0\n\nBones: 0\n";
}

// A 64 x 64 grey TGA.
inline std::vector<uint8_t> tga_bytes() {
  std::vector<uint8_t> b(18, 0);
  b[2] = 3;
  b[12] = 64;
  b[14] = 64;
  b[16] = 8;
  b.resize(18 + 64 * 64, 0x80);
  return b;
}

// A configuration file: version, count, then per record a separator and its lines.
inline std::string cfg(const std::string& version, const std::string& count,
                       const std::vector<std::vector<std::string>>& records, const std::string& separator = "#") {
  std::string s = version + "\n" + count + "\n";
  for (const auto& r : records) {
    s += separator + "\n";
    for (const std::string& line : r) s += line + "\n";
  }
  return s;
}
inline std::string cfg(const std::vector<std::vector<std::string>>& records) {
  return cfg("1.0", std::to_string(records.size()), records);
}

inline std::vector<std::string> sound_record(const std::string& name, const std::string& file = "beep.wav") {
  return {name, file};
}
inline std::vector<std::string> bullet_model_record(const std::string& name, const std::string& type = "0",
                                                    const std::string& file = "tri.txt") {
  return {name, type, file};
}
inline std::vector<std::string> weapon_model_record(const std::string& name, const std::string& file = "tri.txt",
                                                    const std::string& texture = "w.tga") {
  return {name, file, texture};
}
// A valid bullet type; line k (1..21) is at index k - 1.
inline std::vector<std::string> bullet_record(const std::string& name, const std::string& model = "ball") {
  return {name,       model,          "1000 10",     "-0.5",  "0.1",         "10",        "2.5",
          "0",        "0 3 0.5",      "-1",          "1 0.5 0", "20 300",    "NO_EMIT",   "100 0",
          "0",        "NO_CLUSTERS",  "0",           "0",     "0",           "0 0 0",     "0"};
}
// A valid weapon type; line k (1..10) is at index k - 1.
inline std::vector<std::string> weapon_record(const std::string& name, const std::string& model = "gun",
                                              const std::string& ammo = "shell", const std::string& snd = "bang") {
  return {name, model, "10", "100", "1000", ammo, "1", "5", "0.5", snd};
}

class ConfigFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::ensure_gl_context()) GTEST_SKIP() << "no GL context";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(platform::sound_open(44100, 32));
    ASSERT_NE(getcwd(saved_, sizeof saved_), nullptr);
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    put("sounds/beep.wav", wav_bytes());
    put("sounds/exp1.wav", wav_bytes(32));
    put("sounds/death.wav", wav_bytes(16));
    put("models/tri.txt", model_text());
    put("textures/w.tga", tga_bytes());
  }
  void TearDown() override {
    free_weapon_types();
    free_bullet_types();
    for (int i = 0; i < weapon_models; i++) release_model(&weapon_model[i]);
    for (int i = 0; i < bullet_models; i++) release_model(&bullet_model[i]);
    weapon_models = bullet_models = 0;
    free_sounds();
    if (saved_[0]) {
      EXPECT_EQ(chdir(saved_), 0);
    }
  }
  static void release_model(MODEL* m) {
    std::free(m->name);
    free_model(m);
    if (m->texture) glDeleteTextures(1, &m->texture);
    std::memset(m, 0, sizeof *m);
  }
  void put(const std::string& name, const std::string& text) { test::write_file(dir_.file(name), text); }
  void put(const std::string& name, const std::vector<uint8_t>& bytes) { test::write_file(dir_.file(name), bytes); }
  std::string last() const { return messages_.last(); }
  int message_count() const { return messages_.count(); }

  // The tables the later loaders name: sounds "bang", bullet model "ball", weapon model "gun".
  void load_prerequisites() {
    put("other/sounds.cfg", cfg({sound_record("bang")}));
    put("other/bmodels.cfg", cfg({bullet_model_record("ball")}));
    put("other/wmodels.cfg", cfg({weapon_model_record("gun")}));
    ASSERT_EQ(load_weapon_sounds(), 1) << last();
    ASSERT_EQ(load_bullet_models(), 1) << last();
    ASSERT_EQ(load_weapon_models(), 1) << last();
  }

 private:
  test::TempDir dir_;
  test::MessageCapture messages_;
  char saved_[PATH_MAX] = "";
};

}  // namespace vurkhold::config_test
