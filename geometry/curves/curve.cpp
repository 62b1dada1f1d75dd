#include "geometry/curves/curve.h"

#include <cmath>
#include <new>

#include <qm_rand.h>

#include "geometry/curves/vector_ops.h"

namespace {
constexpr double kZAxis[3] = {0.0, 0.0, 1.0};

int Emit(const double p[3], double t, const CPointMap* map, CPointSink& sink) {
  if (!map) return sink.AddPoint(p, t);
  double q[3];
  map->MapPoint(p, q);
  return sink.AddPoint(q, t);
}
}  // namespace

int CCurve::Derivatives(double, int, double (*)[3]) const { return kCurveUnsupported; }

int CCurve::PointAndTangent(double, double*, double*) const { return kCurveUnsupported; }

int CCurve::FrameAt(double t, double point[3], double tangent[3], double& curvature, double* speed,
                    const double* axis) const {
  double d[3][3];
  int st = Derivatives(t, 2, d);
  if (st != kCurveOk) return st;
  return FrameFromDerivatives(d, point, tangent, curvature, speed, axis);
}

int FrameFromDerivatives(const double (*d)[3], double point[3], double tangent[3], double& curvature, double* speed,
                         const double* axis) {
  if (!axis) axis = kZAxis;
  double v = VLength(d[1]);
  for (int i = 0; i < 3; ++i) point[i] = d[0][i];
  if (speed) *speed = v;
  if (v > 1e-9) {
    double c[3];
    for (int i = 0; i < 3; ++i) tangent[i] = d[1][i] / v;
    VCross(tangent, d[2], c);
    curvature = VDot(c, axis) / (v * v);
    return kCurveOk;
  }
  curvature = kCurveNone;
  double a = VLength(d[2]);
  if (a > 1e-9) {
    // A cusp: the curve leaves the point along the second derivative.
    for (int i = 0; i < 3; ++i) tangent[i] = d[2][i] / a;
    return kCurveOk;
  }
  tangent[0] = tangent[1] = tangent[2] = 0.0;
  return kCurveZeroVector;
}

bool CCurve::NormalizeParam(double& t) const {
  double period = Period(), start = StartParam(), end = EndParam();
  double u = t;
  if (period != 0.0 && std::fabs(u - start) < 1000.0 * std::fabs(period)) {
    for (int i = 0; i < 1000 && u >= end + 1e-9; ++i) u -= period;
    for (int i = 0; i < 1000 && u <= start - 1e-9; ++i) u += period;
  }
  if (std::fabs(u - start) < 1e-9)
    u = start;
  else if (std::fabs(u - end) < 1e-9)
    u = end;
  if (u < start || u > end) return false;
  t = u;
  return true;
}

int CCurve::PointWithWeight(double t, double point[3], double& weight) const {
  weight = 1.0;
  return Evaluate(t, point);
}

int CCurve::ArcLength(double& length) const {
  CPlaneSpeedFunction speed(*this);
  double a = StartParam(), b = EndParam();
  length = 0.0;
  for (int i = 0; i < 10; ++i) {
    double piece = 0.0;
    int st = Integrate(speed, a + (b - a) * i / 10.0, a + (b - a) * (i + 1) / 10.0, piece);
    if (st != kCurveOk) return st;
    length += piece;
  }
  return kCurveOk;
}

int CCurve::SignedArea(double& accumulator, const double* axis) const {
  CAreaFunction area(*this, axis);
  double r = 0.0;
  int st = Integrate(area, StartParam(), EndParam(), r);
  accumulator += r;
  return st;
}

int CCurve::Tessellate(double tol, const CPointMap* map, CPointSink& sink) const {
  return TessellateRange(StartParam(), EndParam(), tol, map, sink);
}

namespace {

// Chord test of the generic tessellation: the piece (t, P) .. (r, Q) is
// sampled at a random point of its middle third, and the halves again when
// the first sample passes.
class PieceTester {
 public:
  PieceTester(const CCurve& curve, double e) : curve_(curve), e_(e) {}

  int Test(double t, const double P[3], double r, const double Q[3], double& dev, bool& ok) {
    dev = 0.0;
    double m, M[3];
    int st = Sample(t, P, r, Q, dev, m, M);
    if (st != kCurveOk) return st;
    ok = dev <= e_;
    if (!ok) return kCurveOk;
    double m2, M2[3];
    st = Sample(t, P, m, M, dev, m2, M2);
    if (st == kCurveOk) st = Sample(m, M, r, Q, dev, m2, M2);
    ok = dev <= e_;
    return st;
  }

 private:
  int Sample(double t, const double P[3], double r, const double Q[3], double& dev, double& m, double M[3]) {
    m = t + (1.0 + rng_.next() / 32767.0) * (r - t) * 0.3333;
    int st = curve_.Evaluate(m, M);
    if (st != kCurveOk) return st;
    double c[3] = {Q[0] - P[0], Q[1] - P[1], Q[2] - P[2]};
    double v[3] = {M[0] - P[0], M[1] - P[1], M[2] - P[2]};
    double vv = VDot(v, v), f;
    if (vv > 1e-9) {
      double z = VDet(c, v, nullptr);
      f = 4.0 * z * z / vv;
    } else {
      f = VDot(c, c);
    }
    if (f > dev) dev = f;
    return kCurveOk;
  }

  const CCurve& curve_;
  double e_;
  QmRand rng_{0};  // seeded with 0 for every tessellation, so results repeat
};

}  // namespace

int CCurve::TessellateRange(double a, double b, double tol, const CPointMap* map, CPointSink& sink) const {
  if (b < a + 1e-6) return kCurveOk;
  double step = (b - a) / 32.0;
  const double e = tol * tol, low = 0.25 * e, target = 0.6 * e;
  PieceTester tester(*this, e);
  double P[3];
  int st = Evaluate(a, P);
  if (st != kCurveOk) return st;
  if (!sink.HasPoints() && (st = Emit(P, a, map, sink)) != kCurveOk) return st;

  double t = a;
  for (int vertex = 0; vertex < 4095 && t < b; ++vertex) {
    double lower = t, upper = b, r = std::fmin(t + step, b);
    double Q[3], accepted_r = t, accepted_Q[3] = {P[0], P[1], P[2]};
    double last_r = t, last_Q[3] = {P[0], P[1], P[2]};
    bool first = true;
    for (int trial = 0; trial < 100; ++trial) {
      if ((st = Evaluate(r, Q)) != kCurveOk) return st;
      double dev = 0.0;
      bool ok = false;
      if ((st = tester.Test(t, P, r, Q, dev, ok)) != kCurveOk) return st;
      last_r = r;
      for (int i = 0; i < 3; ++i) last_Q[i] = Q[i];
      if (ok) {
        lower = r;
        accepted_r = r;
        for (int i = 0; i < 3; ++i) accepted_Q[i] = Q[i];
        if (dev > low) break;
      } else {
        upper = std::fmax(r, t);
      }
      double mid = 0.5 * (lower + upper);
      if (dev >= 1e-9) {
        double h = std::pow(target / dev, 0.25);
        r = std::fabs(h - 1.0) <= 0.2 ? mid : t + h * step;
      } else {
        r = first ? upper : mid;
      }
      if (r < lower || r > upper) r = mid;
      step = r - t;
      first = false;
      if (upper < lower + 1e-9) break;
    }
    // Take the longest piece that passed; when none did, the last trial.
    if (accepted_r > t) {
      t = accepted_r;
      for (int i = 0; i < 3; ++i) P[i] = accepted_Q[i];
    } else if (last_r > t) {
      t = last_r;
      for (int i = 0; i < 3; ++i) P[i] = last_Q[i];
    } else {
      t = b;
      if ((st = Evaluate(b, P)) != kCurveOk) return st;
    }
    if (step <= 0.0) step = (b - a) / 32.0;
    if ((st = Emit(P, t, map, sink)) != kCurveOk) return st;
  }
  return kCurveOk;
}

bool CCurve::IsClosed() const {
  double p[3], q[3];
  if (StartPoint(p) != kCurveOk || EndPoint(q) != kCurveOk) return false;
  return VEqual(p, q);
}

int CCurve::SampleParams(CDoubleArray& out, const double* first, const double* last) const {
  double a = first ? *first : StartParam();
  double b = last ? *last : EndParam();
  for (int k = 0; k <= 4; ++k) {
    int st = out.Append(a + k * (b - a) / 4.0);
    if (st != kCurveOk) return st;
  }
  return kCurveOk;
}

int CCurve::TrimToRange(double a, double b, CCurve*& out) {
  int st = SetRange(a, b);
  out = st == kCurveOk ? this : nullptr;
  return st;
}

int CCurve::ParamSeeds(int, CDoubleArray*& out) const {
  out = new (std::nothrow) CDoubleArray();
  return out ? kCurveOk : kCurveNoMemory;
}

int CCurve::NextCorner(double, double& out) const {
  out = EndParam();
  return kCurveNotFound;
}

int CCurve::Integrate(const CParamFunction& f, double a, double b, double& result) const {
  return GaussIntegrate(f, a, b, result);
}

int CCurve::Curvature(double t, double& curvature, const double* axis) const {
  double p[3], tangent[3];
  return FrameAt(t, p, tangent, curvature, nullptr, axis);
}

int CCurve::CollectPieces(int& count, CCurve*& piece) {
  piece = this;
  ++count;
  return kCurveNotFound;
}

int GaussIntegrate(const CParamFunction& f, double a, double b, double& result) {
  static const double x[3] = {0.033765242898424, 0.169395306766868, 0.380690406958402};
  static const double w[3] = {0.085662246189585, 0.18038078652407, 0.233956967286345};
  double h = b - a, sum = 0.0;
  result = 0.0;
  for (int i = 0; i < 3; ++i) {
    double f1, f2;
    int st = f.Value(a + x[i] * h, f1);
    if (st == kCurveOk) st = f.Value(b - x[i] * h, f2);
    if (st != kCurveOk) return st;
    sum += w[i] * (f1 + f2);
  }
  result = h * sum;
  return kCurveOk;
}

CPlaneSpeedFunction::CPlaneSpeedFunction(const CCurve& curve) : curve_(curve) {
  range_low = curve.StartParam();
  range_high = curve.EndParam();
}

CParamFunction* CPlaneSpeedFunction::Clone() const { return new (std::nothrow) CPlaneSpeedFunction(*this); }

int CPlaneSpeedFunction::Value(double t, double& value) const {
  double d[2][3];
  int st = curve_.Derivatives(t, 1, d);
  if (st == kCurveOk) value = std::hypot(d[1][0], d[1][1]);
  return st;
}

int CPlaneSpeedFunction::ValueAndDerivative(double t, double& value, double& derivative) const {
  double d[3][3];
  int st = curve_.Derivatives(t, 2, d);
  if (st != kCurveOk) return st;
  value = std::hypot(d[1][0], d[1][1]);
  derivative = value > 1e-9 ? (d[1][0] * d[2][0] + d[1][1] * d[2][1]) / value : 0.0;
  return kCurveOk;
}

CAreaFunction::CAreaFunction(const CCurve& curve, const double* axis) : curve_(curve) {
  if (!axis) axis = kZAxis;
  for (int i = 0; i < 3; ++i) axis_[i] = axis[i];
  range_low = curve.StartParam();
  range_high = curve.EndParam();
}

CParamFunction* CAreaFunction::Clone() const { return new (std::nothrow) CAreaFunction(*this); }

int CAreaFunction::Value(double t, double& value) const {
  double d[2][3];
  int st = curve_.Derivatives(t, 1, d);
  if (st == kCurveOk) value = VDet(d[0], d[1], axis_);
  return st;
}

int CAreaFunction::ValueAndDerivative(double t, double& value, double& derivative) const {
  double d[3][3];
  int st = curve_.Derivatives(t, 2, d);
  if (st != kCurveOk) return st;
  value = VDet(d[0], d[1], axis_);
  derivative = VDet(d[0], d[2], axis_);
  return kCurveOk;
}
