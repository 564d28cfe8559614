// screenshots: the back buffer of the drawable as a PNG file.
#include <GL/gl.h>

#include <cstdio>
#include <vector>

#include "platform/platform.h"
#include "render/render.h"

namespace vurkhold {

bool save_screenshot(const char* path, char* error, int error_size) {
  int width = 0, height = 0;
  give_drawable_size(&width, &height);
  // Taken when the player asks or the program ends, never inside the frame loop's work.
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  // GL's rows run bottom up; a negative stride writes them top down.
  const bool saved = platform::write_png(path, width, height, 3, rgb.data(), -width * 3, error, error_size);
  return saved;
}

}  // namespace vurkhold
