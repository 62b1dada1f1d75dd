// Ellipse and elliptical arc: geometry, display, picks, properties and
// transforms.
#include "database/entities/mb_ellipse.h"

#include <cmath>
#include <memory>
#include <new>

#include "database/entities/mb_curve_util.h"
#include "database/entities/mb_line.h"
#include "geometry/as_tessellate.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"

MB_Ellipse::MB_Ellipse(const As_Pt& centre, const As_Pt& axis, double ratio)
    : center_(centre),
      major_(As_Vec(axis.x(), axis.y(), axis.z()).len()),
      minor_(major_ * ratio),
      angle_(mb_polar_angle(As_Vec(axis.x(), axis.y(), axis.z()))) {}

As_Pt MB_Ellipse::get_para_pos(double t) const {
  const double ct = std::cos(t), st = std::sin(t);
  const double ca = std::cos(angle_), sa = std::sin(angle_);
  return As_Pt(major_ * ct * ca - minor_ * st * sa + center_.x(), major_ * ct * sa + minor_ * st * ca + center_.y(),
               0.0);
}

void MB_Ellipse::copy_ellipse_to(MB_Ellipse& t) const {
  t.modify_cmd();
  t.center_ = center_;
  t.major_ = major_;
  t.minor_ = minor_;
  t.angle_ = angle_;
}

bool MB_Ellipse::copy_to(MB_Object*& target) {
  if (!target) {
    target = new MB_Ellipse(center_, major_, minor_, angle_);
    return mb_copy_drawable(*this, target);
  }
  if (target == this) return true;
  if (target->object_id() != object_id()) return false;
  copy_ellipse_to(*static_cast<MB_Ellipse*>(target));
  return mb_copy_drawable(*this, target);
}

bool MB_Ellipse::pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& hit, int& kind, int&) {
  if ((p - center_).len() < tol) {
    hit = center_;
    kind = MB_SNAP_CENTER;
    return true;
  }
  if (!edge().snap_lines(p, tol, hit)) return false;
  kind = MB_SNAP_NEAREST;
  return true;
}

void MB_Ellipse::build_draw() {
  const int n = mb_least_precision(get_draw_precision(), 3);
  std::unique_ptr<As_Pt[]> pts(new (std::nothrow) As_Pt[static_cast<size_t>(n) + 1]);
  if (!pts) return;
  const double step = two_pi / n;
  for (int i = 0; i < n; ++i) pts[i] = get_para_pos(i * step);
  pts[n] = pts[0];
  mb_set_display(*this, n + 1, pts.get());
}

void MB_Ellipse::draw_key_point(HDC dc, CMyDC&, const As_Tran& view) { mb_draw_key_marker(dc, center_, view); }

As_Pt MB_Ellipse::get_point(int id) const { return id == MB_PROP_CENTER ? center_ : MB_Geom::get_point(id); }

double MB_Ellipse::get_real(int id) const {
  switch (id) {
    case MB_PROP_MAJOR: return major_;
    case MB_PROP_RADIUS: return minor_;
    case MB_PROP_ANGLE: return angle_;
    case MB_PROP_AREA: return qm_pi * major_ * minor_;
    case MB_PROP_LENGTH: return qm_pi * (major_ + minor_);
    default: return MB_Geom::get_real(id);
  }
}

void MB_Ellipse::translate(const As_Tran& t) {
  modify_cmd();
  if (t.identity()) return;
  const double ca = std::cos(angle_), sa = std::sin(angle_);
  const As_Vec u = As_Vec(ca * major_, sa * major_, 0.0) * t;
  const As_Vec v = As_Vec(-sa * minor_, ca * minor_, 0.0) * t;
  center_ *= t;
  // A null major axis keeps its direction; the minor axis keeps its length
  // through the scaling.
  if (u.len() > 0.0) angle_ = mb_polar_angle(u);
  major_ = u.len();
  minor_ = v.len();
  if (t.reflect()) reflect_params();
}

// ---------------------------------------------------------------------------
// Elliptical arc

void MB_Ellipse_Arc::reflect_params() {
  const double s = start_angle_;
  start_angle_ = -end_angle_;
  end_angle_ = -s;
}

bool MB_Ellipse_Arc::copy_to(MB_Object*& target) {
  if (!target) {
    target = new MB_Ellipse_Arc(center(), major(), minor(), angle(), start_angle_, end_angle_);
    return mb_copy_drawable(*this, target);
  }
  if (target == this) return true;
  if (target->object_id() != object_id()) return false;
  MB_Ellipse_Arc* t = static_cast<MB_Ellipse_Arc*>(target);
  copy_ellipse_to(*t);
  t->start_angle_ = start_angle_;
  t->end_angle_ = end_angle_;
  return mb_copy_drawable(*this, target);
}

void MB_Ellipse_Arc::build_draw() {
  As_Pt c = center();
  int count = 0;
  As_Pt* out = nullptr;
  const int n = mb_least_precision(get_draw_precision(), 3);
  if (!ellipse_arc_to_ptset(c, major(), minor(), start_angle_, end_angle_, angle(), n, count, out)) return;
  std::unique_ptr<As_Pt[]> pts(out);
  mb_set_display(*this, count + 1, pts.get());
}

As_Pt MB_Ellipse_Arc::get_point(int id) const { return MB_Ellipse::get_point(id); }

double MB_Ellipse_Arc::get_real(int id) const {
  switch (id) {
    case MB_PROP_AREA:
    case MB_PROP_LENGTH: return MB_Geom::get_real(id);
    default: return MB_Ellipse::get_real(id);
  }
}

// ---------------------------------------------------------------------------

MB_Ellipse* api_mb_create_ellipse3pt(As_Pt centre, As_Pt p1, As_Pt p2) {
  const As_Vec axis = p1 - centre;
  const double a = axis.len();
  if (!(a > 1e-6)) return nullptr;
  const double rotation = mb_polar_angle(axis);
  const As_Uvec u = normalise(axis);
  const As_Uvec v = As_Uvec(-u.y(), u.x(), 0.0);
  const double x = (proj_pt_to_line(p2, centre, u) - centre).len();
  const double y = (proj_pt_to_line(p2, centre, v) - centre).len();
  const double e = 1.0 - x * x / (a * a);
  if (!(e > 0.0)) return nullptr;
  return new (std::nothrow) MB_Ellipse(centre, a, std::sqrt(y * y / e), rotation);
}
