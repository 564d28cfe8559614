// texture makers: one procedure per picture of the game folder, each from fixed seeds.
#pragma once

#include "content/texture_art.h"

namespace content {

// The underground: terrain, rocks, the metal box, the creature, the rope, the menu.
CANVAS make_material();
CANVAS make_rock();
CANVAS make_metal();
CANVAS make_vurk_skin();
CANVAS make_rope();
CANVAS make_gray();
CANVAS make_background();

// Effects drawn blended or alpha-tested.
CANVAS make_bullet();
CANVAS make_particle();
CANVAS make_explosion();
CANVAS make_bullet_hole();
CANVAS make_flare();

// Text: the 8 x 8 glyph grid and the title. 0 after a message on stderr.
int make_font(CANVAS* out);
int make_title(CANVAS* out);

// The texture of weapon model `index` of the manifest.
CANVAS make_weapon(int index);

// The TrueType faces the text is drawn with.
// Monospaced glyphs suit the fixed advance of the game's text.
inline constexpr const char* FONT_FACE = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
inline constexpr const char* TITLE_FACE = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
inline constexpr const char* LABEL_FACE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

}  // namespace content
