// CNURBS: a non-uniform rational B-spline of degree 1 to 9 over a
// CKnotVector. It owns its knots, its control points (homogeneous, w * P, when
// the curve is rational) and its weights (present only when they differ).
// Evaluation runs in fixed local arrays and never allocates; the span search
// starts from the knot vector's cached span, so marching along the curve
// costs constant time per step.
#pragma once

#include <memory>

#include "geometry/curves/curve.h"
#include "geometry/curves/knot_vector.h"

// 2-D extents; an empty box has min > max.
class CExtentBox : public CLibObject {
 public:
  void Add(double x, double y);
  // Through the map when one is given.
  void Add(const double p[3], const CPointMap* map);
  bool IsEmpty() const { return min_x > max_x; }
  // False when the boxes are apart by more than 1e-6 in x or y.
  bool Overlaps(const CExtentBox& other) const;

  double min_x = 1.7976931348623157e308, max_x = -1.7976931348623157e308;
  double min_y = 1.7976931348623157e308, max_y = -1.7976931348623157e308;
};

class CNURBS : public CCurve {
 public:
  CNURBS();
  // A cubic within tol of a bounded source: knots from the source's
  // ApproximationKnots, control points fitted at their Greville abscissae
  // (a clamped curve keeps the source's end points and end tangents). On
  // failure the curve is empty and status says why.
  CNURBS(const CCurve& source, double tol, int& status);
  // Takes both arrays (the caller's pointers become null), then Finish.
  CNURBS(CKnotVector*& knots, CPointArray*& points, int& status);
  // The same for a rational curve: points in homogeneous form, one weight each.
  CNURBS(CKnotVector*& knots, CPointArray*& points, CDoubleArray*& weights, int& status);
  // status 2 and a reset curve when a copy cannot be made.
  CNURBS(const CNURBS& source, int& status);
  ~CNURBS() override;
  // A new curve on knots and points, which it takes over (and deletes when
  // it cannot be made); curve is null on failure.
  static int Make(CKnotVector* knots, CPointArray* points, CNURBS*& curve);
  CNURBS(const CNURBS&) = delete;
  CNURBS& operator=(const CNURBS&) = delete;

  // Checks and completes a new curve: counts, knots and weights; a common
  // weight is divided out of the points and dropped.
  int Finish();

  CCurve* Clone() const override;
  double StartParam() const override { return start_; }
  double EndParam() const override { return end_; }
  double Period() const override { return period_; }
  int Derivatives(double t, int order, double (*out)[3]) const override;
  int PointAndTangent(double t, double point[3], double derivative[3]) const override;
  int Evaluate(double t, double point[3]) const override;
  int Kind() const override { return 4; }
  int SizeLimit() const override;
  int CurveFlag() const override { return flag_; }
  bool CanTransformInPlace() const override { return true; }
  bool IsRational() const override { return weights_ != nullptr; }
  // Homogeneous point and weight by de Boor's algorithm.
  int PointWithWeight(double t, double point[3], double& weight) const override;
  int SetEndControlPoint(int which, const double* point) override;
  int TessellateRange(double a, double b, double tol, const CPointMap* map, CPointSink& sink) const override;
  int SampleParams(CDoubleArray& out, const double* first = nullptr, const double* last = nullptr) const override;
  int SetRange(double a, double b) override;
  int SetStart(double a) override;
  int SetEnd(double b) override;
  int ParamSeeds(int k, CDoubleArray*& out) const override;
  int TransformInPlace(const CPointMap& map) override;
  int Reverse() override;
  int WriteToBuffer(unsigned char*& cursor) const override;
  int BufferSize() const override;
  int Translate(const double* v) override;
  int SwapContents(CNURBS& other);

  // Algorithms (nurbs_edit.cpp).
  // The curve's extents (through the map when given) added to box: exact
  // ones refine the tessellation where x or y turns; otherwise, or when the
  // tessellation fails, the control points' box.
  int BoundingBox(bool exact, CExtentBox& box, const CPointMap* map = nullptr) const;
  // Replaces control points a .. a+m-1 so that this curve interpolates the
  // source at their Greville abscissae.
  int FitControlPoints(const CCurve& source, int a, int m);
  // A new curve on [a, b], or this curve for its whole knot range. This
  // curve is never deleted: when out differs from this, the caller owns both.
  int TrimToRange(double a, double b, CCurve*& out) override;
  // Raises the multiplicity of t to degree - k without changing the shape;
  // count new knots from index on.
  int InsertKnot(double t, int k, int& index, int& count);
  int NextCorner(double t, double& out) const override;
  int CollectPieces(int& count, CCurve*& piece) override;
  int Integrate(const CParamFunction& f, double a, double b, double& result) const override;
  int ArcLengthReparam(double a, double b, CCurve*& out) const override;
  // 2105 where the curve bends tighter than r on the side of r's sign.
  int CheckMinRadius(double r) const;
  bool ContainsPoint(const double p[3], double tol) const override;
  int SelfIntersections(CDoubleArray& params, double tol) const override;
  // The intersection scans (nurbs_scan.cpp): the curve walked in 3 x degree
  // equal steps a span, each chord tested against the other curve's
  // polyline and a crossing refined by the curve-pair Newton intersection.
  int IntersectionRange(const CCurve& other, bool skip_zero, double& min_pos, double& max_pos, double& min_neg,
                        double& max_neg) const override;
  int IntersectionParams(const CCurve& other, CDoubleArray& params, int& count) const override;
  int ToNURBS(double tol, CCurve*& out) const override;

  int Degree() const { return knots_ ? knots_->Degree() : 0; }
  int ControlCount() const { return points_ ? points_->Count() : 0; }
  const CKnotVector* Knots() const { return knots_; }
  const CPointArray* Points() const { return points_; }
  const CDoubleArray* Weights() const { return weights_; }

  // Indices fold cyclically into the control points. Inline: every
  // evaluation asks it of each control point it weighs.
  double WeightAt(int i) const {
    if (!weights_ || weights_->Count() == 0) return 1.0;
    return (*weights_)[FoldIndex(i, weights_->Count())];
  }
  int SetWeight(int i, double w);
  int ControlPoint(int i, double out[3]) const;
  // Stores point * (weight, or the current weight); an explicit weight other
  // than the current one on a non-rational curve answers 2100.
  int SetControlPoint(int i, const double point[3], const double* weight = nullptr);

  // Segments needed for the triple of control points i, i+1, i+2 to stay
  // within tol of their chords.
  int SpanSegments(int i, double tol) const;
  // The number of points TessellateRange hands to an empty sink.
  int TessellationCount(double a, double b, double tol, int& count) const;

 private:
  // The knot spans of a tessellated range and the steps of each.
  struct SpanWalk {
    double t = 0.0, b = 0.0, e = 0.0;  // current parameter, range end, span end
    int s = 0, steps = 1, pass = 0, guard = 0, cap = 1;
    int fixed_steps = 0;  // steps of every span, or 0: as the tolerance asks
  };
  int BeginSpans(double a, double b, SpanWalk& w) const;
  bool NextSpan(SpanWalk& w, double tol) const;
  // The forward-difference walk of TessellateRange, with every span in
  // fixed_steps steps when that is positive.
  int WalkRange(double a, double b, double tol, int fixed_steps, const CPointMap* map, CPointSink& sink) const;

  void Reset();
  void Release();
  // The span of t, with the checks every evaluation makes first.
  int SpanOf(double t, int& span) const;

  double start_ = 0.0;
  double end_ = 0.0;
  double period_ = 0.0;
  int flag_ = 1;
  CKnotVector* knots_ = nullptr;
  CPointArray* points_ = nullptr;
  CDoubleArray* weights_ = nullptr;
};

// The spans of a curve as polynomials, each made when first asked, for a
// query that evaluates the curve many times: the point and its first two
// derivatives by Horner's rule on the span the curve's own evaluation picks,
// without the basis functions. A rational curve, or spans that cannot be
// stored, evaluate through the curve. The curve must outlive this and stay
// unchanged while it is used.
class CSpanPolynomials : public CLibObject {
 public:
  explicit CSpanPolynomials(const CNURBS& curve);
  // False when every evaluation goes through the curve.
  bool HasSpans() const { return coefs_ != nullptr; }
  // CNURBS::Derivatives of order 2, to rounding.
  int Derivatives(double t, double (*out)[3]);

 private:
  // The coefficients of stored span s (non-empty) of length h, in powers of
  // the fraction of the span: degree + 1 of the point, then degree of the
  // first derivative and degree - 1 of the second.
  void Make(int s, double h, double (*coef)[3]) const;

  const CNURBS& curve_;
  int degree_ = 0;
  int count_ = 0;
  std::unique_ptr<double[][3]> coefs_;  // 3 * degree a span
  std::unique_ptr<bool[]> made_;
};

// The periodic cubic interpolant of fit points Q0 .. Q(n-1) whose last point
// repeats the first, on a copy of the periodic knot vector (n - 1 knots).
// curve is null on failure.
int FitClosedCurve(const CKnotVector& knots, const CPointArray& points, CNURBS*& curve);
