// texture makers: one procedure per picture of the game folder, each from fixed seeds.
#pragma once

#include "content/texture_art.h"

namespace content {

// The underground: terrain, rocks, the metal box, the creature, the rope, the menu.
CANVAS paint_material();
CANVAS paint_rock();
CANVAS paint_metal();
CANVAS paint_vurk_skin();
CANVAS paint_rope();
CANVAS paint_gray();
CANVAS paint_background();

// Effects drawn blended or alpha-tested.
CANVAS paint_bullet();
CANVAS paint_particle();
CANVAS paint_explosion();
CANVAS paint_bullet_hole();
CANVAS paint_flare();

// Text: the 8 x 8 glyph grid and the title. 0 after a message on stderr.
int paint_font(CANVAS* out);
int paint_title(CANVAS* out);

// The texture of weapon model `index` of the manifest.
CANVAS paint_weapon(int index);

// The TrueType faces the text is drawn with.
// Monospaced glyphs suit the fixed advance of the game's text.
inline constexpr const char* FONT_FACE = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
inline constexpr const char* TITLE_FACE = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
inline constexpr const char* LABEL_FACE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

}  // namespace content
