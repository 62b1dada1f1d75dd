// Points, vectors and unit vectors: the three values all geometry of the
// kernel computes with, their operators, the comparison predicates and the
// kernel's tolerances.
#pragma once

#include <cmath>

// Tolerances, read on every call; a caller may change them.
extern double resabs;  // coincidence of points, zero lengths
extern double resnor;  // a vector shorter than this has no direction
extern double resmch;  // equality of matrix entries, determinants, scales
extern double resfit;  // fitting tolerance, for callers
extern long CURVEINSUM_RUBBER;  // pieces per span of a tessellated spline

constexpr double qm_pi = 3.141592653589793;
constexpr double two_pi = qm_pi + qm_pi;
constexpr double half_pi = qm_pi * 0.5;
constexpr double three_half_pi = qm_pi * 1.5;

// Three doubles with indexed access; the base of the three value types.
struct As_Xyz {
  double x_ = 0.0, y_ = 0.0, z_ = 0.0;

  constexpr As_Xyz() = default;
  constexpr As_Xyz(double x, double y, double z) : x_(x), y_(y), z_(z) {}

  double x() const { return x_; }
  double y() const { return y_; }
  double z() const { return z_; }
  double& x() { return x_; }
  double& y() { return y_; }
  double& z() { return z_; }
  void set_x(double v) { x_ = v; }
  void set_y(double v) { y_ = v; }
  void set_z(double v) { z_ = v; }

 protected:
  double at(int i) const { return i == 0 ? x_ : (i == 1 ? y_ : z_); }
  double& at(int i) { return i == 0 ? x_ : (i == 1 ? y_ : z_); }
};

class As_Pt : public As_Xyz {
 public:
  constexpr As_Pt() = default;
  constexpr As_Pt(double x, double y, double z) : As_Xyz(x, y, z) {}
  explicit As_Pt(const double c[3]) : As_Xyz(c[0], c[1], c[2]) {}

  double coordinate(int i) const { return at(i); }
  double& coordinate(int i) { return at(i); }
  void set_coordinate(int i, double v) { at(i) = v; }
};

class As_Uvec;

class As_Vec : public As_Xyz {
 public:
  constexpr As_Vec() = default;
  constexpr As_Vec(double x, double y, double z) : As_Xyz(x, y, z) {}
  explicit As_Vec(const double c[3]) : As_Xyz(c[0], c[1], c[2]) {}

  double component(int i) const { return at(i); }
  double& component(int i) { return at(i); }
  void set_component(int i, double v) { at(i) = v; }

  double len() const { return std::sqrt(len_sq()); }
  double len_sq() const { return x_ * x_ + y_ * y_ + z_ * z_; }
  // Largest absolute component and its index.
  double max_norm(int& index) const;
  bool is_zero(double tol) const;
  // The normal of the drawing plane, for every vector.
  As_Uvec orthogonal() const;
  // A vector perpendicular to this one (not normalised).
  As_Vec make_ortho() const;

  As_Vec& operator+=(const As_Vec& v) { x_ += v.x_; y_ += v.y_; z_ += v.z_; return *this; }
  As_Vec& operator-=(const As_Vec& v) { x_ -= v.x_; y_ -= v.y_; z_ -= v.z_; return *this; }
  As_Vec& operator*=(double s) { x_ *= s; y_ *= s; z_ *= s; return *this; }
  As_Vec& operator/=(double s) { x_ /= s; y_ /= s; z_ /= s; return *this; }
};

// A unit vector: the constructors normalise; a length below resnor gives (0, 0, 0).
class As_Uvec : public As_Xyz {
 public:
  constexpr As_Uvec() = default;
  As_Uvec(double x, double y, double z) { assign(x, y, z); }
  explicit As_Uvec(const double c[3]) { assign(c[0], c[1], c[2]); }

  // A unit vector whose components are taken as they are (already unit, or
  // the result of a transform that does not renormalise).
  static As_Uvec raw(double x, double y, double z) {
    As_Uvec u;
    u.x_ = x; u.y_ = y; u.z_ = z;
    return u;
  }
  operator As_Vec() const { return As_Vec(x_, y_, z_); }

 private:
  void assign(double x, double y, double z);
};

static_assert(sizeof(As_Pt) == 24 && sizeof(As_Vec) == 24 && sizeof(As_Uvec) == 24,
              "geometry values are three plain doubles");

extern const As_Pt unit_circle_pts[16];

inline As_Vec operator-(const As_Vec& v) { return As_Vec(-v.x(), -v.y(), -v.z()); }
inline As_Uvec operator-(const As_Uvec& u) { return As_Uvec::raw(-u.x(), -u.y(), -u.z()); }
inline As_Vec operator+(const As_Vec& a, const As_Vec& b) { return As_Vec(a.x() + b.x(), a.y() + b.y(), a.z() + b.z()); }
inline As_Vec operator-(const As_Vec& a, const As_Vec& b) { return As_Vec(a.x() - b.x(), a.y() - b.y(), a.z() - b.z()); }
inline As_Vec operator-(const As_Pt& a, const As_Pt& b) { return As_Vec(a.x() - b.x(), a.y() - b.y(), a.z() - b.z()); }
inline As_Vec operator*(double s, const As_Vec& v) { return As_Vec(s * v.x(), s * v.y(), s * v.z()); }
inline As_Vec operator*(const As_Vec& v, double s) { return As_Vec(v.x() * s, v.y() * s, v.z() * s); }
inline As_Vec operator/(const As_Vec& v, double s) { return As_Vec(v.x() / s, v.y() / s, v.z() / s); }
inline As_Pt operator*(const As_Pt& p, double s) { return As_Pt(p.x() * s, p.y() * s, p.z() * s); }
inline As_Pt operator+(const As_Pt& p, const As_Vec& v) { return As_Pt(p.x() + v.x(), p.y() + v.y(), p.z() + v.z()); }
inline As_Pt operator+(const As_Vec& v, const As_Pt& p) { return p + v; }
inline As_Pt operator-(const As_Pt& p, const As_Vec& v) { return As_Pt(p.x() - v.x(), p.y() - v.y(), p.z() - v.z()); }
inline As_Pt& operator+=(As_Pt& p, const As_Vec& v) { p.x() += v.x(); p.y() += v.y(); p.z() += v.z(); return p; }
inline As_Pt& operator-=(As_Pt& p, const As_Vec& v) { p.x() -= v.x(); p.y() -= v.y(); p.z() -= v.z(); return p; }

inline double dot3(const As_Xyz& a, const As_Xyz& b) { return a.x() * b.x() + a.y() * b.y() + a.z() * b.z(); }
inline double operator%(const As_Vec& a, const As_Vec& b) { return dot3(a, b); }
inline double operator%(const As_Pt& a, const As_Vec& b) { return dot3(a, b); }
inline double operator%(const As_Vec& a, const As_Pt& b) { return dot3(a, b); }
inline double operator%(const As_Pt& a, const As_Uvec& b) { return dot3(a, b); }
inline double operator%(const As_Uvec& a, const As_Pt& b) { return dot3(a, b); }
inline double operator%(const As_Uvec& a, const As_Vec& b) { return dot3(a, b); }
inline double operator%(const As_Vec& a, const As_Uvec& b) { return dot3(a, b); }
inline double operator%(const As_Uvec& a, const As_Uvec& b) { return dot3(a, b); }

inline As_Vec cross3(const As_Xyz& a, const As_Xyz& b) {
  return As_Vec(a.y() * b.z() - a.z() * b.y(), a.z() * b.x() - a.x() * b.z(), a.x() * b.y() - a.y() * b.x());
}
inline As_Vec operator*(const As_Vec& a, const As_Vec& b) { return cross3(a, b); }
inline As_Pt operator*(const As_Pt& p, const As_Uvec& u) { As_Vec c = cross3(p, u); return As_Pt(c.x(), c.y(), c.z()); }
inline As_Pt operator*(const As_Uvec& u, const As_Pt& p) { As_Vec c = cross3(u, p); return As_Pt(c.x(), c.y(), c.z()); }

As_Uvec normalise(const As_Vec& v);
As_Pt interpolate(double t, const As_Pt& a, const As_Pt& b);
bool same_point(const As_Pt& a, const As_Pt& b, double tol);
bool same_vector(const As_Vec& a, const As_Vec& b, double tol);

// Direction predicates; tol is the sine of the largest angle still accepted.
bool parallel(const As_Vec& a, const As_Vec& b, double tol);
bool parallel(const As_Uvec& a, const As_Vec& b, double tol);
bool parallel(const As_Uvec& a, const As_Uvec& b, double tol);
bool antiparallel(const As_Vec& a, const As_Vec& b, double tol);
bool antiparallel(const As_Uvec& a, const As_Vec& b, double tol);
bool antiparallel(const As_Uvec& a, const As_Uvec& b, double tol);
bool biparallel(const As_Vec& a, const As_Vec& b, double tol);
bool biparallel(const As_Uvec& a, const As_Vec& b, double tol);
bool biparallel(const As_Uvec& a, const As_Uvec& b, double tol);
bool perpendicular(const As_Vec& a, const As_Vec& b, double tol);
bool perpendicular(const As_Uvec& a, const As_Vec& b, double tol);
bool perpendicular(const As_Uvec& a, const As_Uvec& b, double tol);

inline bool is_zero_value(double x) { return -resabs < x && x < resabs; }
