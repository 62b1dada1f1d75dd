#include "geometry/as_tessellate.h"

#include <cmath>
#include <memory>
#include <new>

namespace {

struct Xy {
  double x = 0.0, y = 0.0;
};

Xy operator+(Xy a, Xy b) { return {a.x + b.x, a.y + b.y}; }
Xy operator-(Xy a, Xy b) { return {a.x - b.x, a.y - b.y}; }
Xy operator*(double s, Xy a) { return {s * a.x, s * a.y}; }
double length(Xy a) { return std::hypot(a.x, a.y); }

constexpr int kPieces = 50;
// Normal inputs converge in a few tens of sweeps; far from the origin the
// rounding noise of a correction can stay above the threshold, and the
// control points are then as good as the arithmetic allows.
constexpr int kMaxSweeps = 1000;

}  // namespace

bool bspline_to_ptset(int n, As_Pt* pts, As_Uvec const& t0, As_Uvec const& t1, int& count, As_Pt*& out) {
  if (n < 2 || !pts) return false;
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(pts[i].x()) || !std::isfinite(pts[i].y())) return false;
  if (!std::isfinite(t0.x()) || !std::isfinite(t0.y()) || !std::isfinite(t1.x()) || !std::isfinite(t1.y()))
    return false;
  CURVEINSUM_RUBBER = kPieces;

  std::unique_ptr<Xy[]> q(new (std::nothrow) Xy[n + 2]);
  std::unique_ptr<Xy[]> p(new (std::nothrow) Xy[n + 4]);
  const int total = (n - 1) * kPieces + 1;
  As_Pt* result = new (std::nothrow) As_Pt[total];
  if (!q || !p || !result) {
    delete[] result;
    return false;
  }
  Xy first{pts[0].x(), pts[0].y()}, last{pts[n - 1].x(), pts[n - 1].y()};
  double L = length(first - Xy{pts[1].x(), pts[1].y()});
  q[0] = first + L * Xy{t0.x(), t0.y()};
  q[n + 1] = last + L * Xy{t1.x(), t1.y()};
  for (int i = 0; i < n; ++i) q[i + 1] = Xy{pts[i].x(), pts[i].y()};

  for (int j = 0; j <= n + 1; ++j) p[j + 1] = q[j];
  p[0] = p[1];
  p[n + 3] = p[n + 2];
  for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
    double largest = 0.0;
    for (int j = 0; j <= n + 1; ++j) {
      Xy f = 1.5 * q[j] - p[j + 1] - 0.25 * (p[j] + p[j + 2]);
      p[j + 1] = p[j + 1] + f;
      double len = length(f);
      if (len > largest) largest = len;
    }
    p[0] = p[1];
    p[n + 3] = p[n + 2];
    if (largest <= 0.00001) break;
  }

  int k_out = 0;
  for (int k = 1; k <= n; ++k) {
    Xy c3 = (1.0 / 6.0) * (-1.0 * p[k] + 3.0 * p[k + 1] - 3.0 * p[k + 2] + p[k + 3]);
    Xy c2 = 0.5 * (p[k] - 2.0 * p[k + 1] + p[k + 2]);
    Xy c1 = 0.5 * (p[k + 2] - p[k]);
    Xy c0 = (1.0 / 6.0) * (p[k] + 4.0 * p[k + 1] + p[k + 2]);
    int pieces = k < n ? kPieces : 1;  // of the last span only its first point
    for (int i = 0; i < pieces; ++i) {
      double t = static_cast<double>(i) / kPieces;
      Xy v = c0 + t * (c1 + t * (c2 + t * c3));
      result[k_out++] = As_Pt(v.x, v.y, 0.0);
    }
  }
  count = total;
  out = result;
  return true;
}
