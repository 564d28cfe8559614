// glPrint through GL feedback: the corners and texture coordinates of every glyph quad, the
// line break and the 0.8 advance.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "render/render.h"
#include "support/gl_context.h"

namespace vurkhold {
namespace {

TEST(GlPrint, GlyphQuadsAdvanceFourFifthsAndBreakLines) {
  ASSERT_TRUE(test::ensure_gl_context());
  // Window coordinates equal drawing coordinates: a 640 x 480 viewport with a matching
  // orthographic projection.
  glViewport(0, 0, 640, 480);
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_CULL_FACE);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, 640, 0, 480, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  std::vector<GLfloat> buffer(10000);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  glPrint("A_\n0", 100, 200, 10);
  const GLint n = glRenderMode(GL_RENDER);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();

  // Each polygon is a token, a corner count, then x y z, r g b a, s t r q per corner.
  std::vector<std::array<float, 4>> corners;  // x, y, s, t
  for (GLint i = 0; i < n; i += 2 + 11 * static_cast<int>(buffer[i + 1])) {
    EXPECT_EQ(buffer[i], GL_POLYGON_TOKEN);
    for (int k = 0; k < static_cast<int>(buffer[i + 1]); k++) {
      const GLfloat* c = &buffer[i + 2 + 11 * k];
      corners.push_back({c[0], c[1], c[7], c[8]});
    }
  }
  // Mesa feeds a quad back as the triangles (0, 1, 3) and (1, 2, 3).
  if (corners.size() == 3 * 6) {
    for (size_t g = 0; g < 3; g++) {
      const auto* t = &corners[6 * g];
      std::copy_n(std::array{t[0], t[1], t[4], t[2]}.begin(), 4, &corners[4 * g]);
    }
    corners.resize(3 * 4);
  }
  ASSERT_EQ(corners.size(), 3u * 4u);
  // 'A' is cell 33 of the 8 x 8 grid (column 1, row 4), '_' cell 63, '0' cell 16.
  const struct {
    const char* name;
    float x, y, s, t;  // top left corner
  } glyphs[] = {{"A", 100, 200, 0.125f, 0.5f}, {"_", 108, 200, 0.875f, 0.875f}, {"0", 100, 190, 0, 0.25f}};
  for (size_t g = 0; g < 3; g++)
    for (int k = 0; k < 4; k++) {  // top left, bottom left, bottom right, top right
      const bool right = k >= 2, low = k == 1 || k == 2;
      const float want[4] = {glyphs[g].x + 10 * right, glyphs[g].y - 10 * low, glyphs[g].s + 0.125f * right,
                             glyphs[g].t + 0.125f * low};
      for (int c = 0; c < 4; c++)
        EXPECT_NEAR(corners[4 * g + k][c], want[c], 2e-3) << glyphs[g].name << " corner " << k;
    }
}

}  // namespace
}  // namespace vurkhold
