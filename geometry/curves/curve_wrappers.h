// Curves that show another curve differently: through a point map, at a
// mapped parameter, or shifted sideways. None of them owns the inner curve,
// which must outlive the wrapper. CArcLengthMap is the monotone parameter map
// s -> t of an arc-length reparametrisation, held as a rational degree-1
// NURBS of the points (t w, w). FindRoot is the bounded Newton search of a
// parameter function.
#pragma once

#include "geometry/curves/curve.h"

class CNURBS;

// Newton search for a root of f from t0: at most f.iteration_limit steps,
// periodic parameters wrap, others clamp to the range (and stop when they
// meet the same bound twice). 0 with t when |f| <= f.value_tol at the end,
// else 14 and t unchanged; 2100 for a non-finite start.
int FindRoot(const CParamFunction& f, double t0, double& t);

// A function whose value comes with its derivative anyway.
class CNewtonFunction : public CParamFunction {
 public:
  int Value(double t, double& value) const override;
};

// A curve just made, handed to out: 2 when it could not be allocated, the
// status (and the curve deleted) when its construction failed.
int HandOver(CCurve* made, int status, CCurve*& out);

class CTransformedCurve : public CCurve {
 public:
  // 2100 for a null curve or map; both stay null then.
  CTransformedCurve(const CCurve* inner, const CPointMap* map, int& status);
  CCurve* Clone() const override;
  double StartParam() const override;
  double EndParam() const override;
  double Period() const override;
  int CurveFlag() const override;
  int Evaluate(double t, double point[3]) const override;

 private:
  const CCurve* inner_ = nullptr;
  const CPointMap* map_ = nullptr;
};

class CReparamCurve : public CCurve {
 public:
  // Takes the map (deleted even when the status is not 0): 2100 for a null
  // curve or map.
  CReparamCurve(const CCurve* inner, CParamFunction* map, int& status);
  CReparamCurve(const CReparamCurve& other);
  CReparamCurve& operator=(const CReparamCurve&) = delete;
  ~CReparamCurve() override;
  CCurve* Clone() const override;
  double StartParam() const override;
  double EndParam() const override;
  double Period() const override { return 0.0; }
  int CurveFlag() const override;
  int Evaluate(double s, double point[3]) const override;
  // The inner derivative times dt/ds.
  int PointAndTangent(double s, double point[3], double derivative[3]) const override;
  const CParamFunction* Map() const { return map_; }

 private:
  const CCurve* inner_ = nullptr;
  CParamFunction* map_ = nullptr;
};

class COffsetCurve : public CCurve {
 public:
  // A positive distance lies to the left of travel seen from the axis
  // (null: z). 2100 for a null curve or a non-finite distance.
  COffsetCurve(const CCurve* inner, double distance, const double* axis, int& status);
  CCurve* Clone() const override;
  double StartParam() const override { return start_; }
  double EndParam() const override { return end_; }
  double Period() const override;
  int FrameAt(double t, double point[3], double tangent[3], double& curvature, double* speed = nullptr,
              const double* axis = nullptr) const override;
  int PointAndTangent(double t, double point[3], double derivative[3]) const override;
  int Evaluate(double t, double point[3]) const override;
  int SampleParams(CDoubleArray& out, const double* first = nullptr, const double* last = nullptr) const override;
  int SetRange(double a, double b) override;
  int SetStart(double a) override;
  int SetEnd(double b) override;
  double Distance() const { return distance_; }

 private:
  const CCurve* inner_ = nullptr;
  double distance_ = 0.0;
  double axis_[3] = {0.0, 0.0, 1.0};
  double start_ = 0.0, end_ = 0.0;
};

class CArcLengthMap : public CNewtonFunction {
 public:
  ~CArcLengthMap() override;
  CArcLengthMap(const CArcLengthMap&) = delete;
  CArcLengthMap& operator=(const CArcLengthMap&) = delete;
  // From n >= 2 samples of length s, parameter t and slope dt/ds, strictly
  // monotone; 2100 otherwise. map is null on failure.
  static int Make(const CDoubleArray& s, const CDoubleArray& t, const CDoubleArray& d, CArcLengthMap*& map);

  CParamFunction* Clone() const override;
  // s is clamped into the range first.
  int ValueAndDerivative(double s, double& t, double& derivative) const override;

 private:
  CArcLengthMap() = default;
  CNURBS* curve_ = nullptr;
};

// The same parameter samples from any curve: t, the accumulated plane arc
// length and dt/ds, appended to three arrays; 2100 on an empty range, -1
// where the speed vanishes.
int AppendArcSample(const CCurve& curve, double t, double length, CDoubleArray& s, CDoubleArray& ts,
                    CDoubleArray& d);
// A reparametrised curve on curve and a map built from the samples.
int MakeArcLengthCurve(const CCurve& curve, const CDoubleArray& s, const CDoubleArray& t, const CDoubleArray& d,
                       CCurve*& out);
