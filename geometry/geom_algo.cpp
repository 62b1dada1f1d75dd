#include "geometry/geom_algo.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"

namespace {

constexpr double kTinyComponent = 1e-11;

const As_Uvec kZAxis = As_Uvec::raw(0, 0, 1);

// Angle of (x, y) in [0, 2pi), exact on the axes.
double polar_angle(double x, double y) {
  if (y == 0.0) return x < 0.0 ? qm_pi : 0.0;
  if (x == 0.0) return y > 0.0 ? half_pi : three_half_pi;
  double a = std::atan2(y, x);
  if (a < 0.0) {
    a += two_pi;
    if (a >= two_pi) a = 0.0;  // a tiny negative angle rounds up to 2pi
  }
  return a;
}

// The unit direction d turned by a quarter turn counter-clockwise in the plane.
As_Vec left_normal(const As_Xyz& d) { return As_Vec(-d.y(), d.x(), 0.0); }

As_Pt flat(double x, double y) { return As_Pt(x, y, 0.0); }

bool in_box(const As_Pt& p, const As_Pt& a, const As_Pt& b, double grow) {
  return std::min(a.x(), b.x()) - grow <= p.x() && p.x() <= std::max(a.x(), b.x()) + grow &&
         std::min(a.y(), b.y()) - grow <= p.y() && p.y() <= std::max(a.y(), b.y()) + grow;
}

}  // namespace

double angle_between(const As_Uvec& u1, const As_Uvec& u2, const As_Uvec& n) {
  double a = polar_angle(u1.x(), u1.y());
  double c = polar_angle(u2.x(), u2.y());
  if (n.z() >= 0.0) return c >= a ? c - a : c - a + two_pi;
  return c >= a ? two_pi - (c - a) : a - c;
}

double angle_between(const As_Vec& v1, const As_Vec& v2, const As_Uvec& n) {
  return angle_between(normalise(v1), normalise(v2), n);
}

void cal_tol_unit_vector(As_Uvec& u) {
  if (std::fabs(u.x()) < kTinyComponent) u.x() = 0.0;
  if (std::fabs(u.y()) < kTinyComponent) u.y() = 0.0;
  if (std::fabs(u.z()) < kTinyComponent) u.z() = 0.0;
}

As_Pt proj_pt_to_line(const As_Pt& p, const As_Pt& a, const As_Uvec& dir) {
  As_Uvec u = dir;
  cal_tol_unit_vector(u);
  if (u.x() == 0.0 && u.y() == 0.0) return flat(a.x(), a.y());
  if (u.x() == 0.0) return flat(a.x(), p.y());
  if (u.y() == 0.0) return flat(p.x(), a.y());
  // Projection onto the plane direction; the same foot as the slope form,
  // without its large slope for nearly vertical lines.
  double t = ((p.x() - a.x()) * u.x() + (p.y() - a.y()) * u.y()) / (u.x() * u.x() + u.y() * u.y());
  return flat(a.x() + t * u.x(), a.y() + t * u.y());
}

bool api_mb_lines_intersection(const As_Pt& p, const As_Uvec& dir1, const As_Pt& q, const As_Uvec& dir2,
                               As_Pt& out) {
  As_Uvec u = dir1, v = dir2;
  cal_tol_unit_vector(u);
  cal_tol_unit_vector(v);
  if ((u.x() == 0.0 && u.y() == 0.0) || (v.x() == 0.0 && v.y() == 0.0)) return false;
  if (parallel(u, v, resnor) || antiparallel(u, v, resnor)) return false;
  // Directions that leave the plane can pass the test above while parallel
  // in it; the branches refuse those instead of dividing by zero.
  if (u.x() == 0.0) {
    if (v.x() == 0.0) return false;
    out = v.y() == 0.0 ? flat(p.x(), q.y()) : flat(p.x(), q.y() + (v.y() / v.x()) * (p.x() - q.x()));
    return true;
  }
  if (v.x() == 0.0) {
    out = u.y() == 0.0 ? flat(q.x(), p.y()) : flat(q.x(), p.y() + (u.y() / u.x()) * (q.x() - p.x()));
    return true;
  }
  double s1 = u.y() / u.x(), s2 = v.y() / v.x();
  if (u.y() == 0.0) {
    if (v.y() == 0.0) return false;
    out = flat((p.y() - (q.y() - s2 * q.x())) / s2, p.y());
    return true;
  }
  if (v.y() == 0.0) {
    out = flat((q.y() - (p.y() - s1 * p.x())) / s1, q.y());
    return true;
  }
  double b1 = p.y() - s1 * p.x(), b2 = q.y() - s2 * q.x();
  if (std::fabs(s1 - s2) < resabs) return false;
  double x = (b2 - b1) / (s1 - s2);
  out = flat(x, b1 + s1 * x);
  return true;
}

bool two_segments_intersection(const As_Pt& a1, const As_Pt& a2, const As_Pt& b1, const As_Pt& b2,
                               As_Pt& out) {
  if (same_point(a1, b1, resabs) || same_point(a1, b2, resabs)) {
    out = a1;
    return true;
  }
  if (same_point(a2, b1, resabs) || same_point(a2, b2, resabs)) {
    out = a2;
    return true;
  }
  if (std::max(a1.x(), a2.x()) < std::min(b1.x(), b2.x()) || std::max(b1.x(), b2.x()) < std::min(a1.x(), a2.x()) ||
      std::max(a1.y(), a2.y()) < std::min(b1.y(), b2.y()) || std::max(b1.y(), b2.y()) < std::min(a1.y(), a2.y()))
    return false;
  bool a_vertical = std::fabs(a1.x() - a2.x()) < resabs, a_horizontal = std::fabs(a1.y() - a2.y()) < resabs;
  bool b_vertical = std::fabs(b1.x() - b2.x()) < resabs, b_horizontal = std::fabs(b1.y() - b2.y()) < resabs;
  if (a_vertical && b_horizontal) {
    out = flat(a1.x(), b1.y());
    return true;
  }
  if (a_horizontal && b_vertical) {
    out = flat(b1.x(), a1.y());
    return true;
  }
  As_Pt x;
  if (!api_mb_lines_intersection(a1, normalise(a2 - a1), b1, normalise(b2 - b1), x)) return false;
  if (!in_box(x, a1, a2, resmch) || !in_box(x, b1, b2, resmch)) return false;
  out = x;
  return true;
}

bool api_mb_lines_intersection(const As_Pt* a, int na, const As_Pt* b, int nb, As_Pt_List& out) {
  if (!a || !b || na <= 1 || nb <= 1) return false;
  bool found = false;
  As_Pt x;
  for (int i = 0; i + 1 < na; ++i) {
    for (int j = 0; j + 1 < nb; ++j) {
      if (two_segments_intersection(a[i], a[i + 1], b[j], b[j + 1], x)) {
        out.add_tail(x);
        found = true;
      }
    }
  }
  return found;
}

bool api_mb_get_3ptcircle(const As_Pt& p1, const As_Pt& p2, const As_Pt& p3, As_Pt& centre,
                          double& radius) {
  const As_Vec z(0, 0, 1);
  As_Pt m1 = p1 + (p2 - p1) / 2.0, m2 = p1 + (p3 - p1) / 2.0;
  As_Uvec d1 = normalise((p2 - p1) * z), d2 = normalise((p3 - p1) * z);
  As_Pt c;
  if (!api_mb_lines_intersection(m1, d1, m2, d2, c)) return false;
  centre = c;
  radius = (p3 - c).len();
  return true;
}

bool get_ellipse_by_3pt(const As_Pt& c, const As_Pt& p2, const As_Pt& p3, As_Pt& centre, double& axis,
                        double& ratio, double& angle) {
  As_Vec major = p2 - c;
  double len = major.len();
  if (len <= 1e-6) return false;
  As_Uvec u = normalise(major);
  As_Vec n = left_normal(u);
  As_Uvec u2 = As_Uvec::raw(n.x(), n.y(), n.z());
  As_Pt c0 = flat(c.x(), c.y());
  double d1 = (proj_pt_to_line(p3, c, u) - c0).len();
  double d2 = (proj_pt_to_line(p3, c, u2) - c0).len();
  double t = 1.0 - (d1 * d1) / (len * len);
  // t <= 0: p3 lies at or beyond the end of the first axis, and no ellipse
  // with that axis passes through it.
  if (!(t > 0.0)) return false;
  centre = c;
  axis = len;
  ratio = std::sqrt(d2 * d2 / t) / len;
  angle = angle_between(As_Vec(1, 0, 0), major, kZAxis);
  return true;
}

bool is_on_segment(const As_Pt& p, const As_Pt& a, const As_Pt& b) {
  if (!in_box(p, a, b, 0.0)) return false;
  double cross = (p.x() - a.x()) * (b.y() - a.y()) - (p.y() - a.y()) * (b.x() - a.x());
  return std::fabs(cross) < 1e-6;
}

int is_pick_segment(const As_Pt& p, const As_Pt& a, const As_Pt& b, double tol, As_Pt& out) {
  if (!in_box(p, a, b, tol)) return 0;
  if ((p - a).len() < tol) {
    out = a;
    return 1;
  }
  if ((p - b).len() < tol) {
    out = b;
    return 2;
  }
  As_Pt f = proj_pt_to_line(p, a, normalise(a - b));
  if ((p - f).len() < tol) {
    out = f;
    return 3;
  }
  return 0;
}

bool is_on_pts(const As_Pt&, As_Pt*, unsigned long) { return false; }

bool is_pos_in_region(const As_Pt& p, const As_Pt* pts, int n) {
  if (!pts || n < 3) return false;
  bool inside = false;
  for (int i = 0; i < n; ++i)
    if (ray_crosses_edge(p, pts[i == 0 ? n - 1 : i - 1], pts[i])) inside = !inside;
  return inside;
}

bool is_pos_on_region(const As_Pt& p, const As_Pt* pts, int n) {
  if (!pts) return false;
  for (int i = 0; i + 1 < n; ++i)
    if (is_on_segment(p, pts[i], pts[i + 1])) return true;
  return false;
}

double cal_pts_area(const As_Pt* pts, int n) {
  if (!pts || n < 3) return 0.0;
  // Fan of triangles from the first point, each signed by its turn.
  const As_Pt& o = pts[0];
  double sum = 0.0;
  for (int i = 1; i + 1 < n; ++i) {
    As_Vec a = pts[i] - o, b = pts[i + 1] - o;
    sum += a.x() * b.y() - a.y() * b.x();
  }
  return std::fabs(sum) * 0.5;
}

double cal_lines_area(As_Void_List& list) {
  std::vector<As_Pt> pts;
  for (As_Void_Node* n = list.head(); n; n = n->next())
    if (n->entity()) pts.push_back(*static_cast<const As_Pt*>(n->entity()));
  return cal_pts_area(pts.data(), static_cast<int>(pts.size()));
}

double cal_perimeter(const As_Pt* pts, int n) {
  if (!pts || n < 2) return 0.0;
  if (n == 2) return (pts[1] - pts[0]).len();
  double sum = 0.0;
  for (int i = 0; i + 1 < n; ++i) sum += (pts[i + 1] - pts[i]).len();
  return sum + (pts[0] - pts[n - 1]).len();
}

void api_mb_offset_pts(const As_Pt* pts, As_Pt* left, As_Pt* right, int n, double w) {
  if (!pts || !left || !right || n < 2) return;
  for (int i = 0; i < n; ++i) {
    int seg = i + 1 < n ? i : n - 2;
    As_Vec nl = left_normal(normalise(pts[seg + 1] - pts[seg]));
    left[i] = pts[i] + nl * w;
    right[i] = pts[i] + (pts[i] - left[i]);
  }
}

bool cal_lines_width(const As_Pt* pts, int n, As_Pt* out, int m, double width) {
  if (!pts || !out || width == 0.0 || n < 2 || m != 2 * n + 1) return false;
  const As_Vec z(0, 0, 1);
  const double half = width / 2.0;
  // Offset segment i runs from start(i) along dir(i), moved half the width to
  // the left of the centre line.
  auto offset = [&](int i) {
    As_Vec d = pts[i + 1] - pts[i];
    As_Uvec nrm = normalise(d * z);
    cal_tol_unit_vector(nrm);
    return As_Vec(nrm) * half;
  };
  As_Vec prev_off = offset(0);
  out[0] = pts[0] - prev_off;
  for (int i = 1; i + 1 < n; ++i) {
    As_Vec off = offset(i);
    As_Pt prev_end = pts[i] - prev_off, start = pts[i] - off;
    As_Pt x;
    if (api_mb_lines_intersection(pts[i - 1] - prev_off, normalise(pts[i] - pts[i - 1]), start,
                                  normalise(pts[i + 1] - pts[i]), x))
      out[i] = x;
    else
      out[i] = prev_end;
    prev_off = off;
  }
  out[n - 1] = pts[n - 1] - prev_off;
  // The other side mirrors each point of the first through the centre line;
  // it runs backwards, then the first point closes the outline.
  for (int i = 0; i < n; ++i) out[2 * n - 1 - i] = pts[i] + (pts[i] - out[i]);
  out[2 * n] = out[0];
  return true;
}

void oblique_ptarray(As_Pt* pts, int n, double angle, const As_Pt& base) {
  if (!pts || n <= 0) return;
  double t = std::tan(angle);
  for (int i = 0; i < n; ++i) pts[i].x() += (pts[i].y() - base.y()) * t;
}

bool api_mb_get_pts_dir(const As_Pt& a, const As_Pt& b, const As_Pt& c) {
  return angle_between(a - b, b - c, kZAxis) <= qm_pi;
}

As_Pt* api_mb_new_position(int n) {
  if (n <= 0) return nullptr;
  return new (std::nothrow) As_Pt[static_cast<size_t>(n)];
}

void api_mb_reverse_pts(As_Pt* pts, int n) {
  if (pts && n > 1) std::reverse(pts, pts + n);
}

bool api_mb_get_rect_pos(int n, const As_Pt* pts, As_Pt& lt, As_Pt& rb) {
  if (!pts || n < 1) return false;
  double minx = pts[0].x(), maxx = minx, miny = pts[0].y(), maxy = miny;
  for (int i = 1; i < n; ++i) {
    minx = std::min(minx, pts[i].x());
    maxx = std::max(maxx, pts[i].x());
    miny = std::min(miny, pts[i].y());
    maxy = std::max(maxy, pts[i].y());
  }
  lt = flat(minx, maxy);
  rb = flat(maxx, miny);
  return true;
}

// Differences of two 32-bit coordinates can exceed the int range; they are
// computed wide and wrap as the window system's own arithmetic does.
void api_mb_get_rect_size(int& height, int& width, const RECT& r) {
  height = static_cast<int>(static_cast<uint32_t>(static_cast<int64_t>(r.bottom) - r.top));
  width = static_cast<int>(static_cast<uint32_t>(static_cast<int64_t>(r.right) - r.left));
}

void api_mb_get_rect_center(int& x, int& y, const RECT& r) {
  x = static_cast<int>(r.left + (static_cast<int64_t>(r.right) - r.left) / 2);
  y = static_cast<int>(r.top + (static_cast<int64_t>(r.bottom) - r.top) / 2);
}
