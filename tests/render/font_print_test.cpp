// glPrint through GL feedback: the exact corners and texture coordinates of every glyph
// quad, line breaks and the 0.8 advance; and drawn pixels from a font with one colour per
// glyph cell.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "render/render.h"
#include "support/gl_context.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

struct Corner {
  float x, y, s, t;
};

// Window coordinates equal drawing coordinates: a 640 x 480 viewport with a matching
// orthographic projection.
class GlyphFeedback : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::ensure_gl_context()) GTEST_SKIP() << "no GL context";
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 640, 0, 480, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
  }
  void TearDown() override {
    if (IsSkipped()) return;
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
  }

  // Each polygon glPrint produced, as the corners GL received.
  std::vector<std::vector<Corner>> capture(const char* text, float x, float y, float size) {
    std::vector<GLfloat> buffer(100000);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glPrint(text, x, y, size);
    const GLint n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0);
    std::vector<std::vector<Corner>> polygons;
    // x y z, r g b a, s t r q per vertex
    constexpr int VERTEX_FLOATS = 3 + 4 + 4;
    for (GLint i = 0; i < n;) {
      const GLint token = static_cast<GLint>(buffer[static_cast<size_t>(i)]);
      EXPECT_EQ(token, GL_POLYGON_TOKEN);
      if (token != GL_POLYGON_TOKEN) break;
      const int count = static_cast<int>(buffer[static_cast<size_t>(i) + 1]);
      i += 2;
      std::vector<Corner> p;
      for (int k = 0; k < count; k++, i += VERTEX_FLOATS) {
        const GLfloat* v = &buffer[static_cast<size_t>(i)];
        p.push_back({v[0], v[1], v[7], v[8]});
      }
      polygons.push_back(p);
    }
    return polygons;
  }
};

// Quads reach feedback either whole or, as Mesa does it, as the triangles (0, 1, 3) and
// (1, 2, 3); both give back the four corners in the order they were sent.
std::vector<std::vector<Corner>> quads_of(const std::vector<std::vector<Corner>>& polygons) {
  std::vector<std::vector<Corner>> quads;
  for (size_t i = 0; i < polygons.size(); i++) {
    if (polygons[i].size() == 4) {
      quads.push_back(polygons[i]);
    } else if (polygons[i].size() == 3 && i + 1 < polygons.size() && polygons[i + 1].size() == 3) {
      const std::vector<Corner>& a = polygons[i];
      const std::vector<Corner>& b = polygons[i + 1];
      EXPECT_TRUE(b[0].x == a[1].x && b[0].y == a[1].y && b[2].x == a[2].x && b[2].y == a[2].y);
      quads.push_back({a[0], a[1], b[1], a[2]});
      i++;
    } else {
      ADD_FAILURE() << "polygon of " << polygons[i].size() << " corners";
    }
  }
  return quads;
}

void expect_corner(const Corner& got, float x, float y, float s, float t, const std::string& what) {
  EXPECT_NEAR(got.x, x, 2e-3) << what;
  EXPECT_NEAR(got.y, y, 2e-3) << what;
  EXPECT_NEAR(got.s, s, 1e-6) << what;
  EXPECT_NEAR(got.t, t, 1e-6) << what;
}

// The glyph quad of character `c` with its top left at (x, y).
void expect_glyph(const std::vector<Corner>& q, char c, float x, float y, float size, const std::string& what) {
  ASSERT_EQ(q.size(), 4u) << what;
  const int n = static_cast<unsigned char>(c) - 32;
  const float s = static_cast<float>(n % 8) / 8.0f;
  const float t = static_cast<float>(n / 8) / 8.0f;
  expect_corner(q[0], x, y, s, t, what + " top left");
  expect_corner(q[1], x, y - size, s, t + 0.125f, what + " bottom left");
  expect_corner(q[2], x + size, y - size, s + 0.125f, t + 0.125f, what + " bottom right");
  expect_corner(q[3], x + size, y, s + 0.125f, t, what + " top right");
}

TEST_F(GlyphFeedback, OneGlyphCornersInOrderWithItsCell) {
  std::vector<std::vector<Corner>> q = quads_of(capture("A", 100, 200, 16));
  ASSERT_EQ(q.size(), 1u);
  // 'A' is cell 33: column 1, row 4.
  expect_corner(q[0][0], 100, 200, 0.125f, 0.5f, "A");
  expect_corner(q[0][1], 100, 184, 0.125f, 0.625f, "A");
  expect_corner(q[0][2], 116, 184, 0.25f, 0.625f, "A");
  expect_corner(q[0][3], 116, 200, 0.25f, 0.5f, "A");
}

TEST_F(GlyphFeedback, EveryCellOfTheGridAdvancingFourFifths) {
  std::string all;
  for (int code = 32; code <= 95; code++) all += static_cast<char>(code);
  const float size = 8.0f;
  std::vector<std::vector<Corner>> q = quads_of(capture(all.c_str(), 10, 300, size));
  ASSERT_EQ(q.size(), 64u);
  for (int i = 0; i < 64; i++)
    expect_glyph(q[static_cast<size_t>(i)], all[static_cast<size_t>(i)], 10 + 0.8f * size * static_cast<float>(i), 300,
                 size, "code " + std::to_string(32 + i));
  // The space is cell 0, drawn like any glyph; the underscore the last.
  expect_corner(q[0][0], 10, 300, 0.0f, 0.0f, "space");
  expect_corner(q[63][2], 10 + 0.8f * size * 63 + size, 300 - size, 1.0f, 1.0f, "underscore");
}

TEST_F(GlyphFeedback, LineBreaksReturnToTheStartOneSizeLower) {
  std::vector<std::vector<Corner>> q = quads_of(capture("A\nB", 50, 400, 20));
  ASSERT_EQ(q.size(), 2u);
  expect_glyph(q[0], 'A', 50, 400, 20, "A");
  expect_glyph(q[1], 'B', 50, 380, 20, "B under A");

  q = quads_of(capture("12\n\n3 \n4", 50, 400, 10));
  ASSERT_EQ(q.size(), 5u);
  expect_glyph(q[0], '1', 50, 400, 10, "1");
  expect_glyph(q[1], '2', 58, 400, 10, "2");
  expect_glyph(q[2], '3', 50, 380, 10, "3 after an empty line");
  expect_glyph(q[3], ' ', 58, 380, 10, "space");
  expect_glyph(q[4], '4', 50, 370, 10, "4");
}

TEST_F(GlyphFeedback, CodesOutsideTheGridReachBeyondTheTexture) {
  std::vector<std::vector<Corner>> q = quads_of(capture("a", 100, 200, 16));
  ASSERT_EQ(q.size(), 1u);
  // 'a' is 97: cell 65, column 1, row 8.
  expect_corner(q[0][0], 100, 200, 0.125f, 1.0f, "a");
  expect_corner(q[0][2], 116, 184, 0.25f, 1.125f, "a");
}

TEST_F(GlyphFeedback, NothingForEmptyOrMissingText) {
  EXPECT_TRUE(capture("", 100, 200, 16).empty());
  EXPECT_TRUE(capture(nullptr, 100, 200, 16).empty());
  EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
}

// Drawn for real with a font whose 64 cells each hold one flat colour: the centre of each
// glyph shows the colour of its cell, and the right fifth of a glyph is covered by the next.
TEST_F(GlyphFeedback, DrawnGlyphsShowTheirCells) {
  test::TempDir dir;
  std::vector<uint8_t> tga(18, 0);
  tga[2] = 2;
  tga[12] = 64;
  tga[14] = 64;
  tga[16] = 24;
  auto cell_colour = [](int n, int k) { return static_cast<uint8_t>(k == 0 ? n * 4 : k == 1 ? 255 - n * 4 : 100 + n); };
  for (int row = 0; row < 64; row++)
    for (int col = 0; col < 64; col++) {
      const int n = (row / 8) * 8 + col / 8;
      tga.push_back(cell_colour(n, 2));  // stored blue, green, red
      tga.push_back(cell_colour(n, 1));
      tga.push_back(cell_colour(n, 0));
    }
  std::string path = dir.file("font.tga");
  test::write_file(path, tga);
  unsigned font = 0;
  ASSERT_EQ(load_tga_texture(path.c_str(), &font), 1);

  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindTexture(GL_TEXTURE_2D, font);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_LIGHTING);
  glDisable(GL_FOG);
  glDisable(GL_ALPHA_TEST);
  glColor3f(1, 1, 1);
  const char* text = "VURK\n0_";
  glPrint(text, 40, 400, 64);
  glDisable(GL_TEXTURE_2D);
  glFinish();

  struct Probe {
    char c;
    float x, y;  // a point in the glyph
  };
  const Probe probes[] = {
      {'V', 40 + 32, 400 - 32},  {'U', 40 + 51.2f + 32, 400 - 32}, {'R', 40 + 102.4f + 32, 400 - 32},
      {'K', 40 + 153.6f + 32, 400 - 32},
      {'U', 40 + 51.2f + 6, 400 - 32},   // inside V's right fifth: U drawn over it
      {'0', 40 + 32, 400 - 64 - 32}, {'_', 40 + 51.2f + 32, 400 - 64 - 32},
  };
  glReadBuffer(GL_BACK);
  for (const Probe& p : probes) {
    unsigned char rgb[3] = {0, 0, 0};
    glReadPixels(static_cast<int>(p.x), static_cast<int>(p.y), 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    const int n = p.c - 32;
    EXPECT_NEAR(rgb[0], cell_colour(n, 0), 2) << p.c << " at " << p.x;
    EXPECT_NEAR(rgb[1], cell_colour(n, 1), 2) << p.c << " at " << p.x;
    EXPECT_NEAR(rgb[2], cell_colour(n, 2), 2) << p.c << " at " << p.x;
  }
  // Beyond the last glyph of the first line nothing was drawn.
  unsigned char empty[3] = {9, 9, 9};
  glReadPixels(40 + 205 + 20, 400 - 32, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, empty);
  EXPECT_EQ(empty[0] + empty[1] + empty[2], 0);
  glDeleteTextures(1, &font);
  EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
}

}  // namespace
}  // namespace vurkhold
