// screenshots: the back buffer of the drawable as a PNG file.
#include <GL/gl.h>
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "render/render.h"

namespace vurkhold {

bool save_screenshot(const char* path, char* error, int error_size) {
  int width = 0, height = 0;
  give_drawable_size(&width, &height);
  // Taken when the player asks or the program ends, never inside the frame loop's work.
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(width);
  png.height = static_cast<png_uint_32>(height);
  png.format = PNG_FORMAT_RGB;
  // GL's rows run bottom up; a negative stride writes them top down.
  const png_int_32 stride = -static_cast<png_int_32>(width * 3);
  errno = 0;
  if (png_image_write_to_file(&png, path, 0, rgb.data(), stride, nullptr)) return true;
  std::snprintf(error, error_size, "can't write the screenshot '%s': %s", path,
                errno ? std::strerror(errno) : png.message);
  png_image_free(&png);
  return false;
}

}  // namespace vurkhold
