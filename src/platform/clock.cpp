// clock: the millisecond counter the frame loop measures with, replaceable in tests.
#include "platform/platform.h"

#include <SDL.h>

namespace platform {

namespace {
uint32_t (*clock_override)() = nullptr;
}

uint32_t ticks() {
  if (clock_override) return clock_override();
  // SDL_GetTicks64 never wraps; the game's counter is the low 32 bits, which do.
  return static_cast<uint32_t>(SDL_GetTicks64());
}

void set_clock(uint32_t (*clock)()) { clock_override = clock; }

}  // namespace platform
