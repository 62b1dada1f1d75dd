#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

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
