// Arrays, the three linear systems and the small vector helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "geometry/curves/band_matrix.h"
#include "geometry/curves/vector_ops.h"

namespace {

TEST(DoubleArray, InsertUniqueMergesNearValuesAndRemovalIsClampedToTheArray) {
  CDoubleArray a;
  for (double v : {0.0, 1.0, 2.0}) ASSERT_EQ(a.Append(v), kCurveOk);
  int index = -5;
  EXPECT_EQ(a.InsertUnique(1.0000001, 1e-6, index), kCurveOk);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(a.Count(), 3);
  EXPECT_EQ(a.InsertUnique(1.5, 1e-6, index), kCurveOk);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(a[2], 1.5);
  EXPECT_FALSE(a.Find(-1.0, 1e-6, index));
  EXPECT_EQ(index, -1);
  EXPECT_EQ(a.Span(1.7, 0, a.Count()), 2);
  EXPECT_EQ(a.Span(-3.0, 0, a.Count()), 0);
  EXPECT_EQ(a.Span(99.0, 0, a.Count()), 3);

  // Removal is clamped to the array; removing everything frees the block.
  EXPECT_EQ(a.RemoveAt(2, 100), kCurveOk);
  EXPECT_EQ(a.Count(), 2);
  EXPECT_EQ(a.RemoveAt(5, 1), kCurveBadArgument);
  EXPECT_EQ(a.RemoveAt(0, a.Count()), kCurveOk);
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(a.Items(), nullptr);

  EXPECT_EQ(a.MakeRoom(3, 2), kCurveOk);  // count raised to 3 first
  EXPECT_EQ(a.Count(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(a[i], 0.0);
  CDoubleArray copy(a);
  copy = copy;
  EXPECT_EQ(copy.Count(), 5);
}

TEST(PointArray, IndicesWrapAroundAndAnEmptyArrayRefusesEdits) {
  CPointArray pts;
  EXPECT_EQ(pts.Get(0), nullptr);
  EXPECT_EQ(pts.Get(-1), nullptr);
  double p[3] = {1, 1, 1};
  EXPECT_EQ(pts.Set(3, p), kCurveBadArgument);
  EXPECT_EQ(pts.Rotate(1), kCurveBadArgument);
  EXPECT_EQ(pts.Remove(0, 1), kCurveBadArgument);

  for (int i = 0; i < 4; ++i) {
    double q[3] = {double(i), 0, 0};
    ASSERT_EQ(pts.Append(q), kCurveOk);
  }
  EXPECT_EQ(pts.Get(-1)[0], 3.0);
  EXPECT_EQ(pts.Get(-5)[0], 3.0);
  EXPECT_EQ(pts.Get(2000000001)[0], 1.0);
  double front[3] = {9, 0, 0};
  ASSERT_EQ(pts.InsertAt(front, pts.Count()), kCurveOk);  // count folds to 0
  EXPECT_EQ(pts.Get(0)[0], 9.0);
  ASSERT_EQ(pts.Rotate(2), kCurveOk);  // 1 2 3 9 0
  const double want[] = {1, 2, 3, 9, 0};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(pts.Get(i)[0], want[i]);
  ASSERT_EQ(pts.RemoveWrapped(4, 2), kCurveOk);  // removes 0 and 1
  ASSERT_EQ(pts.Count(), 3);
  EXPECT_EQ(pts.Get(0)[0], 2.0);
  EXPECT_EQ(pts.Get(2)[0], 9.0);

  std::vector<unsigned char> buf(pts.ByteSize());
  unsigned char* cur = buf.data();
  pts.Write(cur);
  EXPECT_EQ(cur - buf.data(), 4 + 24 * 3);
  EXPECT_EQ(buf[0], 3);
  double x;
  std::memcpy(&x, buf.data() + 4 + 48, sizeof x);
  EXPECT_EQ(x, 9.0);
}

TEST(BandMatrix, OnlyTheBandIsStoredAndBadSizesAreRefused) {
  int st = -7;
  CBandMatrix full(5, 9, st);
  EXPECT_EQ(st, kCurveOk);
  EXPECT_EQ(full.HalfBandwidth(), 4);
  EXPECT_EQ(full.StoredCount(), 25);

  CBandMatrix tri(5, 1, st);
  ASSERT_EQ(st, kCurveOk);
  EXPECT_EQ(tri.StoredCount(), 13);
  tri.At(0, 3) = 42.0;  // outside the band: lands nowhere
  EXPECT_EQ(tri.Get(0, 3), 0.0);
  EXPECT_EQ(tri.At(4, 0), 0.0);

  for (auto [n, a] : {std::pair{0, 1}, {-3, 1}, {4, -1}}) {
    st = 0;
    CBandMatrix bad(n, a, st);
    EXPECT_EQ(st, kCurveBadArgument) << n << " " << a;
    EXPECT_EQ(bad.Factor(), kCurveUnsupported);
  }
  st = 0;
  CDenseMatrix dense(0, st);
  EXPECT_EQ(st, kCurveBadArgument);
  st = 0;
  CBorderedBandMatrix none(nullptr, 1, st);
  EXPECT_EQ(st, kCurveBadArgument);
  st = 0;
  CBorderedBandMatrix zero(&tri, 0, st);
  EXPECT_EQ(st, kCurveBadArgument);
}

TEST(BandMatrix, ATinyPivotFailsAndASecondFactorChangesNothing) {
  int st = 0;
  CBandMatrix m(3, 1, st);
  m.At(0, 0) = 1e-10;
  m.At(1, 1) = m.At(2, 2) = 1.0;
  EXPECT_EQ(m.Factor(), kCurveUnsupported);
  EXPECT_FALSE(m.IsFactored());

  CBandMatrix ones(3, 1, st);
  for (int i = 0; i < 3; ++i) ones.At(i, i) = 1.0;
  EXPECT_EQ(ones.Factor(), kCurveOk);
  ones.At(1, 1) = 5.0;                 // a second Factor leaves it alone
  EXPECT_EQ(ones.Factor(), kCurveOk);
  EXPECT_EQ(ones.Get(1, 1), 5.0);
}

// Random diagonally dominant systems: the band, dense and bordered solvers
// agree with each other and with the right-hand side.
TEST(LinearSystems, SolversAgreeOnDiagonallyDominantSystems) {
  std::mt19937 gen(1234);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int trial = 0; trial < 20; ++trial) {
    const int n = 3 + trial * 3, a = 1 + trial % 3;
    int st = 0;
    CBandMatrix band(n, a, st);
    CDenseMatrix dense(n, st);
    std::vector<double> b(n), x1, x2;
    std::vector<std::vector<double>> A(n, std::vector<double>(n, 0.0));
    for (int i = 0; i < n; ++i) {
      for (int j = std::max(0, i - a); j <= std::min(n - 1, i + a); ++j) A[i][j] = u(gen);
      A[i][i] = 2.0 * a + 1.0 + std::fabs(u(gen));
      if (trial % 4 == 0 && i > 0) A[i][i - 1] = 0.0;  // zero elements are skipped
      b[i] = u(gen);
      for (int j = 0; j < n; ++j)
        if (A[i][j] != 0.0) band.At(i, j) = dense.At(i, j) = A[i][j];
    }
    ASSERT_EQ(band.Factor(), kCurveOk);
    ASSERT_EQ(dense.Factor(), kCurveOk);
    x1 = b;
    x2 = b;
    ASSERT_EQ(band.Solve(x1.data()), kCurveOk);
    ASSERT_EQ(dense.Solve(x2.data()), kCurveOk);
    for (int i = 0; i < n; ++i) {
      double r = -b[i];
      for (int j = 0; j < n; ++j) r += A[i][j] * x1[j];
      EXPECT_NEAR(r, 0.0, 1e-12);
      EXPECT_NEAR(x1[i], x2[i], 1e-12);
    }

    // The cyclic tridiagonal system written with indices -1 and N, as a
    // bordered band matrix of core n - 1, and densely.
    CBandMatrix core(n - 1, 1, st);
    CBorderedBandMatrix cyc(&core, 1, st);
    ASSERT_EQ(st, kCurveOk);
    CDenseMatrix ref(n, st);
    for (int i = 0; i < n; ++i) {
      double l = u(gen), d = 3.0 + u(gen), r = u(gen);
      cyc.At(i, i - 1) = l;
      cyc.At(i, i) = d;
      cyc.At(i, i + 1) = r;
      ref.At(i, (i + n - 1) % n) += l;
      ref.At(i, i) += d;
      ref.At(i, (i + 1) % n) += r;
    }
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) EXPECT_EQ(cyc.Get(i, j), ref.Get(i, j));
    ASSERT_EQ(cyc.Factor(), kCurveOk);
    ASSERT_EQ(ref.Factor(), kCurveOk);
    CPointArray pts(n + 2);
    for (int i = 0; i < n + 2; ++i)
      for (int c = 0; c < 3; ++c) pts.Get(i)[c] = u(gen);
    CPointArray want(pts);
    ASSERT_EQ(cyc.Solve(pts, 2), kCurveOk);
    for (int c = 0; c < 3; ++c) {
      std::vector<double> col(n);
      for (int i = 0; i < n; ++i) col[i] = want.Get(i + 2)[c];
      ref.Solve(col.data());
      for (int i = 0; i < n; ++i) EXPECT_NEAR(pts.Get(i + 2)[c], col[i], 1e-12);
    }
    EXPECT_EQ(pts.Get(0)[0], want.Get(0)[0]);  // before the start index: untouched
    EXPECT_EQ(cyc.Solve(pts, 3), kCurveBadArgument);
  }
}

// The length spares the divisions whose quotients are known (the largest
// coordinate over itself, zeros); it stays the three-argument hypot bit for
// bit (any NaN for a NaN), and the angle's test for two null vectors
// answers as before.
TEST(VectorOps, LengthIsTheHypotBitForBit) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const double values[] = {0.0, -0.0, 1e-9, -1e-9, 2e-9, 1.0, -3.5, 123.456, 1e300, -1.7e308, 4.9e-324,
                           2.2e-308, inf, -inf, nan};
  // A NaN's sign and payload depend on how the compiler orders the sums.
  auto bits = [](double d) {
    uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return std::isnan(d) ? uint64_t{1} : u;
  };
  for (double x : values)
    for (double y : values)
      for (double z : values) {
        const double v[3] = {x, y, z};
        ASSERT_EQ(bits(VLength(v)), bits(std::hypot(x, y, z))) << x << " " << y << " " << z;
        const double w[3] = {y, z, x};
        double angle = 7.0;
        const int st = VAngle(v, w, nullptr, angle);
        const bool both_null = std::hypot(x, y, z) <= 1e-9 && std::hypot(y, z, x) <= 1e-9;
        EXPECT_EQ(st, both_null ? kCurveZeroVector : kCurveOk) << x << " " << y << " " << z;
      }
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int i = 0; i < 20000; ++i) {
    const double v[3] = {u(rng) * std::pow(10.0, 30 * u(rng)), u(rng) * std::pow(10.0, 30 * u(rng)),
                         i % 2 ? 0.0 : u(rng)};
    ASSERT_EQ(bits(VLength(v)), bits(std::hypot(v[0], v[1], v[2]))) << i;
  }
}

TEST(VectorOps, SmallSolversGiveExactRootsAndRefuseDegenerateInput) {
  struct Case {
    double x, y, a;
    int count;
    double t0, t1;
  } cases[] = {
      {1, 0, -1, 1, 0.0, 0.0},
      {1, 0, 0, 2, -M_PI / 2, M_PI / 2},
      {1, 0, 1, 1, M_PI, 0.0},
      {1, 0, 2, 0, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    int count = -1;
    double t[2];
    EXPECT_EQ(SolveCosSin(c.x, c.y, c.a, count, t), kCurveOk);
    ASSERT_EQ(count, c.count);
    if (count > 0) {
      EXPECT_NEAR(t[0], c.t0, 1e-12);
    }
    if (count > 1) {
      EXPECT_NEAR(t[1], c.t1, 1e-12);
    }
  }
  int count;
  double t[2];
  EXPECT_EQ(SolveCosSin(0, 0, 1, count, t), kCurveUnsupported);

  double id[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, inv[3][3];
  ASSERT_EQ(Inverse3(id, inv), kCurveOk);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(inv[i][j], id[i][j]);
  double m[3][3] = {{2, 1, 0}, {0, 3, 1}, {1, 0, 4}};
  ASSERT_EQ(Inverse3(m, inv), kCurveOk);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      double s = 0;
      for (int k = 0; k < 3; ++k) s += m[i][k] * inv[k][j];
      EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-12);
    }
  double twin[3][3] = {{1, 2, 3}, {1, 2, 3}, {0, 1, 5}};
  EXPECT_EQ(Inverse3(twin, inv), kCurveSingular);

  double v[3] = {3, 4, 0}, z[3] = {0, 0, 0}, angle = 1.0;
  EXPECT_EQ(VNormalize(v), kCurveOk);
  EXPECT_DOUBLE_EQ(v[1], 0.8);
  EXPECT_EQ(VNormalize(z), kCurveZeroVector);
  EXPECT_EQ(VAngle(z, z, nullptr, angle), kCurveZeroVector);
  double ex[3] = {1, 0, 0}, ey[3] = {0, 1, 0};
  EXPECT_EQ(VAngle(ex, ey, nullptr, angle), kCurveOk);
  EXPECT_DOUBLE_EQ(angle, M_PI / 2);
  double q[3] = {2, 0, 0}, r[3] = {1, 1e-7, 0};
  EXPECT_TRUE(IsNearLine(z, q, r, 1e-6));
  r[1] = 1e-5;
  EXPECT_FALSE(IsNearLine(z, q, r, 1e-6));

  int st = -1;
  CLineCrossing line(z, ex, st);  // the x axis
  ASSERT_EQ(st, kCurveOk);
  double f, param;
  double p1[3] = {1, 1, 0}, p2[3] = {3, -3, 0}, p3[3] = {5, -1, 0};
  EXPECT_FALSE(line.Feed(p1, f, param));
  EXPECT_TRUE(line.Feed(p2, f, param));
  EXPECT_DOUBLE_EQ(f, 0.75);
  EXPECT_DOUBLE_EQ(param, 1.5);
  EXPECT_FALSE(line.Feed(p3, f, param));
  CLineCrossing dot(z, z, st);
  EXPECT_EQ(st, kCurveZeroVector);
}

}  // namespace
