// random routines: range ends of random_number, unit random vectors, scattered directions.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/geometry.h"

namespace vurkhold {
namespace {

// A seed whose first draw is `wanted`, found by trying seeds in order.
unsigned seed_giving(int wanted) {
  for (unsigned seed = 0; seed < (1u << 24); seed++) {
    game_srand(seed);
    if (game_rand() == wanted) return seed;
  }
  ADD_FAILURE() << "no seed draws " << wanted;
  return 0;
}

TEST(RandomNumber, LowestDrawGivesExactlyMinAndHighestExactlyMax) {
  const unsigned low = seed_giving(0), high = seed_giving(32767);
  game_srand(low);
  EXPECT_EQ(random_number(0.0f, 1.0f), 0.0f);
  game_srand(high);
  EXPECT_EQ(random_number(0.0f, 1.0f), 1.0f);
  game_srand(low);
  EXPECT_EQ(random_number(-3.0f, 7.3f), -3.0f);
  game_srand(high);
  EXPECT_EQ(random_number(-3.0f, 7.3f), 7.3f);
  game_srand(high);
  EXPECT_EQ(random_number(0.0f, 6.2831855f), 6.2831855f);
}

TEST(RandomNumber, MidDrawIsProportional) {
  game_srand(seed_giving(16384));
  EXPECT_FLOAT_EQ(random_number(0.0f, 32767.0f), 16384.0f);
}

TEST(RandomNumber, EqualEndsReturnThatValue) {
  game_srand(7);
  for (int n = 0; n < 100; n++) EXPECT_EQ(random_number(2.5f, 2.5f), 2.5f);
}

TEST(RandomNumber, ManyDrawsStayWithinTheRangeAndSpreadOverIt) {
  game_srand(12345);
  float lowest = 100, highest = -100;
  for (int n = 0; n < 20000; n++) {
    const float r = random_number(-0.7f, 0.3f);
    ASSERT_GE(r, -0.7f);
    ASSERT_LE(r, 0.3f);
    lowest = std::fmin(lowest, r);
    highest = std::fmax(highest, r);
  }
  EXPECT_LT(lowest, -0.69f);
  EXPECT_GT(highest, 0.29f);
}

TEST(RandomNumber, SameSeedReplaysTheSameNumbers) {
  game_srand(99);
  const float a = random_number(0, 10), b = random_number(0, 10);
  game_srand(99);
  EXPECT_EQ(random_number(0, 10), a);
  EXPECT_EQ(random_number(0, 10), b);
}

TEST(RandomVector, IsOfUnitLengthAndReachesEveryOctant) {
  game_srand(4242);
  int octant_seen[8] = {};
  for (int n = 0; n < 4000; n++) {
    const IJK v = random_vector();
    ASSERT_NEAR(give_vector_lenght(&v), 1.0f, 1e-5f);
    octant_seen[(v.i > 0) + 2 * (v.j > 0) + 4 * (v.k > 0)]++;
  }
  for (int o = 0; o < 8; o++) EXPECT_GT(octant_seen[o], 300) << "octant " << o;
}

TEST(RandomDirection, ZeroSpreadGivesTheDirectionNormalisedAndScaled) {
  game_srand(5);
  const IJK dir = {0, 3, 4};
  const IJK out = random_direction(&dir, 0.0f, 2.0f);
  EXPECT_EQ(out.i, 0.0f);
  EXPECT_FLOAT_EQ(out.j, 1.2f);
  EXPECT_FLOAT_EQ(out.k, 1.6f);
  EXPECT_EQ(dir.i, 0.0f);  // the input is not changed
  EXPECT_EQ(dir.j, 3.0f);
  EXPECT_EQ(dir.k, 4.0f);
}

TEST(RandomDirection, SpreadStaysInsideTheConeAndHasTheAskedLength) {
  game_srand(777);
  const IJK dir = {0, 0, -1};
  const float theta = 0.3f;
  float widest = 0;
  for (int n = 0; n < 3000; n++) {
    const IJK out = random_direction(&dir, theta, 0.05f);
    ASSERT_NEAR(give_vector_lenght(&out), 0.05f, 1e-6f);
    const float angle = give_vector_angle(&out, &dir);
    ASSERT_LE(angle, theta + 1e-4f);
    widest = std::fmax(widest, angle);
  }
  EXPECT_GT(widest, 0.25f);  // the cone is actually used
}

}  // namespace
}  // namespace vurkhold
