// terrain lighting: ambient alone, a light's reach as a squared distance, a light of range 0,
// and sums left above 1.
#include <gtest/gtest.h>

#include "support/arena.h"
#include "support/test_support.h"
#include "terrain/terrain.h"

namespace vurkhold {
namespace {

TEST(Lighting, AmbientPlusEachLightWithinItsSquaredRange) {
  test::WorldPools pools;
  const XYZ at = {10, 10, 10};
  const struct {
    const char* what;
    int alive;
    XYZ p;
    float range;
    float color[3];
    float expected[3];
  } cases[] = {
      {"no light", 0, {10, 10, 10}, 36, {1, 1, 1}, {0.2f, 0.2f, 0.2f}},
      {"at the light", 1, {10, 10, 10}, 36, {1, 0.5f, 0}, {1.2f, 0.7f, 0.2f}},
      {"a quarter of the range away, squared", 1, {13, 10, 10}, 36, {1, 1, 1}, {0.95f, 0.95f, 0.95f}},
      {"range 0 at the light itself", 1, {10, 10, 10}, 0, {1, 1, 1}, {0.2f, 0.2f, 0.2f}},
  };
  for (const auto& c : cases) {
    test::make_arena();
    // The same light twice, once in a vurk's slot and once in a borrowed one: both count.
    for (int i : {2, 9}) light[i] = {c.p, {c.color[0], c.color[1], c.color[2]}, c.range, c.alive};
    float l[3];
    give_light(l, &at);
    for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(l[k], c.expected[k] + (c.expected[k] - 0.2f)) << c.what << " " << k;
  }
}

}  // namespace
}  // namespace vurkhold
