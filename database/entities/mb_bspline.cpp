// Spline: fit points, refitted display, picks and transforms.
#include "database/entities/mb_bspline.h"

#include <cmath>

#include "database/entities/mb_curve_util.h"
#include "geometry/as_tran.h"
#include "geometry/curves/spline_fit.h"
#include "geometry/geom_algo.h"

namespace {

As_Uvec unit_or_zero(double x, double y, double z) {
  const double len = std::sqrt(x * x + y * y + z * z);
  if (!(len >= resnor)) return As_Uvec();
  return As_Uvec::raw(x / len, y / len, z / len);
}

}  // namespace

MB_Bspline::MB_Bspline(int control_count, int fit_count) : fit_tol_(1e-5) {
  if (control_count > 0) As_Pt_Set::init(control_count);
  if (fit_count > 0) fit_.init(fit_count);
}

void MB_Bspline::starttangent(double x, double y, double z) { starttangent(unit_or_zero(x, y, z)); }
void MB_Bspline::endtangent(double x, double y, double z) { endtangent(unit_or_zero(x, y, z)); }

void MB_Bspline::starttangent(const As_Uvec& u) {
  modify_cmd();
  start_tangent_ = u;
}

void MB_Bspline::endtangent(const As_Uvec& u) {
  modify_cmd();
  end_tangent_ = u;
}

bool MB_Bspline::copy_to(MB_Object*& target) {
  MB_Bspline* t = nullptr;
  if (!target) {
    target = t = new MB_Bspline;
  } else if (target == this) {
    return true;
  } else if (target->object_id() == object_id()) {
    t = static_cast<MB_Bspline*>(target);
    t->modify_cmd();
  } else {
    return false;
  }
  t->fit_ = fit_;
  t->ctlpts() = ctlpts();
  t->start_tangent_ = start_tangent_;
  t->end_tangent_ = end_tangent_;
  t->fit_tol_ = fit_tol_;
  t->degree_ = degree_;
  return mb_copy_drawable(*this, target);
}

void MB_Bspline::build_draw() {
  const int n = fit_.count();
  if (n <= 0) return;
  double st[3] = {start_tangent_.x(), start_tangent_.y(), start_tangent_.z()};
  double et[3] = {end_tangent_.x(), end_tangent_.y(), end_tangent_.z()};
  Generate_Spline gen(3, n, 1e-5, st, et, 0, 1.3);
  if (gen.count != n) return;  // no memory for the fit points
  const As_Pt* fit = fit_.points();
  for (int i = 0; i < n; ++i) {
    gen.fit_points[i][0] = fit[i].x();
    gen.fit_points[i][1] = fit[i].y();
    gen.fit_points[i][2] = fit[i].z();
  }
  gen.generate();
  const int m = gen.tessellated_count;
  if (m <= 0 || !gen.tessellated_points) return;
  As_Pt_Set pts(m);
  for (int i = 0; i < m; ++i) pts.points()[i] = As_Pt(gen.tessellated_points[i]);
  mb_set_display(*this, m, pts.points());
}

bool MB_Bspline::pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& hit, int& kind, int&) {
  const int n = fit_.count();
  for (int i = 0; i < n; ++i) {
    if ((fit_.points()[i] - p).len() < tol) {
      hit = fit_.points()[i];
      kind = i == 0 ? MB_SNAP_START : (i == n - 1 ? MB_SNAP_END : MB_SNAP_VERTEX);
      return true;
    }
  }
  const int m = edge().count();
  const As_Pt* pts = edge().points();
  for (int i = 0; i + 1 < m; ++i) {
    const As_Pt& a = pts[i];
    const As_Pt& b = pts[i + 1];
    const double ab = (a - b).len();
    if (ab < resabs) continue;  // no direction
    const As_Pt f = proj_pt_to_line(p, a, normalise(a - b));
    if (std::fabs((f - b).len() + (f - a).len() - ab) < tol && (p - f).len() < tol) {
      hit = f;
      kind = MB_SNAP_ON_CURVE;
      return true;
    }
  }
  return false;
}

void MB_Bspline::translate(const As_Tran& t) {
  modify_cmd();
  As_Pt_Set::translate(t);
  fit_.translate(t);
  if (t.identity()) return;
  const As_Vec s = As_Vec(start_tangent_) * t, e = As_Vec(end_tangent_) * t;
  start_tangent_ = unit_or_zero(s.x(), s.y(), s.z());
  end_tangent_ = unit_or_zero(e.x(), e.y(), e.z());
}
