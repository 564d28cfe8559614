// TGA bytes for texture tests: an 18-byte header and pixel data built to order.
#pragma once

#include <cstdint>
#include <vector>

namespace vurkhold::tga_test {

struct Header {
  uint8_t id_length = 0;
  uint8_t colour_map_type = 0;
  uint8_t image_type = 2;
  int width = 64;
  int height = 64;
  uint8_t bits = 24;
  uint8_t descriptor = 0;
};

inline std::vector<uint8_t> header_bytes(const Header& h) {
  std::vector<uint8_t> b(18, 0);
  b[0] = h.id_length;
  b[1] = h.colour_map_type;
  b[2] = h.image_type;
  b[12] = static_cast<uint8_t>(h.width & 0xff);
  b[13] = static_cast<uint8_t>(h.width >> 8);
  b[14] = static_cast<uint8_t>(h.height & 0xff);
  b[15] = static_cast<uint8_t>(h.height >> 8);
  b[16] = h.bits;
  b[17] = h.descriptor;
  return b;
}

// A whole file whose pixel bytes count up from `seed` (mod 251, so rows do not repeat
// with any power-of-two period); `extra` bytes more or less than the image needs.
inline std::vector<uint8_t> file_bytes(const Header& h, int extra = 0, int seed = 7) {
  std::vector<uint8_t> b = header_bytes(h);
  const long n = static_cast<long>(h.width) * h.height * (h.bits / 8) + h.id_length + extra;
  for (long i = 0; i < n; i++) b.push_back(static_cast<uint8_t>((i + seed) % 251));
  return b;
}

}  // namespace vurkhold::tga_test
