// models of the game folder.
#include "content/content.h"

namespace content {

int write_models(const char* dir) {
  (void)dir;
  return 1;
}

}  // namespace content
