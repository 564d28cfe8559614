// test support: PNG screenshots read back through libpng and measured by region.
#include "support/picture.h"

#include <png.h>

#include <cstring>

namespace vurkhold::test {

bool read_picture(const std::string& path, Picture* picture) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  png.format = PNG_FORMAT_RGB;
  picture->width = static_cast<int>(png.width);
  picture->height = static_cast<int>(png.height);
  picture->rgb.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, picture->rgb.data(), 0, nullptr)) {
    png_image_free(&png);
    return false;
  }
  return true;
}

// The window is 640 x 480 under the test display; a larger drawable scales the screen
// coordinates along.
double share(const Picture& picture, int x0, int y0, int x1, int y1, PixelTest test) {
  if (picture.width == 0 || x1 <= x0 || y1 <= y0) return 0.0;
  const double sx = picture.width / 640.0;
  const double sy = picture.height / 480.0;
  long hits = 0, all = 0;
  for (int row = static_cast<int>(y0 * sy); row < static_cast<int>(y1 * sy); row++) {
    for (int col = static_cast<int>(x0 * sx); col < static_cast<int>(x1 * sx); col++) {
      if (row < 0 || col < 0 || row >= picture.height || col >= picture.width) continue;
      const uint8_t* p = &picture.rgb[(static_cast<size_t>(picture.height - 1 - row) * picture.width + col) * 3];
      all++;
      if (test(p[0], p[1], p[2])) hits++;
    }
  }
  return all ? static_cast<double>(hits) / all : 0.0;
}

}  // namespace vurkhold::test
