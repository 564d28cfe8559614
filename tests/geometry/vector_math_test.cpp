// vector math: products, lengths, normalising, reflection, angles and conversions.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/geometry.h"

namespace vurkhold {
namespace {

TEST(AngleConversion, HalfTurnGoesToPiAndBackWithinTheConstantsPrecision) {
  EXPECT_NEAR(rad(180.0f), 3.1415926f, 1e-6f);
  EXPECT_NEAR(deg(rad(180.0f)), 180.0f, 1e-4f);
  EXPECT_NEAR(deg(1.0f), 57.29577951f, 1e-5f);
  EXPECT_EQ(rad(0.0f), 0.0f);
  EXPECT_NEAR(rad(-90.0f), -1.5707963f, 1e-6f);
}

TEST(Products, CrossOfTheXAndYAxesIsZAndItsComponentsAgree) {
  const IJK x = {1, 0, 0}, y = {0, 1, 0};
  IJK out;
  cross_product(&x, &y, &out);
  EXPECT_EQ(out.i, 0.0f);
  EXPECT_EQ(out.j, 0.0f);
  EXPECT_EQ(out.k, 1.0f);
  EXPECT_EQ(k_component(&x, &y), 1.0f);
  EXPECT_EQ(j_component(&x, &y), 0.0f);
  cross_product(&y, &x, &out);
  EXPECT_EQ(out.k, -1.0f);
}

TEST(Products, CrossOfGeneralVectorsHasEachComponentWithItsSign) {
  const IJK a = {1, 2, 3}, b = {4, 5, 6};
  IJK out;
  cross_product(&a, &b, &out);
  EXPECT_EQ(out.i, -3.0f);
  EXPECT_EQ(out.j, 6.0f);
  EXPECT_EQ(out.k, -3.0f);
  EXPECT_EQ(j_component(&a, &b), 6.0f);
  EXPECT_EQ(k_component(&a, &b), -3.0f);
  EXPECT_EQ(dot_product(&a, &b), 32.0f);
  EXPECT_EQ(dot_product(&a, &out), 0.0f);  // the cross product is perpendicular to both
}

TEST(Products, DotIsFormedInDoublePrecisionBeforeRounding) {
  // In float, 1e8 + 1 - 1e8 loses the 1; formed in double it survives.
  const IJK a = {1e8f, 1.0f, -1e8f}, b = {1.0f, 1.0f, 1.0f};
  EXPECT_EQ(dot_product(&a, &b), 1.0f);
}

TEST(Lengths, LengthDistanceAndTheirSquares) {
  const IJK v = {1, 2, 2};
  EXPECT_EQ(give_vector_lenght(&v), 3.0f);
  EXPECT_EQ(give_vector_lenght_pow2(&v), 9.0f);
  const XYZ a = {1, 1, 1}, b = {4, 5, 1};
  EXPECT_EQ(give_distance(&a, &b), 5.0f);
  EXPECT_EQ(give_distance(&b, &a), 5.0f);
  EXPECT_EQ(give_distance_pow2(&a, &b), 25.0f);
  EXPECT_EQ(give_distance(&a, &a), 0.0f);
}

TEST(Lengths, SquaresBeyondFloatRangeStillGiveTheLength) {
  // The squared sum overflows a float (or underflows it) but not a double.
  const IJK huge = {3e20f, 4e20f, 0};
  EXPECT_FLOAT_EQ(give_vector_lenght(&huge), 5e20f);
  const IJK tiny = {3e-25f, 0, 4e-25f};
  EXPECT_FLOAT_EQ(give_vector_lenght(&tiny), 5e-25f);
  const XYZ a = {0, 0, 0}, b = {-3e20f, 0, 4e20f};
  EXPECT_FLOAT_EQ(give_distance(&a, &b), 5e20f);
}

TEST(Lengths, MakeVectorPointsFromTheFirstPointToTheSecond) {
  const XYZ a = {1, 2, 3}, b = {4, 0, -1};
  IJK ab, ba;
  make_vector(&a, &b, &ab);
  make_vector(&b, &a, &ba);
  EXPECT_EQ(ab.i, 3.0f);
  EXPECT_EQ(ab.j, -2.0f);
  EXPECT_EQ(ab.k, -4.0f);
  EXPECT_EQ(ba.i, -3.0f);
  EXPECT_EQ(ba.j, 2.0f);
  EXPECT_EQ(ba.k, 4.0f);
}

TEST(Normalize, ThreeFourFiveBecomesUnitAndReturnsFive) {
  IJK v = {3, 0, 4};
  EXPECT_EQ(normalize_vector(&v), 5.0f);
  EXPECT_FLOAT_EQ(v.i, 0.6f);
  EXPECT_EQ(v.j, 0.0f);
  EXPECT_FLOAT_EQ(v.k, 0.8f);
}

TEST(Normalize, ZeroVectorStaysZeroAndReturnsZero) {
  IJK v = {0, 0, 0};
  EXPECT_EQ(normalize_vector(&v), 0.0f);
  EXPECT_EQ(v.i, 0.0f);
  EXPECT_EQ(v.j, 0.0f);
  EXPECT_EQ(v.k, 0.0f);
  EXPECT_FALSE(std::isnan(v.i));
}

TEST(Normalize, TinyAndHugeVectorsComeOutOfUnitLength) {
  IJK tiny = {1e-20f, 0, 1e-20f};  // squares underflow in float, not in double
  EXPECT_GT(normalize_vector(&tiny), 0.0f);
  EXPECT_NEAR(give_vector_lenght(&tiny), 1.0f, 1e-6f);
  IJK huge = {3e20f, 4e20f, 0};  // squares overflow in float, not in double
  EXPECT_FLOAT_EQ(normalize_vector(&huge), 5e20f);
  EXPECT_FLOAT_EQ(huge.i, 0.6f);
  EXPECT_FLOAT_EQ(huge.j, 0.8f);
}

TEST(Reflect, BounceOffTheFloorKeepsTheGivenShareOfSpeed) {
  IJK v = {1, -1, 0};
  const IJK up = {0, 1, 0};
  reflect_vector(&v, &up, 0.5f);
  EXPECT_EQ(v.i, 0.5f);
  EXPECT_EQ(v.j, 0.5f);
  EXPECT_EQ(v.k, 0.0f);
}

TEST(Reflect, ObliqueNormalMirrorsAndFullScaleKeepsLength) {
  IJK v = {2, 0, 0};
  IJK n = {-1, 1, 0};
  normalize_vector(&n);
  reflect_vector(&v, &n, 1.0f);
  EXPECT_NEAR(v.i, 0.0f, 1e-6f);
  EXPECT_NEAR(v.j, 2.0f, 1e-6f);
  EXPECT_EQ(v.k, 0.0f);
  // Moving along the surface is not changed.
  IJK along = {1, 1, 0};
  reflect_vector(&along, &n, 1.0f);
  EXPECT_NEAR(along.i, 1.0f, 1e-6f);
  EXPECT_NEAR(along.j, 1.0f, 1e-6f);
}

TEST(Angle, RightParallelAndOppositeVectors) {
  const IJK x = {2, 0, 0}, y = {0, 3, 0}, mx = {-1, 0, 0};
  EXPECT_NEAR(give_vector_angle(&x, &y), 1.5707964f, 1e-6f);
  EXPECT_EQ(give_vector_angle(&x, &x), 0.0f);
  EXPECT_NEAR(give_vector_angle(&x, &mx), 3.1415927f, 1e-6f);
}

// These two vectors are exactly opposite, yet their cosine computes to just below -1;
// the angle must still be pi, not NaN.
TEST(Angle, OppositeVectorsWhoseCosineRoundsPastMinusOneGivePi) {
  const XYZ a = {23.25f, 12.375f, 2.625f}, b = {28.625f, 14.125f, 11.5f};
  const XYZ mid = {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
  IJK to_a, to_b;
  make_vector(&mid, &a, &to_a);
  make_vector(&mid, &b, &to_b);
  const float angle = give_vector_angle(&to_a, &to_b);
  EXPECT_FALSE(std::isnan(angle));
  EXPECT_NEAR(angle, 3.1415927f, 1e-6f);
}

}  // namespace
}  // namespace vurkhold
