// glPrint read back from GL feedback: each glyph's cell of the font grid, the 0.8 advance,
// the line break, and nothing for an empty or missing text.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/render.h"
#include "support/gl_context.h"
#include "support/match_view.h"

namespace vurkhold {
namespace {

TEST(GlPrint, GlyphsAdvanceFourFifthsAndBreakLines) {
  ASSERT_TRUE(test::ensure_gl_context());
  set_screen_projection();
  glColor3f(1, 1, 0);
  const std::vector<test::Line> lines = test::printed([] {
    glPrint("A_ Z\n0", 100, 200, 10);
    glPrint("", 300, 300, 10);
    glPrint(nullptr, 300, 300, 10);
  });
  EXPECT_EQ(test::differ(lines, {{"A_ Z", 100, 200, 10, 0xFFFF00}, {"0", 100, 190, 10, 0xFFFF00}}), "");
}

}  // namespace
}  // namespace vurkhold
