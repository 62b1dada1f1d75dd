// The spline fit through points: the system it solves, the conditions at
// its ends, closed curves, the exported results and the generator object.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "geometry/curves/spline_fit.h"
#include "geometry/curves/vector_ops.h"

namespace {

using Pts = std::vector<std::array<double, 3>>;

std::unique_ptr<CNURBS> Fit(Pts pts, double tol, double* t0, double* t1, int closed, long& st) {
  CNURBS* c = nullptr;
  st = GetFittingSpline(static_cast<int>(pts.size()), reinterpret_cast<double(*)[3]>(pts.data()), tol, t0, t1,
                        closed, c);
  return std::unique_ptr<CNURBS>(c);
}

Pts RandomPoints(std::mt19937& gen, int n, bool closed) {
  std::uniform_real_distribution<double> u(-10.0, 10.0);
  Pts pts(n);
  for (auto& p : pts) p = {u(gen), u(gen), closed ? 0.0 : u(gen) * 0.1};
  if (closed) pts.back() = pts.front();
  return pts;
}

std::vector<double> ChordParams(const Pts& pts) {
  std::vector<double> t{0.0};
  for (size_t i = 1; i < pts.size(); ++i) t.push_back(t.back() + VDistance(pts[i - 1].data(), pts[i].data()));
  return t;
}

void Derivs(const CNURBS& c, double t, double d[3][3]) { ASSERT_EQ(c.Derivatives(t, 2, d), kCurveOk); }

TEST(SplineFit, TwoPointsGiveTheStraightSegment) {
  Pts pts{{{0, 0, 0}}, {{3, 0, 0}}};
  int tc = 0, cc = 0, kc = 0;
  double(*tp)[3] = nullptr, (*cp)[3] = nullptr, *kn = nullptr;
  ASSERT_EQ(gr_splinegen2(3, 2, reinterpret_cast<double(*)[3]>(pts.data()), 1e-5, nullptr, nullptr, 0, 1.3, &tc,
                          &tp, &cc, &cp, &kc, &kn),
            0);
  ASSERT_EQ(cc, 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(cp[i][0], i, 1e-15);
    EXPECT_EQ(cp[i][1], 0.0);
  }
  ASSERT_EQ(kc, 8);
  const double knots[] = {0, 0, 0, 0, 3, 3, 3, 3};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(kn[i], knots[i]);
  ASSERT_EQ(tc, 2);
  EXPECT_EQ(tp[0][0], 0.0);
  EXPECT_EQ(tp[1][0], 3.0);
  std::free(tp);
  std::free(cp);
  std::free(kn);
}

TEST(SplineFit, InterpolatesEveryKeptPointAtItsChordParameter) {
  std::mt19937 gen(42);
  for (int trial = 0; trial < 30; ++trial) {
    Pts pts = RandomPoints(gen, 2 + trial * 7, false);
    // Exact and near duplicates are skipped; the parameters are those of the
    // kept points.
    Pts with_dups;
    for (auto& p : pts) {
      with_dups.push_back(p);
      if (trial % 3 == 0) with_dups.push_back({p[0] + 1e-7, p[1], p[2]});
    }
    long st = -1;
    auto c = Fit(with_dups, 1e-5, nullptr, nullptr, 0, st);
    ASSERT_EQ(st, 0);
    ASSERT_EQ(c->ControlCount(), static_cast<int>(pts.size()) + 2);
    std::vector<double> t = ChordParams(pts);
    EXPECT_EQ(c->StartParam(), 0.0);
    EXPECT_NEAR(c->EndParam(), t.back(), 1e-9 * t.back());
    for (size_t i = 0; i < pts.size(); ++i) {
      double p[3];
      ASSERT_EQ(c->Evaluate(t[i], p), kCurveOk);
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(p[k], pts[i][k], 1e-9 * (1 + t.back())) << trial << " " << i;
    }
    // Free ends: zero second derivative.
    double d[3][3];
    Derivs(*c, c->StartParam(), d);
    EXPECT_LT(VLength(d[2]), 1e-9);
    Derivs(*c, c->EndParam(), d);
    EXPECT_LT(VLength(d[2]), 1e-9);
  }
}

TEST(SplineFit, GivenEndTangentsAreReproduced) {
  std::mt19937 gen(5);
  Pts pts = RandomPoints(gen, 9, false);
  double t0[3] = {3.0, -1.0, 0.5}, t1[3] = {-0.2, 0.4, 0.0};
  long st = -1;
  auto c = Fit(pts, 1e-5, t0, t1, 0, st);
  ASSERT_EQ(st, 0);
  double d[3][3];
  Derivs(*c, c->StartParam(), d);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(d[1][k], t0[k], 1e-12);
  Derivs(*c, c->EndParam(), d);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(d[1][k], t1[k], 1e-12);
  EXPECT_EQ(t0[0], 3.0);  // an open fit does not write the tangents

  // A tangent of length <= 1e-9 is no tangent.
  double tiny[3] = {1e-10, 0, 0};
  auto a = Fit(pts, 1e-5, tiny, nullptr, 0, st);
  auto b = Fit(pts, 1e-5, nullptr, nullptr, 0, st);
  for (int i = 0; i < a->ControlCount(); ++i)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(a->Points()->Get(i)[k], b->Points()->Get(i)[k]);
}

TEST(SplineFit, ClosedCurvesMeetWithEqualDerivatives) {
  std::mt19937 gen(9);
  for (int n : {4, 5, 12, 60}) {
    Pts pts = RandomPoints(gen, n, true);
    double t0[3] = {0, 0, 0}, t1[3] = {7, 7, 7};
    long st = -1;
    auto c = Fit(pts, 1e-5, t0, t1, 1, st);
    ASSERT_EQ(st, 0) << n;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(t0[k], t1[k]);
    EXPECT_GT(VLength(t0), 1e-3);
    double a[3][3], b[3][3];
    Derivs(*c, c->StartParam(), a);
    Derivs(*c, c->EndParam(), b);
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(a[0][k], b[0][k], 1e-9);
      EXPECT_NEAR(a[1][k], t0[k], 1e-9);
      EXPECT_NEAR(b[1][k], t0[k], 1e-9);
    }
    std::vector<double> t = ChordParams(pts);
    for (size_t i = 0; i < pts.size(); ++i) {
      double p[3];
      c->Evaluate(t[i], p);
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(p[k], pts[i][k], 1e-9);
    }
    // Null tangent pointers: the same curve, nothing written.
    auto same = Fit(pts, 1e-5, nullptr, nullptr, 1, st);
    ASSERT_EQ(st, 0);
    for (int i = 0; i < c->ControlCount(); ++i) EXPECT_EQ(c->Points()->Get(i)[0], same->Points()->Get(i)[0]);
  }
}

TEST(SplineFit, PeriodicInterpolantIsSmoothAcrossItsSeam) {
  std::mt19937 gen(3);
  Pts pts = RandomPoints(gen, 8, true);
  std::vector<double> t = ChordParams(pts);
  int st = 0;
  CKnotVector kv(3, 0, st);
  CPointArray pa;
  for (size_t i = 0; i + 1 < pts.size(); ++i) kv.Append(t[i]);
  kv.SetPeriod(t.back());
  for (auto& p : pts) pa.Append(p.data());
  CNURBS* raw = nullptr;
  ASSERT_EQ(FitClosedCurve(kv, pa, raw), kCurveOk);
  std::unique_ptr<CNURBS> c(raw);
  EXPECT_EQ(c->Period(), t.back());
  for (size_t i = 0; i < pts.size(); ++i) {
    double p[3];
    c->Evaluate(t[i], p);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(p[k], pts[i][k], 1e-9);
  }
  double a[3][3], b[3][3];
  Derivs(*c, 0.0, a);
  Derivs(*c, t.back() - 1e-12, b);
  for (int j = 0; j < 3; ++j)
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(a[j][k], b[j][k], 1e-6 * (1 + std::fabs(a[j][k])));
  // Parameters any number of periods away fold back.
  double p[3], q[3];
  c->Evaluate(1.0, p);
  c->Evaluate(1.0 + 3 * t.back(), q);
  EXPECT_NEAR(p[0], q[0], 1e-9);
  double f = 1.0 + 5 * t.back();
  EXPECT_TRUE(c->NormalizeParam(f));
  EXPECT_NEAR(f, 1.0, 1e-9);

  CPointAccumulator acc;
  ASSERT_EQ(c->Tessellate(0.01, nullptr, acc), kCurveOk);
  const double(*tp)[3] = acc.Points();
  EXPECT_NEAR(tp[0][0], tp[acc.Count() - 1][0], 1e-9);  // the loop closes
  CPointAccumulator far;
  EXPECT_NE(c->TessellateRange(0.0, 40 * t.back(), 0.01, nullptr, far), kCurveOk);

  CPointArray three;
  for (int i = 0; i < 3; ++i) three.Append(pts[i].data());
  EXPECT_EQ(FitClosedCurve(kv, three, raw), kCurveBadArgument);
  EXPECT_EQ(raw, nullptr);
}

TEST(SplineFit, TooFewPointsAndTooManyKnotsAreRefused) {
  long st = 0;
  EXPECT_FALSE(Fit({}, 1e-5, nullptr, nullptr, 0, st));
  EXPECT_EQ(st, kCurveBadArgument);
  EXPECT_FALSE(Fit({{{1, 1, 0}}, {{1, 1 + 1e-6, 0}}, {{1, 1, 0}}}, 1e-5, nullptr, nullptr, 0, st));
  EXPECT_EQ(st, kCurveBadArgument);
  // A closed fit needs three distinct points and the closing one.
  EXPECT_FALSE(Fit({{{0, 0, 0}}, {{1, 0, 0}}, {{0, 0, 0}}}, 1e-5, nullptr, nullptr, 1, st));
  EXPECT_EQ(st, kCurveBadArgument);
  EXPECT_TRUE(Fit({{{0, 0, 0}}, {{1, 0, 0}}, {{0, 1, 0}}, {{0, 0, 0}}}, 1e-5, nullptr, nullptr, 1, st));
  EXPECT_EQ(st, 0);
  EXPECT_FALSE(Fit({{{0, 0, 0}}, {{NAN, 0, 0}}}, 1e-5, nullptr, nullptr, 0, st));
  EXPECT_EQ(st, kCurveBadArgument);
  CNURBS* c = reinterpret_cast<CNURBS*>(1);
  EXPECT_EQ(GetFittingSpline(3, nullptr, 1e-5, nullptr, nullptr, 0, c), kCurveBadArgument);
  EXPECT_EQ(c, nullptr);

  // Tolerance 0 acts as 1e-9: exact repeats go, points 1e-8 apart stay.
  auto d = Fit({{{0, 0, 0}}, {{0, 0, 0}}, {{1e-8, 0, 0}}, {{1, 0, 0}}}, 0.0, nullptr, nullptr, 0, st);
  ASSERT_EQ(st, 0);
  EXPECT_EQ(d->ControlCount(), 5);

  Pts many(1639);
  for (size_t i = 0; i < many.size(); ++i) many[i] = {double(i), std::sin(0.1 * double(i)), 0};
  EXPECT_FALSE(Fit(many, 1e-5, nullptr, nullptr, 0, st));
  EXPECT_EQ(st, kCurveTooManyKnots);
  many.pop_back();
  EXPECT_TRUE(Fit(many, 1e-5, nullptr, nullptr, 0, st));
  EXPECT_EQ(st, 0);
}

// Hostile inputs: every fit either succeeds with finite, consistent outputs
// or fails with null outputs and zero counts.
TEST(SplineFit, HostileInputsFailCleanlyOrGiveFiniteResults) {
  const double big = 1e200, inf = INFINITY;
  struct Case {
    Pts pts;
    double t0[3];
    int closed;
    double tess;
  } cases[] = {
      {{{{0, 0, 0}}, {{big, 0, 0}}, {{big, big, 0}}}, {0, 0, 0}, 0, 1.3},
      {{{{0, 0, 0}}, {{inf, 0, 0}}}, {0, 0, 0}, 0, 1.3},
      {{{{0, 0, 0}}, {{1, 0, 0}}, {{2, 0, 0}}, {{3, 0, 0}}}, {0, 0, 0}, 1, 1.3},   // a flat loop
      {{{{0, 0, 0}}, {{1, 0, 0}}, {{1, 1, 0}}, {{5, 5, 0}}}, {0, 0, 0}, 1, 1.3},   // never closes
      {{{{0, 0, 0}}, {{1, 1, 0}}, {{2, 0, 0}}}, {1e300, -1e300, 0}, 0, 1.3},
      {{{{0, 0, 0}}, {{1, 1, 0}}, {{2, 0, 0}}}, {NAN, 0, 0}, 0, 1.3},
      {{{{0, 0, 0}}, {{1, 1, 0}}, {{2, 0, 0}}}, {0, 0, 0}, 0, 1e9},
      {{{{0, 0, 0}}, {{1, 1, 0}}, {{2, 0, 0}}}, {0, 0, 0}, 0, NAN},
      {{{{0, 0, 0}}, {{1e-6, 0, 0}}, {{0, 0, 0}}, {{1e-6, 0, 0}}}, {0, 0, 0}, 0, 1.3},
  };
  for (auto& c : cases) {
    double(*tp)[3] = nullptr, (*cp)[3] = nullptr, *kn = nullptr;
    int tc = 0, cc = 0, kc = 0;
    double t0[3] = {c.t0[0], c.t0[1], c.t0[2]}, t1[3] = {0, 0, 0};
    int r = gr_splinegen2(3, static_cast<int>(c.pts.size()), reinterpret_cast<double(*)[3]>(c.pts.data()), 1e-5,
                          t0, t1, c.closed, c.tess, &tc, &tp, &cc, &cp, &kc, &kn);
    if (r != 0) {
      EXPECT_EQ(cp, nullptr);
      EXPECT_EQ(kn, nullptr);
      EXPECT_EQ(tp, nullptr);
      EXPECT_EQ(cc + kc + tc, 0);
      continue;
    }
    ASSERT_GE(tc, 2);
    EXPECT_LE(tc, 8193);
    for (int i = 0; i < cc; ++i) EXPECT_FALSE(std::isnan(cp[i][0] + cp[i][1] + cp[i][2]));
    std::free(tp);
    std::free(cp);
    std::free(kn);
  }
}

TEST(SplineFit, SolverStatusesMapToExportedCodesAndUnknownsToFailure) {
  const int cases[][2] = {{0, 0}, {2, -2}, {2100, -1}, {2105, 933}, {-1, -3}, {14, -3}, {2101, -3}, {2104, -3}};
  for (auto& c : cases) EXPECT_EQ(map_fit_status(c[0]), c[1]) << c[0];
}

TEST(SplineFit, ExportedResultsSkipNullOutputsAndFailCleanly) {
  Pts pts{{{0, 0, 0}}, {{1, 1, 0}}, {{2, 0, 0}}, {{3, 1, 0}}};
  auto* fit = reinterpret_cast<double(*)[3]>(pts.data());
  double(*tp)[3] = nullptr, (*cp)[3] = nullptr, *kn = nullptr;
  int tc = -1, cc = -1, kc = -1;
  // Null counts and arrays are skipped independently.
  ASSERT_EQ(gr_splinegen2(3, 4, fit, 1e-5, nullptr, nullptr, 0, 1.3, nullptr, &tp, nullptr, &cp, &kc, nullptr), 0);
  EXPECT_EQ(kc, 10);
  ASSERT_NE(tp, nullptr);
  ASSERT_NE(cp, nullptr);
  std::free(tp);
  std::free(cp);
  tp = nullptr;
  cp = nullptr;

  // A tessellation value too small: -1, and no array survives.
  EXPECT_EQ(gr_splinegen2(3, 4, fit, 1e-5, nullptr, nullptr, 0, 1e-6, &tc, &tp, &cc, &cp, &kc, &kn), -1);
  EXPECT_EQ(tp, nullptr);
  EXPECT_EQ(cp, nullptr);
  EXPECT_EQ(kn, nullptr);
  EXPECT_EQ(tc + cc + kc, 0);

  // A failed fit leaves the tessellated outputs as they were.
  tc = 77;
  Pts one{{{5, 5, 0}}};
  EXPECT_EQ(gr_splinegen2(3, 1, reinterpret_cast<double(*)[3]>(one.data()), 1e-5, nullptr, nullptr, 0, 1.3, &tc,
                          &tp, &cc, &cp, &kc, &kn),
            -1);
  EXPECT_EQ(tc, 77);
  EXPECT_EQ(cp, nullptr);
  EXPECT_EQ(cc, 0);
}

TEST(GenerateSpline, EachGenerateReleasesTheLastResultAndCopiesTheTangents) {
  Generate_Spline empty;
  EXPECT_EQ(empty.degree, 3);
  EXPECT_EQ(empty.start_tangent[0], 0.0);
  EXPECT_EQ(empty.tolerance, 0.1);
  empty.generate();  // count 0: nothing
  EXPECT_EQ(empty.tessellated_points, nullptr);

  Generate_Spline g(3, 5, 1e-5, nullptr, nullptr, 0, 1.3);
  const double pts[5][3] = {{0, 0, 0}, {2, 1, 0}, {4, 0, 0}, {6, -1, 0}, {8, 0, 0}};
  for (int i = 0; i < 5; ++i)
    for (int k = 0; k < 3; ++k) g.fpt()[i][k] = pts[i][k];
  g.generate();
  ASSERT_GT(g.tessellated_count, 2);
  EXPECT_EQ(g.control_count, 7);
  EXPECT_EQ(g.knot_count, 11);
  EXPECT_EQ(g.knots[10], g.knots[7]);
  EXPECT_EQ(g.tessellated_points[0][0], 0.0);
  EXPECT_EQ(g.tessellated_points[g.tessellated_count - 1][0], 8.0);
  g.generate();  // again: the earlier outputs are released first
  EXPECT_EQ(g.control_count, 7);

  double t[3] = {0, 0, 0};
  g.init(3, 4, 1e-5, t, t, 1, 1.3);
  EXPECT_EQ(g.tessellated_points, nullptr);
  const double sq[4][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}};
  for (int i = 0; i < 4; ++i)
    for (int k = 0; k < 3; ++k) g.fpt()[i][k] = sq[i][k];
  g.generate();
  EXPECT_EQ(g.control_count, 6);
  EXPECT_GT(VLength(g.start_tangent), 0.0);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(g.start_tangent[k], g.end_tangent[k]);
  EXPECT_EQ(t[0], 0.0);  // the caller's array was copied, not written

  g_computer_spline.init(3, 2, 1e-5, nullptr, nullptr, 0, 1.3);
  g_computer_spline.fpt()[1][0] = 1.0;
  g_computer_spline.generate();
  EXPECT_EQ(g_computer_spline.tessellated_count, 2);
  g_computer_spline.init(3, 0, 1e-5, nullptr, nullptr, 0, 1.3);
}

}  // namespace
