// model drawing: one indexed draw per mesh straight from the vertex records, checked by the
// array pointers GL was given and by the pixels drawn in a small orthographic view.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "render/render.h"
#include "support/gl_context.h"

namespace vurkhold {
namespace {

constexpr int SIDE = 64;  // the view is SIDE x SIDE pixels, one unit per pixel

// A mesh of quads in the z = 0 plane, each quad two triangles; vertices and indices are
// kept in the vectors, which the MESH points into.
struct QuadMesh {
  std::vector<VERTEX> vertices;
  std::vector<short> indices;
  MESH mesh{};

  void add_quad(float x0, float y0, float x1, float y1) {
    short first = static_cast<short>(vertices.size());
    for (XYZ p : {XYZ{x0, y0, 0}, XYZ{x1, y0, 0}, XYZ{x1, y1, 0}, XYZ{x0, y1, 0}}) {
      VERTEX v{};
      v.p = p;
      v.u = 0.5f;
      v.w = 0.5f;
      v.bone_id = 3;
      v.color[0] = 1.0f;  // red: drawing must not use it
      v.id = 99;
      vertices.push_back(v);
    }
    for (int k : {0, 1, 2, 0, 2, 3}) indices.push_back(static_cast<short>(first + k));
  }
  MESH* finish() {
    mesh.vertex = vertices.data();
    mesh.index = indices.data();
    mesh.number_of_vertices = static_cast<int>(vertices.size());
    mesh.number_of_indicates = static_cast<int>(indices.size());
    mesh.number_of_polygons = mesh.number_of_indicates / 3;
    return &mesh;
  }
};

class ModelDraw : public ::testing::Test {
 protected:
  void SetUp() override {
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
    // As start-up leaves the client arrays.
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(0.0f, 1.0f, 0.0f);
    pushed = true;
  }
  void TearDown() override {
    if (!pushed) return;
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
  }

  // The view's pixels after drawing, row 0 at the bottom; 1 where green, 0 where black,
  // -1 for anything else.
  std::vector<int> read_back() {
    glFinish();
    std::vector<unsigned char> rgb(SIDE * SIDE * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, SIDE, SIDE, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::vector<int> out(SIDE * SIDE);
    for (int i = 0; i < SIDE * SIDE; i++) {
      const unsigned char* p = &rgb[i * 3];
      if (p[0] == 0 && p[1] == 255 && p[2] == 0) {
        out[i] = 1;
      } else if (p[0] == 0 && p[1] == 0 && p[2] == 0) {
        out[i] = 0;
      } else {
        out[i] = -1;
      }
    }
    return out;
  }
  static int at(const std::vector<int>& pixels, int x, int y) { return pixels[y * SIDE + x]; }
  static int count(const std::vector<int>& pixels, int value) {
    int n = 0;
    for (int p : pixels) n += p == value;
    return n;
  }

  bool pushed = false;
};

TEST_F(ModelDraw, MeshIsOneIndexedDrawFromItsVertexRecords) {
  QuadMesh quad;
  quad.add_quad(0, 0, 32, SIDE);
  MESH* mesh = quad.finish();
  draw_mesh(mesh);

  void* pointer = nullptr;
  glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
  EXPECT_EQ(pointer, &quad.vertices[0].p);
  glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
  EXPECT_EQ(pointer, &quad.vertices[0].u);
  glGetPointerv(GL_COLOR_ARRAY_POINTER, &pointer);
  EXPECT_EQ(pointer, &quad.vertices[0].color);
  GLint value = 0;
  glGetIntegerv(GL_VERTEX_ARRAY_STRIDE, &value);
  EXPECT_EQ(value, static_cast<GLint>(sizeof(VERTEX)));
  glGetIntegerv(GL_TEXTURE_COORD_ARRAY_STRIDE, &value);
  EXPECT_EQ(value, static_cast<GLint>(sizeof(VERTEX)));
  glGetIntegerv(GL_VERTEX_ARRAY_SIZE, &value);
  EXPECT_EQ(value, 3);
  glGetIntegerv(GL_TEXTURE_COORD_ARRAY_SIZE, &value);
  EXPECT_EQ(value, 2);
  // The colour array stays off: the mesh takes the current colour.
  EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
  EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  std::vector<int> pixels = read_back();
  EXPECT_EQ(count(pixels, -1), 0);
  EXPECT_EQ(count(pixels, 1), 32 * SIDE);
  EXPECT_EQ(at(pixels, 0, 0), 1);
  EXPECT_EQ(at(pixels, 31, SIDE - 1), 1);
  EXPECT_EQ(at(pixels, 32, 0), 0);
  EXPECT_EQ(at(pixels, SIDE - 1, SIDE - 1), 0);
}

TEST_F(ModelDraw, OnlyTheIndexCountIsDrawn) {
  QuadMesh quad;
  quad.add_quad(0, 0, SIDE, SIDE);
  quad.add_quad(0, 0, SIDE, SIDE);  // the same square again, left out by the count below
  MESH* mesh = quad.finish();
  mesh->number_of_indicates = 3;  // the first triangle: below the diagonal
  draw_mesh(mesh);
  std::vector<int> pixels = read_back();
  EXPECT_EQ(at(pixels, SIDE - 2, 1), 1);
  EXPECT_EQ(at(pixels, 1, SIDE - 2), 0);
  int lit = count(pixels, 1);
  EXPECT_GT(lit, SIDE * SIDE / 2 - SIDE);
  EXPECT_LT(lit, SIDE * SIDE / 2 + SIDE);
  EXPECT_EQ(count(pixels, -1), 0);
}

TEST_F(ModelDraw, ModelDrawsEveryMeshInOrder) {
  QuadMesh left, right, middle;
  left.add_quad(0, 0, 16, SIDE);
  right.add_quad(48, 0, SIDE, SIDE);
  // Its indices name the second quad only; the first four vertices are never drawn.
  middle.add_quad(16, 0, 48, SIDE);
  middle.add_quad(24, 0, 40, 8);
  middle.indices.erase(middle.indices.begin(), middle.indices.begin() + 6);
  MESH meshes[3] = {*left.finish(), *right.finish(), *middle.finish()};
  MODEL model{};
  model.number_of_meshes = 3;
  model.mesh = meshes;
  draw_model(&model);
  std::vector<int> pixels = read_back();
  EXPECT_EQ(count(pixels, 1), 16 * SIDE * 2 + 16 * 8);
  EXPECT_EQ(at(pixels, 8, 40), 1);
  EXPECT_EQ(at(pixels, 56, 40), 1);
  EXPECT_EQ(at(pixels, 32, 4), 1);
  EXPECT_EQ(at(pixels, 32, 40), 0);
  EXPECT_EQ(at(pixels, 20, 4), 0);

  // A model with no meshes draws nothing.
  glClear(GL_COLOR_BUFFER_BIT);
  MODEL empty{};
  draw_model(&empty);
  EXPECT_EQ(count(read_back(), 1), 0);
}

}  // namespace
}  // namespace vurkhold
