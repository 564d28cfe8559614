// fuzz target: a replay file, read through, checked and played for a while with the world
// checked after every frame. An input that begins with a replay's magic bytes is the whole
// file; any other is the contents of its zlib stream, packed here behind this game's
// prefix, so that mutations reach the records and not only zlib's checks. The first run
// records a short two-player match into the corpus as both kinds of seed.
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "harness.h"
#include "match/match.h"
#include "shell/shell.h"

namespace {

using namespace vurkhold;

constexpr long FRAMES_PLAYED = 300;
constexpr char PREFIX[8] = {'V', 'H', 'R', 0x1a, REPLAY_FORMAT, 0, 0, 0};
std::vector<uint8_t> packed;

[[noreturn]] void give_up(const char* what) {
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::exit(1);
}

std::string read_all(const char* path) {
  std::string bytes;
  if (std::FILE* f = std::fopen(path, "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
  }
  return bytes;
}

void write_all(const std::string& path, const void* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(data, 1, size, f) != size) give_up("can't write a seed");
  std::fclose(f);
}

// A short match with both players on keys, recorded into the corpus folder.
void record_seeds(const char* corpus) {
  for (int i = 0; i < MAX_VURKS; i++) vurk[i].type = i < 2 ? MLT_HUMAN : MLT_COMPUTER;
  std::snprintf(level_to_use, sizeof level_to_use, "levels/test1.vhl");
  char message[REPLAY_MESSAGE_SIZE];
  std::remove("seed.vhr");
  if (!begin_recording("seed.vhr", 1, 16, 2, message, sizeof message) || !game_init()) give_up(message);
  for (int f = 1; f <= 200; f++) {
    keys[VK_UP] = f % 60 < 30;
    keys[VK_LBUTTON] = f % 40 < 4;
    keys[static_cast<int>('W')] = f % 50 > 20;
    keys[VK_SPACE] = f % 30 < 2;
    game_logic(16);
  }
  end_recording(true);
  std::memset(keys, 0, sizeof keys);
  const std::string file = read_all("seed.vhr");
  if (file.size() < 8) give_up("the seed replay was not written");
  std::vector<uint8_t> payload(1 << 20);
  uLongf size = payload.size();
  uLong from = file.size() - 8;
  if (uncompress2(payload.data(), &size, reinterpret_cast<const Bytef*>(file.data() + 8), &from) != Z_OK)
    give_up("the seed replay does not inflate");
  write_all(std::string(corpus) + "/seed-file.vhr", file.data(), file.size());
  write_all(std::string(corpus) + "/seed-stream", payload.data(), size);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::enter_scratch_game(argc, argv);
  // The whole start-up: a replay plays a match, which needs every piece of content.
  free_pools();
  no_sound = 1;
  if (!initialize()) give_up("the game does not start");
  for (int i = 1; i < *argc; i++) {
    const char* arg = (*argv)[i];
    if (arg[0] != '-' && std::filesystem::is_directory(arg)) {
      record_seeds(arg);
      break;
    }
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 4 && std::memcmp(data, PREFIX, 4) == 0) {
    fuzz::write_input("replay.vhr", data, size);
  } else {
    uLongf packed_size = compressBound(size);
    packed.resize(sizeof PREFIX + packed_size);
    std::memcpy(packed.data(), PREFIX, sizeof PREFIX);
    compress(packed.data() + sizeof PREFIX, &packed_size, data, size);
    fuzz::write_input("replay.vhr", packed.data(), sizeof PREFIX + packed_size);
  }
  static REPLAY_INDEX index;
  char message[REPLAY_MESSAGE_SIZE];
  scan_replay("replay.vhr", &index, message, sizeof message);
  if (open_replay("replay.vhr", nullptr, message, sizeof message) && start_replay(message, sizeof message)) {
    for (long f = 0; f < FRAMES_PLAYED && play_replay_frame() == RS_FRAME; f++) {
      char problem[120];
      if (!check_world(problem, sizeof problem)) {
        std::fprintf(stderr, "fuzz: frame %ld: %s\n", f + 1, problem);
        std::abort();
      }
    }
  }
  close_replay();
  return 0;
}
