// Curves for the query tests: NURBS made from plain lists, and a straight
// line and a circle that report Kind 0 and 2 with their line and circle data
// (or Kind 7, to take the general path on the same shape).
#pragma once

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "geometry/curves/nurbs.h"

namespace curves_test {

constexpr double kPi = 3.141592653589793;
using Pts = std::vector<std::array<double, 3>>;

// Stored knots, Euclidean control points and optional weights.
inline std::unique_ptr<CNURBS> MakeNurbs(int degree, std::vector<double> knots, double period, const Pts& pts,
                                         std::vector<double> weights = {}) {
  int st = 0;
  CKnotVector* kv = new CKnotVector(degree, 0, st);
  for (double k : knots) kv->Append(k);
  kv->SetPeriod(period);
  CPointArray* pa = new CPointArray();
  for (size_t i = 0; i < pts.size(); ++i) {
    double w = weights.empty() ? 1.0 : weights[i];
    double h[3] = {pts[i][0] * w, pts[i][1] * w, pts[i][2] * w};
    pa->Append(h);
  }
  std::unique_ptr<CNURBS> c;
  if (weights.empty()) {
    c = std::make_unique<CNURBS>(kv, pa, st);
  } else {
    CDoubleArray* wa = new CDoubleArray();
    for (double w : weights) wa->Append(w);
    c = std::make_unique<CNURBS>(kv, pa, wa, st);
  }
  return st == 0 ? std::move(c) : nullptr;
}

// The rational quadratic circle of radius r about (cx, cy), counter-clockwise
// from (cx + r, cy), parameter 0 .. 1.
inline std::unique_ptr<CNURBS> NurbsCircle(double cx, double cy, double r) {
  const double h = std::sqrt(0.5);
  Pts p = {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {-1, 1, 0}, {-1, 0, 0}, {-1, -1, 0}, {0, -1, 0}, {1, -1, 0}, {1, 0, 0}};
  for (auto& q : p) q = {cx + r * q[0], cy + r * q[1], 0.0};
  return MakeNurbs(2, {0, 0, 0, 0.25, 0.25, 0.5, 0.5, 0.75, 0.75}, 1.0, p, {1, h, 1, h, 1, h, 1, h, 1});
}

// A straight segment of degree 1 from p to q over [0, 1].
inline std::unique_ptr<CNURBS> NurbsLine(std::array<double, 3> p, std::array<double, 3> q) {
  return MakeNurbs(1, {0, 0}, 1.0, {p, q});
}

// A curve whose point and tangent come from its derivatives.
class DerivedCurve : public CCurve {
 public:
  int PointAndTangent(double t, double p[3], double d[3]) const override {
    double o[2][3];
    int st = Derivatives(t, 1, o);
    for (int i = 0; i < 3 && st == 0; ++i) {
      p[i] = o[0][i];
      d[i] = o[1][i];
    }
    return st;
  }
};

// P(t) = p + t d over [a, b].
class TestLine : public DerivedCurve {
 public:
  TestLine(std::array<double, 3> p, std::array<double, 3> d, double a, double b, int kind = 0)
      : p_(p), d_(d), a_(a), b_(b), kind_(kind) {}
  CCurve* Clone() const override { return new TestLine(*this); }
  double StartParam() const override { return a_; }
  double EndParam() const override { return b_; }
  double Period() const override { return 0.0; }
  int Kind() const override { return kind_; }
  int Evaluate(double t, double out[3]) const override {
    for (int i = 0; i < 3; ++i) out[i] = p_[i] + t * d_[i];
    return 0;
  }
  int Derivatives(double t, int order, double (*out)[3]) const override {
    if (order > 2) return -1;
    Evaluate(t, out[0]);
    for (int k = 1; k <= order; ++k)
      for (int i = 0; i < 3; ++i) out[k][i] = k == 1 ? d_[i] : 0.0;
    return 0;
  }
  int LineData(double point[3], double dir[3]) const override {
    if (kind_ != 0) return -1;
    for (int i = 0; i < 3; ++i) {
      point[i] = p_[i];
      dir[i] = d_[i];
    }
    return 0;
  }

 private:
  std::array<double, 3> p_, d_;
  double a_, b_;
  int kind_;
};

// P(t) = c + u cos t + v sin t over [a, b]; periodic when b - a is a turn.
class TestCircle : public DerivedCurve {
 public:
  TestCircle(std::array<double, 3> c, std::array<double, 3> u, std::array<double, 3> v, double a, double b,
             int kind = 2)
      : c_(c), u_(u), v_(v), a_(a), b_(b), kind_(kind) {}
  CCurve* Clone() const override { return new TestCircle(*this); }
  double StartParam() const override { return a_; }
  double EndParam() const override { return b_; }
  double Period() const override { return std::fabs(b_ - a_ - 2 * kPi) < 1e-12 ? 2 * kPi : 0.0; }
  int Kind() const override { return kind_; }
  int Evaluate(double t, double out[3]) const override {
    double d[1][3];
    return Derivatives(t, 0, d) == 0 ? (out[0] = d[0][0], out[1] = d[0][1], out[2] = d[0][2], 0) : -1;
  }
  int Derivatives(double t, int order, double (*out)[3]) const override {
    if (order > 2) return -1;
    const double c = std::cos(t), s = std::sin(t);
    for (int i = 0; i < 3; ++i) {
      out[0][i] = c_[i] + u_[i] * c + v_[i] * s;
      if (order >= 1) out[1][i] = -u_[i] * s + v_[i] * c;
      if (order >= 2) out[2][i] = -u_[i] * c - v_[i] * s;
    }
    return 0;
  }
  int CircleData(double centre[3], double u[3], double v[3]) const override {
    if (kind_ != 2) return -1;
    for (int i = 0; i < 3; ++i) {
      centre[i] = c_[i];
      u[i] = u_[i];
      v[i] = v_[i];
    }
    return 0;
  }

 private:
  std::array<double, 3> c_, u_, v_;
  double a_, b_;
  int kind_;
};

// A full counter-clockwise circle starting at angle phi.
inline TestCircle Circle(double cx, double cy, double r, double phi = 0.0, int kind = 2) {
  return TestCircle({cx, cy, 0}, {r * std::cos(phi), r * std::sin(phi), 0}, {-r * std::sin(phi), r * std::cos(phi), 0},
                    0.0, 2 * kPi, kind);
}

inline double Dist(const double a[3], const double b[3]) {
  return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

}  // namespace curves_test
