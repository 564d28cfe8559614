// TGA reading: the header checks and the pixel readers that turn an uncompressed TGA file
// into rows of RGBA, RGB or grey bytes ready for upload.
#include <cstdlib>
#include <cstring>

#include "assets/assets.h"

namespace vurkhold {

namespace {

// Reads `size` pixels of `bytes` bytes each with one read into one buffer; null unless
// every byte arrived.
unsigned char* read_pixels(FILE* s, int size, int bytes) {
  if (!s || size <= 0) return nullptr;
  const size_t total = static_cast<size_t>(size) * static_cast<size_t>(bytes);
  unsigned char* data = static_cast<unsigned char*>(std::malloc(total));
  if (!data) return nullptr;
  if (std::fread(data, 1, total, s) != total) {
    std::free(data);
    return nullptr;
  }
  return data;
}

// The file stores blue first; the texture wants red first.
void swap_red_blue(unsigned char* data, int size, int bytes) {
  for (int i = 0; i < size; i++) {
    unsigned char* p = data + static_cast<size_t>(i) * static_cast<size_t>(bytes);
    const unsigned char t = p[0];
    p[0] = p[2];
    p[2] = t;
  }
}

int tga_fail(const char* format, const char* name) {
  char message[80];
  std::snprintf(message, sizeof message, format, name);
  report_error(message);
  return 0;
}

}  // namespace

unsigned texFormat = 0;

int tarkista_koko(int x) { return x == 64 || x == 128 || x == 256 || x == 512; }

unsigned char* getRGBA(FILE* s, int size) {
  unsigned char* data = read_pixels(s, size, 4);
  if (!data) return nullptr;
  swap_red_blue(data, size, 4);
  texFormat = TEXTURE_RGBA;
  return data;
}

unsigned char* getRGB(FILE* s, int size) {
  unsigned char* data = read_pixels(s, size, 3);
  if (!data) return nullptr;
  swap_red_blue(data, size, 3);
  texFormat = TEXTURE_RGB;
  return data;
}

unsigned char* getGray(FILE* s, int size) {
  unsigned char* data = read_pixels(s, size, 1);
  if (!data) return nullptr;
  texFormat = TEXTURE_ALPHA;
  return data;
}

unsigned char* getData(FILE* s, int sz, int iBits) {
  if (iBits == 32) return getRGBA(s, sz);
  if (iBits == 24) return getRGB(s, sz);
  return getGray(s, sz);
}

int read_tga_image(const char* name, TGA_IMAGE* image) {
  image->pixels = nullptr;
  FILE* s = platform::open_file(name, "rb");
  if (!s) return tga_fail("Can't open file %s.", name);

  // ID length, colour map type, image type; then from offset 12 width, height, depth and
  // descriptor. A file too short to hold all of them is no image at all.
  unsigned char type_header[3] = {0, 0, 0};
  unsigned char info[6] = {0, 0, 0, 0, 0, 0};
  const bool whole_header = std::fread(type_header, 1, 3, s) == 3 && std::fseek(s, 12, SEEK_SET) == 0 &&
                            std::fread(info, 1, 6, s) == 6;
  if (!whole_header || type_header[1] != 0 || (type_header[2] != 2 && type_header[2] != 3)) {
    std::fclose(s);
    return tga_fail("File %s is bad image type.", name);
  }

  const int width = info[0] + 256 * info[1];
  const int height = info[2] + 256 * info[3];
  const int bits = info[4];
  if (!tarkista_koko(width) || !tarkista_koko(height)) {
    std::fclose(s);
    char message[80];
    std::snprintf(message, sizeof message, "Image size %dX%d in file %s is not suportet.", width, height, name);
    report_error(message);
    return 0;
  }
  if (bits != 32 && bits != 24 && bits != 8) {
    std::fclose(s);
    return tga_fail("File %s has bad color depth.", name);
  }

  unsigned char* pixels = getData(s, width * height, bits);
  std::fclose(s);
  if (!pixels) return tga_fail("File %s has bad image data.", name);

  image->width = width;
  image->height = height;
  image->bits = bits;
  image->format = texFormat;
  image->pixels = pixels;
  return 1;
}

void free_tga_image(TGA_IMAGE* image) {
  std::free(image->pixels);
  image->pixels = nullptr;
}

}  // namespace vurkhold
