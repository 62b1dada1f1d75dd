// Offset, transformed and reparametrised curves, the arc-length map and the
// conversion of any curve into a cubic NURBS.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "curve_fixtures.h"
#include "geometry/curves/curve_wrappers.h"
#include "geometry/curves/vector_ops.h"

using namespace curves_test;

namespace {

TEST(OffsetCurve, CircleOffsetsAreConcentricCircles) {
  auto circle = NurbsCircle(1, 2, 1);  // counter-clockwise: the left is inside
  for (double d : {0.25, -0.5}) {
    CCurve* raw = nullptr;
    ASSERT_EQ(circle->MakeOffset(d, raw), 0);
    std::unique_ptr<CCurve> off(raw);
    for (int i = 0; i <= 16; ++i) {
      double t = i / 16.0, p[3], q[3], der[3], tan[3], k = 0, v = 0;
      ASSERT_EQ(off->Evaluate(t, p), 0);
      EXPECT_NEAR(std::hypot(p[0] - 1, p[1] - 2), 1 - d, 1e-12);
      ASSERT_EQ(off->PointAndTangent(t, q, der), 0);
      EXPECT_NEAR(Dist(p, q), 0, 1e-12);
      ASSERT_EQ(off->FrameAt(t, q, tan, k, &v), 0);
      EXPECT_NEAR(k, 1 / (1 - d), 1e-9);
      EXPECT_NEAR(v, VLength(der), 1e-9);
      // The derivative is tangent to the offset circle.
      EXPECT_NEAR((p[0] - 1) * der[0] + (p[1] - 2) * der[1], 0, 1e-9);
    }
  }
  // At the centre of curvature: a cusp of infinite curvature and no speed.
  int st = 0;
  COffsetCurve cusp(circle.get(), 1.0, nullptr, st);
  double p[3], tan[3], k = 0, v = 1;
  ASSERT_EQ(cusp.FrameAt(0.3, p, tan, k, &v), 0);
  EXPECT_EQ(std::fabs(k), kCurveNone);
  EXPECT_EQ(v, 0.0);
  // Past it the offset runs backwards: the tangent turns round.
  COffsetCurve beyond(circle.get(), 2.0, nullptr, st);
  double inner_p[3], inner_t[3], ik;
  circle->FrameAt(0.3, inner_p, inner_t, ik);
  ASSERT_EQ(beyond.FrameAt(0.3, p, tan, k, &v), 0);
  EXPECT_NEAR(VDot(tan, inner_t), -1.0, 1e-12);
  EXPECT_GT(v, 0.0);
}

TEST(OffsetCurve, ZeroDerivativesAndBadRangesAnswerAStatus) {
  // A repeated first control point: the derivative vanishes at the start.
  auto c = MakeNurbs(3, {0, 0, 0, 0}, 1.0, {{0, 0, 0}, {0, 0, 0}, {1, 1, 0}, {2, 0, 0}});
  int st = 0;
  COffsetCurve off(c.get(), 0.1, nullptr, st);
  ASSERT_EQ(st, 0);
  double p[3], d[3];
  EXPECT_EQ(off.Evaluate(0.0, p), kCurveZeroVector);
  EXPECT_EQ(off.PointAndTangent(0.0, p, d), kCurveZeroVector);
  EXPECT_EQ(off.Evaluate(0.5, p), 0);
  EXPECT_EQ(off.SetRange(0.6, 0.4), kCurveBadArgument);
  EXPECT_EQ(off.SetStart(1.0), kCurveBadArgument);
  EXPECT_EQ(off.SetEnd(0.0), kCurveBadArgument);
  EXPECT_EQ(off.SetRange(0.2, 0.7), 0);
  EXPECT_EQ(off.StartParam(), 0.2);
  CDoubleArray samples;
  ASSERT_EQ(off.SampleParams(samples), 0);
  for (int i = 0; i < samples.Count(); ++i) EXPECT_TRUE(samples[i] >= 0.2 && samples[i] <= 0.7);
  COffsetCurve nan(c.get(), std::numeric_limits<double>::quiet_NaN(), nullptr, st);
  EXPECT_EQ(st, kCurveBadArgument);
  COffsetCurve none(nullptr, 1.0, nullptr, st);
  EXPECT_EQ(st, kCurveBadArgument);
  EXPECT_EQ(none.Evaluate(0.5, p), kCurveBadArgument);
}

// Doubles x only: not affine as far as the library knows.
class StretchMap : public CPointMap {
 public:
  void MapPoint(const double in[3], double out[3]) const override {
    out[0] = 2 * in[0];
    out[1] = in[1];
    out[2] = in[2];
  }
  void MapVector(const double in[3], double out[3]) const override { MapPoint(in, out); }
};

TEST(TransformedCurve, AffineMapsCopyTheCurveAndOtherMapsWrapIt) {
  auto c = NurbsCircle(0, 0, 1);
  const double m[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}, tr[3] = {5, 0, 0};
  CAffineMap turn(m, tr);
  StretchMap stretch;
  CCurve* raw = nullptr;
  ASSERT_EQ(c->Transformed(turn, raw), 0);
  std::unique_ptr<CCurve> a(raw);
  EXPECT_NE(dynamic_cast<CNURBS*>(a.get()), nullptr);
  ASSERT_EQ(c->Transformed(stretch, raw), 0);
  std::unique_ptr<CCurve> b(raw);
  EXPECT_NE(dynamic_cast<CTransformedCurve*>(b.get()), nullptr);
  for (int i = 0; i <= 8; ++i) {
    double t = i / 8.0, p[3], q[3], want[3];
    c->Evaluate(t, p);
    a->Evaluate(t, q);
    turn.MapPoint(p, want);
    EXPECT_NEAR(Dist(q, want), 0, 1e-12);
    b->Evaluate(t, q);
    stretch.MapPoint(p, want);
    EXPECT_NEAR(Dist(q, want), 0, 1e-12);
  }
  std::unique_ptr<CCurve> copy(b->Clone());
  EXPECT_EQ(copy->EndParam(), 1.0);
  int st = 0;
  CTransformedCurve bad(nullptr, &stretch, st);
  EXPECT_EQ(st, kCurveBadArgument);
}

TEST(ArcLength, ReparametrisedCurvesHaveUnitSpeed) {
  // A quarter of the rational circle of radius 3 and a general arc.
  auto circle = NurbsCircle(0, 0, 3);
  TestCircle arc = Circle(0, 0, 2, 0, 7);
  struct Case {
    const CCurve* curve;
    double a, b, length;
    bool generic;
    double speed_tol;  // the map interpolates the speed between its samples
  } cases[] = {
      {circle.get(), 0.0, 0.25, 1.5 * kPi, false, 2e-2},
      {circle.get(), 0.1, 0.9, -1, false, 2e-2},
      {circle.get(), 0.0, 0.25, 1.5 * kPi, true, 1e-4},
      {&arc, 0.5, 2.5, 4.0, true, 1e-12},
  };
  for (const Case& c : cases) {
    CCurve* raw = nullptr;
    ASSERT_EQ(c.generic ? c.curve->CCurve::ArcLengthReparam(c.a, c.b, raw) : c.curve->ArcLengthReparam(c.a, c.b, raw),
              0);
    std::unique_ptr<CCurve> r(raw);
    EXPECT_EQ(r->StartParam(), 0.0);
    if (c.length > 0) {
      EXPECT_NEAR(r->EndParam(), c.length, 1e-9);
    }
    for (int i = 0; i <= 50; ++i) {
      double s = r->EndParam() * i / 50, p[3], d[3];
      ASSERT_EQ(r->PointAndTangent(s, p, d), 0);
      EXPECT_NEAR(VLength(d), 1.0, c.speed_tol) << s;
    }
    double p[3], q[3];
    r->Evaluate(r->EndParam(), p);
    c.curve->Evaluate(c.b, q);
    EXPECT_NEAR(Dist(p, q), 0, 1e-9);
    std::unique_ptr<CCurve> copy(r->Clone());
    copy->Evaluate(r->EndParam() / 3, p);
    r->Evaluate(r->EndParam() / 3, q);
    EXPECT_EQ(Dist(p, q), 0.0);
  }
}

TEST(ArcLength, MapRefusesSamplesThatAreNotMonotone) {
  auto arrays = [](std::vector<double> v) {
    CDoubleArray a;
    for (double x : v) a.Append(x);
    return a;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    std::vector<double> s, t, d;
    int want;
  } cases[] = {
      {{0, 1, 2}, {0, 1, 2}, {1, 1, 1}, 0},
      {{0, 1, 2}, {2, 1, 0}, {-1, -1, -1}, 0},  // decreasing t
      {{0}, {0}, {1}, kCurveBadArgument},
      {{0, 1}, {0, 1, 2}, {1, 1}, kCurveBadArgument},
      {{0, 1, 2}, {0, 1, 0.5}, {1, 1, 1}, kCurveBadArgument},
      {{0, 1, 1}, {0, 1, 2}, {1, 1, 1}, kCurveBadArgument},
      {{0, 1, 2}, {0, 1, 2}, {0, 1, 1}, kCurveBadArgument},
      {{0, 1, 2}, {0, nan, 2}, {1, 1, 1}, kCurveBadArgument},
  };
  for (const Case& c : cases) {
    CArcLengthMap* map = nullptr;
    EXPECT_EQ(CArcLengthMap::Make(arrays(c.s), arrays(c.t), arrays(c.d), map), c.want);
    std::unique_ptr<CArcLengthMap> own(map);
    if (c.want != 0) {
      EXPECT_EQ(map, nullptr);
      continue;
    }
    double t = 0, dt = 0;
    ASSERT_EQ(map->ValueAndDerivative(0.5, t, dt), 0);
    EXPECT_NEAR(t, c.t[0] + 0.5 * c.d[0], 1e-12);
    EXPECT_NEAR(dt, c.d[0], 1e-12);
    ASSERT_EQ(map->Value(7.0, t), 0);  // clamped to the end
    EXPECT_NEAR(t, c.t[2], 1e-12);
  }
}

TEST(Conversion, ApproximatesWithinTheTolerance) {
  TestCircle half({1, 1, 0}, {2, 0, 0}, {0, 2, 0}, 0.0, kPi, 7);
  TestCircle full = Circle(0, 0, 1, 0.4, 7);
  TestLine line({0, 0, 0}, {1, 2, 0}, 0, 3, 7);
  for (const CCurve* src : {static_cast<const CCurve*>(&half), static_cast<const CCurve*>(&full),
                            static_cast<const CCurve*>(&line)}) {
    for (double tol : {1e-2, 1e-5}) {
      CCurve* raw = nullptr;
      ASSERT_EQ(src->ToNURBS(tol, raw), 0);
      std::unique_ptr<CNURBS> c(dynamic_cast<CNURBS*>(raw));
      ASSERT_TRUE(c);
      EXPECT_EQ(c->Degree(), 3);
      EXPECT_EQ(c->Knots()->IsPeriodic(), src == &full);
      double worst = 0;
      for (int i = 0; i <= 1000; ++i) {
        double t = src->StartParam() + (src->EndParam() - src->StartParam()) * i / 1000, p[3], q[3];
        src->Evaluate(t, p);
        c->Evaluate(t, q);
        worst = std::fmax(worst, Dist(p, q));
      }
      EXPECT_LT(worst, tol);
      double p[3], q[3];
      src->StartPoint(p);
      c->StartPoint(q);
      EXPECT_NEAR(Dist(p, q), 0, src == &full ? tol : 1e-12);
      // A NURBS converts to a copy of itself.
      CCurve* again = nullptr;
      ASSERT_EQ(c->ToNURBS(tol, again), 0);
      std::unique_ptr<CCurve> own(again);
      EXPECT_NE(again, c.get());
    }
  }
  CCurve* raw = nullptr;
  EXPECT_EQ(half.ToNURBS(1e-9, raw), kCurveSingular);
  EXPECT_EQ(half.ToNURBS(std::numeric_limits<double>::infinity(), raw), kCurveBadArgument);
  TestLine ray({0, 0, 0}, {1, 0, 0}, 0, 1e30, 7);
  EXPECT_EQ(ray.ToNURBS(0.1, raw), kCurveBadArgument);
}

}  // namespace
