// Small numeric helpers of the curve library on vectors held as three doubles:
// products, normalisation, angles, 3 x 3 cofactors and inverse, the equation
// x cos t + y sin t + a = 0 and a detector of points crossing a line. A null
// axis argument means (0, 0, 1).
#pragma once

#include <cfloat>
#include <cmath>

#include "geometry/curves/lib_object.h"

// The products are inline: every curve evaluation and solver step asks them.
inline double VDot(const double p[3], const double q[3]) { return p[0] * q[0] + p[1] * q[1] + p[2] * q[2]; }
void VScale(double v[3], double s);
void VDivide(double v[3], double s);
inline void VCross(const double p[3], const double q[3], double out[3]) {
  double x = p[1] * q[2] - p[2] * q[1];
  double y = p[2] * q[0] - p[0] * q[2];
  double z = p[0] * q[1] - p[1] * q[0];
  out[0] = x;
  out[1] = y;
  out[2] = z;
}
void VNegate(double v[3]);
// out = axis x v: v turned a quarter counter-clockwise about the axis.
void VQuarterTurn(const double v[3], const double* axis, double out[3]);
// hypot: no overflow for large coordinates. Its terms are the squares of
// the coordinates over the largest one; the largest and zeros give 1 and 0
// exactly, so they are not divided (a plane vector has one division left).
// Inline: every frame and solver step asks it.
inline double VLength(const double v[3]) {
  const double x = std::fabs(v[0]), y = std::fabs(v[1]), z = std::fabs(v[2]);
  const double a = x < y ? (y < z ? z : y) : (x < z ? z : x);
  if (!(a > 0.0 && a <= DBL_MAX)) return std::hypot(v[0], v[1], v[2]);
  auto term = [a](double c) {
    if (c == a) return 1.0;
    if (c == 0.0) return 0.0;
    const double q = c / a;
    return q * q;
  };
  return a * std::sqrt(term(x) + term(y) + term(z));
}
// 2103 and v unchanged when |v| <= 1e-9.
int VNormalize(double v[3]);
// det[p, q, axis]; with the default axis p.x q.y - p.y q.x.
inline double VDet(const double p[3], const double q[3], const double* axis) {
  if (!axis) return p[0] * q[1] - p[1] * q[0];
  double c[3];
  VCross(p, q, c);
  return VDot(c, axis);
}
// Signed angle from p to q about the axis; 2103 (angle 0) when both are null.
int VAngle(const double p[3], const double q[3], const double* axis, double& angle);
double VDistance(const double p[3], const double q[3]);
// r lies within tol of the line through p and q (or p, q coincide within tol).
bool IsNearLine(const double p[3], const double q[3], const double r[3], double tol);
// Every component differs by less than 1e-9.
bool VEqual(const double p[3], const double q[3]);

double Cofactor3(const double m[3][3], int i, int j);
double Determinant3(const double m[3][3]);
// 2104 when |det| < 1e-9, out untouched.
int Inverse3(const double m[3][3], double out[3][3]);

// Up to two angles t with x cos t + y sin t + a = 0; answers -1 when
// hypot(x, y) <= 1e-9. count receives the number of angles.
int SolveCosSin(double x, double y, double a, int& count, double angles[2]);

// Watches a sequence of points for sign changes of their distance to a line.
class CLineCrossing : public CLibObject {
 public:
  // status 2103 for a direction shorter than about 3e-5 (|d|^2 < 1e-9).
  CLineCrossing(const double point[3], const double direction[3], int& status);
  // True when the segment from the previous point to p crosses the line;
  // fraction is the weight of the previous point, param the line parameter.
  bool Feed(const double p[3], double& fraction, double& param);

 private:
  double point_[3], dir_[3], normal_[3];
  double offset_ = 0.0, k_ = 0.0;
  double prev_[3] = {0, 0, 0};
  double prev_s_ = 0.0;
  bool first_ = true;
};
