// pad events: what the platform's event loop hands to the pads. Inside the platform only.
#pragma once

#include <SDL.h>

#include "platform/platform.h"

namespace platform {

// Starts the pads the first time it is called. A system without them simply has no pads.
void start_pads();
// Opens and closes pads as they come and go and turns their events into the game's; false
// for an event the game has no use for (a pad beyond MAX_PADS, an axis, a button it lacks).
bool take_pad_event(const SDL_Event& e, Event* event);

}  // namespace platform
