// Cubic approximation of any curve: the knots are placed span by span so
// that a fourth-difference estimate of each span's error stays near a target
// below the tolerance; the converting constructor of CNURBS then fits the
// control points on them.
#include <cmath>
#include <memory>
#include <new>

#include "geometry/curves/curve_wrappers.h"
#include "geometry/curves/knot_vector.h"
#include "geometry/curves/nurbs.h"
#include "geometry/curves/vector_ops.h"

namespace {
double FourthDifference(const double (*q)[3], int i, int step) {
  double d[3];
  for (int c = 0; c < 3; ++c)
    d[c] = q[i][c] - 4.0 * q[i + step][c] + 6.0 * q[i + 2 * step][c] - 4.0 * q[i + 3 * step][c] + q[i + 4 * step][c];
  return VLength(d);
}
}  // namespace

int CCurve::SpanError(double a, double h, double tol, double& error) const {
  double q[9][3];
  for (int k = 0; k <= 8; ++k) {
    int st = Evaluate(a + k * h / 8.0, q[k]);
    if (st != kCurveOk) return st;
  }
  error = FourthDifference(q, 0, 2);
  if (!(error <= tol)) return kCurveNotFound;
  // One fine difference spans a quarter of the coarse step: 16 times it is
  // on the coarse scale.
  double fine = 16.0 * std::fmax(FourthDifference(q, 0, 1), FourthDifference(q, 4, 1));
  error = std::fmax(error, fine);
  return error <= tol ? kCurveOk : kCurveNotFound;
}

namespace {

// One pass over the range with target error e; 2101 when the knots run out.
int PlaceKnots(const CCurve& curve, double e, int mult, CKnotVector& kv) {
  const double a = curve.StartParam(), b = curve.EndParam(), range = b - a;
  const double min_span = 1e-4 * range, max_span = mult == 4 ? range : 0.25 * range;
  int st = kCurveOk;
  for (int i = 0; i < mult; ++i)
    if ((st = kv.Append(a)) != kCurveOk) return st;
  double u = a, h = std::fmin(0.125 * range, max_span), last_full = h;
  while (u < b) {
    double lower = 0.0, upper = kCurveNone, taken = 0.0;
    bool cut = false;
    for (int trial = 0; trial < 100; ++trial) {
      double hh = std::fmin(std::fmax(h, min_span), b - u);
      bool at_end = hh >= b - u;
      double err = 0.0;
      st = curve.SpanError(u, hh, e, err);
      if (st != kCurveOk && st != kCurveNotFound) return st;
      if (st == kCurveOk) {
        lower = taken = hh;
        cut = at_end;
        if (at_end || err > 0.7 * e || hh >= max_span) break;
      } else {
        upper = hh;
        if (hh <= min_span) {
          taken = hh;  // as fine as the range allows
          cut = at_end;
          break;
        }
      }
      double next = err > 1e-300 ? hh * std::pow(0.85 * e / err, 0.25) : 2.0 * hh;
      if (!(next > lower && next < upper)) next = upper < kCurveNone ? 0.5 * (lower + upper) : 2.0 * hh;
      h = std::fmin(next, max_span);
      if (upper < kCurveNone && upper - lower <= 1e-12 * range) break;
    }
    if (!(taken > 0.0)) taken = lower > 0.0 ? lower : std::fmin(min_span, b - u);
    if (!cut) last_full = taken;
    h = taken;
    u += taken;
    if (u >= b - 1e-9 * range) break;
    if (kv.Count() + 1 >= kMaxKnots) return kCurveTooManyKnots;
    if ((st = kv.Append(u)) != kCurveOk) return st;
  }
  int n = kv.Count();
  if (n > 4 && n - 1 >= mult) kv[n - 1] = std::fmax(b - last_full, 0.5 * (kv[n - 2] + b));
  if ((st = kv.SetKnot(n, b)) != kCurveOk) return st;
  return kv.Validate();
}

}  // namespace

int CCurve::ApproximationKnots(double tol, CKnotVector*& out) const {
  out = nullptr;
  if (!std::isfinite(tol)) return kCurveBadArgument;
  double e = 0.03 * tol;
  if (std::fabs(e) <= 1e-9) return kCurveSingular;
  e = std::fabs(e);
  const double a = StartParam(), b = EndParam();
  if (!IsBounded() || !std::isfinite(a) || !std::isfinite(b) || !(b - a > 1e-9)) return kCurveBadArgument;
  // A closed curve whose ends join smoothly gets a periodic vector with a
  // double knot at the seam.
  int mult = 4;
  double d0[3][3], d1[3][3];
  if (IsClosed() && Derivatives(a, 2, d0) == kCurveOk && Derivatives(b, 2, d1) == kCurveOk && VEqual(d0[1], d1[1]) &&
      VEqual(d0[2], d1[2]))
    mult = 2;
  for (int attempt = 0; attempt < 10; ++attempt, e *= 4.0) {
    int st = kCurveOk;
    std::unique_ptr<CKnotVector> kv(new (std::nothrow) CKnotVector(3, 0, st));
    if (!kv) return kCurveNoMemory;
    if (st == kCurveOk) st = PlaceKnots(*this, e, mult, *kv);
    if (st == kCurveOk) {
      out = kv.release();
      return kCurveOk;
    }
    if (st != kCurveTooManyKnots) return st;
  }
  return kCurveUnsupported;
}

int CCurve::ToNURBS(double tol, CCurve*& out) const {
  int st = kCurveOk;
  CNURBS* c = new (std::nothrow) CNURBS(*this, tol, st);
  return HandOver(c, st, out);
}
