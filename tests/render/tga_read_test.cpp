// TGA reading without a GL context: header checks with their messages, pixel order and
// the colour swap, and files that are short, odd or long-named.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "render/render.h"
#include "render/tga_test_image.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

using tga_test::file_bytes;
using tga_test::Header;
using test::MessageCapture;
using test::TempDir;
using test::write_file;

class TgaRead : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = dir.file(name);
    write_file(path, bytes);
    return path;
  }
  TempDir dir;
  MessageCapture messages;
  TGA_IMAGE image{};
};

TEST(TgaSize, OnlyPowersOfTwoFrom64To512) {
  for (int x : {64, 128, 256, 512}) EXPECT_EQ(tarkista_koko(x), 1) << x;
  for (int x : {0, -64, 1, 32, 63, 65, 100, 127, 192, 511, 513, 1024, 65535}) EXPECT_EQ(tarkista_koko(x), 0) << x;
}

TEST_F(TgaRead, TrueColourFirstTexelIsBytes20_19_18) {
  Header h;
  h.width = 256;
  h.height = 128;
  std::vector<uint8_t> bytes = file_bytes(h);
  std::string path = write("a.tga", bytes);
  ASSERT_EQ(read_tga_image(path.c_str(), &image), 1);
  EXPECT_EQ(image.width, 256);
  EXPECT_EQ(image.height, 128);
  EXPECT_EQ(image.format, unsigned{GL_RGB});
  EXPECT_EQ(texFormat, unsigned{GL_RGB});
  EXPECT_EQ(image.pixels[0], bytes[20]);
  EXPECT_EQ(image.pixels[1], bytes[19]);
  EXPECT_EQ(image.pixels[2], bytes[18]);
  // The last pixel is swapped as well, and nothing else moved.
  const size_t last = 256u * 128u * 3u - 3u;
  EXPECT_EQ(image.pixels[last], bytes[18 + last + 2]);
  EXPECT_EQ(image.pixels[last + 1], bytes[18 + last + 1]);
  EXPECT_EQ(image.pixels[last + 2], bytes[18 + last]);
  free_tga_image(&image);
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_EQ(messages.count(), 0);
}

TEST_F(TgaRead, ThirtyTwoBitSwapsRedAndBlueAndKeepsAlpha) {
  Header h;
  h.bits = 32;
  h.height = 128;
  std::vector<uint8_t> bytes = file_bytes(h);
  std::string path = write("a.tga", bytes);
  ASSERT_EQ(read_tga_image(path.c_str(), &image), 1);
  EXPECT_EQ(image.format, unsigned{GL_RGBA});
  for (size_t i : {size_t{0}, size_t{4} * 64 * 77 + 12}) {
    EXPECT_EQ(image.pixels[i], bytes[18 + i + 2]);
    EXPECT_EQ(image.pixels[i + 1], bytes[18 + i + 1]);
    EXPECT_EQ(image.pixels[i + 2], bytes[18 + i]);
    EXPECT_EQ(image.pixels[i + 3], bytes[18 + i + 3]);
  }
  free_tga_image(&image);
}

TEST_F(TgaRead, EightBitImagesBecomeAlphaWhateverTheType) {
  for (uint8_t type : {uint8_t{3}, uint8_t{2}}) {
    Header h;
    h.image_type = type;
    h.bits = 8;
    std::vector<uint8_t> bytes = file_bytes(h);
    std::string path = write("grey.tga", bytes);
    ASSERT_EQ(read_tga_image(path.c_str(), &image), 1) << int{type};
    EXPECT_EQ(image.format, unsigned{GL_ALPHA});
    EXPECT_EQ(std::memcmp(image.pixels, bytes.data() + 18, 64 * 64), 0);
    free_tga_image(&image);
  }
  // A grey type with 24 bits is read as colour.
  Header h;
  h.image_type = 3;
  std::string path = write("grey24.tga", file_bytes(h));
  ASSERT_EQ(read_tga_image(path.c_str(), &image), 1);
  EXPECT_EQ(image.format, unsigned{GL_RGB});
  free_tga_image(&image);
}

TEST_F(TgaRead, RowsStayInStoredOrderWhateverTheDescriptor) {
  Header bottom_up;
  Header top_down;
  top_down.descriptor = 0x20;
  std::string a = write("a.tga", file_bytes(bottom_up));
  std::string b = write("b.tga", file_bytes(top_down));
  TGA_IMAGE other{};
  ASSERT_EQ(read_tga_image(a.c_str(), &image), 1);
  ASSERT_EQ(read_tga_image(b.c_str(), &other), 1);
  EXPECT_EQ(std::memcmp(image.pixels, other.pixels, 64 * 64 * 3), 0);
  free_tga_image(&image);
  free_tga_image(&other);
}

// The pixels are taken from offset 18 whatever the ID length says: the ID bytes become
// the first pixels and the image's last bytes fall off the end.
TEST_F(TgaRead, ImageIdBytesAreTakenAsThePictureStart) {
  Header h;
  h.id_length = 5;
  std::vector<uint8_t> bytes = file_bytes(h);  // ID, then the whole picture
  std::string path = write("id.tga", bytes);
  ASSERT_EQ(read_tga_image(path.c_str(), &image), 1);
  EXPECT_EQ(image.pixels[0], bytes[20]);
  EXPECT_EQ(image.pixels[2], bytes[18]);
  const size_t last = 64u * 64u * 3u - 3u;
  EXPECT_EQ(image.pixels[last], bytes[18 + last + 2]);  // not the file's last pixel
  EXPECT_NE(image.pixels[last], bytes[bytes.size() - 1]);
  free_tga_image(&image);

  // With the ID and the picture's last byte missing, the pixel block is short.
  bytes.resize(bytes.size() - 6);
  path = write("id_short.tga", bytes);
  EXPECT_EQ(read_tga_image(path.c_str(), &image), 0);
  EXPECT_EQ(messages.last(), "ERROR: File " + path + " has bad image data.");
  EXPECT_EQ(image.pixels, nullptr);
}

struct Refusal {
  const char* what;
  Header header;
  int extra;    // pixel bytes beyond (or short of) what the header asks for
  long cut_to;  // >= 0: the file is cut to this many bytes
  const char* message;  // %s is the file's path
};

Header with(uint8_t cmap, uint8_t type, int w, int h, uint8_t bits) {
  Header x;
  x.colour_map_type = cmap;
  x.image_type = type;
  x.width = w;
  x.height = h;
  x.bits = bits;
  return x;
}

TEST_F(TgaRead, RefusedFilesNameTheirFault) {
  const Refusal cases[] = {
      {"colour-mapped type", with(0, 1, 64, 64, 8), 0, -1, "File %s is bad image type."},
      {"run-length type", with(0, 10, 64, 64, 24), 0, -1, "File %s is bad image type."},
      {"colour map present", with(1, 2, 64, 64, 24), 0, -1, "File %s is bad image type."},
      {"grey run-length", with(0, 11, 64, 64, 8), 0, -1, "File %s is bad image type."},
      {"1024 x 512", with(0, 2, 1024, 512, 24), 0, -1, "Image size 1024X512 in file %s is not suportet."},
      {"100 x 64", with(0, 2, 100, 64, 24), 0, -1, "Image size 100X64 in file %s is not suportet."},
      {"64 x 32", with(0, 2, 64, 32, 24), 0, -1, "Image size 64X32 in file %s is not suportet."},
      {"16-bit", with(0, 2, 64, 64, 16), 0, -1, "File %s has bad color depth."},
      {"0-bit", with(0, 2, 64, 64, 0), 0, -1, "File %s has bad color depth."},
      {"one byte short", with(0, 2, 64, 64, 24), -1, -1, "File %s has bad image data."},
      {"32-bit one byte short", with(0, 2, 128, 64, 32), -1, -1, "File %s has bad image data."},
      {"grey one byte short", with(0, 3, 64, 64, 8), -1, -1, "File %s has bad image data."},
      {"header only", with(0, 2, 64, 64, 24), 0, 18, "File %s has bad image data."},
      // Shorter than the header: the fields past the end were never read.
      {"17 bytes", with(0, 2, 64, 64, 24), 0, 17, "File %s is bad image type."},
      {"12 bytes", with(0, 2, 64, 64, 24), 0, 12, "File %s is bad image type."},
      {"3 bytes", with(0, 2, 64, 64, 24), 0, 3, "File %s is bad image type."},
      {"empty", with(0, 2, 64, 64, 24), 0, 0, "File %s is bad image type."},
  };
  for (const Refusal& r : cases) {
    std::vector<uint8_t> bytes = file_bytes(r.header, r.extra);
    if (r.cut_to >= 0) bytes.resize(static_cast<size_t>(r.cut_to));
    std::string path = write("bad.tga", bytes);
    texFormat = 12345;
    image.pixels = reinterpret_cast<unsigned char*>(&image);  // must be cleared
    EXPECT_EQ(read_tga_image(path.c_str(), &image), 0) << r.what;
    EXPECT_EQ(image.pixels, nullptr) << r.what;
    char expected[300];
    std::snprintf(expected, sizeof expected, r.message, path.c_str());
    EXPECT_EQ(messages.last(), std::string("ERROR: ") + expected) << r.what;
  }
  EXPECT_EQ(messages.count(), static_cast<int>(std::size(cases)));
}

TEST_F(TgaRead, MissingFile) {
  std::string path = dir.path() + "/nothing.tga";
  EXPECT_EQ(read_tga_image(path.c_str(), &image), 0);
  EXPECT_EQ(messages.last(), "ERROR: Can't open file " + path + ".");
}

TEST_F(TgaRead, NameFoundWithBackslashesAndOtherCase) {
  write("Textures/Font.TGA", file_bytes(Header{}));
  std::string path = dir.path() + "/textures\\font.tga";
  ASSERT_EQ(read_tga_image(path.c_str(), &image), 1);
  free_tga_image(&image);
}

TEST_F(TgaRead, LongFileNameTruncatesTheMessage) {
  const std::string name(120, 'x');
  std::string path = write(name + ".tga", file_bytes(with(0, 2, 1024, 512, 24)));
  EXPECT_EQ(read_tga_image(path.c_str(), &image), 0);
  const std::string full = "ERROR: Image size 1024X512 in file " + path + " is not suportet.";
  const std::string shown = messages.last();
  EXPECT_EQ(shown.size(), std::string("ERROR: ").size() + 79);
  EXPECT_EQ(full.compare(0, shown.size(), shown), 0);

  std::string missing = dir.path() + "/" + std::string(200, 'y') + ".tga";
  EXPECT_EQ(read_tga_image(missing.c_str(), &image), 0);
  EXPECT_EQ(messages.last().size(), std::string("ERROR: ").size() + 79);
}

TEST_F(TgaRead, PixelReadersNeedEveryByte) {
  std::string path = write("raw.bin", std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7});
  for (int bits : {32, 24, 8, 16}) {
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char* enough = getData(f, bits == 32 ? 1 : (bits == 24 ? 2 : 7), bits);
    ASSERT_NE(enough, nullptr) << bits;
    // Any depth other than 32 and 24 reads one grey byte per pixel.
    EXPECT_EQ(texFormat, bits == 32 ? unsigned{GL_RGBA} : bits == 24 ? unsigned{GL_RGB} : unsigned{GL_ALPHA});
    if (bits == 24) {
      const unsigned char expected[6] = {3, 2, 1, 6, 5, 4};
      EXPECT_EQ(std::memcmp(enough, expected, 6), 0);
    }
    std::free(enough);
    std::rewind(f);
    EXPECT_EQ(getData(f, bits == 32 ? 2 : (bits == 24 ? 3 : 8), bits), nullptr) << bits;
    std::fclose(f);
  }
}

}  // namespace
}  // namespace vurkhold
