// startup of the generated game folder.
#include <gtest/gtest.h>
