// The NURBS curve's own intersection scans: the curve is walked with
// 3 x degree equal parameter steps a knot span (the forward-difference walk
// of its tessellation), each new chord is tested against the other curve's
// polyline, and a chord that meets it gives the start parameters, taken
// where the two segments cross, of a curve-pair Newton intersection.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "geometry/curves/curve_intersect.h"
#include "geometry/curves/nurbs.h"
#include "geometry/curves/point_sink.h"

namespace {

// A chord meeting the polyline just beyond one of its ends still seeds a
// search: the Newton step lands on the crossing or answers 14.
constexpr double kChordSlack = 1e-3;

struct ParamPoint {
  double p[3];
  double t;
};

class PolylineSink : public CPointSink {
 public:
  int AddPoint(const double p[3], double t) override {
    points.push_back({{p[0], p[1], p[2]}, t});
    return kCurveOk;
  }
  using CPointSink::AddPoint;
  bool HasPoints() const override { return !points.empty(); }
  std::vector<ParamPoint> points;
};

// Where segments a0-a1 and b0-b1 cross in the plane: the fractions along
// each; false for parallel segments or a crossing outside both (with slack).
bool cross(const double a0[3], const double a1[3], const double b0[3], const double b1[3], double& f, double& g) {
  const double ax = a1[0] - a0[0], ay = a1[1] - a0[1], bx = b1[0] - b0[0], by = b1[1] - b0[1];
  const double den = ax * by - ay * bx;
  if (std::fabs(den) <= 1e-300) return false;
  const double cx = b0[0] - a0[0], cy = b0[1] - a0[1];
  f = (cx * by - cy * bx) / den;
  g = (cx * ay - cy * ax) / den;
  return f >= -kChordSlack && f <= 1 + kChordSlack && g >= -kChordSlack && g <= 1 + kChordSlack;
}

// Receives the walk: each chord from the previous point is tested against
// the other curve's polyline, and each crossing the Newton intersection
// confirms goes to `found` with its parameter on the walked curve.
class CIntersectionScanSink : public CPointSink {
 public:
  CIntersectionScanSink(const CCurve& curve, const CCurve& other, const std::vector<ParamPoint>& polyline,
                        std::function<int(double)> found)
      : curve_(curve), other_(other), polyline_(polyline), found_(std::move(found)) {}

  int AddPoint(const double p[3], double t) override {
    const ParamPoint here = {{p[0], p[1], p[2]}, t};
    if (has_prev_) {
      for (size_t i = 1; i < polyline_.size(); ++i) {
        double f = 0.0, g = 0.0;
        const ParamPoint &b0 = polyline_[i - 1], &b1 = polyline_[i];
        if (!cross(prev_.p, here.p, b0.p, b1.p, f, g)) continue;
        f = std::clamp(f, 0.0, 1.0), g = std::clamp(g, 0.0, 1.0);
        CCurveIntersector newton(curve_, other_, 1e-9);
        const int st = newton.Solve(prev_.t + f * (t - prev_.t), b0.t + g * (b1.t - b0.t), 1e-9);
        if (st == kCurveNotFound) continue;
        if (st != kCurveOk) return st;
        if (const int kept = found_(newton.t1)) return kept;
      }
    }
    prev_ = here;
    has_prev_ = true;
    return kCurveOk;
  }
  using CPointSink::AddPoint;
  bool HasPoints() const override { return has_prev_; }

 private:
  const CCurve& curve_;
  const CCurve& other_;
  const std::vector<ParamPoint>& polyline_;
  std::function<int(double)> found_;
  ParamPoint prev_ = {};
  bool has_prev_ = false;
};

// The other curve as a polyline within a thousandth of the size of its
// sampled extents.
int other_polyline(const CCurve& other, std::vector<ParamPoint>& out) {
  CDoubleArray samples;
  int st = other.SampleParams(samples);
  if (st != kCurveOk) return st;
  double lo[2] = {HUGE_VAL, HUGE_VAL}, hi[2] = {-HUGE_VAL, -HUGE_VAL};
  for (int i = 0; i < samples.Count(); ++i) {
    double p[3];
    if (other.Evaluate(samples[i], p) != kCurveOk) continue;
    for (int c = 0; c < 2; ++c) lo[c] = std::min(lo[c], p[c]), hi[c] = std::max(hi[c], p[c]);
  }
  const double size = std::max(hi[0] - lo[0], hi[1] - lo[1]);
  PolylineSink sink;
  st = other.Tessellate(std::isfinite(size) && size > 1e-6 ? size * 1e-3 : 1e-6, nullptr, sink);
  out = std::move(sink.points);
  return st;
}

}  // namespace

int CNURBS::IntersectionParams(const CCurve& other, CDoubleArray& params, int& count) const {
  std::vector<ParamPoint> polyline;
  int st = other_polyline(other, polyline);
  if (st != kCurveOk) return st;
  CIntersectionScanSink sink(*this, other, polyline, [&](double t) -> int {
    if (t <= 1e-9) return kCurveOk;
    for (int i = 0; i < params.Count(); ++i)
      if (std::fabs(params[i] - t) <= 1e-9) return kCurveOk;
    const int added = params.Append(t);
    if (added == kCurveOk) ++count;
    return added;
  });
  return WalkRange(StartParam(), EndParam(), 0.0, 3 * Degree(), nullptr, sink);
}

int CNURBS::IntersectionRange(const CCurve& other, bool skip_zero, double& min_pos, double& max_pos, double& min_neg,
                              double& max_neg) const {
  std::vector<ParamPoint> polyline;
  int st = other_polyline(other, polyline);
  if (st != kCurveOk) return st;
  CIntersectionScanSink sink(*this, other, polyline, [&](double t) -> int {
    FoldIntersectionRange(t, skip_zero, min_pos, max_pos, min_neg, max_neg);
    return kCurveOk;
  });
  return WalkRange(StartParam(), EndParam(), 0.0, 3 * Degree(), nullptr, sink);
}
