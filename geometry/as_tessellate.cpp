#include "geometry/as_tessellate.h"

#include <memory>
#include <new>

#include "geometry/as_pt_list.h"
#include "geometry/geom_algo.h"

namespace {

// q turned by angle counter-clockwise about c (about +Z through c), which is
// what moving c to the origin, rotating and moving back does.
As_Pt turned(const As_Pt& c, const As_Pt& q, double angle) {
  const double co = std::cos(angle), si = std::sin(angle);
  const double x = q.x() - c.x(), y = q.y() - c.y();
  return As_Pt(c.x() + (x * co - y * si), c.y() + (x * si + y * co), q.z());
}

// pts[i] = s turned by i * step about c, for i < n.
void turn_points(const As_Pt& c, const As_Pt& s, double step, unsigned long n, As_Pt* pts) {
  for (unsigned long i = 0; i < n; ++i) pts[i] = turned(c, s, static_cast<double>(i) * step);
}

}  // namespace

bool arc_to_ptset(const As_Pt& c, double r, double a0, double a1, unsigned long n, As_Pt*& pts) {
  if (n < 2 || !pts) return false;
  const double step = std::fabs(a1 - a0) / static_cast<double>(n - 1);
  const As_Pt s = turned(c, c + As_Vec(r, 0, 0), a0);
  turn_points(c, s, step, n, pts);
  return true;
}

bool arc_to_ptset(const As_Pt& c, double, const As_Pt& p0, const As_Pt& p1, unsigned long n, As_Pt*& pts) {
  if (n < 2 || !pts) return false;
  const double sweep = angle_between(normalise(p0 - c), normalise(p1 - c), As_Uvec::raw(0, 0, 1));
  turn_points(c, p0, sweep / static_cast<double>(n - 1), n, pts);
  return true;
}

bool circle_to_ptset(const As_Pt& c, double r, As_Pt* pts, int n) {
  if (n < 2 || !pts) return false;
  const unsigned long count = static_cast<unsigned long>(n);
  turn_points(c, c + As_Vec(r, 0, 0), two_pi / static_cast<double>(n - 1), count, pts);
  pts[n - 1] = pts[0];
  return true;
}

bool circle_to_ptlist(const As_Pt& c, double r, int n, As_Pt_List& out) {
  if (n < 3) n = 3;
  out.kill_all();
  const As_Pt s = c + As_Vec(0, r, 0);
  const double step = two_pi / static_cast<double>(n);
  for (long long i = 0; i <= n; ++i) out.add_tail(turned(c, s, static_cast<double>(i) * step));
  return true;
}

bool ellipse_arc_to_ptset(As_Pt& c, double a, double b, double a0, double a1, double rot, int n, int& count,
                          As_Pt*& out) {
  out = nullptr;
  count = 0;
  if (!std::isfinite(a0) || !std::isfinite(a1)) return false;
  if (n < 3) n = 3;
  double e = a0 > a1 ? a0 - two_pi : a0;
  if (a1 - e > two_pi) a1 = e + two_pi;
  const double step = two_pi / static_cast<double>(n - 1);
  As_Pt* pts = new (std::nothrow) As_Pt[static_cast<size_t>(n) + 1];
  if (!pts) return false;
  const double cr = std::cos(rot), sr = std::sin(rot);
  auto at = [&](double t) {
    const double ct = std::cos(t), st = std::sin(t);
    return As_Pt(a * ct * cr - b * st * sr + c.x(), a * ct * sr + b * st * cr + c.y(), 0.0);
  };
  // At most n - 1 steps span a full turn; the bound also covers rounding
  // that leaves the last step just short of a1.
  int k = 0;
  for (; k < n && e < a1; ++k, e += step) pts[k] = at(e);
  pts[k] = at(a1);
  count = k;
  out = pts;
  return true;
}

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
