// MilkShape 3D ASCII text for model tests: small builders for crafted files and a loader
// that writes the text into a scratch folder and reads it back as a model.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "render/render.h"
#include "support/test_support.h"

namespace vurkhold::m3d {

struct Key {
  float time, x, y, z;
};

struct Bone {
  std::string name;    // written quoted
  std::string parent;  // written quoted; "" for a root
  float p[3];
  float r[3];
  std::vector<Key> position_keys;
  std::vector<Key> rotation_keys;
};

inline std::string format(const char* pattern, double a = 0, double b = 0, double c = 0, double d = 0) {
  char text[200];
  std::snprintf(text, sizeof text, pattern, a, b, c, d);
  return text;
}

inline std::string header(int frames, int meshes) {
  return "// MilkShape 3D ASCII\n\nFrames: " + std::to_string(frames) + "\nFrame: 1\n\nMeshes: " +
         std::to_string(meshes) + "\n";
}

// A vertex line: flags, position, texture coordinates, bone.
inline std::string vertex(float x, float y, float z, int bone = -1, float u = 0.25f, float v = 0.75f) {
  char text[160];
  std::snprintf(text, sizeof text, "0 %f %f %f %f %f %d\n", x, y, z, u, v, bone);
  return text;
}

inline std::string triangle(int a, int b, int c, int d = 0, int e = 0, int f = 0) {
  char text[120];
  std::snprintf(text, sizeof text, "0 %d %d %d %d %d %d 1\n", a, b, c, d, e, f);
  return text;
}

// One mesh from its vertex and triangle lines, with `normals` normal lines.
inline std::string mesh(const std::vector<std::string>& vertices, const std::vector<std::string>& triangles,
                        int normals = 1) {
  std::string s = "\"mesh\" 0 0\n" + std::to_string(vertices.size()) + "\n";
  for (const std::string& v : vertices) s += v;
  s += std::to_string(normals) + "\n";
  for (int i = 0; i < normals; i++) s += "0.000000 1.000000 0.000000\n";
  s += std::to_string(triangles.size()) + "\n";
  for (const std::string& t : triangles) s += t;
  return s;
}

// The smallest useful mesh: one triangle in the z = 0 plane.
inline std::string small_mesh(int bone = -1) {
  return mesh({vertex(0, 0, 0, bone), vertex(1, 0, 0, bone), vertex(0, 1, 0, bone)}, {triangle(0, 1, 2)});
}

inline std::string materials(int count) {
  std::string s = "\nMaterials: " + std::to_string(count) + "\n";
  for (int i = 0; i < count; i++) {
    s += "\"material\"\n0.2 0.2 0.2 1.0\n0.8 0.8 0.8 1.0\n0.0 0.0 0.0 1.0\n0.0 0.0 0.0 1.0\n0.0\n1.0\n"
         "\".\\skin.bmp\"\n\"\"\n";
  }
  return s;
}

inline std::string bones(const std::vector<Bone>& list) {
  std::string s = "\nBones: " + std::to_string(list.size()) + "\n";
  for (const Bone& b : list) {
    s += "\"" + b.name + "\"\n\"" + b.parent + "\"\n";
    char text[200];
    std::snprintf(text, sizeof text, "8 %f %f %f %f %f %f\n", b.p[0], b.p[1], b.p[2], b.r[0], b.r[1], b.r[2]);
    s += text;
    s += std::to_string(b.position_keys.size()) + "\n";
    for (const Key& k : b.position_keys) s += format("%f %f %f %f\n", k.time, k.x, k.y, k.z);
    s += std::to_string(b.rotation_keys.size()) + "\n";
    for (const Key& k : b.rotation_keys) s += format("%f %f %f %f\n", k.time, k.x, k.y, k.z);
  }
  return s;
}

// Every "\n" turned into "\r\n", the way the files are written.
inline std::string crlf(const std::string& text) {
  std::string s;
  for (char c : text) {
    if (c == '\n') s += '\r';
    s += c;
  }
  return s;
}

// Writes `text` as `name` into `dir` and loads it into *m; returns the loader's result.
inline int load_text(const test::TempDir& dir, const std::string& text, MODEL* m, std::string* path = nullptr,
                     const std::string& name = "model.m3d") {
  std::string file = dir.file(name);
  test::write_file(file, text);
  if (path) *path = file;
  return load_milkshape_model(m, file.c_str());
}

// The message as shown: "ERROR: " and the text cut to the 79 characters its buffer holds.
inline std::string shown(const std::string& text) { return "ERROR: " + text.substr(0, 79); }

}  // namespace vurkhold::m3d
