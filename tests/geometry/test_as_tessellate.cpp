#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "database/mb_settings.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_tessellate.h"

namespace {

TEST(BsplineToPtset, PassesThroughEveryPointFiftyPiecesPerSpan) {
  std::mt19937 gen(11);
  std::uniform_real_distribution<double> u(-50.0, 50.0);
  As_Uvec t0(1, 0, 0), t1(0, 1, 0);
  for (int n : {2, 3, 7, 40}) {
    std::vector<As_Pt> pts;
    for (int i = 0; i < n; ++i) pts.emplace_back(u(gen), u(gen), 3.0);
    CURVEINSUM_RUBBER = 7;
    int count = 0;
    As_Pt* out = nullptr;
    ASSERT_TRUE(bspline_to_ptset(n, pts.data(), t0, t1, count, out));
    EXPECT_EQ(CURVEINSUM_RUBBER, 50);
    ASSERT_EQ(count, (n - 1) * 50 + 1);
    for (int i = 0; i < n; ++i) {
      EXPECT_NEAR(out[50 * i].x(), pts[i].x(), 1e-4) << n << " " << i;
      EXPECT_NEAR(out[50 * i].y(), pts[i].y(), 1e-4);
    }
    for (int i = 0; i < count; ++i) EXPECT_EQ(out[i].z(), 0.0);
    delete[] out;
  }
}

TEST(BsplineToPtset, TangentsShapeTheEndSpans) {
  As_Pt pts[3] = {As_Pt(0, 0, 0), As_Pt(1, 1, 0), As_Pt(2, 0, 0)};
  int c1 = 0, c2 = 0;
  As_Pt *a = nullptr, *b = nullptr;
  ASSERT_TRUE(bspline_to_ptset(3, pts, As_Uvec(-1, 0, 0), As_Uvec(1, 0, 0), c1, a));
  ASSERT_TRUE(bspline_to_ptset(3, pts, As_Uvec(0, -1, 0), As_Uvec(1, 0, 0), c2, b));
  ASSERT_EQ(c1, 101);
  EXPECT_NEAR(a[50].x(), 1.0, 1e-5);
  EXPECT_NEAR(a[50].y(), 1.0, 1e-5);
  EXPECT_GT(std::fabs(a[5].x() - b[5].x()) + std::fabs(a[5].y() - b[5].y()), 1e-3);
  EXPECT_NEAR(a[100].x(), 2.0, 1e-5);
  delete[] a;
  delete[] b;
}

TEST(BsplineToPtset, RefusesBadInputAndEndsFarFromTheOrigin) {
  As_Pt pts[3] = {As_Pt(1e13, 0, 0), As_Pt(1e13 + 3, 1e13, 0), As_Pt(-1e13, 5, 0)};
  int count = -1;
  As_Pt* out = nullptr;
  As_Uvec x(1, 0, 0);
  EXPECT_FALSE(bspline_to_ptset(1, pts, x, x, count, out));
  EXPECT_FALSE(bspline_to_ptset(3, nullptr, x, x, count, out));
  As_Pt nan_pts[2] = {As_Pt(0, 0, 0), As_Pt(NAN, 1, 0)};
  EXPECT_FALSE(bspline_to_ptset(2, nan_pts, x, x, count, out));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(count, -1);
  // Rounding noise keeps the corrections above the threshold here; the
  // sweeps stop at their cap and the points are still interpolated.
  ASSERT_TRUE(bspline_to_ptset(3, pts, x, x, count, out));
  EXPECT_NEAR(out[50].y(), 1e13, 1e-2);
  delete[] out;
}

}  // namespace

namespace {

const double kHalf = std::sqrt(0.5);

void ExpectXy(const As_Pt& p, double x, double y, double tol = 1e-12) {
  EXPECT_NEAR(p.x(), x, tol);
  EXPECT_NEAR(p.y(), y, tol);
}

double Cross(const As_Pt& o, const As_Pt& a, const As_Pt& b) {
  return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}

TEST(Tessellate, ArcByAnglesSweepsCounterClockwiseByTheDifference) {
  std::vector<As_Pt> buf(3);
  As_Pt* pts = buf.data();
  ASSERT_TRUE(arc_to_ptset(As_Pt(0, 0, 0), 1, 0, half_pi, 3, pts));
  ExpectXy(pts[0], 1, 0);
  ExpectXy(pts[1], kHalf, kHalf);
  ExpectXy(pts[2], 0, 1);
  // Angles given the other way round sweep as far from the first angle.
  ASSERT_TRUE(arc_to_ptset(As_Pt(0, 0, 0), 1, half_pi, 0, 3, pts));
  ExpectXy(pts[0], 0, 1);
  ExpectXy(pts[1], -kHalf, kHalf);
  ExpectXy(pts[2], -1, 0);
}

TEST(Tessellate, ArcByPointsKeepsTheStartRadius) {
  std::vector<As_Pt> buf(3);
  As_Pt* pts = buf.data();
  ASSERT_TRUE(arc_to_ptset(As_Pt(0, 0, 0), 5, As_Pt(1, 0, 0), As_Pt(0, 1, 0), 3, pts));
  ExpectXy(pts[0], 1, 0);
  ExpectXy(pts[1], kHalf, kHalf);
  ExpectXy(pts[2], 0, 1);
  // p1 only gives the direction: the sweep goes on counter-clockwise to it.
  ASSERT_TRUE(arc_to_ptset(As_Pt(1, 1, 0), 0, As_Pt(2, 1, 0), As_Pt(1, 0, 0), 3, pts));
  ExpectXy(pts[1], 1 - kHalf, 1 + kHalf);
  ExpectXy(pts[2], 1, 0);
}

// Every precision an entity may pass gives the asked count, all on the
// circle, turning counter-clockwise by equal steps.
TEST(Tessellate, ArcsAndCirclesStayOnTheRadiusWithEvenChordsAtEveryPrecision) {
  const As_Pt c(3, -2, 0);
  for (int n : {2, 3, 8, 10, 17, 30, 50, 60, 100}) {
    SCOPED_TRACE(n);
    std::vector<As_Pt> arc(n), circle(n);
    As_Pt* pts = arc.data();
    ASSERT_TRUE(arc_to_ptset(c, 2.5, 0.3, 2.0, static_cast<unsigned long>(n), pts));
    ExpectXy(arc.front(), c.x() + 2.5 * std::cos(0.3), c.y() + 2.5 * std::sin(0.3), 1e-9);
    ExpectXy(arc.back(), c.x() + 2.5 * std::cos(2.0), c.y() + 2.5 * std::sin(2.0), 1e-9);
    ASSERT_TRUE(circle_to_ptset(c, 2.5, circle.data(), n));
    EXPECT_EQ(circle.front().x(), circle.back().x());
    EXPECT_EQ(circle.front().y(), circle.back().y());
    ExpectXy(circle.front(), c.x() + 2.5, c.y(), 1e-12);
    for (const std::vector<As_Pt>* v : {&arc, &circle}) {
      for (int i = 0; i < n; ++i) EXPECT_NEAR(((*v)[i] - c).len(), 2.5, 1e-9);
      // A circle of 3 points turns by half turns, which have no sense.
      for (int i = 0; i + 1 < n && n > 3; ++i) {
        EXPECT_GT(Cross(c, (*v)[i], (*v)[i + 1]), 0.0);
        EXPECT_NEAR(((*v)[i + 1] - (*v)[i]).len(), ((*v)[1] - (*v)[0]).len(), 1e-9);
      }
    }
  }
}

// The kernel's default precisions: a 30-point arc, a closed 60-point
// circle, a closed ellipse of 80.
TEST(Tessellate, DefaultPrecisionsCloseTheirCurves) {
  const int arc_n = g_system_setting.get_long_val(MB_ARC_PRECISION),
            circle_n = g_system_setting.get_long_val(MB_DEFAULT_PRECISION);
  const int ellipse_n = g_system_setting.get_long_val(MB_ELLIPSE_PRECISION);
  ASSERT_EQ(arc_n, 30);
  ASSERT_EQ(circle_n, 60);
  ASSERT_EQ(ellipse_n, 80);
  std::vector<As_Pt> arc(arc_n);
  As_Pt* pts = arc.data();
  ASSERT_TRUE(arc_to_ptset(As_Pt(1, 1, 0), 2, qm_pi, three_half_pi, arc_n, pts));
  ExpectXy(arc.front(), -1, 1);
  ExpectXy(arc.back(), 1, -1);
  As_Pt_List circle;
  ASSERT_TRUE(circle_to_ptlist(As_Pt(1, 1, 0), 2, circle_n, circle));
  ASSERT_EQ(circle.count(), circle_n + 1);
  ExpectXy(circle.head()->point(), 1, 3);
  ExpectXy(circle.tail()->point(), 1, 3);
  As_Pt c(0, 0, 0), *out = nullptr;
  int count = 0;
  ASSERT_TRUE(ellipse_arc_to_ptset(c, 3, 1, 0, two_pi, 0.5, ellipse_n, count, out));
  EXPECT_GE(count, ellipse_n - 1);
  EXPECT_LE(count, ellipse_n);
  ExpectXy(out[count], out[0].x(), out[0].y(), 1e-9);
  delete[] out;
}

TEST(Tessellate, CirclesRunCounterClockwiseAndCloseOnTheirFirstPoint) {
  As_Pt pts[5];
  ASSERT_TRUE(circle_to_ptset(As_Pt(0, 0, 0), 2, pts, 5));
  const double expect[5][2] = {{2, 0}, {0, 2}, {-2, 0}, {0, -2}, {2, 0}};
  for (int i = 0; i < 5; ++i) ExpectXy(pts[i], expect[i][0], expect[i][1]);

  As_Pt_List list;
  list.add_tail(As_Pt(9, 9, 9));
  ASSERT_TRUE(circle_to_ptlist(As_Pt(0, 0, 0), 1, 4, list));
  ASSERT_EQ(list.count(), 5);
  const double ring[5][2] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}, {0, 1}};
  for (int i = 0; i < 5; ++i) ExpectXy(list.get(i)->point(), ring[i][0], ring[i][1]);
}

TEST(Tessellate, CountsThatMakeNoCurveAreRefusedOrRaised) {
  const As_Pt sentinel(7, 7, 7);
  std::vector<As_Pt> buf(4, sentinel);
  As_Pt* pts = buf.data();
  for (unsigned long n : {0ul, 1ul}) {
    EXPECT_FALSE(arc_to_ptset(As_Pt(), 1, 0, 1, n, pts));
    EXPECT_FALSE(arc_to_ptset(As_Pt(), 1, As_Pt(1, 0, 0), As_Pt(0, 1, 0), n, pts));
  }
  for (int n : {-5, 0, 1}) EXPECT_FALSE(circle_to_ptset(As_Pt(), 1, pts, n));
  for (const As_Pt& p : buf) EXPECT_EQ(p.x(), 7.0);
  As_Pt* none = nullptr;
  EXPECT_FALSE(arc_to_ptset(As_Pt(), 1, 0, 1, 3, none));
  EXPECT_FALSE(circle_to_ptset(As_Pt(), 1, nullptr, 3));

  // Lists sized by the function get at least a triangle.
  As_Pt_List list;
  for (int n : {-1, 0, 1, 2}) {
    ASSERT_TRUE(circle_to_ptlist(As_Pt(), 1, n, list));
    EXPECT_EQ(list.count(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(std::isfinite(list.get(i)->point().x()));
  }
}

TEST(Tessellate, EllipseArcsRunFromStartToEndAndWrapAStartPastTheEnd) {
  As_Pt c(0, 0, 0);
  As_Pt* out = nullptr;
  int count = -1;
  ASSERT_TRUE(ellipse_arc_to_ptset(c, 2, 1, 0, qm_pi, 0, 5, count, out));
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(count, 2);
  ExpectXy(out[0], 2, 0);
  ExpectXy(out[1], 0, 1);
  ExpectXy(out[2], -2, 0);
  delete[] out;

  // Rotated and off centre; a start angle past the end wraps back a turn.
  As_Pt c2(1, 1, 0);
  ASSERT_TRUE(ellipse_arc_to_ptset(c2, 2, 1, three_half_pi, half_pi, half_pi, 5, count, out));
  EXPECT_EQ(count, 2);
  ExpectXy(out[0], 2, 1);       // angle -pi/2: (0, -1) turned a quarter
  ExpectXy(out[count], 0, 1);   // angle pi/2: (0, 1) turned a quarter
  delete[] out;
}

// Under the sanitizers an overrun of the array would fail these.
TEST(Tessellate, EllipseArcStaysInItsArrayAndEnds) {
  As_Pt c(0, 0, 0);
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double a0, a1;
    int n;
  } cases[] = {{0, 4 * qm_pi, 5}, {0, 1e9, 3}, {-1e9, 1e9, 17}, {0, 1, 0}, {0, 1, -3}, {0, two_pi, 2}, {1, 1, 5}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.a1);
    As_Pt* out = nullptr;
    int count = -1;
    ASSERT_TRUE(ellipse_arc_to_ptset(c, 2, 1, k.a0, k.a1, 0, k.n, count, out));
    ASSERT_NE(out, nullptr);
    EXPECT_GE(count, 0);
    EXPECT_LE(count, std::max(k.n, 3));
    for (int i = 0; i <= count; ++i) EXPECT_TRUE(std::isfinite(out[i].x()));
    delete[] out;
  }
  As_Pt* out = reinterpret_cast<As_Pt*>(&c);
  int count = -1;
  EXPECT_FALSE(ellipse_arc_to_ptset(c, 2, 1, 0, inf, 0, 5, count, out));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(ellipse_arc_to_ptset(c, 2, 1, std::nan(""), 1, 0, 5, count, out));
}

TEST(Tessellate, HeapArraysAddSubtractAndScaleByComponent) {
  const As_Heap_Array zero, a(3, 4), b(1, -2);
  EXPECT_EQ(zero.x(), 0.0);
  EXPECT_EQ(zero.y(), 0.0);
  EXPECT_EQ(a.length(), 5.0);
  const As_Heap_Array s = a + b, d = a - b, m = a * 2.0, copy = a;
  EXPECT_EQ(s.x(), 4.0);
  EXPECT_EQ(s.y(), 2.0);
  EXPECT_EQ(d.x(), 2.0);
  EXPECT_EQ(d.y(), 6.0);
  EXPECT_EQ(m.y(), 8.0);
  EXPECT_EQ((0.5 * a).x(), 1.5);
  EXPECT_EQ(copy.y(), 4.0);
}

}  // namespace
