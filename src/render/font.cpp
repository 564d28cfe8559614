// bitmap font: text drawn as one quad per character from the 8 x 8 glyph grid of the font
// texture, which covers the codes 32 to 95.
#include <GL/gl.h>

#include "render/render.h"

namespace vurkhold {

void glPrint(const char* text, float x, float y, float size) {
  if (!text || !text[0]) return;
  constexpr float CELL = 1.0f / 8.0f;
  float pen_x = x;
  float pen_y = y;
  glBegin(GL_QUADS);
  for (const char* c = text; *c; c++) {
    if (*c == '\n') {
      pen_x = x;
      pen_y -= size;
      continue;
    }
    const int n = static_cast<unsigned char>(*c) - 32;
    const float s = static_cast<float>(n % 8) / 8.0f;
    const float t = static_cast<float>(n / 8) / 8.0f;
    glTexCoord2f(s, t);
    glVertex2f(pen_x, pen_y);
    glTexCoord2f(s, t + CELL);
    glVertex2f(pen_x, pen_y - size);
    glTexCoord2f(s + CELL, t + CELL);
    glVertex2f(pen_x + size, pen_y - size);
    glTexCoord2f(s + CELL, t);
    glVertex2f(pen_x + size, pen_y);
    // Glyphs overlap by a fifth of their width.
    pen_x += 0.8f * size;
  }
  glEnd();
}

}  // namespace vurkhold
