// vurkhold-preview: draws the models of a game folder with the game's own reader, posing
// and drawing code from the front, the side and above, and writes contact sheets as PNG
// files: every model, the vurk through its two animations and in its other poses, and
// the vurk holding each weapon.
#include <GL/gl.h>
#include <GL/glu.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "assets/assets.h"
#include "content/manifest.h"
#include "platform/platform.h"
#include "render/render.h"
#include "shell/shell.h"

namespace {

using namespace vurkhold;

const char* const usage =
    "Usage: vurkhold-preview [GAME_DIR [OUT_DIR]]\n"
    "Draws the models of GAME_DIR (default: the folder of this program's build) and writes\n"
    "all.png, vurk.png, vurk-large.png and held.png into OUT_DIR, made if missing (default\n"
    "OUT_DIR: /tmp/models).\n"
    "Models are lit from the viewer's upper right; a texture missing from GAME_DIR/textures\n"
    "is drawn plain white. Faces seen from behind show magenta: on a closed solid they are\n"
    "inside out or behind a gap.\n";

// ---- images ----

struct IMAGE {
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
};

IMAGE blank(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  IMAGE im;
  im.w = w;
  im.h = h;
  im.rgb.resize(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0; i < im.rgb.size(); i += 3) {
    im.rgb[i] = r;
    im.rgb[i + 1] = g;
    im.rgb[i + 2] = b;
  }
  return im;
}

void blit(IMAGE* to, const IMAGE& from, int x, int y) {
  for (int row = 0; row < from.h; row++)
    for (int col = 0; col < from.w; col++) {
      const int tx = x + col, ty = y + row;
      if (tx < 0 || ty < 0 || tx >= to->w || ty >= to->h) continue;
      std::memcpy(&to->rgb[(static_cast<size_t>(ty) * to->w + tx) * 3],
                  &from.rgb[(static_cast<size_t>(row) * from.w + col) * 3], 3);
    }
}

int write_png(const IMAGE& im, const std::string& path) {
  char error[1200];
  const bool saved = platform::write_png(path.c_str(), im.w, im.h, 3, im.rgb.data(), im.w * 3, error, sizeof error);
  if (!saved) {
    std::fprintf(stderr, "vurkhold-preview: %s\n", error);
    return 0;
  }
  std::printf("%s\n", path.c_str());
  return 1;
}

// Labels drawn with FreeType; without the font the sheets simply carry none.
FT_Library fonts = nullptr;
FT_Face face = nullptr;

void open_font() {
  if (FT_Init_FreeType(&fonts) != 0) return;
  if (FT_New_Face(fonts, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0, &face) != 0) {
    face = nullptr;
    return;
  }
  FT_Set_Pixel_Sizes(face, 0, 13);
}

void label(IMAGE* im, int x, int y, const std::string& text) {
  if (!face) return;
  int pen = x;
  for (char c : text) {
    if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER) != 0) continue;
    const FT_Bitmap& b = face->glyph->bitmap;
    for (unsigned row = 0; row < b.rows; row++)
      for (unsigned col = 0; col < b.width; col++) {
        const int tx = pen + face->glyph->bitmap_left + static_cast<int>(col);
        const int ty = y + 12 - face->glyph->bitmap_top + static_cast<int>(row);
        if (tx < 0 || ty < 0 || tx >= im->w || ty >= im->h) continue;
        const int a = b.buffer[row * b.pitch + col];
        uint8_t* p = &im->rgb[(static_cast<size_t>(ty) * im->w + tx) * 3];
        for (int k = 0; k < 3; k++) p[k] = static_cast<uint8_t>((p[k] * (255 - a) + 235 * a) / 255);
      }
    pen += static_cast<int>(face->glyph->advance.x >> 6);
  }
}

// ---- drawing ----

enum VIEW { FRONT, BACK, SIDE, LEFT, TOP, QUARTER };
const char* const view_name[] = {"front", "back", "side", "left", "top", "3/4"};

// While measuring, meshes are not drawn: their posed corners, carried through the current
// model-view matrix, widen the box.
bool measuring = false;
bool back_faces = false;
float box_lo[3], box_hi[3];

unsigned white_texture = 0;
unsigned uv_texture = 0;

void transform(const float* mv, const float in[3], float w, float out[3]) {
  for (int i = 0; i < 3; i++) out[i] = mv[i] * in[0] + mv[4 + i] * in[1] + mv[8 + i] * in[2] + mv[12 + i] * w;
}

// Draws a posed mesh with draw_mesh, each corner coloured by a light over the viewer's
// right shoulder falling on the mean of the faces around it.
void lit_mesh(MESH* m, unsigned texture) {
  float mv[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, mv);
  if (measuring) {
    for (int i = 0; i < m->number_of_vertices; i++) {
      const float p[3] = {m->vertex[i].p.x, m->vertex[i].p.y, m->vertex[i].p.z};
      float q[3];
      transform(mv, p, 1, q);
      for (int k = 0; k < 3; k++) {
        box_lo[k] = std::fmin(box_lo[k], q[k]);
        box_hi[k] = std::fmax(box_hi[k], q[k]);
      }
    }
    return;
  }
  if (back_faces) {
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 0, 1);
    draw_mesh(m);
    glEnable(GL_TEXTURE_2D);
    return;
  }
  std::vector<float> normal(static_cast<size_t>(m->number_of_vertices) * 3, 0.0f);
  for (int t = 0; t < m->number_of_polygons; t++) {
    const XYZ a = m->polygon[t].vertex[0]->p, b = m->polygon[t].vertex[1]->p, c = m->polygon[t].vertex[2]->p;
    const float e1[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, e2[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
    const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    for (int k = 0; k < 3; k++) {
      const int v = m->index[3 * t + k];
      for (int j = 0; j < 3; j++) normal[3 * v + j] += n[j];
    }
  }
  const float light[3] = {0.5f, 0.62f, 0.6f};
  for (int i = 0; i < m->number_of_vertices; i++) {
    float n[3];
    transform(mv, &normal[3 * i], 0, n);
    const float l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    const float d = l > 0 ? (n[0] * light[0] + n[1] * light[1] + n[2] * light[2]) / l : 0;
    const float shade = 0.22f + 0.78f * std::fmax(0.0f, d);
    const float clay[3] = {0.92f, 0.86f, 0.78f};
    for (int k = 0; k < 3; k++) m->vertex[i].color[k] = std::fmin(1.0f, shade * clay[k]);
  }
  glBindTexture(GL_TEXTURE_2D, texture);
  glEnableClientState(GL_COLOR_ARRAY);
  draw_mesh(m);
  glDisableClientState(GL_COLOR_ARRAY);
}

void lit_model(MODEL* m, unsigned texture) {
  for (int i = 0; i < m->number_of_meshes; i++) lit_mesh(&m->mesh[i], texture);
}

void view_rotation(VIEW v) {
  switch (v) {
    case FRONT: glRotatef(180, 0, 1, 0); break;
    case BACK: break;
    case SIDE: glRotatef(-90, 0, 1, 0); break;
    case LEFT: glRotatef(90, 0, 1, 0); break;
    case TOP: glRotatef(90, 1, 0, 0); break;
    case QUARTER:
      glRotatef(22, 1, 0, 0);
      glRotatef(215, 0, 1, 0);
      break;
  }
}

// One picture of `draw` seen from `v`, `size` pixels square, framed to what `frame` draws
// (by default what `draw` draws).
IMAGE shoot(const std::function<void()>& draw, VIEW v, int size, bool check_back_faces,
            const std::function<void()>& frame = nullptr) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  view_rotation(v);
  for (int k = 0; k < 3; k++) {
    box_lo[k] = 1e30f;
    box_hi[k] = -1e30f;
  }
  measuring = true;
  if (frame)
    frame();
  else
    draw();
  measuring = false;
  const float cx = (box_lo[0] + box_hi[0]) / 2, cy = (box_lo[1] + box_hi[1]) / 2, cz = (box_lo[2] + box_hi[2]) / 2;
  const float r = 0.56f * std::fmax(std::fmax(box_hi[0] - box_lo[0], box_hi[1] - box_lo[1]), 1e-3f);
  const float depth = std::fmax(box_hi[2] - box_lo[2], 1e-3f);

  glViewport(0, 0, size, size);
  glClearColor(0.16f, 0.18f, 0.22f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  float distance = 0;
  if (v == QUARTER) {
    distance = r / std::tan(14.0f * 3.14159265f / 180) + depth / 2;
    gluPerspective(30, 1, distance * 0.2f, distance * 3 + depth);
  } else {
    glOrtho(-r, r, -r, r, -depth - 10, depth + 10);
  }
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(-cx, -cy, -cz - distance);
  view_rotation(v);
  draw();
  if (check_back_faces) {
    glCullFace(GL_FRONT);
    back_faces = true;
    draw();
    back_faces = false;
    glCullFace(GL_BACK);
  }
  IMAGE im = blank(size, size, 0, 0, 0);
  std::vector<uint8_t> pixels(static_cast<size_t>(size) * size * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, size, size, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  for (int row = 0; row < size; row++)
    std::memcpy(&im.rgb[static_cast<size_t>(row) * size * 3], &pixels[static_cast<size_t>(size - 1 - row) * size * 3],
                static_cast<size_t>(size) * 3);
  return im;
}

// ---- the models ----

std::string game_dir;

unsigned texture_of(const std::string& file) {
  const std::string path = game_dir + "/textures/" + file;
  unsigned id = 0;
  if (std::filesystem::exists(path) && load_tga_texture(path.c_str(), &id)) return id;
  return white_texture;
}

struct SHOWN {
  std::string name;
  MODEL model = {};
  unsigned texture = 0;
  bool sprite = false;
};

int load(SHOWN* s, const std::string& stem, const std::string& texture) {
  s->name = stem;
  const std::string path = game_dir + "/models/" + stem + ".m3d";
  if (!load_milkshape_model(&s->model, path.c_str())) return 0;
  s->texture = texture_of(texture);
  return 1;
}

struct POSE {
  float frame = 1;
  float pitch = 0;
  bool rope_out = false;
  bool jetpack = true;
  unsigned vurk_texture = 0;
};

SHOWN vurk;

// The vurk as a match draws it: body, jetpack, head and arm turned with the pitch, the
// rope arm turned with it or held up, and the weapon in its paws.
void draw_vurk(const POSE& pose, SHOWN* weapon) {
  set_model_frame(&vurk.model, pose.frame);
  const unsigned t = pose.vurk_texture ? pose.vurk_texture : vurk.texture;
  lit_mesh(&vurk.model.mesh[0], t);
  if (pose.jetpack) lit_mesh(&vurk.model.mesh[4], t);
  glPushMatrix();
  glRotatef(pose.pitch, 1, 0, 0);
  lit_mesh(&vurk.model.mesh[1], t);
  lit_mesh(&vurk.model.mesh[3], t);
  glPopMatrix();
  glPushMatrix();
  glRotatef(pose.rope_out ? 90 : pose.pitch, 1, 0, 0);
  lit_mesh(&vurk.model.mesh[2], t);
  glPopMatrix();
  if (weapon) {
    glPushMatrix();
    glRotatef(pose.pitch, 1, 0, 0);
    lit_model(&weapon->model, weapon->texture);
    glPopMatrix();
  }
  if (pose.rope_out && !measuring && !back_faces) {
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 0.85f, 0.3f);
    glLineWidth(2);
    glBegin(GL_LINES);
    glVertex3f(0.25f, 0.45f, 0);
    glVertex3f(0.25f, 0.75f, -0.2f);
    glEnd();
    glEnable(GL_TEXTURE_2D);
  }
}

// A sheet: rows of labelled cells.
struct SHEET {
  IMAGE im;
  int cell;
};

SHEET sheet(int columns, int rows, int cell) {
  return {blank(columns * (cell + 4) + 4, rows * (cell + 20) + 4, 8, 9, 12), cell};
}

void put(SHEET* s, int column, int row, const IMAGE& im, const std::string& text) {
  const int x = 4 + column * (s->cell + 4), y = 4 + row * (s->cell + 20);
  label(&s->im, x + 2, y + 1, text);
  blit(&s->im, im, x, y + 18);
}

unsigned upload_rgb(const std::vector<uint8_t>& pixels, int size) {
  unsigned id;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return id;
}

// A texture of the s, t square: eight columns of hues, eight rows of brightness, lines
// between, for seeing where a model's coordinates fall.
unsigned make_uv_texture() {
  std::vector<uint8_t> p(256 * 256 * 3);
  for (int y = 0; y < 256; y++)
    for (int x = 0; x < 256; x++) {
      const int cx = x / 32, cy = y / 32;
      const float h = cx / 8.0f * 6.0f, f = h - std::floor(h);
      const float rgb[6][3] = {{1, f, 0}, {1 - f, 1, 0}, {0, 1, f}, {0, 1 - f, 1}, {f, 0, 1}, {1, 0, 1 - f}};
      const float* c = rgb[static_cast<int>(h) % 6];
      const float light = 0.35f + 0.65f * (cy + 1) / 8.0f;
      const bool line = x % 32 == 0 || y % 32 == 0;
      for (int k = 0; k < 3; k++)
        p[(y * 256 + x) * 3 + k] = line ? 20 : static_cast<uint8_t>(255 * std::fmin(1.0f, c[k] * light + 0.1f));
    }
  return upload_rgb(p, 256);
}

int run(const std::string& out_dir) {
  const std::string prefix = out_dir + "/";
  white_texture = upload_rgb(std::vector<uint8_t>(4 * 4 * 3, 255), 4);
  uv_texture = make_uv_texture();
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glDisable(GL_FOG);
  glEnable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  // As for bullets in a match: texels of alpha 0.9 or less are cut away.
  glEnable(GL_ALPHA_TEST);

  // The fixed models after the vurk: rock, metal box, arrow.
  std::vector<SHOWN> fixed(3), weapons(std::size(content::weapon_models)), bullets(std::size(content::bullet_models));
  if (!load(&vurk, "vurk2", "vurk.tga") || !load(&fixed[0], "rock", "rock.tga") ||
      !load(&fixed[1], "metalbox", "metal.tga") || !load(&fixed[2], "arrow", "gray.tga"))
    return 0;
  for (size_t i = 0; i < weapons.size(); i++) {
    const std::string stem = content::weapon_models[i].stem;
    if (!load(&weapons[i], stem, stem + ".tga")) return 0;
  }
  for (size_t i = 0; i < bullets.size(); i++) {
    if (!load(&bullets[i], content::bullet_models[i].stem, "bullet.tga")) return 0;
    bullets[i].sprite = content::bullet_models[i].sprite != 0;
  }

  // Every model: front, side and top, three models to a row, the name over the front
  // view. Sprites face +z, so they are seen from behind the model's nose; the metal box is
  // seen from outside, where its walls show their insides, and its radar frame alone.
  {
    struct CELL {
      std::function<void()> draw;
      VIEW view;
      const char* text;
    };
    struct ENTRY {
      std::string name;
      bool closed;  // a solid whose faces seen from behind are a fault
      std::vector<CELL> cells;
    };
    std::vector<ENTRY> entries;
    auto plain = [](SHOWN* m) { return [m] { lit_model(&m->model, m->texture); }; };
    auto three = [](std::function<void()> draw, VIEW first) {
      return std::vector<CELL>{{draw, first, view_name[first]}, {draw, SIDE, "side"}, {draw, TOP, "top"}};
    };
    entries.push_back({"vurk2", true, three([&] { draw_vurk(POSE{}, &weapons[0]); }, FRONT)});
    entries.push_back({"rock", true, three(plain(&fixed[0]), FRONT)});
    SHOWN* box = &fixed[1];
    entries.push_back({"metalbox", false,
                       {{plain(box), QUARTER, "3/4"},
                        {plain(box), TOP, "top"},
                        {[box] { lit_mesh(&box->model.mesh[1], box->texture); }, QUARTER, "radar frame"}}});
    entries.push_back({"arrow", true, three(plain(&fixed[2]), FRONT)});
    for (SHOWN& w : weapons) entries.push_back({w.name, true, three(plain(&w), FRONT)});
    for (SHOWN& b : bullets)
      entries.push_back({b.name + (b.sprite ? " sprite" : ""), !b.sprite, three(plain(&b), b.sprite ? BACK : FRONT)});
    const int per_row = 3, cell = 120;
    const int rows = static_cast<int>((entries.size() + per_row - 1) / per_row);
    SHEET s = sheet(per_row * 3, rows, cell);
    for (size_t i = 0; i < entries.size(); i++)
      for (int k = 0; k < 3; k++) {
        const CELL& c = entries[i].cells[k];
        const int column = static_cast<int>(i % per_row) * 3 + k, row = static_cast<int>(i / per_row);
        put(&s, column, row, shoot(c.draw, c.view, cell, entries[i].closed), k == 0 ? entries[i].name : c.text);
      }
    if (!write_png(s.im, prefix + "all.png")) return 0;
  }

  // The vurk through both animations, then in its other poses.
  {
    const float frames[] = {1, 9, 17, 25, 33, 41, 46, 51, 56, 61, 66};
    const int cell = 150;
    const VIEW views[] = {FRONT, SIDE, TOP, QUARTER};
    SHEET s = sheet(11, 6, cell);
    for (int f = 0; f < 11; f++)
      for (int v = 0; v < 4; v++) {
        POSE pose;
        pose.frame = frames[f];
        char text[64];
        std::snprintf(text, sizeof text, "%s %g %s", frames[f] < 41 ? "idle" : "walk", frames[f], view_name[views[v]]);
        put(&s, f, v, shoot([&] { draw_vurk(pose, &weapons[0]); }, views[v], cell, true), text);
      }
    struct {
      const char* name;
      POSE pose;
      VIEW view;
      bool weapon;
    } extra[] = {{"pitch 60", {1, 60, false, true, 0}, SIDE, true},
                 {"pitch -60", {1, -60, false, true, 0}, SIDE, true},
                 {"pitch 90", {1, 90, false, true, 0}, SIDE, true},
                 {"pitch -90", {1, -90, false, true, 0}, SIDE, true},
                 {"rope out", {1, 0, true, false, 0}, QUARTER, true},
                 {"rope out", {1, 0, true, false, 0}, SIDE, true},
                 {"rope out", {1, 0, true, false, 0}, FRONT, true},
                 {"no jetpack", {1, 0, false, false, 0}, BACK, false},
                 {"jetpack", {1, 0, false, true, 0}, BACK, false},
                 {"uv", {1, 0, false, true, uv_texture}, QUARTER, false},
                 {"uv", {1, 0, false, true, uv_texture}, BACK, false},
                 {"uv", {1, 0, false, true, uv_texture}, FRONT, false},
                 {"uv", {1, 0, false, true, uv_texture}, TOP, false},
                 {"uv", {1, 0, false, true, uv_texture}, SIDE, false},
                 {"pitch 45", {1, 45, false, true, 0}, FRONT, true},
                 {"rope out", {1, 0, true, true, 0}, BACK, true}};
    for (int i = 0; i < 16; i++) {
      const auto& e = extra[i];
      SHOWN* w = e.weapon ? &weapons[0] : nullptr;
      put(&s, i % 11, 4 + i / 11, shoot([&] { draw_vurk(e.pose, w); }, e.view, cell, true),
          std::string(e.name) + " " + view_name[e.view]);
    }
    if (!write_png(s.im, prefix + "vurk.png")) return 0;
  }

  // The vurk large.
  {
    const int cell = 470;
    SHEET s = sheet(4, 3, cell);
    const VIEW views[] = {FRONT, SIDE, BACK, QUARTER};
    for (int v = 0; v < 4; v++) {
      put(&s, v % 2, v / 2, shoot([&] { draw_vurk(POSE{}, &weapons[0]); }, views[v], cell, true), view_name[views[v]]);
      POSE uv;
      uv.vurk_texture = uv_texture;
      put(&s, 2 + v % 2, v / 2, shoot([&] { draw_vurk(uv, nullptr); }, views[v], cell, true),
          std::string("uv ") + view_name[views[v]]);
    }
    POSE rope;
    rope.rope_out = true;
    put(&s, 0, 2, shoot([&] { draw_vurk(rope, &weapons[0]); }, QUARTER, cell, true), "rope out 3/4");
    put(&s, 1, 2, shoot([&] { draw_vurk(rope, &weapons[0]); }, FRONT, cell, true), "rope out front");
    POSE up, down;
    up.pitch = 60;
    down.pitch = -60;
    put(&s, 2, 2, shoot([&] { draw_vurk(up, &weapons[0]); }, QUARTER, cell, true), "pitch 60 3/4");
    put(&s, 3, 2, shoot([&] { draw_vurk(down, &weapons[0]); }, QUARTER, cell, true), "pitch -60 3/4");
    if (!write_png(s.im, prefix + "vurk-large.png")) return 0;
  }

  // The vurk holding each weapon: all of it, then its front half close up.
  {
    const int cell = 150;
    SHEET s = sheet(9, 6, cell);
    for (size_t i = 0; i < weapons.size(); i++) {
      const int column = static_cast<int>(i % 3) * 3, row = static_cast<int>(i / 3);
      auto draw = [&] { draw_vurk(POSE{}, &weapons[i]); };
      auto near = [&] {
        lit_model(&weapons[i].model, 0);
        glPushMatrix();
        glTranslatef(0, 0, -0.1f);
        lit_model(&weapons[i].model, 0);
        glPopMatrix();
      };
      put(&s, column, row, shoot(draw, QUARTER, cell, true), weapons[i].name);
      put(&s, column + 1, row, shoot(draw, QUARTER, cell, true, near), "close");
      put(&s, column + 2, row, shoot(draw, LEFT, cell, true, near), "left");
    }
    if (!write_png(s.im, prefix + "held.png")) return 0;
  }

  free_model(&vurk.model);
  for (std::vector<SHOWN>* list : {&fixed, &weapons, &bullets})
    for (SHOWN& m : *list) free_model(&m.model);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(usage, stdout);
    return 0;
  }
  if (argc > 3) {
    std::fputs(usage, stderr);
    return 2;
  }
  // By default the game folder of the build this program belongs to: build/tools/preview/..
  game_dir = argc > 1 ? argv[1]
                      : std::filesystem::absolute(argv[0]).parent_path().parent_path().parent_path().string();
  const std::string out_dir = argc > 2 ? argv[2] : "/tmp/models";
  std::error_code made;
  std::filesystem::create_directories(out_dir, made);
  if (made || !std::filesystem::is_directory(out_dir)) {
    std::fprintf(stderr, "vurkhold-preview: can't make the folder %s: %s\n", out_dir.c_str(),
                 made ? made.message().c_str() : "a file of that name is in the way");
    return 1;
  }
  platform::set_dialogs_enabled(false);
  if (platform::open_window("Vurkhold preview", platform::SCREEN_WIDTH, platform::SCREEN_HEIGHT, false, false) !=
      platform::WindowResult::ok) {
    std::fprintf(stderr, "vurkhold-preview: no window: %s\n", platform::error_text());
    return 1;
  }
  initGL();
  open_font();
  const int ok = run(out_dir);
  remove_texture_objects();
  platform::close_window();
  return ok ? 0 : 1;
}
