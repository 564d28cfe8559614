// screen mapping: the game draws a 640 x 480 screen; this places it on the largest centred
// 4 : 3 rectangle of whatever the window's drawable is, leaving black bars around it.
#include "platform/platform.h"

namespace platform {

void give_screen_viewport(int drawable_width, int drawable_height, int x, int y, int width, int height,
                          int out[4]) {
  if (drawable_width < 1) drawable_width = 1;
  if (drawable_height < 1) drawable_height = 1;
  // The 4 : 3 area, in whole pixels, as large as fits.
  long area_w = drawable_width;
  long area_h = static_cast<long>(drawable_width) * 3 / 4;
  if (area_h > drawable_height) {
    area_h = drawable_height;
    area_w = static_cast<long>(drawable_height) * 4 / 3;
  }
  long left = (drawable_width - area_w) / 2;
  long bottom = (drawable_height - area_h) / 2;
  // Screen coordinates have their origin at the bottom left, as the views' viewports do.
  long x0 = left + x * area_w / SCREEN_WIDTH;
  long y0 = bottom + y * area_h / SCREEN_HEIGHT;
  long x1 = left + (x + width) * area_w / SCREEN_WIDTH;
  long y1 = bottom + (y + height) * area_h / SCREEN_HEIGHT;
  out[0] = static_cast<int>(x0);
  out[1] = static_cast<int>(y0);
  out[2] = static_cast<int>(x1 - x0 > 0 ? x1 - x0 : 1);
  out[3] = static_cast<int>(y1 - y0 > 0 ? y1 - y0 : 1);
}

}  // namespace platform
