#include "geometry/as_tran.h"

#include <cmath>

namespace {

// A determinant that can be divided by: finite, non-zero, with a finite
// reciprocal.
bool usable_divisor(double d) { return std::isfinite(d) && d != 0.0 && std::isfinite(1.0 / d); }

// The adjugate of m over its determinant; false (out untouched) when m is
// singular.
bool invert(const matrix& m, matrix& out) {
  double det = m.determinant();
  if (!usable_divisor(det)) return false;
  auto e = [&m](int r, int c) { return m.element(r, c); };
  // Transposed cofactors: entry [i][j] is the cofactor of [j][i].
  double adj[3][3] = {
      {e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1), e(0, 2) * e(2, 1) - e(0, 1) * e(2, 2),
       e(0, 1) * e(1, 2) - e(0, 2) * e(1, 1)},
      {e(1, 2) * e(2, 0) - e(1, 0) * e(2, 2), e(0, 0) * e(2, 2) - e(0, 2) * e(2, 0),
       e(0, 2) * e(1, 0) - e(0, 0) * e(1, 2)},
      {e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0), e(0, 1) * e(2, 0) - e(0, 0) * e(2, 1),
       e(0, 0) * e(1, 1) - e(0, 1) * e(1, 0)},
  };
  double inv = 1.0 / det;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) out.set_element(i, j, adj[i][j] * inv);
  return true;
}

matrix diagonal(double a, double b, double c) { return matrix(As_Vec(a, 0, 0), As_Vec(0, b, 0), As_Vec(0, 0, c)); }

const matrix& identity_matrix() {
  static const matrix m = diagonal(1.0, 1.0, 1.0);
  return m;
}

}  // namespace

// ---- matrix ----

matrix::matrix(const As_Vec& r0, const As_Vec& r1, const As_Vec& r2) {
  const As_Vec* rows[3] = {&r0, &r1, &r2};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m_[i][j] = rows[i]->component(j);
}

void matrix::zero() {
  for (auto& r : m_)
    for (double& v : r) v = 0.0;
}

As_Vec matrix::row(int i) const { return As_Vec(element(i, 0), element(i, 1), element(i, 2)); }
As_Vec matrix::column(int i) const { return As_Vec(element(0, i), element(1, i), element(2, i)); }

matrix matrix::transpose() const { return matrix(column(0), column(1), column(2)); }

double matrix::determinant() const {
  const auto& m = m_;
  return m[0][0] * (m[1][1] * m[2][2] - m[2][1] * m[1][2]) - m[1][0] * (m[0][1] * m[2][2] - m[2][1] * m[0][2]) +
         m[2][0] * (m[0][1] * m[1][2] - m[1][1] * m[0][2]);
}

matrix matrix::inverse() const {
  matrix out;
  if (!invert(*this, out)) return identity_matrix();
  return out;
}

bool matrix::is_identity() const {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (std::fabs(m_[i][j] - (i == j ? 1.0 : 0.0)) > resmch) return false;
  return true;
}

matrix operator*(const matrix& a, const matrix& b) {
  // Row i of a.b is row i of a taken as a row vector times b.
  return matrix(times_row(a.row(0), b), times_row(a.row(1), b), times_row(a.row(2), b));
}

matrix operator*(double s, const matrix& m) {
  matrix r = m;
  return r *= s;
}

matrix& matrix::operator*=(const matrix& b) { return *this = *this * b; }

matrix& matrix::operator*=(double s) {
  for (auto& r : m_)
    for (double& v : r) v *= s;
  return *this;
}

matrix& matrix::operator*=(const As_Tran& t) {
  if (t.identity()) return *this;
  *this *= t.affine_;
  return *this *= t.scaling_;
}

matrix scaling(double s) { return diagonal(s, s, s); }
matrix scaling(const As_Vec& v) { return diagonal(v.x(), v.y(), v.z()); }
matrix scaling(double x, double y, double z) { return diagonal(x, y, z); }

matrix rotation(double angle, const As_Vec& axis) {
  As_Uvec u = normalise(axis);
  if (u.x() == 0.0 && u.y() == 0.0 && u.z() == 0.0) return identity_matrix();
  double c = std::cos(angle), s = std::sin(angle);
  double uc[3] = {u.x(), u.y(), u.z()};
  matrix m;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m.set_element(i, j, (1.0 - c) * uc[i] * uc[j] + (i == j ? c : 0.0));
  auto add = [&m](int r, int col, double v) { m.set_element(r, col, m.element(r, col) + v); };
  add(1, 2, s * uc[0]);
  add(2, 1, -s * uc[0]);
  add(2, 0, s * uc[1]);
  add(0, 2, -s * uc[1]);
  add(0, 1, s * uc[2]);
  add(1, 0, -s * uc[2]);
  return m;
}

matrix reflection(const As_Vec& normal) {
  As_Uvec u = normalise(normal);
  double uc[3] = {u.x(), u.y(), u.z()};
  matrix m;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m.set_element(i, j, (i == j ? 1.0 : 0.0) - 2.0 * uc[i] * uc[j]);
  return m;
}

bool same_matrix(const matrix& a, const matrix& b, double tol) {
  double d[3];
  for (int r = 0; r < 3; ++r) {
    d[r] = (a.row(r) - b.row(r)).len();
    if (d[r] > tol) return false;
  }
  return d[0] * d[0] + d[1] * d[1] + d[2] * d[2] <= tol * tol;
}

// ---- As_Tran ----

As_Tran::As_Tran() : affine_(identity_matrix()) {}

As_Tran::As_Tran(const As_Tran& t) : As_Tran() {
  if (!t.identity()) *this = t;
}

As_Tran::As_Tran(const matrix& affine, const As_Vec& translation, double scaling, bool rotate, bool reflect,
                 bool shear)
    : affine_(affine),
      translation_(translation),
      scaling_(scaling),
      flags_(static_cast<uint8_t>((rotate ? kRotate : 0) | (reflect ? kReflect : 0) | (shear ? kShear : 0))) {
  set_identity_bit();
}

void As_Tran::set_identity_bit() {
  flags_ = static_cast<uint8_t>(flags_ & ~kIdentity);
  if (*this == As_Tran()) flags_ |= kIdentity;
}

matrix As_Tran::affine() const { return identity() ? identity_matrix() : affine_; }
As_Vec As_Tran::translation() const { return identity() ? As_Vec() : translation_; }

bool As_Tran::operator==(const As_Tran& t) const {
  if (scaling_ != t.scaling_) return false;
  if (translation_.x() != t.translation_.x() || translation_.y() != t.translation_.y() ||
      translation_.z() != t.translation_.z())
    return false;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (affine_.element(i, j) != t.affine_.element(i, j)) return false;
  return true;
}

As_Tran operator*(const As_Tran& a, const As_Tran& b) {
  if (a.identity()) return b;  // the copy turns an identity b into the default
  if (b.identity()) return a;
  As_Vec t = times_row(a.translation_, b.affine_) * b.scaling_ + b.translation_;
  As_Tran r(a.affine_ * b.affine_, t, a.scaling_ * b.scaling_, a.rotate() || b.rotate(), a.reflect() != b.reflect(),
            a.shear() || b.shear());
  return r;
}

As_Tran operator*(const As_Tran& a, const As_Tran* b) { return b ? a * *b : a * As_Tran(); }

As_Tran& As_Tran::operator*=(const As_Tran& b) {
  if (!b.identity()) *this = *this * b;
  return *this;
}

As_Tran As_Tran::inverse() const {
  if (identity()) return scale_transf(1.0);
  // Nothing sensible undoes a collapse to a point or a plane.
  if (!usable_divisor(scaling_)) return As_Tran();
  matrix m;
  if (!invert(affine_, m)) return As_Tran();
  if (!shear()) {
    // Orthonormal: the transpose is the exact inverse.
    As_Tran back(affine_.transpose(), As_Vec(), 1.0 / scaling_, rotate(), reflect(), shear());
    return translate_transf(-translation_) * back;
  }
  // Keep the matrix near unit size and move the magnitude into the scaling.
  double n = std::sqrt(m.element(0, 0) * m.element(0, 0) + m.element(2, 2) * m.element(2, 2) +
                       m.element(1, 1) * m.element(1, 1));
  if (!usable_divisor(n)) {
    // A zero diagonal (an axis permutation): use the whole matrix's size.
    double f = 0.0;
    for (int r = 0; r < 3; ++r) f += m.row(r).len_sq();
    n = std::sqrt(f);
  }
  m *= 1.0 / n;
  double s = n / scaling_;
  return As_Tran(m, -(times_row(translation_, m) * s), s, rotate(), reflect(), shear());
}

// ---- builders ----

As_Tran translate_transf(const As_Vec& v) { return As_Tran(identity_matrix(), v, 1.0, false, false, false); }

As_Tran scale_transf(double s) { return As_Tran(identity_matrix(), As_Vec(), s, false, !(s >= 0.0), false); }

As_Tran scale_transf(double x, double y, double z) {
  if (std::fabs(x - y) < resmch && std::fabs(y - z) < resmch) return scale_transf(x);
  double len = std::sqrt(x * x + y * y + z * z);
  return As_Tran(diagonal(x / len, y / len, z / len), As_Vec(), len, false, x * y * z < 0.0, true);
}

As_Tran rotate_transf(double angle, const As_Vec& axis) {
  return As_Tran(rotation(angle, axis), As_Vec(), 1.0, angle != 0.0, false, false);
}

As_Tran reflect_transf(const As_Vec& normal) {
  int nonzero = (normal.x() != 0.0) + (normal.y() != 0.0) + (normal.z() != 0.0);
  return As_Tran(reflection(normal), As_Vec(), 1.0, nonzero >= 2, true, false);
}

As_Tran coordinate_transf(const As_Pt& origin, const As_Uvec& x_dir, const As_Uvec& y_dir) {
  As_Vec x = x_dir;
  As_Uvec y = normalise(As_Vec(y_dir) - (y_dir % x_dir) * x);
  As_Vec yv = y;
  bool turned = !same_point(As_Pt(x.x(), x.y(), x.z()), As_Pt(1, 0, 0), resabs) ||
                !same_point(As_Pt(yv.x(), yv.y(), yv.z()), As_Pt(0, 1, 0), resabs);
  return As_Tran(matrix(x, yv, x * yv), As_Vec(origin.x(), origin.y(), origin.z()), 1.0, turned, false, false);
}

As_Tran restore_transf(const matrix& affine, const As_Vec& translation, double scaling, bool rotate, bool reflect,
                       bool shear) {
  return As_Tran(affine, translation, scaling, rotate, reflect, shear);
}
