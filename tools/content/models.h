// models of the game folder, one maker per model: each fills a model in the kit's terms,
// and write_models puts them all into the folder's models/.
#pragma once

#include "content/model_kit.h"

namespace content {

// The vurk: meshes 0 body, 1 head, 2 rope arm, 3 gun arm, 4 jetpack; idle in frames
// 1..40 and a walk in frames 41..70.
KIT_MODEL make_vurk();
KIT_MODEL make_rock();
KIT_MODEL make_metalbox();
KIT_MODEL make_arrow();
// The weapon and the bullet of entry `index` of the manifest's lists.
KIT_MODEL make_weapon(int index);
KIT_MODEL make_bullet(int index);

}  // namespace content
