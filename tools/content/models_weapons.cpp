// weapon and bullet models.
//
// A weapon model is drawn about the vurk's centre, turned with its heading and pitch and
// not scaled, so each one is modelled where the vurk holds it: pointing along -z with its
// muzzle at (0, 0, -0.49), where the bullets start, the paws gripping its sides about
// 0.09 either side of the axis and 0.39 ahead. Its texture coordinates run with its size,
// three texture widths per unit, into its own gunmetal texture.
//
// Bullet models are tiny, as up to 300 of them may be drawn in a view. Solid ones point
// along -z; sprites are single quads facing +z, which the drawing turns to the camera.
// All share textures/bullet.tga, painted in quarters: s 0-0.5, t 0-0.5 brass and s 0.5-1,
// t 0-0.5 dark steel with a band, each shaded as a cylinder lying along s, so solids run
// s from nose to tail and t once round; s 0-0.5, t 0.5-1 a fire ball and s 0.5-1,
// t 0.5-1 an energy star, each filling a sprite's quad.
#include <cmath>
#include <numbers>

#include "content/manifest.h"
#include "content/models.h"

namespace content {

namespace {

constexpr float PI = std::numbers::pi_v<float>;

SURFACE metal(bool flat = false) {
  SURFACE s;
  s.uv_scale = 3;
  s.flat = flat;
  return s;
}

// A round part along the z axis through (x, y), from front z0 to back z1 (z0 < z1); with
// a bore, its front is hollow to that depth.
void barrel(KIT_MESH* m, float x, float y, float z0, float z1, float r, float bore = 0, float depth = 0.03f,
            int segments = 10) {
  if (bore > 0)
    add_lathe(m, place_at({x, y, 0}),
              {{z0 + depth, 0, 0}, {z0 + depth, bore, bore, 0, 0, true}, {z0, bore, bore, 0, 0, true},
               {z0, r, r, 0, 0, true}, {z1, r, r, 0, 0, true}},
              segments, metal());
  else
    add_lathe(m, place_at({x, y, 0}), {{z0, r, r}, {z1, r, r}}, segments, metal());
}

// A raised band round the z axis through (x, y).
void band(KIT_MESH* m, float x, float y, float z, float r, float width, int segments = 12) {
  add_lathe(m, place_at({x, y, 0}), {{z - width / 2, r, r}, {z + width / 2, r, r}}, segments, metal());
}

void box(KIT_MESH* m, V3 centre, V3 half, float tilt_x = 0) {
  add_box(m, tilt(place_at(centre), tilt_x), half, metal(true));
}

void rod(KIT_MESH* m, V3 a, V3 b, float ra, float rb, int segments = 6) { add_tube(m, a, b, ra, rb, segments, metal()); }

void ball(KIT_MESH* m, V3 centre, V3 r, int rings = 5, int segments = 8) {
  add_ellipsoid(m, place_at(centre), r, rings, segments, metal());
}

// Ridges round the z axis through (x, y) between z0 and z1.
void ribbed(KIT_MESH* m, float x, float y, float z0, float z1, float r, float ridge, int ridges, int segments = 10) {
  std::vector<RING> rings;
  for (int i = 0; i < ridges; i++) {
    const float a = z0 + (z1 - z0) * i / ridges, b = z0 + (z1 - z0) * (i + 1) / ridges;
    rings.push_back({a, r, r, 0, 0, true});
    rings.push_back({a + (b - a) * 0.3f, r + ridge, r + ridge, 0, 0, true});
    rings.push_back({a + (b - a) * 0.7f, r + ridge, r + ridge, 0, 0, true});
    rings.push_back({b, r, r, 0, 0, true});
  }
  add_lathe(m, place_at({x, y, 0}), rings, segments, metal());
}

void pistol_grip(KIT_MESH* m, float z) { box(m, {0, -0.085f, z}, {0.016f, 0.05f, 0.022f}, -0.35f); }

void machinegun(KIT_MESH* m) {
  barrel(m, 0, 0, -0.49f, -0.3f, 0.014f, 0.008f);
  ribbed(m, 0, 0, -0.47f, -0.36f, 0.024f, 0.007f, 5);
  box(m, {0, 0.038f, -0.465f}, {0.004f, 0.014f, 0.006f});
  box(m, {0, -0.025f, -0.27f}, {0.045f, 0.06f, 0.1f});
  box(m, {0, -0.05f, -0.4f}, {0.028f, 0.024f, 0.035f});
  box(m, {0, 0.045f, -0.27f}, {0.012f, 0.01f, 0.08f});
  box(m, {0, -0.13f, -0.31f}, {0.022f, 0.07f, 0.032f}, 0.3f);
}

void shotgun(KIT_MESH* m) {
  for (float side : {-1.0f, 1.0f}) barrel(m, 0.019f * side, 0.006f, -0.49f, -0.2f, 0.018f, 0.012f, 0.03f, 12);
  box(m, {0, 0.026f, -0.35f}, {0.005f, 0.004f, 0.13f});
  ribbed(m, 0, -0.032f, -0.44f, -0.31f, 0.022f, 0.005f, 6, 10);
  box(m, {0, -0.02f, -0.25f}, {0.045f, 0.05f, 0.08f});
  pistol_grip(m, -0.25f);
}

void sniper(KIT_MESH* m) {
  box(m, {0, 0, -0.465f}, {0.018f, 0.013f, 0.025f});
  barrel(m, 0, 0, -0.49f, -0.44f, 0.009f, 0.006f, 0.02f, 8);
  add_lathe(m, place_at({0, 0, 0}), {{-0.44f, 0.011f, 0.011f}, {-0.36f, 0.014f, 0.014f}, {-0.3f, 0.02f, 0.02f}}, 10,
            metal());
  // The scope: objective bell at the front, eyepiece at the back.
  add_lathe(m, place_at({0, 0.05f, 0}),
            {{-0.42f, 0.026f, 0.026f},
             {-0.39f, 0.026f, 0.026f},
             {-0.37f, 0.016f, 0.016f},
             {-0.25f, 0.016f, 0.016f},
             {-0.23f, 0.022f, 0.022f},
             {-0.2f, 0.022f, 0.022f}},
            12, metal());
  for (float z : {-0.34f, -0.26f}) box(m, {0, 0.03f, z}, {0.008f, 0.012f, 0.008f});
  box(m, {0, -0.005f, -0.22f}, {0.032f, 0.036f, 0.09f});
  for (float side : {-1.0f, 1.0f}) rod(m, {0.012f * side, -0.012f, -0.4f}, {0.055f * side, -0.15f, -0.44f}, 0.006f, 0.005f);
}

void rocket_launcher(KIT_MESH* m) {
  add_lathe(m, place_at({0, 0, 0}),
            {{-0.45f, 0, 0},
             {-0.45f, 0.046f, 0.046f, 0, 0, true},
             {-0.49f, 0.046f, 0.046f, 0, 0, true},
             {-0.49f, 0.066f, 0.066f, 0, 0, true},
             {-0.45f, 0.066f, 0.066f, 0, 0, true},
             {-0.44f, 0.056f, 0.056f, 0, 0, true},
             {-0.16f, 0.056f, 0.056f, 0, 0, true},
             {-0.12f, 0.07f, 0.07f, 0, 0, true}},
            14, metal());
  // The warhead waiting in the tube.
  add_lathe(m, place_at({0, 0, 0}), {{-0.475f, 0, 0}, {-0.45f, 0.034f, 0.034f}}, 10, metal());
  band(m, 0, 0, -0.3f, 0.06f, 0.02f, 14);
  box(m, {-0.072f, 0.03f, -0.36f}, {0.012f, 0.022f, 0.035f});
  box(m, {0, -0.08f, -0.33f}, {0.015f, 0.03f, 0.02f});
}

void grenade_launcher(KIT_MESH* m) {
  barrel(m, 0, 0, -0.49f, -0.36f, 0.032f, 0.024f, 0.03f, 12);
  band(m, 0, 0, -0.47f, 0.036f, 0.012f);
  // The drum: six flat sides round an axis under the barrel.
  add_lathe(m, place_at({0, -0.02f, 0}), {{-0.36f, 0.068f, 0.068f}, {-0.27f, 0.068f, 0.068f}}, 6, metal(true), true,
            PI / 6);
  box(m, {0, -0.01f, -0.22f}, {0.035f, 0.04f, 0.05f});
  pistol_grip(m, -0.24f);
}

void bouncer(KIT_MESH* m) {
  // A flared bell with a ball sitting in it, coils behind.
  add_lathe(m, place_at({0, 0, 0}),
            {{-0.44f, 0, 0},
             {-0.44f, 0.02f, 0.02f, 0, 0, true},
             {-0.49f, 0.055f, 0.055f},
             {-0.49f, 0.062f, 0.062f, 0, 0, true},
             {-0.44f, 0.026f, 0.026f, 0, 0, true},
             {-0.42f, 0.022f, 0.022f}},
            14, metal());
  ball(m, {0, 0, -0.455f}, {0.028f, 0.028f, 0.028f});
  ribbed(m, 0, 0, -0.42f, -0.31f, 0.022f, 0.012f, 5, 12);
  ball(m, {0, -0.01f, -0.25f}, {0.05f, 0.05f, 0.085f}, 6, 12);
}

void minelayer(KIT_MESH* m) {
  // A square chute with a mine lying in its mouth.
  box(m, {0, 0.045f, -0.45f}, {0.058f, 0.008f, 0.04f});
  box(m, {0, -0.045f, -0.45f}, {0.058f, 0.008f, 0.04f});
  for (float side : {-1.0f, 1.0f}) box(m, {0.05f * side, 0, -0.45f}, {0.008f, 0.037f, 0.04f});
  add_lathe(m, PLACE{{0, -0.03f, -0.46f}, {1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{0, 0.032f, 0.032f}, {0.018f, 0.028f, 0.028f}},
            10, metal());
  box(m, {0, 0, -0.33f}, {0.062f, 0.052f, 0.08f});
  // The magazine of mines under it, wider at the bottom.
  add_slab(m, PLACE{{0, -0.1f, -0.32f}, {0, 0, 1}, {0, 1, 0}, {-1, 0, 0}},
           {{-0.08f, -0.05f, 0}, {0.08f, -0.05f, 0}, {0.06f, 0.05f, 0}, {-0.06f, 0.05f, 0}}, 0.09f, metal());
}

void flamethrower(KIT_MESH* m) {
  add_lathe(m, place_at({0, 0, 0}),
            {{-0.47f, 0, 0},
             {-0.47f, 0.01f, 0.01f, 0, 0, true},
             {-0.49f, 0.013f, 0.013f},
             {-0.49f, 0.02f, 0.02f, 0, 0, true},
             {-0.47f, 0.016f, 0.016f, 0, 0, true},
             {-0.38f, 0.014f, 0.014f},
             {-0.36f, 0.028f, 0.028f, 0, 0, true},
             {-0.2f, 0.028f, 0.028f}},
            10, metal());
  box(m, {0, -0.022f, -0.47f}, {0.006f, 0.008f, 0.012f});
  ball(m, {0, -0.026f, -0.485f}, {0.006f, 0.006f, 0.006f}, 3, 6);
  // The fuel tank slung underneath, with its hose.
  add_lathe(m, place_at({0, -0.075f, 0}),
            {{-0.43f, 0, 0}, {-0.42f, 0.03f, 0.03f}, {-0.4f, 0.04f, 0.04f}, {-0.24f, 0.04f, 0.04f},
             {-0.22f, 0.03f, 0.03f}, {-0.21f, 0, 0}},
            12, metal());
  band(m, 0, -0.075f, -0.37f, 0.043f, 0.01f);
  band(m, 0, -0.075f, -0.27f, 0.043f, 0.01f);
  rod(m, {0.02f, -0.05f, -0.22f}, {0.03f, -0.02f, -0.18f}, 0.008f, 0.008f);
}

void laser(KIT_MESH* m) {
  add_lathe(m, place_at({0, 0, 0}),
            {{-0.47f, 0, 0},
             {-0.47f, 0.02f, 0.02f, 0, 0, true},
             {-0.49f, 0.024f, 0.024f},
             {-0.49f, 0.032f, 0.032f, 0, 0, true},
             {-0.46f, 0.034f, 0.034f}},
            12, metal());
  add_lathe(m, place_at({0, 0, 0}), {{-0.46f, 0.042f, 0.036f}, {-0.2f, 0.05f, 0.042f}}, 6, metal(true));
  ball(m, {0, 0, -0.472f}, {0.016f, 0.016f, 0.008f}, 4, 8);
  for (float z : {-0.4f, -0.34f, -0.28f})
    add_slab(m, PLACE{{0, 0.04f, z}, {0, 0, 1}, {0, 1, 0}, {-1, 0, 0}},
             {{-0.02f, -0.01f, 0}, {0.02f, -0.01f, 0}, {0.01f, 0.025f, 0}, {-0.012f, 0.025f, 0}}, 0.006f, metal());
}

void napalm(KIT_MESH* m) {
  // A wide flat nozzle and a drum hanging underneath.
  add_lathe(m, place_at({0, 0, 0}),
            {{-0.46f, 0, 0},
             {-0.46f, 0.034f, 0.012f, 0, 0, true},
             {-0.49f, 0.046f, 0.014f},
             {-0.49f, 0.054f, 0.021f, 0, 0, true},
             {-0.44f, 0.04f, 0.022f},
             {-0.4f, 0.026f, 0.026f},
             {-0.2f, 0.03f, 0.03f}},
            12, metal());
  box(m, {0, -0.02f, -0.28f}, {0.04f, 0.035f, 0.08f});
  const PLACE down = {{0, -0.05f, -0.3f}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
  add_lathe(m, down,
            {{0, 0.044f, 0.044f},
             {0.012f, 0.05f, 0.05f, 0, 0, true},
             {0.02f, 0.046f, 0.046f, 0, 0, true},
             {0.06f, 0.046f, 0.046f},
             {0.068f, 0.05f, 0.05f, 0, 0, true},
             {0.08f, 0.044f, 0.044f, 0, 0, true},
             {0.09f, 0.02f, 0.02f, 0, 0, true},
             {0.1f, 0.02f, 0.02f}},
            12, metal());
  box(m, {0, -0.05f, -0.21f}, {0.016f, 0.05f, 0.022f}, -0.35f);
}

void digger(KIT_MESH* m) {
  // A stepped drill bit, each step turned a little further, on a motor housing.
  const float steps[] = {-0.49f, -0.455f, -0.42f, -0.39f, -0.36f};
  for (int i = 0; i < 4; i++) {
    const float r0 = i == 0 ? 0 : 0.013f * i, r1 = 0.013f * (i + 1) + 0.004f;
    add_lathe(m, place_at({0, 0, 0}), {{steps[i], r0, r0}, {steps[i + 1], r1, r1}}, 6, metal(true), true, 0.3f * i);
  }
  add_lathe(m, place_at({0, 0, 0}), {{-0.36f, 0.03f, 0.03f}, {-0.34f, 0.056f, 0.056f}, {-0.2f, 0.056f, 0.056f}}, 14,
            metal());
  for (float z : {-0.31f, -0.28f, -0.25f}) band(m, 0, 0, z, 0.06f, 0.012f, 14);
  // Handles where the paws hold it.
  for (float side : {-1.0f, 1.0f}) rod(m, {0.05f * side, -0.03f, -0.36f}, {0.1f * side, -0.06f, -0.39f}, 0.013f, 0.013f);
}

void cluster(KIT_MESH* m) {
  for (float x : {-1.0f, 1.0f})
    for (float y : {-1.0f, 1.0f}) barrel(m, 0.026f * x, 0.026f * y, -0.49f, -0.28f, 0.021f, 0.014f, 0.025f, 10);
  for (float z : {-0.45f, -0.34f})
    add_lathe(m, place_at({0, 0, 0}), {{z - 0.012f, 0.068f, 0.068f}, {z + 0.012f, 0.068f, 0.068f}}, 8, metal(true),
              true, PI / 8);
  box(m, {0, -0.005f, -0.23f}, {0.05f, 0.05f, 0.06f});
}

void plasma(KIT_MESH* m) {
  barrel(m, 0, 0, -0.49f, -0.38f, 0.018f, 0.012f, 0.02f, 10);
  for (float z : {-0.47f, -0.44f, -0.41f}) band(m, 0, 0, z, 0.034f, 0.008f, 12);
  ball(m, {0, 0, -0.33f}, {0.058f, 0.058f, 0.058f}, 8, 14);
  box(m, {0, -0.01f, -0.23f}, {0.035f, 0.04f, 0.06f});
  for (float side : {-1.0f, 1.0f}) rod(m, {0.03f * side, 0.03f, -0.28f}, {0.015f * side, 0.012f, -0.43f}, 0.006f, 0.006f);
}

void antigrav(KIT_MESH* m) {
  // Three prongs meet in front of a ring; an orb floats between them.
  for (int k = 0; k < 3; k++) {
    const float a = PI / 2 + 2 * PI * k / 3;
    rod(m, {0.065f * std::cos(a), 0.065f * std::sin(a), -0.32f}, {0.012f * std::cos(a), 0.012f * std::sin(a), -0.49f},
        0.01f, 0.003f);
  }
  add_lathe(m, place_at({0, 0, 0}),
            {{-0.335f, 0.052f, 0.052f},
             {-0.335f, 0.078f, 0.078f, 0, 0, true},
             {-0.305f, 0.078f, 0.078f, 0, 0, true},
             {-0.305f, 0.052f, 0.052f, 0, 0, true},
             {-0.335f, 0.052f, 0.052f, 0, 0, true}},
            16, metal(), false);
  ball(m, {0, 0, -0.43f}, {0.022f, 0.022f, 0.022f}, 6, 10);
  barrel(m, 0, 0, -0.33f, -0.18f, 0.034f);
}

void minigun(KIT_MESH* m) {
  for (int k = 0; k < 6; k++) {
    const float a = 2 * PI * k / 6;
    barrel(m, 0.028f * std::cos(a), 0.028f * std::sin(a), -0.49f, -0.3f, 0.009f, 0.005f, 0.015f, 6);
  }
  for (float z : {-0.46f, -0.38f}) band(m, 0, 0, z, 0.042f, 0.014f, 12);
  barrel(m, 0, 0, -0.3f, -0.17f, 0.048f, 0, 0, 14);
  box(m, {-0.075f, -0.05f, -0.27f}, {0.03f, 0.04f, 0.05f});
  rod(m, {-0.05f, -0.06f, -0.3f}, {-0.02f, -0.04f, -0.36f}, 0.008f, 0.008f);
}

void nailgun(KIT_MESH* m) {
  box(m, {0, 0, -0.455f}, {0.022f, 0.022f, 0.035f});
  box(m, {0, -0.005f, -0.32f}, {0.036f, 0.05f, 0.1f});
  box(m, {0, 0.058f, -0.32f}, {0.012f, 0.014f, 0.13f});
  add_lathe(m, place_at({0, 0, 0}), {{-0.495f, 0, 0}, {-0.49f, 0.008f, 0.008f}, {-0.48f, 0.008f, 0.008f}}, 6, metal());
  pistol_grip(m, -0.25f);
}

// ---- bullets ----

// The quarters of bullet.tga, kept a texel clear of their neighbours.
const UV_RECT BRASS = {0.005f, 0.005f, 0.495f, 0.495f};
const UV_RECT STEEL = {0.505f, 0.005f, 0.995f, 0.495f};
const UV_RECT FIRE = {0.0f, 0.5f, 0.5f, 1.0f};
const UV_RECT ENERGY = {0.5f, 0.5f, 1.0f, 1.0f};

SURFACE metal_of(const UV_RECT& quarter) {
  SURFACE s;
  s.uv = quarter;
  s.along_s = true;
  return s;
}

// A solid of revolution pointing along -z: profile rings from the tip backwards.
void bullet_body(KIT_MESH* m, const SURFACE& s, std::vector<RING> rings, int segments) {
  add_lathe(m, place_at({0, 0, 0}), rings, segments, s);
}

void sprite(KIT_MESH* m, const UV_RECT& q, float h) {
  add_face(m, {{-h, -h, 0}, {h, -h, 0}, {h, h, 0}, {-h, h, 0}}, {{q.u0, q.v1}, {q.u1, q.v1}, {q.u1, q.v0}, {q.u0, q.v0}},
           -1);
}

}  // namespace

KIT_MODEL make_weapon(int index) {
  KIT_MODEL model;
  model.material = weapon_models[index].name;
  model.texture = std::string(weapon_models[index].stem) + ".tga";
  model.mesh.resize(1);
  model.mesh[0].name = weapon_models[index].name;
  KIT_MESH* m = &model.mesh[0];
  void (*const makers[])(KIT_MESH*) = {machinegun, shotgun,  sniper, rocket_launcher, grenade_launcher, bouncer,
                                        minelayer,  flamethrower, laser, napalm,       digger,           cluster,
                                        plasma,     antigrav, minigun, nailgun};
  static_assert(std::size(makers) == std::size(weapon_models));
  makers[index](m);
  return model;
}

KIT_MODEL make_bullet(int index) {
  KIT_MODEL model;
  model.material = "bullet";
  model.texture = "bullet.tga";
  model.mesh.resize(1);
  model.mesh[0].name = bullet_models[index].name;
  KIT_MESH* m = &model.mesh[0];
  const std::string name = bullet_models[index].name;
  const SURFACE brass = metal_of(BRASS), steel = metal_of(STEEL);
  if (name == "bullet") {
    bullet_body(m, brass, {{-0.035f, 0, 0}, {-0.02f, 0.01f, 0.01f}, {0.025f, 0.012f, 0.012f}}, 6);
  } else if (name == "pellet") {
    add_ellipsoid(m, place_at({0, 0, 0}), {0.018f, 0.018f, 0.018f}, 3, 5, brass);
  } else if (name == "slug") {
    bullet_body(m, brass, {{-0.03f, 0, 0}, {-0.022f, 0.014f, 0.014f}, {-0.01f, 0.02f, 0.02f}, {0.025f, 0.02f, 0.02f}},
                8);
  } else if (name == "rocket") {
    bullet_body(m, steel,
                {{-0.12f, 0, 0}, {-0.08f, 0.03f, 0.03f}, {0.07f, 0.03f, 0.03f}, {0.08f, 0.022f, 0.022f},
                 {0.1f, 0.022f, 0.022f}},
                8);
    for (int k = 0; k < 4; k++) {
      const float a = PI / 4 + PI / 2 * k;
      // Outline across (out from the axis, along it), thin round it.
      const PLACE fin = {{0, 0, 0.05f}, {std::cos(a), std::sin(a), 0}, {0, 0, 1}, {std::sin(a), -std::cos(a), 0}};
      add_slab(m, fin, {{0.02f, -0.03f, 0}, {0.06f, 0.02f, 0}, {0.06f, 0.045f, 0}, {0.02f, 0.03f, 0}}, 0.006f, steel);
    }
  } else if (name == "grenade") {
    add_ellipsoid(m, place_at({0, 0, 0}), {0.04f, 0.04f, 0.05f}, 5, 8, steel);
    bullet_body(m, brass, {{0.04f, 0.02f, 0.02f}, {0.065f, 0.02f, 0.02f}}, 6);
  } else if (name == "ball") {
    add_ellipsoid(m, place_at({0, 0, 0}), {0.05f, 0.05f, 0.05f}, 5, 8, steel);
  } else if (name == "mine") {
    const PLACE flat = {{0, 0, 0}, {1, 0, 0}, {0, 0, -1}, {0, 1, 0}};
    add_lathe(m, flat, {{-0.015f, 0.06f, 0.06f}, {0.005f, 0.065f, 0.065f}, {0.015f, 0.04f, 0.04f}}, 10, steel);
    for (int k = 0; k < 4; k++) {
      const float a = PI / 2 * k;
      add_tube(m, {0.04f * std::cos(a), 0.01f, 0.04f * std::sin(a)}, {0.05f * std::cos(a), 0.04f, 0.05f * std::sin(a)},
               0.008f, 0.0f, 4, brass);
    }
  } else if (name == "shell") {
    bullet_body(m, brass,
                {{-0.06f, 0, 0},
                 {-0.03f, 0.025f, 0.025f},
                 {0.05f, 0.025f, 0.025f},
                 {0.05f, 0.029f, 0.029f, 0, 0, true},
                 {0.06f, 0.029f, 0.029f}},
                8);
  } else if (name == "bomb") {
    add_ellipsoid(m, place_at({0, 0, 0}), {0.04f, 0.04f, 0.045f}, 5, 8, steel);
    bullet_body(m, steel, {{0.03f, 0.015f, 0.015f}, {0.07f, 0.01f, 0.01f}}, 6);
    add_box(m, place_at({0, 0, 0.065f}), {0.025f, 0.003f, 0.01f}, steel);
    add_box(m, place_at({0, 0, 0.065f}), {0.003f, 0.025f, 0.01f}, steel);
  } else if (name == "nail") {
    bullet_body(m, steel,
                {{-0.045f, 0, 0},
                 {-0.035f, 0.004f, 0.004f},
                 {0.035f, 0.004f, 0.004f},
                 {0.035f, 0.011f, 0.011f, 0, 0, true},
                 {0.042f, 0.011f, 0.011f}},
                5);
  } else {
    // Fire for flames, sparks and smoke, the energy star for beams and plasma.
    const bool energy = name == "laser" || name == "plasma";
    const float size = name == "flame" ? 0.14f : name == "spark" ? 0.05f : name == "laser" ? 0.07f
                       : name == "plasma" ? 0.11f : 0.18f;
    sprite(m, energy ? ENERGY : FIRE, size);
  }
  return model;
}

}  // namespace content
