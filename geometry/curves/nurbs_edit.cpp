// The NURBS algorithms beyond evaluation and the spline path: extents,
// refitting control points by interpolation at the Greville abscissae (which
// the converting constructor, trimming and knot insertion share), corners
// and pieces, per-span integration, arc-length reparametrisation, the
// minimum-radius check, containment and self-intersections.
#include <cmath>
#include <memory>
#include <new>

#include "geometry/curves/band_matrix.h"
#include "geometry/curves/curve_intersect.h"
#include "geometry/curves/curve_wrappers.h"
#include "geometry/curves/nurbs.h"
#include "geometry/curves/vector_ops.h"

// ---- CExtentBox ----

void CExtentBox::Add(double x, double y) {
  min_x = std::fmin(min_x, x);
  max_x = std::fmax(max_x, x);
  min_y = std::fmin(min_y, y);
  max_y = std::fmax(max_y, y);
}

void CExtentBox::Add(const double p[3], const CPointMap* map) {
  if (!map) return Add(p[0], p[1]);
  double q[3];
  map->MapPoint(p, q);
  Add(q[0], q[1]);
}

bool CExtentBox::Overlaps(const CExtentBox& o) const {
  return !(o.min_x - 1e-6 > max_x || o.max_x + 1e-6 < min_x || o.min_y - 1e-6 > max_y || o.max_y + 1e-6 < min_y);
}

namespace {

void Merge(CExtentBox& into, const CExtentBox& from) {
  if (from.IsEmpty()) return;
  into.Add(from.min_x, from.min_y);
  into.Add(from.max_x, from.max_y);
}

// P'(t) . axis: zero where the curve turns along the axis.
class AxisExtremeFunction : public CNewtonFunction {
 public:
  AxisExtremeFunction(const CCurve& curve, const double axis[3]) : curve_(curve) {
    for (int i = 0; i < 3; ++i) axis_[i] = axis[i];
    double p = std::fabs(curve.Period());
    range_low = curve.StartParam() - 3.0 * p;
    range_high = curve.EndParam() + 3.0 * p;
    value_tol = 1e-12;
  }
  CParamFunction* Clone() const override { return new (std::nothrow) AxisExtremeFunction(*this); }
  int ValueAndDerivative(double t, double& value, double& derivative) const override {
    double d[3][3];
    int st = curve_.Derivatives(t, 2, d);
    if (st != kCurveOk) return st;
    value = VDot(d[1], axis_);
    derivative = VDot(d[2], axis_);
    return kCurveOk;
  }

 private:
  const CCurve& curve_;
  double axis_[3];
};

// Adds the tessellation to a box and, where x or y turns back, the exact
// extreme found from the turning point's parameter.
class ExtremeSink : public CPointSink {
 public:
  ExtremeSink(const CCurve& curve, const CPointMap* map, CExtentBox& box) : curve_(curve), map_(map), box_(box) {
    // The mapped coordinate c changes along P' . (row c of the map).
    const double basis[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    use_axes_ = !map || map->IsAffine();
    for (int j = 0; j < 3; ++j) {
      double v[3] = {basis[j][0], basis[j][1], basis[j][2]};
      if (map && use_axes_) map->MapVector(basis[j], v);
      axes_[0][j] = v[0];
      axes_[1][j] = v[1];
    }
  }
  int AddPoint(const double p[3], double t) override {
    box_.Add(p[0], p[1]);
    for (int c = 0; c < 2 && !first_; ++c) {
      double d = p[c] - last_[c];
      if (d == 0.0) continue;
      if (prev_d_[c] * d < 0.0 && use_axes_) Refine(c, t);
      prev_d_[c] = d;
    }
    last_[0] = p[0];
    last_[1] = p[1];
    first_ = false;
    return kCurveOk;
  }
  using CPointSink::AddPoint;
  bool HasPoints() const override { return !first_; }

 private:
  void Refine(int c, double t) {
    AxisExtremeFunction f(curve_, axes_[c]);
    double u = 0.0, q[3];
    if (FindRoot(f, t, u) == kCurveOk && curve_.NormalizeParam(u) && curve_.Evaluate(u, q) == kCurveOk)
      box_.Add(q, map_);
  }

  const CCurve& curve_;
  const CPointMap* map_;
  CExtentBox& box_;
  double axes_[2][3];
  bool use_axes_ = true;
  bool first_ = true;
  double last_[2] = {0, 0}, prev_d_[2] = {0, 0};
};

}  // namespace

int CNURBS::BoundingBox(bool exact, CExtentBox& box, const CPointMap* map) const {
  if (!points_ || ControlCount() == 0) return kCurveBadKnots;
  CExtentBox hull;
  for (int i = 0; i < ControlCount(); ++i) {
    double p[3];
    ControlPoint(i, p);
    hull.Add(p, map);
  }
  double tol = 0.01 * std::fmax(hull.max_x - hull.min_x, hull.max_y - hull.min_y);
  if (exact && tol > 0.0 && std::isfinite(tol)) {
    CExtentBox tight;
    ExtremeSink sink(*this, map, tight);
    if (Tessellate(tol, map, sink) == kCurveOk) {
      Merge(box, tight);
      return kCurveOk;
    }
  }
  Merge(box, hull);
  return kCurveOk;
}

int CNURBS::FitControlPoints(const CCurve& source, int a, int m) {
  if (!knots_ || !points_) return kCurveBadKnots;
  const int n = ControlCount(), d = Degree(), c = period_ != 0.0 ? d : 0;
  if (m > n) m = n;
  if (m < 1) return kCurveOk;
  const bool rational = weights_ != nullptr;
  int st = kCurveOk;
  std::unique_ptr<CBandMatrix> core;
  std::unique_ptr<CLinearSystem> system;
  if (m < 2 * d + 1) {
    system.reset(new (std::nothrow) CDenseMatrix(m, st));
  } else {
    core.reset(new (std::nothrow) CBandMatrix(m - c, d, st));
    if (!core) return kCurveNoMemory;
    if (st != kCurveOk) return st;
    if (c > 0)
      system.reset(new (std::nothrow) CBorderedBandMatrix(core.get(), c, st));
  }
  CLinearSystem* M = system ? system.get() : core.get();
  if (!M) return kCurveNoMemory;
  if (st != kCurveOk) return st;
  CPointArray rhs(m);
  CDoubleArray wrhs(rational ? m : 0);
  if (rhs.Count() != m || wrhs.Count() != (rational ? m : 0)) return kCurveNoMemory;

  const bool fold_source = source.Period() != 0.0;
  for (int j = 0; j < m; ++j) {
    double g = 0.0;
    for (int i = 1; i <= d; ++i) g += knots_->KnotAt(a + j + i);
    g /= d;
    double ge = g, w = 1.0, p[3];
    if (fold_source) source.NormalizeParam(ge);
    st = rational ? source.PointWithWeight(ge, p, w) : source.Evaluate(ge, p);
    if (st != kCurveOk) return st;
    int span = 0;
    if ((st = knots_->FindSpan(g, span)) != kCurveOk) return st;
    double N[3][kMaxDegree + 1];
    knots_->Basis(span, g, 0, N);
    for (int k = 0; k <= d; ++k) {
      int col = FoldIndex(span - d + k - a, n);
      if (col < m) {
        M->At(j, col) += N[0][k];
        continue;
      }
      // A control point outside the fitted run is known.
      int idx = FoldIndex(a + col, n);
      const double* q = points_->Get(idx);
      for (int x = 0; x < 3; ++x) p[x] -= N[0][k] * q[x];
      w -= N[0][k] * WeightAt(idx);
    }
    rhs.Set(j, p);
    if (rational) wrhs[j] = w;
  }
  if ((st = M->Factor()) != kCurveOk || (st = M->Solve(rhs, 0)) != kCurveOk) return st;
  if (rational && (st = M->Solve(wrhs.Items())) != kCurveOk) return st;
  for (int j = 0; j < m; ++j) {
    int idx = FoldIndex(a + j, n);
    points_->Set(idx, rhs.Get(j));
    if (rational) (*weights_)[idx] = wrhs[j];
  }
  return kCurveOk;
}

namespace {
int StartDerivative(const CCurve& curve, double t, double p[3], double d[3]) {
  int st = curve.PointAndTangent(t, p, d);
  if (st != kCurveUnsupported) return st;
  double dv[2][3];
  if ((st = curve.Derivatives(t, 1, dv)) != kCurveOk) return st;
  for (int i = 0; i < 3; ++i) {
    p[i] = dv[0][i];
    d[i] = dv[1][i];
  }
  return kCurveOk;
}
}  // namespace

CNURBS::CNURBS(const CCurve& source, double tol, int& status) {
  Reset();
  auto build = [&]() -> int {
    if (!source.IsBounded()) return kCurveBadArgument;
    flag_ = source.CurveFlag();
    CKnotVector* kv = nullptr;
    int st = source.ApproximationKnots(tol, kv);
    if (st != kCurveOk) return st;
    knots_ = kv;
    const int n = kv->Count();
    points_ = new (std::nothrow) CPointArray(n);
    if (!points_ || points_->Count() != n) return kCurveNoMemory;
    knots_->Range(start_, end_, period_);
    if (period_ != 0.0) return FitControlPoints(source, 0, n);
    // Clamped: the ends and their tangents are the source's.
    double p[3], d[3], q[3];
    if ((st = StartDerivative(source, start_, p, d)) != kCurveOk) return st;
    double f = (knots_->KnotAt(4) - start_) / 3.0;
    for (int i = 0; i < 3; ++i) q[i] = p[i] + f * d[i];
    points_->Set(0, p);
    points_->Set(1, q);
    if ((st = StartDerivative(source, end_, p, d)) != kCurveOk) return st;
    f = (end_ - knots_->KnotAt(n - 1)) / 3.0;
    for (int i = 0; i < 3; ++i) q[i] = p[i] - f * d[i];
    points_->Set(n - 1, p);
    points_->Set(n - 2, q);
    return n > 4 ? FitControlPoints(source, 2, n - 3) : kCurveOk;
  };
  status = build();
  if (status == kCurveOk) status = Finish();
  if (status != kCurveOk) {
    Release();
    Reset();
  }
}

int CNURBS::ToNURBS(double, CCurve*& out) const {
  CCurve* c = Clone();
  if (!c) return kCurveNoMemory;
  out = c;
  return kCurveOk;
}

int CNURBS::TrimToRange(double a, double b, CCurve*& out) {
  out = nullptr;
  if (!knots_ || !points_) return kCurveBadKnots;
  if (!std::isfinite(a) || !std::isfinite(b) || b - a < 1e-9) return kCurveBadArgument;
  const int count = ControlCount();
  const double lo = knots_->KnotAt(0), hi = knots_->KnotAt(count);
  if (std::fabs(a - lo) <= 1e-9 && std::fabs(b - hi) <= 1e-9) {
    out = this;
    return kCurveOk;
  }
  if (period_ == 0.0 ? (a < lo - 1e-9 || b > hi + 1e-9) : (b - a > period_ + 1e-9)) return kCurveBadArgument;
  int st = kCurveOk;
  std::unique_ptr<CNURBS> c(new (std::nothrow) CNURBS());
  if (!c) return kCurveNoMemory;
  c->knots_ = new (std::nothrow) CKnotVector(*knots_, a, b, Degree(), st);
  if (!c->knots_) return kCurveNoMemory;
  if (st != kCurveOk) return st;
  const int n = c->knots_->Count();
  c->points_ = new (std::nothrow) CPointArray(n);
  if (!c->points_ || c->points_->Count() != n) return kCurveNoMemory;
  if (weights_) {
    c->weights_ = new (std::nothrow) CDoubleArray(n);
    if (!c->weights_ || c->weights_->Count() != n) return kCurveNoMemory;
  }
  c->flag_ = flag_;
  if ((st = c->FitControlPoints(*this, 0, n)) != kCurveOk || (st = c->Finish()) != kCurveOk) return st;
  out = c.release();
  return kCurveOk;
}

int CNURBS::InsertKnot(double t, int k, int& index, int& count) {
  if (!knots_ || !points_) return kCurveBadKnots;
  if (!std::isfinite(t)) return kCurveBadArgument;
  int st = kCurveOk;
  CNURBS copy(*this, st);
  if (st != kCurveOk) return st;
  int at = 0, n = 0;
  if ((st = copy.knots_->PrepareInsert(t, k, at, n)) != kCurveOk) return st;
  if (n > 0) {
    const int d = Degree();
    if (at < 1 || at - 1 >= ControlCount()) return kCurveBadArgument;
    if ((st = copy.points_->Insert(at - 1, n)) != kCurveOk) return st;
    if (copy.weights_ && (st = copy.weights_->MakeRoom(at - 1, n)) != kCurveOk) return st;
    if ((st = copy.FitControlPoints(*this, at - d, n + d - 1)) != kCurveOk) return st;
    SwapContents(copy);
  }
  index = at;
  count = n;
  return kCurveOk;
}

int CNURBS::NextCorner(double t, double& out) const {
  out = t;
  if (!knots_ || !points_) return kCurveBadKnots;
  if (!std::isfinite(t)) return kCurveBadArgument;
  int s = 0, st = knots_->FindSpan(t, s);
  if (st != kCurveOk) return st;
  const int d = Degree(), guard = ControlCount() + d + 2;
  int i = s + 1;
  for (int g = 0; g < guard; ++g) {
    double v = knots_->KnotAt(i);
    if (v >= end_ - 1e-9) break;
    int j = i;
    for (int r = 0; r <= d && knots_->KnotAt(j) == v; ++r) ++j;
    out = v;
    if (j - i >= d) {
      // The curve passes through control point i - 1: a corner unless the
      // legs on either side run on in one direction.
      double p[3], q[3], r[3];
      ControlPoint(i - 2, p);
      ControlPoint(i - 1, q);
      ControlPoint(i, r);
      double a[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]}, b[3] = {r[0] - q[0], r[1] - q[1], r[2] - q[2]};
      if (!IsNearLine(p, r, q, 1e-6) || VDot(a, b) < 0.0) return kCurveOk;
    }
    i = j;
  }
  out = end_;
  return kCurveNotFound;
}

int CNURBS::CollectPieces(int& count, CCurve*& piece) {
  double corner = 0.0;
  int st = NextCorner(start_, corner);
  ++count;
  if (st != kCurveOk) {
    piece = this;
    return st;
  }
  CCurve* head = Clone();
  if (!head) return kCurveNoMemory;
  head->SetEnd(corner);
  SetStart(corner);
  piece = head;
  return kCurveOk;
}

int CNURBS::Integrate(const CParamFunction& f, double a, double b, double& result) const {
  result = 0.0;
  if (!knots_ || ControlCount() == 0) return kCurveBadKnots;
  if (!std::isfinite(a) || !std::isfinite(b)) return kCurveBadArgument;
  if (b < a) {
    double r = 0.0;
    int st = Integrate(f, b, a, r);
    result = -r;
    return st;
  }
  const bool periodic = period_ != 0.0;
  if (!periodic && a < knots_->KnotAt(0) - 1e-9) return kCurveBadArgument;
  const double upper = periodic ? a + period_ : knots_->KnotAt(ControlCount());
  if (b > upper + 1e-9) return kCurveBadArgument;
  int s = 0, st = knots_->FindSpan(a, s);
  if (st != kCurveOk) return st;
  double lo = a, sum = 0.0;
  for (int g = 0; g < 2 * ControlCount() + Degree() + 4 && lo < b; ++g, ++s) {
    double hi = std::fmin(knots_->KnotAt(s + 1), b);
    if (hi <= lo) continue;
    double piece = 0.0;
    if ((st = GaussIntegrate(f, lo, hi, piece)) != kCurveOk) return st;
    sum += piece;
    lo = hi;
  }
  result = sum;
  return kCurveOk;
}

int CNURBS::ArcLengthReparam(double a, double b, CCurve*& out) const {
  if (!knots_ || ControlCount() == 0) return kCurveBadKnots;
  if (!std::isfinite(a) || !std::isfinite(b) || !(b > a)) return kCurveBadArgument;
  CDoubleArray s, t, d;
  CPlaneSpeedFunction speed(*this);
  int span = 0, st = AppendArcSample(*this, a, 0.0, s, t, d);
  if (st == kCurveOk) st = knots_->FindSpan(a, span);
  const int deg = Degree();
  double lo = a, prev = a, length = 0.0;
  for (int g = 0; g < 2 * ControlCount() + deg + 4 && lo < b && st == kCurveOk; ++g, ++span) {
    double hi = std::fmin(knots_->KnotAt(span + 1), b);
    if (hi - lo > 1e-9) {
      for (int k = 1; k <= deg && st == kCurveOk; ++k) {
        double tk = lo + (hi - lo) * k / deg, piece = 0.0;
        if ((st = GaussIntegrate(speed, prev, tk, piece)) != kCurveOk) break;
        length += piece;
        st = AppendArcSample(*this, tk, length, s, t, d);
        prev = tk;
      }
    }
    lo = std::fmax(lo, hi);
  }
  return st != kCurveOk ? st : MakeArcLengthCurve(*this, s, t, d, out);
}

int CNURBS::CheckMinRadius(double r) const {
  if (!knots_ || ControlCount() == 0) return kCurveBadKnots;
  if (std::isnan(r)) return kCurveBadArgument;
  if (std::fabs(r) <= 1e-9) return kCurveOk;
  const double k = 1.0 / r;
  auto too_tight = [&](double t) {
    double c = 0.0;
    if (t < start_ || t > end_ || Curvature(t, c) != kCurveOk) return false;
    return c * k >= 0.0 && std::fabs(c) > std::fabs(k);
  };
  if (too_tight(knots_->KnotAt(0))) return kCurveCurvature;
  const int d = Degree(), samples = 10 * d;
  for (int i = 0; i < ControlCount(); ++i) {
    double u0 = knots_->KnotAt(i), u1 = knots_->KnotAt(i + 1);
    if (!(u1 > u0)) continue;
    for (int j = 1; j <= samples; ++j)
      if (too_tight(u0 + (u1 - u0) * j / samples)) return kCurveCurvature;
  }
  return kCurveOk;
}

namespace {

// Stops the tessellation at the first point, or the first chord whose foot
// projects onto the curve, within the tolerance of the query point.
class ContainSink : public CPointSink {
 public:
  ContainSink(const CCurve& curve, const double q[3], double tol) : curve_(curve), tol_(tol), tol2_(tol * tol) {
    for (int i = 0; i < 3; ++i) q_[i] = q[i];
  }
  int AddPoint(const double p[3], double t) override {
    double w[3] = {p[0] - q_[0], p[1] - q_[1], p[2] - q_[2]};
    if (VDot(w, w) < tol2_) return Hit();
    if (!first_) {
      double c[3] = {p[0] - prev_[0], p[1] - prev_[1], p[2] - prev_[2]};
      double r[3] = {q_[0] - prev_[0], q_[1] - prev_[1], q_[2] - prev_[2]};
      double cc = VDot(c, c);
      if (cc > 1e-9) {
        double f = VDot(r, c) / cc;
        double x[3] = {prev_[0] + f * c[0], prev_[1] + f * c[1], prev_[2] + f * c[2]};
        double foot[3], u = 0.0, d2 = 0.0;
        if (f > 0.0 && f < 1.0 && VDistance(x, q_) < std::sqrt(2.0) * tol_ &&
            curve_.ProjectPoint(q_, (1.0 - f) * prev_t_ + f * t, foot, u, d2) == kCurveOk && d2 < tol2_)
          return Hit();
      }
    }
    for (int i = 0; i < 3; ++i) prev_[i] = p[i];
    prev_t_ = t;
    first_ = false;
    return kCurveOk;
  }
  using CPointSink::AddPoint;
  bool HasPoints() const override { return !first_; }
  bool found = false;

 private:
  int Hit() {
    found = true;
    return kCurveNotFound;  // ends the walk
  }
  const CCurve& curve_;
  double q_[3], tol_, tol2_;
  double prev_[3] = {0, 0, 0}, prev_t_ = 0.0;
  bool first_ = true;
};

}  // namespace

bool CNURBS::ContainsPoint(const double p[3], double tol) const {
  if (!IsFinite3(p) || !(tol > 0.0) || !std::isfinite(tol)) return false;
  ContainSink sink(*this, p, tol);
  Tessellate(tol, nullptr, sink);
  return sink.found;
}

int CNURBS::SelfIntersections(CDoubleArray& params, double tol) const {
  if (!knots_ || ControlCount() == 0) return kCurveBadKnots;
  if (std::isnan(tol)) return kCurveBadArgument;
  tol = std::fmax(tol, 1e-9);
  const int d = Degree();
  struct Span {
    double u0, u1;
    CExtentBox box;
  };
  const int limit = ControlCount() + d + 2;
  std::unique_ptr<Span[]> spans(new (std::nothrow) Span[limit]);
  if (!spans) return kCurveNoMemory;
  int count = 0, s = 0, st = knots_->FindSpan(start_, s);
  if (st != kCurveOk) return st;
  for (int g = 0; g < limit && count < limit; ++g, ++s) {
    double u0 = std::fmax(knots_->KnotAt(s), start_), u1 = std::fmin(knots_->KnotAt(s + 1), end_);
    if (u0 >= end_) break;
    if (!(u1 > u0)) continue;
    Span& sp = spans[count++];
    sp.u0 = u0;
    sp.u1 = u1;
    for (int i = s - d; i <= s; ++i) {
      double p[3];
      ControlPoint(i, p);
      sp.box.Add(p, nullptr);
    }
  }
  const bool closed = IsClosed();
  CCurveIntersector it(*this, *this, 0.0);
  for (int i = 0; i < count; ++i)
    for (int l = i; l < count; ++l) {
      if (!spans[i].box.Overlaps(spans[l].box)) continue;
      for (int p = 0; p <= d; ++p)
        for (int q = 0; q <= d; ++q) {
          if (i == l && p >= q) continue;
          double a = spans[i].u0 + (spans[i].u1 - spans[i].u0) * (p + 0.5) / (d + 1);
          double b = spans[l].u0 + (spans[l].u1 - spans[l].u0) * (q + 0.5) / (d + 1);
          st = it.Solve(a, b, tol);
          if (st == kCurveNotFound) continue;
          if (st != kCurveOk) return st;
          double t1 = std::fmin(it.t1, it.t2), t2 = std::fmax(it.t1, it.t2);
          if (t2 - t1 <= 1e-6) continue;
          // The seam of a closed curve is not a crossing.
          if (closed && t1 - start_ <= 1e-6 && end_ - t2 <= 1e-6) continue;
          int at = 0;
          if ((st = params.InsertUnique(t1, 1e-6, at)) != kCurveOk ||
              (st = params.InsertUnique(t2, 1e-6, at)) != kCurveOk)
            return st;
        }
    }
  return kCurveOk;
}
