// sound: named samples played on any free channel, on SDL_mixer.
#include "platform/platform.h"

#include <new>

#include <SDL.h>
#include <SDL_mixer.h>

namespace platform {

// The game holds samples as opaque handles; only this file sees the mixer's chunk.
struct Sample {
  Mix_Chunk* chunk;
};

namespace {
bool audio_open = false;
bool sound_muted = false;
// A step the match plays again when it goes back: its sounds were heard the first time.
bool step_replayed = false;
long started = 0;
}

bool sound_open(int rate, int channels, bool silent) {
  if (audio_open) return true;
  if (silent) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  if (Mix_OpenAudio(rate, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  Mix_AllocateChannels(channels);
  audio_open = true;
  return true;
}

Sample* sample_load(const char* path) {
  if (!audio_open || !path) return nullptr;
  char resolved[MAX_PATH_LENGTH * 4];
  if (!resolve_path(path, resolved, sizeof resolved)) return nullptr;
  Mix_Chunk* chunk = Mix_LoadWAV(resolved);
  if (!chunk) return nullptr;
  Sample* sample = new (std::nothrow) Sample{chunk};
  if (!sample) Mix_FreeChunk(chunk);
  return sample;
}

void set_sound_muted(bool muted) { sound_muted = muted; }

void set_step_replayed(bool replayed) { step_replayed = replayed; }

long samples_started() { return started; }

void sample_play(Sample* sample) {
  if (!audio_open || !sample || sound_muted || step_replayed) return;
  started++;
  Mix_PlayChannel(-1, sample->chunk, 0);
}

void sample_free(Sample* sample) {
  if (!sample) return;
  Mix_FreeChunk(sample->chunk);
  delete sample;
}

void sound_close() {
  if (!audio_open) return;
  Mix_HaltChannel(-1);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audio_open = false;
}

}  // namespace platform
