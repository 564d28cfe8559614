// model kit: meshes built from simple solids (surfaces of revolution, boxes, flat
// pieces), skeletons with key frames, and the writer that puts a model into a MilkShape
// 3D ASCII file laid out as the modelling program lays it out.
#pragma once

#include <string>
#include <vector>

namespace content {

struct V3 {
  float x, y, z;
};

inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float length(V3 a);
V3 normalize(V3 a);
// The same point on the other side of the x = 0 plane.
inline V3 mirror(V3 a) { return {-a.x, a.y, a.z}; }

// Where a solid stands: its own origin and axes in the model. Axes that form a mirrored
// frame are allowed; the solid's faces then keep facing out.
struct PLACE {
  V3 o, x, y, z;
};
PLACE place_at(V3 o);
// Origin at a, z axis from a towards b (unit length), y as close to `up` as it can be.
PLACE place_between(V3 a, V3 b, V3 up);
// Turned about the place's own x axis by `angle` radians (y towards z).
PLACE tilt(PLACE p, float angle);
// The place seen in the x = 0 mirror.
PLACE mirror(PLACE p);

// A rectangle of the texture: s from u0 to u1, t from v0 to v1 (t = 0 is the first row of
// the texture file).
struct UV_RECT {
  float u0, v0, u1, v1;
};

// How a solid's surface is made.
struct SURFACE {
  int bone = -1;              // bone that moves its vertices, -1 for none
  UV_RECT uv = {0, 0, 1, 1};  // where its texture coordinates fit
  float uv_scale = 0;         // > 0: coordinates run with the size (this many per unit)
                              //   from uv.u0, uv.v0 instead of fitting the rectangle
  bool flat = false;          // hard edges: every face its own corners and normal
  bool along_s = false;       // surfaces of revolution: s along the profile, t round it
};

struct KIT_VERTEX {
  V3 p;
  float u, v;
  int bone;
  V3 n;
};
struct KIT_TRIANGLE {
  int a, b, c;
};
struct KIT_MESH {
  std::string name;
  std::vector<KIT_VERTEX> vertex;
  std::vector<KIT_TRIANGLE> triangle;
};
struct KIT_KEY {
  float time;
  V3 v;
};
struct KIT_BONE {
  std::string name;
  int parent;  // index of an earlier bone, -1 for a root
  V3 p, r;     // rest position relative to the parent, rest angles
  std::vector<KIT_KEY> position, rotation;
};
struct KIT_MODEL {
  int frames = 1;
  std::string material;  // material name
  std::string texture;   // file name the material names as its colour map
  std::vector<KIT_MESH> mesh;
  std::vector<KIT_BONE> bone;
};

// One ring of a surface of revolution: at height t along the place's z axis, half-widths
// rx along x and ry along y, centre moved by (dx, dy) across.
struct RING {
  float t, rx, ry, dx = 0, dy = 0;
  bool crease = false;  // a hard edge at this ring: the faces on either side shade apart
};

// Surface of revolution around the place's z axis, `segments` corners per ring, ring 0
// first. A ring of zero size closes the surface in a point; an open first or last ring is
// closed with a flat cap when `caps` is set. A profile that runs back down the axis makes
// an inner wall (a hollow tube or bell): its faces point into the hollow. `turn` turns
// the first corner of every ring from the x axis by that many radians.
void add_lathe(KIT_MESH* m, const PLACE& at, const std::vector<RING>& rings, int segments, const SURFACE& s,
               bool caps = true, float turn = 0);
// Ellipsoid with radii r around the place's origin, its poles on the place's z axis.
void add_ellipsoid(KIT_MESH* m, const PLACE& at, V3 r, int rings, int segments, const SURFACE& s);
// Box with half-sizes h around the place's origin.
void add_box(KIT_MESH* m, const PLACE& at, V3 h, const SURFACE& s);
// Capped round tube from a to b, radius ra at a and rb at b.
void add_tube(KIT_MESH* m, V3 a, V3 b, float ra, float rb, int segments, const SURFACE& s, V3 up = {0, 1, 0});
// A closed solid from a convex outline in the place's x-y plane (counter-clockwise seen
// from +z), extruded from z = -depth / 2 to +depth / 2.
void add_slab(KIT_MESH* m, const PLACE& at, const std::vector<V3>& outline, float depth, const SURFACE& s);
// Texture coordinates of one corner.
struct UV {
  float u, v;
};
// A single flat face with corners in counter-clockwise order seen from the side it faces,
// and their texture coordinates.
void add_face(KIT_MESH* m, const std::vector<V3>& corners, const std::vector<UV>& uv, int bone);

// Sum over the triangles of a · (b × c) / 6: the enclosed volume, positive when the faces
// of closed solids point out.
double signed_volume(const KIT_MESH& m);

// Writes the model; 0 after printing to stderr when the file can't be written or the model
// breaks a limit of the game's reader (counts, line lengths, bone names).
int write_m3d(const KIT_MODEL& model, const std::string& path);

}  // namespace content
