// The foot of a point on a curve. Each Newton step replaces the curve at its
// current parameter by its osculating circle (or its tangent line where the
// curvature vanishes), moves to the foot on that shape exactly, and turns
// the arc length moved into a parameter step through the speed. Every
// iteration is bounded: no convergence within the step limit answers 14.
#pragma once

#include "geometry/curves/curve.h"

// The local frame of a curve at t: point, unit tangent, centre, speed and
// signed radius (1e30 straight, 0 degenerate with the centre at the point).
struct CurveFrame {
  double P[3] = {0, 0, 0}, T[3] = {0, 0, 0}, C[3] = {0, 0, 0};
  double v = 0.0, r = 0.0;
  bool IsDegenerate() const { return r == 0.0; }
  bool IsStraight() const { return r == kCurveNone; }
};
int TakeFrame(const CCurve& curve, double t, CurveFrame& frame);

class CSpanPolynomials;

// The frames of one curve for a search that takes many: those of a NURBS
// curve from its spans as polynomials (TakeFrame's to rounding), others by
// TakeFrame. The curve must outlive the source and stay unchanged.
class CFrameSource : public CLibObject {
 public:
  explicit CFrameSource(const CCurve& curve);
  ~CFrameSource() override;
  CFrameSource(const CFrameSource&) = delete;
  CFrameSource& operator=(const CFrameSource&) = delete;
  int Take(double t, CurveFrame& frame);
  // Its frames are TakeFrame's.
  bool IsExact() const { return spans_ == nullptr; }

 private:
  const CCurve& curve_;
  CSpanPolynomials* spans_ = nullptr;
};

// The parameter range a single step may not exceed: the period, or 100
// times the range.
double StepLimit(const CCurve& curve);

constexpr int kNewtonSteps = 20;

// The sample parameters of a curve with their points and reaches. A reach is
// twice the longer chord to a neighbouring sample: the curve between the
// neighbours stays that close to the sample's point, so the searches skip
// Newton runs from samples too far from what they look for. A sample that
// cannot be evaluated reaches everywhere.
class CSampleSet : public CLibObject {
 public:
  int Build(const CCurve& curve);
  int Count() const { return params_.Count(); }
  double Param(int i) const { return params_[i]; }
  const double* Point(int i) const { return points_.Get(i); }
  double Reach(int i) const { return reach_[i]; }

 private:
  CDoubleArray params_;
  CPointArray points_;
  CDoubleArray reach_;
};

class CPointProjector : public CLibObject {
 public:
  // tol 0: iterate until the steps converge.
  CPointProjector(const CCurve& curve, const double q[3], double tol);
  // 0 with t, frame.P (the foot) and dist2 when the iteration converged and
  // t lies on the curve; 14 otherwise.
  int Run(double t0);

  double t = 0.0, dt = 0.0;
  CurveFrame frame;
  bool stop = false;
  double q[3];
  double e = 0.0;
  double dist2 = 0.0;

 protected:
  virtual void StraightStep();
  virtual void CircleStep();
  virtual bool CloseEnough() const { return e > 0.0 && dist2 < e; }

 private:
  const CCurve& curve_;
};

inline bool IsFinite3(const double p[3]) {
  return p && p[0] - p[0] == 0.0 && p[1] - p[1] == 0.0 && p[2] - p[2] == 0.0;
}
