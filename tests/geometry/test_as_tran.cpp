#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "geometry/as_tran.h"

namespace {

constexpr double kEps = 1e-12;
const double kNan = std::numeric_limits<double>::quiet_NaN();

void ExpectNear(const As_Xyz& a, const As_Xyz& b, double tol = kEps) {
  EXPECT_NEAR(a.x(), b.x(), tol);
  EXPECT_NEAR(a.y(), b.y(), tol);
  EXPECT_NEAR(a.z(), b.z(), tol);
}

matrix Rows(double a, double b, double c, double d, double e, double f, double g, double h, double i) {
  return matrix(As_Vec(a, b, c), As_Vec(d, e, f), As_Vec(g, h, i));
}

bool AllFinite(const As_Tran& t) {
  matrix m = t.affine();
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      if (!std::isfinite(m.element(r, c))) return false;
  As_Vec v = t.translation();
  return std::isfinite(t.scaling()) && std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z());
}

const As_Vec kZ(0, 0, 1);

}  // namespace

TEST(Matrix, RowAndColumnProductsDifferAndOutOfRangeIndicesReadZero) {
  matrix m = Rows(2, 0, 1, 1, 3, 2, 1, 1, 2);
  EXPECT_DOUBLE_EQ(m.determinant(), 6.0);
  EXPECT_DOUBLE_EQ(Rows(1, 2, 3, 4, 5, 6, 7, 8, 10).determinant(), -3.0);
  // Row form sums down the columns, column form along the rows.
  ExpectNear(As_Vec(1, 1, 1) * m, As_Vec(4, 4, 5));
  ExpectNear(m * As_Vec(1, 1, 1), As_Vec(3, 6, 4));
  ExpectNear(As_Pt(1, 0, 0) * m, As_Pt(2, 0, 1));
  ExpectNear(m * As_Pt(1, 0, 0), As_Pt(2, 1, 1));
  As_Vec v(0, 1, 0);
  v *= m;
  ExpectNear(v, As_Vec(1, 3, 2));
  ExpectNear(m.row(1), As_Vec(1, 3, 2));
  ExpectNear(m.column(1), As_Vec(0, 3, 1));
  ExpectNear(m.transpose().row(1), As_Vec(0, 3, 1));
  // A.B, and *= keeps the same order.
  matrix a = Rows(1, 2, 0, 0, 1, 0, 0, 0, 1), b = Rows(0, 1, 0, 1, 0, 0, 0, 0, 1);
  matrix ab = a * b;
  ExpectNear(ab.row(0), As_Vec(2, 1, 0));
  a *= b;
  EXPECT_TRUE(same_matrix(a, ab, 0.0));
  EXPECT_DOUBLE_EQ((2.0 * m).element(2, 0), 2.0);
  // Indices outside 0..2 read as zero and write nothing.
  EXPECT_EQ(m.element(3, 0), 0.0);
  m.set_element(-1, 0, 9.0);
  m.set_element(0, 3, 9.0);
  EXPECT_DOUBLE_EQ(m.determinant(), 6.0);
  EXPECT_EQ(matrix().determinant(), 0.0);
}

TEST(Matrix, InverseIsTrueInverse) {
  // Determinant 1 but not orthogonal: the transpose would be wrong.
  const matrix cases[] = {
      Rows(1, 1, 0, 0, 1, 0, 0, 0, 1),  Rows(2, 0, 1, 1, 3, 2, 1, 1, 2), Rows(1, 2, 3, 4, 5, 6, 7, 8, 10),
      scaling(1e-4, 3.0, 7.0),          rotation(0.7, As_Vec(1, 2, 3)),  reflection(As_Vec(1, -1, 2)),
      Rows(0, 2, 0, 0, 0, 3, 5, 0, 0),
  };
  for (const matrix& m : cases) {
    EXPECT_TRUE((m * m.inverse()).is_identity());
    EXPECT_TRUE((m.inverse() * m).is_identity());
  }
  matrix shear = Rows(1, 1, 0, 0, 1, 0, 0, 0, 1);
  EXPECT_TRUE(same_matrix(shear.inverse(), Rows(1, -1, 0, 0, 1, 0, 0, 0, 1), kEps));
}

TEST(Matrix, SingularInverseIsIdentity) {
  const matrix cases[] = {matrix(), Rows(1, 2, 3, 2, 4, 6, 0, 0, 1), scaling(1.0, 1.0, 0.0),
                          Rows(kNan, 0, 0, 0, 1, 0, 0, 0, 1), scaling(1e-200, 1e-200, 1e-200)};
  for (const matrix& m : cases) EXPECT_TRUE(m.inverse().is_identity());
}

TEST(Matrix, ComparisonUsesTheCombinedDistanceNotEachRow) {
  matrix m = scaling(1.0);
  EXPECT_TRUE(m.is_identity());
  m.set_element(0, 1, 0.5e-10);
  EXPECT_TRUE(m.is_identity());
  m.set_element(0, 1, 2e-10);
  EXPECT_FALSE(m.is_identity());
  EXPECT_TRUE(same_matrix(m, m, 0.0));
  // Each row passes 1e-6 alone; the combined distance does not.
  matrix a = scaling(1.0), b = Rows(1 + 8e-7, 0, 0, 0, 1 + 8e-7, 0, 0, 0, 1);
  EXPECT_FALSE(same_matrix(a, b, 1e-6));
  EXPECT_TRUE(same_matrix(a, b, 1.2e-6));
  EXPECT_FALSE(same_matrix(a, scaling(1.0, 1.0, 1.1), 0.05));
}

TEST(Matrix, BuiltMatricesScaleTurnReflectAndZeroAxesGiveIdentity) {
  EXPECT_TRUE(same_matrix(scaling(As_Vec(1, 2, 3)), Rows(1, 0, 0, 0, 2, 0, 0, 0, 3), 0.0));
  EXPECT_TRUE(same_matrix(scaling(1, 2, 3), scaling(As_Vec(1, 2, 3)), 0.0));
  ExpectNear(As_Vec(1, 0, 0) * rotation(half_pi, kZ), As_Vec(0, 1, 0));
  ExpectNear(As_Vec(0, 1, 0) * rotation(half_pi, As_Vec(2, 0, 0)), As_Vec(0, 0, 1));
  ExpectNear(As_Vec(0, 0, 1) * rotation(half_pi, As_Vec(0, 5, 0)), As_Vec(1, 0, 0));
  ExpectNear(As_Vec(3, 4, 5) * reflection(As_Vec(0, 2, 0)), As_Vec(3, -4, 5));
  // A zero axis or normal has no direction: nothing turns, nothing shrinks.
  EXPECT_TRUE(rotation(half_pi, As_Vec()).is_identity());
  EXPECT_TRUE(reflection(As_Vec()).is_identity());
}

TEST(AsTran, FlagsAndScalingDescribeWhatEachBuilderMakes) {
  struct Case {
    const char* name;
    As_Tran t;
    bool rotate, reflect, shear, identity;
    double scaling;
  };
  const double s14 = std::sqrt(14.0);
  const Case cases[] = {
      {"translate", translate_transf(As_Vec(1, 2, 0)), false, false, false, false, 1.0},
      {"translate zero", translate_transf(As_Vec()), false, false, false, true, 1.0},
      {"scale 2", scale_transf(2.0), false, false, false, false, 2.0},
      {"scale 1", scale_transf(1.0), false, false, false, true, 1.0},
      {"scale -1", scale_transf(-1.0), false, true, false, false, -1.0},
      {"scale 2,2,2", scale_transf(2, 2, 2), false, false, false, false, 2.0},
      {"scale 1,2,3", scale_transf(1, 2, 3), false, false, true, false, s14},
      {"scale -1,2,3", scale_transf(-1, 2, 3), false, true, true, false, s14},
      {"scale -1,-2,3", scale_transf(-1, -2, 3), false, false, true, false, s14},
      {"rotate 90", rotate_transf(half_pi, kZ), true, false, false, false, 1.0},
      {"rotate 0", rotate_transf(0.0, kZ), false, false, false, true, 1.0},
      {"rotate 2pi", rotate_transf(two_pi, kZ), true, false, false, false, 1.0},
      {"reflect x", reflect_transf(As_Vec(1, 0, 0)), false, true, false, false, 1.0},
      {"reflect xy", reflect_transf(As_Vec(1, 1, 0)), true, true, false, false, 1.0},
      {"axes at origin", coordinate_transf(As_Pt(), As_Uvec(1, 0, 0), As_Uvec(0, 1, 0)), false, false, false, true,
       1.0},
      {"axes moved", coordinate_transf(As_Pt(5, 6, 0), As_Uvec(1, 0, 0), As_Uvec(1, 1, 0)), false, false, false,
       false, 1.0},
      {"axes turned", coordinate_transf(As_Pt(), As_Uvec(0, 1, 0), As_Uvec(-1, 0, 0)), true, false, false, false,
       1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.t.rotate(), c.rotate);
    EXPECT_EQ(c.t.reflect(), c.reflect);
    EXPECT_EQ(c.t.shear(), c.shear);
    EXPECT_EQ(c.t.identity(), c.identity);
    EXPECT_DOUBLE_EQ(c.t.scaling(), c.scaling);
  }
  As_Tran nan = scale_transf(kNan);
  EXPECT_TRUE(nan.reflect());
  EXPECT_FALSE(nan.identity());
  EXPECT_TRUE(scale_transf(2, 2, 2) == scale_transf(2.0));
  EXPECT_TRUE(same_matrix(scale_transf(1, 2, 3).affine(), scaling(1 / s14, 2 / s14, 3 / s14), kEps));
}

TEST(AsTran, PointsTranslateVectorsDoNotAndNullTransformIsIdentity) {
  ExpectNear(As_Pt(1, 0, 0) * rotate_transf(half_pi, kZ), As_Pt(0, 1, 0));
  // Point: matrix, then scaling, then translation. Vector: no translation.
  // Unit vector: the matrix alone, not renormalised.
  As_Tran t = rotate_transf(half_pi, kZ) * scale_transf(2.0) * translate_transf(As_Vec(10, 20, 0));
  ExpectNear(As_Pt(1, 0, 0) * t, As_Pt(10, 22, 0));
  ExpectNear(As_Vec(1, 0, 0) * t, As_Vec(0, 2, 0));
  ExpectNear(As_Uvec(1, 0, 0) * t, As_Vec(0, 1, 0));
  As_Tran squash = scale_transf(1, 2, 3);
  As_Uvec u = As_Uvec(0, 0, 1) * squash;
  EXPECT_NEAR(u.z(), 3 / std::sqrt(14.0), kEps);
  // In place, and through a pointer (null is the identity).
  As_Pt p(1, 0, 0);
  p *= t;
  ExpectNear(p, As_Pt(10, 22, 0));
  As_Vec v(1, 0, 0);
  v *= t;
  ExpectNear(v, As_Vec(0, 2, 0));
  As_Uvec w(1, 0, 0);
  w *= t;
  ExpectNear(w, As_Vec(0, 1, 0));
  const As_Tran* none = nullptr;
  ExpectNear(As_Pt(1, 2, 3) * none, As_Pt(1, 2, 3), 0.0);
  ExpectNear(As_Vec(1, 2, 3) * none, As_Vec(1, 2, 3), 0.0);
  ExpectNear(As_Uvec(1, 0, 0) * none, As_Vec(1, 0, 0), 0.0);
  ExpectNear(As_Pt(1, 0, 0) * &t, As_Pt(10, 22, 0));
  // matrix *= T multiplies by the affine and then by the scaling.
  matrix m = scaling(1.0);
  m *= t;
  ExpectNear(As_Vec(1, 0, 0) * m, As_Vec(0, 2, 0));
  m *= As_Tran();
  ExpectNear(As_Vec(1, 0, 0) * m, As_Vec(0, 2, 0));
}

TEST(AsTran, CompositionAppliesLeftFirst) {
  As_Tran move = translate_transf(As_Vec(1, 0, 0)), turn = rotate_transf(half_pi, kZ);
  ExpectNear(As_Pt() * (move * turn), As_Pt(0, 1, 0));
  ExpectNear(As_Pt() * (turn * move), As_Pt(1, 0, 0));
  As_Tran t = move;
  t *= turn;
  ExpectNear(As_Pt() * t, As_Pt(0, 1, 0));
  // Translation of A carried through B: (A.t x B.M) * B.s + B.t.
  As_Tran ab = translate_transf(As_Vec(1, 2, 0)) * (scale_transf(3.0) * translate_transf(As_Vec(0, 0, 5)));
  ExpectNear(ab.translation(), As_Vec(3, 6, 5));
  // Composition agrees with applying one after the other.
  const As_Tran parts[] = {rotate_transf(0.3, As_Vec(1, 2, 3)), scale_transf(1, 2, 3),
                           translate_transf(As_Vec(4, -5, 6)), reflect_transf(As_Vec(1, 1, 0)), scale_transf(-0.5)};
  As_Tran all;
  As_Pt p(0.25, -1.5, 2.0), q = p;
  for (const As_Tran& part : parts) {
    all *= part;
    q = q * part;
  }
  ExpectNear(p * all, q, 1e-12);
  EXPECT_TRUE(all.rotate());
  EXPECT_TRUE(all.shear());
  // Two mirrorings cancel: reflect bits combine by exclusive or.
  EXPECT_FALSE(all.reflect());
  EXPECT_TRUE((scale_transf(-1.0) * reflect_transf(As_Vec(0, 1, 0))).reflect() == false);
  As_Tran twice = scale_transf(-1.0) * scale_transf(-1.0);
  EXPECT_FALSE(twice.reflect());
  EXPECT_EQ(twice.scaling(), 1.0);
  EXPECT_TRUE(twice.identity());
  // Null and identity operands.
  const As_Tran* none = nullptr;
  EXPECT_TRUE((move * none) == move);
  EXPECT_TRUE((As_Tran() * none).identity());
  EXPECT_TRUE((As_Tran() * move) == move);
  EXPECT_TRUE((move * As_Tran()) == move);
  EXPECT_TRUE((translate_transf(As_Vec(1, 2, 3)) * translate_transf(As_Vec(-1, -2, -3))).identity());
}

TEST(AsTran, IdentityBitInvariant) {
  // The full constructor sets the bit from the fields; the kind flags keep
  // their given values.
  As_Tran t(scaling(1.0), As_Vec(), 1.0, true, true, true);
  EXPECT_TRUE(t.identity());
  EXPECT_TRUE(t.rotate() && t.reflect() && t.shear());
  EXPECT_FALSE(As_Tran(scaling(1.0), As_Vec(0, 0, 1e-300), 1.0, false, false, false).identity());
  EXPECT_FALSE(As_Tran(scaling(1.0), As_Vec(), 1.0 + 1e-16 * 2, false, false, false).identity());
  EXPECT_TRUE(restore_transf(scaling(1.0), As_Vec(), 1.0, true, false, false).identity());
  // A copy of an identity is the default; assignment copies every flag.
  As_Tran copy(t);
  EXPECT_TRUE(copy.identity());
  EXPECT_FALSE(copy.rotate() || copy.reflect() || copy.shear());
  As_Tran assigned;
  assigned = t;
  EXPECT_TRUE(assigned.rotate() && assigned.reflect() && assigned.shear());
  // Equality compares fields only.
  EXPECT_TRUE(t == As_Tran());
  EXPECT_TRUE(As_Tran(scaling(2.0), As_Vec(), 1, true, false, false) ==
              As_Tran(scaling(2.0), As_Vec(), 1, false, true, true));
  EXPECT_TRUE(scale_transf(2.0) != scale_transf(3.0));
  EXPECT_TRUE(translate_transf(As_Vec(1, 0, 0)) != translate_transf(As_Vec(0, 1, 0)));
  EXPECT_TRUE(rotate_transf(0.1, kZ) != rotate_transf(0.2, kZ));
  // The accessors of the default.
  EXPECT_TRUE(As_Tran().affine().is_identity());
  ExpectNear(As_Tran().translation(), As_Vec(), 0.0);
  EXPECT_EQ(As_Tran().scaling(), 1.0);
}

TEST(AsTran, InverseRoundTrips) {
  struct Case {
    const char* name;
    As_Tran t;
  };
  // Rotating about (1,1,1) by 120 degrees permutes the axes; the inverse of an
  // unequally scaled permutation has a zero diagonal.
  const As_Tran perm = rotate_transf(two_pi / 3, As_Vec(1, 1, 1));
  const Case cases[] = {
      {"translate", translate_transf(As_Vec(3, -4, 1))},
      {"rotate", rotate_transf(0.8, kZ)},
      {"rotate skew axis", rotate_transf(2.0, As_Vec(1, -2, 0.5))},
      {"scale", scale_transf(0.25)},
      {"scale negative", scale_transf(-3.0)},
      {"reflect", reflect_transf(As_Vec(1, 1, 0))},
      {"axes", coordinate_transf(As_Pt(5, 6, 0), As_Uvec(1, 1, 0), As_Uvec(-1, 2, 0))},
      {"view", scale_transf(1, -1, 1) * scale_transf(40.0) * translate_transf(As_Vec(320, 240, 0))},
      {"non-uniform", scale_transf(1, 2, 3)},
      {"non-uniform turned moved",
       rotate_transf(0.4, kZ) * scale_transf(2, 0.5, 1) * translate_transf(As_Vec(7, 8, 9)) * scale_transf(3.0)},
      {"sheared by composition", scale_transf(1, 3, 1) * rotate_transf(0.6, kZ) * scale_transf(4, 1, 1)},
      {"permuted", scale_transf(1, 2, 3) * perm * translate_transf(As_Vec(1, 1, 1))},
      {"zero diagonal", As_Tran(Rows(0, 2, 0, 0, 0, 3, 1, 0, 0), As_Vec(1, 1, 1), 1.5, false, false, true)},
  };
  const As_Pt pts[] = {As_Pt(), As_Pt(1, 2, 3), As_Pt(-7.5, 0.25, 0), As_Pt(1000, -2000, 0)};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    As_Tran inv = c.t.inverse();
    EXPECT_TRUE(AllFinite(inv));
    EXPECT_EQ(inv.shear(), c.t.shear());
    EXPECT_EQ(inv.reflect(), c.t.reflect());
    for (const As_Pt& p : pts) {
      double tol = 1e-9 * (1 + std::fabs(p.x()) + std::fabs(p.y()));
      ExpectNear(p * c.t * inv, p, tol);
      ExpectNear(p * inv * c.t, p, tol);
      ExpectNear(p * (c.t * inv), p, tol);
    }
  }
  // Worked value: the unequal scale (1,2,3) sends (1,2,3) back to (1,1,1).
  ExpectNear(As_Pt(1, 2, 3) * scale_transf(1, 2, 3).inverse(), As_Pt(1, 1, 1));
  // The reciprocal scaling of a view: drawing units per pixel.
  EXPECT_DOUBLE_EQ((scale_transf(40.0) * translate_transf(As_Vec(5, 5, 0))).inverse().scaling(), 1.0 / 40);
  EXPECT_TRUE(As_Tran().inverse().identity());
}

TEST(AsTran, InverseOfCollapseIsIdentity) {
  const As_Tran cases[] = {
      scale_transf(0.0),
      scale_transf(1, 1, 0) * translate_transf(As_Vec(1, 2, 0)),
      As_Tran(matrix(), As_Vec(1, 0, 0), 1.0, false, false, false),
      As_Tran(matrix(), As_Vec(1, 0, 0), 1.0, false, false, true),
      scale_transf(kNan),
      As_Tran(scaling(1.0), As_Vec(), 1e-320, false, false, false),
  };
  for (const As_Tran& t : cases) EXPECT_TRUE(t.inverse().identity());
}
