// lab chart: the weapon and seat tables drawn as bars into a PNG, labelled with a small
// built-in 5 x 7 raster font, so the chart needs no content and no GL.

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "lab/lab.h"
#include "platform/platform.h"

namespace vurkhold::lab {

namespace {

// Seven rows a glyph, the five low bits of each from the left column to the right.
struct GLYPH {
  char c;
  uint8_t row[7];
};

constexpr GLYPH font[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}}, {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
    {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}}, {'_', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}}, {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
};

constexpr int SCALE = 2;
constexpr int ADVANCE = 6 * SCALE;
constexpr int ROW = 20;
constexpr int MARGIN = 10;
constexpr int NAME_WIDTH = 17 * ADVANCE;
constexpr int COLUMN = 200;
constexpr int NUMBER_ROOM = 80;  // kept right of the longest bar for its figure
constexpr int WEAPON_COLUMNS = 4;
constexpr int WIDTH = 2 * MARGIN + NAME_WIDTH + WEAPON_COLUMNS * COLUMN;

struct RGB {
  uint8_t r, g, b;
};

constexpr RGB BACKGROUND = {28, 28, 32}, INK = {230, 230, 230}, FAINT = {70, 70, 80};
constexpr RGB BAR[WEAPON_COLUMNS] = {{80, 200, 90}, {220, 70, 70}, {80, 140, 230}, {230, 200, 60}};

struct CANVAS {
  int height;
  std::vector<uint8_t> rgb;

  void fill(int x, int y, int w, int h, RGB c) {
    for (int j = y; j < y + h; j++)
      for (int i = x; i < x + w; i++) {
        if (i < 0 || j < 0 || i >= WIDTH || j >= height) continue;
        uint8_t* p = &rgb[(static_cast<size_t>(j) * WIDTH + i) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
      }
  }
  void text(int x, int y, const char* s, RGB c) {
    for (; *s; s++, x += ADVANCE) {
      const char up = static_cast<char>(std::toupper(static_cast<unsigned char>(*s)));
      for (const GLYPH& g : font) {
        if (g.c != up) continue;
        for (int row = 0; row < 7; row++)
          for (int col = 0; col < 5; col++)
            if (g.row[row] & (0x10 >> col)) fill(x + col * SCALE, y + row * SCALE, SCALE, SCALE, c);
      }
    }
  }
};

// One column of bars: each value's bar scaled to the column's largest, with its figure
// after it; a missing value (nothing to divide by) shows as "-".
void draw_column(CANVAS* canvas, int x, int y, const char* title, const double* value, const bool* known, int count,
                 const char* format, RGB colour) {
  canvas->text(x, y, title, INK);
  double top = 0.0;
  for (int i = 0; i < count; i++)
    if (known[i] && value[i] > top) top = value[i];
  for (int i = 0; i < count; i++) {
    const int row_y = y + (i + 1) * ROW;
    canvas->fill(x, row_y + ROW - 2, COLUMN - 10, 1, FAINT);
    if (!known[i]) {
      canvas->text(x, row_y + 2, "-", INK);
      continue;
    }
    const int length = top > 0.0 ? static_cast<int>(value[i] / top * (COLUMN - 10 - NUMBER_ROOM)) : 0;
    canvas->fill(x, row_y + 3, length, ROW - 6, colour);
    char figure[24];
    std::snprintf(figure, sizeof figure, format, value[i]);
    canvas->text(x + length + 4, row_y + 3, figure, INK);
  }
}

}  // namespace

int write_chart(const char* path, const char* title, const WEAPON_LIST* list, const TOTALS* t, char* error,
                int error_size) {
  const int n = list->count;
  const int seats_y = MARGIN + ROW * (n + 4);
  CANVAS canvas{seats_y + ROW * (MAX_VURKS + 2), {}};
  canvas.rgb.assign(static_cast<size_t>(WIDTH) * canvas.height * 3, 0);
  canvas.fill(0, 0, WIDTH, canvas.height, BACKGROUND);

  double value[WEAPON_COLUMNS][MAX_WEAPON_TYPES];
  bool known[WEAPON_COLUMNS][MAX_WEAPON_TYPES];
  for (int w = 0; w < n; w++) {
    const double kills = static_cast<double>(t->kills[w]);
    const double numerator[WEAPON_COLUMNS] = {kills, 100.0 * t->self_kills[w], static_cast<double>(t->shots[w]),
                                              0.001 * static_cast<double>(t->kill_ms[w])};
    const double denominator[WEAPON_COLUMNS] = {static_cast<double>(t->carried[w]), kills, kills, kills};
    for (int c = 0; c < WEAPON_COLUMNS; c++) {
      known[c][w] = denominator[c] > 0.0;
      value[c][w] = known[c][w] ? numerator[c] / denominator[c] : 0.0;
    }
  }
  const int top = MARGIN + 2 * ROW;
  canvas.text(MARGIN, MARGIN, title, INK);
  canvas.text(MARGIN, top, "WEAPON", INK);
  for (int w = 0; w < n; w++) canvas.text(MARGIN, top + (w + 1) * ROW + 3, list->name[w], INK);
  const char* const titles[WEAPON_COLUMNS] = {"KILLS/CARRIED", "SELF % KILLS", "SHOTS/KILL", "TTK S"};
  const char* const formats[WEAPON_COLUMNS] = {"%.2f", "%.0f%%", "%.1f", "%.2f"};
  for (int c = 0; c < WEAPON_COLUMNS; c++)
    draw_column(&canvas, MARGIN + NAME_WIDTH + c * COLUMN, top, titles[c], value[c], known[c], n, formats[c], BAR[c]);

  const long decided = t->matches - t->without_winner - t->failed;
  const long played = t->matches - t->failed;
  double share[MAX_VURKS], frags[MAX_VURKS];
  bool has_share[MAX_VURKS], has_frags[MAX_VURKS];
  for (int i = 0; i < MAX_VURKS; i++) {
    has_share[i] = decided > 0;
    has_frags[i] = played > 0;
    share[i] = decided > 0 ? 100.0 * t->wins[i] / decided : 0.0;
    frags[i] = played > 0 ? static_cast<double>(t->frags[i]) / played : 0.0;
  }
  canvas.text(MARGIN, seats_y, "SEAT", INK);
  for (int i = 0; i < MAX_VURKS; i++) {
    char name[24];
    std::snprintf(name, sizeof name, "VURK %d", i + 1);
    canvas.text(MARGIN, seats_y + (i + 1) * ROW + 3, name, INK);
  }
  draw_column(&canvas, MARGIN + NAME_WIDTH, seats_y, "WIN SHARE", share, has_share, MAX_VURKS, "%.1f%%", BAR[0]);
  draw_column(&canvas, MARGIN + NAME_WIDTH + COLUMN, seats_y, "FRAGS/MATCH", frags, has_frags, MAX_VURKS, "%.1f",
              BAR[2]);

  const bool saved = platform::write_png(path, WIDTH, canvas.height, 3, canvas.rgb.data(), 0, error, error_size);
  return saved ? 1 : 0;
}

}  // namespace vurkhold::lab
