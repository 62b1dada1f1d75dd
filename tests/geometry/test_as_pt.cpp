#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/as_pt.h"

TEST(AsPt, UnitVectorNormalisesOrVanishes) {
  As_Uvec zero(0, 0, 0), tiny(1e-11, 0, 0), u(3, 4, 0);
  EXPECT_EQ(zero.x(), 0.0);
  EXPECT_EQ(tiny.x(), 0.0);
  EXPECT_DOUBLE_EQ(u.x(), 0.6);
  EXPECT_DOUBLE_EQ(u.y(), 0.8);
  EXPECT_EQ(u.z(), 0.0);
}

TEST(AsPt, SamePointRejectsPerAxisThenDecidesByDistance) {
  EXPECT_TRUE(same_point(As_Pt(0, 0, 0), As_Pt(1e-6, 0, 0), 1e-6));
  EXPECT_FALSE(same_point(As_Pt(0, 0, 0), As_Pt(8e-7, 8e-7, 0), 1e-6));
  EXPECT_FALSE(same_point(As_Pt(0, 0, 0), As_Pt(0, 0, 2e-6), 1e-6));
  EXPECT_TRUE(same_vector(As_Vec(1, 2, 3), As_Vec(1, 2, 3), 0.0));
}

TEST(AsPt, ParallelUsesACosineGateAndPerpendicularIncludesItsBound) {
  As_Vec px(1, 0, 0), nx(-1, 0, 0);
  EXPECT_FALSE(parallel(px, nx, 1e-6));
  EXPECT_TRUE(antiparallel(px, nx, 1e-6));
  EXPECT_TRUE(biparallel(px, nx, 1e-6));
  // The fixed cosine gate refuses (1,0.1,0) although the sine test would pass.
  EXPECT_FALSE(parallel(px, As_Vec(1, 0.1, 0), 0.2));
  EXPECT_TRUE(parallel(px, As_Vec(1, 0.01, 0), 0.2));
  EXPECT_TRUE(parallel(As_Vec(2, 0, 0), As_Vec(3, 1e-9, 0), 1e-6));
  double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(parallel(px, As_Vec(nan, 0, 0), 1.0));
  // Unit-vector overloads take the squared length as 1.
  As_Uvec ux(1, 0, 0);
  EXPECT_TRUE(parallel(ux, As_Vec(5, 0, 0), 1e-9));
  EXPECT_TRUE(antiparallel(ux, As_Uvec(-1, 0, 0), 1e-9));
  // Two unit vectors: |u1 % u2| <= tol, exactly at the bound.
  As_Uvec a = As_Uvec::raw(1, 0, 0), b = As_Uvec::raw(0.25, 0.75, 0);
  EXPECT_TRUE(perpendicular(a, b, 0.25));
  EXPECT_FALSE(perpendicular(a, b, 0.2499));
  EXPECT_TRUE(perpendicular(As_Vec(0, 3, 0), As_Vec(2, 0, 0), 0.0));
}

TEST(AsPt, MaxNormPicksTheLastLargestAxisAndOrthoIsPerpendicular) {
  int i = -1;
  EXPECT_EQ(As_Vec(1, -1, 0).max_norm(i), 1.0);
  EXPECT_EQ(i, 1);
  EXPECT_EQ(As_Vec(2, 0, -2).max_norm(i), 2.0);
  EXPECT_EQ(i, 2);
  EXPECT_EQ(As_Vec(3, 1, 0).max_norm(i), 3.0);
  EXPECT_EQ(i, 0);
  As_Vec o = As_Vec(1, 0, 0).make_ortho();
  EXPECT_EQ(o.x(), 0.0);
  EXPECT_EQ(o.y(), 0.0);
  EXPECT_EQ(o.z(), 1.0);
  o = As_Vec(0, 1, 0).make_ortho();
  EXPECT_EQ(o.z(), -1.0);
  EXPECT_EQ(As_Vec(5, 6, 7).orthogonal().z(), 1.0);
}

TEST(AsPt, PercentIsDotStarIsCrossAndZeroMeansBelowTheTolerance) {
  As_Vec a(1, 2, 3), b(4, 5, 6);
  EXPECT_EQ(a % b, 32.0);
  As_Vec c = a * b;
  EXPECT_EQ(c.x(), -3.0);
  EXPECT_EQ(c.y(), 6.0);
  EXPECT_EQ(c.z(), -3.0);
  As_Pt p = As_Pt(1, 1, 0) + As_Vec(2, 3, 0);
  EXPECT_EQ(p.x(), 3.0);
  EXPECT_EQ((p - As_Pt(1, 1, 0)).y(), 3.0);
  As_Pt m = interpolate(0.25, As_Pt(0, 0, 0), As_Pt(4, 8, 0));
  EXPECT_EQ(m.x(), 1.0);
  EXPECT_EQ(m.y(), 2.0);
  EXPECT_FALSE(is_zero_value(1e-6));
  EXPECT_TRUE(is_zero_value(9.9e-7));
  EXPECT_TRUE(As_Vec(1e-7, -1e-7, 0).is_zero(1e-6));
  EXPECT_FALSE(As_Vec(8e-7, 8e-7, 0).is_zero(1e-6));
}

TEST(AsPt, UnitCirclePointsStepByOneSixteenthOfATurn) {
  for (int k = 0; k < 16; ++k) {
    double a = k * 22.5 * qm_pi / 180.0;
    EXPECT_NEAR(unit_circle_pts[k].x(), std::cos(a), 1e-15) << k;
    EXPECT_NEAR(unit_circle_pts[k].y(), std::sin(a), 1e-15) << k;
    EXPECT_EQ(unit_circle_pts[k].z(), 0.0);
  }
  EXPECT_EQ(unit_circle_pts[4].x(), 0.0);
  EXPECT_EQ(unit_circle_pts[4].y(), 1.0);
  EXPECT_EQ(unit_circle_pts[12].y(), -1.0);
  EXPECT_DOUBLE_EQ(unit_circle_pts[2].x(), std::sqrt(2.0) / 2);
}
