#include "geometry/curves/nurbs.h"

#include <cmath>
#include <new>
#include <utility>

namespace {
constexpr double kWeightTol = 1e-9;
}

CNURBS::CNURBS() { Reset(); }

CNURBS::CNURBS(CKnotVector*& knots, CPointArray*& points, int& status) {
  knots_ = knots;
  points_ = points;
  knots = nullptr;
  points = nullptr;
  status = Finish();
}

CNURBS::CNURBS(CKnotVector*& knots, CPointArray*& points, CDoubleArray*& weights, int& status) {
  knots_ = knots;
  points_ = points;
  weights_ = weights;
  knots = nullptr;
  points = nullptr;
  weights = nullptr;
  status = Finish();
}

CNURBS::CNURBS(const CNURBS& source, int& status) : CCurve(source) {
  status = kCurveOk;
  start_ = source.start_;
  end_ = source.end_;
  period_ = source.period_;
  flag_ = source.flag_;
  if (source.knots_) {
    knots_ = new (std::nothrow) CKnotVector(*source.knots_);
    if (!knots_ || knots_->Count() != source.knots_->Count()) status = kCurveNoMemory;
  }
  if (status == kCurveOk && source.points_) {
    points_ = new (std::nothrow) CPointArray(*source.points_);
    if (!points_ || points_->Count() != source.points_->Count()) status = kCurveNoMemory;
  }
  if (status == kCurveOk && source.weights_) {
    weights_ = new (std::nothrow) CDoubleArray(*source.weights_);
    if (!weights_ || weights_->Count() != source.weights_->Count()) status = kCurveNoMemory;
  }
  if (status != kCurveOk) {
    Release();
    Reset();
  }
}

CNURBS::~CNURBS() { Release(); }

int CNURBS::Make(CKnotVector* knots, CPointArray* points, CNURBS*& curve) {
  curve = nullptr;
  int st = kCurveOk;
  CNURBS* c = new (std::nothrow) CNURBS(knots, points, st);
  if (!c) {
    delete knots;
    delete points;
    return kCurveNoMemory;
  }
  if (st != kCurveOk) {
    delete c;
    return st;
  }
  curve = c;
  return kCurveOk;
}

int CNURBS::SpanOf(double t, int& span) const {
  if (!knots_ || ControlCount() == 0) return kCurveBadKnots;
  return knots_->FindSpan(t, span);
}

void CNURBS::Reset() {
  start_ = end_ = period_ = 0.0;
  flag_ = 1;
  knots_ = nullptr;
  points_ = nullptr;
  weights_ = nullptr;
}

void CNURBS::Release() {
  delete knots_;
  delete points_;
  delete weights_;
  knots_ = nullptr;
  points_ = nullptr;
  weights_ = nullptr;
}

int CNURBS::Finish() {
  if (!knots_ || !points_ || knots_->Count() != points_->Count()) return kCurveBadKnots;
  int st = knots_->Validate();
  if (st != kCurveOk) return kCurveBadKnots;
  if (weights_) {
    int n = weights_->Count();
    if (n != points_->Count()) return kCurveBadKnots;
    bool common = true;
    for (int i = 0; i < n; ++i) {
      if ((*weights_)[i] < kWeightTol) return kCurveBadKnots;
      if ((*weights_)[i] != (*weights_)[0]) common = false;
    }
    if (common) {
      // The curve does not change: every point is w * P with the same w.
      double w = (*weights_)[0];
      for (int i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c) points_->Data()[i][c] /= w;
      delete weights_;
      weights_ = nullptr;
    } else if ((st = weights_->ShrinkToFit()) != kCurveOk) {
      return st;
    }
  }
  knots_->Range(start_, end_, period_);
  if ((st = points_->ShrinkToFit()) != kCurveOk) return st;
  return knots_->ShrinkToFit();
}

CCurve* CNURBS::Clone() const {
  int st = kCurveOk;
  CNURBS* copy = new (std::nothrow) CNURBS(*this, st);
  if (copy && st != kCurveOk) {
    delete copy;
    copy = nullptr;
  }
  return copy;
}

int CNURBS::SizeLimit() const {
  int d = Degree();
  return 12 * d * d * ControlCount();
}


int CNURBS::SetWeight(int i, double w) {
  if (!weights_ || weights_->Count() == 0) return kCurveBadArgument;
  (*weights_)[FoldIndex(i, weights_->Count())] = w;
  return kCurveOk;
}

int CNURBS::ControlPoint(int i, double out[3]) const {
  const double* q = points_ ? points_->Get(i) : nullptr;
  if (!q) return kCurveBadArgument;
  double w = WeightAt(i);
  for (int c = 0; c < 3; ++c) out[c] = weights_ ? q[c] / w : q[c];
  return kCurveOk;
}

int CNURBS::SetControlPoint(int i, const double point[3], const double* weight) {
  double* q = points_ ? points_->Get(i) : nullptr;
  if (!q) return kCurveBadArgument;
  double w = WeightAt(i);
  if (weight && *weight != w) {
    if (!weights_) return kCurveBadArgument;
    w = *weight;
    SetWeight(i, w);
  }
  for (int c = 0; c < 3; ++c) q[c] = point[c] * w;
  return kCurveOk;
}

int CNURBS::SetEndControlPoint(int which, const double* point) {
  if (!point) return kCurveBadArgument;
  return SetControlPoint(which == -1 ? 0 : -1, point);
}

int CNURBS::PointWithWeight(double t, double point[3], double& weight) const {
  int s = 0;
  int st = SpanOf(t, s);
  if (st != kCurveOk) return st;
  const CKnotVector& U = *knots_;
  const int d = U.Degree();
  double q[kMaxDegree + 1][4];
  for (int j = 0; j <= d; ++j) {
    const double* p = points_->Get(s - d + j);
    q[j][0] = p[0];
    q[j][1] = p[1];
    q[j][2] = p[2];
    q[j][3] = WeightAt(s - d + j);
  }
  double u[2 * kMaxDegree + 2];
  for (int j = 0; j < 2 * d + 2; ++j) u[j] = U.KnotAt(s - d + j);  // u[j] = KnotAt(s - d + j)
  for (int r = 1; r <= d; ++r)
    for (int j = d; j >= r; --j) {
      double lo = u[j], hi = u[j + d + 1 - r];
      double alpha = hi != lo ? (t - lo) / (hi - lo) : 0.0;
      for (int c = 0; c < 4; ++c) q[j][c] = q[j - 1][c] + alpha * (q[j][c] - q[j - 1][c]);
    }
  point[0] = q[d][0];
  point[1] = q[d][1];
  point[2] = q[d][2];
  weight = q[d][3];
  return kCurveOk;
}

int CNURBS::Evaluate(double t, double point[3]) const {
  double w = 1.0;
  int st = PointWithWeight(t, point, w);
  if (st != kCurveOk) return st;
  if (weights_) {
    if (w < kWeightTol) return kCurveZeroVector;
    for (int c = 0; c < 3; ++c) point[c] /= w;
  }
  return kCurveOk;
}

namespace {

// The weighted sums of the control points and weights of Derivatives, for
// a degree D and order O known when compiled (negative: as given), so that
// the common cases run unrolled; the sums run in the same order for all.
template <int D, int O>
void SumBasis(const CNURBS& curve, const CPointArray& points, int s, int degree, int order_asked,
              const double N[3][kMaxDegree + 1], double A[3][3], double W[3]) {
  const int d = D >= 0 ? D : degree;
  const int order = O >= 0 ? O : order_asked;
  // Sums kept apart from the outputs, which the compiler cannot tell from
  // the points.
  double a[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, ws[3] = {0, 0, 0};
  for (int j = 0; j <= d; ++j) {
    const double* q = points.Get(s - d + j);
    double w = curve.WeightAt(s - d + j);
    for (int k = 0; k <= order; ++k) {
      for (int c = 0; c < 3; ++c) a[k][c] += N[k][j] * q[c];
      ws[k] += N[k][j] * w;
    }
  }
  for (int k = 0; k <= order; ++k) {
    for (int c = 0; c < 3; ++c) A[k][c] = a[k][c];
    W[k] = ws[k];
  }
}

}  // namespace

int CNURBS::Derivatives(double t, int order, double (*out)[3]) const {
  if (order < 0 || order > 2) return kCurveUnsupported;
  int s = 0;
  int st = SpanOf(t, s);
  if (st != kCurveOk) return st;
  const CKnotVector& U = *knots_;
  const int d = U.Degree();
  double N[3][kMaxDegree + 1];
  U.Basis(s, t, order, N);
  double A[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, W[3] = {0, 0, 0};
  if (d == 3 && order == 2)
    SumBasis<3, 2>(*this, *points_, s, d, order, N, A, W);
  else
    SumBasis<-1, -1>(*this, *points_, s, d, order, N, A, W);
  if (!weights_) {
    for (int k = 0; k <= order; ++k)
      for (int c = 0; c < 3; ++c) out[k][c] = A[k][c];
    return kCurveOk;
  }
  if (W[0] < kWeightTol) return kCurveZeroVector;
  double C[3][3];
  for (int c = 0; c < 3; ++c) {
    C[0][c] = A[0][c] / W[0];
    if (order >= 1) C[1][c] = (A[1][c] - W[1] * C[0][c]) / W[0];
    if (order >= 2) C[2][c] = (A[2][c] - 2.0 * W[1] * C[1][c] - W[2] * C[0][c]) / W[0];
  }
  for (int k = 0; k <= order; ++k)
    for (int c = 0; c < 3; ++c) out[k][c] = C[k][c];
  return kCurveOk;
}

int CNURBS::PointAndTangent(double t, double point[3], double derivative[3]) const {
  double d[2][3];
  int st = Derivatives(t, 1, d);
  if (st != kCurveOk) return st;
  for (int c = 0; c < 3; ++c) {
    point[c] = d[0][c];
    derivative[c] = d[1][c];
  }
  return kCurveOk;
}

int CNURBS::SetRange(double a, double b) {
  if (!(b - 1e-6 > a)) return kCurveUnsupported;
  start_ = a;
  end_ = b;
  return kCurveOk;
}

int CNURBS::SetStart(double a) {
  if (a > end_) return kCurveUnsupported;
  start_ = a;
  return kCurveOk;
}

int CNURBS::SetEnd(double b) {
  if (b < start_) return kCurveUnsupported;
  end_ = b;
  return kCurveOk;
}

int CNURBS::ParamSeeds(int k, CDoubleArray*& out) const {
  if (!knots_) return CCurve::ParamSeeds(k, out);
  return knots_->BreakParams(start_, end_, k, out);
}

int CNURBS::TransformInPlace(const CPointMap& map) {
  for (int i = 0; i < ControlCount(); ++i) {
    double p[3], q[3];
    ControlPoint(i, p);
    map.MapPoint(p, q);
    SetControlPoint(i, q);
  }
  return kCurveOk;
}

int CNURBS::Translate(const double* v) {
  if (!v) return kCurveBadArgument;
  for (int i = 0; i < ControlCount(); ++i) {
    double p[3];
    ControlPoint(i, p);
    for (int c = 0; c < 3; ++c) p[c] += v[c];
    SetControlPoint(i, p);
  }
  return kCurveOk;
}

int CNURBS::Reverse() {
  if (!knots_ || !points_) return kCurveBadKnots;
  double K = knots_->KnotAt(ControlCount() + Degree());
  double old_start = start_, old_end = end_;
  int st = knots_->Reverse();
  if (st != kCurveOk) return st;
  points_->Reverse();
  if (weights_) weights_->Reverse();
  knots_->Range(start_, end_, period_);
  start_ = knots_->KnotAt(0) + (K - old_end);
  end_ = start_ + (old_end - old_start);
  return kCurveOk;
}

int CNURBS::BufferSize() const {
  int knots = knots_ ? knots_->Count() : 0;
  int points = points_ ? points_->ByteSize() : 4;
  return knots * 8 + 16 + points + 28;
}

int CNURBS::WriteToBuffer(unsigned char*& cursor) const {
  if (!knots_ || !points_) return kCurveBadKnots;
  WriteInt32(cursor, Kind());
  WriteDouble(cursor, start_);
  WriteDouble(cursor, end_);
  WriteDouble(cursor, period_);
  knots_->Write(cursor);
  points_->Write(cursor);
  return kCurveOk;
}

int CNURBS::SwapContents(CNURBS& other) {
  std::swap(knots_, other.knots_);
  std::swap(points_, other.points_);
  if (weights_) std::swap(weights_, other.weights_);
  return kCurveOk;
}

// ---- CSpanPolynomials ----

CSpanPolynomials::CSpanPolynomials(const CNURBS& curve) : curve_(curve) {
  if (curve.IsRational() || !curve.Knots() || curve.ControlCount() == 0) return;
  degree_ = curve.Degree();
  count_ = curve.Knots()->Count();
  const size_t n = static_cast<size_t>(count_);
  coefs_.reset(new (std::nothrow) double[n * static_cast<size_t>(3 * degree_)][3]);
  made_.reset(new (std::nothrow) bool[n]());
  if (!made_) coefs_.reset();
}

void CSpanPolynomials::Make(int s, double h, double (*coef)[3]) const {
  const CKnotVector& U = *curve_.Knots();
  const CPointArray& P = *curve_.Points();
  const int d = degree_;
  double u[2 * kMaxDegree + 2];
  for (int j = 0; j < 2 * d + 2; ++j) u[j] = U.KnotAt(s - d + j);
  // Bezier point k is the curve's blossom at k copies of the span's end and
  // d - k copies of its start: de Boor's algorithm with the parameter of
  // each level given apart.
  double bez[kMaxDegree + 1][3];
  for (int k = 0; k <= d; ++k) {
    double q[kMaxDegree + 1][3];
    for (int j = 0; j <= d; ++j) {
      const double* p = P.Get(s - d + j);
      for (int c = 0; c < 3; ++c) q[j][c] = p[c];
    }
    for (int r = 1; r <= d; ++r) {
      const double x = r <= k ? u[d + 1] : u[d];
      for (int j = d; j >= r; --j) {
        const double lo = u[j], hi = u[j + d + 1 - r];
        const double alpha = hi != lo ? (x - lo) / (hi - lo) : 0.0;
        for (int c = 0; c < 3; ++c) q[j][c] = q[j - 1][c] + alpha * (q[j][c] - q[j - 1][c]);
      }
    }
    for (int c = 0; c < 3; ++c) bez[k][c] = q[d][c];
  }
  // The power coefficients: binomial(d, k) times the k-th forward
  // difference of the Bezier points, and those of the derivatives in t.
  double binomial = 1.0;
  for (int k = 0; k <= d; ++k) {
    for (int c = 0; c < 3; ++c) coef[k][c] = binomial * bez[0][c];
    for (int j = 0; j < d - k; ++j)
      for (int c = 0; c < 3; ++c) bez[j][c] = bez[j + 1][c] - bez[j][c];
    binomial = binomial * (d - k) / (k + 1);
  }
  for (int k = 1; k <= d; ++k)
    for (int c = 0; c < 3; ++c) coef[d + k][c] = k * coef[k][c] / h;
  for (int k = 2; k <= d; ++k)
    for (int c = 0; c < 3; ++c) coef[2 * d + k - 1][c] = k * (k - 1) * coef[k][c] / (h * h);
}

namespace {

// The point and derivatives of a span's coefficients at the fraction x, for
// a degree D known when compiled (negative: as given), so that cubics run
// unrolled; the sums run in the same order for all.
template <int D>
void Horner(const double (*coef)[3], int degree, double x, double (*out)[3]) {
  const int d = D >= 0 ? D : degree;
  const double(*first)[3] = coef + d + 1;
  const double(*second)[3] = coef + 2 * d + 1;
  for (int c = 0; c < 3; ++c) {
    double p = coef[d][c], v = first[d - 1][c], w = d >= 2 ? second[d - 2][c] : 0.0;
    for (int k = d - 1; k >= 0; --k) p = p * x + coef[k][c];
    for (int k = d - 2; k >= 0; --k) v = v * x + first[k][c];
    for (int k = d - 3; k >= 0; --k) w = w * x + second[k][c];
    out[0][c] = p;
    out[1][c] = v;
    out[2][c] = w;
  }
}

}  // namespace

int CSpanPolynomials::Derivatives(double t, double (*out)[3]) {
  if (!coefs_) return curve_.Derivatives(t, 2, out);
  const CKnotVector& U = *curve_.Knots();
  int span = 0;
  int st = U.FindSpan(t, span);
  if (st != kCurveOk) return st;
  const double a = U.KnotAt(span), h = U.KnotAt(span + 1) - a;
  if (!(h > 0.0)) return curve_.Derivatives(t, 2, out);
  const int s = FoldIndex(span, count_), d = degree_;
  double(*coef)[3] = coefs_.get() + static_cast<size_t>(s) * static_cast<size_t>(3 * d);
  if (!made_[s]) {
    Make(s, h, coef);
    made_[s] = true;
  }
  if (d == 3)
    Horner<3>(coef, d, (t - a) / h, out);
  else
    Horner<-1>(coef, d, (t - a) / h, out);
  return kCurveOk;
}
