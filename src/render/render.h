// rendering: everything that talks to GL. Texture objects for the asset loaders, the
// bitmap font and model drawing.
#pragma once

#include "shell/records.h"

namespace vurkhold {

// ---- texture objects ----

// Points the asset loaders' texture hooks at GL; call with the context current.
// remove_texture_objects empties the hooks again before the context goes.
void install_texture_objects();
void remove_texture_objects();

// ---- bitmap font ----

// Draws text with the top left of its first glyph at (x, y), glyphs size x size.
void glPrint(const char* text, float x, float y, float size);

// ---- model drawing ----

void draw_model(MODEL* m);
void draw_mesh(MESH* m);

}  // namespace vurkhold
