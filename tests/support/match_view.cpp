// GL test support: the GL context, the game folder, the stage, the screen and the text read
// back from GL feedback.
#include "support/match_view.h"

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "match/match.h"
#include "shell/shell.h"
#include "support/arena.h"

namespace vurkhold::test {

namespace {
std::string saved_dir;
unsigned* const scene_textures[] = {&vurk_texture,   &dirt_texture,     &metal_texture,      &rock_texture,
                                    &font_texture,   &rope_texture,     &particle_texture,   &explosion_texture,
                                    &bullet_texture, &bullethole_texture, &gray_texture};
unsigned saved_textures[std::size(scene_textures)];
std::vector<unsigned> made;
struct Settings {
  float ambient;
  CAMERA_MODE mode;
  int sort, show_fps;
} saved;
}  // namespace

bool ensure_gl_context() {
  static const bool ok = [] {
    if (platform::open_window("Vurkhold tests", platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT, false, false) !=
        platform::WindowResult::ok)
      return false;
    initGL();
    ReSizeGLScene(platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT);
    std::atexit([] { platform::close_window(); });
    return true;
  }();
  return ok;
}

bool load_game_folder() {
  if (!ensure_gl_context()) return false;
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd) || chdir(VURK_GAME_DIR) != 0) return false;
  saved_dir = cwd;
  no_sound = 1;
  return initialize() == 1;
}

void release_game_folder() {
  clean_up();
  no_sound = 0;
  if (!saved_dir.empty() && chdir(saved_dir.c_str()) != 0) std::perror("chdir");
}

Stage::Stage() {
  make_arena();
  for (size_t i = 0; i < std::size(scene_textures); i++)
    saved_textures[i] = *scene_textures[i], *scene_textures[i] = flat(0xFF);
  font_texture = flat(0);
  saved = {AMBIENT, camera_mode, sort_particles, SHOW_FPS};
  AMBIENT = 1.0f, camera_mode = CM_FIRST_PERSON, sort_particles = 1;
  vurk_to_render_1 = &vurk[0], vurk_to_render_2 = &vurk[1];
  glFogf(GL_FOG_START, 100.0f);
  glFogf(GL_FOG_END, 200.0f);
}

Stage::~Stage() {
  for (size_t i = 0; i < std::size(scene_textures); i++) *scene_textures[i] = saved_textures[i];
  glDeleteTextures(static_cast<GLsizei>(made.size()), made.data());
  made.clear();
  AMBIENT = saved.ambient, camera_mode = saved.mode, sort_particles = saved.sort, SHOW_FPS = saved.show_fps;
  winner = -1;
  glFogf(GL_FOG_START, 0.0f);
  glFogf(GL_FOG_END, 26.4f);
}

unsigned Stage::texture(int w, int h, const std::vector<uint32_t>& texels) {
  std::vector<unsigned char> bytes;
  for (uint32_t c : texels)
    for (int shift : {24, 16, 8, 0}) bytes.push_back(static_cast<unsigned char>(c >> shift));
  unsigned id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
  made.push_back(id);
  return id;
}

Screen read_screen() {
  Screen s;
  s.rgb.resize(640 * 480 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, s.rgb.data());
  return s;
}

void clear_screen() {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<Polygon> feedback(void (*draw)()) {
  static std::vector<GLfloat> buffer(1 << 22);  // the menu's model alone takes a good part
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint n = glRenderMode(GL_RENDER);
  std::vector<Polygon> polygons;
  EXPECT_GE(n, 0) << "feedback overflow";
  constexpr int CORNER = 11;  // x y z, r g b a, s t r q
  for (GLint i = 0; i < n;) {
    const GLfloat token = buffer[i++];
    int corners = token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN ? 2 : 1;
    if (token == GL_PASS_THROUGH_TOKEN) corners = 0, i++;
    if (token == GL_POLYGON_TOKEN) {
      corners = static_cast<int>(buffer[i++]);
      polygons.emplace_back();
      for (const GLfloat* c = &buffer[i]; c < &buffer[i + CORNER * corners]; c += CORNER)
        polygons.back().push_back({c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]});
    }
    i += CORNER * corners;
  }
  return polygons;
}

std::vector<Line> printed(void (*draw)()) {
  std::vector<Line> lines;
  float last_x = 0, last_y = 0;
  for (const Polygon& p : feedback(draw)) {
    float x0 = 1e9f, x1 = -1e9f, y0 = 1e9f, y1 = -1e9f, s0 = 1e9f, t0 = 1e9f;
    for (const Corner& c : p) {
      x0 = std::min(x0, c.x), x1 = std::max(x1, c.x), y0 = std::min(y0, c.y), y1 = std::max(y1, c.y);
      s0 = std::min(s0, c.s), t0 = std::min(t0, c.t);
    }
    const float size = y1 - y0;
    const int col = static_cast<int>(std::lround(s0 * 8)), row = static_cast<int>(std::lround(t0 * 8));
    // Every corner must carry its own corner of a cell: a glyph turned or mirrored is none.
    bool glyph = size >= 1 && std::fabs(x1 - x0 - size) < 0.05f && col >= 0 && col < 8 && row >= 0 && row < 8;
    for (const Corner& c : p)
      glyph = glyph && std::fabs(c.s - col / 8.0f - (c.x - x0) / size / 8) < 1e-3f &&
              std::fabs(c.t - row / 8.0f - (y1 - c.y) / size / 8) < 1e-3f;
    if (!glyph) continue;
    const char letter = static_cast<char>(32 + 8 * row + col);
    auto byte = [](float c) { return static_cast<uint32_t>(std::lround(std::clamp(c, 0.0f, 1.0f) * 255)); };
    const uint32_t rgb = byte(p[0].r) << 16 | byte(p[0].g) << 8 | byte(p[0].b);
    Line* line = lines.empty() ? nullptr : &lines.back();
    // Mesa feeds a quad back as two triangles of the same glyph.
    if (line && x0 == last_x && y1 == last_y && line->text.back() == letter) continue;
    if (!line || line->y != y1 || line->rgb != rgb || std::fabs(last_x + 0.8f * size - x0) > 0.05f)
      lines.push_back({"", x0, y1, size, rgb});
    lines.back().text += letter;
    last_x = x0, last_y = y1;
  }
  return lines;
}

bool operator==(const Line& a, const Line& b) {
  return a.text == b.text && a.rgb == b.rgb && std::fabs(a.x - b.x) < 0.01f && std::fabs(a.y - b.y) < 0.01f &&
         std::fabs(a.size - b.size) < 0.01f;
}

void PrintTo(const Line& line, std::ostream* out) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, "\"%s\" @%.2f,%.2f size %.2f #%06x", line.text.c_str(), line.x, line.y,
                line.size, line.rgb);
  *out << buffer;
}

}  // namespace vurkhold::test
