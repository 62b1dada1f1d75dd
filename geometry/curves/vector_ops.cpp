#include "geometry/curves/vector_ops.h"

#include <cfloat>
#include <cmath>

namespace {
constexpr double kZ[3] = {0.0, 0.0, 1.0};
const double* AxisOr(const double* axis) { return axis ? axis : kZ; }
// A vector's length is never below its largest component (the hypot of it
// is that component times a root of at least 1), so a component beyond the
// bound answers without the length, and answers as the length would.
bool HasComponentBeyond(const double v[3], double bound) {
  return std::fabs(v[0]) > bound || std::fabs(v[1]) > bound || std::fabs(v[2]) > bound;
}
}  // namespace

void VScale(double v[3], double s) {
  v[0] *= s;
  v[1] *= s;
  v[2] *= s;
}

void VDivide(double v[3], double s) {
  v[0] /= s;
  v[1] /= s;
  v[2] /= s;
}

void VNegate(double v[3]) { VScale(v, -1.0); }

void VQuarterTurn(const double v[3], const double* axis, double out[3]) { VCross(AxisOr(axis), v, out); }

int VNormalize(double v[3]) {
  double len = VLength(v);
  if (len <= 1e-9) return kCurveZeroVector;
  VDivide(v, len);
  return kCurveOk;
}

int VAngle(const double p[3], const double q[3], const double* axis, double& angle) {
  if (!HasComponentBeyond(p, 1e-9) && VLength(p) <= 1e-9 && VLength(q) <= 1e-9) {
    angle = 0.0;
    return kCurveZeroVector;
  }
  angle = std::atan2(VDet(p, q, axis), VDot(p, q));
  return kCurveOk;
}

double VDistance(const double p[3], const double q[3]) {
  double d[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
  return VLength(d);
}

bool IsNearLine(const double p[3], const double q[3], const double r[3], double tol) {
  double d = VDistance(p, q);
  if (d <= tol) return true;
  double a[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
  double b[3] = {r[0] - p[0], r[1] - p[1], r[2] - p[2]};
  return std::fabs(VDet(a, b, kZ)) <= 2.0 * tol * d;
}

bool VEqual(const double p[3], const double q[3]) {
  return std::fabs(p[0] - q[0]) < 1e-9 && std::fabs(p[1] - q[1]) < 1e-9 && std::fabs(p[2] - q[2]) < 1e-9;
}

double Cofactor3(const double m[3][3], int i, int j) {
  static const int other[3][2] = {{1, 2}, {0, 2}, {0, 1}};
  const int* r = other[i];
  const int* c = other[j];
  double minor = m[r[0]][c[0]] * m[r[1]][c[1]] - m[r[0]][c[1]] * m[r[1]][c[0]];
  return ((i + j) % 2 == 0) ? minor : -minor;
}

double Determinant3(const double m[3][3]) {
  return m[0][0] * Cofactor3(m, 0, 0) + m[0][1] * Cofactor3(m, 0, 1) + m[0][2] * Cofactor3(m, 0, 2);
}

int Inverse3(const double m[3][3], double out[3][3]) {
  double det = Determinant3(m);
  if (std::fabs(det) < 1e-9) return kCurveSingular;
  double r[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i][j] = Cofactor3(m, j, i) / det;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) out[i][j] = r[i][j];
  return kCurveOk;
}

int SolveCosSin(double x, double y, double a, int& count, double angles[2]) {
  count = 0;
  double b = std::hypot(x, y);
  if (std::fabs(b) <= 1e-9) return kCurveUnsupported;
  double phi = std::atan2(y, x);
  if (std::fabs(a / b) > 1.000000001) return kCurveOk;
  double c = -a / b;
  if (c > 0.999999999) {
    angles[count++] = phi;
  } else if (c >= -0.999999999) {
    double d = std::acos(c);
    angles[count++] = phi - d;
    angles[count++] = phi + d;
  } else {
    angles[count++] = phi + 3.141592653589793;
  }
  return kCurveOk;
}

CLineCrossing::CLineCrossing(const double point[3], const double direction[3], int& status) {
  for (int i = 0; i < 3; ++i) {
    point_[i] = point[i];
    dir_[i] = direction[i];
  }
  VCross(kZ, dir_, normal_);
  offset_ = VDot(normal_, point_);
  k_ = VDot(dir_, dir_);
  status = k_ < 1e-9 ? kCurveZeroVector : kCurveOk;
}

bool CLineCrossing::Feed(const double p[3], double& fraction, double& param) {
  double s = VDot(normal_, p) - offset_;
  bool crossed = !first_ && prev_s_ * s < 0.0;
  fraction = 0.0;
  param = 0.0;
  if (crossed) {
    double sum = std::fabs(prev_s_) + std::fabs(s);
    double w_prev = 0.5, w_cur = 0.5;
    if (sum > 1e-9) {
      w_prev = std::fabs(s) / sum;
      w_cur = std::fabs(prev_s_) / sum;
    }
    fraction = w_prev;
    param = (w_prev * VDot(dir_, prev_) + w_cur * VDot(dir_, p) - VDot(dir_, point_)) / k_;
  }
  for (int i = 0; i < 3; ++i) prev_[i] = p[i];
  prev_s_ = s;
  first_ = false;
  return crossed;
}
