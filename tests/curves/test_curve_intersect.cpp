// Crossings of NURBS curves against hand-computed points, the closed-form
// line and circle pairs, tangential contacts, self-intersections and the
// fillet trim of two curves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "curve_fixtures.h"
#include "geometry/curves/curve_intersect.h"
#include "geometry/curves/spline_fit.h"
#include "geometry/curves/vector_ops.h"

using namespace curves_test;

namespace {

// The pairs as (t1, t2), each checked to meet on both curves.
std::vector<std::pair<double, double>> Intersections(const CCurve& a, const CCurve& b, double tol = 1e-9) {
  CDoubleArray l1, l2;
  EXPECT_EQ(IntersectCurves(a, b, l1, l2, tol), 0);
  EXPECT_EQ(l1.Count(), l2.Count());
  std::vector<std::pair<double, double>> out;
  for (int i = 0; i < l1.Count(); ++i) {
    double p[3], q[3];
    a.Evaluate(l1[i], p);
    b.Evaluate(l2[i], q);
    EXPECT_LT(Dist(p, q), 1e-8);
    out.push_back({l1[i], l2[i]});
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST(Intersect, ParabolaMeetsALineAtBothClosedFormRoots) {
  // P(t) = (2t, 4t(1 - t)) meets y = 0.5 at t = (1 +- sqrt(1/2)) / 2.
  auto arc = MakeNurbs(2, {0, 0, 0}, 1.0, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}});
  auto line = NurbsLine({-1, 0.5, 0}, {3, 0.5, 0});
  auto r = Intersections(*arc, *line);
  ASSERT_EQ(r.size(), 2u);
  const double h = std::sqrt(0.5);
  for (int i = 0; i < 2; ++i) {
    double t = (1 + (i == 0 ? -h : h)) / 2;
    EXPECT_NEAR(r[i].first, t, 1e-12);
    EXPECT_NEAR(r[i].second, (2 * t + 1) / 4, 1e-12);
  }
}

TEST(Intersect, TwoNurbsCirclesAgainstSampling) {
  // Equal radii crossing at 60 degrees: (0.5, +-sqrt(3)/2).
  auto a = NurbsCircle(0, 0, 1);
  auto b = NurbsCircle(1, 0, 1);
  auto r = Intersections(*a, *b);
  ASSERT_EQ(r.size(), 2u);
  for (auto& pr : r) {
    double p[3];
    a->Evaluate(pr.first, p);
    EXPECT_NEAR(p[0], 0.5, 1e-9);
    EXPECT_NEAR(std::fabs(p[1]), std::sqrt(0.75), 1e-9);
  }
  // A wavy cubic across a circle: compare with sign changes of |P| - 1.
  auto wave = MakeNurbs(3, {0, 0, 0, 0, 0.5}, 1.0, {{-2, 0, 0}, {-1, 2, 0}, {0, -2, 0}, {1, 2, 0}, {2, 0.2, 0}});
  int changes = 0;
  double prev = 0;
  for (int i = 0; i <= 100000; ++i) {
    double p[3];
    wave->Evaluate(i / 100000.0, p);
    double f = std::hypot(p[0], p[1]) - 1;
    if (i > 0 && f * prev < 0) ++changes;
    prev = f;
  }
  auto w = Intersections(*wave, *a);
  EXPECT_EQ(static_cast<int>(w.size()), changes);
  EXPECT_GE(changes, 2);
}

TEST(Intersect, ClosedFormPairsKeepTheCallersOrder) {
  TestLine l1({0, 0, 0}, {1, 1, 0}, -10, 10);
  TestLine l2({0, 4, 0}, {2, -2, 0}, -10, 10);
  auto r = Intersections(l1, l2);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_NEAR(r[0].first, 2.0, 1e-12);
  EXPECT_NEAR(r[0].second, 1.0, 1e-12);

  // Circle first, line second: the pair is swapped inside, not in the lists.
  TestCircle c = Circle(0, 0, 1);
  TestLine h({-2, 0.5, 0}, {1, 0, 0}, 0, 4);
  CCurvePair* raw = nullptr;
  ASSERT_EQ(MakeCurvePair(c, h, true, raw), 0);
  std::unique_ptr<CCurvePair> pair(raw);
  EXPECT_TRUE(pair->Swapped());
  EXPECT_NE(dynamic_cast<CLineCirclePair*>(pair.get()), nullptr);
  auto lc = Intersections(c, h);
  ASSERT_EQ(lc.size(), 2u);
  for (auto& pr : lc) {
    EXPECT_NEAR(std::sin(pr.first), 0.5, 1e-12);
    EXPECT_NEAR(std::fabs(pr.second - 2.0), std::sqrt(0.75), 1e-12);
  }
  // Without swapping the kinds are out of order: the general pair.
  ASSERT_EQ(MakeCurvePair(c, h, false, raw), 0);
  pair.reset(raw);
  EXPECT_EQ(typeid(*pair), typeid(CCurvePair));
}

TEST(Intersect, CirclesCutAtTwoPointsTouchAtOneAndConcentricOnesNever) {
  // Cutting circles of radii 1 and 2 with centres 2 apart: x = 1/4.
  TestCircle small = Circle(0, 0, 1, 0.3);
  TestCircle big = Circle(2, 0, 2, 1.0);
  auto r = Intersections(big, small);
  ASSERT_EQ(r.size(), 2u);
  for (auto& pr : r) {
    double p[3];
    small.Evaluate(pr.second, p);
    EXPECT_NEAR(p[0], 0.25, 1e-12);
  }
  // Touching from outside: one point from the closed form; the same shapes
  // on the general path are rejected as tangential.
  TestCircle a = Circle(0, 0, 1, kPi / 2), b = Circle(2, 0, 1, kPi / 2);
  auto touch = Intersections(a, b);
  ASSERT_EQ(touch.size(), 1u);
  double p[3];
  a.Evaluate(touch[0].first, p);
  EXPECT_NEAR(p[0], 1.0, 1e-12);
  EXPECT_NEAR(p[1], 0.0, 1e-12);
  TestCircle ga = Circle(0, 0, 1, kPi / 2, 7), gb = Circle(2, 0, 1, kPi / 2, 7);
  EXPECT_TRUE(Intersections(ga, gb).empty());
  // Concentric and disjoint circles have no common point.
  TestCircle inner = Circle(0, 0, 0.5);
  EXPECT_TRUE(Intersections(a, inner).empty());
}

// A crossing on a closed curve's seam, found at both ends of its range (by
// the solver and by the end point contacts), is one crossing; crossings at
// the two ends of an open curve are two.
TEST(Intersect, ACrossingOnASeamIsListedOnce) {
  struct Point {
    double x, y;
  };
  auto points_of = [](const CCurve& a, const CCurve& b) {
    std::vector<Point> out;
    for (auto& pr : Intersections(a, b)) {
      double p[3];
      a.Evaluate(pr.first, p);
      out.push_back({p[0], p[1]});
    }
    std::sort(out.begin(), out.end(), [](const Point& p, const Point& q) { return p.x < q.x; });
    return out;
  };
  TestCircle unit = Circle(0, 0, 1), below = Circle(1, -1, 1), beside = Circle(2, 0, 1);
  auto nurbs_unit = NurbsCircle(0, 0, 1), nurbs_below = NurbsCircle(1, -1, 1);
  TestCircle half({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0.0, kPi);
  TestLine axis({-2, 0, 0}, {1, 0, 0}, 0, 4);
  struct Case {
    const char* what;
    const CCurve& a;
    const CCurve& b;
    std::vector<Point> expected;
  } cases[] = {
      {"unit circles crossing on the first one's seam", unit, below, {{0, -1}, {1, 0}}},
      {"the same as NURBS curves", *nurbs_unit, *nurbs_below, {{0, -1}, {1, 0}}},
      {"circles touching on the first one's seam", unit, beside, {{1, 0}}},
      {"a half circle whose ends lie on a line", half, axis, {{-1, 0}, {1, 0}}},
  };
  for (const Case& c : cases) {
    for (bool swapped : {false, true}) {
      std::vector<Point> got = swapped ? points_of(c.b, c.a) : points_of(c.a, c.b);
      ASSERT_EQ(got.size(), c.expected.size()) << c.what << (swapped ? ", swapped" : "");
      for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].x, c.expected[i].x, 1e-9) << c.what;
        EXPECT_NEAR(got[i].y, c.expected[i].y, 1e-9) << c.what;
      }
    }
  }
}

TEST(Intersect, ALoopedCubicCrossesItselfOnceAndSimpleCurvesNever) {
  // A cubic with a loop: the control polygon crosses itself.
  auto loop = MakeNurbs(3, {0, 0, 0, 0}, 1.0, {{0, 0, 0}, {3, 3, 0}, {-1, 3, 0}, {2, 0, 0}});
  for (int generic = 0; generic < 2; ++generic) {
    CDoubleArray params;
    ASSERT_EQ(generic ? loop->CCurve::SelfIntersections(params, 1e-9) : loop->SelfIntersections(params, 1e-9), 0);
    ASSERT_EQ(params.Count(), 2) << generic;
    double p[3], q[3];
    loop->Evaluate(params[0], p);
    loop->Evaluate(params[1], q);
    EXPECT_LT(Dist(p, q), 1e-9);
  }
  auto simple = MakeNurbs(3, {0, 0, 0, 0}, 1.0, {{0, 0, 0}, {1, 2, 0}, {3, 2, 0}, {4, 0, 0}});
  auto circle = NurbsCircle(0, 0, 1);
  for (const CNURBS* c : {simple.get(), circle.get()}) {
    CDoubleArray params;
    EXPECT_EQ(c->SelfIntersections(params, 0), 0);
    EXPECT_EQ(params.Count(), 0);
  }
}

// A search from many seeds shares frames and remembers how runs ended; its
// crossings are bit for bit those of a plain run from every pair of samples
// within reach, in the same order, close crossings included.
TEST(Intersect, TheSearchAnswersAsPlainRunsFromEverySeed) {
  auto wave = [](int n, double phase, double amp, double dx) {
    std::vector<double> pts;
    for (int i = 0; i < n; ++i) pts.insert(pts.end(), {10.0 * i + dx, amp * std::sin(0.7 * i + phase), 0.0});
    CNURBS* c = nullptr;
    EXPECT_EQ(GetFittingSpline(n, reinterpret_cast<double(*)[3]>(pts.data()), 1e-5, nullptr, nullptr, 0, c), 0);
    return std::unique_ptr<CNURBS>(c);
  };
  auto blob = MakeNurbs(3, {0, 1, 2, 3, 4, 5}, 6.0,
                        {{5, 0, 0}, {3, 4, 0}, {-2, 5, 0}, {-5, 0, 0}, {-2, -5, 0}, {3, -4, 0}});
  auto circle = NurbsCircle(0.3, -0.2, 4.5);
  struct Case {
    const char* what;
    std::unique_ptr<CNURBS> a, b;
  };
  Case cases[] = {
      {"waves of 16 points", wave(16, 0.0, 20, 0), wave(16, 2.0, 20, 0)},
      {"waves crossing close together", wave(12, 0.0, 20, 0), wave(12, 0.02, 20.5, 0.1)},
      {"waves of 40 points", wave(40, 0.0, 20, 0), wave(40, 1.0, 15, 3)},
      {"a closed cubic and a circle", std::move(blob), std::move(circle)},
  };
  for (Case& c : cases) {
    ASSERT_TRUE(c.a && c.b) << c.what;
    CSampleSet s1, s2;
    ASSERT_EQ(s1.Build(*c.a), 0);
    ASSERT_EQ(s2.Build(*c.b), 0);
    CDoubleArray want1, want2;
    CCurveIntersector plain(*c.a, *c.b, 0.0);
    for (int i = 0; i < s1.Count(); ++i)
      for (int j = 0; j < s2.Count(); ++j) {
        if (VDistance(s1.Point(i), s2.Point(j)) > s1.Reach(i) + s2.Reach(j)) continue;
        if (plain.Solve(s1.Param(i), s2.Param(j), 1e-9) != 0) continue;
        ASSERT_EQ(AddParamPair(want1, want2, plain.t1, plain.t2, c.a.get(), c.b.get()), 0);
      }
    CDoubleArray got1, got2;
    CCurvePair pair(*c.a, *c.b, false);
    ASSERT_EQ(pair.Intersect(got1, got2, 1e-9), 0) << c.what;
    EXPECT_GT(want1.Count(), 0) << c.what;
    ASSERT_EQ(got1.Count(), want1.Count()) << c.what;
    for (int i = 0; i < want1.Count(); ++i) {
      EXPECT_EQ(std::memcmp(&got1[i], &want1[i], sizeof(double)), 0) << c.what << " crossing " << i;
      EXPECT_EQ(std::memcmp(&got2[i], &want2[i], sizeof(double)), 0) << c.what << " crossing " << i;
    }
  }
}

TEST(Intersect, RangeCoversTheCrossingsAndANanToleranceIsRefused) {
  TestLine line({-3, 0, 0}, {1, 0, 0}, -10, 10, 7);
  TestCircle c = Circle(0, 0, 1, 0, 7);
  double min_pos = 1e30, max_pos = -1e30, min_neg = 1e30, max_neg = -1e30;
  ASSERT_EQ(line.IntersectionRange(c, false, min_pos, max_pos, min_neg, max_neg), 0);
  EXPECT_NEAR(min_pos, 2.0, 1e-9);
  EXPECT_NEAR(max_pos, 4.0, 1e-9);
  EXPECT_EQ(min_neg, 1e30);
  CDoubleArray l1, l2;
  EXPECT_EQ(IntersectCurves(line, c, l1, l2, std::numeric_limits<double>::quiet_NaN()), kCurveBadArgument);
}

TEST(Fillet, LineFilletsTrimByRTanHalfTurnAndShrinkToFit) {
  struct Case {
    double turn, r, a, b, want_r;
  } cases[] = {
      {kPi / 2, 0.2, 1, 1, 0.2},  // tangent length r tan 45 = r
      {kPi / 3, 0.3, 1, 1, 0.3},  // r tan 30
      {kPi / 2, 1.0, 0.5, 0.5, 0.5},  // needs a tangent longer than half a side: reduced
  };
  for (const Case& c : cases) {
    TestLine l1({0, 0, 0}, {1, 0, 0}, 0, 1);
    TestLine l2({1, 0, 0}, {std::cos(c.turn), std::sin(c.turn), 0}, 0, 1);
    CLineLinePair pair(l1, l2, false);
    double r = c.r, t1 = 0, t2 = 0;
    ASSERT_EQ(pair.FilletTrim(c.a, c.b, r, t1, t2), 0);
    EXPECT_NEAR(r, c.want_r, 1e-12);
    const double len = c.want_r * std::tan(c.turn / 2);
    EXPECT_NEAR(t1, 1 - len, 1e-12);
    EXPECT_NEAR(t2, len, 1e-12);
  }
  TestLine l1({0, 0, 0}, {1, 0, 0}, 0, 1), back({1, 0, 0}, {-1, 0, 0}, 0, 1);
  double r = 1, t1, t2;
  EXPECT_EQ(CLineLinePair(l1, back, false).FilletTrim(1, 1, r, t1, t2), kCurveNotFound);
}

TEST(Fillet, GeneralFilletsMeetTheOffsetsAndHalveUntilTheyFit) {
  // The same corner on the general path: the offsets meet at (0.8, 0.2).
  TestLine l1({0, 0, 0}, {1, 0, 0}, 0, 1, 7), l2({1, 0, 0}, {0, 1, 0}, 0, 1, 7);
  CCurvePair pair(l1, l2, false);
  double r = 0.2, t1 = 0, t2 = 0;
  ASSERT_EQ(pair.FilletTrim(1, 1, r, t1, t2), 0);
  EXPECT_NEAR(r, 0.2, 1e-12);
  EXPECT_NEAR(t1, 0.8, 1e-9);
  EXPECT_NEAR(t2, 0.2, 1e-9);
  // A right turn puts the fillet on the other side.
  TestLine down({1, 0, 0}, {0, -1, 0}, 0, 1, 7);
  r = 0.2;
  ASSERT_EQ(CCurvePair(l1, down, false).FilletTrim(1, 1, r, t1, t2), 0);
  EXPECT_NEAR(t1, 0.8, 1e-9);
  EXPECT_NEAR(t2, 0.2, 1e-9);
  // Too large for the windows: halved until it fits.
  r = 1.6;
  ASSERT_EQ(pair.FilletTrim(0.5, 0.5, r, t1, t2), 0);
  EXPECT_NEAR(r, 0.4, 1e-12);
  EXPECT_NEAR(t1, 0.6, 1e-9);
  r = 100;
  EXPECT_EQ(pair.FilletTrim(0.5, 0.5, r, t1, t2), kCurveNotFound);
  EXPECT_EQ(pair.FilletTrim(0, 1, r, t1, t2), kCurveBadArgument);

  // A segment running left into a counter-clockwise unit circle: a right
  // turn. The fillet centre lies at height r, 1 + r from the origin.
  auto in = NurbsLine({3, 0, 0}, {1, 0, 0});
  auto circle = NurbsCircle(0, 0, 1);
  r = 0.5;
  ASSERT_EQ(CCurvePair(*in, *circle, false).FilletTrim(1, 0.5, r, t1, t2), 0);
  EXPECT_NEAR(r, 0.5, 1e-12);
  const double x = std::sqrt(1 + 2 * r);
  EXPECT_NEAR(t1, (3 - x) / 2, 1e-9);
  double p[3];
  circle->Evaluate(t2, p);
  EXPECT_NEAR(std::atan2(p[1], p[0]), std::atan2(r, x), 1e-9);
  EXPECT_EQ(pair.FilletTrim(1, 1.5, r, t1, t2), kCurveBadArgument);
}

}  // namespace
