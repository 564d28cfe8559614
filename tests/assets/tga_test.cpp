// TGA images: refused files with their exact messages, pixels in the order stored, and
// pictures written by ImageMagick.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "assets/assets.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

// A TGA file: header fields, then pixel bytes counting up from 7 (mod 251, so rows do not
// repeat); `extra` bytes more or fewer than the header asks for, or the whole file cut.
struct Tga {
  uint8_t id = 0, colour_map = 0, type = 2;
  int width = 64, height = 64;
  uint8_t bits = 24, descriptor = 0;
  int extra = 0;
  long cut = -1;
};

std::string tga(const Tga& t) {
  std::vector<uint8_t> b = {t.id, t.colour_map, t.type, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(t.width),
                            static_cast<uint8_t>(t.width >> 8), static_cast<uint8_t>(t.height),
                            static_cast<uint8_t>(t.height >> 8), t.bits, t.descriptor};
  const long n = static_cast<long>(t.width) * t.height * (t.bits / 8) + t.id + t.extra;
  for (long i = 0; i < n; i++) b.push_back(static_cast<uint8_t>((i + 7) % 251));
  if (t.cut >= 0) b.resize(static_cast<size_t>(t.cut));
  return std::string(b.begin(), b.end());
}

TEST(TgaTexture, RefusedFilesNameTheirFault) {
  test::TempDir dir;
  test::MessageCapture messages;
  const std::string long_name = std::string(120, 'x') + ".tga";
  const struct {
    const char* name;
    Tga file;
    std::string file_name;
    const char* message;  // %s is the path; the whole message is cut to 79 characters
  } rows[] = {
      {"type 1", {.type = 1, .bits = 8}, "a.tga", "File %s is bad image type."},
      {"type 10", {.type = 10}, "a.tga", "File %s is bad image type."},
      {"colour map", {.colour_map = 1}, "a.tga", "File %s is bad image type."},
      {"1024 x 512", {.width = 1024, .height = 512}, "a.tga", "Image size 1024X512 in file %s is not suportet."},
      {"100 x 64", {.width = 100}, "a.tga", "Image size 100X64 in file %s is not suportet."},
      {"16-bit", {.bits = 16}, "a.tga", "File %s has bad color depth."},
      {"one byte short", {.extra = -1}, "a.tga", "File %s has bad image data."},
      // The picture is taken from offset 18, so the ID leaves its last bytes missing.
      {"ID, picture short", {.id = 5, .extra = -6}, "a.tga", "File %s has bad image data."},
      {"17 bytes", {.cut = 17}, "a.tga", "File %s is bad image type."},
      {"long name", {.width = 1024, .height = 512}, long_name, "Image size 1024X512 in file %s is not suportet."},
  };
  for (const auto& row : rows) {
    const std::string path = dir.file(row.file_name);
    test::write_file(path, tga(row.file));
    unsigned id = 4242;
    EXPECT_EQ(load_tga_texture(path.c_str(), &id), 0) << row.name;
    EXPECT_EQ(id, 4242u) << row.name;
    char full[400];
    std::snprintf(full, sizeof full, row.message, path.c_str());
    EXPECT_EQ(messages.last(), "ERROR: " + std::string(full).substr(0, 79)) << row.name;
  }
  EXPECT_EQ(messages.count(), static_cast<int>(std::size(rows)));
}

// Each file's pixels as read: the crafted files hold their bytes from offset 18 in
// stored order with red and blue swapped (the first texel of an RGB file is bytes 20, 19, 18),
// so top-down rows are not turned over and image ID bytes become the first pixels.
// The im_ fixtures were written by ImageMagick 6.9.11 (convert -size WxH 'xc:GROUND'
// -draw 'point X,Y' ... -depth 8 -compress none), which stores the top row first.
TEST(TgaTexture, PixelsInStoredOrderRedFirst) {
  test::TempDir dir;
  test::MessageCapture messages;
  struct Dot {
    int x, y;
    unsigned char value[4];
  };
  const struct {
    const char* name;
    unsigned format;
    int w, h, bytes;
    unsigned char ground[4];  // a fixture: one colour with dots on it
    std::vector<Dot> dots;
    Tga file = {.type = 0};  // a crafted file unless its type is 0
  } rows[] = {
      {"256 x 128 top-down", TEXTURE_RGB, 256, 128, 3, {}, {}, {.width = 256, .height = 128, .descriptor = 0x20}},
      {"8-bit grey", TEXTURE_ALPHA, 64, 64, 1, {}, {}, {.type = 3, .bits = 8}},
      {"image ID", TEXTURE_RGB, 64, 64, 3, {}, {}, {.id = 5}},
      {"im_rgb_64x128.tga", TEXTURE_RGB, 64, 128, 3, {10, 20, 30},
       {{0, 0, {200, 100, 50}}, {63, 127, {1, 2, 3}}, {5, 7, {90, 180, 240}}}},
      {"im_rgba_128x64.tga", TEXTURE_RGBA, 128, 64, 4, {10, 20, 30, 128},
       {{0, 0, {200, 100, 50, 255}}, {127, 63, {1, 2, 3, 255}}}},
      {"im_gray_64x64.tga", TEXTURE_ALPHA, 64, 64, 1, {40}, {{0, 0, {250}}, {63, 63, {3}}}},
  };
  for (const auto& row : rows) {
    std::string path = test::fixture_path(std::string("tga/") + row.name);
    std::vector<unsigned char> want;
    for (int i = 0; i < row.w * row.h; i++) want.insert(want.end(), row.ground, row.ground + row.bytes);
    for (const Dot& d : row.dots) std::memcpy(&want[(d.y * row.w + d.x) * row.bytes], d.value, row.bytes);
    if (row.file.type) {
      const std::string bytes = tga(row.file);
      test::write_file(path = dir.file("t.tga"), bytes);
      for (size_t i = 0; i < want.size(); i++) want[i] = bytes[18 + (row.bytes == 3 ? i + 2 - 2 * (i % 3) : i)];
    }
    TGA_IMAGE image;
    ASSERT_EQ(read_tga_image(path.c_str(), &image), 1) << row.name;
    EXPECT_EQ(std::tuple(image.format, image.width, image.height), std::tuple(row.format, row.w, row.h)) << row.name;
    EXPECT_EQ(std::vector<unsigned char>(image.pixels, image.pixels + want.size()), want) << row.name;
    free_tga_image(&image);
  }
  EXPECT_EQ(messages.count(), 0);
}

}  // namespace
}  // namespace vurkhold
