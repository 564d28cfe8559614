// test support: scratch folders and files, fixture paths, the world's pools.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace vurkhold::test {

// A fresh folder under the system's temporary folder, removed with its contents on
// destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // Path of `name` inside the folder; creates the parent folders of `name`.
  std::string file(const std::string& name) const;

 private:
  std::string path_;
};

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
// Path of a file under the source tree's tests/fixtures/.
std::string fixture_path(const std::string& name);

// A key held or let go as its events leave it: its code in keys[] and its place in
// key_held[] (a letter, digit, keypad digit, cursor, function or mouse key, Space, Shift as
// the left one, Escape, Tab, Return); release_keys lets every key go.
int place_of(int code);
void hold_key(int code, bool down = true);
void release_keys();

// Allocates and binds the world's pools for one test and frees them afterwards.
class WorldPools {
 public:
  WorldPools();
  ~WorldPools();
};

// A test on its own bound pools.
class PoolsTest : public ::testing::Test {
 protected:
  WorldPools pools;
};

// Texture hooks without GL for the lifetime of the object: each upload hands out the next
// id from 1 up, and live() counts the ids not yet released.
class FakeTextures {
 public:
  FakeTextures();
  ~FakeTextures();
  static int live();
};

// Keeps the working folder of the moment and goes back to it on destruction, so a test may
// change into a game folder of its own.
class KeepWorkingDir {
 public:
  KeepWorkingDir();
  ~KeepWorkingDir();

 private:
  std::string saved_;
};

// Puts the given globals back as they were on destruction, byte for byte.
class KeepGlobals {
 public:
  template <typename... T>
  explicit KeepGlobals(T&... globals) {
    (saved_.push_back({&globals, std::string(reinterpret_cast<const char*>(&globals), sizeof(T))}), ...);
  }
  ~KeepGlobals() {
    for (const auto& [where, bytes] : saved_) std::memcpy(where, bytes.data(), bytes.size());
  }

 private:
  std::vector<std::pair<void*, std::string>> saved_;
};

// Records the game's messages for the lifetime of the object instead of showing them.
class MessageCapture {
 public:
  MessageCapture();
  ~MessageCapture();
  int count() const;
  std::string last() const;  // "CAPTION: text" of the last message, or ""
  std::string at(int n) const;
};

// A suite on the whole game folder, loaded once with initialize (silent, textures as fake
// ids) from inside the build's game folder, and released after the suite's last test.
class GameFolderSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
};

}  // namespace vurkhold::test
