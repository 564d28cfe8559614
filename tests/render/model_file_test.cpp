// model files: limits, refused files and their messages, parent names, reach, release,
// and the two real files loading with the counts they declare.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "render/m3d_text.h"
#include "render/render.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

using m3d::Bone;
using m3d::Key;

// A model released when the test ends, whatever the load did.
struct Model {
  MODEL m{};
  ~Model() { free_model(&m); }
};

// A file of `meshes` small meshes, no materials, no bones.
std::string static_file(int frames, int meshes) {
  std::string s = m3d::header(frames, meshes);
  for (int i = 0; i < meshes; i++) s += m3d::small_mesh();
  return s + m3d::materials(0) + m3d::bones({});
}

// One small mesh whose vertices belong to bone 0, and the given bones.
std::string boned_file(int frames, const std::vector<Bone>& list, int vertex_bone = 0) {
  return m3d::header(frames, 1) + m3d::small_mesh(vertex_bone) + m3d::materials(0) + m3d::bones(list);
}

Bone plain_bone(const std::string& name, const std::string& parent) {
  return Bone{name, parent, {0, 0, 0}, {0, 0, 0}, {{1, 0, 0, 0}}, {{1, 0, 0, 0}}};
}

// Loads `text` expecting refusal with exactly `message` (the file name appended to it).
void expect_refused(const std::string& text, const std::string& message_before_name,
                    const std::string& after_name = "") {
  test::TempDir dir;
  test::MessageCapture messages;
  Model model;
  std::string path;
  EXPECT_EQ(m3d::load_text(dir, text, &model.m, &path), 0);
  ASSERT_EQ(messages.count(), 1);
  EXPECT_EQ(messages.last(), m3d::shown(message_before_name + path + after_name));
}

TEST(ModelLimits, FrameCounts) {
  expect_refused(static_file(500, 1), "Bad number of frames in file ", ".");
  expect_refused(static_file(-1, 1), "Bad number of frames in file ", ".");
  expect_refused(m3d::crlf("//\n\nFrames:\n"), "Bad number of frames in file ", ".");

  test::TempDir dir;
  test::MessageCapture messages;

  Model top;
  EXPECT_EQ(m3d::load_text(dir, static_file(499, 1), &top.m), 1);
  EXPECT_EQ(top.m.number_of_frames, 499);

  // No frames: nothing is measured, however far the vertices lie.
  Model none;
  std::string text = m3d::header(0, 1) + m3d::mesh({m3d::vertex(5, 0, 0), m3d::vertex(0, 7, 0), m3d::vertex(0, 0, 9)},
                                                   {m3d::triangle(0, 1, 2)}) +
                     m3d::materials(0) + m3d::bones({});
  EXPECT_EQ(m3d::load_text(dir, text, &none.m), 1);
  EXPECT_EQ(none.m.number_of_frames, 0);
  EXPECT_EQ(none.m.max_radius, 0.0f);
  EXPECT_EQ(messages.count(), 0);
}

TEST(ModelLimits, MeshCounts) {
  expect_refused(static_file(1, 0), "Bad number of meshes in file ", ".");
  expect_refused(static_file(1, 100), "Bad number of meshes in file ", ".");

  test::TempDir dir;
  test::MessageCapture messages;
  Model model;
  ASSERT_EQ(m3d::load_text(dir, static_file(1, 99), &model.m), 1);
  EXPECT_EQ(model.m.number_of_meshes, 99);
  EXPECT_EQ(model.m.mesh[98].number_of_vertices, 3);
  EXPECT_EQ(messages.count(), 0);
}

// A mesh of `vertices` vertices, `normals` normals and `triangles` triangles, all valid.
std::string big_file(int vertices, int normals, int triangles) {
  std::vector<std::string> v, t;
  for (int i = 0; i < vertices; i++) v.push_back(m3d::vertex(static_cast<float>(i % 100), static_cast<float>(i / 100), 0));
  for (int i = 0; i < triangles; i++) {
    int a = i % (vertices - 2);
    t.push_back(m3d::triangle(a, a + 1, a + 2, i % normals, (i + 1) % normals, (i + 2) % normals));
  }
  return m3d::header(1, 1) + m3d::mesh(v, t, normals) + m3d::materials(0) + m3d::bones({});
}

TEST(ModelLimits, VertexNormalAndTriangleCounts) {
  test::TempDir dir;
  {
    test::MessageCapture messages;
    Model model;
    ASSERT_EQ(m3d::load_text(dir, big_file(9999, 10000, 10000), &model.m), 1);
    const MESH& mesh = model.m.mesh[0];
    EXPECT_EQ(mesh.number_of_vertices, 9999);
    EXPECT_EQ(mesh.number_of_vectors, 10000);
    EXPECT_EQ(mesh.number_of_polygons, 10000);
    EXPECT_EQ(mesh.number_of_indicates, 30000);
    // The last triangle's indices survive the 16-bit list.
    int a = 9999 % 9997;
    EXPECT_EQ(mesh.index[29997], a);
    EXPECT_EQ(mesh.index[29999], a + 2);
    EXPECT_EQ(mesh.polygon[9999].vertex[2], &mesh.vertex[a + 2]);
    EXPECT_EQ(mesh.polygon[9999].vector[0], &mesh.vector[9999]);
    // Points on a grid of rows of 100: the farthest are (98, 99, 0) and (99, 98, 0).
    EXPECT_FLOAT_EQ(model.m.max_radius, 98.0f * 98.0f + 99.0f * 99.0f);
    EXPECT_EQ(messages.count(), 0);
  }
  expect_refused(big_file(10000, 1, 1), "Bad number of vertices in mesh 1 in file ");
  expect_refused(big_file(5, 10001, 1), "Bad number of normals in 1th mesh in file: ");
  expect_refused(big_file(5, 1, 10001), "Bad number of polygons in mesh 1 in file ");
  expect_refused(m3d::header(1, 1) + "\"m\" 0 0\n0\n", "Bad number of vertices in mesh 1 in file ");
  expect_refused(m3d::header(1, 1) + "\"m\" 0 0\n1\n" + m3d::vertex(0, 0, 0) + "0\n",
                 "Bad number of normals in 1th mesh in file: ");
  expect_refused(m3d::header(1, 1) + "\"m\" 0 0\n1\n" + m3d::vertex(0, 0, 0) + "1\n0 0 1\n0\n",
                 "Bad number of polygons in mesh 1 in file ");
}

TEST(ModelLimits, BoneCounts) {
  std::vector<Bone> many;
  for (int i = 0; i < 250; i++) many.push_back(plain_bone("b" + std::to_string(i), i ? "b0" : ""));
  expect_refused(boned_file(2, many), "Bad number of bones in file ", ".");

  many.pop_back();
  test::TempDir dir;
  test::MessageCapture messages;
  Model model;
  ASSERT_EQ(m3d::load_text(dir, boned_file(2, many), &model.m), 1);
  EXPECT_EQ(model.m.number_of_bones, 249);
  EXPECT_EQ(model.m.animated, 1);
  EXPECT_EQ(model.m.bone[248].parent, 0);
  EXPECT_EQ(messages.count(), 0);
}

TEST(ModelTriangles, BadIndicesAreRefused) {
  auto file = [](const std::string& triangle_line) {
    return m3d::header(1, 2) + m3d::small_mesh() +
           m3d::mesh({m3d::vertex(0, 0, 0), m3d::vertex(1, 0, 0), m3d::vertex(0, 1, 0)},
                     {m3d::triangle(0, 1, 2), triangle_line}, 2) +
           m3d::materials(0) + m3d::bones({});
  };
  const std::string message = "Polygon 2 in mesh 2 in file ";
  expect_refused(file("0 0 -1 2 0 0 0 1\n"), message, " is invalid.");
  expect_refused(file("0 0 1 2 0 -1 0 1\n"), message, " is invalid.");
  expect_refused(file("0 0 1 2 0 1\n"), message, " is invalid.");
  // Past the mesh's own arrays: vertex 3 of three, normal 2 of two.
  expect_refused(file("0 0 1 3 0 1 1 1\n"), message, " is invalid.");
  expect_refused(file("0 0 1 2 0 2 1 1\n"), message, " is invalid.");

  test::TempDir dir;
  test::MessageCapture messages;
  Model model;
  ASSERT_EQ(m3d::load_text(dir, file("0 2 1 0 1 1 0 1\n"), &model.m), 1);
  const MESH& mesh = model.m.mesh[1];
  EXPECT_EQ(mesh.index[3], 2);
  EXPECT_EQ(mesh.index[4], 1);
  EXPECT_EQ(mesh.index[5], 0);
  EXPECT_EQ(mesh.polygon[1].vector[0], &mesh.vector[1]);
  EXPECT_EQ(mesh.polygon[1].vector[2], &mesh.vector[0]);
}

TEST(ModelTriangles, FaceNormalsFollowTheWinding) {
  test::TempDir dir;
  test::MessageCapture messages;
  Model model;
  std::string text = m3d::header(1, 1) +
                     m3d::mesh({m3d::vertex(0, 0, 0), m3d::vertex(2, 0, 0), m3d::vertex(0, 3, 0), m3d::vertex(4, 0, 0),
                                m3d::vertex(0, 0, 5)},
                               {m3d::triangle(0, 1, 2), m3d::triangle(0, 2, 1), m3d::triangle(0, 1, 3),
                                m3d::triangle(0, 4, 1), m3d::triangle(2, 2, 2)}) +
                     m3d::materials(0) + m3d::bones({});
  ASSERT_EQ(m3d::load_text(dir, text, &model.m), 1);
  const POLYGON* p = model.m.mesh[0].polygon;
  EXPECT_FLOAT_EQ(p[0].normal.k, 1.0f);
  EXPECT_FLOAT_EQ(p[1].normal.k, -1.0f);
  // (0,0,5) then (2,0,0): the x, z plane, facing +y.
  EXPECT_FLOAT_EQ(p[3].normal.i, 0.0f);
  EXPECT_FLOAT_EQ(p[3].normal.j, 1.0f);
  EXPECT_FLOAT_EQ(p[3].normal.k, 0.0f);
  // Corners on one line or on one point have no face: a unit normal all the same.
  for (int i : {2, 4}) {
    EXPECT_EQ(p[i].normal.i, 0.0f);
    EXPECT_EQ(p[i].normal.j, 0.0f);
    EXPECT_EQ(p[i].normal.k, 1.0f);
  }
}

TEST(ModelVertices, BoneIndicesMustNameABone) {
  Bone root{"root", "", {0, 0, 0}, {0, 0, 0}, {}, {}};
  Bone arm{"arm", "root", {1, 0, 0}, {0, 0, 0}, {}, {}};
  expect_refused(boned_file(1, {root, arm}, 2), "Vertex 1 in mesh 1 in file ", " is invalid.");
  expect_refused(boned_file(1, {root, arm}, -2), "Vertex 1 in mesh 1 in file ", " is invalid.");
  expect_refused(boned_file(1, {root, arm}, 256), "Vertex 1 in mesh 1 in file ", " is invalid.");
  // 257 would be bone 1 if the value were simply cut to eight bits.
  expect_refused(boned_file(1, {root, arm}, 257), "Vertex 1 in mesh 1 in file ", " is invalid.");
  // The vertex that fails is named, counted from 1 in its mesh.
  std::string second = m3d::header(1, 2) + m3d::small_mesh(1) +
                       m3d::mesh({m3d::vertex(0, 0, 0, 0), m3d::vertex(1, 0, 0, -1), m3d::vertex(0, 1, 0, 9)},
                                 {m3d::triangle(0, 1, 2)}) +
                       m3d::materials(0) + m3d::bones({root, arm});
  expect_refused(second, "Vertex 3 in mesh 2 in file ", " is invalid.");

  test::TempDir dir;
  test::MessageCapture messages;
  Model minus_one;
  ASSERT_EQ(m3d::load_text(dir, boned_file(1, {root, arm}, -1), &minus_one.m), 1);
  EXPECT_EQ(minus_one.m.mesh[0].vertex[0].bone_id, 255);
  // Without bones the index is never used, so any value is accepted.
  Model static_model;
  std::string text = m3d::header(1, 1) + m3d::small_mesh(7) + m3d::materials(0) + m3d::bones({});
  ASSERT_EQ(m3d::load_text(dir, text, &static_model.m), 1);
  EXPECT_EQ(static_model.m.animated, 0);
  EXPECT_EQ(static_model.m.bone, nullptr);
  EXPECT_EQ(messages.count(), 0);
}

TEST(ModelVertices, FieldsAsRead) {
  test::TempDir dir;
  test::MessageCapture messages;
  Model model;
  std::string text = m3d::header(1, 1) +
                     m3d::mesh({"1 1.5 -2.25 3.0 0.125 0.875 -1 trailing words\n", m3d::vertex(0, 0, 0),
                                m3d::vertex(0, 1, 0)},
                               {m3d::triangle(0, 1, 2)}, 1) +
                     m3d::materials(0) + m3d::bones({});
  ASSERT_EQ(m3d::load_text(dir, text, &model.m), 1);
  const VERTEX& v = model.m.mesh[0].vertex[0];
  EXPECT_EQ(v.p.x, 1.5f);
  EXPECT_EQ(v.p.y, -2.25f);
  EXPECT_EQ(v.p.z, 3.0f);
  EXPECT_EQ(v.u, 0.125f);
  EXPECT_EQ(v.w, 0.875f);
  EXPECT_EQ(model.m.mesh[0].original[0].y, -2.25f);
  EXPECT_EQ(model.m.mesh[0].vector[0].j, 1.0f);
  EXPECT_FLOAT_EQ(model.m.max_radius, 1.5f * 1.5f + 2.25f * 2.25f + 9.0f);
}

TEST(ModelBones, ParentsResolveByEarlierNameLines) {
  test::TempDir dir;
  test::MessageCapture messages;
  Model model;
  std::vector<Bone> list = {
      plain_bone("root", "nothing"),  // bone 0 is a root whatever its parent line says
      plain_bone("twin", "root"),
      plain_bone("twin", "root"),
      plain_bone("child", "twin"),    // two bones named so: the later one
      plain_bone("early", "late"),    // named further down: not found
      plain_bone("late", ""),         // the empty quoted name of a root
      plain_bone("stray", "nobody"),
  };
  ASSERT_EQ(m3d::load_text(dir, boned_file(2, list), &model.m), 1);
  const BONE* b = model.m.bone;
  EXPECT_EQ(b[0].parent, -1);
  EXPECT_EQ(b[1].parent, 0);
  EXPECT_EQ(b[2].parent, 0);
  EXPECT_EQ(b[3].parent, 2);
  EXPECT_EQ(b[4].parent, -1);
  EXPECT_EQ(b[5].parent, -1);
  EXPECT_EQ(b[6].parent, -1);
  EXPECT_STREQ(b[3].name, "\"child\"\n");
}

TEST(ModelBones, CrlfLinesAndTheNameLimit) {
  test::TempDir dir;
  test::MessageCapture messages;
  // 37 characters quoted, so the name line with CR LF is 39 bytes: within the limit of 39
  // (38 characters and the terminator) only when CR LF counts as one line end.
  std::string long_name(35, 'n');
  std::vector<Bone> list = {plain_bone(long_name, ""), plain_bone("child", long_name)};
  Model model;
  ASSERT_EQ(m3d::load_text(dir, m3d::crlf(boned_file(2, list)), &model.m), 1);
  EXPECT_EQ(std::string(model.m.bone[0].name), "\"" + long_name + "\"\n");
  EXPECT_EQ(model.m.bone[1].parent, 0);
  EXPECT_STREQ(model.m.bone[1].name, "\"child\"\n");

  // The same for an ordinary line: 76 characters and CR LF fit the 78 limit.
  std::string padded = m3d::vertex(0, 0, 0);
  padded.insert(padded.size() - 1, std::string(76 - (padded.size() - 1), ' '));
  ASSERT_EQ(padded.size(), 77u);
  std::string text = m3d::header(1, 1) +
                     m3d::mesh({padded, m3d::vertex(1, 0, 0), m3d::vertex(0, 1, 0)}, {m3d::triangle(0, 1, 2)}) +
                     m3d::materials(0) + m3d::bones({});
  Model crlf_model;
  ASSERT_EQ(m3d::load_text(dir, m3d::crlf(text), &crlf_model.m), 1);
  EXPECT_EQ(crlf_model.m.mesh[0].vertex[1].p.x, 1.0f);
  EXPECT_EQ(messages.count(), 0);
}

TEST(ModelBones, KeysOfOneKindOrNone) {
  test::TempDir dir;
  test::MessageCapture messages;
  std::vector<Bone> list = {
      Bone{"root", "", {0, 0, 0}, {0, 0, 0}, {}, {}},
      Bone{"moves", "root", {0, 0, 0}, {0, 0, 0}, {{1, 0, 1, 0}, {2.5f, 0, 2, 0}}, {}},
      Bone{"turns", "root", {0, 0, 0}, {0, 0, 0}, {}, {{1, 0, 0, 1}}},
  };
  Model model;
  ASSERT_EQ(m3d::load_text(dir, boned_file(3, list), &model.m), 1);
  const BONE* b = model.m.bone;
  EXPECT_EQ(b[0].number_of_m_frames, 0);
  EXPECT_EQ(b[0].movement_frame, nullptr);
  EXPECT_EQ(b[0].rotation_frame, nullptr);
  EXPECT_EQ(b[1].number_of_m_frames, 2);
  EXPECT_EQ(b[1].number_of_r_frames, 0);
  EXPECT_EQ(b[1].movement_frame[1].time, 2.5f);
  EXPECT_EQ(b[1].movement_frame[1].p.y, 2.0f);
  EXPECT_EQ(b[2].number_of_r_frames, 1);
  EXPECT_EQ(b[2].rotation_frame[0].p.z, 1.0f);
  EXPECT_EQ(messages.count(), 0);
}

TEST(ModelMessages, EveryRefusalHasItsText) {
  const std::string one_mesh = m3d::header(1, 1);
  expect_refused(one_mesh + "\"m\" 0 0\n1\n0 1 2 3 4 5\n", "Vertex 1 in mesh 1 in file ", " is invalid.");
  expect_refused(one_mesh + "\"m\" 0 0\n1\n" + m3d::vertex(0, 0, 0) + "2\n0 0 1\n0 1\n",
                 "Vector 2 in mesh 1 in file ", " is invalid.");
  expect_refused(one_mesh + m3d::small_mesh() + "\nMaterials: many\n", "Bad number of materials in file ", ".");
  expect_refused(one_mesh + m3d::small_mesh() + "\nMaterials: -1\n", "Bad number of materials in file ", ".");
  expect_refused(one_mesh + m3d::small_mesh() + m3d::materials(2) + "\nBones:\n", "Bad number of bones in file ", ".");
  // A file that ends early fails at its next expected line.
  expect_refused(one_mesh + m3d::small_mesh(), "Bad number of materials in file ", ".");
  expect_refused(one_mesh + m3d::small_mesh() + "\nMaterials: 1000000\n", "Bad number of bones in file ", ".");

  const std::string bones_start = one_mesh + m3d::small_mesh(0) + m3d::materials(0) + "\nBones: 2\n\"a\"\n\"\"\n";
  const std::string rest = "8 0 0 0 0 0 0\n";
  expect_refused(bones_start + "8 0 0 0 0 0\n", "The bone 1 in file ", " is invalid");
  expect_refused(bones_start + rest + "101\n", "Bad number of movement frames in bone 1 in file ", ".");
  expect_refused(bones_start + rest + "-1\n", "Bad number of movement frames in bone 1 in file ", ".");
  expect_refused(bones_start + rest + "2\n1 0 0 0\n2 0 0\n", "Movement frame 2 in bone 1 int file ", " is invalid");
  expect_refused(bones_start + rest + "0\n101\n", "Bad number of rotation frames in bone 1 in file ", ".");
  expect_refused(bones_start + rest + "0\nnone\n", "Bad number of rotation frames in bone 1 in file ", ".");
  expect_refused(bones_start + rest + "0\n1\nx 0 0 0\n", "Rotation frame 1 in bone 1 in file ", " is invalid");
  expect_refused(bones_start + rest + "0\n0\n\"b\"\n\"a\"\n8 1 2\n", "The bone 2 in file ", " is invalid");
}

TEST(ModelMessages, MissingFileAndLongNames) {
  test::TempDir dir;
  test::MessageCapture messages;
  Model model;
  model.m.number_of_frames = 7;
  std::string missing = dir.file("no_such_model.m3d");
  EXPECT_EQ(load_milkshape_model(&model.m, missing.c_str()), 0);
  EXPECT_EQ(messages.last(), m3d::shown("Can't open file " + missing));
  EXPECT_EQ(model.m.number_of_frames, 7);  // not reset when nothing was read

  // A long name is cut to the message buffer, not written past it.
  std::string long_name = std::string(120, 'x') + ".m3d";
  std::string path;
  EXPECT_EQ(m3d::load_text(dir, static_file(500, 1), &model.m, &path, long_name), 0);
  std::string expected = "Bad number of frames in file " + path + ".";
  EXPECT_EQ(messages.last(), "ERROR: " + expected.substr(0, 79));
  EXPECT_EQ(messages.last().size(), 7u + 79u);
}

TEST(ModelFile, HeaderAndMaterialLinesAreNotRead) {
  test::TempDir dir;
  test::MessageCapture messages;
  std::string plain = m3d::header(2, 1) + m3d::small_mesh() + m3d::materials(2) + m3d::bones({});
  std::string odd = "anything at all\nFrames: 1\nFrames: 2 and more\n12345\nMeshes: 7\nMeshes: 1\n"
                    "Meshes: 99 99 99\n3\n" +
                    plain.substr(plain.find("0 0.000000"));
  // Material lines replaced by noise, line for line.
  size_t start = odd.find("Materials: 2\n") + std::strlen("Materials: 2\n");
  size_t end = odd.find("\nBones:");
  std::string noise;
  for (int i = 0; i < 18; i++) noise += "Bones: 5 \"noise\" 1 2 3\n";
  odd = odd.substr(0, start) + noise + odd.substr(end);
  Model a, b;
  ASSERT_EQ(m3d::load_text(dir, plain, &a.m, nullptr, "a.m3d"), 1);
  ASSERT_EQ(m3d::load_text(dir, odd, &b.m, nullptr, "b.m3d"), 1);
  EXPECT_EQ(b.m.number_of_frames, 2);
  EXPECT_EQ(b.m.number_of_meshes, 1);
  EXPECT_EQ(b.m.number_of_bones, 0);
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(a.m.mesh[0].vertex[i].p.x, b.m.mesh[0].vertex[i].p.x);
    EXPECT_EQ(a.m.mesh[0].vertex[i].p.y, b.m.mesh[0].vertex[i].p.y);
  }
  EXPECT_EQ(a.m.max_radius, b.m.max_radius);
  EXPECT_EQ(messages.count(), 0);
}

TEST(ModelRadius, SquaredReachOverEveryFrame) {
  test::TempDir dir;
  test::MessageCapture messages;
  // The bone walks out along x from 0 at frame 0 to 2 at frame 4; frames 0..4 are measured.
  Bone walker{"walker", "", {0, 0, 0}, {0, 0, 0}, {{0, 0, 0, 0}, {4, 2, 0, 0}}, {}};
  std::string text = m3d::header(5, 1) +
                     m3d::mesh({m3d::vertex(0, 0, 0, 0), m3d::vertex(0, 0, 0, 0), m3d::vertex(0, 0, 0, 0)},
                               {m3d::triangle(0, 1, 2)}) +
                     m3d::materials(0) + m3d::bones({walker});
  Model model;
  ASSERT_EQ(m3d::load_text(dir, text, &model.m), 1);
  EXPECT_FLOAT_EQ(model.m.max_radius, 4.0f);
  // Left posed at the last frame measured.
  EXPECT_EQ(model.m.frame, 4.0f);
  EXPECT_FLOAT_EQ(model.m.mesh[0].vertex[0].p.x, 2.0f);

  // Frame 5 would reach further, but only frames 0..4 exist.
  walker.position_keys = {{0, 0, 0, 0}, {5, 0, 0, 2.5f}};
  Model short_model;
  text = m3d::header(5, 1) + m3d::small_mesh(0) + m3d::materials(0) + m3d::bones({walker});
  ASSERT_EQ(m3d::load_text(dir, text, &short_model.m), 1);
  EXPECT_FLOAT_EQ(short_model.m.max_radius, 1.0f + 2.0f * 2.0f);

  // Without bones: the file's positions.
  Model still;
  text = m3d::header(1, 1) +
         m3d::mesh({m3d::vertex(0, -2, 0), m3d::vertex(1, 0, 0), m3d::vertex(0, 0, 1)}, {m3d::triangle(0, 1, 2)}) +
         m3d::materials(0) + m3d::bones({});
  ASSERT_EQ(m3d::load_text(dir, text, &still.m), 1);
  EXPECT_EQ(still.m.max_radius, 4.0f);
}

TEST(ModelRelease, FreeModelIsHarmlessTwiceAndAfterAFailure) {
  test::TempDir dir;
  test::MessageCapture messages;
  Model model;
  model.m.name = nullptr;
  model.m.texture = 12;
  model.m.type = MT_SPRITE;
  ASSERT_EQ(m3d::load_text(dir, boned_file(3, {plain_bone("a", ""), plain_bone("b", "a")}), &model.m), 1);
  float radius = model.m.max_radius;
  free_model(&model.m);
  EXPECT_EQ(model.m.mesh, nullptr);
  EXPECT_EQ(model.m.bone, nullptr);
  EXPECT_EQ(model.m.number_of_meshes, 0);
  EXPECT_EQ(model.m.number_of_bones, 0);
  EXPECT_EQ(model.m.texture, 12u);
  EXPECT_EQ(model.m.type, MT_SPRITE);
  EXPECT_EQ(model.m.number_of_frames, 3);
  EXPECT_EQ(model.m.animated, 1);
  EXPECT_EQ(model.m.max_radius, radius);
  free_model(&model.m);
  EXPECT_EQ(model.m.mesh, nullptr);

  // A load that stops in its second bone leaves what it built for free_model.
  std::string text = m3d::header(1, 2) + m3d::small_mesh(0) + m3d::small_mesh(1) + m3d::materials(1) +
                     "\nBones: 2\n\"a\"\n\"\"\n8 0 0 0 0 0 0\n1\n1 0 0 0\n1\n1 0 0 0\n\"b\"\n\"a\"\n8 0 0 0 0 0 0\n"
                     "1\n1 0 0 0\n1\nbad\n";
  Model partial;
  EXPECT_EQ(m3d::load_text(dir, text, &partial.m), 0);
  EXPECT_EQ(messages.last(), m3d::shown("Rotation frame 1 in bone 2 in file " + dir.file("model.m3d") + " is invalid"));
  EXPECT_NE(partial.m.bone, nullptr);
  free_model(&partial.m);
  free_model(&partial.m);
  EXPECT_EQ(partial.m.number_of_bones, 0);
}

TEST(ModelFixtures, StaticTowerWithSixMeshes) {
  test::MessageCapture messages;
  Model model;
  ASSERT_EQ(load_milkshape_model(&model.m, test::fixture_path("m3d/multimesh_guntower.txt").c_str()), 1);
  EXPECT_EQ(messages.count(), 0);
  EXPECT_EQ(model.m.number_of_frames, 30);
  EXPECT_EQ(model.m.number_of_meshes, 6);
  EXPECT_EQ(model.m.number_of_bones, 0);
  EXPECT_EQ(model.m.animated, 0);
  EXPECT_EQ(model.m.bone, nullptr);
  int vertices = 0, normals = 0, triangles = 0;
  float radius = 0;
  for (int i = 0; i < model.m.number_of_meshes; i++) {
    const MESH& mesh = model.m.mesh[i];
    vertices += mesh.number_of_vertices;
    normals += mesh.number_of_vectors;
    triangles += mesh.number_of_polygons;
    EXPECT_EQ(mesh.number_of_indicates, 3 * mesh.number_of_polygons);
    for (int j = 0; j < mesh.number_of_vertices; j++) {
      const XYZ& p = mesh.vertex[j].p;
      radius = std::max(radius, p.x * p.x + p.y * p.y + p.z * p.z);
      EXPECT_EQ(mesh.vertex[j].bone_id, 255);
    }
    for (int j = 0; j < mesh.number_of_polygons; j++) {
      const POLYGON& p = mesh.polygon[j];
      EXPECT_NEAR(std::sqrt(p.normal.i * p.normal.i + p.normal.j * p.normal.j + p.normal.k * p.normal.k), 1.0, 1e-5);
    }
  }
  EXPECT_EQ(vertices, 105);
  EXPECT_EQ(normals, 76);
  EXPECT_EQ(triangles, 124);
  EXPECT_EQ(model.m.max_radius, radius);
  // The first vertex line of the file.
  EXPECT_FLOAT_EQ(model.m.mesh[0].vertex[0].p.x, 6.777778f);
  EXPECT_FLOAT_EQ(model.m.mesh[0].vertex[0].p.y, 30.001482f);
}

TEST(ModelFixtures, AnimatedSoldierWithNineteenBones) {
  test::MessageCapture messages;
  Model model;
  ASSERT_EQ(load_milkshape_model(&model.m, test::fixture_path("m3d/animated_soldier.txt").c_str()), 1);
  EXPECT_EQ(messages.count(), 0);
  EXPECT_EQ(model.m.number_of_frames, 48);
  ASSERT_EQ(model.m.number_of_meshes, 1);
  const MESH& mesh = model.m.mesh[0];
  EXPECT_EQ(mesh.number_of_vertices, 422);
  EXPECT_EQ(mesh.number_of_vectors, 422);
  EXPECT_EQ(mesh.number_of_polygons, 620);
  ASSERT_EQ(model.m.number_of_bones, 19);
  EXPECT_EQ(model.m.animated, 1);
  int position_keys = 0, rotation_keys = 0, roots = 0;
  for (int i = 0; i < model.m.number_of_bones; i++) {
    const BONE& b = model.m.bone[i];
    position_keys += b.number_of_m_frames;
    rotation_keys += b.number_of_r_frames;
    EXPECT_LT(b.parent, i);
    if (b.parent < 0) roots++;
    // CR LF read as one line end: the name ends in a quote and a single "\n".
    size_t n = std::strlen(b.name);
    ASSERT_GE(n, 3u);
    EXPECT_EQ(b.name[0], '"');
    EXPECT_EQ(b.name[n - 2], '"');
    EXPECT_EQ(b.name[n - 1], '\n');
  }
  EXPECT_EQ(position_keys, 114);
  EXPECT_EQ(rotation_keys, 114);
  EXPECT_STREQ(model.m.bone[0].name, "\"root\"\n");
  EXPECT_EQ(roots, 1);
  EXPECT_FLOAT_EQ(model.m.bone[0].movement_frame[3].time, 16.799999f);
  EXPECT_FLOAT_EQ(model.m.bone[0].p.y, 6.118961f);
  EXPECT_EQ(model.m.frame, 47.0f);
  EXPECT_GT(model.m.max_radius, 9.0f * 9.0f);
}

}  // namespace
}  // namespace vurkhold
