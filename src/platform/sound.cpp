// sound: named samples played on any free channel, on SDL_mixer, each placed by where it
// happens against the listeners the views give, and the master and effects volumes.
#include "platform/platform.h"

#include <algorithm>
#include <cmath>
#include <new>

#include <SDL.h>
#include <SDL_mixer.h>

namespace platform {

// The game holds samples as opaque handles; only this file sees the mixer's chunk.
struct Sample {
  Mix_Chunk* chunk;
  uint64_t last_ms;   // when it last started, by SDL's clock; 0 before the first
  float last_x, last_y, last_z;
};

namespace {

// The cave is 32 units a side, so no two points in it are more than 32 * sqrt(3), about
// 55 units, apart. Within a vurk's few lengths a sound is at full volume; beyond that it
// falls as 1 / (1 + (d - FULL_REACH) / HALF_STEP): half at 11 units, a quarter at 27 and
// about an eighth (-18 dB) at the far corner, so a blast across the level is faint but
// never lost. The floor only matters outside the box (a free camera clamped at its edge
// never gets there).
constexpr float FULL_REACH = 3.0f;
constexpr float HALF_STEP = 8.0f;
constexpr float QUIETEST = 0.1f;
// A sound hard on one side still reaches the other ear at 30%: the mixer's own positional
// pan silences it, which sounds like a broken headphone. One behind is a little duller.
constexpr float FAR_EAR_CUT = 0.7f;
constexpr float BEHIND_CUT = 0.25f;
constexpr float PI = 3.14159265f;

// A sample started again this soon and this near where it last started adds nothing the
// ear can tell apart, only its own wave on top of itself: a cluster's bomblets bursting
// together would sum past full scale and clip. It is heard once.
constexpr uint64_t ECHO_MS = 100;
constexpr float ECHO_REACH = 4.0f;

// Every sample is mixed at half its level, and what the mixer sums is brought back up on the
// way out, unchanged below the knee and bent smoothly towards full scale above it: blasts
// going off together sound loud, not broken, where a plain sum would clip.
constexpr float HEADROOM = 0.5f;
constexpr float KNEE = 0.7f;

constexpr int MAX_CHANNELS = 64;
constexpr SoundPlacement UNPLACED = {0, 255, 255, 0};

bool audio_open = false;
bool limiting = false;  // the mixer's samples are 16-bit, so HEADROOM and the limiter apply
bool sound_muted = false;
// A step the match plays again when it goes back: its sounds were heard the first time.
bool step_replayed = false;
long started = 0;
int newest = -1;
int channel_count = 0;
int master_percent = 100;
int effects_percent = 100;
Listener heard_from[MAX_LISTENERS];
int heard_from_count = 0;
SoundPlacement told[MAX_CHANNELS];

uint8_t to_byte(float share) { return static_cast<uint8_t>(std::lround(255.0f * std::clamp(share, 0.0f, 1.0f))); }

int mixer_volume(int percent) { return std::clamp(percent, 0, 100) * MIX_MAX_VOLUME / 100; }

void limit(void*, Uint8* stream, int length) {
  Sint16* out = reinterpret_cast<Sint16*>(stream);
  for (int i = 0; i < length / 2; i++) {
    const float x = static_cast<float>(out[i]) / (32768.0f * HEADROOM);
    const float a = std::fabs(x);
    const float y = a <= KNEE ? a : KNEE + (1.0f - KNEE) * std::tanh((a - KNEE) / (1.0f - KNEE));
    out[i] = static_cast<Sint16>(std::lround(std::copysign(std::min(y, 1.0f), x) * 32767.0f));
  }
}

void apply_volumes() {
  if (!audio_open) return;
  Mix_MasterVolume(mixer_volume(master_percent));
  Mix_Volume(-1, mixer_volume(effects_percent));
}

}  // namespace

SoundPlacement place_sound(const Listener* listeners, int count, bool pan, float x, float y, float z) {
  if (!listeners || count <= 0) return UNPLACED;
  const Listener* near = &listeners[0];
  float nearest = 0.0f;
  for (int i = 0; i < count; i++) {
    const Listener& l = listeners[i];
    const float d = (x - l.x) * (x - l.x) + (y - l.y) * (y - l.y) + (z - l.z) * (z - l.z);
    if (i == 0 || d < nearest) nearest = d, near = &l;
  }
  const float distance = std::sqrt(nearest);
  const float loudness = std::max(1.0f / (1.0f + std::max(distance - FULL_REACH, 0.0f) / HALF_STEP), QUIETEST);
  SoundPlacement placed = UNPLACED;
  placed.distance = to_byte(1.0f - loudness);
  if (!pan) return placed;

  const float dx = x - near->x, dz = z - near->z;
  const float across = std::sqrt(dx * dx + dz * dz);
  // Straight above or below the ear comes from no side.
  if (across < 1e-4f) return placed;
  const float side = (dx * near->right_x + dz * near->right_z) / across;
  const float front = (dx * near->ahead_x + dz * near->ahead_z) / across;
  const int angle = static_cast<int>(std::lround(std::atan2(side, front) * 180.0f / PI));
  placed.angle = (angle + 360) % 360;
  const float behind = 1.0f - BEHIND_CUT * std::max(-front, 0.0f);
  const float far_ear = 1.0f - FAR_EAR_CUT * std::fabs(side);
  placed.left = to_byte(behind * (side > 0.0f ? far_ear : 1.0f));
  placed.right = to_byte(behind * (side < 0.0f ? far_ear : 1.0f));
  return placed;
}

bool sound_open(int rate, int channels, bool silent) {
  if (audio_open) return true;
  // A silent open before this one leaves its override behind: the environment decides again.
  if (silent) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
  else SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  if (Mix_OpenAudio(rate, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  channel_count = Mix_AllocateChannels(std::clamp(channels, 1, MAX_CHANNELS));
  int frequency = 0, mixer_channels = 0;
  Uint16 format = 0;
  limiting = Mix_QuerySpec(&frequency, &format, &mixer_channels) && format == AUDIO_S16SYS;
  Mix_SetPostMix(limiting ? limit : nullptr, nullptr);
  for (SoundPlacement& p : told) p = UNPLACED;
  audio_open = true;
  apply_volumes();
  return true;
}

Sample* sample_load(const char* path) {
  if (!audio_open || !path) return nullptr;
  char resolved[MAX_PATH_LENGTH * 4];
  if (!resolve_path(path, resolved, sizeof resolved)) return nullptr;
  Mix_Chunk* chunk = Mix_LoadWAV(resolved);
  if (!chunk) return nullptr;
  if (limiting) {
    Sint16* pcm = reinterpret_cast<Sint16*>(chunk->abuf);
    for (Uint32 i = 0; i < chunk->alen / 2; i++) pcm[i] = static_cast<Sint16>(pcm[i] * HEADROOM);
  }
  Sample* sample = new (std::nothrow) Sample{chunk, 0, 0.0f, 0.0f, 0.0f};
  if (!sample) Mix_FreeChunk(chunk);
  return sample;
}

void set_listeners(const Listener* listeners, int count) {
  heard_from_count = listeners ? std::clamp(count, 0, MAX_LISTENERS) : 0;
  std::copy(listeners, listeners + heard_from_count, heard_from);
}

void set_volumes(int master, int effects) {
  if (master == master_percent && effects == effects_percent) return;
  master_percent = master;
  effects_percent = effects;
  apply_volumes();
}

bool channel_state(int channel, ChannelState* state) {
  if (!audio_open || channel < 0 || channel >= channel_count) return false;
  *state = {Mix_Playing(channel), Mix_Volume(channel, -1), Mix_MasterVolume(-1), told[channel]};
  return true;
}

int newest_channel() { return newest; }

void set_sound_muted(bool muted) { sound_muted = muted; }

void set_step_replayed(bool replayed) { step_replayed = replayed; }

long samples_started() { return started; }

// The mixer drops a channel's effects when it stops, so the placement goes onto a free
// channel before the sample starts there: no sample is heard unplaced for a moment.
int sample_play_at(Sample* sample, float x, float y, float z) {
  if (!audio_open || !sample || sound_muted || step_replayed) return -1;
  started++;
  const uint64_t now = std::max<uint64_t>(SDL_GetTicks64(), 1);
  const float dx = x - sample->last_x, dy = y - sample->last_y, dz = z - sample->last_z;
  if (sample->last_ms && now - sample->last_ms < ECHO_MS && dx * dx + dy * dy + dz * dz < ECHO_REACH * ECHO_REACH)
    return -1;
  const int channel = Mix_GroupAvailable(-1);
  if (channel < 0 || channel >= channel_count) return -1;
  const SoundPlacement p = place_sound(heard_from, heard_from_count, heard_from_count == 1, x, y, z);
  Mix_SetPanning(channel, p.left, p.right);
  Mix_SetDistance(channel, p.distance);
  told[channel] = p;
  newest = Mix_PlayChannel(channel, sample->chunk, 0);
  if (newest >= 0) *sample = {sample->chunk, now, x, y, z};
  return newest;
}

void sample_free(Sample* sample) {
  if (!sample) return;
  Mix_FreeChunk(sample->chunk);
  delete sample;
}

void sound_close() {
  if (!audio_open) return;
  Mix_HaltChannel(-1);
  Mix_SetPostMix(nullptr, nullptr);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audio_open = false;
  limiting = false;
  channel_count = 0;
}

}  // namespace platform
