// Knot vectors, NURBS evaluation and tessellation, the curve base's generic
// algorithms, point sinks and maps.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "geometry/curves/nurbs.h"
#include "geometry/curves/vector_ops.h"

namespace {

std::unique_ptr<CKnotVector> Knots(int degree, std::initializer_list<double> k, double period) {
  int st = 0;
  auto kv = std::make_unique<CKnotVector>(degree, 0, st);
  for (double v : k) kv->Append(v);
  kv->SetPeriod(period);
  return kv;
}

// A curve from stored knots and Euclidean control points (with weights:
// rational, stored homogeneous).
std::unique_ptr<CNURBS> Make(int degree, std::initializer_list<double> knots, double period,
                             std::vector<std::array<double, 3>> pts, std::vector<double> weights, int& st) {
  CKnotVector* kv = Knots(degree, knots, period).release();
  CPointArray* pa = new CPointArray();
  for (size_t i = 0; i < pts.size(); ++i) {
    double w = weights.empty() ? 1.0 : weights[i];
    double h[3] = {pts[i][0] * w, pts[i][1] * w, pts[i][2] * w};
    pa->Append(h);
  }
  if (weights.empty()) return std::make_unique<CNURBS>(kv, pa, st);
  CDoubleArray* wa = new CDoubleArray();
  for (double w : weights) wa->Append(w);
  return std::make_unique<CNURBS>(kv, pa, wa, st);
}

std::unique_ptr<CNURBS> Bezier(int& st) {
  return Make(3, {0, 0, 0, 0}, 1.0, {{0, 0, 0}, {1, 2, 0}, {3, 2, 0}, {4, 0, 0}}, {}, st);
}

class Collector : public CPointSink {
 public:
  int AddPoint(const double p[3], double t) override {
    pts.push_back({p[0], p[1], p[2]});
    params.push_back(t);
    return kCurveOk;
  }
  using CPointSink::AddPoint;
  bool HasPoints() const override { return !pts.empty(); }
  std::vector<std::array<double, 3>> pts;
  std::vector<double> params;
};

TEST(KnotVector, ReadsPastTheEndsClampAndOversizedVectorsAreRefused) {
  auto kv = Knots(3, {0, 0, 0, 0}, 1.0);
  ASSERT_EQ(kv->Validate(), kCurveOk);
  for (int i = 4; i <= 7; ++i) EXPECT_EQ(kv->KnotAt(i), 1.0);
  EXPECT_EQ(kv->KnotAt(-1), -1.0);  // floor division for negative indices
  EXPECT_EQ(kv->Period(), 0.0);
  double s, e, p;
  kv->Range(s, e, p);
  EXPECT_EQ(s, 0.0);
  EXPECT_EQ(e, 1.0);
  EXPECT_EQ(p, 0.0);
  EXPECT_EQ(kv->SetKnot(9, 1.0), kCurveBadArgument);
  EXPECT_EQ(kv->SetKnot(-1, 1.0), kCurveBadArgument);
  EXPECT_EQ(kv->SetKnot(4, 2.0), kCurveOk);  // count: the period
  EXPECT_EQ(kv->StoredPeriod(), 2.0);

  int st = 0;
  CKnotVector big(3, kMaxKnots + 1, st);
  EXPECT_EQ(st, kCurveBadKnots);
  st = 0;
  CKnotVector bad(10, 4, st);
  EXPECT_EQ(st, kCurveBadKnots);
  st = 7;
  CKnotVector kept(3, 4, st);
  EXPECT_EQ(st, 7);
  CKnotVector empty(3, 0, st = 0);
  EXPECT_EQ(empty.KnotAt(5), 0.0);
  int span;
  EXPECT_EQ(empty.FindSpan(0.5, span), kCurveBadKnots);
}

TEST(KnotVector, ValidationRefusesBadKnotsAndMergesNearlyEqualOnes) {
  struct Case {
    std::initializer_list<double> knots;
    double period;
    int want;
  } cases[] = {
      {{0, 0, 0, 0, 0.5, 0.5}, 1.0, kCurveOk},
      {{0, 0, 0, 0, 0.5, 0.5, 0.5, 0.5}, 1.0, kCurveBadKnots},  // four equal interior knots
      {{0, 0, 0, 0, 0.7, 0.5}, 1.0, kCurveBadKnots},            // decreasing
      {{0, 0}, 1.0, kCurveBadKnots},                             // too few
      {{0, 0, 0, 0}, 1e-10, kCurveBadKnots},                     // no period
      {{0, 0, 0, 0, 1.0}, 1.0, kCurveBadKnots},                  // last knot at the end
  };
  for (const Case& c : cases) {
    auto kv = Knots(3, c.knots, c.period);
    EXPECT_EQ(kv->Validate(), c.want) << kv->Count();
  }
  auto kv = Knots(3, {0, 0, 0, 0, 0.5, 0.5 + 1e-10}, 1.0);
  ASSERT_EQ(kv->Validate(), kCurveOk);
  EXPECT_EQ((*kv)[5], (*kv)[4]);
}

TEST(KnotVector, SubRangesClampTheEndsAndInsertsSnapToNearKnots) {
  auto kv = Knots(3, {0, 0, 0, 0, 0.25, 0.5, 0.75}, 1.0);
  ASSERT_EQ(kv->Validate(), kCurveOk);
  int st = 0;
  CKnotVector sub(*kv, 0.3, 0.8, 3, st);
  ASSERT_EQ(st, kCurveOk);
  const double want[] = {0.3, 0.3, 0.3, 0.3, 0.5, 0.75};
  ASSERT_EQ(sub.Count(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(sub[i], want[i]);
  EXPECT_DOUBLE_EQ(sub.StoredPeriod(), 0.5);
  CKnotVector bad(*kv, 0.3, 0.8, 0, st);
  EXPECT_EQ(st, kCurveBadArgument);

  double t = 0.5 + 1e-10;
  int index = 0, n = 0;
  ASSERT_EQ(kv->PrepareInsert(t, 0, index, n), kCurveOk);
  EXPECT_EQ(t, 0.5);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(index, 6);
  ASSERT_EQ(kv->Count(), 9);
  EXPECT_EQ((*kv)[5], 0.5);
  EXPECT_EQ((*kv)[7], 0.5);
  int first, last, mult;
  ASSERT_EQ(kv->LocateKnot(t, first, last, mult), kCurveOk);
  EXPECT_EQ(mult, 3);
  t = 0.6;
  ASSERT_EQ(kv->LocateKnot(t, first, last, mult), kCurveOk);
  EXPECT_EQ(mult, 0);
  EXPECT_EQ(last, first + 1);

  CDoubleArray* breaks = nullptr;
  ASSERT_EQ(kv->BreakParams(0.0, 1.0, 1, breaks), kCurveOk);
  ASSERT_EQ(breaks->Count(), 3);  // the ends and the triple knot
  EXPECT_EQ((*breaks)[1], 0.5);
  delete breaks;

  EXPECT_EQ(kv->InsertCopies(0.9, 9, -1), kCurveBadKnots);
  EXPECT_EQ(kv->InsertCopies(0.9, 9, kMaxKnots), kCurveTooManyKnots);
  EXPECT_EQ(kv->InsertCopies(0.9, 12, 1), kCurveBadArgument);
  ASSERT_EQ(kv->RemoveAt(8, 3), kCurveOk);  // wraps: the last knot and the first two
  EXPECT_EQ(kv->Count(), 6);
  EXPECT_EQ((*kv)[0], 0.0);
  EXPECT_EQ((*kv)[5], 0.5);
}

TEST(KnotVector, FindSpanMatchesBruteForce) {
  auto kv = Knots(3, {0, 0, 0, 0, 0.2, 0.2, 0.5, 0.7}, 1.0);
  ASSERT_EQ(kv->Validate(), kCurveOk);
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> u(-0.2, 1.2);
  for (int i = 0; i < 500; ++i) {
    double t = i % 50 == 0 ? 1.0 : u(gen);
    int span = -1;
    ASSERT_EQ(kv->FindSpan(t, span), kCurveOk);
    int want = 3;  // largest s < count with KnotAt(s) <= t, at least the first real span
    for (int s = 3; s < kv->Count(); ++s)
      if (kv->KnotAt(s) <= t && kv->KnotAt(s) < kv->KnotAt(s + 1)) want = s;
    EXPECT_EQ(span, want) << t;
  }
  int span;
  ASSERT_EQ(kv->FindSpan(1.0, span), kCurveOk);
  EXPECT_EQ(span, 7);  // the end parameter: the last span

  auto periodic = Knots(3, {0, 1, 2, 3}, 4.0);
  ASSERT_EQ(periodic->Validate(), kCurveOk);
  EXPECT_NE(periodic->Period(), 0.0);
  ASSERT_EQ(periodic->FindSpan(9.5, span), kCurveOk);  // two periods on
  EXPECT_EQ(span, 9);
  ASSERT_EQ(periodic->FindSpan(-0.5, span), kCurveOk);
  EXPECT_EQ(span, -1);
  EXPECT_EQ(periodic->FindSpan(4.0 * 9 + 0.5, span), kCurveUnsupported);
}

TEST(Nurbs, BezierPointsAndDerivativesMatchTheClosedForm) {
  int st = -1;
  auto c = Bezier(st);
  ASSERT_EQ(st, kCurveOk);
  EXPECT_EQ(c->Kind(), 4);
  EXPECT_EQ(c->SizeLimit(), 12 * 9 * 4);
  double p[3];
  ASSERT_EQ(c->Evaluate(0.5, p), kCurveOk);
  EXPECT_DOUBLE_EQ(p[0], 2.0);
  EXPECT_DOUBLE_EQ(p[1], 1.5);
  double d[3][3];
  ASSERT_EQ(c->Derivatives(0.0, 2, d), kCurveOk);
  EXPECT_DOUBLE_EQ(d[1][0], 3.0);  // 3 (P1 - P0)
  EXPECT_DOUBLE_EQ(d[1][1], 6.0);
  EXPECT_DOUBLE_EQ(d[2][0], 6.0);  // 6 (P0 - 2 P1 + P2)
  EXPECT_DOUBLE_EQ(d[2][1], -12.0);
  double d3[4][3];
  EXPECT_EQ(c->Derivatives(0.5, 3, d3), kCurveUnsupported);

  double len = 0.0, polyline = 0.0, prev[3] = {0, 0, 0};
  for (int i = 1; i <= 10000; ++i) {
    double q[3];
    c->Evaluate(i / 10000.0, q);
    polyline += VDistance(prev, q);
    for (int k = 0; k < 3; ++k) prev[k] = q[k];
  }
  ASSERT_EQ(c->ArcLength(len), kCurveOk);
  EXPECT_NEAR(len, polyline, 1e-6);
  double area = 0.0;
  ASSERT_EQ(c->SignedArea(area, nullptr), kCurveOk);
  EXPECT_LT(area, 0.0);  // clockwise about the origin
}

// The span polynomials answer the curve's own derivatives on the span it
// picks: at knots of any multiplicity, before and after a clamped range
// (the end spans continued), periods away on a periodic curve; a rational
// curve is evaluated through the curve.
TEST(Nurbs, SpanPolynomialsFollowTheDerivatives) {
  struct Case {
    const char* what;
    int degree;
    std::initializer_list<double> knots;
    double period;
    std::vector<std::array<double, 3>> pts;
    std::vector<double> weights;
  } cases[] = {
      {"clamped cubic, double knot",
       3,
       {0, 0, 0, 0, 0.2, 0.2, 0.5, 0.7},
       1.0,
       {{0, 0, 0}, {1, 3, 0}, {2, -1, 1}, {4, 2, 0}, {5, 5, 0}, {7, 1, 0}, {8, 3, 0}, {9, 0, 0}},
       {}},
      {"periodic cubic", 3, {0, 1, 2, 3}, 4.0, {{5, 0, 0}, {0, 5, 0}, {-5, 0, 0}, {0, -5, 2}}, {}},
      {"quadratic", 2, {0, 0, 0, 2}, 3.0, {{0, 0, 0}, {1, 4, 0}, {3, -2, 0}, {6, 1, 0}}, {}},
      {"polyline", 1, {0, 1, 3}, 4.0, {{0, 0, 0}, {2, 2, 0}, {5, 0, 0}}, {}},
      {"quintic",
       5,
       {0, 0, 0, 0, 0, 0, 0.5},
       1.0,
       {{0, 0, 0}, {1, 2, 0}, {2, -2, 0}, {3, 3, 0}, {4, -1, 0}, {5, 2, 0}, {6, 0, 0}},
       {}},
      {"rational", 2, {0, 0, 0}, 1.0, {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {1, 0.7, 1}},
  };
  for (const Case& c : cases) {
    int st = -1;
    auto curve = Make(c.degree, c.knots, c.period, c.pts, c.weights, st);
    ASSERT_EQ(st, kCurveOk) << c.what;
    CSpanPolynomials spans(*curve);
    const double a = curve->StartParam(), b = curve->EndParam(), reach = curve->Period() != 0.0 ? 2.0 : 0.2;
    std::vector<double> ts;
    for (int i = 0; i <= 400; ++i) ts.push_back(a - reach * (b - a) + (1 + 2 * reach) * (b - a) * i / 400);
    for (double k : c.knots) ts.push_back(k);
    for (double t : ts) {
      double want[3][3], got[3][3];
      ASSERT_EQ(spans.Derivatives(t, got), curve->Derivatives(t, 2, want)) << c.what << " at " << t;
      for (int o = 0; o < 3; ++o)
        for (int i = 0; i < 3; ++i)
          EXPECT_NEAR(got[o][i], want[o][i], 1e-12 * (1.0 + std::fabs(want[o][i])))
              << c.what << " at " << t << ", order " << o;
    }
  }
}

TEST(Nurbs, RationalQuarterCircleStaysOnTheUnitCircle) {
  const double h = std::sqrt(0.5);
  int st = -1;
  auto c = Make(2, {0, 0, 0}, 1.0, {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {1, h, 1}, st);
  ASSERT_EQ(st, kCurveOk);
  ASSERT_TRUE(c->IsRational());
  for (double t = 0.0; t <= 1.0; t += 0.125) {
    double p[3], d[3][3];
    ASSERT_EQ(c->Evaluate(t, p), kCurveOk);
    EXPECT_NEAR(std::hypot(p[0], p[1]), 1.0, 1e-14);
    ASSERT_EQ(c->Derivatives(t, 2, d), kCurveOk);
    const double e = 1e-5;
    double a[3], b[3];
    c->Evaluate(t - e, a);
    c->Evaluate(t + e, b);
    for (int k = 0; k < 2; ++k) {
      EXPECT_NEAR(d[1][k], (b[k] - a[k]) / (2 * e), 1e-7);
      EXPECT_NEAR(d[2][k], (b[k] - 2 * p[k] + a[k]) / (e * e), 1e-3);
    }
    double k = 0;
    ASSERT_EQ(c->Curvature(t, k), kCurveOk);
    EXPECT_NEAR(k, 1.0, 1e-9);
  }
  // Tessellation points lie on the circle and chords stay within tolerance.
  Collector sink;
  ASSERT_EQ(c->Tessellate(1e-3, nullptr, sink), kCurveOk);
  for (size_t i = 0; i < sink.pts.size(); ++i) {
    EXPECT_NEAR(std::hypot(sink.pts[i][0], sink.pts[i][1]), 1.0, 1e-12);
    if (i > 0) {
      double mx = 0.5 * (sink.pts[i][0] + sink.pts[i - 1][0]), my = 0.5 * (sink.pts[i][1] + sink.pts[i - 1][1]);
      EXPECT_LT(1.0 - std::hypot(mx, my), 1e-3);
    }
  }
  EXPECT_EQ(sink.params.back(), 1.0);
}

TEST(Nurbs, FinishDividesOutACommonWeight) {
  int st = -1;
  auto c = Make(2, {0, 0, 0}, 1.0, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}}, {2, 2, 2}, st);
  ASSERT_EQ(st, kCurveOk);
  EXPECT_FALSE(c->IsRational());
  double p[3];
  ASSERT_EQ(c->Evaluate(0.5, p), kCurveOk);
  EXPECT_DOUBLE_EQ(p[0], 1.0);
  EXPECT_DOUBLE_EQ(p[1], 1.0);
  auto bad = Make(2, {0, 0, 0}, 1.0, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}}, {1, 0, 1}, st);
  EXPECT_EQ(st, kCurveBadKnots);
  EXPECT_EQ(c->SetWeight(0, 3.0), kCurveBadArgument);
  double w = 2.0;
  EXPECT_EQ(c->SetControlPoint(0, p, &w), kCurveBadArgument);
}

TEST(Nurbs, ReversedClonesRetraceTheCurveAndTheBufferHasItsLayout) {
  int st = -1;
  auto c = Make(3, {0, 0, 0, 0, 0.3, 0.6}, 2.0,
                {{0, 0, 0}, {1, 2, 0}, {3, 2, 1}, {4, 0, 0}, {5, 1, 0}, {6, 3, 0}}, {}, st);
  ASSERT_EQ(st, kCurveOk);
  std::unique_ptr<CNURBS> r(static_cast<CNURBS*>(c->Clone()));
  ASSERT_TRUE(r);
  ASSERT_EQ(r->Reverse(), kCurveOk);
  for (double t = 0.0; t <= 2.0; t += 0.1) {
    double p[3], q[3];
    c->Evaluate(t, p);
    r->Evaluate(r->StartParam() + r->EndParam() - t, q);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(p[k], q[k], 1e-12);
  }
  double v[3] = {1, -1, 0.5};
  ASSERT_EQ(r->Translate(v), kCurveOk);
  double a[3], b[3];
  c->Evaluate(0.7, a);
  r->Evaluate(r->StartParam() + r->EndParam() - 0.7, b);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(b[k], a[k] + v[k], 1e-12);

  std::vector<unsigned char> buf(c->BufferSize());
  unsigned char* cur = buf.data();
  ASSERT_EQ(c->WriteToBuffer(cur), kCurveOk);
  EXPECT_EQ(static_cast<size_t>(cur - buf.data()), buf.size());
  EXPECT_EQ(buf.size(), 6 * 8 + 16 + (4 + 24 * 6) + 28u);
  EXPECT_EQ(buf[0], 4);                    // the kind
  EXPECT_EQ(buf[28], 6);                   // knot count
  EXPECT_EQ(buf[32], 3);                   // degree

  CDoubleArray* seeds = nullptr;
  ASSERT_EQ(c->ParamSeeds(0, seeds), kCurveOk);
  ASSERT_EQ(seeds->Count(), 2);  // the clamped ends only
  EXPECT_EQ((*seeds)[0], 0.0);
  EXPECT_EQ((*seeds)[1], 2.0);
  delete seeds;
  EXPECT_EQ(c->SetRange(1.0, 1.0), kCurveUnsupported);
  EXPECT_EQ(c->SetStart(3.0), kCurveUnsupported);
  EXPECT_EQ(c->SetEnd(-1.0), kCurveUnsupported);
}

TEST(Nurbs, SamplesCoverTheGivenRangeAndTransformsMapEveryPoint) {
  int st = -1;
  auto c = Bezier(st);
  CDoubleArray a;
  ASSERT_EQ(c->SampleParams(a), kCurveOk);
  ASSERT_EQ(a.Count(), 3);
  EXPECT_EQ(a[0], 0.25);
  EXPECT_EQ(a[2], 0.75);
  CDoubleArray b;
  double lo = -0.5, hi = 1.5;
  ASSERT_EQ(c->SampleParams(b, &lo, &hi), kCurveOk);
  const double want[] = {-0.5, 0.0, 0.25, 0.5, 0.75, 1.0, 1.5};
  ASSERT_EQ(b.Count(), 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(b[i], want[i]);

  double m[3][3] = {{0, -2, 0}, {1, 0, 0}, {0, 0, 1}}, t[3] = {5, 6, 7};
  CAffineMap map(m, t);
  std::unique_ptr<CCurve> moved(c->Clone());
  ASSERT_TRUE(moved->CanTransformInPlace());
  ASSERT_EQ(moved->TransformInPlace(map), kCurveOk);
  for (double u = 0.0; u <= 1.0; u += 0.25) {
    double p[3], q[3], r[3];
    c->Evaluate(u, p);
    map.MapPoint(p, q);
    moved->Evaluate(u, r);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(q[k], r[k], 1e-12);
  }
}

TEST(NurbsTessellation, StraightSpansAndSinkRules) {
  int st = -1;
  // Control points equally spaced on a line: one segment per span.
  auto line = Make(3, {0, 0, 0, 0, 1, 2}, 3.0,
                   {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {4, 4, 0}, {5, 5, 0}}, {}, st);
  ASSERT_EQ(st, kCurveOk);
  EXPECT_EQ(line->SpanSegments(0, 0.01), 1);
  Collector sink;
  ASSERT_EQ(line->Tessellate(0.01, nullptr, sink), kCurveOk);
  ASSERT_EQ(sink.pts.size(), 4u);
  EXPECT_EQ(sink.params[1], 1.0);
  EXPECT_EQ(sink.pts.back()[0], 5.0);

  // A sink that already holds points does not get the first one again.
  Collector held;
  double origin[3] = {0, 0, 0};
  held.AddPoint(origin);
  ASSERT_EQ(line->TessellateRange(0.5, 3.0, 0.01, nullptr, held), kCurveOk);
  EXPECT_EQ(held.pts.size(), 4u);
  EXPECT_EQ(held.params[1], 1.0);
}

TEST(NurbsTessellation, ForwardDifferencesFollowTheCurve) {
  int st = -1;
  auto c = Make(3, {0, 0, 0, 0, 1, 2.5, 3}, 4.0,
                {{0, 0, 0}, {1, 5, 0}, {3, -4, 0}, {5, 6, 0}, {7, -2, 0}, {8, 3, 0}, {9, 0, 0}}, {}, st);
  ASSERT_EQ(st, kCurveOk);
  const double tol = 1e-3;
  Collector sink;
  ASSERT_EQ(c->Tessellate(tol, nullptr, sink), kCurveOk);
  ASSERT_GT(sink.pts.size(), 100u);
  for (size_t i = 0; i < sink.pts.size(); ++i) {
    double p[3];
    c->Evaluate(sink.params[i], p);
    EXPECT_NEAR(p[0], sink.pts[i][0], 1e-9);
    EXPECT_NEAR(p[1], sink.pts[i][1], 1e-9);
    if (i > 0) {
      ASSERT_GT(sink.params[i], sink.params[i - 1]);
      double m[3];
      c->Evaluate(0.5 * (sink.params[i] + sink.params[i - 1]), m);
      double cx = 0.5 * (sink.pts[i][0] + sink.pts[i - 1][0]), cy = 0.5 * (sink.pts[i][1] + sink.pts[i - 1][1]);
      EXPECT_LT(std::hypot(m[0] - cx, m[1] - cy), tol);
    }
  }
  EXPECT_EQ(sink.params.front(), 0.0);
  EXPECT_EQ(sink.params.back(), 4.0);
  int expected = 0;
  ASSERT_EQ(c->TessellationCount(0.0, 4.0, tol, expected), kCurveOk);
  EXPECT_EQ(expected, static_cast<int>(sink.pts.size()));
  double end[3];
  c->EndPoint(end);
  EXPECT_EQ(sink.pts.back()[0], end[0]);
  EXPECT_EQ(sink.pts.back()[1], end[1]);

  // The segment count per span is capped by the control point count.
  Collector fine;
  ASSERT_EQ(c->Tessellate(1e-12, nullptr, fine), kCurveOk);
  EXPECT_LE(fine.pts.size(), 4u * (32767 / (4 * 7)) + 1);
}

// A circle of radius 2 through the base class's generic algorithms only.
class Circle : public CCurve {
 public:
  CCurve* Clone() const override { return new Circle(*this); }
  double StartParam() const override { return 0.0; }
  double EndParam() const override { return end; }
  double Period() const override { return 0.0; }
  int Evaluate(double t, double p[3]) const override {
    ++evaluations;
    p[0] = 2 * std::cos(t);
    p[1] = 2 * std::sin(t);
    p[2] = 0.0;
    return kCurveOk;
  }
  int Derivatives(double t, int order, double (*d)[3]) const override {
    Evaluate(t, d[0]);
    if (order >= 1) d[1][0] = -2 * std::sin(t), d[1][1] = 2 * std::cos(t), d[1][2] = 0;
    if (order >= 2) d[2][0] = -2 * std::cos(t), d[2][1] = -2 * std::sin(t), d[2][2] = 0;
    return kCurveOk;
  }
  double end = 2 * M_PI;
  mutable int evaluations = 0;
};

class Segment : public Circle {
 public:
  int Evaluate(double t, double p[3]) const override {
    p[0] = t;
    p[1] = 2 * t;
    p[2] = 0.0;
    return kCurveOk;
  }
};

TEST(CurveBase, GenericTessellationIsAdaptiveAndRepeatable) {
  Circle circle;
  Collector a, b;
  ASSERT_EQ(circle.Tessellate(0.01, nullptr, a), kCurveOk);
  std::srand(99);
  std::rand();  // the process's generator plays no part
  ASSERT_EQ(circle.Tessellate(0.01, nullptr, b), kCurveOk);
  ASSERT_EQ(a.pts.size(), b.pts.size());
  for (size_t i = 0; i < a.pts.size(); ++i) EXPECT_EQ(a.params[i], b.params[i]);
  ASSERT_GT(a.pts.size(), 10u);
  EXPECT_LE(a.pts.size(), 4096u);
  EXPECT_EQ(a.params.back(), 2 * M_PI);
  for (size_t i = 1; i < a.pts.size(); ++i) {
    double mx = 0.5 * (a.pts[i][0] + a.pts[i - 1][0]), my = 0.5 * (a.pts[i][1] + a.pts[i - 1][1]);
    EXPECT_LT(2.0 - std::hypot(mx, my), 0.01);
  }
  Collector capped;
  ASSERT_EQ(circle.Tessellate(1e-9, nullptr, capped), kCurveOk);
  EXPECT_EQ(capped.pts.size(), 4096u);

  Collector none;
  ASSERT_EQ(circle.TessellateRange(1.0, 1.0 + 1e-7, 0.01, nullptr, none), kCurveOk);
  EXPECT_TRUE(none.pts.empty());

  Segment seg;
  Collector two;
  ASSERT_EQ(seg.Tessellate(0.01, nullptr, two), kCurveOk);
  EXPECT_EQ(two.pts.size(), 2u);

  // Through an affine map: every point is mapped.
  double m[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}, t[3] = {10, 0, 0};
  CAffineMap rot(m, t);
  Collector mapped;
  ASSERT_EQ(circle.Tessellate(0.01, &rot, mapped), kCurveOk);
  EXPECT_NEAR(mapped.pts[0][0], 10.0, 1e-12);
  EXPECT_NEAR(mapped.pts[0][1], 2.0, 1e-12);
}

TEST(CurveBase, GenericMeasuresMatchTheClosedFormsOfACircle) {
  Circle circle;
  double t = 2 * M_PI + 1e-10;
  EXPECT_TRUE(circle.NormalizeParam(t));
  EXPECT_EQ(t, 2 * M_PI);
  t = 7.0;
  EXPECT_FALSE(circle.NormalizeParam(t));
  EXPECT_EQ(t, 7.0);

  double len = 0.0;
  ASSERT_EQ(circle.ArcLength(len), kCurveOk);
  EXPECT_NEAR(len, 4 * M_PI, 1e-9);
  double area = 0.0;
  ASSERT_EQ(circle.SignedArea(area, nullptr), kCurveOk);
  EXPECT_NEAR(area, 8 * M_PI, 1e-12);  // twice the enclosed area
  double p[3], tan[3], k, speed;
  ASSERT_EQ(circle.FrameAt(0.0, p, tan, k, &speed), kCurveOk);
  EXPECT_DOUBLE_EQ(k, 0.5);
  EXPECT_DOUBLE_EQ(speed, 2.0);
  EXPECT_TRUE(circle.IsClosed());

  struct Power : CParamFunction {
    CParamFunction* Clone() const override { return new Power(*this); }
    int ValueAndDerivative(double, double&, double&) const override { return kCurveUnsupported; }
    int Value(double t, double& v) const override {
      if (t > 5) return kCurveNotFound;
      v = std::pow(t, 11);
      return kCurveOk;
    }
  } power;
  double r = 0.0;
  ASSERT_EQ(GaussIntegrate(power, 0.0, 1.0, r), kCurveOk);
  EXPECT_NEAR(r, 1.0 / 12.0, 1e-14);
  EXPECT_EQ(GaussIntegrate(power, 0.0, 10.0, r), kCurveNotFound);

  CDoubleArray samples;
  ASSERT_EQ(circle.SampleParams(samples), kCurveOk);
  ASSERT_EQ(samples.Count(), 5);
  EXPECT_EQ(samples[4], 2 * M_PI);
  CCurve* piece = nullptr;
  int count = 0;
  EXPECT_EQ(circle.CollectPieces(count, piece), kCurveNotFound);
  EXPECT_EQ(piece, &circle);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(circle.SetRange(0, 1), kCurveUnsupported);
}

TEST(PointSink, DirectionsSaturateAndAffineMapsInvertOrReportSingular) {
  CPointAccumulator acc;
  double o[3] = {0, 0, 0}, x[3] = {1, 0, 0}, d[3] = {-1, -1, 0};
  ASSERT_EQ(acc.AddDirection(o, x), kCurveOk);
  ASSERT_EQ(acc.AddDirection(o, d), kCurveOk);
  EXPECT_EQ(acc.Points()[0][0], 32767.0);
  EXPECT_EQ(acc.Points()[1][0], -32768.0);
  EXPECT_EQ(acc.Points()[1][1], -32768.0);
  for (int i = 0; i < 45; ++i) acc.AddPoint(o);
  int n = 0;
  double(*pts)[3] = nullptr;
  ASSERT_EQ(acc.TakeResult(&n, &pts), kCurveOk);
  EXPECT_EQ(n, 47);
  EXPECT_FALSE(acc.HasPoints());
  std::free(pts);
  acc.AddPoint(o);
  EXPECT_EQ(acc.TakeResult(nullptr, &pts), kCurveBadArgument);
  EXPECT_FALSE(acc.HasPoints());

  double m[3][3] = {{2, 0, 0}, {0, 1, 1}, {0, 0, 1}}, t[3] = {1, 2, 3};
  CAffineMap map(m, t), inv;
  ASSERT_EQ(map.Inverse(inv), kCurveOk);
  double p[3] = {0.5, -2, 4}, q[3], back[3];
  map.MapPoint(p, q);
  inv.MapPoint(q, back);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(back[k], p[k], 1e-14);
  double flat[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 0}};
  EXPECT_EQ(CAffineMap(flat, t).Inverse(inv), kCurveSingular);
  double out[1][3];
  double two[2][3] = {{0, 0, 0}, {1, 1, 1}};
  EXPECT_EQ(map.MapPointsTo(two, 2, out, 1), kCurveBadArgument);
}

}  // namespace
