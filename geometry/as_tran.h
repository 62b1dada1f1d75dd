// 3x3 matrices and the kernel's affine transform.
//
// Points are row vectors: As_Tran maps p to (p x affine) * scaling +
// translation, and A * B applies A first. A flag byte records what kind of
// transform it is; its identity bit is set exactly when the transform equals
// the default one, so the frequent identity case skips all arithmetic. The
// application operators are inline because they run once per drawn point.
#pragma once

#include <cstdint>

#include "geometry/as_pt.h"

class As_Tran;

// Nine doubles, row-major. Indices outside 0..2 read as 0 and write nothing.
class matrix {
 public:
  matrix() { zero(); }
  matrix(const As_Vec& r0, const As_Vec& r1, const As_Vec& r2);

  double element(int row, int col) const { return valid(row, col) ? m_[row][col] : 0.0; }
  void set_element(int row, int col, double v) {
    if (valid(row, col)) m_[row][col] = v;
  }
  As_Vec row(int i) const;
  As_Vec column(int i) const;

  matrix transpose() const;
  double determinant() const;
  // The true inverse; a singular matrix gives the identity.
  matrix inverse() const;
  // Within resmch of the identity, entry by entry.
  bool is_identity() const;

  matrix& operator*=(const matrix& b);
  matrix& operator*=(double s);
  // this = this x T.affine, then every entry times T.scaling.
  matrix& operator*=(const As_Tran& t);

  friend matrix operator*(const matrix& a, const matrix& b);
  friend matrix operator*(double s, const matrix& m);
  friend As_Vec times_row(const As_Xyz& v, const matrix& m);
  friend As_Vec times_column(const matrix& m, const As_Xyz& v);

 private:
  static bool valid(int r, int c) { return r >= 0 && r < 3 && c >= 0 && c < 3; }
  void zero();

  double m_[3][3];
};

// v x m, v taken as a row: result i = sum over k of v_k * m[k][i].
inline As_Vec times_row(const As_Xyz& v, const matrix& m) {
  const double x = v.x(), y = v.y(), z = v.z();
  return As_Vec(x * m.m_[0][0] + y * m.m_[1][0] + z * m.m_[2][0],
                x * m.m_[0][1] + y * m.m_[1][1] + z * m.m_[2][1],
                x * m.m_[0][2] + y * m.m_[1][2] + z * m.m_[2][2]);
}

// m x v, v taken as a column: result i = row i . v.
inline As_Vec times_column(const matrix& m, const As_Xyz& v) {
  const double x = v.x(), y = v.y(), z = v.z();
  return As_Vec(m.m_[0][0] * x + m.m_[0][1] * y + m.m_[0][2] * z,
                m.m_[1][0] * x + m.m_[1][1] * y + m.m_[1][2] * z,
                m.m_[2][0] * x + m.m_[2][1] * y + m.m_[2][2] * z);
}

matrix operator*(const matrix& a, const matrix& b);
matrix operator*(double s, const matrix& m);

inline As_Vec operator*(const matrix& m, const As_Vec& v) { return times_column(m, v); }
inline As_Pt operator*(const matrix& m, const As_Pt& p) {
  As_Vec r = times_column(m, p);
  return As_Pt(r.x(), r.y(), r.z());
}
inline As_Vec operator*(const As_Vec& v, const matrix& m) { return times_row(v, m); }
inline As_Pt operator*(const As_Pt& p, const matrix& m) {
  As_Vec r = times_row(p, m);
  return As_Pt(r.x(), r.y(), r.z());
}
inline As_Vec& operator*=(As_Vec& v, const matrix& m) { return v = times_row(v, m); }
inline As_Pt& operator*=(As_Pt& p, const matrix& m) { return p = p * m; }

// Builders.
matrix scaling(double s);
matrix scaling(const As_Vec& v);
matrix scaling(double x, double y, double z);
// A positive angle about (0, 0, 1) turns (1, 0, 0) towards (0, 1, 0). A zero
// axis has no direction and gives the identity.
matrix rotation(double angle, const As_Vec& axis);
// Mirror in the plane through the origin with this normal.
matrix reflection(const As_Vec& normal);

bool same_matrix(const matrix& a, const matrix& b, double tol);

class As_Tran {
 public:
  As_Tran();
  // A source with the identity bit set is copied as the default identity.
  As_Tran(const As_Tran& t);
  As_Tran& operator=(const As_Tran& t) = default;
  // Stores the fields and flags, then sets the identity bit when the fields
  // equal those of the default transform.
  As_Tran(const matrix& affine, const As_Vec& translation, double scaling, bool rotate, bool reflect,
          bool shear);

  matrix affine() const;
  As_Vec translation() const;
  double scaling() const { return scaling_; }
  bool rotate() const { return (flags_ & kRotate) != 0; }
  bool reflect() const { return (flags_ & kReflect) != 0; }
  bool shear() const { return (flags_ & kShear) != 0; }
  bool identity() const { return (flags_ & kIdentity) != 0; }

  // Exact comparison of scaling, translation and matrix; flags are ignored.
  bool operator==(const As_Tran& t) const;
  bool operator!=(const As_Tran& t) const { return !(*this == t); }

  As_Tran& operator*=(const As_Tran& b);
  // A singular matrix or a zero scaling gives the identity.
  As_Tran inverse() const;

  friend As_Pt operator*(const As_Pt& p, const As_Tran& t);
  friend As_Vec operator*(const As_Vec& v, const As_Tran& t);
  friend As_Uvec operator*(const As_Uvec& u, const As_Tran& t);
  friend As_Tran operator*(const As_Tran& a, const As_Tran& b);
  friend matrix& matrix::operator*=(const As_Tran& t);

 private:
  // Each kind flag holds 0 or 1 in its two-bit field.
  static constexpr uint8_t kRotate = 0x01;
  static constexpr uint8_t kReflect = 0x04;
  static constexpr uint8_t kShear = 0x10;
  static constexpr uint8_t kIdentity = 0x40;

  void set_identity_bit();

  matrix affine_;
  As_Vec translation_;
  double scaling_ = 1.0;
  uint8_t flags_ = kIdentity;
};

inline As_Pt operator*(const As_Pt& p, const As_Tran& t) {
  if (t.identity()) return p;
  const As_Vec r = times_row(p, t.affine_);
  const double s = t.scaling_;
  return As_Pt(r.x() * s + t.translation_.x(), r.y() * s + t.translation_.y(), r.z() * s + t.translation_.z());
}

inline As_Vec operator*(const As_Vec& v, const As_Tran& t) {
  if (t.identity()) return v;
  return times_row(v, t.affine_) * t.scaling_;
}

// The matrix alone: no scaling, no translation, not renormalised.
inline As_Uvec operator*(const As_Uvec& u, const As_Tran& t) {
  if (t.identity()) return u;
  const As_Vec r = times_row(u, t.affine_);
  return As_Uvec::raw(r.x(), r.y(), r.z());
}

// A null transform is the identity.
inline As_Pt operator*(const As_Pt& p, const As_Tran* t) { return t ? p * *t : p; }
inline As_Vec operator*(const As_Vec& v, const As_Tran* t) { return t ? v * *t : v; }
inline As_Uvec operator*(const As_Uvec& u, const As_Tran* t) { return t ? u * *t : u; }

inline As_Pt& operator*=(As_Pt& p, const As_Tran& t) { return p = p * t; }
inline As_Vec& operator*=(As_Vec& v, const As_Tran& t) { return v = v * t; }
inline As_Uvec& operator*=(As_Uvec& u, const As_Tran& t) { return u = u * t; }

// Composition: a first, then b.
As_Tran operator*(const As_Tran& a, const As_Tran& b);
As_Tran operator*(const As_Tran& a, const As_Tran* b);

// Builders.
As_Tran translate_transf(const As_Vec& v);
As_Tran scale_transf(double s);
As_Tran scale_transf(double x, double y, double z);
As_Tran rotate_transf(double angle, const As_Vec& axis);
As_Tran reflect_transf(const As_Vec& normal);
// Maps local coordinates (along x_dir, the part of y_dir perpendicular to it
// and their normal, from origin) to drawing coordinates.
As_Tran coordinate_transf(const As_Pt& origin, const As_Uvec& x_dir, const As_Uvec& y_dir);
// The transform the full constructor builds from the same fields.
As_Tran restore_transf(const matrix& affine, const As_Vec& translation, double scaling, bool rotate, bool reflect,
                       bool shear);
