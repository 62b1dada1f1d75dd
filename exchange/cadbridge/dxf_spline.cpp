// Sampling a DXF spline by de Boor's algorithm.
#include "exchange/cadbridge/dxf_spline.h"

#include <algorithm>

namespace {

// Points a spline given by control points is sampled at, per control point,
// and in all.
constexpr int kSamplesPerControl = 4;
constexpr int kMinSamples = 8;
constexpr int kMaxSamples = 400;

// A point of the B-spline of `degree` over `knots` with homogeneous control
// points, at t in [knots[degree], knots[n]].
As_Pt de_boor(const std::vector<DL_ControlPointData>& ctl, const std::vector<double>& knots, int degree, double t) {
  const int n = int(ctl.size());
  int k = degree;
  while (k < n - 1 && t >= knots[size_t(k) + 1]) ++k;
  double d[kDxfMaxSplineDegree + 1][4];
  for (int j = 0; j <= degree; ++j) {
    const DL_ControlPointData& c = ctl[size_t(j + k - degree)];
    double w = c.w > 0.0 ? c.w : 1.0;
    d[j][0] = c.x * w;
    d[j][1] = c.y * w;
    d[j][2] = c.z * w;
    d[j][3] = w;
  }
  for (int r = 1; r <= degree; ++r) {
    for (int j = degree; j >= r; --j) {
      double left = knots[size_t(j + k - degree)];
      double right = knots[size_t(j + 1 + k - r)];
      double a = right > left ? (t - left) / (right - left) : 0.0;
      for (int c = 0; c < 4; ++c) d[j][c] = (1.0 - a) * d[j - 1][c] + a * d[j][c];
    }
  }
  double w = d[degree][3] != 0.0 ? d[degree][3] : 1.0;
  return As_Pt(d[degree][0] / w, d[degree][1] / w, d[degree][2] / w);
}

}  // namespace

std::vector<As_Pt> dxf_spline_points(const std::vector<DL_ControlPointData>& control, const std::vector<double>& knots,
                                     unsigned degree) {
  std::vector<As_Pt> points;
  const size_t n = control.size();
  bool knots_ok = degree >= 1 && degree <= kDxfMaxSplineDegree && n > degree && knots.size() == n + degree + 1;
  for (size_t i = 1; knots_ok && i < knots.size(); ++i) knots_ok = knots[i] >= knots[i - 1];
  if (knots_ok && knots[n] > knots[degree]) {
    const int samples = std::min(kMaxSamples, std::max(kMinSamples, int(n) * kSamplesPerControl));
    const double a = knots[degree], b = knots[n];
    for (int i = 0; i <= samples; ++i) points.push_back(de_boor(control, knots, int(degree), a + (b - a) * i / samples));
  } else {
    for (const DL_ControlPointData& c : control) points.emplace_back(c.x, c.y, c.z);
  }
  return points;
}
