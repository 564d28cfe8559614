// sound: named samples played on any free channel, on SDL_mixer.
#include "platform/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace platform {

// A sample is the mixer's chunk; the game only ever holds the pointer.
struct Sample : Mix_Chunk {};

namespace {
bool audio_open = false;
}

bool sound_open(int rate, int channels) {
  if (audio_open) return true;
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
  return static_cast<Sample*>(Mix_LoadWAV(resolved));
}

void sample_play(Sample* sample) {
  if (!audio_open || !sample) return;
  Mix_PlayChannel(-1, sample, 0);
}

void sample_free(Sample* sample) {
  if (sample) Mix_FreeChunk(sample);
}

void sound_close() {
  if (!audio_open) return;
  Mix_HaltChannel(-1);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audio_open = false;
}

}  // namespace platform
