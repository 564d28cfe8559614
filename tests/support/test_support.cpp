// test support: scratch folders, files and the world's pools for tests.
#include "support/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "assets/assets.h"
#include "platform/platform.h"
#include "records/records.h"
#include "shell/shell.h"

namespace vurkhold::test {

int place_of(int code) {
  if (code >= 'A' && code <= 'Z') return sc_letter(static_cast<char>(code));
  if (code >= '1' && code <= '9') return SC_1 + code - '1';
  if (code == VK_NUMPAD0) return SC_KP_0;
  if (code > VK_NUMPAD0 && code <= VK_NUMPAD0 + 9) return SC_KP_1 + code - VK_NUMPAD0 - 1;
  if (code >= VK_F1 && code <= VK_F12) return SC_F1 + code - VK_F1;
  switch (code) {
    case VK_LBUTTON: return BIND_MOUSE_LEFT;
    case VK_RBUTTON: return BIND_MOUSE_RIGHT;
    case VK_UP: return SC_UP;
    case VK_DOWN: return SC_DOWN;
    case VK_LEFT: return SC_LEFT;
    case VK_RIGHT: return SC_RIGHT;
    case VK_SPACE: return SC_SPACE;
    case VK_SHIFT: return SC_LSHIFT;
    case VK_ESCAPE: return SC_ESCAPE;
    case VK_TAB: return SC_TAB;
    case VK_RETURN: return SC_RETURN;
    default: throw std::invalid_argument("no place for key code " + std::to_string(code));
  }
}

void hold_key(int code, bool down) {
  keys[code] = down;
  key_held[place_of(code)] = down;
}

void release_keys() {
  std::memset(keys, 0, sizeof keys);
  std::memset(key_held, 0, sizeof key_held);
}

TempDir::TempDir() : path_((std::filesystem::temp_directory_path() / "vurkhold-test-XXXXXX").string()) {
  if (!mkdtemp(path_.data())) throw std::runtime_error("mkdtemp failed");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& name) const {
  std::filesystem::path p = std::filesystem::path(path_) / name;
  std::filesystem::create_directories(p.parent_path());
  return p.string();
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string fixture_path(const std::string& name) { return std::string(VURK_SOURCE_DIR) + "/tests/fixtures/" + name; }

KeepWorkingDir::KeepWorkingDir() : saved_(std::filesystem::current_path().string()) {}

KeepWorkingDir::~KeepWorkingDir() {
  std::error_code ignored;
  std::filesystem::current_path(saved_, ignored);
}

WorldPools::WorldPools() {
  if (!allocate_pools()) throw std::runtime_error("pools");
  bind_world();
}

WorldPools::~WorldPools() { free_pools(); }

namespace {
unsigned next_texture = 0;
int live_textures = 0;
}  // namespace

FakeTextures::FakeTextures() {
  next_texture = 0;
  live_textures = 0;
  texture_hooks = {[](const TGA_IMAGE*) {
                     live_textures++;
                     return ++next_texture;
                   },
                   [](unsigned) { live_textures--; }};
}

FakeTextures::~FakeTextures() { texture_hooks = {nullptr, nullptr}; }

int FakeTextures::live() { return live_textures; }

MessageCapture::MessageCapture() {
  platform::clear_captured_messages();
  platform::capture_messages(true);
}

MessageCapture::~MessageCapture() {
  platform::capture_messages(false);
  platform::clear_captured_messages();
}

int MessageCapture::count() const { return platform::captured_message_count(); }

std::string MessageCapture::last() const { return count() > 0 ? at(count() - 1) : ""; }

std::string MessageCapture::at(int n) const { return platform::captured_message(n); }

namespace {
FakeTextures* suite_textures = nullptr;
KeepWorkingDir* suite_dir = nullptr;
}  // namespace

void GameFolderSuite::SetUpTestSuite() {
  suite_textures = new FakeTextures;
  suite_dir = new KeepWorkingDir;
  no_sound = 1;
  ASSERT_EQ(chdir(VURK_GAME_DIR), 0);
  ASSERT_EQ(initialize(), 1);
}

void GameFolderSuite::TearDownTestSuite() {
  clean_up();
  no_sound = 0;
  delete suite_dir;
  delete suite_textures;
}

}  // namespace vurkhold::test
