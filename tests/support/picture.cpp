// test support: PNG screenshots read back through libpng and measured by region.
#include "support/picture.h"

#include <png.h>

namespace vurkhold::test {

bool read_picture(const std::string& path, Picture* picture) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  png.format = PNG_FORMAT_RGB;
  picture->width = static_cast<int>(png.width);
  picture->height = static_cast<int>(png.height);
  picture->rgb.resize(PNG_IMAGE_SIZE(png));
  return png_image_finish_read(&png, nullptr, picture->rgb.data(), 0, nullptr) != 0;
}

double share(const Picture& picture, int x0, int y0, int x1, int y1, PixelTest test) {
  const double sx = picture.width / 640.0, sy = picture.height / 480.0;
  long hits = 0, all = 0;
  for (int row = static_cast<int>(y0 * sy); row < static_cast<int>(y1 * sy) && row < picture.height; row++)
    for (int col = static_cast<int>(x0 * sx); col < static_cast<int>(x1 * sx) && col < picture.width; col++) {
      const uint8_t* p = &picture.rgb[(static_cast<size_t>(picture.height - 1 - row) * picture.width + col) * 3];
      all++;
      hits += test(p[0], p[1], p[2]) ? 1 : 0;
    }
  return all ? static_cast<double>(hits) / all : 0.0;
}

}  // namespace vurkhold::test
