// vurkhold-icon: the desktop icons, the vurk as the game folder holds it (its model read by
// the game's own reader, in the first frame of its idle, and its texture), drawn in
// software so the build needs no display.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "platform/platform.h"

using namespace vurkhold;

namespace {

const char* const usage =
    "Usage: vurkhold-icon GAME_DIR OUT_DIR\n"
    "Draws the vurk of GAME_DIR (models/vurk2.m3d, textures/vurk.tga) into\n"
    "OUT_DIR/SIZExSIZE/vurkhold.png for the sizes 48, 128 and 256.\n";

constexpr int SIZES[] = {48, 128, 256};
// Every pixel averages SUPER x SUPER samples, so the edges fade into the transparent
// background instead of stepping.
constexpr int SUPER = 4;
// Body, head, rope arm and gun arm; the jetpack (mesh 4) is worn only with that item.
constexpr int MESHES = 4;
// A three-quarter view from the vurk's front left and a little above, lit from the upper
// left as icons are.
constexpr float YAW = 215.0f, PITCH = 15.0f;
constexpr float LIGHT[3] = {-0.45f, 0.65f, 0.61f};
constexpr float AMBIENT = 0.4f;
constexpr float MARGIN = 0.06f;

struct CORNER {
  float x, y, z;  // view space: x right, y up, z towards the eye
  float u, v;
};

struct TEXTURE {
  int w, h, channels;
  const unsigned char* texels;
  // The texel under s, t repeated over the plane, rows as stored: the game hands them to
  // GL in that order, so t = 0 is the first row stored.
  const unsigned char* at(float s, float t) const {
    const int x = static_cast<int>(std::floor(s * w)) % w, y = static_cast<int>(std::floor(t * h)) % h;
    return texels + (static_cast<size_t>(y < 0 ? y + h : y) * w + (x < 0 ? x + w : x)) * channels;
  }
};

CORNER to_view(const VERTEX& p) {
  const float a = YAW * 3.14159265f / 180.0f, b = PITCH * 3.14159265f / 180.0f;
  const float x = p.p.x * std::cos(a) + p.p.z * std::sin(a), z = -p.p.x * std::sin(a) + p.p.z * std::cos(a);
  return {x, p.p.y * std::cos(b) - z * std::sin(b), p.p.y * std::sin(b) + z * std::cos(b), p.u, p.w};
}

// Flat shading by the face's normal as seen: a face turned away from the eye shows its
// other side, which faces the eye.
float shade(const CORNER& a, const CORNER& b, const CORNER& c) {
  const float e[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, f[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
  float n[3] = {e[1] * f[2] - e[2] * f[1], e[2] * f[0] - e[0] * f[2], e[0] * f[1] - e[1] * f[0]};
  const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (length <= 0.0f) return AMBIENT;
  if (n[2] < 0.0f) n[0] = -n[0], n[1] = -n[1], n[2] = -n[2];
  const float lit = (n[0] * LIGHT[0] + n[1] * LIGHT[1] + n[2] * LIGHT[2]) / length;
  return AMBIENT + (1.0f - AMBIENT) * std::max(lit, 0.0f);
}

struct CANVAS {
  int size;  // in samples
  std::vector<float> depth;
  std::vector<float> rgb;
  std::vector<unsigned char> covered;
};

// Fills the triangle's samples nearer than what is there. The view is orthographic, so
// depth and texture coordinates interpolate linearly on the screen.
void fill(CANVAS* c, const CORNER (&t)[3], float light, const TEXTURE& tex) {
  const float area = (t[1].x - t[0].x) * (t[2].y - t[0].y) - (t[2].x - t[0].x) * (t[1].y - t[0].y);
  if (std::fabs(area) < 1e-12f) return;
  const int x0 = std::max(0, static_cast<int>(std::floor(std::min({t[0].x, t[1].x, t[2].x}))));
  const int x1 = std::min(c->size - 1, static_cast<int>(std::ceil(std::max({t[0].x, t[1].x, t[2].x}))));
  const int y0 = std::max(0, static_cast<int>(std::floor(std::min({t[0].y, t[1].y, t[2].y}))));
  const int y1 = std::min(c->size - 1, static_cast<int>(std::ceil(std::max({t[0].y, t[1].y, t[2].y}))));
  for (int y = y0; y <= y1; y++)
    for (int x = x0; x <= x1; x++) {
      const float px = x + 0.5f, py = y + 0.5f;
      float w[3];
      for (int k = 0; k < 3; k++) {
        const CORNER &a = t[(k + 1) % 3], &b = t[(k + 2) % 3];
        w[k] = ((b.x - a.x) * (py - a.y) - (px - a.x) * (b.y - a.y)) / area;
      }
      if (w[0] < 0.0f || w[1] < 0.0f || w[2] < 0.0f) continue;
      const size_t i = static_cast<size_t>(y) * c->size + x;
      const float z = w[0] * t[0].z + w[1] * t[1].z + w[2] * t[2].z;
      if (c->covered[i] && z <= c->depth[i]) continue;
      const unsigned char* texel =
          tex.at(w[0] * t[0].u + w[1] * t[1].u + w[2] * t[2].u, w[0] * t[0].v + w[1] * t[1].v + w[2] * t[2].v);
      c->covered[i] = 1;
      c->depth[i] = z;
      for (int k = 0; k < 3; k++) c->rgb[i * 3 + k] = texel[tex.channels == 1 ? 0 : k] / 255.0f * light;
    }
}

bool write_png(const std::string& path, int size, const std::vector<unsigned char>& rgba) {
  char error[1200];
  const bool saved = platform::write_png(path.c_str(), size, size, 4, rgba.data(), 0, error, sizeof error);
  if (!saved) std::fprintf(stderr, "vurkhold-icon: %s\n", error);
  return saved;
}

// The model's triangles in view space, scaled and centred to fill a canvas of `samples`
// samples a side within the margin, y turned down the image.
std::vector<CORNER> place(MODEL* m, int samples) {
  std::vector<CORNER> corners;
  for (int i = 0; i < std::min(m->number_of_meshes, MESHES); i++) {
    const MESH& mesh = m->mesh[i];
    for (int p = 0; p < mesh.number_of_polygons; p++)
      for (const VERTEX* v : mesh.polygon[p].vertex) corners.push_back(to_view(*v));
  }
  float low[2] = {1e30f, 1e30f}, high[2] = {-1e30f, -1e30f};
  for (const CORNER& c : corners) {
    low[0] = std::min(low[0], c.x), high[0] = std::max(high[0], c.x);
    low[1] = std::min(low[1], c.y), high[1] = std::max(high[1], c.y);
  }
  const float extent = std::max(high[0] - low[0], high[1] - low[1]);
  const float scale = samples * (1.0f - 2.0f * MARGIN) / extent;
  for (CORNER& c : corners) {
    c.x = samples / 2.0f + (c.x - (low[0] + high[0]) / 2.0f) * scale;
    c.y = samples / 2.0f - (c.y - (low[1] + high[1]) / 2.0f) * scale;
  }
  return corners;
}

bool draw_icon(MODEL* m, const TEXTURE& tex, int size, const std::string& path) {
  CANVAS c{size * SUPER, {}, {}, {}};
  const size_t samples = static_cast<size_t>(c.size) * c.size;
  c.depth.assign(samples, 0.0f);
  c.rgb.assign(samples * 3, 0.0f);
  c.covered.assign(samples, 0);
  const std::vector<CORNER> corners = place(m, c.size);
  for (size_t i = 0; i + 2 < corners.size(); i += 3) {
    const CORNER t[3] = {corners[i], corners[i + 1], corners[i + 2]};
    fill(&c, t, shade(t[0], t[1], t[2]), tex);
  }
  // Each pixel: the mean colour of its covered samples, and their share as its alpha.
  std::vector<unsigned char> rgba(static_cast<size_t>(size) * size * 4);
  for (int y = 0; y < size; y++)
    for (int x = 0; x < size; x++) {
      float sum[3] = {0, 0, 0};
      int n = 0;
      for (int sy = 0; sy < SUPER; sy++)
        for (int sx = 0; sx < SUPER; sx++) {
          const size_t i = static_cast<size_t>(y * SUPER + sy) * c.size + x * SUPER + sx;
          if (!c.covered[i]) continue;
          n++;
          for (int k = 0; k < 3; k++) sum[k] += c.rgb[i * 3 + k];
        }
      unsigned char* out = &rgba[(static_cast<size_t>(y) * size + x) * 4];
      for (int k = 0; k < 3; k++)
        out[k] = n ? static_cast<unsigned char>(std::lround(std::min(sum[k] / n, 1.0f) * 255)) : 0;
      out[3] = static_cast<unsigned char>(n * 255 / (SUPER * SUPER));
    }
  return write_png(path, size, rgba);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(usage, stdout);
    return 0;
  }
  if (argc != 3) {
    std::fputs(usage, stderr);
    return 2;
  }
  platform::set_dialogs_enabled(false);
  const std::string game = argv[1], out = argv[2];
  MODEL model;
  init_model(&model);
  TGA_IMAGE image{};
  if (!load_milkshape_model(&model, (game + "/models/vurk2.m3d").c_str()) ||
      !read_tga_image((game + "/textures/vurk.tga").c_str(), &image))
    return 1;
  set_model_frame(&model, 1.0f);
  const TEXTURE tex{image.width, image.height, image.bits / 8, image.pixels};
  int status = 0;
  for (int size : SIZES) {
    char folder[32];
    std::snprintf(folder, sizeof folder, "/%dx%d", size, size);
    std::error_code ignored;
    std::filesystem::create_directories(out + folder, ignored);
    if (!draw_icon(&model, tex, size, out + folder + "/vurkhold.png")) status = 1;
  }
  free_tga_image(&image);
  free_model(&model);
  return status;
}
