// The NURBS algorithms of the spline path: the segment count of a span from
// the bend of its control polygon, the tessellation by forward differences,
// parameter sampling and the periodic interpolating fit of closed curves.
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "geometry/curves/band_matrix.h"
#include "geometry/curves/nurbs.h"

int CNURBS::SpanSegments(int i, double tol) const {
  if (ControlCount() == 0) return 1;
  const double* q0 = points_->Get(i);
  const double* q1 = points_->Get(i + 1);
  const double* q2 = points_->Get(i + 2);
  double w0 = WeightAt(i), w1 = WeightAt(i + 1), w2 = WeightAt(i + 2);
  double dd = 0.0;
  for (int c = 0; c < 3; ++c) {
    double d = 0.5 * (q0[c] + q2[c]) - q1[c];
    dd += d * d;
  }
  double e = w1 - 0.5 * (w0 + w2);
  double f = std::sqrt(dd + e * e);
  double g = std::min(w0, std::min(w1, w2)) * tol;
  if (!(f > 1e-9 && g >= 1e-9)) return 1;
  double n = std::floor(std::sqrt(f / g)) + Degree();
  return n < 1e9 ? static_cast<int>(n) : 1000000000;
}

namespace {

// A point in homogeneous form: x, y, z and the weight.
struct HPoint {
  double v[4];
};

int EmitH(const HPoint& h, double t, const CPointMap* map, CPointSink& sink) {
  double w = h.v[3];
  if (w < 1e-9) return kCurveSingular;
  double p[3] = {h.v[0] / w, h.v[1] / w, h.v[2] / w};
  if (map) {
    double q[3];
    map->MapPoint(p, q);
    return sink.AddPoint(q, t);
  }
  return sink.AddPoint(p, t);
}

int EvalH(const CNURBS& c, double t, HPoint& h) { return c.PointWithWeight(t, h.v, h.v[3]); }

}  // namespace

int CNURBS::BeginSpans(double a, double b, SpanWalk& w) const {
  if (!knots_ || ControlCount() == 0) return kCurveBadKnots;
  if (period_ == 0.0) {
    a = std::max(a, start_);
    b = std::min(b, end_);
  }
  if (!(b > a)) return kCurveBadArgument;
  w.t = a;
  w.b = b;
  w.pass = 0;
  // Each span either advances t to the next knot or is an empty one.
  w.guard = 10 * (ControlCount() + Degree() + 2);
  w.cap = std::max(1, 32767 / (4 * ControlCount()));
  return knots_->FindSpan(a, w.s);
}

bool CNURBS::NextSpan(SpanWalk& w, double tol) const {
  const int d = Degree();
  for (; w.pass < w.guard && w.t < w.b; ++w.pass, ++w.s) {
    w.e = std::min(knots_->KnotAt(w.s + 1), w.b);
    if (w.e <= w.t) continue;
    // The bend of the control polygon over the span sets its step count.
    w.steps = 1;
    if (w.fixed_steps > 0) {
      w.steps = w.fixed_steps;
    } else if (d > 1) {
      for (int j = w.s - d; j <= w.s - 2; ++j) w.steps = std::max(w.steps, SpanSegments(j, tol));
      w.steps = std::min(w.steps, w.cap);
    }
    ++w.pass;
    ++w.s;
    return true;
  }
  return false;
}

int CNURBS::TessellationCount(double a, double b, double tol, int& count) const {
  SpanWalk w;
  int st = BeginSpans(a, b, w);
  if (st != kCurveOk) return st;
  count = 1;
  while (NextSpan(w, tol)) {
    count += w.steps;
    w.t = w.e;
  }
  return w.t < w.b ? kCurveBadArgument : kCurveOk;  // a range of too many periods
}

int CNURBS::TessellateRange(double a, double b, double tol, const CPointMap* map, CPointSink& sink) const {
  return WalkRange(a, b, tol, 0, map, sink);
}

int CNURBS::WalkRange(double a, double b, double tol, int fixed_steps, const CPointMap* map,
                      CPointSink& sink) const {
  SpanWalk w;
  w.fixed_steps = fixed_steps;
  int st = BeginSpans(a, b, w);
  if (st != kCurveOk) return st;
  const int d = Degree();
  HPoint table[kMaxDegree + 1];  // the latest point, then its backward differences
  HPoint cur;
  if ((st = EvalH(*this, w.t, cur)) != kCurveOk) return st;
  if (!sink.HasPoints() && (st = EmitH(cur, w.t, map, sink)) != kCurveOk) return st;

  while (NextSpan(w, tol)) {
    const double t = w.t, h = (w.e - t) / w.steps;
    const int exact = std::min(d, w.steps - 1);
    HPoint hist[kMaxDegree + 1];
    hist[0] = cur;
    for (int i = 1; i <= exact; ++i) {
      double ti = t + i * h;
      if ((st = EvalH(*this, ti, hist[i])) != kCurveOk) return st;
      if ((st = EmitH(hist[i], ti, map, sink)) != kCurveOk) return st;
    }
    if (w.steps - 1 > d) {
      // Backward differences at the newest exact point; the d-th is constant
      // over the span, so each step adds the table from the top down.
      for (int k = 0; k <= d; ++k) table[k] = hist[d - k];
      for (int k = 1; k <= d; ++k)
        for (int j = d; j >= k; --j)
          for (int c = 0; c < 4; ++c) table[j].v[c] = table[j - 1].v[c] - table[j].v[c];
      for (int i = d + 1; i <= w.steps - 1; ++i) {
        for (int k = d - 1; k >= 0; --k)
          for (int c = 0; c < 4; ++c) table[k].v[c] += table[k + 1].v[c];
        if ((st = EmitH(table[0], t + i * h, map, sink)) != kCurveOk) return st;
      }
    }
    // The span ends on an exact point, which starts the next span.
    if ((st = EvalH(*this, w.e, cur)) != kCurveOk) return st;
    if ((st = EmitH(cur, w.e, map, sink)) != kCurveOk) return st;
    w.t = w.e;
  }
  return w.t < w.b ? kCurveBadArgument : kCurveOk;  // a range of too many periods
}

int CNURBS::SampleParams(CDoubleArray& out, const double* first, const double* last) const {
  if (!knots_) return CCurve::SampleParams(out, first, last);
  double lo = first ? *first : start_;
  double hi = last ? *last : end_;
  const CKnotVector& U = *knots_;
  const int d = U.Degree();
  const double length = U.StoredPeriod();
  const bool clamped = !U.IsPeriodic();
  int st = kCurveOk;
  if (clamped && lo < U[0]) {
    if ((st = out.Append(U[0] - 0.5 * length)) != kCurveOk) return st;
    if ((st = out.Append(U[0])) != kCurveOk) return st;
  }
  // Walk the knots from the first one at or after lo.
  const int limit = 10 * U.Count() + d + 2;
  int i = 0;
  for (int g = 0; g < limit && U.KnotAt(i) > lo; ++g) --i;
  for (int g = 0; g < 2 * limit && U.KnotAt(i) < lo; ++g) ++i;
  for (int g = 0; g < 2 * limit; ++g, ++i) {
    double k0 = U.KnotAt(i), k1 = U.KnotAt(i + 1);
    if (k1 > hi) break;
    if (k1 <= k0) continue;
    for (int j = 1; j <= d; ++j)
      if ((st = out.Append(k0 + (k1 - k0) * j / (d + 1))) != kCurveOk) return st;
  }
  if (clamped && hi > end_) {
    if ((st = out.Append(end_)) != kCurveOk) return st;
    if ((st = out.Append(end_ + 0.5 * length)) != kCurveOk) return st;
  }
  return kCurveOk;
}

int FitClosedCurve(const CKnotVector& knots, const CPointArray& points, CNURBS*& curve) {
  curve = nullptr;
  const int n = points.Count() - 1;  // unknowns: the last point repeats the first
  if (n < 3 || knots.Count() != n || knots.Degree() != 3) return kCurveBadArgument;
  std::unique_ptr<CKnotVector> kv(new (std::nothrow) CKnotVector(knots));
  std::unique_ptr<CPointArray> pts(new (std::nothrow) CPointArray(points));
  if (!kv || !pts || kv->Count() != n || pts->Count() != n + 1) return kCurveNoMemory;
  pts->Remove(n, 1);
  pts->Rotate(2);

  int st = kCurveOk;
  CBandMatrix core(n - 1, 1, st);
  if (st != kCurveOk) return st;
  CBorderedBandMatrix m(&core, 1, st);
  if (st != kCurveOk) return st;
  double basis[3][kMaxDegree + 1];
  for (int i = 0; i < n; ++i) {
    kv->Basis(i + 2, kv->KnotAt(i + 2), 0, basis);
    m.At(i, i - 1) = basis[0][0];
    m.At(i, i) = basis[0][1];
    m.At(i, i + 1) = basis[0][2];
  }
  if ((st = m.Factor()) != kCurveOk) return st;
  if ((st = m.Solve(*pts, 0)) != kCurveOk) return st;

  return CNURBS::Make(kv.release(), pts.release(), curve);
}
