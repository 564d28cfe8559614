// model drawing: every mesh of a model drawn from its vertex records and index list, read
// back from a small orthographic view.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "render/render.h"
#include "support/gl_context.h"

namespace vurkhold {
namespace {

constexpr int SIDE = 64;  // the view is SIDE x SIDE pixels, one unit per pixel

TEST(ModelDraw, EveryMeshIsDrawnFromItsIndexList) {
  ASSERT_TRUE(test::ensure_gl_context());
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  glViewport(0, 0, SIDE, SIDE);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, SIDE, 0, SIDE, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  for (GLenum cap : {GL_TEXTURE_2D, GL_FOG, GL_DEPTH_TEST, GL_BLEND, GL_ALPHA_TEST, GL_CULL_FACE, GL_LIGHTING})
    glDisable(cap);
  glEnableClientState(GL_VERTEX_ARRAY);  // as start-up leaves the client arrays
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3f(0.0f, 1.0f, 0.0f);

  // Three rectangles of four corners each, coloured red in the records: the colour array
  // stays off, so only the current green may show.
  const float rectangles[3][4] = {{0, 0, 16, SIDE}, {16, 0, 48, SIDE}, {48, 0, SIDE, 8}};
  std::vector<VERTEX> v;
  for (const auto& r : rectangles)
    for (XYZ p : {XYZ{r[0], r[1], 0}, XYZ{r[2], r[1], 0}, XYZ{r[2], r[3], 0}, XYZ{r[0], r[3], 0}}) {
      v.push_back(VERTEX{});
      v.back().p = p;
      v.back().color[0] = 1.0f;
    }
  // The second mesh's indices skip the middle rectangle: those vertices are never drawn.
  short first[6] = {0, 1, 2, 0, 2, 3}, second[6] = {8, 9, 10, 8, 10, 11};
  MESH meshes[2] = {};
  meshes[0].index = first;
  meshes[1].index = second;
  for (MESH& m : meshes) {
    m.vertex = v.data();
    m.number_of_vertices = 12;
    m.number_of_indicates = 6;
  }
  MODEL model{};
  model.number_of_meshes = 2;
  model.mesh = meshes;
  draw_model(&model);

  std::vector<unsigned char> rgb(SIDE * SIDE * 3);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, SIDE, SIDE, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  int wrong = 0;
  for (int y = 0; y < SIDE; y++)
    for (int x = 0; x < SIDE; x++) {
      const bool lit = x < 16 || (x >= 48 && y < 8);
      const unsigned char* p = &rgb[(y * SIDE + x) * 3];
      wrong += p[0] != 0 || p[1] != (lit ? 255 : 0) || p[2] != 0;
    }
  EXPECT_EQ(wrong, 0);

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}

}  // namespace
}  // namespace vurkhold
