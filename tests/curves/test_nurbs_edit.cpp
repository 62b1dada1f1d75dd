// Knot insertion and trimming that keep the shape, extents, corners and
// pieces, integration, the minimum-radius check and containment.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "curve_fixtures.h"
#include "geometry/curves/vector_ops.h"

using namespace curves_test;

namespace {

std::unique_ptr<CNURBS> Wavy() {
  return MakeNurbs(3, {0, 0, 0, 0, 0.2, 0.5, 0.7}, 1.0,
                   {{0, 0, 0}, {1, 3, 0}, {2, -3, 1}, {3, 3, 0}, {4, -3, 0}, {5, 3, 0}, {6, 0, 0}});
}

double MaxGap(const CCurve& a, const CCurve& b, double lo, double hi) {
  double worst = 0;
  for (int i = 0; i <= 400; ++i) {
    double t = lo + (hi - lo) * i / 400, p[3], q[3];
    a.Evaluate(t, p);
    b.Evaluate(t, q);
    worst = std::fmax(worst, Dist(p, q));
  }
  return worst;
}

TEST(InsertKnot, LeavesTheCurveUnchanged) {
  struct Case {
    std::unique_ptr<CNURBS> (*make)();
    double t;
    int k, want_count;
  } cases[] = {
      {Wavy, 0.35, 2, 1},  // a new simple knot
      {Wavy, 0.35, 0, 3},  // up to full multiplicity
      {Wavy, 0.5, 0, 2},   // onto an existing knot
      {Wavy, 0.5, 2, 0},   // already there
      {[] { return NurbsCircle(0, 0, 1); }, 0.4, 0, 2},
      {[] { return NurbsCircle(0, 0, 1); }, 0.6, 1, 1},
  };
  for (const Case& c : cases) {
    auto before = c.make();
    auto after = c.make();
    int index = -1, count = -1;
    ASSERT_EQ(after->InsertKnot(c.t, c.k, index, count), 0);
    EXPECT_EQ(count, c.want_count);
    EXPECT_EQ(after->ControlCount(), before->ControlCount() + c.want_count);
    EXPECT_EQ(after->IsRational(), before->IsRational());
    EXPECT_LT(MaxGap(*before, *after, 0, 1), 1e-12) << c.t;
  }
  auto c = Wavy();
  int index, count;
  EXPECT_EQ(c->InsertKnot(std::numeric_limits<double>::quiet_NaN(), 0, index, count), kCurveBadArgument);
}

TEST(TrimToRange, SubRangesMatchAndNothingIsDeleted) {
  auto wavy = Wavy();
  auto circle = NurbsCircle(2, 0, 1);
  for (CNURBS* c : {wavy.get(), circle.get()}) {
    CCurve* out = nullptr;
    ASSERT_EQ(c->TrimToRange(0.0, 1.0, out), 0);
    EXPECT_EQ(out, c);
    ASSERT_EQ(c->TrimToRange(0.13, 0.61, out), 0);
    ASSERT_NE(out, c);
    std::unique_ptr<CCurve> piece(out);
    EXPECT_EQ(piece->StartParam(), 0.13);
    EXPECT_NEAR(piece->EndParam(), 0.61, 1e-15);
    EXPECT_LT(MaxGap(*c, *piece, 0.13, 0.61), 1e-12);
    // The source lives on, untouched.
    EXPECT_EQ(c->StartParam(), 0.0);
    EXPECT_EQ(c->EndParam(), 1.0);
  }
  CCurve* out = nullptr;
  EXPECT_EQ(wavy->TrimToRange(0.5, 0.5, out), kCurveBadArgument);
  EXPECT_EQ(wavy->TrimToRange(-0.5, 0.5, out), kCurveBadArgument);
  EXPECT_EQ(wavy->TrimToRange(0.2, std::numeric_limits<double>::infinity(), out), kCurveBadArgument);
  EXPECT_EQ(out, nullptr);
}

TEST(BoundingBox, TighterThanTheControlPolygon) {
  // P(t) = (2t, 4t(1 - t)): the top is y = 1 exactly.
  auto arc = MakeNurbs(2, {0, 0, 0}, 1.0, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}});
  CExtentBox box;
  ASSERT_EQ(arc->BoundingBox(true, box), 0);
  EXPECT_NEAR(box.max_y, 1.0, 1e-12);
  EXPECT_EQ(box.min_x, 0.0);
  EXPECT_EQ(box.max_x, 2.0);
  CExtentBox hull;
  ASSERT_EQ(arc->BoundingBox(false, hull), 0);
  EXPECT_EQ(hull.max_y, 2.0);

  // Through a quarter turn the top becomes the left side.
  const double m[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}, t[3] = {0, 0, 0};
  CAffineMap turn(m, t);
  CExtentBox turned;
  ASSERT_EQ(arc->BoundingBox(true, turned, &turn), 0);
  EXPECT_NEAR(turned.min_x, -1.0, 1e-12);

  // A rational circle: the unit box, every tessellation point inside it.
  auto circle = NurbsCircle(0, 0, 1);
  CExtentBox cb;
  ASSERT_EQ(circle->BoundingBox(true, cb), 0);
  EXPECT_NEAR(cb.min_x, -1, 1e-12);
  EXPECT_NEAR(cb.max_y, 1, 1e-12);
  EXPECT_TRUE(cb.Overlaps(box));
  CExtentBox far;
  far.Add(5, 5);
  EXPECT_FALSE(cb.Overlaps(far));
}

TEST(Corners, CornersSplitPiecesButSmoothTripleKnotsDoNot) {
  // A degree 1 polyline with a corner at (1, 0); a cubic whose triple knot
  // joins collinear legs.
  auto poly = MakeNurbs(1, {0, 0, 1}, 2.0, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
  double at = 0;
  ASSERT_EQ(poly->NextCorner(0.0, at), 0);
  EXPECT_EQ(at, 1.0);
  int count = 0;
  CCurve* piece = nullptr;
  ASSERT_EQ(poly->CollectPieces(count, piece), 0);
  std::unique_ptr<CCurve> first(piece);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(first->EndParam(), 1.0);
  EXPECT_EQ(poly->StartParam(), 1.0);
  EXPECT_EQ(poly->CollectPieces(count, piece), kCurveNotFound);
  EXPECT_EQ(piece, poly.get());
  EXPECT_EQ(count, 2);

  auto smooth = MakeNurbs(3, {0, 0, 0, 0, 0.5, 0.5, 0.5}, 1.0,
                          {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {4, 4, 0}, {5, 3, 0}, {6, 0, 0}});
  EXPECT_EQ(smooth->NextCorner(0.0, at), kCurveNotFound);
  EXPECT_GE(at, smooth->EndParam());
  // Folding back on itself is a corner even though the points are collinear.
  auto back = MakeNurbs(3, {0, 0, 0, 0, 0.5, 0.5, 0.5}, 1.0,
                        {{0, 0, 0}, {1, 1, 0}, {3, 3, 0}, {4, 4, 0}, {2, 2, 0}, {5, 3, 0}, {6, 0, 0}});
  EXPECT_EQ(back->NextCorner(0.0, at), 0);
  EXPECT_EQ(at, 0.5);
}

TEST(Integrate, IntegralsFollowTheRangeAndRefuseParametersOutsideIt) {
  // Control points evenly spaced on a line: unit speed scaled by the length.
  auto straight = MakeNurbs(3, {0, 0, 0, 0, 0.25, 0.5, 0.75}, 1.0,
                            {{0, 0, 0}, {0.5, 0, 0}, {1.5, 0, 0}, {3, 0, 0}, {4.5, 0, 0}, {5.5, 0, 0}, {6, 0, 0}});
  double len = 0;
  ASSERT_EQ(straight->ArcLength(len), 0);
  EXPECT_NEAR(len, 6.0, 1e-12);
  CPlaneSpeedFunction speed(*straight);
  double part = 0;
  ASSERT_EQ(straight->Integrate(speed, 0.1, 0.9, part), 0);
  double p[3], q[3];
  straight->Evaluate(0.1, p);
  straight->Evaluate(0.9, q);
  EXPECT_NEAR(part, q[0] - p[0], 1e-12);
  ASSERT_EQ(straight->Integrate(speed, 0.9, 0.1, part), 0);
  EXPECT_NEAR(part, p[0] - q[0], 1e-12);
  EXPECT_EQ(straight->Integrate(speed, -0.5, 0.5, part), kCurveBadArgument);
  EXPECT_EQ(straight->Integrate(speed, 0.5, 1.5, part), kCurveBadArgument);
  // Area of the unit circle by the swept-area integral: 2 pi.
  auto circle = NurbsCircle(0, 0, 1);
  double area = 0;
  ASSERT_EQ(circle->SignedArea(area, nullptr), 0);
  EXPECT_NEAR(area, 2 * kPi, 1e-3);
}

TEST(CheckMinRadius, TighterBendsOnTheSameSideFailAndNanIsRefused) {
  auto circle = NurbsCircle(0, 0, 1);  // curvature +1 everywhere
  struct Case {
    double r;
    int want;
  } cases[] = {{0, 0}, {0.5, 0}, {2, kCurveCurvature}, {-2, 0}, {std::nan(""), kCurveBadArgument}};
  for (const Case& c : cases) EXPECT_EQ(circle->CheckMinRadius(c.r), c.want) << c.r;
}

TEST(ContainsPoint, OnTheCurveAndOffIt) {
  auto c = Wavy();
  for (double t : {0.0, 0.123, 0.5, 0.999, 1.0}) {
    double p[3];
    c->Evaluate(t, p);
    EXPECT_TRUE(c->ContainsPoint(p, 1e-6)) << t;
  }
  double ctrl[3];
  c->ControlPoint(1, ctrl);
  EXPECT_FALSE(c->ContainsPoint(ctrl, 1e-3));
  double near[3];
  c->Evaluate(0.3, near);
  near[1] += 0.01;
  EXPECT_FALSE(c->ContainsPoint(near, 1e-3));
  EXPECT_TRUE(c->ContainsPoint(near, 2e-2));
  EXPECT_FALSE(c->ContainsPoint(near, -1.0));
}

}  // namespace

namespace {

TEST(PeriodicCurves, EditsKeepTheShape) {
  // The uniform periodic cubic on a hexagon.
  Pts hex;
  for (int i = 0; i < 6; ++i) hex.push_back({std::cos(i * kPi / 3), std::sin(i * kPi / 3), 0});
  auto make = [&] { return MakeNurbs(3, {0, 1, 2, 3, 4, 5}, 6.0, hex); };
  auto ref = make();
  ASSERT_TRUE(ref);
  ASSERT_NE(ref->Period(), 0.0);
  for (double t : {2.5, 5.5, 0.5}) {
    auto c = make();
    int index = 0, count = 0;
    ASSERT_EQ(c->InsertKnot(t, 1, index, count), 0) << t;
    EXPECT_EQ(count, 2);
    EXPECT_LT(MaxGap(*ref, *c, 0, 6), 1e-12) << t;
  }
  for (double a : {0.5, 4.0}) {
    CCurve* out = nullptr;
    ASSERT_EQ(ref->TrimToRange(a, a + 4, out), 0);
    std::unique_ptr<CCurve> piece(out);
    EXPECT_LT(MaxGap(*ref, *piece, a, a + 4), 1e-12) << a;
  }
  CCurve* out = nullptr;
  EXPECT_EQ(ref->TrimToRange(0, 7, out), kCurveBadArgument);
  CDoubleArray params;
  EXPECT_EQ(ref->SelfIntersections(params, 1e-9), 0);
  EXPECT_EQ(params.Count(), 0);
  CExtentBox box;
  ASSERT_EQ(ref->BoundingBox(true, box), 0);
  for (int i = 0; i <= 600; ++i) {
    double p[3];
    ref->Evaluate(i / 100.0, p);
    EXPECT_TRUE(p[0] >= box.min_x - 1e-12 && p[0] <= box.max_x + 1e-12 && p[1] >= box.min_y - 1e-12 &&
                p[1] <= box.max_y + 1e-12);
  }
  EXPECT_LT(box.max_x, 1.0);
}

}  // namespace

namespace {

// The NURBS curve's own scans find where another curve crosses it, as the
// generic search over sample seeds does.
TEST(IntersectionScans, ParamsAndRangeOfTheCrossings) {
  auto circle = NurbsCircle(0, 0, 2);
  struct Case {
    std::array<double, 3> p, q;
    int crossings;
  } cases[] = {
      {{-3, 0.5, 0}, {3, 0.5, 0}, 2},   // across
      {{0, 0, 0}, {0, 5, 0}, 1},        // out of the centre
      {{-3, 2.5, 0}, {3, 2.5, 0}, 0},   // above it
  };
  for (const Case& c : cases) {
    auto line = NurbsLine(c.p, c.q);
    SCOPED_TRACE(c.crossings);
    CDoubleArray params;
    int count = 0;
    ASSERT_EQ(circle->IntersectionParams(*line, params, count), kCurveOk);
    ASSERT_EQ(count, c.crossings);
    ASSERT_EQ(params.Count(), c.crossings);
    for (int i = 0; i < params.Count(); ++i) {
      double at[3];
      circle->Evaluate(params[i], at);
      EXPECT_NEAR(std::hypot(at[0], at[1]), 2.0, 1e-9);
      const double dx = c.q[0] - c.p[0], dy = c.q[1] - c.p[1];
      EXPECT_NEAR((at[0] - c.p[0]) * dy - (at[1] - c.p[1]) * dx, 0.0, 1e-7) << "on the line";
    }
    // Found again, nothing is added.
    ASSERT_EQ(circle->IntersectionParams(*line, params, count), kCurveOk);
    EXPECT_EQ(count, c.crossings);

    double scan[4] = {1e30, -1e30, 1e30, -1e30}, generic[4] = {1e30, -1e30, 1e30, -1e30};
    ASSERT_EQ(circle->IntersectionRange(*line, false, scan[0], scan[1], scan[2], scan[3]), kCurveOk);
    ASSERT_EQ(circle->CCurve::IntersectionRange(*line, false, generic[0], generic[1], generic[2], generic[3]),
              kCurveOk);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(scan[k], generic[k], 1e-9) << k;
  }
  CDoubleArray none;
  int count = 0;
  EXPECT_EQ(NurbsLine({0, 0, 0}, {1, 0, 0})->CCurve::IntersectionParams(*circle, none, count), kCurveUnsupported);
}

}  // namespace
