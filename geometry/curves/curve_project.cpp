#include "geometry/curves/curve_project.h"

#include <cfloat>
#include <cmath>
#include <memory>
#include <new>
#include <typeinfo>

#include "geometry/curves/nurbs.h"
#include "geometry/curves/vector_ops.h"

namespace {

// The frame from FrameAt's answer st: a degenerate one where the curve has
// no direction at all (which stops the iterations); point is asked for the
// point then.
template <class Point>
int FinishFrame(int st, double k, double v, CurveFrame& f, Point point) {
  if (st == kCurveZeroVector) {
    st = point(f.P);
    v = 0.0;
  }
  if (st != kCurveOk) return st;
  if (!(v >= 1e-9)) {
    f.v = 0.0;
    f.r = 0.0;
    for (int i = 0; i < 3; ++i) f.C[i] = f.P[i];
    return kCurveOk;
  }
  f.v = v;
  if (std::fabs(v * k) > 0.001) {
    f.r = 1.0 / k;
    double n[3];
    VQuarterTurn(f.T, nullptr, n);
    for (int i = 0; i < 3; ++i) f.C[i] = f.P[i] + f.r * n[i];
  } else {
    f.r = kCurveNone;
    for (int i = 0; i < 3; ++i) f.C[i] = f.P[i];
  }
  return kCurveOk;
}

}  // namespace

int TakeFrame(const CCurve& curve, double t, CurveFrame& f) {
  double k = 0.0, v = 0.0;
  const int st = curve.FrameAt(t, f.P, f.T, k, &v);
  return FinishFrame(st, k, v, f, [&](double p[3]) { return curve.Evaluate(t, p); });
}

CFrameSource::CFrameSource(const CCurve& curve) : curve_(curve) {
  // Not a subclass, which may evaluate otherwise.
  if (typeid(curve) == typeid(CNURBS)) spans_ = new (std::nothrow) CSpanPolynomials(static_cast<const CNURBS&>(curve));
  if (spans_ && !spans_->HasSpans()) {
    delete spans_;
    spans_ = nullptr;
  }
}

CFrameSource::~CFrameSource() { delete spans_; }

int CFrameSource::Take(double t, CurveFrame& f) {
  if (!spans_) return TakeFrame(curve_, t, f);
  double d[3][3], k = 0.0, v = 0.0;
  int st = spans_->Derivatives(t, d);
  if (st == kCurveOk) st = FrameFromDerivatives(d, f.P, f.T, k, &v, nullptr);
  return FinishFrame(st, k, v, f, [&](double p[3]) {
    for (int i = 0; i < 3; ++i) p[i] = d[0][i];
    return kCurveOk;
  });
}

double StepLimit(const CCurve& curve) {
  double p = curve.Period();
  return p != 0.0 ? std::fabs(p) : (curve.EndParam() - curve.StartParam()) * 100.0;
}

int CSampleSet::Build(const CCurve& curve) {
  int st = curve.SampleParams(params_);
  if (st != kCurveOk) return st;
  const int n = params_.Count();
  CDoubleArray ok(n);
  if ((st = points_.Reserve(n)) != kCurveOk || ok.Count() != n) return kCurveNoMemory;
  for (int i = 0; i < n; ++i) {
    double p[3] = {0, 0, 0};
    ok[i] = curve.Evaluate(params_[i], p) == kCurveOk && IsFinite3(p) ? 1.0 : 0.0;
    if ((st = points_.Append(p)) != kCurveOk) return st;
  }
  for (int i = 0; i < n; ++i) {
    double r = ok[i] != 0.0 ? 0.0 : kCurveNone;
    for (int j = i - 1; j <= i + 1; j += 2) {
      if (j < 0 || j >= n) continue;
      r = ok[j] != 0.0 ? std::fmax(r, 2.0 * VDistance(points_.Get(i), points_.Get(j))) : kCurveNone;
    }
    if (n == 1 || !std::isfinite(r)) r = kCurveNone;
    if ((st = reach_.Append(r)) != kCurveOk) return st;
  }
  return kCurveOk;
}

CPointProjector::CPointProjector(const CCurve& curve, const double point[3], double tol) : curve_(curve) {
  for (int i = 0; i < 3; ++i) q[i] = point[i];
  e = tol * tol;
}

void CPointProjector::StraightStep() {
  double w[3] = {q[0] - frame.P[0], q[1] - frame.P[1], q[2] - frame.P[2]};
  dt = VDot(frame.T, w) / frame.v;
}

void CPointProjector::CircleStep() {
  double a[3], b[3], angle = 0.0;
  for (int i = 0; i < 3; ++i) {
    a[i] = frame.P[i] - frame.C[i];
    b[i] = q[i] - frame.C[i];
  }
  if (VAngle(a, b, nullptr, angle) != kCurveOk) {
    dt = 0.0;
    stop = true;
    return;
  }
  dt = frame.r * angle / frame.v;
}

int CPointProjector::Run(double t0) {
  if (!IsFinite3(q) || !std::isfinite(t0)) return kCurveBadArgument;
  const double limit = StepLimit(curve_);
  t = t0;
  stop = false;
  bool done = false;
  for (int i = 0; i < kNewtonSteps && !done; ++i) {
    int st = TakeFrame(curve_, t, frame);
    if (st != kCurveOk) return st;
    double w[3] = {frame.P[0] - q[0], frame.P[1] - q[1], frame.P[2] - q[2]};
    dist2 = VDot(w, w);
    if (CloseEnough() || frame.IsDegenerate()) break;
    if (frame.IsStraight())
      StraightStep();
    else
      CircleStep();
    if (stop || !(std::fabs(dt) <= limit)) break;
    t += dt;
    done = std::fabs(dt) <= std::fmax(std::fabs(t), 1.0) * 1e-15;
    if (i + 1 == kNewtonSteps && !done) return kCurveNotFound;
  }
  if (!curve_.NormalizeParam(t)) return kCurveNotFound;
  int st = curve_.Evaluate(t, frame.P);
  if (st != kCurveOk) return st;
  double w[3] = {frame.P[0] - q[0], frame.P[1] - q[1], frame.P[2] - q[2]};
  dist2 = VDot(w, w);
  return kCurveOk;
}

int CCurve::ProjectPoint(const double q[3], double t0, double foot[3], double& t, double& dist2) const {
  CPointProjector proj(*this, q, 0.0);
  int st = proj.Run(t0);
  if (st != kCurveOk) return st;
  for (int i = 0; i < 3; ++i) foot[i] = proj.frame.P[i];
  t = proj.t;
  dist2 = proj.dist2;
  return kCurveOk;
}

int CCurve::ClosestPoint(const double q[3], double foot[3], double& t, double& distance, double tol,
                         double excluded) const {
  if (!IsFinite3(q) || std::isnan(tol)) return kCurveBadArgument;
  const double e = tol * tol;
  double best = DBL_MAX, best_t = 0.0, best_p[3] = {0, 0, 0};
  bool found = false;
  auto consider = [&](double s, const double p[3], double d2) {
    if (d2 < best && std::fabs(s - excluded) > 1e-6) {
      best = d2;
      best_t = s;
      for (int i = 0; i < 3; ++i) best_p[i] = p[i];
      found = true;
    }
  };
  CDoubleArray* seeds = nullptr;
  int st = ParamSeeds(1, seeds);
  std::unique_ptr<CDoubleArray> own(seeds);
  if (st != kCurveOk) return st;
  for (int i = 0; i < seeds->Count() && !(best < e); ++i) {
    double p[3];
    if (Evaluate((*seeds)[i], p) != kCurveOk) continue;
    double w[3] = {p[0] - q[0], p[1] - q[1], p[2] - q[2]};
    consider((*seeds)[i], p, VDot(w, w));
  }
  // Newton from the sample that may lie nearest first, then from the others
  // that may still beat the best foot.
  CSampleSet samples;
  if ((st = samples.Build(*this)) != kCurveOk) return st;
  auto bound = [&](int i) { return VDistance(samples.Point(i), q) - samples.Reach(i); };
  int first = -1;
  for (int i = 0; i < samples.Count(); ++i)
    if (first < 0 || bound(i) < bound(first)) first = i;
  CPointProjector proj(*this, q, tol);
  for (int k = -1; k < samples.Count() && !(best < e); ++k) {
    int i = k < 0 ? first : k;
    if (i < 0 || (k >= 0 && i == first)) continue;
    double lb = bound(i);
    if (lb > 0.0 && lb * lb > best) continue;
    if (proj.Run(samples.Param(i)) != kCurveOk) continue;
    consider(proj.t, proj.frame.P, proj.dist2);
  }
  if (!found) return kCurveNotFound;
  for (int i = 0; i < 3; ++i) foot[i] = best_p[i];
  t = best_t;
  distance = std::sqrt(best);
  return kCurveOk;
}

int CCurve::NearestPoint(const double q[3], double foot[3], double& t, double& distance, bool skip_ends) const {
  if (!IsFinite3(q)) return kCurveBadArgument;
  double d = kCurveNone, p[3], s = 0.0;
  if (ClosestPoint(q, p, s, d, 1e-9, kCurveNone) != kCurveOk) d = kCurveNone;
  for (int end = 0; end < 2 && !skip_ends; ++end) {
    double e[3];
    if ((end == 0 ? StartPoint(e) : EndPoint(e)) != kCurveOk) continue;
    double de = VDistance(e, q);
    if (de < d) {
      d = de;
      s = end == 0 ? StartParam() : EndParam();
      for (int i = 0; i < 3; ++i) p[i] = e[i];
    }
  }
  if (!(d < kCurveNone)) return kCurveNotFound;
  for (int i = 0; i < 3; ++i) foot[i] = p[i];
  t = s;
  distance = d;
  return kCurveOk;
}

bool CCurve::ContainsPoint(const double p[3], double tol) const {
  double foot[3], t = 0.0, d = 0.0;
  return ClosestPoint(p, foot, t, d, tol, kCurveNone) == kCurveOk && d <= tol;
}
