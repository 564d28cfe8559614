// Crafted MilkShape 3D ASCII text for the render tests, and a model loaded from such text.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "support/test_support.h"

namespace vurkhold::crafted {

struct Key {
  float time, x, y, z;
};

struct Bone {
  std::string name, parent;  // written quoted
  XYZ p, r;                  // rest position and angles
  std::vector<Key> moves, turns;
};

// A vertex line: flags, position, texture coordinates, bone.
inline std::string vertex(float x, float y, float z, int bone = -1) {
  char text[160];
  std::snprintf(text, sizeof text, "0 %f %f %f 0.25 0.75 %d\n", x, y, z, bone);
  return text;
}

inline std::string triangle(int a, int b, int c, int d = 0, int e = 0, int f = 0) {
  char text[120];
  std::snprintf(text, sizeof text, "0 %d %d %d %d %d %d 1\n", a, b, c, d, e, f);
  return text;
}

// One mesh; without triangle lines, one triangle per three vertices.
inline std::string mesh(const std::vector<std::string>& vertices, std::vector<std::string> triangles = {},
                        int normals = 1) {
  if (triangles.empty())
    for (int i = 0; i + 2 < static_cast<int>(vertices.size()); i += 3) triangles.push_back(triangle(i, i + 1, i + 2));
  std::string s = "\"mesh\" 0 0\n" + std::to_string(vertices.size()) + "\n";
  for (const std::string& v : vertices) s += v;
  s += std::to_string(normals) + "\n";
  for (int i = 0; i < normals; i++) s += "0.0 1.0 0.0\n";
  s += std::to_string(triangles.size()) + "\n";
  for (const std::string& t : triangles) s += t;
  return s;
}

inline std::string small_mesh(int bone = -1) {
  return mesh({vertex(0, 0, 0, bone), vertex(1, 0, 0, bone), vertex(0, 1, 0, bone)});
}

// A whole file with CR LF line ends: header, meshes, no materials, bones.
inline std::string model(int frames, const std::vector<std::string>& meshes, const std::vector<Bone>& bones = {}) {
  std::string s = "// MilkShape 3D ASCII\n\nFrames: " + std::to_string(frames) + "\nFrame: 1\n\nMeshes: " +
                  std::to_string(meshes.size()) + "\n";
  for (const std::string& m : meshes) s += m;
  s += "\nMaterials: 0\n\nBones: " + std::to_string(bones.size()) + "\n";
  char text[200];
  for (const Bone& b : bones) {
    std::snprintf(text, sizeof text, "\"%s\"\n\"%s\"\n8 %f %f %f %f %f %f\n", b.name.c_str(), b.parent.c_str(), b.p.x,
                  b.p.y, b.p.z, b.r.x, b.r.y, b.r.z);
    s += text;
    for (const std::vector<Key>* keys : {&b.moves, &b.turns}) {
      s += std::to_string(keys->size()) + "\n";
      for (const Key& k : *keys) {
        std::snprintf(text, sizeof text, "%f %f %f %f\n", k.time, k.x, k.y, k.z);
        s += text;
      }
    }
  }
  std::string crlf;
  for (char c : s) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;
}

// A model released when the test ends, whatever the load did.
struct Model {
  MODEL m{};
  ~Model() { free_model(&m); }
};

// Writes `text` to a scratch file and loads it into *m; the loader's result.
inline int load(const std::string& text, MODEL* m, std::string* path = nullptr) {
  test::TempDir dir;
  const std::string file = dir.file("model.m3d");
  test::write_file(file, text);
  if (path) *path = file;
  return load_milkshape_model(m, file.c_str());
}

}  // namespace vurkhold::crafted
