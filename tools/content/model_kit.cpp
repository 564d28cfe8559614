// model kit: solids laid into meshes with their texture coordinates, bones and normals,
// and the MilkShape 3D ASCII writer.
#include "content/model_kit.h"

#include "content/content.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <numbers>
#include <tuple>

namespace content {

namespace {

constexpr float TWO_PI = 2.0f * std::numbers::pi_v<float>;

V3 to_model(const PLACE& at, float x, float y, float z) { return at.o + at.x * x + at.y * y + at.z * z; }

bool mirrored(const PLACE& at) { return dot(cross(at.x, at.y), at.z) < 0; }

// Puts a triangle into the mesh, corners swapped when the solid is mirrored so that it
// still faces out. A triangle without area (where a profile pauses) has no face to show
// and no normal, and is left out.
void put_triangle(KIT_MESH* m, int a, int b, int c, bool swap) {
  const V3 pa = m->vertex[a].p;
  if (length(cross(m->vertex[b].p - pa, m->vertex[c].p - pa)) < 1e-9f) return;
  if (swap)
    m->triangle.push_back({a, c, b});
  else
    m->triangle.push_back({a, b, c});
}

int put_vertex(KIT_MESH* m, V3 p, float u, float v, int bone) {
  m->vertex.push_back({p, u, v, bone, {0, 0, 0}});
  return static_cast<int>(m->vertex.size()) - 1;
}

// Normals of the vertices added since `first_vertex` by the triangles added since
// `first_triangle`: each vertex gets the area-weighted mean of the faces that meet at its
// position within the same smoothing group, so seams of the texture do not show as edges.
void smooth_normals(KIT_MESH* m, int first_vertex, int first_triangle, const std::vector<int>& group) {
  using Key = std::tuple<int, long, long, long>;
  auto key = [&](int i) {
    const V3 p = m->vertex[i].p;
    return Key{group[i - first_vertex], std::lround(p.x * 1e5f), std::lround(p.y * 1e5f), std::lround(p.z * 1e5f)};
  };
  std::map<Key, V3> sum;
  for (size_t t = first_triangle; t < m->triangle.size(); t++) {
    const KIT_TRIANGLE& tri = m->triangle[t];
    const V3 n = cross(m->vertex[tri.b].p - m->vertex[tri.a].p, m->vertex[tri.c].p - m->vertex[tri.a].p);
    for (int corner : {tri.a, tri.b, tri.c}) {
      V3& s = sum[key(corner)];
      s = s + n;
    }
  }
  for (size_t i = first_vertex; i < m->vertex.size(); i++) {
    auto found = sum.find(key(static_cast<int>(i)));
    m->vertex[i].n = found == sum.end() ? V3{0, 1, 0} : normalize(found->second);
  }
}

bool zero_ring(const RING& r) { return r.rx == 0 && r.ry == 0; }

}  // namespace

float length(V3 a) { return std::sqrt(dot(a, a)); }

V3 normalize(V3 a) {
  const float l = length(a);
  return l > 0 ? a * (1.0f / l) : V3{0, 1, 0};
}

PLACE place_at(V3 o) { return {o, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}; }

PLACE place_between(V3 a, V3 b, V3 up) {
  const V3 z = normalize(b - a);
  V3 x = cross(up, z);
  if (length(x) < 1e-4f) x = cross(V3{1, 0, 0}, z);
  x = normalize(x);
  return {a, x, cross(z, x), z};
}

PLACE tilt(PLACE p, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  const V3 y = p.y * c + p.z * s;
  const V3 z = p.z * c - p.y * s;
  p.y = y;
  p.z = z;
  return p;
}

PLACE mirror(PLACE p) { return {mirror(p.o), mirror(p.x), mirror(p.y), mirror(p.z)}; }

void add_lathe(KIT_MESH* m, const PLACE& at, const std::vector<RING>& rings, int segments, const SURFACE& s,
               bool caps, float turn) {
  const int first_vertex = static_cast<int>(m->vertex.size());
  const int first_triangle = static_cast<int>(m->triangle.size());
  const bool swap = mirrored(at);
  std::vector<int> group;
  // Distance along the profile, for the t texture coordinate.
  std::vector<float> along(rings.size(), 0.0f);
  for (size_t i = 1; i < rings.size(); i++) {
    const float dr = (rings[i].rx + rings[i].ry - rings[i - 1].rx - rings[i - 1].ry) * 0.5f;
    along[i] = along[i - 1] + std::hypot(rings[i].t - rings[i - 1].t, dr);
  }
  const float total = along.back() > 0 ? along.back() : 1.0f;
  auto corner = [&](const RING& r, int j) {
    const float a = turn + TWO_PI * j / segments;
    return to_model(at, r.dx + r.rx * std::cos(a), r.dy + r.ry * std::sin(a), r.t);
  };
  auto texture = [&](size_t i, int j, float* u, float* v) {
    if (s.along_s) {
      *u = s.uv.u0 + (s.uv.u1 - s.uv.u0) * along[i] / total;
      *v = s.uv.v0 + (s.uv.v1 - s.uv.v0) * j / segments;
    } else if (s.uv_scale > 0) {
      const float round = TWO_PI * (rings[i].rx + rings[i].ry) * 0.5f;
      *u = s.uv.u0 + s.uv_scale * round * j / segments;
      *v = s.uv.v0 + s.uv_scale * along[i];
    } else {
      *u = s.uv.u0 + (s.uv.u1 - s.uv.u0) * j / segments;
      *v = s.uv.v0 + (s.uv.v1 - s.uv.v0) * along[i] / total;
    }
  };
  // Smooth bands share their rings' corners; a crease starts a new set, and flat bands
  // give every face its own.
  int band_group = 0;
  std::vector<int> below;
  auto make_ring = [&](size_t i) {
    std::vector<int> ring;
    for (int j = 0; j <= segments; j++) {
      float u, v;
      texture(i, j, &u, &v);
      ring.push_back(put_vertex(m, corner(rings[i], j), u, v, s.bone));
      group.push_back(band_group);
    }
    return ring;
  };
  for (size_t i = 0; i + 1 < rings.size(); i++) {
    if (i > 0 && rings[i].crease) {
      band_group++;
      below.clear();
    }
    const RING& r0 = rings[i];
    const RING& r1 = rings[i + 1];
    if (zero_ring(r0) && zero_ring(r1)) {
      below.clear();
      continue;
    }
    if (s.flat) {
      for (int j = 0; j < segments; j++) {
        const int g = 1000000 + static_cast<int>(i) * segments + j;
        const int base = static_cast<int>(m->vertex.size());
        const size_t ring_of[4] = {i, i, i + 1, i + 1};
        const int step[4] = {j, j + 1, j + 1, j};
        for (int k = 0; k < 4; k++) {
          float u, v;
          texture(ring_of[k], step[k], &u, &v);
          put_vertex(m, corner(rings[ring_of[k]], step[k]), u, v, s.bone);
          group.push_back(g);
        }
        if (!zero_ring(r0)) put_triangle(m, base, base + 1, base + 2, swap);
        if (!zero_ring(r1)) put_triangle(m, base, base + 2, base + 3, swap);
      }
      continue;
    }
    if (below.empty()) below = make_ring(i);
    const std::vector<int> above = make_ring(i + 1);
    for (int j = 0; j < segments; j++) {
      if (!zero_ring(r0)) put_triangle(m, below[j], below[j + 1], above[j + 1], swap);
      if (!zero_ring(r1)) put_triangle(m, below[j], above[j + 1], above[j], swap);
    }
    below = above;
  }
  if (caps) {
    for (int end = 0; end < 2; end++) {
      const RING& r = end == 0 ? rings.front() : rings.back();
      if (zero_ring(r)) continue;
      const int g = 2000000 + end;
      const int centre = static_cast<int>(m->vertex.size());
      auto cap_uv = [&](float x, float y, float* u, float* v) {
        if (s.uv_scale > 0) {
          *u = s.uv.u0 + s.uv_scale * (x + r.rx);
          *v = s.uv.v0 + s.uv_scale * (y + r.ry);
        } else {
          const float rx = r.rx > 0 ? r.rx : 1, ry = r.ry > 0 ? r.ry : 1;
          *u = s.uv.u0 + (s.uv.u1 - s.uv.u0) * (0.5f + 0.5f * x / rx);
          *v = s.uv.v0 + (s.uv.v1 - s.uv.v0) * (0.5f + 0.5f * y / ry);
        }
      };
      float u, v;
      cap_uv(0, 0, &u, &v);
      put_vertex(m, to_model(at, r.dx, r.dy, r.t), u, v, s.bone);
      group.push_back(g);
      for (int j = 0; j <= segments; j++) {
        const float a = turn + TWO_PI * j / segments;
        cap_uv(r.rx * std::cos(a), r.ry * std::sin(a), &u, &v);
        put_vertex(m, corner(r, j), u, v, s.bone);
        group.push_back(g);
      }
      // The first ring's cap faces down the axis, the last one's up it.
      for (int j = 0; j < segments; j++) {
        if (end == 0)
          put_triangle(m, centre, centre + 2 + j, centre + 1 + j, swap);
        else
          put_triangle(m, centre, centre + 1 + j, centre + 2 + j, swap);
      }
    }
  }
  smooth_normals(m, first_vertex, first_triangle, group);
}

void add_ellipsoid(KIT_MESH* m, const PLACE& at, V3 r, int rings, int segments, const SURFACE& s) {
  std::vector<RING> profile;
  for (int i = 0; i <= rings; i++) {
    const float a = std::numbers::pi_v<float> * i / rings;
    const float side = i == 0 || i == rings ? 0.0f : std::sin(a);
    profile.push_back({-r.z * std::cos(a), r.x * side, r.y * side});
  }
  add_lathe(m, at, profile, segments, s, false);
}

void add_face(KIT_MESH* m, const std::vector<V3>& corners, const std::vector<UV>& uv, int bone) {
  const int base = static_cast<int>(m->vertex.size());
  V3 n = {0, 0, 0};
  for (size_t i = 1; i + 1 < corners.size(); i++) n = n + cross(corners[i] - corners[0], corners[i + 1] - corners[0]);
  n = normalize(n);
  for (size_t i = 0; i < corners.size(); i++) {
    put_vertex(m, corners[i], uv[i].u, uv[i].v, bone);
    m->vertex.back().n = n;
  }
  for (size_t i = 1; i + 1 < corners.size(); i++)
    m->triangle.push_back({base, base + static_cast<int>(i), base + static_cast<int>(i) + 1});
}

void add_box(KIT_MESH* m, const PLACE& at, V3 h, const SURFACE& s) {
  // Each face: its normal axis and two axes across it, chosen so that (a, b, n) is
  // right-handed and the corners run counter-clockwise seen from outside.
  struct FACE {
    V3 n, a, b;
  };
  const FACE faces[6] = {{{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
                         {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
                         {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}}};
  const bool swap = mirrored(at);
  for (const FACE& f : faces) {
    auto size_along = [&](V3 axis) { return std::fabs(axis.x) * h.x + std::fabs(axis.y) * h.y + std::fabs(axis.z) * h.z; };
    const float ha = size_along(f.a), hb = size_along(f.b), hn = size_along(f.n);
    std::vector<V3> corners;
    std::vector<UV> uv;
    const float sa[4] = {-1, 1, 1, -1}, sb[4] = {-1, -1, 1, 1};
    for (int k = 0; k < 4; k++) {
      const V3 local = f.n * hn + f.a * (sa[k] * ha) + f.b * (sb[k] * hb);
      corners.push_back(to_model(at, local.x, local.y, local.z));
      if (s.uv_scale > 0)
        uv.push_back({s.uv.u0 + s.uv_scale * (sa[k] + 1) * ha, s.uv.v0 + s.uv_scale * (1 - sb[k]) * hb});
      else
        uv.push_back({sa[k] < 0 ? s.uv.u0 : s.uv.u1, sb[k] < 0 ? s.uv.v1 : s.uv.v0});
    }
    if (swap) {
      std::swap(corners[1], corners[3]);
      std::swap(uv[1], uv[3]);
    }
    add_face(m, corners, uv, s.bone);
  }
}

void add_tube(KIT_MESH* m, V3 a, V3 b, float ra, float rb, int segments, const SURFACE& s, V3 up) {
  const float l = length(b - a);
  add_lathe(m, place_between(a, b, up), {{0, ra, ra}, {l, rb, rb}}, segments, s);
}

void add_slab(KIT_MESH* m, const PLACE& at, const std::vector<V3>& outline, float depth, const SURFACE& s) {
  const bool swap = mirrored(at);
  const float d = depth * 0.5f;
  float lo_x = outline[0].x, hi_x = lo_x, lo_y = outline[0].y, hi_y = lo_y;
  for (V3 p : outline) {
    lo_x = std::fmin(lo_x, p.x);
    hi_x = std::fmax(hi_x, p.x);
    lo_y = std::fmin(lo_y, p.y);
    hi_y = std::fmax(hi_y, p.y);
  }
  auto flat_uv = [&](float x, float y) -> UV {
    if (s.uv_scale > 0) return {s.uv.u0 + s.uv_scale * (x - lo_x), s.uv.v0 + s.uv_scale * (hi_y - y)};
    const float w = hi_x > lo_x ? hi_x - lo_x : 1, h = hi_y > lo_y ? hi_y - lo_y : 1;
    return {s.uv.u0 + (s.uv.u1 - s.uv.u0) * (x - lo_x) / w, s.uv.v0 + (s.uv.v1 - s.uv.v0) * (hi_y - y) / h};
  };
  auto put = [&](std::vector<V3> corners, std::vector<UV> uv) {
    if (swap) {
      std::vector<V3> c(corners.rbegin(), corners.rend());
      std::vector<UV> t(uv.rbegin(), uv.rend());
      corners = c;
      uv = t;
    }
    add_face(m, corners, uv, s.bone);
  };
  std::vector<V3> front, back;
  std::vector<UV> front_uv, back_uv;
  for (V3 p : outline) {
    front.push_back(to_model(at, p.x, p.y, d));
    front_uv.push_back(flat_uv(p.x, p.y));
  }
  for (size_t i = outline.size(); i-- > 0;) {
    back.push_back(to_model(at, outline[i].x, outline[i].y, -d));
    back_uv.push_back(flat_uv(outline[i].x, outline[i].y));
  }
  put(front, front_uv);
  put(back, back_uv);
  float run = 0;
  for (size_t i = 0; i < outline.size(); i++) {
    const V3 p = outline[i], q = outline[(i + 1) % outline.size()];
    const float l = length(q - p);
    UV a, b, c, e;
    if (s.uv_scale > 0) {
      a = {s.uv.u0 + s.uv_scale * run, s.uv.v0};
      b = {s.uv.u0 + s.uv_scale * (run + l), s.uv.v0};
      c = {b.u, s.uv.v0 + s.uv_scale * depth};
      e = {a.u, c.v};
    } else {
      a = {s.uv.u0, s.uv.v0};
      b = {s.uv.u1, s.uv.v0};
      c = {s.uv.u1, s.uv.v1};
      e = {s.uv.u0, s.uv.v1};
    }
    run += l;
    put({to_model(at, p.x, p.y, -d), to_model(at, q.x, q.y, -d), to_model(at, q.x, q.y, d), to_model(at, p.x, p.y, d)},
        {a, b, c, e});
  }
}

double signed_volume(const KIT_MESH& m) {
  double v = 0;
  for (const KIT_TRIANGLE& t : m.triangle) {
    const V3 a = m.vertex[t.a].p, b = m.vertex[t.b].p, c = m.vertex[t.c].p;
    v += static_cast<double>(dot(a, cross(b, c)));
  }
  return v / 6.0;
}

// ---- writer ----

namespace {

// The game's reader takes a line of at most 77 characters with its line end, and a bone's
// name and parent lines of at most 38.
constexpr int LINE_LIMIT = 77;
constexpr int NAME_LIMIT = 38;

struct WRITER {
  std::string text;
  int ok = 1;
  const std::string* path;
};

// Appends one line; a line the game could not read in one piece spoils the file.
[[gnu::format(printf, 3, 4)]] void line(WRITER* w, int limit, const char* format, ...) {
  char buffer[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  std::string s = buffer;
  // A value a hair below zero prints as "-0.000000"; it is written as the zero it is.
  for (size_t at = s.find("-0.000000"); at != std::string::npos; at = s.find("-0.000000", at)) {
    const bool starts = at == 0 || s[at - 1] == ' ';
    const bool ends = at + 9 == s.size() || s[at + 9] == ' ';
    if (starts && ends)
      s.erase(at, 1);
    else
      at++;
  }
  if (static_cast<int>(s.size()) + 1 > limit && w->ok) {
    std::fprintf(stderr, "vurkhold-content: %s: line too long for the reader: %s\n", w->path->c_str(), s.c_str());
    w->ok = 0;
  }
  w->text += s;
  w->text += '\n';
}

int refuse(const std::string& path, const char* what) {
  std::fprintf(stderr, "vurkhold-content: %s: %s\n", path.c_str(), what);
  return 0;
}

}  // namespace

int write_m3d(const KIT_MODEL& model, const std::string& path) {
  if (model.frames < 0 || model.frames >= 500) return refuse(path, "bad number of frames");
  if (model.mesh.empty() || model.mesh.size() >= 100) return refuse(path, "bad number of meshes");
  if (model.bone.size() >= 250) return refuse(path, "too many bones");
  WRITER w;
  w.path = &path;
  line(&w, LINE_LIMIT, "// MilkShape 3D ASCII");
  line(&w, LINE_LIMIT, "%s", "");
  line(&w, LINE_LIMIT, "Frames: %d", model.frames);
  line(&w, LINE_LIMIT, "Frame: 1");
  line(&w, LINE_LIMIT, "%s", "");
  line(&w, LINE_LIMIT, "Meshes: %d", static_cast<int>(model.mesh.size()));
  for (const KIT_MESH& m : model.mesh) {
    const int vertices = static_cast<int>(m.vertex.size());
    if (vertices < 1 || vertices > 9999) return refuse(path, "bad number of vertices in a mesh");
    if (m.triangle.empty() || m.triangle.size() > 10000) return refuse(path, "bad number of triangles in a mesh");
    line(&w, LINE_LIMIT, "\"%s\" 0 0", m.name.c_str());
    line(&w, LINE_LIMIT, "%d", vertices);
    for (const KIT_VERTEX& v : m.vertex) {
      if (v.bone >= static_cast<int>(model.bone.size())) return refuse(path, "a vertex names a missing bone");
      line(&w, LINE_LIMIT, "0 %f %f %f %f %f %d", v.p.x, v.p.y, v.p.z, v.u, v.v, v.bone);
    }
    line(&w, LINE_LIMIT, "%d", vertices);
    for (const KIT_VERTEX& v : m.vertex) line(&w, LINE_LIMIT, "%f %f %f", v.n.x, v.n.y, v.n.z);
    line(&w, LINE_LIMIT, "%d", static_cast<int>(m.triangle.size()));
    for (const KIT_TRIANGLE& t : m.triangle) {
      for (int c : {t.a, t.b, t.c})
        if (c < 0 || c >= vertices) return refuse(path, "a triangle names a missing vertex");
      line(&w, LINE_LIMIT, "0 %d %d %d %d %d %d 1", t.a, t.b, t.c, t.a, t.b, t.c);
    }
  }
  line(&w, LINE_LIMIT, "%s", "");
  line(&w, LINE_LIMIT, "Materials: 1");
  line(&w, LINE_LIMIT, "\"%s\"", model.material.c_str());
  line(&w, LINE_LIMIT, "0.200000 0.200000 0.200000 1.000000");
  line(&w, LINE_LIMIT, "0.800000 0.800000 0.800000 1.000000");
  line(&w, LINE_LIMIT, "0.000000 0.000000 0.000000 1.000000");
  line(&w, LINE_LIMIT, "0.000000 0.000000 0.000000 1.000000");
  line(&w, LINE_LIMIT, "0.000000");
  line(&w, LINE_LIMIT, "1.000000");
  line(&w, LINE_LIMIT, "\".\\%s\"", model.texture.c_str());
  line(&w, LINE_LIMIT, "\"\"");
  line(&w, LINE_LIMIT, "%s", "");
  line(&w, LINE_LIMIT, "Bones: %d", static_cast<int>(model.bone.size()));
  for (size_t i = 0; i < model.bone.size(); i++) {
    const KIT_BONE& b = model.bone[i];
    if (b.parent >= static_cast<int>(i)) return refuse(path, "a bone's parent does not come before it");
    if (b.position.size() > 100 || b.rotation.size() > 100) return refuse(path, "too many keys in a bone");
    line(&w, NAME_LIMIT, "\"%s\"", b.name.c_str());
    line(&w, NAME_LIMIT, "\"%s\"", b.parent < 0 ? "" : model.bone[b.parent].name.c_str());
    line(&w, LINE_LIMIT, "0 %f %f %f %f %f %f", b.p.x, b.p.y, b.p.z, b.r.x, b.r.y, b.r.z);
    for (const std::vector<KIT_KEY>* keys : {&b.position, &b.rotation}) {
      line(&w, LINE_LIMIT, "%d", static_cast<int>(keys->size()));
      float last = -1e30f;
      for (const KIT_KEY& k : *keys) {
        if (k.time <= last) return refuse(path, "keys out of order");
        last = k.time;
        line(&w, LINE_LIMIT, "%f %f %f %f", k.time, k.v.x, k.v.y, k.v.z);
      }
    }
  }
  line(&w, LINE_LIMIT, "GroupComments: 0");
  line(&w, LINE_LIMIT, "MaterialComments: 0");
  line(&w, LINE_LIMIT, "BoneComments: 0");
  line(&w, LINE_LIMIT, "ModelComment: 0");
  if (!w.ok) return 0;
  return write_bytes(path.c_str(), w.text.data(), w.text.size());
}

}  // namespace content
