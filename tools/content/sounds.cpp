// sounds of the game folder.
#include "content/content.h"

namespace content {

int write_sounds(const char* dir) {
  (void)dir;
  return 1;
}

}  // namespace content
