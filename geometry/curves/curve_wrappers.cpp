#include "geometry/curves/curve_wrappers.h"

#include <cmath>
#include <memory>
#include <new>

#include "geometry/curves/nurbs.h"
#include "geometry/curves/vector_ops.h"

namespace {
constexpr double kZAxis[3] = {0.0, 0.0, 1.0};
}  // namespace

int FindRoot(const CParamFunction& f, double t0, double& t) {
  if (!std::isfinite(t0)) return kCurveBadArgument;
  const double period = f.Period(), lo = f.range_low, hi = f.range_high;
  const bool clamp = period == 0.0 && hi > lo;
  const int limit = f.iteration_limit < 1 ? 1 : (f.iteration_limit > 1000 ? 1000 : f.iteration_limit);
  double u = t0, v = 0.0, d = 0.0;
  int last_bound = 0;
  for (int i = 0; i < limit; ++i) {
    int st = f.ValueAndDerivative(u, v, d);
    if (st != kCurveOk) return st;
    if (!std::isfinite(v) || !std::isfinite(d)) return kCurveNotFound;
    if (std::fabs(v) <= f.step_tol || std::fabs(d) <= 1e-9) break;
    double e = v / d;
    if (std::fabs(e) <= 1e-15) break;
    u -= e;
    if (period != 0.0) {
      u = lo + std::fmod(u - lo, period);
      if (u < lo) u += period;
    } else if (clamp) {
      int bound = u < lo ? -1 : (u > hi ? 1 : 0);
      if (bound != 0) {
        u = bound < 0 ? lo : hi;
        if (bound == last_bound) break;
      }
      last_bound = bound;
    }
  }
  int st = f.Value(u, v);
  if (st != kCurveOk) return st;
  if (!(std::fabs(v) <= f.value_tol)) return kCurveNotFound;
  t = u;
  return kCurveOk;
}

int CNewtonFunction::Value(double t, double& value) const {
  double d = 0.0;
  return ValueAndDerivative(t, value, d);
}

int HandOver(CCurve* made, int status, CCurve*& out) {
  if (!made) return kCurveNoMemory;
  if (status != kCurveOk) {
    delete made;
    return status;
  }
  out = made;
  return kCurveOk;
}

// ---- CTransformedCurve ----

CTransformedCurve::CTransformedCurve(const CCurve* inner, const CPointMap* map, int& status) {
  status = inner && map ? kCurveOk : kCurveBadArgument;
  if (status == kCurveOk) {
    inner_ = inner;
    map_ = map;
  }
}

CCurve* CTransformedCurve::Clone() const { return new (std::nothrow) CTransformedCurve(*this); }
double CTransformedCurve::StartParam() const { return inner_ ? inner_->StartParam() : 0.0; }
double CTransformedCurve::EndParam() const { return inner_ ? inner_->EndParam() : 0.0; }
double CTransformedCurve::Period() const { return inner_ ? inner_->Period() : 0.0; }
int CTransformedCurve::CurveFlag() const { return inner_ ? inner_->CurveFlag() : 0; }

int CTransformedCurve::Evaluate(double t, double point[3]) const {
  if (!inner_) return kCurveBadArgument;
  double p[3];
  int st = inner_->Evaluate(t, p);
  if (st == kCurveOk) map_->MapPoint(p, point);
  return st;
}

// ---- CReparamCurve ----

CReparamCurve::CReparamCurve(const CCurve* inner, CParamFunction* map, int& status) {
  status = inner && map ? kCurveOk : kCurveBadArgument;
  if (status == kCurveOk) {
    inner_ = inner;
    map_ = map;
  } else {
    delete map;
  }
}

CReparamCurve::CReparamCurve(const CReparamCurve& other)
    : CCurve(other), inner_(other.inner_), map_(other.map_ ? other.map_->Clone() : nullptr) {}

CReparamCurve::~CReparamCurve() { delete map_; }

CCurve* CReparamCurve::Clone() const {
  CReparamCurve* c = new (std::nothrow) CReparamCurve(*this);
  if (c && map_ && !c->map_) {
    delete c;
    c = nullptr;
  }
  return c;
}

double CReparamCurve::StartParam() const { return map_ ? map_->range_low : 0.0; }
double CReparamCurve::EndParam() const { return map_ ? map_->range_high : 0.0; }
int CReparamCurve::CurveFlag() const { return inner_ ? inner_->CurveFlag() : 0; }

int CReparamCurve::Evaluate(double s, double point[3]) const {
  if (!inner_ || !map_) return kCurveBadArgument;
  double t = 0.0;
  int st = map_->Value(s, t);
  return st != kCurveOk ? st : inner_->Evaluate(t, point);
}

int CReparamCurve::PointAndTangent(double s, double point[3], double derivative[3]) const {
  if (!inner_ || !map_) return kCurveBadArgument;
  double t = 0.0, dt = 0.0;
  int st = map_->ValueAndDerivative(s, t, dt);
  if (st == kCurveOk) st = inner_->PointAndTangent(t, point, derivative);
  if (st == kCurveOk) VScale(derivative, dt);
  return st;
}

// ---- COffsetCurve ----

COffsetCurve::COffsetCurve(const CCurve* inner, double distance, const double* axis, int& status) {
  status = inner && std::isfinite(distance) ? kCurveOk : kCurveBadArgument;
  if (status != kCurveOk) return;
  inner_ = inner;
  distance_ = distance;
  if (axis)
    for (int i = 0; i < 3; ++i) axis_[i] = axis[i];
  start_ = inner->StartParam();
  end_ = inner->EndParam();
}

CCurve* COffsetCurve::Clone() const { return new (std::nothrow) COffsetCurve(*this); }
double COffsetCurve::Period() const { return inner_ ? inner_->Period() : 0.0; }

int COffsetCurve::Evaluate(double t, double point[3]) const {
  if (!inner_) return kCurveBadArgument;
  double p[3], d[3], n[3];
  int st = inner_->PointAndTangent(t, p, d);
  if (st != kCurveOk) return st;
  VCross(axis_, d, n);
  double len = VLength(n);
  if (!(len >= 1e-9)) return kCurveZeroVector;
  for (int i = 0; i < 3; ++i) point[i] = p[i] + distance_ / len * n[i];
  return kCurveOk;
}

int COffsetCurve::PointAndTangent(double t, double point[3], double derivative[3]) const {
  if (!inner_) return kCurveBadArgument;
  double d[3][3];
  int st = inner_->Derivatives(t, 2, d);
  if (st != kCurveOk) return st;
  double v = VLength(d[1]);
  if (!(v >= 1e-9)) return kCurveZeroVector;
  double T[3] = {d[1][0] / v, d[1][1] / v, d[1][2] / v}, n[3], w[3], m[3];
  VCross(axis_, T, n);
  double a = VDot(d[2], T);
  for (int i = 0; i < 3; ++i) w[i] = d[2][i] - a * T[i];
  VCross(axis_, w, m);
  for (int i = 0; i < 3; ++i) {
    point[i] = d[0][i] + distance_ * n[i];
    derivative[i] = d[1][i] + distance_ / v * m[i];
  }
  return kCurveOk;
}

int COffsetCurve::FrameAt(double t, double point[3], double tangent[3], double& curvature, double* speed,
                          const double*) const {
  if (!inner_) return kCurveBadArgument;
  double k = 0.0, v = 0.0, n[3];
  int st = inner_->FrameAt(t, point, tangent, k, &v, axis_);
  if (st != kCurveOk) return st;
  VCross(axis_, tangent, n);
  for (int i = 0; i < 3; ++i) point[i] += distance_ * n[i];
  double m = 1.0 - k * distance_;
  if (std::fabs(k) > std::fabs(m) * kCurveNone) {
    // The offset passes through the centre of curvature: a cusp.
    curvature = k * m > 0.0 ? kCurveNone : -kCurveNone;
    v = 0.0;
  } else {
    curvature = k / m;
    v *= m;
    if (v < 0.0) {
      VNegate(tangent);
      v = -v;
    }
  }
  if (speed) *speed = v;
  return kCurveOk;
}

int COffsetCurve::SampleParams(CDoubleArray& out, const double* first, const double* last) const {
  if (!inner_) return kCurveBadArgument;
  return inner_->SampleParams(out, first ? first : &start_, last ? last : &end_);
}

int COffsetCurve::SetRange(double a, double b) {
  if (!(a <= b)) return kCurveBadArgument;
  start_ = a;
  end_ = b;
  return kCurveOk;
}

int COffsetCurve::SetStart(double a) {
  if (!(a < end_)) return kCurveBadArgument;
  start_ = a;
  return kCurveOk;
}

int COffsetCurve::SetEnd(double b) {
  if (!(b > start_)) return kCurveBadArgument;
  end_ = b;
  return kCurveOk;
}

// ---- CArcLengthMap ----

CArcLengthMap::~CArcLengthMap() { delete curve_; }

int CArcLengthMap::Make(const CDoubleArray& s, const CDoubleArray& t, const CDoubleArray& d, CArcLengthMap*& map) {
  map = nullptr;
  const int n = s.Count();
  if (n < 2 || t.Count() != n || d.Count() != n) return kCurveBadArgument;
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(s[i]) || !std::isfinite(t[i]) || !std::isfinite(d[i])) return kCurveBadArgument;
  if (std::fabs(d[0]) <= 1e-9) return kCurveBadArgument;
  if (2 * n - 1 > kMaxKnots) return kCurveTooManyKnots;
  const double sigma = d[0] > 0.0 ? 1.0 : -1.0;
  int st = kCurveOk;
  std::unique_ptr<CKnotVector> knots(new (std::nothrow) CKnotVector(1, 2 * n - 1, st));
  std::unique_ptr<CPointArray> points(new (std::nothrow) CPointArray());
  std::unique_ptr<CDoubleArray> weights(new (std::nothrow) CDoubleArray());
  if (!knots || !points || !weights) return kCurveNoMemory;
  if (st != kCurveOk) return st;
  auto add = [&](double x, double w) {
    double p[3] = {x, 0.0, 0.0};
    int r = points->Append(p);
    return r != kCurveOk ? r : weights->Append(w);
  };
  if ((st = knots->Append(s[0])) != kCurveOk || (st = knots->Append(s[0])) != kCurveOk ||
      (st = add(t[0], 1.0)) != kCurveOk)
    return st;
  double w_prev = 1.0;
  for (int c = 1; c < n; ++c) {
    double ds = s[c] - s[c - 1], dt = t[c] - t[c - 1];
    if (sigma * d[c] < 1e-9 || sigma * dt < 1e-9 || ds < 1e-9) return kCurveBadArgument;
    double w = std::sqrt(d[c - 1] / d[c]) * w_prev;
    double o = (w_prev * d[c - 1] + w * d[c]) * ds / (2.0 * dt);
    if ((st = add(o * (w_prev * t[c - 1] + w * t[c]) / (w_prev + w), o)) != kCurveOk) return st;
    if ((st = add(w * t[c], w)) != kCurveOk) return st;
    if ((st = knots->Append(0.5 * (s[c - 1] + s[c]))) != kCurveOk) return st;
    // The last length closes the vector as its period end.
    st = c + 1 < n ? knots->Append(s[c]) : knots->SetKnot(knots->Count(), s[c]);
    if (st != kCurveOk) return st;
    w_prev = w;
  }
  CKnotVector* kv = knots.release();
  CPointArray* pa = points.release();
  CDoubleArray* wa = weights.release();
  std::unique_ptr<CNURBS> curve(new (std::nothrow) CNURBS(kv, pa, wa, st));
  if (!curve) {
    delete kv;
    delete pa;
    delete wa;
    return kCurveNoMemory;
  }
  if (st != kCurveOk) return st;
  CArcLengthMap* m = new (std::nothrow) CArcLengthMap();
  if (!m) return kCurveNoMemory;
  m->range_low = curve->StartParam();
  m->range_high = curve->EndParam();
  m->curve_ = curve.release();
  map = m;
  return kCurveOk;
}

CParamFunction* CArcLengthMap::Clone() const {
  CArcLengthMap* m = new (std::nothrow) CArcLengthMap();
  if (!m) return nullptr;
  static_cast<CParamFunction&>(*m) = *this;
  m->curve_ = nullptr;
  if (curve_) {
    m->curve_ = static_cast<CNURBS*>(curve_->Clone());
    if (!m->curve_) {
      delete m;
      return nullptr;
    }
  }
  return m;
}

int CArcLengthMap::ValueAndDerivative(double s, double& t, double& derivative) const {
  if (!curve_ || std::isnan(s)) return kCurveBadArgument;
  s = std::fmin(std::fmax(s, range_low), range_high);
  double d[2][3];
  // The curve's own quotient rule: t = x / w, dt/ds = (x' - t w') / w.
  int st = curve_->Derivatives(s, 1, d);
  if (st == kCurveZeroVector) return kCurveSingular;
  if (st != kCurveOk) return st;
  t = d[0][0];
  derivative = d[1][0];
  return kCurveOk;
}

int AppendArcSample(const CCurve& curve, double t, double length, CDoubleArray& s, CDoubleArray& ts,
                    CDoubleArray& d) {
  double dv[2][3];
  int st = curve.Derivatives(t, 1, dv);
  if (st != kCurveOk) return st;
  double speed = std::hypot(dv[1][0], dv[1][1]);
  if (!(speed > 1e-9)) return kCurveUnsupported;
  if ((st = s.Append(length)) != kCurveOk || (st = ts.Append(t)) != kCurveOk) return st;
  return d.Append(1.0 / speed);
}

int MakeArcLengthCurve(const CCurve& curve, const CDoubleArray& s, const CDoubleArray& t, const CDoubleArray& d,
                       CCurve*& out) {
  CArcLengthMap* map = nullptr;
  int st = CArcLengthMap::Make(s, t, d, map);
  if (st != kCurveOk) return st;
  CReparamCurve* c = new (std::nothrow) CReparamCurve(&curve, map, st);
  if (!c) delete map;
  return HandOver(c, st, out);
}

// ---- generic CCurve operations that make wrappers ----

int CCurve::ArcLengthReparam(double a, double b, CCurve*& out) const {
  if (!std::isfinite(a) || !std::isfinite(b) || !(b > a)) return kCurveBadArgument;
  CDoubleArray s, t, d;
  CPlaneSpeedFunction speed(*this);
  double length = 0.0, prev = a;
  int st = AppendArcSample(*this, a, 0.0, s, t, d);
  for (int i = 1; i <= 32 && st == kCurveOk; ++i) {
    double ti = a + i * (b - a) / 32.0, piece = 0.0;
    if ((st = Integrate(speed, prev, ti, piece)) != kCurveOk) break;
    length += piece;
    st = AppendArcSample(*this, ti, length, s, t, d);
    prev = ti;
  }
  return st != kCurveOk ? st : MakeArcLengthCurve(*this, s, t, d, out);
}

int CCurve::Transformed(const CPointMap& map, CCurve*& out) const {
  if (CanTransformInPlace() && map.IsAffine()) {
    CCurve* copy = Clone();
    if (!copy) return kCurveNoMemory;
    int st = copy->TransformInPlace(map);
    if (st != kCurveOk) {
      delete copy;
      return st;
    }
    out = copy;
    return kCurveOk;
  }
  int st = kCurveOk;
  CTransformedCurve* c = new (std::nothrow) CTransformedCurve(this, &map, st);
  if (!c) return kCurveNoMemory;
  out = c;
  return st;
}

int CCurve::MakeOffset(double distance, CCurve*& out, const double* axis) const {
  int st = kCurveOk;
  COffsetCurve* c = new (std::nothrow) COffsetCurve(this, distance, axis, st);
  return HandOver(c, st, out);
}

namespace {
// det(P - Q, P', z): zero where the tangent line passes through Q.
class TangentLineFunction : public CNewtonFunction {
 public:
  TangentLineFunction(const CCurve& curve, const double q[3]) : curve_(curve) {
    for (int i = 0; i < 3; ++i) q_[i] = q[i];
    range_low = curve.StartParam();
    range_high = curve.EndParam();
  }
  CParamFunction* Clone() const override { return new (std::nothrow) TangentLineFunction(*this); }
  double Period() const override { return curve_.Period(); }
  int ValueAndDerivative(double t, double& value, double& derivative) const override {
    double d[3][3];
    int st = curve_.Derivatives(t, 2, d);
    if (st != kCurveOk) return st;
    double r[3] = {d[0][0] - q_[0], d[0][1] - q_[1], d[0][2] - q_[2]};
    value = VDet(r, d[1], kZAxis);
    derivative = VDet(r, d[2], kZAxis);
    return kCurveOk;
  }

 private:
  const CCurve& curve_;
  double q_[3];
};
}  // namespace

int CCurve::TangentFromPoint(const double q[3], double t0, double& t) const {
  if (!q || !std::isfinite(q[0]) || !std::isfinite(q[1]) || !std::isfinite(q[2])) return kCurveBadArgument;
  TangentLineFunction f(*this, q);
  return FindRoot(f, t0, t);
}

int CCurve::LineData(double*, double*) const { return kCurveUnsupported; }
int CCurve::CircleData(double*, double*, double*) const { return kCurveUnsupported; }
