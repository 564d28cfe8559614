// content generator: each writer makes one kind of the game's content under `dir` (the
// game folder) from fixed seeds, so the same sources give the same bytes on every build.
// Each returns 1, or 0 after printing what failed to stderr.
#pragma once

#include <cstddef>

namespace content {

int write_levels(const char* dir);
int write_textures(const char* dir);
int write_models(const char* dir);
int write_sounds(const char* dir);
// A contact sheet of every texture written under `dir`, as one PNG.
int write_texture_sheet(const char* dir, const char* png_path);
// Every file goes out through the platform's safe writer, so a failed run never leaves a
// half-written file in place of a good one.
int write_bytes(const char* path, const void* data, size_t size);

}  // namespace content
