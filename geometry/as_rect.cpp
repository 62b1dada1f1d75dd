#include "geometry/as_rect.h"

#include <cmath>
#include <cstdint>

#include <qm_raster.h>

namespace {

As_Pt as_point(const As_Vec& v) { return As_Pt(v.x(), v.y(), v.z()); }

}  // namespace

void As_Rect::set_two_points(const As_Pt& a, const As_Pt& b) {
  const As_Pt pts[2] = {a, b};
  init_by_pts(2, pts);
}

void As_Rect::init_by_pts(int n, const As_Pt* pts) {
  if (n < 1 || !pts) return;
  double x0 = pts[0].x(), x1 = x0, y0 = pts[0].y(), y1 = y0;
  for (int i = 1; i < n; ++i) {
    const As_Pt& p = pts[i];
    if (p.x() < x0) x0 = p.x();
    if (p.x() > x1) x1 = p.x();
    if (p.y() > y1) y1 = p.y();
    if (p.y() < y0) y0 = p.y();
  }
  lt_ = As_Pt(x0, y1, 0.0);
  rb_ = As_Pt(x1, y0, 0.0);
}

double As_Rect::max_len() const {
  double w = width(), h = heigh();
  return w > h ? w : h;
}

void As_Rect::union_rect(const As_Rect& r) {
  lt_ = As_Pt(std::fmin(lt_.x(), r.lt_.x()), std::fmax(lt_.y(), r.lt_.y()), 0.0);
  rb_ = As_Pt(std::fmax(rb_.x(), r.rb_.x()), std::fmin(rb_.y(), r.rb_.y()), 0.0);
}

bool As_Rect::pt_in_rect(const As_Pt& p, double tol) const {
  return lt_.x() - tol <= p.x() && p.x() <= rb_.x() + tol && rb_.y() - tol <= p.y() && p.y() <= lt_.y() + tol;
}

bool As_Rect::rect_in_rect(const As_Rect& r) const {
  return lt_.x() < r.lt_.x() && rb_.x() > r.rb_.x() && lt_.y() > r.lt_.y() && rb_.y() < r.rb_.y();
}

void As_Rect::translate(const As_Tran& t) {
  const As_Pt corners[4] = {lt_ * t, lb() * t, rt() * t, rb_ * t};
  init_by_pts(4, corners);
}

void As_Rect::build_by_RECT(const RECT& r, const As_Tran& t) {
  lt_ = As_Pt(r.left, r.top, 0.0) * t;
  rb_ = As_Pt(r.right, r.bottom, 0.0) * t;
}

void As_Rect::conver_to_scr_rect(RECT& r) const {
  r.left = qm_trunc_to_int(lt_.x());
  r.top = qm_trunc_to_int(lt_.y());
  r.right = qm_trunc_to_int(rb_.x());
  r.bottom = qm_trunc_to_int(rb_.y());
}

void As_Rect::rotate_rect(As_Pt base, double angle) {
  As_Tran to_base = translate_transf(As_Vec(-base.x(), -base.y(), -base.z()));
  translate(to_base * rotate_transf(angle + qm_pi, As_Vec(0, 0, 1)) * to_base.inverse());
}

void As_Rect::scale_rect(As_Pt base, const double* factors) {
  if (!factors) return;
  As_Tran to_base = translate_transf(As_Vec(-base.x(), -base.y(), -base.z()));
  As_Tran t = to_base * scale_transf(factors[0], factors[1], factors[2]) * to_base.inverse();
  lt_ *= t;
  rb_ *= t;
}

void As_Rect::offset_rect(As_Pt p) { set_two_points(as_point(p - lt_), as_point(p - rb_)); }

void As_Rect::init_by_circle(const As_Pt& c, double r) {
  lt_ = As_Pt(c.x() - r, c.y() + r, 0.0);
  rb_ = As_Pt(c.x() + r, c.y() - r, 0.0);
}
