// The abstract parametric curve P(t) over [StartParam, EndParam], optionally
// periodic. The base implements what can be done by sampling Evaluate:
// frames and curvature from Derivatives, parameter folding, Gauss-Legendre
// integration, arc length, area, and an adaptive tessellation that bisects
// until the chord deviation is below the tolerance. Concrete curves override
// what they can do exactly; operations a class cannot do answer -1 and leave
// their outputs untouched. Projection, intersection and the wrapper curves
// build on this interface.
#pragma once

#include "geometry/curves/lib_object.h"
#include "geometry/curves/numeric_array.h"
#include "geometry/curves/point_sink.h"

class CKnotVector;
class CParamFunction;

class CCurve : public CLibObject {
 public:
  virtual CCurve* Clone() const = 0;
  virtual double StartParam() const = 0;
  virtual double EndParam() const = 0;
  virtual double Period() const = 0;  // 0 when not periodic
  // Point, unit tangent, signed curvature about the axis (1e30 where the
  // first derivative vanishes) and optionally the speed |P'|.
  virtual int FrameAt(double t, double point[3], double tangent[3], double& curvature, double* speed = nullptr,
                      const double* axis = nullptr) const;
  // out[0] = P, out[1] = P', ... up to the order.
  virtual int Derivatives(double t, int order, double (*out)[3]) const;
  virtual int PointAndTangent(double t, double point[3], double derivative[3]) const;
  virtual int Evaluate(double t, double point[3]) const = 0;
  virtual int Kind() const { return 7; }
  virtual int SizeLimit() const { return 10000000; }
  // Folds a periodic parameter into the range and snaps to the ends within
  // 1e-9; false (t unchanged) when t lies outside the range.
  virtual bool NormalizeParam(double& t) const;
  virtual int CurveFlag() const { return 0; }
  virtual bool CanTransformInPlace() const { return false; }
  virtual bool IsRational() const { return false; }
  virtual bool IsDegenerate() const { return StartParam() + 1e-9 > EndParam(); }
  virtual int PointWithWeight(double t, double point[3], double& weight) const;
  virtual int SetEndControlPoint(int, const double*) { return kCurveOk; }
  virtual int ArcLength(double& length) const;
  virtual int SignedArea(double& accumulator, const double* axis) const;
  virtual int Tessellate(double tol, const CPointMap* map, CPointSink& sink) const;
  virtual int TessellateRange(double a, double b, double tol, const CPointMap* map, CPointSink& sink) const;
  virtual bool IsClosed() const;
  virtual int SampleParams(CDoubleArray& out, const double* first = nullptr, const double* last = nullptr) const;
  virtual int SetRange(double, double) { return kCurveUnsupported; }
  virtual int SetStart(double) { return kCurveUnsupported; }
  virtual int SetEnd(double) { return kCurveUnsupported; }
  // SetRange, then out = this curve (null on failure).
  virtual int TrimToRange(double a, double b, CCurve*& out);
  // A new array (owned by the caller) of parameters where the continuity
  // drops below k.
  virtual int ParamSeeds(int k, CDoubleArray*& out) const;
  virtual int NextCorner(double t, double& out) const;
  virtual int TransformInPlace(const CPointMap&) { return kCurveUnsupported; }
  virtual int Reverse() { return kCurveUnsupported; }
  virtual int Integrate(const CParamFunction& f, double a, double b, double& result) const;
  virtual int WriteToBuffer(unsigned char*&) const { return kCurveUnsupported; }
  virtual int BufferSize() const { return 0; }
  virtual int Curvature(double t, double& curvature, const double* axis = nullptr) const;
  virtual int Translate(const double*) { return kCurveUnsupported; }
  virtual int StartPoint(double p[3]) const { return Evaluate(StartParam(), p); }
  virtual int EndPoint(double p[3]) const { return Evaluate(EndParam(), p); }
  virtual bool IsBounded() const { return StartParam() > -kCurveNone && EndParam() < kCurveNone; }
  // Splits off the next smooth piece; the base has one piece, this curve.
  virtual int CollectPieces(int& count, CCurve*& piece);

  // Queries (curve_project.cpp). ClosestPoint searches the seeds and then
  // runs the Newton projection from the sample parameters, skipping feet
  // within 1e-6 of the excluded parameter; 14 when no foot was found.
  virtual int ClosestPoint(const double q[3], double foot[3], double& t, double& distance, double tol,
                           double excluded) const;
  // Newton projection from t0 without a tolerance; 14 without convergence.
  virtual int ProjectPoint(const double q[3], double t0, double foot[3], double& t, double& dist2) const;
  // ClosestPoint, then the end points unless skipped.
  virtual int NearestPoint(const double q[3], double foot[3], double& t, double& distance, bool skip_ends) const;
  virtual bool ContainsPoint(const double p[3], double tol) const;
  // The parameter where the tangent line passes through q, from t0.
  virtual int TangentFromPoint(const double q[3], double t0, double& t) const;
  // Sorted parameters where the curve crosses itself (curve_intersect.cpp).
  virtual int SelfIntersections(CDoubleArray& params, double tol) const;
  // Folds the intersection parameters on this curve into the four extremes;
  // with skip_zero an extreme within 1e-9 of 0 stays.
  virtual int IntersectionRange(const CCurve& other, bool skip_zero, double& min_pos, double& max_pos,
                                double& min_neg, double& max_neg) const;
  // The parameters of this curve where the other crosses it, those above
  // 1e-9 and more than 1e-9 from the ones already in params added to it,
  // and how many were added to count. Unsupported here.
  virtual int IntersectionParams(const CCurve&, CDoubleArray&, int&) const { return kCurveUnsupported; }

  // Wrappers and conversion (curve_wrappers.cpp). The curves made here that
  // wrap this one do not own it: it must outlive them.
  virtual int ArcLengthReparam(double a, double b, CCurve*& out) const;
  virtual int Transformed(const CPointMap& map, CCurve*& out) const;
  virtual int MakeOffset(double distance, CCurve*& out, const double* axis = nullptr) const;
  // A new cubic CNURBS within tol of this curve.
  virtual int ToNURBS(double tol, CCurve*& out) const;
  // The degree 3 knot vector of an approximation within tol (new, owned by
  // the caller; null on failure).
  virtual int ApproximationKnots(double tol, CKnotVector*& out) const;
  // Fourth-difference error estimate over [a, a + h]; 14 above tol (the
  // estimate is written in both cases).
  virtual int SpanError(double a, double h, double tol, double& error) const;

  // Data of the straight line P(t) = point + t dir (Kind 0) and of the conic
  // P(t) = centre + u cos t + v sin t (Kind 2) for the closed-form
  // intersection pairs; no class of the library is either, so the base
  // answers -1.
  virtual int LineData(double point[3], double dir[3]) const;
  virtual int CircleData(double centre[3], double u[3], double v[3]) const;

 protected:
  CCurve() = default;
  CCurve(const CCurve&) = default;
  CCurve& operator=(const CCurve&) = default;
};

// CCurve::FrameAt from the point and its first two derivatives d.
int FrameFromDerivatives(const double (*d)[3], double point[3], double tangent[3], double& curvature, double* speed,
                         const double* axis);

// A scalar function of a curve parameter, for integration and root finding.
class CParamFunction : public CLibObject {
 public:
  virtual CParamFunction* Clone() const = 0;
  virtual double Period() const { return 0.0; }
  virtual int ValueAndDerivative(double t, double& value, double& derivative) const = 0;
  virtual int Value(double t, double& value) const = 0;

  double range_low = 0.0;
  double range_high = 0.0;
  double value_tol = 1e-9;
  double step_tol = 1e-15;
  int iteration_limit = 20;
};

// sqrt(x'^2 + y'^2) of a curve (z ignored).
class CPlaneSpeedFunction : public CParamFunction {
 public:
  explicit CPlaneSpeedFunction(const CCurve& curve);
  CParamFunction* Clone() const override;
  int ValueAndDerivative(double t, double& value, double& derivative) const override;
  int Value(double t, double& value) const override;

 private:
  const CCurve& curve_;
};

// (P x P') . axis of a curve: twice the rate of swept area.
class CAreaFunction : public CParamFunction {
 public:
  CAreaFunction(const CCurve& curve, const double* axis);
  CParamFunction* Clone() const override;
  int ValueAndDerivative(double t, double& value, double& derivative) const override;
  int Value(double t, double& value) const override;

 private:
  const CCurve& curve_;
  double axis_[3];
};

// Six-point Gauss-Legendre rule over [a, b]; the first failing evaluation of
// f stops the sum and is answered.
int GaussIntegrate(const CParamFunction& f, double a, double b, double& result);
