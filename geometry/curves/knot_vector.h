// The knot vector of a NURBS curve. It stores exactly as many knots as the
// curve has control points; the others come from the periodic extension
// KnotAt(i) = items[i mod count] + floor(i / count) * period. A clamped curve
// of degree d over [a, b] stores d + 1 copies of a and its interior knots,
// with period b - a; the extension supplies the d + 1 copies of b. A vector is
// periodic when its first d + 1 knots are not all equal.
#pragma once

#include "geometry/curves/numeric_array.h"

class CKnotVector : public CDoubleArray {
 public:
  // An empty vector, period 0, room for capacity knots. A non-zero status
  // stays as it is; otherwise 2102 for capacity > 1640 or a degree outside
  // 1..9, else 0.
  CKnotVector(int degree, int capacity, int& status);
  CKnotVector(const CKnotVector& other);
  CKnotVector& operator=(const CKnotVector& other);
  // The knots of [a, b] of the source, clamped at both ends, then validated.
  CKnotVector(const CKnotVector& source, double a, double b, int degree, int& status);

  int Degree() const { return degree_; }
  double StoredPeriod() const { return period_; }
  void SetPeriod(double period) { period_ = period; }

  // Inline, and without the divisions for a stored knot (0 periods added,
  // as the folding adds them): every evaluation asks it many times.
  double KnotAt(int i) const {
    if (i >= 0 && i < count_) return items_[i] + 0.0 * period_;
    if (count_ == 0) return 0.0;
    return items_[FoldIndex(i, count_)] + FloorDiv(i, count_) * period_;
  }
  // i = count sets the period to value - knots[0]; 2100 outside 0..count.
  int SetKnot(int i, double value);
  // 0 for a clamped vector, else the period.
  double Period() const;
  bool IsPeriodic() const { return Period() != 0.0; }
  void Range(double& start, double& end, double& period) const;
  // Folds t into [knots[0], knots[0] + period); -1 beyond 8 periods.
  int NormalizeParam(double& t, int& wraps) const;
  // The span s with KnotAt(s) <= t < KnotAt(s + 1), clamped to the stored
  // spans, empty spans skipped; periodic parameters fold first.
  int FindSpan(double t, int& span) const;
  // Snaps t to a knot within 1e-9; [first, last) is the run of that knot
  // (or first = span, last = span + 1 and multiplicity 0 off the knots).
  int LocateKnot(double& t, int& first, int& last, int& multiplicity) const;
  int InsertCopies(double value, int index, int n);
  // Raises the multiplicity of t to degree - k: n copies inserted at index.
  int PrepareInsert(double& t, int k, int& index, int& n);
  // Removes n knots from first on, wrapping past the end.
  int RemoveAt(int first, int n) override;
  int Reverse();
  int Validate();
  // A new array of the parameters in [a, b] where the continuity of the
  // curve drops below k; null (and 2) when it cannot be allocated.
  int BreakParams(double a, double b, int k, CDoubleArray*& out) const;
  void Write(unsigned char*& cursor) const;
  int ByteSize() const { return 16 + 8 * count_; }

  // Values (row 0) and derivatives (rows 1 .. order, order <= 2) of the
  // degree + 1 basis functions that are non-zero on span s, at t.
  void Basis(int span, double t, int order, double out[3][kMaxDegree + 1]) const;

 private:
  int degree_ = 3;
  mutable int span_cache_ = 0;
  double period_ = 0.0;
};
