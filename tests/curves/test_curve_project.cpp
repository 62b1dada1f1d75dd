// Feet of points on lines, circles and NURBS curves; the bounded root search
// and tangent lines through a point.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "curve_fixtures.h"
#include "geometry/curves/curve_intersect.h"
#include "geometry/curves/curve_wrappers.h"

using namespace curves_test;

namespace {

TEST(Projection, FootOfThePerpendicular) {
  TestLine line({1, 1, 0}, {2, 1, 0}, -5, 5, 7);
  auto segment = NurbsLine({1, 1, 0}, {3, 2, 0});
  const double q[3] = {0, 6, 0};
  // Foot: t = (q - p).d / |d|^2 = (-2 + 5) / 5.
  for (const CCurve* c : {static_cast<const CCurve*>(&line), static_cast<const CCurve*>(segment.get())}) {
    double foot[3], t = 0, d2 = 0;
    ASSERT_EQ(c->ProjectPoint(q, 0.9, foot, t, d2), 0);
    EXPECT_NEAR(t, 0.6, 1e-12);
    EXPECT_NEAR(foot[0], 2.2, 1e-12);
    EXPECT_NEAR(foot[1], 1.6, 1e-12);
    EXPECT_NEAR(d2, 2.2 * 2.2 + 4.4 * 4.4, 1e-9);
  }
}

TEST(Projection, BothCircleFormsProjectAlongTheRadius) {
  TestCircle circle = Circle(0, 0, 1, 0, 7);
  auto nurbs = NurbsCircle(0, 0, 1);
  const double q[3] = {3, 4, 0};
  for (const CCurve* c : {static_cast<const CCurve*>(&circle), static_cast<const CCurve*>(nurbs.get())}) {
    double foot[3], t = 0, d = 0;
    ASSERT_EQ(c->ClosestPoint(q, foot, t, d, 1e-9, kCurveNone), 0);
    EXPECT_NEAR(foot[0], 0.6, 1e-9);
    EXPECT_NEAR(foot[1], 0.8, 1e-9);
    EXPECT_NEAR(d, 4.0, 1e-9);
  }
}

TEST(Projection, NearestOfSeveralAgainstDenseSampling) {
  // A wavy cubic: several local feet for each query point.
  auto c = MakeNurbs(3, {0, 0, 0, 0, 0.25, 0.5, 0.75}, 1.0,
                     {{0, 0, 0}, {1, 3, 0}, {2, -3, 0}, {3, 3, 0}, {4, -3, 0}, {5, 3, 0}, {6, 0, 0}});
  ASSERT_TRUE(c);
  const double queries[][3] = {{3, 0.2, 0}, {1.5, 4, 0}, {-1, -1, 0}, {4.4, -0.5, 0}};
  for (const auto& q : queries) {
    double best = 1e300;
    for (int i = 0; i <= 20000; ++i) {
      double p[3];
      c->Evaluate(i / 20000.0, p);
      best = std::fmin(best, Dist(p, q));
    }
    double foot[3], t = 0, d = 0;
    ASSERT_EQ(c->NearestPoint(q, foot, t, d, false), 0);
    EXPECT_LE(d, best + 1e-12);
    EXPECT_NEAR(d, best, 1e-6);
    double p[3];
    c->Evaluate(t, p);
    EXPECT_NEAR(Dist(p, foot), 0.0, 1e-12);
  }
}

TEST(Projection, ExcludedFeetAreSkippedEndsAreNearestPastThemAndNanIsRefused) {
  auto circle = NurbsCircle(0, 0, 2);
  double on[3];
  circle->Evaluate(0.3, on);
  double foot[3], t = 0, d = 1;
  ASSERT_EQ(circle->ClosestPoint(on, foot, t, d, 1e-9, kCurveNone), 0);
  EXPECT_LT(d, 1e-9);
  EXPECT_NEAR(t, 0.3, 1e-9);
  EXPECT_TRUE(circle->CCurve::ContainsPoint(on, 1e-6));
  const double off[3] = {2.1, 0, 0};
  EXPECT_FALSE(circle->CCurve::ContainsPoint(off, 1e-3));

  // The foot nearest to (0, 3) is at t = 0.25; excluded, another is taken.
  const double q[3] = {0, 3, 0};
  ASSERT_EQ(circle->ClosestPoint(q, foot, t, d, 1e-9, 0.25), 0);
  EXPECT_GT(std::fabs(t - 0.25), 1e-6);

  // Beyond the end of a segment the end point is nearest.
  auto seg = NurbsLine({0, 0, 0}, {1, 0, 0});
  const double past[3] = {2, 1, 0};
  ASSERT_EQ(seg->NearestPoint(past, foot, t, d, false), 0);
  EXPECT_EQ(t, 1.0);
  EXPECT_NEAR(d, std::sqrt(2.0), 1e-12);

  const double nan[3] = {std::numeric_limits<double>::quiet_NaN(), 0, 0};
  EXPECT_EQ(seg->ClosestPoint(nan, foot, t, d, 1e-9, kCurveNone), kCurveBadArgument);
  EXPECT_EQ(seg->ProjectPoint(nan, 0.5, foot, t, d), kCurveBadArgument);
  EXPECT_FALSE(circle->ContainsPoint(nan, 1e-3));
}

class Quadratic : public CParamFunction {
 public:
  explicit Quadratic(double c) : c_(c) {
    range_low = 0.0;
    range_high = 10.0;
  }
  CParamFunction* Clone() const override { return new Quadratic(*this); }
  int ValueAndDerivative(double t, double& v, double& d) const override {
    v = t * t - c_;
    d = 2 * t;
    return 0;
  }
  int Value(double t, double& v) const override {
    v = t * t - c_;
    return 0;
  }

 private:
  double c_;
};

TEST(FindRoot, ConvergesClampsAndGivesUp) {
  Quadratic two(2.0);
  double t = -1;
  ASSERT_EQ(FindRoot(two, 5.0, t), 0);
  EXPECT_NEAR(t, std::sqrt(2.0), 1e-12);

  // No root in [0, 10]: every step is clamped to 0 and the search stops.
  Quadratic none(-1.0);
  t = -1;
  EXPECT_EQ(FindRoot(none, 3.0, t), kCurveNotFound);
  EXPECT_EQ(t, -1);

  Quadratic slow(2.0);
  slow.iteration_limit = 2;
  EXPECT_EQ(FindRoot(slow, 1000.0, t), kCurveNotFound);
  EXPECT_EQ(FindRoot(two, std::numeric_limits<double>::infinity(), t), kCurveBadArgument);
}

TEST(TangentFromPoint, TouchesTheCircle) {
  auto circle = NurbsCircle(0, 0, 1);
  const double q[3] = {2, 0, 0};
  double t = 0;
  // Tangent points at +-60 degrees: t = 1/6 and 5/6 of the turn.
  ASSERT_EQ(circle->TangentFromPoint(q, 0.2, t), 0);
  double p[3];
  circle->Evaluate(t, p);
  EXPECT_NEAR(p[0], 0.5, 1e-9);
  EXPECT_NEAR(std::fabs(p[1]), std::sqrt(0.75), 1e-9);
  const double inside[3] = {0.1, 0, 0};
  EXPECT_EQ(circle->TangentFromPoint(inside, 0.2, t), kCurveNotFound);
}

}  // namespace

namespace {

TEST(HostileInput, NonFiniteCurvesAnswerAStatus) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  TestLine bad({0, 0, 0}, {nan, 1, 0}, 0, 1, 7);
  auto good = NurbsLine({0, 0, 0}, {1, 1, 0});
  const double q[3] = {0.5, 0, 0};
  double foot[3], t = 0, d = 0;
  EXPECT_NE(bad.ClosestPoint(q, foot, t, d, 1e-9, kCurveNone), 0);
  EXPECT_NE(bad.NearestPoint(q, foot, t, d, true), 0);
  CDoubleArray l1, l2;
  EXPECT_EQ(IntersectCurves(bad, *good, l1, l2, 1e-9), 0);
  EXPECT_EQ(l1.Count(), 0);
  CDoubleArray self;
  EXPECT_EQ(bad.SelfIntersections(self, 1e-9), 0);
  CCurve* out = nullptr;
  EXPECT_NE(bad.ToNURBS(0.01, out), 0);
  EXPECT_EQ(out, nullptr);
  EXPECT_NE(bad.ArcLengthReparam(0, 1, out), 0);
  EXPECT_NE(bad.TangentFromPoint(q, 0.5, t), 0);
}

}  // namespace

namespace {

// Reports half its real speed, so every Newton step lands as far past the
// answer as it started before it: the searches must give up, not spin.
class MisleadingLine : public TestLine {
 public:
  MisleadingLine(std::array<double, 3> p, std::array<double, 3> d) : TestLine(p, d, -100, 100, 7) {}
  int Derivatives(double t, int order, double (*out)[3]) const override {
    int st = TestLine::Derivatives(t, order, out);
    for (int i = 0; i < 3 && order >= 1; ++i) out[1][i] *= 0.5;
    return st;
  }
};

TEST(HostileInput, SolversStopAtTheirStepLimit) {
  MisleadingLine a({0, 0, 0}, {1, 0, 0}), b({5, -3, 0}, {0, 1, 0});
  const double q[3] = {3, 1, 0};
  double foot[3], t = 0, d2 = 0;
  EXPECT_EQ(a.ProjectPoint(q, 0.0, foot, t, d2), kCurveNotFound);
  CCurveIntersector it(a, b, 0.0);
  EXPECT_EQ(it.Run(0.0, 0.0), kCurveNotFound);
}

}  // namespace
