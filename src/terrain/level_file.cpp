// level file: reading and writing the binary level (version float, voxel values, the
// cells' materials in version 1.1, the rock count and the rocks), little-endian.
#include <bit>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "terrain/terrain.h"

namespace vurkhold {

static_assert(std::endian::native == std::endian::little, "level files are read as little-endian memory");
static_assert(sizeof(float) == 4 && sizeof(int32_t) == 4);

namespace {

// Every message goes through one fixed buffer: a long file name cuts the text short
// instead of running past the end.
[[gnu::format(printf, 1, 2)]] void report_level_error(const char* format, ...) {
  char message[LEVEL_MESSAGE_SIZE];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  report_error(message, platform::Icon::information);
}

bool read_float(FILE* f, float* out) {
  float value;
  if (std::fread(&value, sizeof value, 1, f) != 1) return false;
  *out = value;
  return true;
}

// Voxels and rocks must be finite: a NaN or infinite value would put NaN corners into the
// surface that everything collides with.
bool read_finite(FILE* f, float* out) { return read_float(f, out) && std::isfinite(*out); }

// The field and the materials are read a slice at a time: a read per value took most of
// the time of loading a level.
constexpr int VOXEL_SLICE = VOXEL_SIZE * VOXEL_SIZE;
constexpr int GRIDCELL_SLICE = GRID_SIZE * GRID_SIZE;

bool read_voxels(FILE* f) {
  float slice[VOXEL_SLICE];
  for (int start = 0; start < VOXELS; start += VOXEL_SLICE) {
    if (std::fread(slice, sizeof slice, 1, f) != 1) return false;
    for (int i = 0; i < VOXEL_SLICE; i++) {
      if (!std::isfinite(slice[i])) return false;
      voxel[start + i].value = slice[i];
    }
  }
  return true;
}

bool read_materials(FILE* f) {
  uint8_t slice[GRIDCELL_SLICE];
  for (int start = 0; start < GRIDCELLS; start += GRIDCELL_SLICE) {
    if (std::fread(slice, sizeof slice, 1, f) != 1) return false;
    for (int i = 0; i < GRIDCELL_SLICE; i++) gridcell[start + i].material = slice[i];
  }
  return true;
}

bool write_float(FILE* f, float value) { return std::fwrite(&value, sizeof value, 1, f) == 1; }

// The format stores exactly these two single-precision values.
bool known_version(float version) { return version == LEVEL_VERSION_1_1 || version == LEVEL_VERSION_1_0; }

int fail(FILE* f, const char* format, const char* filename) {
  report_level_error(format, filename);
  std::fclose(f);
  return 0;
}

}  // namespace

int read_level_file(const char* filename) {
  FILE* f = platform::open_file(filename, "rb");
  if (!f) {
    report_level_error("Can't open file %s.", filename);
    return 0;
  }

  // A file too short to hold the version shows 0.00 rather than whatever a partial
  // read left behind.
  float version = 0.0f;
  if (!read_float(f, &version) || !known_version(version)) {
    report_level_error("File %s is wrong version (%.2f).", filename, static_cast<double>(version));
    std::fclose(f);
    return 0;
  }

  if (!read_voxels(f)) return fail(f, "Invalid voxel in file %s.", filename);

  material_generation++;
  if (version == LEVEL_VERSION_1_1) {
    if (!read_materials(f)) return fail(f, "Invalid material in file %s.", filename);
  } else {
    for (int i = 0; i < GRIDCELLS; i++) gridcell[i].material = 0;
  }

  // `rocks` bounds every loop over the rock pool, so a rejected count is never kept.
  int32_t count = 0;
  if (std::fread(&count, sizeof count, 1, f) != 1 || count < 0 || count > MAX_ROCKS) {
    rocks = 0;
    return fail(f, "Number of rocks is invalid in file %s.", filename);
  }
  rocks = count;
  for (int i = 0; i < rocks; i++) {
    ROCK& r = rock[i];
    if (!read_finite(f, &r.p.x) || !read_finite(f, &r.p.y) || !read_finite(f, &r.p.z))
      return fail(f, "Invalid rock in file %s.", filename);
    if (!read_finite(f, &r.size)) return fail(f, "Invalid rock in file %s.", filename);
  }

  std::fclose(f);
  return 1;
}

int load_level_file(const char* filename) {
  if (!read_level_file(filename)) return 0;
  build_surface();
  return 1;
}

namespace {

bool write_level(FILE* f, void* context) {
  const float version = *static_cast<const float*>(context);
  bool ok = write_float(f, version);
  for (int i = 0; ok && i < VOXELS; i++) ok = write_float(f, voxel[i].value);
  if (version == LEVEL_VERSION_1_1)
    for (int i = 0; ok && i < GRIDCELLS; i++) ok = std::fputc(gridcell[i].material, f) != EOF;
  const int32_t count = rocks < 0 ? 0 : rocks > MAX_ROCKS ? MAX_ROCKS : rocks;
  ok = ok && std::fwrite(&count, sizeof count, 1, f) == 1;
  for (int i = 0; ok && i < count; i++)
    ok = write_float(f, rock[i].p.x) && write_float(f, rock[i].p.y) && write_float(f, rock[i].p.z) &&
         write_float(f, rock[i].size);
  return ok;
}

}  // namespace

int save_level_file(const char* filename, float version, char* error, int error_size) {
  if (!known_version(version)) {
    std::snprintf(error, error_size, "can't write '%s': unknown level version %g", filename, version);
    return 0;
  }
  char resolved[platform::MAX_PATH_LENGTH * 4];
  platform::resolve_path(filename, resolved, sizeof resolved);
  return platform::write_file_safely(resolved, write_level, &version, error, error_size) ? 1 : 0;
}

}  // namespace vurkhold
