// models of the game folder: the rock, the level's metal box and the radar arrow here,
// and write_models, which writes every model the game loads into models/.
#include "content/models.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <utility>

#include "content/content.h"
#include "content/manifest.h"

namespace content {

namespace {

// The generator's own random numbers: the same sequence on every build.
struct LCG {
  uint32_t state;
};
float next_float(LCG* g) {
  g->state = g->state * 1664525u + 1013904223u;
  return static_cast<float>(g->state >> 8) / 16777216.0f;
}

// A flat face with texture coordinates projected along the axis it faces most.
void add_projected_face(KIT_MESH* m, V3 a, V3 b, V3 c, float scale) {
  const V3 n = normalize(cross(b - a, c - a));
  auto uv = [&](V3 p) -> UV {
    if (std::fabs(n.x) >= std::fabs(n.y) && std::fabs(n.x) >= std::fabs(n.z)) return {p.z * scale, p.y * scale};
    if (std::fabs(n.y) >= std::fabs(n.z)) return {p.x * scale, p.z * scale};
    return {p.x * scale, p.y * scale};
  };
  add_face(m, {a, b, c}, {uv(a), uv(b), uv(c)}, -1);
}

// A rectangle facing n, spanned by a and b (a x b = n), half-sizes ha and hb.
void add_rectangle(KIT_MESH* m, V3 centre, V3 a, V3 b, float ha, float hb, float scale) {
  std::vector<V3> corners = {centre - a * ha - b * hb, centre + a * ha - b * hb, centre + a * ha + b * hb,
                             centre - a * ha + b * hb};
  std::vector<UV> uv;
  for (V3 p : corners) uv.push_back({dot(p, a) * scale, dot(p, b) * scale});
  add_face(m, corners, uv, -1);
}

}  // namespace

// A boulder: a twice-split icosahedron, squashed, jittered and chipped flat in places,
// with hard edges. Its farthest corner is 1.05 from the origin: the game takes the squared
// reach as the collision radius, so the rock's sphere hugs its bumps.
KIT_MODEL make_rock() {
  const float g = (1.0f + std::sqrt(5.0f)) / 2.0f;
  std::vector<V3> points = {{-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0}, {0, -1, g}, {0, 1, g},
                            {0, -1, -g}, {0, 1, -g}, {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1}};
  for (V3& p : points) p = normalize(p);
  // The icosahedron's faces are the triples of mutually neighbouring corners.
  std::vector<KIT_TRIANGLE> faces;
  const float edge = length(points[0] - points[1]) * 1.01f;
  for (int a = 0; a < 12; a++)
    for (int b = a + 1; b < 12; b++)
      for (int c = b + 1; c < 12; c++)
        if (length(points[a] - points[b]) < edge && length(points[b] - points[c]) < edge &&
            length(points[a] - points[c]) < edge) {
          const V3 n = cross(points[b] - points[a], points[c] - points[a]);
          if (dot(n, points[a]) > 0)
            faces.push_back({a, b, c});
          else
            faces.push_back({a, c, b});
        }
  // Each face into four, the new corners pushed out onto the sphere.
  std::map<std::pair<int, int>, int> middle;
  auto mid = [&](int a, int b) {
    const std::pair<int, int> k = {std::min(a, b), std::max(a, b)};
    auto found = middle.find(k);
    if (found != middle.end()) return found->second;
    points.push_back(normalize((points[a] + points[b]) * 0.5f));
    middle[k] = static_cast<int>(points.size()) - 1;
    return middle[k];
  };
  std::vector<KIT_TRIANGLE> split;
  for (const KIT_TRIANGLE& f : faces) {
    const int ab = mid(f.a, f.b), bc = mid(f.b, f.c), ca = mid(f.c, f.a);
    split.push_back({f.a, ab, ca});
    split.push_back({f.b, bc, ab});
    split.push_back({f.c, ca, bc});
    split.push_back({ab, bc, ca});
  }
  LCG random = {0x5eed0001u};
  for (V3& p : points) {
    p = {p.x * 1.08f, p.y * 0.8f, p.z * 0.97f};
    p = p * (0.9f + 0.16f * next_float(&random));
  }
  // Chips: corners beyond a few planes are pressed back onto them.
  const V3 cut_normal[] = {{0.3f, 0.9f, 0.2f}, {-0.8f, 0.2f, 0.5f}, {0.5f, -0.3f, -0.8f}, {-0.2f, -0.95f, 0.1f}};
  const float cut_at[] = {0.7f, 0.85f, 0.82f, 0.72f};
  for (V3& p : points)
    for (int k = 0; k < 4; k++) {
      const V3 n = normalize(cut_normal[k]);
      const float over = dot(p, n) - cut_at[k];
      if (over > 0) p = p - n * over;
    }
  float reach = 0;
  for (V3 p : points) reach = std::fmax(reach, length(p));
  for (V3& p : points) p = p * (1.05f / reach);
  KIT_MODEL model;
  model.material = "rock";
  model.texture = "rock.tga";
  model.mesh.resize(1);
  model.mesh[0].name = "rock";
  for (const KIT_TRIANGLE& f : split) add_projected_face(&model.mesh[0], points[f.a], points[f.b], points[f.c], 0.5f);
  return model;
}

// Mesh 0: the six walls of the level seen from inside, in world units, the metal texture
// once every 4 units. Mesh 1: the cube's twelve edges as beams, for the radar.
KIT_MODEL make_metalbox() {
  KIT_MODEL model;
  model.material = "metal";
  model.texture = "metal.tga";
  model.mesh.resize(2);
  model.mesh[0].name = "walls";
  model.mesh[1].name = "frame";
  const float s = 32, h = 16, scale = 0.25f;
  KIT_MESH* walls = &model.mesh[0];
  // Each wall faces into the cube: n = a x b.
  add_rectangle(walls, {h, 0, h}, {0, 0, 1}, {1, 0, 0}, h, h, scale);   // floor, facing +y
  add_rectangle(walls, {h, s, h}, {1, 0, 0}, {0, 0, 1}, h, h, scale);   // top, facing -y
  add_rectangle(walls, {0, h, h}, {0, 1, 0}, {0, 0, 1}, h, h, scale);   // facing +x
  add_rectangle(walls, {s, h, h}, {0, 0, 1}, {0, 1, 0}, h, h, scale);   // facing -x
  add_rectangle(walls, {h, h, 0}, {1, 0, 0}, {0, 1, 0}, h, h, scale);   // facing +z
  add_rectangle(walls, {h, h, s}, {0, 1, 0}, {1, 0, 0}, h, h, scale);   // facing -z
  SURFACE beam;
  beam.uv_scale = scale;
  const float w = 0.3f;
  for (int axis = 0; axis < 3; axis++)
    for (int i = 0; i < 4; i++) {
      const float u = (i & 1) ? s : 0, v = (i & 2) ? s : 0;
      V3 centre, half;
      if (axis == 0) centre = {h, u, v}, half = {h + w, w, w};
      if (axis == 1) centre = {u, h, v}, half = {w, h + w, w};
      if (axis == 2) centre = {u, v, h}, half = {w, w, h + w};
      add_box(&model.mesh[1], place_at(centre), half, beam);
    }
  return model;
}

// The radar's marker: an arrow half a unit long pointing along -z, with a diamond head
// that reads from above and from the side.
KIT_MODEL make_arrow() {
  KIT_MODEL model;
  model.material = "gray";
  model.texture = "gray.tga";
  model.mesh.resize(1);
  model.mesh[0].name = "arrow";
  SURFACE s;
  s.flat = true;
  const PLACE forward = {{0, 0, 0.0f}, {-1, 0, 0}, {0, 1, 0}, {0, 0, -1}};
  add_lathe(&model.mesh[0], forward, {{0, 0.15f, 0.06f}, {0.25f, 0, 0}}, 4, s);
  add_box(&model.mesh[0], place_at({0, 0, 0.12f}), {0.045f, 0.035f, 0.12f}, s);
  return model;
}

int write_models(const char* dir) {
  const std::string models = std::string(dir) + "/models/";
  if (!write_m3d(make_vurk(), models + "vurk2.m3d")) return 0;
  if (!write_m3d(make_rock(), models + "rock.m3d")) return 0;
  if (!write_m3d(make_metalbox(), models + "metalbox.m3d")) return 0;
  if (!write_m3d(make_arrow(), models + "arrow.m3d")) return 0;
  for (int i = 0; i < static_cast<int>(std::size(weapon_models)); i++)
    if (!write_m3d(make_weapon(i), models + weapon_models[i].stem + ".m3d")) return 0;
  for (int i = 0; i < static_cast<int>(std::size(bullet_models)); i++)
    if (!write_m3d(make_bullet(i), models + bullet_models[i].stem + ".m3d")) return 0;
  return 1;
}

}  // namespace content
