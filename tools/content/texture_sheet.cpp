// texture sheet: every texture of a game folder on one labelled PNG, read the way the game
// reads them (first stored row at the top), transparency shown over a checkerboard.
#include <algorithm>
#include <cstdio>
#include <string>

#include "assets/assets.h"
#include "content/content.h"
#include "content/manifest.h"
#include "content/texture_makers.h"

namespace content {

namespace {

constexpr int BOX = 256, GAP = 16, LABEL = 24, COLUMNS = 6;

const char* const fixed_files[] = {"vurk",     "material", "metal", "rock",  "bullet", "rope",   "font",
                                   "particle", "explode",  "bhole", "flare", "gray",   "tausta", "otsikko"};

COLOR texel(const vurkhold::TGA_IMAGE& image, int x, int y) {
  const unsigned char* p = image.pixels + (static_cast<size_t>(y) * image.width + x) * static_cast<size_t>(image.bits / 8);
  if (image.bits == 8) return COLOR{1, 1, 1, p[0] / 255.0f};
  return COLOR{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, image.bits == 32 ? p[3] / 255.0f : 1.0f};
}

// The image fitted into the box at (x0, y0): each sheet pixel averages the texels under
// it, or repeats the nearest one when the image is enlarged.
void draw_image(CANVAS* sheet, const vurkhold::TGA_IMAGE& image, int x0, int y0) {
  const int factor_up = std::max(1, BOX / std::max(image.width, image.height));
  const int factor_down = std::max(1, std::max(image.width, image.height) / BOX);
  const int w = image.width * factor_up / factor_down, h = image.height * factor_up / factor_down;
  x0 += (BOX - w) / 2;
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      COLOR sum = {0, 0, 0, 0};
      for (int j = 0; j < factor_down; j++) {
        for (int i = 0; i < factor_down; i++) {
          const COLOR t = texel(image, (x * factor_down + i) / factor_up, (y * factor_down + j) / factor_up);
          sum = COLOR{sum.r + t.r * t.a, sum.g + t.g * t.a, sum.b + t.b * t.a, sum.a + t.a};
        }
      }
      const float n = static_cast<float>(factor_down * factor_down);
      const bool light = ((x / 8) + (y / 8)) % 2 == 0;
      const COLOR check = light ? rgb(150, 150, 150) : rgb(96, 96, 96);
      const float a = sum.a / n;
      at(*sheet, x0 + x, y0 + y) = COLOR{sum.r / n + check.r * (1 - a), sum.g / n + check.g * (1 - a), sum.b / n + check.b * (1 - a), 1};
    }
  }
}

void draw_label(CANVAS* sheet, const std::string& text, int x0, int y0) {
  GLYPH_IMAGE g;
  if (!render_text(LABEL_FACE, text.c_str(), 13, &g)) return;
  for (int y = 0; y < g.height; y++) {
    for (int x = 0; x < g.width && x0 + x < sheet->width; x++) {
      const int sy = y0 + 14 - g.top + y;
      if (sy < 0 || sy >= sheet->height) continue;
      COLOR& c = at(*sheet, x0 + x, sy);
      c = mix(c, rgb(236, 232, 220), g.coverage[static_cast<size_t>(y) * g.width + x]);
    }
  }
}

}  // namespace

int write_texture_sheet(const char* dir, const char* png_path) {
  std::vector<std::string> names(std::begin(fixed_files), std::end(fixed_files));
  for (const WEAPON_MODEL_ENTRY& w : weapon_models) names.push_back(w.stem);
  const int count = static_cast<int>(names.size());
  const int rows = (count + COLUMNS - 1) / COLUMNS;
  CANVAS sheet = make_canvas(GAP + COLUMNS * (BOX + GAP), GAP + rows * (BOX + LABEL + GAP), rgb(40, 40, 44));
  for (int n = 0; n < count; n++) {
    const std::string path = std::string(dir) + "/textures/" + names[n] + ".tga";
    vurkhold::TGA_IMAGE image;
    if (!vurkhold::read_tga_image(path.c_str(), &image)) {
      std::fprintf(stderr, "vurkhold-content: can't read %s for the sheet\n", path.c_str());
      return 0;
    }
    const int x0 = GAP + (n % COLUMNS) * (BOX + GAP), y0 = GAP + (n / COLUMNS) * (BOX + LABEL + GAP);
    draw_image(&sheet, image, x0, y0);
    char label[96];
    std::snprintf(label, sizeof label, "%s.tga  %dx%d  %d-bit", names[n].c_str(), image.width, image.height, image.bits);
    draw_label(&sheet, label, x0, y0 + BOX + 2);
    vurkhold::free_tga_image(&image);
  }
  return write_png(png_path, sheet);
}

}  // namespace content
