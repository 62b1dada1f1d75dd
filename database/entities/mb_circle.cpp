// Circle and arc: geometry, display, picks, properties and transforms.
#include "database/entities/mb_circle.h"

#include <cmath>
#include <memory>
#include <new>

#include "database/entities/mb_curve_util.h"
#include "database/entities/mb_line.h"
#include "geometry/as_tessellate.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"
#include "surface/api_draw.h"

namespace {

bool near(const As_Pt& a, const As_Pt& b, double tol) { return (a - b).len() < tol; }

}  // namespace

// ---------------------------------------------------------------------------
// Circle

void MB_Circle::center(const As_Pt& c) {
  modify_cmd();
  center_ = c;
}

void MB_Circle::radius(double r) {
  modify_cmd();
  radius_ = r;
}

void MB_Circle::copy_circle_to(MB_Circle& t) {
  t.radius(radius_);
  t.center(center_);
  MB_Object* target = &t;
  mb_copy_drawable(*this, target);
}

bool MB_Circle::copy_to(MB_Object*& target) {
  if (!target) {
    MB_Circle* c = new MB_Circle(center_, radius_);
    target = c;
    return mb_copy_drawable(*this, target);
  }
  if (target == this) return true;
  if (target->object_id() != object_id()) return false;
  copy_circle_to(*static_cast<MB_Circle*>(target));
  return true;
}

bool MB_Circle::pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& hit, int& kind, int&) {
  if (near(p, center_, tol)) {
    hit = center_;
    kind = MB_SNAP_CENTER;
    return true;
  }
  if (std::fabs((p - center_).len() - radius_) < tol) {
    hit = p;
    kind = MB_SNAP_ON_CIRCLE;
    return true;
  }
  return false;
}

void MB_Circle::build_draw() {
  const int n = mb_least_precision(get_draw_precision(), 3);
  std::unique_ptr<As_Pt[]> pts(new (std::nothrow) As_Pt[n]);
  if (!pts || !circle_to_ptset(center_, radius_, pts.get(), n)) return;
  mb_set_display(*this, n, pts.get());
}

void MB_Circle::draw_key_point(HDC dc, CMyDC&, const As_Tran& view) { mb_draw_key_marker(dc, center_, view); }

As_Pt MB_Circle::get_point(int id) const { return id == MB_PROP_CENTER ? center_ : MB_Geom::get_point(id); }

double MB_Circle::get_real(int id) const {
  switch (id) {
    case MB_PROP_RADIUS: return radius_;
    case MB_PROP_AREA: return qm_pi * radius_ * radius_;
    case MB_PROP_LENGTH: return two_pi * radius_;
    default: return MB_Geom::get_real(id);
  }
}

void MB_Circle::translate(const As_Tran& t) {
  modify_cmd();
  center_ *= t;
  if (!t.identity()) radius_ *= t.scaling();
}

// ---------------------------------------------------------------------------
// Arc

MB_Arc::MB_Arc(const As_Pt& centre, double radius, double start_angle, double end_angle)
    : MB_Circle(centre, radius), start_angle_(start_angle), end_angle_(end_angle) {
  build_start_end_pos();
}

MB_Arc::MB_Arc(const As_Pt& centre, const As_Pt& start, const As_Pt& end)
    : MB_Circle(centre, (start - centre).len()),
      start_angle_(mb_polar_angle(start - centre)),
      end_angle_(mb_polar_angle(end - centre)),
      start_(start),
      end_(end) {}

void MB_Arc::start_angle(double a) {
  modify_cmd();
  start_angle_ = a;
}

void MB_Arc::end_angle(double a) {
  modify_cmd();
  end_angle_ = a;
}

void MB_Arc::start(const As_Pt& p) {
  modify_cmd();
  start_ = p;
}

void MB_Arc::end(const As_Pt& p) {
  modify_cmd();
  end_ = p;
}

As_Pt MB_Arc::angle_point(double a) const {
  return center() + As_Vec(radius() * std::cos(a), radius() * std::sin(a), 0.0);
}

void MB_Arc::build_start_end_pos() {
  start_ = angle_point(start_angle_);
  end_ = angle_point(end_angle_);
}

bool MB_Arc::copy_to(MB_Object*& target) {
  if (!target) {
    target = new MB_Arc(center(), radius(), start_angle_, end_angle_);
    return mb_copy_drawable(*this, target);
  }
  if (target == this) return true;
  if (target->object_id() != object_id()) return false;
  MB_Arc* t = static_cast<MB_Arc*>(target);
  t->start_angle(start_angle_);
  t->end_angle(end_angle_);
  copy_circle_to(*t);
  t->build_start_end_pos();
  return true;
}

bool MB_Arc::pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& hit, int& kind, int&) {
  const struct {
    const As_Pt& at;
    int kind;
  } ends[] = {{center(), MB_SNAP_CENTER}, {start_, MB_SNAP_START}, {end_, MB_SNAP_END}};
  for (const auto& e : ends) {
    if (near(p, e.at, tol)) {
      hit = e.at;
      kind = e.kind;
      return true;
    }
  }
  if (!edge().snap_lines(p, tol, hit)) return false;
  kind = MB_SNAP_NEAREST;
  return true;
}

void MB_Arc::build_draw() {
  build_start_end_pos();
  const int n = mb_least_precision(get_draw_precision(), 3);
  std::unique_ptr<As_Pt[]> pts(new (std::nothrow) As_Pt[n]);
  As_Pt* out = pts.get();
  if (!out || !arc_to_ptset(center(), radius(), start_, end_, static_cast<unsigned long>(n), out)) return;
  mb_set_display(*this, n, out);
}

void MB_Arc::draw_key_point(HDC dc, CMyDC&, const As_Tran& view) {
  if (!dc) return;
  mb_draw_key_marker(dc, start_, view);
  mb_draw_key_marker(dc, end_, view);
  api_mb_draw_point(dc, center() * view);
}

As_Pt MB_Arc::get_point(int id) const {
  switch (id) {
    case MB_PROP_START: return start_;
    case MB_PROP_END: return end_;
    case MB_PROP_MIDDLE: {
      const double a = get_real(MB_PROP_ANGLE);
      const As_Pt m = start_ + (end_ - start_) / 2.0;
      const As_Vec to_mid = m - center();
      // Near a half circle the chord passes through the centre and gives no
      // direction: the middle is then a quarter turn from the chord.
      if (std::fabs(a - qm_pi) < 1e-9 || to_mid.len() < resabs) {
        const As_Vec chord = end_ - start_;
        if (chord.len() < resabs) return angle_point(start_angle_ + a / 2.0);
        const As_Vec side = cross3(normalise(chord), As_Uvec(0.0, 0.0, 1.0));
        return center() + side * radius();
      }
      const As_Vec dir = As_Vec(normalise(to_mid)) * radius();
      return a < qm_pi ? center() + dir : center() - dir;
    }
    default: return MB_Circle::get_point(id);
  }
}

double MB_Arc::get_real(int id) const {
  switch (id) {
    case MB_PROP_ANGLE:
      return start_angle_ > end_angle_ ? end_angle_ + two_pi - start_angle_ : end_angle_ - start_angle_;
    case MB_PROP_AREA: return radius() * (get_real(MB_PROP_ANGLE) * radius()) * 0.5;
    case MB_PROP_LENGTH: return get_real(MB_PROP_ANGLE) * radius();
    case MB_PROP_RADIUS: return radius();
    default: return MB_Geom::get_real(id);
  }
}

void MB_Arc::translate(const As_Tran& t) {
  MB_Circle::translate(t);  // reports the change, moves the centre, scales the radius
  start_ *= t;
  end_ *= t;
  if (!t.identity() && t.reflect()) std::swap(start_, end_);
  start_angle_ = mb_polar_angle(start_ - center());
  end_angle_ = mb_polar_angle(end_ - center());
}
