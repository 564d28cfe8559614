// the vurk model: a stocky burrowing creature with a banded shell, built around the
// centre of its collision sphere (radius 0.5), facing -z, with its skeleton and its two
// animations.
//
// The scene drawing gives the meshes their roles: mesh 0 (shell, hind legs, tail) stands
// as posed; meshes 1 (chest and head) and 3 (left arm) turn with the aim's pitch about
// the x axis through the centre; mesh 2 (right arm with the rope launcher) turns with the
// pitch while the rope is in and is held up at 90 degrees while it is out; mesh 4 (the
// jetpack) is drawn only for a vurk that carries one. The chest is a ball around that x
// axis, so the turning upper body never parts from the shell. The weapon is drawn about
// the centre as well, its muzzle 0.49 ahead: the paws hold it there. Raised, the rope
// launcher's mouth is where the rope leaves the body, 0.25 to the right and 0.45 up.
//
// Texture layout of textures/vurk.tga (s across, t down the rows as stored in the file,
// t = 0 the first row):
//   s 0.00-1.00, t 0.00-0.50  the shell. s runs once around the body: s = 0 and 1 along
//                             the belly's centre line, 0.25 the right flank, 0.5 the
//                             spine, 0.75 the left flank; t runs from the front (0) to
//                             the rear (0.5). Five armour bands lie across t, starting
//                             at t = 0.14, 0.22, 0.30, 0.37 and 0.435, each ending just
//                             before the next starts (the last at 0.5): paint them as
//                             rows. What lies in front of 0.14 hides in the chest.
//   s 0.00-0.25, t 0.50-0.75  skin: chest, head and snout
//   s 0.25-0.50, t 0.50-0.75  small armour plates: head plate, shoulder pads, ears, tail
//   s 0.00-0.25, t 0.75-1.00  limbs: arms, paws, legs, feet
//   s 0.25-0.375, t 0.75-0.875  claws (pale horn)
//   s 0.375-0.50, t 0.75-0.875  eyes (glossy black)
//   s 0.25-0.375, t 0.875-1.00  nose (pink)
//   s 0.375-0.50, t 0.875-1.00  rope launcher (metal)
//   s 0.50-0.75, t 0.50-1.00  jetpack tanks, t along the tank from bottom to top
//   s 0.75-1.00, t 0.50-1.00  jetpack pipes, plate and nozzle (dark, sooty metal)
#include <algorithm>
#include <cmath>
#include <numbers>

#include "assets/assets.h"
#include "content/models.h"

namespace content {

namespace {

constexpr float PI = std::numbers::pi_v<float>;

const UV_RECT SHELL = {0.0f, 0.0f, 1.0f, 0.5f};
const UV_RECT SKIN = {0.0f, 0.5f, 0.25f, 0.75f};
const UV_RECT PLATES = {0.25f, 0.5f, 0.5f, 0.75f};
const UV_RECT LIMBS = {0.0f, 0.75f, 0.25f, 1.0f};
const UV_RECT CLAWS = {0.25f, 0.75f, 0.375f, 0.875f};
const UV_RECT EYES = {0.375f, 0.75f, 0.5f, 0.875f};
const UV_RECT NOSE = {0.25f, 0.875f, 0.375f, 1.0f};
const UV_RECT LAUNCHER = {0.375f, 0.875f, 0.5f, 1.0f};
const UV_RECT TANKS = {0.5f, 0.5f, 0.75f, 1.0f};
const UV_RECT PIPES = {0.75f, 0.5f, 1.0f, 1.0f};

enum BONES { BODY, CHEST, HEAD, ARM_LEFT, ARM_RIGHT, LEG_LEFT, LEG_RIGHT, TAIL, BONE_COUNT };

// Each bone's pivot in the model at rest; rest angles are all zero, so a bone's axes are
// the model's.
const V3 pivot[BONE_COUNT] = {{0, -0.12f, 0.10f},      {0, 0, 0},           {0, 0.10f, -0.13f},
                              {-0.24f, 0.0f, -0.03f},  {0.24f, 0.0f, -0.03f}, {-0.19f, -0.22f, 0.12f},
                              {0.19f, -0.22f, 0.12f},  {0, -0.17f, 0.39f}};
const int parent_of[BONE_COUNT] = {-1, BODY, CHEST, CHEST, CHEST, BODY, BODY, BODY};
const char* const bone_name[BONE_COUNT] = {"body", "chest", "head", "arm_left", "arm_right", "leg_left", "leg_right",
                                           "tail"};

SURFACE on(int bone, UV_RECT uv, bool flat = false) {
  SURFACE s;
  s.bone = bone;
  s.uv = uv;
  s.flat = flat;
  return s;
}

// ---- meshes ----

// The shell: an egg of overlapping bands, each flaring a little towards its rear edge,
// where the next band starts just inside it.
void add_shell(KIT_MESH* m) {
  const float cz = 0.13f, cy = -0.03f, rz = 0.31f, rx = 0.30f, ry = 0.28f, flare = 0.05f;
  const std::vector<float> bands = {0.30f, 0.44f, 0.58f, 0.72f, 0.86f, 1.0f};  // band edges along the egg
  std::vector<float> shares;
  for (int i = 0; i <= 28; i++) shares.push_back(i / 28.0f);
  shares.insert(shares.end(), bands.begin(), bands.end() - 1);
  std::sort(shares.begin(), shares.end());
  shares.erase(std::unique(shares.begin(), shares.end(), [](float a, float b) { return std::fabs(a - b) < 1e-4f; }),
               shares.end());
  std::vector<RING> rings;
  auto ring = [&](float share, float f, bool crease) {
    const float a = PI * share;
    const float side = share <= 0 || share >= 1 ? 0.0f : std::sin(a);
    rings.push_back({cz - rz * std::cos(a), rx * side * f, ry * side * f, 0, cy, crease});
  };
  for (float share : shares) {
    size_t band = 0;
    while (band + 1 < bands.size() && share >= bands[band + 1] - 1e-4f) band++;
    if (share < bands[0] - 1e-4f) {
      ring(share, 1.0f, false);
    } else if (std::fabs(share - bands[band]) < 1e-4f) {
      if (band > 0) ring(share, 1.0f + flare, false);
      ring(share, 1.0f, true);
    } else {
      ring(share, 1.0f + flare * (share - bands[band]) / (bands[band + 1] - bands[band]), false);
    }
  }
  // The seam of s runs along the belly.
  add_lathe(m, place_at({0, 0, 0}), rings, 24, on(BODY, SHELL), false, -PI / 2);
}

// One hind leg on the side `side` (-1 left, +1 right).
void add_leg(KIT_MESH* m, float side) {
  const int bone = side < 0 ? LEG_LEFT : LEG_RIGHT;
  const float x = 0.2f * side;
  add_ellipsoid(m, place_at({x, -0.24f, 0.13f}), {0.085f, 0.11f, 0.12f}, 6, 10, on(bone, LIMBS));
  const float out = 0.03f * side;
  add_tube(m, {x, -0.30f, 0.12f}, {x + out, -0.43f, 0.08f}, 0.058f, 0.046f, 8, on(bone, LIMBS));
  add_ellipsoid(m, place_at({x + out, -0.455f, 0.02f}), {0.075f, 0.04f, 0.115f}, 6, 10, on(bone, LIMBS));
  for (int k = -1; k <= 1; k++) {
    const V3 base = {x + out + 0.035f * k, -0.46f, -0.06f};
    const V3 tip = {x + out + 0.05f * k, -0.49f, -0.13f};
    add_lathe(m, place_between(base, tip, {0, 1, 0}), {{-0.01f, 0.016f, 0.012f}, {length(tip - base), 0, 0}}, 6,
              on(bone, CLAWS));
  }
}

// The tail: tapering armour rings.
void add_tail(KIT_MESH* m) {
  const V3 base = {0, -0.17f, 0.36f}, tip = {0, -0.31f, 0.55f};
  const float l = length(tip - base);
  std::vector<RING> rings;
  const int n = 5;
  for (int i = 0; i < n; i++) {
    const float t0 = l * i / n, t1 = l * (i + 1) / n;
    const float r0 = 0.075f * (1.0f - 0.8f * i / n), r1 = 0.075f * (1.0f - 0.8f * (i + 1) / n);
    rings.push_back({t0, r0 * 0.92f, r0 * 0.85f, 0, 0, true});
    rings.push_back({t1, r0 * 1.0f, r0 * 0.93f});
    if (i == n - 1) rings.push_back({t1 + 0.02f, r1 * 0.5f, r1 * 0.5f});
  }
  rings.push_back({l + 0.035f, 0, 0});
  add_lathe(m, place_between(base, tip, {0, 1, 0}), rings, 8, on(TAIL, PLATES));
}

void add_chest_and_head(KIT_MESH* m) {
  // A ball of revolution about the x axis: the pitch turns it into itself.
  add_ellipsoid(m, PLACE{{0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}}, {0.22f, 0.22f, 0.24f}, 10, 16,
                on(CHEST, SKIN));
  // The head tapers from a broad crown into a long snout that points a little down, over
  // the weapon, with the nose at its end.
  const V3 crown = {0, 0.19f, -0.06f}, tip = {0, 0.12f, -0.47f};
  const float l = length(tip - crown);
  const float profile[][3] = {{0, 0, 0},          {0.05f, 0.11f, 0.09f},  {0.15f, 0.15f, 0.125f},
                              {0.3f, 0.155f, 0.13f}, {0.45f, 0.13f, 0.11f}, {0.6f, 0.09f, 0.08f},
                              {0.75f, 0.062f, 0.056f}, {0.9f, 0.046f, 0.041f}, {1.0f, 0.038f, 0.034f}};
  std::vector<RING> head;
  for (const auto& p : profile) head.push_back({p[0] * l, p[1], p[2]});
  add_lathe(m, place_between(crown, tip, {0, 1, 0}), head, 14, on(HEAD, SKIN));
  add_ellipsoid(m, tilt(place_at({0, 0.275f, -0.15f}), 0.2f), {0.115f, 0.04f, 0.15f}, 6, 12, on(HEAD, PLATES));
  add_ellipsoid(m, place_at({0, 0.12f, -0.472f}), {0.042f, 0.036f, 0.024f}, 5, 8, on(HEAD, NOSE));
  for (float side : {-1.0f, 1.0f}) {
    add_ellipsoid(m, place_at({0.098f * side, 0.212f, -0.268f}), {0.026f, 0.026f, 0.022f}, 5, 8, on(HEAD, EYES));
    const V3 ear_base = {0.1f * side, 0.27f, -0.1f}, ear_tip = {0.15f * side, 0.34f, -0.07f};
    add_lathe(m, place_between(ear_base, ear_tip, {0, 0, 1}),
              {{-0.02f, 0.04f, 0.018f}, {0.04f, 0.035f, 0.016f}, {length(ear_tip - ear_base), 0, 0}}, 8,
              on(HEAD, PLATES));
  }
}

// An arm from its shoulder to the paw that holds the weapon; side -1 left, +1 right.
void add_arm(KIT_MESH* m, float side) {
  const int bone = side < 0 ? ARM_LEFT : ARM_RIGHT;
  auto at = [&](V3 p) { return V3{p.x * side, p.y, p.z}; };
  add_ellipsoid(m, place_at(at({0.25f, 0.01f, -0.05f})), {0.09f, 0.085f, 0.1f}, 6, 12, on(bone, PLATES));
  const V3 shoulder = at({0.25f, -0.02f, -0.07f}), elbow = at({0.23f, -0.12f, -0.22f});
  const V3 wrist = at({0.11f, -0.08f, -0.35f});
  add_tube(m, shoulder, elbow, 0.06f, 0.052f, 8, on(bone, LIMBS));
  add_ellipsoid(m, place_at(elbow), {0.054f, 0.054f, 0.054f}, 5, 8, on(bone, LIMBS));
  add_tube(m, elbow, wrist, 0.052f, 0.045f, 8, on(bone, LIMBS));
  // A broad digging paw whose three long claws curl round the side of the weapon.
  add_ellipsoid(m, place_at(at({0.095f, -0.07f, -0.39f})), {0.055f, 0.042f, 0.065f}, 6, 10, on(bone, LIMBS));
  for (int k = -1; k <= 1; k++) {
    const V3 base = at({0.085f, -0.07f + 0.03f * k, -0.43f});
    const V3 tip = at({0.05f, -0.062f + 0.034f * k, -0.505f});
    add_lathe(m, place_between(base, tip, {0, 1, 0}), {{-0.015f, 0.018f, 0.014f}, {length(tip - base), 0, 0}}, 6,
              on(bone, CLAWS));
  }
}

// The rope launcher strapped along the right upper arm: a tube whose mouth lies 0.45
// ahead of the pitch axis, straight above it once the arm is raised.
void add_rope_launcher(KIT_MESH* m) {
  const PLACE at = place_between({0.26f, 0.02f, -0.08f}, {0.25f, 0.0f, -0.45f}, {0, 1, 0});
  const float l = length(V3{0.25f, 0.0f, -0.45f} - V3{0.26f, 0.02f, -0.08f});
  add_lathe(m, at,
            {{0, 0.03f, 0.03f},
             {l - 0.06f, 0.03f, 0.03f},
             {l - 0.06f, 0.04f, 0.04f, 0, 0, true},
             {l - 0.01f, 0.04f, 0.04f},
             {l, 0.032f, 0.032f, 0, 0, true},
             {l - 0.03f, 0.02f, 0.02f},
             {l - 0.03f, 0, 0}},
            10, on(ARM_RIGHT, LAUNCHER));
  // The grapple's three prongs peep out of the mouth.
  for (int k = 0; k < 3; k++) {
    const float a = 2 * PI * k / 3 + PI / 2;
    const V3 base = at.o + at.z * (l - 0.04f);
    const V3 tip = at.o + at.z * (l + 0.03f) + at.x * (0.03f * std::cos(a)) + at.y * (0.03f * std::sin(a));
    add_lathe(m, place_between(base, tip, {0, 1, 0}), {{0, 0.009f, 0.009f}, {length(tip - base), 0, 0}}, 5,
              on(ARM_RIGHT, LAUNCHER));
  }
  add_box(m, place_at({0.255f, -0.02f, -0.17f}), {0.035f, 0.03f, 0.02f}, on(ARM_RIGHT, LAUNCHER, true));
}

void add_jetpack(KIT_MESH* m) {
  for (float side : {-1.0f, 1.0f}) {
    const PLACE upright = {{0.105f * side, 0, 0.47f}, {1, 0, 0}, {0, 0, -1}, {0, 1, 0}};
    add_lathe(m, upright,
              {{-0.2f, 0, 0},
               {-0.195f, 0.04f, 0.04f},
               {-0.18f, 0.062f, 0.062f},
               {-0.15f, 0.07f, 0.07f},
               {0.12f, 0.07f, 0.07f},
               {0.15f, 0.062f, 0.062f},
               {0.165f, 0.04f, 0.04f},
               {0.17f, 0, 0}},
              12, on(BODY, TANKS));
    add_tube(m, {0.105f * side, 0.16f, 0.47f}, {0.105f * side, 0.21f, 0.47f}, 0.016f, 0.016f, 6, on(BODY, PIPES));
    // Feed pipes from the tank's foot under the belly to the nozzle.
    const V3 pipe[] = {{0.105f * side, -0.18f, 0.47f}, {0.06f * side, -0.33f, 0.39f}, {0.04f * side, -0.39f, 0.2f},
                       {0.02f * side, -0.4f, 0.05f}};
    for (int k = 0; k < 3; k++) {
      add_tube(m, pipe[k], pipe[k + 1], 0.022f, 0.022f, 6, on(BODY, PIPES));
      add_ellipsoid(m, place_at(pipe[k + 1]), {0.024f, 0.024f, 0.024f}, 4, 6, on(BODY, PIPES));
    }
  }
  add_box(m, place_at({0, 0.0f, 0.43f}), {0.09f, 0.13f, 0.03f}, on(BODY, PIPES, true));
  add_ellipsoid(m, PLACE{{0, -0.39f, 0.03f}, {1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {0.05f, 0.045f, 0.03f}, 5, 10,
                on(BODY, PIPES));
  // The nozzle: a bell opening downwards, its rim half a unit under the centre.
  const PLACE down = {{0, -0.39f, 0.03f}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
  add_lathe(m, down,
            {{0, 0.034f, 0.034f},
             {0.04f, 0.04f, 0.04f},
             {0.08f, 0.055f, 0.055f},
             {0.11f, 0.066f, 0.066f, 0, 0, true},
             {0.11f, 0.055f, 0.055f, 0, 0, true},
             {0.05f, 0.03f, 0.03f, 0, 0, true},
             {0.045f, 0, 0}},
            12, on(BODY, PIPES));
}

// ---- animation ----

struct XFORM {
  float m[3][4];
};

XFORM from_key(V3 position, V3 angles) {
  XFORM x;
  const vurkhold::XYZ a = {angles.x, angles.y, angles.z};
  vurkhold::angle_matrix(&a, x.m);
  x.m[0][3] = position.x;
  x.m[1][3] = position.y;
  x.m[2][3] = position.z;
  return x;
}

XFORM then(const XFORM& first_outer, const XFORM& inner) {
  XFORM x;
  vurkhold::concat_transforms(first_outer.m, inner.m, x.m);
  return x;
}

XFORM inverse(const XFORM& a) {
  XFORM x;
  for (int i = 0; i < 3; i++) {
    for (int j = 0; j < 3; j++) x.m[i][j] = a.m[j][i];
    x.m[i][3] = -(a.m[0][i] * a.m[0][3] + a.m[1][i] * a.m[1][3] + a.m[2][i] * a.m[2][3]);
  }
  return x;
}

// Angles for the reader's angle matrix (about x, then y, then z) of a rotation.
V3 angles_of(const XFORM& a) {
  const float sy = std::fmax(-1.0f, std::fmin(1.0f, -a.m[2][0]));
  return {std::atan2(a.m[2][1], a.m[2][2]), std::asin(sy), std::atan2(a.m[1][0], a.m[0][0])};
}

// What each bone does at a frame: either a key in its own rest frame, or (`placed`) a
// transform in the model that the bone must end up at whatever its parent does.
struct MOTION {
  bool placed;
  V3 position, angles;
};

MOTION key(V3 p, V3 a) { return {false, p, a}; }
// Kept where it stands at rest, then moved by (p, a) about its own pivot.
MOTION placed(V3 p, V3 a) { return {true, p, a}; }

MOTION idle(int bone, float phase) {
  const float s = std::sin(phase), s2 = std::sin(2 * phase);
  switch (bone) {
    case BODY: return key({0, 0.007f * s, 0}, {0.02f * std::sin(phase + 0.6f), 0, 0.012f * s});
    case HEAD: return key({0, 0, 0}, {0.06f * s2 - 0.02f, 0.42f * s, 0.07f * s});
    case TAIL: return key({0, 0, 0}, {0.06f * s2, 0.3f * s, 0});
    case CHEST: case LEG_LEFT: case LEG_RIGHT: return placed({0, 0, 0}, {0, 0, 0});
    default: return key({0, 0, 0}, {0, 0, 0});
  }
}

MOTION walk(int bone, float phase) {
  const float s = std::sin(phase), c = std::cos(phase), c2 = std::cos(2 * phase);
  switch (bone) {
    case BODY: return key({0, 0.014f * c2, 0}, {0.02f * c2, 0.05f * s, 0.06f * s});
    case HEAD: return key({0, 0, 0}, {0.05f * std::sin(2 * phase + 0.5f), -0.05f * s, -0.05f * s});
    case TAIL: return key({0, 0, 0}, {0.04f * c2, -0.32f * s, 0});
    case CHEST: return placed({0, 0, 0}, {0, 0, 0});
    // Each leg swings forward lifted and pushes back on the ground.
    case LEG_LEFT: return placed({0, 0.045f * std::fmax(0.0f, c), 0}, {0.5f * s, 0, 0});
    case LEG_RIGHT: return placed({0, 0.045f * std::fmax(0.0f, -c), 0}, {-0.5f * s, 0, 0});
    default: return key({0, 0, 0}, {0, 0, 0});
  }
}

void add_keys(KIT_MODEL* model) {
  for (int frame = 1; frame <= 70; frame++) {
    const bool idling = frame <= 40;
    const float phase = idling ? 2 * PI * (frame - 1) / 39.0f : 2 * PI * (frame - 41) / 29.0f;
    XFORM final[BONE_COUNT];
    for (int b = 0; b < BONE_COUNT; b++) {
      const MOTION mo = idling ? idle(b, phase) : walk(b, phase);
      const V3 rest = parent_of[b] < 0 ? pivot[b] : pivot[b] - pivot[parent_of[b]];
      const XFORM relative = from_key(rest, {0, 0, 0});
      XFORM k = from_key(mo.position, mo.angles);
      if (mo.placed) {
        // final = parent final . relative . k must equal (rest in the model) . motion.
        const XFORM wanted = then(from_key(pivot[b], {0, 0, 0}), k);
        k = then(inverse(relative), then(inverse(final[parent_of[b]]), wanted));
      }
      final[b] = parent_of[b] < 0 ? then(relative, k) : then(final[parent_of[b]], then(relative, k));
      const float time = static_cast<float>(frame);
      model->bone[b].position.push_back({time, {k.m[0][3], k.m[1][3], k.m[2][3]}});
      model->bone[b].rotation.push_back({time, angles_of(k)});
    }
  }
}

}  // namespace

KIT_MODEL make_vurk() {
  KIT_MODEL model;
  model.frames = 70;
  model.material = "vurk";
  model.texture = "vurk.tga";
  for (int b = 0; b < BONE_COUNT; b++) {
    const V3 rest = parent_of[b] < 0 ? pivot[b] : pivot[b] - pivot[parent_of[b]];
    model.bone.push_back({bone_name[b], parent_of[b], rest, {0, 0, 0}, {}, {}});
  }
  add_keys(&model);
  model.mesh.resize(5);
  model.mesh[0].name = "body";
  model.mesh[1].name = "head";
  model.mesh[2].name = "ropearm";
  model.mesh[3].name = "arm";
  model.mesh[4].name = "jetpack";
  add_shell(&model.mesh[0]);
  add_leg(&model.mesh[0], -1);
  add_leg(&model.mesh[0], 1);
  add_tail(&model.mesh[0]);
  add_chest_and_head(&model.mesh[1]);
  add_arm(&model.mesh[2], 1);
  add_rope_launcher(&model.mesh[2]);
  add_arm(&model.mesh[3], -1);
  add_jetpack(&model.mesh[4]);
  return model;
}

}  // namespace content
