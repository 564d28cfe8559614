// frame timing: turns clock readings into the milliseconds each frame's logic advances by,
// and counts frames per second.
#include "shell/shell.h"

namespace vurkhold {

unsigned fixed_frame_ms = 0;

// Frames shorter than one tick are merged into the next pass. After a stall the logic
// advances at most 200 ms while FPS_timer takes the whole gap and pays it back 1000 per
// frame, so FPS keeps the counts of the frames before the stall a little longer.
unsigned give_frame_time(uint32_t now, uint32_t* last) {
  uint32_t ms = now - *last;
  if (ms == 0) return 0;
  *last = now;
  FPS_timer += ms;
  FPS_counter += 1;
  if (FPS_timer > 1000) {
    FPS_timer -= 1000;
    FPS = FPS_counter;
    FPS_counter = 0;
  }
  if (ms > 200) ms = 200;
  return ms;
}

}  // namespace vurkhold
