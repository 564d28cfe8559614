// screenshots: the back buffer of the drawable as a PNG file.
#include <GL/gl.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "render/render.h"

namespace vurkhold {

namespace {

struct SHOT {
  png_image png;
  const unsigned char* rgb;
};

bool write_shot(std::FILE* f, void* context) {
  SHOT* shot = static_cast<SHOT*>(context);
  // GL's rows run bottom up; a negative stride writes them top down.
  const png_int_32 stride = -static_cast<png_int_32>(shot->png.width * 3);
  return png_image_write_to_stdio(&shot->png, f, 0, shot->rgb, stride, nullptr) != 0;
}

}  // namespace

bool save_screenshot(const char* path, char* error, int error_size) {
  int width = 0, height = 0;
  give_drawable_size(&width, &height);
  // Taken when the player asks or the program ends, never inside the frame loop's work.
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  SHOT shot;
  std::memset(&shot.png, 0, sizeof shot.png);
  shot.png.version = PNG_IMAGE_VERSION;
  shot.png.width = static_cast<png_uint_32>(width);
  shot.png.height = static_cast<png_uint_32>(height);
  shot.png.format = PNG_FORMAT_RGB;
  shot.rgb = rgb.data();
  const bool saved = platform::write_file_safely(path, write_shot, &shot, error, error_size);
  png_image_free(&shot.png);
  return saved;
}

}  // namespace vurkhold
