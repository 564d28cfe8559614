// PNG files: every picture the game and its tools save, written through the safe write.
#include <png.h>

#include "platform/platform.h"

namespace platform {

bool write_png(const char* path, int width, int height, int channels, const unsigned char* pixels, int stride,
               char* error, int error_size) {
  struct PICTURE {
    png_image png;
    const unsigned char* pixels;
    int stride;
  } picture{{}, pixels, stride};
  picture.png.version = PNG_IMAGE_VERSION;
  picture.png.width = static_cast<png_uint_32>(width);
  picture.png.height = static_cast<png_uint_32>(height);
  picture.png.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  auto write = [](std::FILE* f, void* context) {
    PICTURE* p = static_cast<PICTURE*>(context);
    return png_image_write_to_stdio(&p->png, f, 0, p->pixels, p->stride, nullptr) != 0;
  };
  const bool saved = write_file_safely(path, write, &picture, error, error_size);
  png_image_free(&picture.png);
  return saved;
}

}  // namespace platform
