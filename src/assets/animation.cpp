// skeletal animation: 3 x 4 transforms, the rest-pose set-up of a model's bones and posing
// its vertices at a fractional frame. Runs on the processor; no GL here.
#include <cmath>

#include "assets/assets.h"

namespace vurkhold {

namespace {

constexpr uint8_t NO_BONE = 255;

// The key pair around `frame`: *next is the first key not earlier than the frame, *previous
// the key before it (the last earlier key when the frame is past every key).
void find_keys(const FRAME* keys, int count, float frame, const FRAME** previous, const FRAME** next) {
  *previous = nullptr;
  *next = nullptr;
  for (int k = 0; k < count; k++) {
    if (keys[k].time >= frame) {
      *next = &keys[k];
      return;
    }
    *previous = &keys[k];
  }
}

// The keys' value at `frame`, linear per component; `rest` when there are no keys.
XYZ interpolate_keys(const FRAME* keys, int count, float frame, XYZ rest) {
  const FRAME* previous;
  const FRAME* next;
  find_keys(keys, count, frame, &previous, &next);
  if (previous && next) {
    float s = (frame - previous->time) / (next->time - previous->time);
    return XYZ{previous->p.x + (next->p.x - previous->p.x) * s, previous->p.y + (next->p.y - previous->p.y) * s,
               previous->p.z + (next->p.z - previous->p.z) * s};
  }
  if (next) return next->p;
  if (previous) return previous->p;
  return rest;
}

void copy_matrix(const float in[3][4], float out[3][4]) {
  for (int i = 0; i < 3; i++) {
    for (int j = 0; j < 4; j++) out[i][j] = in[i][j];
  }
}

// The bone that moves a vertex, or null for a vertex that belongs to none.
const BONE* vertex_bone(const MODEL* m, const VERTEX* v) {
  if (v->bone_id == NO_BONE || v->bone_id >= m->number_of_bones) return nullptr;
  return &m->bone[v->bone_id];
}

}  // namespace

void angle_matrix(const XYZ* angles, float matrix[3][4]) {
  double sr = std::sin(static_cast<double>(angles->x)), cr = std::cos(static_cast<double>(angles->x));
  double sp = std::sin(static_cast<double>(angles->y)), cp = std::cos(static_cast<double>(angles->y));
  double sy = std::sin(static_cast<double>(angles->z)), cy = std::cos(static_cast<double>(angles->z));
  matrix[0][0] = static_cast<float>(cp * cy);
  matrix[1][0] = static_cast<float>(cp * sy);
  matrix[2][0] = static_cast<float>(-sp);
  matrix[0][1] = static_cast<float>(sr * sp * cy - cr * sy);
  matrix[1][1] = static_cast<float>(sr * sp * sy + cr * cy);
  matrix[2][1] = static_cast<float>(sr * cp);
  matrix[0][2] = static_cast<float>(cr * sp * cy + sr * sy);
  matrix[1][2] = static_cast<float>(cr * sp * sy - sr * cy);
  matrix[2][2] = static_cast<float>(cr * cp);
  matrix[0][3] = 0.0f;
  matrix[1][3] = 0.0f;
  matrix[2][3] = 0.0f;
}

void concat_transforms(const float in1[3][4], const float in2[3][4], float out[3][4]) {
  for (int i = 0; i < 3; i++) {
    for (int j = 0; j < 3; j++) {
      out[i][j] = in1[i][0] * in2[0][j] + in1[i][1] * in2[1][j] + in1[i][2] * in2[2][j];
    }
    out[i][3] = in1[i][0] * in2[0][3] + in1[i][1] * in2[1][3] + in1[i][2] * in2[2][3] + in1[i][3];
  }
}

void vector_rotate(XYZ in1, const float in2[3][4], XYZ* out) {
  out->x = in1.x * in2[0][0] + in1.y * in2[0][1] + in1.z * in2[0][2];
  out->y = in1.x * in2[1][0] + in1.y * in2[1][1] + in1.z * in2[1][2];
  out->z = in1.x * in2[2][0] + in1.y * in2[2][1] + in1.z * in2[2][2];
}

void vector_inverse_rotate(XYZ in1, const float in2[3][4], XYZ* out) {
  out->x = in1.x * in2[0][0] + in1.y * in2[1][0] + in1.z * in2[2][0];
  out->y = in1.x * in2[0][1] + in1.y * in2[1][1] + in1.z * in2[2][1];
  out->z = in1.x * in2[0][2] + in1.y * in2[1][2] + in1.z * in2[2][2];
}

void set_model_bones(MODEL* m) {
  if (!m->bone) return;
  for (int i = 0; i < m->number_of_bones; i++) {
    BONE* b = &m->bone[i];
    angle_matrix(&b->r, b->mRelative);
    b->mRelative[0][3] = b->p.x;
    b->mRelative[1][3] = b->p.y;
    b->mRelative[2][3] = b->p.z;
    if (b->parent < 0) {
      copy_matrix(b->mRelative, b->mAbsolute);
    } else {
      concat_transforms(m->bone[b->parent].mAbsolute, b->mRelative, b->mAbsolute);
    }
    copy_matrix(b->mAbsolute, b->mFinal);
  }
  // Each rest position goes into its bone's own frame, so posing is one transform per vertex.
  for (int i = 0; i < m->number_of_meshes; i++) {
    MESH* mesh = &m->mesh[i];
    for (int j = 0; j < mesh->number_of_vertices; j++) {
      const BONE* b = vertex_bone(m, &mesh->vertex[j]);
      if (!b) continue;
      XYZ* o = &mesh->original[j];
      o->x -= b->mAbsolute[0][3];
      o->y -= b->mAbsolute[1][3];
      o->z -= b->mAbsolute[2][3];
      vector_inverse_rotate(*o, b->mAbsolute, o);
    }
  }
}

void set_model_frame(MODEL* m, float frame) {
  if (!m->bone) return;
  m->frame = frame;
  for (int i = 0; i < m->number_of_bones; i++) {
    BONE* b = &m->bone[i];
    if (b->number_of_m_frames == 0 && b->number_of_r_frames == 0) {
      copy_matrix(b->mAbsolute, b->mFinal);
      continue;
    }
    // A kind without keys keeps its rest value: no offset, no rotation.
    XYZ position = interpolate_keys(b->movement_frame, b->number_of_m_frames, frame, XYZ{0.0f, 0.0f, 0.0f});
    XYZ angles = interpolate_keys(b->rotation_frame, b->number_of_r_frames, frame, XYZ{0.0f, 0.0f, 0.0f});
    float key[3][4];
    angle_matrix(&angles, key);
    key[0][3] = position.x;
    key[1][3] = position.y;
    key[2][3] = position.z;
    concat_transforms(b->mRelative, key, b->mRelativeFinal);
    if (b->parent < 0) {
      copy_matrix(b->mRelativeFinal, b->mFinal);
    } else {
      concat_transforms(m->bone[b->parent].mFinal, b->mRelativeFinal, b->mFinal);
    }
  }
  apply_model_frame(m);
}

void apply_model_frame(MODEL* m) {
  if (!m->bone) return;
  for (int i = 0; i < m->number_of_meshes; i++) {
    MESH* mesh = &m->mesh[i];
    for (int j = 0; j < mesh->number_of_vertices; j++) {
      VERTEX* v = &mesh->vertex[j];
      const BONE* b = vertex_bone(m, v);
      if (!b) {
        v->p = mesh->original[j];
        continue;
      }
      vector_rotate(mesh->original[j], b->mFinal, &v->p);
      v->p.x += b->mFinal[0][3];
      v->p.y += b->mFinal[1][3];
      v->p.z += b->mFinal[2][3];
    }
  }
}

}  // namespace vurkhold
