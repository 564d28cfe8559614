// model files: the MilkShape 3D ASCII reader, the record initialisers, model release,
// the model's reach and triangle face normals. No GL here: models load before any drawing.
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "assets/assets.h"

namespace vurkhold {

namespace {

constexpr int LINE_LIMIT = 78;       // every line, line end included
constexpr int NAME_LIMIT = 39;       // the two name lines of a bone
constexpr int LINE_BUFFER = 80;      // holds the lines and the messages
constexpr int MAX_FRAMES = 500;      // frame counts below this
constexpr int MAX_MESHES = 100;      // mesh counts below this
constexpr int MAX_VERTICES = 9999;   // 16-bit indices with room to spare
constexpr int MAX_NORMALS = 10000;
constexpr int MAX_POLYGONS = 10000;
constexpr int MAX_BONES = 250;       // bone counts below this
constexpr int MAX_KEYS = 100;        // keys of each kind per bone
constexpr int MATERIAL_LINES = 9;    // name, four colours, shininess, transparency, two maps

constexpr uint8_t NO_BONE = 255;     // the file's -1
constexpr uint8_t BAD_BONE = 254;    // a file value no bone count can reach

// A point whose squared distance from the origin leaves the float range would give the
// model an infinite reach and NaN face normals, so such a corner, bone or key is invalid.
bool within_reach(XYZ p) {
  return static_cast<double>(p.x) * p.x + static_cast<double>(p.y) * p.y + static_cast<double>(p.z) * p.z <= FLT_MAX;
}

// The reader's state for one file: the open file, its name and the shared line buffer.
struct Reader {
  FILE* file;
  const char* filename;
  char line[LINE_BUFFER];
};

bool next_line(Reader* r) { return platform::read_line(r->line, LINE_LIMIT, r->file); }

// Shows the formatted message and closes the file; the loader's failure result.
__attribute__((format(printf, 2, 3))) int fail(Reader* r, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(r->line, sizeof r->line, format, args);
  va_end(args);
  report_error(r->line);
  std::fclose(r->file);
  return 0;
}

// A section's count line: its label, then the number. 1 when both are there.
int read_count(const Reader* r, const char* label, int* n) {
  const size_t length = std::strlen(label);
  return std::strncmp(r->line, label, length) == 0 ? read_numbers(r->line + length, n) : 0;
}

void* allocate(int count, size_t size) { return std::calloc(static_cast<size_t>(count), size); }

// One mesh: vertices, normals and triangles. 0 after reporting.
int read_mesh(Reader* r, MESH* mesh, int mesh_number) {
  next_line(r);  // name, flags and material index are not kept

  int n = 0;
  next_line(r);
  if (read_numbers(r->line, &n) != 1 || n < 1 || n > MAX_VERTICES)
    return fail(r, "Bad number of vertices in mesh %d in file %s", mesh_number, r->filename);
  mesh->number_of_vertices = n;
  mesh->vertex = static_cast<VERTEX*>(allocate(n, sizeof(VERTEX)));
  if (!mesh->vertex)
    return fail(r, "Can't allocate memory for vertices in mesh %d in file %s.", mesh_number, r->filename);
  mesh->original = static_cast<XYZ*>(allocate(n, sizeof(XYZ)));
  if (!mesh->original)
    return fail(r, "Can't allocate memory for vertices in mesh %d in file %s.", mesh_number, r->filename);
  for (int i = 0; i < n; i++) {
    VERTEX* v = &mesh->vertex[i];
    int flags = 0, bone = 0;
    next_line(r);
    if (read_numbers(r->line, &flags, &v->p.x, &v->p.y, &v->p.z, &v->u, &v->w, &bone) != 7 ||
        !within_reach(v->p))
      return fail(r, "Vertex %d in mesh %d in file %s is invalid.", i + 1, mesh_number, r->filename);
    if (bone == -1) {
      v->bone_id = NO_BONE;
    } else if (bone < 0 || bone >= NO_BONE) {
      v->bone_id = BAD_BONE;  // refused once the bone count is known, if the model has bones
    } else {
      v->bone_id = static_cast<uint8_t>(bone);
    }
    mesh->original[i] = v->p;
  }

  next_line(r);
  if (read_numbers(r->line, &n) != 1 || n < 1 || n > MAX_NORMALS)
    return fail(r, "Bad number of normals in %dth mesh in file: %s", mesh_number, r->filename);
  mesh->number_of_vectors = n;
  mesh->vector = static_cast<IJK*>(allocate(n, sizeof(IJK)));
  if (!mesh->vector)
    return fail(r, "Can't allocate memory for normals in mesh %d in file %s.", mesh_number, r->filename);
  for (int i = 0; i < n; i++) {
    IJK* v = &mesh->vector[i];
    init_vector(v);
    next_line(r);
    if (read_numbers(r->line, &v->i, &v->j, &v->k) != 3)
      return fail(r, "Vector %d in mesh %d in file %s is invalid.", i + 1, mesh_number, r->filename);
  }

  next_line(r);
  if (read_numbers(r->line, &n) != 1 || n < 1 || n > MAX_POLYGONS)
    return fail(r, "Bad number of polygons in mesh %d in file %s", mesh_number, r->filename);
  mesh->number_of_polygons = n;
  mesh->number_of_indicates = 3 * n;
  mesh->polygon = static_cast<POLYGON*>(allocate(n, sizeof(POLYGON)));
  if (!mesh->polygon)
    return fail(r, "Can't allocate memory for polygons in mesh %d in file %s.", mesh_number, r->filename);
  mesh->index = static_cast<short*>(allocate(3 * n, sizeof(short)));
  if (!mesh->index)
    return fail(r, "Can't allocate memory for polygons in mesh %d in file %s.", mesh_number, r->filename);
  for (int i = 0; i < n; i++) {
    POLYGON* p = &mesh->polygon[i];
    init_polygon(p);
    int flags = 0, c[3] = {}, d[3] = {};
    next_line(r);
    int values = read_numbers(r->line, &flags, &c[0], &c[1], &c[2], &d[0], &d[1], &d[2]);
    bool valid = values == 7;
    for (int k = 0; valid && k < 3; k++) {
      valid = c[k] >= 0 && c[k] < mesh->number_of_vertices && d[k] >= 0 && d[k] < mesh->number_of_vectors;
    }
    if (!valid) return fail(r, "Polygon %d in mesh %d in file %s is invalid.", i + 1, mesh_number, r->filename);
    for (int k = 0; k < 3; k++) {
      p->vertex[k] = &mesh->vertex[c[k]];
      p->vector[k] = &mesh->vector[d[k]];
      mesh->index[3 * i + k] = static_cast<short>(c[k]);
    }
    calculate_polygon_normal(p);
  }
  return 1;
}

// One key list of a bone: its count, then a line per key. The count and allocation
// messages differ only in their opening words; a count of 0 allocates nothing. Position
// keys are offsets and must stay within reach; rotation keys are angles.
int read_keys(Reader* r, int bone_number, FRAME** keys, int* count, const char* count_words,
              const char* memory_words, const char* key_message, bool positions) {
  int n = 0;
  next_line(r);
  if (read_numbers(r->line, &n) != 1 || n < 0 || n > MAX_KEYS)
    return fail(r, "%s in bone %d in file %s.", count_words, bone_number, r->filename);
  if (n > 0) {
    *keys = static_cast<FRAME*>(allocate(n, sizeof(FRAME)));
    if (!*keys) return fail(r, "%s in bone %d in file %s.", memory_words, bone_number, r->filename);
  }
  *count = n;
  for (int k = 0; k < n; k++) {
    FRAME* f = &(*keys)[k];
    next_line(r);
    if (read_numbers(r->line, &f->time, &f->p.x, &f->p.y, &f->p.z) != 4 || (positions && !within_reach(f->p)))
      return fail(r, key_message, k + 1, bone_number, r->filename);
  }
  return 1;
}

// One bone: name, parent, rest transform and both key lists. 0 after reporting.
int read_bone(Reader* r, MODEL* m, int i) {
  BONE* b = &m->bone[i];
  int bone_number = i + 1;
  platform::read_line(b->name, NAME_LIMIT, r->file);

  char parent[NAME_LIMIT];
  platform::read_line(parent, NAME_LIMIT, r->file);
  b->parent = -1;
  if (i > 0) {
    for (int j = 0; j < i; j++) {
      if (std::strcmp(parent, m->bone[j].name) == 0) b->parent = j;
    }
  }

  int flags = 0;
  next_line(r);
  if (read_numbers(r->line, &flags, &b->p.x, &b->p.y, &b->p.z, &b->r.x, &b->r.y, &b->r.z) != 7 ||
      !within_reach(b->p))
    return fail(r, "The bone %d in file %s is invalid", bone_number, r->filename);

  if (!read_keys(r, bone_number, &b->movement_frame, &b->number_of_m_frames, "Bad number of movement frames",
                 "Can't allocate memory for movement frames", "Movement frame %d in bone %d int file %s is invalid", true))
    return 0;
  return read_keys(r, bone_number, &b->rotation_frame, &b->number_of_r_frames, "Bad number of rotation frames",
                   "Can't allocate memory for keyframes", "Rotation frame %d in bone %d in file %s is invalid", false);
}

}  // namespace

void init_model(MODEL* m) {
  m->mesh = nullptr;
  m->bone = nullptr;
  m->number_of_meshes = 0;
  m->number_of_bones = 0;
  m->number_of_frames = 0;
  m->animated = 0;
}

void init_mesh(MESH* m) { *m = MESH{}; }

void init_vector(IJK* v) { *v = IJK{0.0f, 0.0f, 1.0f}; }

void init_bone(BONE* b) {
  b->number_of_m_frames = 0;
  b->number_of_r_frames = 0;
  b->movement_frame = nullptr;
  b->rotation_frame = nullptr;
}

void init_polygon(POLYGON* p) {
  for (int k = 0; k < 3; k++) {
    p->vertex[k] = nullptr;
    p->vector[k] = nullptr;
  }
  p->normal = IJK{0.0f, 0.0f, 1.0f};
}

int load_milkshape_model(MODEL* m, const char* filename) {
  Reader reader;
  Reader* r = &reader;
  r->filename = filename;
  r->file = platform::open_file(filename, "r");
  if (!r->file) {
    std::snprintf(r->line, sizeof r->line, "Can't open file %s", filename);
    report_error(r->line);
    return 0;
  }
  init_model(m);

  next_line(r);
  next_line(r);
  int n = 0;
  next_line(r);
  if (read_count(r, "Frames:", &n) != 1 || n < 0 || n >= MAX_FRAMES)
    return fail(r, "Bad number of frames in file %s.", filename);
  m->number_of_frames = n;

  next_line(r);
  next_line(r);
  next_line(r);
  if (read_count(r, "Meshes:", &n) != 1 || n <= 0 || n >= MAX_MESHES)
    return fail(r, "Bad number of meshes in file %s.", filename);
  m->mesh = static_cast<MESH*>(allocate(n, sizeof(MESH)));
  if (!m->mesh) return fail(r, "Can't allocate memory for meshes in file %s.", filename);
  m->number_of_meshes = n;
  for (int i = 0; i < n; i++) init_mesh(&m->mesh[i]);
  for (int i = 0; i < m->number_of_meshes; i++) {
    if (!read_mesh(r, &m->mesh[i], i + 1)) return 0;
  }

  next_line(r);
  next_line(r);
  if (read_count(r, "Materials:", &n) != 1 || n < 0)
    return fail(r, "Bad number of materials in file %s.", filename);
  // Materials are not used; stop skipping at the end of the file so a wild count ends.
  bool more = true;
  for (long k = 0; more && k < static_cast<long>(n) * MATERIAL_LINES; k++) more = next_line(r);

  next_line(r);
  next_line(r);
  if (read_count(r, "Bones:", &n) != 1 || n < 0 || n >= MAX_BONES)
    return fail(r, "Bad number of bones in file %s.", filename);
  m->animated = n > 0 ? 1 : 0;
  if (n > 0) {
    // Every vertex must name one of the bones, or none.
    for (int i = 0; i < m->number_of_meshes; i++) {
      const MESH* mesh = &m->mesh[i];
      for (int j = 0; j < mesh->number_of_vertices; j++) {
        uint8_t bone = mesh->vertex[j].bone_id;
        if (bone != NO_BONE && bone >= n)
          return fail(r, "Vertex %d in mesh %d in file %s is invalid.", j + 1, i + 1, filename);
      }
    }
    m->bone = static_cast<BONE*>(allocate(n, sizeof(BONE)));
    if (!m->bone) return fail(r, "Can't allocate memory for bones in file %s.", filename);
    m->number_of_bones = n;
    for (int i = 0; i < n; i++) init_bone(&m->bone[i]);
    for (int i = 0; i < n; i++) {
      if (!read_bone(r, m, i)) return 0;
    }
    set_model_bones(m);
  }

  m->max_radius = find_model_radius(m);
  std::fclose(r->file);
  return 1;
}

void calculate_polygon_normal(POLYGON* p) {
  // In double: the corners may lie as far out as a float's squared range allows, where the
  // edges' cross product no longer fits a float.
  const XYZ& a = p->vertex[0]->p;
  const XYZ& b = p->vertex[1]->p;
  const XYZ& c = p->vertex[2]->p;
  const double e1x = static_cast<double>(b.x) - a.x, e1y = static_cast<double>(b.y) - a.y,
               e1z = static_cast<double>(b.z) - a.z;
  const double e2x = static_cast<double>(c.x) - a.x, e2y = static_cast<double>(c.y) - a.y,
               e2z = static_cast<double>(c.z) - a.z;
  const double nx = e1y * e2z - e1z * e2y;
  const double ny = e1z * e2x - e1x * e2z;
  const double nz = e1x * e2y - e1y * e2x;
  const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
  if (!(length > 0.0)) {
    // Corners on one line have no face; any unit normal will do.
    p->normal = IJK{0.0f, 0.0f, 1.0f};
    return;
  }
  p->normal = IJK{static_cast<float>(nx / length), static_cast<float>(ny / length), static_cast<float>(nz / length)};
}

float find_model_radius(MODEL* m) {
  float radius = 0.0f;
  for (int f = 0; f < m->number_of_frames; f++) {
    set_model_frame(m, static_cast<float>(f));
    apply_model_frame(m);
    for (int i = 0; i < m->number_of_meshes; i++) {
      const MESH* mesh = &m->mesh[i];
      for (int j = 0; j < mesh->number_of_vertices; j++) {
        const XYZ& p = mesh->vertex[j].p;
        const float d = static_cast<float>(static_cast<double>(p.x) * p.x + static_cast<double>(p.y) * p.y +
                                           static_cast<double>(p.z) * p.z);
        if (radius < d) radius = d;
      }
    }
  }
  return radius;
}

void free_model(MODEL* m) {
  if (m->mesh) {
    for (int i = 0; i < m->number_of_meshes; i++) {
      MESH* mesh = &m->mesh[i];
      std::free(mesh->polygon);
      std::free(mesh->vector);
      std::free(mesh->vertex);
      std::free(mesh->index);
      std::free(mesh->original);
      mesh->polygon = nullptr;
      mesh->vector = nullptr;
      mesh->vertex = nullptr;
      mesh->index = nullptr;
      mesh->original = nullptr;
      mesh->number_of_polygons = 0;
      mesh->number_of_vectors = 0;
      mesh->number_of_vertices = 0;
      mesh->number_of_indicates = 0;
    }
    std::free(m->mesh);
  }
  m->mesh = nullptr;
  m->number_of_meshes = 0;
  if (m->bone) {
    for (int i = 0; i < m->number_of_bones; i++) {
      BONE* b = &m->bone[i];
      std::free(b->movement_frame);
      std::free(b->rotation_frame);
      b->movement_frame = nullptr;
      b->rotation_frame = nullptr;
      b->number_of_m_frames = 0;
      b->number_of_r_frames = 0;
    }
    std::free(m->bone);
  }
  m->bone = nullptr;
  m->number_of_bones = 0;
}

}  // namespace vurkhold
